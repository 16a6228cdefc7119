#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/SafeFile.h"
#include "support/TempProgramDir.h"

namespace {

CTripRecord MakeTrip(const std::string& date, const std::string& place)
{
    CTripRecord trip;
    trip.fishname = "クロダイ";
    trip.weather = "晴れ";
    trip.date = date;
    trip.water = "18";
    trip.highTide = "6:12";
    trip.ebbTide = "12:40";
    trip.method = "ウキフカセ\n道糸 3号";
    trip.place = place;
    trip.memo = "";
    trip.placePhotos = {"/photos/磯.jpg"};
    trip.fishPhotos = {"/photos/a.jpg", "/photos/b.jpg"};
    trip.catches = {{"クロダイ", "42", "2", "6時30分"}, {"メジナ", "30", "0", "時分"}};
    return trip;
}

class CatchStoreTest : public ::testing::Test {
protected:
    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
};

// The bytes around the new trip are the file's own; only the trip is written.
TEST_F(CatchStoreTest, AddTripWritesTheTwelveElementsInOrderWithLayoutAndEmptyElements)
{
    m_dir.WriteFile("Data/fish.xml",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log></log>\r\n");
    ASSERT_TRUE(m_store.AddTrip(MakeTrip("2009/5/3", "城ヶ島")).ok());
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>\r\n<FishData>"
        "\r\n<fishname>クロダイ</fishname>\r\n<weather>晴れ</weather>\r\n<date>2009/5/3</date>"
        "\r\n<water>18</water>\r\n<HighTide>6:12</HighTide>\r\n<EbbTide>12:40</EbbTide>"
        "\r\n<method>ウキフカセ\r\n道糸 3号</method>\r\n<place>城ヶ島</place>\r\n<memo/>"
        "\r\n<image_place>\r\n<imagepath>/photos/磯.jpg</imagepath></image_place>"
        "\r\n<image_fish>\r\n<imagepath>/photos/a.jpg</imagepath>\r\n<imagepath>/photos/b.jpg</"
        "imagepath></image_fish>"
        "\r\n<report>"
        "\r\n<fish>\r\n<name>クロダイ</name>\r\n<height>42</height>\r\n<weight>2</"
        "weight>\r\n<time>6時30分</time></fish>"
        "\r\n<fish>\r\n<name>メジナ</name>\r\n<height>30</height>\r\n<weight>0</"
        "weight>\r\n<time>時分</time></fish>"
        "</report></FishData></log>\r\n";
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), expected);
}

TEST_F(CatchStoreTest, TripsRoundTripWithJapaneseTextsAndLineBreaks)
{
    CTripRecord trip = MakeTrip("2009/5/3", "東京湾 木更津沖");
    trip.memo = "朝マヅメ\n潮止まりで食いが落ちた\n";
    ASSERT_TRUE(m_store.AddTrip(trip).ok());
    CTripRecord back;
    ASSERT_TRUE(m_store.ReadTrip(0, back).ok());
    EXPECT_EQ(back, trip);

    std::vector<CTripRow> rows;
    ASSERT_TRUE(m_store.ListTrips(rows).ok());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (CTripRow{"1", "2009/5/3", "晴れ", "クロダイ", "東京湾 木更津沖"}));
}

TEST_F(CatchStoreTest, PositionsFollowDeletesAndReplaceKeepsThePlace)
{
    for (const char* place : {"A", "B", "C", "D"})
        ASSERT_TRUE(m_store.AddTrip(MakeTrip("2003/1/1", place)).ok());
    ASSERT_TRUE(m_store.DeleteTrip(0).ok());
    std::vector<CTripRow> rows;
    ASSERT_TRUE(m_store.ListTrips(rows).ok());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].place, "B");
    EXPECT_EQ(rows[0].number, "1");
    EXPECT_EQ(rows[2].place, "D");
    EXPECT_EQ(rows[2].number, "3");

    ASSERT_TRUE(m_store.ReplaceTrip(2, MakeTrip("2004/2/2", "D2")).ok());
    ASSERT_TRUE(m_store.ReplaceTrip(0, MakeTrip("2004/2/2", "B2")).ok());
    ASSERT_TRUE(m_store.ListTrips(rows).ok());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].place, "B2");
    EXPECT_EQ(rows[1].place, "C");
    EXPECT_EQ(rows[2].place, "D2");
    EXPECT_EQ(rows[2].date, "2004/2/2");
}

