#include "calendar/HolidayRecord.h"

#include <algorithm>

#include "data/DecimalInt.h"

std::string TakeRecord(std::string_view list, size_t& at)
{
    const size_t end = at < list.size() ? list.find('~', at) : std::string_view::npos;
    if (end == std::string_view::npos) return {};
    std::string record(list.substr(at, end + 1 - at));
    at = end + 1;
    return record;
}

std::string SplitField(std::string& rest)
{
    const size_t separator = rest.find_first_of("^~");
    if (separator == std::string::npos) {
        std::string field = std::move(rest);
        rest.clear();
        return field;
    }
    std::string field = rest.substr(0, separator);
    rest.erase(0, separator + 1);
    return field;
}

namespace {
// A date field: yyyymmdd, or a year alone standing for its first or last day; empty or zero is
// no limit.  Years beyond four digits are not dates of any holiday law and read as no limit.
int ReadDateField(const std::string& field, bool last)
{
    const int value = ReadDecimalInt(field);
    if (value <= 0 || value > 99991231) return 0;
    if (value <= 9999) return value * 10000 + (last ? 1231 : 101);
    return value;
}
}  // namespace

CHolidayRecord ParseHolidayRecord(std::string record)
{
    CHolidayRecord parsed;
    parsed.month = ReadDecimalInt(SplitField(record));
    parsed.day = ReadDecimalInt(SplitField(record));
    parsed.name = SplitField(record);
    parsed.ruleCode = ReadDecimalInt(SplitField(record));
    if (record.empty()) return parsed;
    parsed.firstDate = ReadDateField(SplitField(record), false);
    parsed.lastDate = ReadDateField(SplitField(record), true);
    return parsed;
}

bool IsDatedRuleCode(int code)
{
    return (code >= kRuleDatedFixed && code <= kRuleDatedAutumnalEquinox) ||
           (code >= kRuleSubstituteNextDay && code <= kRuleBetweenAnyDay);
}

namespace {
// Remainder of a division by 4 that stays in 0..3 for years before the common era as well.
int YearMod4(int year)
{
    const int r = year % 4;
    return r < 0 ? r + 4 : r;
}
}  // namespace

int VernalEquinoxDay(int year)
{
    const int r = YearMod4(year);
    if (year >= 1960 && year <= 1992) return r == 0 ? 20 : 21;
    if (year >= 1993 && year <= 2025) return (r == 0 || r == 1) ? 20 : 21;
    return r == 3 ? 21 : 20;
}

int AutumnalEquinoxDay(int year)
{
    const int r = YearMod4(year);
    if (year >= 1950 && year <= 1982) return r == 3 ? 24 : 23;
    if (year >= 1983 && year <= 2011) return 23;
    return r == 0 ? 22 : 23;
}

namespace {
// The equinox instant's day in March or September as int(base + 0.242194 (Y - 1980) - leap days
// since the reference year); the leap-day count uses 1983 as its origin before 1980.
int ApproximateEquinoxDay(int year, double base1900, double base1980, double base2100)
{
    const double drift = 0.242194 * (year - 1980);
    if (year < 1980) return static_cast<int>(base1900 + drift - (year - 1983) / 4);
    if (year < 2100) return static_cast<int>(base1980 + drift - (year - 1980) / 4);
    return static_cast<int>(base2100 + drift - (year - 1980) / 4);
}

// Outside its ranges the formula drifts away; the nearest year it covers gives the pattern.
int ClampedYear(int year)
{
    return std::clamp(year, 1900, 2150);
}
}  // namespace

int AstronomicalVernalEquinoxDay(int year)
{
    return ApproximateEquinoxDay(ClampedYear(year), 20.8357, 20.8431, 21.8510);
}

int AstronomicalAutumnalEquinoxDay(int year)
{
    return ApproximateEquinoxDay(ClampedYear(year), 23.2588, 23.2488, 24.2488);
}
