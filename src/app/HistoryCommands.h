#pragma once

#include <iosfwd>
#include <string>

// The command-line modes of the log's history (data/CatchHistory.h), on the program directory's
// Data folder.  Each returns the process's exit code: 0 done, non-zero with the reason on err.

// One line per copy, oldest first: name, date and time, trips, catches (tab-separated); files of
// the history folder that are not readable copies are named on err.
int ListHistoryCommand(std::ostream& out, std::ostream& err);

// Puts back the history copy name as one save, the current files first kept as a copy of their
// own.  Refused while a running program holds the Data folder.
int RestoreHistoryCommand(const std::string& name, std::ostream& out, std::ostream& err);
