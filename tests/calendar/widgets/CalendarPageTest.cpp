#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <set>

#include "calendar/CalendarGrid.h"
#include "calendar/HolidayLists.h"
#include "calendar/ScheduleMemo.h"
#include "calendar/TempWorkingDir.h"
#include "calendar/TideCurveChart.h"
#include "calendar/widgets/CalendarBar.h"
#include "calendar/widgets/MainInFrame.h"
#include "calendar/widgets/ScheduleEntryDlg.h"
#include "calendar/widgets/SheduleView.h"
#include "calendar/widgets/TideCurveView.h"
#include "data/Clock.h"
#include "support/TempProgramDir.h"
#include "support/TideTestStations.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/WidgetLookup.h"
#include "uikit/DialogUnits.h"
#include "uikit/QtText.h"

namespace {
using CRowSet = std::set<int>;

// A calendar page over its own year table, program directory and working directory, on a
// fixed "today".
class CalendarPageTest : public ::testing::Test {
protected:
    void SetToday(int year, int month, int day)
    {
        SetCurrentDateSourceForTesting([=] { return CDate{year, month, day}; });
    }
    void TearDown() override { SetCurrentDateSourceForTesting({}); }

    CMainInFrame& OpenPage()
    {
        m_page = std::make_unique<CMainInFrame>(m_grid, m_programDir.Folder());
        m_page->resize(640, 760);
        m_page->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_page.get()));
        return *m_page;
    }
    CSheduleView& View() { return *m_page->ScheduleView(); }
    QString Title() { return FindControl<QLabel>(m_page.get(), CCalendarBar::kTitleId)->text(); }
    void Click(int buttonId)
    {
        QPushButton* button = FindControl<QPushButton>(m_page.get(), buttonId);
        ASSERT_NE(button, nullptr) << buttonId;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QString Memo(int row) { return View().topLevelItem(row)->text(1); }
    QString Label(int row) { return View().topLevelItem(row)->text(0); }
    CRowSet RedRows()
    {
        CRowSet rows;
        for (int row = 0; row < View().topLevelItemCount(); ++row) {
            if (View().LabelColor(row) == QColor(255, 0, 0)) rows.insert(row);
        }
        return rows;
    }
    void DoubleClickRow(int row)
    {
        const QRect rect = View().visualItemRect(View().topLevelItem(row));
        QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, rect.center());
    }
    CScheduleEntryDlg& Dialog() { return *View().EntryDialog(); }
    void Confirm(const QString& memo)
    {
        Dialog().MemoEdit()->setPlainText(memo);
        QTest::mouseClick(FindControl<QPushButton>(&Dialog(), CScheduleEntryDlg::kOkId),
                          Qt::LeftButton);
    }

    CTempProgramDir m_programDir;
    CTempWorkingDir m_workingDir;
    CHolidayLists m_lists;
    CCalendarGrid m_grid{m_lists};
    std::unique_ptr<CMainInFrame> m_page;
};

// Counts the pixels of a colour family in a rectangle of an image.
int CountPixels(const QImage& image, const QRect& area, bool (*matches)(QRgb))
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) count += matches(image.pixel(x, y));
    }
    return count;
}
bool IsRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 110 && qBlue(pixel) < 110;
}
bool IsDark(QRgb pixel)
{
    return qRed(pixel) < 90 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}
}  // namespace

