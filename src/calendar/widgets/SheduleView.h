#pragma once

#include <QColor>
#include <QString>
#include <QTreeWidget>
#include <functional>
#include <vector>

#include "calendar/MoonPhase.h"
#include "tides/TidePredictor.h"

class CCalendarGrid;
class CCatchStore;
class CDataFolder;
class CScheduleEntryDlg;
class QLabel;

// The calendar's list: one row per day of the shown month with the day label ("%2d日(曜)"), the
// day's tide name and moon age, the home port's high and low waters in the tide column (shown
// only while a home port is set), and in the memo column the holiday's name and the day's memo.
// Rows are drawn whole by the view: labels of Saturdays, Sundays and holidays and the holiday
// names in red, memos in black; the selected row keeps these colours on a light fill.  A double
// click opens the memo dialog for the day.
class CSheduleView : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kPaneId = 0xE900;
    static constexpr int kLabelColumnWidth = 150;
    static constexpr int kMemoColumnWidth = 500;
    // The memo column never gets narrower than this: the labels, the home port's tides and the
    // memos all fit the page of an 800 x 600 window with its vertical scroll bar; any wider
    // window gives the memo the room.
    static constexpr int kMinMemoColumnWidth = 120;
    static constexpr int kLabelX = 10;
    static constexpr int kMoonX = 74;
    static constexpr int kMemoX = 160;
    // Room between a holiday's name and the memo after it.
    static constexpr int kNameGap = 8;
    static constexpr int kMinRowHeight = 17;
    // The tide column sits between the label and memo columns on the screen; its logical index
    // comes after the memo's so that the memo keeps column 1.
    static constexpr int kTideColumn = 2;
    static constexpr int kTidePad = 8;

    // titleStatic is the bar's month title (CCalendarBar::kTitleId), which names the month of the
    // rows.  The memos and the home tide port are those of folder, which outlives the view.
    CSheduleView(CCalendarGrid& grid, const CDataFolder& folder, QLabel* titleStatic,
                 QWidget* parent = nullptr);
    ~CSheduleView() override;

    // First display: columns, holiday files, today's month, its rows and memos.
    void OnInitialUpdate();

    // Rows of the shown month (the day labels), stopping at the first day the month lacks.
    void InsertMonthRows();
    // Puts the memos of the month named title into the memo column.
    void LoadMonthMemos(const QString& title);

    // The result of the memo dialog: 1 confirmed, 2 cancelled.  Returns 0, or -1 on cancel and
    // when the memo cannot be written (the dialog then opens again with what was typed).
    int OnScheduleEntryResult(int result);

    // Day label of a cell: the day right-aligned in two places, "日" and the weekday in brackets.
    static QString DayLabel(int day, int weekday);

    QColor LabelColor(int row) const;
    QColor MemoColor() const { return QColor(0, 0, 0); }
    QColor HolidayNameColor() const { return QColor(255, 0, 0); }
    QColor MoonColor() const { return QColor(0, 70, 150); }
    // The fill of the selected row: light, so that every text colour of a row stays readable
    // on it; its edge is drawn in the desktop's selection colour.
    QColor SelectedRowColor() const { return QColor(204, 228, 252); }
    QColor TideColor() const { return QColor(0, 90, 120); }

    // What a row shows besides its label and memo: the holiday's name (empty on other days) and
    // the tide name with the moon's age ("大潮 14.5").
    QString HolidayName(int row) const;
    QString MoonText(int row) const;
    // The memo as its row draws it: one line, cut with 「…」 where it would run past the list's
    // right edge (its tip shows it whole).
    QString ShownMemo(int row) const;

    // The port whose tides the rows and the memo dialog show, asked for each time a month is
    // filled (the settings may have changed it): by default the home port of the side file.
    // nullptr hides the tide column.
    void SetTidePortSource(std::function<const CTideStation*()> source);
    // A row's high and low waters as the row shows them ("満 2:42(155) … 干 …"), or empty.
    QString TideText(int row) const;
    const std::vector<CTideExtreme>& TidesOfRow(int row) const;

    // What the user should be told about the holiday files after the first display (or empty).
    const QString& HolidayNotice() const { return m_holidayNotice; }
    QString MonthTitle() const;

    CScheduleEntryDlg* EntryDialog() const { return m_pEntryDlg; }
    // Memos are saved through store (kept in the history, undoable) once one is given.
    void SetStore(CCatchStore* store) { m_store = store; }
    int EditRow() const { return m_nEditRow; }

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Coming back to the window (after the settings, say) asks for the tide port again.
    bool event(QEvent* event) override;

private:
    // Where the memo column's text begins in a row (after the holiday's name when row has one);
    // -1: where the holiday's name begins.
    int MemoLeft(int row = -1) const;
    CCalendarGrid& m_grid;
    const CDataFolder& m_folder;
    QLabel* m_titleStatic = nullptr;
    CScheduleEntryDlg* m_pEntryDlg = nullptr;
    CCatchStore* m_store = nullptr;
    int m_nEditRow = -1;
    std::vector<CMoonDay> m_moonDays;  // the rows' moon, day 1 first
    void LoadMonthTides();
    // Fills the memo dialog's tide curve for the day of row before it opens.
    void ShowTideCurve(int row);
    std::function<const CTideStation*()> m_tidePortSource;
    const CTideStation* m_tidePort = nullptr;
    std::vector<std::vector<CTideExtreme>> m_monthTides;  // the rows' tides, day 1 first
    QString m_holidayNotice;
};
