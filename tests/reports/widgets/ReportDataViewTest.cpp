#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/Clock.h"
#include "entry/widgets/CatchEntryDlg.h"
#include "reports/widgets/ReportDataFrame.h"
#include "reports/widgets/ReportDataView.h"
#include "support/TempProgramDir.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/WidgetLookup.h"
#include "uikit/DialogUnits.h"
#include "uikit/QtText.h"

namespace {

CTripRecord Trip(const std::string& place, const std::string& date = "2024/6/1")
{
    CTripRecord trip;
    trip.fishname = "シーバス";
    trip.weather = "晴れ";
    trip.date = date;
    trip.place = place;
    return trip;
}

// The width of the list beyond every column's own width, which 場所 and 魚 share.
int SpareRoom(const QTableView* view)
{
    return std::max(0, view->viewport()->width() - (40 + 80 + 80 + 100 + 150 + 40 + 120 + 48));
}

class ReportDataViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentDateSourceForTesting([] { return CDate{2024, 7, 15}; });
    }
    void TearDown() override
    {
        m_frame.reset();
        SetCurrentDateSourceForTesting({});
    }

    void AddTrips(const std::vector<std::string>& places)
    {
        for (const std::string& place : places)
            ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).AddTrip(Trip(place)).ok());
    }
    CReportDataView* Show()
    {
        m_frame = std::make_unique<CReportDataFrame>(m_store, m_dir.Folder());
        m_frame->resize(640, 400);
        m_frame->show();
        return m_frame->GetView();
    }
    QString Text(int row, int column)
    {
        const auto* model = m_frame->GetView()->model();
        return model->data(model->index(row, column)).toString();
    }
    int Rows() { return m_frame->GetView()->model()->rowCount(); }
    std::vector<std::string> StoredPlaces()
    {
        std::vector<CTripRow> rows;
        EXPECT_TRUE(CCatchStore(m_dir.CatchFile()).ListTrips(rows).ok());
        std::vector<std::string> places;
        for (const CTripRow& row : rows) places.push_back(row.place);
        return places;
    }
    QPoint RowCentre(int row)
    {
        CReportDataView* view = m_frame->GetView();
        return view->visualRect(view->model()->index(row, 1)).center();
    }
    void Click(int id)
    {
        QTest::mouseClick(FindControl<QPushButton>(m_frame.get(), id), Qt::LeftButton);
    }

    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
    CMessageBoxRecorder m_messages;
    std::unique_ptr<CReportDataFrame> m_frame;
};

TEST_F(ReportDataViewTest, ThePageHasItsBarAndListsEveryTripInFileOrder)
{
    AddTrips({"Tokyo Bay", "相模湾", "Izu"});
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).AddTrip(Trip("Sado", "2003/12/31")).ok());
    CTripRecord noWeather = Trip("Noto");
    noWeather.weather.clear();
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).AddTrip(noWeather).ok());
    CReportDataView* view = Show();

    QWidget* bar = FindControl<QWidget>(m_frame.get(), 134);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->height(), CDialogUnits(bar->font()).Y(16));
    EXPECT_LE(bar->geometry().bottom(), view->geometry().top());
    EXPECT_EQ(FindControl<QPushButton>(bar, 1032)->text(), "新規登録");
    EXPECT_EQ(FindControl<QPushButton>(bar, 1006)->text(), "削除");

    const char* captions[] = {"項番", "日付", "天気", "狙い", "場所", "釣果", "魚", "潮"};
    const int widths[] = {40, 80, 80, 100, 150, 40, 120, 48};
    ASSERT_EQ(view->model()->columnCount(), 8);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(view->model()->headerData(c, Qt::Horizontal).toString(),
                  QString::fromUtf8(captions[c]));
        if (c != 4 && c != 6) {
            EXPECT_EQ(view->columnWidth(c), widths[c]) << c;
        }
    }
    // 場所 and 魚 share the room the others leave, never less than their own widths.
    EXPECT_EQ(view->columnWidth(4), 150 + SpareRoom(view) / 2 + SpareRoom(view) % 2);
    EXPECT_EQ(view->columnWidth(6), 120 + SpareRoom(view) / 2);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(view->showGrid());

    ASSERT_EQ(Rows(), 5);
    EXPECT_EQ(Text(0, 0), "1");
    EXPECT_EQ(Text(0, 4), "Tokyo Bay");
    EXPECT_EQ(Text(1, 4), "相模湾");
    EXPECT_EQ(Text(3, 0), "4");
    EXPECT_EQ(Text(3, 1), "2003/12/31");
    EXPECT_EQ(Text(3, 2), "晴れ");
    EXPECT_EQ(Text(3, 3), "シーバス");
    EXPECT_EQ(Text(4, 2), "");
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