TEST_F(CalendarPageTest, FirstStartShowsTodaysMonthAndWritesTheHolidayFiles)
{
    SetToday(2009, 5, 15);
    OpenPage();
    EXPECT_EQ(Title(), QStringLiteral("2009年  5月"));
    ASSERT_EQ(View().topLevelItemCount(), 31);
    EXPECT_EQ(View().headerItem()->text(0), QStringLiteral("曜日"));
    EXPECT_EQ(View().headerItem()->text(1), QStringLiteral("メモ"));
    EXPECT_EQ(View().columnWidth(0), 150);
    // The memo column takes the room beside the labels, never less than its minimum.
    EXPECT_EQ(View().columnWidth(1),
              std::max(CSheduleView::kMinMemoColumnWidth, View().viewport()->width() - 150));
    EXPECT_EQ(Label(0), QStringLiteral(" 1日(金)"));
    EXPECT_EQ(Label(2), QStringLiteral(" 3日(日)"));
    EXPECT_EQ(Label(30), QStringLiteral("31日(日)"));

    EXPECT_EQ(ReadTextFile(m_workingDir.Dir() + "S_Holiday.txt"), kDefaultFixedHolidays);
    EXPECT_EQ(ReadTextFile(m_workingDir.Dir() + "D_Holiday.txt"), kDefaultRuleHolidays);
    EXPECT_TRUE(m_page->StatusLine()->isHidden());

    // Saturdays, Sundays and the holidays of May 3 to 5, and the 6th that stands in for the 3rd.
    EXPECT_EQ(RedRows(), (CRowSet{1, 2, 3, 4, 5, 8, 9, 15, 16, 22, 23, 29, 30}));
    EXPECT_EQ(View().HolidayName(5), QStringLiteral("振替休日"));
    EXPECT_EQ(View().topLevelItem(5)->toolTip(1), QStringLiteral("振替休日"));
    EXPECT_EQ(View().HolidayName(6), QString());
    // New moon on 24 May 2009 at 21:11 Japan time: the 24th is lunar day 1, at noon still 29.x.
    EXPECT_EQ(View().MoonText(23).left(3), QStringLiteral("大潮 "));
    EXPECT_TRUE(View().topLevelItem(23)->toolTip(0).contains(QStringLiteral("旧暦 1日")));
}

TEST_F(CalendarPageTest, RedLabelsAndBlackMemosAreWhatIsDrawn)
{
    SetToday(2003, 11, 1);
    // November 23, 2003 is a Sunday: Monday the 24th is the substitute holiday.
    ASSERT_TRUE(WriteScheduleMemo(m_programDir.Folder(), "2003年  11月", 24, "振替休日に釣行"));
    ASSERT_TRUE(WriteScheduleMemo(m_programDir.Folder(), "2003年  11月", 25, "平日"));
    OpenPage();
    EXPECT_EQ(RedRows(), (CRowSet{0, 1, 2, 7, 8, 14, 15, 21, 22, 23, 28, 29}));
    EXPECT_EQ(Memo(23), QStringLiteral("振替休日に釣行"));

    const QImage image = View().viewport()->grab().toImage();
    // The memo column: a holiday's name in red first, then the memo in black after it.
    const auto memoArea = [&](int row, int from, int width) {
        const QRect rect = View().visualItemRect(View().topLevelItem(row));
        return QRect(rect.left() + CSheduleView::kMemoX - 2 + from, rect.top(), width,
                     rect.height() - 1);
    };
    const auto labelArea = [&](int row) {
        const QRect rect = View().visualItemRect(View().topLevelItem(row));
        return QRect(rect.left() + 8, rect.top(), 62, rect.height() - 1);
    };
    const auto nameWidth = [&](int row) {
        return View().fontMetrics().horizontalAdvance(View().HolidayName(row));
    };
    for (int row = 0; row < 30; ++row) {
        const bool red = RedRows().count(row) > 0;
        EXPECT_EQ(CountPixels(image, labelArea(row), IsRed) > 5, red) << "row " << row;
        EXPECT_EQ(CountPixels(image, labelArea(row), IsDark) > 5, !red) << "row " << row;
        const bool named = !View().HolidayName(row).isEmpty();
        EXPECT_EQ(CountPixels(image, memoArea(row, 0, 20), IsRed) > 5, named) << "row " << row;
        EXPECT_EQ(CountPixels(image, memoArea(row, nameWidth(row) + 4, 300), IsRed), 0)
            << "row " << row;
    }
    EXPECT_GT(CountPixels(image, memoArea(23, nameWidth(23) + 4, 300), IsDark), 20);
    EXPECT_GT(CountPixels(image, memoArea(24, 0, 300), IsDark), 5);
    EXPECT_EQ(CountPixels(image, memoArea(22, 0, 300), IsDark), 0);
}

TEST_F(CalendarPageTest, FebruaryOfALeapYear)
{
    SetToday(2004, 2, 10);
    OpenPage();
    EXPECT_EQ(Title(), QStringLiteral("2004年  2月"));
    ASSERT_EQ(View().topLevelItemCount(), 29);
    EXPECT_EQ(Label(28), QStringLiteral("29日(日)"));
    EXPECT_EQ(RedRows(), (CRowSet{0, 6, 7, 10, 13, 14, 20, 21, 27, 28}));
}

