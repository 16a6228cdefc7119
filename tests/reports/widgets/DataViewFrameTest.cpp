// The statistics page on its own, offscreen: the bar, the switches between chart and ranking,
// the queries behind the buttons and sorting by the ranking's headers.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <QTreeWidget>
#include "charts/widgets/DataView.h"
#include "data/CatchStore.h"
#include "places/widgets/MapView.h"
#include "reports/RankingSort.h"
#include "reports/widgets/ConditionView.h"
#include "reports/widgets/DataViewFrame.h"
#include "reports/widgets/LankingListView.h"
#include "reports/widgets/PlaceStatsView.h"
#include "support/TempProgramDir.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/WidgetLookup.h"
#include "uikit/QtText.h"

namespace {

std::string Trip(const std::string& date, const std::string& weather, const std::string& place,
                 const std::vector<std::array<std::string, 3>>& fish)
{
    std::string xml = "\r\n<FishData><fishname>x</fishname><weather>" + weather +
                      "</weather><date>" + date + "</date><place>" + place + "</place><report>";
    for (const auto& [name, height, weight] : fish) {
        xml += "<fish><name>" + name + "</name><height>" + height + "</height><weight>" + weight +
               "</weight><time>6時0分</time></fish>";
    }
    return xml + "</report></FishData>";
}

const std::string kCatchFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog>" +
    Trip("2004/5/3", "晴れ", "城ヶ島", {{"メジナ", "30", "9"}, {"メジナ", "42", "10"}}) +
    Trip("2004/6/12", "雨", "相模湾", {{"メジナ", "35", "2.8"}, {"アジ", "20", "0"}}) +
    Trip("2003/05/01 朝マヅメ", "曇り", "東京湾", {{"メジナ", "50", "20"}}) +
    Trip("2004/12/1", "曇り", "芦ノ湖", {{"メジナ", "8", "1"}}) + "\r\n</CatchLog>\r\n";

class DataViewFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CRankingSort::Shared().Reset();
        m_dir.WriteFile("Data/fish.xml", kCatchFile);
        m_frame = std::make_unique<CDataViewFrame>(m_store, m_dir.Folder());
        m_frame->resize(640, 480);
        m_frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
    }
    void Choose(const QString& year, const QString& species)
    {
        Year()->setEditText(year);
        Species()->setEditText(species);
    }
    void Click(int id)
    {
        auto* button = FindControl<QPushButton>(m_frame.get(), id);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QComboBox* Year() { return FindControl<QComboBox>(m_frame.get(), 1015); }
    QComboBox* Species() { return FindControl<QComboBox>(m_frame.get(), 1016); }
    std::vector<std::string> RankColumn(size_t column)
    {
        std::vector<std::string> texts;
        for (const auto& row : m_frame->GetLankingListView()->GetRows())
            texts.push_back(row[column]);
        return texts;
    }
    void ClickHeader(int column)
    {
        QHeaderView* header = m_frame->GetLankingListView()->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
    std::unique_ptr<CDataViewFrame> m_frame;
};

}  // namespace

TEST_F(DataViewFrameTest, FieldsListYearsAndFishNamesInFileOrderWithNothingChosen)
{
    EXPECT_EQ(Year()->count(), 2);
    EXPECT_EQ(Year()->itemText(0), QStringLiteral("2004"));
    EXPECT_EQ(Year()->itemText(1), QStringLiteral("2003"));
    ASSERT_EQ(Species()->count(), 2);
    EXPECT_EQ(Species()->itemText(0), QStringLiteral("メジナ"));
    EXPECT_EQ(Species()->itemText(1), QStringLiteral("アジ"));
    EXPECT_EQ(Year()->currentText(), QString());

    // Shown again after the file went bad: the lists are emptied, what was typed stays.
    Choose(QStringLiteral("2004"), QStringLiteral("メジナ"));
    m_dir.WriteFile("Data/fish.xml", "not xml");
    m_frame->RefreshFilterLists(true);
    EXPECT_EQ(Year()->count(), 0);
    EXPECT_EQ(Species()->count(), 0);
    EXPECT_EQ(Year()->currentText(), QStringLiteral("2004"));
}

