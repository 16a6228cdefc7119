// Bar chart model and layout, checked on the recording canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "charts/StatChart.h"
#include "support/RecordingChartCanvas.h"

namespace {

using EKind = CRecordingChartCanvas::EKind;
using COperation = CRecordingChartCanvas::COperation;

std::unique_ptr<CChartCategory> MakeCategory(const std::string& label, std::vector<int> values)
{
    auto category = std::make_unique<CChartCategory>();
    category->SetLabel(label);
    for (size_t g = 0; g < values.size(); ++g) category->AddValue(static_cast<int>(g), values[g]);
    return category;
}

// A chart built like the monthly statistics: twelve months, one group.
std::unique_ptr<CStatChart> MakeMonthlyChart(const std::vector<int>& counts, int max, int step)
{
    auto chart = std::make_unique<CStatChart>(kGraphBar);
    chart->SetTitle("月別釣果データ");
    chart->SetCategoryLabelAngle(0);
    chart->SetCategoryAxisTitle("月");
    chart->SetValueAxisTitle("スコア");
    chart->SetValueRange(0, max, step);
    for (int month = 1; month <= 12; ++month) {
        chart->AddCategory(
            MakeCategory(std::to_string(month), {counts[static_cast<size_t>(month - 1)]}));
    }
    chart->SetGroupColor(0, 0xFF3232);
    return chart;
}

std::vector<COperation> FilledWith(const CRecordingChartCanvas& canvas, ChartColorRef fill)
{
    std::vector<COperation> found;
    for (const COperation& op : canvas.OperationsOf(EKind::Rectangle)) {
        if (op.fill == fill) found.push_back(op);
    }
    return found;
}

}  // namespace

TEST(StatChartModel, ValueRangeCountsIntervalsRoundingUp)
{
    CStatChart chart(kGraphBar);
    EXPECT_EQ(chart.GetMinValue(), 0);
    EXPECT_EQ(chart.GetMaxValue(), 100);
    EXPECT_EQ(chart.GetStep(), 10);
    EXPECT_EQ(chart.GetTickCount(), 10);

    chart.SetValueRange(0, 5, 2);
    EXPECT_EQ(chart.GetTickCount(), 3);
    chart.SetValueRange(0, 4, 2);
    EXPECT_EQ(chart.GetTickCount(), 2);
    chart.SetValueRange(0, 2, 1);
    EXPECT_EQ(chart.GetTickCount(), 2);
    chart.SetValueRange(0, 7, 3);
    EXPECT_EQ(chart.GetTickCount(), 3);
    // A step of 0 cannot divide the range; it is taken as 1.
    chart.SetValueRange(0, 4, 0);
    EXPECT_EQ(chart.GetStep(), 1);
    EXPECT_EQ(chart.GetTickCount(), 4);
}

TEST(StatChartModel, CategoriesGroupsColoursAndLegend)
{
    CChartCategory sparse;
    sparse.AddValue(0, 4);
    sparse.AddValue(2, 9);
    sparse.AddValue(2, 11);  // only the first value of a group counts
    EXPECT_EQ(sparse.GetValue(1), 0);
    EXPECT_EQ(sparse.GetValue(2), 9);
    EXPECT_EQ(sparse.GetValueCount(), 3);

    CStatChart chart(kGraphBar);
    auto category = MakeCategory("a", {1, 2});
    CChartCategory* kept = category.get();
    chart.AddCategory(std::move(category));
    EXPECT_EQ(chart.GetGroupCount(), 2);
    kept->AddValue(2, 3);  // after hand-over: the group count stays
    EXPECT_EQ(chart.GetGroupCount(), 2);
    chart.AddCategory(MakeCategory("b", {1}));
    EXPECT_EQ(chart.GetGroupCount(), 2);

    chart.SetGroupColor(5, 0x0000FF);
    chart.SetGroupColor(6, 0x00FF00);
    chart.SetGroupColor(7, 0xFF0000);
    EXPECT_EQ(chart.GetGroupColor(0), 0x0000FFu);
    EXPECT_EQ(chart.GetGroupColor(2), 0xFF0000u);
    EXPECT_EQ(chart.GetGroupColor(3), kChartBlack);

    EXPECT_FALSE(chart.IsLegendShown());
    chart.AddLegendLabel(0, "game 1");
    chart.AddLegendLabel(1, "釣果");  // two Japanese characters measure 4
    EXPECT_TRUE(chart.IsLegendShown());
    EXPECT_EQ(chart.GetMaxLegendLabelLength(), 6);
    EXPECT_EQ(chart.GetLegend().GetLabel(1), "釣果");
    EXPECT_EQ(chart.GetLegend().GetLabel(2), "");

    CStatChart typeThree(3);
    typeThree.AddLegendLabel(0, "ignored");
    EXPECT_FALSE(typeThree.IsLegendShown());
    EXPECT_EQ(typeThree.GetLegend().GetLabelCount(), 0);
    EXPECT_EQ(typeThree.GetMaxLegendLabelLength(), 0);

    chart.SetCategoryAxisTitle("月");
    chart.SetValueAxisTitle("スコア");
    EXPECT_EQ(chart.GetCategoryAxisTitleLength(), 2);
    EXPECT_EQ(chart.GetValueAxisTitleLength(), 6);
}