TEST_F(CalendarPageTest, ButtonsMoveTitleRowsAndMemosTogether)
{
    SetToday(2004, 2, 10);
    ASSERT_TRUE(WriteScheduleMemo(m_programDir.Folder(), "2004年  2月", 3, "二月の予定"));
    ASSERT_TRUE(WriteScheduleMemo(m_programDir.Folder(), "2004年  3月", 31, "三月末"));
    ASSERT_TRUE(WriteScheduleMemo(m_programDir.Folder(), "2003年  2月", 28, "去年"));
    OpenPage();
    EXPECT_EQ(Memo(2), QStringLiteral("二月の予定"));

    Click(CCalendarBar::kNextMonthId);
    EXPECT_EQ(Title(), QStringLiteral("2004年  3月"));
    ASSERT_EQ(View().topLevelItemCount(), 31);
    EXPECT_EQ(Memo(2), QString());
    EXPECT_EQ(Memo(30), QStringLiteral("三月末"));
    EXPECT_EQ(Label(0), QStringLiteral(" 1日(月)"));

    Click(CCalendarBar::kPrevMonthId);
    EXPECT_EQ(Title(), QStringLiteral("2004年  2月"));
    EXPECT_EQ(Memo(2), QStringLiteral("二月の予定"));

    Click(CCalendarBar::kPrevYearId);
    EXPECT_EQ(Title(), QStringLiteral("2003年  2月"));
    ASSERT_EQ(View().topLevelItemCount(), 28);
    EXPECT_EQ(Memo(27), QStringLiteral("去年"));
    EXPECT_EQ(Memo(2), QString());

    Click(CCalendarBar::kNextYearId);
    Click(CCalendarBar::kNextYearId);
    EXPECT_EQ(Title(), QStringLiteral("2005年  2月"));
    EXPECT_EQ(View().topLevelItemCount(), 28);

    SetToday(2009, 5, 1);
    Click(CCalendarBar::kTodayId);
    EXPECT_EQ(Title(), QStringLiteral("2009年  5月"));
    EXPECT_EQ(RedRows().count(3), 1u);
}

TEST_F(CalendarPageTest, EveryMonthOpensAtItsFirstDay)
{
    SetToday(2026, 8, 10);
    OpenPage();
    m_page->resize(640, 300);
    QTest::qWait(0);
    QScrollBar* scroll = View().verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 0);
    for (int id : {CCalendarBar::kNextMonthId, CCalendarBar::kPrevMonthId,
                   CCalendarBar::kNextYearId, CCalendarBar::kPrevYearId, CCalendarBar::kTodayId}) {
        View().scrollToBottom();
        ASSERT_EQ(scroll->value(), scroll->maximum());
        Click(id);
        EXPECT_EQ(scroll->value(), 0) << id;
        EXPECT_EQ(View().indexAt(QPoint(20, 2)).row(), 0) << id;
    }
}

TEST_F(CalendarPageTest, EveryTextOfTheSelectedRowStandsOutFromItsFill)
{
    SetToday(2009, 5, 15);
    ASSERT_TRUE(WriteScheduleMemo(m_programDir.Folder(), "2009年  5月", 6, "メモ"));
    OpenPage();
    m_page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_page.get()));
    // The 6th: a red label, the tide name in blue, a red holiday name and a black memo.
    View().setFocus();
    View().setCurrentItem(View().topLevelItem(5));
    ASSERT_TRUE(View().hasFocus());
    const QImage image = View().viewport()->grab().toImage();
    const QRect row = View().visualItemRect(View().topLevelItem(5));
    const QColor fill = image.pixelColor(row.right() - 20, row.center().y());
    EXPECT_NE(fill, QColor(Qt::white));
    // Contrast as the web's accessibility guidelines measure it: 4.5 for normal text.
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const auto contrast = [&](const QColor& a, const QColor& b) {
        const double x = luminance(a);
        const double y = luminance(b);
        return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
    };
    const std::pair<const char*, QColor> texts[] = {{"tide", View().MoonColor()},
                                                    {"memo", View().MemoColor()},
                                                    {"label", View().LabelColor(5)},
                                                    {"holiday", View().HolidayNameColor()}};
    for (const auto& [name, colour] : texts) {
        EXPECT_GE(contrast(colour, fill), name == std::string("tide") ? 4.5 : 3.0) << name;
    }
    // The tide name is drawn in its colour on that fill.
    const QRect tide(row.left() + CSheduleView::kMoonX, row.top(), 60, row.height() - 1);
    EXPECT_GT(CountPixels(image, tide, [](QRgb p) { return qBlue(p) > 110 && qRed(p) < 60; }), 5);
}

