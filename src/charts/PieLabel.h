#pragma once

#include <string>

#include "charts/ChartCanvas.h"

// The percentage label of one pie wedge: a leader line from inside the wedge to beyond its rim
// and the text at the line's end.  Labels are collected per pie and placed after the pie is drawn
// so that later labels can step out of the way of earlier ones.
struct CPieLabel {
    CChartPoint lineStart;
    CChartPoint lineEnd;
    CChartPoint textPos;
    int quadrant = 0;  // of the wedge's middle angle, 0 to 3
    std::string text;
};
