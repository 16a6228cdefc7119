#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "data/FullDisk.h"
#include "places/PlaceBook.h"
#include "support/HostileBytes.h"
#include "support/TempProgramDir.h"
#include "tides/TideStations.h"

namespace {

CTideStations TwoStations()
{
    CTideStations stations;
    std::string error;
    std::vector<CTideStation> list(2);
    list[0].id = "tokyo";
    list[1].id = "yokohama";
    for (CTideStation& s : list) s.nameJa = s.nameKana = s.nameRomaji = s.prefecture = s.id;
    EXPECT_TRUE(stations.Assign(list, error)) << error;
    return stations;
}

TEST(PlaceBook, PositionsAndPortsSurviveSavingAndLoading)
{
    CTempProgramDir dir;
    const CTideStations stations = TwoStations();
    CPlaceBook book(&stations);
    ASSERT_TRUE(book.Load(dir.Folder())) << book.ProblemText();
    book.SetHomePortId("tokyo");
    book.SetPortForPlace(" 東京湾 ", "yokohama");
    EXPECT_EQ(book.SetPosition("東京湾", {35.5, 139.8}, EPositionSource::Typed),
              EPositionChange::Set);
    EXPECT_EQ(book.SetPosition("相模湾\tの沖", {-35.25, -139.125}, EPositionSource::Photo),
              EPositionChange::Set);
    book.SetPortForPlace("港だけ", "tokyo");
    std::string error;
    ASSERT_TRUE(book.Save(error)) << error;

    CPlaceBook again(&stations);
    ASSERT_TRUE(again.Load(dir.Folder())) << again.ProblemText();
    EXPECT_EQ(again.HomePortId(), "tokyo");
    EXPECT_EQ(again.PortForPlace("東京湾"), "yokohama");
    EXPECT_EQ(again.Places(), book.Places());
    ASSERT_NE(again.Find("相模湾 の沖"), nullptr);
    EXPECT_EQ(again.Find("相模湾 の沖")->source, EPositionSource::Photo);
    EXPECT_FALSE(again.Find("港だけ")->hasPosition);
}

TEST(PlaceBook, APositionTheUserSetIsNotReplacedWithoutAsking)
{
    const struct {
        EPositionSource before;
        EPositionSource after;
        bool overwrite;
        EPositionChange change;
    } cases[] = {
        {EPositionSource::None, EPositionSource::Photo, false, EPositionChange::Set},
        {EPositionSource::Photo, EPositionSource::Photo, false, EPositionChange::Kept},
        {EPositionSource::Typed, EPositionSource::Photo, true, EPositionChange::Kept},
        {EPositionSource::Photo, EPositionSource::Map, false, EPositionChange::Set},
        {EPositionSource::Map, EPositionSource::Typed, false, EPositionChange::NeedsAsking},
        {EPositionSource::Typed, EPositionSource::Gpx, false, EPositionChange::NeedsAsking},
        {EPositionSource::Gpx, EPositionSource::Map, true, EPositionChange::Set},
    };
    for (const auto& c : cases) {
        CPlaceBook book;
        if (c.before != EPositionSource::None) book.SetPosition("磯", {34, 135}, c.before);
        EXPECT_EQ(book.SetPosition("磯", {34.5, 135.5}, c.after, c.overwrite), c.change)
            << PositionSourceWord(c.before) << " -> " << PositionSourceWord(c.after);
        const bool moved = c.change == EPositionChange::Set;
        EXPECT_EQ(book.Find("磯")->position, (moved ? CGeoPoint{34.5, 135.5} : CGeoPoint{34, 135}));
    }
    CPlaceBook book;
    EXPECT_EQ(book.SetPosition("  ", {1, 1}, EPositionSource::Typed), EPositionChange::Refused);
    EXPECT_EQ(book.SetPosition("磯", {91, 1}, EPositionSource::Typed), EPositionChange::Refused);
}

TEST(PlaceBook, NearestPlaceWithinADistance)
{
    CPlaceBook book;
    book.SetPosition("A", {35.0, 139.0}, EPositionSource::Typed);
    book.SetPosition("B", {35.1, 139.0}, EPositionSource::Typed);  // ~11 km north of A
    book.SetPortForPlace("C", "tokyo");                            // no position
    const struct {
        CGeoPoint point;
        double maxKm;
        const char* nearest;  // "" for none
    } cases[] = {
        {{35.01, 139.0}, 5, "A"},  {{35.09, 139.0}, 5, "B"}, {{35.05, 139.0}, 1, ""},
        {{35.04, 139.0}, 10, "A"}, {{0, 139}, 20000, "A"},   {{91, 0}, 20000, ""},
    };
    for (const auto& c : cases) {
        const CPlaceInfo* found = book.NearestPlace(c.point, c.maxKm);
        EXPECT_EQ(found ? found->name : "", c.nearest) << c.point.latitude << " " << c.maxKm;
    }
}

// What the window and the command line must see of a side file that cannot be used in whole:
// the file and line named, and the file kept as it is.
TEST(PlaceBook, HostileFilesAreNamedAndNeverRewritten)
{
    const struct {
        const char* what;
        std::string bytes;
        size_t line;           // of the first problem; SIZE_MAX when the file is fine
        const char* reason;    // part of the first problem's text
        const char* homePort;  // as read
    } cases[] = {
        {"good", "home\ttokyo\nplace\t磯\t\t35.5\t139.5\tmap\n", SIZE_MAX, "", "tokyo"},
        {"CR LF and comments", "# x\r\nhome\ttokyo\r\n", SIZE_MAX, "", "tokyo"},
        {"foreign port", "home\ttokyo\nplace\t磯\tsan-francisco\t\t\t\n", 2, "知らない潮汐の港",
         "tokyo"},
        {"damaged position", "home\ttokyo\nplace\t磯\t\t35.5x\t139\tmap\n", 2, "位置", "tokyo"},
        {"off the globe", "place\t磯\t\t95\t139\tmap\nhome\ttokyo\n", 1, "位置", "tokyo"},
        {"unknown source", "place\t磯\t\t35\t139\tguess\n", 1, "位置", ""},
        {"nan", "place\t磯\t\tnan\t139\tmap\n", 1, "位置", ""},
        {"foreign line", "home\ttokyo\nlat=35\n", 2, "読み取れない", "tokyo"},
        {"control bytes in a port", "home\ttok\x05yo\r\r\n", 1, "使えない文字", ""},
        {"no place", "place\t \ttokyo\t\t\t\n", 1, "場所がありません", ""},
        {"binary", std::string("home\ttokyo\n\0\x01\x02", 14), 0, "テキスト", ""},
        {"huge", std::string(kMaxPlacesFileBytes + 1, '#'), 0, "大きすぎ", ""},
        {"hostile bytes", HostileBytes(4096, "place\t磯\t\t35\t139\tmap\n", 3), 0, "", ""},
    };
    CTempProgramDir dir;
    const CTideStations stations = TwoStations();
    const std::string path = dir.Folder().GetPlacesFile();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir.WriteFile(kPlacesFileName, c.bytes);
        CPlaceBook book(&stations);
        const bool fine = c.line == SIZE_MAX;
        EXPECT_EQ(book.Load(dir.Folder()), fine) << book.ProblemText();
        if (!book.Problems().empty() && std::string(c.what) != "hostile bytes") {
            EXPECT_EQ(book.Problems()[0].file, path);
            EXPECT_EQ(book.Problems()[0].line, c.line);
            EXPECT_NE(book.Problems()[0].reason.find(c.reason), std::string::npos);
            EXPECT_NE(book.ProblemText().find(path), std::string::npos);
            EXPECT_EQ(book.HomePortId(), c.homePort);
        }
        book.SetHomePortId("yokohama");
        std::string error;
        EXPECT_EQ(book.Save(error), fine) << error;
        if (!fine) {
            EXPECT_EQ(dir.ReadFile(kPlacesFileName), c.bytes);
        }
    }
}

