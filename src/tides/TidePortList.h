#pragma once

#include <iosfwd>
#include <string>

// The command line's list of ports: one tab-separated line per port offered to users (id,
// Japanese name, romanised name, prefecture, latitude, longitude), in the order of their
// readings.  Returns the exit code: 0, or 1 with the reason on err when the station file cannot
// be read.
int PrintTidePorts(const std::string& stationsPath, std::ostream& out, std::ostream& err);
