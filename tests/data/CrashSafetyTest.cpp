#include <gtest/gtest.h>

#include <dirent.h>
#include <errno.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/FullDisk.h"
#include "data/SafeFile.h"
#include "data/TripElement.h"
#include "data/XMLDocument.h"
#include "support/TempProgramDir.h"

namespace {

CTripRecord MakeTrip(int n, const std::string& memo)
{
    CTripRecord trip;
    trip.fishname = n % 2 ? "スズキ" : "メバル";
    trip.weather = "晴れ";
    trip.date = "2004/" + std::to_string(n % 12 + 1) + "/" + std::to_string(n % 28 + 1);
    trip.water = "18";
    trip.place = "相模川河口 " + std::to_string(n);
    trip.method = "ルアー\nミノー";
    trip.memo = memo;
    trip.placePhotos = {"/photos/place" + std::to_string(n) + ".jpg"};
    trip.fishPhotos = {"/photos/fish" + std::to_string(n) + "a.jpg",
                       "/photos/fish" + std::to_string(n) + "b.jpg"};
    trip.catches = {{"スズキ", "60", "3", "5時40分"}, {"メバル", "18", "0", "時分"}};
    return trip;
}

std::vector<std::string> TemporaryFilesIn(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.find(".tmp") != std::string::npos) names.push_back(name);
        }
        closedir(d);
    }
    return names;
}

void SleepMicroseconds(long us)
{
    timespec ts{us / 1000000, (us % 1000000) * 1000};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

class CrashSafetyTest : public ::testing::Test {
protected:
    static constexpr int kTrips = 300;

    void SetUp() override
    {
        m_path = m_dir.Path("Data/fish.xml");
        // One save of many trips: a file big enough that a save takes a while.
        CXMLDataFile file;
        ASSERT_EQ(file.LoadXMLDataFile(m_path), 1);
        for (int n = 0; n < kTrips; ++n) {
            xmlNodePtr trip = nullptr;
            ASSERT_EQ(file.AppendTag("FishData", "", file.GetDocumentElement(), &trip), 0);
            ASSERT_EQ(WriteTripElement(file, trip, MakeTrip(n, "元の記録 " + std::to_string(n))),
                      0);
        }
        ASSERT_EQ(file.SaveXMLFile(m_path), 1);
        CCatchStore store(m_path);
        ASSERT_TRUE(store.ReadAllTrips(m_original).ok());
        ASSERT_EQ(m_original.size(), static_cast<size_t>(kTrips));
        m_originalBytes = ReadFileBytes(m_path);
    }
    void TearDown() override { SetSafeWriteFunctionForTesting({}); }

    CTempProgramDir m_dir;
    std::string m_path;
    std::vector<CTripRecord> m_original;
    std::string m_originalBytes;
};

// A process killed at any moment while it saves leaves a file that loads and is one whole
// version: the one before the save or the one after it, never a mixture or a cut-off file.
TEST_F(CrashSafetyTest, KilledWhileSavingLeavesTheOldOrTheNewVersion)
{
    const CTripRecord first = MakeTrip(0, "一回目の保存");
    const CTripRecord second = MakeTrip(0, "二回目の保存\n二行目");

    // How long one save takes here, so that the kills fall before, inside and between saves.
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    {
        CCatchStore store(m_path);
        ASSERT_TRUE(store.ReplaceTrip(0, m_original[0]).ok());
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    const long saveMicros = std::max<long>(
        200, (end.tv_sec - start.tv_sec) * 1000000L + (end.tv_nsec - start.tv_nsec) / 1000);

    std::mt19937 random(20261207);
    std::uniform_int_distribution<long> delay(0, saveMicros * 4);
    constexpr int kKills = 50;
    int sawOld = 0, sawFirst = 0, sawSecond = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves the two versions of trip 0 in turn until it is killed.
            CCatchStore store(m_path);
            for (long i = 0;; ++i) {
                if (!store.ReplaceTrip(0, i % 2 ? second : first).ok()) _exit(3);
            }
        }
        SleepMicroseconds(delay(random));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the saving process stopped by itself (status " << status << ")";

        std::vector<CTripRecord> trips;
        CCatchStore store(m_path);
        const CStoreResult loaded = store.ReadAllTrips(trips);
        ASSERT_TRUE(loaded.ok()) << "kill " << kill << ": " << DescribeStoreResult(loaded, m_path);
        ASSERT_EQ(trips.size(), m_original.size()) << "kill " << kill;
        ASSERT_TRUE(std::equal(trips.begin() + 1, trips.end(), m_original.begin() + 1))
            << "kill " << kill << ": another trip changed";
        if (trips[0] == m_original[0]) {
            ++sawOld;
        } else if (trips[0] == first) {
            ++sawFirst;
        } else {
            ASSERT_EQ(trips[0], second) << "kill " << kill << ": trip 0 is no saved version";
            ++sawSecond;
        }
        // The backup is a whole version as well.
        CCatchStore backup(m_path + ".bak");
        if (m_dir.Exists("Data/fish.xml.bak")) {
            ASSERT_TRUE(backup.ReadAllTrips(trips).ok()) << "kill " << kill << ": broken backup";
            ASSERT_EQ(trips.size(), m_original.size());
        }
    }
    const size_t leftOver = TemporaryFilesIn(m_dir.Path("Data")).size();
    std::printf("%d kills: old version %d, first %d, second %d; %zu temporary files left\n", kKills,
                sawOld, sawFirst, sawSecond, leftOver);
    // The kills really fell among the saves (not all before the first one finished).
    EXPECT_GT(sawFirst + sawSecond, 0) << "old " << sawOld;
    // A temporary file may be left behind by a kill, never more than one per kill.
    EXPECT_LE(leftOver, static_cast<size_t>(kKills));
    // After all that, the store works as before.
    CCatchStore store(m_path);
    EXPECT_TRUE(store.AddTrip(MakeTrip(kTrips, "最後")).ok());
}

