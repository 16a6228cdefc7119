#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "data/CatchStore.h"
#include "data/Clock.h"
#include "entry/widgets/CatchEntryDlg.h"
#include "entry/widgets/SettingsDlg.h"
#include "entry/widgets/TidePortCombo.h"
#include "photos/PhotoTestFiles.h"
#include "places/CoordinateText.h"
#include "places/PlaceBook.h"
#include "support/TempProgramDir.h"
#include "support/TideTestStations.h"
#include "support/widgets/FakeDesktopServices.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/WidgetLookup.h"
#include "tides/TideEntryTexts.h"
#include "uikit/QtText.h"

namespace {

constexpr const char* kTokyo = "tokyo-ma15-jpn-jodc_jma";
constexpr const char* kNagoya = "nagoya-ma22-jpn-jodc_jma";
constexpr const char* kAburatsubo = "aburatsubo-gs01-jpn-jodc_giaj";

const CTideStations& Stations()
{
    return ShippedTestStations();
}

QString Tides(const char* id, int year, int month, int day, bool high)
{
    const CTideDayTexts texts = DayTideTexts(*Stations().FindById(id), year, month, day);
    return QStringFromStd(high ? texts.high : texts.low);
}

class TidePortDlgTest : public ::testing::Test {
public:
    void SetUp() override
    {
        SetCurrentDateSourceForTesting([] { return CDate{2027, 5, 3}; });
        m_outside = MakeTempDir();
    }
    void TearDown() override
    {
        m_entry.reset();
        SetCurrentDateSourceForTesting({});
        RemoveTree(m_outside);
    }
    void WritePorts(const std::string& text) { m_dir.WriteFile(kTidePortsFileName, text); }
    std::string Ports() const { return m_dir.ReadFile(kTidePortsFileName); }

