#include "places/MapPainter.h"

#include <algorithm>
#include <cmath>

namespace {

const CChartFont kLabelFont{"ＭＳ Ｐゴシック", 12, 400, 128, 0};
const CChartFont kCountFont{"ＭＳ Ｐゴシック", 12, 700, 128, 0};

int Round(double value)
{
    return static_cast<int>(std::lround(value));
}

// A value far off the screen is held where the canvas can still draw its edge.
int ToPixel(double value)
{
    return Round(std::clamp(value, -1.0e6, 1.0e6));
}

void DrawAnchor(CChartCanvas& canvas, int x, int y)
{
    const CChartPen pen{kMapPortColor, 2};
    canvas.Line({x, y - 5}, {x, y + 5}, pen);          // shank
    canvas.Line({x - 3, y - 3}, {x + 4, y - 3}, pen);  // stock
    canvas.Line({x - 4, y + 2}, {x, y + 5}, pen);      // arms
    canvas.Line({x + 4, y + 2}, {x, y + 5}, pen);
}

// A filled circle as a polygon: the canvas's pie draws its radius as an edge.
void DrawCircle(CChartCanvas& canvas, int x, int y, int radius, const CChartPen& pen,
                ChartColorRef fill)
{
    const int corners = std::clamp(8 + 2 * radius, 12, 48);
    std::vector<CChartPoint> points;
    points.reserve(static_cast<size_t>(corners));
    for (int i = 0; i < corners; ++i) {
        const double angle = 2 * 3.14159265358979323846 * i / corners;
        points.push_back(
            {x + Round(radius * std::cos(angle)), y - Round(radius * std::sin(angle))});
    }
    canvas.Polygon(points, pen, fill);
}

void DrawLegend(CChartCanvas& canvas, const CMapScene& scene)
{
    const int width = 112;
    const int rows = 4 + (scene.ports.empty() ? 0 : 1);
    const int height = 10 + rows * 20;
    const int left = 8;
    const int top = canvas.GetClientHeight() - height - 8;
    if (top < 0) return;
    canvas.Rectangle(left, top, left + width, top + height, {kMapCoastColor, 1}, kChartWhite);
    const CChartFontMetrics metrics = canvas.GetFontMetrics(kLabelFont);
    int y = top + 15;
    const auto row = [&](const std::string& text) {
        canvas.Text(left + 34, y - metrics.height / 2, text, kLabelFont, kChartBlack);
        y += 20;
    };
    const int cx = left + 16;
    for (const int catches : {1, 10, 100}) {
        DrawCircle(canvas, cx, y, std::min(9, MapMarkerRadius(catches)), {kChartWhite, 1},
                   kMapCatchColor);
        row(std::to_string(catches) + "匹");
    }
    DrawCircle(canvas, cx, y, 6, {kChartWhite, 1}, kMapNoCatchColor);
    row("釣果なし");
    if (!scene.ports.empty()) {
        DrawAnchor(canvas, cx, y);
        row("潮汐の港");
    }
}

void DrawCredit(CChartCanvas& canvas, const std::string& credit)
{
    const CChartFontMetrics metrics = canvas.GetFontMetrics(kLabelFont);
    // Japanese text measured as two average characters per CP932 pair is close enough here;
    // the box only has to hold the text.
    int units = 0;
    for (unsigned char c : credit) units += (c & 0xC0) != 0x80 ? (c < 0x80 ? 1 : 2) : 0;
    const int width = units * metrics.aveCharWidth + 8;
    const int right = canvas.GetClientWidth();
    const int bottom = canvas.GetClientHeight();
    canvas.Rectangle(right - width, bottom - metrics.height - 4, right, bottom, {kChartWhite, 1},
                     kChartWhite);
    canvas.Text(right - width + 4, bottom - metrics.height - 2, credit, kLabelFont, kChartBlack);
}

}  // namespace

int MapMarkerRadius(int catches)
{
    if (catches <= 0) return 5;
    return std::min(16, 5 + Round(2.5 * std::log2(1.0 + catches)));
}

