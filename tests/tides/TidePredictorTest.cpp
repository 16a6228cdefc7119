#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "support/TideTestStations.h"
#include "tides/TidePredictor.h"

namespace {

std::string Format(const std::vector<CTideExtreme>& extremes)
{
    std::string text;
    for (const CTideExtreme& e : extremes) {
        char line[64];
        std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d %s %.0f\n", e.year, e.month,
                      e.day, e.hour, e.minute, e.high ? "H" : "L", e.heightCm);
        text += line;
    }
    return text;
}

// Stations of one wave without node corrections, whose turning points follow by hand: S2 is
// 2T (T = 180° + 15° per hour of UT), S1 is T.  The phase lag puts the highs where wanted.
struct COneWaveCase {
    const char* what;
    const char* wave;
    double phaseDeg;
    int from[3];
    int to[3];
    const char* expected;
};
const COneWaveCase kOneWaveCases[] = {
    {"semidiurnal, highs at midnight and noon",
     "S2",
     90,
     {2027, 5, 3},
     {2027, 5, 3},
     "2027-05-03 00:00 H 250\n2027-05-03 06:00 L 50\n2027-05-03 12:00 H 250\n"
     "2027-05-03 18:00 L 50\n"},
    {"the high at midnight belongs to the new day only",
     "S2",
     90,
     {2026, 12, 31},
     {2027, 1, 1},
     "2026-12-31 00:00 H 250\n2026-12-31 06:00 L 50\n2026-12-31 12:00 H 250\n"
     "2026-12-31 18:00 L 50\n2027-01-01 00:00 H 250\n2027-01-01 06:00 L 50\n"
     "2027-01-01 12:00 H 250\n2027-01-01 18:00 L 50\n"},
    {"last day of a year alone",
     "S2",
     90,
     {2026, 12, 31},
     {2026, 12, 31},
     "2026-12-31 00:00 H 250\n2026-12-31 06:00 L 50\n2026-12-31 12:00 H 250\n"
     "2026-12-31 18:00 L 50\n"},
    {"diurnal, a high at 23:30",
     "S1",
     37.5,
     {2027, 1, 1},
     {2027, 1, 2},
     "2027-01-01 11:30 L 50\n2027-01-01 23:30 H 250\n2027-01-02 11:30 L 50\n"
     "2027-01-02 23:30 H 250\n"},
    {"diurnal, a low at 0:00 of the 1st of March of a leap year",
     "S1",
     225,
     {2028, 2, 29},
     {2028, 3, 1},
     "2028-02-29 00:00 L 50\n2028-02-29 12:00 H 250\n2028-03-01 00:00 L 50\n"
     "2028-03-01 12:00 H 250\n"},
    {"a high at 23:50 in a one-day view",
     "S2",
     85,
     {2027, 5, 3},
     {2027, 5, 3},
     "2027-05-03 05:50 L 50\n2027-05-03 11:50 H 250\n2027-05-03 17:50 L 50\n"
     "2027-05-03 23:50 H 250\n"},
    {"a low at 23:59 in a one-day view",
     "S1",
     180 + 14 * 15 + 59 * 0.25 - 180,
     {2027, 5, 3},
     {2027, 5, 3},
     "2027-05-03 11:59 H 250\n2027-05-03 23:59 L 50\n"},
    {"a period that ends before it starts", "S2", 90, {2027, 5, 3}, {2027, 5, 2}, ""},
};

TEST(TidePredictorTest, OneWaveGivesItsExactTurningPoints)
{
    for (const COneWaveCase& c : kOneWaveCases) {
        const CTidePredictor predictor(OneWaveTideStation(c.wave, c.phaseDeg));
        EXPECT_EQ(
            Format(predictor.Extremes(c.from[0], c.from[1], c.from[2], c.to[0], c.to[1], c.to[2])),
            c.expected)
            << c.what;
    }
}

