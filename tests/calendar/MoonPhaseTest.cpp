#include <gtest/gtest.h>

#include <cmath>

#include "calendar/MoonPhase.h"

TEST(MoonPhaseTest, NewMoonsWithinAMinuteOfThePublishedInstants)
{
    // Published new moons (UT, to the minute), several of them solar eclipses.
    struct Case {
        int year, month, day, hour, minute;
    };
    const Case cases[] = {
        {1999, 8, 11, 11, 8}, {2000, 1, 6, 18, 14},   {2017, 8, 21, 18, 30},
        {2020, 6, 21, 6, 41}, {2023, 10, 14, 17, 55}, {2024, 4, 8, 18, 21},
    };
    for (const Case& c : cases) {
        const double published = static_cast<double>(JulianDayNumber(c.year, c.month, c.day)) -
                                 0.5 + (c.hour * 60 + c.minute) / 1440.0;
        const long long k = std::llround((published - 2451550.1) / 29.530588861);
        EXPECT_LT(std::fabs(NewMoonJulianDay(k) - published) * 1440.0, 1.0)
            << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(MoonPhaseTest, LunarDaysCountFromTheJapanDateOfTheNewMoon)
{
    struct Case {
        int year, month, day;
        int lunarDay;
        double age;
        const char* tide;
    };
    const Case cases[] = {
        // New moon 8 April 2024 18:21 UT: already 9 April in Japan.
        {2024, 4, 8, 30, 28.7, "大潮"},
        {2024, 4, 9, 1, 0.4, "大潮"},
        // New moon 17 February 2026 12:01 UT (21:01 in Japan): day 1 though noon comes first.
        {2026, 2, 17, 1, 29.3, "大潮"},
        {2026, 2, 18, 2, 0.6, "大潮"},
        {2026, 2, 26, 10, 8.6, "長潮"},
        {2026, 2, 27, 11, 9.6, "若潮"},
        {2026, 3, 3, 15, 13.6, "大潮"},
        // New moon 17 May 2026 05:01 in Japan.
        {2026, 5, 17, 1, 0.3, "大潮"},
        {2026, 5, 16, 30, 28.6, "大潮"},
        {2026, 5, 24, 8, 7.3, "小潮"},
    };
    for (const Case& c : cases) {
        const CMoonDay moon = MoonDayOf(c.year, c.month, c.day);
        EXPECT_EQ(moon.lunarDay, c.lunarDay) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_NEAR(moon.age, c.age, 0.05) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(moon.tideName, c.tide) << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(MoonPhaseTest, TideNamesAtTheEdgesOfTheTable)
{
    const char* const expected[31] = {
        "",     "大潮", "大潮", "中潮", "中潮", "中潮", "中潮", "小潮", "小潮", "小潮", "長潮",
        "若潮", "中潮", "中潮", "大潮", "大潮", "大潮", "大潮", "中潮", "中潮", "中潮", "中潮",
        "小潮", "小潮", "小潮", "長潮", "若潮", "中潮", "中潮", "大潮", "大潮"};
    for (int day = 0; day <= 30; ++day) EXPECT_STREQ(TideNameOfLunarDay(day), expected[day]) << day;
    EXPECT_STREQ(TideNameOfLunarDay(31), "");
}
