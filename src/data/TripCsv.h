#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/CatchStore.h"
#include "data/TripRecord.h"
#include "data/XMLDataFile.h"

// Trips as a spreadsheet exchanges them: one CSV row per catch with the trip's columns repeated
// (a trip without catches gives one row with empty catch columns) and a trip number that groups
// the rows of one trip.  UTF-8 with a byte-order mark, CR LF between rows, RFC 4180 quoting.
//
// What the writer does to a text, the reader undoes exactly, so that a file read back gives the
// same trips and written again the same bytes:
//  - a line break (LF in memory) is written as CR LF inside the quotes; a CR of the text stays a
//    CR.  The reader takes CR LF as a line break and keeps a lone CR or LF;
//  - a text a spreadsheet would take as a formula (first character = + - @, tab or CR) and a text
//    beginning with ' get a ' in front, and are quoted;
//  - fields holding , " CR LF ; or tab are quoted (spreadsheets also split at ; and tab);
//  - photo paths of a kind are joined by "|"; a "|" inside a path is written %7C and a "%" %25.
//
// The reader takes the file as a spreadsheet may have saved it: UTF-8 or CP932, rows of one
// trip anywhere in the file, dates in the forms of data/TripDate.h, numbers as the entry dialog
// takes them, tide times as "06:40:00".  It stores the catch file's forms: dates "2024/04/14",
// numbers in normal form, tide times "6:40".

inline constexpr int kTripCsvColumnCount = 16;
inline constexpr const char* kTripCsvHeader =
    "番号,日付,天候,狙い,水温,満潮,干潮,場所,釣り方,メモ,場所の写真,魚の写真,魚種名,体長(cm),"
    "重さ(kg),釣れた時間";

// A file larger than this is refused before it is read: a CSV of a catch file that readers take
// is never near it.
inline constexpr size_t kMaxCsvFileBytes = 2 * kMaxXMLFileBytes;

// The whole file for trips (numbered from 1 in their order).
std::string WriteTripsCsv(const std::vector<CTripRecord>& trips);

// Something in a file being imported that keeps a trip out.
struct CCsvProblem {
    int row = 0;     // record number, the header being 1
    int column = 0;  // 1 to 16; 0 for the whole row
    std::string reason;
    bool operator==(const CCsvProblem&) const = default;
};

struct CCsvImport {
    std::vector<CTripRecord> trips;  // the trips that read without a problem, by first row
    size_t handedOver = 0;           // of those, trips an import has given to the store
    size_t catches = 0;              // catches of those trips
    size_t skippedTrips = 0;         // trips left out whole for a problem in one of their rows
    size_t emptyRows = 0;            // rows of empty fields only (spreadsheets write them)
    size_t problemCount = 0;         // every problem found; problems keeps the first of them
    std::vector<CCsvProblem> problems;
};

// The most problems an import keeps to show; the rest are only counted.
inline constexpr size_t kMaxKeptCsvProblems = 1000;

// Reads a file in the layout WriteTripsCsv writes (UTF-8 with or without the mark, or CP932).
// A trip with a bad row is left out whole and its problems listed; the others are kept.
CCsvImport ReadTripsCsv(std::string_view bytes);

// Removes from trips every trip equal to one of existing, field by field, once dates, numbers
// and tide times of both are in the forms the reader stores; returns how many.
size_t DropKnownTrips(std::vector<CTripRecord>& trips, const std::vector<CTripRecord>& existing);

// A Japanese summary of an import for the user: trips and catches found, trips already in the
// file, and the first maxProblems problems with row, column and reason.
std::string DescribeCsvImport(const CCsvImport& import, size_t known, size_t maxProblems);

// The catch file without trips, as a new Data folder gets it.
inline constexpr const char* kEmptyCatchFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog></CatchLog>\r\n";

// Writes every trip to path (an error text when the store or the file fails).  A path that is
// the catch file or lies in its Data folder is refused: the export would overwrite the log.
bool ExportTripsCsvFile(const CCatchStore& store, const std::string& path, std::string& error);

// How an import keeps the photos of the trips it adds: copies them into the picture folder and
// makes the trips name the copies (the photo-copy rules of a trip's first save), and takes back
// copies of an import that then does not happen.  Without it, trips name the photos as given.
struct CCsvPhotoCopies {
    std::vector<std::string> failed;     // photos that kept their own path, with the reason
    std::vector<std::string> newCopies;  // files the copy created
    bool cancelled = false;              // the user stopped it: nothing is imported
};
struct CCsvPhotoKeeper {
    std::function<CCsvPhotoCopies(std::vector<CTripRecord>& trips)> copy;
    std::function<void(const std::vector<std::string>& copies)> takeBack;
};

struct CCsvImportOutcome {
    CCsvImport import;
    size_t known = 0;  // trips left out as already in the file
    size_t added = 0;  // the trips added, which the store then holds (import.trips is empty)
    std::vector<std::string> photoProblems;  // photos named as they were: missing, not pictures
    bool cancelled = false;                  // the photo copies were stopped
    std::string error;                       // the file or the store failed; nothing was added
};

// Reads path (refused over kMaxCsvFileBytes), keeps its photos (photos given), leaves out trips
// already in the store and adds the rest in one save; a missing catch file is created empty
// first.  Nothing is written (and no copy kept) when the file yields no new trip or the user's
// confirm (called with the preview) says no.
CCsvImportOutcome ImportTripsCsvFile(CCatchStore& store, const std::string& path,
                                     const std::function<bool(const CCsvImportOutcome&)>& confirm,
                                     const CCsvPhotoKeeper& photos = {});

// The text an import shows or prints: the summary, the photos that could not be kept and
// maxProblems problems.
std::string DescribeCsvImportOutcome(const CCsvImportOutcome& outcome, size_t maxProblems);