TEST_F(CatchStoreTest, PositionsPastTheLastTripChangeNothingAndSaySo)
{
    ASSERT_TRUE(m_store.AddTrip(MakeTrip("2003/1/1", "A")).ok());
    const std::string before = m_dir.ReadFile("Data/fish.xml");
    CTripRecord trip;
    EXPECT_EQ(m_store.ReadTrip(1, trip).status, EStoreStatus::NoSuchTrip);
    EXPECT_EQ(m_store.ReadTrip(-1, trip).status, EStoreStatus::NoSuchTrip);
    EXPECT_EQ(m_store.ReplaceTrip(1, MakeTrip("2004/1/1", "X")).status, EStoreStatus::NoSuchTrip);
    EXPECT_EQ(m_store.DeleteTrip(5).status, EStoreStatus::NoSuchTrip);
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), before);
}

TEST_F(CatchStoreTest, ListsYearsSpeciesAndPhotosInOrderOfFirstAppearance)
{
    CTripRecord a = MakeTrip("2003/4/1", "A");
    CTripRecord b = MakeTrip("2004/6/1", "B");
    b.catches = {{"スズキ", "60", "3", "5時0分"}, {"クロダイ", "40", "1", "6時0分"}};
    b.placePhotos = {"/p/b1.jpg", "/p/b2.jpg"};
    b.fishPhotos = {};
    CTripRecord c = MakeTrip("2003", "C");  // no "/": the whole text is the year
    CTripRecord d = MakeTrip("", "D");
    d.catches = {};
    for (const auto& trip : {a, b, c, d, a}) ASSERT_TRUE(m_store.AddTrip(trip).ok());

    std::vector<std::string> years;
    ASSERT_TRUE(m_store.ListYears(years).ok());
    EXPECT_EQ(years, (std::vector<std::string>{"2003", "2004", ""}));

    std::vector<std::string> species;
    ASSERT_TRUE(m_store.ListSpecies(species).ok());
    EXPECT_EQ(species, (std::vector<std::string>{"クロダイ", "メジナ", "スズキ"}));

    std::vector<std::string> paths;
    ASSERT_TRUE(m_store.ListPhotoPaths(EPhotoKind::Place, paths).ok());
    EXPECT_EQ(paths,
              (std::vector<std::string>{"/photos/磯.jpg", "/p/b1.jpg", "/p/b2.jpg",
                                        "/photos/磯.jpg", "/photos/磯.jpg", "/photos/磯.jpg"}));
    ASSERT_TRUE(m_store.ListPhotoPaths(EPhotoKind::Fish, paths).ok());
    EXPECT_EQ(paths.size(), 8u);
}

TEST_F(CatchStoreTest, AFileThatCannotBeParsedIsLeftByteForByteByEveryWriter)
{
    const std::string broken =
        "<?xml version=\"1.0\"?>\r\n<log>\r\n<FishData><date>2003/1/1</date>\r\n</log>\r\n";
    m_dir.WriteFile("Data/fish.xml", broken);
    const CTripRecord trip = MakeTrip("2009/1/1", "X");
    for (const CStoreResult& result :
         {m_store.AddTrip(trip), m_store.ReplaceTrip(0, trip), m_store.DeleteTrip(0)}) {
        EXPECT_EQ(result.status, EStoreStatus::ParseError);
        EXPECT_EQ(result.line, 4);
    }
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), broken);
    EXPECT_FALSE(m_dir.Exists("Data/fish.xml.bak"));

    std::vector<CTripRow> rows;
    const CStoreResult listed = m_store.ListTrips(rows);
    EXPECT_EQ(listed.status, EStoreStatus::ParseError);
    EXPECT_NE(DescribeStoreResult(listed, m_store.GetPath()).find("4 行目"), std::string::npos);
}

