#include "places/MapViewport.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

}  // namespace

CMercatorPoint MercatorFromGeo(const CGeoPoint& point)
{
    const double latitude =
        std::clamp(point.latitude, -kMercatorMaxLatitude, kMercatorMaxLatitude) * kPi / 180;
    double longitude = std::fmod(point.longitude + 180, 360);
    if (longitude < 0) longitude += 360;
    if (point.longitude == 180) longitude = 360;  // the antimeridian stays on the east edge
    return {longitude / 360, (1 - std::log(std::tan(kPi / 4 + latitude / 2)) / kPi) / 2};
}

CGeoPoint GeoFromMercator(const CMercatorPoint& point)
{
    const double latitude = std::atan(std::sinh(kPi * (1 - 2 * point.y))) * 180 / kPi;
    return {latitude, point.x * 360 - 180};
}

bool IsValidTileKey(const CTileKey& key)
{
    if (key.z < 0 || key.z > kMapMaxZoom) return false;
    const int count = 1 << key.z;
    return key.x >= 0 && key.y >= 0 && key.x < count && key.y < count;
}

CMapViewport::CMapViewport(CGeoPoint center, int zoom, int width, int height)
    : m_center(MercatorFromGeo(center)), m_zoom(zoom), m_width(width), m_height(height)
{
    Clamp();
}

void CMapViewport::SetSize(int width, int height)
{
    m_width = std::max(0, width);
    m_height = std::max(0, height);
}

void CMapViewport::SetCenter(const CGeoPoint& center)
{
    m_center = MercatorFromGeo(center);
    Clamp();
}

double CMapViewport::WorldSize() const
{
    return std::ldexp(static_cast<double>(kMapTileSize), m_zoom);
}

void CMapViewport::ToScreen(const CMercatorPoint& point, double& x, double& y) const
{
    const double world = WorldSize();
    x = (point.x - m_center.x) * world + m_width / 2.0;
    y = (point.y - m_center.y) * world + m_height / 2.0;
}

void CMapViewport::ToScreen(const CGeoPoint& point, double& x, double& y) const
{
    ToScreen(MercatorFromGeo(point), x, y);
}

CGeoPoint CMapViewport::FromScreen(double x, double y) const
{
    const double world = WorldSize();
    return GeoFromMercator(
        {m_center.x + (x - m_width / 2.0) / world, m_center.y + (y - m_height / 2.0) / world});
}

void CMapViewport::PanBy(double dx, double dy)
{
    const double world = WorldSize();
    m_center.x -= dx / world;
    m_center.y -= dy / world;
    Clamp();
}

void CMapViewport::ZoomAt(int steps, double x, double y)
{
    const int zoom = std::clamp(m_zoom + steps, kMapMinZoom, kMapMaxZoom);
    if (zoom == m_zoom) return;
    const double before = WorldSize();
    const CMercatorPoint under{m_center.x + (x - m_width / 2.0) / before,
                               m_center.y + (y - m_height / 2.0) / before};
    m_zoom = zoom;
    const double after = WorldSize();
    m_center = {under.x - (x - m_width / 2.0) / after, under.y - (y - m_height / 2.0) / after};
    Clamp();
}

void CMapViewport::FitTo(const std::vector<CGeoPoint>& points, int margin, int singleZoom)
{
    if (points.empty()) return;
    double minX = 1, minY = 1, maxX = 0, maxY = 0;
    for (const CGeoPoint& point : points) {
        const CMercatorPoint m = MercatorFromGeo(point);
        minX = std::min(minX, m.x);
        maxX = std::max(maxX, m.x);
        minY = std::min(minY, m.y);
        maxY = std::max(maxY, m.y);
    }
    m_center = {(minX + maxX) / 2, (minY + maxY) / 2};
    const double spanX = maxX - minX;
    const double spanY = maxY - minY;
    if (spanX == 0 && spanY == 0) {
        m_zoom = std::clamp(singleZoom, kMapMinZoom, kMapMaxZoom);
    } else {
        const double roomX = std::max(1, m_width - 2 * margin);
        const double roomY = std::max(1, m_height - 2 * margin);
        m_zoom = kMapMinZoom;
        for (int zoom = kMapMaxZoom; zoom > kMapMinZoom; --zoom) {
            const double world = std::ldexp(static_cast<double>(kMapTileSize), zoom);
            if (spanX * world <= roomX && spanY * world <= roomY) {
                m_zoom = zoom;
                break;
            }
        }
    }
    Clamp();
}

void CMapViewport::Clamp()
{
    m_zoom = std::clamp(m_zoom, kMapMinZoom, kMapMaxZoom);
    if (!std::isfinite(m_center.x) || !std::isfinite(m_center.y)) m_center = {0.5, 0.5};
    m_center.x = std::clamp(m_center.x, 0.0, 1.0);
    m_center.y = std::clamp(m_center.y, 0.0, 1.0);
}

std::vector<CPlacedTile> CMapViewport::VisibleTiles() const
{
    std::vector<CPlacedTile> tiles;
    if (m_width <= 0 || m_height <= 0) return tiles;
    const double world = WorldSize();
    const double left = m_center.x * world - m_width / 2.0;
    const double top = m_center.y * world - m_height / 2.0;
    const int count = 1 << m_zoom;
    const int firstX = std::max(0, static_cast<int>(std::floor(left / kMapTileSize)));
    const int firstY = std::max(0, static_cast<int>(std::floor(top / kMapTileSize)));
    const int lastX =
        std::min(count - 1, static_cast<int>(std::floor((left + m_width - 1) / kMapTileSize)));
    const int lastY =
        std::min(count - 1, static_cast<int>(std::floor((top + m_height - 1) / kMapTileSize)));
    for (int y = firstY; y <= lastY; ++y) {
        for (int x = firstX; x <= lastX; ++x) {
            tiles.push_back({{m_zoom, x, y},
                             static_cast<int>(std::lround(x * kMapTileSize - left)),
                             static_cast<int>(std::lround(y * kMapTileSize - top))});
        }
    }
    return tiles;
}