TEST(StatChartLayout, MonthlyChartIn800x600)
{
    auto chart = MakeMonthlyChart({1, 2, 3, 4, 5, 0, 0, 0, 0, 0, 0, 5}, 5, 2);
    CRecordingChartCanvas canvas(800, 600);
    chart->Draw(canvas);

    EXPECT_EQ(chart->GetDrawWidth(), 795);
    EXPECT_EQ(chart->GetDrawHeight(), 580);
    EXPECT_EQ(chart->GetPlotLeft(), 56);
    EXPECT_EQ(chart->GetPlotBottom(), 530);
    EXPECT_EQ(chart->GetPlotHeight(), 490);
    EXPECT_EQ(chart->GetPlotWidth(), 734);
    EXPECT_EQ(chart->GetQuadrantMode(), 1);

    // The white background with its frame comes first.
    ASSERT_FALSE(canvas.Operations().empty());
    const COperation& background = canvas.Operations().front();
    EXPECT_EQ(background.kind, EKind::Rectangle);
    EXPECT_EQ(background.points[0], (CChartPoint{0, 0}));
    EXPECT_EQ(background.points[1], (CChartPoint{800, 600}));
    EXPECT_EQ(background.fill, kChartWhite);

    // Axes in the width-2 pen from the origin.
    std::vector<COperation> axes;
    for (const COperation& op : canvas.OperationsOf(EKind::Line)) {
        if (op.pen.width == 2) axes.push_back(op);
    }
    ASSERT_EQ(axes.size(), 2u);
    EXPECT_EQ(axes[0].points[0], (CChartPoint{56, 530}));
    EXPECT_EQ(axes[0].points[1], (CChartPoint{56, 40}));
    EXPECT_EQ(axes[1].points[1], (CChartPoint{790, 530}));

    // Bars: slot 61, width 36, the first centred on 87.
    const auto bars = FilledWith(canvas, 0xFF3232);
    ASSERT_EQ(bars.size(), 12u);
    EXPECT_EQ(bars[0].points[0].x, 69);
    EXPECT_EQ(bars[0].points[1].x, 105);
    EXPECT_EQ(bars[1].points[0].x, 69 + 61);
    EXPECT_EQ(bars[11].points[1].x, 105 + 11 * 61);
    // Value 1 of a 0..5 range: trunc(1 x 480 / 5) = 96 high.
    EXPECT_EQ(bars[0].points[0].y, 530 - 96);
    EXPECT_EQ(bars[0].points[1].y, 530);
    // Value 5 reaches the tick of the top label, 480 high.
    EXPECT_EQ(bars[4].points[0].y, 50);

    // Category ticks and labels in the middle of each slot.
    const auto one = canvas.TextsEqualTo("1");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].points[0], (CChartPoint{87 - 4, 538}));
    const auto twelve = canvas.TextsEqualTo("12");
    ASSERT_EQ(twelve.size(), 1u);
    EXPECT_EQ(twelve[0].points[0], (CChartPoint{56 + 61 * 12 - 30 - 8, 538}));
    EXPECT_EQ(twelve[0].font.face, "Arial");
    EXPECT_EQ(twelve[0].font.weight, 700);
}

