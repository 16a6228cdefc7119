#include "reports/StatQuery.h"

#include <algorithm>

#include "data/DecimalNumber.h"
#include "data/PersonalBest.h"
#include "data/TextEncoding.h"
#include "data/TripDate.h"

namespace {

bool BeginsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Calls match(trip, caught) for every catch of species on a trip of year, in file order, until it
// returns false.
template <typename Match>
CStoreResult ForEachMatchingCatch(const CCatchStore& store, const std::string& year,
                                  const std::string& species, Match match)
{
    return store.ReadTrips([&](const std::vector<CTripRecord>& trips) {
        for (const CTripRecord& trip : trips) {
            if (!BeginsWith(trip.date, year)) continue;
            for (const CCatchRecord& caught : trip.catches) {
                if (caught.name != species) continue;
                if (!match(trip, caught)) return;
            }
        }
    });
}

}  // namespace

CStoreResult CStatQuery::CountCatchesByMonth(const CCatchStore& store, const std::string& year,
                                             const std::string& species, CMonthCounters& counters)
{
    counters.fill(0);
    return ForEachMatchingCatch(store, year, species,
                                [&](const CTripRecord& trip, const CCatchRecord&) {
                                    const int month = ReadStoredDate(trip.date)[1];
                                    if (month >= 0 && month <= 12)
                                        ++counters[static_cast<size_t>(month)];
                                    return true;
                                });
}

CStoreResult CStatQuery::CollectRanking(const CCatchStore& store, const std::string& year,
                                        const std::string& species,
                                        std::vector<CRankRecord>& records)
{
    records.clear();
    const CStoreResult result = store.ReadTrips([&](const std::vector<CTripRecord>& trips) {
        const auto bests = FindPersonalBests(trips);
        const auto best = bests.find(species);
        for (size_t t = 0; t < trips.size() && records.size() < kMaxRankRecords; ++t) {
            const CTripRecord& trip = trips[t];
            if (!BeginsWith(trip.date, year)) continue;
            for (size_t f = 0; f < trip.catches.size() && records.size() < kMaxRankRecords; ++f) {
                const CCatchRecord& caught = trip.catches[f];
                if (caught.name != species) continue;
                CRankRecord record;
                record.weight = ReadStoredThousandths(caught.weight);
                record.length = ReadStoredThousandths(caught.height);
                record.weightText = caught.weight;
                record.lengthText = caught.height;
                record.personalBest = best != bests.end() && best->second == CCatchPlace{t, f};
                record.date = CutToCp932Bytes(trip.date, CRankRecord::kDateBytes);
                record.weather = CutToCp932Bytes(trip.weather, CRankRecord::kWeatherBytes);
                record.place = CutToCp932Bytes(trip.place, CRankRecord::kPlaceBytes);
                records.push_back(std::move(record));
            }
        }
    });
    // Ranked as personal bests are judged, so the catch marked as the record heads its list.
    std::stable_sort(records.begin(), records.end(),
                     [](const CRankRecord& a, const CRankRecord& b) {
                         return RanksAbove(a.weight, a.length, a.date, b.weight, b.length, b.date);
                     });
    return result;
}

std::unique_ptr<CStatChart> CStatQuery::BuildMonthlyChart(const CMonthCounters& counters,
                                                          const std::string& title,
                                                          const std::string& valueTitle)
{
    const int max = *std::max_element(counters.begin(), counters.end());
    auto chart = std::make_unique<CStatChart>(kGraphBar);
    chart->SetTitle(title);
    chart->SetCategoryLabelAngle(0);
    chart->SetCategoryAxisTitle("月");
    chart->SetValueAxisTitle(valueTitle);
    if (max <= 1) {
        chart->SetValueRange(0, 2, 1);
    } else {
        chart->SetValueRange(0, max, max / 2);
    }
    for (int month = 1; month <= 12; ++month) {
        auto category = std::make_unique<CChartCategory>();
        category->SetLabel(std::to_string(month));
        category->AddValue(0, counters[static_cast<size_t>(month)]);
        chart->AddCategory(std::move(category));
    }
    chart->SetGroupColor(0, 0xFF3232);
    chart->SetGroupColor(1, 0xFFFF8E);
    chart->SetGroupColor(2, 0x6B8FFF);
    return chart;
}

std::unique_ptr<CStatChart> CStatQuery::BuildWeatherSampleChart()
{
    auto chart = std::make_unique<CStatChart>(kGraphPie3D);
    chart->SetTitle("3D Pie Chart");
    chart->SetDepthRatio(0.1);
    chart->AddLegendLabel(0, "game 1");
    chart->AddLegendLabel(1, "game 2");
    chart->AddLegendLabel(2, "game 3");
    chart->AddLegendLabel(3, "game 4");
    auto category = std::make_unique<CChartCategory>();
    category->SetLabel("day 1");
    category->AddValue(0, 15);
    category->AddValue(1, 5);
    category->AddValue(2, 2);
    category->AddValue(3, 0);
    chart->AddCategory(std::move(category));
    const ChartColorRef colors[] = {0x00C000, 0xFFFF8E, 0x6B8FFF, 0x9933FF, 0xFFB1C7};
    for (int group = 0; group < 5; ++group) chart->SetGroupColor(group, colors[group]);
    return chart;
}

std::vector<std::vector<std::string>> CStatQuery::MakeRankingRows(
    const std::vector<CRankRecord>& records)
{
    std::vector<std::vector<std::string>> rows;
    rows.reserve(records.size());
    for (size_t n = 0; n < records.size(); ++n) {
        const CRankRecord& record = records[n];
        rows.push_back({std::to_string(n + 1), record.date, record.weather, record.lengthText,
                        record.weightText, record.place,
                        record.personalBest ? CStatQuery::kBestMark : ""});
    }
    return rows;
}
