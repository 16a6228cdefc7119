#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/XMLDocument.h"
#include "support/TempProgramDir.h"

namespace {

std::string Fixture(const std::string& name)
{
    return ReadFileBytes(std::string(LUREBOOK_SOURCE_DIR) + "/tests/data/fuzz-findings/" + name);
}

CTripRecord SomeTrip()
{
    CTripRecord trip;
    trip.date = "2004/5/3";
    trip.place = "堤防 <北>";
    trip.memo = "朝まずめ\n二行目";
    trip.catches = {{"アジ", "21", "0", "19時5分"}};
    return trip;
}

// A catch file in an encoding that the parser reads but that cannot be written so that it reads
// back (UTF-7 encodes even the declaration): a save must not make the whole log unreadable.
TEST(XMLSaveEncodingTest, AnEncodingThatCannotBeWrittenBackIsSavedAsUtf8)
{
    CTempProgramDir dir;
    const std::string path = dir.Path("Data/fish.xml");
    const std::string original = Fixture("catch_file_utf7.xml");
    ASSERT_NE(original.find("UTF-7"), std::string::npos);
    dir.WriteFile("Data/fish.xml", original);

    CCatchStore store(path);
    ASSERT_TRUE(store.AddTrip(SomeTrip()).ok());
    std::vector<CTripRecord> trips;
    const CStoreResult reread = store.ReadAllTrips(trips);
    ASSERT_TRUE(reread.ok()) << DescribeStoreResult(reread, path);
    ASSERT_EQ(trips.size(), 1u);
    EXPECT_EQ(trips[0], SomeTrip());
    EXPECT_EQ(ReadFileBytes(path).rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
    // The previous version is kept as it was.
    EXPECT_EQ(ReadFileBytes(path + ".bak"), original);
}

// The usual encodings keep their declaration and their bytes.
TEST(XMLSaveEncodingTest, UsualEncodingsAreWrittenInTheirOwnEncoding)
{
    for (const std::string encoding : {"UTF-8", "Shift_JIS", "EUC-JP", "ISO-8859-1"}) {
        CXMLDataFile file;
        ASSERT_EQ(file.LoadXMLDataFromMemory("<?xml version=\"1.0\" encoding=\"" + encoding +
                                             "\"?><log/>"),
                  1)
            << encoding;
        xmlNodePtr node = nullptr;
        ASSERT_EQ(file.AppendTag("place", "堤防", file.GetDocumentElement(), &node), 0);
        std::string bytes;
        ASSERT_TRUE(file.SerializeDocument(bytes)) << encoding;
        CXMLDataFile again;
        ASSERT_EQ(again.LoadXMLDataFromMemory(bytes), 1) << encoding;
        ASSERT_EQ(again.GetTagNode("place", 1, again.GetDocumentElement(), &node), 0);
        std::string text;
        again.GetNodeText(node, text);
        EXPECT_EQ(text, "堤防") << encoding;
        EXPECT_NE(again.GetDocument()->encoding, nullptr);
        EXPECT_STRCASEEQ(reinterpret_cast<const char*>(again.GetDocument()->encoding),
                         encoding.c_str());
    }
}

// A damaged UTF-16 file found by fuzzing: the store added a trip to it and then could not
// replace that trip.  Whatever such a file is, adding and replacing succeed or fail alike, and
// what was written reads back.
TEST(XMLSaveEncodingTest, AFileTheStoreAddsToItAlsoReplacesIn)
{
    CTempProgramDir dir;
    const std::string path = dir.Path("Data/fish.xml");
    const std::string original = Fixture("catch_file_replace_after_add.xml");
    dir.WriteFile("Data/fish.xml", original);
    CCatchStore store(path);
    std::vector<CTripRow> rows;
    ASSERT_TRUE(store.ListTrips(rows).ok());
    const int last = static_cast<int>(rows.size());
    CTripRecord other = SomeTrip();
    other.place = "別の場所";

    const CStoreResult added = store.AddTrip(SomeTrip());
    const CStoreResult replaced = store.ReplaceTrip(added.ok() ? last : 0, other);
    EXPECT_EQ(replaced.status, added.status) << DescribeStoreResult(replaced, path);
    if (added.ok() && replaced.ok()) {
        CTripRecord back;
        ASSERT_TRUE(store.ReadTrip(last, back).ok());
        EXPECT_EQ(back, other);
        ASSERT_TRUE(CCatchStore(path).ReadTrip(last, back).ok());
        EXPECT_EQ(back, other);
        EXPECT_TRUE(store.DeleteTrip(last).ok());
    } else {
        EXPECT_EQ(ReadFileBytes(path), original);
    }
}

}  // namespace

// Characters whose bytes in the file's encoding would read back as other characters ("￠" is the
// Shift_JIS byte pair of "¢", "\" the byte of "¥") are written as character references: what
// was saved reads back as it was, and the same trip is recognised again.
TEST(XMLSaveEncodingTest, EveryCharacterReadsBackAsItselfInTheFilesEncoding)
{
    struct Case {
        const char* encoding;
        const char* text;
        const char* reference;  // expected in the file; nullptr: written as bytes
    };
    const Case cases[] = {
        {"Shift_JIS", "￠", "&#65504;"},  {"Shift_JIS", "￡", "&#65505;"},
        {"Shift_JIS", "￢", "&#65506;"},  {"Shift_JIS", "C:\\fish", "&#92;"},
        {"Shift_JIS", "a~b", "&#126;"},   {"Shift_JIS", "∥－", "&#8741;"},
        {"Shift_JIS", "〜堤防", nullptr}, {"EUC-JP", "￠￡￢〜∥－\\~", nullptr},
        {"CP932", "￠¢\\~", nullptr},     {"ISO-8859-1", "¢堤防", "&#22564;"},
    };
    for (const Case& c : cases) {
        CTempProgramDir dir;
        const std::string path = dir.Path("Data/fish.xml");
        dir.WriteFile("Data/fish.xml", std::string("<?xml version=\"1.0\" encoding=\"") +
                                           c.encoding + "\"?>\r\n<CatchLog></CatchLog>\r\n");
        CTripRecord trip = SomeTrip();
        trip.place = c.text;
        trip.memo = std::string(c.text) + "\n" + c.text;
        CCatchStore store(path);
        ASSERT_TRUE(store.AddTrip(trip).ok()) << c.encoding << " " << c.text;
        ASSERT_TRUE(store.ReplaceTrip(0, trip).ok()) << c.encoding << " " << c.text;
        std::vector<CTripRecord> cached;
        std::vector<CTripRecord> reread;
        ASSERT_TRUE(store.ReadAllTrips(cached).ok());
        ASSERT_TRUE(CCatchStore(path).ReadAllTrips(reread).ok()) << c.encoding << " " << c.text;
        ASSERT_EQ(reread.size(), 1u);
        EXPECT_EQ(reread[0].place, trip.place) << c.encoding << " " << c.text;
        EXPECT_EQ(reread[0].memo, trip.memo) << c.encoding << " " << c.text;
        EXPECT_EQ(cached, reread) << c.encoding << " " << c.text;
        const std::string bytes = ReadFileBytes(path);
        EXPECT_NE(bytes.find(std::string("encoding=\"") + c.encoding), std::string::npos);
        if (c.reference != nullptr) {
            EXPECT_NE(bytes.find(c.reference), std::string::npos) << c.encoding << " " << c.text;
        }
    }
}

// Trips added to a UTF-8 file are not parsed again: what the store then holds must be what a
// reader of the file gets, for every text the writer changes or the reader drops.
TEST(XMLSaveEncodingTest, AddedTripsAreHeldAsAReaderGetsThemBack)
{
    const std::string texts[] = {"",
                                 " ",
                                 "\t\r\n",
                                 std::string("a\0b", 3),
                                 "\x01",
                                 "x\xEF\xBF\xBE"
                                 "y",
                                 "a\rb",
                                 "a\r\nb",
                                 "\r\n",
                                 " x ",
                                 "<&>]]>",
                                 "a\n",
                                 "\n\nb",
                                 "\r",
                                 "\xEF\xBF\xBF"};
    for (const bool moved : {false, true}) {
        CTempProgramDir dir;
        const std::string path = dir.Path("Data/fish.xml");
        dir.WriteFile("Data/fish.xml",
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog></CatchLog>\r\n");
        std::vector<CTripRecord> trips;
        for (const std::string& text : texts) {
            CTripRecord trip = SomeTrip();
            trip.place = trip.memo = trip.water = text;
            trip.placePhotos = {text, "p.jpg"};
            trip.catches[0].name = text;
            trips.push_back(trip);
        }
        CCatchStore store(path);
        ASSERT_TRUE(
            (moved ? store.AddTrips(std::vector<CTripRecord>(trips)) : store.AddTrips(trips)).ok());
        std::vector<CTripRecord> held;
        std::vector<CTripRecord> reread;
        ASSERT_TRUE(store.ReadAllTrips(held).ok());
        ASSERT_TRUE(CCatchStore(path).ReadAllTrips(reread).ok());
        ASSERT_EQ(reread.size(), trips.size());
        for (size_t n = 0; n < trips.size(); ++n)
            EXPECT_EQ(held[n], reread[n]) << moved << " text " << n;
        EXPECT_EQ(reread[7].memo, "a\r\nb");  // kept exactly where it can be
    }
}
