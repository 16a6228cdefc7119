// The edit menu's undo and redo, and restoring a history copy, as the user meets them.
#include <gtest/gtest.h>

#include <QAction>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

#include "app/widgets/HistoryDlg.h"
#include "app/widgets/MainFrame.h"
#include "app/widgets/SwitchSplitter.h"
#include "calendar/TempWorkingDir.h"
#include "data/CatchHistory.h"
#include "data/CatchStore.h"
#include "data/SafeFile.h"
#include "reports/widgets/ReportDataFrame.h"
#include "reports/widgets/ReportDataView.h"
#include "support/TempProgramDir.h"
#include "support/widgets/MessageBoxRecorder.h"

namespace {

CTripRecord Trip(int n)
{
    CTripRecord trip;
    trip.date = "2026/11/" + std::to_string(n + 1);
    trip.place = "磯 " + std::to_string(n);
    trip.catches = {{"メジナ", "30", "0.5", "6時0分"}};
    return trip;
}

class UndoHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings().clear();
        std::vector<CTripRecord> trips;
        for (int n = 0; n < 8; ++n) trips.push_back(Trip(n));
        ASSERT_TRUE(m_store.AddTrips(trips).ok());
        m_store.EnableHistory(true);
        m_store.GetHistory()->SetClock([this] { return m_now; });
        m_store.EnableUndo(true);
        m_frame = std::make_unique<CMainFrame>(m_store, m_dir.Folder());
        m_frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
    }
    QAction* Command(int id) const
    {
        return m_frame->findChild<QAction*>(QString::number(id), Qt::FindDirectChildrenOnly);
    }

    std::time_t m_now = 1765000000;
    CTempWorkingDir m_workingDir;
    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
    CMessageBoxRecorder m_messages{QMessageBox::Yes};
    std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace

// Five trips deleted from the list come back byte for byte with Ctrl+Z; the menu names the
// change; Ctrl+Y and Ctrl+Shift+Z make it again.
TEST_F(UndoHistoryTest, DeletedTripsComeBackByteForByteWithTheNamedUndo)
{
    QAction* undo = Command(CMainFrame::kCommandUndo);
    QAction* redo = Command(CMainFrame::kCommandRedo);
    ASSERT_NE(undo, nullptr);
    ASSERT_NE(redo, nullptr);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す(&U)"));
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(redo->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));

    const std::string before = m_dir.ReadFile("Data/fish.xml");
    m_frame->ShowPage(CMainFrame::kViewReports);
    auto* page =
        qobject_cast<CReportDataFrame*>(m_frame->GetSplitter()->GetView(CMainFrame::kViewReports));
    ASSERT_NE(page, nullptr);
    CReportDataView* view = page->GetView();
    for (int row : {0, 2, 3, 5, 7}) {
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    view->OnDeleteSelected();
    const std::string after = m_dir.ReadFile("Data/fish.xml");
    ASSERT_NE(after, before);
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す: 5 件の釣行の削除(&U)"));
    EXPECT_TRUE(undo->isEnabled());

    // Undone from another page: the trip list, hidden, still follows the file.
    m_frame->ShowPage(CMainFrame::kViewCalendar);
    undo->trigger();
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), before);
    EXPECT_EQ(view->model()->rowCount(), 8);
    EXPECT_EQ(redo->text(), QStringLiteral("やり直し: 5 件の釣行の削除(&R)"));
    EXPECT_FALSE(undo->isEnabled());
    redo->trigger();
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), after);
    EXPECT_EQ(view->model()->rowCount(), 3);
    EXPECT_TRUE(m_messages.Texts().size() == 1);  // the delete's question, nothing else
}

