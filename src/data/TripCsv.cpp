#include "data/TripCsv.h"

#include <csv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <functional>
#include <set>
#include <span>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "data/DecimalNumber.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"
#include "data/TripDate.h"

namespace {

constexpr int kMaxNumber = 10000;
constexpr int kLengthPlaces = 1;
constexpr int kWeightPlaces = 3;

const char* const kColumnNames[kTripCsvColumnCount] = {
    "番号",   "日付", "天候",       "狙い",     "水温",   "満潮",     "干潮",     "場所",
    "釣り方", "メモ", "場所の写真", "魚の写真", "魚種名", "体長(cm)", "重さ(kg)", "釣れた時間"};

// Columns, counted from 0.
enum EColumn {
    kNumber = 0,
    kDate = 1,
    kPlacePhotos = 10,
    kFishPhotos = 11,
    kSpecies = 12,
    kLength = 13,
    kWeight = 14,
    kTime = 15,
};

// The nine texts of a trip in the order of the columns after the number (const or not).
template <typename Trip>
auto TripFields(Trip& trip)
{
    return std::array{&trip.date,    &trip.weather, &trip.fishname, &trip.water, &trip.highTide,
                      &trip.ebbTide, &trip.place,   &trip.method,   &trip.memo};
}

// ---- writing ----------------------------------------------------------------------------------

// A first character with which a spreadsheet takes a cell as a formula; a leading ' is added
// for those, and for a leading ' itself so that the reader can tell the two apart.
bool NeedsFormulaGuard(std::string_view text)
{
    return !text.empty() && std::string_view("=+-@\t\r'").find(text.front()) != std::string::npos;
}

void AppendField(std::string& out, std::string_view text)
{
    const bool guard = NeedsFormulaGuard(text);
    if (!guard && text.find_first_of(",\"\r\n;\t") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    if (guard) out += '\'';
    for (char c : text) {
        if (c == '"') out += '"';
        if (c == '\n') out += '\r';
        out += c;
    }
    out += '"';
}

std::string JoinPaths(const std::vector<std::string>& paths)
{
    std::string joined;
    for (size_t n = 0; n < paths.size(); ++n) {
        if (n > 0) joined += '|';
        for (char c : paths[n]) {
            if (c == '|') {
                joined += "%7C";
            } else if (c == '%') {
                joined += "%25";
            } else {
                joined += c;
            }
        }
    }
    return joined;
}

// ---- reading ----------------------------------------------------------------------------------

std::vector<std::string> SplitPaths(std::string_view text)
{
    std::vector<std::string> paths;
    if (text.empty()) return paths;
    paths.emplace_back();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '|') {
            paths.emplace_back();
        } else if (text[i] == '%' && (text.substr(i, 3) == "%7C" || text.substr(i, 3) == "%7c")) {
            paths.back() += '|';
            i += 2;
        } else if (text[i] == '%' && text.substr(i, 3) == "%25") {
            paths.back() += '%';
            i += 2;
        } else {
            paths.back() += text[i];
        }
    }
    return paths;
}

// A time of the form "7時15分" (the catch file's own) as a clock.
ETimeError ReadKanjiClock(std::string_view text, CTimeOfDay& clock)
{
    const size_t hourMark = text.find("時");
    if (hourMark == std::string_view::npos || text.size() < hourMark + 6 ||
        text.substr(text.size() - 3) != "分")
        return ETimeError::NotTime;
    const std::string_view hour = text.substr(0, hourMark);
    const std::string_view minute = text.substr(hourMark + 3, text.size() - hourMark - 6);
    for (std::string_view part : {hour, minute}) {
        if (part.empty() || part.size() > 2 ||
            part.find_first_not_of("0123456789") != std::string_view::npos)
            return ETimeError::NotTime;
    }
    clock = {std::stoi(std::string(hour)), std::stoi(std::string(minute)), 0};
    if (clock.hour > 23 || clock.minute > 59) return ETimeError::OutOfRange;
    return ETimeError::None;
}

// A tide time in the catch file's form "6:40"; a time with seconds other than 0 keeps them,
// other texts stay as they are.
std::string NormalTideTime(const std::string& text)
{
    CTimeOfDay clock;
    if (ReadTimeOfDay(text, clock) != ETimeError::None || clock.second != 0) return text;
    char normal[16];
    std::snprintf(normal, sizeof normal, "%d:%02d", clock.hour, clock.minute);
    return normal;
}