    CCatchEntryDlg* OpenEntry(int position)
    {
        m_entry = std::make_unique<CCatchEntryDlg>(nullptr, m_store, m_dir.Folder(), position,
                                                   &Stations());
        m_entry->show();
        return m_entry.get();
    }
    template <typename T>
    T* Entry(int id)
    {
        T* control = FindControl<T>(m_entry.get(), id);
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    QString High() { return Entry<QLineEdit>(1036)->text(); }
    QString Low() { return Entry<QLineEdit>(1035)->text(); }
    QString Note() { return Entry<QLabel>(1055)->text(); }
    void SetDate(int year, int month, int day)
    {
        Entry<QDateEdit>(1005)->setDate(QDate(year, month, day));
    }
    // Types into the port box as a person would and takes the best match with Enter.
    void TypePort(const QString& typed)
    {
        auto* combo = Entry<CTidePortCombo>(1053);
        combo->lineEdit()->clear();
        TypeText(combo->lineEdit(), typed);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    }
    std::string Port() { return Entry<CTidePortCombo>(1053)->PortId(); }
    void Click1054() { QTest::mouseClick(Entry<QPushButton>(1054), Qt::LeftButton); }

    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
    std::string m_outside;
    CMessageBoxRecorder m_messages;
    CFakeDesktopServices m_desktop;
    std::unique_ptr<CCatchEntryDlg> m_entry;
};

// ---- the settings dialog ---------------------------------------------------------------------

TEST_F(TidePortDlgTest, TheHomePortListNarrowsAsOneTypes)
{
    CSettingsDlg dlg(m_dir.Folder(), nullptr, &Stations());
    dlg.show();
    auto* filter = FindControl<QLineEdit>(&dlg, CSettingsDlg::kTidePortFilterId);
    auto* list = FindControl<QListWidget>(&dlg, CSettingsDlg::kTidePortListId);
    ASSERT_NE(filter, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), static_cast<int>(Stations().Shown().size()));
    struct Case {
        const char* typed;
        const char* firstRow;  // "" when nothing is left
        bool allInKanagawa;
    } cases[] = {
        {"名古屋", "名古屋（愛知県）", false},
        {"とうきょう", "東京（東京都）", false},
        {"ユラ", "", false},
        {"aburatsubo", "油壺（神奈川県）", false},
        {"神奈川", "油壺（神奈川県）", true},
        {"zzz", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        filter->clear();
        TypeText(filter, QString::fromUtf8(c.typed));
        if (*c.firstRow == '\0') {
            EXPECT_EQ(list->count(), 0);
            continue;
        }
        ASSERT_GT(list->count(), 0);
        EXPECT_EQ(list->item(0)->text(), QString::fromUtf8(c.firstRow));
        for (int i = 0; c.allInKanagawa && i < list->count(); ++i) {
            EXPECT_TRUE(list->item(i)->text().contains(QStringLiteral("神奈川県")));
        }
    }
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

TEST_F(TidePortDlgTest, TheChosenHomePortIsKeptInTheSideFile)
{
    WritePorts("place\t城ヶ島\t" + std::string(kAburatsubo) + "\n");
    {
        CSettingsDlg dlg(m_dir.Folder(), nullptr, &Stations());
        dlg.show();
        auto* filter = FindControl<QLineEdit>(&dlg, CSettingsDlg::kTidePortFilterId);
        EXPECT_EQ(FindControl<QLabel>(&dlg, CSettingsDlg::kTidePortChosenId)->text(),
                  QStringLiteral("基準港: 未設定"));
        // The hint is Japanese through and through.
        EXPECT_EQ(filter->placeholderText(), QStringLiteral("港名・よみ・ローマ字・県で絞り込み"));
        TypeText(filter, QStringLiteral("ナゴヤ"));
        // Enter takes the best match and leaves the dialog open.
        QTest::keyClick(filter, Qt::Key_Return);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.HomePortId(), kNagoya);
        EXPECT_EQ(FindControl<QLabel>(&dlg, CSettingsDlg::kTidePortChosenId)->text(),
                  QStringLiteral("基準港: 名古屋（愛知県）"));
        QTest::mouseClick(FindControl<QPushButton>(&dlg, 1), Qt::LeftButton);
        EXPECT_FALSE(dlg.isVisible());
    }
    // The place kept by an entry dialog stays.
    CPlaceBook choices(&Stations());
    ASSERT_TRUE(choices.Load(m_dir.Folder())) << choices.ProblemText();
    EXPECT_FALSE(choices.CarriedOver());  // read from the places file the dialog wrote
    EXPECT_EQ(choices.HomePortId(), kNagoya);
    EXPECT_EQ(choices.PortForPlace("城ヶ島"), kAburatsubo);
    // Opened again, the list shows the home port chosen.
    CSettingsDlg again(m_dir.Folder(), nullptr, &Stations());
    auto* list = FindControl<QListWidget>(&again, CSettingsDlg::kTidePortListId);
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("名古屋（愛知県）"));
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

TEST_F(TidePortDlgTest, ABrokenSideFileIsNamedAndGivesTheDefaults)
{
    WritePorts("home\tsan-francisco\n");
    CSettingsDlg dlg(m_dir.Folder(), nullptr, &Stations());
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts().front().contains(QStringLiteral("tideports.txt")));
    EXPECT_TRUE(m_messages.Texts().front().contains(QStringLiteral("san-francisco")));
    EXPECT_EQ(dlg.HomePortId(), "");
    // Cancelled, the file is left as it was.
    QTest::mouseClick(FindControl<QPushButton>(&dlg, 2), Qt::LeftButton);
    EXPECT_EQ(Ports(), "home\tsan-francisco\n");
}

// A damaged places file is never replaced by what could be read of it: the settings dialog
// refuses to keep a new home port, and a trip saved in the entry dialog keeps no port for its
// place; each says which file and line are at fault.
TEST_F(TidePortDlgTest, ADamagedPlacesFileIsNotRewritten)
{
    const std::string damaged = "home\t" + std::string(kTokyo) + "\nplace\t磯\t\t35.x\t139\tmap\n";
    m_dir.WriteFile(kPlacesFileName, damaged);
    {
        CSettingsDlg dlg(m_dir.Folder(), nullptr, &Stations());
        dlg.show();
        ASSERT_EQ(m_messages.Texts().size(), 1);
        EXPECT_TRUE(m_messages.Texts().front().contains(QStringLiteral("places.txt: 2行目")));
        auto* filter = FindControl<QLineEdit>(&dlg, CSettingsDlg::kTidePortFilterId);
        TypeText(filter, QStringLiteral("ナゴヤ"));
        QTest::keyClick(filter, Qt::Key_Return);
        QTest::mouseClick(FindControl<QPushButton>(&dlg, 1), Qt::LeftButton);
        ASSERT_EQ(m_messages.Texts().size(), 2);
        EXPECT_TRUE(m_messages.Texts().back().contains(QStringLiteral("書き換えません")));
    }
    OpenEntry(-1);
    Entry<QLineEdit>(1008)->setText(QStringLiteral("伊勢湾"));
    TypePort(QStringLiteral("Nagoya"));
    QTest::mouseClick(Entry<QPushButton>(1), Qt::LeftButton);
    ASSERT_EQ(m_messages.Texts().size(), 3);
    EXPECT_TRUE(m_messages.Texts().back().contains(QStringLiteral("places.txt: 2行目")));
    EXPECT_EQ(m_dir.ReadFile(kPlacesFileName), damaged);
}

// ---- the port box ----------------------------------------------------------------------------

// Typing narrows the box's drop-down list as the settings dialog's list narrows; leaving the box
// with a half-typed name keeps the port chosen.
TEST_F(TidePortDlgTest, ThePortBoxNarrowsAndKeepsItsPort)
{
    CTidePortCombo combo(Stations());
    combo.show();
    combo.SetPortId("naha-355a-jpn-uhslc_rq");  // a hidden gauge chooses its port
    EXPECT_EQ(combo.PortId(), "naha-ma44-jpn-jodc_jma");
    EXPECT_EQ(combo.currentText(), QStringLiteral("那覇（沖縄県）"));
    combo.lineEdit()->selectAll();  // as focus by Tab leaves it
    TypeText(combo.lineEdit(), QStringLiteral("ヨコハマ"));
    ASSERT_FALSE(combo.NarrowedIds().isEmpty());
    EXPECT_EQ(combo.NarrowedIds().front(), QStringLiteral("yokohama-ma16-jpn-jodc_jma"));
    EXPECT_TRUE(combo.NarrowedIds().contains(QStringLiteral("honmoku-ma60-jpn-jodc_jma")));
    EXPECT_EQ(combo.PortId(), "naha-ma44-jpn-jodc_jma");  // nothing chosen by typing alone
    // A click elsewhere closes the list, then the field loses focus.
    combo.findChild<QCompleter*>()->popup()->hide();
    Q_EMIT combo.lineEdit()->editingFinished();
    EXPECT_EQ(combo.currentText(), QStringLiteral("那覇（沖縄県）"));
    combo.SetPortId("no-such-port");
    EXPECT_EQ(combo.PortId(), "");
}

// ---- the entry dialog ------------------------------------------------------------------------

TEST_F(TidePortDlgTest, ANewTripTakesTheHomePortsTidesAndSaysSo)
{
    WritePorts("home\t" + std::string(kTokyo) + "\n");
    OpenEntry(-1);
    EXPECT_EQ(Port(), kTokyo);
    EXPECT_EQ(High(), Tides(kTokyo, 2027, 5, 3, true));
    EXPECT_EQ(Low(), Tides(kTokyo, 2027, 5, 3, false));
    EXPECT_FALSE(High().isEmpty());
    EXPECT_TRUE(Note().contains(QStringLiteral("潮汐の基準港"))) << Note().toStdString();
    EXPECT_TRUE(Note().contains(QStringLiteral("自動で入れました"))) << Note().toStdString();
    // Times the dialog put there follow the date and the port.
    SetDate(2027, 5, 10);
    EXPECT_EQ(High(), Tides(kTokyo, 2027, 5, 10, true));
    TypePort(QStringLiteral("なごや"));
    EXPECT_EQ(Port(), kNagoya);
    EXPECT_EQ(Low(), Tides(kNagoya, 2027, 5, 10, false));
    EXPECT_TRUE(m_entry->isVisible());  // Enter in the port box chose a port, nothing more
}

// Whatever the user typed in 満潮 or 干潮 stays, whatever the dialog or its button does.
TEST_F(TidePortDlgTest, TypedTideTextIsNeverOverwritten)
{
    WritePorts("home\t" + std::string(kTokyo) + "\n");
    struct Step {
        const char* what;
        std::function<void(TidePortDlgTest&)> act;
    };
    const Step steps[] = {
        {"date", [](TidePortDlgTest& t) { t.SetDate(2027, 6, 1); }},
        {"port", [](TidePortDlgTest& t) { t.TypePort(QStringLiteral("aburatsubo")); }},
        {"button", [](TidePortDlgTest& t) { t.Click1054(); }},
    };
    for (const bool typedHigh : {true, false}) {
        SCOPED_TRACE(typedHigh ? "満潮 typed" : "干潮 typed");
        OpenEntry(-1);
        QLineEdit* typed = Entry<QLineEdit>(typedHigh ? 1036 : 1035);
        QLineEdit* other = Entry<QLineEdit>(typedHigh ? 1035 : 1036);
        typed->clear();
        TypeText(typed, QStringLiteral("6時ごろ"));
        other->clear();
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            step.act(*this);
            EXPECT_EQ(typed->text(), QStringLiteral("6時ごろ"));
        }
        // Only the button filled the empty field; the dialog alone does not while one is typed.
        EXPECT_EQ(other->text(), Tides(kAburatsubo, 2027, 6, 1, !typedHigh));
        EXPECT_TRUE(Note().contains(QStringLiteral("そのまま"))) << Note().toStdString();
        m_entry.reset();
    }
}