TEST_F(DataViewFrameTest, BarAndInitialChartView)
{
    ASSERT_NE(FindControl<QWidget>(m_frame.get(), 132), nullptr);
    EXPECT_EQ(FindControl<QLabel>(m_frame.get(), 1017)->text(), QStringLiteral("年度："));
    EXPECT_EQ(FindControl<QLabel>(m_frame.get(), 1018)->text(), QStringLiteral("魚種："));
    EXPECT_EQ(FindControl<QPushButton>(m_frame.get(), 1003)->text(), QStringLiteral("月別"));
    EXPECT_EQ(FindControl<QPushButton>(m_frame.get(), 1004)->text(), QStringLiteral("ランキング"));
    auto* weather = FindControl<QPushButton>(m_frame.get(), 1005);
    EXPECT_EQ(weather->text(), QStringLiteral("天候別"));
    EXPECT_FALSE(weather->isVisible());
    EXPECT_TRUE(Year()->isEditable());
    EXPECT_TRUE(Species()->isEditable());

    EXPECT_EQ(m_frame->GetViewKind(), 1);
    ASSERT_NE(m_frame->GetDataView(), nullptr);
    EXPECT_EQ(m_frame->GetView()->objectName(), QStringLiteral("59648"));
    // Filled from the file in order of first appearance.
    ASSERT_EQ(Year()->count(), 2);
    EXPECT_EQ(Year()->itemText(0), QStringLiteral("2004"));
    EXPECT_EQ(Year()->itemText(1), QStringLiteral("2003"));
    ASSERT_EQ(Species()->count(), 2);
    EXPECT_EQ(Species()->itemText(1), QStringLiteral("アジ"));
    // The bar sits on top, the view fills the rest.
    EXPECT_LT(FindControl<QWidget>(m_frame.get(), 132)->geometry().bottom(),
              m_frame->GetView()->geometry().top());
    EXPECT_GT(m_frame->GetView()->height(), 400);

    SaveShotIfAsked(m_frame->grab().toImage(), QStringLiteral("statistics-page"));
}

TEST_F(DataViewFrameTest, MonthlyButtonShowsTheCountsAsBars)
{
    Choose(QStringLiteral("2004"), QStringLiteral("メジナ"));
    Click(1003);
    CDataView* view = m_frame->GetDataView();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->GetChart(), nullptr);
    EXPECT_TRUE(view->IsChartShown());
    const CStatChart& chart = *view->GetChart();
    EXPECT_EQ(chart.GetCategories()[4]->GetValue(0), 2);
    EXPECT_EQ(chart.GetCategories()[5]->GetValue(0), 1);
    EXPECT_EQ(chart.GetCategories()[11]->GetValue(0), 1);
    EXPECT_EQ(chart.GetMaxValue(), 2);
    EXPECT_EQ(Year()->currentText(), QStringLiteral("2004"));
    EXPECT_EQ(Species()->currentText(), QStringLiteral("メジナ"));
    const QImage shot = view->grab().toImage();
    SaveShotIfAsked(shot, QStringLiteral("statistics-monthly"));
    // May's bar reaches the top tick.
    const int slot = chart.GetPlotWidth() / 12;
    const int mayCentre = chart.GetPlotLeft() + slot * 5 - slot / 2;
    EXPECT_EQ(shot.pixel(mayCentre, chart.GetPlotBottom() - 5), qRgb(0x32, 0x32, 0xFF));

    // An empty field: chart view, no new chart.
    Choose(QString(), QStringLiteral("メジナ"));
    Click(1003);
    EXPECT_EQ(m_frame->GetDataView()->GetChart(), &chart);
}

