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

// A date as a number that orders as the date does, read by ReadDateText (data/TripDate.h):
// "2004/5/3", "2004-05-03", "2004年5月3日", "R6/4/17", full-width digits.  Missing month or day
// read as the lowest value, or the highest when asEnd (so "2004/5" as an end takes in all of
// May).  False when the text is no date of those forms.
bool ReadDateKey(std::string_view text, bool asEnd, long& key);

// What the user asked for: words (all must be found) and an inclusive date range.
class CTripFilter {
public:
    // query: words separated by spaces (ASCII or ideographic); from, to: dates as ReadDateKey
    // takes them, empty or unreadable for no bound.
    CTripFilter(std::string_view query = {}, std::string_view from = {}, std::string_view to = {});

    bool IsEmpty() const { return m_words.empty() && !m_hasFrom && !m_hasTo; }
    // A bound that was typed but is no date: it bounds nothing, and the page says so.
    bool IsFromUnreadable() const { return m_fromUnreadable; }
    bool IsToUnreadable() const { return m_toUnreadable; }
    // searchText as TripSearchText gives it, date the trip's date text.
    bool Matches(const std::string& searchText, const std::string& date) const;

private:
    std::vector<std::string> m_words;
    bool m_hasFrom = false;
    bool m_hasTo = false;
    bool m_fromUnreadable = false;
    bool m_toUnreadable = false;
    long m_from = 0;
    long m_to = 0;
};
