#include "calendar/PrivateProfile.h"

#include <cstddef>
#include <unordered_set>
#include <vector>

#include "data/DecimalInt.h"
#include "data/GuardedFile.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"

namespace {
char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    a = TrimBlanks(a);
    b = TrimBlanks(b);
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
    line = TrimBlanks(line);
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
    std::string_view value = TrimBlanks(raw);
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
    const std::string newLine = std::string(TrimBlanks(key)) + "=" + std::string(value);
    size_t begin = 0;
    size_t end = 0;
    if (!FindSection(views, section, begin, end)) {
        lines.push_back("[" + std::string(TrimBlanks(section)) + "]");
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
    while (insertAt > begin && TrimBlanks(views[insertAt - 1]).empty()) --insertAt;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
    return JoinLines(lines);
}

std::vector<std::pair<std::string, std::string>> ReadProfileSection(std::string_view text,
                                                                    std::string_view section)
{
    std::vector<std::pair<std::string, std::string>> values;
    const std::vector<std::string_view> lines = SplitLines(text);
    size_t begin = 0;
    size_t end = 0;
    if (!FindSection(lines, section, begin, end)) return values;
    std::unordered_set<std::string> seen;
    for (size_t i = begin; i < end; ++i) {
        std::string_view lineKey;
        std::string_view raw;
        if (!KeyOfLine(lines[i], lineKey, raw)) continue;
        lineKey = TrimBlanks(lineKey);
        // A set of the folded names keeps this linear: a month file may hold any number of keys.
        std::string folded(lineKey);
        for (char& c : folded) c = FoldCase(c);
        if (seen.insert(std::move(folded)).second)
            values.emplace_back(std::string(lineKey), CleanValue(raw));
    }
    return values;
}

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
}  // namespace

bool SetProfileValueInBytes(std::string& bytes, std::string_view section, std::string_view key,
                            std::string_view value)
{
    // The encoding the reader takes the file in: UTF-8 when it is valid UTF-8 (after a mark),
    // CP932 otherwise; a file of plain ASCII takes either, as a new file would.
    const std::string original = bytes;
    const ETextFileForm before = TextFileFormOf(bytes);
    const bool marked = bytes.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
    const std::string_view body =
        std::string_view(bytes).substr(marked ? kByteOrderMark.size() : 0);
    std::string sectionBytes;
    std::string valueBytes;
    const std::string keyText = std::string(TrimBlanks(key));
    if (before == ETextFileForm::Marked || before == ETextFileForm::Utf8) {
        sectionBytes.assign(TrimBlanks(section));
        valueBytes.assign(value);
    } else if (before == ETextFileForm::Ascii) {
        // Decided as for a new file: CP932 unless that would read back as something else.
        const std::string both =
            EncodeTextFileBytes(std::string(TrimBlanks(section)) + "\n" + std::string(value));
        const size_t split = both.find("\r\n");
        if (both.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0 ||
            split == std::string::npos) {
            return false;
        }
        sectionBytes = both.substr(0, split);
        valueBytes = both.substr(split + 2);
    } else {
        if (!Utf8ToCp932(TrimBlanks(section), sectionBytes) || !Utf8ToCp932(value, valueBytes))
            return false;
    }
    if (valueBytes.find_first_of("\r\n") != std::string::npos) return false;

    const size_t bodyStart = bytes.size() - body.size();
    const std::vector<std::string_view> lines = SplitLines(body);
    const auto offsetOf = [&](std::string_view line) {
        return static_cast<size_t>(line.data() - bytes.data());
    };
    const std::string newLine = keyText + "=" + valueBytes;
    // Appended text starts on a line of its own, with the file's own line end.
    const auto appendLines = [&](const std::string& text) {
        if (bytes.size() > bodyStart && bytes.back() != '\n') bytes += "\r\n";
        bytes += text;
    };
    size_t begin = 0;
    size_t end = 0;
    if (!FindSection(lines, sectionBytes, begin, end)) {
        appendLines("[" + sectionBytes + "]\r\n" + newLine + "\r\n");
    } else {
        bool replaced = false;
        for (size_t i = begin; i < end && !replaced; ++i) {
            std::string_view lineKey;
            std::string_view raw;
            if (KeyOfLine(lines[i], lineKey, raw) && SameName(lineKey, keyText)) {
                bytes.replace(offsetOf(lines[i]), lines[i].size(), newLine);
                replaced = true;
            }
        }
        if (!replaced) {
            size_t insertAt = end;
            while (insertAt > begin && TrimBlanks(lines[insertAt - 1]).empty()) --insertAt;
            if (insertAt < lines.size()) {
                bytes.insert(offsetOf(lines[insertAt]), newLine + "\r\n");
            } else {
                appendLines(newLine + "\r\n");
            }
        }
    }
    // The result must read back as meant: the change may have removed the only bytes that
    // decided the file's encoding, and every other line must decode as before.
    const ETextFileForm after = TextFileFormOf(bytes);
    if (before != after && before != ETextFileForm::Ascii && after != ETextFileForm::Ascii) {
        bytes = original;
        return false;
    }
    std::string check;
    if (FindProfileValue(DecodeTextFileBytes(bytes), section, key, check) &&
        check == CleanValue(value)) {
        return true;
    }
    bytes = original;
    return false;
}

bool LoadProfileText(const std::string& path, std::string& text, std::string* error, bool* missing)
{
    return LoadTextFile(path, text, error, missing, kMaxProfileFileBytes);
}

std::string ReadPrivateProfileString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, size_t maxBytes,
                                     const std::string& path)
{
    std::string text;
    std::string value(defaultValue);
    if (LoadProfileText(path, text)) FindProfileValue(text, section, key, value);
    return CutToCp932Bytes(value, maxBytes);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path, std::string* error)
{
    std::string bytes;
    std::string readError;
    const EFileRead status = ReadFileGuarded(path, kMaxProfileFileBytes, bytes, &readError);
    // Only a missing file starts empty; one that exists but cannot be read is never written
    // over, or every other memo in it would be lost.
    if (status != EFileRead::Ok && status != EFileRead::Missing) {
        if (error != nullptr) *error = readError;
        return false;
    }
    std::string edited = bytes;
    if (bytes.empty() || !SetProfileValueInBytes(edited, section, key, value)) {
        // A value the file's encoding cannot hold: the whole file is written anew, as a new
        // file would be, but never at the cost of bytes that did not decode.
        const std::string text = DecodeTextFileBytes(bytes);
        if (text.find("\xEF\xBF\xBD") != std::string::npos &&
            bytes.find("\xEF\xBF\xBD") == std::string::npos) {
            if (error != nullptr) {
                *error = path +
                         ": holds bytes that are no text, and the new value cannot be added "
                         "without changing them";
            }
            return false;
        }
        return SaveTextFile(path, SetProfileValue(text, section, key, value), error,
                            kMaxProfileFileBytes);
    }
    if (!FitsFileLimit(path, edited.size(), kMaxProfileFileBytes, error)) return false;
    return WriteFileSafely(path, edited, error);
}
