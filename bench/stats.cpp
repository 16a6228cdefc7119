// The statistics page's reads of a 10,000-trip catch file, each against a bare libxml2 parse of
// the same bytes measured in the same run (see the *_Ratio counters printed at the end).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "data/XMLDocument.h"
#include "reports/StatQuery.h"
#include "support/CatchFileGenerator.h"
#include "support/RatioReporter.h"

namespace {

constexpr int kTrips = 10000;

struct CFixture {
    CGeneratedCatchFile file = GenerateCatchFile(kTrips);
    std::string bytes;
    CFixture()
    {
        std::ifstream in(file.path, std::ios::binary);
        std::ostringstream buffer;
        buffer << in.rdbuf();
        bytes = buffer.str();
    }
    ~CFixture() { RemoveGeneratedCatchFile(file); }
};

CFixture& Fixture()
{
    static CFixture fixture;
    return fixture;
}

void BM_BareParse(benchmark::State& state)
{
    const std::string& bytes = Fixture().bytes;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CXMLDataFile::BareParse(bytes));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_MonthlyQuery(benchmark::State& state)
{
    const CCatchStore store(Fixture().file.path);
    CMonthCounters counters{};
    for (auto _ : state) {
        CStatQuery::CountCatchesByMonth(store, "2004", "メジナ", counters);
        auto chart = CStatQuery::BuildMonthlyChart(counters);
        benchmark::DoNotOptimize(chart);
    }
    state.counters["may"] = counters[5];
}

void BM_RankingQuery(benchmark::State& state)
{
    const CCatchStore store(Fixture().file.path);
    std::vector<CRankRecord> records;
    for (auto _ : state) {
        CStatQuery::CollectRanking(store, "2004", "メジナ", records);
        auto rows = CStatQuery::MakeRankingRows(records);
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(records.size());
}

// What the chart view reads each time it is set up.
void BM_YearsAndSpecies(benchmark::State& state)
{
    const CCatchStore store(Fixture().file.path);
    std::vector<std::string> years, species;
    for (auto _ : state) {
        store.ListYearsAndFishNames(years, species);
        benchmark::DoNotOptimize(years);
    }
    state.counters["years"] = static_cast<double>(years.size());
}

BENCHMARK(BM_BareParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthlyQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RankingQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearsAndSpecies)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithRatios(argc, argv);
}