TEST_F(ReportDataViewTest, ThePlaceColumnKeepsTheRoomAfterEveryReload)
{
    AddTrips({"Tokyo Bay", "相模湾", "Izu"});
    CReportDataView* view = Show();
    m_frame->resize(1200, 500);
    const auto room = [&] { return 150 + SpareRoom(view) / 2 + SpareRoom(view) % 2; };
    EXPECT_EVENTUALLY(view->columnWidth(4) == room());
    ASSERT_GT(room(), 150);
    auto* search = FindControl<QLineEdit>(m_frame.get(), CReportDataFrame::kSearchId);
    const std::pair<const char*, std::function<void()>> reloads[] = {
        {"reread", [&] { view->OnInitialUpdate(); }},
        {"search", [&] { search->setText(QStringLiteral("Izu")); }},
        {"search cleared", [&] { search->clear(); }},
        {"delete",
         [&] {
             m_messages.QueueAnswer(QMessageBox::Yes);
             view->selectRow(0);
             view->OnDeleteSelected();
         }},
    };
    for (const auto& [name, reload] : reloads) {
        reload();
        QApplication::processEvents();
        EXPECT_EQ(view->columnWidth(4), room()) << name;
        EXPECT_EQ(view->columnWidth(6), 120 + SpareRoom(view) / 2) << name;
        EXPECT_EQ(view->columnWidth(3), 100) << name;
    }
    EXPECT_EQ(Rows(), 2);
}

TEST_F(ReportDataViewTest, CatchesFishAndTideAreShownSortedAndSearched)
{
    CCatchStore store(m_dir.CatchFile());
    struct Case {
        const char* place;
        const char* date;
        std::vector<CCatchRecord> catches;
        const char* count;
        const char* fish;
        const char* tide;
    };
    const Case cases[] = {
        {"A", "2024/6/6", {}, "0", "", "大潮"},
        {"B",
         "2024/6/14",
         {{"アジ", "", "0.2", ""}, {"マダイ", "", "1.25", ""}, {"アジ", "", "0.3", ""}},
         "3",
         "マダイ、アジ",
         "小潮"},
        // Unweighed species follow the weighed ones, in the order they were entered.
        {"C",
         "2024/6/15",
         {{"メバル", "", "", ""}, {"カサゴ", "", "", ""}, {"アジ", "", "0.1", ""}},
         "3",
         "アジ、メバル、カサゴ",
         "長潮"},
        {"D", "2024/6", {{"シーバス", "60", "2", ""}}, "1", "シーバス", ""},
    };
    for (const Case& c : cases) {
        CTripRecord trip = Trip(c.place, c.date);
        trip.catches = c.catches;
        ASSERT_TRUE(store.AddTrip(trip).ok());
    }
    CReportDataView* view = Show();
    ASSERT_EQ(Rows(), 4);
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(cases[row].place);
        EXPECT_EQ(Text(row, 5), QString::fromUtf8(cases[row].count));
        EXPECT_EQ(Text(row, 6), QString::fromUtf8(cases[row].fish));
        EXPECT_EQ(Text(row, 7), QString::fromUtf8(cases[row].tide));
    }
    const auto places = [&] {
        QString shown;
        for (int row = 0; row < Rows(); ++row) shown += Text(row, 4);
        return shown;
    };
    // A click on a header sorts by it, a second click reverses.
    const std::pair<int, const char*> sorts[] = {{5, "ADBC"}, {6, "ACDB"}, {7, "ABCD"}};
    for (const auto& [column, order] : sorts) {
        view->sortByColumn(column, Qt::AscendingOrder);
        EXPECT_EQ(places().left(column == 5 ? 2 : 4),
                  QString::fromUtf8(order).left(column == 5 ? 2 : 4))
            << column;
    }
    view->sortByColumn(5, Qt::DescendingOrder);
    EXPECT_EQ(Text(0, 5), "3");
    EXPECT_EQ(Text(3, 5), "0");
    view->sortByColumn(-1, Qt::AscendingOrder);

    auto* search = FindControl<QLineEdit>(m_frame.get(), CReportDataFrame::kSearchId);
    const std::pair<const char*, const char*> searches[] = {
        {"長潮", "C"}, {"まだい", "B"}, {"大潮", "A"}, {"あじ 小潮", "B"}};
    for (const auto& [words, shown] : searches) {
        search->setText(QString::fromUtf8(words));
        EXPECT_EQ(places(), QString::fromUtf8(shown)) << words;
    }
}

