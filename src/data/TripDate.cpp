#include "data/TripDate.h"

#include <cstdio>
#include <vector>

#include "data/DecimalInt.h"

namespace {

// The first year of each era, less one: era year n is the year offset + n.  An era runs from
// its first day to the day before the next one's.
struct CEra {
    const char* letter;  // as in "R6/4/17"
    const char* name;    // as in "令和6年"
    int offset;
    int first;  // its first day as yyyymmdd
};
constexpr CEra kEras[] = {
    {"m", "明治", 1867, 18681023}, {"t", "大正", 1911, 19120730}, {"s", "昭和", 1925, 19261225},
    {"h", "平成", 1988, 19890108}, {"r", "令和", 2018, 20190501},
};

// Years a trip may lie in: the Gregorian calendar in Japan to well past any log's life.
constexpr int kFirstYear = 1873;
constexpr int kLastYear = 2200;

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

bool EndsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Takes a time of day after the date off text (" 0:00:00", as a spreadsheet writes a date-time
// cell); false when the text ends in a time that is none.
bool TakeTimeOfDay(std::string_view& text)
{
    const size_t space = text.rfind(' ');
    if (space == std::string_view::npos) return true;
    const std::string_view time = text.substr(space + 1);
    if (time.find(':') == std::string_view::npos) return true;
    CTimeOfDay read;
    if (ReadTimeOfDay(time, read) != ETimeError::None) return false;
    text = TrimBlanks(text.substr(0, space));
    return true;
}

// Takes a weekday in brackets off text ("(日)", "(日曜日)"); weekday is 0 (Sunday) to 6, or -1
// when there is none.  False when the brackets hold no weekday.
bool TakeWeekday(std::string_view& text, int& weekday)
{
    weekday = -1;
    if (!EndsWith(text, ")")) return true;
    const size_t open = text.rfind('(');
    if (open == std::string_view::npos) return false;
    std::string_view inside = text.substr(open + 1, text.size() - open - 2);
    inside = TrimBlanks(inside);
    static const char* const kDays[] = {"日", "月", "火", "水", "木", "金", "土"};
    static const char* const kEnglish[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
    for (int d = 0; d < 7 && weekday < 0; ++d) {
        const std::string day = kDays[d];
        if (inside == day || inside == day + "曜" || inside == day + "曜日" ||
            inside == kEnglish[d])
            weekday = d;
    }
    if (weekday < 0) return false;
    text = text.substr(0, open);
    text = TrimBlanks(text);
    return true;
}

// 0 (Sunday) to 6 for a date of the Gregorian calendar.
int WeekdayOf(int year, int month, int day)
{
    static const int kShift[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) --year;
    return (year + year / 4 - year / 100 + year / 400 + kShift[month - 1] + day) % 7;
}

// Whether the days a date names (a whole month or year when month or day is 0) meet the era.
bool WithinEra(const CEra& era, const CDateText& date)
{
    const int from = date.year * 10000 + date.month * 100 + date.day;
    const int to = date.year * 10000 + (date.month == 0 ? 12 : date.month) * 100 +
                   (date.day == 0 ? 31 : date.day);
    const CEra* next = &era + 1;
    const bool last = next == std::end(kEras);
    return to >= era.first && (last || from < next->first);
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
    text = TrimBlanks(text);
    if (text.empty()) return EDateError::Empty;
    // What spreadsheets add to a date cell: a time of day, a weekday in brackets.
    int weekday = -1;
    if (!TakeTimeOfDay(text) || !TakeWeekday(text, weekday)) return EDateError::NotDate;
    if (text.empty()) return EDateError::NotDate;

    const CEra* era = nullptr;
    int eraOffset = -1;
    bool kanjiEra = false;
    for (const CEra& candidate : kEras) {
        if (StartsWith(text, candidate.name)) {
            kanjiEra = true;
            text.remove_prefix(std::string_view(candidate.name).size());
        } else if (!(StartsWith(text, candidate.letter) && text.size() > 1 &&
                     IsAsciiDigit(text[1]))) {
            continue;
        } else {
            text.remove_prefix(1);
        }
        era = &candidate;
        eraOffset = candidate.offset;
        break;
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
    // A four-digit year written last ("14/04/2024", as European spreadsheets write dates): day
    // and month are told apart where one of them cannot be a month, or where both are the same.
    const bool yearLast = eraOffset < 0 && !kanjiForm && numbers.size() == 3 &&
                          numbers[2].size() == 4 && numbers[0].size() <= 2 &&
                          numbers[1].size() <= 2;
    if (yearLast) {
        const int first = std::stoi(numbers[0]);
        const int second = std::stoi(numbers[1]);
        if (first <= 12 && second <= 12 && first != second) return EDateError::DayMonthOrder;
        std::string year = std::move(numbers[2]);
        numbers[2] = first > 12 ? std::move(numbers[0]) : std::move(numbers[1]);
        numbers[1] = first > 12 ? std::to_string(second) : std::to_string(first);
        numbers[0] = std::move(year);
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
    if (era != nullptr && !WithinEra(*era, read)) return EDateError::OutsideEra;
    if (read.year < kFirstYear || read.year > kLastYear) return EDateError::OutOfRange;
    if (weekday >= 0 && (read.day == 0 || WeekdayOf(read.year, read.month, read.day) != weekday))
        return EDateError::WrongWeekday;
    date = read;
    return EDateError::None;
}

ETimeError ReadTimeOfDay(std::string_view text, CTimeOfDay& time)
{
    int parts[3] = {0, 0, 0};
    int count = 0;
    size_t digits = 0;
    for (char c : text) {
        if (c == ':') {
            if (digits == 0 || (count > 0 && digits != 2) || count == 2) return ETimeError::NotTime;
            ++count;
            digits = 0;
        } else if (IsAsciiDigit(c) && digits < 2) {
            parts[count] = parts[count] * 10 + (c - '0');
            ++digits;
        } else {
            return ETimeError::NotTime;
        }
    }
    if (count == 0 || digits != 2) return ETimeError::NotTime;
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return ETimeError::OutOfRange;
    time = {parts[0], parts[1], parts[2]};
    return ETimeError::None;
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
    if (date.year < 0 || date.year > 9999 || date.month < 0 || date.month > 99 || date.day < 0 ||
        date.day > 99) {
        char text[40];
        std::snprintf(text, sizeof text, "%04d/%02d/%02d", date.year, date.month, date.day);
        return text;
    }
    // Every imported row formats its date: without the printf machinery.
    std::string text = "0000/00/00";
    const int fields[] = {date.year, date.month, date.day};
    const size_t ends[] = {4, 7, 10};
    for (size_t f = 0; f < 3; ++f) {
        int value = fields[f];
        for (size_t at = ends[f]; value > 0; value /= 10)
            text[--at] = static_cast<char>('0' + value % 10);
    }
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
        case EDateError::OutsideEra:
            return "元号の期間に入らない日付です（令和は 2019年5月1日から、平成は "
                   "2019年4月30日まで、"
                   "昭和は 1989年1月7日まで）";
        case EDateError::OutOfRange:
            return "1873 年から 2200 年までの日付にしてください";
        case EDateError::DayMonthOrder:
            return "日と月のどちらが先か分かりません（2024/04/14 の形にしてください）";
        case EDateError::WrongWeekday:
            return "曜日が日付と合いません";
    }
    return {};
}
