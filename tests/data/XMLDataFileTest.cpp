#include <gtest/gtest.h>

#include <string>

#include "data/XMLDocument.h"
#include "support/TempProgramDir.h"

namespace {

class XMLDataFileTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir = MakeTempDir(); }
    void TearDown() override { RemoveTree(m_dir); }
    std::string Write(const std::string& name, const std::string& bytes)
    {
        WriteFileBytes(m_dir + name, bytes);
        return m_dir + name;
    }
    std::string m_dir;
};

TEST_F(XMLDataFileTest, EmptyPathAndMissingFileFailDifferentlyFromParseErrors)
{
    CXMLDataFile file;
    EXPECT_EQ(file.LoadXMLDataFile(""), 0);
    EXPECT_EQ(file.GetLoadStatus(), EXMLLoadStatus::NoPath);

    EXPECT_EQ(file.LoadXMLDataFile(m_dir + "none.xml"), 0);
    EXPECT_EQ(file.GetLoadStatus(), EXMLLoadStatus::Missing);
    EXPECT_EQ(file.CheckParseError(), 0);
    EXPECT_EQ(file.GetDocumentElement(), nullptr);

    const std::string broken =
        Write("broken.xml", "<?xml version=\"1.0\"?>\n<root>\n<FishData>\n</root>\n");
    EXPECT_EQ(file.LoadXMLDataFile(broken), 0);
    EXPECT_EQ(file.GetLoadStatus(), EXMLLoadStatus::ParseError);
    EXPECT_EQ(file.CheckParseError(), -1);
    EXPECT_EQ(file.GetErrorLine(), 4);
    EXPECT_EQ(file.GetDocumentElement(), nullptr);
}

TEST_F(XMLDataFileTest, LoadingDropsWhitespaceOnlyTextNodes)
{
    const std::string path = Write("a.xml",
                                   "<r>\r\n  <FishData>\r\n    <memo>  </memo>\r\n"
                                   "    <place> 磯 </place>\r\n  </FishData>\r\n</r>\r\n");
    CXMLDataFile file;
    ASSERT_EQ(file.LoadXMLDataFile(path), 1);
    xmlNodePtr root = file.GetDocumentElement();
    ASSERT_NE(root, nullptr);
    // The root holds only its element now.
    ASSERT_NE(root->children, nullptr);
    EXPECT_EQ(root->children->type, XML_ELEMENT_NODE);
    EXPECT_EQ(root->children->next, nullptr);
    xmlNodePtr node = nullptr;
    std::string text = "x";
    ASSERT_EQ(file.GetTagNode("memo", 1, root, &node), 0);
    EXPECT_EQ(file.GetNodeText(node, text), 0);
    EXPECT_EQ(text, "");
    ASSERT_EQ(file.GetTagNode("place", 1, root, &node), 0);
    file.GetNodeText(node, text);
    EXPECT_EQ(text, " 磯 ");  // text with content keeps its blanks
}

TEST_F(XMLDataFileTest, AppendTagWritesLayoutNodeThenElementAndSearchFindsDescendants)
{
    const std::string path = Write("a.xml", "<r/>");
    CXMLDataFile file;
    ASSERT_EQ(file.LoadXMLDataFile(path), 1);
    xmlNodePtr root = file.GetDocumentElement();
    xmlNodePtr trip = nullptr;
    xmlNodePtr report = nullptr;
    xmlNodePtr fish = nullptr;
    xmlNodePtr node = nullptr;
    ASSERT_EQ(file.AppendTag("FishData", "", root, &trip), 0);
    EXPECT_EQ(trip->children, nullptr);  // empty text: no child at all
    ASSERT_EQ(file.AppendTag("report", "", trip, &report), 0);
    ASSERT_EQ(file.AppendTag("fish", "", report, &fish), 0);
    ASSERT_EQ(file.AppendTag("name", "クロダイ", fish, &node), 0);
    ASSERT_EQ(file.AppendTag("name", "メジナ", fish, &node), 0);

    // The CR LF node comes first under the parent.
    ASSERT_EQ(root->children->type, XML_TEXT_NODE);
    EXPECT_STREQ(reinterpret_cast<const char*>(root->children->content), "\r\n");

    // Searching from the trip finds the name below its first catch; the second is n = 2.
    std::string text;
    ASSERT_EQ(file.GetTagNode("name", 1, trip, &node), 0);
    file.GetNodeText(node, text);
    EXPECT_EQ(text, "クロダイ");
    ASSERT_EQ(file.GetTagNode("name", 2, trip, &node), 0);
    file.GetNodeText(node, text);
    EXPECT_EQ(text, "メジナ");
    xmlNodePtr unchanged = root;
    EXPECT_EQ(file.GetTagNode("weight", 1, trip, &unchanged), -14);
    EXPECT_EQ(unchanged, root);
    EXPECT_EQ(file.GetTagNode("name", 1, root->children /* a text node */, &node), -5);

    // A container's first text child is its layout CR LF until the file is read back.
    file.GetNodeText(fish, text);
    EXPECT_EQ(text, "\r\n");
}