// A catch time in the catch file's form "7時15分" (from "07:15", "07:15:00" or "07時05分");
// other texts stay as they are.
std::string NormalCatchTime(const std::string& text)
{
    CTimeOfDay clock;
    if ((ReadTimeOfDay(text, clock) != ETimeError::None || clock.second != 0) &&
        ReadKanjiClock(text, clock) != ETimeError::None)
        return text;
    return std::to_string(clock.hour) + "時" + std::to_string(clock.minute) + "分";
}

// Why a time column cannot be kept: a time outside the day; empty otherwise.
std::string TimeProblem(std::string_view text)
{
    CTimeOfDay clock;
    if (ReadTimeOfDay(text, clock) == ETimeError::OutOfRange ||
        ReadKanjiClock(text, clock) == ETimeError::OutOfRange)
        return "0:00 から 23:59 までの時刻ではありません: " + std::string(text);
    return {};
}

// A text that is a plain decimal number ("0001", "18.0", "1,234", "-2.50") in one form ("1",
// "18", "1234", "-2.5"), as a spreadsheet turns such a text into a number when it opens the
// file; other texts as they are.
std::string NumberValueForm(const std::string& text)
{
    std::string_view rest = text;
    std::string sign;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        if (rest.front() == '-') sign = "-";
        rest.remove_prefix(1);
    }
    const size_t point = rest.find('.');
    std::string_view whole = rest.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? "" : rest.substr(point + 1);
    if (whole.empty() && fraction.empty()) return text;
    if (fraction.find_first_not_of("0123456789") != std::string_view::npos) return text;
    // Thousands separators only between groups of three digits after the first group.
    std::string digits;
    size_t group = 0;
    bool separated = false;
    for (char c : whole) {
        if (c == ',') {
            if (group == 0 || group > 3 || (separated && group != 3)) return text;
            separated = true;
            group = 0;
        } else if (c >= '0' && c <= '9') {
            digits += c;
            ++group;
        } else {
            return text;
        }
    }
    if (separated && group != 3) return text;
    const size_t first = digits.find_first_not_of('0');
    digits = first == std::string::npos ? "0" : digits.substr(first);
    std::string decimals(fraction);
    while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();
    if (digits == "0" && decimals.empty()) sign.clear();
    return sign + digits + (decimals.empty() ? "" : "." + decimals);
}

std::string NormalDate(const std::string& text)
{
    CDateText date;
    if (ReadDateText(text, date) != EDateError::None || date.day == 0) return text;
    return FormatTripDate(date);
}

std::string NormalNumber(const std::string& text, int places)
{
    int64_t thousandths = 0;
    if (ParseDecimalInput(text, places, kMaxNumber, thousandths) != EDecimalError::None)
        return text;
    return FormatThousandths(thousandths);
}

// A trip as it is compared with the trips of the log: dates, times and numbers in the forms the
// reader stores, and every other text that is a plain number by its value, so that a trip that
// went through a spreadsheet (which drops "18.0" to "18" and "0001" to "1") is still the same.
CTripRecord NormalTrip(const CTripRecord& trip)
{
    CTripRecord normal = trip;
    for (std::string* text : TripFields(normal)) *text = NumberValueForm(*text);
    normal.date = NormalDate(trip.date);
    normal.highTide = NormalTideTime(trip.highTide);
    normal.ebbTide = NormalTideTime(trip.ebbTide);
    for (CCatchRecord& caught : normal.catches) {
        caught.name = NumberValueForm(caught.name);
        caught.height = NumberValueForm(NormalNumber(caught.height, kLengthPlaces));
        caught.weight = NumberValueForm(NormalNumber(caught.weight, kWeightPlaces));
        caught.time = NormalCatchTime(caught.time);
    }
    return normal;
}

// How the bytes of the file are read.
enum class EFileText { Utf8, Cp932 };

// Why a text of a field cannot be kept exactly; empty when it can.
std::string TextProblem(std::string_view text)
{
    if (text.empty()) return {};
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            char code[8];
            std::snprintf(code, sizeof code, "%02X", c);
            return std::string("記録に残せない制御文字 (0x") + code + ") があります";
        }
        if (c == 0xEF && text.substr(i, 3) >= "\xEF\xBF\xBE" && text.substr(i, 3) <= "\xEF\xBF\xBF")
            return "記録に残せない文字 (U+FFFE, U+FFFF) があります";
    }
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return "空白だけの内容は記録に残せません";
    // A text is never longer in CP932 than in UTF-8.
    const size_t bytes = text.size() > kMaxTripTextBytes ? Cp932ByteLength(text) : 0;
    if (bytes > kMaxTripTextBytes) {
        return "長すぎます（" + std::to_string(bytes) + " バイト、" +
               std::to_string(kMaxTripTextBytes) + " バイト（全角 " +
               std::to_string(kMaxTripTextBytes / 2) + " 文字）まで）";
    }
    return {};
}