TEST_F(CalendarPageTest, TheBarFollowsItsTemplate)
{
    SetToday(2004, 2, 10);
    OpenPage();
    CCalendarBar* bar = FindControl<CCalendarBar>(m_page.get(), CCalendarBar::kTemplateId);
    ASSERT_NE(bar, nullptr);
    const CDialogUnits units(CDialogUnits::DialogFont());
    EXPECT_EQ(bar->TitleStatic()->geometry(), units.ToPixels(13, 3, 59, 18));
    EXPECT_EQ(bar->Button(CCalendarBar::kPrevYearId)->geometry(), units.ToPixels(96, 4, 22, 17));
    EXPECT_EQ(bar->Button(CCalendarBar::kNextYearId)->geometry(), units.ToPixels(205, 3, 22, 17));
    EXPECT_EQ(bar->geometry().top(), 0);
    EXPECT_LE(bar->geometry().bottom(), View().geometry().top());

    // Five different pictures, none of them empty.
    std::vector<QImage> pictures;
    for (int id : {1004, 1003, 1002, 1005, 1006}) {
        const QIcon icon = bar->Button(id)->icon();
        ASSERT_FALSE(icon.isNull()) << id;
        const QImage picture = icon.pixmap(16, 16).toImage();
        EXPECT_GT(CountPixels(picture, picture.rect(), [](QRgb p) { return qAlpha(p) > 128; }), 20);
        for (const QImage& other : pictures) EXPECT_NE(picture, other) << id;
        pictures.push_back(picture);
    }
}

TEST_F(CalendarPageTest, TheMemoDialogOpensWhollyOnTheScreen)
{
    SetToday(2004, 2, 10);
    OpenPage();
    const QRect screen = m_page->screen()->availableGeometry();
    // The window partly off each edge in turn, then in the middle.
    const QPoint corners[] = {{screen.right() - 100, screen.bottom() - 100},
                              {screen.left() - 500, screen.top() - 600},
                              {screen.center().x() - 320, screen.top()}};
    for (const QPoint& corner : corners) {
        m_page->move(corner);
        DoubleClickRow(1);
        EXPECT_EVENTUALLY(Dialog().isVisible());
        const QRect placed = Dialog().frameGeometry();
        EXPECT_TRUE(screen.contains(placed))
            << corner.x() << "," << corner.y() << " placed " << placed.x() << "," << placed.y()
            << " " << placed.width() << "x" << placed.height() << " screen " << screen.width()
            << "x" << screen.height();
        QTest::mouseClick(FindControl<QPushButton>(&Dialog(), CScheduleEntryDlg::kCancelId),
                          Qt::LeftButton);
        EXPECT_EVENTUALLY(!Dialog().isVisible());
    }
}

TEST_F(CalendarPageTest, TheMemoDialogRoundTrip)
{
    SetToday(2004, 2, 10);
    ASSERT_TRUE(WriteScheduleMemo(m_programDir.Folder(), "2004年  2月", 3, "前の予定"));
    OpenPage();

    DoubleClickRow(2);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("スケジュール入力画面"));
    EXPECT_EQ(Dialog().MemoEdit()->toPlainText(), QStringLiteral("前の予定"));
    EXPECT_EQ(View().EditRow(), 2);

    Confirm(QStringLiteral("朝マヅメ\n港で集合"));
    // The result arrives queued: nothing is stored before the event loop runs.
    EXPECT_EQ(Memo(2), QStringLiteral("前の予定"));
    EXPECT_EVENTUALLY(Memo(2) == QStringLiteral("朝マヅメ\n港で集合"));
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(ReadScheduleMemo(m_programDir.Folder(), "2004年  2月", 3), "朝マヅメ\n港で集合");

    // Both lines are shown again after moving away and back, and after a restart.
    Click(CCalendarBar::kNextMonthId);
    Click(CCalendarBar::kPrevMonthId);
    EXPECT_EQ(Memo(2), QStringLiteral("朝マヅメ\n港で集合"));
    m_page.reset();
    OpenPage();
    EXPECT_EQ(Memo(2), QStringLiteral("朝マヅメ\n港で集合"));
}

