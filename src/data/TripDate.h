#pragma once

#include <array>
#include <string>
#include <string_view>

// Dates as people and spreadsheets write them, read by one reader for every place that takes a
// typed or imported date (the trip list's date range, the CSV import).
//
// Forms taken (full-width digits, letters and spaces alike; blanks around ignored):
//   2024/4/14  2024-04-14  2024.4.14  2024年4月14日       year first, four digits
//   R6/4/17  H31.4.30  令和6年4月17日  令和元年5月1日      Japanese eras (M T S H R, 明治..令和)
//   14/04/2024  4/18/2024                                year last, where day and month are clear
// Month and day may be left out ("2024/4", "2024年", "R6"): the date then stands for the whole
// month or year.  A spreadsheet's time of day after the date ("2024/04/14 0:00:00") and a weekday
// in brackets ("2024年4月14日(日)") are taken too.  Years run from 1873 to 2200, and an era's
// dates lie within it.  The catch file's own form is "YYYY/MM/DD".

enum class EDateError {
    None,
    Empty,          // nothing but blanks
    NoYear,         // month and day only ("4月16日"), or a year of fewer than four digits
    NotDate,        // not one of the forms above
    Impossible,     // a month or day the calendar lacks ("2026/02/30")
    OutsideEra,     // an era date before the era began or after it ended ("R1/4/30", "平成32年")
    OutOfRange,     // a year before 1873 (the Gregorian calendar in Japan) or after 2200
    DayMonthOrder,  // a year written last after two numbers that could each be the month
    WrongWeekday,   // a weekday in brackets that is not the date's
};

struct CDateText {
    int year = 0;
    int month = 0;  // 0 when the text names a whole year
    int day = 0;    // 0 when it names a whole month or year
};

// Reads text; on success date holds its fields, otherwise date is untouched.
EDateError ReadDateText(std::string_view text, CDateText& date);

// A time of day written with colons: "6:40", "06:40", "06:40:00" (a spreadsheet's time cell);
// hours of one or two digits, minutes and seconds of two.
struct CTimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};
enum class ETimeError {
    None,
    NotTime,     // not of that form
    OutOfRange,  // of that form, but outside 0:00:00 to 23:59:59
};
ETimeError ReadTimeOfDay(std::string_view text, CTimeOfDay& time);

// The fields of a date as the catch file stores it ("YYYY/MM/DD"), for the places that count,
// group and order stored trips; a typed or imported date goes through ReadDateText instead.  The
// fields are the texts between '/'s, a run of '/' separating as one ("2004//7/3" is 3 July);
// each reads as ReadDecimalInt reads ("11x" is 11, junk 0) and a missing one is 0 ("2004" has
// month and day 0).  Compared as a whole, the fields order dates as the calendar does.
std::array<int, 3> ReadStoredDate(std::string_view date);

// The year of a stored date as the statistics page lists and matches years: its text before the
// first '/' ("2004" of "2004/05/03", the whole text when there is no '/').
std::string_view StoredYearText(std::string_view date);

// The catch file's form of a full date: "2024/04/14".
std::string FormatTripDate(const CDateText& date);

// A Japanese reason for a date that cannot be read, naming the forms that can ("" for None).
std::string DescribeDateError(EDateError error);

// The number of days of a month (month 1 to 12) in the Gregorian calendar.
int DaysInMonth(int year, int month);