// One trip being gathered from its rows.
struct CTripRows {
    int firstRow = 0;
    bool bad = false;
};

class CCsvReader {
public:
    // marked: the file begins with a byte-order mark, so it is UTF-8 whatever its header holds.
    CCsvReader(bool marked, CCsvImport& import) : m_marked(marked), m_import(import) {}

    // fields holds the first of the row's fieldCount fields; textPastThem says whether one of
    // the others holds anything.
    // The fields are the parser's: their texts may be taken.
    void OnRow(std::span<std::string> raw, size_t fieldCount, bool textPastThem, int row);
    void Finish();

private:
    void Problem(int row, int column, std::string reason)
    {
        ++m_import.problemCount;
        if (m_import.problems.size() < kMaxKeptCsvProblems)
            m_import.problems.push_back({row, column, std::move(reason)});
    }
    // The text of a field as the file meant it; false (a problem noted) when it cannot be kept.
    bool Decode(std::string& raw, int row, int column, std::string& text);
    // The trip columns of a row as a trip (catches empty); false when one has a problem.
    // Takes the texts of the trip columns out of fields.
    bool ReadTripColumns(std::vector<std::string>& fields, int row, CTripRecord& trip);
    bool ReadCatch(const std::vector<std::string>& fields, int row, CTripRecord& trip);

    // Whether raw are the fields of a later row of a trip read well so far, holding its trip
    // columns as they are stored, in bytes the decoding would not change.
    bool RepeatsStoredTrip(std::span<const std::string> raw) const;
    // Whether the header row is the header in this form.
    bool IsHeader(std::span<const std::string> raw, EFileText form) const;

    bool m_marked;
    EFileText m_form = EFileText::Utf8;  // as the header is written
    CCsvImport& m_import;
    bool m_headerRead = false;
    bool m_headerWrong = false;
    // Each trip's rows, by number in order of first row; the records are gathered in the
    // import's own list, so that they are held once.
    std::vector<CTripRows> m_trips;
    std::unordered_map<std::string, size_t> m_byNumber;
    std::vector<std::string> m_fields;  // reused from row to row
};

bool CCsvReader::Decode(std::string& raw, int row, int column, std::string& text)
{
    // A row saved in the other encoding than the header (pasted from another file) is a problem
    // of that row: read in the header's encoding its texts would be mojibake.
    if (m_form == EFileText::Utf8) {
        if (!IsValidUtf8(raw)) {
            const bool cp932 = Cp932ToUtf8(raw).find("\xEF\xBF\xBD") == std::string::npos;
            Problem(row, column,
                    cp932 ? "Shift_JIS (CP932) で書かれています（ファイルは UTF-8）"
                          : "UTF-8 として読めないバイトがあります");
            return false;
        }
        text.swap(raw);
    } else {
        if (LooksLikeJapaneseUtf8(raw)) {
            Problem(row, column, "UTF-8 で書かれています（ファイルは Shift_JIS (CP932)）");
            return false;
        }
        text = Cp932ToUtf8(raw);
        // CP932 holds no U+FFFD: one in the result stands for bytes it does not define.
        if (text.find("\xEF\xBF\xBD") != std::string::npos) {
            Problem(row, column, "Shift_JIS (CP932) として読めないバイトがあります");
            return false;
        }
    }
    // CR LF inside quotes is a line break, LF in memory; a lone CR or LF stays as it is.
    if (size_t from = text.find('\r'); from != std::string::npos) {
        size_t kept = from;
        for (size_t i = from; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
            text[kept++] = text[i];
        }
        text.resize(kept);
    }
    if (text.size() > 1 && text.front() == '\'' &&
        NeedsFormulaGuard(std::string_view(text).substr(1)))
        text.erase(0, 1);
    return true;
}

