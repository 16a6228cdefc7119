#include "calendar/CalendarGrid.h"

#include <algorithm>
#include <cstdio>

#include "calendar/HolidayLists.h"
#include "calendar/HolidayRecord.h"
#include "data/Clock.h"

bool IsLeapYear(long long year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(long long year, int month)
{
    static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) return 29;
    return kLengths[month - 1];
}

int WeekdayOfDate(long long year, int month, int day)
{
    // Days since 1970-01-01 of the proleptic Gregorian calendar, counted from March so that the
    // leap day ends the year; floor division keeps it right for years before the common era.
    const long long y = year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153LL * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long long days = era * 146097 + dayOfEra - 719468;
    // 1970-01-01 was a Thursday.
    const long long weekday = (days + 4) % 7;
    return static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
}

std::string FormatMonthTitle(int fullYear, int month)
{
    char title[64];
    std::snprintf(title, sizeof title, "%d年  %d月", fullYear, month);
    return title;
}

CCalendarGrid::CCalendarGrid(CHolidayLists& lists) : m_lists(lists) {}

CCalendarGrid::CCalendarGrid() : CCalendarGrid(TheHolidayLists()) {}

void CCalendarGrid::Build()
{
    const long long year = static_cast<long long>(m_shownYear) + 1900;
    for (int month = 0; month < kMonths; ++month) {
        const int length = DaysInMonth(year, month + 1);
        int weekday = WeekdayOfDate(year, month + 1, 1);
        for (int position = 0; position < kCellsPerMonth; ++position) {
            DayCell& cell = m_cells[month][position];
            if (position < length) {
                cell = DayCell{position + 1, weekday, 0};
                weekday = (weekday + 1) % 7;
            } else {
                cell = DayCell{};
            }
        }
    }
    ApplyHolidays();
}

void CCalendarGrid::ApplyHolidays()
{
    m_lists.LoadHolidayFiles(ShownFullYear());
    MarkHolidays(m_lists.CombinedList());
}

void CCalendarGrid::MarkHolidays(std::string_view list)
{
    const int year = ShownFullYear();
    // Records are taken by position, never by cutting the front off the list, so a long list
    // costs one pass.
    for (size_t start = 0; start < list.size();) {
        const size_t end = list.find('~', start);
        // A remainder without its closing "~" is no record: the processing ends there.
        if (end == std::string_view::npos) break;
        const CHolidayRecord parsed =
            ParseHolidayRecord(std::string(list.substr(start, end + 1 - start)));
        start = end + 1;
        const int code = parsed.ruleCode;
        if (code == kRuleFixedDate || code == kRuleFixedDateAlt) {
            MarkHoliday(parsed.month, parsed.day);
        } else if (code >= kRuleFirstNthMonday && code <= kRuleLastNthMonday) {
            if (year >= kHappyMondayFirstYear) {
                MarkNthMonday(parsed.month, code);
            } else {
                MarkHoliday(parsed.month, parsed.day);
            }
        } else if (code == kRuleVernalEquinox) {
            MarkHoliday(parsed.month, VernalEquinoxDay(year));
        } else if (code == kRuleAutumnalEquinox) {
            MarkHoliday(parsed.month, AutumnalEquinoxDay(year));
        }
    }
}

void CCalendarGrid::MarkHoliday(int month, int day)
{
    // Records naming a month or day the table has no cell for mark nothing.
    if (month < 1 || month > kMonths || day < 1 || day > kCellsPerMonth) return;
    DayCell& cell = m_cells[month - 1][day - 1];
    // A day the month lacks (February 30) is never shown; it has no weekday to substitute from.
    if (cell.day == 0) return;
    cell.holiday = 1;
    if (cell.weekday != 0) return;
    // A Sunday holiday makes the following day a holiday too.  The 31st is followed by the
    // next month's 1st; the last day of a shorter month is followed by an empty position, and
    // 31 December by nothing in this table.
    DayCell* next = nullptr;
    if (day < kCellsPerMonth) {
        next = &m_cells[month - 1][day];
    } else if (month < kMonths) {
        next = &m_cells[month][0];
    }
    if (next != nullptr && next->day != 0) next->holiday = 1;
}

void CCalendarGrid::MarkNthMonday(int month, int nth)
{
    if (month < 1 || month > kMonths) return;
    const int first = 7 * nth - 6;
    const int last = std::min(7 * nth, kCellsPerMonth);
    for (int day = first; day <= last; ++day) {
        DayCell& cell = m_cells[month - 1][day - 1];
        if (cell.day != 0 && cell.weekday == 1) {
            cell.holiday = 1;
            return;
        }
    }
}

void CCalendarGrid::ShowToday()
{
    SetShownToday();
    Build();
}

void CCalendarGrid::SetShownToday()
{
    const CDate today = GetCurrentDate();
    SetShown(today.year - 1900, today.month - 1);
}

void CCalendarGrid::SetShown(int yearSince1900, int month)
{
    m_shownYear = yearSince1900;
    m_shownMonth = month < 0 ? 0 : (month > 11 ? 11 : month);
}

void CCalendarGrid::PrevMonth()
{
    if (m_shownMonth > 0) {
        --m_shownMonth;
        return;
    }
    m_shownMonth = 11;
    --m_shownYear;
    Build();
}

void CCalendarGrid::NextMonth()
{
    if (m_shownMonth < 11) {
        ++m_shownMonth;
        return;
    }
    m_shownMonth = 0;
    ++m_shownYear;
    Build();
}

void CCalendarGrid::PrevYear()
{
    --m_shownYear;
    Build();
}

void CCalendarGrid::NextYear()
{
    ++m_shownYear;
    Build();
}

std::string CCalendarGrid::MonthTitle() const
{
    return FormatMonthTitle(ShownFullYear(), m_shownMonth + 1);
}

CCalendarGrid& TheCalendarGrid()
{
    static CCalendarGrid grid;
    return grid;
}
