// The statistics queries over real catch files in a temporary program directory.
#include <gtest/gtest.h>

#include "reports/StatQuery.h"
#include "support/RecordingChartCanvas.h"
#include "support/TempProgramDir.h"

namespace {

struct CFish {
    std::string name;
    std::string height;
    std::string weight;
};

std::string Trip(const std::string& date, const std::vector<CFish>& fish,
                 const std::string& weather = "晴れ", const std::string& place = "城ヶ島")
{
    std::string xml = "\r\n<FishData>\r\n<fishname>x</fishname>\r\n<weather>" + weather +
                      "</weather>\r\n<date>" + date + "</date>\r\n<place>" + place +
                      "</place>\r\n<image_place/>\r\n<image_fish/>\r\n<report>";
    for (const CFish& f : fish) {
        xml += "\r\n<fish><name>" + f.name + "</name><height>" + f.height + "</height><weight>" +
               f.weight + "</weight><time>6時0分</time></fish>";
    }
    return xml + "</report></FishData>";
}

std::string CatchFile(const std::vector<std::string>& trips)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog>";
    for (const std::string& trip : trips) xml += trip;
    return xml + "\r\n</CatchLog>\r\n";
}

class StatQueryTest : public ::testing::Test {
protected:
    void Write(const std::vector<std::string>& trips)
    {
        m_dir.WriteFile("Data/fish.xml", CatchFile(trips));
    }
    CMonthCounters Count(const std::string& year, const std::string& species)
    {
        CMonthCounters counters{};
        EXPECT_TRUE(
            CStatQuery::CountCatchesByMonth(CCatchStore(m_dir.CatchFile()), year, species, counters)
                .ok());
        return counters;
    }
    std::vector<CRankRecord> Rank(const std::string& year, const std::string& species)
    {
        std::vector<CRankRecord> records;
        EXPECT_TRUE(
            CStatQuery::CollectRanking(CCatchStore(m_dir.CatchFile()), year, species, records)
                .ok());
        return records;
    }
    CTempProgramDir m_dir;
};

}  // namespace

TEST_F(StatQueryTest, MonthlyCountsEveryMatchingCatch)
{
    Write({Trip("2004/5/3", {{"メジナ", "30", "1"}, {"アジ", "20", "0"}, {"メジナ", "35", "2"}}),
           Trip("2004/06/10", {{"メジナ", "28", "1"}}), Trip("2005/5/3", {{"メジナ", "30", "1"}}),
           Trip("2004/13/1", {{"メジナ", "30", "1"}}), Trip("2004/春/1", {{"メジナ", "30", "1"}}),
           Trip("2004/12/31", {{"メジナ", "40", "2"}}), Trip("2004/1/1", {{"メジナ", "41", "2"}})});
    const CMonthCounters counters = Count("2004", "メジナ");
    EXPECT_EQ(counters[1], 1);
    EXPECT_EQ(counters[5], 2);
    EXPECT_EQ(counters[6], 1);
    EXPECT_EQ(counters[12], 1);
    EXPECT_EQ(counters[0], 1);  // a month that is not a number
    int total = 0;
    for (int c : counters) total += c;
    EXPECT_EQ(total, 6);  // month 13 is not counted

    // The chart of these counts: range 0..2 step 1, one category per month with its count.
    const auto chart = CStatQuery::BuildMonthlyChart(counters);
    EXPECT_EQ(chart->GetGraphType(), kGraphBar);
    EXPECT_EQ(chart->GetTitle(), "月別釣果データ");
    EXPECT_EQ(chart->GetMaxValue(), 2);
    EXPECT_EQ(chart->GetStep(), 1);
    EXPECT_EQ(chart->GetTickCount(), 2);
    ASSERT_EQ(chart->GetCategories().size(), 12u);
    EXPECT_EQ(chart->GetCategories()[4]->GetLabel(), "5");
    EXPECT_EQ(chart->GetCategories()[4]->GetValue(0), 2);
    EXPECT_EQ(chart->GetCategories()[11]->GetLabel(), "12");
    EXPECT_EQ(chart->GetGroupCount(), 1);
    EXPECT_EQ(chart->GetColorCount(), 3);
    EXPECT_EQ(chart->GetGroupColor(0), 0xFF3232u);
}

