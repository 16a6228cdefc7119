// The chart view shown offscreen: filling the fields, drawing the chart it was handed.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "charts/widgets/DataView.h"
#include "charts/widgets/PainterChartCanvas.h"
#include "support/TempProgramDir.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/WidgetLookup.h"

namespace {

const char* const kCatchFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog>"
    "<FishData><date>2003/12/30</date><report><fish><name>メジナ</name></fish></report></FishData>"
    "<FishData><date>2004/01/02</date><report><fish><name>アジ</name></fish>"
    "<fish><name>メジナ</name></fish></report></FishData>"
    "<FishData><date>2003/08/01</date><report/></FishData>"
    "</CatchLog>";

std::unique_ptr<CStatChart> MonthlyChart()
{
    auto chart = std::make_unique<CStatChart>(kGraphBar);
    chart->SetTitle("月別釣果データ");
    chart->SetCategoryAxisTitle("月");
    chart->SetValueAxisTitle("スコア");
    chart->SetValueRange(0, 5, 2);
    const int counts[12] = {1, 0, 2, 3, 5, 4, 0, 0, 1, 2, 0, 0};
    for (int month = 1; month <= 12; ++month) {
        auto category = std::make_unique<CChartCategory>();
        category->SetLabel(std::to_string(month));
        category->AddValue(0, counts[month - 1]);
        chart->AddCategory(std::move(category));
    }
    chart->SetGroupColor(0, 0xFF3232);
    return chart;
}

std::unique_ptr<CStatChart> PieChart()
{
    auto chart = std::make_unique<CStatChart>(kGraphPie3D);
    chart->SetTitle("3D Pie Chart");
    chart->SetDepthRatio(0.1);
    for (int g = 0; g < 4; ++g) chart->AddLegendLabel(g, "game " + std::to_string(g + 1));
    auto category = std::make_unique<CChartCategory>();
    category->SetLabel("day 1");
    for (int value : {15, 5, 2, 0}) category->AddValue(category->GetValueCount(), value);
    chart->AddCategory(std::move(category));
    for (ChartColorRef color : {0x00C000u, 0xFFFF8Eu, 0x6B8FFFu, 0x9933FFu, 0xFFB1C7u}) {
        chart->SetGroupColor(chart->GetColorCount(), color);
    }
    return chart;
}

QImage Shot(QWidget& widget, const char* name)
{
    const QImage image = widget.grab().toImage();
    SaveShotIfAsked(image, QString::fromLatin1(name));
    return image;
}

// Colour of a 0x00BBGGRR value as the screen shows it.
QRgb Rgb(ChartColorRef color)
{
    return qRgb(ChartRed(color), ChartGreen(color), ChartBlue(color));
}

}  // namespace

TEST(DataView, InitialUpdateStartsWithNoChart)
{
    CDataView view;
    view.SetChart(MonthlyChart());
    view.SetShowChart(true);
    view.OnInitialUpdate();
    EXPECT_FALSE(view.IsChartShown());
}

TEST(DataView, DrawsTheMonthlyChartLaidOutForItsSize)
{
    CTempProgramDir dir;
    CDataView view;
    view.resize(800, 600);
    const QImage blank = Shot(view, "empty-view");
    EXPECT_EQ(blank.pixel(400, 300), qRgb(255, 255, 255));

    view.SetChart(MonthlyChart());
    view.SetShowChart(true);
    const QImage image = Shot(view, "monthly-800x600");
    ASSERT_EQ(image.size(), QSize(800, 600));
    // May (value 5) fills from the axis to the top tick: slot 5 spans 56 + 4 x 61 .. + 61.
    const int mayCentre = 56 + 61 * 5 - 30;
    EXPECT_EQ(image.pixel(mayCentre, 300), Rgb(0xFF3232));
    EXPECT_EQ(image.pixel(mayCentre, 55), Rgb(0xFF3232));
    EXPECT_EQ(image.pixel(mayCentre, 45), qRgb(255, 255, 255));
    // February (0) has no bar; the frame's border is black.
    EXPECT_EQ(image.pixel(56 + 61 * 2 - 30, 500), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, 300), qRgb(0, 0, 0));

    // Laid out again for another size.
    view.resize(400, 300);
    const QImage small = Shot(view, "monthly-400x300");
    EXPECT_EQ(small.size(), QSize(400, 300));
    EXPECT_EQ(view.GetChart()->GetPlotWidth(), 395 - 56 - 5);

    view.SetShowChart(false);
    EXPECT_EQ(view.grab().toImage().pixel(mayCentre / 2, 200), qRgb(255, 255, 255));
}

TEST(DataView, DrawsThePieSample)
{
    CTempProgramDir dir;
    CDataView view;
    view.resize(800, 600);
    view.SetChart(PieChart());
    view.SetShowChart(true);
    const QImage image = Shot(view, "pie-800x600");
    const CStatChart& chart = *view.GetChart();
    EXPECT_EQ(chart.GetPlotHeight(), 530);
    // The largest wedge (68%, green) covers the lower right of the top disc's centre area, and
    // the side below the disc is a darker shade.
    const int cx = chart.GetPlotLeft() + chart.GetPlotWidth() / 2;
    EXPECT_EQ(image.pixel(cx + 20, 295 + 60), Rgb(0x00C000));
    int darker = 0;
    for (int y = 295; y < 600; ++y) {
        if (image.pixel(cx, y) == Rgb(0x009D00)) ++darker;
    }
    EXPECT_GT(darker, 5);
}

TEST(DataView, UnknownTypeSaysSoOncePerChart)
{
    CTempProgramDir dir;
    CMessageBoxRecorder recorder;
    CDataView view;
    view.resize(300, 200);
    view.show();
    view.SetChart(std::make_unique<CStatChart>(99));
    view.SetShowChart(true);
    EXPECT_EVENTUALLY(recorder.Texts().size() == 1);
    EXPECT_EQ(recorder.Texts().front(), QStringLiteral("No graph type to display"));
    view.repaint();
    view.repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.Texts().size(), 1);
}

TEST(PainterChartCanvas, RectanglesCoverTheirUnitsAndFontsMeasure)
{
    QImage image(50, 50, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        CPainterChartCanvas canvas(painter, image.size(), QFont(QStringLiteral("Arial"), 9));
        canvas.Rectangle(10, 10, 20, 30, CChartPen{0x0000FF, 1}, 0x00FF00);
        const CChartFontMetrics metrics = canvas.GetFontMetrics(CChartFont{"Arial", 16, 700, 0, 0});
        EXPECT_GT(metrics.height, 10);
        EXPECT_GT(metrics.maxCharWidth, metrics.aveCharWidth);
    }
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 0, 0));  // outline at left, top
    EXPECT_EQ(image.pixel(19, 29), qRgb(255, 0, 0));  // and at right - 1, bottom - 1
    EXPECT_EQ(image.pixel(20, 20), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(15, 20), qRgb(0, 255, 0));
}
