#include "data/TripDate.h"

#include <cstdio>
#include <vector>

#include "data/DecimalInt.h"

namespace {

// The first year of each era, less one: era year n is the year offset + n.
struct CEra {
    const char* letter;  // as in "R6/4/17"
    const char* name;    // as in "令和6年"
    int offset;
};
constexpr CEra kEras[] = {
    {"m", "明治", 1867}, {"t", "大正", 1911}, {"s", "昭和", 1925},
    {"h", "平成", 1988}, {"r", "令和", 2018},
};

// Full-width ASCII and the ideographic space as ASCII, Latin capitals as small letters; other
// bytes as they are.  Spreadsheets and input methods write both widths.
std::string Fold(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
        char c = text[i];
        if (i + 2 < text.size() && byte(0) == 0xEF && (byte(1) == 0xBC || byte(1) == 0xBD)) {
            // U+FF01..U+FF5E: EF BC 81..BF, EF BD 80..9E.
            const int code = (byte(1) == 0xBC ? 0xFF00 : 0xFF40) + (byte(2) - 0x80);
            if (code >= 0xFF01 && code <= 0xFF5E) {
                c = static_cast<char>(code - 0xFEE0);
                i += 2;
            }
        } else if (i + 2 < text.size() && byte(0) == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) {
            c = ' ';
            i += 2;
        }
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        out += c;
    }
    return out;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

int DaysInMonth(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

EDateError ReadDateText(std::string_view typed, CDateText& date)
{
    const std::string folded = Fold(typed);
    std::string_view text = folded;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty()) return EDateError::Empty;

    int eraOffset = -1;
    bool kanjiEra = false;
    for (const CEra& era : kEras) {
        if (StartsWith(text, era.name)) {
            eraOffset = era.offset;
            kanjiEra = true;
            text.remove_prefix(std::string_view(era.name).size());
        } else if (StartsWith(text, era.letter) && text.size() > 1 && IsAsciiDigit(text[1])) {
            eraOffset = era.offset;
            text.remove_prefix(1);
        }
        if (eraOffset >= 0) break;
    }
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);

    // The text as numbers, each followed by a mark: "/", "-" or "." between numbers, or the
    // unit 年 月 日 after each; "元" (the first year of an era) stands for 1.
    static const char* const kUnits[] = {"年", "月", "日"};
    std::vector<std::string> numbers;
    std::vector<int> marks;  // 0 年, 1 月, 2 日, 3 a separator
    size_t i = 0;
    while (i < text.size()) {
        if (numbers.size() > marks.size()) {
            const std::string_view rest = text.substr(i);
            int mark = -1;
            for (int u = 0; u < 3; ++u) {
                if (StartsWith(rest, kUnits[u])) {
                    mark = u;
                    i += std::string_view(kUnits[u]).size();
                }
            }
            if (mark < 0 && (rest[0] == '/' || rest[0] == '-' || rest[0] == '.')) {
                mark = 3;
                ++i;
            }
            if (mark < 0) return EDateError::NotDate;
            marks.push_back(mark);
            while (mark < 3 && i < text.size() && text[i] == ' ') ++i;
            continue;
        }
        if (numbers.size() == 3) return EDateError::NotDate;
        std::string digits;
        if (kanjiEra && numbers.empty() && StartsWith(text.substr(i), "元")) {
            digits = "1";
            i += std::string_view("元").size();
        }
        while (i < text.size() && IsAsciiDigit(text[i])) digits += text[i++];
        if (digits.empty()) return EDateError::NotDate;
        numbers.push_back(std::move(digits));
    }
    if (numbers.empty()) return EDateError::NotDate;
    const bool kanjiForm = !marks.empty() && marks.front() != 3;
    if (kanjiForm) {
        // 年 月 日 in this order from the first: "4月16日" names no year.
        if (marks.front() != 0) return EDateError::NoYear;
        if (marks.size() < numbers.size()) return EDateError::NotDate;
        for (size_t n = 0; n < marks.size(); ++n) {
            if (marks[n] != static_cast<int>(n)) return EDateError::NotDate;
        }
    } else {
        // Separators between the numbers only.
        if (marks.size() >= numbers.size()) return EDateError::NotDate;
        for (int mark : marks) {
            if (mark != 3) return EDateError::NotDate;
        }
    }
    for (const std::string& number : numbers) {
        if (number.size() > 6) return EDateError::Impossible;
    }
    if (eraOffset < 0 && numbers.front().size() != 4) return EDateError::NoYear;
    if (eraOffset >= 0 && numbers.front().size() > 2) return EDateError::NotDate;

    CDateText read;
    read.year = std::stoi(numbers[0]) + (eraOffset >= 0 ? eraOffset : 0);
    if (eraOffset >= 0 && read.year == eraOffset) return EDateError::Impossible;  // era year 0
    if (numbers.size() > 1) read.month = std::stoi(numbers[1]);
    if (numbers.size() > 2) read.day = std::stoi(numbers[2]);
    if (numbers.size() > 1 && (read.month < 1 || read.month > 12)) return EDateError::Impossible;
    if (numbers.size() > 2 && (read.day < 1 || read.day > DaysInMonth(read.year, read.month)))
        return EDateError::Impossible;
    date = read;
    return EDateError::None;
}

std::array<int, 3> ReadStoredDate(std::string_view date)
{
    std::array<int, 3> fields{};
    size_t position = 0;
    for (int& field : fields) {
        const size_t start = date.find_first_not_of('/', position);
        if (start == std::string_view::npos) break;
        size_t end = date.find('/', start);
        if (end == std::string_view::npos) end = date.size();
        field = ReadDecimalInt(date.substr(start, end - start));
        position = end;
    }
    return fields;
}

std::string_view StoredYearText(std::string_view date)
{
    return date.substr(0, date.find('/'));
}

std::string FormatTripDate(const CDateText& date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", date.year, date.month, date.day);
    return text;
}

std::string DescribeDateError(EDateError error)
{
    switch (error) {
        case EDateError::None:
            return {};
        case EDateError::Empty:
            return "日付が空です";
        case EDateError::NoYear:
            return "日付に 4 桁の年がありません（例: 2024/04/14、令和6年4月14日）";
        case EDateError::NotDate:
            return "日付として読めません（例: 2024/04/14、2024-04-14、2024年4月14日、R6/4/14）";
        case EDateError::Impossible:
            return "存在しない日付です";
    }
    return {};
}
