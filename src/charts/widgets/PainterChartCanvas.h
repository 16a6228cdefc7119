#pragma once

#include <QFont>
#include <QSize>
#include <string>
#include <vector>

#include "charts/ChartCanvas.h"

class QPainter;

// Draws a chart with QPainter.  Fonts are asked for by the names the chart uses ("ＭＳ ゴシック",
// "Arial"); the application maps those names to installed fonts with the same metrics.
class CPainterChartCanvas final : public CChartCanvas {
public:
    CPainterChartCanvas(QPainter& painter, QSize clientSize, const QFont& currentFont);

    int GetClientWidth() const override { return m_clientSize.width(); }
    int GetClientHeight() const override { return m_clientSize.height(); }
    void Rectangle(int left, int top, int right, int bottom, const CChartPen& pen,
                   ChartColorRef fill) override;
    void Line(CChartPoint from, CChartPoint to, const CChartPen& pen) override;
    void Polygon(const std::vector<CChartPoint>& points, const CChartPen& pen,
                 ChartColorRef fill) override;
    void Pie(int left, int top, int right, int bottom, CChartPoint start, CChartPoint end,
             const CChartPen& pen, ChartColorRef fill) override;
    void Text(int x, int y, const std::string& text, const CChartFont& font,
              ChartColorRef color) override;
    CChartFontMetrics GetFontMetrics(const CChartFont& font) override;
    void ReportMessage(const std::string& text) override { m_messages.push_back(text); }

    const std::vector<std::string>& Messages() const { return m_messages; }

    // The Qt font for a chart font.
    QFont ToQFont(const CChartFont& font) const;

private:
    void SelectPen(const CChartPen& pen);

    QPainter& m_painter;
    QSize m_clientSize;
    QFont m_currentFont;
    std::vector<std::string> m_messages;
};
