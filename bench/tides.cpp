// Tide prediction against a baseline measured in the same run (BM_MillionCosines: a million
// cosines, the unit of work a harmonic prediction is made of), on the shipped constants of
// Tokyo (50 constituents):
//  - BM_YearOfHighsAndLows: a year of high and low waters of one port (goal ≤ 20 ms);
//  - BM_MonthOfCalendarRows: the tide texts of a month of calendar rows (goal ≤ 5 ms);
//  - BM_SearchKeystroke: one keystroke in a port list, a station search over all ports with the
//    text typed so far, by turns kanji, kana, katakana, romaji, a prefecture and a text that
//    matches nothing (goal ≤ 1 ms); BM_ScanPortNames is the least such a search must do, one
//    substring test per port name.
// The ratio lines at the end give each as a multiple of the baseline, the goal lines each against
// its goal.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "calendar/TideCurveChart.h"
#include "support/RatioReporter.h"
#include "support/ShippedStations.h"
#include "tides/TidePredictor.h"
#include "tides/TideStations.h"

namespace {

const CTideStations& Stations()
{
    return ShippedStations();
}

const CTideStation& Tokyo()
{
    const CTideStation* tokyo = Stations().FindById("tokyo-ma15-jpn-jodc_jma");
    if (tokyo == nullptr) std::abort();
    return *tokyo;
}

void BM_MillionCosines(benchmark::State& state)
{
    double sum = 0;
    for (auto _ : state) {
        for (int k = 0; k < 1000000; ++k) sum += std::cos(k * 1e-3);
        benchmark::DoNotOptimize(sum);
    }
}

void BM_YearOfHighsAndLows(benchmark::State& state)
{
    const CTideStation& station = Tokyo();
    size_t count = 0;
    for (auto _ : state) {
        const CTidePredictor predictor(station);
        const auto extremes = predictor.Extremes(2027, 1, 1, 2027, 12, 31);
        count = extremes.size();
        benchmark::DoNotOptimize(extremes.data());
    }
    state.counters["highs_and_lows"] = static_cast<double>(count);
}

void BM_MonthOfCalendarRows(benchmark::State& state)
{
    const CTideStation& station = Tokyo();
    size_t bytes = 0;
    for (auto _ : state) {
        // As the calendar fills a month: a predictor for the port, the month's tides, a text
        // per row.
        const CTidePredictor predictor(station);
        bytes = 0;
        for (const auto& day : MonthTides(predictor, 2027, 5)) bytes += TideRowText(day).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["text_bytes"] = static_cast<double>(bytes);
}

// What a person has typed when a keystroke narrows a port list.
const char* const kTyped[] = {"東", "とうきょ", "ナゴヤ", "yokoha", "神奈川", "zzzz"};
constexpr size_t kTypedCount = sizeof kTyped / sizeof kTyped[0];

void BM_ScanPortNames(benchmark::State& state)
{
    const std::vector<const CTideStation*>& ports = Stations().Shown();
    size_t turn = 0;
    for (auto _ : state) {
        const std::string typed = kTyped[turn++ % kTypedCount];
        size_t found = 0;
        for (const CTideStation* port : ports)
            found += port->nameJa.find(typed) != std::string::npos;
        benchmark::DoNotOptimize(found);
    }
}

void BM_SearchKeystroke(benchmark::State& state)
{
    const size_t all = Stations().Shown().size();
    size_t turn = 0;
    for (auto _ : state) {
        const std::vector<const CTideStation*> found =
            Stations().Search(kTyped[turn++ % kTypedCount], all);
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["ports"] = static_cast<double>(all);
}

// One unit for all: the ratio lines divide the times as the table shows them.
BENCHMARK(BM_MillionCosines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearOfHighsAndLows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthOfCalendarRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanPortNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond);

// The ratios to the baseline, then each benchmark with a goal against it (wall time per
// iteration).
class CTideReporter : public CRatioReporter {
public:
    CTideReporter() : CRatioReporter("BM_MillionCosines") {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        CRatioReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            m_seconds[run.benchmark_name()] = run.real_accumulated_time / run.iterations;
        }
    }
    void Finalize() override
    {
        CRatioReporter::Finalize();
        const std::map<std::string, double> goalMs = {{"BM_YearOfHighsAndLows", 20},
                                                      {"BM_MonthOfCalendarRows", 5},
                                                      {"BM_SearchKeystroke", 1}};
        const auto baseline = m_seconds.find("BM_MillionCosines");
        for (const auto& [name, goal] : goalMs) {
            const auto found = m_seconds.find(name);
            if (found == m_seconds.end()) continue;
            const double ms = found->second * 1e3;
            std::printf("%-40s %.4f ms", name.c_str(), ms);
            if (baseline != m_seconds.end() && baseline->second > 0) {
                std::printf(" (%.3g x BM_MillionCosines)", found->second / baseline->second);
            }
            std::printf(", goal <= %g ms: %s\n", goal, ms <= goal ? "met" : "MISSED");
        }
        const auto scan = m_seconds.find("BM_ScanPortNames");
        const auto search = m_seconds.find("BM_SearchKeystroke");
        if (scan != m_seconds.end() && search != m_seconds.end() && scan->second > 0) {
            std::printf("%-40s %.1f x BM_ScanPortNames\n", "BM_SearchKeystroke",
                        search->second / scan->second);
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
