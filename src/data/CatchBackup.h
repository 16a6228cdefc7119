#pragma once

#include <ctime>
#include <string>

#include "data/CatchStore.h"

// A catch file that cannot be parsed next to a backup ("<file>.bak", kept before every save)
// that can: what the program offers to put right at start.
struct CBrokenCatchFile {
    CStoreResult problem;  // why the catch file cannot be read
    std::string backupPath;
    size_t backupTrips = 0;
};

// True when the catch file of store exists but cannot be parsed and its backup reads without
// error; found then tells why and how many trips the backup holds.  The catch file is read
// through store, so a healthy file read here is not read again by the pages.
bool FindRestorableBackup(const CCatchStore& store, CBrokenCatchFile& found);

// The name the broken file is kept under: "<path>.broken-YYYYMMDD-HHMMSS" in local time.
std::string BrokenFileName(const std::string& path, std::time_t when);

// Puts the backup's content in place of the broken catch file.  The broken file is first kept
// beside it under its dated name (a file of that name is never replaced: "-2", "-3", ... are
// tried), then the backup's bytes are written over path safely; the backup itself stays.  A
// backup that does not parse is refused.  On failure the catch file is as it was, no dated
// copy is left and false is returned with the reason in error.  keptAs receives the dated name.
bool RestoreCatchBackup(const std::string& path, std::time_t when, std::string* keptAs = nullptr,
                        std::string* error = nullptr);
// The same through store, as one change that can be undone (and kept in the day's history).
bool RestoreCatchBackup(CCatchStore& store, std::time_t when, std::string* keptAs = nullptr,
                        std::string* error = nullptr);
