#pragma once

#include <ostream>
#include <string>

// The years the calendar can be printed for: from the year Japan took up the Gregorian calendar
// to as far ahead as anyone plans a trip (each year costs a moon computation per day).
inline constexpr int kFirstPrintableYear = 1873;
inline constexpr int kLastPrintableYear = 2200;

// Reads a year range as the command line gives it: "YYYY" or "FROM-TO" (years 1 to 9999, FROM
// not after TO).  Returns false for anything else.
bool ParseYearRange(const std::string& text, int& from, int& to);

// Prints one line per day of the years named by range:
// date, weekday (0 Sunday), holiday name, lunar day, moon age at noon, tide name, tab-separated.
// The holidays come from the holiday files of the working directory as the calendar page uses
// them (missing files are written first); what the user should know about them goes to err.
// Returns the process exit status (2 for a range that does not read or reaches past the
// printable years, with the reason on err).
int PrintCalendar(const std::string& range, std::ostream& out, std::ostream& err);
