#pragma once

#include <array>
#include <string>
#include <string_view>

class CCatchStore;
class CDataFolder;

// Day memos: one profile file per month in Data/schedule/, named by the month title, with one
// section of that name and a key per day ("1" to "31") whose value is the memo.

// Most bytes of a memo read back (counted in the system's multibyte encoding).
inline constexpr size_t kMaxMemoReadBytes = 255;
inline constexpr int kMemoDaysPerMonth = 31;

// Path of the month's memo file: the folder's Data/schedule/ + month title + ".txt" (empty when
// the folder is not known).
std::string ScheduleFilePath(const CDataFolder& folder, const std::string& monthTitle);

// A memo as one profile value: backslashes, line breaks and carriage returns become "\\", "\n"
// and "\r", and a value that starts or ends with a blank or a quote is put in quotes, so that a
// memo of several lines, or with blanks around it, reads back as it was typed.
std::string EncodeMemoValue(std::string_view memo);
// The reverse; a backslash that ends the value (cut off by the read limit) is dropped.
std::string DecodeMemoValue(std::string_view value);
// Bytes of the memo as stored, which the read limit counts: a line break or a backslash takes 2.
size_t StoredMemoBytes(std::string_view memo);

// The memo of day (1..31) of the month; empty when the file, the section or the key is missing.
// At most kMaxMemoReadBytes bytes of the stored value are read.
std::string ReadScheduleMemo(const CDataFolder& folder, const std::string& monthTitle, int day);

// The memos of days 1 to 31 of the month, reading the month's file once.
std::array<std::string, kMemoDaysPerMonth> ReadScheduleMonth(const CDataFolder& folder,
                                                             const std::string& monthTitle);

// Stores the memo of day (1..31) of the month, creating Data/schedule/ when it is missing.
// Returns false with the reason in error (when given) when it could not be stored.
bool WriteScheduleMemo(const CDataFolder& folder, const std::string& monthTitle, int day,
                       const std::string& memo, std::string* error = nullptr);
// The same as one change made through store: kept in the day's history first, undoable after.
bool WriteScheduleMemo(CCatchStore& store, const CDataFolder& folder, const std::string& monthTitle,
                       int day, const std::string& memo, std::string* error = nullptr);
