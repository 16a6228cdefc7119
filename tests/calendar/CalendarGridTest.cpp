#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "calendar/CalendarGrid.h"
#include "calendar/HolidayLists.h"
#include "calendar/TempWorkingDir.h"
#include "data/Clock.h"

namespace {
using CDayList = std::set<std::pair<int, int>>;  // (month 1..12, day)

// A grid over its own holiday lists, in a working directory of its own.
class CalendarGridTest : public ::testing::Test {
protected:
    // The old built-in lists as a user keeps them after editing (a line break after each
    // record): applied as written, with the meaning they always had.
    void WriteBuiltInLists()
    {
        m_dir.Write("S_Holiday.txt", WithLineBreaks(kLegacyFixedHolidays));
        m_dir.Write("D_Holiday.txt", WithLineBreaks(kLegacyRuleHolidays));
    }
    static std::string WithLineBreaks(const std::string& list)
    {
        std::string broken;
        for (char c : list) {
            broken += c;
            if (c == '~') broken += "\r\n";
        }
        return broken;
    }
    void BuildYear(int year, int month = 1)
    {
        m_grid.SetShown(year - 1900, month - 1);
        m_grid.Build();
    }
    CDayList Holidays() const
    {
        CDayList days;
        for (int m = 0; m < 12; ++m) {
            for (int p = 0; p < 31; ++p) {
                if (m_grid.Cell(m, p).holiday != 0) days.insert({m + 1, p + 1});
            }
        }
        return days;
    }
    bool IsHoliday(int month, int day) const
    {
        return m_grid.Cell(month - 1, day - 1).holiday == 1;
    }

    CTempWorkingDir m_dir;
    CHolidayLists m_lists;
    CCalendarGrid m_grid{m_lists};
};
}  // namespace

TEST(CalendarArithmeticTest, LeapYearsAndMonthLengths)
{
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_EQ(DaysInMonth(2004, 2), 29);
    EXPECT_EQ(DaysInMonth(2003, 2), 28);
    EXPECT_EQ(DaysInMonth(2004, 4), 30);
    EXPECT_EQ(DaysInMonth(2004, 12), 31);
}

