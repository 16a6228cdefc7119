#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "data/CatchStore.h"
#include "data/Clock.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"
#include "entry/widgets/CatchEntryDlg.h"
#include "entry/widgets/HitListCtrl.h"
#include "entry/widgets/UpDownCtrl.h"
#include "photos/PhotoTestFiles.h"
#include "photos/widgets/ThumbnailBuilder.h"
#include "support/TempProgramDir.h"
#include "support/widgets/FakeDesktopServices.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/WidgetLookup.h"
#include "uikit/DialogUnits.h"
#include "uikit/QtText.h"

namespace {

// Stands in for the trip list: records what its dialogs report.
class CRecordingOwner : public QWidget, public ICatchEntryOwner {
public:
    void OnCatchEntryClosed(CCatchEntryDlg* dialog, ECatchEntryResult result) override
    {
        calls.emplace_back(dialog, result);
    }
    std::vector<std::pair<CCatchEntryDlg*, ECatchEntryResult>> calls;
};

CTripRecord SampleTrip(const std::string& place)
{
    CTripRecord trip;
    trip.fishname = "メバル";
    trip.weather = "雨";
    trip.date = "2004/5/3";
    trip.water = "18";
    trip.highTide = "5:10";
    trip.ebbTide = "11:40";
    trip.method = "ルアー\n5g ジグヘッド";
    trip.place = place;
    trip.memo = "風が強い";
    trip.catches = {{"メバル", "21", "0", "20時15分"}, {"カサゴ", "18", "0", "時分"}};
    return trip;
}

class CatchEntryDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentDateSourceForTesting([] { return CDate{2024, 7, 15}; });
        m_dir.WriteFile("Data/fishname.txt", "スズキ\r\nメバル\r\nクロダイ\r\n");
        m_outside = MakeTempDir();
    }
    void TearDown() override
    {
        m_dialog.reset();
        SetCurrentDateSourceForTesting({});
        SetSafeWriteFunctionForTesting({});
        RemoveTree(m_outside);
    }

    CCatchEntryDlg* Open(int position)
    {
        m_dialog = std::make_unique<CCatchEntryDlg>(&m_owner, m_store, m_dir.Folder(), position);
        m_dialog->show();
        return m_dialog.get();
    }
    template <typename T>
    T* Control(int id)
    {
        T* control = FindControl<T>(m_dialog.get(), id);
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }
    void Click(int id) { QTest::mouseClick(Control<QPushButton>(id), Qt::LeftButton); }
    void SetText(int id, const QString& text) { Control<QLineEdit>(id)->setText(text); }
    void SetSpecies(const QString& text) { Control<QComboBox>(1026)->setEditText(text); }
    QString Cell(int row, int column)
    {
        QTableWidgetItem* item = Control<CHitListCtrl>(1004)->item(row, column);
        return item ? item->text() : QString();
    }
    int CatchRows() { return Control<CHitListCtrl>(1004)->rowCount(); }
    void PressRow(int row)
    {
        auto* list = Control<CHitListCtrl>(1004);
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    std::string CatchFile() const { return m_dir.ReadFile("Data/fish.xml"); }
    CTripRecord StoredTrip(int n)
    {
        CTripRecord trip;
        EXPECT_TRUE(CCatchStore(m_dir.CatchFile()).ReadTrip(n, trip).ok());
        return trip;
    }
    void AddStoredTrip(const CTripRecord& trip)
    {
        ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).AddTrip(trip).ok());
    }
    // A small JPEG outside the program directory.
    QString Jpeg(const std::string& relative, QRgb colour)
    {
        const QString path = QStringFromStd(m_outside + relative);
        WriteFileBytes(m_outside + relative, "");
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(path, "JPG"));
        return path;
    }
    // A small camera JPEG whose EXIF says when it was taken.
    QString CameraJpeg(const std::string& relative, const std::string& taken)
    {
        CJpegOptions options;
        options.exif = MakeTestExif(1, taken);
        WriteFileBytes(m_outside + relative, PlainJpeg(64, 48, kTestGreen, options));
        return QStringFromStd(m_outside + relative);
    }
    void WaitForPhotos(int id, int count)
    {
        auto* list = Control<QListWidget>(id);
        EXPECT_EVENTUALLY(list->count() == count);
        EXPECT_EVENTUALLY(!IsBuildingThumbnails(list));
    }
    ECatchEntryResult WaitForResult()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !m_owner.calls.empty(); }));
        if (m_owner.calls.empty()) return ECatchEntryResult::Cancelled;
        EXPECT_EQ(m_owner.calls.back().first, m_dialog.get());
        return m_owner.calls.back().second;
    }

    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
    std::string m_outside;
    CMessageBoxRecorder m_messages;
    CFakeDesktopServices m_desktop;
    CRecordingOwner m_owner;
    std::unique_ptr<CCatchEntryDlg> m_dialog;
};

TEST(FindComboEntryTest, PrefixSearchTriesTheFirstEntryLast)
{
    const QStringList weather = {"晴れ", "曇り", "雨"};
    EXPECT_EQ(FindComboEntry(weather, "曇"), 1);
    EXPECT_EQ(FindComboEntry(weather, "雨"), 2);
    EXPECT_EQ(FindComboEntry(weather, "晴れ"), 0);
    EXPECT_EQ(FindComboEntry(weather, "雪"), -1);
    EXPECT_EQ(FindComboEntry(weather, ""), -1);
    EXPECT_EQ(FindComboEntry({"Aji", "aji-saba", "Saba"}, "AJI"), 1);
    EXPECT_EQ(FindComboEntry({}, "x"), -1);
}

