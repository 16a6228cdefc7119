#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/XMLDataFile.h"
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

}  // namespace
