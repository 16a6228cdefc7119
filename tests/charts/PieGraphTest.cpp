// The 3-D pie, checked on the recording canvas with a current font 16 high and 16 wide at most
// (label width 26, line height 22).
#include <gtest/gtest.h>

#include <memory>

#include "charts/StatChart.h"
#include "support/RecordingChartCanvas.h"

namespace {

using EKind = CRecordingChartCanvas::EKind;
using COperation = CRecordingChartCanvas::COperation;

constexpr ChartColorRef kSampleColors[] = {0x00C000, 0xFFFF8E, 0x6B8FFF, 0x9933FF, 0xFFB1C7};

// The sample of the statistics by weather, or the same frame with other values.
std::unique_ptr<CStatChart> MakePie(const std::vector<int>& values, int categories = 1)
{
    auto chart = std::make_unique<CStatChart>(kGraphPie3D);
    chart->SetTitle("3D Pie Chart");
    chart->SetDepthRatio(0.1);
    for (size_t g = 0; g < values.size(); ++g) {
        chart->AddLegendLabel(static_cast<int>(g), "game " + std::to_string(g + 1));
    }
    for (int k = 0; k < categories; ++k) {
        auto category = std::make_unique<CChartCategory>();
        category->SetLabel("day " + std::to_string(k + 1));
        for (size_t g = 0; g < values.size(); ++g)
            category->AddValue(static_cast<int>(g), values[g]);
        chart->AddCategory(std::move(category));
    }
    for (int g = 0; g < 5; ++g) chart->SetGroupColor(g, kSampleColors[g]);
    return chart;
}

std::vector<COperation> Wedges(const CRecordingChartCanvas& canvas, int boxLeft)
{
    std::vector<COperation> found;
    for (const COperation& op : canvas.OperationsOf(EKind::Pie)) {
        if (op.points[0].x == boxLeft) found.push_back(op);
    }
    return found;
}

std::vector<COperation> LabelLines(const CRecordingChartCanvas& canvas)
{
    return canvas.OperationsOf(EKind::Line);
}

}  // namespace

TEST(PieGraph, WeatherSampleGeometry)
{
    auto chart = MakePie({15, 5, 2, 0});
    CRecordingChartCanvas canvas(800, 600);
    chart->Draw(canvas);

    EXPECT_EQ(chart->GetPlotLeft(), 5);
    EXPECT_EQ(chart->GetPlotWidth(), 708);
    EXPECT_EQ(chart->GetPlotHeight(), 530);
    EXPECT_TRUE(canvas.Messages().empty());
    // The legend lists all four groups although the last one draws nothing.
    EXPECT_EQ(canvas.TextsEqualTo("game 4").size(), 1u);

    // r 150, depth 15, cy 295, x0 209: top box (209,145)-(509,445), bottom box moved by 15.
    const auto top = Wedges(canvas, 209);
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[0].points[0], (CChartPoint{209, 145}));
    EXPECT_EQ(top[0].points[1], (CChartPoint{509, 445}));
    // End angles 245, 327 and 360; group 0 starts at the left end one unit up.
    EXPECT_EQ(top[0].points[2], (CChartPoint{209, 294}));
    EXPECT_EQ(top[0].points[3], (CChartPoint{422, 159}));
    EXPECT_EQ(top[1].points[2], (CChartPoint{422, 159}));
    EXPECT_EQ(top[1].points[3], (CChartPoint{233, 213}));
    EXPECT_EQ(top[2].points[3], (CChartPoint{209, 294}));
    EXPECT_EQ(top[0].fill, 0x00C000u);
    EXPECT_EQ(top[0].pen.color, 0x00C000u);  // no visible outline
    EXPECT_EQ(top[2].fill, 0x6B8FFFu);

    const auto side = Wedges(canvas, 224);
    ASSERT_EQ(side.size(), 3u);
    EXPECT_EQ(side[0].points[0], (CChartPoint{224, 160}));
    EXPECT_EQ(side[0].points[1], (CChartPoint{524, 460}));
    EXPECT_EQ(side[0].points[2], (CChartPoint{224, 309}));
    EXPECT_EQ(side[0].points[3], (CChartPoint{437, 174}));
    // The first wedge crosses to the back half; the later ones, wholly behind, keep its darker
    // colour (0x00C000 less 35 in green).
    for (const COperation& wedge : side) EXPECT_EQ(wedge.fill, 0x009D00u);

    const auto polygons = canvas.OperationsOf(EKind::Polygon);
    ASSERT_EQ(polygons.size(), 3u);
    EXPECT_EQ(polygons[0].points,
              (std::vector<CChartPoint>{{224, 309}, {437, 174}, {422, 159}, {209, 294}}));
    EXPECT_EQ(polygons[1].points, (std::vector<CChartPoint>{{248, 228}, {233, 213}, {422, 159}}));
    // The side is drawn before the top.
    size_t firstSide = 0, firstTop = 0;
    for (size_t i = 0; i < canvas.Operations().size(); ++i) {
        const COperation& op = canvas.Operations()[i];
        if (op.kind != EKind::Pie) continue;
        if (op.points[0].x == 224 && firstSide == 0) firstSide = i;
        if (op.points[0].x == 209 && firstTop == 0) firstTop = i;
    }
    EXPECT_LT(firstSide, firstTop);

    // Labels 68%, 22%, 9% at the middle angles 130, 294 and 343.
    const auto lines = LabelLines(canvas);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].points[0], (CChartPoint{407, 352}));
    EXPECT_EQ(lines[0].points[1], (CChartPoint{530, 484}));
    EXPECT_EQ(lines[1].points[0], (CChartPoint{328, 226}));
    EXPECT_EQ(lines[1].points[1], (CChartPoint{222, 82}));
    EXPECT_EQ(lines[2].points[1], (CChartPoint{140, 176}));
    const auto p68 = canvas.TextsEqualTo("68%");
    const auto p22 = canvas.TextsEqualTo("22%");
    const auto p9 = canvas.TextsEqualTo("9%");
    ASSERT_EQ(p68.size(), 1u);
    ASSERT_EQ(p22.size(), 1u);
    ASSERT_EQ(p9.size(), 1u);
    EXPECT_EQ(p68[0].points[0], (CChartPoint{535, 484}));
    EXPECT_EQ(p22[0].points[0], (CChartPoint{196, 60}));
    EXPECT_EQ(p9[0].points[0], (CChartPoint{114, 154}));
    EXPECT_TRUE(canvas.TextsEqualTo("0%").empty());

    const auto label = canvas.TextsEqualTo("day 1");
    ASSERT_EQ(label.size(), 1u);
    EXPECT_EQ(label[0].points[0], (CChartPoint{359 - 20, 295 + 225 + 22 + 15}));
}

