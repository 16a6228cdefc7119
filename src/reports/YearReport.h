#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "reports/StatQuery.h"

// One catch as the yearly report lists it: the texts as stored, the exact values they compare by,
// and the trip it was caught on.
struct CYearReportCatch {
    std::string species;
    std::string date;
    std::string place;
    std::string lengthText;
    std::string weightText;
    int64_t length = 0;  // thousandths
    int64_t weight = 0;  // thousandths
    bool personalBest = false;
    size_t trip = 0;  // position of the trip in the catch file
};

// What the report shows of one species: the months it was caught in, its heaviest catches and
// photos of the trips it was caught on.
struct CYearReportSpecies {
    static constexpr size_t kTopCount = 10;
    static constexpr size_t kMaxPhotos = 12;

    std::string name;
    int catches = 0;
    CMonthCounters monthly{};
    std::vector<CYearReportCatch> top;  // heaviest first, at most kTopCount
    std::vector<std::string> photos;    // fish photos of its trips, each once, at most kMaxPhotos
};

// One row of the report's trip list.
struct CYearReportTrip {
    std::string date;
    std::string place;
    std::string weather;
    std::string target;
    std::string tideName;  // empty when the date is no calendar day
    int catches = 0;
};

// Everything the yearly report shows, gathered from the trips of one year (the first field of
// the trip's date).
struct CYearReport {
    int year = 0;
    int tripCount = 0;
    int catchCount = 0;
    // Distinct days with a trip, index 1 to 12 the months (index 0 unused).
    CMonthCounters daysFished{};
    bool hasHeaviest = false;
    CYearReportCatch heaviest;
    std::string heaviestPhoto;  // the first fish photo of the heaviest catch's trip, or empty
    // Named species, most catches first (equal counts in the order they were first caught).
    std::vector<CYearReportSpecies> species;
    std::vector<CYearReportTrip> trips;  // by date; one day's in file order

    bool empty() const { return tripCount == 0; }
};

// Gathers the report of year from every trip of the catch file.  Personal bests are judged over
// all trips, not only those of the year.
CYearReport BuildYearReport(const std::vector<CTripRecord>& trips, int year);

// Reads the catch file and gathers the report; the report stays empty when the file cannot be
// read.
CStoreResult ReadYearReport(const CCatchStore& store, int year, CYearReport& report);

// Widths of table columns that share total: each column wants natural (its widest text).  When
// they all fit, each gets its natural width and the rest of total in proportion to it; when
// they do not, the widest are cut to one common width so that the narrow ones stay whole.
std::vector<double> FitColumnWidths(const std::vector<double>& natural, double total);
