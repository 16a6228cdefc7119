#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "reports/CatchConditions.h"
#include "reports/StatQuery.h"
#include "tides/TidePredictor.h"

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
    std::string tideName;   // empty when the date is no calendar day
    std::string tidePort;   // Japanese name of the port whose tides are listed, or empty
    std::string tideTimes;  // that day's highs and lows there: "満4:01 17:19 干10:44 22:53"
    int catches = 0;
};

struct CTideStation;
// The port whose tides a trip's row lists, by the trip's 場所 text (nullptr: none).
using CTripPortFinder = std::function<const CTideStation*(const std::string& place)>;

// A place of the year's trips for the 「釣り場」 page: its catches and days fished, and its
// position when the places file knows one.
struct CYearReportPlace {
    std::string name;
    int catches = 0;
    int daysFished = 0;
    bool hasPosition = false;
    double latitude = 0;
    double longitude = 0;
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
    // The conditions of the year's catches of every species (the 「釣れた条件」 page), in the
    // order of ECondition; empty when they were not counted.
    std::vector<CConditionTable> conditions;
    // The places of the year, most catches first (the 「釣り場」 page); empty when not gathered.
    std::vector<CYearReportPlace> places;

    bool empty() const { return tripCount == 0; }
};

// Gathers the report of year from every trip of the catch file.  Personal bests are judged over
// all trips, not only those of the year.  With portOf, each trip on a calendar day lists the
// high and low waters of that day at its port.
CYearReport BuildYearReport(const std::vector<CTripRecord>& trips, int year,
                            const CTripPortFinder& portOf = {});

// Reads the catch file and gathers the report; the report stays empty when the file cannot be
// read.  With stations, the conditions of the catches are counted too, at the ports of portOf.
CStoreResult ReadYearReport(const CCatchStore& store, int year, CYearReport& report,
                            const CTripPortFinder& portOf = {},
                            const CTideStations* stations = nullptr);

// Widths of table columns that share total: each column wants natural (its widest text).  When
// they all fit, each gets its natural width and the rest of total in proportion to it; when
// they do not, the widest are cut to one common width so that the narrow ones stay whole.
std::vector<double> FitColumnWidths(const std::vector<double>& natural, double total);

// A day's highs and lows as the report lists them: "満4:01 17:19 干10:44 22:53".
std::string TideTimesText(const std::vector<CTideExtreme>& day);