TEST(PlaceBook, ThingsThatAreNotFilesAreRefused)
{
    CTempProgramDir dir;
    const std::string path = dir.Folder().GetPlacesFile();
    const struct {
        const char* what;
        std::function<void()> make;
        bool loads;
        const char* reason;
    } cases[] = {
        {"FIFO", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }, false, "通常のファイル"},
        {"folder", [&] { ASSERT_EQ(mkdir(path.c_str(), 0700), 0); }, false, "通常のファイル"},
        {"link to a device", [&] { ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0); }, false,
         "通常のファイル"},
        // A regular file whose read fails: the first page of a process's memory is unmapped.
        {"failed read", [&] { ASSERT_EQ(symlink("/proc/self/mem", path.c_str()), 0); }, false,
         "入出力エラー"},
        {"link to a good file",
         [&] {
             dir.WriteFile("elsewhere.txt", "home\ttokyo\n");
             ASSERT_EQ(symlink(dir.Path("elsewhere.txt").c_str(), path.c_str()), 0);
         },
         true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(path);
        c.make();
        CPlaceBook book;
        EXPECT_EQ(book.Load(dir.Folder()), c.loads);
        if (!c.loads) {
            ASSERT_EQ(book.Problems().size(), 1u);
            EXPECT_EQ(book.Problems()[0].line, 0u);
            EXPECT_NE(book.Problems()[0].reason.find(c.reason), std::string::npos);
            std::string error;
            EXPECT_FALSE(book.Save(error));
        }
    }
    RemoveTree(path);
}