TEST(TidePredictorTest, ATurningPointLessThanACentimetreFromItsNeighboursIsAWiggle)
{
    // S2 of 1 m with an overtide S4 of b cm, phased so that each low water splits in two around
    // a hump (4b/100 − 1)² · 100 / (8b) cm high: 0.5 cm for b = 27.6, 2 cm for b = 30.5.
    struct CCase {
        double s4Cm;
        size_t extremesPerDay;
    };
    const CCase cases[] = {{27.6, 4}, {30.5, 8}, {10.0, 4}};
    for (const CCase& c : cases) {
        CTideStation station = OneWaveTideStation();
        station.constituents.push_back({"S4", c.s4Cm / 100.0, 180});
        const CTidePredictor predictor(station);
        const std::vector<CTideExtreme> day = predictor.DayExtremes(2027, 7, 1);
        EXPECT_EQ(day.size(), c.extremesPerDay) << c.s4Cm << "\n" << Format(day);
        for (size_t k = 1; k < day.size(); ++k) {
            EXPECT_NE(day[k].high, day[k - 1].high) << c.s4Cm;
            EXPECT_GE(std::fabs(day[k].heightCm - day[k - 1].heightCm), 1.0) << c.s4Cm;
        }
    }
}

TEST(TidePredictorTest, TheSmallestWigglesGoFirstAndRealTidesStay)
{
    // Turning points as (hour, cm), highs and lows alternating from the first's kind; what is
    // left of them with the one-centimetre rule.
    struct CCase {
        const char* what;
        bool firstHigh;
        std::vector<std::pair<double, double>> turns;
        std::vector<double> keptHours;
    };
    const CCase cases[] = {
        {"a wiggle beside a high", true, {{0, 100}, {1, 99.5}, {2, 99.8}, {6, 50}}, {0, 6}},
        {"a wiggle before a low", true, {{0, 100}, {5, 50.4}, {6, 50.8}, {7, 50}}, {0, 7}},
        {"two wiggles, the smaller first",
         false,
         {{0, 10}, {6, 80}, {7, 79.2}, {8, 79.9}, {9, 79.8}, {10, 85}, {14, 20}},
         {0, 10, 14}},
        {"small but real tides stay",
         true,
         {{0, 12}, {6, 10.8}, {12, 12.1}, {18, 10.9}},
         {0, 6, 12, 18}},
        {"瀬棚's 4 cm tide of a published table stays",
         true,
         {{6, 17}, {11, 13}, {17, 18}, {23, 12}},
         {6, 11, 17, 23}},
        {"nothing but wiggles", true, {{0, 10}, {1, 9.8}, {2, 10.1}, {3, 9.9}}, {}},
        {"no turning points", true, {}, {}},
    };
    for (const CCase& c : cases) {
        std::vector<CTideTurn> turns;
        bool high = c.firstHigh;
        for (const auto& [hour, cm] : c.turns) {
            turns.push_back({hour * 3600, cm, high});
            high = !high;
        }
        std::vector<double> kept;
        for (const CTideTurn& turn : WithoutWiggles(turns, CTidePredictor::kWiggleCm)) {
            kept.push_back(turn.t / 3600);
        }
        EXPECT_EQ(kept, c.keptHours) << c.what;
    }
}

TEST(TidePredictorTest, DayCurveRunsFromMidnightToMidnight)
{
    const CTidePredictor predictor(OneWaveTideStation());
    const std::vector<double> curve = predictor.DayCurveCm(2027, 5, 3, 60);
    ASSERT_EQ(curve.size(), 25u);
    const int hours[] = {0, 3, 6, 12, 24};
    const double heights[] = {250, 150, 50, 250, 250};
    for (int k = 0; k < 5; ++k) EXPECT_NEAR(curve[hours[k]], heights[k], 1e-6) << hours[k];
    EXPECT_NEAR(predictor.HeightCmAtUtc(CTidePredictor::JapanMidnightUtc(2027, 5, 3) + 3 * 3600),
                150, 1e-6);
}

// Maizuru on the Sea of Japan: a small tide where the diurnal waves are as large as the
// semidiurnal ones, so the day often has a second, small high and low (the constants of the
// station data's JMA gauge, the waves of 4 mm and more).
CTideStation Maizuru()
{
    CTideStation station;
    station.id = "maizuru-ma55-jpn-jodc_jma";
    station.mslAboveDatumM = 0.19;
    station.constituents = {{"M2", 0.0625, 161.74}, {"N2", 0.0162, 149.19}, {"S2", 0.0228, 181.57},
                            {"K2", 0.0065, 174.13}, {"S1", 0.0049, 282.94}, {"K1", 0.0520, 207.57},
                            {"P1", 0.0175, 204.00}, {"O1", 0.0529, 179.61}, {"Q1", 0.0119, 162.07},
                            {"MF", 0.0107, 186.81}, {"SA", 0.1696, 161.41}, {"SSA", 0.0198, 239.72},
                            {"MU2", 0.0046, 111.42}};
    return station;
}

