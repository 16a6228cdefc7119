// The dated copies of the log in Data/history: when they are made, how they are thinned, and
// what a full disk, a damaged copy or a copy of an older program's file do.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <ctime>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "data/CatchHistory.h"
#include "data/CatchStore.h"
#include "data/FullDisk.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"
#include "data/TripDiff.h"
#include "support/TempProgramDir.h"

namespace {

std::time_t LocalTime(int year, int month, int day, int hour = 8, int minute = 0)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

CTripRecord Trip(const std::string& date, const std::string& place)
{
    CTripRecord trip;
    trip.date = date;
    trip.place = place;
    trip.catches = {{"アジ", "20", "0.2", "7時10分"}};
    return trip;
}

// A store with history, on a clock the test moves.
class CatchHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_store.EnableHistory(true);
        m_store.GetHistory()->SetClock([this] { return m_now; });
        m_store.GetHistory()->SetMaxBytes(uint64_t{1} << 30);
    }
    std::vector<std::string> CopyNames() const
    {
        std::vector<std::string> names;
        for (const auto& copy : m_store.GetHistory()->ListCopies()) names.push_back(copy.name);
        return names;
    }

    std::time_t m_now = LocalTime(2026, 12, 8, 8, 15);
    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
};

// Plain gzip data of bytes, with no name or comment, as any gzip tool writes it.
std::string PlainGzip(const std::string& bytes)
{
    z_stream stream{};
    deflateInit2(&stream, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, bytes.size()) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(out.size() - stream.avail_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace

// The first change of a day keeps the file as it was; later ones that day add nothing; a memo
// file first changed that day is added to the day's copy as it was; the next day starts anew.
TEST_F(CatchHistoryTest, TheDaysFirstChangeKeepsACopyAndLaterChangesAddNothing)
{
    const std::string initial = m_dir.ReadFile("Data/fish.xml");
    ASSERT_TRUE(m_store.AddTrip(Trip("2026/12/1", "東京湾")).ok());
    const std::string afterFirst = m_dir.ReadFile("Data/fish.xml");
    m_now += 3600;
    ASSERT_TRUE(m_store.AddTrip(Trip("2026/12/2", "相模湾")).ok());
    const std::string memo = m_dir.Path("Data/schedule/2026年 12月.txt");
    m_dir.WriteFile("Data/schedule/2026年 12月.txt", "[2026年 12月]\r\n1=前から\r\n");
    for (const char* text : {"[2026年 12月]\r\n1=今日\r\n", "[2026年 12月]\r\n1=二度目\r\n"}) {
        ASSERT_TRUE(m_store
                        .ChangeFile(memo, "メモ",
                                    [&](std::string* e) { return WriteFileSafely(memo, text, e); })
                        .ok());
    }
    ASSERT_EQ(CopyNames(), std::vector<std::string>{"20261208-081500"});
    std::vector<CCatchHistory::CMember> members;
    ASSERT_TRUE(m_store.GetHistory()->ReadCopy("20261208-081500", members));
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0].name, "fish.xml");
    EXPECT_EQ(members[0].bytes, initial);
    EXPECT_EQ(members[1].name, "schedule/2026年 12月.txt");
    EXPECT_EQ(members[1].bytes, "[2026年 12月]\r\n1=前から\r\n");

    m_now = LocalTime(2026, 12, 9, 6, 0);
    ASSERT_TRUE(m_store.DeleteTrips({0}).ok());
    const std::vector<CCatchHistory::CCopyInfo> copies = m_store.GetHistory()->ListCopies();
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[1].name, "20261209-060000");
    EXPECT_EQ(copies[1].trips, 2);
    EXPECT_EQ(copies[1].catches, 2);
    ASSERT_TRUE(m_store.GetHistory()->ReadCopy(copies[1].name, members));
    EXPECT_NE(members[0].bytes, afterFirst);  // the state at the day's start: both trips
    EXPECT_EQ(members.size(), 1u);
}

