#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "charts/StatChart.h"
#include "data/CatchStore.h"
#include "reports/RankRecord.h"

// Catches per month: index 1 to 12 the months, index 0 the catches whose month is not a number.
using CMonthCounters = std::array<int, 13>;

// The statistics page's queries over the catch file and the charts built from their results.
// A trip takes part when its date text begins with the year text, and a catch when its species
// name equals the species text byte for byte.
class CStatQuery {
public:
    static constexpr size_t kMaxRankRecords = 1000;
    // The seventh text of a ranking row whose catch is the all-time best of its species.
    static constexpr const char* kBestMark = "★";

    // Counts every matching catch in the month field of its trip's date.  counters is cleared
    // first; it stays cleared when the file cannot be read.
    static CStoreResult CountCatchesByMonth(const CCatchStore& store, const std::string& year,
                                            const std::string& species, CMonthCounters& counters);

    // The first kMaxRankRecords matching catches in file order, then ordered as personal bests
    // rank: heaviest first, at equal weight the longer, then the earlier (exact decimal values;
    // catches equal in all three keep their order).
    static CStoreResult CollectRanking(const CCatchStore& store, const std::string& year,
                                       const std::string& species,
                                       std::vector<CRankRecord>& records);

    // The bar chart of the monthly statistics: one bar per month (index 0 not shown).  Other
    // monthly counts (days fished) are drawn by the same chart under their own titles.
    static std::unique_ptr<CStatChart> BuildMonthlyChart(
        const CMonthCounters& counters, const std::string& title = "月別釣果データ",
        const std::string& valueTitle = "匹数");
    // The sample pie of the statistics by weather.
    static std::unique_ptr<CStatChart> BuildWeatherSampleChart();

    // The texts of the ranking list's six columns as stored, one row per record, numbered from 1,
    // and a seventh: kBestMark for a personal best, else empty.
    static std::vector<std::vector<std::string>> MakeRankingRows(
        const std::vector<CRankRecord>& records);
};
