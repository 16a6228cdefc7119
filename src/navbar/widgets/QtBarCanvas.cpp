#include "navbar/widgets/QtBarCanvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "uikit/QtText.h"

QFont BarGuiFont()
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    return font;
}

QColor QColorFromBar(BarColor color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QRect QRectFromBar(const BarRect& rect)
{
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

BarRect BarRectFromQ(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

int CNavBarImageList::Add(const QPixmap& pixmap)
{
    // Compared in logical pixels: a picture drawn for a high-density screen keeps its pixels.
    if (pixmap.deviceIndependentSize().toSize() == m_size) {
        m_pixmaps.push_back(pixmap);
    } else {
        QPixmap scaled = pixmap.scaled(m_size * pixmap.devicePixelRatio(), Qt::IgnoreAspectRatio,
                                       Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(pixmap.devicePixelRatio());
        m_pixmaps.push_back(scaled);
    }
    return ImageCount() - 1;
}

BarSize CQtBarTextMetrics::SingleLineSize(const std::string& text) const
{
    const QFontMetrics metrics(m_font);
    return {metrics.horizontalAdvance(QStringFromStd(text)), metrics.height()};
}

BarSize CQtBarTextMetrics::WrappedSize(const std::string& text, int width) const
{
    const QFontMetrics metrics(m_font);
    const QRect box =
        metrics.boundingRect(QRect(0, 0, std::max(width, 1), 100000),
                             Qt::AlignHCenter | Qt::TextWordWrap, QStringFromStd(text));
    return {box.width(), box.height()};
}

CQtBarCanvas::CQtBarCanvas(QPainter& painter, const BarColors& colors)
    : m_painter(painter), m_colors(colors)
{
    m_painter.setFont(BarGuiFont());
}

void CQtBarCanvas::FillRect(const BarRect& rect, BarColor color)
{
    if (!rect.IsEmpty()) m_painter.fillRect(QRectFromBar(rect), QColorFromBar(color));
}

void CQtBarCanvas::Line(BarPoint from, BarPoint to, BarColor color)
{
    if (from.y == to.y) {
        const int left = from.x <= to.x ? from.x : to.x + 1;
        const int right = from.x <= to.x ? to.x : from.x + 1;
        FillRect({left, from.y, right, from.y + 1}, color);
    } else if (from.x == to.x) {
        const int top = from.y <= to.y ? from.y : to.y + 1;
        const int bottom = from.y <= to.y ? to.y : from.y + 1;
        FillRect({from.x, top, from.x + 1, bottom}, color);
    } else {
        m_painter.save();
        m_painter.setPen(QColorFromBar(color));
        m_painter.drawLine(from.x, from.y, to.x, to.y);
        m_painter.restore();
    }
}

void CQtBarCanvas::Text(const BarRect& box, const std::string& text, BarColor color,
                        BarTextLayout layout)
{
    if (text.empty()) return;
    int flags = 0;
    switch (layout) {
        case BarTextSingleCentered:
            flags = Qt::AlignCenter | Qt::TextSingleLine;
            break;
        case BarTextSingleLeft:
            flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
            break;
        case BarTextWrapCentered:
            flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
            break;
    }
    m_painter.save();
    m_painter.setPen(QColorFromBar(color));
    m_painter.drawText(QRectFromBar(box), flags, QStringFromStd(text));
    m_painter.restore();
}

void CQtBarCanvas::Image(const CBarImageList& list, int index, BarPoint topLeft)
{
    const auto* images = dynamic_cast<const CNavBarImageList*>(&list);
    if (images == nullptr || index < 0 || index >= images->ImageCount()) return;
    m_painter.drawPixmap(topLeft.x, topLeft.y, images->Pixmap(index));
}

void CQtBarCanvas::ScrollArrow(const BarRect& rect, bool up, bool pushed)
{
    const BarColor shadow = BarRGB(128, 128, 128);
    FillRect(rect, m_colors.buttonFace);
    if (pushed) {
        // A pushed scroll arrow is flat with a shadow border and its glyph moved by one pixel.
        Draw3dRect(*this, rect, shadow, shadow);
    } else {
        Draw3dRect(*this, rect, m_colors.buttonFace, m_colors.darkEdge);
        Draw3dRect(*this, rect.Inflated(-1, -1), m_colors.highlightEdge, shadow);
    }
    const int shift = pushed ? 1 : 0;
    const int cx = rect.left + rect.Width() / 2 + shift;
    const int cy = rect.top + rect.Height() / 2 + shift;
    const int half = std::max(2, rect.Width() / 4);
    QPolygon glyph;
    if (up)
        glyph << QPoint(cx - half, cy + half / 2) << QPoint(cx + half, cy + half / 2)
              << QPoint(cx, cy - half / 2 - 1);
    else
        glyph << QPoint(cx - half, cy - half / 2) << QPoint(cx + half, cy - half / 2)
              << QPoint(cx, cy + half / 2 + 1);
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(Qt::black);
    m_painter.setBrush(Qt::black);
    m_painter.drawPolygon(glyph);
    m_painter.restore();
}

void CQtBarCanvas::SetClip(const BarRect& rect)
{
    m_hadClip = m_painter.hasClipping();
    m_baseClip = m_painter.clipRegion();
    if (m_hadClip)
        m_painter.setClipRect(QRectFromBar(rect), Qt::IntersectClip);
    else
        m_painter.setClipRect(QRectFromBar(rect));
}

void CQtBarCanvas::ResetClip()
{
    if (m_hadClip)
        m_painter.setClipRegion(m_baseClip);
    else
        m_painter.setClipping(false);
}
