#include "data/TripCsv.h"

#include <csv.h>
#include <array>

#include <functional>
#include <set>
#include <span>

#include "data/DecimalNumber.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"

namespace {

constexpr const char* kPhotoSeparator = "|";

void AppendField(std::string& out, const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string JoinPaths(const std::vector<std::string>& paths)
{
    std::string joined;
    for (size_t n = 0; n < paths.size(); ++n) {
        if (n > 0) joined += kPhotoSeparator;
        joined += paths[n];
    }
    return joined;
}

std::vector<std::string> SplitPaths(const std::string& text)
{
    std::vector<std::string> paths;
    if (text.empty()) return paths;
    size_t start = 0;
    while (true) {
        const size_t bar = text.find(kPhotoSeparator, start);
        paths.push_back(text.substr(start, bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return paths;
}

// The nine texts of a trip in the order of the columns after the number (const or not).
template <typename Trip>
auto TripFields(Trip& trip)
{
    return std::array{&trip.date,    &trip.weather, &trip.fishname, &trip.water, &trip.highTide,
                      &trip.ebbTide, &trip.place,   &trip.method,   &trip.memo};
}

// The fields of the row being read; their strings are reused from row to row.
struct CParsed {
    std::vector<std::string> fields;
    size_t count = 0;
    int rows = 0;
    std::function<void(std::span<const std::string> row, int number)> onRow;
};

void OnField(void* text, size_t length, void* data)
{
    auto* parsed = static_cast<CParsed*>(data);
    if (parsed->count == parsed->fields.size()) parsed->fields.emplace_back();
    parsed->fields[parsed->count++].assign(static_cast<const char*>(text), length);
}

void OnRowEnd(int, void* data)
{
    auto* parsed = static_cast<CParsed*>(data);
    parsed->onRow({parsed->fields.data(), parsed->count}, ++parsed->rows);
    parsed->count = 0;
}

// Spaces around an unquoted field are part of it, as RFC 4180 has it.
int NoSpace(unsigned char)
{
    return 0;
}

const char* const kColumnNames[kTripCsvColumnCount] = {
    "番号",   "日付", "天候",       "狙い",     "水温",   "満潮",     "干潮",     "場所",
    "釣り方", "メモ", "場所の写真", "魚の写真", "魚種名", "体長(cm)", "重さ(kg)", "釣れた時間"};

// Why a weight or length text cannot be imported; empty when it can.
std::string NumberProblem(const std::string& text)
{
    if (text.empty()) return {};
    int64_t value = 0;
    switch (ParseDecimalInput(text, 3, 10000, value)) {
        case EDecimalError::None:
            return {};
        case EDecimalError::Comma:
            return "小数点に「,」は使えません（「.」を使ってください）: " + text;
        case EDecimalError::OutOfRange:
            return "0 から 10000 までの数ではありません: " + text;
        default:
            return "数ではありません: " + text;
    }
}

std::string TripKey(const CTripRecord& trip)
{
    std::string key;
    for (const std::string* field : TripFields(trip)) key.append(*field).push_back('\x1F');
    key.append(JoinPaths(trip.placePhotos)).push_back('\x1E');
    key.append(JoinPaths(trip.fishPhotos)).push_back('\x1E');
    for (const CCatchRecord& caught : trip.catches) {
        for (const std::string* field :
             {&caught.name, &caught.height, &caught.weight, &caught.time})
            key.append(*field).push_back('\x1F');
        key.push_back('\x1D');
    }
    // Photo paths joined by "|" would be read apart at a "|" of their own; keep the count too.
    key += std::to_string(trip.placePhotos.size()) + "/" + std::to_string(trip.fishPhotos.size());
    return key;
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
        for (size_t r = 0; r < rows; ++r) {
            out += std::to_string(n + 1);
            for (const std::string* field : TripFields(trip)) {
                out += ',';
                AppendField(out, *field);
            }
            out += ',';
            AppendField(out, JoinPaths(trip.placePhotos));
            out += ',';
            AppendField(out, JoinPaths(trip.fishPhotos));
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
    bool headerRead = false;
    bool headerWrong = false;
    CTripRecord trip;
    std::string number;
    std::vector<std::string> firstRow;  // the first row of the trip being read
    bool bad = false;
    const auto finish = [&] {
        if (number.empty() && !bad) return;
        if (bad) {
            ++import.skippedTrips;
        } else {
            import.catches += trip.catches.size();
            import.trips.push_back(std::move(trip));
        }
        trip = CTripRecord();
        number.clear();
        bad = false;
    };
    const auto readRow = [&](std::span<const std::string> row, int rowNumber) {
        if (headerWrong) return;
        if (!headerRead) {
            headerRead = true;
            headerWrong = row.size() != kTripCsvColumnCount;
            for (size_t c = 0; !headerWrong && c < row.size(); ++c)
                headerWrong = row[c] != kColumnNames[c];
            if (headerWrong) {
                import.problems.push_back(
                    {1, 0, std::string("見出しの行が違います（先頭は ") + kTripCsvHeader + "）"});
            }
            return;
        }
        const auto problem = [&](int column, std::string reason) {
            import.problems.push_back({rowNumber, column, std::move(reason)});
            bad = true;
        };
        if (row.size() != kTripCsvColumnCount) {
            finish();
            number = row.empty() ? std::string("?") : row.front();
            firstRow.clear();
            problem(0, "列の数が " + std::to_string(row.size()) + " です（16 列のはず）");
            return;
        }
        if (row[0] != number || rowNumber == 2) {
            finish();
            number = row[0];
            firstRow.assign(row.begin(), row.begin() + 12);
            if (number.empty()) problem(1, "番号が空です");
            const auto fields = TripFields(trip);
            for (size_t f = 0; f < fields.size(); ++f) *fields[f] = row[f + 1];
            trip.placePhotos = SplitPaths(row[10]);
            trip.fishPhotos = SplitPaths(row[11]);
        } else if (!bad) {
            for (size_t c = 1; c < 12; ++c) {
                if (row[c] != firstRow[c]) {
                    problem(static_cast<int>(c) + 1,
                            std::string("同じ番号の前の行と") + kColumnNames[c] + "が違います");
                    break;
                }
            }
        }
        const bool catchEmpty =
            row[12].empty() && row[13].empty() && row[14].empty() && row[15].empty();
        if (catchEmpty) return;
        if (row[12].empty()) problem(13, "魚種名が空です");
        for (size_t c : {size_t{13}, size_t{14}}) {
            const std::string reason = NumberProblem(row[c]);
            if (!reason.empty()) problem(static_cast<int>(c) + 1, reason);
        }
        trip.catches.push_back({row[12], row[13], row[14], row[15]});
    };

    // The file's encoding is found as for every text file of the program; line ends become LF,
    // inside quoted fields too, as texts hold them in memory.
    const std::string text = DecodeTextFileBytes(bytes);
    CParsed parsed;
    parsed.onRow = readRow;
    csv_parser parser;
    if (csv_init(&parser, 0) != 0) {
        import.problems.push_back({0, 0, "CSV を読む準備ができません"});
        return import;
    }
    csv_set_space_func(&parser, NoSpace);
    const size_t read = csv_parse(&parser, text.data(), text.size(), OnField, OnRowEnd, &parsed);
    csv_fini(&parser, OnField, OnRowEnd, &parsed);
    csv_free(&parser);
    if (read != text.size()) {
        // libcsv without its strict mode takes any bytes; kept for a failure of its own.
        import = CCsvImport();
        import.problems.push_back({parsed.rows + 1, 0, "CSV として読めません"});
        return import;
    }
    if (!headerRead) {
        import.problems.push_back({1, 0, "見出しの行がありません"});
        return import;
    }
    finish();
    return import;
}

size_t DropKnownTrips(std::vector<CTripRecord>& trips, const std::vector<CTripRecord>& existing)
{
    if (existing.empty()) return 0;
    std::set<std::string> known;
    for (const CTripRecord& trip : existing) known.insert(TripKey(trip));
    const size_t before = trips.size();
    std::erase_if(trips, [&](const CTripRecord& trip) { return known.count(TripKey(trip)) > 0; });
    return before - trips.size();
}

std::string DescribeCsvImport(const CCsvImport& import, size_t known, size_t maxProblems)
{
    std::string text = "読み込んだ釣行: " + std::to_string(import.trips.size() + known) +
                       " 件（釣果 " + std::to_string(import.catches) + " 件）\n" +
                       "取り込む釣行: " + std::to_string(import.trips.size()) + " 件\n";
    if (known > 0)
        text += "すでに登録済みのため取り込まない釣行: " + std::to_string(known) + " 件\n";
    if (import.skippedTrips > 0)
        text += "問題があるため取り込まない釣行: " + std::to_string(import.skippedTrips) + " 件\n";
    if (!import.problems.empty())
        text += "問題 " + std::to_string(import.problems.size()) + " 件:\n";
    for (size_t n = 0; n < import.problems.size() && n < maxProblems; ++n) {
        const CCsvProblem& problem = import.problems[n];
        text += "  " + std::to_string(problem.row) + " 行目";
        if (problem.column > 0) {
            text += " " + std::to_string(problem.column) + " 列目（" +
                    kColumnNames[problem.column - 1] + "）";
        }
        text += ": " + problem.reason + "\n";
    }
    if (import.problems.size() > maxProblems) text += "  ...\n";
    return text;
}

bool ExportTripsCsvFile(const CCatchStore& store, const std::string& path, std::string& error)
{
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
                                     const std::function<bool(const CCsvImportOutcome&)>& confirm)
{
    CCsvImportOutcome outcome;
    std::string bytes;
    if (!ReadWholeFile(path, bytes, &outcome.error)) return outcome;
    outcome.import = ReadTripsCsv(bytes);
    bytes.clear();
    CStoreResult result = store.ReadTrips([&](const std::vector<CTripRecord>& trips) {
        outcome.known = DropKnownTrips(outcome.import.trips, trips);
    });
    if (result.status == EStoreStatus::Missing) {
        outcome.known = 0;
    } else if (!result.ok()) {
        outcome.error = DescribeStoreResult(result, store.GetPath());
        return outcome;
    }
    if (outcome.import.trips.empty() || (confirm && !confirm(outcome))) return outcome;
    if (result.status == EStoreStatus::Missing &&
        !WriteFileSafely(store.GetPath(), kEmptyCatchFile, &outcome.error)) {
        return outcome;
    }
    result = store.AddTrips(outcome.import.trips);
    if (!result.ok()) {
        outcome.error = DescribeStoreResult(result, store.GetPath());
        return outcome;
    }
    outcome.added = outcome.import.trips.size();
    return outcome;
}
