#include "places/PlaceTally.h"

#include <array>
#include <unordered_map>
#include <unordered_set>

#include "data/TripDate.h"
#include "places/PlaceBook.h"

int CountTripCatches(const CTripRecord& trip, const std::string& species)
{
    if (species.empty()) return static_cast<int>(trip.catches.size());
    int count = 0;
    for (const CCatchRecord& caught : trip.catches) count += caught.name == species ? 1 : 0;
    return count;
}

std::vector<CPlaceTally> TallyPlaces(const std::vector<CTripRecord>& trips,
                                     const CPlaceFilter& filter)
{
    std::vector<CPlaceTally> tallies;
    std::unordered_map<std::string, size_t> indexOf;
    std::vector<std::unordered_set<std::string>> days;
    for (size_t i = 0; i < trips.size(); ++i) {
        const CTripRecord& trip = trips[i];
        // Trips count at the place the book keeps them under, whatever spaces surround the text.
        std::string key = CPlaceBook::PlaceKey(trip.place);
        if (key.empty()) continue;
        // Read as the statistics page reads stored dates, so both count the same trips.
        const std::array<int, 3> date = ReadStoredDate(trip.date);
        if (filter.year != 0 && date[0] != filter.year) continue;
        auto [found, added] = indexOf.try_emplace(key, tallies.size());
        if (added) {
            tallies.push_back({std::move(key), 0, 0, {}});
            days.emplace_back();
        }
        CPlaceTally& tally = tallies[found->second];
        tally.trips.push_back(i);
        tally.catches += CountTripCatches(trip, filter.species);
        // The day as one text whatever form the date was written in.
        days[found->second].insert(date[0] != 0 && date[1] != 0 && date[2] != 0
                                       ? FormatTripDate({date[0], date[1], date[2]})
                                       : trip.date);
    }
    for (size_t i = 0; i < tallies.size(); ++i)
        tallies[i].daysFished = static_cast<int>(days[i].size());
    return tallies;
}
