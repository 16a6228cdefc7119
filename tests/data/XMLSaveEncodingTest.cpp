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
