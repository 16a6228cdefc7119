// The statistics page's reads of a 10,000-trip catch file, each against a bare libxml2 parse of
// the same bytes measured in the same run (see the *_Ratio counters printed at the end).
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "charts/YearFishNameLists.h"
#include "reports/StatQuery.h"
#include "support/CatchFileGenerator.h"

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
        xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                      nullptr, XML_PARSE_NONET);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
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
        CYearFishNameLists::Read(store, years, species);
        benchmark::DoNotOptimize(years);
    }
    state.counters["years"] = static_cast<double>(years.size());
}

// The same lists through the store's two operations, two reads of the file.
void BM_ListYearsThenListSpecies(benchmark::State& state)
{
    const CCatchStore store(Fixture().file.path);
    std::vector<std::string> years, species;
    for (auto _ : state) {
        store.ListYears(years);
        store.ListSpecies(species);
        benchmark::DoNotOptimize(species);
    }
}

BENCHMARK(BM_BareParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthlyQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RankingQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearsAndSpecies)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListYearsThenListSpecies)->Unit(benchmark::kMillisecond);

// Prints each query's time as a multiple of the bare parse of the same run.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
            m_cpuTimes[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto base = m_times.find("BM_BareParse");
        if (base == m_times.end() || base->second <= 0) return;
        const double baseCpu = m_cpuTimes[base->first];
        for (const auto& [name, time] : m_times) {
            if (name == base->first) continue;
            std::printf("%-30s %.2f x bare parse (wall), %.2f x (CPU)\n", name.c_str(),
                        time / base->second, m_cpuTimes[name] / baseCpu);
        }
    }

private:
    std::map<std::string, double> m_times;
    std::map<std::string, double> m_cpuTimes;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
