#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <functional>

#include "calendar/CalendarGrid.h"
#include "calendar/HolidayLists.h"
#include "calendar/HolidayRecord.h"
#include "calendar/TempWorkingDir.h"
#include "data/GuardedFile.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"

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

// A list as the program writes it: CP932 with CR LF line ends, then the zero byte.
std::string FileBytes(const std::string& list)
{
    return EncodeTextFileBytes(list) + '\0';
}
}  // namespace

TEST(HolidayFileTest, UntouchedOldFilesAreKeptAsBakAndReplaced)
{
    CTempWorkingDir dir;
    // The files the program wrote before, byte for byte, and a per-year list beside them.
    dir.Write("S_Holiday.txt", kFixedFileBytes);
    dir.Write("D_Holiday.txt", kRuleFileBytes);
    dir.Write("104_year.txt", "6^6^c^0~");
    CHolidayLists lists;
    // Even before they are replaced, they mean the current lists.
    lists.LoadHolidayFiles(2004);
    EXPECT_EQ(lists.FixedList(), kDefaultFixedHolidays);
    EXPECT_EQ(lists.RuleList(), kDefaultRuleHolidays);

    EXPECT_EQ(lists.RestoreDefaultHolidays(), "");
    EXPECT_EQ(dir.Read("S_Holiday.txt.bak"), kFixedFileBytes);
    EXPECT_EQ(dir.Read("D_Holiday.txt.bak"), kRuleFileBytes);
    EXPECT_EQ(ReadTextFile("S_Holiday.txt"), kDefaultFixedHolidays);
    EXPECT_EQ(ReadTextFile("D_Holiday.txt"), kDefaultRuleHolidays);
    EXPECT_EQ(dir.Read("104_year.txt"), "6^6^c^0~");
    EXPECT_FALSE(dir.Exists("104_holi.txt"));
}

// The fixed-date and rule files are judged as a pair, in every combination of what each holds:
// both are brought to the current lists only when neither is the user's own, otherwise neither
// is written, both apply as written, and the notice names only the edited old-form files.
TEST(HolidayFileTest, TheTwoFilesAreUpgradedOnlyTogether)
{
    enum Kind { Missing, Old, Current, EditedOld, EditedCurrent };
    const char* const kindNames[] = {"missing", "old", "current", "edited old", "edited current"};
    struct File {
        const char* name;
        const char* legacy;
        const char* builtIn;
    };
    const File files[2] = {{"S_Holiday.txt", kLegacyFixedHolidays, kDefaultFixedHolidays},
                           {"D_Holiday.txt", kLegacyRuleHolidays, kDefaultRuleHolidays}};
    const auto textOf = [](const File& file, Kind kind) -> std::string {
        switch (kind) {
            case Missing:
                return "";
            case Old:
                return file.legacy;
            case Current:
                return file.builtIn;
            case EditedOld:
                return std::string(file.legacy) + "8^13^お盆^0~";
            case EditedCurrent:
                return std::string(file.builtIn) + "8^13^お盆^20~";
        }
        return "";
    };
    for (const Kind fixed : {Missing, Old, Current, EditedOld, EditedCurrent}) {
        for (const Kind rule : {Missing, Old, Current, EditedOld, EditedCurrent}) {
            const Kind kinds[2] = {fixed, rule};
            const std::string what =
                std::string("S ") + kindNames[fixed] + ", D " + kindNames[rule];
            CTempWorkingDir dir;
            for (int i = 0; i < 2; ++i) {
                if (kinds[i] != Missing)
                    dir.Write(files[i].name, FileBytes(textOf(files[i], kinds[i])));
            }
            const bool untouched = fixed <= Current && rule <= Current;
            CHolidayLists lists;
            const std::string notice = lists.RestoreDefaultHolidays();
            lists.LoadHolidayFiles(2026);
            const std::string applied[2] = {lists.FixedList(), lists.RuleList()};
            for (int i = 0; i < 2; ++i) {
                const File& file = files[i];
                // A missing file beside an edited old-form one is made from the old list.
                const bool madeOld = kinds[i] == Missing && kinds[1 - i] == EditedOld;
                const std::string written = madeOld ? file.legacy : textOf(file, kinds[i]);
                EXPECT_EQ(dir.Exists(file.name), untouched || madeOld || kinds[i] != Missing)
                    << what;
                if (dir.Exists(file.name)) {
                    EXPECT_EQ(dir.Read(file.name), FileBytes(untouched ? file.builtIn : written))
                        << what << " " << file.name;
                }
                EXPECT_EQ(dir.Exists(std::string(file.name) + ".bak"), untouched && kinds[i] == Old)
                    << what;
                EXPECT_EQ(applied[i], (untouched || (kinds[i] == Missing && !madeOld))
                                          ? std::string(file.builtIn)
                                          : written)
                    << what << " " << file.name;
                EXPECT_EQ(notice.find(file.name) != std::string::npos,
                          kinds[i] == EditedOld || madeOld)
                    << what << ": " << notice;
            }
            EXPECT_EQ(lists.RestoreDefaultHolidays(), "") << what;  // told once
        }
    }
}

