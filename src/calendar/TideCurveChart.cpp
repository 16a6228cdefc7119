#include "calendar/TideCurveChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "calendar/CalendarGrid.h"
#include "calendar/SunTimes.h"
#include "tides/TideStation.h"

namespace {

constexpr int kCurveStepMinutes = 10;
constexpr int kMarkerHalf = 2;

std::string MinuteText(int minute)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", minute / 60, minute % 60);
    return text;
}

// A step for the height grid that gives a few lines over the range.
double GridStep(double range)
{
    for (const double step : {10.0, 20.0, 50.0, 100.0, 200.0}) {
        if (range / step <= 5) return step;
    }
    return 500.0;
}

int TextWidth(const std::string& text, const CChartFontMetrics& metrics)
{
    // Tide labels are digits, colons and spaces: each as wide as the average character.
    return static_cast<int>(text.size()) * metrics.aveCharWidth;
}

}  // namespace

CTideCurveDay TideCurveDayOf(const CTideStation& station, int year, int month, int day)
{
    const CTidePredictor predictor(station);
    CTideCurveDay curve;
    curve.heightsCm = predictor.DayCurveCm(year, month, day, kCurveStepMinutes);
    curve.extremes = predictor.DayExtremes(year, month, day);
    const CSunDay sun = SunTimesOf(year, month, day, station.latitude, station.longitude);
    char title[64];
    std::snprintf(title, sizeof title, "  %d月%d日", month, day);
    curve.title = station.nameJa + title;
    if (sun.valid) {
        curve.sunriseMinute = sun.riseMinute;
        curve.sunsetMinute = sun.setMinute;
        curve.title +=
            "  日の出 " + MinuteText(sun.riseMinute) + "  日の入 " + MinuteText(sun.setMinute);
    }
    return curve;
}

int CTideCurveFrame::XOfMinute(double minute) const
{
    return left + static_cast<int>(std::lround(minute * (right - 1 - left) / 1440.0));
}

int CTideCurveFrame::YOfCm(double cm) const
{
    // Room above the top and below the bottom of the scale for a marker and its label, so a
    // high's label stays under the plot's top line and a low's above its bottom line.
    const int room = textHeight + kMarkerHalf + 4;
    const int scaleTop = top + room;
    const int scaleBottom = bottom - 1 - room;
    return scaleBottom - static_cast<int>(std::lround((cm - lowCm) * (scaleBottom - scaleTop) /
                                                      (highCm - lowCm)));
}

CTideCurveFrame TideCurveFrameOf(const CTideCurveDay& day, int width, int height,
                                 const CChartFontMetrics& metrics)
{
    CTideCurveFrame frame;
    frame.textHeight = metrics.height;
    // Room for a height label such as "-100" and a gap on either side of it.
    frame.left = 8 + 5 * metrics.aveCharWidth;
    frame.top = metrics.height + 4;
    frame.right = width - 8;
    frame.bottom = height - metrics.height - 4;
    if (!day.heightsCm.empty()) {
        const auto [low, high] = std::minmax_element(day.heightsCm.begin(), day.heightsCm.end());
        frame.lowCm = *low;
        frame.highCm = *high;
        for (const CTideExtreme& e : day.extremes) {
            frame.lowCm = std::min(frame.lowCm, e.heightCm);
            frame.highCm = std::max(frame.highCm, e.heightCm);
        }
    }
    // A flat day still gets a scale of some height.
    if (frame.highCm - frame.lowCm < 10) {
        const double middle = (frame.highCm + frame.lowCm) / 2;
        frame.lowCm = middle - 5;
        frame.highCm = middle + 5;
    }
    return frame;
}