TEST(StatChartLayout, ValueTicksStepAndStandLevelWithBars)
{
    auto chart = MakeMonthlyChart({5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 5, 2);
    CRecordingChartCanvas canvas(800, 600);
    chart->Draw(canvas);

    std::vector<int> tickYs;
    for (const COperation& op : canvas.OperationsOf(EKind::Line)) {
        if (op.pen.width == 1 && op.points[0].y == op.points[1].y) {
            EXPECT_EQ(op.points[0].x, 53);
            EXPECT_EQ(op.points[1].x, 59);
            tickYs.push_back(op.points[0].y);
        }
    }
    EXPECT_EQ(tickYs, (std::vector<int>{370, 210, 50}));
    const auto six = canvas.TextsEqualTo("6");  // the tick label, then the month
    ASSERT_EQ(six.size(), 2u);
    EXPECT_EQ(six[0].points[0], (CChartPoint{56 - 6 - 10, 44}));
    EXPECT_TRUE(canvas.TextsEqualTo("0").empty());   // the origin is not labelled
    EXPECT_EQ(canvas.TextsEqualTo("2").size(), 2u);  // tick label and the month
    const auto bars = FilledWith(canvas, 0xFF3232);
    ASSERT_EQ(bars.size(), 12u);
    EXPECT_EQ(bars[0].points[0].y, 50);
}

TEST(StatChartLayout, BarsClampAndTinyValues)
{
    CStatChart chart(kGraphBar);
    chart.SetValueRange(0, 1000, 100);
    chart.AddCategory(MakeCategory("a", {1, 5000, 0}));
    chart.SetGroupColor(0, 0x000011);
    chart.SetGroupColor(1, 0x000022);
    chart.SetGroupColor(2, 0x000033);
    CRecordingChartCanvas canvas(800, 600);
    chart.Draw(canvas);
    // plotLeft = 6 x 4 + 50 = 74; plotHeight 490; scale 0.48, so a value of 1 is trunc(0.48) = 0
    // high.
    const auto tiny = FilledWith(canvas, 0x000011);
    ASSERT_EQ(tiny.size(), 1u);
    EXPECT_EQ(tiny[0].points[0].y, 530);
    const auto huge = FilledWith(canvas, 0x000022);
    ASSERT_EQ(huge.size(), 1u);
    EXPECT_EQ(huge[0].points[0].y, 530 - 490);  // cut to the plot height
    const auto zero = FilledWith(canvas, 0x000033);
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_EQ(zero[0].points[0].y, 530);
    // Three groups share 60% of the 716-unit slot: trunc(716 x 0.6 / 3) = 143 each, touching,
    // centred on the slot's middle 74 + 716 - 358 = 432.
    EXPECT_EQ(tiny[0].points[1].x - tiny[0].points[0].x, 143);
    EXPECT_EQ(tiny[0].points[0].x, 432 - 214);
    EXPECT_EQ(huge[0].points[0].x, tiny[0].points[1].x);
}

TEST(StatChartLayout, TitleSizeSearch)
{
    CStatChart chart(kGraphBar);
    chart.SetTitle(std::string(70, 'T'));
    CRecordingChartCanvas canvas(500, 300);
    chart.Draw(canvas);
    const auto title = canvas.TextsEqualTo(std::string(70, 'T'));
    ASSERT_EQ(title.size(), 1u);
    EXPECT_EQ(title[0].font.height, 14);  // 70 x 7 = 490 fits 495; 70 x 8 does not
    EXPECT_EQ(title[0].font.face, "ＭＳ ゴシック");
    EXPECT_EQ(title[0].points[0], (CChartPoint{250 - 35 * 7, 10}));

    CStatChart shortTitle(kGraphBar);
    shortTitle.SetTitle("月別釣果データ");
    CRecordingChartCanvas wide(800, 600);
    shortTitle.Draw(wide);
    const auto drawn = wide.TextsEqualTo("月別釣果データ");
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].font.height, 24);
    EXPECT_EQ(drawn[0].points[0].x, 400 - 7 * 12);
}