TEST_F(CalendarPageTest, CancellingChangesNothing)
{
    SetToday(2004, 2, 10);
    ASSERT_TRUE(WriteScheduleMemo(m_programDir.Folder(), "2004年  2月", 5, "そのまま"));
    const std::string before = m_programDir.ReadFile("Data/schedule/2004年  2月.txt");
    OpenPage();
    DoubleClickRow(4);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    Dialog().MemoEdit()->setPlainText(QStringLiteral("捨てる"));
    QTest::mouseClick(FindControl<QPushButton>(&Dialog(), CScheduleEntryDlg::kCancelId),
                      Qt::LeftButton);
    EXPECT_EVENTUALLY(!Dialog().isVisible());
    EXPECT_EQ(Memo(4), QStringLiteral("そのまま"));
    EXPECT_EQ(m_programDir.ReadFile("Data/schedule/2004年  2月.txt"), before);

    // Escape cancels the same way.
    DoubleClickRow(4);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    QTest::keyClick(Dialog().MemoEdit(), Qt::Key_Escape);
    EXPECT_EVENTUALLY(!Dialog().isVisible());
    EXPECT_EQ(m_programDir.ReadFile("Data/schedule/2004年  2月.txt"), before);
}

TEST_F(CalendarPageTest, DoubleClicksBelowTheRowsOrWhileOpenOpenNothing)
{
    SetToday(2004, 2, 10);
    OpenPage();
    const QRect last = View().visualItemRect(View().topLevelItem(28));
    ASSERT_LT(last.bottom() + 20, View().viewport()->height());
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, QPoint(30, last.bottom() + 15));
    QTest::qWait(0);
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(View().EditRow(), -1);

    DoubleClickRow(6);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    Dialog().MemoEdit()->setPlainText(QStringLiteral("七日の予定"));
    // A second double click only moves the edit row; the open dialog keeps its day.
    DoubleClickRow(9);
    EXPECT_EQ(View().EditRow(), 9);
    EXPECT_EQ(Dialog().MemoEdit()->toPlainText(), QStringLiteral("七日の予定"));
    EXPECT_EQ(View().findChildren<CScheduleEntryDlg*>().size(), 1);
    Confirm(QStringLiteral("七日の予定"));
    EXPECT_EVENTUALLY(Memo(6) == QStringLiteral("七日の予定"));
    EXPECT_EQ(Memo(9), QString());
    EXPECT_EQ(ReadScheduleMemo(m_programDir.Folder(), "2004年  2月", 7), "七日の予定");
    EXPECT_EQ(ReadScheduleMemo(m_programDir.Folder(), "2004年  2月", 10), "");
}

TEST_F(CalendarPageTest, TheDialogKeepsTheMonthItWasOpenedFor)
{
    SetToday(2004, 2, 10);
    OpenPage();
    DoubleClickRow(2);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    Click(CCalendarBar::kNextMonthId);
    ASSERT_EQ(Title(), QStringLiteral("2004年  3月"));
    Confirm(QStringLiteral("二月三日の分"));
    EXPECT_EVENTUALLY(!Dialog().isVisible());
    QTest::qWait(0);
    EXPECT_EQ(ReadScheduleMemo(m_programDir.Folder(), "2004年  2月", 3), "二月三日の分");
    EXPECT_EQ(ReadScheduleMemo(m_programDir.Folder(), "2004年  3月", 3), "");
    EXPECT_EQ(Memo(2), QString());
    Click(CCalendarBar::kPrevMonthId);
    EXPECT_EQ(Memo(2), QStringLiteral("二月三日の分"));
}