// Two years of one change a day: every copy of the last 14 days, one a week back to 3 months,
// one a month back to 2 years, none older.
TEST_F(CatchHistoryTest, ThinningOverTwoYearsOfDailyChanges)
{
    const std::time_t start = LocalTime(2024, 12, 1, 7, 30);
    // What is kept does not depend on flushing to disk: skipped, to keep the test quick.
    SetSafeFsyncFunctionForTesting([](int) { return 0; });
    const std::string log = m_dir.ReadFile("Data/fish.xml");
    const auto catchFile = [&](const std::string*& bytes, CCatchHistory::CCounts&, std::string&) {
        bytes = &log;
        return true;
    };
    for (int day = 0; day < 800; ++day) {
        m_now = start + static_cast<std::time_t>(day) * 86400;
        for (int change = 0; change < 2; ++change) {
            ASSERT_TRUE(m_store.GetHistory()->KeepBeforeChange("fish.xml", nullptr, catchFile));
        }
    }
    SetSafeFsyncFunctionForTesting({});
    const std::vector<CCatchHistory::CCopyInfo> copies = m_store.GetHistory()->ListCopies();
    std::map<long, int> perWeek;
    std::map<int, int> perMonth;
    int recent = 0;
    // The first day of the two years: its month is the oldest with a copy.
    const std::time_t windowStart =
        m_now - static_cast<std::time_t>(CCatchHistory::kMonthlyDays - 1) * 86400;
    std::tm first{};
    localtime_r(&windowStart, &first);
    ASSERT_FALSE(copies.empty());
    EXPECT_EQ(CCatchHistory::CopyName(copies.front().when).substr(0, 6),
              CCatchHistory::CopyName(windowStart).substr(0, 6));
    for (const auto& copy : copies) {
        const long age = static_cast<long>((m_now - copy.when + 43200) / 86400);
        std::tm local{};
        localtime_r(&copy.when, &local);
        if (age < CCatchHistory::kKeepAllDays) {
            ++recent;
        } else if (age < CCatchHistory::kWeeklyDays) {
            ++perWeek[(static_cast<long>(copy.when / 86400) + 3) / 7];
        } else {
            ++perMonth[local.tm_year * 12 + local.tm_mon];
        }
    }
    EXPECT_EQ(recent, CCatchHistory::kKeepAllDays);
    for (const auto& [week, count] : perWeek) EXPECT_EQ(count, 1) << "week " << week;
    // 78 days of weekly copies: 11 or 12 weeks, each with its copy.
    EXPECT_GE(perWeek.size(), 11u);
    EXPECT_LE(perWeek.size(), 13u);
    for (const auto& [month, count] : perMonth) EXPECT_EQ(count, 1) << "month " << month;
    // Every month from the window's first to the weekly copies has its copy.
    const int firstMonth = first.tm_year * 12 + first.tm_mon;
    for (int month = firstMonth; month < firstMonth + 20; ++month)
        EXPECT_EQ(perMonth.count(month), 1u) << "month " << month;
}

// Which copies stay, by their dates: 14 days whole, then the first of each week from Monday,
// then the first of each month that has a day in the last two years.
TEST(CatchHistoryRuleTest, KeepsFourteenDaysWeeksFromMondayAndEveryMonthOfTwoYears)
{
    const auto kept = [](const std::vector<std::string>& days, const std::string& now) {
        std::vector<std::time_t> times;
        for (const std::string& day : days)
            times.push_back(LocalTime(std::stoi(day.substr(0, 4)), std::stoi(day.substr(4, 2)),
                                      std::stoi(day.substr(6, 2)), 7));
        const std::time_t at = LocalTime(std::stoi(now.substr(0, 4)), std::stoi(now.substr(4, 2)),
                                         std::stoi(now.substr(6, 2)), 12);
        std::set<size_t> gone;
        for (size_t n : CCatchHistory::CopiesToRemove(times, {}, at, 0)) gone.insert(n);
        std::vector<std::string> left;
        for (size_t n = 0; n < days.size(); ++n) {
            if (gone.count(n) == 0) left.push_back(days[n]);
        }
        return left;
    };
    // Tuesday 8 December 2026; 24 November (14 days back) is a Tuesday, 23 November a Monday
    // starting a week, 22 November the Sunday ending the week before.
    EXPECT_EQ(kept({"20261122", "20261123", "20261124", "20261125", "20261208"}, "20261208"),
              (std::vector<std::string>{"20261122", "20261123", "20261125", "20261208"}));
    EXPECT_EQ(kept({"20261115", "20261117", "20261122"}, "20261208"),
              (std::vector<std::string>{"20261115", "20261117"}));
    // Two years back from 7 February 2027 reaches 8 February 2025: February 2025 keeps its
    // first copy, January 2025 none.
    EXPECT_EQ(kept({"20250101", "20250201", "20250215", "20250301", "20270207"}, "20270207"),
              (std::vector<std::string>{"20250201", "20250301", "20270207"}));
}

