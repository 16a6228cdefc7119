// The map page against reading the log, in the same run:
//  - BM_ParseTrips: the catch file of 100,000 trips over 2,000 places parsed into trips, the
//    least any page must do;
//  - BM_DrawAllPlaces: those trips tallied per place and the map drawn at the zoom that shows
//    every place (base map, markers gathered where they overlap, legend), 1280 × 800 pixels
//    (goal ≤ 0.05 × BM_ParseTrips);
//  - BM_PanFrame: one frame of a drag over tiles already decoded and kept, 1920 × 1080 pixels
//    with the places and the base map under the tiles (goal ≤ 16 ms);
//  - BM_TileMemory: the tiles kept in memory while 1,000 different tiles pass: at most
//    kMaxTilesInMemory of 256 × 256 × 4 bytes, 48 MiB (counters tiles_kept and kept_MiB).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/SafeFile.h"
#include "places/BaseMap.h"
#include "places/MapPainter.h"
#include "places/PlaceTally.h"
#include "places/widgets/QtMapCanvas.h"
#include "places/widgets/TileFetcher.h"
#include "support/CatchFileGenerator.h"
#include "support/RatioReporter.h"

namespace {

constexpr int kTrips = 100000;
constexpr int kPlaces = 2000;

unsigned g_state = 4242;
unsigned Next(unsigned n)
{
    g_state = g_state * 1664525u + 1013904223u;
    return (g_state >> 8) % n;
}

struct CFixture {
    std::string directory;
    std::string bytes;
    std::vector<CTripRecord> trips;
    std::map<std::string, CGeoPoint> positions;
    CBaseMap baseMap;
    CFixture()
    {
        std::string error;
        if (!baseMap.Load(std::string(LUREBOOK_SOURCE_DIR) + "/assets/places/japan-land.txt",
                          error))
            std::abort();
        std::vector<std::string> names;
        for (int i = 0; i < kPlaces; ++i) {
            names.push_back("釣り場" + std::to_string(i));
            positions[names.back()] = {31.0 + Next(13000) / 1000.0, 129.5 + Next(16000) / 1000.0};
        }
        const char* species[] = {"シーバス", "メバル", "クロダイ", "アジ", "カサゴ"};
        std::vector<CTripRecord> generated;
        for (int i = 0; i < kTrips; ++i) {
            CTripRecord trip;
            char date[16];
            std::snprintf(date, sizeof date, "%04d/%02d/%02d", 2020 + int(Next(5)),
                          1 + int(Next(12)), 1 + int(Next(28)));
            trip.date = date;
            trip.place = names[Next(kPlaces)];
            trip.weather = "晴れ";
            trip.fishname = species[Next(5)];
            trip.memo = "朝マヅメに時合い。潮が動き出してから当たりが続いた。";
            for (int k = 0, n = int(Next(4)); k < n; ++k)
                trip.catches.push_back({species[Next(5)], "30", "0.5", "6時30分"});
            generated.push_back(std::move(trip));
        }
        char pattern[] = "/tmp/lurebook-bench-map-XXXXXX";
        directory = std::string(::mkdtemp(pattern)) + "/";
        const std::string path = directory + "fish.xml";
        WriteFileSafely(
            path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog>\r\n</CatchLog>\r\n");
        CCatchStore store(path);
        if (!store.AddTrips(generated).ok()) std::abort();
        bytes = ReadBenchFile(path);
        if (!CCatchStore::ParseTrips(bytes, trips).ok()) std::abort();
    }
    ~CFixture()
    {
        std::remove((directory + "fish.xml").c_str());
        std::remove((directory + "fish.xml.bak").c_str());
        std::remove(directory.c_str());
    }
};

CFixture& Fixture()
{
    static CFixture fixture;
    return fixture;
}

CMapScene SceneOf(const CFixture& fixture)
{
    CMapScene scene;
    for (const CPlaceTally& tally : TallyPlaces(fixture.trips, {})) {
        const auto found = fixture.positions.find(tally.place);
        if (found != fixture.positions.end())
            scene.places.push_back(
                {tally.place, found->second, tally.catches, static_cast<int>(tally.trips.size())});
    }
    return scene;
}

void BM_ParseTrips(benchmark::State& state)
{
    const std::string& bytes = Fixture().bytes;
    for (auto _ : state) {
        std::vector<CTripRecord> trips;
        if (!CCatchStore::ParseTrips(bytes, trips).ok()) state.SkipWithError("parse");
        benchmark::DoNotOptimize(trips);
    }
    state.counters["trips"] = double(Fixture().trips.size());
}

void BM_DrawAllPlaces(benchmark::State& state)
{
    const CFixture& fixture = Fixture();
    QImage image(1280, 800, QImage::Format_RGB32);
    size_t markers = 0;
    int zoom = 0;
    for (auto _ : state) {
        const CMapScene scene = SceneOf(fixture);
        std::vector<CGeoPoint> points;
        for (const CMapPlace& place : scene.places) points.push_back(place.point);
        CMapViewport view({35, 137}, 5, image.width(), image.height());
        view.FitTo(points, 40);
        QPainter painter(&image);
        CQtMapCanvas canvas(painter, image.size(), QApplication::font(), nullptr);
        markers = DrawMap(canvas, view, fixture.baseMap, scene).size();
        zoom = view.Zoom();
    }
    state.counters["places"] = kPlaces;
    state.counters["markers"] = double(markers);
    state.counters["zoom"] = zoom;
}

QByteArray TilePng(int seed)
{
    QImage tile(256, 256, QImage::Format_RGB32);
    tile.fill(QColor(200, 220 - seed % 40, 200));
    QPainter painter(&tile);
    painter.drawText(20, 40, QString::number(seed));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    tile.save(&buffer, "PNG");
    return bytes;
}

void BM_PanFrame(benchmark::State& state)
{
    const CFixture& fixture = Fixture();
    QTemporaryDir cache;
    CMapViewport view({35.3, 139.6}, 10, 1920, 1080);
    // Every tile the drag passes over is on disk and, after the first frame, decoded in memory.
    {
        CTileDiskCache disk(cache.path().toStdString(), std::uint64_t{1} << 30);
        CMapViewport wide = view;
        wide.SetSize(1920 + 2 * 256 + 1024, 1080 + 2 * 256);
        std::string error;
        for (const CPlacedTile& tile : wide.VisibleTiles())
            disk.Write(tile.key, TilePng(tile.key.x + tile.key.y).toStdString(), INT64_MAX, error);
    }
    CTileFetcher tiles(QStringLiteral("https://example.invalid/{z}/{x}/{y}.png"), cache.path(),
                       std::uint64_t{1} << 30);
    tiles.SetOnline(false);
    CMapScene scene = SceneOf(fixture);
    scene.tiles = true;
    scene.credit = "地理院タイル";
    QImage frame(1920, 1080, QImage::Format_RGB32);
    const auto draw = [&] {
        QPainter painter(&frame);
        CQtMapCanvas canvas(painter, frame.size(), QApplication::font(), &tiles);
        return DrawMap(canvas, view, fixture.baseMap, scene).size();
    };
    draw();
    int step = 0;
    for (auto _ : state) {
        // Back and forth over 1,000 pixels, 7 pixels a frame.
        view.PanBy((step++ / 140) % 2 == 0 ? -7 : 7, 0);
        benchmark::DoNotOptimize(draw());
    }
    state.counters["tiles_kept"] = tiles.TilesInMemory();
}

void BM_TileMemory(benchmark::State& state)
{
    QTemporaryDir cache;
    {
        CTileDiskCache disk(cache.path().toStdString(), std::uint64_t{1} << 30);
        std::string error;
        for (int i = 0; i < 1000; ++i)
            disk.Write({12, i, 0}, TilePng(i).toStdString(), INT64_MAX, error);
    }
    int kept = 0;
    for (auto _ : state) {
        CTileFetcher tiles(QString(), cache.path(), std::uint64_t{1} << 30);
        for (int i = 0; i < 1000; ++i) benchmark::DoNotOptimize(tiles.Tile({12, i, 0}));
        kept = tiles.TilesInMemory();
    }
    state.counters["tiles_kept"] = kept;
    state.counters["kept_MiB"] = kept * 256.0 * 256 * 4 / (1 << 20);
}

}  // namespace

BENCHMARK(BM_ParseTrips)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_DrawAllPlaces)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_PanFrame)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_TileMemory)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return RunBenchmarksWithRatios(argc, argv, "BM_ParseTrips");
}
