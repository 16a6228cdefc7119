#pragma once

#include <cstdint>
#include <vector>

#include "places/GeoPoint.h"

// Web Mercator as the tile servers use it: the world is a square from (0, 0) at 180°W, 85.05°N
// to (1, 1) at 180°E, 85.05°S, and zoom z cuts it into 2^z × 2^z tiles of kMapTileSize pixels.
inline constexpr int kMapTileSize = 256;
inline constexpr int kMapMinZoom = 2;
inline constexpr int kMapMaxZoom = 18;
inline constexpr double kMercatorMaxLatitude = 85.0511287798066;

struct CMercatorPoint {
    double x = 0;
    double y = 0;
};

// The latitude is held to what the projection can show; the longitude wraps into ±180°.
CMercatorPoint MercatorFromGeo(const CGeoPoint& point);
CGeoPoint GeoFromMercator(const CMercatorPoint& point);

// One tile of the server's pyramid.  Only keys with 0 <= x, y < 2^z within the zoom range are
// ever asked of a server or named in the cache.
struct CTileKey {
    int z = 0;
    int x = 0;
    int y = 0;
    friend bool operator==(const CTileKey&, const CTileKey&) = default;
    friend bool operator<(const CTileKey& a, const CTileKey& b)
    {
        if (a.z != b.z) return a.z < b.z;
        if (a.y != b.y) return a.y < b.y;
        return a.x < b.x;
    }
};
bool IsValidTileKey(const CTileKey& key);

// A tile on the screen: its key and the pixel of its top-left corner.
struct CPlacedTile {
    CTileKey key;
    int left = 0;
    int top = 0;
};

// What a map window shows: the point at its centre, a whole zoom level and its size in pixels.
class CMapViewport {
public:
    CMapViewport() = default;
    CMapViewport(CGeoPoint center, int zoom, int width, int height);

    CGeoPoint Center() const { return GeoFromMercator(m_center); }
    int Zoom() const { return m_zoom; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void SetSize(int width, int height);
    void SetCenter(const CGeoPoint& center);

    // Pixels of the window (origin top-left) for a position, and back.
    void ToScreen(const CMercatorPoint& point, double& x, double& y) const;
    void ToScreen(const CGeoPoint& point, double& x, double& y) const;
    CGeoPoint FromScreen(double x, double y) const;

    // Moves the map with the pointer: a drag of (dx, dy) pixels.
    void PanBy(double dx, double dy);
    // One zoom level in (steps > 0) or out, keeping the position under the pixel (x, y) there.
    void ZoomAt(int steps, double x, double y);
    // The largest zoom that shows every point with margin pixels to spare; one point is shown at
    // singleZoom.  No points leaves the view as it is.
    void FitTo(const std::vector<CGeoPoint>& points, int margin, int singleZoom = 12);

    // The tiles that cover the window, row by row from the top-left, each once.
    std::vector<CPlacedTile> VisibleTiles() const;

private:
    double WorldSize() const;
    void Clamp();

    CMercatorPoint m_center{0.5, 0.5};
    int m_zoom = kMapMinZoom;
    int m_width = 0;
    int m_height = 0;
};
