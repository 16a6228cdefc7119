#include <gtest/gtest.h>

#include "calendar/PrivateProfile.h"
#include "support/TempProgramDir.h"

TEST(ProfileTextTest, LooksUpSectionsAndKeysWithoutRegardToCase)
{
    const std::string text =
        "; notes\n[Other]\n3=wrong\n[ Month ]\n  Key = value here  \n3=\"  padded \"\n"
        "4='x'\nnoequals\n5=\n[month]\n6=second section\n";
    std::string value;
    ASSERT_TRUE(FindProfileValue(text, "MONTH", "key", value));
    EXPECT_EQ(value, "value here");
    ASSERT_TRUE(FindProfileValue(text, "month", "3", value));
    EXPECT_EQ(value, "  padded ");
    ASSERT_TRUE(FindProfileValue(text, "month", "4", value));
    EXPECT_EQ(value, "x");
    ASSERT_TRUE(FindProfileValue(text, "month", "5", value));
    EXPECT_EQ(value, "");
    // Only the first section of a name counts, and a line without "=" is no key.
    EXPECT_FALSE(FindProfileValue(text, "month", "6", value));
    EXPECT_FALSE(FindProfileValue(text, "month", "noequals", value));
    EXPECT_FALSE(FindProfileValue(text, "missing", "3", value));
}

TEST(ProfileTextTest, SettingAKeyKeepsEveryOtherLine)
{
    const std::string text = "; kept comment\n[A]\n1=one\n2=two\n\n[B]\nx=1\nstray line\n\n[C]\n";
    // Replaced in place.
    EXPECT_EQ(SetProfileValue(text, "a", "2", "zwei"),
              "; kept comment\n[A]\n1=one\n2=zwei\n\n[B]\nx=1\nstray line\n\n[C]\n");
    // Added after the last line of its section, before the blank line.
    EXPECT_EQ(SetProfileValue(text, "B", "y", "2"),
              "; kept comment\n[A]\n1=one\n2=two\n\n[B]\nx=1\nstray line\ny=2\n\n[C]\n");
    // Added to an empty last section.
    EXPECT_EQ(SetProfileValue(text, "c", "k", "v"),
              "; kept comment\n[A]\n1=one\n2=two\n\n[B]\nx=1\nstray line\n\n[C]\nk=v\n");
    // A missing section goes at the end.
    EXPECT_EQ(SetProfileValue(text, "D", "3", ""),
              "; kept comment\n[A]\n1=one\n2=two\n\n[B]\nx=1\nstray line\n\n[C]\n[D]\n3=\n");
    EXPECT_EQ(SetProfileValue("", "2004年  2月", "3", "memo"), "[2004年  2月]\n3=memo\n");
}

TEST(ProfileFileTest, WritesThroughCreatingTheFileAndReadsBackAtMost255Bytes)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "p.ini";
    EXPECT_EQ(ReadPrivateProfileString("s", "k", "default", 255, path), "default");
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "v", path));
    EXPECT_EQ(ReadFileBytes(path), "[s]\r\nk=v\r\n");
    ASSERT_TRUE(WritePrivateProfileString("S", "K", "w", path));
    EXPECT_EQ(ReadFileBytes(path), "[s]\r\nK=w\r\n");

    // 300 bytes of Japanese text (150 characters) come back as their first 127 characters.
    std::string longValue;
    for (int i = 0; i < 150; ++i) longValue += "あ";
    ASSERT_TRUE(WritePrivateProfileString("s", "long", longValue, path));
    std::string expected;
    for (int i = 0; i < 127; ++i) expected += "あ";
    EXPECT_EQ(ReadPrivateProfileString("s", "long", "", 255, path), expected);
    RemoveTree(dir);
}

TEST(ProfileFileTest, KeepsAFileWrittenByAnotherProgramIntact)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "p.ini";
    // CP932 bytes ("予定" = 97 5c 92 e8), CR LF lines, another section after ours.
    WriteFileBytes(path, "[Mine]\r\n1=\x97\x5c\x92\xe8\r\n\r\n[Theirs]\r\nkey=keep me\r\n");
    EXPECT_EQ(ReadPrivateProfileString("mine", "1", "", 255, path), "予定");
    ASSERT_TRUE(WritePrivateProfileString("Mine", "2", "x", path));
    EXPECT_EQ(ReadFileBytes(path),
              "[Mine]\r\n1=\x97\x5c\x92\xe8\r\n2=x\r\n\r\n[Theirs]\r\nkey=keep me\r\n");
    RemoveTree(dir);
}

TEST(ProfileFileTest, AnUnreadableFileIsNotWrittenOver)
{
    const std::string dir = MakeTempDir();
    // A folder where the file should be cannot be read; writing must fail, not replace it.
    const std::string path = dir + "p.ini";
    WriteFileBytes(path + "/inside", "x");
    std::string error;
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", path, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadFileBytes(path + "/inside"), "x");
    RemoveTree(dir);
}
