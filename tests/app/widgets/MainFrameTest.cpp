#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "app/widgets/MainFrame.h"
#include "app/widgets/SwitchSplitter.h"
#include "calendar/TempWorkingDir.h"
#include "calendar/widgets/CalendarBar.h"
#include "calendar/widgets/MainInFrame.h"
#include "calendar/widgets/SheduleView.h"
#include "charts/ChartCategory.h"
#include "charts/StatChart.h"
#include "charts/widgets/DataView.h"
#include "data/CatchStore.h"
#include "data/Clock.h"
#include "entry/widgets/CatchEntryDlg.h"
#include "navbar/widgets/BarPopupMenu.h"
#include "navbar/widgets/NavBarCtrl.h"
#include "photos/widgets/ThumbnailFrame.h"
#include "photos/widgets/ThumbnailView.h"
#include "reports/widgets/DataViewFrame.h"
#include "reports/widgets/ReportDataFrame.h"
#include "reports/widgets/ReportDataView.h"
#include "support/TempProgramDir.h"
#include "support/widgets/FakeDesktopServices.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/PdfTools.h"
#include "support/widgets/WidgetLookup.h"
#include "tides/TideStation.h"

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
        QSettings().clear();
        Start();
    }
    void Start()
    {
        m_frame = std::make_unique<CMainFrame>(m_store, m_dir.Folder());
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

TEST_F(MainFrameTest, StartsAt800By600WithTheCalendarPageAndTheMenuBar)
{
    EXPECT_EQ(m_frame->windowTitle(), QStringLiteral("Lurebook"));
    EXPECT_EQ(m_frame->size(), QSize(800, 600));
    EXPECT_EQ(m_frame->minimumSize(), QSize(800, 600));
    EXPECT_GT(m_frame->maximumSize().width(), 4000);
    EXPECT_EQ(m_frame->GetSplitter()->GetCurrentView(0, 1), CMainFrame::kViewCalendar);
    auto* calendar = Page<CMainInFrame>(CMainFrame::kViewCalendar);
    ASSERT_NE(calendar, nullptr);
    EXPECT_TRUE(calendar->isVisible());
    for (int view :
         {CMainFrame::kViewReports, CMainFrame::kViewStatistics, CMainFrame::kViewThumbnails}) {
        EXPECT_FALSE(m_frame->GetSplitter()->GetView(view)->isVisible()) << view;
    }

    QStringList toolTexts;
    for (QAction* action : m_frame->GetToolBar()->actions()) toolTexts << action->iconText();
    EXPECT_EQ(toolTexts, (QStringList{"終了", "XML 出力", "環境設定", "ヘルプ"}));
    QStringList menus;
    for (QAction* action : m_frame->menuBar()->actions()) menus << action->text();
    EXPECT_EQ(menus, (QStringList{"ファイル(&F)", "編集(&E)", "表示(&V)", "ヘルプ(&H)"}));

    CNavBarCtrl* bar = m_frame->GetNavBar();
    EXPECT_EQ(bar->FolderCount(), 2);
    EXPECT_EQ(bar->FolderName(0), QStringLiteral("メニュー"));
    EXPECT_EQ(bar->ItemCountOfSelected(), 5);
    EXPECT_EQ(bar->Flags(), 0x1FCu);
    EXPECT_EQ(bar->ItemLabel(3), QStringLiteral("画像一覧"));
    EXPECT_EQ(bar->ItemLabel(4), QStringLiteral("釣り場マップ"));
    // The bar takes a fifth of the width.
    EXPECT_EQ(bar->parentWidget()->width(), 160);
}

TEST_F(MainFrameTest, TheCalendarFitsTheWindowAt800By600)
{
    auto* calendar = Page<CMainInFrame>(CMainFrame::kViewCalendar);
    CSheduleView* view = calendar->ScheduleView();
    QTest::qWait(0);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
    EXPECT_LE(view->columnWidth(0) + view->columnWidth(1), view->viewport()->width());
    // Clicking a memo cell far right leaves the day labels where they are.
    const QRect row = view->visualItemRect(view->topLevelItem(3));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      QPoint(view->viewport()->width() - 5, row.center().y()));
    EXPECT_EQ(view->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(view->visualItemRect(view->topLevelItem(3)).left(), 0);

    // With a home port the tide column takes its room from the memo, not from the window.
    CTideStation port;
    port.nameJa = "横浜(本牧)";
    port.mslAboveDatumM = 1.5;
    port.constituents = {{"M2", 1.0, 0}, {"S2", 0.4, 30}, {"K1", 0.3, 60}};
    view->SetTidePortSource([&port] { return &port; });
    view->InsertMonthRows();
    QTest::qWait(0);
    ASSERT_FALSE(view->header()->isSectionHidden(CSheduleView::kTideColumn));
    EXPECT_GT(view->columnWidth(CSheduleView::kTideColumn), 200);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
    view->SetTidePortSource([] { return nullptr; });
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
    browser->findChild<QComboBox*>(QString::number(CThumbnailFrame::kKindComboId))
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

TEST_F(MainFrameTest, YearReportCommandsOfTheFileMenuUseTheYearOfTheStatisticsPage)
{
    const std::string out = MakeTempDir();
    const QString pdf = QString::fromStdString(out + "season.pdf");
    for (const int command :
         {CMainFrame::kCommandYearReport, CMainFrame::kCommandPrintYearReport}) {
        SCOPED_TRACE(command);
        QFile::remove(pdf);
        CFakeDesktopServices desktop;
        desktop.QueueSaveFileName(pdf);
        desktop.QueuePrintFile(pdf);
        Page<CDataViewFrame>(CMainFrame::kViewStatistics)->GetYearCombo()->setEditText("2025");
        m_frame->findChild<QAction*>(QString::number(command))->trigger();
        EXPECT_TRUE(Page<CDataViewFrame>(CMainFrame::kViewStatistics)->isVisible());
        // The cover, the places and one page of trips: neither trip brought a catch.
        EXPECT_EQ(PdfPageCount(pdf), 3);
        EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("横須賀")));
    }
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(u'\n').toStdString();
    RemoveTree(out);
}