TEST_F(CalendarPageTest, AMissingScheduleFolderIsCreatedAndAFailedStoreIsReported)
{
    SetToday(2004, 2, 10);
    RemoveTree(m_programDir.Path("Data/schedule"));
    OpenPage();
    CMessageBoxRecorder recorder;
    DoubleClickRow(0);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    Confirm(QStringLiteral("作られる"));
    EXPECT_EVENTUALLY(Memo(0) == QStringLiteral("作られる"));
    EXPECT_EQ(ReadScheduleMemo(m_programDir.Folder(), "2004年  2月", 1), "作られる");
    EXPECT_TRUE(recorder.Texts().isEmpty());

    // Now a file stands where the folder should be: the memo cannot be stored.
    RemoveTree(m_programDir.Path("Data/schedule"));
    m_programDir.WriteFile("Data/schedule", "in the way");
    DoubleClickRow(1);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    Confirm(QStringLiteral("保存できない"));
    EXPECT_EVENTUALLY(recorder.Texts().size() == 1);
    EXPECT_TRUE(recorder.Texts().front().contains(QStringLiteral("保存できませんでした")));
    EXPECT_TRUE(recorder.Texts().front().contains(QStringLiteral("2004年  2月2日")));
    EXPECT_EQ(m_programDir.ReadFile("Data/schedule"), "in the way");
    // Not shown as saved; what was typed waits in the dialog again.
    EXPECT_EQ(Memo(1), QString());
    EXPECT_EVENTUALLY(Dialog().isVisible());
    EXPECT_EQ(Dialog().MemoEdit()->toPlainText(), QStringLiteral("保存できない"));
}

TEST_F(CalendarPageTest, TheDialogFollowsItsTemplate)
{
    SetToday(2004, 2, 10);
    OpenPage();
    DoubleClickRow(0);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    const CDialogUnits units(CDialogUnits::DialogFont());
    EXPECT_EQ(Dialog().size(), units.ToPixels(186, CScheduleEntryDlg::kHeight));
    EXPECT_EQ(Dialog().TideCurve()->geometry(),
              units.ToPixels(8, CScheduleEntryDlg::kTideCurveTop, 170,
                             CScheduleEntryDlg::kTideCurveHeight));
    auto* edit = FindControl<QPlainTextEdit>(&Dialog(), CScheduleEntryDlg::kMemoEditId);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->geometry(), units.ToPixels(8, 24, 169, 61));
    EXPECT_EQ(FindControl<QLabel>(&Dialog(), CScheduleEntryDlg::kHintId)->text(),
              QStringLiteral("Enter で改行、Ctrl+Enter で入力"));
    EXPECT_EQ(FindControl<QPushButton>(&Dialog(), 1)->text(), QStringLiteral("入力"));
    EXPECT_TRUE(FindControl<QPushButton>(&Dialog(), 1)->isDefault());
    EXPECT_EQ(FindControl<QPushButton>(&Dialog(), 2)->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_FALSE(Dialog().isModal());
}

TEST_F(CalendarPageTest, AMemoTooLongToReadBackIsRefused)
{
    SetToday(2004, 2, 10);
    OpenPage();
    CMessageBoxRecorder recorder;
    DoubleClickRow(0);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    // 254 bytes of text and one line break (2 bytes) are one byte too many.
    Confirm(QString(127, QChar(0x9B5A)) + QStringLiteral("\n"));
    ASSERT_EQ(recorder.Texts().size(), 1);
    EXPECT_TRUE(recorder.Texts().front().contains(QStringLiteral("256バイト")));
    QTest::qWait(0);
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_FALSE(m_programDir.Exists("Data/schedule/2004年  2月.txt"));

    const QString fits = QString(126, QChar(0x9B5A)) + QStringLiteral("\n");
    Confirm(fits);
    EXPECT_EVENTUALLY(Memo(0) == fits);
    EXPECT_EQ(ReadScheduleMemo(m_programDir.Folder(), "2004年  2月", 1), StdFromQString(fits));
}