TEST_F(CatchEntryDlgTest, ANewTripStartsEmptyWithTodayTheWeatherAndTheSpecies)
{
    CCatchEntryDlg* dialog = Open(-1);
    EXPECT_EQ(dialog->windowTitle(), "釣果データ入力画面");
    EXPECT_FALSE(dialog->isModal());
    const CDialogUnits units(dialog->font());
    EXPECT_EQ(Control<QWidget>(1004)->parentWidget()->size(), units.ToPixels(299, 439));
    EXPECT_EQ(Control<QWidget>(1004)->geometry(), units.ToPixels(9, 244, 282, 65));
    EXPECT_EQ(Control<QWidget>(1011)->geometry(), units.ToPixels(10, 329, 281, 86));
    EXPECT_EQ(Control<QWidget>(1030)->geometry(), units.ToPixels(110, 40, 182, 97));

    const std::pair<int, const char*> buttons[] = {
        {1012, "画像追加"},   {1015, "画像削除"}, {1025, "登録"}, {1006, "削除"},
        {1029, "魚画像追加"}, {1028, "画像削除"}, {1, "登録"},    {2, "ｷｬﾝｾﾙ"}};
    for (const auto& [id, caption] : buttons) {
        EXPECT_EQ(Control<QPushButton>(id)->text(), QString::fromUtf8(caption)) << id;
    }
    EXPECT_TRUE(Control<QPushButton>(1)->isDefault());

    auto* weather = Control<QComboBox>(1013);
    ASSERT_EQ(weather->count(), 3);
    EXPECT_EQ(weather->itemText(0), "晴れ");
    EXPECT_EQ(weather->itemText(1), "曇り");
    EXPECT_EQ(weather->itemText(2), "雨");
    EXPECT_EQ(weather->currentText(), "");
    for (int id : {1014, 1026}) {
        auto* combo = Control<QComboBox>(id);
        ASSERT_EQ(combo->count(), 3) << id;
        EXPECT_EQ(combo->itemText(0), "スズキ");
        EXPECT_EQ(combo->itemText(2), "クロダイ");
        EXPECT_EQ(combo->currentIndex(), -1);
        EXPECT_EQ(combo->currentText(), "");
    }
    EXPECT_EQ(Control<QLineEdit>(1019)->text(), "0");
    EXPECT_EQ(Control<QLineEdit>(1020)->text(), "0");
    EXPECT_EQ(Control<QDateEdit>(1005)->date(), QDate(2024, 7, 15));
    EXPECT_EQ(Control<QDateEdit>(1005)->text(), "2024/07/15");
    for (int id : {1034, 1036, 1035, 1008, 1021, 1023}) {
        EXPECT_EQ(Control<QLineEdit>(id)->text(), "") << id;
    }

    auto* catches = Control<CHitListCtrl>(1004);
    EXPECT_EQ(catches->rowCount(), 0);
    ASSERT_EQ(catches->columnCount(), 4);
    const std::pair<const char*, int> columns[] = {
        {"魚名", 80}, {"体長(cm)", 80}, {"重さ(kg)", 100}, {"釣れた時間", 100}};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(catches->horizontalHeaderItem(c)->text(), QString::fromUtf8(columns[c].first));
        EXPECT_EQ(catches->columnWidth(c), columns[c].second);
    }
    EXPECT_EQ(catches->GetHitItem(), -1);
    EXPECT_EQ(dialog->GetSelectedPlacePhoto(), -1);
}

TEST_F(CatchEntryDlgTest, RegisteringACatchChecksLengthAndWeightAndPutsTheNewestOnTop)
{
    Open(-1);
    Click(1025);  // no species: nothing added, and the user is told what is missing
    EXPECT_EQ(CatchRows(), 0);
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].contains("魚種名")) << m_messages.Texts()[0].toStdString();
    auto* species = Control<QComboBox>(1026);
    EXPECT_TRUE(m_dialog->focusWidget() == species ||
                m_dialog->focusWidget() == species->lineEdit());
    m_messages.Clear();

    SetSpecies("スズキ");
    SetText(1019, "abc");
    Click(1025);
    EXPECT_EQ(CatchRows(), 0);
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].contains("体長")) << m_messages.Texts()[0].toStdString();
    EXPECT_TRUE(m_messages.Texts()[0].contains("10000"));
    EXPECT_EQ(m_dialog->focusWidget(), Control<QLineEdit>(1019));

    SetText(1019, "25");
    SetText(1020, "10001");
    Click(1025);
    EXPECT_EQ(CatchRows(), 0);
    ASSERT_EQ(m_messages.Texts().size(), 2);
    EXPECT_TRUE(m_messages.Texts()[1].contains("重さ"));
    for (const char* wrong : {"-1", "", "1.2345", "0,35"}) {
        SetText(1020, wrong);
        Click(1025);
        EXPECT_EQ(CatchRows(), 0) << wrong;
    }

    SetText(1020, "1");
    SetText(1021, "5");
    SetText(1023, "30");
    Click(1025);
    ASSERT_EQ(CatchRows(), 1);
    EXPECT_EQ(Cell(0, 0), "スズキ");
    EXPECT_EQ(Cell(0, 1), "25");
    EXPECT_EQ(Cell(0, 2), "1");
    EXPECT_EQ(Cell(0, 3), "5時30分");
    EXPECT_EQ(Control<QLineEdit>(1019)->text(), "25");  // fields keep their values

    EXPECT_TRUE(m_messages.Texts().back().contains("「.」"))
        << m_messages.Texts().back().toStdString();

    SetSpecies("メバル");
    SetText(1019, "007");
    SetText(1020, "10000");
    SetText(1021, "");
    SetText(1023, "");
    Click(1025);
    SetText(1019, "３２．５");
    SetText(1020, "０．３５０");
    Click(1025);
    ASSERT_EQ(CatchRows(), 3);
    EXPECT_EQ(Cell(0, 1), "32.5");
    EXPECT_EQ(Cell(0, 2), "0.35");
    EXPECT_EQ(Cell(1, 0), "メバル");
    EXPECT_EQ(Cell(1, 1), "7");
    EXPECT_EQ(Cell(1, 2), "10000");
    EXPECT_EQ(Cell(1, 3), "時分");
    EXPECT_EQ(Cell(2, 0), "スズキ");
    EXPECT_EQ(m_messages.Texts().size(), 6);
}

TEST_F(CatchEntryDlgTest, HourAndMinuteStepRoundTheirRangesIntoTheirEdits)
{
    Open(-1);
    auto* hour = Control<QLineEdit>(1021);
    auto* hourSpin = Control<CUpDownCtrl>(1022);
    auto* minute = Control<QLineEdit>(1023);
    auto* minuteSpin = Control<CUpDownCtrl>(1024);
    EXPECT_EQ(hourSpin->GetUpper(), 24);
    EXPECT_EQ(minuteSpin->GetUpper(), 60);

    // A click on the lower half steps down: from 0 it wraps to 24.
    QTest::mouseClick(hourSpin, Qt::LeftButton, {},
                      QPoint(hourSpin->width() / 2, hourSpin->height() - 2));
    EXPECT_EQ(hour->text(), "24");
    QTest::mouseClick(hourSpin, Qt::LeftButton, {}, QPoint(hourSpin->width() / 2, 1));
    EXPECT_EQ(hour->text(), "0");
    hour->setText("23");  // typed values are where the next step starts
    hourSpin->Step(1);
    EXPECT_EQ(hour->text(), "24");
    hour->setText("nonsense");
    hourSpin->Step(1);
    EXPECT_EQ(hour->text(), "0");

    minute->setText("60");
    minute->setFocus();
    QTest::keyClick(minute, Qt::Key_Up);
    EXPECT_EQ(minute->text(), "0");
    QTest::keyClick(minute, Qt::Key_Down);
    EXPECT_EQ(minute->text(), "60");
    QTest::keyClick(minute, Qt::Key_Down);
    EXPECT_EQ(minute->text(), "59");
}

