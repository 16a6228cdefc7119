#include "calendar/HolidayRules.h"

#include <algorithm>
#include <vector>

#include "calendar/HolidayRecord.h"

namespace {

constexpr int kMonths = CCalendarGrid::kMonths;
constexpr int kCells = CCalendarGrid::kCellsPerMonth;

// What marked a cell, kept apart so that names can be given by precedence at the end: a
// holiday's own name first, then its substitute rule's, then its in-between rule's.
struct CMarks {
    bool holiday = false;  // marked by a record of its own
    bool substitute = false;
    bool between = false;
    std::string holidayName;
    std::string ruleName;
};
using MarkTable = std::array<std::array<CMarks, kCells>, kMonths>;

struct CDay {
    int month;    // 1..12
    int day;      // 1..31
    int weekday;  // 0 Sunday
};

int DateNumber(int year, int month, int day)
{
    return year * 10000 + month * 100 + day;
}

bool IsCell(const YearCells& cells, int month, int day)
{
    return month >= 1 && month <= kMonths && day >= 1 && day <= kCells &&
           cells[month - 1][day - 1].day != 0;
}

// Day of the month of the n-th Monday of month, or 0 when the month has no such Monday.
int NthMonday(const YearCells& cells, int month, int nth)
{
    if (month < 1 || month > kMonths || nth < 1 || nth > 5) return 0;
    const int last = std::min(7 * nth, kCells);
    for (int day = 7 * nth - 6; day <= last; ++day) {
        const DayCell& cell = cells[month - 1][day - 1];
        if (cell.day != 0 && cell.weekday == 1) return day;
    }
    return 0;
}

// The substitute of lists without substitute rules: a Sunday holiday also marks the cell that
// follows it in the table (the 31st is followed by the next month's 1st, the last day of a
// shorter month by an empty position, and 31 December by nothing).
void MarkLegacySubstitute(const YearCells& cells, MarkTable& marks, int month, int day)
{
    if (cells[month - 1][day - 1].weekday != 0) return;
    int nextMonth = month;
    int nextDay = day + 1;
    if (day == kCells) {
        ++nextMonth;
        nextDay = 1;
    }
    if (!IsCell(cells, nextMonth, nextDay)) return;
    CMarks& mark = marks[nextMonth - 1][nextDay - 1];
    if (!mark.substitute) mark.ruleName = "振替休日";
    mark.substitute = true;
}

// The rule record of the given codes in force on a date, or null.
const CHolidayRecord* RuleInForce(const std::vector<CHolidayRecord>& records, int first, int last,
                                  int date)
{
    for (const CHolidayRecord& record : records) {
        if (record.ruleCode >= first && record.ruleCode <= last && record.InForce(date))
            return &record;
    }
    return nullptr;
}

}  // namespace

void MarkHolidays(int year, std::string_view list, YearCells& cells)
{
    std::vector<CHolidayRecord> records;
    // A remainder without its closing "~" is no record: the processing ends there.
    size_t at = 0;
    for (std::string record = TakeRecord(list, at); !record.empty(); record = TakeRecord(list, at))
        records.push_back(ParseHolidayRecord(std::move(record)));
    const bool substituteRules =
        std::any_of(records.begin(), records.end(), [](const CHolidayRecord& record) {
            return record.ruleCode == kRuleSubstituteNextDay ||
                   record.ruleCode == kRuleSubstituteNextFreeDay;
        });

    MarkTable marks;  // every CMarks starts from its member initializers
    for (const CHolidayRecord& record : records) {
        int month = record.month;
        int day = 0;
        bool dated = false;
        // n-th Mondays never fall on a Sunday; lists without substitute rules never checked them.
        bool monday = false;
        switch (record.ruleCode) {
            case kRuleFixedDate:
            case kRuleFixedDateAlt:
                day = record.day;
                break;
            case kRuleVernalEquinox:
                day = VernalEquinoxDay(year);
                break;
            case kRuleAutumnalEquinox:
                day = AutumnalEquinoxDay(year);
                break;
            case kRuleDatedFixed:
                day = record.day;
                dated = true;
                break;
            case kRuleDatedNthMonday:
                day = NthMonday(cells, month, record.day);
                dated = monday = true;
                break;
            case kRuleDatedVernalEquinox:
                day = AstronomicalVernalEquinoxDay(year);
                dated = true;
                break;
            case kRuleDatedAutumnalEquinox:
                day = AstronomicalAutumnalEquinoxDay(year);
                dated = true;
                break;
            default:
                if (record.ruleCode >= kRuleFirstNthMonday &&
                    record.ruleCode <= kRuleLastNthMonday) {
                    monday = year >= kHappyMondayFirstYear;
                    day = monday ? NthMonday(cells, month, record.ruleCode) : record.day;
                }
                break;
        }
        if (!IsCell(cells, month, day)) continue;
        if (dated && !record.InForce(DateNumber(year, month, day))) continue;
        CMarks& mark = marks[month - 1][day - 1];
        if (!mark.holiday) mark.holidayName = record.name;
        mark.holiday = true;
        if (!substituteRules && !monday) MarkLegacySubstitute(cells, marks, month, day);
    }

    // The days of the year in order, for the rules that look at neighbouring days.
    std::vector<CDay> days;
    for (int m = 0; m < kMonths; ++m) {
        for (int p = 0; p < kCells; ++p) {
            if (cells[m][p].day != 0) days.push_back({m + 1, p + 1, cells[m][p].weekday});
        }
    }
    auto markOf = [&marks](const CDay& d) -> CMarks& { return marks[d.month - 1][d.day - 1]; };

    if (substituteRules) {
        for (size_t i = 0; i < days.size(); ++i) {
            if (days[i].weekday != 0 || !markOf(days[i]).holiday) continue;
            const CHolidayRecord* rule =
                RuleInForce(records, kRuleSubstituteNextDay, kRuleSubstituteNextFreeDay,
                            DateNumber(year, days[i].month, days[i].day));
            if (rule == nullptr) continue;
            size_t next = i + 1;
            if (rule->ruleCode == kRuleSubstituteNextFreeDay) {
                while (next < days.size() && markOf(days[next]).holiday) ++next;
            }
            if (next >= days.size() || markOf(days[next]).holiday) continue;
            CMarks& mark = markOf(days[next]);
            if (!mark.substitute) mark.ruleName = rule->name;
            mark.substitute = true;
        }
    }

    // A day between two holidays (days marked by records of their own, not substitutes).
    for (size_t i = 1; i + 1 < days.size(); ++i) {
        CMarks& mark = markOf(days[i]);
        if (mark.holiday || !markOf(days[i - 1]).holiday || !markOf(days[i + 1]).holiday) continue;
        const CHolidayRecord* rule = RuleInForce(records, kRuleBetweenWeekdays, kRuleBetweenAnyDay,
                                                 DateNumber(year, days[i].month, days[i].day));
        if (rule == nullptr) continue;
        if (rule->ruleCode == kRuleBetweenWeekdays && (days[i].weekday == 0 || mark.substitute))
            continue;
        if (!mark.substitute) mark.ruleName = rule->name;
        mark.between = true;
    }

    for (int m = 0; m < kMonths; ++m) {
        for (int p = 0; p < kCells; ++p) {
            const CMarks& mark = marks[m][p];
            if (!mark.holiday && !mark.substitute && !mark.between) continue;
            DayCell& cell = cells[m][p];
            cell.holiday = 1;
            cell.name = mark.holiday ? mark.holidayName : mark.ruleName;
        }
    }
}
