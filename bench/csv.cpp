// CSV exchange and the trip list's search against a bare libxml2 parse of the same generated
// 10,000-trip catch file, in one run (ratios printed after the table):
//  - BM_CsvExport: every trip written as CSV (30,000 rows) by a store that has read the file, as
//    the menu runs it (goal ≤ 1.5 x parse); BM_CsvExportCold also reads the file first, as the
//    command line does;
//  - BM_CsvImport: those rows imported into an empty Data folder (goal ≤ 3 x a parse of the
//    resulting catch file, BM_ParseImported; the ratio to BM_BareParse is printed too);
//  - BM_FilterKeystroke: one more character in the search field of a trip list of 10,000 rows,
//    the view updated (goal ≤ 0.2 x parse).
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <QApplication>
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/SafeFile.h"
#include "data/TripCsv.h"
#include "reports/widgets/ReportDataFrame.h"
#include "reports/widgets/ReportDataView.h"
#include "support/CatchFileGenerator.h"
#include "support/RatioReporter.h"

namespace {

constexpr int kTrips = 10000;

struct CBenchData {
    CBenchData()
    {
        generated = GenerateCatchFile(kTrips);
        // Beside the log's folder, not in it: an export never writes among the log's files.
        csvPath = generated.directory.substr(0, generated.directory.size() - 1) + "-trips.csv";
        importDir = generated.directory + "import/";
        std::filesystem::create_directories(importDir);
        std::string error;
        if (!ExportTripsCsvFile(CCatchStore(generated.path), csvPath, error)) std::abort();
    }
    ~CBenchData()
    {
        std::filesystem::remove(csvPath);
        RemoveGeneratedCatchFile(generated);
    }
    CGeneratedCatchFile generated;
    std::string csvPath;
    std::string importDir;
};

CBenchData* g_data = nullptr;

void Parse(const std::string& path)
{
    // Reading the file is part of every operation measured, so the baseline reads it too.
    std::string bytes;
    ReadWholeFile(path, bytes);
    xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                  XML_PARSE_NONET);
    benchmark::DoNotOptimize(doc);
    xmlFreeDoc(doc);
}

void BM_BareParse(benchmark::State& state)
{
    for (auto _ : state) Parse(g_data->generated.path);
}

void BM_CsvExport(benchmark::State& state)
{
    CCatchStore store(g_data->generated.path);
    std::vector<CTripRow> rows;
    if (!store.ListTrips(rows).ok()) state.SkipWithError("read failed");
    std::string error;
    for (auto _ : state) {
        if (!ExportTripsCsvFile(store, g_data->csvPath, error))
            state.SkipWithError("export failed");
    }
}

void BM_CsvExportCold(benchmark::State& state)
{
    std::string error;
    for (auto _ : state) {
        CCatchStore store(g_data->generated.path);
        if (!ExportTripsCsvFile(store, g_data->csvPath, error))
            state.SkipWithError("export failed");
    }
}

void BM_CsvImport(benchmark::State& state)
{
    const std::string target = g_data->importDir + "fish.xml";
    size_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(target);
        std::filesystem::remove(target + ".bak");
        state.ResumeTiming();
        CCatchStore store(target);
        const CCsvImportOutcome outcome = ImportTripsCsvFile(store, g_data->csvPath, nullptr);
        if (!outcome.error.empty()) state.SkipWithError("import failed");
        added = outcome.added;
    }
    state.counters["trips"] = static_cast<double>(added);
}

void BM_ParseImported(benchmark::State& state)
{
    const std::string target = g_data->importDir + "fish.xml";
    if (!std::filesystem::exists(target)) {
        CCatchStore store(target);
        ImportTripsCsvFile(store, g_data->csvPath, nullptr);
    }
    for (auto _ : state) Parse(target);
}

void BM_FilterKeystroke(benchmark::State& state)
{
    CCatchStore store(g_data->generated.path);
    const CDataFolder folder = CDataFolder::OfRunningProgram();
    CReportDataFrame page(store, folder);
    page.resize(800, 600);
    page.show();
    QApplication::processEvents();
    auto* search = page.findChild<QLineEdit*>(QString::number(CReportDataFrame::kSearchId));
    if (search == nullptr) state.SkipWithError("no search field");
    // Typing 「まだい」 then taking it back again: each step is one keystroke.
    const QString steps[] = {QStringLiteral("ま"),     QStringLiteral("まだ"),
                             QStringLiteral("まだい"), QStringLiteral("まだ"),
                             QStringLiteral("ま"),     QString()};
    size_t step = 0;
    for (auto _ : state) {
        search->setText(steps[step++ % std::size(steps)]);
        page.GetView()->viewport()->repaint();
    }
    state.counters["rows"] = page.GetView()->model()->rowCount();
    state.counters["trips"] = page.GetView()->GetRowModel()->rowCount();
}

}  // namespace

BENCHMARK(BM_BareParse)->Arg(kTrips)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvExport)->Arg(kTrips)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvExportCold)->Arg(kTrips)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvImport)->Arg(kTrips)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseImported)->Arg(kTrips)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterKeystroke)->Arg(kTrips)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    CBenchData data;
    g_data = &data;
    return RunBenchmarksWithRatios(argc, argv);
}
