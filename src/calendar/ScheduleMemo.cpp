#include "calendar/ScheduleMemo.h"

#include <filesystem>
#include <system_error>

#include "calendar/PrivateProfile.h"
#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"

std::string ScheduleFilePath(const CDataFolder& folder, const std::string& monthTitle)
{
    const std::string dir = folder.GetScheduleDir();
    if (dir.empty()) return {};
    return dir + "/" + monthTitle + ".txt";
}

namespace {
// The memo with its backslashes and line breaks escaped, before any quotes are added.
std::string EscapeMemo(std::string_view memo)
{
    std::string value;
    value.reserve(memo.size() + 8);
    for (size_t i = 0; i < memo.size(); ++i) {
        const char c = memo[i];
        if (c == '\\') {
            value += "\\\\";
        } else if (c == '\r' && i + 1 < memo.size() && memo[i + 1] == '\n') {
            // A CR LF pair is one line break.
            value += "\\n";
            ++i;
        } else if (c == '\n') {
            value += "\\n";
        } else if (c == '\r') {
            value += "\\r";
        } else {
            value += c;
        }
    }
    return value;
}
}  // namespace

std::string EncodeMemoValue(std::string_view memo)
{
    std::string value = EscapeMemo(memo);
    if (value.empty()) return value;
    const auto needsQuotes = [](char c) {
        return c == ' ' || c == '\t' || c == '"' || c == '\'' || c == '\v' || c == '\f';
    };
    if (needsQuotes(value.front()) || needsQuotes(value.back())) value = '"' + value + '"';
    return value;
}

std::string DecodeMemoValue(std::string_view value)
{
    std::string memo;
    memo.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c != '\\') {
            memo += c;
            continue;
        }
        if (i + 1 == value.size()) break;
        const char next = value[++i];
        if (next == 'n') {
            memo += '\n';
        } else if (next == 'r') {
            memo += '\r';
        } else if (next == '\\') {
            memo += '\\';
        } else {
            // Not one of ours (a memo typed before line breaks were kept): left as it is.
            memo += c;
            memo += next;
        }
    }
    return memo;
}

size_t StoredMemoBytes(std::string_view memo)
{
    // Quotes around the value are removed before the read limit applies, so they do not count.
    return Cp932ByteLength(EscapeMemo(memo));
}

namespace {
std::string DayKey(int day)
{
    return std::to_string(day);
}
}  // namespace

std::string ReadScheduleMemo(const CDataFolder& folder, const std::string& monthTitle, int day)
{
    const std::string path = ScheduleFilePath(folder, monthTitle);
    if (path.empty()) return {};
    return DecodeMemoValue(
        ReadPrivateProfileString(monthTitle, DayKey(day), "", kMaxMemoReadBytes, path));
}

std::array<std::string, kMemoDaysPerMonth> ReadScheduleMonth(const CDataFolder& folder,
                                                             const std::string& monthTitle)
{
    std::array<std::string, kMemoDaysPerMonth> memos;
    const std::string path = ScheduleFilePath(folder, monthTitle);
    std::string text;
    // Read exactly as the memo of one day is, so the list never shows what the dialog would not.
    if (path.empty() || !LoadProfileText(path, text)) return memos;
    std::array<std::string, kMemoDaysPerMonth> keys;
    for (int day = 1; day <= kMemoDaysPerMonth; ++day)
        keys[static_cast<size_t>(day - 1)] = DayKey(day);
    for (const auto& [key, value] : ReadProfileSection(text, monthTitle)) {
        if (key.size() > 2) continue;  // no day's key
        for (int day = 1; day <= kMemoDaysPerMonth; ++day) {
            if (key != keys[static_cast<size_t>(day - 1)]) continue;
            memos[static_cast<size_t>(day - 1)] =
                DecodeMemoValue(CutToCp932Bytes(value, kMaxMemoReadBytes));
        }
    }
    return memos;
}

bool WriteScheduleMemo(const CDataFolder& folder, const std::string& monthTitle, int day,
                       const std::string& memo, std::string* error)
{
    const std::string dir = folder.GetScheduleDir();
    if (dir.empty()) {
        if (error != nullptr) *error = "プログラムのフォルダが見つかりません。";
        return false;
    }
    std::error_code code;
    std::filesystem::create_directories(dir, code);
    if (code) {
        if (error != nullptr) *error = dir + ": " + SystemErrorText(code.value());
        return false;
    }
    return WritePrivateProfileString(monthTitle, DayKey(day), EncodeMemoValue(memo),
                                     ScheduleFilePath(folder, monthTitle), error);
}

bool WriteScheduleMemo(CCatchStore& store, const CDataFolder& folder, const std::string& monthTitle,
                       int day, const std::string& memo, std::string* error)
{
    const std::string path = ScheduleFilePath(folder, monthTitle);
    const CStoreResult result = store.ChangeFile(
        path, monthTitle + " " + std::to_string(day) + "日のメモ", [&](std::string* reason) {
            return WriteScheduleMemo(folder, monthTitle, day, memo, reason);
        });
    if (!result.ok() && error != nullptr)
        *error = result.detail.empty() ? DescribeStoreResult(result, path) : result.detail;
    return result.ok();
}