TEST_F(TidePortDlgTest, AStoredTripKeepsItsTidesAndFindsItsPlacesPort)
{
    WritePorts("home\t" + std::string(kTokyo) + "\nplace\t城ヶ島\t" + kAburatsubo + "\n");
    CTripRecord trip;
    trip.date = "2027/05/03";
    trip.place = "城ヶ島";
    trip.highTide = "5:10";
    trip.ebbTide = "";
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).AddTrip(trip).ok());
    OpenEntry(0);
    EXPECT_EQ(Port(), kAburatsubo);
    EXPECT_TRUE(Note().contains(QStringLiteral("この場所で前回使った港"))) << Note().toStdString();
    EXPECT_EQ(High(), "5:10");
    EXPECT_EQ(Low(), "");
    EXPECT_FALSE(m_entry->HasChanges());
    SetDate(2027, 5, 4);
    EXPECT_EQ(High(), "5:10");
    EXPECT_EQ(Low(), "");
}

TEST_F(TidePortDlgTest, APhotosPositionPicksTheNearestPortWithItsDistance)
{
    WritePorts("home\t" + std::string(kTokyo) + "\n");
    OpenEntry(-1);
    CJpegOptions options;
    options.exif = MakeTestGpsExif({{35, 0, 0}, 'N', {136, 54, 0}, 'E'});
    WriteFileBytes(m_outside + "ise.jpg", PlainJpeg(32, 24, kTestGreen, options));
    m_desktop.QueueOpenFileNames({QStringFromStd(m_outside + "ise.jpg")});
    QTest::mouseClick(Entry<QPushButton>(1012), Qt::LeftButton);
    EXPECT_EQ(Port(), kNagoya);
    EXPECT_TRUE(Note().contains(QStringLiteral("写真の撮影位置から 10.3 km")))
        << Note().toStdString();
    // The tides the dialog filled for the home port follow the new port.
    EXPECT_EQ(High(), Tides(kNagoya, 2027, 5, 3, true));
}

