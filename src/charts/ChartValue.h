#pragma once

// One value of a category: the data set (group) it belongs to and the count.
class CChartValue {
public:
    CChartValue(int groupIndex, int amount) : group(groupIndex), value(amount) {}

    int group = 0;
    int value = 0;
};
