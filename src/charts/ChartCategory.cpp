#include "charts/ChartCategory.h"

void CChartCategory::AddValue(int group, int value)
{
    values.push_back(std::make_unique<CChartValue>(group, value));
}

int CChartCategory::GetValue(int group) const
{
    for (const auto& entry : values) {
        if (entry->group == group) return entry->value;
    }
    return 0;
}
