#include <gtest/gtest.h>
#include <unistd.h>

#include "data/CatchStore.h"
#include "data/TextEncoding.h"
#include "data/TripCsv.h"
#include "support/LimitedChild.h"
#include "support/TempProgramDir.h"

namespace {

std::vector<CTripRecord> SampleTrips()
{
    CTripRecord first;
    first.fishname = "マダイ";
    first.weather = "晴れ";
    first.date = "2004/05/03";
    first.water = "18";
    first.highTide = "5:10";
    first.ebbTide = "11:40";
    first.method = "フカセ, \"遠投\"\n道糸 2号";
    first.place = "城ヶ島";
    first.memo = "風が強い\n\n「まだい」 , 一枚";
    first.placePhotos = {"/p/a.jpg", "/p/b c.jpg"};
    first.fishPhotos = {"/p/fish.jpg"};
    first.catches = {{"マダイ", "32.5", "0.35", "7時15分"}, {"イトヨリ", "28", "0.2", "時分"}};
    CTripRecord empty;  // every field empty but the date, no catches
    empty.date = "2004/05/04";
    CTripRecord second = first;
    second.date = "2004/05/04";
    second.memo = " spaces kept ";
    second.catches = {{"アジ", "", "", ""}};
    return {first, empty, second};
}

const std::string kHead = std::string(kTripCsvHeader) + "\r\n";

// A file of the header and rows given as "number,date,...": fields left out are empty.
std::string Csv(std::initializer_list<std::string> rows)
{
    std::string csv = kHead;
    for (const std::string& row : rows) {
        const size_t commas = static_cast<size_t>(std::count(row.begin(), row.end(), ','));
        csv += row + std::string(commas < 15 ? 15 - commas : 0, ',') + "\r\n";
    }
    return csv;
}

// The same in CP932, the rows given in CP932 bytes.
std::string Cp932Csv(const std::string& row)
{
    std::string head;
    Utf8ToCp932(kHead, head);
    return head + row + std::string(15 - std::count(row.begin(), row.end(), ','), ',') + "\r\n";
}

std::string Problems(const CCsvImport& import)
{
    return DescribeCsvImport(import, 0, 20);
}

}  // namespace

TEST(TripCsv, WritesTheExchangeLayout)
{
    const std::string csv = WriteTripsCsv(SampleTrips());
    const std::string head = "\xEF\xBB\xBF" + kHead;
    ASSERT_EQ(csv.compare(0, head.size(), head), 0);
    const std::string firstRow =
        "1,2004/05/03,晴れ,マダイ,18,5:10,11:40,城ヶ島,\"フカセ, \"\"遠投\"\"\r\n道糸 2号\","
        "\"風が強い\r\n\r\n「まだい」 , 一枚\",/p/a.jpg|/p/b c.jpg,/p/fish.jpg,マダイ,32.5,0.35,"
        "7時15分\r\n";
    EXPECT_EQ(csv.compare(head.size(), firstRow.size(), firstRow), 0) << csv;
    EXPECT_NE(csv.find("\r\n2,2004/05/04,,,,,,,,,,,,,,\r\n"), std::string::npos);  // no catches
    EXPECT_NE(csv.find("\r\n3,2004/05/04"), std::string::npos);
}

TEST(TripCsv, ReadsBackWhatItWritesInUtf8AndCp932)
{
    const std::vector<CTripRecord> trips = SampleTrips();
    const std::string csv = WriteTripsCsv(trips);
    std::string cp932;
    ASSERT_TRUE(Utf8ToCp932(csv.substr(3), cp932));
    for (const std::string& bytes : {csv, csv.substr(3), cp932}) {
        const CCsvImport import = ReadTripsCsv(bytes);
        EXPECT_TRUE(import.problems.empty()) << Problems(import);
        EXPECT_EQ(import.trips, trips);
        EXPECT_EQ(import.catches, 3u);
    }
}

