#include <gtest/gtest.h>

#include <string>

#include "TempWorkingDir.h"
#include "calendar/CalendarGrid.h"
#include "calendar/HolidayLists.h"
#include "calendar/ScheduleMemo.h"
#include "data/FullDisk.h"
#include "support/TempProgramDir.h"

namespace {

// A memo stored while the disk fills up at any point: the failure is reported and every memo of
// the month, the one being changed included, reads as before.
TEST(CalendarFilesDiskFullTest, FullDiskKeepsEveryMemoOfTheMonth)
{
    CTempProgramDir dir;
    const std::string title = FormatMonthTitle(2004, 2);
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), title, 3, "釣具店で仕掛けを買う"));
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), title, 11, "磯釣り\n満潮 6:12"));
    const auto before = ReadScheduleMonth(dir.Folder(), title);
    const std::string bytes = ReadFileBytes(ScheduleFilePath(dir.Folder(), title));

    for (const size_t limit : {size_t{0}, size_t{5}, bytes.size()}) {
        std::string error;
        {
            CFullDisk full(limit);
            EXPECT_FALSE(WriteScheduleMemo(dir.Folder(), title, 3, std::string(200, 'x'), &error))
                << limit;
            EXPECT_FALSE(WriteScheduleMemo(dir.Folder(), title, 20, "新しい予定", &error)) << limit;
        }
        EXPECT_NE(error.find(SystemErrorText(ENOSPC)), std::string::npos) << error;
        EXPECT_EQ(ReadFileBytes(ScheduleFilePath(dir.Folder(), title)), bytes) << limit;
        EXPECT_EQ(ReadScheduleMonth(dir.Folder(), title), before) << limit;
    }
    ASSERT_TRUE(WriteScheduleMemo(dir.Folder(), title, 20, "新しい予定"));
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), title, 20), "新しい予定");
    EXPECT_EQ(ReadScheduleMemo(dir.Folder(), title, 11), "磯釣り\n満潮 6:12");
}

// Holiday files written on a full disk: saving stops at the first failure and says so, the
// files already there keep their holidays.
TEST(CalendarFilesDiskFullTest, FullDiskKeepsTheHolidayFiles)
{
    CTempWorkingDir dir;
    CHolidayLists lists;
    lists.LoadDefaultHolidays();
    ASSERT_TRUE(lists.SaveHolidayFiles(2004));
    const std::string fixedBytes = ReadFileBytes(dir.Dir() + kFixedHolidayFileName);
    const std::string ruleBytes = ReadFileBytes(dir.Dir() + kRuleHolidayFileName);

    // Room for the fixed-date list but not for the rule list after it.
    std::string error;
    {
        CFullDisk full(fixedBytes.size() + 10);
        CHolidayLists edited;
        edited.LoadHolidayFiles(2004);
        EXPECT_FALSE(edited.SaveHolidayFiles(2005, &error));
    }
    EXPECT_NE(error.find(SystemErrorText(ENOSPC)), std::string::npos) << error;
    EXPECT_EQ(ReadFileBytes(dir.Dir() + kFixedHolidayFileName), fixedBytes);
    EXPECT_EQ(ReadFileBytes(dir.Dir() + kRuleHolidayFileName), ruleBytes);
    EXPECT_FALSE(dir.Exists(YearHolidaySaveFileName(2005)));

    // The calendar built from them still marks the holidays.
    CHolidayLists reread;
    CCalendarGrid grid(reread);
    grid.SetShown(2004 - 1900, 0);
    grid.Build();
    EXPECT_EQ(grid.Cell(0, 0).holiday, 1);   // 1 January
    EXPECT_EQ(grid.Cell(0, 11).holiday, 1);  // coming-of-age day, 12 January 2004
    EXPECT_EQ(grid.Cell(2, 19).holiday, 1);  // vernal equinox, 20 March 2004
}

}  // namespace