bool CCsvReader::ReadTripColumns(std::vector<std::string>& fields, int row, CTripRecord& trip)
{
    bool ok = true;
    bool dateKept = false;
    const auto fieldsOfTrip = TripFields(trip);
    for (size_t f = 0; f < fieldsOfTrip.size(); ++f) {
        const int column = static_cast<int>(f) + 2;
        std::string& text = fields[f + 1];
        if (std::string reason = TextProblem(text); !reason.empty()) {
            Problem(row, column, std::move(reason));
            ok = false;
            continue;
        }
        fieldsOfTrip[f]->swap(text);
        dateKept = dateKept || column == kDate + 1;
    }
    if (dateKept) {
        CDateText date;
        const EDateError error = ReadDateText(trip.date, date);
        if (error == EDateError::None && date.day == 0) {
            Problem(row, kDate + 1, "日付に月と日がありません: " + trip.date);
            ok = false;
        } else if (error != EDateError::None) {
            Problem(row, kDate + 1,
                    DescribeDateError(error) + (trip.date.empty() ? "" : ": " + trip.date));
            ok = false;
        } else {
            trip.date = FormatTripDate(date);
        }
    }
    for (std::string* tide : {&trip.highTide, &trip.ebbTide}) {
        if (std::string reason = TimeProblem(*tide); !reason.empty()) {
            Problem(row, tide == &trip.highTide ? 6 : 7, std::move(reason));
            ok = false;
        }
        *tide = NormalTideTime(*tide);
    }
    for (int column : {kPlacePhotos, kFishPhotos}) {
        std::vector<std::string> paths = SplitPaths(fields[static_cast<size_t>(column)]);
        for (const std::string& path : paths) {
            if (std::string reason = TextProblem(path); !reason.empty()) {
                Problem(row, column + 1, "写真のパス「" + path + "」: " + reason);
                ok = false;
                break;
            }
            if (path.empty()) {
                Problem(row, column + 1, "空の写真のパスがあります（「|」が続いています）");
                ok = false;
                break;
            }
        }
        (column == kPlacePhotos ? trip.placePhotos : trip.fishPhotos) = std::move(paths);
    }
    return ok;
}

bool CCsvReader::ReadCatch(const std::vector<std::string>& fields, int row, CTripRecord& trip)
{
    CCatchRecord caught;
    bool ok = true;
    for (int column : {kSpecies, kLength, kWeight, kTime}) {
        if (std::string reason = TextProblem(fields[static_cast<size_t>(column)]);
            !reason.empty()) {
            Problem(row, column + 1, std::move(reason));
            ok = false;
        }
    }
    if (!ok) return false;
    caught.name = fields[kSpecies];
    caught.time = NormalCatchTime(fields[kTime]);
    if (std::string reason = TimeProblem(fields[kTime]); !reason.empty()) {
        Problem(row, kTime + 1, std::move(reason));
        ok = false;
    }
    if (caught.name.empty()) {
        Problem(row, kSpecies + 1, "魚種名が空です");
        ok = false;
    }
    for (auto [column, places, name] :
         {std::tuple{kLength, kLengthPlaces, "体長"}, std::tuple{kWeight, kWeightPlaces, "重さ"}}) {
        const std::string& text = fields[static_cast<size_t>(column)];
        if (text.empty()) continue;  // older logs hold catches without them
        int64_t thousandths = 0;
        const EDecimalError error = ParseDecimalInput(text, places, kMaxNumber, thousandths);
        if (error != EDecimalError::None) {
            Problem(row, column + 1,
                    DescribeDecimalError(error, name, places, kMaxNumber) + ": " + text);
            ok = false;
            continue;
        }
        (column == kLength ? caught.height : caught.weight) = FormatThousandths(thousandths);
    }
    if (ok) trip.catches.push_back(std::move(caught));
    return ok;
}

bool CCsvReader::RepeatsStoredTrip(std::span<const std::string> raw) const
{
    if (m_form != EFileText::Utf8 || raw.size() <= kFishPhotos) return false;
    // Bytes that read as themselves: a CR or a leading quote may be taken off by the decoding.
    const auto plain = [](const std::string& text) {
        return text.find('\r') == std::string::npos && (text.empty() || text.front() != '\'');
    };
    if (!plain(raw[kNumber])) return false;
    const auto found = m_byNumber.find(raw[kNumber]);
    if (found == m_byNumber.end() || m_trips[found->second].bad) return false;
    const CTripRecord& trip = m_import.trips[found->second];
    const auto stored = TripFields(trip);
    for (size_t f = 0; f < stored.size(); ++f) {
        if (raw[f + 1] != *stored[f] || !plain(raw[f + 1])) return false;
    }
    return plain(raw[kPlacePhotos]) && plain(raw[kFishPhotos]) &&
           raw[kPlacePhotos] == JoinPaths(trip.placePhotos) &&
           raw[kFishPhotos] == JoinPaths(trip.fishPhotos);
}

