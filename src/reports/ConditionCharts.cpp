#include "reports/ConditionCharts.h"

#include <algorithm>

namespace {

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string WithoutSuffix(const std::string& text, const std::string& suffix)
{
    return EndsWith(text, suffix) ? text.substr(0, text.size() - suffix.size()) : text;
}

std::string WithoutPrefix(const std::string& text, const std::string& prefix, const char* shorter)
{
    return text.rfind(prefix, 0) == 0 ? shorter + text.substr(prefix.size()) : text;
}

struct CConditionTitles {
    const char* chart;
    const char* categoryAxis;
};

CConditionTitles TitlesOf(ECondition condition)
{
    switch (condition) {
        case ECondition::TideName:
            return {"潮別 1日あたりの釣果", "潮"};
        case ECondition::TideStage:
            return {"潮の動き別の釣果", "潮の動き（上＝上げ、下＝下げ、数字は何分か）"};
        case ECondition::Hour:
            return {"時刻別の釣果", "時刻（時）"};
        case ECondition::MoonAge:
            return {"月齢別 1日あたりの釣果", "月齢"};
        case ECondition::TimeOfDay:
            return {"時間帯別の釣果", "時間帯"};
        case ECondition::WaterTemp:
            return {"水温別の釣果", "水温（℃）"};
    }
    return {"", ""};
}

// A range from 0 to above max, with room over the highest bar for its note, in at most five
// steps of 1, 2 or 5 times a power of ten.
void SetRoundRange(CStatChart& chart, int max)
{
    const int top = std::max(2, max + (max + 4) / 5);
    int step = 1;
    for (int power = 1; power <= 100000000; power *= 10) {
        const int candidates[] = {power, 2 * power, 5 * power};
        const int* fits = std::find_if(std::begin(candidates), std::end(candidates),
                                       [top](int s) { return (top + s - 1) / s <= 5; });
        if (fits != std::end(candidates)) {
            step = *fits;
            break;
        }
    }
    chart.SetValueRange(0, (top + step - 1) / step * step, step);
}

std::string RateText(int tenths)
{
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace

int CatchesPerDayTenths(const CConditionCount& count)
{
    if (count.daysFished <= 0) return 0;
    return static_cast<int>((20LL * count.catches + count.daysFished) / (2LL * count.daysFished));
}

std::string ConditionBarLabel(ECondition condition, const std::string& value)
{
    if (value == kUnknownValue) return value;
    switch (condition) {
        case ECondition::TideStage:
            return WithoutSuffix(WithoutPrefix(WithoutPrefix(value, "上げ", "上"), "下げ", "下"),
                                 "分");
        case ECondition::Hour:
            return WithoutSuffix(value, "時");
        case ECondition::WaterTemp:
            return WithoutSuffix(value, "℃");
        default:
            return value;
    }
}

std::unique_ptr<CStatChart> BuildConditionChart(const CConditionTable& table)
{
    const bool perDay = IsDayCondition(table.condition);
    const CConditionTitles titles = TitlesOf(table.condition);
    auto chart = std::make_unique<CStatChart>(kGraphBar);
    std::string title = titles.chart;
    chart->SetCategoryLabelAngle(0);
    chart->SetThinCrowdedLabels(true);
    chart->SetCategoryAxisTitle(titles.categoryAxis);
    chart->SetValueAxisTitle(perDay ? "匹/日" : "匹数");
    int max = 0;
    for (const CConditionCount& row : table.rows) {
        if (row.value == kUnknownValue) {
            // 不明 only where something is not known; the hours keep their axis 0 to 23 whole
            // and name the catches without an hour in the title.
            if (row.catches == 0) continue;
            if (table.condition == ECondition::Hour) {
                title += "（時刻不明 " + std::to_string(row.catches) + "匹）";
                continue;
            }
        }
        const int value = perDay ? CatchesPerDayTenths(row) : row.catches;
        max = std::max(max, value);
        auto category = std::make_unique<CChartCategory>();
        category->SetLabel(ConditionBarLabel(table.condition, row.value));
        category->AddValue(0, value);
        // A value fished without a catch has an empty bar and no note.
        if (perDay && row.daysFished > 0 && row.catches > 0) {
            category->SetNote(RateText(value) + "\n" + std::to_string(row.catches) + "匹/" +
                              std::to_string(std::max(row.daysFished, 0)) + "日");
        } else if (!perDay && row.catches > 0) {
            category->SetNote(std::to_string(row.catches));
        }
        chart->AddCategory(std::move(category));
    }
    chart->SetTitle(title);
    if (perDay) chart->SetValueDecimals(1);
    SetRoundRange(*chart, max);
    // The monthly chart's blue for counts of catches, a green for catches per day.
    chart->SetGroupColor(0, perDay ? 0x40A040 : 0xFF3232);
    return chart;
}
