// Catch store operations against a bare libxml2 parse of the same file, measured in one run.
// Ratios: compare each operation's time with BM_BareParse of the same trip count.  Readers are
// measured twice: cold (a store that has read nothing, as at start-up) and warm (the store has
// read the file before, as every page after the first).  Writers start from a store that has
// read the file, as the entry dialog and the trip list do.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

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

std::string BytesOf(const std::string& path)
{
    return ReadBenchFile(path);
}

void BM_BareParse(benchmark::State& state)
{
    RunBareParse(state);
}

void BM_ColdListTrips(benchmark::State& state)
{
    const std::string& path = FileFor(static_cast<int>(state.range(0))).path;
    for (auto _ : state) {
        CCatchStore store(path);
        std::vector<CTripRow> rows;
        if (!store.ListTrips(rows).ok()) state.SkipWithError("ListTrips failed");
        benchmark::DoNotOptimize(rows.data());
    }
}

// A store that has read the file already.
template <typename Reader>
void RunWarmReader(benchmark::State& state, Reader reader)
{
    CCatchStore store(FileFor(static_cast<int>(state.range(0))).path);
    std::vector<CTripRow> rows;
    if (!store.ListTrips(rows).ok()) state.SkipWithError("ListTrips failed");
    for (auto _ : state) reader(store);
}

void BM_WarmListTrips(benchmark::State& state)
{
    RunWarmReader(state, [](const CCatchStore& store) {
        std::vector<CTripRow> rows;
        store.ListTrips(rows);
        benchmark::DoNotOptimize(rows.data());
    });
}

void BM_WarmReadTrip(benchmark::State& state)
{
    const int last = static_cast<int>(state.range(0)) - 1;
    RunWarmReader(state, [last](const CCatchStore& store) {
        CTripRecord trip;
        store.ReadTrip(last, trip);
        benchmark::DoNotOptimize(trip.place.data());
    });
}

void BM_WarmListYearsAndFishNames(benchmark::State& state)
{
    RunWarmReader(state, [](const CCatchStore& store) {
        std::vector<std::string> years, species;
        store.ListYearsAndFishNames(years, species);
        benchmark::DoNotOptimize(species.data());
    });
}

void BM_WarmListPhotoPaths(benchmark::State& state)
{
    RunWarmReader(state, [](const CCatchStore& store) {
        std::vector<std::string> paths;
        store.ListPhotoPaths(EPhotoKind::Fish, paths);
        benchmark::DoNotOptimize(paths.data());
    });
}

CTripRecord SampleTrip()
{
    CTripRecord trip;
    trip.fishname = "マダイ";
    trip.weather = "晴れ";
    trip.date = "2026/12/7";
    trip.method = "テンヤ\n3号";
    trip.place = "相模湾";
    trip.memo = "ベンチマーク";
    trip.catches = {{"マダイ", "45", "2", "7時10分"}};
    return trip;
}

// Writers change the file; each starts from a fresh copy so every iteration does the same work.
template <typename Operation>
void RunWriter(benchmark::State& state, Operation operation)
{
    const CGeneratedCatchFile& file = FileFor(static_cast<int>(state.range(0)));
    const std::string original = BytesOf(file.path);
    const std::string path = file.directory + "work.xml";
    CCatchStore store(path);
    for (auto _ : state) {
        state.PauseTiming();
        WriteFileSafely(path, original);
        std::vector<CTripRow> rows;
        store.ListTrips(rows);
        state.ResumeTiming();
        if (!operation(store).ok()) state.SkipWithError("write failed");
    }
    ::unlink(path.c_str());
    ::unlink((path + ".bak").c_str());
}

void BM_AddTrip(benchmark::State& state)
{
    RunWriter(state, [](CCatchStore& store) { return store.AddTrip(SampleTrip()); });
}

void BM_ReplaceTrip(benchmark::State& state)
{
    RunWriter(state, [](CCatchStore& store) { return store.ReplaceTrip(0, SampleTrip()); });
}

void BM_DeleteTrip(benchmark::State& state)
{
    RunWriter(state, [](CCatchStore& store) { return store.DeleteTrip(0); });
}

// Twenty selected rows of the trip list deleted at once.
void BM_DeleteTwentyTrips(benchmark::State& state)
{
    const int trips = static_cast<int>(state.range(0));
    std::vector<int> positions;
    for (int k = 0; k < 20; ++k) positions.push_back(k * (trips / 20));
    RunWriter(state, [&positions](CCatchStore& store) { return store.DeleteTrips(positions); });
}

}  // namespace

#define LUREBOOK_SIZES Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_BareParse)->LUREBOOK_SIZES;
BENCHMARK(BM_ColdListTrips)->LUREBOOK_SIZES;
BENCHMARK(BM_WarmListTrips)->LUREBOOK_SIZES;
BENCHMARK(BM_WarmReadTrip)->LUREBOOK_SIZES;
BENCHMARK(BM_WarmListYearsAndFishNames)->LUREBOOK_SIZES;
BENCHMARK(BM_WarmListPhotoPaths)->LUREBOOK_SIZES;
BENCHMARK(BM_AddTrip)->LUREBOOK_SIZES;
BENCHMARK(BM_ReplaceTrip)->LUREBOOK_SIZES;
BENCHMARK(BM_DeleteTrip)->LUREBOOK_SIZES;
BENCHMARK(BM_DeleteTwentyTrips)->LUREBOOK_SIZES;

int main(int argc, char** argv)
{
    const int result = RunBenchmarksWithRatios(argc, argv);
    // The generated files go with the run.
    ReleaseSharedCatchFiles();
    return result;
}
