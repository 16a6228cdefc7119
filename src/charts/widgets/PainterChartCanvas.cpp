#include "charts/widgets/PainterChartCanvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "uikit/QtText.h"

namespace {

QColor ToQColor(ChartColorRef color)
{
    return QColor(ChartRed(color), ChartGreen(color), ChartBlue(color));
}

// Direction of point seen from the centre, in degrees counter-clockwise from 3 o'clock.
double AngleOf(double cx, double cy, CChartPoint point)
{
    return std::atan2(-(point.y - cy), point.x - cx) * 180.0 / M_PI;
}

}  // namespace

CPainterChartCanvas::CPainterChartCanvas(QPainter& painter, QSize clientSize,
                                         const QFont& currentFont)
    : m_painter(painter), m_clientSize(clientSize), m_currentFont(currentFont)
{
}

void CPainterChartCanvas::SelectPen(const CChartPen& pen)
{
    if (pen.width <= 0) {
        m_painter.setPen(Qt::NoPen);
        return;
    }
    QPen qpen(ToQColor(pen.color));
    qpen.setWidth(pen.width);
    qpen.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(qpen);
}

void CPainterChartCanvas::Rectangle(int left, int top, int right, int bottom, const CChartPen& pen,
                                    ChartColorRef fill)
{
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    SelectPen(pen);
    m_painter.setBrush(ToQColor(fill));
    // The outline covers left..right-1 and top..bottom-1, as the layout counts.
    m_painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void CPainterChartCanvas::Line(CChartPoint from, CChartPoint to, const CChartPen& pen)
{
    SelectPen(pen);
    m_painter.drawLine(from.x, from.y, to.x, to.y);
}

void CPainterChartCanvas::Polygon(const std::vector<CChartPoint>& points, const CChartPen& pen,
                                  ChartColorRef fill)
{
    QPolygon polygon;
    for (const CChartPoint& point : points) polygon << QPoint(point.x, point.y);
    SelectPen(pen);
    m_painter.setBrush(ToQColor(fill));
    m_painter.drawPolygon(polygon);
}

void CPainterChartCanvas::Pie(int left, int top, int right, int bottom, CChartPoint start,
                              CChartPoint end, const CChartPen& pen, ChartColorRef fill)
{
    if (right - left < 1 || bottom - top < 1) return;
    const double cx = (left + right) / 2.0;
    const double cy = (top + bottom) / 2.0;
    const double from = AngleOf(cx, cy, start);
    double span = AngleOf(cx, cy, end) - from;
    while (span <= 0) span += 360.0;
    // Rays that coincide (to the sixteenth of a degree Qt draws with) close the whole circle.
    if (span >= 360.0 - 1.0 / 32) span = 360.0;
    SelectPen(pen);
    m_painter.setBrush(ToQColor(fill));
    m_painter.drawPie(QRectF(left, top, right - left - 1, bottom - top - 1),
                      static_cast<int>(std::lround(from * 16)),
                      static_cast<int>(std::lround(span * 16)));
}

QFont CPainterChartCanvas::ToQFont(const CChartFont& font) const
{
    if (font.face.empty()) return m_currentFont;
    QFont qfont(QStringFromStd(font.face));
    qfont.setWeight(font.weight >= 700 ? QFont::Bold : QFont::Normal);
    // The chart gives cell heights (ascent plus descent); Qt sizes fonts by their em.  The ratio
    // is measured once per face at a large size.
    qfont.setPixelSize(100);
    const int cellAt100 = std::max(1, QFontMetrics(qfont).ascent() + QFontMetrics(qfont).descent());
    const int cell = font.height > 0 ? font.height : QFontMetrics(m_currentFont).height();
    qfont.setPixelSize(std::max(1, static_cast<int>(std::lround(cell * 100.0 / cellAt100))));
    return qfont;
}

void CPainterChartCanvas::Text(int x, int y, const std::string& text, const CChartFont& font,
                               ChartColorRef color)
{
    const QFont qfont = ToQFont(font);
    m_painter.save();
    m_painter.setFont(qfont);
    m_painter.setPen(ToQColor(color));
    m_painter.translate(x, y);
    if (font.angle != 0) m_painter.rotate(-font.angle);
    // (x, y) is the top-left corner of the text cell.
    m_painter.drawText(0, QFontMetrics(qfont).ascent(), QStringFromStd(text));
    m_painter.restore();
}

CChartFontMetrics CPainterChartCanvas::GetFontMetrics(const CChartFont& font)
{
    const QFontMetrics metrics(ToQFont(font));
    return {metrics.height(), metrics.averageCharWidth(), metrics.maxWidth()};
}