TEST_F(TidePortDlgTest, SavingKeepsThePortForThePlace)
{
    WritePorts("home\t" + std::string(kTokyo) + "\n");
    OpenEntry(-1);
    Entry<QLineEdit>(1008)->setText(QStringLiteral("伊勢湾 "));
    TypePort(QStringLiteral("Nagoya"));
    QTest::mouseClick(Entry<QPushButton>(1), Qt::LeftButton);
    EXPECT_TRUE(m_entry->IsClosing());
    CPlaceBook choices(&Stations());
    ASSERT_TRUE(choices.Load(m_dir.Folder())) << choices.ProblemText();
    EXPECT_FALSE(choices.CarriedOver());  // read from the places file the dialog wrote
    EXPECT_EQ(choices.PortForPlace("伊勢湾"), kNagoya);
    EXPECT_EQ(choices.HomePortId(), kTokyo);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    m_entry.reset();
    // The next trip at that place starts with that port.
    OpenEntry(-1);
    Entry<QLineEdit>(1008)->setText(QStringLiteral("伊勢湾"));
    EXPECT_EQ(Port(), kNagoya);
}

}  // namespace

namespace {

// The position row beside 場所: typed texts, a map click through the picker the main window
// sets, the port following the position, and a position the user set replaced only when agreed.
TEST_F(TidePortDlgTest, ThePlacesPositionIsTypedOrPickedAndThePortFollows)
{
    const CTideStation& nagoya = *Stations().FindById(kNagoya);
    const CTideStation& aburatsubo = *Stations().FindById(kAburatsubo);
    WritePorts("home\t" + std::string(kTokyo) + "\n");
    std::optional<CGeoPoint> picked;
    CCatchEntryDlg::SetPlacePicker(
        [&](QWidget*, const QString& place, const std::optional<CGeoPoint>&) {
            EXPECT_EQ(place, QStringLiteral("伊勢湾"));
            return picked;
        });
    OpenEntry(-1);
    auto* position = Entry<QLineEdit>(CCatchEntryDlg::kPlacePositionId);
    Entry<QLineEdit>(1008)->setText(QStringLiteral("伊勢湾"));
    EXPECT_EQ(position->text(), QString());
    EXPECT_EQ(position->placeholderText(), QStringLiteral("位置なし"));
    struct Case {
        QString typed;
        const char* port;  // after it
        const char* source;
        int messages;  // shown so far
    } cases[] = {
        {QStringLiteral("%1, %2").arg(nagoya.latitude).arg(nagoya.longitude), kNagoya, "入力", 0},
        {QStringLiteral("海の上"), kNagoya, "入力", 1},  // not a position: told, nothing changes
        {QStringLiteral("https://www.openstreetmap.org/#map=15/%1/%2")
             .arg(aburatsubo.latitude)
             .arg(aburatsubo.longitude),
         kAburatsubo, "入力", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        position->setText(c.typed);
        Q_EMIT position->editingFinished();
        EXPECT_EQ(Port(), c.port);
        EXPECT_TRUE(position->toolTip().startsWith(
            QStringLiteral("場所の位置（%1）").arg(QString::fromUtf8(c.source))));
        EXPECT_EQ(m_messages.Texts().size(), c.messages);
    }
    EXPECT_TRUE(Note().contains(QStringLiteral("場所の位置から 0.0 km の港")))
        << Note().toStdString();
    picked = CGeoPoint{nagoya.latitude, nagoya.longitude};
    QTest::mouseClick(Entry<QPushButton>(CCatchEntryDlg::kPickOnMapId), Qt::LeftButton);
    EXPECT_EQ(Port(), kNagoya);
    EXPECT_TRUE(position->toolTip().startsWith(QStringLiteral("場所の位置（地図）")));
    EXPECT_EQ(position->cursorPosition(), 0);  // shown from its start, not scrolled to the end
    QTest::mouseClick(Entry<QPushButton>(1), Qt::LeftButton);
    ASSERT_TRUE(m_entry->IsClosing());
    m_entry.reset();

    CPlaceBook book;
    ASSERT_TRUE(book.Load(m_dir.Folder()));
    ASSERT_NE(book.Find("伊勢湾"), nullptr);
    EXPECT_EQ(book.Find("伊勢湾")->position, (CGeoPoint{nagoya.latitude, nagoya.longitude}));
    EXPECT_EQ(book.Find("伊勢湾")->source, EPositionSource::Map);
    EXPECT_EQ(book.Find("伊勢湾")->portId, kNagoya);

    // Another trip there: the kept position shows; replacing it asks, and No keeps it.
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        m_messages.Clear();
        m_messages.QueueAnswer(answer);
        OpenEntry(-1);
        Entry<QLineEdit>(1008)->setText(QStringLiteral("伊勢湾"));
        position = Entry<QLineEdit>(CCatchEntryDlg::kPlacePositionId);
        EXPECT_EQ(position->text(),
                  QStringFromStd(FormatCoordinateText(book.Find("伊勢湾")->position)));
        EXPECT_EQ(position->cursorPosition(), 0);
        position->setText(QStringLiteral("34.5, 136.5"));
        Q_EMIT position->editingFinished();
        ASSERT_EQ(m_messages.Texts().size(), 1);
        EXPECT_TRUE(m_messages.Texts().front().contains(QStringLiteral("置き換えますか")));
        QTest::mouseClick(Entry<QPushButton>(1), Qt::LeftButton);
        m_entry.reset();
        CPlaceBook after;
        ASSERT_TRUE(after.Load(m_dir.Folder()));
        EXPECT_EQ(after.Find("伊勢湾")->position,
                  (answer == QMessageBox::Yes ? CGeoPoint{34.5, 136.5}
                                              : CGeoPoint{nagoya.latitude, nagoya.longitude}));
    }
    CCatchEntryDlg::SetPlacePicker({});
}

}  // namespace

