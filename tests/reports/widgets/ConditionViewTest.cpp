// The 条件別 view of the statistics page, offscreen, on a small log of known days: six charts
// with the log's counts, 「不明」 bars, catches per day for the tide names, the species field,
// the hint without a home port, and the grid laid out for the window's size.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <map>
#include <set>

#include "calendar/MoonPhase.h"
#include "charts/widgets/DataView.h"
#include "data/CatchStore.h"
#include "reports/ReportTrips.h"
#include "reports/widgets/ConditionView.h"
#include "reports/widgets/DataViewFrame.h"
#include "support/TempProgramDir.h"
#include "support/TideTestStations.h"
#include "support/widgets/WidgetLookup.h"
#include "tides/TidePortChoices.h"
#include "tides/TideStations.h"
#include "uikit/QtText.h"

namespace {

constexpr const char* kTokyo = "tokyo-ma15-jpn-jodc_jma";

const CTideStations& Stations()
{
    return ShippedTestStations();
}

// The first days of 2024's spring and summer whose tide name is name, as "2024/m/d".
std::vector<std::string> DaysOf(const std::string& name, size_t count)
{
    std::vector<std::string> days;
    for (int month = 4; month <= 9 && days.size() < count; ++month) {
        for (int day = 1; day <= 28 && days.size() < count; ++day) {
            if (MoonDayOf(2024, month, day).tideName == name)
                days.push_back("2024/" + std::to_string(month) + "/" + std::to_string(day));
        }
    }
    return days;
}

CTripRecord Trip(const std::string& date, std::vector<CCatchRecord> catches,
                 const std::string& water)
{
    CTripRecord trip = ReportTrip(date, std::move(catches), {}, "東京湾");
    trip.water = water;
    return trip;
}

// label -> (bar value, note) of a chart.
std::map<std::string, std::pair<int, std::string>> Bars(const CStatChart* chart)
{
    std::map<std::string, std::pair<int, std::string>> bars;
    if (chart == nullptr) return bars;
    for (const auto& category : chart->GetCategories())
        bars[category->GetLabel()] = {category->GetValue(0), category->GetNote()};
    return bars;
}

int Total(const CStatChart* chart)
{
    int total = 0;
    for (const auto& [label, bar] : Bars(chart)) total += bar.first;
    return total;
}

class ConditionViewTest : public ::testing::Test {
protected:
    // Two 大潮 days (one メジナ at noon and one before dawn; three アジ at noon) and a 小潮 day
    // (one メジナ with no time, no water temperature); a trip of 2023 that must not count.
    void SetUp() override
    {
        const std::vector<std::string> spring = DaysOf("大潮", 2);
        const std::vector<std::string> neap = DaysOf("小潮", 1);
        ASSERT_EQ(spring.size(), 2u);
        ASSERT_EQ(neap.size(), 1u);
        const std::vector<CTripRecord> trips = {
            Trip(spring[0], {{"メジナ", "30", "1", "12時0分"}, {"メジナ", "31", "1", "3時0分"}},
                 "17"),
            Trip(spring[1],
                 {{"アジ", "20", "0.1", "12時10分"},
                  {"アジ", "21", "0.1", "12時20分"},
                  {"アジ", "22", "0.1", "12時30分"}},
                 "17"),
            Trip(neap[0], {{"メジナ", "35", "1", ""}}, ""),
            Trip("2023/5/5", {{"メジナ", "40", "2", "12時0分"}}, "17"),
        };
        ASSERT_TRUE(m_store.AddTrips(trips).ok());
    }
    void Open(bool homePort, QSize size = QSize(800, 600), const CTideStations* stations = nullptr)
    {
        if (homePort) m_dir.WriteFile(kTidePortsFileName, "home\t" + std::string(kTokyo) + "\n");
        m_frame = std::make_unique<CDataViewFrame>(m_store, m_dir.Folder());
        m_frame->SetTideStations(stations != nullptr ? stations : &Stations());
        m_frame->resize(size);
        m_frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
    }
    CConditionView* Show(const QString& species)
    {
        m_frame->GetYearCombo()->setEditText(QStringLiteral("2024"));
        m_frame->GetSpeciesCombo()->setEditText(species);
        QTest::mouseClick(FindControl<QPushButton>(m_frame.get(), 1021), Qt::LeftButton);
        return m_frame->GetConditionView();
    }

    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
    std::unique_ptr<CDataViewFrame> m_frame;
};

}  // namespace

