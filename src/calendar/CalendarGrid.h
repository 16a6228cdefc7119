#pragma once

#include <array>
#include <string>
#include <string_view>

class CHolidayLists;

// One day of the year table.
struct DayCell {
    int day = 0;      // 1..31; 0 for positions after the month's last day
    int weekday = 0;  // 0 Sunday .. 6 Saturday
    int holiday = 0;  // 1 for a public holiday or a substitute day
};

// Gregorian calendar arithmetic, valid for every year (proleptic before 1582).
bool IsLeapYear(long long year);
int DaysInMonth(long long year, int month);             // month 1..12
int WeekdayOfDate(long long year, int month, int day);  // 0 Sunday .. 6 Saturday

// The calendar's model: all days of the shown year, twelve months of 31 cells, with their
// weekdays and holidays, and the year and month the calendar shows.
class CCalendarGrid {
public:
    static constexpr int kMonths = 12;
    static constexpr int kCellsPerMonth = 31;

    // Holidays come from lists (the program's own by default).
    explicit CCalendarGrid(CHolidayLists& lists);
    CCalendarGrid();

    // Lays out the twelve months of the shown year, then applies the holiday lists.
    void Build();
    // Reads the holiday files for the shown year and marks the holiday cells.
    void ApplyHolidays();
    // Marks the holidays of a list of records (in one pass over it) for the shown year.
    void MarkHolidays(std::string_view list);

    // Moves to today's month (local date) and builds.
    void ShowToday();
    // Within the year only the shown month changes; crossing a year end builds the new year.
    void PrevMonth();
    void NextMonth();
    void PrevYear();
    void NextYear();

    // Sets what is shown without building (yearSince1900 as the platform's broken-down time).
    void SetShown(int yearSince1900, int month);
    // Shows today's month without building.
    void SetShownToday();

    int ShownYear() const { return m_shownYear; }    // years since 1900
    int ShownMonth() const { return m_shownMonth; }  // 0..11
    int ShownFullYear() const { return m_shownYear + 1900; }
    // "%d年  %d月" of the shown year and month.
    std::string MonthTitle() const;

    // month 0..11, position 0..30 (day 1..31).
    const DayCell& Cell(int month, int position) const { return m_cells[month][position]; }
    // Cells of the shown month.
    const std::array<DayCell, kCellsPerMonth>& ShownMonthCells() const
    {
        return m_cells[m_shownMonth];
    }
    CHolidayLists& HolidayLists() { return m_lists; }

private:
    void MarkHoliday(int month, int day);
    void MarkNthMonday(int month, int nth);

    CHolidayLists& m_lists;
    std::array<std::array<DayCell, kCellsPerMonth>, kMonths> m_cells{};
    int m_shownYear = 0;
    int m_shownMonth = 0;
};

// Month title of a full year and a month 1..12: "%d年  %d月".
std::string FormatMonthTitle(int fullYear, int month);

// The one year table of the program.
CCalendarGrid& TheCalendarGrid();
