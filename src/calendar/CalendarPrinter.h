#pragma once

#include <ostream>
#include <string>

// Reads a year range as the command line gives it: "YYYY" or "FROM-TO" (years 1 to 9999, FROM
// not after TO).  Returns false for anything else.
bool ParseYearRange(const std::string& text, int& from, int& to);

// Prints one line per day of the years named by range:
// date, weekday (0 Sunday), holiday name, lunar day, moon age at noon, tide name, tab-separated.
// The holidays come from the holiday files of the working directory as the calendar page uses
// them (missing files are written first); what the user should know about them goes to err.
// Returns the process exit status (2 for a range that does not read).
int PrintCalendar(const std::string& range, std::ostream& out, std::ostream& err);
