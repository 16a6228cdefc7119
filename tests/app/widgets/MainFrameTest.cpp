#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "app/widgets/MainFrame.h"
#include "app/widgets/SwitchSplitter.h"
#include "calendar/TempWorkingDir.h"
#include "calendar/widgets/MainInFrame.h"
#include "charts/ChartCategory.h"
#include "charts/StatChart.h"
#include "charts/widgets/DataView.h"
#include "data/CatchStore.h"
#include "data/Clock.h"
#include "entry/widgets/CatchEntryDlg.h"
#include "entry/widgets/ThumbnailFrame.h"
#include "entry/widgets/ThumbnailView.h"
#include "navbar/widgets/NavBarCtrl.h"
#include "reports/widgets/DataViewFrame.h"
#include "reports/widgets/ReportDataFrame.h"
#include "reports/widgets/ReportDataView.h"
#include "support/TempProgramDir.h"
#include "support/widgets/FakeDesktopServices.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/WidgetLookup.h"

namespace {

const std::string kTwoTrips =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>"
    "<FishData><fishname>マダイ</fishname><weather>晴れ</weather><date>2025/4/29</"
    "date><place>相模湾</place>"
    "<image_place/><image_fish><imagepath>/nowhere/a.jpg</imagepath></image_fish><report/></"
    "FishData>"
    "<FishData><fishname>アジ</fishname><weather>曇り</weather><date>2025/6/1</date><place>横須賀</"
    "place>"
    "<image_place/><image_fish/><report/></FishData></log>\r\n";

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentDateSourceForTesting([] { return CDate{2026, 5, 1}; });
        m_dir.WriteFile("Data/fish.xml", kTwoTrips);
        m_frame = std::make_unique<CMainFrame>(m_store);
        m_frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
    }
    void TearDown() override
    {
        m_frame.reset();
        SetCurrentDateSourceForTesting({});
    }

    template <typename T>
    T* Page(int view) const
    {
        return qobject_cast<T*>(m_frame->GetSplitter()->GetView(view));
    }
    // Clicks item of the navigation bar's open folder with the mouse.
    void ClickNavItem(int item)
    {
        CNavBarCtrl* bar = m_frame->GetNavBar();
        const QRect icon = bar->ItemIconRect(bar->SelectedFolder(), item);
        ASSERT_TRUE(icon.isValid());
        QTest::mouseClick(bar, Qt::LeftButton, {}, icon.center());
    }

    CTempWorkingDir m_workingDir;  // the holiday lists are written here
    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
    CMessageBoxRecorder m_messages;
    std::unique_ptr<CMainFrame> m_frame;
};

