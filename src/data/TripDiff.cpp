#include "data/TripDiff.h"

#include <map>
#include <string>

namespace {
// Every text of a trip, joined by a separator no text holds.
std::string TripKey(const CTripRecord& trip)
{
    std::string key;
    const auto add = [&key](const std::string& text) { key.append(text).push_back('\x1f'); };
    for (const std::string* text :
         {&trip.fishname, &trip.weather, &trip.date, &trip.water, &trip.highTide, &trip.ebbTide,
          &trip.method, &trip.place, &trip.memo}) {
        add(*text);
    }
    for (const auto* photos : {&trip.placePhotos, &trip.fishPhotos}) {
        for (const std::string& photo : *photos) add(photo);
        key.push_back('\x1e');
    }
    for (const CCatchRecord& caught : trip.catches) {
        add(caught.name);
        add(caught.height);
        add(caught.weight);
        add(caught.time);
    }
    return key;
}
}  // namespace

CTripDiff DiffTrips(const std::vector<CTripRecord>& older, const std::vector<CTripRecord>& now)
{
    std::multimap<std::string, size_t> unmatched;
    for (size_t n = 0; n < older.size(); ++n) unmatched.emplace(TripKey(older[n]), n);
    std::vector<bool> olderMatched(older.size(), false);
    std::vector<size_t> nowLeft;
    for (size_t n = 0; n < now.size(); ++n) {
        const auto found = unmatched.find(TripKey(now[n]));
        if (found == unmatched.end()) {
            nowLeft.push_back(n);
            continue;
        }
        olderMatched[found->second] = true;
        unmatched.erase(found);
    }
    CTripDiff diff;
    // Of the rest, a trip of the same date and place is the same outing changed.
    std::multimap<std::pair<std::string, std::string>, size_t> byDay;
    for (size_t n = 0; n < older.size(); ++n) {
        if (!olderMatched[n]) byDay.emplace(std::make_pair(older[n].date, older[n].place), n);
    }
    for (size_t n : nowLeft) {
        const auto found = byDay.find({now[n].date, now[n].place});
        if (found == byDay.end()) {
            diff.added.push_back(now[n]);
            continue;
        }
        diff.changed.emplace_back(older[found->second], now[n]);
        olderMatched[found->second] = true;
        byDay.erase(found);
    }
    for (size_t n = 0; n < older.size(); ++n) {
        if (!olderMatched[n]) diff.removed.push_back(older[n]);
    }
    return diff;
}
