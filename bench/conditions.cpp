// The conditions of every catch of a long log against reading that log, in the same run:
//  - BM_ParseTrips: the catch file of 100,000 trips of about 1 KB (five years, four places at three
//    ports, one to three catches with times each, two photos) parsed into trips, the least any
//    count must do;
//  - BM_FirstCount: every catch of those trips placed in its conditions (tide name, stage, hour,
//    moon age, time of day, water temperature) by one finder, as the counts of all the years do,
//    the tides of the ports predicted afresh (goal ≤ 0.3 × BM_ParseTrips);
//  - BM_CountAgain: the same with the tides kept from the count before.
// The ratio lines at the end give each as a multiple of BM_ParseTrips.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "reports/CatchConditions.h"
#include "support/CatchFileGenerator.h"
#include "support/RatioReporter.h"
#include "support/ShippedStations.h"
#include "tides/TideStations.h"

namespace {

constexpr int kTrips = 100000;
constexpr int kFirstYear = 2020;
constexpr int kYears = 5;

const CTideStations& Stations()
{
    return ShippedStations();
}

// The places of the log and their ports.
const std::map<std::string, std::string>& PlacePorts()
{
    static const std::map<std::string, std::string> ports = {{"城ヶ島の磯", "油壺"},
                                                             {"剱崎", "油壺"},
                                                             {"東京湾 木更津沖", "東京"},
                                                             {"大阪南港", "大阪"}};
    return ports;
}

class CPlacePorts : public ITripPortSource {
public:
    CPlacePorts()
    {
        for (const auto& [place, port] : PlacePorts()) {
            const CTideStation* station = Stations().Resolve(port, nullptr);
            if (station == nullptr) {
                std::fprintf(stderr, "no port %s\n", port.c_str());
                std::abort();
            }
            m_ports[place] = station;
        }
    }
    const CTideStation* PortForPlace(const std::string& place) const override
    {
        const auto found = m_ports.find(place);
        return found == m_ports.end() ? nullptr : found->second;
    }

private:
    std::map<std::string, const CTideStation*> m_ports;
};

// Trips of five years on most days, at four places; a few waters and times unknown, as in a real
// log.
std::vector<CTripRecord> GenerateTrips()
{
    std::vector<std::string> places;
    for (const auto& [place, port] : PlacePorts()) places.push_back(place);
    const char* species[] = {"シーバス", "メバル", "クロダイ", "アジ", "カサゴ"};
    std::vector<CTripRecord> trips;
    unsigned state = 12345;
    auto next = [&state](unsigned n) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % n;
    };
    for (int i = 0; i < kTrips; ++i) {
        CTripRecord trip;
        const int year = kFirstYear + int(next(kYears));
        const int month = 1 + int(next(12));
        const int day = 1 + int(next(28));
        char date[16];
        std::snprintf(date, sizeof date, "%04d/%02d/%02d", year, month, day);
        trip.date = date;
        trip.place = places[next(unsigned(places.size()))];
        trip.weather = "晴れ";
        trip.fishname = species[next(5)];
        trip.water = next(10) == 0
                         ? "不明"
                         : std::to_string(8 + int(next(20))) + "." + std::to_string(next(10));
        trip.method = "ウキフカセ釣り\n道糸 3号、ハリス 2号、グレ針 6号";
        trip.memo =
            "朝マヅメに時合い。潮が動き出してから当たりが続いた。\n"
            "コマセはオキアミ 3 kg と配合餌 1 袋。次回は遠投も試したい。";
        trip.placePhotos = {"/home/angler/写真/釣行/place_" + std::to_string(i) + ".jpg"};
        trip.fishPhotos = {"/home/angler/写真/釣行/fish_" + std::to_string(i) + ".jpg"};
        const int catches = 1 + int(next(3));
        for (int k = 0; k < catches; ++k) {
            const std::string time =
                next(20) == 0 ? "時分"
                              : std::to_string(next(24)) + "時" + std::to_string(next(60)) + "分";
            trip.catches.push_back({species[next(5)], std::to_string(15 + next(60)),
                                    "0." + std::to_string(1 + next(9)), time});
        }
        trips.push_back(std::move(trip));
    }
    return trips;
}

struct CFixture {
    CGeneratedCatchFile file;
    std::string bytes;
    std::vector<CTripRecord> trips;
    int catches = 0;
    CFixture()
    {
        file = StoreBenchTrips(GenerateTrips());
        bytes = ReadBenchFile(file.path);
        if (!CCatchStore::ParseTrips(bytes, trips).ok()) std::abort();
        for (const CTripRecord& trip : trips) catches += int(trip.catches.size());
    }
    ~CFixture() { RemoveGeneratedCatchFile(file); }
};

CFixture& Fixture()
{
    static CFixture fixture;
    return fixture;
}

void BM_ParseTrips(benchmark::State& state)
{
    const std::string& bytes = Fixture().bytes;
    for (auto _ : state) {
        std::vector<CTripRecord> trips;
        if (!CCatchStore::ParseTrips(bytes, trips).ok()) state.SkipWithError("parse");
        benchmark::DoNotOptimize(trips);
    }
    state.counters["trips"] = double(Fixture().trips.size());
    state.counters["MB"] = double(bytes.size()) / 1e6;
}

// Every catch once, by a new finder (nothing kept from the run before); the number of catches
// with a stage of the tide.
int PlaceEveryCatch(const CFixture& fixture, const CPlacePorts& ports)
{
    CCatchConditionFinder finder;
    int staged = 0;
    for (const CTripRecord& trip : fixture.trips) {
        const CTideStation* port = ports.PortForPlace(trip.place);
        for (const CCatchRecord& caught : trip.catches)
            staged += finder.Of(trip, caught, port).stageTenth != 0;
    }
    return staged;
}

// A count of the 条件別 page: every catch placed by a new finder.  The very first also computes
// what the calendar keeps for the program's life (the new moons of the years, the sun's
// positions of their days): its time is the counter first_ms.  Then each iteration predicts the
// tides of every port's years afresh, as the first count of a session does.
void BM_FirstCount(benchmark::State& state)
{
    const CFixture& fixture = Fixture();
    const CPlacePorts ports;
    ForgetKeptTideTurns();
    const auto start = std::chrono::steady_clock::now();
    int staged = PlaceEveryCatch(fixture, ports);
    const double firstMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    for (auto _ : state) {
        state.PauseTiming();
        ForgetKeptTideTurns();
        state.ResumeTiming();
        staged = PlaceEveryCatch(fixture, ports);
        benchmark::DoNotOptimize(staged);
    }
    state.counters["catches"] = fixture.catches;
    state.counters["staged"] = staged;
    state.counters["first_ms"] = firstMs;
}

// Counting again (another species, another year): the tides of the ports' years are kept.
void BM_CountAgain(benchmark::State& state)
{
    const CFixture& fixture = Fixture();
    const CPlacePorts ports;
    int staged = PlaceEveryCatch(fixture, ports);
    for (auto _ : state) {
        staged = PlaceEveryCatch(fixture, ports);
        benchmark::DoNotOptimize(staged);
    }
    state.counters["catches"] = fixture.catches;
    state.counters["staged"] = staged;
}

}  // namespace

BENCHMARK(BM_ParseTrips)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_FirstCount)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_CountAgain)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();

int main(int argc, char** argv)
{
    const int status = RunBenchmarksWithRatios(argc, argv, "BM_ParseTrips");
    return status;
}
