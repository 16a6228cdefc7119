// Holiday lists: any bytes as the three holiday files, then the year table built from them.
// Input: two bytes choosing the year, then the fixed-date file, "\n%%\n", the rule file,
// "\n%%\n", the per-year file.  Besides crashes, leaks and undefined behaviour, the run stops when
//  - taking records off a list does not end, loses text, or yields a record without its "~",
//  - a day the month lacks is marked, or a cell is not the date it claims to be,
//  - a list without substitute or in-between rules marks other days than its records applied one
//    by one, or a holiday lacks the name its first record gave it,
//  - a holiday file written and read again reads differently.

#include <unistd.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "calendar/CalendarGrid.h"
#include "calendar/HolidayLists.h"
#include "calendar/HolidayRecord.h"

namespace {

using HolidayTable =
    std::array<std::array<int, CCalendarGrid::kCellsPerMonth>, CCalendarGrid::kMonths>;

HolidayTable Holidays(const CCalendarGrid& grid)
{
    HolidayTable table{};
    for (int m = 0; m < CCalendarGrid::kMonths; ++m)
        for (int p = 0; p < CCalendarGrid::kCellsPerMonth; ++p)
            table[m][p] = grid.Cell(m, p).holiday;
    return table;
}

HolidayTable BuildYear(int year)
{
    CHolidayLists lists;
    CCalendarGrid grid(lists);
    grid.SetShown(year - 1900, 0);
    grid.Build();
    return Holidays(grid);
}

void WriteLists(int year, const std::string& fixed, const std::string& rule,
                const std::string& perYear)
{
    fuzz::WriteBytes(kFixedHolidayFileName, fixed);
    fuzz::WriteBytes(kRuleHolidayFileName, rule);
    fuzz::WriteBytes(YearHolidayFileName(year), perYear);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = [] {
        // The holiday files live in the working directory.
        FUZZ_CHECK(chdir(fuzz::ScratchDir().c_str()) == 0, "cannot enter the scratch folder");
        return true;
    }();
    (void)once;
    if (size < 2) return 0;
    // Mostly the years the program is used for, sometimes any year at all.
    const int raw = (data[0] << 8) | data[1];
    const int year = raw < 0xF000 ? 1900 + raw % 300 : raw - 0xF000 - 2048;
    fuzz::ClearFolder(fuzz::ScratchDir());
    const auto parts = fuzz::SplitInput(data + 2, size - 2, "\n%%\n", 3);
    WriteLists(year, parts[0], parts[1], parts[2]);

    CHolidayLists lists;
    CCalendarGrid grid(lists);
    grid.SetShown(year - 1900, 0);
    grid.Build();
    const HolidayTable all = Holidays(grid);

    // The cells: every position a date of the year with its weekday, no holiday without a day.
    for (int m = 0; m < CCalendarGrid::kMonths; ++m) {
        for (int p = 0; p < CCalendarGrid::kCellsPerMonth; ++p) {
            const DayCell& cell = grid.Cell(m, p);
            FUZZ_CHECK(cell.holiday != 0 || cell.name.empty(), "a working day has a name");
            if (p < DaysInMonth(year, m + 1)) {
                FUZZ_CHECK(cell.day == p + 1 && cell.weekday == WeekdayOfDate(year, m + 1, p + 1),
                           "a cell is not its date");
            } else {
                FUZZ_CHECK(cell.day == 0 && cell.holiday == 0, "a day the month lacks is marked");
            }
        }
    }

    // The records: taken off the combined list one by one, each ending in "~", nothing lost.
    const std::string whole = lists.CombinedList();
    size_t at = 0;
    std::vector<std::string> records;
    std::string taken;
    for (;;) {
        FUZZ_CHECK(records.size() <= whole.size(), "taking records does not end");
        std::string record = TakeRecord(whole, at);
        if (record.empty()) break;
        FUZZ_CHECK(record.back() == '~' && record.find('~') + 1 == record.size(),
                   "a record is not one record");
        taken += record;
        records.push_back(std::move(record));
    }
    FUZZ_CHECK(taken + whole.substr(at) == whole, "taking records lost text");
    FUZZ_CHECK(whole.find('~', at) == std::string::npos, "records were left in the list");
    for (const std::string& record : records) {
        const CHolidayRecord parsed = ParseHolidayRecord(record);
        FUZZ_CHECK(parsed.name.find('^') == std::string::npos &&
                       parsed.name.find('~') == std::string::npos,
                   "a name holds a separator");
    }

    // Without substitute and in-between rules, marking is per record: the list marks exactly what
    // its records mark one at a time.  Each record goes alone into the fixed-date file, beside a
    // rule file whose one record marks nothing (an empty one would mean the built-in list).
    bool rules = false;
    for (const std::string& record : records) {
        const int code = ParseHolidayRecord(record).ruleCode;
        rules = rules || (code >= kRuleSubstituteNextDay && code <= kRuleBetweenAnyDay);
    }
    if (!rules && records.size() <= 24) {
        HolidayTable united{};
        for (const std::string& record : records) {
            // A byte-order mark in front, so that a record starting with U+FEFF keeps it.
            WriteLists(year, "\xEF\xBB\xBF" + record, "0^0^^99~", "");
            const HolidayTable one = BuildYear(year);
            for (int m = 0; m < CCalendarGrid::kMonths; ++m)
                for (int p = 0; p < CCalendarGrid::kCellsPerMonth; ++p) united[m][p] |= one[m][p];
        }
        FUZZ_CHECK(united == all, "the list marks other days than its records do");
    }

    // A list written by the program reads back as it was (a CR LF inside the text, left from a
    // stray CR in the file, is a line end like any other and reads back as a line feed).
    const std::string fixed = lists.FixedList();
    std::string error;
    FUZZ_CHECK(WriteTextFile(kFixedHolidayFileName, fixed, &error), "cannot write: " + error);
    const std::string reread = ReadTextFile(kFixedHolidayFileName);
    std::string expected;
    for (size_t i = 0; i < fixed.size(); ++i) {
        if (fixed[i] == '\r' && i + 1 < fixed.size() && fixed[i + 1] == '\n') continue;
        expected += fixed[i];
    }
    FUZZ_CHECK(reread == expected, "a written holiday list reads back changed: [" + fixed +
                                       "] became [" + reread + "]");
    return 0;
}
