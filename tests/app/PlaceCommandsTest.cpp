// The command-line modes of places: --list-places, --export-gpx / --export-kml, --import-gpx.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "app/InstanceLock.h"
#include "app/PlaceCommands.h"
#include "data/CatchStore.h"
#include "photos/JpegTestFiles.h"
#include "places/GpsExchange.h"
#include "places/PlaceBook.h"
#include "support/TempProgramDir.h"

namespace {

class PlaceCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A photo that carries a GPS position, written by exiftool.
        const std::string photo = m_dir.Path("wakasu.jpg");
        WriteFileBytes(photo, PlainJpeg(16, 16, kTestBlue));
        const std::string command =
            "exiftool -q -overwrite_original -GPSLatitude=35.6247 "
            "-GPSLatitudeRef=N -GPSLongitude=139.8352 "
            "-GPSLongitudeRef=E '" +
            photo + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        CTripRecord wakasu;
        wakasu.date = "2024/4/14";
        wakasu.place = "若洲";
        wakasu.placePhotos = {photo};
        wakasu.catches = {{"シーバス", "62", "3", "7時15分"}};
        CTripRecord jogashima;
        jogashima.date = "2025/5/3";
        jogashima.place = "城ヶ島";
        jogashima.catches = {{"メジナ", "35", "1", "10時40分"}};
        CTripRecord nowhere;
        nowhere.date = "2025/6/1";
        nowhere.place = "どこか";
        CCatchStore store(m_dir.CatchFile());
        ASSERT_TRUE(store.AddTrips({wakasu, jogashima, nowhere}).ok());
        m_dir.WriteFile(kPlacesFileName, kPlaces);
    }

    static constexpr const char* kPlaces = "place\t城ヶ島\t\t35.133500\t139.618000\ttyped\n";
    CTempProgramDir m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(PlaceCommandsTest, ListsEveryPlaceWithItsPositionAndWhereItCameFrom)
{
    EXPECT_EQ(ListPlacesCommand(m_dir.Folder(), m_out, m_err), 0) << m_err.str();
    EXPECT_EQ(m_out.str(),
              "城ヶ島\t35.133500\t139.618000\t入力\t\n"
              "若洲\t35.624700\t139.835200\t写真\t\n"
              "どこか\t\t\t位置なし\t\n");
    EXPECT_EQ(m_dir.ReadFile(kPlacesFileName), kPlaces);  // listing writes nothing

    m_dir.WriteFile(kPlacesFileName, std::string(kPlaces) + "place\t磯\t\t35.x\t139\tmap\n");
    m_out.str("");
    EXPECT_EQ(ListPlacesCommand(m_dir.Folder(), m_out, m_err), 1);
    EXPECT_NE(m_err.str().find("places.txt: 2行目"), std::string::npos) << m_err.str();
}

TEST_F(PlaceCommandsTest, ExportsOrRefusesWithAReason)
{
    const std::string gpx = m_dir.Path("out.gpx");
    const struct {
        const char* what;
        EGpsFormat format;
        std::string path;
        std::string year;
        const char* damage;  // appended to the places file, "" for none
        int exitCode;
        const char* written;  // in the file written; "" when nothing may be written
    } cases[] = {
        {"all", EGpsFormat::Gpx, gpx, "", "", 0, "<name>若洲</name>"},
        {"one year", EGpsFormat::Gpx, gpx, "2025", "", 0, "<name>城ヶ島</name>"},
        {"kml", EGpsFormat::Kml, m_dir.Path("out.kml"), "", "", 0, "<Placemark>"},
        {"bad year", EGpsFormat::Gpx, gpx, "二〇二五", "", 2, ""},
        {"damaged places file", EGpsFormat::Gpx, gpx, "", "oops\n", 1, ""},
        {"a folder in the way", EGpsFormat::Gpx, m_dir.Path("Picture"), "", "", 2, ""},
        {"the log itself", EGpsFormat::Gpx, m_dir.CatchFile(), "", "", 2, ""},
        {"beside the log", EGpsFormat::Kml, m_dir.Path("Data/places.kml"), "", "", 2, ""},
        {"no name", EGpsFormat::Kml, "", "", "", 2, ""},
    };
    ::mkdir(m_dir.Path("Picture").c_str(), 0700);
    const std::string log = ReadFileBytes(m_dir.CatchFile());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(gpx);
        m_dir.WriteFile(kPlacesFileName, std::string(kPlaces) + c.damage);
        m_err.str("");
        EXPECT_EQ(ExportPlacesCommand(m_dir.Folder(), c.format, c.path, c.year, m_out, m_err),
                  c.exitCode)
            << m_err.str();
        if (*c.written == '\0') {
            EXPECT_FALSE(m_dir.Exists("out.gpx"));
            EXPECT_FALSE(m_dir.Exists("Data/places.kml"));
            EXPECT_EQ(ReadFileBytes(m_dir.CatchFile()), log);
            EXPECT_FALSE(m_err.str().empty());
            continue;
        }
        const std::string text = ReadFileBytes(c.path);
        EXPECT_NE(text.find(c.written), std::string::npos) << text;
        // A year keeps to its own trips.
        EXPECT_EQ(text.find("若洲") != std::string::npos, c.year.empty());
    }
}

