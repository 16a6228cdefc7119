#pragma once

#include <QDialog>
#include <QString>

class CSheduleView;
class CTideCurveView;
class QPlainTextEdit;

// The modeless memo dialog (template 130, made taller for the day's tide curve under the
// buttons).  It edits one day's memo and reports to its view with
// a queued call: 1 when the user confirmed, 2 when the user cancelled.  It keeps the month and
// the row it was opened for, so a confirmed memo lands on its own day whatever the list shows.
class CScheduleEntryDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 130;
    static constexpr int kMemoEditId = 1000;
    static constexpr int kOkId = 1;
    static constexpr int kCancelId = 2;
    static constexpr int kHintId = 1002;
    static constexpr int kResultConfirmed = 1;
    static constexpr int kResultCancelled = 2;
    // The tide curve under the buttons, in dialog units; the dialog grows by its height.
    static constexpr int kTideCurveTop = 124;
    static constexpr int kTideCurveHeight = 100;
    static constexpr int kHeight = kTideCurveTop + kTideCurveHeight + 6;

    explicit CScheduleEntryDlg(CSheduleView* pView);

    // Opens the dialog with text for row (day row + 1) of the month named monthTitle.
    void Create(const QString& text, const QString& monthTitle, int row);

    const QString& MonthTitle() const { return m_monthTitle; }
    int Row() const { return m_row; }
    QPlainTextEdit* MemoEdit() const { return m_edit; }
    // The day's tide at the home port, under the buttons; the view fills it before opening.
    CTideCurveView* TideCurve() const { return m_tideCurve; }

    QString m_strMemo;
    CSheduleView* m_pView = nullptr;

protected:
    // The "入力" button: takes the memo over and reports it.
    void accept() override;
    // "ｷｬﾝｾﾙ", Escape or closing the window: reported, and the view closes the window.
    void reject() override;
    // Enter starts a new line in the memo; Ctrl+Enter confirms, as in every multi-line field.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
    void PostResult(int result);

    QPlainTextEdit* m_edit = nullptr;
    CTideCurveView* m_tideCurve = nullptr;
    QString m_monthTitle;
    int m_row = -1;
};
