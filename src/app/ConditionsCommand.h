#pragma once

#include <iosfwd>
#include <string>

// lurebook --print-conditions YEAR [--species NAME] [--port PORT]: the catches of YEAR in the
// catch file of the Data folder counted per condition (reports/CatchConditions.h), one
// tab-separated line per value.  Each trip's port is the one chosen for its 場所, else the home
// port, else PORT (an id, a Japanese or a romanised name; empty for none).  Returns the process's
// exit code: 0 done, 1 for a port that is not known, 2 for a year that does not read or files that
// cannot be read, with the reason on err.
int PrintConditionsCommand(const std::string& year, const std::string& species,
                           const std::string& port, std::ostream& out, std::ostream& err);