bool CCsvReader::IsHeader(std::span<const std::string> raw, EFileText form) const
{
    for (size_t c = 0; c < raw.size(); ++c) {
        if ((form == EFileText::Utf8 ? raw[c] : Cp932ToUtf8(raw[c])) != kColumnNames[c])
            return false;
    }
    return true;
}

void CCsvReader::OnRow(std::span<std::string> raw, size_t fieldCount, bool textPastThem, int row)
{
    if (m_headerWrong) return;
    if (!m_headerRead) {
        // The header says the file's encoding: a bad byte further on is a problem of its cell,
        // not a reason to read the whole file otherwise.
        m_headerRead = true;
        m_headerWrong = fieldCount != kTripCsvColumnCount;
        if (!m_headerWrong && IsHeader(raw, EFileText::Utf8)) {
            m_form = EFileText::Utf8;
        } else if (!m_headerWrong && !m_marked && IsHeader(raw, EFileText::Cp932)) {
            m_form = EFileText::Cp932;
        } else {
            m_headerWrong = true;
        }
        if (m_headerWrong) {
            Problem(1, 0, std::string("見出しの行が違います（先頭は ") + kTripCsvHeader + "）");
        }
        return;
    }
    bool allEmpty = !textPastThem;
    for (const std::string& field : raw) allEmpty = allEmpty && field.empty();
    if (allEmpty) {
        ++m_import.emptyRows;
        return;
    }

    // Every field decoded first: the number says which trip a bad row keeps out.  Of a row with
    // the wrong number of columns only the number is read; its problem is the count.
    bool ok = true;
    const size_t decoded =
        fieldCount == kTripCsvColumnCount ? raw.size() : std::min<size_t>(raw.size(), 1);
    // A later row of a trip usually repeats its columns byte for byte as they were stored from
    // the first: those need no decoding and no reading again.
    const bool repeats = fieldCount == kTripCsvColumnCount && RepeatsStoredTrip(raw);
    m_fields.resize(decoded);
    for (size_t c = 0; c < decoded; ++c) {
        if (repeats && c > kNumber && c <= kFishPhotos) continue;
        m_fields[c].clear();
        if (!Decode(raw[c], row, static_cast<int>(c) + 1, m_fields[c])) ok = false;
    }
    const std::string number = m_fields.empty() ? std::string() : m_fields[kNumber];
    CTripRows* trip = nullptr;
    CTripRecord* record = nullptr;  // its record, gathered in the import's own list
    if (!number.empty()) {
        const auto [found, added] = m_byNumber.try_emplace(number, m_trips.size());
        if (added) {
            m_import.trips.emplace_back();
            m_trips.push_back({row, false});
        }
        trip = &m_trips[found->second];
        record = &m_import.trips[found->second];
    } else if (fieldCount == kTripCsvColumnCount) {
        Problem(row, kNumber + 1, "番号が空です");
    }
    if (fieldCount != kTripCsvColumnCount) {
        Problem(row, 0,
                "列の数が " + std::to_string(fieldCount) + " です（" +
                    std::to_string(kTripCsvColumnCount) + " 列のはず）");
        ok = false;
    }
    if (trip == nullptr || !ok) {
        if (trip != nullptr) trip->bad = true;
        return;
    }

    CTripRecord columns;
    if (repeats) {
        // the row agrees with the trip
    } else if (!ReadTripColumns(m_fields, row, columns)) {
        trip->bad = true;
    } else if (trip->firstRow == row) {
        *record = std::move(columns);
    } else if (!trip->bad) {
        // Rows of one number must agree on the trip: a difference would be lost in one of them.
        const auto mine = TripFields(*record);
        const auto theirs = TripFields(columns);
        int differs = 0;
        for (size_t f = 0; f < mine.size() && differs == 0; ++f) {
            if (*mine[f] != *theirs[f]) differs = static_cast<int>(f) + 2;
        }
        if (differs == 0 && record->placePhotos != columns.placePhotos) differs = kPlacePhotos + 1;
        if (differs == 0 && record->fishPhotos != columns.fishPhotos) differs = kFishPhotos + 1;
        if (differs != 0) {
            Problem(row, differs,
                    "番号 " + number + " の " + std::to_string(trip->firstRow) + " 行目と" +
                        kColumnNames[differs - 1] + "が違います");
            trip->bad = true;
        }
    }
    const bool catchEmpty = m_fields[kSpecies].empty() && m_fields[kLength].empty() &&
                            m_fields[kWeight].empty() && m_fields[kTime].empty();
    if (!catchEmpty && !ReadCatch(m_fields, row, *record)) trip->bad = true;
}

