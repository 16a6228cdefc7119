// The map page against reading the log, in the same run:
//  - BM_ParseTrips: the catch file of 100,000 trips over 2,000 places parsed into trips, the
//    least any page must do;
//  - BM_TallyPlaces: those trips tallied per place and matched with the places' positions and
//    ports, the work the map page does once when the log or its filters change (reported
//    against the parse; no goal of its own);
//  - BM_DrawAllPlaces: one frame of the map page's view at the zoom that shows every place
//    (base map, ports, markers gathered where they overlap, legend), 1280 × 800 pixels, painted
//    as the window paints it (goal ≤ 0.05 × BM_ParseTrips);
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
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "places/BaseMap.h"
#include "places/MapPainter.h"
#include "places/MapPlaces.h"
#include "places/PlaceBook.h"
#include "places/widgets/MapView.h"
#include "places/widgets/QtMapCanvas.h"
#include "places/widgets/TileFetcher.h"
#include "support/CatchFileGenerator.h"
#include "support/RatioReporter.h"
#include "tides/TideStations.h"

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
    CGeneratedCatchFile file;
    std::string bytes;
    std::vector<CTripRecord> trips;
    CTideStations stations;
    CPlaceBook book{&stations};
    CBaseMap baseMap;
    CFixture()
    {
        std::string error;
        const std::string assets = std::string(LUREBOOK_SOURCE_DIR) + "/assets/";
        if (!baseMap.Load(assets + "places/japan-land.txt", error)) std::abort();
        if (!stations.Load(assets + "tides/stations.txt", error)) std::abort();
        std::vector<std::string> names;
        for (int i = 0; i < kPlaces; ++i) {
            names.push_back("釣り場" + std::to_string(i));
            const CGeoPoint point{31.0 + Next(13000) / 1000.0, 129.5 + Next(16000) / 1000.0};
            book.SetPosition(names.back(), point, EPositionSource::Typed);
            // Every place with its nearest port, as the entry dialog offers it.
            if (const CTideStation* port =
                    stations.Nearest(point.latitude, point.longitude, nullptr))
                book.SetPortForPlace(names.back(), port->id);
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
        file = StoreBenchTrips(generated);
        bytes = ReadBenchFile(file.path);
        if (!CCatchStore::ParseTrips(bytes, trips).ok()) std::abort();
    }
    ~CFixture() { RemoveGeneratedCatchFile(file); }
};

CFixture& Fixture()
{
    static CFixture fixture;
    return fixture;
}

CMapScene SceneOf(const CFixture& fixture)
{
    CMapPlaces shown = CollectMapPlaces(fixture.trips, {}, fixture.book, fixture.stations);
    CMapScene scene;
    scene.places = std::move(shown.places);
    scene.ports = std::move(shown.ports);
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

void BM_TallyPlaces(benchmark::State& state)
{
    const CFixture& fixture = Fixture();
    size_t places = 0;
    for (auto _ : state) {
        const CMapPlaces shown =
            CollectMapPlaces(fixture.trips, {}, fixture.book, fixture.stations);
        places = shown.places.size();
        benchmark::DoNotOptimize(shown);
    }
    state.counters["places"] = double(places);
}

void BM_DrawAllPlaces(benchmark::State& state)
{
    const CFixture& fixture = Fixture();
    CMapView view(fixture.baseMap);
    view.resize(1280, 800);
    view.SetScene(SceneOf(fixture));
    view.FitAll();
    QImage image(view.size(), QImage::Format_RGB32);
    for (auto _ : state) view.render(&image);
    state.counters["places"] = double(view.Scene().places.size());
    state.counters["ports"] = double(view.Scene().ports.size());
    state.counters["markers"] = double(view.DrawnMarkers().size());
    state.counters["zoom"] = view.Viewport().Zoom();
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
BENCHMARK(BM_TallyPlaces)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_DrawAllPlaces)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_PanFrame)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_TileMemory)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return RunBenchmarksWithRatios(argc, argv, "BM_ParseTrips");
}
