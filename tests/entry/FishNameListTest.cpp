#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/TextEncoding.h"
#include "entry/FishNameList.h"
#include "support/TempProgramDir.h"

namespace {

using Entries = std::vector<std::string>;

TEST(SpeciesListTest, EntriesAreReadAsTheyStandWithTheirLineFeeds)
{
    EXPECT_EQ(SplitSpeciesEntries("アジ\n\nサバ\n"), (Entries{"アジ\n", "\n", "サバ\n"}));
    // A last line without a line end gives an entry without one.
    EXPECT_EQ(SplitSpeciesEntries("アジ\nサバ"), (Entries{"アジ\n", "サバ"}));
    // Blanks and duplicates are kept exactly.
    EXPECT_EQ(SplitSpeciesEntries("  メバル  \nアジ\nアジ\n"),
              (Entries{"  メバル  \n", "アジ\n", "アジ\n"}));
    EXPECT_TRUE(SplitSpeciesEntries("").empty());
}

TEST(SpeciesListTest, LongLinesComeInPiecesOf259Bytes)
{
    const std::string line(300, 'a');
    EXPECT_EQ(SplitSpeciesEntries(line + "\nb\n"),
              (Entries{std::string(259, 'a'), std::string(41, 'a') + "\n", "b\n"}));
    // The line feed counts: 259 characters leave it for a piece of its own.
    EXPECT_EQ(SplitSpeciesEntries(std::string(259, 'x') + "\n"),
              (Entries{std::string(259, 'x'), "\n"}));
    EXPECT_EQ(SplitSpeciesEntries(std::string(258, 'x') + "\n"),
              (Entries{std::string(258, 'x') + "\n"}));

    // Japanese characters take two bytes and are never split: 129 of them (258 bytes) per piece.
    std::string japanese;
    for (int i = 0; i < 150; ++i) japanese += "鯛";
    const Entries pieces = SplitSpeciesEntries(japanese + "\n");
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(Cp932ByteLength(pieces[0]), 258u);
    EXPECT_EQ(pieces[0] + pieces[1], japanese + "\n");
    EXPECT_EQ(Cp932ByteLength(pieces[1]), 300u - 258u + 1u);
}

TEST(SpeciesListTest, WritingTrimsTrailingWhiteSpaceAndDropsEmptyEntries)
{
    EXPECT_EQ(FormatSpeciesList({"アジ\n", "\n", "サバ\n"}), "アジ\nサバ\n");
    EXPECT_EQ(FormatSpeciesList({"メバル  ", "  カサゴ", "ハゼ \t\r\n\v\f", " \t "}),
              "メバル\n  カサゴ\nハゼ\n");
    EXPECT_EQ(FormatSpeciesList({"アジ", "アジ"}), "アジ\nアジ\n");
    EXPECT_EQ(FormatSpeciesList({}), "");
    EXPECT_EQ(TrimTrailingWhiteSpace("  a b  \n"), "  a b");
    EXPECT_EQ(SpeciesDisplayText("アジ\n"), "アジ");
    EXPECT_EQ(SpeciesDisplayText("アジ"), "アジ");
}

TEST(SpeciesListTest, FileRoundTripUsesCp932AndCrLfAndFallsBackToUtf8)
{
    CTempProgramDir dir;
    const std::string path = dir.Path(kSpeciesFileName);

    std::string error;
    ASSERT_TRUE(WriteSpeciesList(dir.Folder(), {"アジ\n", "\n", "サバ  "}, &error)) << error;
    std::string expected;
    ASSERT_TRUE(Utf8ToCp932("アジ\r\nサバ\r\n", expected));
    EXPECT_EQ(ReadFileBytes(path), expected);

    Entries entries;
    ASSERT_TRUE(ReadSpeciesList(dir.Folder(), entries, &error)) << error;
    EXPECT_EQ(entries, (Entries{"アジ\n", "サバ\n"}));

    // A name CP932 cannot hold keeps the whole file in UTF-8, so nothing is lost.
    ASSERT_TRUE(WriteSpeciesList(dir.Folder(), {"アジ", "🐟"}));
    EXPECT_EQ(ReadFileBytes(path), "アジ\r\n🐟\r\n");
    ASSERT_TRUE(ReadSpeciesList(dir.Folder(), entries));
    EXPECT_EQ(entries, (Entries{"アジ\n", "🐟\n"}));

    // A hand-edited file with plain line feeds reads the same.
    dir.WriteFile(kSpeciesFileName, "キス\nハゼ");
    ASSERT_TRUE(ReadSpeciesList(dir.Folder(), entries));
    EXPECT_EQ(entries, (Entries{"キス\n", "ハゼ"}));
}

TEST(SpeciesListTest, MissingFileReadsEmptyAndUnwritableFileIsReported)
{
    CTempProgramDir dir;
    RemoveTree(dir.Path("Data"));
    Entries entries{"stale"};
    std::string error;
    EXPECT_FALSE(ReadSpeciesList(dir.Folder(), entries, &error));
    EXPECT_TRUE(entries.empty());

    EXPECT_FALSE(WriteSpeciesList(dir.Folder(), {"アジ"}, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(dir.Exists(kSpeciesFileName));
}

}  // namespace

TEST(SpeciesListTest, AListSavedThroughTheStoreIsUndoneByteForByte)
{
    CTempProgramDir dir;
    const std::string before = dir.ReadFile("Data/fishname.txt");
    CCatchStore store(dir.CatchFile());
    store.EnableUndo(true);
    ASSERT_TRUE(WriteSpeciesList(store, dir.Path("Data/fishname.txt"), {"アジ\n", "サバ"}));
    const std::string after = dir.ReadFile("Data/fishname.txt");
    ASSERT_NE(after, before);
    EXPECT_EQ(store.GetUndoName(), "魚種名の変更");
    ASSERT_TRUE(store.Undo().ok());
    EXPECT_EQ(dir.ReadFile("Data/fishname.txt"), before);
    ASSERT_TRUE(store.Redo().ok());
    EXPECT_EQ(dir.ReadFile("Data/fishname.txt"), after);
}
