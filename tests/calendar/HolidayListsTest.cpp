#include <gtest/gtest.h>

#include <sys/stat.h>

#include "calendar/HolidayLists.h"
#include "calendar/TempWorkingDir.h"

namespace {
// The built-in lists as they must appear on disk: CP932 bytes and a zero byte.
const std::string kFixedFileBytes = BytesFromHex(
    "315e315e8cb392555e307e325e31315e8c9a8d918b4c944f93fa5e307e345e32395e97ce82cc93fa5e307e355e"
    "335e8c9b96408b4c944f93fa5e307e355e345e8d9196af82cc8b7893fa5e307e355e355e8e718b9f82cc93fa5e"
    "307e375e32305e8a4382cc93fa5e307e395e31355e8c68985682cc93fa5e307e31315e335e95aa89bb82cc93fa"
    "5e307e31315e32335e8bce984a8ab48ed382cc93fa5e307e31325e32335e93568d63926190b693fa5e307e00");
const std::string kRuleFileBytes = BytesFromHex(
    "315e31355e90ac906c82cc93fa5e327e335e32305e8f7495aa82cc93fa5e31307e395e32335e8f4895aa82cc93"
    "fa5e31317e31305e31305e91cc88e782cc93fa5e327e00");
}  // namespace

TEST(HolidayFileTest, FirstStartWritesTheThreeFilesByteForByte)
{
    CTempWorkingDir dir;
    CHolidayLists lists;
    EXPECT_FALSE(lists.LoadHolidayFiles(2009));
    EXPECT_TRUE(lists.FixedList().empty());
    lists.LoadDefaultHolidays();
    ASSERT_TRUE(lists.SaveHolidayFiles(2009));
    EXPECT_EQ(dir.Read("S_Holiday.txt"), kFixedFileBytes);
    EXPECT_EQ(dir.Read("D_Holiday.txt"), kRuleFileBytes);
    EXPECT_EQ(dir.Read("109_holi.txt"), std::string(1, '\0'));
    // The per-year list is read from another name, which saving never writes.
    EXPECT_FALSE(dir.Exists("109_year.txt"));

    CHolidayLists reread;
    EXPECT_FALSE(reread.LoadHolidayFiles(2009));  // no per-year list
    EXPECT_EQ(reread.FixedList(), kDefaultFixedHolidays);
    EXPECT_EQ(reread.RuleList(), kDefaultRuleHolidays);
}

TEST(HolidayFileTest, ReadingAMissingFileCreatesNothing)
{
    CTempWorkingDir dir;
    EXPECT_EQ(ReadTextFile("S_Holiday.txt"), "");
    EXPECT_FALSE(dir.Exists("S_Holiday.txt"));
}

TEST(HolidayFileTest, ReadingStopsAtTheFirstZeroByte)
{
    CTempWorkingDir dir;
    dir.Write("S_Holiday.txt", std::string("1^1^a^0~\0"
                                           "2^2^b^0~",
                                           17));
    EXPECT_EQ(ReadTextFile("S_Holiday.txt"), "1^1^a^0~");
    // A file edited by hand needs no terminator.
    dir.Write("D_Holiday.txt", "3^3^c^0~");
    EXPECT_EQ(ReadTextFile("D_Holiday.txt"), "3^3^c^0~");
}

TEST(HolidayFileTest, ReadsCp932AndUtf8FilesWithLineBreaks)
{
    CTempWorkingDir dir;
    // "元旦" in CP932, with CR LF between records.
    dir.Write("S_Holiday.txt", "1^1^\x8c\xb3\x92\x55^0~\r\n2^11^x^0~\r\n");
    EXPECT_EQ(ReadTextFile("S_Holiday.txt"), "1^1^元旦^0~\n2^11^x^0~\n");
    dir.Write("D_Holiday.txt", "1^15^成人の日^2~\n");
    EXPECT_EQ(ReadTextFile("D_Holiday.txt"), "1^15^成人の日^2~\n");
}