TEST(StatChartLayout, DegenerateWindowsEndTheSizeSearch)
{
    CStatChart chart(kGraphBar);  // empty title and axis titles
    CRecordingChartCanvas canvas(0, 0);
    chart.Draw(canvas);  // must return
    EXPECT_EQ(chart.GetDrawWidth(), -5);
    CStatChart titled(kGraphBar);
    titled.SetTitle("長いタイトル");
    CRecordingChartCanvas tiny(3, 3);
    titled.Draw(tiny);
    const auto title = tiny.TextsEqualTo("長いタイトル");
    ASSERT_EQ(title.size(), 1u);
    EXPECT_EQ(title[0].font.height, 0);
}

TEST(StatChartLayout, AxisTitlesCentredOnTheirAxes)
{
    auto chart = MakeMonthlyChart(std::vector<int>(12, 0), 2, 1);
    CRecordingChartCanvas canvas(800, 600);
    chart->Draw(canvas);
    const auto score = canvas.TextsEqualTo("スコア");
    ASSERT_EQ(score.size(), 1u);
    EXPECT_EQ(score[0].font.angle, 90);
    EXPECT_EQ(score[0].font.height, 16);
    // y = plotBottom + (6 x 8) / 2 - plotHeight / 2
    EXPECT_EQ(score[0].points[0], (CChartPoint{10, 530 + 24 - 245}));
    const auto month = canvas.TextsEqualTo("月");
    ASSERT_EQ(month.size(), 1u);
    EXPECT_EQ(month[0].font.angle, 0);
    EXPECT_EQ(month[0].points[0], (CChartPoint{734 / 2 + 56 - 8, 569}));
}

TEST(StatChartLayout, LegendBoxNarrowsThePlot)
{
    CStatChart chart(kGraphBar);
    for (int g = 0; g < 4; ++g) chart.AddLegendLabel(g, "game " + std::to_string(g + 1));
    chart.AddCategory(MakeCategory("a", {1, 2, 3, 4}));
    chart.SetGroupColor(0, 0x0000AA);
    CRecordingChartCanvas canvas(800, 600);
    chart.Draw(canvas);

    // Box 98 high and 67 wide against the right edge, centred vertically.
    std::vector<COperation> whites = FilledWith(canvas, kChartWhite);
    ASSERT_EQ(whites.size(), 2u);
    EXPECT_EQ(whites[1].points[0], (CChartPoint{723, 241}));
    EXPECT_EQ(whites[1].points[1], (CChartPoint{790, 339}));
    EXPECT_EQ(chart.GetLegendInnerWidth(), 67);
    EXPECT_EQ(chart.GetPlotWidth(), 723 - 68 - 10);  // plotLeft 6 x 3 + 50 for "100"

    const auto caption = canvas.TextsEqualTo("Legend");
    ASSERT_EQ(caption.size(), 1u);
    EXPECT_EQ(caption[0].font.height, 16);
    EXPECT_EQ(caption[0].points[0], (CChartPoint{723 + 33 - 3 * 8, 244}));

    const auto rowFour = canvas.TextsEqualTo("game 4");
    ASSERT_EQ(rowFour.size(), 1u);
    EXPECT_EQ(rowFour[0].points[0], (CChartPoint{728, 241 + 25 + 54}));
    // Swatches from left + 46 to right - 5, 12 high; the first in the first colour, the rest black.
    const auto swatch = FilledWith(canvas, 0x0000AA);
    ASSERT_GE(swatch.size(), 1u);
    EXPECT_EQ(swatch[0].points[0], (CChartPoint{769, 266}));
    EXPECT_EQ(swatch[0].points[1], (CChartPoint{785, 278}));
    const auto black = FilledWith(canvas, kChartBlack);
    EXPECT_EQ(black.size(), 3u + 3u);  // three swatches and three bars without a colour
}

