// The charts of the catch conditions built from counted tables: labels, bar values, notes and
// ranges as the 条件別 view and the report draw them.
#include <gtest/gtest.h>

#include "reports/ConditionCharts.h"

namespace {

CConditionTable Table(ECondition condition, std::vector<CConditionCount> rows)
{
    return {condition, std::move(rows)};
}

struct CBarSeen {
    std::string label;
    int value;
    std::string note;
    bool operator==(const CBarSeen&) const = default;
};

std::vector<CBarSeen> Bars(const CStatChart& chart)
{
    std::vector<CBarSeen> bars;
    for (const auto& category : chart.GetCategories())
        bars.push_back({category->GetLabel(), category->GetValue(0), category->GetNote()});
    return bars;
}

void PrintTo(const CBarSeen& bar, std::ostream* out)
{
    *out << bar.label << "=" << bar.value << " [" << bar.note << "]";
}

}  // namespace

TEST(ConditionCharts, BarLabelsLeaveOutTheUnitTheAxisNames)
{
    const struct {
        ECondition condition;
        const char* value;
        const char* label;
    } cases[] = {
        {ECondition::TideStage, "上げ3分", "上3"},
        {ECondition::TideStage, "下げ10分", "下10"},
        {ECondition::Hour, "6時", "6"},
        {ECondition::Hour, "23時", "23"},
        {ECondition::WaterTemp, "18～20℃", "18～20"},
        {ECondition::TideName, "大潮", "大潮"},
        {ECondition::TimeOfDay, "朝マヅメ", "朝マヅメ"},
        {ECondition::MoonAge, "14", "14"},
        {ECondition::Hour, kUnknownValue, kUnknownValue},
        {ECondition::TideStage, kUnknownValue, kUnknownValue},
    };
    for (const auto& c : cases) EXPECT_EQ(ConditionBarLabel(c.condition, c.value), c.label);
}

TEST(ConditionCharts, CatchesPerDayRoundToTenths)
{
    const struct {
        int catches;
        int days;
        int tenths;
    } cases[] = {{12, 5, 24}, {5, 2, 25}, {1, 3, 3}, {2, 3, 7}, {0, 4, 0}, {7, 0, 0}, {3, -1, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CatchesPerDayTenths({"x", c.catches, c.days}), c.tenths)
            << c.catches << "/" << c.days;
}

TEST(ConditionCharts, DayConditionsChartCatchesPerDayOthersCatches)
{
    const struct {
        CConditionTable table;
        std::vector<CBarSeen> bars;
        int decimals;
        std::string valueTitle;
        std::string titleEnd;
    } cases[] = {
        // Fished five days at 大潮 and twice at 小潮: 小潮 gave more a day, and stands higher.
        {Table(ECondition::TideName, {{"大潮", 12, 5},
                                      {"中潮", 0, 0},
                                      {"小潮", 6, 2},
                                      {kUnknownValue, 1, 1},
                                      {"若潮", 0, 3}}),
         {{"大潮", 24, "2.4\n12匹/5日"},
          {"中潮", 0, ""},  // not fished
          {"小潮", 30, "3.0\n6匹/2日"},
          {kUnknownValue, 10, "1.0\n1匹/1日"},
          {"若潮", 0, ""}},  // fished, nothing caught: an empty bar, no 「0.0」
         1,
         "匹/日",
         ""},
        // 不明 without a catch is no bar at all.
        {Table(ECondition::MoonAge, {{"0", 3, 2}, {"29", 1, 1}, {kUnknownValue, 0, 2}}),
         {{"0", 15, "1.5\n3匹/2日"}, {"29", 10, "1.0\n1匹/1日"}},
         1,
         "匹/日",
         ""},
        // Catches as counted; a bar without catches has no note.  The hours end at 23 and the
        // catches without an hour are named in the title.
        {Table(ECondition::Hour,
               {{"5時", 4, -1}, {"6時", 0, -1}, {"23時", 1, -1}, {kUnknownValue, 2, -1}}),
         {{"5", 4, "4"}, {"6", 0, ""}, {"23", 1, "1"}},
         0,
         "匹数",
         "（時刻不明 2匹）"},
        {Table(ECondition::TideStage,
               {{"上げ1分", 1, -1}, {"下げ10分", 9, -1}, {kUnknownValue, 3, -1}}),
         {{"上1", 1, "1"}, {"下10", 9, "9"}, {kUnknownValue, 3, "3"}},
         0,
         "匹数",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ConditionName(c.table.condition));
        const auto chart = BuildConditionChart(c.table);
        EXPECT_EQ(Bars(*chart), c.bars);
        EXPECT_EQ(chart->GetValueDecimals(), c.decimals);
        EXPECT_EQ(chart->GetValueAxisTitle(), c.valueTitle);
        EXPECT_FALSE(chart->GetTitle().empty());
        const std::string title = chart->GetTitle();
        EXPECT_EQ(title.substr(title.size() - std::min(title.size(), c.titleEnd.size())),
                  c.titleEnd);
        EXPECT_EQ(title.find("不明") != std::string::npos, !c.titleEnd.empty()) << title;
        // Axis titles in words, without placeholder marks.
        EXPECT_EQ(chart->GetCategoryAxisTitle().find("○"), std::string::npos);
    }
}

TEST(ConditionCharts, RangeLeavesRoomAboveTheHighestBarInRoundSteps)
{
    for (int max : {0, 1, 4, 9, 10, 37, 100, 999, 12345}) {
        SCOPED_TRACE(max);
        const auto chart =
            BuildConditionChart(Table(ECondition::Hour, {{"6時", max, -1}, {"7時", 0, -1}}));
        EXPECT_EQ(chart->GetMinValue(), 0);
        // At least a fifth above the bar, for its note, and not more than twice its height.
        EXPECT_GE(chart->GetMaxValue() * 5, max * 6);
        EXPECT_LE(chart->GetMaxValue(), std::max(4, 2 * max));
        EXPECT_LE(chart->GetTickCount(), 5);
        EXPECT_EQ(chart->GetMaxValue() % chart->GetStep(), 0);
        // Steps of 1, 2 or 5 times a power of ten.
        int step = chart->GetStep();
        while (step % 10 == 0) step /= 10;
        EXPECT_TRUE(step == 1 || step == 2 || step == 5) << chart->GetStep();
    }
}
