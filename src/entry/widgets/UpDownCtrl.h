#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QLineEdit;

// A pair of arrow buttons stepping an integer within a range, wrapping round at both ends, and
// writing the value into a buddy edit as a decimal number.  The buddy stays free text: before a
// step the value is taken from the buddy when it holds an integer within the range.  The arrow
// keys step it too, both on the control and in its buddy.
class CUpDownCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CUpDownCtrl(QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    int GetLower() const { return m_lower; }
    int GetUpper() const { return m_upper; }
    void SetBuddy(QLineEdit* buddy);
    int GetPos() const { return m_pos; }
    void SetPos(int pos);

    // One step up (+1) or down (-1), as a click on an arrow does.
    void Step(int delta);

Q_SIGNALS:
    void stepped(int pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QSize sizeHint() const override;

private:
    void RepeatStep();

    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
    int m_pressed = 0;  // +1 upper arrow held, -1 lower arrow held, 0 none
    QPointer<QLineEdit> m_buddy;
    QTimer m_repeat;
};
