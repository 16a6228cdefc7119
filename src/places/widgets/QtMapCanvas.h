#pragma once

#include <QFont>
#include <QPainter>

#include "charts/widgets/PainterChartCanvas.h"
#include "places/MapPainter.h"

class CTileFetcher;

// The map's canvas on a QPainter: the charts' painter canvas for shapes and texts, and the
// fetcher's tiles at hand.
class CQtMapCanvas final : public CMapCanvas {
public:
    CQtMapCanvas(QPainter& painter, QSize size, const QFont& font, CTileFetcher* tiles)
        : m_painter(painter), m_shapes(painter, size, font), m_tiles(tiles)
    {
    }

    int GetClientWidth() const override { return m_shapes.GetClientWidth(); }
    int GetClientHeight() const override { return m_shapes.GetClientHeight(); }
    void Rectangle(int left, int top, int right, int bottom, const CChartPen& pen,
                   ChartColorRef fill) override
    {
        m_shapes.Rectangle(left, top, right, bottom, pen, fill);
    }
    void Line(CChartPoint from, CChartPoint to, const CChartPen& pen) override
    {
        m_shapes.Line(from, to, pen);
    }
    void Polygon(const std::vector<CChartPoint>& points, const CChartPen& pen,
                 ChartColorRef fill) override
    {
        m_shapes.Polygon(points, pen, fill);
    }
    void Pie(int left, int top, int right, int bottom, CChartPoint start, CChartPoint end,
             const CChartPen& pen, ChartColorRef fill) override
    {
        m_shapes.Pie(left, top, right, bottom, start, end, pen, fill);
    }
    void Text(int x, int y, const std::string& text, const CChartFont& font,
              ChartColorRef color) override
    {
        m_shapes.Text(x, y, text, font, color);
    }
    CChartFontMetrics GetFontMetrics(const CChartFont& font) override
    {
        return m_shapes.GetFontMetrics(font);
    }
    void ReportMessage(const std::string& text) override { m_shapes.ReportMessage(text); }
    bool Tile(const CTileKey& key, int left, int top) override;

private:
    QPainter& m_painter;
    CPainterChartCanvas m_shapes;
    CTileFetcher* m_tiles;
};