TEST_F(CalendarPageTest, EnterStartsALineAndCtrlEnterConfirms)
{
    SetToday(2004, 2, 10);
    OpenPage();
    DoubleClickRow(1);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    QPlainTextEdit* edit = Dialog().MemoEdit();
    edit->setPlainText(QStringLiteral("朝"));
    edit->moveCursor(QTextCursor::End);
    QTest::keyClick(edit, Qt::Key_Return);
    edit->insertPlainText(QStringLiteral("夕"));
    EXPECT_TRUE(Dialog().isVisible());
    QTest::keyClick(edit, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EVENTUALLY(Memo(1) == QStringLiteral("朝\n夕"));
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(ReadScheduleMemo(m_programDir.Folder(), "2004年  2月", 2), "朝\n夕");
}

TEST_F(CalendarPageTest, EditedOldHolidayFilesApplyAsWrittenAndAreToldOnce)
{
    SetToday(2026, 9, 1);
    const std::string edited = std::string(kLegacyFixedHolidays) + "9^1^防災の日^0~";
    m_workingDir.Write("S_Holiday.txt", edited);
    OpenPage();
    EXPECT_EQ(View().HolidayName(0), QStringLiteral("防災の日"));
    EXPECT_EQ(View().HolidayName(14), QStringLiteral("敬老の日"));  // as written: the 15th
    // The missing rule file is made from the old list too: no Monday 敬老の日 and no day
    // between it and the equinox.
    EXPECT_EQ(View().HolidayName(20), QString());
    EXPECT_EQ(View().HolidayName(21), QString());
    EXPECT_TRUE(m_workingDir.Exists("D_Holiday.txt"));
    ASSERT_FALSE(m_page->StatusLine()->isHidden());
    EXPECT_TRUE(m_page->StatusLine()->text().contains(QStringLiteral("古い形式")));
    m_page->StatusLine()->clear();
    Click(CCalendarBar::kNextMonthId);
    EXPECT_EQ(m_page->StatusLine()->text(), QString());
    EXPECT_EQ(m_workingDir.Read("S_Holiday.txt"), edited);
}

TEST_F(CalendarPageTest, RowsShowTheHomePortsTidesAndTheDialogItsCurve)
{
    SetToday(2027, 5, 3);
    OpenPage();
    // Without a home port there is no tide column, and the dialog says how to choose one.
    EXPECT_TRUE(View().header()->isSectionHidden(CSheduleView::kTideColumn));
    DoubleClickRow(2);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    EXPECT_FALSE(Dialog().TideCurve()->Day().has_value());
    EXPECT_TRUE(Dialog().TideCurve()->Note().contains(QStringLiteral("潮汐の基準港")));
    QTest::mouseClick(FindControl<QPushButton>(&Dialog(), CScheduleEntryDlg::kCancelId),
                      Qt::LeftButton);
    EXPECT_EVENTUALLY(!Dialog().isVisible());

    const CTideStation station = OneWaveTideStation();
    const CTideStation* port = &station;
    View().SetTidePortSource([&port] { return port; });
    Click(CCalendarBar::kNextMonthId);
    Click(CCalendarBar::kPrevMonthId);
    ASSERT_EQ(Title(), QStringLiteral("2027年  5月"));
    EXPECT_FALSE(View().header()->isSectionHidden(CSheduleView::kTideColumn));
    EXPECT_EQ(View().headerItem()->text(CSheduleView::kTideColumn),
              QStringLiteral("潮汐（テスト港）"));
    // On the screen the tide column stands between the labels and the memos.
    EXPECT_EQ(View().header()->visualIndex(CSheduleView::kTideColumn), 1);
    for (int row : {0, 2, 30}) {
        EXPECT_EQ(View().TideText(row),
                  QStringLiteral("満 0:00(250) 12:00(250)  干 6:00(50) 18:00(50)"))
            << row;
    }
    // The memo keeps its column, after the tides.
    ASSERT_TRUE(WriteScheduleMemo(m_programDir.Folder(), "2027年  5月", 3, "潮を見て釣行"));
    Click(CCalendarBar::kNextMonthId);
    Click(CCalendarBar::kPrevMonthId);
    EXPECT_EQ(Memo(2), QStringLiteral("潮を見て釣行"));
    const QImage image = View().viewport()->grab().toImage();
    const QRect row = View().visualItemRect(View().topLevelItem(2));
    const int tideLeft = View().header()->sectionViewportPosition(CSheduleView::kTideColumn);
    const int tideWidth = View().header()->sectionSize(CSheduleView::kTideColumn);
    const QRect tideArea(tideLeft + 2, row.top(), tideWidth - 4, row.height() - 1);
    const QRect memoArea(tideLeft + tideWidth + 2, row.top(), 200, row.height() - 1);
    const auto isTideColour = [](QRgb p) { return qRed(p) < 60 && qBlue(p) > 80; };
    EXPECT_GT(CountPixels(image, tideArea, isTideColour), 20);
    EXPECT_GT(CountPixels(image, memoArea, IsDark), 20);
    EXPECT_EQ(CountPixels(image, memoArea, isTideColour), 0);

    // The memo dialog of a day draws that day's tide at the port.
    DoubleClickRow(2);
    EXPECT_EVENTUALLY(Dialog().isVisible());
    ASSERT_TRUE(Dialog().TideCurve()->Day().has_value());
    const CTideCurveDay& day = *Dialog().TideCurve()->Day();
    EXPECT_EQ(day.extremes.size(), 4u);
    EXPECT_EQ(day.extremes[0].day, 3);
    EXPECT_EQ(day.title.rfind("テスト港  5月3日  日の出 4:", 0), 0u) << day.title;
    EXPECT_GT(day.sunsetMinute, 18 * 60);
    EXPECT_TRUE(Dialog().TideCurve()->isVisible());

    // A port that goes away (the settings changed) takes the column with it when the window is
    // active again, and a new one brings it back.
    port = nullptr;
    QTest::mouseClick(FindControl<QPushButton>(&Dialog(), CScheduleEntryDlg::kCancelId),
                      Qt::LeftButton);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&View(), &activate);
    EXPECT_TRUE(View().header()->isSectionHidden(CSheduleView::kTideColumn));
    EXPECT_EQ(View().TideText(2), QString());
    port = &station;
    QCoreApplication::sendEvent(&View(), &activate);
    EXPECT_FALSE(View().header()->isSectionHidden(CSheduleView::kTideColumn));
    EXPECT_EQ(View().TideText(30),
              QStringLiteral("満 0:00(250) 12:00(250)  干 6:00(50) 18:00(50)"));
}

