// The dated history copy against a bare libxml2 parse of the same file, in one run.  The day's
// first change writes a compressed copy of the catch file before the save; later changes of the
// day write none.  Ratios: BM_HistoryCopy (the copy alone, as the first change adds it) and the
// saves with and without a copy, each against BM_BareParse of the same trip count.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "data/CatchHistory.h"
#include "data/CatchStore.h"
#include "data/SafeFile.h"
#include "data/XMLDataFile.h"
#include "support/CatchFileGenerator.h"
#include "support/RatioReporter.h"

namespace {

const CGeneratedCatchFile& FileFor(int trips)
{
    return SharedCatchFile(trips);
}

void BM_BareParse(benchmark::State& state)
{
    RunBareParse(state);
}

CTripRecord SampleTrip(int n)
{
    CTripRecord trip;
    trip.fishname = "マダイ";
    trip.date = "2026/12/7";
    trip.place = n % 2 == 0 ? "相模湾" : "東京湾";
    trip.catches = {{"マダイ", "45", "2", "7時10分"}};
    return trip;
}

// A save of one trip, the store having read the file, as from the entry dialog.  days: 0 no
// history; 1 a new day for every save (each makes a copy); 2 the same day (the copy exists).
void RunSave(benchmark::State& state, int days)
{
    const CGeneratedCatchFile& file = FileFor(static_cast<int>(state.range(0)));
    const std::string path = file.directory + "work/fish.xml";
    std::filesystem::create_directories(file.directory + "work");
    WriteFileSafely(path, ReadBenchFile(file.path));
    CCatchStore store(path);
    std::time_t now = 1765000000;
    if (days > 0) {
        store.EnableHistory(true);
        store.GetHistory()->SetClock([&now] { return now; });
        store.GetHistory()->SetMaxBytes(uint64_t{1} << 40);
    }
    std::vector<CTripRow> rows;
    store.ListTrips(rows);
    if (days == 2) store.ReplaceTrip(0, SampleTrip(1));
    int n = 0;
    for (auto _ : state) {
        if (days == 1) {
            state.PauseTiming();
            // A folder of a steady two years of copies is thinned by one a day at most; here it
            // keeps only the copy of the day before, so thinning finds nothing to remove.
            std::filesystem::remove_all(file.directory + "work/history");
            now += 86400;
            state.ResumeTiming();
        }
        if (!store.ReplaceTrip(0, SampleTrip(n++)).ok()) state.SkipWithError("save failed");
    }
    std::filesystem::remove_all(file.directory + "work");
}

void BM_SaveWithoutHistory(benchmark::State& state)
{
    RunSave(state, 0);
}

void BM_SaveFirstOfTheDay(benchmark::State& state)
{
    RunSave(state, 1);
}

void BM_SaveLaterInTheDay(benchmark::State& state)
{
    RunSave(state, 2);
}

// The copy alone: compressing the bytes the save has read, writing and flushing it.
void BM_HistoryCopy(benchmark::State& state)
{
    const CGeneratedCatchFile& file = FileFor(static_cast<int>(state.range(0)));
    const std::string bytes = ReadBenchFile(file.path);
    CCatchHistory history(file.directory + "copy/");
    std::time_t now = 1765000000;
    history.SetClock([&now] { return now; });
    history.SetMaxBytes(uint64_t{1} << 40);
    const auto source = [&](const std::string*& out, CCatchHistory::CCounts&, std::string&) {
        out = &bytes;
        return true;
    };
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(history.GetDir());
        now += 86400;
        state.ResumeTiming();
        if (!history.KeepBeforeChange(CCatchHistory::kCatchMember, nullptr, source))
            state.SkipWithError("copy failed");
    }
    std::filesystem::remove_all(file.directory + "copy");
}

}  // namespace

#define LUREBOOK_SIZES Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_BareParse)->LUREBOOK_SIZES;
BENCHMARK(BM_HistoryCopy)->LUREBOOK_SIZES;
BENCHMARK(BM_SaveWithoutHistory)->LUREBOOK_SIZES;
BENCHMARK(BM_SaveFirstOfTheDay)->LUREBOOK_SIZES;
BENCHMARK(BM_SaveLaterInTheDay)->LUREBOOK_SIZES;

int main(int argc, char** argv)
{
    const int result = RunBenchmarksWithRatios(argc, argv);
    ReleaseSharedCatchFiles();
    return result;
}