TEST_F(ReportDataViewTest, AnEmptyFileGivesAnEmptyListWithoutAMessage)
{
    Show();
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

TEST_F(ReportDataViewTest, AMissingFileIsToldApartFromOneThatCannotBeParsed)
{
    ::unlink(m_dir.Path("Data/fish.xml").c_str());
    Show();
    EXPECT_EQ(Rows(), 0);
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].startsWith("ファイルの読み込み失敗しました\n"));

    m_dir.WriteFile("Data/fish.xml",
                    "<?xml version=\"1.0\"?>\n<CatchLog>\n\n<FishData><date>x</date>\n");
    m_frame->GetView()->OnInitialUpdate();
    ASSERT_EQ(m_messages.Texts().size(), 2);
    EXPECT_FALSE(m_messages.Texts()[1].contains("読み込み失敗"));
    EXPECT_TRUE(m_messages.Texts()[1].contains("行目")) << m_messages.Texts()[1].toStdString();
    EXPECT_EQ(Rows(), 0);
}

TEST_F(ReportDataViewTest, DeletingRemovesExactlyTheSelectedTrips)
{
    AddTrips({"t0", "t1", "t2", "t3", "t4"});
    CReportDataView* view = Show();
    Click(1006);  // nothing selected: nothing happens
    EXPECT_EQ(StoredPlaces().size(), 5u);

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, RowCentre(1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCentre(3));
    ASSERT_EQ(view->selectionModel()->selectedRows().size(), 2);
    const std::string before = m_dir.ReadFile("Data/fish.xml");

    // One question naming how many and the first; "no" keeps every trip.
    m_messages.QueueAnswer(QMessageBox::No);
    Click(1006);
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].contains(QStringLiteral("2 件")));
    EXPECT_TRUE(m_messages.Texts()[0].contains(QStringLiteral("t1")));
    EXPECT_EQ(StoredPlaces().size(), 5u);

    // The Delete key asks the same; "yes" removes both in one save.
    m_messages.QueueAnswer(QMessageBox::Yes);
    QTest::keyClick(view, Qt::Key_Delete);
    ASSERT_EQ(m_messages.Texts().size(), 2);
    EXPECT_EQ(StoredPlaces(), (std::vector<std::string>{"t0", "t2", "t4"}));
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml.bak"), before);
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Text(1, 0), "2");
    EXPECT_EQ(Text(2, 4), "t4");
}

TEST_F(ReportDataViewTest, ADeleteThatCannotReachTheFileIsReportedAndTheListReread)
{
    AddTrips({"t0", "t1"});
    CReportDataView* view = Show();
    const std::string broken = "<CatchLog><FishData>";
    m_dir.WriteFile("Data/fish.xml", broken);
    view->selectRow(0);
    m_messages.QueueAnswer(QMessageBox::Yes);
    Click(1006);
    ASSERT_GE(m_messages.Texts().size(), 2);
    EXPECT_TRUE(m_messages.Texts()[1].contains("削除できませんでした"));
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), broken);
    EXPECT_EQ(Rows(), 0);  // reread: the file cannot show any trip now
}

