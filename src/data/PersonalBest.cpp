#include "data/PersonalBest.h"

#include <algorithm>
#include <array>

#include "data/DecimalNumber.h"
#include "data/TripDate.h"

bool RanksAbove(const CCatchRecord& a, const std::string& dateA, const CCatchRecord& b,
                const std::string& dateB)
{
    return RanksAbove(ReadStoredThousandths(a.weight), ReadStoredThousandths(a.height), dateA,
                      ReadStoredThousandths(b.weight), ReadStoredThousandths(b.height), dateB);
}

bool RanksAbove(int64_t weightA, int64_t lengthA, const std::string& dateA, int64_t weightB,
                int64_t lengthB, const std::string& dateB)
{
    if (weightA != weightB) return weightA > weightB;
    if (lengthA != lengthB) return lengthA > lengthB;
    return ReadStoredDate(dateA) < ReadStoredDate(dateB);
}

std::map<std::string, CCatchPlace> FindPersonalBests(const std::vector<CTripRecord>& trips)
{
    std::map<std::string, CCatchPlace> bests;
    for (size_t t = 0; t < trips.size(); ++t) {
        for (size_t f = 0; f < trips[t].catches.size(); ++f) {
            const CCatchRecord& caught = trips[t].catches[f];
            const auto [found, added] = bests.try_emplace(caught.name, CCatchPlace{t, f});
            if (added) continue;
            const CCatchPlace held = found->second;
            if (RanksAbove(caught, trips[t].date, trips[held.trip].catches[held.fish],
                           trips[held.trip].date)) {
                found->second = {t, f};
            }
        }
    }
    return bests;
}

std::vector<int> TripsHoldingBests(const std::vector<CTripRecord>& trips)
{
    std::vector<int> positions;
    for (const auto& [species, place] : FindPersonalBests(trips))
        positions.push_back(static_cast<int>(place.trip));
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}
