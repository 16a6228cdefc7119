#pragma once

#include <ostream>
#include <string>

// A Japan-time date as the tide tables name it.
struct CTideDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const CTideDate&) const = default;
};

// Reads a period as the command line gives it: a year "2027", a month "2027-05", a day
// "2027-05-03", or "FROM..TO" of these (FROM's first day to TO's last).  Years 1 to 9999; false
// for anything else, for dates that do not exist and for a FROM after TO.
bool ParseTidePeriod(const std::string& text, CTideDate& from, CTideDate& to);

// One line of a tide table: date, HH:MM in Japan time, 満潮 or 干潮, whole cm above 最低水面,
// tab-separated, with its line end.
struct CTideExtreme;
std::string TideTableLine(const CTideExtreme& extreme);

// The station a command line names by port (an id, a Japanese or a romanised name); nullptr when
// it is unknown or ambiguous, with the reason and the closest matches on err.
class CTideStations;
struct CTideStation;
const CTideStation* ResolveTidePort(const CTideStations& stations, const std::string& port,
                                    std::ostream& err);

// Prints the high and low waters of port (an id, a Japanese or a romanised name) over period,
// from the station file at stationsPath.  An unknown or ambiguous port prints the closest
// matches to err.  Returns the process exit status: 0, 1 when the port is not known, 2 for a
// period that does not read or a station file that cannot be used.
int PrintTides(const std::string& port, const std::string& period, const std::string& stationsPath,
               std::ostream& out, std::ostream& err);
