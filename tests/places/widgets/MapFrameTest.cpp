#include "places/widgets/MapFrame.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "data/CatchStore.h"
#include "data/FullDisk.h"
#include "places/widgets/LocalTileServer.h"
#include "places/widgets/MapView.h"
#include "places/widgets/PlacePickerDlg.h"
#include "places/widgets/TileFetcher.h"
#include "support/TempProgramDir.h"
#include "support/widgets/FakeDesktopServices.h"
#include "support/widgets/MessageBoxRecorder.h"

namespace {

CTripRecord Trip(const char* date, const char* place, std::vector<const char*> species)
{
    CTripRecord trip;
    trip.date = date;
    trip.place = place;
    for (const char* name : species) trip.catches.push_back({name, "30", "1", "7時0分"});
    return trip;
}

class MapFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings().clear();
        CCatchStore store(m_dir.CatchFile());
        for (const CTripRecord& trip :
             {Trip("2025/05/01", "堤防A", {"アジ", "アジ"}), Trip("2025/06/01", "磯B", {"メバル"}),
              Trip("2024/07/01", "堤防A", {"アジ"}), Trip("2025/08/01", "位置なしの浜", {"アジ"})})
            store.AddTrip(trip);
        m_dir.WriteFile("Data/places.txt",
                        "place\t堤防A\t\t35.300000\t139.500000\tmap\n"
                        "place\t磯B\t\t34.600000\t138.900000\tphoto\n");
    }
    void Open(bool online, const QString& tileTemplate)
    {
        QSettings settings;
        settings.setValue("Map/Online", online);
        settings.setValue("Map/Source", "custom");
        settings.setValue("Map/CustomTemplate", tileTemplate);
        m_store = std::make_unique<CCatchStore>(m_dir.CatchFile());
        m_frame = std::make_unique<CMapFrame>(*m_store, m_dir.Folder());
        m_frame->resize(800, 500);
        m_frame->show();
        QTest::qWait(0);
    }
    QComboBox* Combo(int id) { return m_frame->findChild<QComboBox*>(QString::number(id)); }

    CTempProgramDir m_dir;
    CLocalTileServer m_server;
    std::unique_ptr<CCatchStore> m_store;
    std::unique_ptr<CMapFrame> m_frame;
};

TEST_F(MapFrameTest, FiltersDecideTheMarkersAndAClickListsThePlacesTrips)
{
    Open(false, m_server.Template("good"));
    struct {
        const char* year;
        const char* species;
        std::vector<std::pair<std::string, int>> places;  // name, catches
    } const cases[] = {
        {"すべて", "", {{"堤防A", 3}, {"磯B", 1}}},
        {"2025", "", {{"堤防A", 2}, {"磯B", 1}}},
        {"2025", "メバル", {{"堤防A", 0}, {"磯B", 1}}},
        {"2024", "", {{"堤防A", 1}}},
    };
    for (const auto& c : cases) {
        Combo(CMapFrame::kYearComboId)->setCurrentText(QString::fromUtf8(c.year));
        Combo(CMapFrame::kSpeciesComboId)->setCurrentText(QString::fromUtf8(c.species));
        const CMapScene& scene = m_frame->View()->Scene();
        ASSERT_EQ(scene.places.size(), c.places.size()) << c.year << c.species;
        for (size_t i = 0; i < c.places.size(); ++i) {
            EXPECT_EQ(scene.places[i].name, c.places[i].first);
            EXPECT_EQ(scene.places[i].catches, c.places[i].second) << c.year << c.species;
        }
    }

    // A click on 堤防A's marker lists its trips; a double click opens one.
    Combo(CMapFrame::kYearComboId)->setCurrentText(QStringLiteral("すべて"));
    Combo(CMapFrame::kSpeciesComboId)->setCurrentText(QString());
    m_frame->View()->SetViewport({35.0, 139.2}, 8);
    m_frame->View()->repaint();
    const CDrawnMarker* marker = nullptr;
    for (const CDrawnMarker& drawn : m_frame->View()->DrawnMarkers())
        if (drawn.places == std::vector<size_t>{0}) marker = &drawn;
    ASSERT_NE(marker, nullptr);
    QTest::mouseClick(m_frame->View(), Qt::LeftButton, {}, QPoint(marker->x, marker->y));
    QTreeWidget* list = m_frame->TripList();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("2025/05/01"));
    EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("アジ×2"));
    EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("2"));
    EXPECT_FALSE(list->topLevelItem(0)->text(4).isEmpty());  // the day's tide name
    int opened = -1;
    m_frame->onOpenTrip = [&](int position) { opened = position; };
    const QRect row = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, row.center().y()));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, row.center().y()));
    EXPECT_EQ(opened, 2);
}