TEST_F(PlaceCommandsTest, ImportsWaypointsKeepingWhatTheUserSet)
{
    const std::string head =
        "<?xml version=\"1.0\"?><gpx version=\"1.1\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\">";
    m_dir.WriteFile("good.gpx", head +
                                    "<wpt lat=\"34.1\" lon=\"135.2\"><name>新しい磯</name></wpt>"
                                    "<wpt lat=\"35.2\" lon=\"139.7\"><name>城ヶ島</name></wpt>"
                                    "<wpt lat=\"35.3\" lon=\"139.8\"></wpt></gpx>");
    m_dir.WriteFile("bomb.gpx", "<!DOCTYPE gpx [<!ENTITY a \"a\">]><gpx>&a;</gpx>");
    EXPECT_EQ(ImportGpxCommand(m_dir.Folder(), m_dir.Path("bomb.gpx"), m_out, m_err), 2);
    EXPECT_NE(m_err.str().find("文書型宣言"), std::string::npos) << m_err.str();
    EXPECT_EQ(m_dir.ReadFile(kPlacesFileName), kPlaces);
    {
        // Not while the window has the Data folder.
        CInstanceLock window;
        ASSERT_EQ(window.Acquire(m_dir.Folder().GetLockFile()), CInstanceLock::EResult::Acquired);
        EXPECT_EQ(ImportGpxCommand(m_dir.Folder(), m_dir.Path("good.gpx"), m_out, m_err), 2);
        EXPECT_EQ(m_dir.ReadFile(kPlacesFileName), kPlaces);
    }
    m_out.str("");
    EXPECT_EQ(ImportGpxCommand(m_dir.Folder(), m_dir.Path("good.gpx"), m_out, m_err), 0)
        << m_err.str();
    EXPECT_NE(m_out.str().find("そのまま: 城ヶ島"), std::string::npos) << m_out.str();
    EXPECT_NE(m_out.str().find("取り込んだ場所: 1 件"), std::string::npos) << m_out.str();
    CPlaceBook book;
    ASSERT_TRUE(book.Load(m_dir.Folder()));
    EXPECT_EQ(book.Find("新しい磯")->source, EPositionSource::Gpx);
    EXPECT_EQ(book.Find("城ヶ島")->position, (CGeoPoint{35.1335, 139.618}));
}

// A GPX file that cannot be read whole is refused with its reason; the places file stays as it
// was, byte for byte.
TEST_F(PlaceCommandsTest, HostileGpxFilesLeaveThePlacesAlone)
{
    const std::string fifo = m_dir.Path("pipe.gpx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(m_dir.Path("folder.gpx").c_str(), 0700), 0);
    m_dir.WriteFile("huge.gpx", std::string(kMaxGpxFileBytes + 1, ' '));
    m_dir.WriteFile("binary.gpx", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    m_dir.WriteFile("cut.gpx", "<gpx><wpt lat=\"35\" lon=\"139\"><name>途中");
    ASSERT_EQ(::symlink(fifo.c_str(), m_dir.Path("link.gpx").c_str()), 0);
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"missing.gpx", "ファイルがありません"},
        {"pipe.gpx", "通常のファイルではありません"},
        {"link.gpx", "通常のファイルではありません"},
        {"folder.gpx", "通常のファイルではありません"},
        {"huge.gpx", "大きすぎます"},
        {"binary.gpx", ""},
        {"cut.gpx", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_err.str("");
        EXPECT_EQ(ImportGpxCommand(m_dir.Folder(), m_dir.Path(c.name), m_out, m_err), 2);
        EXPECT_NE(m_err.str().find(c.reason), std::string::npos) << m_err.str();
        EXPECT_NE(m_err.str().find(c.name), std::string::npos) << m_err.str();
        EXPECT_EQ(m_dir.ReadFile(kPlacesFileName), kPlaces);
    }
}

}  // namespace
