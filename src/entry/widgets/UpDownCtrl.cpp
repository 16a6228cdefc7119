#include "entry/widgets/UpDownCtrl.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include "data/DecimalInt.h"
#include "uikit/QtText.h"

namespace {
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 80;
}  // namespace

CUpDownCtrl::CUpDownCtrl(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    m_repeat.setSingleShot(false);
    connect(&m_repeat, &QTimer::timeout, this, &CUpDownCtrl::RepeatStep);
}

void CUpDownCtrl::SetRange(int lower, int upper)
{
    m_lower = std::min(lower, upper);
    m_upper = std::max(lower, upper);
    m_pos = std::clamp(m_pos, m_lower, m_upper);
}

void CUpDownCtrl::SetBuddy(QLineEdit* buddy)
{
    if (m_buddy) m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (m_buddy) m_buddy->installEventFilter(this);
}

void CUpDownCtrl::SetPos(int pos)
{
    m_pos = std::clamp(pos, m_lower, m_upper);
    if (m_buddy) m_buddy->setText(QString::number(m_pos));
}

void CUpDownCtrl::Step(int delta)
{
    if (m_buddy) {
        int typed = 0;
        if (ParseWholeDecimalInt(StdFromQString(m_buddy->text()), typed) && typed >= m_lower &&
            typed <= m_upper) {
            m_pos = typed;
        }
    }
    int next = m_pos + delta;
    if (next > m_upper) next = m_lower;
    if (next < m_lower) next = m_upper;
    SetPos(next);
    Q_EMIT stepped(m_pos);
}

void CUpDownCtrl::RepeatStep()
{
    m_repeat.setInterval(kRepeatMs);
    if (m_pressed != 0) Step(m_pressed);
}

void CUpDownCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int half = height() / 2;
    const QRect halves[] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        const bool down = (i == 0 && m_pressed > 0) || (i == 1 && m_pressed < 0);
        button.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(2, 1, -2, -1);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &arrow, &painter, this);
    }
}

void CUpDownCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    m_pressed = event->position().y() < height() / 2 ? 1 : -1;
    Step(m_pressed);
    m_repeat.start(kFirstRepeatMs);
    update();
}

void CUpDownCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    m_pressed = 0;
    m_repeat.stop();
    update();
}

void CUpDownCtrl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up) return Step(1);
    if (event->key() == Qt::Key_Down) return Step(-1);
    QWidget::keyPressEvent(event);
}

bool CUpDownCtrl::eventFilter(QObject* watched, QEvent* event)
{
    // The type is tested first: comparing with the buddy converts watched, which may be an
    // object half way through its destruction.
    if (event->type() == QEvent::KeyPress && watched == m_buddy) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QSize CUpDownCtrl::sizeHint() const
{
    return {16, 22};
}