TEST_F(ReportDataViewTest, ADoubleClickOpensTheTripUnderThePointer)
{
    AddTrips({"t0", "t1", "t2"});
    CReportDataView* view = Show();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                       QPoint(10, view->viewport()->height() - 3));  // below the last row
    EXPECT_EQ(view->GetLastDoubleClickedRow(), -1);
    EXPECT_EQ(view->GetCatchEntryDlg(), nullptr);

    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, RowCentre(2));
    EXPECT_EQ(view->GetLastDoubleClickedRow(), 2);
    CCatchEntryDlg* dialog = view->GetCatchEntryDlg();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetPosition(), 2);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(FindControl<QLineEdit>(dialog, 1008)->text(), "t2");
}

TEST_F(ReportDataViewTest, TheListIsReloadedWhenADialogSavesOrIsCancelled)
{
    AddTrips({"t0"});
    CReportDataView* view = Show();
    Click(1032);
    QPointer<CCatchEntryDlg> dialog = view->GetCatchEntryDlg();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetPosition(), -1);
    FindControl<QLineEdit>(dialog, 1008)->setText("brand new");
    QSignalSpy reloaded(view, &CReportDataView::reloaded);
    QTest::mouseClick(FindControl<QPushButton>(dialog, 1), Qt::LeftButton);
    EXPECT_EVENTUALLY(reloaded.count() == 1);
    EXPECT_TRUE(dialog.isNull());  // the view destroyed it
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Text(1, 0), "2");
    EXPECT_EQ(Text(1, 4), "brand new");
    EXPECT_EQ(Text(1, 1), "2024/07/15");

    // Two dialogs open at once: each is destroyed when it reports, the other stays.
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, RowCentre(0));
    QPointer<CCatchEntryDlg> first = view->GetCatchEntryDlg();
    Click(1032);
    QPointer<CCatchEntryDlg> second = view->GetCatchEntryDlg();
    ASSERT_TRUE(first && second && first != second);
    QTest::mouseClick(FindControl<QPushButton>(first, 2), Qt::LeftButton);
    EXPECT_EVENTUALLY(reloaded.count() == 2);
    EXPECT_TRUE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(StoredPlaces(), (std::vector<std::string>{"t0", "brand new"}));
}

}  // namespace