TEST(PieGraph, RimPointsByQuadrant)
{
    EXPECT_EQ(PiePointAtAngle(0, 100, 100, 50), (CChartPoint{50, 100}));
    EXPECT_EQ(PiePointAtAngle(90, 100, 100, 50), (CChartPoint{100, 149}));  // 49.99999...
    EXPECT_EQ(PiePointAtAngle(180, 100, 100, 50).x, 149);
    EXPECT_EQ(PiePointAtAngle(270, 100, 100, 50), (CChartPoint{100, 50}));
    EXPECT_EQ(PiePointAtAngle(360, 100, 100, 50), (CChartPoint{50, 99}));
}

TEST(PieGraph, AdjacentSmallWedgesMoveTheirLabelsApart)
{
    auto chart = MakePie({1, 1, 98});
    CRecordingChartCanvas canvas(800, 600);
    chart->Draw(canvas);
    // Middle angles 3 and 7 on the lower left: the second label would overlap the first and
    // steps one line down, leader line end included.
    const auto ones = canvas.TextsEqualTo("1%");
    ASSERT_EQ(ones.size(), 2u);
    EXPECT_EQ(ones[0].points[0], (CChartPoint{108, 377}));
    EXPECT_EQ(ones[1].points[0], (CChartPoint{109, 399}));
    const auto lines = LabelLines(canvas);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].points[1], (CChartPoint{134, 377}));
    EXPECT_EQ(lines[1].points[0], (CChartPoint{210 + 74, 313 - 9}));
    EXPECT_EQ(lines[1].points[1], (CChartPoint{135, 399}));
    const auto big = canvas.TextsEqualTo("98%");
    ASSERT_EQ(big.size(), 1u);
    EXPECT_EQ(big[0].points[0], (CChartPoint{583 + 5, 212 - 22}));
}

TEST(PieGraph, SingleWedgeIsAFullDisc)
{
    auto chart = MakePie({7});
    CRecordingChartCanvas canvas(800, 600);
    chart->Draw(canvas);
    const auto pies = canvas.OperationsOf(EKind::Pie);
    ASSERT_EQ(pies.size(), 2u);  // side and top
    for (const COperation& pie : pies) EXPECT_EQ(pie.points[2], pie.points[3]);
    EXPECT_EQ(canvas.TextsEqualTo("100%").size(), 1u);
}

TEST(PieGraph, TwoCategoriesAndEmptyOnes)
{
    auto chart = MakePie({3, 1}, 2);
    CRecordingChartCanvas canvas(800, 600);
    chart->Draw(canvas);
    // legend left 790 - (6 x 7 + 25) = 723, plotWidth 708; r = (530 / 2 - 78) / 3 = 62;
    // x0 = 5 + 177 x (2k - 1) - 62 + 15.
    EXPECT_EQ(Wedges(canvas, 5 + 177 - 62 + 15).size(), 2u);
    EXPECT_EQ(Wedges(canvas, 5 + 177 * 3 - 62 + 15).size(), 2u);
    EXPECT_EQ(canvas.TextsEqualTo("day 2").size(), 1u);

    auto empty = MakePie({0, -2});
    CRecordingChartCanvas quiet(800, 600);
    empty->Draw(quiet);
    EXPECT_TRUE(quiet.OperationsOf(EKind::Pie).empty());
    EXPECT_TRUE(quiet.OperationsOf(EKind::Line).empty());  // and no axes for a pie
    EXPECT_EQ(quiet.TextsEqualTo("day 1").size(), 1u);
}