TEST(HolidayFileTest, WritingReplacesOlderLongerContentAndKeepsUnencodableNames)
{
    CTempWorkingDir dir;
    dir.Write("S_Holiday.txt", std::string(100, 'x'));
    ASSERT_TRUE(WriteTextFile("S_Holiday.txt", "1^1^a^0~"));
    EXPECT_EQ(dir.Read("S_Holiday.txt"), std::string("1^1^a^0~\0", 9));

    // A name CP932 cannot hold makes the file UTF-8 instead of losing the character.
    ASSERT_TRUE(WriteTextFile("S_Holiday.txt", "1^1^😀^0~"));
    EXPECT_EQ(dir.Read("S_Holiday.txt"), std::string("1^1^😀^0~") + '\0');
    EXPECT_EQ(ReadTextFile("S_Holiday.txt"), "1^1^😀^0~");
}

TEST(HolidayFileTest, WriteFailureEndsSavingAtTheFirstFailingFile)
{
    CTempWorkingDir dir;
    // A folder in the way of the rule list makes its write fail.
    ASSERT_EQ(::mkdir((dir.Dir() + "D_Holiday.txt").c_str(), 0700), 0);
    CHolidayLists lists;
    lists.LoadDefaultHolidays();
    std::string error;
    EXPECT_FALSE(lists.SaveHolidayFiles(2004, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(dir.Read("S_Holiday.txt"), kFixedFileBytes);
    EXPECT_FALSE(dir.Exists("104_holi.txt"));
}

TEST(HolidayListsTest, DefaultsFillOnlyEmptyLists)
{
    CTempWorkingDir dir;
    dir.Write("S_Holiday.txt", "1^2^mine^0~");
    CHolidayLists lists;
    lists.LoadHolidayFiles(2004);
    lists.LoadDefaultHolidays();
    EXPECT_EQ(lists.FixedList(), "1^2^mine^0~");
    EXPECT_EQ(lists.RuleList(), kDefaultRuleHolidays);
}

TEST(HolidayListsTest, LoadingStopsAtAnEmptyListAndKeepsTheOthers)
{
    CTempWorkingDir dir;
    dir.Write("S_Holiday.txt", "1^1^a^0~");
    dir.Write("D_Holiday.txt", "3^20^b^10~");
    dir.Write("104_year.txt", "6^6^c^0~");
    CHolidayLists lists;
    EXPECT_TRUE(lists.LoadHolidayFiles(2004));
    EXPECT_EQ(lists.CombinedList(), "1^1^a^0~3^20^b^10~6^6^c^0~");

    // The year file belongs to 2004 only.
    EXPECT_FALSE(lists.LoadHolidayFiles(2005));
    EXPECT_EQ(lists.YearList(), "");

    // An empty fixed-date file stops the reading: the rule list keeps what it held.
    dir.Write("S_Holiday.txt", std::string(1, '\0'));
    dir.Write("D_Holiday.txt", "9^9^changed^0~");
    EXPECT_FALSE(lists.LoadHolidayFiles(2004));
    EXPECT_EQ(lists.FixedList(), "");
    EXPECT_EQ(lists.RuleList(), "3^20^b^10~");
}

TEST(HolidayListsTest, AnEmptyFixedDateFileIsRestoredLikeAMissingOne)
{
    CTempWorkingDir dir;
    dir.Write("S_Holiday.txt", std::string("\0old", 4));
    CHolidayLists lists;
    lists.LoadHolidayFiles(2004);
    lists.RestoreDefaultHolidays(2004);
    EXPECT_EQ(dir.Read("S_Holiday.txt"), kFixedFileBytes);
    EXPECT_EQ(dir.Read("D_Holiday.txt"), kRuleFileBytes);
    EXPECT_EQ(dir.Read("104_holi.txt"), std::string(1, '\0'));

    // Once the fixed-date file holds records, nothing is written again.
    dir.Write("S_Holiday.txt", "1^2^mine^0~");
    lists.LoadHolidayFiles(2004);
    lists.RestoreDefaultHolidays(2004);
    EXPECT_EQ(dir.Read("S_Holiday.txt"), "1^2^mine^0~");
}

TEST(HolidayListsTest, YearFileNamesCountFrom1900)
{
    EXPECT_EQ(YearHolidayFileName(2004), "104_year.txt");
    EXPECT_EQ(YearHolidayFileName(1999), "99_year.txt");
    EXPECT_EQ(YearHolidayFileName(1905), "5_year.txt");
    EXPECT_EQ(YearHolidaySaveFileName(2004), "104_holi.txt");
}
