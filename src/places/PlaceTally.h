#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "data/TripRecord.h"

// Which trips and catches a map or a table of places counts: the statistics page's 年度 and 魚種.
struct CPlaceFilter {
    int year = 0;         // 0: every year; otherwise the year of the trip's stored date
    std::string species;  // empty: every species; otherwise the catch's name exactly
};

// What one place (the text of 場所) saw under a filter.
struct CPlaceTally {
    std::string place;          // the key the place book keeps it under
    int catches = 0;            // catches of the species
    int daysFished = 0;         // distinct dates of the year's trips there, whatever they caught
    std::vector<size_t> trips;  // indexes of those trips in the log, in log order
};

// The places of the trips that pass the filter's year, in order of the first trip at each; a
// trip without a place is left out.  Days fished count every trip of the year, caught or not,
// so catches per day is a fair rate.
std::vector<CPlaceTally> TallyPlaces(const std::vector<CTripRecord>& trips,
                                     const CPlaceFilter& filter);

// The catches of the filter's species on one trip.
int CountTripCatches(const CTripRecord& trip, const std::string& species);