TEST_F(UndoHistoryTest, AnUndoAfterAnOutsideChangeIsRefusedWithAMessage)
{
    ASSERT_TRUE(m_store.DeleteTrips({1, 2}).ok());
    const std::string outside = m_dir.ReadFile("Data/fish.xml") + "\r\n";
    m_dir.WriteFile("Data/fish.xml", outside);
    m_messages.Clear();
    Command(CMainFrame::kCommandUndo)->trigger();
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts().front().contains(
        QStringLiteral("「2 件の釣行の削除」を元に戻せません")));
    EXPECT_TRUE(m_messages.Texts().front().contains(QStringLiteral("Lurebook の外で変更")));
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), outside);
}

// The dialog lists the copies with their counts and what differs from now; restoring one is a
// save that the edit menu takes back.
TEST_F(UndoHistoryTest, TheHistoryDialogShowsTheDifferencesAndARestoreIsUndoable)
{
    ASSERT_TRUE(m_store.DeleteTrips({0}).ok());  // yesterday: the copy holds all eight
    m_now += 86400;
    CTripRecord changed = Trip(1);
    changed.memo = "書き直した";
    ASSERT_TRUE(m_store.ReplaceTrip(0, changed).ok());
    ASSERT_TRUE(m_store.AddTrip(Trip(20)).ok());
    const std::string now = m_dir.ReadFile("Data/fish.xml");
    // The settings dialog saved the species list unchanged: today's copy holds it, the same.
    const std::string species = m_dir.Path("Data/fishname.txt");
    const std::string list = m_dir.ReadFile("Data/fishname.txt");
    ASSERT_TRUE(
        m_store
            .ChangeFile(species, "魚種名の変更",
                        [&](std::string* error) { return WriteFileSafely(species, list, error); })
            .ok());

    CHistoryDlg dialog(m_store);
    QTableWidget* table = dialog.CopyTable();
    ASSERT_EQ(table->rowCount(), 2);
    // The columns use the list's whole width, each wider than its heading.
    dialog.show();
    int widths = 0;
    for (int column = 0; column < 4; ++column) {
        widths += table->columnWidth(column);
        const QString heading = table->horizontalHeaderItem(column)->text();
        EXPECT_GT(table->columnWidth(column), table->fontMetrics().horizontalAdvance(heading) * 3)
            << column;
    }
    EXPECT_GE(widths, table->viewport()->width() - 1);
    EXPECT_EQ(table->item(1, 2)->text(), QStringLiteral("8"));  // trips
    EXPECT_EQ(table->item(1, 3)->text(), QStringLiteral("8"));  // catches
    EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("7"));
    table->selectRow(1);
    const QString differences = dialog.DifferenceText();
    EXPECT_TRUE(differences.contains(
        QStringLiteral("この後に追加された釣行 (復元すると消えます): 1 件\n  2026/11/21  磯 20")))
        << differences.toStdString();
    EXPECT_TRUE(differences.contains(
        QStringLiteral("この後に削除された釣行 (復元すると戻ります): 1 件\n  2026/11/1  磯 0")));
    EXPECT_TRUE(differences.contains(QStringLiteral(
        "この後に変更された釣行 (復元するとこの時の内容に戻ります): 1 件\n  2026/11/2  磯 1")));

    std::vector<CCatchHistory::CMember> members;
    table->selectRow(0);
    ASSERT_TRUE(m_store.GetHistory()->ReadCopy(dialog.SelectedName().toStdString(), members));
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[1].name, "fishname.txt");
    // Restoring would not change the list: it is not named as a file brought back.
    EXPECT_FALSE(dialog.DifferenceText().contains(QStringLiteral("一緒に戻すファイル")))
        << dialog.DifferenceText().toStdString();
    table->selectRow(1);
    ASSERT_TRUE(m_store.GetHistory()->ReadCopy(dialog.SelectedName().toStdString(), members));
    ASSERT_TRUE(m_frame->RestoreHistory(dialog.SelectedName()));
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), members.front().bytes);
    QAction* undo = Command(CMainFrame::kCommandUndo);
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す: 履歴からの復元(&U)"));
    undo->trigger();
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), now);
}
