#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "data/TripRecord.h"

// Where one catch lies among the trips of the catch file.
struct CCatchPlace {
    size_t trip = 0;
    size_t fish = 0;
    bool operator==(const CCatchPlace&) const = default;
};

// True when catch a (caught on date a) ranks above catch b as a personal best: heavier, at equal
// weight longer, at equal length caught earlier (the first to reach a mark holds it).  Weights
// and lengths compare by exact decimal value.
bool RanksAbove(const CCatchRecord& a, const std::string& dateA, const CCatchRecord& b,
                const std::string& dateB);
// The same for values read already (weights and lengths in thousandths).
bool RanksAbove(int64_t weightA, int64_t lengthA, const std::string& dateA, int64_t weightB,
                int64_t lengthB, const std::string& dateB);

// The personal best of every species named by a catch: the catch ranking above all others of
// that species.  Species match byte for byte, as the statistics compare them.
std::map<std::string, CCatchPlace> FindPersonalBests(const std::vector<CTripRecord>& trips);

// The positions of the trips holding at least one personal best, ascending.
std::vector<int> TripsHoldingBests(const std::vector<CTripRecord>& trips);
