#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "calendar/CalendarGrid.h"
#include "calendar/HolidayLists.h"
#include "calendar/TempWorkingDir.h"

namespace {
// The holidays of the built-in lists (a working directory without holiday files), by date.
std::map<std::string, std::string> BuiltInHolidays(int fromYear, int toYear)
{
    CHolidayLists lists;
    CCalendarGrid grid(lists);
    std::map<std::string, std::string> holidays;
    for (int year = fromYear; year <= toYear; ++year) {
        grid.SetShown(year - 1900, 0);
        grid.Build();
        for (int m = 0; m < 12; ++m) {
            for (const DayCell& cell : grid.Cells()[static_cast<size_t>(m)]) {
                if (cell.day == 0 || cell.holiday == 0) continue;
                char date[16];
                std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, m + 1, cell.day);
                holidays[date] = cell.name;
            }
        }
    }
    return holidays;
}

std::string TestDataDir()
{
    const char* dir = std::getenv("LUREBOOK_TEST_DATA_DIR");
    return dir != nullptr ? dir : std::string(LUREBOOK_SOURCE_DIR) + "/tests/data";
}

// The official list calls substitute and in-between days alike "休日", and gives a few days the
// names of their special laws; the calendar names what made each day a holiday.
bool SameHoliday(const std::string& official, const std::string& ours)
{
    static const std::multimap<std::string, std::string> kAliases = {
        {"休日", "振替休日"},
        {"休日", "国民の休日"},
        {"休日（祝日扱い）", "即位の日"},
        {"休日（祝日扱い）", "即位礼正殿の儀"},
        {"体育の日（スポーツの日）", "体育の日"},
    };
    if (official == ours) return true;
    const auto range = kAliases.equal_range(official);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == ours) return true;
    }
    return false;
}
}  // namespace

TEST(HolidayLawTest, TheBuiltInListsGiveExactlyTheOfficialHolidaysOf1955To2026)
{
    CTempWorkingDir dir;
    std::ifstream file(TestDataDir() + "/jp_national_holidays_1955_2026.txt");
    ASSERT_TRUE(file) << TestDataDir();
    std::map<std::string, std::string> official;
    std::string date, name;
    while (file >> date >> name) official[date] = name;
    ASSERT_EQ(official.size(), 1050u);

    const auto ours = BuiltInHolidays(1955, 2026);
    for (const auto& [day, officialName] : official) {
        const auto found = ours.find(day);
        if (found == ours.end()) {
            ADD_FAILURE() << "missing " << day << " " << officialName;
        } else {
            EXPECT_TRUE(SameHoliday(officialName, found->second))
                << day << ": " << officialName << " / " << found->second;
        }
    }
    for (const auto& [day, ourName] : ours) {
        EXPECT_TRUE(official.count(day)) << "not a holiday: " << day << " " << ourName;
    }
}

TEST(HolidayLawTest, TurningPointsOfTheLaw)
{
    struct Case {
        const char* date;
        const char* name;  // empty: no holiday
    };
    const Case cases[] = {
        {"1948-01-01", ""},  // before the law
        {"1948-09-23", "秋分の日"},
        {"1949-01-01", "元日"},
        {"1973-02-12", ""},  // Sunday holidays are not substituted before 12 April 1973
        {"1973-04-30", "振替休日"},
        {"1986-05-05", "こどもの日"},
        {"1987-05-04", "振替休日"},  // a substitute day, not a day between holidays
        {"1988-05-04", "国民の休日"},
        {"1989-02-24", "大喪の礼"},
        {"1995-07-20", ""},
        {"1996-07-20", "海の日"},
        {"1999-01-15", "成人の日"},
        {"2000-01-10", "成人の日"},
        {"2000-01-15", ""},
        {"2002-09-16", "振替休日"},
        {"2003-07-21", "海の日"},
        {"2003-09-15", "敬老の日"},
        {"2007-04-30", "振替休日"},
        {"2008-05-06", "振替休日"},  // Sunday 4 May: the next day that is no holiday
        {"2009-09-22", "国民の休日"},
        {"2015-08-11", ""},
        {"2016-08-11", "山の日"},
        {"2019-04-30", "国民の休日"},
        {"2019-05-01", "即位の日"},
        {"2019-05-02", "国民の休日"},
        {"2019-10-22", "即位礼正殿の儀"},
        {"2019-12-23", ""},
        {"2020-02-24", "振替休日"},
        {"2020-07-24", "スポーツの日"},
        {"2020-08-10", "山の日"},
        {"2020-10-12", ""},
        {"2021-07-22", "海の日"},
        {"2021-08-09", "振替休日"},
        {"2026-05-06", "振替休日"},
        {"2026-09-21", "敬老の日"},
        {"2026-09-22", "国民の休日"},
        {"2026-12-23", ""},
        {"2032-09-21", "国民の休日"},
        {"2045-09-22", "秋分の日"},  // the old tables said the 23rd
        {"2049-09-22", "秋分の日"},
        {"2050-03-20", "春分の日"},
    };
    CTempWorkingDir dir;
    const auto ours = BuiltInHolidays(1948, 2050);
    for (const Case& c : cases) {
        const auto found = ours.find(c.date);
        EXPECT_EQ(found == ours.end() ? std::string() : found->second, c.name) << c.date;
    }
}
