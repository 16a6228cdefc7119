#include "calendar/CalendarPrinter.h"

#include <cstdio>
#include <regex>

#include "calendar/CalendarGrid.h"
#include "calendar/HolidayLists.h"
#include "calendar/MoonPhase.h"

bool ParseYearRange(const std::string& text, int& from, int& to)
{
    static const std::regex pattern("\\s*([0-9]{1,4})(?:\\s*-\\s*([0-9]{1,4}))?\\s*");
    std::smatch match;
    if (!std::regex_match(text, match, pattern)) return false;
    const int first = std::stoi(match[1].str());
    const int last = match[2].matched ? std::stoi(match[2].str()) : first;
    if (first < 1 || last < first) return false;
    from = first;
    to = last;
    return true;
}

int PrintCalendar(const std::string& range, std::ostream& out, std::ostream& err)
{
    int from = 0;
    int to = 0;
    if (!ParseYearRange(range, from, to)) {
        err << "lurebook: --print-calendar には年 (YEAR) か FROM-TO (1 から 9999 年) を指定して"
               "ください (「"
            << range << "」は違います)。\n";
        return 2;
    }
    if (from < kFirstPrintableYear || to > kLastPrintableYear) {
        err << "lurebook: --print-calendar が表示できるのは " << kFirstPrintableYear << " 年から "
            << kLastPrintableYear << " 年までです (「" << range << "」は範囲の外です)。\n";
        return 2;
    }
    CHolidayLists& lists = TheHolidayLists();
    const std::string notice = lists.RestoreDefaultHolidays();
    if (!notice.empty()) err << notice << "\n";

    CCalendarGrid grid(lists);
    for (int year = from; year <= to; ++year) {
        grid.SetShown(year - 1900, 0);
        grid.Build();
        for (int month = 0; month < CCalendarGrid::kMonths; ++month) {
            for (const DayCell& cell : grid.Cells()[static_cast<size_t>(month)]) {
                if (cell.day == 0) break;
                const CMoonDay moon = MoonDayOf(year, month + 1, cell.day);
                char line[160];
                std::snprintf(line, sizeof line, "%04d-%02d-%02d\t%d\t", year, month + 1, cell.day,
                              cell.weekday);
                // A holiday always shows in the name column, even when its record named none.
                std::string name;
                if (cell.holiday != 0) name = cell.name.empty() ? "休日" : cell.name;
                out << line << name;
                std::snprintf(line, sizeof line, "\t%d\t%.1f\t", moon.lunarDay, moon.age);
                out << line << moon.tideName << '\n';
            }
        }
    }
    out.flush();
    if (!out) {
        err << "lurebook: the calendar could not be written out\n";
        return 1;
    }
    return 0;
}