TEST_F(MainFrameTest, StartsFixedSizeWithTheCalendarPageAndTheMenuBar)
{
    EXPECT_EQ(m_frame->windowTitle(), QStringLiteral("Lurebook"));
    EXPECT_EQ(m_frame->size(), QSize(800, 600));
    EXPECT_EQ(m_frame->minimumSize(), m_frame->maximumSize());
    EXPECT_FALSE(m_frame->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(m_frame->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(m_frame->GetSplitter()->GetCurrentView(0, 1), CMainFrame::kViewCalendar);
    auto* calendar = Page<CMainInFrame>(CMainFrame::kViewCalendar);
    ASSERT_NE(calendar, nullptr);
    EXPECT_TRUE(calendar->isVisible());
    for (int view :
         {CMainFrame::kViewReports, CMainFrame::kViewStatistics, CMainFrame::kViewThumbnails}) {
        EXPECT_FALSE(m_frame->GetSplitter()->GetView(view)->isVisible()) << view;
    }

    QStringList toolTexts;
    for (QAction* action : m_frame->GetToolBar()->actions()) toolTexts << action->text();
    EXPECT_EQ(toolTexts, (QStringList{"終了", "XML 出力", "環境設定", "ヘルプ"}));
    QStringList menus;
    for (QAction* action : m_frame->menuBar()->actions()) menus << action->text();
    EXPECT_EQ(menus, (QStringList{"ファイル(&F)", "ヘルプ(&H)"}));

    CNavBarCtrl* bar = m_frame->GetNavBar();
    EXPECT_EQ(bar->FolderCount(), 2);
    EXPECT_EQ(bar->FolderName(0), QStringLiteral("メニュー"));
    EXPECT_EQ(bar->ItemCountOfSelected(), 4);
    EXPECT_EQ(bar->Flags(), 0x1FCu);
    EXPECT_EQ(bar->ItemLabel(3), QStringLiteral("画像一覧"));
    // The bar takes a fifth of the width.
    EXPECT_EQ(bar->parentWidget()->width(), 160);
}

TEST_F(MainFrameTest, EachNavigationItemShowsItsPageAndTheBrowserStartsEmptyEveryTime)
{
    const std::pair<int, int> itemToView[] = {{1, CMainFrame::kViewReports},
                                              {2, CMainFrame::kViewStatistics},
                                              {3, CMainFrame::kViewThumbnails},
                                              {0, CMainFrame::kViewCalendar}};
    for (const auto& [item, view] : itemToView) {
        ClickNavItem(item);
        EXPECT_EQ(m_frame->GetSplitter()->GetCurrentView(0, 1), view) << item;
        EXPECT_TRUE(m_frame->GetSplitter()->GetView(view)->isVisible()) << item;
    }
    EXPECT_EQ(m_frame->OnBarNotify(1, 7), 0);  // unknown item: nothing changes
    EXPECT_EQ(m_frame->GetSplitter()->GetCurrentView(0, 1), CMainFrame::kViewCalendar);
    EXPECT_EQ(m_frame->OnBarNotify(2, 0), 1);  // renames and moves are accepted
    EXPECT_EQ(m_frame->OnBarNotify(4, 0), 1);
    EXPECT_EQ(m_frame->OnBarNotify(5, 0), 0);

    // The browser shows a built list, and is emptied when it is shown again.
    ClickNavItem(3);
    auto* browser = Page<CThumbnailFrame>(CMainFrame::kViewThumbnails);
    CFakeDesktopServices desktop;
    browser->findChild<QComboBox*>(QString::number(CThumbnailFrame::IDC_KIND_COMBO))
        ->setCurrentText(QStringLiteral("魚画像"));
    browser->OnShow();
    EXPECT_EQ(browser->View()->PhotoPaths(), QStringList{QStringLiteral("/nowhere/a.jpg")});
    m_messages.Clear();
    ClickNavItem(0);
    ClickNavItem(3);
    EXPECT_TRUE(browser->View()->PhotoPaths().isEmpty());
    EXPECT_EQ(browser->View()->count(), 0);
}

TEST_F(MainFrameTest, ExitClosesTheWindowAndWritesNothing)
{
    const std::string before = m_dir.ReadFile("Data/fish.xml");
    const std::string species = m_dir.ReadFile("Data/fishname.txt");
    QAction* exit = m_frame->findChild<QAction*>(QString::number(CMainFrame::kCommandExit));
    ASSERT_NE(exit, nullptr);
    exit->trigger();
    EXPECT_FALSE(m_frame->isVisible());
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), before);
    EXPECT_EQ(m_dir.ReadFile("Data/fishname.txt"), species);
    EXPECT_FALSE(m_dir.Exists("Data/fish.xml.bak"));
}

TEST_F(MainFrameTest, ExportThroughTheToolbarCopiesTheCatchFile)
{
    CFakeDesktopServices desktop;
    const std::string out = MakeTempDir();
    desktop.QueueSaveFileName(QString::fromStdString(out + "copy.xml"));
    m_frame->findChild<QAction*>(QString::number(CMainFrame::kCommandExportXML))->trigger();
    EXPECT_EQ(ReadFileBytes(out + "copy.xml"), kTwoTrips);
    RemoveTree(out);
}

