#pragma once

#include <vector>

#include "places/MapPainter.h"
#include "places/PlaceTally.h"

class CPlaceBook;
class CTideStations;

// What the map shows of a log under a filter, worked out once when the log or the filter
// changes: a frame only draws it.  places[i] stands for tallies[i]; a place the book has no
// position for is left out of both.  ports holds the tide port of each place once.
struct CMapPlaces {
    std::vector<CMapPlace> places;
    std::vector<CPlaceTally> tallies;
    std::vector<CMapPort> ports;
};

CMapPlaces CollectMapPlaces(const std::vector<CTripRecord>& trips, const CPlaceFilter& filter,
                            const CPlaceBook& book, const CTideStations& stations);