// Texts a spreadsheet or the CSV layout would change: each is written so that the spreadsheet
// shows it as text and the reader gives it back exactly.
TEST(TripCsv, HazardousTextsAreGuardedAndComeBackExactly)
{
    struct Case {
        const char* text;
        const char* field;  // as written
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"a\nb", "\"a\r\nb\""},  // a line break alone is quoted too
        {"a\r\nb", "\"a\r\r\nb\""},
        {"a\rb", "\"a\rb\""},
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"=cmd|' /C calc'!A0", "\"'=cmd|' /C calc'!A0\""},
        {"+81 3", "\"'+81 3\""},
        {"-2", "\"'-2\""},
        {"@SUM(A1)", "\"'@SUM(A1)\""},
        {"\tx", "\"'\tx\""},
        {"\rx", "\"'\rx\""},
        {"'quoted", "\"''quoted\""},
        {"''", "\"'''\""},
        {"a;b", "\"a;b\""},
        {"a\tb", "\"a\tb\""},
        {"x=1", "x=1"},
    };
    for (const Case& c : cases) {
        CTripRecord trip;
        trip.date = "2024/04/14";
        trip.memo = c.text;
        trip.place = c.text;
        const std::string csv = WriteTripsCsv({trip});
        const std::string row = "1,2024/04/14,,,,,," + std::string(c.field) + ",," + c.field;
        EXPECT_NE(csv.find(row), std::string::npos) << c.text << "\n" << csv;
        const CCsvImport import = ReadTripsCsv(csv);
        ASSERT_EQ(import.trips.size(), 1u) << c.text << Problems(import);
        EXPECT_EQ(import.trips[0], trip) << c.text;
    }
    // A quote that is no guard stays; photo paths keep their "|" and "%".
    const CCsvImport own =
        ReadTripsCsv(Csv({"1,2024/4/14,,,,,,'abc,,\"'=x\",a%7Cb|100%.jpg|c%25d%7c"}));
    ASSERT_EQ(own.trips.size(), 1u) << Problems(own);
    EXPECT_EQ(own.trips[0].place, "'abc");
    EXPECT_EQ(own.trips[0].memo, "=x");
    EXPECT_EQ(own.trips[0].placePhotos, (std::vector<std::string>{"a|b", "100%.jpg", "c%d|"}));
    CTripRecord photos;
    photos.date = "2024/04/14";
    photos.placePhotos = {"/a|b.jpg", "50%.jpg"};
    photos.fishPhotos = {"|", "a%7Cb.jpg", "c%25d%"};
    EXPECT_EQ(ReadTripsCsv(WriteTripsCsv({photos})).trips, std::vector<CTripRecord>{photos});
}

