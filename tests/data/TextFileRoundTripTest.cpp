#include <gtest/gtest.h>

#include <string>

#include "data/TextEncoding.h"
#include "support/TempProgramDir.h"

namespace {

// Texts whose CP932 bytes happen to be valid UTF-8 as well: read back, the bytes would be taken
// for UTF-8 and the names would change ("ﾄｷ" is C4 B7 in CP932, which is "ķ" in UTF-8).
TEST(TextFileRoundTripTest, HalfWidthKatakanaThatLooksLikeUtf8ReadsBackUnchanged)
{
    const std::string texts[] = {"ﾄｷ\n", "ﾄｷ\nｿｲ\n", "ﾄｷ", "ﾚｶ\nﾄｹ\n"};
    for (const std::string& text : texts) {
        const std::string bytes = EncodeTextFileBytes(text);
        EXPECT_EQ(DecodeTextFileBytes(bytes), text) << text;
    }
    // Through a real file too, as the species list and the holiday lists are stored.
    const std::string dir = MakeTempDir();
    std::string error;
    ASSERT_TRUE(SaveTextFile(dir + "fishname.txt", "ﾄｷ\nスズキ\n", &error)) << error;
    std::string text;
    ASSERT_TRUE(LoadTextFile(dir + "fishname.txt", text, &error)) << error;
    EXPECT_EQ(text, "ﾄｷ\nスズキ\n");
    RemoveTree(dir);
}

// A text that starts with U+FEFF (an invisible character some editors leave at the start of a
// name) keeps it: readers skip only one leading byte-order mark.
TEST(TextFileRoundTripTest, LeadingZeroWidthNoBreakSpaceSurvives)
{
    const std::string texts[] = {"\xEF\xBB\xBF\n", "\xEF\xBB\xBFスズキ\nメバル\n",
                                 "\xEF\xBB\xBF\xEF\xBB\xBF釣り🐟"};
    for (const std::string& text : texts) {
        EXPECT_EQ(DecodeTextFileBytes(EncodeTextFileBytes(text)), text) << text;
    }
    // A text without it is written without a mark.
    EXPECT_EQ(EncodeTextFileBytes("釣り🐟"), "釣り🐟");
}

// Only the ambiguous texts change form: the usual Japanese text stays CP932 on disk, which
// other programs of the system's code page expect.
TEST(TextFileRoundTripTest, UnambiguousTextsStayCp932)
{
    EXPECT_EQ(EncodeTextFileBytes("ｶﾚｲ\n"), "\xB6\xDA\xB2\r\n");
    EXPECT_EQ(EncodeTextFileBytes("鯛\n"), "\x91\xE2\r\n");
    EXPECT_EQ(EncodeTextFileBytes("abc\n"), "abc\r\n");
    // The ambiguous one is written as UTF-8.
    EXPECT_EQ(EncodeTextFileBytes("ﾄｷ"), "ﾄｷ");
}

}  // namespace
