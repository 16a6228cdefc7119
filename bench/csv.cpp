// CSV exchange and the trip list's search against a bare libxml2 parse of the same generated
// 10,000-trip catch file, in one run (ratios printed after the table):
//  - BM_CsvExport: every trip written as CSV (30,000 rows) by a store that has read the file, as
//    the menu runs it (goal ≤ 1.5 x parse); BM_CsvExportCold also reads the file first, as the
//    command line does;
//  - BM_CsvImport: those rows imported into an empty Data folder (goal ≤ 3 x a parse of the
//    resulting catch file, BM_ParseImported; the ratio to BM_BareParse is printed too);
//  - BM_CsvImportPeak: a 200,000-trip file of small trips (about 8 MB) imported into an empty
//    Data folder; its counters give the peak memory growth of the import and of opening the
//    resulting log in a new store (logMB) and of adding one trip to it (saveMB, what the log
//    costs to change at all), in MB, and the import's growth beyond each over the file's size
//    (goal: overSavePerCsv ≤ 4);
//  - BM_FilterKeystroke: one more character in the search field of a trip list of 10,000 rows,
//    the view updated (goal ≤ 0.2 x parse).
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>
#include <QApplication>
#include <QLineEdit>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// The peak of this process's memory in kB since the last ResetPeak (VmHWM).
long PeakKb()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

bool ResetPeak()
{
    const int fd = ::open("/proc/self/clear_refs", O_WRONLY);
    if (fd < 0) return false;
    const bool ok = ::write(fd, "5", 1) == 1;
    ::close(fd);
    return ok;
}

long CurrentKb()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

void BM_CsvImportPeak(benchmark::State& state)
{
    const int trips = static_cast<int>(state.range(0));
    const std::string dir = g_data->importDir + "peak/";
    std::filesystem::create_directories(dir);
    const std::string csvPath = dir + "small.csv";
    {
        std::string csv = "\xEF\xBB\xBF" + std::string(kTripCsvHeader) + "\r\n";
        for (int n = 1; n <= trips; ++n) {
            csv += std::to_string(n) + ",2024/" + std::to_string(n % 12 + 1) + "/" +
                   std::to_string(n % 28 + 1) + ",晴れ,,,,,,,,,,,,,\r\n";
        }
        WriteFileSafely(csvPath, csv);
    }
    const double csvMb = static_cast<double>(std::filesystem::file_size(csvPath)) / 1048576.0;
    double importMb = 0;
    double logMb = 0;
    double saveMb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(dir + "fish.xml");
        std::filesystem::remove(dir + "fish.xml.bak");
        malloc_trim(0);
        state.ResumeTiming();
        long start = CurrentKb();
        if (!ResetPeak()) state.SkipWithError("peak memory cannot be measured");
        {
            CCatchStore store(dir + "fish.xml");
            const CCsvImportOutcome outcome = ImportTripsCsvFile(store, csvPath, nullptr);
            if (!outcome.error.empty() || outcome.added != static_cast<size_t>(trips))
                state.SkipWithError("import failed");
        }
        importMb = static_cast<double>(PeakKb() - start) / 1024.0;
        state.PauseTiming();
        malloc_trim(0);
        start = CurrentKb();
        ResetPeak();
        {
            CCatchStore store(dir + "fish.xml");
            if (!store.ReadTrips([](const std::vector<CTripRecord>&) {}).ok())
                state.SkipWithError("read failed");
        }
        logMb = static_cast<double>(PeakKb() - start) / 1024.0;
        malloc_trim(0);
        start = CurrentKb();
        ResetPeak();
        {
            CCatchStore store(dir + "fish.xml");
            CTripRecord one;
            one.date = "2024/04/14";
            if (!store.AddTrip(one).ok()) state.SkipWithError("add failed");
        }
        saveMb = static_cast<double>(PeakKb() - start) / 1024.0;
        state.ResumeTiming();
    }
    state.counters["csvMB"] = csvMb;
    state.counters["importMB"] = importMb;
    state.counters["logMB"] = logMb;
    state.counters["saveMB"] = saveMb;
    state.counters["overLogPerCsv"] = (importMb - logMb) / csvMb;
    state.counters["overSavePerCsv"] = (importMb - saveMb) / csvMb;
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
BENCHMARK(BM_CsvImportPeak)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1);
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
