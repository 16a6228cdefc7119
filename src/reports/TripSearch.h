#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/TextFold.h"
#include "data/TripRecord.h"

// Searching the trip list: texts are compared in their folded form (FoldForSearch).

// Every text of a trip a search looks at (date, weather, target, place, method, memo, species
// of its catches), folded, separated so that no word matches across two of them.
std::string TripSearchText(const CTripRecord& trip);

// A date as a number that orders as the date does: year, month and day of "year/month/day"
// (also "-" or "." between them, full-width digits).  Missing fields read as the lowest value,
// or the highest when asEnd (so "2004/5" as an end takes in all of May).  False when the text
// holds no year.
bool ReadDateKey(std::string_view text, bool asEnd, long& key);

// What the user asked for: words (all must be found) and an inclusive date range.
class CTripFilter {
public:
    // query: words separated by spaces (ASCII or ideographic); from, to: dates as ReadDateKey
    // takes them, empty or unreadable for no bound.
    CTripFilter(std::string_view query = {}, std::string_view from = {}, std::string_view to = {});

    bool IsEmpty() const { return m_words.empty() && !m_hasFrom && !m_hasTo; }
    // searchText as TripSearchText gives it, date the trip's date text.
    bool Matches(const std::string& searchText, const std::string& date) const;

private:
    std::vector<std::string> m_words;
    bool m_hasFrom = false;
    bool m_hasTo = false;
    long m_from = 0;
    long m_to = 0;
};