TEST_F(CatchStoreTest, MissingFileIsToldApartAndNeverCreated)
{
    std::remove(m_dir.Path("Data/fish.xml").c_str());
    std::vector<CTripRow> rows;
    const CStoreResult result = m_store.ListTrips(rows);
    EXPECT_EQ(result.status, EStoreStatus::Missing);
    EXPECT_EQ(
        DescribeStoreResult(result, m_store.GetPath()).rfind("ファイルの読み込み失敗しました", 0),
        0u);
    EXPECT_EQ(m_store.AddTrip(MakeTrip("2009/1/1", "X")).status, EStoreStatus::Missing);
    EXPECT_FALSE(m_dir.Exists("Data/fish.xml"));
}

TEST_F(CatchStoreTest, SavingKeepsThePreviousVersionAsBackup)
{
    ASSERT_TRUE(m_store.AddTrip(MakeTrip("2003/1/1", "A")).ok());
    const std::string afterFirst = m_dir.ReadFile("Data/fish.xml");
    ASSERT_TRUE(m_store.AddTrip(MakeTrip("2003/1/2", "B")).ok());
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml.bak"), afterFirst);
}

TEST_F(CatchStoreTest, SaveOntoAFullDiskFailsWithTheOriginalIntact)
{
    ASSERT_TRUE(m_store.AddTrip(MakeTrip("2003/1/1", "A")).ok());
    const std::string before = m_dir.ReadFile("Data/fish.xml");
    // A disk that fills up after 100 bytes of the new file.
    size_t written = 0;
    SetSafeWriteFunctionForTesting([&written](int fd, const void* data, size_t size) -> ssize_t {
        if (written + size > 100) {
            errno = ENOSPC;
            return -1;
        }
        written += size;
        return ::write(fd, data, size);
    });
    const CStoreResult result = m_store.AddTrip(MakeTrip("2003/1/2", "B"));
    SetSafeWriteFunctionForTesting({});
    EXPECT_EQ(result.status, EStoreStatus::SaveFailed);
    EXPECT_NE(result.detail.find("ディスクの空き容量が足りません"), std::string::npos)
        << result.detail;
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), before);
    // The store still knows the file as it is.
    std::vector<CTripRow> rows;
    ASSERT_TRUE(m_store.ListTrips(rows).ok());
    EXPECT_EQ(rows.size(), 1u);
}

TEST_F(CatchStoreTest, ReadersCopeWithMissingElementsAndAnyRootName)
{
    m_dir.WriteFile("Data/fish.xml",
                    "<anything><FishData><date>2005/7/7</date></FishData><group><FishData>"
                    "<place>入れ子</place><report><fish><name>アジ</name></fish></report></"
                    "FishData></group></anything>");
    std::vector<CTripRow> rows;
    ASSERT_TRUE(m_store.ListTrips(rows).ok());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (CTripRow{"1", "2005/7/7", "", "", ""}));
    EXPECT_EQ(rows[1].place, "入れ子");
    CTripRecord trip;
    ASSERT_TRUE(m_store.ReadTrip(1, trip).ok());
    ASSERT_EQ(trip.catches.size(), 1u);
    EXPECT_EQ(trip.catches[0], (CCatchRecord{"アジ", "", "", ""}));
    EXPECT_TRUE(trip.placePhotos.empty());
    // A nested trip can be deleted too.
    ASSERT_TRUE(m_store.DeleteTrip(1).ok());
    ASSERT_TRUE(m_store.ListTrips(rows).ok());
    EXPECT_EQ(rows.size(), 1u);
}

}  // namespace
