#include "calendar/widgets/CalendarBar.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

#include "uikit/DialogUnits.h"

namespace {
constexpr int kBarHeightUnits = 23;

// One triangle pointing left or right inside the box (x, 0)-(x + width, size).
QPainterPath Triangle(qreal x, qreal width, qreal size, bool pointsLeft)
{
    const qreal top = size * 0.2;
    const qreal bottom = size * 0.8;
    QPainterPath path;
    if (pointsLeft) {
        path.moveTo(x, size / 2);
        path.lineTo(x + width, top);
        path.lineTo(x + width, bottom);
    } else {
        path.moveTo(x + width, size / 2);
        path.lineTo(x, top);
        path.lineTo(x, bottom);
    }
    path.closeSubpath();
    return path;
}

QPixmap DrawIcon(int resourceId, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fill(0, 64, 160);
    painter.setPen(QPen(QColor(0, 32, 96), size / 16.0));
    painter.setBrush(fill);
    const qreal s = size;
    switch (resourceId) {
        case CCalendarBar::kIconPrevYear:  // a bar and two triangles: back to the previous year
            painter.drawRect(QRectF(s * 0.12, s * 0.2, s * 0.1, s * 0.6));
            painter.drawPath(Triangle(s * 0.22, s * 0.33, s, true));
            painter.drawPath(Triangle(s * 0.55, s * 0.33, s, true));
            break;
        case CCalendarBar::kIconPrevMonth:
            painter.drawPath(Triangle(s * 0.25, s * 0.45, s, true));
            break;
        case CCalendarBar::kIconToday: {  // a small sheet of a calendar with today's mark
            painter.setBrush(Qt::white);
            painter.drawRect(QRectF(s * 0.15, s * 0.15, s * 0.7, s * 0.7));
            painter.setBrush(QColor(200, 0, 0));
            painter.setPen(Qt::NoPen);
            painter.drawRect(QRectF(s * 0.15, s * 0.15, s * 0.7, s * 0.18));
            painter.setBrush(fill);
            painter.drawEllipse(QPointF(s * 0.5, s * 0.58), s * 0.14, s * 0.14);
            break;
        }
        case CCalendarBar::kIconNextMonth:
            painter.drawPath(Triangle(s * 0.3, s * 0.45, s, false));
            break;
        case CCalendarBar::kIconNextYear:
            painter.drawPath(Triangle(s * 0.12, s * 0.33, s, false));
            painter.drawPath(Triangle(s * 0.45, s * 0.33, s, false));
            painter.drawRect(QRectF(s * 0.78, s * 0.2, s * 0.1, s * 0.6));
            break;
        default:
            break;
    }
    return pixmap;
}
}  // namespace

QIcon CCalendarBar::LoadCalendarIcon(int resourceId)
{
    QIcon icon;
    for (int size : {16, 32}) icon.addPixmap(DrawIcon(resourceId, size));
    return icon;
}

CCalendarBar::CCalendarBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QString::number(kTemplateId));
    const QFont font = CDialogUnits::DialogFont();
    setFont(font);
    const CDialogUnits units(font);
    // Docked bars take the frame's width; the template fixes only the height.
    setFixedHeight(units.Y(kBarHeightUnits) + 1);

    m_title = new QLabel(this);
    m_title->setObjectName(QString::number(kTitleId));
    m_title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    units.Place(m_title, 13, 3, 59, 18);

    connect(AddButton(kPrevYearId, 96, 4, 22, 17), &QPushButton::clicked, this,
            &CCalendarBar::PrevYearClicked);
    connect(AddButton(kPrevMonthId, 122, 4, 22, 17), &QPushButton::clicked, this,
            &CCalendarBar::PrevMonthClicked);
    connect(AddButton(kTodayId, 151, 4, 22, 17), &QPushButton::clicked, this,
            &CCalendarBar::TodayClicked);
    connect(AddButton(kNextMonthId, 179, 3, 22, 17), &QPushButton::clicked, this,
            &CCalendarBar::NextMonthClicked);
    connect(AddButton(kNextYearId, 205, 3, 22, 17), &QPushButton::clicked, this,
            &CCalendarBar::NextYearClicked);

    const struct {
        int button;
        int icon;
        const char* tip;
    } images[] = {
        {kNextMonthId, kIconNextMonth, "次の月 (PageDown)"},
        {kTodayId, kIconToday, "今月"},
        {kPrevMonthId, kIconPrevMonth, "前の月 (PageUp)"},
        {kNextYearId, kIconNextYear, "次の年"},
        {kPrevYearId, kIconPrevYear, "前の年"},
    };
    for (const auto& image : images) {
        QPushButton* button = Button(image.button);
        button->setIcon(LoadCalendarIcon(image.icon));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(QString::fromUtf8(image.tip));
    }
}

QPushButton* CCalendarBar::AddButton(int id, int x, int y, int width, int height)
{
    auto* button = new QPushButton(this);
    button->setObjectName(QString::number(id));
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    CDialogUnits(font()).Place(button, x, y, width, height);
    return button;
}

QPushButton* CCalendarBar::Button(int id) const
{
    return findChild<QPushButton*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

QString CCalendarBar::TitleText() const
{
    return m_title->text();
}

void CCalendarBar::SetTitleText(const QString& title)
{
    m_title->setText(title);
}

void CCalendarBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    // The bottom border that separates the bar from the list below.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
