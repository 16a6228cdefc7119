#include "reports/TripSummary.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "calendar/MoonPhase.h"
#include "data/DecimalNumber.h"
#include "data/TripDate.h"

CTripSummary SummariseTrip(const CTripRecord& trip)
{
    CTripSummary summary;
    summary.catches = static_cast<int>(trip.catches.size());

    struct CSpecies {
        const std::string* name;
        int64_t heaviest;  // thousandths of a kg; -1 when no catch of it was weighed
    };
    std::vector<CSpecies> species;
    for (const CCatchRecord& caught : trip.catches) {
        if (caught.name.empty()) continue;
        const int64_t weight =
            caught.weight.empty() ? -1 : std::max<int64_t>(0, ReadStoredThousandths(caught.weight));
        auto known = std::find_if(species.begin(), species.end(),
                                  [&](const CSpecies& s) { return *s.name == caught.name; });
        if (known == species.end()) {
            species.push_back({&caught.name, weight});
        } else {
            known->heaviest = std::max(known->heaviest, weight);
        }
    }
    std::stable_sort(species.begin(), species.end(),
                     [](const CSpecies& a, const CSpecies& b) { return a.heaviest > b.heaviest; });
    for (const CSpecies& s : species) {
        if (!summary.fish.empty()) summary.fish += "、";
        summary.fish += *s.name;
    }

    CDateText date;
    if (ReadDateText(trip.date, date) == EDateError::None && date.month != 0 && date.day != 0)
        summary.tide = MoonDayOf(date.year, date.month, date.day).tideName;
    return summary;
}