void CCsvReader::Finish()
{
    // The trips with a bad row go; the others close up in place.
    std::vector<CTripRecord>& trips = m_import.trips;
    size_t kept = 0;
    for (size_t n = 0; n < m_trips.size(); ++n) {
        if (m_trips[n].bad) {
            ++m_import.skippedTrips;
            continue;
        }
        m_import.catches += trips[n].catches.size();
        if (kept != n) trips[kept] = std::move(trips[n]);
        ++kept;
    }
    trips.resize(kept);
    m_trips = {};
    m_byNumber = {};
}

// The fields of the row being parsed; their strings are reused from row to row, and a row
// holds no more of them than a good row has plus one (the rest only counted).
struct CParsed {
    std::vector<std::string> fields;
    size_t count = 0;
    bool textPastKept = false;  // a field not kept holds something
    int rows = 0;
    CCsvReader* reader = nullptr;
};

void OnField(void* text, size_t length, void* data)
{
    auto* parsed = static_cast<CParsed*>(data);
    if (parsed->count < kTripCsvColumnCount + 1) {
        if (parsed->count == parsed->fields.size()) parsed->fields.emplace_back();
        parsed->fields[parsed->count].assign(static_cast<const char*>(text), length);
    } else if (length > 0) {
        parsed->textPastKept = true;
    }
    ++parsed->count;
}

void OnRowEnd(int, void* data)
{
    auto* parsed = static_cast<CParsed*>(data);
    const size_t kept = std::min(parsed->count, parsed->fields.size());
    parsed->reader->OnRow({parsed->fields.data(), kept}, parsed->count, parsed->textPastKept,
                          ++parsed->rows);
    parsed->count = 0;
    parsed->textPastKept = false;
}

// Spaces around an unquoted field are part of it, as RFC 4180 has it.
int NoSpace(unsigned char)
{
    return 0;
}

// Hash of a trip in its stored forms: trips equal after NormalTrip hash alike.
size_t HashTrip(const CTripRecord& trip)
{
    size_t hash = 0;
    const auto mix = [&hash](const std::string& text) {
        hash = hash * 1000003u ^ (std::hash<std::string>()(text) + text.size());
    };
    for (const std::string* field : TripFields(trip)) mix(*field);
    for (const auto* paths : {&trip.placePhotos, &trip.fishPhotos}) {
        mix(std::to_string(paths->size()));
        for (const std::string& path : *paths) mix(path);
    }
    for (const CCatchRecord& caught : trip.catches) {
        for (const std::string* field :
             {&caught.name, &caught.height, &caught.weight, &caught.time})
            mix(*field);
    }
    return hash;
}

}  // namespace

std::string WriteTripsCsv(const std::vector<CTripRecord>& trips)
{
    std::string out = "\xEF\xBB\xBF";
    out.reserve(trips.size() * 200);
    out += kTripCsvHeader;
    out += "\r\n";
    const CCatchRecord none;
    for (size_t n = 0; n < trips.size(); ++n) {
        const CTripRecord& trip = trips[n];
        const size_t rows = trip.catches.empty() ? 1 : trip.catches.size();
        const std::string placePhotos = JoinPaths(trip.placePhotos);
        const std::string fishPhotos = JoinPaths(trip.fishPhotos);
        for (size_t r = 0; r < rows; ++r) {
            out += std::to_string(n + 1);
            for (const std::string* field : TripFields(trip)) {
                out += ',';
                AppendField(out, *field);
            }
            out += ',';
            AppendField(out, placePhotos);
            out += ',';
            AppendField(out, fishPhotos);
            const CCatchRecord& caught = trip.catches.empty() ? none : trip.catches[r];
            for (const std::string* field :
                 {&caught.name, &caught.height, &caught.weight, &caught.time}) {
                out += ',';
                AppendField(out, *field);
            }
            out += "\r\n";
        }
    }
    return out;
}