TEST_F(CalendarPageTest, AMemoTooLongForItsRowEndsInAnEllipsisAndItsTipHasItWhole)
{
    SetToday(2027, 5, 3);
    const CTideStation station = OneWaveTideStation();
    OpenPage();
    View().SetTidePortSource([&station] { return &station; });
    const std::string longMemo =
        "相模湾 マダイ釣り 朝マヅメから船で出て、昼過ぎまで粘った。"
        "潮が動かず苦戦したが最後に一枚";
    const struct {
        int day;
        std::string memo;
        bool cut;
    } cases[] = {{3, longMemo, true}, {4, "短いメモ", false}, {5, "", false}};
    for (const auto& c : cases)
        ASSERT_TRUE(WriteScheduleMemo(m_programDir.Folder(), "2027年  5月", c.day, c.memo));
    Click(CCalendarBar::kNextMonthId);
    Click(CCalendarBar::kPrevMonthId);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.day);
        const int row = c.day - 1;
        const QString shown = View().ShownMemo(row);
        const QString memo = QStringFromStd(c.memo);
        EXPECT_EQ(shown.endsWith(QChar(0x2026)), c.cut) << shown.toStdString();
        if (c.cut) {
            // Whole characters before the 「…」, and nothing beyond the list's visible edge.
            EXPECT_TRUE(memo.startsWith(shown.chopped(1))) << shown.toStdString();
            const int left = View().header()->sectionViewportPosition(0) + CSheduleView::kMemoX +
                             View().header()->sectionSize(CSheduleView::kTideColumn);
            EXPECT_LE(left + View().fontMetrics().horizontalAdvance(shown),
                      View().viewport()->width());
        } else {
            EXPECT_EQ(shown, memo);
        }
        // 3 to 5 May are holidays: the tip names the day, then holds the memo whole.
        QStringList tip = View().topLevelItem(row)->toolTip(1).split(QLatin1Char('\n'));
        EXPECT_FALSE(tip.takeFirst().isEmpty());
        EXPECT_EQ(tip.join(QLatin1Char('\n')), memo);
    }
}
