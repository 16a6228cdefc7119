#pragma once

#include <string>

// One holiday record of a holiday list: month "^" day "^" name "^" rule code "~".  Lists are
// records written one after the other; "~" ends a record and "^" separates its fields.
struct CHolidayRecord {
    int month = 0;
    int day = 0;
    std::string name;
    int ruleCode = 0;
};

// Rule codes: where a record's holiday falls in a given year.
inline constexpr int kRuleFixedDate = 0;
inline constexpr int kRuleFixedDateAlt = 100;
inline constexpr int kRuleFirstNthMonday = 1;
inline constexpr int kRuleLastNthMonday = 5;
inline constexpr int kRuleVernalEquinox = 10;
inline constexpr int kRuleAutumnalEquinox = 11;
// From this year on, codes 1 to 5 mean the n-th Monday; before it they are fixed dates.
inline constexpr int kHappyMondayFirstYear = 2000;

// Takes the first record (up to and including its "~") off the front of list.  When the list
// holds no "~" at all, nothing is taken and the result is empty: a remainder without its
// terminator is not a record, and the caller stops there instead of looping on it.
std::string TakeRecord(std::string& list);

// Takes the text before the first "^" or "~" off rest, dropping that separator too.  Without
// either separator the whole rest is the field and rest becomes empty.
std::string SplitField(std::string& rest);

// Splits a record into its four fields.  Numbers read as a decimal prefix (blanks and line
// breaks in front skipped, no digits read 0), so missing fields read as 0 or empty.
CHolidayRecord ParseHolidayRecord(std::string record);

// Days of the month of the equinox holidays in year (full year).
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);