TEST_F(CatchEntryDlgTest, RemovingTakesTheRowLastPressed)
{
    Open(-1);
    for (const char* species : {"A", "B", "C"}) {
        SetSpecies(species);
        Click(1025);
    }
    ASSERT_EQ(CatchRows(), 3);  // C, B, A
    Click(1006);                // nothing pressed yet
    EXPECT_EQ(CatchRows(), 3);

    PressRow(1);
    EXPECT_EQ(Control<CHitListCtrl>(1004)->GetHitItem(), 1);
    Click(1006);
    ASSERT_EQ(CatchRows(), 2);
    EXPECT_EQ(Cell(0, 0), "C");
    EXPECT_EQ(Cell(1, 0), "A");
    Click(1006);  // the row that moved into position 1
    ASSERT_EQ(CatchRows(), 1);
    EXPECT_EQ(Cell(0, 0), "C");
    Click(1006);  // position 1 is past the end now
    EXPECT_EQ(CatchRows(), 1);

    auto* list = Control<CHitListCtrl>(1004);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(5, list->viewport()->height() - 3));  // empty space
    EXPECT_EQ(list->GetHitItem(), -1);
    Click(1006);
    EXPECT_EQ(CatchRows(), 1);
}

TEST_F(CatchEntryDlgTest, RegisteringACatchThatBeatsTheSavedBestSaysSo)
{
    AddStoredTrip(SampleTrip("first"));  // メバル 21 cm 0 kg; no スズキ at all
    struct Case {
        const char* species;
        const char* length;
        const char* weight;
        bool record;
    };
    const Case cases[] = {
        {"メバル", "20", "0", false},  {"メバル", "21", "0", false},  // level is no record
        {"メバル", "21.5", "0", true}, {"メバル", "10", "0.001", true},
        {"スズキ", "60", "3", false},
    };
    for (const Case& c : cases) {
        Open(-1);
        SetSpecies(c.species);
        SetText(1019, c.length);
        SetText(1020, c.weight);
        Click(1025);
        EXPECT_EQ(Control<QLabel>(1041)->text() == QStringLiteral("自己記録更新"), c.record)
            << c.species << " " << c.length << " " << c.weight;
    }
    EXPECT_TRUE(m_messages.Texts().isEmpty());

    // The label follows the list: it stays while a record catch is listed and goes with it.
    Open(-1);
    auto* label = Control<QLabel>(1041);
    SetSpecies("メバル");
    SetText(1019, "30");
    Click(1025);
    SetText(1019, "20");
    Click(1025);  // the newest on top: the record is row 1
    EXPECT_EQ(label->text(), QStringLiteral("自己記録更新"));
    PressRow(0);
    Click(1006);
    EXPECT_EQ(label->text(), QStringLiteral("自己記録更新"));
    PressRow(0);
    Click(1006);
    EXPECT_EQ(CatchRows(), 0);
    EXPECT_EQ(label->text(), QString());
}

// A catch typed but not added is part of the entry: it counts as a change, the trip's 登録 and
// the question's 保存 add it first, and one that cannot be added keeps the dialog open with
// the reason.
TEST_F(CatchEntryDlgTest, ACatchTypedButNotAddedIsNeverLost)
{
    struct Case {
        const char* what;
        const char* species;
        const char* length;
        const char* weight;
        bool viaQuestion;       // Escape, then 保存; otherwise the trip's 登録
        const char* complaint;  // empty: saved with the catch
    };
    const Case cases[] = {
        {"登録", "スズキ", "40", "1.5", false, ""},
        {"保存", "スズキ", "40", "1.5", true, ""},
        {"no species", "", "40", "0", false, "魚種名"},
        {"no species, 保存", "", "40", "0", true, "魚種名"},
        {"bad weight", "スズキ", "40", "abc", false, "重さ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_owner.calls.clear();
        m_messages.Clear();
        Open(-1);
        SetText(1008, "港");
        SetSpecies(QString::fromUtf8(c.species));
        SetText(1019, c.length);
        SetText(1020, c.weight);
        EXPECT_TRUE(m_dialog->HasChanges());
        std::vector<CTripRow> before;
        ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).ListTrips(before).ok());
        if (c.viaQuestion) {
            m_messages.QueueAnswer(QMessageBox::Save);
            QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
        } else {
            Click(1);
        }
        QTest::qWait(5);
        std::vector<CTripRow> after;
        ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).ListTrips(after).ok());
        if (*c.complaint == 0) {
            EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
            ASSERT_EQ(after.size(), before.size() + 1);
            const CTripRecord saved = StoredTrip(static_cast<int>(before.size()));
            EXPECT_EQ(saved.catches, (std::vector<CCatchRecord>{{"スズキ", "40", "1.5", "時分"}}));
        } else {
            EXPECT_TRUE(m_owner.calls.empty());
            EXPECT_EQ(after.size(), before.size());
            ASSERT_FALSE(m_messages.Texts().isEmpty());
            EXPECT_TRUE(m_messages.Texts().back().contains(c.complaint))
                << m_messages.Texts().back().toStdString();
        }
    }
    // Only typing in the catch fields is a change that the closing question asks about.
    m_messages.Clear();
    Open(-1);
    EXPECT_FALSE(m_dialog->HasChanges());
    SetText(1021, "5");
    EXPECT_TRUE(m_dialog->HasChanges());
    SetText(1021, "");
    EXPECT_FALSE(m_dialog->HasChanges());
}

TEST_F(CatchEntryDlgTest, SavingANewTripAppendsItAndTellsTheOwnerLater)
{
    AddStoredTrip(SampleTrip("first"));
    Open(-1);
    Control<QComboBox>(1014)->setCurrentIndex(2);
    Control<QComboBox>(1013)->setCurrentIndex(0);
    Control<QDateEdit>(1005)->setDate(QDate(2023, 11, 4));
    SetText(1034, "16");
    SetText(1036, "6:00");
    SetText(1035, "12:10");
    SetText(1008, "城ヶ島");
    Control<QPlainTextEdit>(1009)->setPlainText("フカセ\n道糸2号");
    Control<QPlainTextEdit>(1010)->setPlainText("よく釣れた");
    SetSpecies("クロダイ");
    SetText(1019, "40");
    SetText(1020, "2");
    SetText(1021, "6");
    SetText(1023, "5");
    Click(1025);
    SetSpecies("メジナ");
    Click(1025);

    Click(1);
    EXPECT_TRUE(m_owner.calls.empty());  // queued, not called from inside the click
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    EXPECT_TRUE(m_messages.Texts().isEmpty());

    std::vector<CTripRow> rows;
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).ListTrips(rows).ok());
    ASSERT_EQ(rows.size(), 2u);
    const CTripRecord saved = StoredTrip(1);
    EXPECT_EQ(saved.fishname, "クロダイ");
    EXPECT_EQ(saved.weather, "晴れ");
    EXPECT_EQ(saved.date, "2023/11/04");
    EXPECT_EQ(saved.water, "16");
    EXPECT_EQ(saved.highTide, "6:00");
    EXPECT_EQ(saved.ebbTide, "12:10");
    EXPECT_EQ(saved.place, "城ヶ島");
    EXPECT_EQ(saved.method, "フカセ\n道糸2号");
    EXPECT_EQ(saved.memo, "よく釣れた");
    ASSERT_EQ(saved.catches.size(), 2u);
    EXPECT_EQ(saved.catches[0], (CCatchRecord{"メジナ", "40", "2", "6時5分"}));
    EXPECT_EQ(saved.catches[1], (CCatchRecord{"クロダイ", "40", "2", "6時5分"}));
    EXPECT_EQ(StoredTrip(0), SampleTrip("first"));

    // Once saved the dialog only waits for its owner: a second press adds nothing.
    Click(1);
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).ListTrips(rows).ok());
    EXPECT_EQ(rows.size(), 2u);
}

