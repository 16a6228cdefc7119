#pragma once

#include <string>
#include <vector>

#include "charts/ChartCanvas.h"
#include "tides/TidePredictor.h"

struct CTideStation;

// One day's tide as the memo dialog draws it: the curve from 0:00 to 24:00 Japan time, the
// day's high and low waters, and sunrise and sunset at the port.
struct CTideCurveDay {
    std::string title;                   // "東京  5月3日  日の出 4:47  日の入 18:27"
    std::vector<double> heightsCm;       // evenly spaced, 0:00 first and 24:00 last
    std::vector<CTideExtreme> extremes;  // the day's highs and lows
    int sunriseMinute = -1;              // minutes after 0:00; -1 when unknown
    int sunsetMinute = -1;
};

CTideCurveDay TideCurveDayOf(const CTideStation& station, int year, int month, int day);

// Where the curve is drawn: the plot rectangle and its height scale.
struct CTideCurveFrame {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    double lowCm = 0;   // height at the scale's bottom (the plot's bottom less a text line)
    double highCm = 1;  // height at the scale's top
    int textHeight = 0;
    int XOfMinute(double minute) const;
    int YOfCm(double cm) const;
};
CTideCurveFrame TideCurveFrameOf(const CTideCurveDay& day, int width, int height,
                                 const CChartFontMetrics& metrics);

// Colours of the drawing, for its painter and its tests.
inline constexpr ChartColorRef kTideNightColor = MakeChartColor(222, 228, 242);
inline constexpr ChartColorRef kTideCurveColor = MakeChartColor(0, 90, 170);
inline constexpr ChartColorRef kTideHighColor = MakeChartColor(200, 30, 30);
inline constexpr ChartColorRef kTideLowColor = MakeChartColor(0, 120, 70);
inline constexpr ChartColorRef kTideGridColor = MakeChartColor(200, 200, 200);

// Draws the day on the canvas's whole client area: night shaded before sunrise and after
// sunset, hour and height grid with labels, the curve, and each high and low marked with its
// time and height.  A day without heights draws only a note.
void DrawTideCurve(CChartCanvas& canvas, const CTideCurveDay& day);

// The text a calendar row shows for a day's tides: highs then lows, "満 2:42(155) 15:14(147)
// 干 9:00(49) 21:06(63)"; empty for a day without any.
std::string TideRowText(const std::vector<CTideExtreme>& day);
// "H:MM" of a high or low water, as tide fields are written.
std::string TideTimeText(const CTideExtreme& extreme);

// The highs and lows of every day of a month (index 0 is day 1), from one run of the predictor.
std::vector<std::vector<CTideExtreme>> MonthTides(const CTidePredictor& predictor, int year,
                                                  int month);