TEST(CatchHistoryRuleTest, TheDiskShareRemovesTheOldestButNeverTheNewest)
{
    const std::time_t now = LocalTime(2026, 12, 8);
    const std::vector<std::time_t> times = {now - 3 * 86400, now - 2 * 86400, now - 86400, now};
    const struct {
        uint64_t maxBytes;
        std::vector<size_t> removed;
    } cases[] = {
        {0, {}}, {1000, {}}, {750, {0}}, {700, {0, 1}}, {300, {0, 1, 2}}, {10, {0, 1, 2}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CCatchHistory::CopiesToRemove(times, {250, 250, 250, 250}, now, c.maxBytes),
                  c.removed)
            << c.maxBytes;
    }
}

// A disk that fills while the day's copy is written stops the change: the log, and every older
// copy, stay exactly as they were, and no part of a copy is left.
TEST_F(CatchHistoryTest, AFullDiskDuringACopyLeavesTheLogAndOlderCopiesWhole)
{
    ASSERT_TRUE(m_store.AddTrip(Trip("2026/12/1", "東京湾")).ok());
    const std::string older = m_dir.ReadFile("Data/history/20261208-081500.gz");
    for (const size_t limit : {size_t{0}, size_t{10}, size_t{100}}) {
        m_now = LocalTime(2026, 12, 9 + static_cast<int>(limit % 7));
        const std::string log = m_dir.ReadFile("Data/fish.xml");
        CStoreResult result;
        {
            CFullDisk disk(limit);
            result = m_store.AddTrip(Trip("2026/12/2", "相模湾"));
        }
        EXPECT_EQ(result.status, EStoreStatus::SaveFailed) << limit;
        EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), log) << limit;
        EXPECT_EQ(m_dir.ReadFile("Data/history/20261208-081500.gz"), older) << limit;
        EXPECT_EQ(CopyNames(), std::vector<std::string>{"20261208-081500"}) << limit;
        std::vector<CCatchHistory::CProblem> problems;
        m_store.GetHistory()->ListCopies(&problems);
        EXPECT_TRUE(problems.empty()) << limit;
    }
}

// Damaged or foreign files are named and passed over: listed as problems, never deleted, not
// extended; a damaged copy of today makes the next change start a new one.
TEST_F(CatchHistoryTest, BrokenAndForeignFilesAreNamedAndNeverDeleted)
{
    ASSERT_TRUE(m_store.AddTrip(Trip("2026/12/1", "東京湾")).ok());
    const std::string good = m_dir.ReadFile("Data/history/20261208-081500.gz");
    const struct {
        const char* file;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"20200101-080000.gz", "not gzip at all, but long enough", "gzip の形式ではありません"},
        {"20200201-080000.gz", good.substr(0, good.size() - 9), "途中で切れています"},
        // Whole gzip data, but no catch file: old enough to be thinned, were it a copy.
        {"20200301-080000.gz", PlainGzip("notes\n"), "釣行データが読めません"},
        {"20200401-080000.gz", PlainGzip("<log><FishData>"), "釣行データが読めません"},
        {"20261207-080000.gz", PlainGzip("<log><FishData>"), "釣行データが読めません"},
        {"20261208-090000.gz", "damaged copy of today.............", "gzip の形式ではありません"},
        {"memo.txt", "someone's notes", "履歴のコピーではありません"},
    };
    for (const auto& c : cases) m_dir.WriteFile(std::string("Data/history/") + c.file, c.bytes);
    m_now = LocalTime(2026, 12, 8, 10, 0);
    m_store.GetHistory()->Thin();
    // The next day's first change thins again: still nothing of these goes.
    m_now = LocalTime(2026, 12, 9, 10, 0);
    ASSERT_TRUE(m_store.AddTrip(Trip("2026/12/2", "相模湾")).ok());
    std::vector<CCatchHistory::CProblem> problems;
    const auto copies = m_store.GetHistory()->ListCopies(&problems);
    ASSERT_EQ(copies.size(), 2u);
    ASSERT_EQ(problems.size(), std::size(cases));
    for (const auto& c : cases) {
        const std::string path = m_dir.Path(std::string("Data/history/") + c.file);
        EXPECT_EQ(ReadFileBytes(path), c.bytes) << c.file;
        bool named = false;
        for (const auto& problem : problems) {
            named = named ||
                    (problem.path == path && problem.reason.find(c.reason) != std::string::npos);
        }
        EXPECT_TRUE(named) << c.file;
    }
    std::vector<CCatchHistory::CMember> members;
    EXPECT_FALSE(m_store.GetHistory()->ReadCopy("20200201-080000", members));
    EXPECT_EQ(m_store.RestoreHistoryCopy("20261207-080000").status, EStoreStatus::Unreadable);
}