TEST_F(DataViewFrameTest, RankingListsHeaviestFirstAndSwitchesBack)
{
    Choose(QStringLiteral("2004"), QStringLiteral("メジナ"));
    Click(1004);
    ASSERT_EQ(m_frame->GetViewKind(), 2);
    CLankingListView* list = m_frame->GetLankingListView();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(m_frame->GetDataView(), nullptr);
    ASSERT_EQ(list->columnCount(), 6);
    EXPECT_EQ(list->horizontalHeaderItem(4)->text(), QStringLiteral("重さ"));
    EXPECT_EQ(list->columnWidth(0), 40);
    // The place takes the room the others leave, never less than its classic width.
    EXPECT_EVENTUALLY(list->columnWidth(5) ==
                      std::max(150, list->viewport()->width() - 40 - 4 * 80));
    EXPECT_GT(list->columnWidth(5), 150);
    EXPECT_EQ(RankColumn(4), (std::vector<std::string>{"10", "9", "2.8", "1"}));
    EXPECT_EQ(RankColumn(0), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(list->GetRows()[0],
              (std::vector<std::string>{"1", "2004/5/3", "晴れ", "42", "10", "城ヶ島", ""}));
    EXPECT_EQ(Year()->currentText(), QStringLiteral("2004"));
    SaveShotIfAsked(list->grab().toImage(), QStringLiteral("statistics-ranking"));

    // Back to the chart: a fresh view, the fields refilled, the chosen texts put back.
    Choose(QStringLiteral("2003"), QStringLiteral("メジナ"));
    Click(1003);
    ASSERT_EQ(m_frame->GetViewKind(), 1);
    EXPECT_EQ(m_frame->GetLankingListView(), nullptr);
    EXPECT_EQ(Year()->count(), 2);
    EXPECT_EQ(Year()->currentText(), QStringLiteral("2003"));
    EXPECT_EQ(m_frame->GetDataView()->GetChart()->GetCategories()[4]->GetValue(0), 1);
    EXPECT_EQ(m_frame->findChildren<CLankingListView*>().size(), 0);
}

TEST_F(DataViewFrameTest, ACatchFileThatCannotBeReadIsReportedAndLeavesNothingShown)
{
    struct Case {
        const char* name;
        const char* bytes;  // nullptr: the file is gone
        int button;
        const char* told;
    } const cases[] = {
        {"monthly, missing", nullptr, 1003, "ファイルの読み込み失敗しました"},
        {"monthly, broken", "<CatchLog>\n<FishData>", 1003, "2 行目"},
        {"ranking, missing", nullptr, 1004, "ファイルの読み込み失敗しました"},
        {"ranking, broken", "<CatchLog>\n<FishData>", 1004, "2 行目"},
        {"conditions, missing", nullptr, 1021, "ファイルの読み込み失敗しました"},
        {"conditions, broken", "<CatchLog>\n<FishData>", 1021, "2 行目"},
    };
    for (const Case& c : cases) {
        m_dir.WriteFile("Data/fish.xml", kCatchFile);
        Choose(QStringLiteral("2004"), QStringLiteral("メジナ"));
        Click(c.button);
        if (c.bytes) {
            m_dir.WriteFile("Data/fish.xml", c.bytes);
        } else {
            std::remove(m_dir.CatchFile().c_str());
        }
        CMessageBoxRecorder boxes;
        Click(c.button);
        ASSERT_EQ(boxes.Texts().size(), 1) << c.name;
        EXPECT_TRUE(boxes.Texts()[0].contains(QString::fromUtf8(c.told))) << c.name;
        if (c.button == 1003) {
            EXPECT_FALSE(m_frame->GetDataView()->IsChartShown()) << c.name;
        } else if (c.button == 1021) {
            EXPECT_EQ(m_frame->GetConditionView()->Chart(ECondition::Hour), nullptr) << c.name;
        } else {
            EXPECT_EQ(m_frame->GetLankingListView()->rowCount(), 0) << c.name;
        }
        EXPECT_EQ(Year()->currentText(), QStringLiteral("2004")) << c.name;
    }
}

TEST_F(DataViewFrameTest, ThePageSaysWhenTheCatchFileCannotBeReadAndWhatIsMissing)
{
    QLabel* notice = FindControl<QLabel>(m_frame.get(), CDataViewFrame::kNoticeId);
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isHidden());
    // Each case: the catch file (nullptr: gone), and what the page says once shown again.
    const struct {
        const char* bytes;
        const char* told;
    } cases[] = {
        {nullptr, "釣果ファイルがありません"},
        {"<CatchLog>\n<FishData>", "2 行目"},
        {"", "釣果ファイルを読めません"},
        {kCatchFile.c_str(), nullptr},
    };
    for (const auto& c : cases) {
        if (c.bytes) {
            m_dir.WriteFile("Data/fish.xml", c.bytes);
        } else {
            std::remove(m_dir.CatchFile().c_str());
        }
        m_frame->hide();
        m_frame->show();
        const std::string name = c.told ? c.told : "readable";
        if (c.told == nullptr) {
            EXPECT_TRUE(notice->isHidden()) << StdFromQString(notice->text());
            EXPECT_EQ(Year()->count(), 2);
            continue;
        }
        EXPECT_FALSE(notice->isHidden()) << name;
        EXPECT_TRUE(notice->text().contains(QString::fromUtf8(c.told))) << name;
        EXPECT_TRUE(notice->text().contains(QStringFromStd(m_dir.CatchFile()))) << name;
        EXPECT_EQ(Year()->count(), 0) << name;
    }

    // A button pressed with a field left empty names the field.
    const struct {
        const char* year;
        const char* species;
        int button;
        const char* told;
    } fields[] = {
        {"2004", "", 1003, "「魚種」を"},
        {"", "メジナ", 1004, "「年度」を"},
        {"", "", 1003, "「年度」と「魚種」を"},
    };
    for (const auto& f : fields) {
        Choose(QString::fromUtf8(f.year), QString::fromUtf8(f.species));
        Click(f.button);
        EXPECT_FALSE(notice->isHidden()) << f.told;
        EXPECT_TRUE(notice->text().contains(QString::fromUtf8(f.told))) << f.told;
    }
    Choose(QStringLiteral("2004"), QStringLiteral("メジナ"));
    Click(1003);
    EXPECT_TRUE(notice->isHidden());
}