CCsvImport ReadTripsCsv(std::string_view bytes)
{
    CCsvImport import;
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        import.problemCount = 1;
        import.problems.push_back(
            {1, 0,
             "UTF-16 のファイルは読めません（UTF-8 か Shift_JIS (CP932) で保存してください）"});
        return import;
    }
    // A byte-order mark says UTF-8 whatever follows; without one, the header row says which.
    // Fields are decoded one by one, so a bad byte names its field.
    const bool marked = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    if (marked) bytes.remove_prefix(3);
    CCsvReader reader(marked, import);
    CParsed parsed;
    parsed.reader = &reader;
    csv_parser parser;
    if (csv_init(&parser, 0) != 0) {
        import.problemCount = 1;
        import.problems.push_back({0, 0, "CSV を読む準備ができません"});
        return import;
    }
    csv_set_space_func(&parser, NoSpace);
    const size_t read = csv_parse(&parser, bytes.data(), bytes.size(), OnField, OnRowEnd, &parsed);
    csv_fini(&parser, OnField, OnRowEnd, &parsed);
    csv_free(&parser);
    if (read != bytes.size()) {
        // libcsv without its strict mode takes any bytes; kept for a failure of its own.
        import = CCsvImport();
        import.problemCount = 1;
        import.problems.push_back({parsed.rows + 1, 0, "CSV として読めません"});
        return import;
    }
    if (parsed.rows == 0) {
        import.problemCount = 1;
        import.problems.push_back({1, 0, "見出しの行がありません"});
        return import;
    }
    reader.Finish();
    return import;
}

size_t DropKnownTrips(std::vector<CTripRecord>& trips, const std::vector<CTripRecord>& existing)
{
    if (existing.empty() || trips.empty()) return 0;
    std::unordered_multimap<size_t, size_t> known;
    known.reserve(existing.size());
    for (size_t n = 0; n < existing.size(); ++n)
        known.emplace(HashTrip(NormalTrip(existing[n])), n);
    const size_t before = trips.size();
    std::erase_if(trips, [&](const CTripRecord& trip) {
        const CTripRecord normal = NormalTrip(trip);
        const auto [first, last] = known.equal_range(HashTrip(normal));
        for (auto it = first; it != last; ++it) {
            if (NormalTrip(existing[it->second]) == normal) return true;
        }
        return false;
    });
    return before - trips.size();
}

std::string DescribeCsvImport(const CCsvImport& import, size_t known, size_t maxProblems)
{
    const size_t trips = import.trips.size() + import.handedOver;
    std::string text = "読み込んだ釣行: " + std::to_string(trips + known) + " 件（釣果 " +
                       std::to_string(import.catches) + " 件）\n" +
                       "取り込む釣行: " + std::to_string(trips) + " 件\n";
    if (known > 0)
        text += "すでに登録済みのため取り込まない釣行: " + std::to_string(known) + " 件\n";
    if (import.skippedTrips > 0)
        text += "問題があるため取り込まない釣行: " + std::to_string(import.skippedTrips) + " 件\n";
    if (import.emptyRows > 0)
        text += "空の行（読み飛ばしました）: " + std::to_string(import.emptyRows) + " 行\n";
    if (import.problemCount > 0) text += "問題 " + std::to_string(import.problemCount) + " 件:\n";
    for (size_t n = 0; n < import.problems.size() && n < maxProblems; ++n) {
        const CCsvProblem& problem = import.problems[n];
        text += "  " + std::to_string(problem.row) + " 行目";
        if (problem.column > 0 && problem.column <= kTripCsvColumnCount) {
            text += " " + std::to_string(problem.column) + " 列目（" +
                    kColumnNames[problem.column - 1] + "）";
        }
        text += ": " + problem.reason + "\n";
    }
    if (import.problemCount > std::min(maxProblems, import.problems.size())) text += "  ...\n";
    return text;
}

std::string DescribeCsvImportOutcome(const CCsvImportOutcome& outcome, size_t maxProblems)
{
    std::string text = DescribeCsvImport(outcome.import, outcome.known, maxProblems);
    if (!outcome.photoProblems.empty()) {
        text += "コピーできない写真（元の場所のまま記録します）: " +
                std::to_string(outcome.photoProblems.size()) + " 件\n";
        for (size_t n = 0; n < outcome.photoProblems.size() && n < maxProblems; ++n)
            text += "  " + outcome.photoProblems[n] + "\n";
        if (outcome.photoProblems.size() > maxProblems) text += "  ...\n";
    }
    return text;
}