// The two cases as a user meets them in the calendar of 2026.
TEST(HolidayFileTest, AnEditedFileKeepsItsOldPartnerSoNoHolidayIsLostOrDoubled)
{
    const auto daysNamed = [](const std::string& name) {
        CHolidayLists lists;
        lists.RestoreDefaultHolidays();
        CCalendarGrid grid(lists);
        grid.SetShown(2026 - 1900, 0);
        grid.Build();
        std::string days;
        for (int month = 0; month < 12; ++month) {
            for (int day = 0; day < 31; ++day) {
                if (grid.Cell(month, day).name == name)
                    days += std::to_string(month + 1) + "/" + std::to_string(day + 1) + " ";
            }
        }
        return days;
    };
    {
        CTempWorkingDir dir;
        dir.Write("S_Holiday.txt", FileBytes(std::string(kLegacyFixedHolidays) + "8^13^お盆^0~"));
        dir.Write("D_Holiday.txt", kRuleFileBytes);
        EXPECT_EQ(daysNamed("敬老の日"), "9/15 ");
        EXPECT_EQ(dir.Read("D_Holiday.txt"), kRuleFileBytes);
    }
    {
        CTempWorkingDir dir;
        dir.Write("S_Holiday.txt", kFixedFileBytes);
        dir.Write("D_Holiday.txt", FileBytes(std::string(kLegacyRuleHolidays) + "8^13^お盆^0~"));
        EXPECT_EQ(daysNamed("海の日"), "7/20 ");
        EXPECT_EQ(dir.Read("S_Holiday.txt"), kFixedFileBytes);
    }
    {
        // The partner missing: made from the old list, not mixed with the current one.
        CTempWorkingDir dir;
        dir.Write("S_Holiday.txt", FileBytes(std::string(kLegacyFixedHolidays) + "8^13^お盆^0~"));
        EXPECT_EQ(daysNamed("敬老の日"), "9/15 ");
        EXPECT_EQ(daysNamed("国民の休日"), "5/4 ");
        EXPECT_EQ(dir.Read("D_Holiday.txt"), kRuleFileBytes);
    }
}

TEST(HolidayFileTest, ReadersOfTheFourFieldFormFindNothingToMarkInTheCurrentLists)
{
    // Every record of the current lists reads, by its first four fields, as a rule code the
    // four-field form does not know, so an older reader marks no wrong day; and every record
    // is whole, so it reads them without running into the next one.
    for (const char* list : {kDefaultFixedHolidays, kDefaultRuleHolidays}) {
        size_t at = 0;
        int records = 0;
        for (std::string record = TakeRecord(list, at); !record.empty();
             record = TakeRecord(list, at)) {
            ++records;
            const int code = ParseHolidayRecord(record).ruleCode;
            EXPECT_TRUE(code != 0 && code != 100 && !(code >= 1 && code <= 5) && code != 10 &&
                        code != 11)
                << record;
        }
        EXPECT_GT(records, 10);
        const std::string rest = std::string(list).substr(at);
        EXPECT_EQ(rest.find_first_not_of(" \r\n"), std::string::npos) << rest;
    }
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

// A holiday file that is there but cannot be read is not a missing one: it is never replaced by
// the built-in list, the built-in holidays apply meanwhile, and the user is told once.
TEST(HolidayFileTest, AFileThatCannotBeReadIsToldAndNeverReplaced)
{
    const std::string oversized(kMaxHolidayFileBytes + 1, 'x');
    const struct {
        const char* kind;
        std::function<bool(CTempWorkingDir&, const std::string&)> make;
        mode_t type;
    } cases[] = {
        {"oversized",
         [&](CTempWorkingDir& dir, const std::string&) {
             dir.Write("S_Holiday.txt", oversized);
             return true;
         },
         S_IFREG},
        {"pipe",
         [](CTempWorkingDir&, const std::string& path) {
             return ::mkfifo(path.c_str(), 0600) == 0;
         },
         S_IFIFO},
        {"folder",
         [](CTempWorkingDir&, const std::string& path) { return ::mkdir(path.c_str(), 0700) == 0; },
         S_IFDIR},
    };
    for (const auto& c : cases) {
        CTempWorkingDir dir;
        const std::string path = dir.Dir() + "S_Holiday.txt";
        ASSERT_TRUE(c.make(dir, path)) << c.kind;
        CHolidayLists lists;
        const std::string notice = lists.RestoreDefaultHolidays();
        EXPECT_NE(notice.find("S_Holiday.txt"), std::string::npos) << c.kind << ": " << notice;
        EXPECT_EQ(lists.RestoreDefaultHolidays(), "") << c.kind;  // told once
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & S_IFMT, c.type) << c.kind;
        EXPECT_EQ(static_cast<size_t>(st.st_size),
                  c.type == S_IFREG ? oversized.size() : st.st_size);
        // Its partner is not upgraded alone either.
        EXPECT_FALSE(dir.Exists("D_Holiday.txt")) << c.kind;
        lists.LoadHolidayFiles(2026);
        EXPECT_EQ(lists.FixedList(), kDefaultFixedHolidays) << c.kind;
    }
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
    EXPECT_EQ(ReadTextFile("S_Holiday.txt"), kDefaultFixedHolidays);
    EXPECT_FALSE(dir.Exists("104_holi.txt"));
}