// Reloading (after an undo, a change elsewhere or 再読み込み) counts again in the view shown.
TEST_F(MainFrameTest, AReloadKeepsTheStatisticsViewShown)
{
    ClickNavItem(2);
    auto* statistics = Page<CDataViewFrame>(CMainFrame::kViewStatistics);
    ASSERT_TRUE(statistics->isVisible());
    statistics->GetYearCombo()->setEditText("2025");
    for (const int kind : {CDataViewFrame::kRankingView, CDataViewFrame::kConditionView,
                           CDataViewFrame::kChartView}) {
        ASSERT_TRUE(statistics->SwitchStatView(kind));
        m_frame->findChild<QAction*>(QString::number(CMainFrame::kCommandReload))->trigger();
        EXPECT_EQ(statistics->GetViewKind(), kind);
    }
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

    // The list shows the trip as its last row, marked as holding the マダイ record.
    QAbstractItemModel* rows = reports->GetView()->model();
    ASSERT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(rows->index(2, 0).data().toString(), QStringLiteral("★3"));
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

// ---- a window that grows, the exit, the keyboard and the bar --------------------------------

TEST_F(MainFrameTest, AWiderWindowWidensTheListsAndItsSizeComesBackNextTime)
{
    auto* trips = Page<CReportDataFrame>(CMainFrame::kViewReports)->GetView();
    ClickNavItem(1);
    const int placeAt800 = trips->columnWidth(4);
    EXPECT_GE(placeAt800, CReportDataView::kColumnWidths[4]);
    // The last control of the trip list's and the statistics page's bars is whole at 800 pixels.
    for (const int id : {CReportDataFrame::kToDateId, CDataViewFrame::kYearReportButtonId}) {
        auto* last = m_frame->findChild<QWidget*>(QString::number(id));
        ASSERT_NE(last, nullptr) << id;
        EXPECT_LE(last->mapTo(m_frame.get(), QPoint(last->width(), 0)).x(), 800 - 4) << id;
    }
    const auto widthOf = [this](int id) {
        return m_frame->findChild<QWidget*>(QString::number(id))->width();
    };
    const int searchAt800 = widthOf(CReportDataFrame::kSearchId);
    const int speciesAt800 = widthOf(CDataViewFrame::kSpeciesComboId);
    m_frame->resize(1400, 900);
    // 場所 and 魚 share the spare width; the other columns keep theirs.
    const int fixed = 40 + 80 + 80 + 100 + 40 + 48;
    EXPECT_EVENTUALLY(trips->columnWidth(4) + trips->columnWidth(6) ==
                      trips->viewport()->width() - fixed);
    EXPECT_GE(trips->columnWidth(4), placeAt800 + 250);
    EXPECT_GE(trips->columnWidth(6), CReportDataView::kColumnWidths[6] + 250);
    EXPECT_EQ(trips->columnWidth(1), CReportDataView::kColumnWidths[1]);
    // The bars' fields take the room too, and their last controls stay whole.
    EXPECT_GT(widthOf(CReportDataFrame::kSearchId), searchAt800);
    m_frame->ShowPage(CMainFrame::kViewStatistics);
    EXPECT_EVENTUALLY(widthOf(CDataViewFrame::kSpeciesComboId) > speciesAt800);
    for (const int id : {CReportDataFrame::kToDateId, CDataViewFrame::kYearReportButtonId}) {
        auto* last = m_frame->findChild<QWidget*>(QString::number(id));
        EXPECT_LE(last->mapTo(m_frame.get(), QPoint(last->width(), 0)).x(), 1400 - 4) << id;
    }

    m_frame->close();
    m_frame.reset();
    Start();
    EXPECT_EQ(m_frame->size(), QSize(800, 600));  // only the program restores
    m_frame->RestoreWindowState();
    EXPECT_EQ(m_frame->size(), QSize(1400, 900));
}

TEST_F(MainFrameTest, TheExitAsksOnceForAllChangedDialogs)
{
    struct Case {
        QMessageBox::StandardButton answer;
        bool closes;
        int tripsAfter;
    };
    const Case cases[] = {{QMessageBox::Cancel, false, 2},
                          {QMessageBox::Discard, true, 2},
                          {QMessageBox::Save, true, 4}};
    for (const Case& c : cases) {
        m_dir.WriteFile("Data/fish.xml", kTwoTrips);
        Start();
        auto* trips = Page<CReportDataFrame>(CMainFrame::kViewReports)->GetView();
        QList<QPointer<CCatchEntryDlg>> dialogs;
        for (const char* place : {"一", "二"}) {
            CCatchEntryDlg* dialog = trips->OnNewTrip();
            FindControl<QLineEdit>(dialog, 1008)->setText(QString::fromUtf8(place));
            dialogs << dialog;
        }
        dialogs << trips->OnNewTrip();  // unchanged: nothing to ask about
        m_messages.Clear();
        m_messages.QueueAnswer(c.answer);
        m_frame->close();
        QTest::qWait(20);
        // The answer settles every dialog: none stays to ask again (and save what was dropped).
        for (const QPointer<CCatchEntryDlg>& dialog : dialogs) {
            EXPECT_EQ(dialog && dialog->isVisible(), !c.closes) << c.answer;
        }
        ASSERT_EQ(m_messages.Texts().size(), 1) << c.answer;
        EXPECT_TRUE(m_messages.Texts()[0].contains("2 件")) << m_messages.Texts()[0].toStdString();
        EXPECT_EQ(m_messages.Requests()[0].buttons,
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        EXPECT_EQ(m_frame->isVisible(), !c.closes) << c.answer;
        std::vector<CTripRow> rows;
        ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).ListTrips(rows).ok());
        EXPECT_EQ(rows.size(), size_t(c.tripsAfter)) << c.answer;
        m_frame.reset();
    }
    // Without changes the exit asks nothing.
    Start();
    Page<CReportDataFrame>(CMainFrame::kViewReports)->GetView()->OnNewTrip();
    m_messages.Clear();
    m_frame->close();
    EXPECT_FALSE(m_frame->isVisible());
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

// Ctrl+Q works from inside an entry dialog, and its question settles that dialog as well.
TEST_F(MainFrameTest, CtrlQInAnEntryDialogAsksAndEndsTheProgram)
{
    auto* trips = Page<CReportDataFrame>(CMainFrame::kViewReports)->GetView();
    QPointer<CCatchEntryDlg> dialog = trips->OnNewTrip();
    FindControl<QLineEdit>(dialog, 1008)->setText(QStringLiteral("場所"));
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    m_messages.Clear();
    for (const QMessageBox::StandardButton answer : {QMessageBox::Cancel, QMessageBox::Discard}) {
        m_messages.QueueAnswer(answer);
        QTest::keyClick(FindControl<QLineEdit>(dialog, 1008), Qt::Key_Q, Qt::ControlModifier);
        QTest::qWait(20);
        const bool ends = answer == QMessageBox::Discard;
        EXPECT_EQ(m_messages.Texts().size(), ends ? 2 : 1) << answer;
        EXPECT_EQ(m_frame->isVisible(), !ends) << answer;
        EXPECT_EQ(dialog && dialog->isVisible(), !ends) << answer;
    }
    std::vector<CTripRow> rows;
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).ListTrips(rows).ok());
    EXPECT_EQ(rows.size(), 2u);
}