TEST_F(CatchEntryDlgTest, ReopeningShowsTheStoredTrip)
{
    CTripRecord cloudy = SampleTrip("second");
    cloudy.weather = "曇";
    cloudy.fishname = "ｸﾛ";  // matches no species: kept in the edit field
    AddStoredTrip(SampleTrip("first"));
    AddStoredTrip(cloudy);

    Open(0);
    EXPECT_EQ(Control<QDateEdit>(1005)->date(), QDate(2004, 5, 3));
    EXPECT_EQ(Control<QComboBox>(1013)->currentIndex(), 2);  // 雨
    EXPECT_EQ(Control<QComboBox>(1014)->currentText(), "メバル");
    EXPECT_EQ(Control<QComboBox>(1014)->currentIndex(), 1);
    EXPECT_EQ(Control<QComboBox>(1026)->currentIndex(), 0);  // first species
    EXPECT_EQ(Control<QComboBox>(1026)->currentText(), "スズキ");
    EXPECT_EQ(Control<QLineEdit>(1008)->text(), "first");
    EXPECT_EQ(Control<QLineEdit>(1034)->text(), "18");
    EXPECT_EQ(Control<QLineEdit>(1036)->text(), "5:10");
    EXPECT_EQ(Control<QLineEdit>(1035)->text(), "11:40");
    EXPECT_EQ(Control<QPlainTextEdit>(1009)->toPlainText(), "ルアー\n5g ジグヘッド");
    EXPECT_EQ(Control<QPlainTextEdit>(1010)->toPlainText(), "風が強い");
    ASSERT_EQ(CatchRows(), 2);
    EXPECT_EQ(Cell(0, 0), "メバル");
    EXPECT_EQ(Cell(0, 3), "20時15分");
    EXPECT_EQ(Cell(1, 0), "カサゴ");

    Open(1);
    EXPECT_EQ(Control<QComboBox>(1013)->currentIndex(), 1);
    EXPECT_EQ(Control<QComboBox>(1013)->currentText(), "曇り");
    EXPECT_EQ(Control<QComboBox>(1014)->currentIndex(), -1);
    EXPECT_EQ(Control<QComboBox>(1014)->currentText(), "ｸﾛ");

    // Saved unchanged, the trip reads back the same apart from what the combos chose.
    Click(1);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    CTripRecord expected = cloudy;
    expected.weather = "曇り";
    expected.date = "2004/05/03";
    EXPECT_EQ(StoredTrip(1), expected);
}

// The stored date is read as the CSV import and the trip list read dates; one the picker cannot
// show is told before a save could put today's date in its place.
TEST_F(CatchEntryDlgTest, AStoredDateThatIsNoDateIsToldOnOpening)
{
    struct Case {
        const char* stored;
        QDate shown;
        bool told;
    };
    const Case cases[] = {
        {"2004/5/3", QDate(2004, 5, 3), false},
        {"2024-04-14", QDate(2024, 4, 14), false},
        {"令和6年4月17日", QDate(2024, 4, 17), false},
        {"abc", QDate(2024, 7, 15), true},
        {"2026/02/30", QDate(2024, 7, 15), true},
        {"4月16日", QDate(2024, 7, 15), true},
        {"", QDate(2024, 7, 15), true},
    };
    int position = 0;
    for (const Case& c : cases) {
        CTripRecord trip = SampleTrip(c.stored);
        trip.date = c.stored;
        AddStoredTrip(trip);
        const qsizetype before = m_messages.Texts().size();
        Open(position++);
        EXPECT_EQ(Control<QDateEdit>(1005)->date(), c.shown) << c.stored;
        ASSERT_EQ(m_messages.Texts().size(), before + (c.told ? 1 : 0)) << c.stored;
        if (c.told) {
            EXPECT_TRUE(m_messages.Texts().back().contains(QStringLiteral("日付として読めない")));
        }
    }
}

TEST_F(CatchEntryDlgTest, CatchesKeepTheirOrderThroughSavingAndReopening)
{
    AddStoredTrip(CTripRecord{});
    Open(0);
    SetSpecies("first");
    Click(1025);
    SetSpecies("second");
    Click(1025);
    Click(1);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    Open(0);
    ASSERT_EQ(CatchRows(), 2);
    EXPECT_EQ(Cell(0, 0), "second");
    EXPECT_EQ(Cell(1, 0), "first");
}

TEST_F(CatchEntryDlgTest, CancelWritesNothing)
{
    AddStoredTrip(SampleTrip("first"));
    m_dir.WriteFile("Data/Picture/old.jpg", "old");
    CTripRecord withPhoto = SampleTrip("second");
    withPhoto.fishPhotos = {m_dir.Path("Data/Picture/old.jpg")};
    AddStoredTrip(withPhoto);
    const std::string before = CatchFile();

    Open(1);
    WaitForPhotos(1011, 1);
    SetSpecies("スズキ");
    Click(1025);
    SetText(1008, "changed");
    QListWidget* fish = Control<QListWidget>(1011);
    QTest::mouseClick(fish->viewport(), Qt::LeftButton, {},
                      fish->visualItemRect(fish->item(0)).center());
    Click(1028);
    EXPECT_TRUE(m_dialog->GetFishPhotoPaths().isEmpty());
    m_desktop.QueueOpenFileNames({Jpeg("new.jpg", qRgb(0, 0, 255))});
    Click(1012);

    m_messages.QueueAnswer(QMessageBox::Discard);
    Click(2);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Cancelled);
    EXPECT_EQ(CatchFile(), before);
    EXPECT_TRUE(m_dir.Exists("Data/Picture/old.jpg"));
    EXPECT_FALSE(m_dir.Exists("Data/Picture/new.jpg"));

    // Escape cancels as well.
    m_owner.calls.clear();
    Open(0);
    QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Cancelled);
    EXPECT_EQ(CatchFile(), before);
}