// An older program's copy (plain gzip, no name in its header) reads back as a catch file, yet
// the thinning never deletes it: only copies this program wrote go.
TEST_F(CatchHistoryTest, AnOlderProgramsCopyIsNeverThinnedAway)
{
    ASSERT_TRUE(m_store.AddTrip(Trip("2026/12/1", "東京湾")).ok());
    const std::string copy = PlainGzip(m_dir.ReadFile("Data/fish.xml"));
    m_dir.WriteFile("Data/history/20200101-080000.gz", copy);
    m_now = LocalTime(2026, 12, 9, 10, 0);
    ASSERT_TRUE(m_store.AddTrip(Trip("2026/12/2", "相模湾")).ok());
    m_store.GetHistory()->Thin();
    EXPECT_EQ(m_dir.ReadFile("Data/history/20200101-080000.gz"), copy);
}

// A copy made by an older program: plain gzip, no names, a Shift_JIS catch file.  It lists with
// its counts and is put back byte for byte, and the restore can be undone.
TEST_F(CatchHistoryTest, RestoresAnOlderProgramsShiftJisCopyByteForByte)
{
    std::string sjis;
    ASSERT_TRUE(
        Utf8ToCp932("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<釣果>\r\n"
                    "<FishData><date>2003/5/3</date><place>城ヶ島</place><report>"
                    "<fish><name>メジナ</name></fish><fish><name>クロダイ</name></fish>"
                    "</report></FishData></釣果>\r\n",
                    sjis));
    m_dir.WriteFile("Data/history/20261201-210000.gz", PlainGzip(sjis));
    m_store.EnableUndo(true);
    ASSERT_TRUE(m_store.AddTrip(Trip("2026/12/1", "東京湾")).ok());
    const std::string now = m_dir.ReadFile("Data/fish.xml");
    const auto copies = m_store.GetHistory()->ListCopies();
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].name, "20261201-210000");
    EXPECT_EQ(copies[0].trips, 1);
    EXPECT_EQ(copies[0].catches, 2);

    m_now += 60;
    ASSERT_TRUE(m_store.RestoreHistoryCopy("20261201-210000").ok());
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), sjis);
    std::vector<CTripRecord> trips;
    ASSERT_TRUE(m_store.ReadAllTrips(trips).ok());
    ASSERT_EQ(trips.size(), 1u);
    EXPECT_EQ(trips[0].place, "城ヶ島");
    // The state before the restore became a copy of its own.
    EXPECT_EQ(CopyNames().back(), "20261208-081600");
    EXPECT_EQ(m_store.GetUndoName(), "履歴からの復元");
    ASSERT_TRUE(m_store.Undo().ok());
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), now);
}