TEST(StatChartLayout, UnknownTypeReportsAndDrawsNoAxes)
{
    CStatChart chart(7);
    chart.SetTitle("x");
    chart.AddLegendLabel(0, "a");
    chart.AddCategory(MakeCategory("c", {3}));
    CRecordingChartCanvas canvas(400, 300);
    chart.Draw(canvas);
    EXPECT_EQ(canvas.Messages(), (std::vector<std::string>{"No graph type to display"}));
    EXPECT_TRUE(canvas.OperationsOf(EKind::Line).empty());
    EXPECT_EQ(canvas.TextsEqualTo("x").size(), 1u);
    EXPECT_EQ(canvas.TextsEqualTo("Legend").size(), 1u);

    CStatChart known(kGraphBar);
    CRecordingChartCanvas quiet(400, 300);
    known.Draw(quiet);
    EXPECT_TRUE(quiet.Messages().empty());
}

TEST(StatChartLayout, EmptyChartDrawsAxesOnly)
{
    CStatChart chart(kGraphBar);
    CRecordingChartCanvas canvas(800, 600);
    chart.Draw(canvas);
    // Two axes and ten value ticks; no category ticks and no bars.
    EXPECT_EQ(canvas.OperationsOf(EKind::Line).size(), 12u);
    EXPECT_EQ(canvas.OperationsOf(EKind::Rectangle).size(), 1u);
    EXPECT_EQ(canvas.TextsEqualTo("100").size(), 1u);
}

TEST(StatChartLayout, NegativeValuesMoveTheOrigin)
{
    CStatChart chart(kGraphBar);
    chart.AddCategory(MakeCategory("a", {-4}));
    CRecordingChartCanvas canvas(800, 600);
    chart.Draw(canvas);
    EXPECT_EQ(chart.GetQuadrantMode(), 3);
    // plotLeft 6 x 3 + 50 = 68, plotHeight 490: the category axis runs through the middle.
    EXPECT_EQ(chart.GetPlotBottom(), 530 - 245);
    const auto lines = canvas.OperationsOf(EKind::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points[0], (CChartPoint{68, 285 + 245}));
    EXPECT_EQ(lines[0].points[1], (CChartPoint{68, 285 - 245}));

    CStatChart both(kGraphBar);
    auto category = std::make_unique<CChartCategory>();
    category->AddValue(-1, -2);
    both.AddCategory(std::move(category));
    CRecordingChartCanvas other(800, 600);
    both.Draw(other);
    EXPECT_EQ(both.GetQuadrantMode(), 4);
}

TEST(StatChartLayout, DecimalValuesLabelTheirTicksWithDecimals)
{
    const struct {
        int decimals;
        int max;
        int step;
        std::vector<std::string> ticks;  // bottom to top
    } cases[] = {
        {0, 30, 10, {"10", "20", "30"}},
        {1, 30, 10, {"1.0", "2.0", "3.0"}},
        {1, 5, 2, {"0.2", "0.4", "0.6"}},
        {2, 250, 125, {"1.25", "2.50"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.decimals * 1000 + c.max);
        auto chart = MakeMonthlyChart(std::vector<int>(12, 1), c.max, c.step);
        chart->SetValueDecimals(c.decimals);
        CRecordingChartCanvas canvas(800, 600);
        chart->Draw(canvas);
        std::vector<std::pair<int, std::string>> labels;  // y, text of the value labels
        for (const COperation& op : canvas.OperationsOf(EKind::Text)) {
            if (op.points[0].x < chart->GetPlotLeft() && op.font.angle == 0)
                labels.emplace_back(-op.points[0].y, op.text);
        }
        std::sort(labels.begin(), labels.end());
        std::vector<std::string> texts;
        for (const auto& label : labels) texts.push_back(label.second);
        EXPECT_EQ(texts, c.ticks);
    }
}

TEST(StatChartLayout, NotesStandAboveTheirBarsWhenTheyFitTheSlot)
{
    const struct {
        int width;  // of the window; twelve slots share it
        std::string note;
        size_t lines;  // drawn; 0 when the note is too wide for its slot
    } cases[] = {
        {800, "12", 1},                      // a slot of 61 units
        {800, "2.5\n5匹/2日", 2},            // lines, each centred
        {800, "とても長い注記の文字列", 0},  // 22 units x 6 > 61
        {300, "5匹/2日", 0},                 // a slot of 19 units
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note + " " + std::to_string(c.width));
        auto chart = std::make_unique<CStatChart>(kGraphBar);
        chart->SetValueRange(0, 10, 5);
        for (int month = 1; month <= 12; ++month) {
            auto category = MakeCategory(std::to_string(month), {month == 3 ? 5 : 1});
            if (month == 3) category->SetNote(c.note);
            chart->AddCategory(std::move(category));
        }
        chart->SetGroupColor(0, 0xFF3232);
        CRecordingChartCanvas canvas(c.width, 400);
        chart->Draw(canvas);
        const COperation bar = FilledWith(canvas, 0xFF3232)[2];
        const int centre = (bar.points[0].x + bar.points[1].x) / 2;
        std::vector<COperation> drawn;
        for (const COperation& op : canvas.OperationsOf(EKind::Text)) {
            if (op.font.height == 12 && op.font.weight == 400) drawn.push_back(op);
        }
        ASSERT_EQ(drawn.size(), c.lines);
        for (size_t n = 0; n < drawn.size(); ++n) {
            const COperation& line = drawn[n];
            // Above the bar's top, one line under the other, centred on the bar.
            EXPECT_LE(line.points[0].y + 12, bar.points[0].y);
            if (n > 0) {
                EXPECT_EQ(line.points[0].y, drawn[n - 1].points[0].y + 13);
            }
            // Half a size wide per ASCII character, a whole size per Japanese one.
            int width = 0;
            for (unsigned char ch : line.text) {
                if (ch < 0x80) width += 6;
                if (ch >= 0xC0) width += 12;
            }
            EXPECT_EQ(line.points[0].x, centre - width / 2) << line.text;
        }
    }
}