void DrawBaseMap(CChartCanvas& canvas, const CMapViewport& view, const CBaseMap& baseMap)
{
    const int width = canvas.GetClientWidth();
    const int height = canvas.GetClientHeight();
    canvas.Rectangle(0, 0, width, height, {kMapSeaColor, 1}, kMapSeaColor);
    double left = 0, top = 0, right = 0, bottom = 0;
    std::vector<CChartPoint> points;
    for (const CBaseMapRing& ring : baseMap.Rings()) {
        view.ToScreen(ring.min, left, top);
        view.ToScreen(ring.max, right, bottom);
        if (right < 0 || bottom < 0 || left >= width || top >= height) continue;
        // An island smaller than a pixel is a dot at most.
        if (right - left < 1 && bottom - top < 1) continue;
        points.clear();
        for (const CMercatorPoint& point : ring.points) {
            double x = 0, y = 0;
            view.ToScreen(point, x, y);
            const CChartPoint pixel{ToPixel(x), ToPixel(y)};
            // Many points of the coast fall on one pixel when zoomed out.
            if (points.empty() || !(points.back() == pixel)) points.push_back(pixel);
        }
        if (points.size() >= 3) canvas.Polygon(points, {kMapCoastColor, 1}, kMapLandColor);
    }
}

std::vector<CDrawnMarker> DrawMap(CMapCanvas& canvas, const CMapViewport& view,
                                  const CBaseMap& baseMap, const CMapScene& scene)
{
    DrawBaseMap(canvas, view, baseMap);
    if (scene.tiles) {
        for (const CPlacedTile& tile : view.VisibleTiles())
            canvas.Tile(tile.key, tile.left, tile.top);
    }

    const int width = canvas.GetClientWidth();
    const int height = canvas.GetClientHeight();
    for (const CMapPort& port : scene.ports) {
        double x = 0, y = 0;
        view.ToScreen(port.point, x, y);
        if (x < -8 || y < -8 || x > width + 8 || y > height + 8) continue;
        DrawAnchor(canvas, Round(x), Round(y));
    }

    std::vector<CMapMarkerSpot> spots;
    std::vector<size_t> placeOfSpot;
    for (size_t i = 0; i < scene.places.size(); ++i) {
        double x = 0, y = 0;
        view.ToScreen(scene.places[i].point, x, y);
        if (x < -20 || y < -20 || x > width + 20 || y > height + 20) continue;
        spots.push_back({x, y, scene.places[i].catches});
        placeOfSpot.push_back(i);
    }
    std::vector<CMapCluster> clusters = ClusterMapMarkers(spots, kMapClusterDistance);
    // Light markers first, so the heaviest stay on top.
    std::reverse(clusters.begin(), clusters.end());

    std::vector<CDrawnMarker> drawn;
    drawn.reserve(clusters.size());
    const CChartFontMetrics metrics = canvas.GetFontMetrics(kCountFont);
    for (const CMapCluster& cluster : clusters) {
        CDrawnMarker marker{
            Round(cluster.x), Round(cluster.y), MapMarkerRadius(cluster.weight), {}};
        for (size_t member : cluster.members) marker.places.push_back(placeOfSpot[member]);
        const bool many = marker.places.size() > 1;
        const bool selected = std::find(marker.places.begin(), marker.places.end(),
                                        static_cast<size_t>(scene.selected)) != marker.places.end();
        if (many) marker.radius = std::max(marker.radius, 10);
        const ChartColorRef fill = many                 ? kMapClusterColor
                                   : cluster.weight > 0 ? kMapCatchColor
                                                        : kMapNoCatchColor;
        const CChartPen pen = selected ? CChartPen{kChartBlack, 3} : CChartPen{kChartWhite, 2};
        DrawCircle(canvas, marker.x, marker.y, marker.radius, pen, fill);
        if (many) {
            const std::string count = std::to_string(marker.places.size());
            canvas.Text(marker.x - static_cast<int>(count.size()) * metrics.aveCharWidth / 2,
                        marker.y - metrics.height / 2, count, kCountFont, kChartWhite);
        }
        drawn.push_back(std::move(marker));
    }

    if (scene.legend) DrawLegend(canvas, scene);
    if (scene.tiles && !scene.credit.empty()) DrawCredit(canvas, scene.credit);
    return drawn;
}

const CDrawnMarker* MarkerAt(const std::vector<CDrawnMarker>& markers, int x, int y)
{
    for (auto it = markers.rbegin(); it != markers.rend(); ++it) {
        const long dx = x - it->x;
        const long dy = y - it->y;
        if (dx * dx + dy * dy <= static_cast<long>(it->radius) * it->radius) return &*it;
    }
    return nullptr;
}
