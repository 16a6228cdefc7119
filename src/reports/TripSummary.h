#pragma once

#include <string>

#include "data/TripRecord.h"

// What the trip list shows of a trip besides its own texts, so the catches are in sight without
// opening it.
struct CTripSummary {
    int catches = 0;
    // The species caught, each once, the one of the heaviest fish first; species without a
    // weight follow in the order they were entered.  Joined by "、".
    std::string fish;
    // The day's tide name (大潮 … 若潮) as the calendar shows it; empty for a date that is no
    // whole day.
    std::string tide;
};

CTripSummary SummariseTrip(const CTripRecord& trip);
