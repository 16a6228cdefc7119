// Catch store operations against a bare libxml2 parse of the same file, measured in one run.
// Ratios: compare each operation's time with BM_BareParse of the same trip count.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <map>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/SafeFile.h"
#include "support/CatchFileGenerator.h"

namespace {

// One generated file per trip count, kept for the whole run.
const CGeneratedCatchFile& FileFor(int trips)
{
    static std::map<int, CGeneratedCatchFile> files;
    auto it = files.find(trips);
    if (it == files.end()) it = files.emplace(trips, GenerateCatchFile(trips)).first;
    return it->second;
}

std::string BytesOf(const std::string& path)
{
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

void BM_BareParse(benchmark::State& state)
{
    const CGeneratedCatchFile& file = FileFor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        // Reading the file is part of what every operation must do, so the baseline does it too.
        const std::string bytes = BytesOf(file.path);
        xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                      nullptr, XML_PARSE_NONET);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
}

void BM_ListTrips(benchmark::State& state)
{
    CCatchStore store(FileFor(static_cast<int>(state.range(0))).path);
    for (auto _ : state) {
        std::vector<CTripRow> rows;
        if (!store.ListTrips(rows).ok()) state.SkipWithError("ListTrips failed");
        benchmark::DoNotOptimize(rows.data());
    }
}

void BM_ReadTrip(benchmark::State& state)
{
    const int trips = static_cast<int>(state.range(0));
    CCatchStore store(FileFor(trips).path);
    for (auto _ : state) {
        CTripRecord trip;
        if (!store.ReadTrip(trips - 1, trip).ok()) state.SkipWithError("ReadTrip failed");
        benchmark::DoNotOptimize(trip.place.data());
    }
}

void BM_ListYears(benchmark::State& state)
{
    CCatchStore store(FileFor(static_cast<int>(state.range(0))).path);
    for (auto _ : state) {
        std::vector<std::string> years;
        store.ListYears(years);
        benchmark::DoNotOptimize(years.data());
    }
}

void BM_ListSpecies(benchmark::State& state)
{
    CCatchStore store(FileFor(static_cast<int>(state.range(0))).path);
    for (auto _ : state) {
        std::vector<std::string> species;
        store.ListSpecies(species);
        benchmark::DoNotOptimize(species.data());
    }
}

void BM_ListPhotoPaths(benchmark::State& state)
{
    CCatchStore store(FileFor(static_cast<int>(state.range(0))).path);
    for (auto _ : state) {
        std::vector<std::string> paths;
        store.ListPhotoPaths(EPhotoKind::Fish, paths);
        benchmark::DoNotOptimize(paths.data());
    }
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
        state.ResumeTiming();
        if (!operation(store).ok()) state.SkipWithError("write failed");
    }
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

}  // namespace

#define LUREBOOK_SIZES Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_BareParse)->LUREBOOK_SIZES;
BENCHMARK(BM_ListTrips)->LUREBOOK_SIZES;
BENCHMARK(BM_ReadTrip)->LUREBOOK_SIZES;
BENCHMARK(BM_ListYears)->LUREBOOK_SIZES;
BENCHMARK(BM_ListSpecies)->LUREBOOK_SIZES;
BENCHMARK(BM_ListPhotoPaths)->LUREBOOK_SIZES;
BENCHMARK(BM_AddTrip)->LUREBOOK_SIZES;
BENCHMARK(BM_ReplaceTrip)->LUREBOOK_SIZES;
BENCHMARK(BM_DeleteTrip)->LUREBOOK_SIZES;

BENCHMARK_MAIN();
