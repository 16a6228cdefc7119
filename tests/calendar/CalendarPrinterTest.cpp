#include <gtest/gtest.h>

#include <sstream>

#include "calendar/CalendarPrinter.h"
#include "calendar/TempWorkingDir.h"

TEST(CalendarPrinterTest, YearRanges)
{
    struct Case {
        const char* text;
        bool ok;
        int from, to;
    };
    const Case cases[] = {
        {"2026", true, 2026, 2026},
        {"1955-2050", true, 1955, 2050},
        {" 2000 - 2001 ", true, 2000, 2001},
        {"2027-2026", false, 0, 0},
        {"0", false, 0, 0},
        {"20260", false, 0, 0},
        {"2026-", false, 0, 0},
        {"abc", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        int from = 0, to = 0;
        EXPECT_EQ(ParseYearRange(c.text, from, to), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(std::make_pair(from, to), std::make_pair(c.from, c.to)) << c.text;
        }
    }
}

TEST(CalendarPrinterTest, OneLinePerDayWithHolidayMoonAndTide)
{
    CTempWorkingDir dir;
    std::ostringstream out, err;
    ASSERT_EQ(PrintCalendar("2026", out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    // The holiday files are written as the calendar page writes them.
    EXPECT_TRUE(dir.Exists("S_Holiday.txt") && dir.Exists("D_Holiday.txt"));

    std::istringstream lines(out.str());
    std::string line;
    std::vector<std::string> days;
    while (std::getline(lines, line)) days.push_back(line);
    ASSERT_EQ(days.size(), 365u);
    EXPECT_EQ(days[0], "2026-01-01\t4\t元日\t13\t12.1\t中潮");
    EXPECT_EQ(days[1], "2026-01-02\t5\t\t14\t13.1\t大潮");
    EXPECT_EQ(days[264], "2026-09-22\t2\t国民の休日\t12\t11.0\t中潮");
    EXPECT_EQ(days[364].substr(0, 13), "2026-12-31\t4\t");

    // Ranges refused at once, each with its reason, nothing printed.
    const std::pair<const char*, const char*> refused[] = {
        {"2026-2025", "FROM-TO"},
        {"1-9999", "1873 年から 2200 年まで"},
        {"1872", "1873 年から 2200 年まで"},
        {"2100-2201", "1873 年から 2200 年まで"},
    };
    for (const auto& [range, reason] : refused) {
        std::ostringstream none, complaint;
        EXPECT_EQ(PrintCalendar(range, none, complaint), 2) << range;
        EXPECT_EQ(none.str(), "") << range;
        EXPECT_NE(complaint.str().find(reason), std::string::npos) << complaint.str();
    }
    std::ostringstream edges, quiet;
    EXPECT_EQ(PrintCalendar("1873", edges, quiet), 0) << quiet.str();
    EXPECT_EQ(edges.str().substr(0, 10), "1873-01-01");
}