// The road of one new trip, from the navigation bar to the statistics chart.
TEST_F(MainFrameTest, ANewTripGoesFromTheEntryDialogToTheListAndTheChart)
{
    ClickNavItem(1);
    auto* reports = Page<CReportDataFrame>(CMainFrame::kViewReports);
    ASSERT_NE(reports, nullptr);
    ASSERT_TRUE(reports->isVisible());
    auto* newTrip = FindControl<QPushButton>(reports, CReportDataFrame::kNewTripId);
    ASSERT_NE(newTrip, nullptr);
    QTest::mouseClick(newTrip, Qt::LeftButton);
    CCatchEntryDlg* dialog = reports->GetView()->GetCatchEntryDlg();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetPosition(), -1);

    FindControl<QDateEdit>(dialog, 1005)->setDate(QDate(2026, 9, 12));
    FindControl<QComboBox>(dialog, 1014)->setCurrentText(QStringLiteral("マダイ"));
    FindControl<QLineEdit>(dialog, 1008)->setText(QStringLiteral("伊豆 下田沖"));
    auto* species = FindControl<QComboBox>(dialog, 1026);
    auto* length = FindControl<QLineEdit>(dialog, 1019);
    auto* weight = FindControl<QLineEdit>(dialog, 1020);
    auto* registerCatch = FindControl<QPushButton>(dialog, 1025);
    ASSERT_TRUE(species && length && weight && registerCatch);
    for (const auto& [cm, kg] : {std::pair{"45", "2"}, std::pair{"38", "1"}}) {
        species->setCurrentText(QStringLiteral("マダイ"));
        length->setText(QString::fromLatin1(cm));
        weight->setText(QString::fromLatin1(kg));
        QTest::mouseClick(registerCatch, Qt::LeftButton);
    }
    QTest::mouseClick(FindControl<QPushButton>(dialog, 1), Qt::LeftButton);
    QSignalSpy reloaded(reports->GetView(), &CReportDataView::reloaded);
    ASSERT_TRUE(reloaded.wait(5000));
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join("|").toStdString();

    // The list shows the trip as its last row.
    QAbstractItemModel* rows = reports->GetView()->model();
    ASSERT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(rows->index(2, 0).data().toString(), QStringLiteral("3"));
    EXPECT_EQ(rows->index(2, 1).data().toString(), QStringLiteral("2026/09/12"));
    EXPECT_EQ(rows->index(2, 4).data().toString(), QStringLiteral("伊豆 下田沖"));

    // The statistics count both catches in September.
    ClickNavItem(2);
    auto* statistics = Page<CDataViewFrame>(CMainFrame::kViewStatistics);
    ASSERT_NE(statistics, nullptr);
    // The page was made at start, before the trip: showing it offers the new year and species.
    EXPECT_GE(statistics->GetYearCombo()->findText(QStringLiteral("2026")), 0);
    EXPECT_GE(statistics->GetSpeciesCombo()->findText(QStringLiteral("マダイ")), 0);
    statistics->GetYearCombo()->setCurrentText(QStringLiteral("2026"));
    statistics->GetSpeciesCombo()->setCurrentText(QStringLiteral("マダイ"));
    QTest::mouseClick(FindControl<QPushButton>(statistics, CDataViewFrame::kMonthlyButtonId),
                      Qt::LeftButton);
    CDataView* view = statistics->GetDataView();
    ASSERT_NE(view, nullptr);
    CStatChart* chart = view->GetChart();
    ASSERT_NE(chart, nullptr);
    const auto& months = chart->GetCategories();
    ASSERT_EQ(months.size(), 12u);
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(months[static_cast<size_t>(month - 1)]->GetValue(0), month == 9 ? 2 : 0) << month;
    }
}

}  // namespace