// What each column takes, and what it stores: the entry dialog's number reader, the dates of
// spreadsheets, time cells.
TEST(TripCsv, ColumnsAreReadAsTheDialogTakesThemAndStoredInNormalForm)
{
    struct Case {
        int column;  // 1-based
        const char* text;
        const char* stored;  // nullptr: a problem in that column
        const char* reason;  // part of the problem's reason
    };
    const Case cases[] = {
        {15, "１２．５", "12.5", ""},
        {14, "５０", "50", ""},
        {14, "９", "9", ""},
        {15, " 40 ", "40", ""},
        {15, "5.", "5", ""},
        {15, "0.350", "0.35", ""},
        {15, "2.10", "2.1", ""},
        {14, "48.50", "48.5", ""},
        {14, "48.25", nullptr, "小数点以下 1 桁"},
        {15, "1.2345", nullptr, "小数点以下 3 桁"},
        {15, "0.0001", nullptr, "小数点以下 3 桁"},
        {15, "\"1,234\"", nullptr, "桁区切り"},
        {15, "\"0,35\"", nullptr, "「.」"},
        {15, "-0", nullptr, "マイナス"},
        {15, "10001", nullptr, "10000"},
        {14, "30cm", nullptr, "0 から 10000"},
        {2, "2024-04-14", "2024/04/14", ""},
        {2, "2024年4月15日", "2024/04/15", ""},
        {2, "R6/4/17", "2024/04/17", ""},
        {2, "令和6年4月17日", "2024/04/17", ""},
        {2, "H31/4/30", "2019/04/30", ""},
        {2, "2024/4/14", "2024/04/14", ""},
        {2, "4月16日", nullptr, "年"},
        {2, "4/18/2024", "2024/04/18", ""},
        {2, "14/04/2024", "2024/04/14", ""},
        {2, "04/05/2024", nullptr, "日と月"},
        {2, "2024/04/14 0:00:00", "2024/04/14", ""},
        {2, "2024年4月14日(日)", "2024/04/14", ""},
        {2, "R1/4/30", nullptr, "元号"},
        {2, "S64/1/8", nullptr, "元号"},
        {2, "9999/12/31", nullptr, "1873"},
        {6, "06:40", "6:40", ""},
        {6, "25:61:00", nullptr, "23:59"},
        {7, "24:00", nullptr, "23:59"},
        {6, "満潮なし", "満潮なし", ""},
        {16, "07:15", "7時15分", ""},
        {16, "07時05分", "7時5分", ""},
        {16, "25時0分", nullptr, "23:59"},
        {16, "時分", "時分", ""},
        {2, "2026/02/30", nullptr, "存在しない"},
        {2, "abc", nullptr, "読めません"},
        {2, "", nullptr, "空"},
        {2, "2024/4", nullptr, "月と日"},
        {6, "06:40:00", "6:40", ""},
        {7, "12:05:00", "12:05", ""},
        {6, "06:40:30", "06:40:30", ""},
        {16, "07:15:00", "7時15分", ""},
        {16, "7時5分", "7時5分", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> fields = {"1", "2024/4/14", "", "", "",     "", "", "",
                                           "",  "",          "", "", "アジ", "", "", ""};
        fields[static_cast<size_t>(c.column - 1)] = c.text;
        std::string row;
        for (const std::string& field : fields) row += (row.empty() ? "" : ",") + field;
        const std::string csv = kHead + row + "\r\n";
        const CCsvImport import = ReadTripsCsv(csv);
        if (c.stored == nullptr) {
            ASSERT_EQ(import.problems.size(), 1u) << c.text << Problems(import);
            EXPECT_EQ(import.problems[0].row, 2) << c.text;
            EXPECT_EQ(import.problems[0].column, c.column) << c.text;
            EXPECT_NE(import.problems[0].reason.find(c.reason), std::string::npos)
                << c.text << ": " << import.problems[0].reason;
            EXPECT_TRUE(import.trips.empty()) << c.text;
            continue;
        }
        ASSERT_EQ(import.trips.size(), 1u) << c.text << Problems(import);
        const CTripRecord& trip = import.trips[0];
        const CCatchRecord& caught = trip.catches.at(0);
        const std::string* stored[] = {nullptr, &trip.date,     nullptr,        nullptr,
                                       nullptr, &trip.highTide, &trip.ebbTide,  nullptr,
                                       nullptr, nullptr,        nullptr,        nullptr,
                                       nullptr, &caught.height, &caught.weight, &caught.time};
        ASSERT_NE(stored[c.column - 1], nullptr);
        EXPECT_EQ(*stored[c.column - 1], c.stored) << c.text;
    }
}

// Texts that the catch file cannot hold as they are: refused with the row and column, never
// changed.
TEST(TripCsv, TextsTheLogCannotKeepMakeTheirRowAProblem)
{
    const std::string longest(kMaxTripTextBytes, 'x');
    struct Case {
        std::string bytes;  // the whole file
        int column;
        const char* reason;
    };
    const Case cases[] = {
        {Csv({std::string("1,2024/4/14,,,,,,a\0b", 20)}), 8, "制御文字 (0x00)"},
        {Csv({"1,2024/4/14,,,,,,,,a\x01z"}), 10, "制御文字 (0x01)"},
        {Csv({"1,2024/4/14,,,,,,,,a\xEF\xBF\xBFz"}), 10, "U+FFFF"},
        {Csv({"1,2024/4/14,,,,,,,,\"  \""}), 10, "空白だけ"},
        {Csv({"1,2024/4/14,,,,,,,," + longest + "x"}), 10, "256 バイト"},
        {Csv({"1,2024/4/14,,,,,,,," + std::string(128, 'x') + "あ" + std::string(126, 'x')}), 10,
         "256 バイト"},
        {Csv({"1,2024/4/14,,,,,,,,,/p/a.jpg||/p/b.jpg"}), 11, "空の写真のパス"},
        {"\xEF\xBB\xBF" + Csv({"1,2024/4/14,,,,,,\xFF"}), 8, "UTF-8"},
        {Cp932Csv("1,2024/4/14,,,,,,\x82\xA0,\x85\x40"), 9, "Shift_JIS"},
    };
    for (const Case& c : cases) {
        const CCsvImport import = ReadTripsCsv(c.bytes);
        ASSERT_EQ(import.problems.size(), 1u) << c.reason << Problems(import);
        EXPECT_EQ(import.problems[0].row, 2) << c.reason;
        EXPECT_EQ(import.problems[0].column, c.column) << c.reason;
        EXPECT_NE(import.problems[0].reason.find(c.reason), std::string::npos)
            << import.problems[0].reason;
        EXPECT_TRUE(import.trips.empty()) << c.reason;
        EXPECT_EQ(import.skippedTrips, 1u) << c.reason;
    }
    // Just within the limit, and a CP932 file whose characters all decode.
    const CCsvImport fits = ReadTripsCsv(Csv({"1,2024/4/14,,,,,,,," + longest}));
    ASSERT_EQ(fits.trips.size(), 1u) << Problems(fits);
    EXPECT_EQ(fits.trips[0].memo, longest);
    const CCsvImport cp932 = ReadTripsCsv(Cp932Csv("1,2024/4/14,,,,,,\x82\xA0"));
    ASSERT_EQ(cp932.trips.size(), 1u) << Problems(cp932);
    EXPECT_EQ(cp932.trips[0].place, "あ");
}

// Rows are grouped by their number wherever they stand; a trip is taken whole or not at all.
TEST(TripCsv, RowsMakeTripsByNumberWholeOrNotAtAll)
{
    struct Case {
        const char* name;
        std::string csv;
        size_t trips;           // read without a problem
        size_t catchesOfFirst;  // catches of the first of them
        size_t skipped;
        size_t emptyRows;
        std::vector<CCsvProblem> problems;
    };
    const std::string good = "9,2024/6/1,雨,,,,,,,,,,アジ,20,0.1,";
    const Case cases[] = {
        {"sorted by species",
         Csv({"1,2024/4/14,,,,,,,,,,,アジ", "2,2024/4/15,,,,,,,,,,,イカ",
              "1,2024/4/14,,,,,,,,,,,サバ"}),
         2,
         2,
         0,
         0,
         {}},
        {"bad middle row",
         Csv({"1,2024/4/14,,,,,,,,,,,A,1", "1,2024/4/14,,,,,,,,,,,B,x", "1,2024/4/14,,,,,,,,,,,C,1",
              good}),
         1,
         1,
         1,
         0,
         {{3, 14, ""}}},
        {"rows differ in a trip column",
         Csv({"1,2024/4/14,,,,,,,,,,,A", "1,2024/4/15,,,,,,,,,,,B", good}),
         1,
         1,
         1,
         0,
         {{3, 2, ""}}},
        {"rows differ only in a photo column",
         Csv({"1,2024/4/14,,,,,,,,,/p/a.jpg,,A", "1,2024/4/14,,,,,,,,,/p/a.jpg,/p/f.jpg,B", good}),
         1,
         1,
         1,
         0,
         {{3, 12, ""}}},
        {"same trip in other spellings",
         Csv({"1,2024/4/14,,,,06:40:00,,,,,,,A", "1,2024-04-14,,,,6:40,,,,,,,B"}),
         1,
         2,
         0,
         0,
         {}},
        {"empty rows", Csv({",,,", good, ",,,,,,,,,,,,,,,"}), 1, 1, 0, 2, {}},
        {"wrong column count",
         kHead + "1,2024/4/14,晴れ\r\n" + good + "\r\n",
         1,
         1,
         1,
         0,
         {{2, 0, ""}}},
        {"a bad byte past the last column",
         "\xEF\xBB\xBF" + kHead + "1,2024/4/14" + std::string(15, ',') + "\xFF\r\n" + good + "\r\n",
         1,
         1,
         1,
         0,
         {{2, 0, ""}}},
        {"no number", Csv({",2024/4/14,,,,,,,,,,,A", good}), 1, 1, 0, 0, {{2, 1, ""}}},
        {"text past the last kept column",
         kHead + std::string(17, ',') + "x\r\n" + good + "\r\n",
         1,
         1,
         0,
         0,
         {{2, 0, ""}}},
        {"text past the last column of a trip",
         kHead + "1,2024/4/14" + std::string(17, ',') + "x\r\n" + good + "\r\n",
         1,
         1,
         1,
         0,
         {{2, 0, ""}}},
        {"two problems in one trip",
         Csv({"1,abc,,,,,,,,,,,A,x", "1,abc,,,,,,,,,,,B", good}),
         1,
         1,
         1,
         0,
         {{2, 2, ""}, {2, 14, ""}, {3, 2, ""}}},
    };
    for (const Case& c : cases) {
        const CCsvImport import = ReadTripsCsv(c.csv);
        ASSERT_EQ(import.trips.size(), c.trips) << c.name << "\n" << Problems(import);
        EXPECT_EQ(import.trips[0].catches.size(), c.catchesOfFirst) << c.name;
        EXPECT_EQ(import.skippedTrips, c.skipped) << c.name;
        EXPECT_EQ(import.emptyRows, c.emptyRows) << c.name;
        ASSERT_EQ(import.problems.size(), c.problems.size()) << c.name << "\n" << Problems(import);
        for (size_t n = 0; n < c.problems.size(); ++n) {
            EXPECT_EQ(import.problems[n].row, c.problems[n].row) << c.name;
            EXPECT_EQ(import.problems[n].column, c.problems[n].column) << c.name;
        }
    }
    const CCsvImport sorted = ReadTripsCsv(cases[0].csv);
    EXPECT_EQ(sorted.trips[0].catches[1].name, "サバ");
    EXPECT_EQ(sorted.catches, 3u);

    struct Whole {
        std::string bytes;
        const char* reason;
    };
    const Whole wholeFile[] = {
        {"番号,日付\r\n1,2004/1/1\r\n", "見出しの行が違います"},
        {"", "見出しの行がありません"},
        {"\xFF\xFE\x31\x00", "UTF-16"},
    };
    for (const Whole& w : wholeFile) {
        const CCsvImport import = ReadTripsCsv(w.bytes);
        EXPECT_TRUE(import.trips.empty());
        ASSERT_EQ(import.problems.size(), 1u) << w.reason;
        EXPECT_EQ(import.problems[0].row, 1);
        EXPECT_NE(import.problems[0].reason.find(w.reason), std::string::npos);
    }
}

// The header says the file's encoding; a row in the other one (pasted from another file, or a
// stray byte) is a problem of its cell, and the rest of the file is read.
TEST(TripCsv, ARowInAnotherEncodingThanTheHeaderIsAProblemOfThatRow)
{
    const std::string good = "9,2024/6/1,雨,,,,,,,,,,アジ,20,0.1,";
    std::string cp932Good;
    ASSERT_TRUE(Utf8ToCp932(good, cp932Good));
    std::string cp932Place;
    ASSERT_TRUE(Utf8ToCp932("1,2024/4/14,,,,,,大阪湾", cp932Place));
    const std::string badMemo =
        "1,2024/4/14,,,,,,,,a\xFF\xFE"
        "b";
    struct Case {
        const char* name;
        std::string bytes;
        int column;          // of the one problem
        const char* reason;  // part of it
    };
    const Case cases[] = {
        {"a UTF-8 row in a CP932 file", Cp932Csv("1,2024/4/14,,,,,,大阪湾") + cp932Good, 8,
         "UTF-8 で書かれています"},
        {"a bad byte in a UTF-8 file without a mark", Csv({badMemo, good}), 10,
         "UTF-8 として読めない"},
        {"a bad byte in a UTF-8 file with a mark", "\xEF\xBB\xBF" + Csv({badMemo, good}), 10,
         "UTF-8 として読めない"},
        {"a CP932 row in a UTF-8 file", "\xEF\xBB\xBF" + Csv({cp932Place, good}), 8,
         "Shift_JIS (CP932) で書かれています"},
    };
    for (const Case& c : cases) {
        const CCsvImport import = ReadTripsCsv(c.bytes);
        ASSERT_EQ(import.problems.size(), 1u) << c.name << "\n" << Problems(import);
        EXPECT_EQ(import.problems[0].row, 2) << c.name;
        EXPECT_EQ(import.problems[0].column, c.column) << c.name;
        EXPECT_NE(import.problems[0].reason.find(c.reason), std::string::npos)
            << c.name << ": " << import.problems[0].reason;
        ASSERT_EQ(import.trips.size(), 1u) << c.name;
        EXPECT_EQ(import.trips[0].weather, "雨") << c.name;
        EXPECT_EQ(import.skippedTrips, 1u) << c.name;
    }
    // Half-width katakana in CP932 may happen to be valid UTF-8 ("ﾃｽ" is C3 BD): still CP932.
    std::string katakana;
    ASSERT_TRUE(Utf8ToCp932("1,2024/4/14,,,,,,ﾃｽ", katakana));
    const CCsvImport cp932 = ReadTripsCsv(Cp932Csv(katakana));
    ASSERT_EQ(cp932.trips.size(), 1u) << Problems(cp932);
    EXPECT_EQ(cp932.trips[0].place, "ﾃｽ");
}

TEST(TripCsv, KnownTripsAreThoseEqualInEveryField)
{
    CTripRecord base;
    base.date = "2024/04/14";
    base.water = "18.0";
    base.memo = "0001";
    base.place = "1,234";
    base.highTide = "6:40";
    base.placePhotos = {"/p/a", "/p/b"};
    base.catches = {{"アジ", "20", "0.35", "6時5分"}};
    struct Case {
        const char* name;
        void (*change)(CTripRecord&);
        bool known;
    };
    const Case cases[] = {
        {"same", [](CTripRecord&) {}, true},
        {"date in another form", [](CTripRecord& t) { t.date = "2024/4/14"; }, true},
        {"weight with a trailing zero", [](CTripRecord& t) { t.catches[0].weight = "0.350"; },
         true},
        {"photos joined", [](CTripRecord& t) { t.placePhotos = {"/p/a|/p/b"}; }, false},
        {"photos of the other kind",
         [](CTripRecord& t) {
             t.fishPhotos = t.placePhotos;
             t.placePhotos.clear();
         },
         false},
        {"one photo more", [](CTripRecord& t) { t.placePhotos.push_back(""); }, false},
        {"memo", [](CTripRecord& t) { t.memo = "x"; }, false},
        // What a spreadsheet makes of numbers and times it opens.
        {"water temperature 18.0 as 18", [](CTripRecord& t) { t.water = "18"; }, true},
        {"a memo 0001 as 1", [](CTripRecord& t) { t.memo = "1"; }, true},
        {"a place 1,234 as 1234", [](CTripRecord& t) { t.place = "1234"; }, true},
        {"a length 20 as 20.0", [](CTripRecord& t) { t.catches[0].height = "20.0"; }, true},
        {"a tide 6:40 as 06:40", [](CTripRecord& t) { t.highTide = "06:40"; }, true},
        {"a catch time as 06:05", [](CTripRecord& t) { t.catches[0].time = "06:05"; }, true},
        {"a date as a date-time cell", [](CTripRecord& t) { t.date = "2024/4/14 0:00:00"; }, true},
        {"another number", [](CTripRecord& t) { t.water = "18.5"; }, false},
        {"a comma that groups no thousands", [](CTripRecord& t) { t.place = "12,34"; }, false},
        {"another tide", [](CTripRecord& t) { t.highTide = "6:41"; }, false},
        {"catch order",
         [](CTripRecord& t) {
             t.catches.insert(t.catches.begin(), {"サバ", "", "", ""});
         },
         false},
    };
    for (const Case& c : cases) {
        CTripRecord other = base;
        c.change(other);
        std::vector<CTripRecord> trips = {other};
        EXPECT_EQ(DropKnownTrips(trips, {base}), c.known ? 1u : 0u) << c.name;
        trips = {base};
        EXPECT_EQ(DropKnownTrips(trips, {other}), c.known ? 1u : 0u) << c.name;
    }
}

// Export, import into another folder, export: the same bytes; again: nothing added.
TEST(TripCsv, ExportImportExportIsIdenticalAndASecondImportAddsNothing)
{
    std::vector<CTripRecord> trips = SampleTrips();
    for (const char* text : {"=1+2", "-3", "@x", "'q", "a\rb", "a\r\nb", "a;b", "\tt", "\rr"}) {
        CTripRecord trip = trips[0];
        trip.memo = text;
        trip.place = text;
        trip.method = text;
        trip.water = text;
        trip.placePhotos = {std::string("/p/") + text + "|%.jpg"};
        trips.push_back(trip);
    }
    CTempProgramDir source;
    CCatchStore store(source.CatchFile());
    ASSERT_TRUE(store.AddTrips(trips).ok());
    std::string error;
    ASSERT_TRUE(ExportTripsCsvFile(store, source.Path("trips.csv"), error)) << error;
    const std::string csv = source.ReadFile("trips.csv");

    CTempProgramDir target;
    ::unlink(target.CatchFile().c_str());
    target.WriteFile("trips.csv", csv);
    CCatchStore imported(target.CatchFile());
    const auto first = ImportTripsCsvFile(imported, target.Path("trips.csv"), nullptr);
    EXPECT_TRUE(first.error.empty()) << first.error;
    EXPECT_EQ(first.added, trips.size()) << DescribeCsvImportOutcome(first, 20);
    std::vector<CTripRecord> copy;
    ASSERT_TRUE(CCatchStore(target.CatchFile()).ReadAllTrips(copy).ok());
    EXPECT_EQ(copy, trips);
    ASSERT_TRUE(ExportTripsCsvFile(imported, target.Path("again.csv"), error)) << error;
    EXPECT_EQ(target.ReadFile("again.csv"), csv);

    // The same file again adds nothing and asks nothing; the file stays as it was.
    const std::string before = target.ReadFile("Data/fish.xml");
    bool asked = false;
    const auto again =
        ImportTripsCsvFile(imported, target.Path("trips.csv"), [&](const CCsvImportOutcome&) {
            asked = true;
            return false;
        });
    EXPECT_FALSE(asked);
    EXPECT_EQ(again.known, trips.size());
    EXPECT_EQ(again.added, 0u);
    EXPECT_EQ(target.ReadFile("Data/fish.xml"), before);
}

// No path may write a text longer than a reader keeps, however many trips come at once; the
// import names the row and column, the store the field.
TEST(TripCsv, TextLimitHoldsForEveryWriterAndManyTrips)
{
    CTempProgramDir dir;
    std::string csv = kHead;
    for (int n = 1; n <= 150; ++n)
        csv += std::to_string(n) + ",2024/4/14,,,,,," + std::to_string(n) + ",,,,,,,,\r\n";
    const std::string longest(kMaxTripTextBytes, 'm');
    csv += "151,2024/4/14,,,,,,,," + longest + ",,,,,,\r\n";
    csv += "152,2024/4/14,,,,,,,," + longest + "m,,,,,,\r\n";
    dir.WriteFile("many.csv", csv);
    CCatchStore store(dir.CatchFile());
    const auto outcome = ImportTripsCsvFile(store, dir.Path("many.csv"), nullptr);
    ASSERT_TRUE(outcome.error.empty()) << outcome.error;
    EXPECT_EQ(outcome.added, 151u);
    ASSERT_EQ(outcome.import.problems.size(), 1u);
    EXPECT_EQ(outcome.import.problems[0].row, 153);
    EXPECT_EQ(outcome.import.problems[0].column, 10);
    std::vector<CTripRecord> trips;
    ASSERT_TRUE(CCatchStore(dir.CatchFile()).ReadAllTrips(trips).ok());
    ASSERT_EQ(trips.size(), 151u);
    EXPECT_EQ(trips[150].memo, longest);

    // The entry dialog's path: the store refuses, and the file stays as it was.
    const std::string before = dir.ReadFile("Data/fish.xml");
    CTripRecord tooLong = trips[0];
    tooLong.memo = longest + "m";
    CStoreResult result = store.AddTrip(tooLong);
    EXPECT_EQ(result.status, EStoreStatus::SaveFailed);
    EXPECT_NE(result.detail.find("メモ"), std::string::npos) << result.detail;
    tooLong = trips[0];
    tooLong.catches = {{std::string(200, 'x') + "あいうえお" + std::string(50, 'x'), "", "", ""}};
    result = store.ReplaceTrip(0, tooLong);
    EXPECT_EQ(result.status, EStoreStatus::SaveFailed);
    EXPECT_NE(result.detail.find("魚種名"), std::string::npos) << result.detail;
    EXPECT_EQ(dir.ReadFile("Data/fish.xml"), before);
}

TEST(TripCsv, ExportKeepsOutOfTheDataFolderAndImportRefusesAHugeFile)
{
    CTempProgramDir dir;
    CCatchStore store(dir.CatchFile());
    ASSERT_TRUE(store.AddTrips(SampleTrips()).ok());
    const std::string log = dir.ReadFile("Data/fish.xml");
    std::string error;
    for (const std::string& path : {dir.CatchFile(), dir.Path("Data/../Data/fish.xml"),
                                    dir.Path("Data/trips.csv"), dir.Path("Data/Picture/x.csv")}) {
        error.clear();
        EXPECT_FALSE(ExportTripsCsvFile(store, path, error)) << path;
        EXPECT_NE(error.find("Data"), std::string::npos) << error;
    }
    EXPECT_EQ(dir.ReadFile("Data/fish.xml"), log);
    EXPECT_TRUE(ExportTripsCsvFile(store, dir.Path("trips.csv"), error)) << error;

    // Refused by its size before anything is read: a sparse file costs no disk.
    const std::string huge = dir.Path("huge.csv");
    dir.WriteFile("huge.csv", kHead);
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(kMaxCsvFileBytes + 1)), 0);
    const auto outcome = ImportTripsCsvFile(store, huge, nullptr);
    EXPECT_NE(outcome.error.find("大きすぎる"), std::string::npos) << outcome.error;
    EXPECT_EQ(dir.ReadFile("Data/fish.xml"), log);
}

// A million rows (a few large trips) read within a small multiple of the file's size.
TEST(TripCsv, AMillionRowsReadWithinAFewTimesTheFileSize)
{
    std::string csv = kHead;
    for (int n = 0; n < 1000000; ++n) {
        csv += std::to_string(n % 100 + 1) +
               ",2024/4/14,晴れ,アジ,18,6:40,12:05,堤防,サビキ,,,,"
               "アジ,20.5,0.15,6時5分\r\n";
    }
    const size_t fileBytes = csv.size();
    const CChildOutcome child = RunLimited(
        [&] {
            const CCsvImport import = ReadTripsCsv(csv);
            return std::to_string(import.trips.size()) + " " + std::to_string(import.catches);
        },
        120, 4 * fileBytes);
    EXPECT_TRUE(child.finished) << "signal " << child.signal << ", file " << fileBytes;
    EXPECT_EQ(child.output, "100 1000000");
}
