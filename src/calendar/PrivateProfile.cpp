#include "calendar/PrivateProfile.h"

#include <cstddef>
#include <vector>

#include "data/SafeFile.h"
#include "data/TextEncoding.h"

namespace {
// Profile files are small; a file far larger than any month of memos is not read.
constexpr size_t kMaxProfileFileBytes = 16 * 1024 * 1024;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    a = Trim(a);
    b = Trim(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// The section name of a "[name]" line; false for other lines.
bool SectionOfLine(std::string_view line, std::string_view& name)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[') return false;
    const size_t close = line.find(']');
    name = close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1);
    return true;
}

// The key of a "key=value" line and the raw text after "="; false for lines without "=".
bool KeyOfLine(std::string_view line, std::string_view& key, std::string_view& value)
{
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    key = line.substr(0, equals);
    value = line.substr(equals + 1);
    return true;
}

std::string CleanValue(std::string_view raw)
{
    std::string_view value = Trim(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

// Index of the first line of the section's body and one past its last line; false when the
// section is missing.
bool FindSection(const std::vector<std::string_view>& lines, std::string_view section,
                 size_t& begin, size_t& end)
{
    size_t i = 0;
    for (; i < lines.size(); ++i) {
        std::string_view name;
        if (SectionOfLine(lines[i], name) && SameName(name, section)) break;
    }
    if (i == lines.size()) return false;
    begin = i + 1;
    end = begin;
    while (end < lines.size()) {
        std::string_view name;
        if (SectionOfLine(lines[end], name)) break;
        ++end;
    }
    return true;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}
}  // namespace

bool FindProfileValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string& value)
{
    const std::vector<std::string_view> lines = SplitLines(text);
    size_t begin = 0;
    size_t end = 0;
    if (!FindSection(lines, section, begin, end)) return false;
    for (size_t i = begin; i < end; ++i) {
        std::string_view lineKey;
        std::string_view raw;
        if (KeyOfLine(lines[i], lineKey, raw) && SameName(lineKey, key)) {
            value = CleanValue(raw);
            return true;
        }
    }
    return false;
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value)
{
    const std::vector<std::string_view> views = SplitLines(text);
    std::vector<std::string> lines(views.begin(), views.end());
    const std::string newLine = std::string(Trim(key)) + "=" + std::string(value);
    size_t begin = 0;
    size_t end = 0;
    if (!FindSection(views, section, begin, end)) {
        lines.push_back("[" + std::string(Trim(section)) + "]");
        lines.push_back(newLine);
        return JoinLines(lines);
    }
    for (size_t i = begin; i < end; ++i) {
        std::string_view lineKey;
        std::string_view raw;
        if (KeyOfLine(views[i], lineKey, raw) && SameName(lineKey, key)) {
            lines[i] = newLine;
            return JoinLines(lines);
        }
    }
    // A new key follows the section's last non-blank line, so blank lines that separate it from
    // the next section stay where they are.
    size_t insertAt = end;
    while (insertAt > begin && Trim(views[insertAt - 1]).empty()) --insertAt;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
    return JoinLines(lines);
}

std::string ReadPrivateProfileString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, size_t maxBytes,
                                     const std::string& path)
{
    std::string bytes;
    std::string value(defaultValue);
    if (ReadWholeFile(path, bytes, nullptr, nullptr, kMaxProfileFileBytes)) {
        FindProfileValue(DecodeTextFileBytes(bytes), section, key, value);
    }
    return CutToCp932Bytes(value, maxBytes);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path, std::string* error)
{
    std::string text;
    bool missing = false;
    std::string readError;
    if (!LoadTextFile(path, text, &readError, &missing)) {
        // Only a missing file starts empty; one that exists but cannot be read is never
        // written over, or every other memo in it would be lost.
        if (!missing) {
            if (error != nullptr) *error = readError;
            return false;
        }
        text.clear();
    }
    return SaveTextFile(path, SetProfileValue(text, section, key, value), error);
}
