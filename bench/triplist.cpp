// The trip list page filling itself from a catch file of 10,000 trips, against a bare libxml2
// parse of the same bytes measured in the same run.  BM_FillAgainstParse times both in every
// iteration and reports their ratio as the counter "fill_per_parse" (the goal is at most 2).
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "data/ProgramDir.h"
#include "data/SafeFile.h"
#include "reports/widgets/ReportDataFrame.h"
#include "reports/widgets/ReportDataView.h"
#include "support/CatchFileGenerator.h"

namespace {

constexpr int kTrips = 10000;

QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_triplist";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}

// A program directory whose Data/fish.xml holds the generated trips.
struct CBenchData {
    CBenchData()
    {
        generated = GenerateCatchFile(kTrips);
        std::filesystem::create_directories(generated.directory + "Data");
        ReadWholeFile(generated.path, bytes);
        if (!WriteFileSafely(generated.directory + "Data/fish.xml", bytes)) std::abort();
        SetProgramDirOverride(generated.directory);
    }
    ~CBenchData() { RemoveGeneratedCatchFile(generated); }
    CGeneratedCatchFile generated;
    std::string bytes;
};

CBenchData& Data()
{
    static CBenchData data;
    return data;
}

void BareParse(const std::string& path)
{
    // Reading the file is part of every fill, so the baseline reads it too.
    std::string bytes;
    ReadWholeFile(path, bytes);
    xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                  XML_PARSE_NONET);
    benchmark::DoNotOptimize(doc);
    xmlFreeDoc(doc);
}

// The page as the program shows it, filled once on creation.
CReportDataFrame& Page()
{
    static std::unique_ptr<CReportDataFrame> page = [] {
        App();
        Data();
        auto frame = std::make_unique<CReportDataFrame>();
        frame->resize(800, 600);
        frame->show();
        QApplication::processEvents();
        return frame;
    }();
    return *page;
}

void Fill(CReportDataView* view)
{
    if (!view->OnInitialUpdate().ok()) std::abort();
    // The view lays out and paints what the reset left pending, as on screen.
    view->viewport()->repaint();
    QApplication::processEvents();
}

void BM_BareParse(benchmark::State& state)
{
    const std::string path = Data().generated.path;
    for (auto _ : state) BareParse(path);
}

void BM_TripListFill(benchmark::State& state)
{
    CReportDataView* view = Page().GetView();
    for (auto _ : state) Fill(view);
    state.counters["rows"] = view->model()->rowCount();
}

void BM_FillAgainstParse(benchmark::State& state)
{
    CReportDataView* view = Page().GetView();
    const std::string path = Data().generated.path;
    double parseSeconds = 0;
    double fillSeconds = 0;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        BareParse(path);
        const auto t1 = Clock::now();
        Fill(view);
        const auto t2 = Clock::now();
        parseSeconds += std::chrono::duration<double>(t1 - t0).count();
        fillSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());
    }
    state.counters["fill_per_parse"] = parseSeconds > 0 ? fillSeconds / parseSeconds : 0;
}

}  // namespace

BENCHMARK(BM_BareParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TripListFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillAgainstParse)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