TEST_F(CatchEntryDlgTest, ASaveThatFailsKeepsTheDialogOpenAndTheEntry)
{
    // Missing file: a new trip is not lost with its dialog.
    const std::string good = CatchFile();
    ::unlink(m_dir.Path("Data/fish.xml").c_str());
    Open(-1);
    SetText(1008, "keep me");
    Click(1);
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].contains("ファイルの読み込み失敗しました"));
    QTest::qWait(20);
    EXPECT_TRUE(m_owner.calls.empty());
    EXPECT_FALSE(m_dialog->IsClosing());
    EXPECT_EQ(Control<QLineEdit>(1008)->text(), "keep me");

    // A file that cannot be parsed is named with its line and left exactly as it is.
    const std::string broken = "<?xml version=\"1.0\"?>\n<CatchLog>\n<FishData>\n</CatchLog>\n";
    m_dir.WriteFile("Data/fish.xml", broken);
    Click(1);
    ASSERT_EQ(m_messages.Texts().size(), 2);
    EXPECT_TRUE(m_messages.Texts()[1].contains("行目")) << m_messages.Texts()[1].toStdString();
    EXPECT_EQ(CatchFile(), broken);

    // The disk refuses the write: the old file stays, the dialog stays.
    m_dir.WriteFile("Data/fish.xml", good);
    SetSafeWriteFunctionForTesting([](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    Click(1);
    ASSERT_EQ(m_messages.Texts().size(), 3);
    EXPECT_TRUE(m_messages.Texts()[2].contains("保存に失敗"));
    EXPECT_EQ(CatchFile(), good);
    QTest::qWait(20);
    EXPECT_TRUE(m_owner.calls.empty());

    // Once the disk is back the same dialog saves.
    SetSafeWriteFunctionForTesting({});
    Click(1);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    EXPECT_EQ(StoredTrip(0).place, "keep me");
}

TEST_F(CatchEntryDlgTest, AnExistingTripThatCouldNotBeReadIsNeverOverwritten)
{
    AddStoredTrip(SampleTrip("first"));
    const std::string good = CatchFile();
    m_dir.WriteFile("Data/fish.xml", "<broken");
    Open(0);
    EXPECT_EQ(m_messages.Texts().size(), 1);  // told on opening
    EXPECT_EQ(Control<QComboBox>(1014)->count(), 0);
    m_dir.WriteFile("Data/fish.xml", good);
    Click(1);
    EXPECT_EQ(m_messages.Texts().size(), 2);
    EXPECT_EQ(CatchFile(), good);
    EXPECT_FALSE(m_dialog->IsClosing());
}

TEST_F(CatchEntryDlgTest, TheDialogStaysBoundToItsOwnTrip)
{
    for (const char* place : {"zero", "one", "two"}) AddStoredTrip(SampleTrip(place));
    Open(2);
    SetText(1008, "two, edited");
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).DeleteTrip(0).ok());  // from the trip list meanwhile
    Click(1);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    std::vector<CTripRow> rows;
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).ListTrips(rows).ok());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].place, "one");
    EXPECT_EQ(rows[1].place, "two, edited");

    // Its trip deleted while it is open: refused, nothing written.
    m_owner.calls.clear();
    Open(0);
    SetText(1008, "one, edited");
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).DeleteTrip(0).ok());
    AddStoredTrip(SampleTrip("three"));
    const std::string before = CatchFile();
    Click(1);
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].contains("上書きできません"));
    EXPECT_EQ(CatchFile(), before);
    QTest::qWait(20);
    EXPECT_TRUE(m_owner.calls.empty());

    // A trip added in front moves it down; it is still found.
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).DeleteTrip(1).ok());
    AddStoredTrip(SampleTrip("four"));
    Open(1);
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).DeleteTrip(0).ok());
    AddStoredTrip(SampleTrip("five"));
    SetText(1008, "four, edited");
    Click(1);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).ListTrips(rows).ok());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].place, "four, edited");
    EXPECT_EQ(rows[1].place, "five");
}

TEST_F(CatchEntryDlgTest, TextFieldsTakeAtMost255BytesAsTyped)
{
    Open(-1);
    auto* place = Control<QLineEdit>(1008);
    place->setFocus();
    TypeText(place, QString(130, QChar(0x9BDB)));  // 鯛: 2 bytes each
    EXPECT_EQ(place->text().size(), 127);          // 254 bytes
    QTest::keyClicks(place, "ab");
    EXPECT_EQ(place->text().size(), 128);  // one more byte fits, the second not
    EXPECT_EQ(Cp932ByteLength(StdFromQString(place->text())), 255u);

    // Pasting into the middle keeps what was there and cuts what was pasted.
    auto* water = Control<QLineEdit>(1034);
    water->setText("AB");
    water->setCursorPosition(1);
    water->insert(QString(300, QLatin1Char('x')));
    EXPECT_EQ(water->text(), QString("A") + QString(253, QLatin1Char('x')) + "B");

    auto* memo = Control<QPlainTextEdit>(1010);
    memo->setPlainText("end");
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(0);
    memo->setTextCursor(cursor);
    memo->insertPlainText(QString(200, QChar(0x3042)));  // あ
    EXPECT_EQ(Cp932ByteLength(StdFromQString(memo->toPlainText())), 255u);
    EXPECT_TRUE(memo->toPlainText().endsWith("end"));

    auto* species = Control<QComboBox>(1026);
    species->lineEdit()->setFocus();
    QTest::keyClicks(species->lineEdit(), QString(300, QLatin1Char('s')));
    EXPECT_EQ(species->currentText().size(), 255);

    // What was typed reads back unchanged.
    SetText(1019, "1");
    Click(1025);
    Click(1);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    const CTripRecord saved = StoredTrip(0);
    EXPECT_EQ(QStringFromStd(saved.place), place->text());
    EXPECT_EQ(QStringFromStd(saved.memo), memo->toPlainText());
    EXPECT_EQ(saved.catches.at(0).name, std::string(255, 's'));
}

TEST_F(CatchEntryDlgTest, EnterSavesFromTheFieldsButStartsALineInMethodAndMemo)
{
    Open(-1);
    for (const int id : {1009, 1010}) {
        auto* edit = Control<QPlainTextEdit>(id);
        edit->setFocus();
        QTest::keyClicks(edit, "a");
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, "b");
        EXPECT_EQ(edit->toPlainText(), "a\nb") << id;
    }
    QTest::qWait(10);
    EXPECT_TRUE(m_owner.calls.empty());

    auto* place = Control<QLineEdit>(1008);
    place->setFocus();
    TypeText(place, "港");
    QTest::keyClick(place, Qt::Key_Return);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    EXPECT_EQ(StoredTrip(0).method, "a\nb");
    EXPECT_EQ(StoredTrip(0).memo, "a\nb");
    EXPECT_EQ(StoredTrip(0).place, "港");

    // Ctrl+Enter saves from the memo too.
    m_owner.calls.clear();
    Open(0);
    m_dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    auto* memo = Control<QPlainTextEdit>(1010);
    memo->setFocus();
    QTest::keyClicks(memo, "c");
    QTest::keyClick(memo, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    EXPECT_EQ(StoredTrip(0).memo, "ca\nb");  // typed where the cursor was
}

