// Peak memory of the program's start with a large log: a child process opens the catch file of
// 100,000 generated trips with the program's store and shows the trip list; its peak resident
// size is reported against the file's size (counter "peak_per_file", goal ≤ 4), next to a child
// that only parses the file with libxml2 into a document (the former way of reading).
// Each measurement runs in a fresh child so that one does not inherit another's peak.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <string>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/SafeFile.h"
#include "data/XMLDocument.h"
#include "reports/widgets/ReportDataFrame.h"
#include "reports/widgets/ReportDataView.h"
#include "support/CatchFileGenerator.h"

namespace {

const CGeneratedCatchFile& File(int trips)
{
    static const CGeneratedCatchFile file = GenerateCatchFile(trips);
    return file;
}

// Runs work in a child and returns the child's peak resident size in bytes (0 on failure).
template <typename Work>
double ChildPeakBytes(Work work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const bool ok = work();
        std::_Exit(ok ? 0 : 1);
    }
    int status = 0;
    struct rusage usage {};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return 0;
    }
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

void Report(benchmark::State& state, double peak, const std::string& path)
{
    CFileIdentity identity;
    GetFileIdentity(path, identity);
    if (peak <= 0) state.SkipWithError("the child failed");
    state.counters["file_MiB"] = static_cast<double>(identity.size) / (1024.0 * 1024.0);
    state.counters["peak_MiB"] = peak / (1024.0 * 1024.0);
    state.counters["peak_per_file"] =
        identity.size > 0 ? peak / static_cast<double>(identity.size) : 0;
}

void BM_PeakParseIntoDocument(benchmark::State& state)
{
    const std::string path = File(static_cast<int>(state.range(0))).path;
    double peak = 0;
    for (auto _ : state) {
        peak = ChildPeakBytes([&path] {
            std::string bytes;
            return ReadWholeFile(path, bytes) && CXMLDataFile::BareParse(bytes);
        });
    }
    Report(state, peak, path);
}

void BM_PeakTripListShown(benchmark::State& state)
{
    const std::string path = File(static_cast<int>(state.range(0))).path;
    double peak = 0;
    for (auto _ : state) {
        peak = ChildPeakBytes([&path] {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            int argc = 1;
            char name[] = "bench_memory";
            char* argv[] = {name, nullptr};
            QApplication app(argc, argv);
            CCatchStore store(path);
            const CDataFolder folder = CDataFolder::OfRunningProgram();
            CReportDataFrame page(store, folder);
            page.resize(800, 600);
            page.show();
            QApplication::processEvents();
            return page.GetView()->model()->rowCount() > 0;
        });
    }
    Report(state, peak, path);
}

}  // namespace

BENCHMARK(BM_PeakParseIntoDocument)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakTripListShown)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveGeneratedCatchFile(File(100000));
    return 0;
}
