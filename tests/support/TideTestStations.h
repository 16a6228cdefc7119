#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tides/TideStation.h"
#include "tides/TideStations.h"

// A port of one wave, whose turning points follow by hand.  The default is S2 (no node
// corrections, argument 2T with T = 180° + 15° per hour of UT) with a phase lag of 90°: highs at
// 0:00 and 12:00 Japan time (250 cm above the datum), lows at 6:00 and 18:00 (50 cm), every day.
// At Tokyo's position, for the sun.
inline CTideStation OneWaveTideStation(const char* wave = "S2", double phaseDeg = 90)
{
    CTideStation station;
    station.id = "test";
    station.nameJa = "テスト港";
    station.latitude = 35.69;
    station.longitude = 139.75;
    station.mslAboveDatumM = 1.5;
    station.constituents.push_back({wave, 1.0, phaseDeg});
    return station;
}

// The stations the program ships, read once for the whole test program.
inline const CTideStations& ShippedTestStations()
{
    static CTideStations stations;
    static const std::string error = [] {
        std::string reason;
        stations.Load(std::string(LUREBOOK_SOURCE_DIR) + "/assets/tides/stations.txt", reason);
        return reason;
    }();
    EXPECT_FALSE(stations.All().empty()) << error;
    return stations;
}
