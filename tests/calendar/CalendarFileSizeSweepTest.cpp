#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "calendar/CalendarGrid.h"
#include "calendar/HolidayLists.h"
#include "calendar/PrivateProfile.h"
#include "calendar/ScheduleMemo.h"
#include "calendar/TempWorkingDir.h"
#include "data/GuardedFile.h"
#include "support/HostileBytes.h"
#include "support/LimitedChild.h"
#include "support/TempProgramDir.h"

namespace {

// Sizes around and beyond a file kind's limit.
std::vector<size_t> SweepSizes(size_t limit)
{
    return {0, 1, 4096, limit / 2, limit - 1, limit, limit + 1, 4 * limit};
}

// A holiday list of every size up to its limit is read and applied; a larger one (a 4 MB list
// used to cost 39 s of CPU) and a pipe are refused without blocking.
TEST(CalendarFileSizeSweepTest, HolidayListsOfEverySize)
{
    CTempWorkingDir working;
    for (const size_t size : SweepSizes(kMaxHolidayFileBytes)) {
        SCOPED_TRACE(size);
        WriteFileBytes(working.Dir() + kFixedHolidayFileName,
                       "1^1^x^0~" + HostileBytes(size > 8 ? size - 8 : 0, "5^5^子供の日^0~", 7));
        const CChildOutcome outcome = RunLimited([] {
            CHolidayLists lists;
            CCalendarGrid grid(lists);
            grid.SetShown(124, 0);
            grid.Build();
            // A refused file gives way to the built-in list, which has none of its records.
            return std::string(lists.FixedList().find("1^1^x^0~") == std::string::npos ? "refused"
                                                                                       : "read");
        });
        ASSERT_TRUE(outcome.finished) << "hung or ran out of memory, signal " << outcome.signal;
        EXPECT_EQ(outcome.output, size <= kMaxHolidayFileBytes ? "read" : "refused");
    }
    std::remove((working.Dir() + kFixedHolidayFileName).c_str());
    ASSERT_EQ(::mkfifo((working.Dir() + kFixedHolidayFileName).c_str(), 0600), 0);
    const CChildOutcome pipe = RunLimited([] {
        CHolidayLists lists;
        return std::string(lists.LoadHolidayFiles(2024) ? "read" : "refused");
    });
    ASSERT_TRUE(pipe.finished) << "a pipe blocked the holiday list, signal " << pipe.signal;
    EXPECT_EQ(pipe.output, "refused");
}

// Month files of every size: the list and the memo dialog always agree, and a memo is stored
// only when the file stays within the limit (otherwise the file is left as it was).
TEST(CalendarFileSizeSweepTest, MonthFilesOfEverySize)
{
    const std::string month = "2004年  2月";
    const std::string head = "[2004\x94\x4e  2\x8c\x8e]\r\n3=kept\r\n";
    for (const size_t size : SweepSizes(kMaxProfileFileBytes)) {
        SCOPED_TRACE(size);
        CTempProgramDir dir;
        const std::string relative = "Data/schedule/" + month + ".txt";
        const std::string bytes =
            size < head.size() ? head.substr(0, size)
                               : head + HostileBytes(size - head.size(), "7=潮\\n[x]\r\n=", 3);
        dir.WriteFile(relative, bytes);
        const CChildOutcome outcome = RunLimited(
            [&] {
                const auto memos = ReadScheduleMonth(dir.Folder(), month);
                // The day the file names and days the structure may name.
                for (const int day : {3, 7, 9}) {
                    if (memos[static_cast<size_t>(day - 1)] !=
                        ReadScheduleMemo(dir.Folder(), month, day))
                        return "differs on day " + std::to_string(day);
                }
                return std::string(WriteScheduleMemo(dir.Folder(), month, 9, "new") ? "stored"
                                                                                    : "refused");
            },
            60);
        ASSERT_TRUE(outcome.finished) << "hung or ran out of memory, signal " << outcome.signal;
        // Within a few bytes of the limit it depends on where the new line goes.
        const bool fits = size + 16 <= kMaxProfileFileBytes;
        if (fits || size > kMaxProfileFileBytes) {
            EXPECT_EQ(outcome.output, fits ? "stored" : "refused");
        }
        if (outcome.output == "refused") {
            EXPECT_EQ(dir.ReadFile(relative), bytes);
        }
    }
}

// A month file of the largest size taken, made of one short key after another: removing the
// repeated keys once cost half a minute of CPU at every start, F5 and showing of the month.
TEST(CalendarFileSizeSweepTest, AMonthFileOfManyKeysReadsAtOnce)
{
    const std::string month = "2004年  2月";
    std::string bytes = "[2004\x94\x4e  2\x8c\x8e]\r\n3=first\r\n";
    size_t keys = 1;
    while (bytes.size() + 32 < kMaxProfileFileBytes) {
        bytes += "k" + std::to_string(keys) + "=v\r\n";
        ++keys;
    }
    // Repeats, in another case, keep the first value.
    bytes += "3=second\r\nK1=again\r\n";
    CTempProgramDir dir;
    dir.WriteFile("Data/schedule/" + month + ".txt", bytes);
    const CChildOutcome outcome = RunLimited(
        [&] {
            std::string text;
            if (!LoadProfileText(dir.Path("Data/schedule/" + month + ".txt"), text))
                return std::string("unread");
            const auto section = ReadProfileSection(text, month);
            return std::to_string(section.size()) + " " + section[1].second + " " +
                   ReadScheduleMonth(dir.Folder(), month)[2] + " " +
                   ReadScheduleMemo(dir.Folder(), month, 3);
        },
        20);
    ASSERT_TRUE(outcome.finished) << "hung or ran out of memory, signal " << outcome.signal;
    EXPECT_EQ(outcome.output, std::to_string(keys) + " v first first");
}

}  // namespace
