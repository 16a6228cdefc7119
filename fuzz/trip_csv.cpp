// The CSV import: any bytes are read as a trips file.  Besides crashes, leaks, undefined
// behaviour and unbounded allocations, the run stops when
//  - a problem names no row or a column outside the layout, or more are kept than the bound,
//  - a trip read has a date not in the catch file's form, a text the catch file cannot keep
//    (invalid UTF-8, a control character, longer than a reader keeps),
//  - the trips read, written as catch-file elements and read back, are not the same trips,
//  - the trips read, written as CSV and read again, are not the same trips or bring problems,
//  - that CSV written once more is not byte for byte the same.

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "data/TextEncoding.h"
#include "data/TripCsv.h"
#include "data/TripDate.h"
#include "data/TripElement.h"
#include "data/XMLDocument.h"

namespace {

bool Keepable(const std::string& text)
{
    if (!IsValidUtf8(text) || Cp932ByteLength(text) > kMaxTripTextBytes) return false;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
    }
    return true;
}

std::vector<const std::string*> Texts(const CTripRecord& trip)
{
    std::vector<const std::string*> texts = {&trip.fishname, &trip.weather,  &trip.date,
                                             &trip.water,    &trip.highTide, &trip.ebbTide,
                                             &trip.method,   &trip.place,    &trip.memo};
    for (const auto* paths : {&trip.placePhotos, &trip.fishPhotos}) {
        for (const std::string& path : *paths) texts.push_back(&path);
    }
    for (const CCatchRecord& caught : trip.catches) {
        for (const std::string* text : {&caught.name, &caught.height, &caught.weight, &caught.time})
            texts.push_back(text);
    }
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const CCsvImport import = ReadTripsCsv(bytes);

    FUZZ_CHECK(import.problems.size() <= kMaxKeptCsvProblems, "too many problems kept");
    FUZZ_CHECK(import.problemCount >= import.problems.size(), "problems not all counted");
    for (const CCsvProblem& problem : import.problems) {
        FUZZ_CHECK(problem.row >= 1 && problem.column >= 0 && problem.column <= kTripCsvColumnCount,
                   "problem at row " + std::to_string(problem.row) + " column " +
                       std::to_string(problem.column));
        FUZZ_CHECK(!problem.reason.empty() && IsValidUtf8(problem.reason), "no reason");
    }
    size_t catches = 0;
    for (const CTripRecord& trip : import.trips) {
        catches += trip.catches.size();
        CDateText date;
        FUZZ_CHECK(ReadDateText(trip.date, date) == EDateError::None && date.day != 0 &&
                       FormatTripDate(date) == trip.date,
                   "date not stored in normal form: " + trip.date);
        for (const std::string* text : Texts(trip))
            FUZZ_CHECK(Keepable(*text), "a text the catch file cannot keep: " + *text);
        FUZZ_CHECK(FindTripTextOverLimit(trip).empty(), "over the limit");
    }
    FUZZ_CHECK(catches == import.catches, "catches miscounted");

    // What the import accepts, the catch file keeps exactly.
    std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>";
    for (const CTripRecord& trip : import.trips)
        FUZZ_CHECK(AppendTripElementUtf8(trip, document), "trip not writable");
    document += "</r>";
    std::vector<CTripRecord> readBack;
    CXMLDataFile file;
    FUZZ_CHECK(file.StreamXMLDataFromMemory(document, "FishData",
                                            [&](const CXMLDataFile& f, xmlNodePtr element) {
                                                readBack.push_back(ReadTripElement(f, element));
                                            }),
               "the written trips do not parse");
    FUZZ_CHECK(readBack == import.trips, "a trip does not read back from the catch file as read");

    // And the CSV round trip is exact.
    const std::string csv = WriteTripsCsv(import.trips);
    const CCsvImport again = ReadTripsCsv(csv);
    FUZZ_CHECK(again.problemCount == 0, DescribeCsvImport(again, 0, 3));
    FUZZ_CHECK(again.trips == import.trips, "trips change through the CSV");
    FUZZ_CHECK(WriteTripsCsv(again.trips) == csv, "the CSV changes when written again");
    return 0;
}