TEST_F(StatQueryTest, ValueRanges)
{
    CMonthCounters counters{};
    EXPECT_EQ(CStatQuery::BuildMonthlyChart(counters)->GetMaxValue(), 2);
    counters[3] = 1;
    EXPECT_EQ(CStatQuery::BuildMonthlyChart(counters)->GetTickCount(), 2);
    counters[7] = 7;
    const auto seven = CStatQuery::BuildMonthlyChart(counters);
    EXPECT_EQ(seven->GetMaxValue(), 7);
    EXPECT_EQ(seven->GetStep(), 3);
    EXPECT_EQ(seven->GetTickCount(), 3);
    // Counter 0 takes part in the maximum although no month shows it.
    CMonthCounters unnamed{};
    unnamed[0] = 4;
    EXPECT_EQ(CStatQuery::BuildMonthlyChart(unnamed)->GetMaxValue(), 4);
}

TEST_F(StatQueryTest, YearIsAPrefixAndSpeciesExact)
{
    Write({Trip("2003/1/1", {{"アジ", "20", "0"}}), Trip("2004/2/1", {{"アジ", "20", "0"}}),
           Trip("1999/1/2004", {{"アジ", "20", "0"}}), Trip("2004/3/1", {{"アジ ", "20", "0"}}),
           Trip("2004/3/2", {{"あじ", "20", "0"}})});
    const CMonthCounters prefix = Count("200", "アジ");
    EXPECT_EQ(prefix[1], 1);
    EXPECT_EQ(prefix[2], 1);
    const CMonthCounters later = Count("2004", "アジ");
    EXPECT_EQ(later[1], 0);  // 2004 only as the day of 1999
    EXPECT_EQ(later[2], 1);
    EXPECT_EQ(later[3], 0);  // trailing space and other spelling do not match
    EXPECT_EQ(Rank("1/", "アジ").size(), 0u);
}

TEST_F(StatQueryTest, RankingHeaviestFirstWithTripTexts)
{
    Write({Trip("2004/5/3", {{"マダイ", "40", "2.8"}, {"マダイ", "55", "3"}}, "曇り", "相模湾"),
           Trip("2004/7/1", {{"マダイ", "38cm", "1"}, {"クロダイ", "40", "9"}}, "雨", "東京湾"),
           Trip("2003/7/1", {{"マダイ", "70", "8"}})});
    const auto records = Rank("2004", "マダイ");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].weight, 3000);
    EXPECT_EQ(records[0].length, 55000);
    EXPECT_EQ(records[0].date, "2004/5/3");
    EXPECT_EQ(records[0].weather, "曇り");
    EXPECT_EQ(records[0].place, "相模湾");
    EXPECT_EQ(records[1].weight, 2800);
    EXPECT_EQ(records[2].weight, 1000);
    EXPECT_EQ(records[2].length, 38000);  // "38cm" as the old reader took it
    EXPECT_EQ(records[2].weather, "雨");

    const auto rows = CStatQuery::MakeRankingRows(records);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1],
              (std::vector<std::string>{"2", "2004/5/3", "曇り", "40", "2.8", "相模湾", ""}));
    // The 2003 catch of 8 kg holds the record, not this year's heaviest.
    EXPECT_EQ(rows[0][6], "");
    const auto all = Rank("200", "マダイ");
    ASSERT_EQ(all.size(), 4u);
    EXPECT_TRUE(all[0].personalBest);
    EXPECT_EQ(all[0].date, "2003/7/1");
    EXPECT_FALSE(all[1].personalBest);
}

