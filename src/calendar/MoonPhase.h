#pragma once

#include <string>

// The moon as Japanese tide tables give it for a day.
struct CMoonDay {
    int lunarDay = 0;      // 1 on the Japan-time date of a new moon, counting up to 29 or 30
    double age = 0;        // days since the last new moon, at noon Japan time
    std::string tideName;  // 大潮, 中潮, 小潮, 長潮 or 若潮
};

// Julian day (UT) of the new moon of lunation number k (0 = the new moon of 6 January 2000),
// from the moon's and sun's apparent longitudes of the ELP 2000-82B and VSOP87 theories
// (libnova): accurate to well within a minute for centuries around today.
double NewMoonJulianDay(long long k);

// The moon of a date (proleptic Gregorian calendar) in Japan time.
CMoonDay MoonDayOf(int year, int month, int day);

// The tide name of a lunar day, by the table in common use (coast guard, newspapers).
const char* TideNameOfLunarDay(int lunarDay);

// Julian day number of a date (the day that begins at noon UT of that date).
long long JulianDayNumber(long long year, int month, int day);