// Whatever lies under today's copy name without being a usable copy is neither trusted nor
// written through: the day's changes keep a copy of their own beside it, and it stays as it was.
TEST(CatchHistoryTodayTest, AnythingButACopyUnderTodaysNameGetsACopyBesideIt)
{
    const std::time_t now = LocalTime(2026, 12, 10, 9, 0);
    enum class EKind { CutGzip, Folder, Fifo, LinkToACopy, ForeignGzip };
    for (const EKind kind :
         {EKind::CutGzip, EKind::Folder, EKind::Fifo, EKind::LinkToACopy, EKind::ForeignGzip}) {
        SCOPED_TRACE(static_cast<int>(kind));
        CTempProgramDir dir;
        const std::string before = dir.ReadFile("Data/fish.xml");
        const std::string planted = dir.Path("Data/history/20261210-000001.gz");
        const std::string outside = dir.Path("elsewhere.gz");
        std::string outsideBytes;
        ASSERT_TRUE(CompressHistoryMembers({{"fish.xml", before}}, {}, outsideBytes));
        dir.WriteFile("Data/history/keep", "");
        switch (kind) {
            case EKind::CutGzip:
                dir.WriteFile("Data/history/20261210-000001.gz", outsideBytes.substr(0, 30));
                break;
            case EKind::Folder:
                ASSERT_EQ(::mkdir(planted.c_str(), 0700), 0);
                break;
            case EKind::Fifo:
                ASSERT_EQ(::mkfifo(planted.c_str(), 0600), 0);
                break;
            case EKind::LinkToACopy:
                dir.WriteFile("elsewhere.gz", outsideBytes);
                ASSERT_EQ(::symlink(outside.c_str(), planted.c_str()), 0);
                break;
            case EKind::ForeignGzip:
                dir.WriteFile("Data/history/20261210-000001.gz", PlainGzip("notes\n"));
                break;
        }
        struct stat plantedBefore {};
        ASSERT_EQ(::lstat(planted.c_str(), &plantedBefore), 0);
        CCatchStore store(dir.CatchFile());
        store.EnableHistory(true);
        store.GetHistory()->SetClock([now] { return now; });
        store.GetHistory()->SetMaxBytes(uint64_t{1} << 30);
        ASSERT_TRUE(store.AddTrip(Trip("2026/12/1", "東京湾")).ok());
        const std::string memo = dir.Path("Data/schedule/2026年 12月.txt");
        dir.WriteFile("Data/schedule/2026年 12月.txt", "[2026年 12月]\r\n1=前から\r\n");
        ASSERT_TRUE(store
                        .ChangeFile(memo, "メモ",
                                    [&](std::string* e) {
                                        return WriteFileSafely(memo, "[2026年 12月]\r\n1=x\r\n", e);
                                    })
                        .ok());
        std::vector<CCatchHistory::CProblem> problems;
        const auto copies = store.GetHistory()->ListCopies(&problems);
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(copies[0].name, "20261210-090000");
        std::vector<CCatchHistory::CMember> members;
        ASSERT_TRUE(store.GetHistory()->ReadCopy(copies[0].name, members));
        ASSERT_EQ(members.size(), 2u);
        EXPECT_EQ(members[0].bytes, before);
        EXPECT_EQ(members[1].bytes, "[2026年 12月]\r\n1=前から\r\n");
        // Left as it was, and named.
        struct stat plantedAfter {};
        ASSERT_EQ(::lstat(planted.c_str(), &plantedAfter), 0);
        EXPECT_EQ(plantedAfter.st_ino, plantedBefore.st_ino);
        EXPECT_EQ(plantedAfter.st_mtim.tv_nsec, plantedBefore.st_mtim.tv_nsec);
        if (kind == EKind::LinkToACopy) {
            EXPECT_EQ(dir.ReadFile("elsewhere.gz"), outsideBytes);
        }
        bool named = false;
        for (const auto& problem : problems) named = named || problem.path == planted;
        EXPECT_TRUE(named);
        EXPECT_FALSE(store.GetHistory()->ReadCopy("20261210-000001", members));
    }
}

