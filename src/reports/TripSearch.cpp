#include "reports/TripSearch.h"

#include "data/TripDate.h"

std::string TripSearchText(const CTripRecord& trip)
{
    constexpr char kSeparator = '\x1F';
    std::string text;
    for (const std::string* field :
         {&trip.date, &trip.weather, &trip.fishname, &trip.place, &trip.method, &trip.memo}) {
        text += FoldForSearch(*field);
        text += kSeparator;
    }
    for (const CCatchRecord& caught : trip.catches) {
        text += FoldForSearch(caught.name);
        text += kSeparator;
    }
    return text;
}

bool ReadDateKey(std::string_view text, bool asEnd, long& key)
{
    CDateText date;
    if (ReadDateText(text, date) != EDateError::None) return false;
    const long month = date.month != 0 ? date.month : (asEnd ? 99 : 0);
    const long day = date.day != 0 ? date.day : (asEnd ? 99 : 0);
    key = (date.year * 100L + month) * 100 + day;
    return true;
}

CTripFilter::CTripFilter(std::string_view query, std::string_view from, std::string_view to)
{
    const std::string folded = FoldForSearch(query);
    size_t start = 0;
    while (start < folded.size()) {
        const size_t begin = folded.find_first_not_of(" \t", start);
        if (begin == std::string::npos) break;
        size_t end = folded.find_first_of(" \t", begin);
        if (end == std::string::npos) end = folded.size();
        m_words.push_back(folded.substr(begin, end - begin));
        start = end;
    }
    m_hasFrom = ReadDateKey(from, false, m_from);
    m_hasTo = ReadDateKey(to, true, m_to);
    m_fromUnreadable = !m_hasFrom && from.find_first_not_of(" \t") != std::string_view::npos;
    m_toUnreadable = !m_hasTo && to.find_first_not_of(" \t") != std::string_view::npos;
}

bool CTripFilter::Matches(const std::string& searchText, const std::string& date) const
{
    if (m_hasFrom || m_hasTo) {
        long key = 0;
        if (!ReadDateKey(date, false, key)) return false;
        if ((m_hasFrom && key < m_from) || (m_hasTo && key > m_to)) return false;
    }
    for (const std::string& word : m_words) {
        if (searchText.find(word) == std::string::npos) return false;
    }
    return true;
}
