#include "calendar/HolidayRecord.h"

#include "data/DecimalInt.h"

std::string TakeRecord(std::string& list)
{
    const size_t end = list.find('~');
    if (end == std::string::npos) return {};
    std::string record = list.substr(0, end + 1);
    list.erase(0, end + 1);
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

CHolidayRecord ParseHolidayRecord(std::string record)
{
    CHolidayRecord parsed;
    parsed.month = ReadDecimalInt(SplitField(record));
    parsed.day = ReadDecimalInt(SplitField(record));
    parsed.name = SplitField(record);
    parsed.ruleCode = ReadDecimalInt(SplitField(record));
    return parsed;
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