TEST(StatChartLayout, CrowdedLabelsAreThinnedOutAndTheLastAlwaysShows)
{
    // Twenty-five categories "0" … "23" and "不明" (estimated 8 units a byte).
    const struct {
        int width;
        bool thin;
        std::vector<std::string> shown;
        std::vector<std::string> hidden;
    } cases[] = {
        // Slot 29: "23" and "不明" are 16 and 32 wide; every label fits.
        {800, true, {}, {}},
        // Slot 20: every label but "23", which would touch "不明".
        {566, true, {"0", "1", "21", "22", "不明"}, {"23"}},
        // Slot 14: every second label ("10" is 16 wide); "22" two slots before "不明" still fits.
        {420, true, {"0", "2", "10", "20", "22", "不明"}, {"1", "21", "23"}},
        // Without thinning every label is drawn, however crowded.
        {420, false, {"0", "1", "21", "22", "23", "不明"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        CStatChart chart(kGraphBar);
        chart.SetValueRange(0, 4, 2);
        chart.SetThinCrowdedLabels(c.thin);
        for (int hour = 0; hour < 24; ++hour)
            chart.AddCategory(MakeCategory(std::to_string(hour), {1}));
        chart.AddCategory(MakeCategory("不明", {1}));
        CRecordingChartCanvas canvas(c.width, 400);
        chart.Draw(canvas);
        std::vector<std::string> labels;
        for (const COperation& op : canvas.OperationsOf(EKind::Text)) {
            if (op.points[0].y > chart.GetPlotBottom() && op.font.face == "Arial")
                labels.push_back(op.text);
        }
        ASSERT_FALSE(labels.empty());
        EXPECT_EQ(labels.back(), "不明");
        // Ticks for every category, labelled or not.
        int ticks = 0;
        for (const COperation& op : canvas.OperationsOf(EKind::Line))
            ticks +=
                op.points[0].x == op.points[1].x && op.points[0].y == chart.GetPlotBottom() - 3;
        EXPECT_EQ(ticks, 25);
        if (c.shown.empty()) {
            EXPECT_EQ(labels.size(), 25u);
            continue;
        }
        for (const std::string& label : c.shown)
            EXPECT_NE(std::find(labels.begin(), labels.end(), label), labels.end()) << label;
        for (const std::string& hidden : c.hidden)
            EXPECT_EQ(std::count(labels.begin(), labels.end(), hidden), 0) << hidden;
    }
}