TEST_F(StatQueryTest, RankingOrdersAsThePersonalBestRule)
{
    // Each case: catches of one species as (date, length, weight) in file order, and the dates
    // and lengths from rank 1 down.  Weight first, then length, then the earlier date.
    struct CCase {
        std::vector<std::pair<std::string, CFish>> catches;
        std::vector<std::string> expected;
    };
    const CCase cases[] = {
        {{{"2026/5/1", {"マアジ", "27", "0.35"}}, {"2026/10/12", {"マアジ", "32.5", "0.35"}}},
         {"2026/10/12 32.5", "2026/5/1 27"}},
        {{{"2026/8/1", {"マアジ", "30", "0.35"}}, {"2026/3/1", {"マアジ", "30", "0.350"}}},
         {"2026/3/1 30", "2026/8/1 30"}},
        {{{"2026/1/1", {"マアジ", "40", "0.3"}}, {"2026/2/1", {"マアジ", "20", "0.4"}}},
         {"2026/2/1 20", "2026/1/1 40"}},
        {{{"2026/12/1", {"マアジ", "9", "1"}},
          {"2026/2/1", {"マアジ", "10", "1"}},
          {"2026/02/01", {"マアジ", "10.0", "1"}}},
         {"2026/2/1 10", "2026/02/01 10.0", "2026/12/1 9"}},
    };
    for (const CCase& c : cases) {
        std::vector<std::string> trips;
        for (const auto& [date, fish] : c.catches) trips.push_back(Trip(date, {fish}));
        Write(trips);
        const auto records = Rank("2026", "マアジ");
        std::vector<std::string> got;
        for (const CRankRecord& record : records)
            got.push_back(record.date + " " + record.lengthText);
        EXPECT_EQ(got, c.expected);
        // The record holder is the one the ranking puts first.
        ASSERT_FALSE(records.empty());
        EXPECT_TRUE(records.front().personalBest) << c.expected.front();
        EXPECT_EQ(CStatQuery::MakeRankingRows(records).front()[6], CStatQuery::kBestMark);
    }
}

TEST_F(StatQueryTest, RankingKeepsTheFirstThousandCatches)
{
    std::vector<std::string> trips;
    // 1,002 catches of weight 1, then a heavy one that comes too late to be listed.
    for (int n = 0; n < 501; ++n)
        trips.push_back(Trip("2004/1/1", {{"アジ", "20", "1"}, {"アジ", "21", "1"}}));
    trips.push_back(Trip("2004/2/1", {{"アジ", "50", "9"}}));
    Write(trips);
    const auto records = Rank("2004", "アジ");
    ASSERT_EQ(records.size(), 1000u);
    EXPECT_EQ(records.front().weight, 1000);
    // The monthly counts have no such cap.
    EXPECT_EQ(Count("2004", "アジ")[1], 1002);
}

TEST_F(StatQueryTest, LongTextsAreCutToTheirFields)
{
    const std::string longPlace(300, 'p');
    const std::string longWeather =
        std::string(60, 'w') +
        "晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ";
    Write({Trip("2004/1/1", {{"アジ", "20", "1"}}, longWeather, longPlace)});
    const auto records = Rank("2004", "アジ");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].place.size(), 255u);
    // 60 bytes plus 19 characters of 2 bytes is 98; the 20th would pass 99 and is not split.
    EXPECT_EQ(records[0].weather, std::string(60, 'w') + "晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴れ晴");
}

TEST_F(StatQueryTest, UnreadableFileFails)
{
    m_dir.WriteFile("Data/fish.xml", "<CatchLog><FishData>");
    CMonthCounters counters{};
    counters[1] = 5;
    EXPECT_FALSE(
        CStatQuery::CountCatchesByMonth(CCatchStore(m_dir.CatchFile()), "2004", "アジ", counters)
            .ok());
    EXPECT_EQ(counters[1], 0);
    std::vector<CRankRecord> records(3);
    EXPECT_FALSE(
        CStatQuery::CollectRanking(CCatchStore(m_dir.CatchFile()), "2004", "アジ", records).ok());
    EXPECT_TRUE(records.empty());
}

TEST(StatQueryCharts, WeatherSample)
{
    const auto chart = CStatQuery::BuildWeatherSampleChart();
    EXPECT_EQ(chart->GetGraphType(), kGraphPie3D);
    EXPECT_DOUBLE_EQ(chart->GetDepthRatio(), 0.1);
    EXPECT_EQ(chart->GetGroupCount(), 4);
    EXPECT_EQ(chart->GetLegend().GetLabel(3), "game 4");
    EXPECT_EQ(chart->GetColorCount(), 5);
    EXPECT_EQ(chart->GetGroupColor(4), 0xFFB1C7u);
    CRecordingChartCanvas canvas(800, 600);
    chart->Draw(canvas);
    EXPECT_EQ(canvas.TextsEqualTo("68%").size(), 1u);
    EXPECT_EQ(canvas.TextsEqualTo("22%").size(), 1u);
    EXPECT_EQ(canvas.TextsEqualTo("9%").size(), 1u);
}