// A disk that fills up at any point of the write: every writer reports the failure, the file
// stays byte for byte as it was and no temporary file is left behind.
TEST_F(CrashSafetyTest, FullDiskAtAnyPointLeavesTheFileAndReportsTheFailure)
{
    // The last limit lets every writer but the end of its file through (one trip is well
    // under a tenth of the file).
    const size_t limits[] = {0, 1, 4096, m_originalBytes.size() / 2,
                             m_originalBytes.size() * 9 / 10};
    for (const size_t limit : limits) {
        std::unique_ptr<CFullDisk> full = std::make_unique<CFullDisk>(limit);
        CCatchStore store(m_path);
        const CStoreResult results[] = {
            store.AddTrip(MakeTrip(999, "新しい釣行")),
            store.ReplaceTrip(3, MakeTrip(3, "書き換え")),
            store.DeleteTrip(0),
        };
        for (const CStoreResult& result : results) {
            EXPECT_EQ(result.status, EStoreStatus::SaveFailed) << "limit " << limit;
            EXPECT_NE(result.detail.find(SystemErrorText(ENOSPC)), std::string::npos)
                << "limit " << limit << ": " << result.detail;
            EXPECT_NE(DescribeStoreResult(result, m_path).find("ファイルの保存に失敗しました"),
                      std::string::npos);
        }
        EXPECT_EQ(ReadFileBytes(m_path), m_originalBytes) << "limit " << limit;
        for (const std::string& name : TemporaryFilesIn(m_dir.Path("Data")))
            ADD_FAILURE() << "limit " << limit << ": left behind " << name;
        full.reset();
        std::vector<CTripRecord> trips;
        ASSERT_TRUE(store.ReadAllTrips(trips).ok());
        EXPECT_EQ(trips, m_original);
    }
    // With room again the same save goes through.
    CCatchStore store(m_path);
    EXPECT_TRUE(store.AddTrip(MakeTrip(999, "新しい釣行")).ok());
    std::vector<CTripRow> rows;
    ASSERT_TRUE(store.ListTrips(rows).ok());
    EXPECT_EQ(rows.size(), m_original.size() + 1);
}

}  // namespace