TEST_F(CatchEntryDlgTest, ClosingWithChangesAsksAndDoesWhatTheAnswerSays)
{
    AddStoredTrip(SampleTrip("港"));
    const std::function<void(CCatchEntryDlg*)> paths[] = {
        [](CCatchEntryDlg* dialog) {
            QTest::mouseClick(FindControl<QPushButton>(dialog, 2), Qt::LeftButton);
        },
        [](CCatchEntryDlg* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); },
        [](CCatchEntryDlg* dialog) { dialog->close(); },
    };
    struct Case {
        QMessageBox::StandardButton answer;  // NoButton: no changes, nothing asked
        bool closes;
        const char* stored;
    };
    const Case cases[] = {{QMessageBox::NoButton, true, "港"},
                          {QMessageBox::Save, true, "changed"},
                          {QMessageBox::Discard, true, "港"},
                          {QMessageBox::Cancel, false, "港"}};
    int path = 0;
    for (const auto& close : paths) {
        for (const Case& c : cases) {
            AddStoredTrip(SampleTrip("港"));
            ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).DeleteTrip(0).ok());
            m_owner.calls.clear();
            m_messages.Clear();
            Open(0);
            if (c.answer != QMessageBox::NoButton) {
                SetText(1008, "changed");
                m_messages.QueueAnswer(c.answer);
            }
            close(m_dialog.get());
            QTest::qWait(5);
            const std::string where = std::to_string(path) + "/" + std::to_string(c.answer);
            EXPECT_EQ(m_messages.Texts().size(), c.answer == QMessageBox::NoButton ? 0 : 1)
                << where;
            if (!m_messages.Texts().isEmpty()) {
                EXPECT_EQ(m_messages.Texts()[0], "変更を保存しますか？");
                EXPECT_EQ(m_messages.Requests()[0].buttons,
                          QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
            }
            EXPECT_EQ(!m_owner.calls.empty(), c.closes) << where;
            EXPECT_EQ(StoredTrip(0).place, c.stored) << where;
        }
        ++path;
    }
}

TEST_F(CatchEntryDlgTest, TheDialogFitsASmallScreenAndScrollsItsControls)
{
    CCatchEntryDlg* dialog = Open(-1);
    const QRect screen = dialog->screen()->availableGeometry();
    const QSize classic = CDialogUnits(dialog->font()).ToPixels(299, 439);
    EXPECT_LE(dialog->height(), std::min(classic.height(), screen.height()));
    EXPECT_LE(dialog->width(), classic.width());
    auto* scroll = dialog->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->widget()->size(), classic);
    // The buttons at the bottom can be scrolled to.
    scroll->ensureWidgetVisible(Control<QPushButton>(1));
    const QPoint ok = Control<QPushButton>(1)->mapTo(dialog, QPoint(0, 0));
    EXPECT_GE(ok.y(), 0);
    EXPECT_LE(ok.y() + Control<QPushButton>(1)->height(), dialog->height());
}

// ---- photos ----------------------------------------------------------------------------------

int PicturesShown(QListWidget* list)
{
    int shown = 0;
    for (int i = 0; i < list->count(); ++i) shown += list->item(i)->icon().isNull() ? 0 : 1;
    return shown;
}

QPoint ItemCentre(QListWidget* list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

TEST_F(CatchEntryDlgTest, PhotosAreAddedFromTheFileDialogAndRebuiltEvenWhenItIsCancelled)
{
    Open(-1);
    const QStringList picked = {Jpeg("a/one.jpg", qRgb(255, 0, 0)),
                                Jpeg("b/two.jpg", qRgb(0, 255, 0)),
                                Jpeg("b/three.jpg", qRgb(0, 0, 255))};
    m_desktop.QueueOpenFileNames(picked);
    Click(1012);
    WaitForPhotos(1030, 3);
    auto* places = Control<QListWidget>(1030);
    EXPECT_EQ(m_dialog->GetPlacePhotoPaths(), picked);
    EXPECT_EQ(places->item(0)->text(), "one.jpg");
    EXPECT_EQ(places->item(2)->text(), "three.jpg");
    EXPECT_EQ(PicturesShown(places), 3);

    Click(1012);  // cancelled: the three stay, built again
    WaitForPhotos(1030, 3);
    EXPECT_EQ(m_dialog->GetPlacePhotoPaths(), picked);
    EXPECT_EQ(m_desktop.DialogCaptions().size(), 2);
    EXPECT_TRUE(m_dialog->GetFishPhotoPaths().isEmpty());

    // Eight fish photos: eight labels, pictures on the first six.
    QStringList eight;
    for (int i = 0; i < 8; ++i)
        eight << Jpeg("f/fish" + std::to_string(i) + ".jpg", qRgb(i * 30, 0, 0));
    m_desktop.QueueOpenFileNames(eight);
    Click(1029);
    WaitForPhotos(1011, 8);
    EXPECT_EQ(Control<QListWidget>(1011)->item(7)->text(), "fish7.jpg");
    EXPECT_EQ(PicturesShown(Control<QListWidget>(1011)), 6);
}

TEST_F(CatchEntryDlgTest, ASavedTripShowsAllItsPhotosUntilTheListIsRebuilt)
{
    CTripRecord trip = SampleTrip("photos");
    for (int i = 0; i < 8; ++i) {
        trip.fishPhotos.push_back(
            StdFromQString(Jpeg("g/p" + std::to_string(i) + ".jpg", qRgb(0, i * 30, 0))));
    }
    AddStoredTrip(trip);
    Open(0);
    WaitForPhotos(1011, 8);
    auto* fish = Control<QListWidget>(1011);
    EXPECT_EQ(PicturesShown(fish), 8);

    QTest::mouseClick(fish->viewport(), Qt::LeftButton, {}, ItemCentre(fish, 2));
    Click(1028);
    WaitForPhotos(1011, 7);
    EXPECT_EQ(PicturesShown(fish), 6);
    EXPECT_EQ(fish->item(2)->text(), "p3.jpg");
    EXPECT_EQ(m_dialog->GetRemovedPhotoPaths(), QStringList{QStringFromStd(trip.fishPhotos[2])});
}

// Labels added beside the fields live on the scrolled page with every other control, so they
// show (a label on the dialog itself would lie hidden under the page).
TEST_F(CatchEntryDlgTest, TideAndCaptureLabelsShowOnThePage)
{
    Open(-1);
    auto* tide = Control<QLabel>(1040);
    ASSERT_NE(tide, nullptr);
    m_dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dialog.get()));
    for (const int id : {1040, 1047, 1005}) {
        auto* control = Control<QWidget>(id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_EQ(control->parentWidget(), Control<QWidget>(1005)->parentWidget()) << id;
    }
    EXPECT_TRUE(tide->isVisible());
    Control<QDateEdit>(1005)->setDate(QDate(2026, 5, 17));
    EXPECT_TRUE(tide->text().startsWith(QStringLiteral("大潮"))) << tide->text().toStdString();
    EXPECT_TRUE(tide->text().contains(QStringLiteral("月齢"))) << tide->text().toStdString();
}

