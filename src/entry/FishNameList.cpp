#include "entry/FishNameList.h"

#include "data/CatchStore.h"

#include "data/DataFolder.h"
#include "data/GuardedFile.h"
#include "data/TextEncoding.h"

std::vector<std::string> SplitSpeciesEntries(std::string_view text)
{
    std::vector<std::string> entries;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const size_t lineLength = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view line = text.substr(0, lineLength);
        text.remove_prefix(lineLength);
        // Pieces never split a character; the line feed counts one byte like any other.
        while (!line.empty()) {
            std::string piece = CutToCp932Bytes(line, kSpeciesEntryBytes);
            if (piece.empty()) piece = std::string(line.substr(0, 1));  // cannot happen; be safe
            line.remove_prefix(piece.size());
            entries.push_back(std::move(piece));
        }
    }
    return entries;
}

bool ReadSpeciesList(const std::string& path, std::vector<std::string>& entries, std::string* error,
                     bool* missing)
{
    entries.clear();
    if (missing) *missing = false;
    if (path.empty()) {
        if (error) *error = "プログラムのフォルダが見つかりません。";
        return false;
    }
    std::string text;
    if (!LoadTextFile(path, text, error, missing, kMaxSpeciesFileBytes)) return false;
    entries = SplitSpeciesEntries(text);
    return true;
}

bool ReadSpeciesList(const CDataFolder& folder, std::vector<std::string>& entries,
                     std::string* error, bool* missing)
{
    return ReadSpeciesList(folder.GetSpeciesFile(), entries, error, missing);
}

std::string TrimTrailingWhiteSpace(std::string_view text)
{
    size_t end = text.size();
    while (end > 0) {
        const char c = text[end - 1];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v' && c != '\f') break;
        --end;
    }
    return std::string(text.substr(0, end));
}

std::string FormatSpeciesList(const std::vector<std::string>& entries)
{
    std::string text;
    for (const std::string& entry : entries) {
        const std::string name = TrimTrailingWhiteSpace(entry);
        if (name.empty()) continue;
        text += name;
        text += '\n';
    }
    return text;
}

bool WriteSpeciesList(const std::string& path, const std::vector<std::string>& entries,
                      std::string* error)
{
    if (path.empty()) {
        if (error) *error = "プログラムのフォルダが見つかりません。";
        return false;
    }
    return SaveTextFile(path, FormatSpeciesList(entries), error, kMaxSpeciesFileBytes);
}

bool WriteSpeciesList(const CDataFolder& folder, const std::vector<std::string>& entries,
                      std::string* error)
{
    return WriteSpeciesList(folder.GetSpeciesFile(), entries, error);
}

std::string SpeciesDisplayText(std::string_view entry)
{
    if (!entry.empty() && entry.back() == '\n') entry.remove_suffix(1);
    return std::string(entry);
}

bool WriteSpeciesList(CCatchStore& store, const std::string& path,
                      const std::vector<std::string>& entries, std::string* error)
{
    const CStoreResult result = store.ChangeFile(path, "魚種名の変更", [&](std::string* reason) {
        return WriteSpeciesList(path, entries, reason);
    });
    if (!result.ok() && error != nullptr)
        *error = result.detail.empty() ? DescribeStoreResult(result, path) : result.detail;
    return result.ok();
}
