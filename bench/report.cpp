// The yearly report of a busy season: 500 trips of one year, 25 species, 300 fish photos of
// 640 x 480 (twelve per species, so every one of them is on a species page).
//   ReportNoPhotos  the same trips without photos: the report's work apart from its photos
//   ReportCold      the whole report (catch file read, pages laid out, PDF made in memory and
//                   written safely), thumbnail cache empty
//   ReportWarm      the same after an earlier report; the report decodes its photos for print
//                   (300 dpi of their printed size), never from the browser's thumbnail cache,
//                   so this differs from ReportCold only by what the system keeps in memory
// Counters: peak_MB is the growth of the process's peak resident size during one report and
// rss_MB the peak itself; photo_share the part of the time that the photos add (decoding them,
// placing them in the PDF) against ReportNoPhotos; pdf_KB the size.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/SafeFile.h"
#include "reports/widgets/YearReportWriter.h"
#include "uikit/Fonts.h"
#include "uikit/QtText.h"
// The test suite's JPEG writer and peak-memory probe.
#include "../tests/data/PeakMemory.h"
#include "../tests/photos/JpegTestFiles.h"

namespace {

constexpr int kTrips = 500;
constexpr int kSpecies = 25;
constexpr int kPhotosPerSpecies = 12;
constexpr int kYear = 2024;

// Smooth colour fields with some noise, so the files are photo-sized, not flat test cards.
std::string EncodePhoto(unsigned seed)
{
    constexpr int kWidth = 640;
    constexpr int kHeight = 480;
    return EncodeTestJpeg(
        kWidth, kHeight, [seed, state = seed * 2654435761u + 1](int x, int y) mutable {
            state = state * 1664525u + 1013904223u;
            const int noise = int((state >> 24) % 25) - 12;
            return CTestRgb{
                static_cast<uint8_t>(
                    std::clamp((x * 255 / kWidth + int(seed) * 37) % 256 + noise, 0, 255)),
                static_cast<uint8_t>(std::clamp((y * 255 / kHeight) % 256 + noise, 0, 255)),
                static_cast<uint8_t>(std::clamp(int(seed * 11) % 256 - noise, 0, 255))};
        });
}

struct CSeason {
    std::string dir;
    QString cacheHome;
    std::unique_ptr<CCatchStore> store;
    std::unique_ptr<CCatchStore> withoutPhotos;
    std::vector<std::string> photos;

    CSeason()
    {
        char pattern[] = "/tmp/lurebook-bench-report-XXXXXX";
        dir = std::string(::mkdtemp(pattern)) + "/";
        cacheHome = QStringFromStd(dir + "cache");
        // The benchmark never touches the user's own thumbnail cache.
        ::setenv("XDG_CACHE_HOME", cacheHome.toUtf8().constData(), 1);
        const std::string empty =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog>\r\n</CatchLog>\r\n";
        const std::string log = dir + "fish.xml";
        WriteFileSafely(log, empty);
        WriteFileSafely(dir + "nophotos.xml", empty);
        std::vector<CTripRecord> trips;
        for (int i = 0; i < kTrips; ++i) {
            CTripRecord trip;
            trip.date = std::to_string(kYear) + "/" + std::to_string(i % 12 + 1) + "/" +
                        std::to_string(i % 28 + 1);
            trip.place = "釣り場 " + std::to_string(i % 40);
            trip.weather = i % 3 ? "晴れ" : "曇り";
            const std::string species = "魚種" + std::to_string(i % kSpecies);
            trip.fishname = species;
            for (int k = 0; k <= i % 3; ++k)
                trip.catches.push_back({species, std::to_string(20 + (i * 7 + k) % 60),
                                        std::to_string(i % 9) + "." + std::to_string(k), "6時0分"});
            if (i / kSpecies < kPhotosPerSpecies) {
                const std::string path = dir + "photo" + std::to_string(i) + ".jpg";
                WriteFileSafely(path, EncodePhoto(unsigned(i)));
                trip.fishPhotos.push_back(path);
                photos.push_back(path);
            }
            trips.push_back(std::move(trip));
        }
        store = std::make_unique<CCatchStore>(log);
        if (!store->AddTrips(trips).ok()) std::abort();
        for (CTripRecord& trip : trips) trip.fishPhotos.clear();
        withoutPhotos = std::make_unique<CCatchStore>(dir + "nophotos.xml");
        if (!withoutPhotos->AddTrips(trips).ok()) std::abort();
    }
    ~CSeason() { QDir(QStringFromStd(dir)).removeRecursively(); }
    void ClearCache() const { QDir(cacheHome).removeRecursively(); }
};

CSeason& Season()
{
    static int argc = 1;
    static char name[] = "bench_report";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(argc, argv);
    static bool fonts = (InstallFontSubstitutions(), true);
    (void)fonts;
    static CSeason season;
    return season;
}

double Seconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

enum class EPhotos { None, Cold, Warm };

// Wall seconds per report without photos, from ReportNoPhotos (which runs first).
double g_noPhotoSeconds = 0;

void RunReport(benchmark::State& state, EPhotos photos)
{
    CSeason& season = Season();
    CCatchStore& store = photos == EPhotos::None ? *season.withoutPhotos : *season.store;
    const std::string out = season.dir + "report.pdf";
    double reportSeconds = 0;
    long peakKb = 0;
    long rssKb = 0;
    std::string error;
    // The tide ports of the folder the program would use without --program-dir.
    const CDataFolder folder = CDataFolder::OfRunningProgram();
    // A warm cache is filled by one report before the measured ones.
    if (photos == EPhotos::Warm) WriteYearReportFile(store, folder, kYear, out, error);
    for (auto _ : state) {
        state.PauseTiming();
        if (photos == EPhotos::Cold) season.ClearCache();
        store.Forget();
        const bool resetPeak = ResetPeakMemory();
        const long startKb = ReadStatusKb("VmRSS:");
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        if (!WriteYearReportFile(store, folder, kYear, out, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        reportSeconds += Seconds(std::chrono::steady_clock::now() - start);

        state.PauseTiming();
        if (resetPeak) {
            peakKb = std::max(peakKb, PeakGrowthKb(startKb));
            rssKb = std::max(rssKb, ReadStatusKb("VmHWM:"));
        }
        state.ResumeTiming();
    }
    const double perReport = reportSeconds / double(state.iterations());
    if (photos == EPhotos::None) g_noPhotoSeconds = perReport;
    state.counters["peak_MB"] = double(peakKb) / 1024;
    state.counters["rss_MB"] = double(rssKb) / 1024;
    if (photos != EPhotos::None && g_noPhotoSeconds > 0)
        state.counters["photo_share"] = 1 - g_noPhotoSeconds / perReport;
    state.counters["pdf_KB"] = double(QFileInfo(QStringFromStd(out)).size()) / 1024;
}

void BM_ReportNoPhotos(benchmark::State& state)
{
    RunReport(state, EPhotos::None);
}

void BM_ReportCold(benchmark::State& state)
{
    RunReport(state, EPhotos::Cold);
}

void BM_ReportWarm(benchmark::State& state)
{
    RunReport(state, EPhotos::Warm);
}

}  // namespace

BENCHMARK(BM_ReportNoPhotos)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReportCold)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReportWarm)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_MAIN();