TEST_F(MapFrameTest, KeysWheelAndHomeMoveTheViewWhichIsRemembered)
{
    Open(false, m_server.Template("good"));
    CMapView* view = m_frame->View();
    view->SetViewport({35, 139}, 8);
    view->setFocus();
    struct {
        int key;
        int zoom;
        double dLatitudeSign;  // the centre's latitude moves this way (0: unchanged)
        double dLongitudeSign;
    } const cases[] = {{Qt::Key_Plus, 9, 0, 0},  {Qt::Key_Minus, 8, 0, 0},
                       {Qt::Key_Up, 8, 1, 0},    {Qt::Key_Down, 8, -1, 0},
                       {Qt::Key_Left, 8, 0, -1}, {Qt::Key_Right, 8, 0, 1}};
    for (const auto& c : cases) {
        const CGeoPoint before = view->Viewport().Center();
        QTest::keyClick(view, static_cast<Qt::Key>(c.key));
        const CGeoPoint after = view->Viewport().Center();
        EXPECT_EQ(view->Viewport().Zoom(), c.zoom) << c.key;
        EXPECT_EQ(
            (after.latitude > before.latitude + 1e-9) - (after.latitude < before.latitude - 1e-9),
            c.dLatitudeSign)
            << c.key;
        EXPECT_EQ((after.longitude > before.longitude + 1e-9) -
                      (after.longitude < before.longitude - 1e-9),
                  c.dLongitudeSign)
            << c.key;
    }
    // Home fits both places.
    QTest::keyClick(view, Qt::Key_Home);
    for (const CMapPlace& place : view->Scene().places) {
        double x = 0, y = 0;
        view->Viewport().ToScreen(place.point, x, y);
        EXPECT_TRUE(x > 0 && x < view->width() && y > 0 && y < view->height()) << place.name;
    }
    const int zoom = view->Viewport().Zoom();
    const CGeoPoint center = view->Viewport().Center();
    m_frame.reset();
    Open(false, m_server.Template("good"));
    EXPECT_EQ(m_frame->View()->Viewport().Zoom(), zoom);
    EXPECT_NEAR(m_frame->View()->Viewport().Center().latitude, center.latitude, 1e-6);
    EXPECT_NEAR(m_frame->View()->Viewport().Center().longitude, center.longitude, 1e-6);
}

TEST_F(MapFrameTest, OfflineAsksNothingOnlineFetchesCachesAndCredits)
{
    Open(false, m_server.Template("good"));
    m_frame->View()->repaint();
    QTest::qWait(200);
    EXPECT_TRUE(m_server.paths.isEmpty());
    EXPECT_FALSE(m_frame->View()->Scene().tiles);

    // Going online from the bar's check box fetches the visible tiles.
    auto* online = m_frame->findChild<QCheckBox*>(QString::number(CMapFrame::kOnlineCheckId));
    online->setChecked(true);
    EXPECT_TRUE(QSettings().value("Map/Online").toBool());
    EXPECT_TRUE(m_frame->View()->Scene().tiles);
    QSignalSpy arrived(m_frame->Tiles(), &CTileFetcher::TileArrived);
    m_frame->View()->repaint();
    const int visible = static_cast<int>(m_frame->View()->Viewport().VisibleTiles().size());
    QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), visible, 10000);
    for (const QString& agent : m_server.userAgents) EXPECT_TRUE(agent.startsWith("Lurebook/"));
    QDir cache(qEnvironmentVariable("XDG_CACHE_HOME") + "/lurebook/tiles");
    const QStringList folders = cache.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    EXPECT_TRUE(folders[0].startsWith("custom-"));
    EXPECT_EQ(QDir(cache.filePath(folders[0])).entryList(QDir::Files).size(), visible);
}