bool ExportTripsCsvFile(const CCatchStore& store, const std::string& path, std::string& error)
{
    // The log and everything beside it (backups, pictures, memos) stay out of an export's way.
    if (IsPathInFolder(path, store.GetPath()) || IsPathInFolder(path, store.GetDataDir())) {
        error = "Data フォルダの中には出力できません（記録のファイルを上書きしないため）: " + path;
        return false;
    }
    std::string bytes;
    const CStoreResult result = store.ReadTrips(
        [&](const std::vector<CTripRecord>& trips) { bytes = WriteTripsCsv(trips); });
    if (!result.ok()) {
        error = DescribeStoreResult(result, store.GetPath());
        return false;
    }
    return WriteFileSafely(path, bytes, &error);
}

CCsvImportOutcome ImportTripsCsvFile(CCatchStore& store, const std::string& path,
                                     const std::function<bool(const CCsvImportOutcome&)>& confirm,
                                     const CCsvPhotoKeeper& photos)
{
    CCsvImportOutcome outcome;
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        static_cast<uint64_t>(status.st_size) > kMaxCsvFileBytes) {
        outcome.error = "CSV ファイルが大きすぎるため読み込みません（" +
                        std::to_string(kMaxCsvFileBytes >> 20) + " MB まで）: " + path;
        return outcome;
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes, &outcome.error, nullptr, kMaxCsvFileBytes)) return outcome;
    outcome.import = ReadTripsCsv(bytes);
    bytes = std::string();

    // Photos first: a trip already imported names the copies, and a byte-identical copy is
    // reused, so comparing after the copy finds it.
    CCsvPhotoCopies copies;
    const auto takeBack = [&](const std::vector<std::string>& files) {
        if (photos.takeBack && !files.empty()) photos.takeBack(files);
    };
    if (photos.copy && !outcome.import.trips.empty()) {
        copies = photos.copy(outcome.import.trips);
        outcome.photoProblems = copies.failed;
        if (copies.cancelled) {
            takeBack(copies.newCopies);
            outcome.cancelled = true;
            return outcome;
        }
    }
    CStoreResult result = store.ReadTrips([&](const std::vector<CTripRecord>& trips) {
        outcome.known = DropKnownTrips(outcome.import.trips, trips);
    });
    if (result.status == EStoreStatus::Missing) {
        outcome.known = 0;
    } else if (!result.ok()) {
        takeBack(copies.newCopies);
        outcome.error = DescribeStoreResult(result, store.GetPath());
        return outcome;
    }
    // Copies made only for trips that are not added go again.
    std::set<std::string> named;
    for (const CTripRecord& trip : outcome.import.trips) {
        named.insert(trip.placePhotos.begin(), trip.placePhotos.end());
        named.insert(trip.fishPhotos.begin(), trip.fishPhotos.end());
    }
    std::vector<std::string> unused;
    std::erase_if(copies.newCopies, [&](const std::string& copy) {
        if (named.count(copy) > 0) return false;
        unused.push_back(copy);
        return true;
    });
    takeBack(unused);
    if (outcome.import.trips.empty() || (confirm && !confirm(outcome))) {
        takeBack(copies.newCopies);
        return outcome;
    }
    const bool createdEmpty = result.status == EStoreStatus::Missing;
    if (createdEmpty && !WriteFileSafely(store.GetPath(), kEmptyCatchFile, &outcome.error)) {
        takeBack(copies.newCopies);
        return outcome;
    }
    // The store keeps the records themselves: an import of many small trips holds them once.
    const size_t adding = outcome.import.trips.size();
    result = store.AddTrips(std::move(outcome.import.trips));
    if (!result.ok()) {
        takeBack(copies.newCopies);
        outcome.error = DescribeStoreResult(result, store.GetPath());
        // The empty catch file made for the import goes with it (when it is still that file).
        std::string left;
        if (createdEmpty && ReadWholeFile(store.GetPath(), left, nullptr, nullptr, 1024) &&
            left == kEmptyCatchFile)
            ::unlink(store.GetPath().c_str());
        return outcome;
    }
    // An undo of the import takes the copies it made with it (when no trip names them then).
    store.NotePhotoCopies(copies.newCopies);
    outcome.import.trips.clear();
    outcome.import.handedOver = adding;
    outcome.added = adding;
    return outcome;
}
