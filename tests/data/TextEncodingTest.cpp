#include <gtest/gtest.h>

#include <string>

#include "data/DecimalInt.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"
#include "support/TempProgramDir.h"

namespace {

// "釣り日記" in CP932.
const std::string kDiaryCp932 = "\x92\xde\x82\xe8\x93\xfa\x8b\x4c";
const std::string kDiaryUtf8 = "釣り日記";

TEST(Cp932LengthTest, CountsJapaneseAsTwoAndAsciiAndHalfWidthKanaAsOne)
{
    EXPECT_EQ(Cp932ByteLength(""), 0u);
    EXPECT_EQ(Cp932ByteLength("abc"), 3u);
    EXPECT_EQ(Cp932ByteLength("マダイ"), 6u);
    EXPECT_EQ(Cp932ByteLength("ｷｬﾝｾﾙ"), 5u);  // half-width katakana
    EXPECT_EQ(Cp932ByteLength("A釣1"), 4u);
    EXPECT_EQ(Cp932ByteLength("🐟"), 2u);  // not in CP932: still counts 2
}

TEST(Cp932LengthTest, CutNeverSplitsACharacter)
{
    EXPECT_EQ(CutToCp932Bytes("マダイ", 5), "マダ");
    EXPECT_EQ(CutToCp932Bytes("マダイ", 6), "マダイ");
    EXPECT_EQ(CutToCp932Bytes("aマ", 2), "a");
    EXPECT_EQ(CutToCp932Bytes("abc", 0), "");

    // 200 Japanese characters are 400 bytes; the 255-byte cut keeps 127 of them.
    std::string longText;
    for (int i = 0; i < 200; ++i) longText += "鯛";
    const std::string cut = CutToCp932Bytes(longText, 255);
    EXPECT_EQ(Cp932ByteLength(cut), 254u);
    EXPECT_EQ(cut.size(), 127u * 3u);
    // With one ASCII character in front the cut lands exactly on 255.
    EXPECT_EQ(Cp932ByteLength(CutToCp932Bytes("a" + longText, 255)), 255u);
}

TEST(TextFileEncodingTest, Cp932AndUtf8FilesReadAlike)
{
    const std::string cp932 = kDiaryCp932 + "\r\nabc\r\n";
    const std::string utf8 = kDiaryUtf8 + "\nabc\r\n";
    const std::string utf8Bom = "\xEF\xBB\xBF" + kDiaryUtf8 + "\r\nabc\n";
    EXPECT_EQ(DecodeTextFileBytes(cp932), kDiaryUtf8 + "\nabc\n");
    EXPECT_EQ(DecodeTextFileBytes(utf8), kDiaryUtf8 + "\nabc\n");
    EXPECT_EQ(DecodeTextFileBytes(utf8Bom), kDiaryUtf8 + "\nabc\n");
}

TEST(TextFileEncodingTest, WritesCp932WhenEveryCharacterFitsElseUtf8)
{
    EXPECT_EQ(EncodeTextFileBytes(kDiaryUtf8 + "\nabc\n"), kDiaryCp932 + "\r\nabc\r\n");
    // An emoji has no CP932 form: the whole file stays UTF-8 so nothing is lost.
    EXPECT_EQ(EncodeTextFileBytes("釣り🐟\n"), "釣り🐟\r\n");
    // U+301C would come back as U+FF5E through CP932; it must stay as typed.
    const std::string wave =
        "6時\xE3\x80\x9C"
        "8時";
    EXPECT_EQ(DecodeTextFileBytes(EncodeTextFileBytes(wave)), wave);
    // Existing CR LF is not doubled.
    EXPECT_EQ(EncodeTextFileBytes("a\r\nb"), "a\r\nb");
}

TEST(TextFileEncodingTest, InvalidCp932BytesBecomeReplacementCharacters)
{
    // 0x82 0x20 is not a CP932 character; the rest of the line survives.
    EXPECT_EQ(DecodeTextFileBytes("\x82\x20"
                                  "abc\x82\xa0"),
              "\xEF\xBF\xBD abc\xE3\x81\x82");
}

TEST(TextFileEncodingTest, SaveAndLoadRoundTripThroughTheDisk)
{
    const std::string dir = MakeTempDir();
    std::string text;
    bool missing = false;
    EXPECT_FALSE(LoadTextFile(dir + "none.txt", text, nullptr, &missing));
    EXPECT_TRUE(missing);

    const std::string memo = "朝マヅメ\n潮止まり🐟\n";
    std::string error;
    ASSERT_TRUE(SaveTextFile(dir + "memo.txt", memo, &error)) << error;
    EXPECT_EQ(ReadFileBytes(dir + "memo.txt"), "朝マヅメ\r\n潮止まり🐟\r\n");
    ASSERT_TRUE(LoadTextFile(dir + "memo.txt", text));
    EXPECT_EQ(text, memo);
    RemoveTree(dir);
}

TEST(DecimalIntTest, ReadsLeadingDigitsLikeTheFileFormatsExpect)
{
    EXPECT_EQ(ReadDecimalInt("42"), 42);
    EXPECT_EQ(ReadDecimalInt("  -7kg"), -7);
    EXPECT_EQ(ReadDecimalInt("2.8"), 2);
    EXPECT_EQ(ReadDecimalInt("abc"), 0);
    EXPECT_EQ(ReadDecimalInt(""), 0);
    EXPECT_EQ(ReadDecimalInt("99999999999999"), 2147483647);
}

TEST(DecimalIntTest, StrictParsingRefusesAnythingButAnInteger)
{
    int value = -1;
    EXPECT_TRUE(ParseWholeDecimalInt(" 10000 ", value));
    EXPECT_EQ(value, 10000);
    EXPECT_TRUE(ParseWholeDecimalInt("0", value));
    EXPECT_EQ(value, 0);
    value = 5;
    EXPECT_FALSE(ParseWholeDecimalInt("abc", value));
    EXPECT_FALSE(ParseWholeDecimalInt("1.5", value));
    EXPECT_FALSE(ParseWholeDecimalInt("", value));
    EXPECT_FALSE(ParseWholeDecimalInt("-", value));
    EXPECT_FALSE(ParseWholeDecimalInt("99999999999", value));
    EXPECT_EQ(value, 5);
}

}  // namespace