TEST(CalendarArithmeticTest, WeekdaysOutsideTheUsualTimeRange)
{
    struct Case {
        long long year;
        int month, day, weekday;
    };
    const Case cases[] = {
        {1, 1, 1, 1},    {0, 1, 1, 6},    {9999, 12, 31, 5}, {1582, 10, 15, 5},
        {1900, 3, 1, 4}, {2100, 3, 1, 1}, {2038, 1, 19, 2},  {1969, 12, 31, 3},
        {2004, 1, 1, 4}, {2004, 2, 1, 0}, {2400, 2, 29, 2},  {-400, 1, 1, 6},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WeekdayOfDate(c.year, c.month, c.day), c.weekday)
            << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST_F(CalendarGridTest, BuildLaysOutEveryMonth)
{
    BuildYear(2004);
    EXPECT_EQ(m_grid.Cell(0, 0).weekday, 4);
    EXPECT_EQ(m_grid.Cell(1, 0).weekday, 0);
    EXPECT_EQ(m_grid.Cell(1, 28).day, 29);
    EXPECT_EQ(m_grid.Cell(1, 29).day, 0);
    EXPECT_EQ(m_grid.Cell(3, 29).day, 30);
    EXPECT_EQ(m_grid.Cell(3, 30).day, 0);
    for (int m = 0; m < 12; ++m) {
        const int length = DaysInMonth(2004, m + 1);
        for (int p = 1; p < length; ++p) {
            EXPECT_EQ(m_grid.Cell(m, p).day, p + 1);
            EXPECT_EQ(m_grid.Cell(m, p).weekday, (m_grid.Cell(m, p - 1).weekday + 1) % 7);
        }
    }
    // Each month's 1st follows the previous month's last day.
    for (int m = 1; m < 12; ++m) {
        const int last = DaysInMonth(2004, m) - 1;
        EXPECT_EQ(m_grid.Cell(m, 0).weekday, (m_grid.Cell(m - 1, last).weekday + 1) % 7);
    }
    EXPECT_EQ(m_grid.MonthTitle(), "2004年  1月");
    m_grid.SetShown(104, 1);
    EXPECT_EQ(m_grid.MonthTitle(), "2004年  2月");
}

TEST_F(CalendarGridTest, BuiltInHolidaysOf2009IncludeTheMaySubstitute)
{
    WriteBuiltInLists();
    BuildYear(2009, 5);
    // May 3 is a Sunday: May 4 is a holiday of its own and the substitute day at once, and
    // May 6 stays a working day.  January and October have their second Mondays.
    EXPECT_EQ(Holidays(), (CDayList{{1, 1},
                                    {1, 12},
                                    {2, 11},
                                    {3, 20},
                                    {4, 29},
                                    {5, 3},
                                    {5, 4},
                                    {5, 5},
                                    {7, 20},
                                    {9, 15},
                                    {9, 23},
                                    {10, 12},
                                    {11, 3},
                                    {11, 23},
                                    {12, 23}}));
}

TEST_F(CalendarGridTest, SundayHolidaysMakeTheNextDayAHoliday)
{
    WriteBuiltInLists();
    BuildYear(2003);
    // November 23, 2003 is a Sunday.
    EXPECT_TRUE(IsHoliday(11, 23));
    EXPECT_TRUE(IsHoliday(11, 24));
    EXPECT_FALSE(IsHoliday(11, 25));
    // September 15 falls on a Monday, so no Tuesday holiday follows.
    EXPECT_TRUE(IsHoliday(9, 15));
    EXPECT_FALSE(IsHoliday(9, 16));
}

TEST_F(CalendarGridTest, SubstituteDaysAtTheEndOfAMonth)
{
    // April 30, 2000 is a Sunday (a 30-day month): May 1 is not made a holiday.
    m_dir.Write("S_Holiday.txt", "4^30^a^0~");
    m_dir.Write("D_Holiday.txt", "6^7^b^0~");
    BuildYear(2000);
    EXPECT_EQ(Holidays(), (CDayList{{6, 7}, {4, 30}}));

    // October 31, 2004 is a Sunday: the next month's 1st becomes the substitute day.
    m_dir.Write("S_Holiday.txt", "10^31^a^0~");
    BuildYear(2004);
    EXPECT_EQ(Holidays(), (CDayList{{6, 7}, {10, 31}, {11, 1}}));

    // December 31, 2006 is a Sunday: its following day lies outside the table, nothing else moves.
    m_dir.Write("S_Holiday.txt", "12^31^a^0~");
    BuildYear(2006);
    EXPECT_EQ(Holidays(), (CDayList{{6, 7}, {12, 31}}));
    EXPECT_EQ(m_grid.ShownYear(), 106);
    EXPECT_EQ(m_grid.ShownMonth(), 0);
}

TEST_F(CalendarGridTest, NthMondaysFrom2000AndFixedDatesBefore)
{
    WriteBuiltInLists();
    BuildYear(2000);
    EXPECT_TRUE(IsHoliday(1, 10));
    EXPECT_FALSE(IsHoliday(1, 15));
    EXPECT_TRUE(IsHoliday(10, 9));
    EXPECT_FALSE(IsHoliday(10, 10));

    BuildYear(1999);
    EXPECT_TRUE(IsHoliday(1, 15));
    EXPECT_FALSE(IsHoliday(1, 11));
    EXPECT_TRUE(IsHoliday(10, 10));
    // October 10, 1999 is a Sunday: before 2000 the substitute rule applies to these too.
    EXPECT_TRUE(IsHoliday(10, 11));
}

TEST_F(CalendarGridTest, FifthMondayOnlyWhenTheMonthHasOne)
{
    m_dir.Write("S_Holiday.txt", "1^1^a^0~");
    m_dir.Write("D_Holiday.txt", "5^1^b^5~");
    BuildYear(2000);  // Mondays of May 2000: 1, 8, 15, 22, 29
    EXPECT_EQ(Holidays(), (CDayList{{1, 1}, {5, 29}}));
    BuildYear(2001);  // Mondays of May 2001: 7, 14, 21, 28
    EXPECT_EQ(Holidays(), (CDayList{{1, 1}}));
}

TEST_F(CalendarGridTest, EquinoxRecordsUseTheTablesNotTheDayField)
{
    WriteBuiltInLists();
    BuildYear(2004);
    EXPECT_TRUE(IsHoliday(3, 20));
    EXPECT_TRUE(IsHoliday(9, 23));
    BuildYear(2002);
    EXPECT_TRUE(IsHoliday(3, 21));
    EXPECT_FALSE(IsHoliday(3, 20));
    BuildYear(2012);
    EXPECT_TRUE(IsHoliday(9, 22));
    EXPECT_FALSE(IsHoliday(9, 23));
}

TEST_F(CalendarGridTest, RecordsOutsideTheTableMarkNothing)
{
    m_dir.Write("S_Holiday.txt", "1^1^a^0~");
    m_dir.Write("D_Holiday.txt",
                "0^5^a^0~13^1^b^0~5^0^c^0~5^32^d^0~-1^-1^e^0~13^1^f^1~0^1^g^10~99^1^h^11~"
                "2^30^i^0~2^31^j^0~7^7^k^42~");
    BuildYear(2004);
    EXPECT_EQ(Holidays(), (CDayList{{1, 1}}));
    // Days February lacks stay empty and are never holidays.
    EXPECT_EQ(m_grid.Cell(1, 29).day, 0);
    EXPECT_EQ(m_grid.Cell(1, 29).holiday, 0);
    EXPECT_EQ(m_grid.Cell(2, 0).holiday, 0);
}

TEST_F(CalendarGridTest, ARemainderWithoutTerminatorEndsTheProcessing)
{
    m_dir.Write("S_Holiday.txt", "1^1^a^0~");
    m_dir.Write("D_Holiday.txt", "2^2^b^0~");
    m_dir.Write("104_year.txt", "6^7^c^0~6^8^d^0");
    BuildYear(2004);
    EXPECT_EQ(Holidays(), (CDayList{{1, 1}, {2, 2}, {6, 7}}));
    // The per-year list applies to its year only.
    BuildYear(2005);
    EXPECT_EQ(Holidays(), (CDayList{{1, 1}, {2, 2}}));
}

TEST_F(CalendarGridTest, HandEditedFilesWithLineBreaksGiveTheSameHolidays)
{
    WriteBuiltInLists();
    BuildYear(2004);
    const CDayList unbroken = Holidays();
    EXPECT_EQ(unbroken.size(), 15u);

    m_dir.Write("S_Holiday.txt", std::string(kLegacyFixedHolidays) + "\n");
    m_dir.Write("D_Holiday.txt",
                "\r\n 1^15^成人の日^2~\r\n\t3^20^春分の日^10~\n9^23^秋分の日^11~"
                "\r\n10^10^体育の日^2~\r\n");
    BuildYear(2004);
    EXPECT_EQ(Holidays(), unbroken);
}

TEST_F(CalendarGridTest, MonthStepsRebuildOnlyWhenTheYearChanges)
{
    m_dir.Write("S_Holiday.txt", "3^1^a^0~12^1^b^0~");
    m_dir.Write("D_Holiday.txt", "1^1^b^0~");
    BuildYear(2004, 1);

    m_grid.PrevMonth();
    EXPECT_EQ(m_grid.ShownFullYear(), 2003);
    EXPECT_EQ(m_grid.ShownMonth(), 11);
    EXPECT_EQ(m_grid.MonthTitle(), "2003年  12月");
    EXPECT_EQ(m_grid.Cell(0, 0).weekday, 3);   // January 1, 2003: Wednesday
    EXPECT_EQ(m_grid.Cell(11, 0).weekday, 1);  // December 1, 2003: Monday

    m_grid.NextMonth();
    EXPECT_EQ(m_grid.ShownFullYear(), 2004);
    EXPECT_EQ(m_grid.ShownMonth(), 0);
    m_grid.NextMonth();
    m_grid.NextMonth();
    EXPECT_EQ(m_grid.ShownMonth(), 2);

    // Within the year the table is not rebuilt, so an edited file shows only after a rebuild.
    m_dir.Write("S_Holiday.txt", "3^2^a^0~");
    m_grid.NextMonth();
    m_grid.PrevMonth();
    EXPECT_TRUE(IsHoliday(3, 1));
    EXPECT_FALSE(IsHoliday(3, 2));

    m_grid.NextYear();
    EXPECT_EQ(m_grid.ShownFullYear(), 2005);
    EXPECT_EQ(m_grid.ShownMonth(), 2);
    EXPECT_FALSE(IsHoliday(3, 1));
    EXPECT_TRUE(IsHoliday(3, 2));
    m_grid.PrevYear();
    m_grid.PrevYear();
    EXPECT_EQ(m_grid.MonthTitle(), "2003年  3月");
    EXPECT_EQ(m_grid.Cell(1, 28).day, 0);  // 2003 is no leap year
}

TEST_F(CalendarGridTest, ShowTodayUsesTheCurrentDate)
{
    SetCurrentDateSourceForTesting([] { return CDate{1899, 12, 31}; });
    m_grid.ShowToday();
    SetCurrentDateSourceForTesting({});
    EXPECT_EQ(m_grid.ShownYear(), -1);
    EXPECT_EQ(m_grid.ShownMonth(), 11);
    EXPECT_EQ(m_grid.MonthTitle(), "1899年  12月");
    EXPECT_EQ(m_grid.Cell(11, 30).weekday, 0);  // December 31, 1899: Sunday
}
