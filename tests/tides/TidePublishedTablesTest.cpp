#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/TideTestStations.h"
#include "tides/TidePredictor.h"

namespace {

// A high or low water at minutes since 1970-01-01 00:00 Japan time.
struct CWater {
    long long minute;
    bool high;
    int heightCm;
};

long long MinuteOf(int year, int month, int day, int hour, int minute)
{
    const double utc = CTidePredictor::JapanMidnightUtc(year, month, day);
    return std::llround(utc / 60.0) + 9 * 60 + hour * 60 + minute;
}

// The published tables of tests/tides/data/published-tides.txt (where each comes from is
// written in its header), by station id.
std::map<std::string, std::vector<CWater>> PublishedTables()
{
    std::ifstream file(std::string(LUREBOOK_SOURCE_DIR) + "/tests/tides/data/published-tides.txt");
    std::map<std::string, std::vector<CWater>> tables;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        char id[128];
        int y, m, d, hh, mm, cm;
        char kind;
        if (std::sscanf(line.c_str(), "%127s %d-%d-%d %d:%d %c %d", id, &y, &m, &d, &hh, &mm, &kind,
                        &cm) != 8) {
            ADD_FAILURE() << "unreadable line: " << line;
            continue;
        }
        tables[id].push_back({MinuteOf(y, m, d, hh, mm), kind == 'H', cm});
    }
    return tables;
}

// Every published high and low water of a port should be predicted within 10 minutes and 5 cm
// (at least 85 % of them at every port), no more than 1.5 % of them missed and no more than 1 %
// of the predicted ones extra.
TEST(TidePublishedTablesTest, PredictionsMeetThePublishedHighsAndLows)
{
    const std::map<std::string, std::vector<CWater>> tables = PublishedTables();
    ASSERT_FALSE(tables.empty());
    for (const auto& [id, published] : tables) {
        SCOPED_TRACE(id);
        const CTideStation* station = ShippedTestStations().FindById(id);
        ASSERT_NE(station, nullptr);
        ASSERT_FALSE(published.empty());
        const CTidePredictor predictor(*station);
        // The predicted days the table covers.
        const long long first = published.front().minute / 1440;
        const long long last = published.back().minute / 1440;
        std::vector<CWater> predicted;
        for (long long day = first; day <= last; ++day) {
            const time_t seconds = static_cast<time_t>(day * 86400);  // the day's Japan date
            tm date{};
            gmtime_r(&seconds, &date);
            for (const CTideExtreme& e :
                 predictor.DayExtremes(date.tm_year + 1900, date.tm_mon + 1, date.tm_mday)) {
                predicted.push_back({MinuteOf(e.year, e.month, e.day, e.hour, e.minute), e.high,
                                     static_cast<int>(std::lround(e.heightCm))});
            }
        }
        // Each published water and the predicted one of its kind nearest to it (within an hour).
        size_t close = 0;
        size_t missed = 0;
        std::vector<bool> matched(predicted.size(), false);
        for (const CWater& water : published) {
            size_t best = predicted.size();
            for (size_t k = 0; k < predicted.size(); ++k) {
                if (predicted[k].high != water.high) continue;
                if (best == predicted.size() ||
                    std::llabs(predicted[k].minute - water.minute) <
                        std::llabs(predicted[best].minute - water.minute)) {
                    best = k;
                }
            }
            if (best == predicted.size() ||
                std::llabs(predicted[best].minute - water.minute) > 60) {
                ++missed;
                continue;
            }
            matched[best] = true;
            if (std::llabs(predicted[best].minute - water.minute) <= 10 &&
                std::abs(predicted[best].heightCm - water.heightCm) <= 5) {
                ++close;
            }
        }
        const size_t extra = static_cast<size_t>(std::count(matched.begin(), matched.end(), false));
        std::printf(
            "%s: %zu of %zu published highs and lows within 10 min and 5 cm, %zu missed, "
            "%zu extra of %zu predicted\n",
            id.c_str(), close, published.size(), missed, extra, predicted.size());
        EXPECT_GE(close * 100, published.size() * 85);
        EXPECT_LE(missed * 1000, published.size() * 15);
        EXPECT_LE(extra * 100, predicted.size() * 1);
    }
}

}  // namespace