// A copy larger than the history's whole share is refused, and so is the change that needed
// it: the log stays as it was, nothing is written, and a restore says nothing was kept.
TEST_F(CatchHistoryTest, ACopyLargerThanTheWholeShareRefusesTheChange)
{
    ASSERT_TRUE(m_store.AddTrip(Trip("2026/12/1", "東京湾")).ok());
    const std::string log = m_dir.ReadFile("Data/fish.xml");
    const std::vector<std::string> names = CopyNames();
    m_store.GetHistory()->SetMaxBytes(40);
    m_now = LocalTime(2026, 12, 9, 8, 0);
    const CStoreResult added = m_store.AddTrip(Trip("2026/12/2", "相模湾"));
    EXPECT_EQ(added.status, EStoreStatus::SaveFailed);
    EXPECT_NE(added.detail.find("履歴に使える容量"), std::string::npos) << added.detail;
    EXPECT_NE(added.detail.find("変更は行っていません"), std::string::npos) << added.detail;
    std::string kept = "not cleared";
    const CStoreResult restored = m_store.RestoreHistoryCopy(names.front(), &kept);
    EXPECT_EQ(restored.status, EStoreStatus::SaveFailed);
    EXPECT_EQ(kept, "");
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), log);
    EXPECT_EQ(CopyNames(), names);
    // With room again the restore keeps the state before it, and says under which name.
    m_store.GetHistory()->SetMaxBytes(uint64_t{1} << 30);
    ASSERT_TRUE(m_store.RestoreHistoryCopy(names.front(), &kept).ok());
    EXPECT_EQ(kept, "20261209-080000");
    EXPECT_EQ(CopyNames().back(), kept);
}

TEST(TripDiffTest, AddedRemovedAndChangedTripsByDateAndPlace)
{
    const CTripRecord a = Trip("2026/1/1", "東京湾");
    const CTripRecord b = Trip("2026/1/2", "相模湾");
    CTripRecord bChanged = b;
    bChanged.memo = "書き足した";
    const CTripRecord c = Trip("2026/1/3", "城ヶ島");
    const struct {
        std::vector<CTripRecord> older, now;
        size_t added, removed, changed;
    } cases[] = {
        {{a, b}, {a, b}, 0, 0, 0},        {{a, b}, {b, a}, 0, 0, 0},        {{a}, {a, c}, 1, 0, 0},
        {{a, c}, {a}, 0, 1, 0},           {{a, b}, {a, bChanged}, 0, 0, 1}, {{a, a}, {a}, 0, 1, 0},
        {{a, b}, {bChanged, c}, 1, 1, 1},
    };
    for (const auto& c0 : cases) {
        const CTripDiff diff = DiffTrips(c0.older, c0.now);
        EXPECT_EQ(diff.added.size(), c0.added);
        EXPECT_EQ(diff.removed.size(), c0.removed);
        EXPECT_EQ(diff.changed.size(), c0.changed);
    }
}

// A file of a copy is named as one a restore brings back only when it differs from the file now.
TEST(CatchHistoryMemberTest, AFileIsAsNowOnlyWhenItsBytesAreTheSame)
{
    const std::string list = "マダイ\r\nアジ\r\n";
    const struct {
        const char* name;
        std::function<void(const std::string& path)> arrange;
        bool asNow;
    } cases[] = {
        {"same bytes", [&](const std::string& p) { WriteFileBytes(p, list); }, true},
        {"one byte changed", [&](const std::string& p) { WriteFileBytes(p, "マダイ\r\nアシ\r\n"); },
         false},
        {"longer now", [&](const std::string& p) { WriteFileBytes(p, list + "メバル\r\n"); },
         false},
        {"shorter now", [&](const std::string& p) { WriteFileBytes(p, "マダイ\r\n"); }, false},
        {"huge now", [&](const std::string& p) { WriteFileBytes(p, std::string(4 << 20, 'x')); },
         false},
        {"missing", [](const std::string&) {}, false},
        {"a FIFO", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, false},
        {"a folder", [](const std::string& p) { ::mkdir(p.c_str(), 0700); }, false},
        {"a symlink to the same bytes",
         [&](const std::string& p) {
             WriteFileBytes(p + ".real", list);
             ::symlink((p + ".real").c_str(), p.c_str());
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dataDir = MakeTempDir();
        c.arrange(dataDir + "fishname.txt");
        EXPECT_EQ(CCatchHistory::MemberIsAsNow(dataDir, {"fishname.txt", list}), c.asNow);
        RemoveTree(dataDir);
    }
}