TEST_F(DataViewFrameTest, RankingWithAnEmptyFieldStaysEmpty)
{
    Choose(QStringLiteral("2004"), QString());
    Click(1004);
    ASSERT_NE(m_frame->GetLankingListView(), nullptr);
    EXPECT_EQ(m_frame->GetLankingListView()->rowCount(), 0);
    EXPECT_EQ(m_frame->GetLankingListView()->columnCount(), 6);
}

TEST_F(DataViewFrameTest, HeaderClicksSortByNumberAndDateAndRenumber)
{
    Choose(QStringLiteral("2004"), QStringLiteral("メジナ"));
    Click(1004);
    ClickHeader(4);  // weight ascending, by number: 1 2 9 10
    EXPECT_EQ(RankColumn(4), (std::vector<std::string>{"1", "2.8", "9", "10"}));
    EXPECT_EQ(RankColumn(0), (std::vector<std::string>{"1", "2", "3", "4"}));
    ClickHeader(4);  // same column again: descending
    EXPECT_EQ(RankColumn(4), (std::vector<std::string>{"10", "9", "2.8", "1"}));
    ClickHeader(3);  // another column: ascending
    EXPECT_EQ(RankColumn(3), (std::vector<std::string>{"8", "30", "35", "42"}));
    ClickHeader(1);
    EXPECT_EQ(RankColumn(1),
              (std::vector<std::string>{"2004/5/3", "2004/5/3", "2004/6/12", "2004/12/1"}));
    ClickHeader(1);
    EXPECT_EQ(RankColumn(1).front(), "2004/12/1");
    EXPECT_EQ(RankColumn(0), (std::vector<std::string>{"1", "2", "3", "4"}));

    // The sort state outlives the list: a new ranking list continues it.
    Click(1003);
    Click(1004);
    ClickHeader(1);
    EXPECT_EQ(RankColumn(1).back(), "2004/12/1");  // ascending again after descending
}

TEST_F(DataViewFrameTest, PersonalBestRowIsMarkedAndKeepsItsMarkWhenSorted)
{
    Choose(QStringLiteral("200"), QStringLiteral("メジナ"));
    Click(1004);
    CLankingListView* list = m_frame->GetLankingListView();
    ASSERT_EQ(list->rowCount(), 5);
    EXPECT_EQ(list->item(0, 0)->text(), QStringLiteral("★1"));
    EXPECT_EQ(list->item(0, 4)->text(), QStringLiteral("20"));
    EXPECT_TRUE(list->item(0, 5)->font().bold());
    EXPECT_EQ(list->item(1, 0)->text(), QStringLiteral("2"));
    EXPECT_FALSE(list->item(1, 5)->font().bold());
    // No text of a row is cut, the bold record row's neither: every column but the place is
    // at least as wide as its widest text.
    for (int row = 0; row < list->rowCount(); ++row) {
        for (int column = 0; column < 5; ++column) {
            const QTableWidgetItem* cell = list->item(row, column);
            const int text = QFontMetrics(cell->font()).horizontalAdvance(cell->text());
            EXPECT_LT(text, list->columnWidth(column) - 4) << row << "," << column;
        }
    }
    SaveShotIfAsked(list->grab().toImage(), QStringLiteral("statistics-ranking-best"));
    ClickHeader(4);  // ascending: the best goes last and keeps its mark
    EXPECT_EQ(list->item(4, 0)->text(), QStringLiteral("★5"));
    EXPECT_TRUE(list->item(4, 5)->font().bold());
    EXPECT_EQ(RankColumn(6), (std::vector<std::string>{"", "", "", "", "★"}));
}

