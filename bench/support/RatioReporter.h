#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Prints, after the usual table, each benchmark's time as a multiple of the baseline (BM_BareParse
// unless told otherwise) with the same arguments in the same run ("BM_ReplaceTrip/10000" against
// "BM_BareParse/10000"), which is how the speed goals are stated.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    explicit CRatioReporter(std::string baseline = "BM_BareParse") : m_baseline(std::move(baseline))
    {
    }
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            if (run.iterations == 0) continue;
            // Seconds per iteration, whatever unit each benchmark reports in.
            const double iterations = static_cast<double>(run.iterations);
            m_times[run.benchmark_name()] = {run.real_accumulated_time / iterations,
                                             run.cpu_accumulated_time / iterations};
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& [name, time] : m_times) {
            const size_t slash = name.find('/');
            const std::string args = slash == std::string::npos ? "" : name.substr(slash);
            const auto base = m_times.find(m_baseline + args);
            if (base == m_times.end() || base->first == name || base->second.wall <= 0) continue;
            std::printf("%-40s %.3g x %s (wall), %.3g x (CPU)\n", name.c_str(),
                        time.wall / base->second.wall, m_baseline.c_str(),
                        time.cpu / base->second.cpu);
        }
    }

private:
    struct CTimes {
        double wall = 0;
        double cpu = 0;
    };
    std::string m_baseline;
    std::map<std::string, CTimes> m_times;
};

// A benchmark program's main: the benchmarks named on the command line, reported with ratios.
inline int RunBenchmarksWithRatios(int argc, char** argv,
                                   const std::string& baseline = "BM_BareParse")
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CRatioReporter reporter(baseline);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
