#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "data/SafeFile.h"
#include "entry/TripSaver.h"
#include "support/PictureBytes.h"
#include "support/TempProgramDir.h"

namespace {

class TripSaverTest : public ::testing::Test {
protected:
    void SetUp() override { m_outside = MakeTempDir(); }
    void TearDown() override
    {
        SetSafeWriteFunctionForTesting({});
        RemoveTree(m_outside);
    }

    std::string Photo(const std::string& name, const std::string& bytes)
    {
        // Only pictures are copied: each photo starts as a JPEG does.
        WriteFileBytes(m_outside + name, JpegHeaderBytes() + bytes);
        return m_outside + name;
    }
    CTripRecord Trip(const std::string& place, std::vector<std::string> fishPhotos = {})
    {
        CTripRecord trip;
        trip.date = "2025/10/4";
        trip.place = place;
        trip.fishPhotos = std::move(fishPhotos);
        return trip;
    }
    CTripRecord Stored(int n)
    {
        CTripRecord trip;
        EXPECT_TRUE(CCatchStore(m_dir.CatchFile()).ReadTrip(n, trip).ok());
        return trip;
    }

    CTempProgramDir m_dir;
    std::string m_outside;
    CCatchStore m_store{m_dir.CatchFile()};
    CPhotoCopies m_copies{m_dir.Path("Data/Picture/")};
    CTripSaver m_saver{m_store, m_copies};
};

TEST_F(TripSaverTest, ANewTripNamesCopiesOfItsPhotosFromTheFirstSave)
{
    const std::string photo = Photo("card.jpg", "JPEG");
    const CTripSaver::CReport report = m_saver.SaveNew(Trip("A", {photo}));
    ASSERT_EQ(report.outcome, CTripSaver::EOutcome::Saved);
    EXPECT_EQ(report.position, 0);
    EXPECT_EQ(Stored(0).fishPhotos,
              (std::vector<std::string>{m_dir.Path("Data/Picture/card.jpg")}));
    std::remove(photo.c_str());  // the card is taken out
    EXPECT_EQ(ReadFileBytes(Stored(0).fishPhotos[0]), JpegHeaderBytes() + "JPEG");
}

TEST_F(TripSaverTest, AFailedSaveTakesItsCopiesBackAndChangesNothing)
{
    ASSERT_EQ(m_saver.SaveNew(Trip("A")).outcome, CTripSaver::EOutcome::Saved);
    const std::string before = m_dir.ReadFile("Data/fish.xml");
    SetSafeWriteFunctionForTesting([](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    const CTripSaver::CReport report = m_saver.SaveNew(Trip("B", {Photo("b.jpg", "B")}));
    EXPECT_EQ(report.outcome, CTripSaver::EOutcome::StoreFailed);
    EXPECT_EQ(report.result.status, EStoreStatus::SaveFailed);
    EXPECT_FALSE(m_dir.Exists("Data/Picture/b.jpg"));
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), before);
}

TEST_F(TripSaverTest, AnEditedTripIsFoundByItsContentAndRemovedCopiesGoWhenUnused)
{
    const std::string shared = Photo("shared.jpg", "S");
    const std::string own = Photo("own.jpg", "O");
    ASSERT_EQ(m_saver.SaveNew(Trip("Z")).outcome, CTripSaver::EOutcome::Saved);
    ASSERT_EQ(m_saver.SaveNew(Trip("A", {shared, own})).outcome, CTripSaver::EOutcome::Saved);
    ASSERT_EQ(m_saver.SaveNew(Trip("B", {shared})).outcome, CTripSaver::EOutcome::Saved);
    const CTripRecord opened = Stored(1);
    // The trip in front goes meanwhile: trip A is at position 0 now.
    ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).DeleteTrip(0).ok());

    CTripRecord edited = opened;
    edited.place = "A2";
    edited.fishPhotos = {};
    const CTripSaver::CReport report = m_saver.SaveExisting(1, opened, edited, opened.fishPhotos);
    ASSERT_EQ(report.outcome, CTripSaver::EOutcome::Saved);
    EXPECT_EQ(report.position, 0);
    EXPECT_EQ(Stored(0).place, "A2");
    EXPECT_EQ(Stored(1).place, "B");
    // Trip B still names the shared copy; the other one is named by no trip any more.
    EXPECT_EQ(report.removedCopies, (std::vector<std::string>{m_dir.Path("Data/Picture/own.jpg")}));
    EXPECT_TRUE(m_dir.Exists("Data/Picture/shared.jpg"));
    EXPECT_FALSE(m_dir.Exists("Data/Picture/own.jpg"));

    EXPECT_EQ(m_saver.SaveExisting(0, opened, edited, {}).outcome, CTripSaver::EOutcome::TripGone);
}

