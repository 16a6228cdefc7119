#pragma once

#include <memory>
#include <string>
#include <vector>

#include "charts/StatChart.h"
#include "data/CatchStore.h"
#include "reports/CatchConditions.h"
#include "reports/YearReport.h"

// The charts of the catch conditions (the 条件別 view and the report's 「釣れた条件」 page): one
// bar chart per condition, 「不明」 a bar like the others.  For the day-level conditions (潮,
// 月齢) the bars are the catches per day fished under each value, so that a tide fished more
// often does not look better for that alone; the note above each bar gives catches and days.

// A trip's port through the report's finder by 場所 (nullptr when there is no finder).
class CFinderPortSource final : public ITripPortSource {
public:
    explicit CFinderPortSource(CTripPortFinder finder) : m_finder(std::move(finder)) {}
    const CTideStation* PortForPlace(const std::string& place) const override
    {
        return m_finder ? m_finder(place) : nullptr;
    }

private:
    CTripPortFinder m_finder;
};

// Catches per day fished in tenths, rounded (0 when no day was fished).
int CatchesPerDayTenths(const CConditionCount& count);

// The label of a value under its bar: the unit the axis title names is left out ("上げ3分" →
// "上3", "6時" → "6", "18～20℃" → "18～20"), so that many bars still have readable labels.
std::string ConditionBarLabel(ECondition condition, const std::string& value);

// The chart of one condition's table.
std::unique_ptr<CStatChart> BuildConditionChart(const CConditionTable& table);
