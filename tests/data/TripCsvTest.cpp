#include <gtest/gtest.h>

#include "data/CatchStore.h"
#include "data/TextEncoding.h"
#include "data/TripCsv.h"
#include "support/TempProgramDir.h"

namespace {

std::vector<CTripRecord> SampleTrips()
{
    CTripRecord first;
    first.fishname = "マダイ";
    first.weather = "晴れ";
    first.date = "2004/5/3";
    first.water = "18";
    first.highTide = "5:10";
    first.ebbTide = "11:40";
    first.method = "フカセ, \"遠投\"\n道糸 2号";
    first.place = "城ヶ島";
    first.memo = "風が強い\n\n「まだい」 , 一枚";
    first.placePhotos = {"/p/a.jpg", "/p/b c.jpg"};
    first.fishPhotos = {"/p/fish.jpg"};
    first.catches = {{"マダイ", "32.5", "0.35", "7時15分"}, {"イトヨリ", "28", "0.2", "時分"}};
    CTripRecord empty;  // every field empty, no catches
    CTripRecord second = first;
    second.date = "2004/5/4";
    second.memo = " spaces kept ";
    second.catches = {{"アジ", "", "", ""}};
    return {first, empty, second};
}

}  // namespace

TEST(TripCsv, WritesTheExchangeLayout)
{
    const std::string csv = WriteTripsCsv(SampleTrips());
    const std::string head = std::string("\xEF\xBB\xBF") + kTripCsvHeader + "\r\n";
    ASSERT_EQ(csv.compare(0, head.size(), head), 0);
    const std::string firstRow =
        "1,2004/5/3,晴れ,マダイ,18,5:10,11:40,城ヶ島,\"フカセ, \"\"遠投\"\"\n道糸 2号\","
        "\"風が強い\n\n「まだい」 , 一枚\",/p/a.jpg|/p/b c.jpg,/p/fish.jpg,マダイ,32.5,0.35,"
        "7時15分\r\n";
    EXPECT_EQ(csv.compare(head.size(), firstRow.size(), firstRow), 0) << csv;
    EXPECT_NE(csv.find("\r\n2,,,,,,,,,,,,,,,\r\n"), std::string::npos);  // a trip without catches
    EXPECT_NE(csv.find("\r\n3,2004/5/4"), std::string::npos);
}

TEST(TripCsv, ReadsBackWhatItWritesInUtf8AndCp932)
{
    const std::vector<CTripRecord> trips = SampleTrips();
    const std::string csv = WriteTripsCsv(trips);
    std::string cp932;
    ASSERT_TRUE(Utf8ToCp932(csv.substr(3), cp932));
    for (const std::string& bytes : {csv, csv.substr(3), cp932}) {
        const CCsvImport import = ReadTripsCsv(bytes);
        EXPECT_TRUE(import.problems.empty()) << DescribeCsvImport(import, 0, 5);
        EXPECT_EQ(import.trips, trips);
        EXPECT_EQ(import.catches, 3u);
    }
}

