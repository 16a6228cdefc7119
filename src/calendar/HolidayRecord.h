#pragma once

#include <string>
#include <string_view>

// One holiday record of a holiday list: month "^" day "^" name "^" rule code "~", optionally
// followed (before the "~") by "^" first date "^" last date.  Lists are records written one after
// the other; "~" ends a record and "^" separates its fields.  Readers of the four-field form take
// the first four fields and ignore the rest, and a rule code they do not know marks nothing: every
// code added later is one they do not know, so a list in the newer form never makes them mark a
// wrong day.
struct CHolidayRecord {
    int month = 0;
    int day = 0;
    std::string name;
    int ruleCode = 0;
    // The dates (yyyymmdd) the record is in force, inclusive; 0 means no limit on that side.
    int firstDate = 0;
    int lastDate = 0;

    // Whether the record is in force on a date (yyyymmdd).
    bool InForce(int date) const
    {
        return (firstDate == 0 || date >= firstDate) && (lastDate == 0 || date <= lastDate);
    }
};

// Rule codes of the four-field form: where a record's holiday falls in a given year.
inline constexpr int kRuleFixedDate = 0;
inline constexpr int kRuleFixedDateAlt = 100;
inline constexpr int kRuleFirstNthMonday = 1;
inline constexpr int kRuleLastNthMonday = 5;
inline constexpr int kRuleVernalEquinox = 10;
inline constexpr int kRuleAutumnalEquinox = 11;
// From this year on, codes 1 to 5 mean the n-th Monday; before it they are fixed dates.
inline constexpr int kHappyMondayFirstYear = 2000;

// Rule codes of the dated form.  They mark no day of their own in a reader of the four-field form.
inline constexpr int kRuleDatedFixed = 20;            // month M, day D
inline constexpr int kRuleDatedNthMonday = 21;        // the D-th Monday of month M
inline constexpr int kRuleDatedVernalEquinox = 22;    // month M, the vernal equinox day
inline constexpr int kRuleDatedAutumnalEquinox = 23;  // month M, the autumnal equinox day
// A holiday on a Sunday makes the next day a holiday (named by the record).
inline constexpr int kRuleSubstituteNextDay = 30;
// A holiday on a Sunday makes the next day that is no holiday a holiday.
inline constexpr int kRuleSubstituteNextFreeDay = 31;
// A day between two holidays that is no holiday, no Sunday and no substitute day is a holiday.
inline constexpr int kRuleBetweenWeekdays = 32;
// A day between two holidays that is no holiday is a holiday.
inline constexpr int kRuleBetweenAnyDay = 33;

// Takes the record of list that starts at position at (up to and including its "~") and moves at
// past it.  When the rest holds no "~" at all, nothing is taken, at stays and the result is
// empty: a remainder without its terminator is not a record, and the caller stops there instead
// of looping on it.  Records are taken by position, so reading a long list is one pass.
std::string TakeRecord(std::string_view list, size_t& at);

// Takes the text before the first "^" or "~" off rest, dropping that separator too.  Without
// either separator the whole rest is the field and rest becomes empty.
std::string SplitField(std::string& rest);

// Splits a record into its fields.  Numbers read as a decimal prefix (blanks and line breaks in
// front skipped, no digits read 0), so missing fields read as 0 or empty.  A date field holds
// yyyymmdd or a year alone (the year's first day as a first date, its last day as a last date).
CHolidayRecord ParseHolidayRecord(std::string record);

// Whether a rule code belongs to the dated form.
bool IsDatedRuleCode(int code);

// Days of the month of the equinox holidays in year (full year), by the tables of the four-field
// form (codes 10 and 11).  They are kept as they were, so old lists keep their meaning.
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);

// The same days by the standard approximation of the equinox instants in Japan time (the
// national observatory's formula; good from 1900 to 2150, its nearest range used outside).
int AstronomicalVernalEquinoxDay(int year);
int AstronomicalAutumnalEquinoxDay(int year);
