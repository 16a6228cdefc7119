#pragma once

#include <set>
#include <vector>

#include "places/MapPainter.h"
#include "support/RecordingChartCanvas.h"

// The map's canvas for tests: the charts' recording canvas for shapes and texts, and a record of
// the tiles asked for; only the keys in available count as at hand.
class CRecordingMapCanvas final : public CMapCanvas {
public:
    CRecordingMapCanvas(int width, int height) : m_shapes(width, height) {}

    struct CTileCall {
        CTileKey key;
        int left = 0;
        int top = 0;
        bool drawn = false;
    };

    std::set<CTileKey> available;

    const CRecordingChartCanvas& Shapes() const { return m_shapes; }
    const std::vector<CTileCall>& Tiles() const { return m_tiles; }

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
    bool Tile(const CTileKey& key, int left, int top) override
    {
        const bool drawn = available.count(key) != 0;
        m_tiles.push_back({key, left, top, drawn});
        return drawn;
    }

private:
    CRecordingChartCanvas m_shapes;
    std::vector<CTileCall> m_tiles;
};
