#include "charts/ChartLegend.h"

#include "data/TextEncoding.h"

void CChartLegend::AddLabel(int group, const std::string& text)
{
    entries.push_back(std::make_unique<CChartLegendEntry>(CChartLegendEntry{group, text}));
    const int length = static_cast<int>(Cp932ByteLength(text));
    if (length > maxLabelLength) maxLabelLength = length;
}

std::string CChartLegend::GetLabel(int n) const
{
    if (n < 0 || n >= static_cast<int>(entries.size())) return {};
    return entries[static_cast<size_t>(n)]->label;
}
