#pragma once

#include <cstdlib>
#include <string>

#include "tides/TideStations.h"

// The stations the program ships, read once; a benchmark without them cannot run.
inline const CTideStations& ShippedStations()
{
    static const CTideStations stations = [] {
        CTideStations loaded;
        std::string error;
        if (!loaded.Load(std::string(LUREBOOK_SOURCE_DIR) + "/assets/tides/stations.txt", error))
            std::abort();
        return loaded;
    }();
    return stations;
}
