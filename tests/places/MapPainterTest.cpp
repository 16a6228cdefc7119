#include "places/MapPainter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/RecordingMapCanvas.h"

namespace {

using EKind = CRecordingChartCanvas::EKind;

// The markers drawn (circles of the markers' colours), in drawing order.
std::vector<CRecordingChartCanvas::COperation> Markers(const CRecordingMapCanvas& canvas)
{
    std::vector<CRecordingChartCanvas::COperation> markers;
    for (const auto& op : canvas.Shapes().OperationsOf(EKind::Polygon)) {
        if (op.fill == kMapCatchColor || op.fill == kMapNoCatchColor || op.fill == kMapClusterColor)
            markers.push_back(op);
    }
    return markers;
}

CBaseMap Square()
{
    CBaseMap map;
    std::string error;
    // One degree of land south-west of (35°N, 139°E)... north-east corner at (35, 139).
    map.Parse("lurebook-basemap 1\nring 4 138000 34000 1000 0 0 1000 -1000 0\n", error);
    return map;
}

TEST(MapPainter, DrawsLandTilesMarkersLegendAndCreditInOrder)
{
    const CMapViewport view({34.5, 138.5}, 8, 800, 600);
    const CBaseMap land = Square();
    CMapScene scene;
    scene.places = {{"堤防A", {34.5, 138.5}, 12, 3}, {"磯B", {34.2, 138.0}, 0, 1}};
    scene.ports = {{"清水", {35.0, 138.5}}};
    scene.tiles = true;
    scene.credit = "地理院タイル";
    CRecordingMapCanvas canvas(800, 600);
    canvas.available = {view.VisibleTiles()[0].key};
    const auto markers = DrawMap(canvas, view, land, scene);

    const auto& ops = canvas.Shapes().Operations();
    ASSERT_GE(ops.size(), 3u);
    // The sea fills the window first, then the land's polygon with its four corners on screen.
    EXPECT_EQ(ops[0].kind, EKind::Rectangle);
    EXPECT_EQ(ops[0].fill, kMapSeaColor);
    EXPECT_EQ(ops[1].kind, EKind::Polygon);
    ASSERT_EQ(ops[1].points.size(), 4u);
    double x = 0, y = 0;
    view.ToScreen(CGeoPoint{34, 138}, x, y);
    EXPECT_EQ(ops[1].points[0],
              (CChartPoint{static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))}));
    // Every visible tile was asked for at its place; only the one at hand was drawn.
    const auto visible = view.VisibleTiles();
    ASSERT_EQ(canvas.Tiles().size(), visible.size());
    for (size_t i = 0; i < visible.size(); ++i) {
        EXPECT_EQ(canvas.Tiles()[i].key, visible[i].key);
        EXPECT_EQ(canvas.Tiles()[i].left, visible[i].left);
        EXPECT_EQ(canvas.Tiles()[i].drawn, i == 0);
    }
    // Two markers: the heavier on top (drawn last), sized by catches; the port as an anchor.
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[1].places, std::vector<size_t>{0});
    EXPECT_EQ(markers[1].radius, MapMarkerRadius(12));
    EXPECT_EQ(markers[0].radius, MapMarkerRadius(0));
    view.ToScreen(CGeoPoint{34.5, 138.5}, x, y);
    EXPECT_EQ(markers[1].x, std::lround(x));
    const auto circles = Markers(canvas);
    ASSERT_EQ(circles.size(), 2u + 4u);  // and the legend's four after them
    EXPECT_EQ(circles[0].fill, kMapNoCatchColor);
    EXPECT_EQ(circles[1].fill, kMapCatchColor);
    // The circle's first corner is due east of the centre at the radius, the others as far.
    EXPECT_EQ(circles[1].points[0], (CChartPoint{markers[1].x + markers[1].radius, markers[1].y}));
    for (const CChartPoint& corner : circles[1].points) {
        EXPECT_NEAR(std::hypot(corner.x - markers[1].x, corner.y - markers[1].y), markers[1].radius,
                    1.0);
    }
    EXPECT_EQ(canvas.Shapes().OperationsOf(EKind::Line).size() >= 4, true);
    // Legend and credit.
    EXPECT_EQ(canvas.Shapes().TextsEqualTo("10匹").size(), 1u);
    EXPECT_EQ(canvas.Shapes().TextsEqualTo("潮汐の港").size(), 1u);
    ASSERT_EQ(canvas.Shapes().TextsEqualTo("地理院タイル").size(), 1u);
    EXPECT_GT(canvas.Shapes().TextsEqualTo("地理院タイル")[0].points[0].x, 700);
}

TEST(MapPainter, TilesAndCreditFollowTheSetting)
{
    struct {
        bool tiles;
        size_t asked;
        size_t credits;
    } const cases[] = {{false, 0, 0}, {true, 6, 1}};
    for (const auto& c : cases) {
        const CMapViewport view({35, 139}, 10, 512, 256);
        CMapScene scene;
        scene.tiles = c.tiles;
        scene.credit = "地理院タイル";
        CRecordingMapCanvas canvas(512, 256);
        DrawMap(canvas, view, CBaseMap(), scene);
        EXPECT_EQ(canvas.Tiles().size(), c.asked);
        EXPECT_EQ(canvas.Shapes().TextsEqualTo("地理院タイル").size(), c.credits);
    }
}

TEST(MapPainter, ClustersOverlappingPlacesWithACountAndFindsThemByPixel)
{
    const CMapViewport view({35, 139}, 6, 800, 600);
    CMapScene scene;
    scene.legend = false;
    // Three places a few hundred metres apart gather at zoom 6; one far away stays alone;
    // one off the screen is not drawn at all.
    scene.places = {{"a", {35.000, 139.000}, 2, 1},
                    {"b", {35.001, 139.002}, 7, 2},
                    {"c", {35.002, 139.001}, 0, 1},
                    {"d", {33.000, 135.000}, 1, 1},
                    {"far", {-30, 20}, 50, 1}};
    CRecordingMapCanvas canvas(800, 600);
    const auto markers = DrawMap(canvas, view, CBaseMap(), scene);
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[1].places, (std::vector<size_t>{1, 0, 2}));  // heaviest first
    EXPECT_EQ(markers[1].radius, MapMarkerRadius(9));
    EXPECT_EQ(markers[0].places, std::vector<size_t>{3});
    EXPECT_EQ(canvas.Shapes().TextsEqualTo("3").size(), 1u);
    EXPECT_EQ(Markers(canvas)[1].fill, kMapClusterColor);

    struct {
        int dx, dy;
        const CDrawnMarker* expected;
    } const hits[] = {{0, 0, &markers[1]},
                      {markers[1].radius, 0, &markers[1]},
                      {markers[1].radius + 1, 0, nullptr}};
    for (const auto& h : hits)
        EXPECT_EQ(MarkerAt(markers, markers[1].x + h.dx, markers[1].y + h.dy), h.expected);
}

TEST(MapPainter, MarkerRadiusGrowsWithCatchesWithinBounds)
{
    struct {
        int catches, radius;
    } const cases[] = {{-1, 5}, {0, 5}, {1, 8}, {3, 10}, {10, 14}, {100, 16}, {1000000, 16}};
    for (const auto& c : cases) EXPECT_EQ(MapMarkerRadius(c.catches), c.radius) << c.catches;
}

}  // namespace