TEST_F(CatchEntryDlgTest, CaptureTimesFillOnlyWhatTheUserLeftAsItWasAndSaySo)
{
    Open(-1);
    auto* date = Control<QDateEdit>(1005);
    auto* note = Control<QLabel>(1047);
    EXPECT_TRUE(note->text().isEmpty());
    // Place photos give the date, not the catch time; the earliest photo counts.
    m_desktop.QueueOpenFileNames({Jpeg("p/plain.jpg", qRgb(1, 2, 3)),
                                  CameraJpeg("p/a.jpg", "2024:05:03 06:41:09"),
                                  CameraJpeg("p/b.jpg", "2024:05:01 21:05:00")});
    Click(1012);
    EXPECT_EQ(date->date(), QDate(2024, 5, 1));
    EXPECT_TRUE(Control<QLineEdit>(1021)->text().isEmpty());
    EXPECT_TRUE(note->text().startsWith(QStringLiteral("写真の撮影日時から入力しました")));
    EXPECT_TRUE(note->text().contains(QStringLiteral("日付")));

    // Fish photos: the first one with a capture time gives 時 and 分; an earlier photo moves the
    // date it gave.
    m_desktop.QueueOpenFileNames({CameraJpeg("f/1.jpg", "2024:05:02 07:08:00"),
                                  CameraJpeg("f/2.jpg", "2024:04:01 05:00:00")});
    Click(1029);
    EXPECT_EQ(Control<QLineEdit>(1021)->text(), QStringLiteral("7"));
    EXPECT_EQ(Control<QLineEdit>(1023)->text(), QStringLiteral("8"));
    EXPECT_EQ(date->date(), QDate(2024, 4, 1));
    EXPECT_TRUE(note->text().contains(QStringLiteral("時・分")));

    // What the user typed or picked stays.
    SetText(1021, QStringLiteral("5"));
    SetText(1023, QString());
    date->setDate(QDate(2024, 6, 9));
    m_desktop.QueueOpenFileNames({CameraJpeg("f/3.jpg", "2023:01:01 11:12:00")});
    Click(1029);
    EXPECT_EQ(Control<QLineEdit>(1021)->text(), QStringLiteral("5"));
    EXPECT_TRUE(Control<QLineEdit>(1023)->text().isEmpty());
    EXPECT_EQ(date->date(), QDate(2024, 6, 9));
    WaitForPhotos(1011, 3);
}

TEST_F(CatchEntryDlgTest, AnExistingTripKeepsItsDateWhenPhotosAreAdded)
{
    AddStoredTrip(SampleTrip("stored"));
    Open(0);
    m_desktop.QueueOpenFileNames({CameraJpeg("e/1.jpg", "2021:03:04 05:06:07")});
    Click(1029);
    EXPECT_EQ(Control<QDateEdit>(1005)->date(), QDate(2004, 5, 3));
    EXPECT_EQ(Control<QLineEdit>(1021)->text(), QStringLiteral("5"));
    EXPECT_EQ(Control<QLabel>(1047)->text(),
              QStringLiteral("写真の撮影日時から入力しました（時・分）"));
    WaitForPhotos(1011, 1);
}

TEST_F(CatchEntryDlgTest, AMissingPhotoAmongThreeCanBeSelectedAndRemoved)
{
    CTripRecord trip = SampleTrip("missing");
    trip.fishPhotos = {StdFromQString(Jpeg("m/1.jpg", qRgb(200, 0, 0))), m_outside + "m/gone.jpg",
                       StdFromQString(Jpeg("m/3.jpg", qRgb(0, 0, 200)))};
    AddStoredTrip(trip);
    CMessageBoxRecorder messages;
    Open(0);
    WaitForPhotos(1011, 3);
    auto* fish = Control<QListWidget>(1011);
    EXPECT_EQ(PicturesShown(fish), 3);
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts().front().contains(QStringFromStd(trip.fishPhotos[1])));

    QTest::mouseClick(fish->viewport(), Qt::LeftButton, {}, ItemCentre(fish, 1));
    Click(1028);
    WaitForPhotos(1011, 2);
    EXPECT_EQ(m_dialog->GetFishPhotoPaths(), (QStringList{QStringFromStd(trip.fishPhotos[0]),
                                                          QStringFromStd(trip.fishPhotos[2])}));
    EXPECT_EQ(m_dialog->GetTripFromControls().fishPhotos.size(), 2u);
}

TEST_F(CatchEntryDlgTest, RemovingAPlacePhotoTakesTheOneLastClicked)
{
    Open(-1);
    const QStringList picked = {Jpeg("c/1.jpg", qRgb(1, 1, 1)), Jpeg("c/2.jpg", qRgb(2, 2, 2)),
                                Jpeg("c/3.jpg", qRgb(3, 3, 3))};
    m_desktop.QueueOpenFileNames(picked);
    Click(1012);
    WaitForPhotos(1030, 3);
    Click(1015);  // nothing clicked yet
    EXPECT_EQ(m_dialog->GetPlacePhotoPaths().size(), 3);

    auto* places = Control<QListWidget>(1030);
    QTest::mouseClick(places->viewport(), Qt::LeftButton, {}, ItemCentre(places, 1));
    EXPECT_EQ(m_dialog->GetSelectedPlacePhoto(), 1);
    QTest::mouseClick(places->viewport(), Qt::LeftButton, {},
                      QPoint(places->viewport()->width() - 3, places->viewport()->height() - 3));
    EXPECT_EQ(m_dialog->GetSelectedPlacePhoto(), 1);  // empty space keeps the choice
    Click(1015);
    WaitForPhotos(1030, 2);
    EXPECT_EQ(m_dialog->GetPlacePhotoPaths(), (QStringList{picked[0], picked[2]}));
    Click(1015);  // the photo that moved into position 1
    WaitForPhotos(1030, 1);
    Click(1015);  // position 1 is past the end
    EXPECT_EQ(m_dialog->GetPlacePhotoPaths(), QStringList{picked[0]});
    EXPECT_EQ(m_dialog->GetRemovedPhotoPaths(), (QStringList{picked[1], picked[2]}));
}

