#pragma once

#include "charts/ChartCanvas.h"

// A colour entry of a chart.  Entries colour the groups by their position; the group number is
// kept only as the caller gave it.
class CChartColor {
public:
    CChartColor(int groupIndex, ChartColorRef value) : group(groupIndex), color(value) {}

    int group = 0;
    ChartColorRef color = kChartBlack;
};
