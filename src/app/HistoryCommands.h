#pragma once

#include <iosfwd>
#include <string>

class CDataFolder;

// The command-line modes of the log's history (data/CatchHistory.h), on the Data folder of the
// folder given.  Each returns the process's exit code: 0 done, non-zero with the reason on err.

// One line per copy, oldest first: name, date and time, trips, catches (tab-separated); files of
// the history folder that are not readable copies are named on err.
int ListHistoryCommand(const CDataFolder& folder, std::ostream& out, std::ostream& err);

// Puts back the history copy name as one save, the current files first kept as a copy of their
// own.  Refused while a running program holds the Data folder.
int RestoreHistoryCommand(const CDataFolder& folder, const std::string& name, std::ostream& out,
                          std::ostream& err);
