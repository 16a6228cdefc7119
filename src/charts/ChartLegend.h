#pragma once

#include <memory>
#include <string>
#include <vector>

struct CChartLegendEntry {
    int group = 0;
    std::string label;
};

// The legend's labels in the order added; rows are drawn by position.
class CChartLegend {
public:
    void AddLabel(int group, const std::string& text);
    // The n-th label; empty when there is none.
    std::string GetLabel(int n) const;
    int GetLabelCount() const { return static_cast<int>(entries.size()); }
    int GetMaxLabelLength() const { return maxLabelLength; }

private:
    std::vector<std::unique_ptr<CChartLegendEntry>> entries;
    int maxLabelLength = 0;  // bytes, as the layout measures text
};