TEST_F(MainFrameTest, ShortcutsReachTheirCommands)
{
    m_frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    const struct {
        QKeyCombination keys;
        int view;
    } pages[] = {{Qt::ALT | Qt::Key_2, CMainFrame::kViewReports},
                 {Qt::ALT | Qt::Key_3, CMainFrame::kViewStatistics},
                 {Qt::CTRL | Qt::Key_4, CMainFrame::kViewThumbnails},
                 {Qt::CTRL | Qt::Key_1, CMainFrame::kViewCalendar}};
    for (const auto& page : pages) {
        QTest::keyClick(m_frame.get(), page.keys.key(), page.keys.keyboardModifiers());
        EXPECT_EQ(m_frame->GetSplitter()->GetCurrentView(0, 1), page.view) << page.view;
    }

    // PageDown and PageUp turn the calendar's months.
    auto* calendar = Page<CMainInFrame>(CMainFrame::kViewCalendar);
    const QString month = calendar->CalendarBar()->TitleText();
    calendar->ScheduleView()->setFocus();
    QTest::keyClick(calendar->ScheduleView(), Qt::Key_PageDown);
    EXPECT_NE(calendar->CalendarBar()->TitleText(), month);
    QTest::keyClick(calendar->ScheduleView(), Qt::Key_PageUp);
    EXPECT_EQ(calendar->CalendarBar()->TitleText(), month);

    // Ctrl+N opens a new trip on the trip list; Enter on a row opens that trip.
    QTest::keyClick(m_frame.get(), Qt::Key_N, Qt::ControlModifier);
    auto* trips = Page<CReportDataFrame>(CMainFrame::kViewReports)->GetView();
    EXPECT_EQ(m_frame->GetSplitter()->GetCurrentView(0, 1), CMainFrame::kViewReports);
    ASSERT_EQ(trips->GetOpenDialogs().size(), 1);
    EXPECT_EQ(trips->GetOpenDialogs()[0]->GetPosition(), -1);
    m_frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    trips->setFocus();
    trips->setCurrentIndex(trips->model()->index(1, 0));
    QTest::keyClick(trips, Qt::Key_Return);
    ASSERT_EQ(trips->GetOpenDialogs().size(), 2);
    EXPECT_EQ(trips->GetOpenDialogs()[1]->GetPosition(), 1);

    // F5 reads the page's file again.
    m_dir.WriteFile("Data/fish.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log/>\r\n");
    QTest::keyClick(m_frame.get(), Qt::Key_F5);
    EXPECT_EQ(trips->model()->rowCount(), 0);

    // The commands with a dialog of their own show their keys in menus and tooltips.
    const std::pair<int, const char*> keys[] = {{CMainFrame::kCommandExportXML, "Ctrl+E"},
                                                {CMainFrame::kCommandSettings, "Ctrl+,"},
                                                {CMainFrame::kCommandExit, "Ctrl+Q"}};
    for (const auto& [id, text] : keys) {
        QAction* action = m_frame->findChild<QAction*>(QString::number(id));
        ASSERT_NE(action, nullptr) << id;
        EXPECT_EQ(action->shortcut().toString(), QString::fromUtf8(text));
        EXPECT_TRUE(action->toolTip().contains(QString::fromUtf8(text))) << id;
    }
    CFakeDesktopServices desktop;
    QTest::keyClick(m_frame.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(desktop.DialogCaptions().size(), 1);
    m_messages.QueueAnswer(QMessageBox::Discard);
    QTest::keyClick(m_frame.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(m_frame->isVisible());
}

TEST_F(MainFrameTest, MenusHaveAccessKeysAndShowTheKeysOfThePages)
{
    // Every command of every menu has its own access key within its menu.
    for (QAction* menuAction : m_frame->menuBar()->actions()) {
        QStringList keys;
        for (QAction* action : menuAction->menu()->actions()) {
            if (action->isSeparator()) continue;
            const auto match =
                QRegularExpression(QStringLiteral("\\(&(.)\\)")).match(action->text());
            ASSERT_TRUE(match.hasMatch()) << action->text().toStdString();
            keys << match.captured(1).toUpper();
        }
        EXPECT_EQ(keys.removeDuplicates(), 0) << menuAction->text().toStdString();
    }
    // Keys that work on one page only are named where the user looks for them.
    CCalendarBar* calendarBar = Page<CMainInFrame>(CMainFrame::kViewCalendar)->CalendarBar();
    QWidget* tripBar = Page<CReportDataFrame>(CMainFrame::kViewReports)->GetDialogBar();
    const std::pair<QWidget*, const char*> tips[] = {
        {FindControl<QWidget>(tripBar, CReportDataFrame::kDeleteId), "Delete"},
        {calendarBar->Button(CCalendarBar::kPrevMonthId), "PageUp"},
        {calendarBar->Button(CCalendarBar::kNextMonthId), "PageDown"}};
    for (const auto& [control, key] : tips) {
        ASSERT_NE(control, nullptr) << key;
        EXPECT_TRUE(control->toolTip().contains(QString::fromUtf8(key))) << key;
    }
    // The status bar speaks Japanese too.
    for (QLabel* pane : m_frame->statusBar()->findChildren<QLabel*>())
        EXPECT_FALSE(pane->text().contains(QRegularExpression(QStringLiteral("[A-Z]{3}"))))
            << pane->text().toStdString();

    // Ctrl+F from any page goes to the trip list's search field.
    m_frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    auto* search = m_frame->findChild<QLineEdit*>(QString::number(CReportDataFrame::kSearchId));
    ASSERT_NE(search, nullptr);
    for (int view : {CMainFrame::kViewCalendar, CMainFrame::kViewStatistics,
                     CMainFrame::kViewThumbnails, CMainFrame::kViewReports}) {
        m_frame->ShowPage(view);
        m_frame->GetSplitter()->GetView(view)->setFocus();
        search->setText(QStringLiteral("相模湾"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        EXPECT_EQ(m_frame->GetSplitter()->GetCurrentView(0, 1), CMainFrame::kViewReports) << view;
        EXPECT_TRUE(search->hasFocus()) << view;
        EXPECT_EQ(search->selectedText(), QStringLiteral("相模湾")) << view;
    }
}

TEST_F(MainFrameTest, NavigationFollowsTheItemsWhereverAndWhateverTheyAreNamed)
{
    // A bar as a user left it: items moved, renamed and one moved to the second folder.
    m_frame.reset();
    {
        QSettings settings;
        settings.beginGroup("NavBar");
        settings.beginWriteArray("Folders", 2);
        const std::vector<std::vector<std::tuple<const char*, int, int>>> folders = {
            {{"写真", 3, 4}, {"統計", 2, 3}, {"Top", 0, 1}}, {{"Top", 1, 2}}};
        for (int f = 0; f < 2; ++f) {
            settings.setArrayIndex(f);
            settings.setValue("Name", f == 0 ? "いつもの" : "その他");
            settings.beginWriteArray("Items", int(folders[f].size()));
            for (int i = 0; i < int(folders[f].size()); ++i) {
                settings.setArrayIndex(i);
                settings.setValue("Label", QString::fromUtf8(std::get<0>(folders[f][i])));
                settings.setValue("Image", std::get<1>(folders[f][i]));
                settings.setValue("Page", std::get<2>(folders[f][i]));
            }
            settings.endArray();
        }
        settings.endArray();
    }
    Start();
    CNavBarCtrl* bar = m_frame->GetNavBar();
    EXPECT_EQ(bar->FolderName(0), "いつもの");
    EXPECT_EQ(bar->ItemLabel(0), "写真");
    // The old English name of the top item becomes its Japanese one; the same word given to
    // another item is the user's own and stays.
    // A bar saved before the map existed gains it after the item of 画像一覧, the user's items
    // kept.
    EXPECT_EQ(bar->ItemLabel(1), "釣り場マップ");
    EXPECT_EQ(bar->ItemLabel(3), "トップ");
    bar->SelectFolder(1);
    EXPECT_EQ(bar->ItemLabel(0), "Top");
    EXPECT_EQ(bar->ItemCountOfSelected(), 1);
    bar->SelectFolder(0);
    const std::pair<int, int> itemToView[] = {{0, CMainFrame::kViewThumbnails},
                                              {1, CMainFrame::kViewMap},
                                              {2, CMainFrame::kViewStatistics},
                                              {3, CMainFrame::kViewCalendar}};
    for (const auto& [item, view] : itemToView) {
        ClickNavItem(item);
        EXPECT_EQ(m_frame->GetSplitter()->GetCurrentView(0, 1), view) << item;
    }

    // Folders and items that are the only way to a page cannot be removed; the rest can.
    const auto removable = [this](const QPoint& at) {
        std::unique_ptr<CBarPopupMenu> menu = m_frame->GetNavBar()->BuildContextMenu(at);
        for (QAction* action : menu->actions()) {
            if (action->text() == "削除(&D)") return action->isEnabled();
        }
        return false;
    };
    EXPECT_FALSE(removable(bar->FolderButtonRect(0).center()));
    EXPECT_FALSE(removable(bar->FolderButtonRect(1).center()));
    EXPECT_FALSE(removable(bar->ItemIconRect(0, 1).center()));
    // Once saved with the map, the bar comes back as it was.
    m_frame->close();
    m_frame.reset();
    Start();
    EXPECT_EQ(m_frame->GetNavBar()->ItemCountOfSelected(), 4);
    EXPECT_EQ(m_frame->GetNavBar()->ItemLabel(1), "釣り場マップ");

    // A saved bar that lost a page is not used.
    m_frame.reset();
    QSettings().setValue("NavBar/Folders/2/Items/1/Page", 1);
    Start();
    EXPECT_EQ(m_frame->GetNavBar()->ItemLabel(0), "トップ");
    EXPECT_EQ(m_frame->GetNavBar()->FolderCount(), 2);
    EXPECT_TRUE(removable(m_frame->GetNavBar()->FolderButtonRect(1).center()));
}