TEST_F(XMLDataFileTest, TextsAreCutTo255Cp932Bytes)
{
    std::string longText;
    for (int i = 0; i < 300; ++i) longText += "鯛";
    const std::string path = Write("a.xml", "<r><memo>" + longText + "</memo></r>");
    CXMLDataFile file;
    ASSERT_EQ(file.LoadXMLDataFile(path), 1);
    xmlNodePtr node = nullptr;
    ASSERT_EQ(file.GetTagNode("memo", 1, file.GetDocumentElement(), &node), 0);
    std::string text;
    file.GetNodeText(node, text);
    EXPECT_EQ(text.size(), 127u * 3u);
    EXPECT_EQ(CXMLDataFile::GetElementText(node).size(), 127u * 3u);
}

TEST_F(XMLDataFileTest, ShiftJisFileStaysShiftJisWithItsJapaneseIntact)
{
    // <place>城ヶ島</place> in Shift_JIS.
    const std::string sjisPlace = "\x8f\xe9\x83\x96\x93\x87";
    const std::string path =
        Write("sjis.xml", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<r><place>" +
                              sjisPlace + "</place></r>");
    CXMLDataFile file;
    ASSERT_EQ(file.LoadXMLDataFile(path), 1);
    xmlNodePtr node = nullptr;
    ASSERT_EQ(file.GetTagNode("place", 1, file.GetDocumentElement(), &node), 0);
    std::string text;
    file.GetNodeText(node, text);
    EXPECT_EQ(text, "城ヶ島");
    ASSERT_EQ(file.AppendTag("memo", "朝マヅメ\r\n🐟", file.GetDocumentElement(), &node), 0);
    ASSERT_EQ(file.SaveXMLFile(path), 1);

    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>", 0), 0u) << bytes;
    EXPECT_NE(bytes.find("<place>" + sjisPlace + "</place>"), std::string::npos);
    // The memo's Japanese is in Shift_JIS, its line break a plain CR LF, and the character
    // Shift_JIS lacks a character reference.
    EXPECT_NE(bytes.find("\r\n<memo>\x92\xa9\x83\x7d\x83\x64\x83\x81\r\n&#128031;</memo>"),
              std::string::npos)
        << bytes;

    CXMLDataFile again;
    ASSERT_EQ(again.LoadXMLDataFile(path), 1);
    ASSERT_EQ(again.GetTagNode("memo", 1, again.GetDocumentElement(), &node), 0);
    again.GetNodeText(node, text);
    EXPECT_EQ(text, "朝マヅメ\n🐟");  // XML reads CR LF back as one line feed
}

TEST_F(XMLDataFileTest, CharactersXmlCannotCarryAreLeftOutSoTheFileStaysReadable)
{
    const std::string path = Write("a.xml", "<r/>");
    CXMLDataFile file;
    ASSERT_EQ(file.LoadXMLDataFile(path), 1);
    xmlNodePtr node = nullptr;
    ASSERT_EQ(file.AppendTag("memo", std::string("bell\x07 & <tag>\x01", 14),
                             file.GetDocumentElement(), &node),
              0);
    EXPECT_EQ(file.AppendTag("memo", "\xff\xfe", file.GetDocumentElement(), &node),
              -4);  // not UTF-8
    ASSERT_EQ(file.SaveXMLFile(path), 1);
    CXMLDataFile again;
    ASSERT_EQ(again.LoadXMLDataFile(path), 1);
    ASSERT_EQ(again.GetTagNode("memo", 1, again.GetDocumentElement(), &node), 0);
    std::string text;
    again.GetNodeText(node, text);
    EXPECT_EQ(text, "bell & <tag>");
}

// Hostile documents: each is refused with a parse error, quickly, and nothing is expanded.
TEST_F(XMLDataFileTest, HostileDocumentsAreRefused)
{
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<a>";
    const Case cases[] = {
        {"billion laughs",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE r [\n<!ENTITY a \"aaaaaaaaaa\">\n"
         "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n<!ENTITY c "
         "\"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
         "]>\n<r>&c;</r>"},
        {"external file entity",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY x SYSTEM "
         "\"file:///etc/passwd\">]>\n<r>&x;</r>"},
        {"external DTD",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE r SYSTEM \"http://example.com/x.dtd\">\n<r/>"},
        {"deep nesting", deep},
        {"undeclared entity", "<r>&x;</r>"},
        {"invalid encoding",
         std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\xff\xfe</r>")},
        {"truncated", "<?xml version=\"1.0\"?>\n<r><FishData><memo>abc"},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        const std::string path = Write("hostile.xml", c.bytes);
        CXMLDataFile file;
        EXPECT_EQ(file.LoadXMLDataFile(path), 0) << c.name;
        EXPECT_EQ(file.GetDocumentElement(), nullptr) << c.name;
        EXPECT_TRUE(file.GetLoadStatus() == EXMLLoadStatus::ParseError ||
                    file.GetLoadStatus() == EXMLLoadStatus::DocumentTypeRefused)
            << c.name;
        EXPECT_GT(file.GetErrorLine(), 0) << c.name;
        EXPECT_EQ(file.SaveXMLFile(path), 0) << c.name;  // nothing to write
        EXPECT_EQ(ReadFileBytes(path), c.bytes) << c.name;
    }
}

}  // namespace