TEST_F(TidePortDlgTest, WithoutAPortTheButtonRestsAndTheNoteSaysWhereToChooseOne)
{
    OpenEntry(-1);
    EXPECT_EQ(Port(), "");
    EXPECT_EQ(Note(), QStringLiteral("港: 未設定（環境設定で基準港を選べます）"));
    EXPECT_FALSE(Entry<QPushButton>(1054)->isEnabled());
    TypePort(QStringLiteral("なごや"));
    EXPECT_EQ(Port(), kNagoya);
    EXPECT_TRUE(Entry<QPushButton>(1054)->isEnabled());
    EXPECT_EQ(High(), Tides(kNagoya, 2027, 5, 3, true));

    // The tide name and moon age stand whole between the port box, the button and the note.
    const QRect moon = Entry<QLabel>(CCatchEntryDlg::kMoonId)->geometry();
    const QRect port = Entry<CTidePortCombo>(1053)->geometry();
    const QRect note = Entry<QLabel>(1055)->geometry();
    const QRect button = Entry<QPushButton>(1054)->geometry();
    EXPECT_GE(moon.top(), port.bottom() + 2);
    EXPECT_LE(moon.bottom(), note.top());
    EXPECT_GE(moon.left(), button.right());
    EXPECT_LE(Entry<QLabel>(CCatchEntryDlg::kMoonId)->sizeHint().height(), moon.height());
    EXPECT_LE(Entry<QLabel>(CCatchEntryDlg::kMoonId)->sizeHint().width(), moon.width());
}