TEST_F(ReportDataViewTest, SearchAndDateRangeFilterAsTheUserTypes)
{
    CCatchStore store(m_dir.CatchFile());
    CTripRecord best = Trip("城ヶ島", "2004/5/3");
    best.catches = {{"マダイ", "32.5", "0.35", "7時15分"}};
    ASSERT_TRUE(store.AddTrip(Trip("相模湾", "2003/12/31")).ok());
    ASSERT_TRUE(store.AddTrip(best).ok());
    ASSERT_TRUE(store.AddTrip(Trip("Izu Oshima", "2004/11/2")).ok());
    Show();
    m_frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    auto* search = FindControl<QLineEdit>(m_frame.get(), 1050);
    auto* from = FindControl<QLineEdit>(m_frame.get(), 1051);
    auto* to = FindControl<QLineEdit>(m_frame.get(), 1052);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(Text(1, 0), QStringLiteral("★2"));  // holds the マダイ record
    EXPECT_EQ(Text(0, 0), "1");

    // What Ctrl+F of the main window does.
    m_frame->FocusSearch();
    EXPECT_TRUE(search->hasFocus());
    struct Case {
        const char* words;
        const char* from;
        const char* to;
        std::vector<const char*> places;
        bool unreadable = false;  // the page says a bound is no date
    };
    const std::vector<Case> cases = {
        {"まだい", "", "", {"城ヶ島"}},
        {"ｼｰﾊﾞｽ izu", "", "", {"Izu Oshima"}},
        {"", "2004", "", {"城ヶ島", "Izu Oshima"}},
        {"", "", "2004/5", {"相模湾", "城ヶ島"}},
        {"しーばす", "2004/6/1", "2004/12/31", {"Izu Oshima"}},
        {"", "2004年6月1日", "", {"Izu Oshima"}},
        {"", "H16/5/3", "平成16年5月3日", {"城ヶ島"}},
        {"", "2004-05-04", "２００４年１１月", {"Izu Oshima"}},
        {"", "2004年13月", "", {"相模湾", "城ヶ島", "Izu Oshima"}, true},
        {"", "", "5月3日", {"相模湾", "城ヶ島", "Izu Oshima"}, true},
        {"くろだい", "", "", {}},
        {"", "", "", {"相模湾", "城ヶ島", "Izu Oshima"}},  // all, in file order
    };
    const auto* warning = FindControl<QLabel>(m_frame.get(), CReportDataFrame::kDateWarningId);
    ASSERT_NE(warning, nullptr);
    for (const Case& c : cases) {
        search->setText(QString::fromUtf8(c.words));
        from->setText(QString::fromUtf8(c.from));
        to->setText(QString::fromUtf8(c.to));
        std::vector<std::string> shown;
        for (int row = 0; row < Rows(); ++row) shown.push_back(StdFromQString(Text(row, 4)));
        EXPECT_EQ(shown, std::vector<std::string>(c.places.begin(), c.places.end())) << c.from;
        EXPECT_EQ(warning->isVisible(), c.unreadable) << c.from << " " << c.to;
        EXPECT_EQ(from->toolTip().contains(QStringLiteral("読めない")) ||
                      to->toolTip().contains(QStringLiteral("読めない")),
                  c.unreadable);
        if (c.unreadable)
            SaveShotIfAsked(m_frame->grab().toImage(), QStringLiteral("trip-list-unreadable-date"));
    }
    // Examples of the year it is, in a form the range takes.
    EXPECT_EQ(from->placeholderText(), "2024/01/01");
    EXPECT_EQ(to->placeholderText(), "2024/12/31");
    search->setText(QStringLiteral("ｼｰﾊﾞｽ 2004"));
    ASSERT_EQ(Rows(), 2);
    SaveShotIfAsked(m_frame->grab().toImage(), QStringLiteral("trip-list-search"));
}

TEST_F(ReportDataViewTest, FilteredAndSortedRowsEditAndDeleteTheirOwnTrips)
{
    CCatchStore store(m_dir.CatchFile());
    const char* dates[] = {"2004/10/1", "2004/2/1", "2003/12/31", "2004/9/30"};
    for (int n = 0; n < 4; ++n)
        ASSERT_TRUE(store.AddTrip(Trip("t" + std::to_string(n), dates[n])).ok());
    CReportDataView* view = Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
    QHeaderView* header = view->horizontalHeader();
    const auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
    };
    clickHeader(1);  // dates as dates, ascending
    std::vector<std::string> shown;
    for (int row = 0; row < Rows(); ++row) shown.push_back(StdFromQString(Text(row, 4)));
    EXPECT_EQ(shown, (std::vector<std::string>{"t2", "t1", "t3", "t0"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(1);
    EXPECT_EQ(Text(0, 4), "t0");
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);

    // Row 1 of the descending view is t3 (position 3): it opens and edits t3.
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, RowCentre(1));
    EXPECT_EQ(view->GetLastDoubleClickedRow(), 3);
    ASSERT_NE(view->GetCatchEntryDlg(), nullptr);
    EXPECT_EQ(FindControl<QLineEdit>(view->GetCatchEntryDlg(), 1008)->text(), "t3");
    view->GetCatchEntryDlg()->DiscardChanges();

    // Filtered to t1 and t3 in a sorted view, deleting the second row removes t1 only.
    FindControl<QLineEdit>(m_frame.get(), 1051)->setText("2004/1");
    FindControl<QLineEdit>(m_frame.get(), 1052)->setText("2004/9");
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Text(1, 4), "t1");
    EXPECT_EQ(view->PositionOfRow(1), 1);
    view->selectRow(1);
    m_messages.QueueAnswer(QMessageBox::Yes);
    Click(1006);
    EXPECT_EQ(StoredPlaces(), (std::vector<std::string>{"t0", "t2", "t3"}));
    ASSERT_EQ(Rows(), 1);  // the filter stays after the reread
    EXPECT_EQ(Text(0, 4), "t3");
}
