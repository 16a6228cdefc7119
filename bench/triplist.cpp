// Start-up and the pages against bare baselines measured in the same run, on a catch file of
// 10,000 generated trips:
//  - BM_StartupAgainstBaseline: the main window built on a fresh store and shown, against a bare
//    Qt window shown plus one bare libxml2 parse (counter "startup_per_baseline", goal ≤ 1.2);
//  - BM_PagesAfterSave: after one save, the trip list and the statistics page's lists read again
//    (compare with BM_BareParse/10000; goal ≤ 0.2);
//  - BM_TripListFill: the trip list filling itself from a store that has read the file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/widgets/MainFrame.h"
#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/SafeFile.h"
#include "data/XMLDocument.h"
#include "reports/widgets/DataViewFrame.h"
#include "reports/widgets/ReportDataFrame.h"
#include "reports/widgets/ReportDataView.h"
#include "support/CatchFileGenerator.h"
#include "support/RatioReporter.h"

namespace {

constexpr int kTrips = 10000;
using Clock = std::chrono::steady_clock;

// A program directory whose Data/fish.xml holds the generated trips; it is also the working
// directory, where the calendar keeps its holiday lists.
struct CBenchData {
    CBenchData()
    {
        generated = GenerateCatchFile(kTrips);
        std::filesystem::create_directories(generated.directory + "Data/Picture");
        ReadWholeFile(generated.path, bytes);
        folder = CDataFolder(generated.directory);
        catchFile = folder.GetCatchFile();
        if (!WriteFileSafely(catchFile, bytes)) std::abort();
        if (::chdir(generated.directory.c_str()) != 0) std::abort();
    }
    ~CBenchData() { RemoveGeneratedCatchFile(generated); }
    CGeneratedCatchFile generated;
    std::string bytes;
    CDataFolder folder;
    std::string catchFile;
};

CBenchData* g_data = nullptr;

void BareParse()
{
    // Reading the file is part of every start, so the baseline reads it too.
    std::string bytes;
    ReadWholeFile(g_data->catchFile, bytes);
    benchmark::DoNotOptimize(CXMLDataFile::BareParse(bytes));
}

void ShowAndSettle(QWidget& window)
{
    window.resize(800, 600);
    window.show();
    QApplication::processEvents();
}

CTripRecord SampleTrip()
{
    CTripRecord trip;
    trip.fishname = "マダイ";
    trip.date = "2026/12/7";
    trip.place = "相模湾";
    trip.catches = {{"マダイ", "45", "2", "7時10分"}};
    return trip;
}

void BM_BareParse(benchmark::State& state)
{
    for (auto _ : state) BareParse();
}

void BM_StartupAgainstBaseline(benchmark::State& state)
{
    double baseline = 0;
    double startup = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        {
            QMainWindow bare;
            ShowAndSettle(bare);
            BareParse();
        }
        const auto t1 = Clock::now();
        {
            CCatchStore store(g_data->catchFile);
            CMainFrame frame(store, g_data->folder);
            ShowAndSettle(frame);
        }
        const auto t2 = Clock::now();
        baseline += std::chrono::duration<double>(t1 - t0).count();
        startup += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t2 - t1).count());
    }
    state.counters["startup_per_baseline"] = baseline > 0 ? startup / baseline : 0;
}

void BM_TripListFill(benchmark::State& state)
{
    CCatchStore store(g_data->catchFile);
    CReportDataFrame page(store, g_data->folder);
    ShowAndSettle(page);
    for (auto _ : state) {
        if (!page.GetView()->OnInitialUpdate().ok()) state.SkipWithError("fill failed");
        page.GetView()->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["rows"] = page.GetView()->model()->rowCount();
}

void BM_PagesAfterSave(benchmark::State& state)
{
    const std::string original = g_data->bytes;
    CCatchStore store(g_data->catchFile);
    CReportDataFrame trips(store, g_data->folder);
    CDataViewFrame statistics(store, g_data->folder);
    ShowAndSettle(trips);
    for (auto _ : state) {
        state.PauseTiming();
        if (!store.ReplaceTrip(0, SampleTrip()).ok()) state.SkipWithError("save failed");
        state.ResumeTiming();
        trips.GetView()->OnInitialUpdate();
        trips.GetView()->viewport()->repaint();
        statistics.RefreshFilterLists(true);
        QApplication::processEvents();
    }
    WriteFileSafely(g_data->catchFile, original);
}

}  // namespace

BENCHMARK(BM_BareParse)->Arg(kTrips)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupAgainstBaseline)->Arg(kTrips)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TripListFill)->Arg(kTrips)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagesAfterSave)->Arg(kTrips)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    CBenchData data;
    g_data = &data;
    return RunBenchmarksWithRatios(argc, argv);
}
