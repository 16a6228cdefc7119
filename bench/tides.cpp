// Tide prediction against a baseline measured in the same run (BM_MillionCosines: a million
// cosines, the unit of work a harmonic prediction is made of), on the shipped constants of
// Tokyo (50 constituents):
//  - BM_YearOfHighsAndLows: a year of high and low waters of one port (goal ≤ 20 ms);
//  - BM_MonthOfCalendarRows: the tide texts of a month of calendar rows (goal ≤ 5 ms).
// The ratio lines at the end give each as a multiple of the baseline.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "calendar/TideCurveChart.h"
#include "support/RatioReporter.h"
#include "tides/TidePredictor.h"
#include "tides/TideStations.h"

namespace {

const CTideStation& Tokyo()
{
    static const CTideStations stations = [] {
        CTideStations loaded;
        std::string error;
        if (!loaded.Load(std::string(LUREBOOK_SOURCE_DIR) + "/assets/tides/stations.txt", error))
            std::abort();
        return loaded;
    }();
    const CTideStation* tokyo = stations.FindById("tokyo-ma15-jpn-jodc_jma");
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

BENCHMARK(BM_MillionCosines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearOfHighsAndLows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthOfCalendarRows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithRatios(argc, argv, "BM_MillionCosines");
}