TEST_F(DataViewFrameTest, WeatherSampleDrawsThePie)
{
    Choose(QStringLiteral("2004"), QStringLiteral("アジ"));
    Click(1004);
    m_frame->OnWeatherStatistics();
    ASSERT_EQ(m_frame->GetViewKind(), 1);
    const CStatChart* chart = m_frame->GetDataView()->GetChart();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->GetGraphType(), kGraphPie3D);
    EXPECT_TRUE(m_frame->GetDataView()->IsChartShown());
    EXPECT_EQ(Species()->currentText(), QStringLiteral("アジ"));
}

TEST_F(DataViewFrameTest, PlacesListCatchesAndDaysFishedPerPlaceWithAMapOfThoseWithAPosition)
{
    m_dir.WriteFile("Data/places.txt",
                    "place\t城ヶ島\t\t35.134000\t139.611000\tphoto\n"
                    "place\t芦ノ湖\t\t35.200000\t139.000000\tmap\n");
    struct {
        const char* year;
        const char* species;
        std::vector<QStringList> rows;  // place, catches, days fished, per day; most catches first
        size_t onMap;
    } const cases[] = {
        {"2004",
         "",
         {{"城ヶ島", "2", "1", "2.00"}, {"相模湾", "2", "1", "2.00"}, {"芦ノ湖", "1", "1", "1.00"}},
         2},
        {"2004",
         "アジ",
         {{"相模湾", "1", "1", "1.00"}, {"城ヶ島", "0", "1", "0.00"}, {"芦ノ湖", "0", "1", "0.00"}},
         2},
        {"2003", "", {{"東京湾", "1", "1", "1.00"}}, 0},
        {"1999", "", {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.year) + c.species);
        Choose(QString::fromUtf8(c.year), QString::fromUtf8(c.species));
        Click(CDataViewFrame::kPlacesButtonId);
        ASSERT_EQ(m_frame->GetViewKind(), CDataViewFrame::kPlaceView);
        QTreeWidget* table = m_frame->GetPlaceStatsView()->Table();
        ASSERT_EQ(table->topLevelItemCount(), static_cast<int>(c.rows.size()));
        for (int row = 0; row < table->topLevelItemCount(); ++row) {
            QStringList texts;
            for (int column = 0; column < 4; ++column)
                texts << table->topLevelItem(row)->text(column);
            EXPECT_EQ(texts, c.rows[static_cast<size_t>(row)]);
        }
        EXPECT_EQ(m_frame->GetPlaceStatsView()->Map()->Scene().places.size(), c.onMap);
    }
    // On the page of an 800 × 600 window every column is in sight, a long name cut short.
    m_dir.WriteFile("Data/fish.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog>" +
                                         Trip("2004/5/3", "晴れ", std::string(40, 'W') + "の磯",
                                              {{"アジ", "1", "1"}}) +
                                         "\r\n</CatchLog>\r\n");
    Choose(QStringLiteral("2004"), QString());
    Click(CDataViewFrame::kPlacesButtonId);
    QTreeWidget* table = m_frame->GetPlaceStatsView()->Table();
    QTest::qWait(0);
    QHeaderView* header = table->header();
    for (int column = 1; column < 4; ++column) {
        EXPECT_LE(header->sectionViewportPosition(column) + header->sectionSize(column),
                  table->viewport()->width())
            << column;
        EXPECT_GE(header->sectionSize(column),
                  table->fontMetrics().horizontalAdvance(table->headerItem()->text(column)))
            << column;
    }
    EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(table->topLevelItem(0)->toolTip(0).endsWith(QStringLiteral("の磯")));
    // No year: told, nothing listed.
    Choose(QString(), QString());
    Click(CDataViewFrame::kPlacesButtonId);
    EXPECT_EQ(m_frame->GetPlaceStatsView()->Table()->topLevelItemCount(), 0);
    EXPECT_FALSE(m_frame->GetNotice()->isHidden());
}