// Large photos are copied with a progress display that can stop them: the progress covers all
// the trip's photos, and a stop leaves neither a trip nor a copy (nor part of one).
TEST_F(TripSaverTest, ProgressCoversEveryPhotoAndAStopSavesNothing)
{
    constexpr uint64_t kMiB = 1u << 20;
    const std::vector<std::string> photos = {Photo("big.jpg", std::string(3 * kMiB + 5, 'b')),
                                             Photo("small.jpg", std::string(kMiB, 's'))};
    std::vector<std::pair<uint64_t, uint64_t>> seen;
    m_copies.SetProgressFunction([&](uint64_t copied, uint64_t total) {
        seen.emplace_back(copied, total);
        return true;
    });
    ASSERT_EQ(m_saver.SaveNew(Trip("A", photos)).outcome, CTripSaver::EOutcome::Saved);
    ASSERT_FALSE(seen.empty());
    const uint64_t all = 4 * kMiB + 5 + 2 * JpegHeaderBytes().size();
    EXPECT_EQ(seen.back(), std::make_pair(all, all));
    for (size_t n = 1; n < seen.size(); ++n) {
        EXPECT_GE(seen[n].first, seen[n - 1].first);
        EXPECT_EQ(seen[n].second, all);
    }

    CTempProgramDir other;
    const std::string before = other.ReadFile("Data/fish.xml");
    CCatchStore store(other.CatchFile());
    CPhotoCopies copies(other.Path("Data/Picture/"));
    for (const uint64_t stopAt : {kMiB, 3 * kMiB + 9, 4 * kMiB}) {
        copies.SetProgressFunction([&](uint64_t copied, uint64_t) { return copied < stopAt; });
        CTripSaver saver(store, copies);
        EXPECT_EQ(saver.SaveNew(Trip("B", photos)).outcome, CTripSaver::EOutcome::Cancelled);
        EXPECT_EQ(other.ReadFile("Data/fish.xml"), before);
        EXPECT_TRUE(std::filesystem::is_empty(other.Path("Data/Picture"))) << stopAt;
    }
}

struct CFindCase {
    std::vector<std::string> places;
    int position;
    int expected;
};

TEST(TripSaver, FindsTheTripAtItsPlaceOrTheNearestSame)
{
    const std::vector<CFindCase> cases = {
        {{"A", "X", "B"}, 1, 1}, {{"A", "B", "X"}, 1, 2},
        {{"X", "A", "X"}, 1, 0}, {{"X", "A", "A", "X"}, 2, 3},
        {{"A", "B"}, 0, -1},     {{}, 0, -1},
        {{"X"}, 5, 0},
    };
    CTripRecord original;
    original.place = "X";
    for (const CFindCase& c : cases) {
        std::vector<CTripRecord> trips;
        for (const std::string& place : c.places) {
            CTripRecord trip;
            trip.place = place;
            trips.push_back(trip);
        }
        EXPECT_EQ(CTripSaver::FindTrip(trips, c.position, original), c.expected)
            << "position " << c.position;
    }
}

}  // namespace