struct CRawTurn {
    double minute;  // minutes since the scan's start
    double height;
    bool high;
};

TEST(TidePredictorTest, DoubleTidesOfTheSeaOfJapanMatchAMinuteByMinuteScan)
{
    const CTidePredictor predictor(Maizuru());
    // Independent of the day-by-day search: heights straight from the astronomy every minute.
    const double start = CTidePredictor::JapanMidnightUtc(2027, 3, 1) - 3600;
    std::vector<double> heights;
    for (int minute = 0; minute <= 14 * 1440 + 120; ++minute) {
        heights.push_back(predictor.HeightCmAtUtc(start + minute * 60.0));
    }
    std::vector<CRawTurn> raw;
    for (size_t i = 1; i + 1 < heights.size(); ++i) {
        const bool high = heights[i] > heights[i - 1] && heights[i] >= heights[i + 1];
        const bool low = heights[i] < heights[i - 1] && heights[i] <= heights[i + 1];
        if (high || low) raw.push_back({static_cast<double>(i), heights[i], high});
    }

    const std::vector<CTideExtreme> extremes = predictor.Extremes(2027, 3, 1, 2027, 3, 14);
    ASSERT_FALSE(extremes.empty());
    int smallTides = 0;
    for (size_t k = 0; k < extremes.size(); ++k) {
        const CTideExtreme& e = extremes[k];
        const double minute =
            (CTidePredictor::JapanMidnightUtc(e.year, e.month, e.day) - start) / 60.0 +
            e.hour * 60 + e.minute;
        bool found = false;
        for (const CRawTurn& r : raw) {
            if (r.high == e.high && std::fabs(r.minute - minute) <= 1.0) {
                found = true;
                EXPECT_NEAR(r.height, e.heightCm, 0.2);
            }
        }
        EXPECT_TRUE(found) << Format({e});
        if (k > 0) {
            EXPECT_NE(extremes[k - 1].high, e.high) << "highs and lows alternate";
            const double difference = std::fabs(extremes[k - 1].heightCm - e.heightCm);
            EXPECT_GE(difference, CTidePredictor::kWiggleCm) << Format({e});
            if (difference < 5) ++smallTides;
        }
    }
    EXPECT_GE(smallTides, 2) << "the small second tides of the day are kept";
    // No real turning point is missed: one more than 2 cm from both neighbours is listed.
    const double firstMinute = 60;
    const double lastMinute = 60 + 14 * 1440;
    for (size_t i = 1; i + 1 < raw.size(); ++i) {
        if (raw[i].minute < firstMinute || raw[i].minute >= lastMinute) continue;
        if (std::fabs(raw[i].height - raw[i - 1].height) < 2 ||
            std::fabs(raw[i].height - raw[i + 1].height) < 2) {
            continue;
        }
        bool listed = false;
        for (const CTideExtreme& e : extremes) {
            const double minute =
                (CTidePredictor::JapanMidnightUtc(e.year, e.month, e.day) - start) / 60.0 +
                e.hour * 60 + e.minute;
            listed = listed || std::fabs(minute - raw[i].minute) <= 1.0;
        }
        EXPECT_TRUE(listed) << "minute " << raw[i].minute;
    }
}

TEST(TidePredictorTest, DayExtremesAreTheDaysShareOfARun)
{
    const CTidePredictor predictor(Maizuru());
    const std::vector<CTideExtreme> run = predictor.Extremes(2027, 3, 1, 2027, 3, 14);
    for (int day = 1; day <= 14; ++day) {
        std::vector<CTideExtreme> share;
        for (const CTideExtreme& e : run) {
            if (e.day == day) share.push_back(e);
        }
        EXPECT_EQ(Format(predictor.DayExtremes(2027, 3, day)), Format(share)) << day;
    }
}

}  // namespace
