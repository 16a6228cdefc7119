#pragma once

#include <QString>
#include <QTextEdit>

class CNavBarCtrl;

// The in-place rename edit of a folder button or an item label.  Enter confirms, Escape cancels,
// and losing the focus ends it; a confirmed non-empty text is handed to the bar, which asks its
// owner.  The edit deletes itself when it closes.
class CBarLabelEdit : public QTextEdit {
    Q_OBJECT

public:
    enum Shape {
        SingleLineGrowing,  // one line that widens as the user types
        MultiLineCentered,  // centred wrapped text
    };

    CBarLabelEdit(CNavBarCtrl* bar, int kind, int index, Shape shape, bool grows);

    int Kind() const { return m_kind; }
    int Index() const { return m_index; }
    bool Cancelled() const { return m_cancelled; }
    // The text taken when the edit closed (the current text while it is open).
    QString Text() const;
    void SetText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void RequestClose();
    void CloseEdit();
    void GrowToText();

    CNavBarCtrl* m_bar;
    int m_kind;
    int m_index;
    Shape m_shape;
    bool m_grows;
    bool m_cancelled = false;
    bool m_closed = false;
    QString m_text;
};