TEST_F(ConditionViewTest, SixChartsCountTheYearOfTheChosenSpecies)
{
    Open(true);
    const struct {
        QString species;
        int catches;
        std::string tideNames;  // 大潮 and 小潮: bars (catches a day, tenths) and notes
        std::map<std::string, int> hours;
    } cases[] = {
        // 大潮: 5 catches over 2 days fished, 2.5 a day; 小潮 1 over 1.
        {QString(), 6, "25 2.5\n5匹/2日 10 1.0\n1匹/1日", {{"12", 4}, {"3", 1}, {"不明", 1}}},
        // Days fished stay the days of every trip, whatever the species: a fair rate.
        {QStringLiteral("メジナ"),
         3,
         "10 1.0\n2匹/2日 10 1.0\n1匹/1日",
         {{"12", 1}, {"3", 1}, {"不明", 1}}},
        {QStringLiteral("アジ"), 3, "15 1.5\n3匹/2日 0 ", {{"12", 3}, {"3", 0}, {"不明", 0}}},
        {QStringLiteral("タイ"), 0, "0  0 ", {{"12", 0}, {"3", 0}, {"不明", 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StdFromQString(c.species));
        CConditionView* view = Show(c.species);
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->Caption()->text().contains(c.species.isEmpty() ? QStringLiteral("全魚種")
                                                                         : c.species));
        for (int n = 0; n < kConditionCount; ++n) {
            const auto condition = static_cast<ECondition>(n);
            ASSERT_NE(view->Chart(condition), nullptr) << n;
            // A species never caught leaves a chart of the values seen empty, without a
            // meaningless 「不明 0」.
            EXPECT_TRUE(!view->Chart(condition)->GetCategories().empty() || c.catches == 0) << n;
            EXPECT_TRUE(view->ChartView(condition)->isVisibleTo(m_frame.get())) << n;
        }
        // Every catch is a bar of each catch-counted condition, 「不明」 ones too, where there
        // are any; the hours keep their axis 0 to 23 and name the unknown ones in the title.
        const int unknown = c.hours.at("不明");
        for (ECondition condition :
             {ECondition::TideStage, ECondition::TimeOfDay, ECondition::WaterTemp}) {
            EXPECT_EQ(Total(view->Chart(condition)), c.catches) << ConditionName(condition);
            const auto& bars = view->Chart(condition)->GetCategories();
            EXPECT_EQ(!bars.empty() && bars.back()->GetLabel() == "不明", unknown > 0);
        }
        EXPECT_EQ(Total(view->Chart(ECondition::Hour)), c.catches - unknown);
        EXPECT_EQ(view->Chart(ECondition::Hour)->GetCategories().back()->GetLabel(), "23");
        EXPECT_EQ(view->Chart(ECondition::Hour)->GetTitle().find("時刻不明") != std::string::npos,
                  unknown > 0);
        const auto hours = Bars(view->Chart(ECondition::Hour));
        for (const auto& [hour, count] : c.hours) {
            if (hour != "不明") {
                EXPECT_EQ(hours.at(hour).first, count) << hour;
            }
        }
        // The noon catches are in daylight wherever the port is in Japan.
        EXPECT_EQ(Bars(view->Chart(ECondition::TimeOfDay)).at("日中").first, c.hours.at("12"));
        // Only the catch without a time has no stage; only the trip without one no temperature.
        EXPECT_EQ(Bars(view->Chart(ECondition::TideStage))["不明"].first, unknown);
        EXPECT_EQ(Bars(view->Chart(ECondition::WaterTemp))["不明"].first, unknown);
        const auto names = Bars(view->Chart(ECondition::TideName));
        const auto spring = names.at("大潮");
        const auto neap = names.at("小潮");
        EXPECT_EQ(std::to_string(spring.first) + " " + spring.second + " " +
                      std::to_string(neap.first) + " " + neap.second,
                  c.tideNames);
        EXPECT_TRUE(view->Hint()->isHidden());
    }
}

TEST_F(ConditionViewTest, WithoutTheStationListTheHintSaysSoEvenWithAHomePort)
{
    const CTideStations none;
    Open(true, QSize(800, 600), &none);
    CConditionView* view = Show(QString());
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->Hint()->isHidden());
    EXPECT_TRUE(view->Hint()->text().contains(QStringLiteral("港の一覧を読めない")));
}

TEST_F(ConditionViewTest, WithoutAHomePortTheHintSaysWhereToChooseOne)
{
    Open(false);
    CConditionView* view = Show(QString());
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->Hint()->isHidden());
    EXPECT_TRUE(view->Hint()->text().contains(QStringLiteral("環境設定")));
    EXPECT_TRUE(view->Hint()->text().contains(QStringLiteral("潮汐の基準港")));
    // No port: every catch's stage and time of day are unknown; the day's tide name is not.
    for (ECondition condition : {ECondition::TideStage, ECondition::TimeOfDay})
        EXPECT_EQ(Bars(view->Chart(condition)).at("不明").first, 6) << ConditionName(condition);
    EXPECT_EQ(Bars(view->Chart(ECondition::TideName)).at("大潮").first, 25);
    QTest::qWait(50);  // the caption's new width is laid out
    SaveShotIfAsked(m_frame->grab().toImage(), QStringLiteral("conditions-no-home-port"));
}

