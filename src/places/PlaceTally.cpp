#include "places/PlaceTally.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>

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
    constexpr size_t kNoPlace = static_cast<size_t>(-1);
    std::vector<CPlaceTally> tallies;
    // The trips of a place nearly always share one text, so its key is worked out once per
    // text; the views point into trips, which outlive this call.
    std::unordered_map<std::string_view, size_t> indexOfText;
    std::unordered_map<std::string, size_t> indexOfKey;
    // The days of each place, counted once at the end: whole dates as their fields, any other
    // date as its text.
    std::vector<std::vector<std::array<int, 3>>> days;
    std::vector<std::vector<std::string_view>> otherDays;
    for (size_t i = 0; i < trips.size(); ++i) {
        const CTripRecord& trip = trips[i];
        // Read as the statistics page reads stored dates, so both count the same trips.
        const std::array<int, 3> date = ReadStoredDate(trip.date);
        if (filter.year != 0 && date[0] != filter.year) continue;
        auto [text, fresh] = indexOfText.try_emplace(trip.place, kNoPlace);
        if (fresh) {
            // Trips count at the place the book keeps them under, whatever spaces surround it.
            std::string key = CPlaceBook::PlaceKey(trip.place);
            if (!key.empty()) {
                auto [found, added] = indexOfKey.try_emplace(std::move(key), tallies.size());
                if (added) {
                    tallies.push_back({found->first, 0, 0, {}});
                    days.emplace_back();
                    otherDays.emplace_back();
                }
                text->second = found->second;
            }
        }
        if (text->second == kNoPlace) continue;
        CPlaceTally& tally = tallies[text->second];
        tally.trips.push_back(i);
        tally.catches += CountTripCatches(trip, filter.species);
        if (date[0] != 0 && date[1] != 0 && date[2] != 0) {
            days[text->second].push_back(date);
        } else {
            otherDays[text->second].push_back(trip.date);
        }
    }
    const auto distinct = [](auto& list) {
        std::sort(list.begin(), list.end());
        return static_cast<int>(std::unique(list.begin(), list.end()) - list.begin());
    };
    for (size_t i = 0; i < tallies.size(); ++i)
        tallies[i].daysFished = distinct(days[i]) + distinct(otherDays[i]);
    return tallies;
}
