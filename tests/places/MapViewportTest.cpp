#include "places/MapViewport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

TEST(MapViewport, ProjectionRoundTripsAndKnownPoints)
{
    struct {
        CGeoPoint geo;
        double x, y;  // the unit square's coordinates, where known (negative: not checked)
    } const cases[] = {
        {{0, 0}, 0.5, 0.5},
        {{0, -180}, 0, 0.5},
        {{kMercatorMaxLatitude, 0}, 0.5, 0},
        {{-kMercatorMaxLatitude, 0}, 0.5, 1},
        {{35.681236, 139.767125}, -1, -1},  // Tokyo station
        {{24.4667, 122.9333}, -1, -1},      // Yonaguni
        {{45.5228, 141.9369}, -1, -1},      // Wakkanai
        {{-33.8688, 151.2093}, -1, -1},     // south and east
        {{51.5, -0.12}, -1, -1},            // north and west
    };
    for (const auto& c : cases) {
        const CMercatorPoint m = MercatorFromGeo(c.geo);
        if (c.x >= 0) {
            EXPECT_NEAR(m.x, c.x, 1e-12);
            EXPECT_NEAR(m.y, c.y, 1e-12);
        }
        const CGeoPoint back = GeoFromMercator(m);
        EXPECT_NEAR(back.latitude, c.geo.latitude, 1e-9) << c.geo.latitude;
        EXPECT_NEAR(back.longitude, c.geo.longitude, 1e-9) << c.geo.longitude;
    }
    // Beyond the projection's reach a latitude is held at its edge, a longitude wraps.
    EXPECT_NEAR(MercatorFromGeo({89.9, 0}).y, 0, 1e-12);
    EXPECT_NEAR(MercatorFromGeo({0, 190}).x, MercatorFromGeo({0, -170}).x, 1e-12);
}

TEST(MapViewport, TileOfTokyoAtKnownZooms)
{
    // The tile holding Tokyo station, as the GSI and OSM tile schemes number it.
    struct {
        int zoom;
        int x, y;
    } const cases[] = {{5, 28, 12}, {10, 909, 403}, {15, 29105, 12903}};
    for (const auto& c : cases) {
        const CMapViewport view({35.681236, 139.767125}, c.zoom, 2, 2);
        const std::vector<CPlacedTile> tiles = view.VisibleTiles();
        ASSERT_FALSE(tiles.empty());
        bool found = false;
        for (const CPlacedTile& tile : tiles) found |= tile.key == CTileKey{c.zoom, c.x, c.y};
        EXPECT_TRUE(found) << c.zoom;
    }
}

TEST(MapViewport, ScreenRoundTripZoomAtPointerAndPan)
{
    CMapViewport view({35, 139}, 8, 800, 600);
    struct {
        double x, y;
    } const pixels[] = {{0, 0}, {400, 300}, {799, 599}, {123.5, 456.25}};
    for (const auto& p : pixels) {
        double x = 0, y = 0;
        view.ToScreen(view.FromScreen(p.x, p.y), x, y);
        EXPECT_NEAR(x, p.x, 1e-6);
        EXPECT_NEAR(y, p.y, 1e-6);
    }
    // Zooming keeps the point under the pointer where it was.
    const CGeoPoint under = view.FromScreen(100, 500);
    for (const int steps : {1, 3, -2, -1}) {
        view.ZoomAt(steps, 100, 500);
        double x = 0, y = 0;
        view.ToScreen(under, x, y);
        EXPECT_NEAR(x, 100, 1e-6) << steps;
        EXPECT_NEAR(y, 500, 1e-6) << steps;
    }
    EXPECT_EQ(view.Zoom(), 9);
    // A drag moves the map with the pointer.
    const CGeoPoint grabbed = view.FromScreen(300, 300);
    view.PanBy(50, -20);
    double x = 0, y = 0;
    view.ToScreen(grabbed, x, y);
    EXPECT_NEAR(x, 350, 1e-6);
    EXPECT_NEAR(y, 280, 1e-6);
    // The zoom stays within the servers' range.
    view.ZoomAt(100, 0, 0);
    EXPECT_EQ(view.Zoom(), kMapMaxZoom);
    view.ZoomAt(-100, 0, 0);
    EXPECT_EQ(view.Zoom(), kMapMinZoom);
}

TEST(MapViewport, FitShowsEveryPointWithItsMargin)
{
    struct {
        std::vector<CGeoPoint> points;
        int zoom;
    } const cases[] = {
        {{{35.0, 139.0}}, 12},                                 // one point: the single zoom
        {{{35.0, 139.0}, {35.01, 139.01}}, 15},                // a bay
        {{{24.4667, 122.9333}, {45.5228, 141.9369}}, 4},       // all Japan
        {{{33.5, 130.4}, {35.68, 139.77}, {34.7, 135.5}}, 6},  // Fukuoka to Tokyo
    };
    for (const auto& c : cases) {
        CMapViewport view({0, 0}, 3, 800, 600);
        view.FitTo(c.points, 40);
        EXPECT_EQ(view.Zoom(), c.zoom);
        for (const CGeoPoint& point : c.points) {
            double x = 0, y = 0;
            view.ToScreen(point, x, y);
            EXPECT_GE(x, 40 - 1e-6);
            EXPECT_LE(x, 760 + 1e-6);
            EXPECT_GE(y, 40 - 1e-6);
            EXPECT_LE(y, 560 + 1e-6);
        }
    }
}

TEST(MapViewport, VisibleTilesCoverTheWindowOnceAndStayInTheWorld)
{
    struct {
        CGeoPoint center;
        int zoom, width, height;
    } const cases[] = {
        {{35, 139}, 10, 800, 600},
        {{35, 139}, 10, 256, 256},
        {{0, -180}, 2, 1920, 1080},  // the world's edge: no tile outside 0..2^z-1
        {{80, 170}, 2, 500, 500},    // near the top edge
    };
    for (const auto& c : cases) {
        const CMapViewport view(c.center, c.zoom, c.width, c.height);
        const auto tiles = view.VisibleTiles();
        std::set<CTileKey> keys;
        long covered = 0;
        for (const CPlacedTile& tile : tiles) {
            EXPECT_TRUE(IsValidTileKey(tile.key));
            EXPECT_TRUE(keys.insert(tile.key).second);
            const int w = std::min(tile.left + kMapTileSize, c.width) - std::max(tile.left, 0);
            const int h = std::min(tile.top + kMapTileSize, c.height) - std::max(tile.top, 0);
            EXPECT_GT(w, 0);
            EXPECT_GT(h, 0);
            covered += long{w} * h;
        }
        // Where the world is wider than the window, the tiles cover every pixel exactly once.
        if (c.zoom >= 3) {
            EXPECT_EQ(covered, long{c.width} * c.height);
        }
    }
    EXPECT_FALSE(IsValidTileKey({3, 8, 0}));
    EXPECT_FALSE(IsValidTileKey({3, -1, 0}));
    EXPECT_FALSE(IsValidTileKey({19, 0, 0}));
}

}  // namespace
