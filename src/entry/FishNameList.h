#pragma once

#include <string>
#include <string_view>
#include <vector>

class CCatchStore;
class CDataFolder;

// The user's list of fish names, Data/fishname.txt: one name per line, kept in file order,
// duplicates allowed.  Every window that needs the list reads the file when it opens; only the
// settings dialog writes it.

// Longest entry one read yields, in CP932 bytes: longer lines come as several entries.
inline constexpr size_t kSpeciesEntryBytes = 259;

// The entries of the decoded text of the file.  Each line becomes one entry exactly as read,
// its line feed included; a last line without a line end gives an entry without one.  A line
// longer than 259 bytes gives pieces of 259 bytes, the last piece with the line feed.
std::vector<std::string> SplitSpeciesEntries(std::string_view text);

// Reads the list from path (at most kMaxSpeciesFileBytes, a regular file only).  A missing or
// unreadable file gives an empty list; the result tells whether the file was read, with the
// reason in error (when given); missing (when given) tells a file that does not exist.
bool ReadSpeciesList(const std::string& path, std::vector<std::string>& entries,
                     std::string* error = nullptr, bool* missing = nullptr);
// The list of the folder's Data/fishname.txt.
bool ReadSpeciesList(const CDataFolder& folder, std::vector<std::string>& entries,
                     std::string* error = nullptr, bool* missing = nullptr);

// Trailing blanks, tabs, carriage returns, line feeds, vertical tabs and form feeds removed.
std::string TrimTrailingWhiteSpace(std::string_view text);

// The text of the file for entries: each trimmed of trailing white space, empty ones dropped,
// one per line (line feeds; the file encoding turns them into CR LF).
std::string FormatSpeciesList(const std::vector<std::string>& entries);

// Writes the list to path through the safe-write helper.  False with the reason in error (when
// given) leaves the previous file as it was.
bool WriteSpeciesList(const std::string& path, const std::vector<std::string>& entries,
                      std::string* error = nullptr);
bool WriteSpeciesList(const CDataFolder& folder, const std::vector<std::string>& entries,
                      std::string* error = nullptr);
// The same as one change made through store: kept in the day's history first, undoable after.
bool WriteSpeciesList(CCatchStore& store, const std::string& path,
                      const std::vector<std::string>& entries, std::string* error = nullptr);

// How an entry is shown: without the line feed it may carry from the file.
std::string SpeciesDisplayText(std::string_view entry);
