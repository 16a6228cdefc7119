// Tide benchmarks.  Each is stated against its goal (milliseconds per operation) and as a multiple
// of BM_ScanPortNames, the least any search must do (one substring test per port name), measured
// in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tides/TideStations.h"

namespace {

const CTideStations& Stations()
{
    static CTideStations stations;
    static const bool loaded = [] {
        std::string error;
        const bool ok =
            stations.Load(std::string(LUREBOOK_SOURCE_DIR) + "/assets/tides/stations.txt", error);
        if (!ok) std::fprintf(stderr, "%s\n", error.c_str());
        return ok;
    }();
    (void)loaded;
    return stations;
}

// What a person has typed when a keystroke narrows the port list: kanji, kana (as katakana
// too), romaji, a prefecture, and a text that matches nothing (every key compared in full).
const char* const kTyped[] = {"東", "とうきょ", "ナゴヤ", "yokoha", "神奈川", "zzzz"};

void BM_ScanPortNames(benchmark::State& state)
{
    const std::string typed = kTyped[state.range(0)];
    const std::vector<const CTideStation*>& ports = Stations().Shown();
    for (auto _ : state) {
        size_t found = 0;
        for (const CTideStation* port : ports)
            found += port->nameJa.find(typed) != std::string::npos;
        benchmark::DoNotOptimize(found);
    }
}

void BM_SearchKeystroke(benchmark::State& state)
{
    const std::string typed = kTyped[state.range(0)];
    const size_t all = Stations().Shown().size();
    size_t found = 0;
    for (auto _ : state) {
        const std::vector<const CTideStation*> result = Stations().Search(typed, all);
        found = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["ports"] = static_cast<double>(all);
    state.counters["found"] = static_cast<double>(found);
}

BENCHMARK(BM_ScanPortNames)->DenseRange(0, 5);
BENCHMARK(BM_SearchKeystroke)->DenseRange(0, 5);

// Goals in milliseconds per iteration, by benchmark name without its arguments.
const std::map<std::string, double> kGoalMs = {
    {"BM_SearchKeystroke", 1.0},
};

class CTideReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            // Real time per iteration in seconds, whatever the unit shown.
            m_seconds[run.benchmark_name()] = run.real_accumulated_time / run.iterations;
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& [name, seconds] : m_seconds) {
            const size_t slash = name.find('/');
            const std::string base = name.substr(0, slash);
            const std::string args = slash == std::string::npos ? "" : name.substr(slash);
            const auto goal = kGoalMs.find(base);
            if (goal == kGoalMs.end()) continue;
            const double ms = seconds * 1e3;
            std::printf("%-28s %9.4f ms (goal <= %g ms: %s)", name.c_str(), ms, goal->second,
                        ms <= goal->second ? "met" : "MISSED");
            const auto scan = m_seconds.find("BM_ScanPortNames" + args);
            if (scan != m_seconds.end() && scan->second > 0) {
                std::printf(", %.1f x a bare scan of the names", seconds / scan->second);
            }
            std::printf("\n");
        }
    }

private:
    std::map<std::string, double> m_seconds;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CTideReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