TEST(TripCsv, BadRowsKeepTheirTripOutAndAreListed)
{
    struct Case {
        const char* row;  // replaces the rows of trip 1
        int problemRow;
        int problemColumn;
        const char* reason;
    };
    const Case cases[] = {
        {"1,2004/5/3,晴れ\r\n", 2, 0, "列の数"},
        {"1,2004/5/3,,,,,,,,,,,マダイ,30,\"0,35\",\r\n", 2, 15, "「,」"},
        {"1,2004/5/3,,,,,,,,,,,マダイ,30cm,1,\r\n", 2, 14, "数ではありません"},
        {"1,2004/5/3,,,,,,,,,,,マダイ,30,10001,\r\n", 2, 15, "10000"},
        {"1,2004/5/3,,,,,,,,,,,,30,1,\r\n", 2, 13, "魚種名"},
        {",2004/5/3,,,,,,,,,,,,,,\r\n", 2, 1, "番号"},
        {"1,2004/5/3,,,,,,,,,,,A,1,1,\r\n1,2004/5/4,,,,,,,,,,,B,1,1,\r\n", 3, 2, "日付"},
    };
    for (const Case& c : cases) {
        const std::string csv = std::string(kTripCsvHeader) + "\r\n" + c.row +
                                "2,2004/6/1,雨,,,,,,,,,,アジ,20,0.1,\r\n";
        const CCsvImport import = ReadTripsCsv(csv);
        ASSERT_EQ(import.problems.size(), 1u) << c.row;
        EXPECT_EQ(import.problems[0].row, c.problemRow) << c.row;
        EXPECT_EQ(import.problems[0].column, c.problemColumn) << c.row;
        EXPECT_NE(import.problems[0].reason.find(c.reason), std::string::npos)
            << import.problems[0].reason;
        ASSERT_EQ(import.trips.size(), 1u) << c.row;  // the good trip stays
        EXPECT_EQ(import.trips[0].date, "2004/6/1");
        EXPECT_EQ(import.skippedTrips, 1u);
    }
    const CCsvImport wrongHeader = ReadTripsCsv("番号,日付\r\n1,2004/1/1\r\n");
    EXPECT_TRUE(wrongHeader.trips.empty());
    ASSERT_EQ(wrongHeader.problems.size(), 1u);
    EXPECT_EQ(wrongHeader.problems[0].row, 1);
}

TEST(TripCsv, ImportIntoAnEmptyFolderGivesTheSameTripsAndTwiceAddsNothing)
{
    CTempProgramDir source;
    CCatchStore store(source.CatchFile());
    ASSERT_TRUE(store.AddTrips(SampleTrips()).ok());
    std::string error;
    ASSERT_TRUE(ExportTripsCsvFile(store, source.Path("trips.csv"), error)) << error;
    const std::string csv = source.ReadFile("trips.csv");

    CTempProgramDir target;
    ::unlink(target.CatchFile().c_str());
    target.WriteFile("trips.csv", csv);
    CCatchStore imported(target.CatchFile());
    const auto first = ImportTripsCsvFile(imported, target.Path("trips.csv"), nullptr);
    EXPECT_TRUE(first.error.empty()) << first.error;
    EXPECT_EQ(first.added, 3u);
    std::vector<CTripRecord> original;
    std::vector<CTripRecord> copy;
    ASSERT_TRUE(store.ReadAllTrips(original).ok());
    ASSERT_TRUE(CCatchStore(target.CatchFile()).ReadAllTrips(copy).ok());
    EXPECT_EQ(copy, original);

    // A declined preview writes nothing; the same file again adds nothing.
    const std::string before = target.ReadFile("Data/fish.xml");
    bool asked = false;
    const auto declined =
        ImportTripsCsvFile(imported, target.Path("trips.csv"), [&](const CCsvImportOutcome&) {
            asked = true;
            return false;
        });
    EXPECT_FALSE(asked);  // nothing new: no question
    EXPECT_EQ(declined.known, 3u);
    EXPECT_EQ(declined.added, 0u);
    EXPECT_EQ(target.ReadFile("Data/fish.xml"), before);

    // Added trips come in one save after the last, the backup holding the file before it.
    std::vector<CTripRecord> more = SampleTrips();
    more[1].memo = "new";
    more.push_back(more[1]);
    ASSERT_TRUE(imported.AddTrips({more[1], more[3]}).ok());
    EXPECT_EQ(target.ReadFile("Data/fish.xml.bak"), before);
    ASSERT_TRUE(CCatchStore(target.CatchFile()).ReadAllTrips(copy).ok());
    ASSERT_EQ(copy.size(), 5u);
    EXPECT_EQ(copy[3].memo, "new");
    EXPECT_EQ(copy[4], copy[3]);

    // Many at once: the same store reads them from the file afterwards.
    std::vector<CTripRecord> many(150, more[1]);
    for (size_t n = 0; n < many.size(); ++n) many[n].place = std::to_string(n);
    ASSERT_TRUE(imported.AddTrips(many).ok());
    ASSERT_TRUE(imported.ReadAllTrips(copy).ok());
    ASSERT_EQ(copy.size(), 155u);
    EXPECT_EQ(copy[154].place, "149");
}