TEST_F(ConditionViewTest, NoYearNoCharts)
{
    Open(true);
    m_frame->GetYearCombo()->setEditText(QString());
    QTest::mouseClick(FindControl<QPushButton>(m_frame.get(), 1021), Qt::LeftButton);
    ASSERT_NE(m_frame->GetConditionView(), nullptr);
    EXPECT_EQ(m_frame->GetConditionView()->Chart(ECondition::Hour), nullptr);
    EXPECT_TRUE(m_frame->GetNotice()->text().contains(QStringLiteral("「年度」")));
}

TEST_F(ConditionViewTest, ShownChartsFollowTheYearAsItIsTypedOrEmptied)
{
    Open(true);
    ASSERT_NE(Show(QString())->Chart(ECondition::Hour), nullptr);
    m_frame->GetYearCombo()->setEditText(QString());
    EXPECT_EQ(m_frame->GetConditionView()->Chart(ECondition::Hour), nullptr);
    EXPECT_TRUE(m_frame->GetNotice()->text().contains(QStringLiteral("「年度」")));
    m_frame->GetYearCombo()->setEditText(QStringLiteral("2024"));
    EXPECT_NE(m_frame->GetConditionView()->Chart(ECondition::Hour), nullptr);
    EXPECT_TRUE(m_frame->GetNotice()->text().isEmpty());
}

TEST_F(ConditionViewTest, TheGridUsesTheWindowAndTheButtonsBringEachChartIntoView)
{
    const struct {
        QSize window;
        int columns;
        bool scrolls;
    } cases[] = {{{800, 600}, 1, true}, {{1900, 1000}, 3, false}, {{1200, 900}, 2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window.width());
        Open(true, c.window);
        CConditionView* view = Show(QString());
        ASSERT_NE(view, nullptr);
        QTest::qWait(50);
        std::set<int> lefts;
        for (int n = 0; n < kConditionCount; ++n) {
            const CDataView* chart = view->ChartView(static_cast<ECondition>(n));
            lefts.insert(chart->x());
            // Big enough to read.
            EXPECT_GE(chart->width(), CConditionView::kMinChartWidth - 4);
            EXPECT_GE(chart->height(), CConditionView::kMinChartHeight - 4);
        }
        EXPECT_EQ(static_cast<int>(lefts.size()), c.columns);
        QScrollBar* scroll = view->ScrollArea()->verticalScrollBar();
        EXPECT_EQ(scroll->maximum() > 0, c.scrolls);
        // The last chart's button scrolls it into view.
        QTest::mouseClick(view->JumpButton(ECondition::WaterTemp), Qt::LeftButton);
        const QRect shown(QPoint(0, scroll->value()), view->ScrollArea()->viewport()->size());
        EXPECT_TRUE(shown.contains(view->ChartView(ECondition::WaterTemp)->geometry()));
        SaveShotIfAsked(m_frame->grab().toImage(),
                        QStringLiteral("conditions-%1").arg(c.window.width()));
    }
}

TEST_F(ConditionViewTest, TabGoesFromRankingToConditionsToTheReport)
{
    Open(true);
    QApplication::setActiveWindow(m_frame.get());
    auto* ranking = FindControl<QPushButton>(m_frame.get(), CDataViewFrame::kRankingButtonId);
    ranking->setFocus();
    const int expected[] = {CDataViewFrame::kConditionsButtonId, CDataViewFrame::kPlacesButtonId,
                            CDataViewFrame::kYearReportButtonId};
    for (int id : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::number(id));
    }
    // Space on the focused button shows the view, which takes the focus on its first button;
    // Space on the last one scrolls to its chart.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    m_frame->GetYearCombo()->setEditText(QStringLiteral("2024"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    CConditionView* view = m_frame->GetConditionView();
    ASSERT_NE(view, nullptr);
    EXPECT_NE(view->Chart(ECondition::TideName), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), view->JumpButton(ECondition::TideName));
    for (int n = 1; n < kConditionCount; ++n)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), view->JumpButton(ECondition::WaterTemp));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(view->ScrollArea()->verticalScrollBar()->value(),
              view->ChartView(ECondition::WaterTemp)->y());
}