TEST_F(CatchEntryDlgTest, ARightClickOpensThePhotoUnderThePointer)
{
    Open(-1);
    const QString photo = Jpeg("d/open me.jpg", qRgb(9, 9, 9));
    m_desktop.QueueOpenFileNames({photo});
    Click(1029);
    WaitForPhotos(1011, 1);
    auto* fish = Control<QListWidget>(1011);
    QTest::mouseClick(fish->viewport(), Qt::RightButton, {},
                      QPoint(fish->viewport()->width() - 3, fish->viewport()->height() - 3));
    EXPECT_TRUE(m_desktop.Opened().isEmpty());
    QTest::mouseClick(fish->viewport(), Qt::RightButton, {}, ItemCentre(fish, 0));
    ASSERT_EQ(m_desktop.Opened().size(), 1);
    EXPECT_EQ(m_desktop.Opened()[0], QUrl::fromLocalFile(photo));
}

TEST_F(CatchEntryDlgTest, SavingAnExistingTripCopiesItsPhotosWithoutCollisions)
{
    AddStoredTrip(SampleTrip("trip"));
    Open(0);
    const QString first = Jpeg("day1/IMG.jpg", qRgb(255, 0, 0));
    const QString second = Jpeg("day2/IMG.jpg", qRgb(0, 0, 255));
    m_desktop.QueueOpenFileNames({first});
    Click(1012);
    WaitForPhotos(1030, 1);
    m_desktop.QueueOpenFileNames({second});
    Click(1029);
    WaitForPhotos(1011, 1);
    Click(1);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);

    const CTripRecord saved = StoredTrip(0);
    const std::string copyA = m_dir.Path("Data/Picture/IMG.jpg");
    const std::string copyB = m_dir.Path("Data/Picture/IMG_2.jpg");
    EXPECT_EQ(saved.placePhotos, std::vector<std::string>{copyA});
    EXPECT_EQ(saved.fishPhotos, std::vector<std::string>{copyB});
    EXPECT_EQ(ReadFileBytes(copyA), ReadFileBytes(StdFromQString(first)));
    EXPECT_EQ(ReadFileBytes(copyB), ReadFileBytes(StdFromQString(second)));

    // Saved again, the copies keep their paths and no third file appears.
    m_owner.calls.clear();
    Open(0);
    WaitForPhotos(1011, 1);
    Click(1);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    EXPECT_EQ(StoredTrip(0), saved);
    EXPECT_FALSE(m_dir.Exists("Data/Picture/IMG_3.jpg"));
}

TEST_F(CatchEntryDlgTest, ANewTripNamesCopiesOfItsPhotosFromTheFirstSave)
{
    Open(-1);
    const QString photo = Jpeg("e/new.jpg", qRgb(5, 5, 5));
    m_desktop.QueueOpenFileNames({photo});
    Click(1029);
    WaitForPhotos(1011, 1);
    Click(1);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    EXPECT_EQ(StoredTrip(0).fishPhotos,
              std::vector<std::string>{m_dir.Path("Data/Picture/new.jpg")});
    EXPECT_EQ(m_dir.ReadFile("Data/Picture/new.jpg"), ReadFileBytes(StdFromQString(photo)));
}

TEST_F(CatchEntryDlgTest, ARemovedCopyIsDeletedAfterSavingUnlessAnotherTripNamesIt)
{
    const QString own = QStringFromStd(m_dir.Path("Data/Picture/own.jpg"));
    const QString shared = QStringFromStd(m_dir.Path("Data/Picture/shared.jpg"));
    m_dir.WriteFile("Data/Picture/own.jpg", "");
    m_dir.WriteFile("Data/Picture/shared.jpg", "");
    QImage(8, 8, QImage::Format_RGB32).save(own, "JPG");
    QImage(8, 8, QImage::Format_RGB32).save(shared, "JPG");
    CTripRecord trip = SampleTrip("mine");
    trip.fishPhotos = {StdFromQString(own), StdFromQString(shared)};
    CTripRecord other = SampleTrip("other");
    other.placePhotos = {StdFromQString(shared)};
    AddStoredTrip(trip);
    AddStoredTrip(other);

    Open(0);
    WaitForPhotos(1011, 2);
    auto* fish = Control<QListWidget>(1011);
    QTest::mouseClick(fish->viewport(), Qt::LeftButton, {}, ItemCentre(fish, 0));
    Click(1028);
    WaitForPhotos(1011, 1);
    Click(1028);  // the shared one moved into position 0
    WaitForPhotos(1011, 0);
    EXPECT_TRUE(m_dir.Exists("Data/Picture/own.jpg"));  // nothing goes before the save

    Click(1);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    EXPECT_TRUE(StoredTrip(0).fishPhotos.empty());
    EXPECT_FALSE(m_dir.Exists("Data/Picture/own.jpg"));
    EXPECT_TRUE(m_dir.Exists("Data/Picture/shared.jpg"));  // the other trip still shows it
}

TEST_F(CatchEntryDlgTest, APhotoThatCannotBeCopiedKeepsItsPathAndTheUserIsTold)
{
    AddStoredTrip(SampleTrip("trip"));
    Open(0);
    const QString photo = Jpeg("h/vanishing.jpg", qRgb(7, 7, 7));
    m_desktop.QueueOpenFileNames({photo});
    Click(1012);
    WaitForPhotos(1030, 1);
    ::unlink(photo.toUtf8().constData());
    Click(1);
    EXPECT_EQ(WaitForResult(), ECatchEntryResult::Saved);
    EXPECT_EQ(StoredTrip(0).placePhotos, std::vector<std::string>{StdFromQString(photo)});
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].contains("vanishing.jpg"));
    EXPECT_FALSE(m_dir.Exists("Data/Picture/vanishing.jpg"));
}

TEST_F(CatchEntryDlgTest, CopiesMadeForASaveThatFailsAreTakenBack)
{
    AddStoredTrip(SampleTrip("trip"));
    const std::string before = CatchFile();
    Open(0);
    m_desktop.QueueOpenFileNames({Jpeg("i/undone.jpg", qRgb(8, 8, 8))});
    Click(1012);
    WaitForPhotos(1030, 1);
    SetSafeWriteFunctionForTesting([](int, const void*, size_t) -> ssize_t {
        errno = EIO;
        return -1;
    });
    Click(1);
    SetSafeWriteFunctionForTesting({});
    EXPECT_EQ(m_messages.Texts().size(), 1);
    EXPECT_EQ(CatchFile(), before);
    EXPECT_FALSE(m_dir.Exists("Data/Picture/undone.jpg"));
    EXPECT_FALSE(m_dialog->IsClosing());
}

TEST_F(CatchEntryDlgTest, APhotoPathTheCatchFileWouldCutIsRefused)
{
    Open(-1);
    const QString fits = Jpeg("j/short.jpg", qRgb(4, 4, 4));
    const QString tooLong = QString::fromUtf8(m_outside) + QString(260, QLatin1Char('d')) + ".jpg";
    m_desktop.QueueOpenFileNames({tooLong, fits});
    Click(1029);
    WaitForPhotos(1011, 1);
    EXPECT_EQ(m_dialog->GetFishPhotoPaths(), QStringList{fits});
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].contains(tooLong));
}

}  // namespace
