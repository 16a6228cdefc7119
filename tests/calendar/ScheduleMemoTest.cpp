#include <gtest/gtest.h>
#include <sys/stat.h>

#include "calendar/ScheduleMemo.h"
#include "data/CatchStore.h"
#include "data/GuardedFile.h"
#include "support/TempProgramDir.h"

namespace {
const std::string kFeb2004 = "2004年  2月";
}

TEST(ScheduleMemoTest, AMemoIsStoredUnderItsDayInTheMonthFile)
{
    CTempProgramDir dir;
    EXPECT_EQ(ScheduleFilePath(dir.Folder(), kFeb2004), dir.Path("Data/schedule/2004年  2月.txt"));
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 3), "");
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), kFeb2004, 3, "釣り"));
    // CP932 "釣り" = 92 de 82 e8.
    EXPECT_EQ(dir.ReadFile("Data/schedule/2004年  2月.txt"),
              "[2004\x94\x4e  2\x8c\x8e]\r\n3=\x92\xde\x82\xe8\r\n");
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 3), "釣り");
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 4), "");

    // Writing an empty memo keeps the key with an empty value.
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), kFeb2004, 3, ""));
    EXPECT_EQ(dir.ReadFile("Data/schedule/2004年  2月.txt"), "[2004\x94\x4e  2\x8c\x8e]\r\n3=\r\n");
}

TEST(ScheduleMemoTest, DifferentMonthsUseDifferentFiles)
{
    CTempProgramDir dir;
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), "2004年  3月", 1, "a"));
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), "2005年  3月", 1, "b"));
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), "2004年  3月", 1), "a");
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), "2005年  3月", 1), "b");
    EXPECT_TRUE(dir.Exists("Data/schedule/2005年  3月.txt"));
}

TEST(ScheduleMemoTest, MemosKeepTheirLinesBlanksAndBackslashes)
{
    CTempProgramDir dir;
    const std::string memos[] = {
        "朝マヅメ\n港で集合\n\n5時", "  padded  ", "\"quoted\"", "'single", "C:\\path\\new",
        "line\r\nwindows",           "\\",         "a=b; [c]",
    };
    int day = 1;
    for (const std::string& memo : memos)
        ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), kFeb2004, day++, memo));
    day = 1;
    const auto month = ReadScheduleMonth(dir.Folder(), kFeb2004);
    for (const std::string& memo : memos) {
        const std::string expected = memo == "line\r\nwindows" ? "line\nwindows" : memo;
        EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, day), expected) << day;
        EXPECT_EQ(month[day - 1], expected) << day;
        ++day;
    }
    // Each memo stays one line of the file.
    const std::string bytes = dir.ReadFile("Data/schedule/2004年  2月.txt");
    size_t lines = 0;
    for (char c : bytes) lines += c == '\n';
    EXPECT_EQ(lines, 1u + std::size(memos));
}

TEST(ScheduleMemoTest, ReadingStopsAfter255Bytes)
{
    CTempProgramDir dir;
    const std::string memo(300, 'm');
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), kFeb2004, 10, memo));
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 10), std::string(255, 'm'));
    EXPECT_EQ(ReadScheduleMonth(dir.Folder(), kFeb2004)[9], std::string(255, 'm'));
    // A line break cut in half by the limit is dropped, not shown as a backslash.
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), kFeb2004, 11, std::string(254, 'm') + "\nmore"));
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 11), std::string(254, 'm'));
}

TEST(ScheduleMemoTest, AMemoOfTheCountedLengthReadsBackWhole)
{
    CTempProgramDir dir;
    EXPECT_EQ(StoredMemoBytes("あ\nb\\"), 7u);
    EXPECT_EQ(StoredMemoBytes("  a  "), 5u);
    // 2 + 2 + 250 + 1: leading blank quoted, a line break, Japanese text and a backslash.
    std::string memo = " \n";
    for (int i = 0; i < 125; ++i) memo += "魚";
    memo += "\\";
    ASSERT_EQ(StoredMemoBytes(memo), 255u);
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), kFeb2004, 1, memo));
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 1), memo);
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), kFeb2004, 2, memo + "x"));
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 2), memo);
}

TEST(ScheduleMemoTest, OldMemosWithoutEscapesReadAsTheyWere)
{
    CTempProgramDir dir;
    dir.WriteFile("Data/schedule/2004年  2月.txt", "[2004\x94\x4e  2\x8c\x8e]\r\n5=\\100 \\x\r\n");
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 5), "\\100 \\x");
}

TEST(ScheduleMemoTest, AMissingScheduleFolderIsCreated)
{
    CTempProgramDir dir;
    RemoveTree(dir.Path("Data/schedule"));
    ASSERT_FALSE(dir.Exists("Data/schedule"));
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 1), "");
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), kFeb2004, 1, "x"));
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 1), "x");
}