TEST(HolidayListsTest, DefaultsFillOnlyEmptyLists)
{
    CTempWorkingDir dir;
    dir.Write("S_Holiday.txt", "1^2^mine^20^2000~");
    CHolidayLists lists;
    lists.LoadHolidayFiles(2004);
    lists.LoadDefaultHolidays();
    EXPECT_EQ(lists.FixedList(), "1^2^mine^20^2000~");
    EXPECT_EQ(lists.RuleList(), kDefaultRuleHolidays);
}

TEST(HolidayListsTest, EachLoadReadsAllThreeListsAfresh)
{
    CTempWorkingDir dir;
    dir.Write("S_Holiday.txt", "1^1^a^0~");
    dir.Write("D_Holiday.txt", "3^20^b^10~");
    dir.Write("104_year.txt", "6^6^c^0~");
    CHolidayLists lists;
    EXPECT_TRUE(lists.LoadHolidayFiles(2004));
    EXPECT_EQ(lists.CombinedList(), "1^1^a^0~3^20^b^10~6^6^c^0~");

    // An empty fixed-date file means the built-in list (the old one beside this old-form rule
    // list); the per-year list of 2004 never reaches another year, whatever the other files hold.
    dir.Write("S_Holiday.txt", std::string(1, '\0'));
    EXPECT_FALSE(lists.LoadHolidayFiles(2005));
    EXPECT_EQ(lists.FixedList(), kLegacyFixedHolidays);
    EXPECT_EQ(lists.RuleList(), "3^20^b^10~");
    EXPECT_EQ(lists.YearList(), "");
}

TEST(HolidayListsTest, AnUnwritableFolderKeepsTheBuiltInHolidaysAndTellsOnce)
{
    CTempWorkingDir dir;
    // Every write fails as on a read-only disk.
    SetSafeWriteFunctionForTesting([](int, const void*, size_t) -> ssize_t {
        errno = EROFS;
        return -1;
    });
    CHolidayLists lists;
    CCalendarGrid grid(lists);
    const std::string notice = lists.RestoreDefaultHolidays();
    EXPECT_NE(notice.find("書き込めません"), std::string::npos) << notice;
    for (int round = 0; round < 2; ++round) {
        grid.SetShown(2026 - 1900, 0);
        grid.Build();
        EXPECT_EQ(grid.Cell(0, 0).name, "元日");
        EXPECT_EQ(grid.Cell(8, 21).name, "国民の休日");  // 22 September 2026
        EXPECT_EQ(lists.RestoreDefaultHolidays(), "");
    }
    SetSafeWriteFunctionForTesting({});
    EXPECT_FALSE(dir.Exists("S_Holiday.txt"));
}

TEST(HolidayListsTest, YearFileNamesCountFrom1900)
{
    EXPECT_EQ(YearHolidayFileName(2004), "104_year.txt");
    EXPECT_EQ(YearHolidayFileName(1999), "99_year.txt");
    EXPECT_EQ(YearHolidayFileName(1905), "5_year.txt");
    EXPECT_EQ(YearHolidaySaveFileName(2004), "104_holi.txt");
}
