#pragma once

#include <iosfwd>
#include <string>

class CDataFolder;

// lurebook --propose-trips DIR: the trips the photos below DIR would make (photos the log already
// has left out), printed without writing anything.  Returns the process's exit code: 0 done, 2
// when DIR is no folder or the catch file cannot be read, with the reason on err.
int ProposeTripsCommand(const CDataFolder& folder, const std::string& dir, std::ostream& out,
                        std::ostream& err);