TEST(PlaceBook, AFullDiskKeepsThePreviousFile)
{
    CTempProgramDir dir;
    const std::string before = "home\ttokyo\n";
    dir.WriteFile(kPlacesFileName, before);
    CPlaceBook book;
    ASSERT_TRUE(book.Load(dir.Folder()));
    book.SetPosition("磯", {35, 139}, EPositionSource::Typed);
    std::string error;
    {
        CFullDisk disk(16);
        EXPECT_FALSE(book.Save(error));
    }
    EXPECT_NE(error.find("保存できませんでした"), std::string::npos) << error;
    EXPECT_EQ(dir.ReadFile(kPlacesFileName), before);
}

TEST(PlaceBook, TheOldTidePortFileIsCarriedOverOnceAndKept)
{
    const struct {
        const char* what;
        std::string legacy;  // "" for no old file
        bool loads;
        bool carried;
        const char* home;
    } cases[] = {
        {"ports", "home\tyokohama\nplace\t東京湾\ttokyo\n", true, true, "yokohama"},
        {"no old file", "", true, false, ""},
        {"damaged old file", "home\tyokohama\nplace\t東京湾\tnowhere\n", false, false, "yokohama"},
        {"huge old file", std::string(kMaxPlacesFileBytes + 1, '#'), false, false, ""},
    };
    const CTideStations stations = TwoStations();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTempProgramDir dir;
        if (!c.legacy.empty()) dir.WriteFile(kTidePortsFileName, c.legacy);
        CPlaceBook book(&stations);
        EXPECT_EQ(book.Load(dir.Folder()), c.loads) << book.ProblemText();
        EXPECT_EQ(book.CarriedOver(), c.carried);
        EXPECT_EQ(book.HomePortId(), c.home);
        if (!c.loads) {
            EXPECT_NE(book.ProblemText().find(kTidePortsFileName), std::string::npos);
        }
        std::string error;
        EXPECT_EQ(book.Save(error), c.loads) << error;
        EXPECT_EQ(dir.Exists(kPlacesFileName), c.loads);
        if (c.carried) {
            EXPECT_EQ(dir.ReadFile(kTidePortsFileName), c.legacy);  // the old file is kept
            CPlaceBook again(&stations);
            // The places file now wins over the old one, whatever happens to it later.
            dir.WriteFile(kTidePortsFileName, "home\ttokyo\n");
            ASSERT_TRUE(again.Load(dir.Folder()));
            EXPECT_FALSE(again.CarriedOver());
            EXPECT_EQ(again.HomePortId(), "yokohama");
            EXPECT_EQ(again.PortForPlace("東京湾"), "tokyo");
        }
    }
}

}  // namespace