void DrawTideCurve(CChartCanvas& canvas, const CTideCurveDay& day)
{
    const CChartFont font;
    const CChartFontMetrics metrics = canvas.GetFontMetrics(font);
    const int width = canvas.GetClientWidth();
    const int height = canvas.GetClientHeight();
    canvas.Rectangle(0, 0, width, height, CChartPen{kChartWhite, 1}, kChartWhite);
    canvas.Text(4, 2, day.title, font, kChartBlack);
    if (day.heightsCm.size() < 2) {
        canvas.Text(4, 2 + metrics.height + 4, "潮汐を計算できません", font, kChartBlack);
        return;
    }
    const CTideCurveFrame f = TideCurveFrameOf(day, width, height, metrics);
    if (f.right - f.left < 20 || f.bottom - f.top < 4 * metrics.height) return;

    // Night before sunrise and after sunset.
    if (day.sunriseMinute >= 0 && day.sunsetMinute > day.sunriseMinute) {
        const CChartPen none{kTideNightColor, 1};
        canvas.Rectangle(f.left, f.top, f.XOfMinute(day.sunriseMinute), f.bottom, none,
                         kTideNightColor);
        canvas.Rectangle(f.XOfMinute(day.sunsetMinute), f.top, f.right, f.bottom, none,
                         kTideNightColor);
    }

    // Hours every three, labelled every six; heights on a round step.
    const CChartPen grid{kTideGridColor, 1};
    for (int hour = 0; hour <= 24; hour += 3) {
        const int x = f.XOfMinute(hour * 60);
        canvas.Line({x, f.top}, {x, f.bottom - 1}, grid);
        if (hour % 6 == 0) {
            const std::string label = std::to_string(hour);
            canvas.Text(x - TextWidth(label, metrics) / 2, f.bottom + 2, label, font, kChartBlack);
        }
    }
    const double step = GridStep(f.highCm - f.lowCm);
    for (double cm = std::ceil(f.lowCm / step) * step; cm <= f.highCm; cm += step) {
        const int y = f.YOfCm(cm);
        canvas.Line({f.left, y}, {f.right - 1, y}, grid);
        const std::string label = std::to_string(static_cast<int>(cm));
        canvas.Text(f.left - 4 - TextWidth(label, metrics), y - metrics.height / 2, label, font,
                    kChartBlack);
    }
    const CChartPen frameLine{MakeChartColor(128, 128, 128), 1};
    canvas.Line({f.left, f.top}, {f.right - 1, f.top}, frameLine);
    canvas.Line({f.right - 1, f.top}, {f.right - 1, f.bottom - 1}, frameLine);
    canvas.Line({f.right - 1, f.bottom - 1}, {f.left, f.bottom - 1}, frameLine);
    canvas.Line({f.left, f.bottom - 1}, {f.left, f.top}, frameLine);

    // The curve.
    const CChartPen curve{kTideCurveColor, 2};
    const double stepMinutes = 1440.0 / static_cast<double>(day.heightsCm.size() - 1);
    CChartPoint previous{f.XOfMinute(0), f.YOfCm(day.heightsCm[0])};
    for (size_t k = 1; k < day.heightsCm.size(); ++k) {
        const CChartPoint point{f.XOfMinute(static_cast<double>(k) * stepMinutes),
                                f.YOfCm(day.heightsCm[k])};
        canvas.Line(previous, point, curve);
        previous = point;
    }

    // The turning points, each with its time and height (with its unit, which the scale does not
    // repeat) above (high) or below (low).
    for (const CTideExtreme& e : day.extremes) {
        const int x = f.XOfMinute(e.hour * 60 + e.minute);
        const int y = f.YOfCm(e.heightCm);
        const ChartColorRef color = e.high ? kTideHighColor : kTideLowColor;
        canvas.Rectangle(x - kMarkerHalf, y - kMarkerHalf, x + kMarkerHalf + 1, y + kMarkerHalf + 1,
                         CChartPen{color, 1}, color);
        const std::string label = TideTimeText(e) + " " +
                                  std::to_string(static_cast<int>(std::lround(e.heightCm))) + "cm";
        int textX = x - TextWidth(label, metrics) / 2;
        textX = std::clamp(textX, f.left + 1,
                           std::max(f.left + 1, f.right - 1 - TextWidth(label, metrics)));
        const int textY = e.high ? y - kMarkerHalf - 1 - metrics.height : y + kMarkerHalf + 2;
        canvas.Text(textX, textY, label, font, color);
    }
}

std::string TideTimeText(const CTideExtreme& e)
{
    return MinuteText(e.hour * 60 + e.minute);
}

std::string TideRowText(const std::vector<CTideExtreme>& day)
{
    std::string highs;
    std::string lows;
    for (const CTideExtreme& e : day) {
        std::string& list = e.high ? highs : lows;
        list += " " + TideTimeText(e) + "(" +
                std::to_string(static_cast<int>(std::lround(e.heightCm))) + ")";
    }
    std::string text;
    if (!highs.empty()) text += "満" + highs;
    if (!lows.empty()) text += (text.empty() ? "干" : "  干") + lows;
    return text;
}

std::vector<std::vector<CTideExtreme>> MonthTides(const CTidePredictor& predictor, int year,
                                                  int month)
{
    const int days = DaysInMonth(year, month);
    std::vector<std::vector<CTideExtreme>> tides(static_cast<size_t>(days));
    for (const CTideExtreme& e : predictor.Extremes(year, month, 1, year, month, days)) {
        if (e.day >= 1 && e.day <= days) tides[static_cast<size_t>(e.day - 1)].push_back(e);
    }
    return tides;
}
