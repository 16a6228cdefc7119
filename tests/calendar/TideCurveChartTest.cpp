#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "calendar/SunTimes.h"
#include "calendar/TideCurveChart.h"
#include "support/RecordingChartCanvas.h"
#include "support/TideTestStations.h"
#include "tides/TideStation.h"

namespace {

// Sunrise and sunset (Japan time) as the almanac of 国立天文台 暦計算室 gives them for its
// reference points (東京: the old observatory at 35°39'16"N 139°44'41"E; 札幌, 稚内 and 那覇 at
// their city offices), to the minute: a computed time may differ by one minute at most, from
// rounding.  Tokyo 2022-12-22 as the almanac printed it; 札幌 and 稚内 on 2009-12-21 as the
// table of http://saboten.sakura.ne.jp/~suzu/nichibotsu.htm ("北海道の日の出・日の入り",
// 2009) gives them; the others as the almanac gives them for 2027.
struct CSunCase {
    const char* place;
    double latitude;
    double longitude;
    int year, month, day;
    int rise;  // minutes after 0:00
    int set;
};
const CSunCase kSunCases[] = {
    {"東京, summer solstice", 35.6544, 139.7447, 2027, 6, 21, 4 * 60 + 25, 19 * 60 + 0},
    {"東京, winter solstice", 35.6544, 139.7447, 2022, 12, 22, 6 * 60 + 47, 16 * 60 + 32},
    {"札幌, summer solstice", 43.0642, 141.3469, 2027, 6, 21, 3 * 60 + 55, 19 * 60 + 18},
    {"札幌, winter solstice", 43.0642, 141.3469, 2009, 12, 21, 7 * 60 + 3, 16 * 60 + 3},
    {"稚内, winter solstice", 45.4156, 141.6731, 2009, 12, 21, 7 * 60 + 10, 15 * 60 + 53},
    {"那覇, summer solstice", 26.2124, 127.6809, 2027, 6, 21, 5 * 60 + 37, 19 * 60 + 25},
};

TEST(TideCurveChartTest, SunriseAndSunsetOfAJapanTimeDay)
{
    for (const CSunCase& c : kSunCases) {
        const CSunDay sun = SunTimesOf(c.year, c.month, c.day, c.latitude, c.longitude);
        ASSERT_TRUE(sun.valid) << c.place;
        EXPECT_LE(std::abs(sun.riseMinute - c.rise), 1) << c.place << " " << sun.riseMinute;
        EXPECT_LE(std::abs(sun.setMinute - c.set), 1) << c.place << " " << sun.setMinute;
    }
    // Where the sun does not set or rise that day there is no sunrise or sunset.
    EXPECT_FALSE(SunTimesOf(2027, 6, 21, 80.0, 139.75).valid);
    EXPECT_FALSE(SunTimesOf(2027, 12, 22, 80.0, 139.75).valid);
}

CTideExtreme At(int hour, int minute, bool high, double cm)
{
    return CTideExtreme{2027, 5, 3, hour, minute, high, cm};
}

TEST(TideCurveChartTest, RowTextListsHighsThenLows)
{
    struct CCase {
        std::vector<CTideExtreme> day;
        const char* text;
    };
    const CCase cases[] = {
        {{At(2, 42, true, 155.4), At(9, 0, false, 49), At(15, 14, true, 147),
          At(21, 6, false, 62.6)},
         "満 2:42(155) 15:14(147)  干 9:00(49) 21:06(63)"},
        {{At(0, 5, false, -3.2), At(13, 30, true, 20)}, "満 13:30(20)  干 0:05(-3)"},
        {{At(4, 0, false, 12)}, "干 4:00(12)"},
        {{}, ""},
    };
    for (const CCase& c : cases) EXPECT_EQ(TideRowText(c.day), c.text);
}

TEST(TideCurveChartTest, TheDayIsDrawnWithItsTurningPointsAndNights)
{
    const CTideCurveDay day = TideCurveDayOf(OneWaveTideStation(), 2026, 12, 22);
    ASSERT_EQ(day.heightsCm.size(), 145u);
    ASSERT_EQ(day.extremes.size(), 4u);
    EXPECT_EQ(day.title, "テスト港  12月22日  日の出 6:47  日の入 16:32");

    CRecordingChartCanvas canvas(340, 170);
    DrawTideCurve(canvas, day);
    const CTideCurveFrame frame = TideCurveFrameOf(day, 340, 170, canvas.GetFontMetrics({}));
    // Room for a marker and its label between the scale's ends and the plot's lines.
    EXPECT_EQ(frame.YOfCm(250), frame.top + frame.textHeight + 6);
    EXPECT_EQ(frame.YOfCm(50), frame.bottom - 1 - frame.textHeight - 6);

    std::vector<CRecordingChartCanvas::COperation> nights;
    std::vector<CRecordingChartCanvas::COperation> markers;
    for (const auto& op : canvas.OperationsOf(CRecordingChartCanvas::EKind::Rectangle)) {
        if (op.fill == kTideNightColor) nights.push_back(op);
        if (op.fill == kTideHighColor || op.fill == kTideLowColor) markers.push_back(op);
    }
    ASSERT_EQ(nights.size(), 2u);
    EXPECT_EQ(nights[0].points[0].x, frame.left);
    EXPECT_EQ(nights[0].points[1].x, frame.XOfMinute(day.sunriseMinute));
    EXPECT_EQ(nights[1].points[0].x, frame.XOfMinute(day.sunsetMinute));
    EXPECT_EQ(nights[1].points[1].x, frame.right);

    // Each high and low: a marker centred on its time and height, its label beside it.
    const int minutes[] = {0, 360, 720, 1080};
    const double heights[] = {250, 50, 250, 50};
    const char* labels[] = {"0:00 250cm", "6:00 50cm", "12:00 250cm", "18:00 50cm"};
    ASSERT_EQ(markers.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        const auto& m = markers[static_cast<size_t>(k)];
        EXPECT_EQ((m.points[0].x + m.points[1].x - 1) / 2, frame.XOfMinute(minutes[k])) << k;
        EXPECT_EQ((m.points[0].y + m.points[1].y - 1) / 2, frame.YOfCm(heights[k])) << k;
        EXPECT_EQ(m.fill, k % 2 == 0 ? kTideHighColor : kTideLowColor) << k;
        const auto texts = canvas.TextsEqualTo(labels[k]);
        ASSERT_EQ(texts.size(), 1u) << labels[k];
        // Above a high, below a low, and inside the plot's lines, clear of the hour labels.
        EXPECT_EQ(texts[0].points[0].y < m.points[0].y, k % 2 == 0) << labels[k];
        const int width = static_cast<int>(std::string(labels[k]).size()) * 8;
        EXPECT_GT(texts[0].points[0].y, frame.top) << labels[k];
        EXPECT_LT(texts[0].points[0].y + frame.textHeight, frame.bottom - 1) << labels[k];
        EXPECT_GT(texts[0].points[0].x, frame.left) << labels[k];
        EXPECT_LT(texts[0].points[0].x + width, frame.right - 1) << labels[k];
    }
    // The height labels stand apart from the plot's left line and the canvas's edge, and
    // between its top and bottom lines.
    int heightLabels = 0;
    for (const auto& text : canvas.OperationsOf(CRecordingChartCanvas::EKind::Text)) {
        if (text.points[0].x >= frame.left || text.points[0].y <= frame.top ||
            text.points[0].y >= frame.bottom)
            continue;
        ++heightLabels;
        const int width = static_cast<int>(text.text.size()) * 8;
        EXPECT_GE(text.points[0].x, 2) << text.text;
        EXPECT_LE(text.points[0].x + width, frame.left - 3) << text.text;
        EXPECT_GT(text.points[0].y, frame.top) << text.text;
        EXPECT_LT(text.points[0].y + frame.textHeight, frame.bottom - 1) << text.text;
    }
    EXPECT_GE(heightLabels, 3);

    // The curve: one segment per step, from 0:00 at the left to 24:00 at the right.
    std::vector<CRecordingChartCanvas::COperation> curve;
    for (const auto& op : canvas.OperationsOf(CRecordingChartCanvas::EKind::Line)) {
        if (op.pen.color == kTideCurveColor) curve.push_back(op);
    }
    ASSERT_EQ(curve.size(), 144u);
    EXPECT_EQ(curve.front().points[0], (CChartPoint{frame.left, frame.YOfCm(250)}));
    EXPECT_EQ(curve.back().points[1], (CChartPoint{frame.right - 1, frame.YOfCm(250)}));
}

TEST(TideCurveChartTest, ADayWithoutHeightsDrawsANote)
{
    CTideCurveDay day;
    day.title = "テスト港";
    CRecordingChartCanvas canvas(340, 170);
    DrawTideCurve(canvas, day);
    EXPECT_EQ(canvas.TextsEqualTo("潮汐を計算できません").size(), 1u);
    EXPECT_TRUE(canvas.OperationsOf(CRecordingChartCanvas::EKind::Line).empty());
}

}  // namespace