TEST(ScheduleMemoTest, AMemoThatCannotBeStoredIsReported)
{
    CTempProgramDir dir;
    RemoveTree(dir.Path("Data/schedule"));
    dir.WriteFile("Data/schedule", "a file in the way");
    std::string error;
    EXPECT_FALSE(WriteScheduleMemo(dir.Folder(), kFeb2004, 1, "x", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(dir.ReadFile("Data/schedule"), "a file in the way");
}

// Writing one day's memo used to re-encode the whole month, turning bytes of other days that do
// not decode into U+FFFD.  Now only the day's own line changes.
TEST(ScheduleMemoTest, AMemoWriteChangesOnlyItsOwnDay)
{
    const std::string section = "[2004\x94\x4e  2\x8c\x8e]";  // CP932
    const struct {
        const char* name;
        std::string before;
        int day;
        const char* memo;
        std::string after;
    } cases[] = {
        {"undecodable bytes in another day, key replaced",
         section + "\r\n1=\x81\xff broken\r\n3=old\r\n", 3, "釣り",
         section + "\r\n1=\x81\xff broken\r\n3=\x92\xde\x82\xe8\r\n"},
        {"undecodable bytes, new key after the last one, lone LF kept",
         section + "\n1=\x81\xff\n\n[other]\r\nx=1", 5, "a",
         section + "\n1=\x81\xff\n5=a\r\n\n[other]\r\nx=1"},
        {"UTF-8 file with a mark stays UTF-8", "\xEF\xBB\xBF[2004年  2月]\r\n2=〜\r\n", 2, "鯛",
         "\xEF\xBB\xBF[2004年  2月]\r\n2=鯛\r\n"},
        {"UTF-8 file gets its missing section in UTF-8", "[x]\r\ny=〜", 1, "b",
         "[x]\r\ny=〜\r\n[2004年  2月]\r\n1=b\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempProgramDir dir;
        dir.WriteFile("Data/schedule/2004年  2月.txt", c.before);
        std::string error;
        ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), kFeb2004, c.day, c.memo, &error)) << error;
        EXPECT_EQ(dir.ReadFile("Data/schedule/2004年  2月.txt"), c.after);
        EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, c.day), c.memo);
    }
}

// A month file over the limit used to show its memos in the list while the memo dialog read
// them as empty, so confirming the dialog erased the memo.  Every path now takes the same limit.
TEST(ScheduleMemoTest, EveryReaderAndWriterTakesAMonthFileOfTheSameSize)
{
    const std::string head = "[2004\x94\x4e  2\x8c\x8e]\r\n3=kept\r\n";
    const std::string atLimit = head + std::string(kMaxProfileFileBytes - head.size(), ';');
    const struct {
        std::string bytes;
        const char* shown;
        bool writable;
    } cases[] = {
        {atLimit, "kept", false},    // readable, but one more memo would not fit
        {atLimit + ";", "", false},  // over the limit: read by nobody, written by nobody
        {head + std::string(1000, ';'), "kept", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        CTempProgramDir dir;
        dir.WriteFile("Data/schedule/2004年  2月.txt", c.bytes);
        EXPECT_EQ(ReadScheduleMonth(dir.Folder(), kFeb2004)[2], c.shown);
        EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 3), c.shown);
        std::string error;
        EXPECT_EQ(WriteScheduleMemo(dir.Folder(), kFeb2004, 4, "new", &error), c.writable) << error;
        if (!c.writable) {
            EXPECT_NE(error.find(kTooLargeFileText), std::string::npos) << error;
            EXPECT_EQ(dir.ReadFile("Data/schedule/2004年  2月.txt"), c.bytes);
        }
    }
}

// Memos saved through the store are undone one by one, the month's file going when the first
// memo of the month is taken back, and named by their day.
TEST(ScheduleMemoTest, MemosSavedThroughTheStoreAreUndoneAndRedone)
{
    CTempProgramDir dir;
    CCatchStore store(dir.CatchFile());
    store.EnableUndo(true);
    const std::string file = "Data/schedule/2004年  2月.txt";
    ASSERT_TRUE(WriteScheduleMemo(store, dir.Folder(), kFeb2004, 3, "釣り"));
    const std::string one = dir.ReadFile(file);
    ASSERT_TRUE(WriteScheduleMemo(store, dir.Folder(), kFeb2004, 4, "雨"));
    EXPECT_EQ(store.GetUndoName(), "2004年  2月 4日のメモ");
    ASSERT_TRUE(store.Undo().ok());
    EXPECT_EQ(dir.ReadFile(file), one);
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 4), "");
    ASSERT_TRUE(store.Undo().ok());
    EXPECT_FALSE(dir.Exists(file));
    ASSERT_TRUE(store.Redo().ok());
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), kFeb2004, 3), "釣り");
}
