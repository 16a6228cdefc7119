// Tide station files: any bytes as the station file, then the port a user types.
// Input: the station file, "\n%%\n", a port name as typed.  Besides crashes, leaks and undefined
// behaviour, the run stops when
//  - a refused file leaves stations behind or its message does not name the file,
//  - an accepted file holds a constituent a prediction cannot use (unknown, doubled, out of
//    range), or a station whose day of tides does not alternate high, low, high at finite
//    heights within the day,
//  - a port found for the typed name is not one of the file's, or is called ambiguous while
//    found, or the suggestions hold a port twice,
//  - the edit distance of two names is not symmetric.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "tides/TideConstituents.h"
#include "tides/TidePredictor.h"
#include "tides/TideStations.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto parts = fuzz::SplitInput(data, size, "\n%%\n", 2);
    const std::string path = fuzz::ScratchDir() + "/stations.txt";
    fuzz::WriteBytes(path, parts[0]);

    CTideStations stations;
    std::string error;
    if (!stations.Load(path, error)) {
        FUZZ_CHECK(stations.All().empty(), "a refused file left stations");
        FUZZ_CHECK(error.find("stations.txt") != std::string::npos, "no file in: " + error);
        return 0;
    }
    for (const CTideStation& station : stations.All()) {
        for (const CTideConstituentValue& value : station.constituents) {
            FUZZ_CHECK(FindTideConstituentDef(value.name) != nullptr, "unknown " + value.name);
            FUZZ_CHECK(value.amplitudeM >= 0 && value.amplitudeM <= 20, "amplitude " + value.name);
            FUZZ_CHECK(std::fabs(value.phaseDeg) <= 360, "phase " + value.name);
        }
    }
    // A day of tides of the first few stations.
    for (size_t i = 0; i < stations.All().size() && i < 3; ++i) {
        const CTidePredictor predictor(stations.All()[i]);
        FUZZ_CHECK(predictor.UnknownConstituents().empty(), "an unknown constituent was kept");
        const std::vector<CTideExtreme> day = predictor.DayExtremes(2027, 3, 1);
        for (size_t k = 0; k < day.size(); ++k) {
            FUZZ_CHECK(std::isfinite(day[k].heightCm), "a height is not finite");
            FUZZ_CHECK(day[k].year == 2027 && day[k].month == 3 && day[k].day == 1,
                       "a turn of another day");
            FUZZ_CHECK(k == 0 || day[k].high != day[k - 1].high, "highs and lows do not alternate");
        }
    }
    // The port a user types.
    std::vector<const CTideStation*> closest;
    bool ambiguous = false;
    const CTideStation* found = stations.Resolve(parts[1], &closest, &ambiguous);
    if (found != nullptr) {
        FUZZ_CHECK(!ambiguous, "found and ambiguous at once");
        FUZZ_CHECK(
            found >= stations.All().data() && found < stations.All().data() + stations.All().size(),
            "a port that is not the file's");
    }
    std::vector<const CTideStation*> sorted = closest;
    std::sort(sorted.begin(), sorted.end());
    FUZZ_CHECK(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end(),
               "a port suggested twice");
    if (!stations.All().empty()) {
        const std::string& name = stations.All().front().nameJa;
        FUZZ_CHECK(EditDistance(parts[1], name) == EditDistance(name, parts[1]),
                   "edit distance not symmetric");
    }
    return 0;
}