TEST_F(MapFrameTest, ExportsTheYearShownAndRefusesWhatCannotBeWritten)
{
    Open(false, m_server.Template("good"));
    ::mkdir(m_dir.Path("folder.gpx").c_str(), 0700);
    ::mkdir(m_dir.Path("locked").c_str(), 0700);
    const std::string log = m_dir.ReadFile("Data/fish.xml");
    enum EWorld { Fine, FullDisk, ReadOnly, Damaged };
    struct {
        const char* year;
        EGpsFormat format;
        std::string answer;   // the file dialog's answer
        std::string written;  // the file that must hold the export; "" when none may
        EWorld world;
        std::vector<std::string> names;  // waypoints read back, places first
        const char* message;             // the start of what the user is told; "" for nothing
    } const cases[] = {
        {"すべて",
         EGpsFormat::Gpx,
         m_dir.Path("all"),
         m_dir.Path("all.gpx"),
         Fine,
         {"堤防A", "磯B", "アジ", "アジ", "メバル", "アジ"},
         "場所 2 件、釣果 4 件を書き出しました"},
        {"2024",
         EGpsFormat::Gpx,
         m_dir.Path("y.gpx"),
         m_dir.Path("y.gpx"),
         Fine,
         {"堤防A", "アジ"},
         "場所 1 件、釣果 1 件"},
        {"2025",
         EGpsFormat::Kml,
         m_dir.Path("y"),
         m_dir.Path("y.kml"),
         Fine,
         {"堤防A", "磯B", "アジ", "アジ", "メバル"},
         "場所 2 件、釣果 3 件"},
        {"すべて", EGpsFormat::Gpx, "", "", Fine, {}, ""},  // cancelled
        {"すべて",
         EGpsFormat::Gpx,
         m_dir.Path("folder.gpx"),
         "",
         Fine,
         {},
         "GPX ファイルに書き出せませんでした"},
        {"すべて",
         EGpsFormat::Kml,
         m_dir.Path("none/x.kml"),
         "",
         Fine,
         {},
         "KML ファイルに書き出せませんでした"},
        {"すべて",
         EGpsFormat::Gpx,
         m_dir.Path("locked/x.gpx"),
         "",
         ReadOnly,
         {},
         "GPX ファイルに書き出せませんでした"},
        {"すべて",
         EGpsFormat::Gpx,
         m_dir.Path("full.gpx"),
         "",
         FullDisk,
         {},
         "GPX ファイルに書き出せませんでした"},
        {"すべて",
         EGpsFormat::Gpx,
         m_dir.CatchFile(),
         "",
         Fine,
         {},
         "GPX ファイルに書き出せませんでした"},
        {"すべて",
         EGpsFormat::Gpx,
         m_dir.Path("d.gpx"),
         "",
         Damaged,
         {},
         "場所の記録ファイルに問題があるため書き出しません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer + " " + c.year);
        Combo(CMapFrame::kYearComboId)->setCurrentText(QString::fromUtf8(c.year));
        CFakeDesktopServices desktop;
        desktop.QueueSaveFileName(QString::fromStdString(c.answer));
        CMessageBoxRecorder messages;
        const std::string places = m_dir.ReadFile("Data/places.txt");
        if (c.world == Damaged) m_dir.WriteFile("Data/places.txt", places + "壊れた行\n");
        std::unique_ptr<CFullDisk> full;
        if (c.world == FullDisk) full = std::make_unique<CFullDisk>(10);
        std::unique_ptr<CReadOnlyFolder> locked;
        if (c.world == ReadOnly) {
            locked = std::make_unique<CReadOnlyFolder>(m_dir.Path("locked"));
            // Root writes into a read-only folder: then the disk refuses, as a read-only one does.
            if (!locked->Effective()) {
                SetSafeWriteFunctionForTesting([](int, const void*, size_t) -> ssize_t {
                    errno = EROFS;
                    return -1;
                });
            }
        }
        EXPECT_EQ(m_frame->ExportPlaces(c.format), !c.written.empty());
        SetSafeWriteFunctionForTesting({});
        full.reset();
        locked.reset();
        m_dir.WriteFile("Data/places.txt", places);
        EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), log);
        if (*c.message == '\0') {
            EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join("|").toStdString();
        } else {
            ASSERT_EQ(messages.Texts().size(), 1);
            EXPECT_TRUE(messages.Texts()[0].startsWith(QString::fromUtf8(c.message)))
                << messages.Texts()[0].toStdString();
        }
        for (const char* leftover : {"full.gpx", "d.gpx", "none", "locked/x.gpx"})
            EXPECT_FALSE(m_dir.Exists(leftover)) << leftover;
        if (c.written.empty()) continue;
        std::vector<std::string> names;
        if (c.format == EGpsFormat::Gpx) {
            std::vector<CWaypoint> waypoints;
            size_t skipped = 0;
            std::string error;
            ASSERT_TRUE(ReadGpxFile(c.written, waypoints, skipped, error)) << error;
            for (const CWaypoint& waypoint : waypoints) names.push_back(waypoint.name);
        } else {
            const std::string text = ReadFileBytes(c.written);
            for (size_t at = text.find("<name>"); at != std::string::npos;
                 at = text.find("<name>", at + 1)) {
                names.push_back(text.substr(at + 6, text.find("</name>", at) - at - 6));
            }
            if (!names.empty()) names.erase(names.begin());  // the document's own name
        }
        EXPECT_EQ(names, c.names);
    }
    // The same from the button under the trip list.
    CFakeDesktopServices desktop;
    desktop.QueueSaveFileName(QString::fromStdString(m_dir.Path("button")));
    CMessageBoxRecorder messages;
    auto* button = m_frame->findChild<QToolButton*>(QString::number(CMapFrame::kExportButtonId));
    ASSERT_NE(button, nullptr);
    button->menu()->actions().at(1)->trigger();
    EXPECT_NE(ReadFileBytes(m_dir.Path("button.kml")).find("<kml"), std::string::npos);
}

TEST_F(MapFrameTest, ThePickerGivesBackTheClickedPosition)
{
    QSettings().setValue("Map/Online", false);
    CPlacePickerDlg picker(QStringLiteral("堤防A"), std::nullopt);
    picker.show();
    QTest::qWait(0);
    EXPECT_FALSE(picker.Chosen().has_value());
    const QPoint at(100, 120);
    const CGeoPoint expected = picker.View()->Viewport().FromScreen(at.x(), at.y());
    QTest::mouseClick(picker.View(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(picker.Chosen().has_value());
    EXPECT_NEAR(picker.Chosen()->latitude, expected.latitude, 1e-9);
    EXPECT_NEAR(picker.Chosen()->longitude, expected.longitude, 1e-9);
    EXPECT_EQ(picker.View()->Scene().places.size(), 1u);
}

}  // namespace
