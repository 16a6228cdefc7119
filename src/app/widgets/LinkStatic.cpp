#include "app/widgets/LinkStatic.h"

#include <QMouseEvent>
#include <QUrl>

#include "uikit/DesktopServices.h"

const QColor CLinkStatic::kNormalColour(0x00, 0x00, 0xFF);
const QColor CLinkStatic::kHoverColour(0xFF, 0x80, 0x00);

CLinkStatic::CLinkStatic(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::NoFocus);
    SetLinkColour(kNormalColour);
}

QString CLinkStatic::AddressFor(const QString& text)
{
    return text.contains(QLatin1Char(':')) ? text : QStringLiteral("mailto:") + text;
}

void CLinkStatic::SetLinkColour(const QColor& colour)
{
    m_colour = colour;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colour);
    setPalette(colours);
    update();
}

void CLinkStatic::enterEvent(QEnterEvent* event)
{
    SetLinkColour(kHoverColour);
    QLabel::enterEvent(event);
}

void CLinkStatic::leaveEvent(QEvent* event)
{
    // While the button is down the control keeps the pointer; the colour returns on release.
    if (!m_pressed) SetLinkColour(kNormalColour);
    QLabel::leaveEvent(event);
}

void CLinkStatic::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) m_pressed = true;
    QLabel::mousePressEvent(event);
}

void CLinkStatic::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        const bool inside = rect().contains(event->position().toPoint());
        if (inside)
            DesktopServices().OpenUrl(m_target.isEmpty() ? QUrl(AddressFor(text())) : m_target);
        if (!inside || !underMouse()) SetLinkColour(kNormalColour);
    }
    QLabel::mouseReleaseEvent(event);
}
