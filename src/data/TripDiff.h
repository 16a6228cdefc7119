#pragma once

#include <utility>
#include <vector>

#include "data/TripRecord.h"

// How the trips of the log now differ from those of an older version of it (a history copy).
// Trips have no key: equal trips match one for one, and of the rest a trip of the same date
// and place counts as changed.
struct CTripDiff {
    std::vector<CTripRecord> added;    // in the log now, not in the older version
    std::vector<CTripRecord> removed;  // in the older version, not in the log now
    std::vector<std::pair<CTripRecord, CTripRecord>> changed;  // (older, now)
    bool Empty() const { return added.empty() && removed.empty() && changed.empty(); }
};

CTripDiff DiffTrips(const std::vector<CTripRecord>& older, const std::vector<CTripRecord>& now);
