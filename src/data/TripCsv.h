#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/CatchStore.h"
#include "data/TripRecord.h"

// Trips as a spreadsheet exchanges them: one CSV row per catch with the trip's columns repeated
// (a trip without catches gives one row with empty catch columns) and a trip number that groups
// the rows of one trip.  UTF-8 with a byte-order mark, CR LF between rows, RFC 4180 quoting;
// line breaks in texts stay inside their quotes; photo paths of a kind joined by "|".

inline constexpr int kTripCsvColumnCount = 16;
inline constexpr const char* kTripCsvHeader =
    "番号,日付,天候,狙い,水温,満潮,干潮,場所,釣り方,メモ,場所の写真,魚の写真,魚種名,体長(cm),"
    "重さ(kg),釣れた時間";

// The whole file for trips (numbered from 1 in their order).
std::string WriteTripsCsv(const std::vector<CTripRecord>& trips);

// Something in a file being imported that keeps a trip out.
struct CCsvProblem {
    int row = 0;     // record number, the header being 1
    int column = 0;  // 1 to 16; 0 for the whole row
    std::string reason;
};

struct CCsvImport {
    std::vector<CTripRecord> trips;  // the trips that read without a problem, in file order
    size_t catches = 0;              // catches of the trips read (before any are dropped)
    size_t skippedTrips = 0;         // trips left out for a problem in one of their rows
    std::vector<CCsvProblem> problems;
};

// Reads a file in the layout WriteTripsCsv writes (UTF-8 with or without the mark, or CP932).
// A trip with a bad row is left out whole and its problems listed; the others are kept.
CCsvImport ReadTripsCsv(std::string_view bytes);

// Removes from trips every trip equal, field by field, to one of existing; returns how many.
size_t DropKnownTrips(std::vector<CTripRecord>& trips, const std::vector<CTripRecord>& existing);

// A Japanese summary of an import for the user: trips and catches found, trips already in the
// file, and the first maxProblems problems with row, column and reason.
std::string DescribeCsvImport(const CCsvImport& import, size_t known, size_t maxProblems);

// The catch file without trips, as a new Data folder gets it.
inline constexpr const char* kEmptyCatchFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog></CatchLog>\r\n";

// Export and import between a CSV file and the store, as the menu and the command line run them.
// Export writes every trip (an error text when the store or the file fails).  Import reads path,
// leaves out trips already in the store and adds the rest in one save; a missing catch file is
// created empty first.  Nothing is written when the file yields no new trip or the user's confirm
// (called with the preview) says no.
bool ExportTripsCsvFile(const CCatchStore& store, const std::string& path, std::string& error);

struct CCsvImportOutcome {
    CCsvImport import;
    size_t known = 0;  // trips left out as already in the file
    size_t added = 0;
    std::string error;  // the file or the store failed; nothing was added
};
CCsvImportOutcome ImportTripsCsvFile(CCatchStore& store, const std::string& path,
                                     const std::function<bool(const CCsvImportOutcome&)>& confirm);
