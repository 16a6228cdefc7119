#pragma once

#include <memory>
#include <string>
#include <vector>

#include "charts/ChartValue.h"

// One position along the category axis of a bar graph, or one pie of a pie graph, with at most
// one meaningful value per group (the first one added for it).
class CChartCategory {
public:
    CChartCategory() = default;
    CChartCategory(const CChartCategory&) = delete;
    CChartCategory& operator=(const CChartCategory&) = delete;

    void SetLabel(const std::string& text) { label = text; }
    std::string GetLabel() const { return label; }
    // A short text shown above the category's bars (a count, a rate), lines split at '\n'; empty
    // shows none.
    void SetNote(const std::string& text) { note = text; }
    const std::string& GetNote() const { return note; }
    void AddValue(int group, int value);
    // The value of the first entry of group; 0 when the group has none.
    int GetValue(int group) const;
    int GetValueCount() const { return static_cast<int>(values.size()); }
    const std::vector<std::unique_ptr<CChartValue>>& GetValues() const { return values; }

private:
    std::string label;
    std::string note;
    std::vector<std::unique_ptr<CChartValue>> values;
};
