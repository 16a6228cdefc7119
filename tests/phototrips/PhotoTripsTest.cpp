#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <sstream>

#include "app/PhotoTripsCommand.h"
#include "data/CatchStore.h"
#include "entry/TripSaver.h"
#include "photos/PhotoCopies.h"
#include "phototrips/PhotoTripTestFiles.h"
#include "phototrips/TripProposal.h"
#include "support/TideTestStations.h"
#include "tides/TideEntryTexts.h"
#include "tides/TidePortChoices.h"

namespace {

// Two spots 2 km apart on one coast, and one 55 km away.
constexpr double kRockLat = 35.1340, kRockLon = 139.6160;
constexpr double kPierLat = 35.1480, kPierLon = 139.6270;
constexpr double kBayLat = 35.6000, kBayLon = 139.8000;

// A trip as the tests compare it: its date and its photos' names in order.
struct CSeenTrip {
    std::string date;
    std::vector<std::string> photos;
    bool operator==(const CSeenTrip&) const = default;
};

std::string Name(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

std::vector<CSeenTrip> SeenTrips(const CTripProposals& proposals)
{
    std::vector<CSeenTrip> seen;
    for (const CProposedTrip& trip : proposals.trips) {
        CSeenTrip one{FormatProposalDate(trip.day), {}};
        for (const CProposedPhoto& photo : trip.photos)
            one.photos.push_back(Name(proposals.scan.photos[photo.photo].path));
        seen.push_back(one);
    }
    return seen;
}

class PhotoTripsTest : public ::testing::Test {
protected:
    void SetUp() override { m_photos = MakeTempDir() + "photos"; }
    void TearDown() override { RemoveTree(std::filesystem::path(m_photos).parent_path().string()); }

    CTripProposals Propose(const std::vector<std::string>& inputs = {})
    {
        CCatchStore store(m_program.CatchFile());
        CProposalContext context;
        CTripProposals proposals;
        std::string error;
        EXPECT_TRUE(
            ProposeTripsFromLog(inputs.empty() ? std::vector<std::string>{m_photos} : inputs, store,
                                context, {}, proposals, error))
            << error;
        return proposals;
    }

    CTempProgramDir m_program;
    std::string m_photos;
};

struct CGroupingCase {
    const char* what;
    std::vector<CTestPhoto> photos;
    std::vector<CSeenTrip> trips;
    std::vector<std::string> undated;
};

TEST_F(PhotoTripsTest, GroupsPhotosIntoTripsByDayAndPlace)
{
    const CGroupingCase cases[] = {
        {"one morning at one rock, formats mixed",
         {{"a.jpg", "2026:05:03 06:10:00", "+09:00", kRockLat, kRockLon},
          {"b.heic", "2026:05:03 06:40:00", "+09:00", kRockLat, kRockLon},
          {"c.png", "2026:05:03 07:05:00", "+09:00", kRockLat, kRockLon},
          {"d.webp", "2026:05:03 07:30:00", "+09:00", kRockLat, kRockLon}},
         {{"2026/05/03", {"a.jpg", "b.heic", "c.png", "d.webp"}}},
         {}},
        {"offsets turned into Japan time: UTC 21:30 is 6:30 of the next day",
         {{"utc.jpg", "2026:05:02 21:30:00", "+00:00", kRockLat, kRockLon},
          {"jst.jpg", "2026:05:03 06:00:00", "+09:00", kRockLat, kRockLon}},
         {{"2026/05/03", {"jst.jpg", "utc.jpg"}}},
         {}},
        {"no offset: the clock is taken as Japan time",
         {{"late.jpg", "2026:05:03 23:50:00", "", kRockLat, kRockLon},
          {"early.jpg", "2026:05:03 00:10:00", "", kRockLat, kRockLon}},
         {{"2026/05/03", {"early.jpg", "late.jpg"}}},
         {}},
        {"a night trip goes on past midnight; the next morning is a trip of its own",
         {{"n1.jpg", "2026:05:03 22:00:00", "+09:00", kRockLat, kRockLon},
          {"n2.jpg", "2026:05:04 00:20:00", "+09:00", kRockLat, kRockLon},
          {"n3.jpg", "2026:05:04 02:10:00", "+09:00", kRockLat, kRockLon},
          {"m1.jpg", "2026:05:04 08:00:00", "+09:00", kRockLat, kRockLon}},
         {{"2026/05/03", {"n1.jpg", "n2.jpg", "n3.jpg"}}, {"2026/05/04", {"m1.jpg"}}},
         {}},
        {"across an offset: taken abroad at 20:00 -05:00 is 10:00 in Japan",
         {{"abroad.jpg", "2026:05:02 20:00:00", "-05:00", kRockLat, kRockLon},
          {"home.jpg", "2026:05:03 10:30:00", "+09:00", kRockLat, kRockLon}},
         {{"2026/05/03", {"abroad.jpg", "home.jpg"}}},
         {}},
        {"two places in one day, and one 2 km along the coast that is the same trip",
         {{"rock.jpg", "2026:05:03 06:00:00", "+09:00", kRockLat, kRockLon},
          {"pier.jpg", "2026:05:03 08:00:00", "+09:00", kPierLat, kPierLon},
          {"bay.jpg", "2026:05:03 15:00:00", "+09:00", kBayLat, kBayLon},
          {"nogps.jpg", "2026:05:03 15:30:00", "+09:00"}},
         {{"2026/05/03", {"rock.jpg", "pier.jpg"}}, {"2026/05/03", {"bay.jpg", "nogps.jpg"}}},
         {}},
        {"no EXIF at all: unknown time, for the user to place",
         {{"plain.png", "", ""}, {"plain.jpg", "", ""}, {"dated.jpg", "2026:05:03 06:00:00", ""}},
         {{"2026/05/03", {"dated.jpg"}}},
         {"plain.jpg", "plain.png"}},
    };
    for (const CGroupingCase& test : cases) {
        SCOPED_TRACE(test.what);
        RemoveTree(m_photos);
        WriteTestPhotos(m_photos, test.photos);
        const CTripProposals proposals = Propose();
        EXPECT_EQ(SeenTrips(proposals), test.trips);
        std::vector<std::string> undated;
        for (const size_t index : proposals.undated)
            undated.push_back(Name(proposals.scan.photos[index].path));
        EXPECT_EQ(undated, test.undated);
    }
}

TEST_F(PhotoTripsTest, PositionWithoutTimeUsesTheFileTime)
{
    WriteTestPhotos(m_photos, {{"gps-only.jpg", "", "", kRockLat, kRockLon}});
    // 2026-05-03 21:00 UTC is 6:00 of 4 May in Japan.
    const struct utimbuf times {
        1777842000, 1777842000
    };
    ASSERT_EQ(::utime((m_photos + "/gps-only.jpg").c_str(), &times), 0);
    const CTripProposals proposals = Propose();
    ASSERT_EQ(SeenTrips(proposals), (std::vector<CSeenTrip>{{"2026/05/04", {"gps-only.jpg"}}}));
    EXPECT_EQ(proposals.scan.photos[0].timeSource, EPhotoTimeSource::FileTime);
    EXPECT_EQ(FormatProposalTime(proposals.scan.photos[0].time), "6:00");
}

TEST_F(PhotoTripsTest, FishPhotosWithinAMinuteOfTheLastShowOneCatch)
{
    // place, then fish at 7:00:00, 7:00:50, 7:01:40 (each within a minute of the one before),
    // 7:05 and 7:05:30.
    WriteTestPhotos(m_photos, {{"p.jpg", "2026:05:03 06:50:00", "+09:00", kRockLat, kRockLon},
                               {"f1.jpg", "2026:05:03 07:00:00", "+09:00"},
                               {"f2.jpg", "2026:05:03 07:00:50", "+09:00"},
                               {"f3.jpg", "2026:05:03 07:01:40", "+09:00"},
                               {"f4.jpg", "2026:05:03 07:05:00", "+09:00"},
                               {"f5.jpg", "2026:05:03 07:05:30", "+09:00"}});
    CTripProposals proposals = Propose();
    ASSERT_EQ(proposals.trips.size(), 1u);
    CProposedTrip& trip = proposals.trips[0];
    trip.species = "シーバス";
    CTripRecord record = MakeTripRecord(trip, proposals.scan);
    EXPECT_EQ(record.date, "2026/05/03");
    EXPECT_EQ(record.placePhotos.size(), 1u);
    EXPECT_EQ(record.fishPhotos.size(), 5u);
    EXPECT_EQ(record.catches, (std::vector<CCatchRecord>{{"シーバス", "0", "0", "7時0分"},
                                                         {"シーバス", "0", "0", "7時5分"}}));
    // Marked 場所 instead, f4 leaves f5 a catch of its own at 7:05; f2 left out splits f1 and f3.
    trip.photos[4].fish = false;
    trip.photos[2].included = false;
    record = MakeTripRecord(trip, proposals.scan);
    std::vector<std::string> times;
    for (const CCatchRecord& caught : record.catches) times.push_back(caught.time);
    EXPECT_EQ(times, (std::vector<std::string>{"7時0分", "7時1分", "7時5分"}));
    EXPECT_EQ(record.placePhotos.size(), 2u);
}

TEST_F(PhotoTripsTest, PortAndTidesComeFromThePosition)
{
    const CTideStations& stations = ShippedTestStations();
    WriteTestPhotos(m_photos, {{"a.jpg", "2026:05:03 06:00:00", "+09:00", kRockLat, kRockLon}});
    CTidePortChoices choices;
    CCatchStore store(m_program.CatchFile());
    CProposalContext context;
    context.stations = &stations;
    context.choices = &choices;
    context.placeNear = [](const CGeoPoint& at) {
        return GeoDistanceKm(at, {kRockLat, kRockLon}) <= kPlaceNearKm ? std::string("城ヶ島")
                                                                       : std::string();
    };
    CTripProposals proposals;
    std::string error;
    ASSERT_TRUE(ProposeTripsFromLog({m_photos}, store, context, {}, proposals, error));
    ASSERT_EQ(proposals.trips.size(), 1u);
    const CProposedTrip& trip = proposals.trips[0];
    EXPECT_EQ(trip.place, "城ヶ島");
    ASSERT_NE(trip.port, nullptr);
    const CTideDayTexts expected = DayTideTexts(*trip.port, 2026, 5, 3);
    EXPECT_FALSE(expected.high.empty());
    EXPECT_EQ(trip.highTide, expected.high);
    EXPECT_EQ(trip.ebbTide, expected.low);
}

TEST_F(PhotoTripsTest, SavedTripsAreOneUndoStepAndAreNotProposedAgain)
{
    WriteTestPhotos(m_photos, {{"a.jpg", "2026:05:03 06:00:00", "+09:00", kRockLat, kRockLon},
                               {"b.jpg", "2026:05:03 06:30:00", "+09:00", kRockLat, kRockLon},
                               {"c.jpg", "2026:05:04 06:00:00", "+09:00", kRockLat, kRockLon}});
    const CTripProposals proposals = Propose();
    ASSERT_EQ(proposals.trips.size(), 2u);
    {
        CCatchStore store(m_program.CatchFile());
        store.EnableUndo(true);
        const CPhotoCopies copies(m_program.Folder());
        CTripSaver saver(store, copies);
        std::vector<CTripRecord> records;
        for (const CProposedTrip& trip : proposals.trips)
            records.push_back(MakeTripRecord(trip, proposals.scan));
        const CTripSaver::CReport report = saver.SaveNewTrips(records);
        ASSERT_EQ(report.outcome, CTripSaver::EOutcome::Saved);
        std::vector<CTripRecord> saved;
        ASSERT_TRUE(store.ReadAllTrips(saved).ok());
        ASSERT_EQ(saved.size(), 2u);
        // The photos now are copies in Data/Picture/, and the same folder proposes nothing new.
        EXPECT_TRUE(copies.IsInPictureDir(saved[0].placePhotos[0]));
        const CTripProposals again = Propose();
        EXPECT_TRUE(again.trips.empty());
        EXPECT_EQ(again.scan.skipped.size(), 3u);
        // A copy of a saved photo under another name is recognised by its content.
        std::filesystem::copy_file(m_photos + "/a.jpg", m_photos + "/../renamed.jpg");
        EXPECT_TRUE(Propose({m_photos + "/../renamed.jpg"}).trips.empty());
        // One undo takes both trips back.
        ASSERT_TRUE(store.Undo().ok());
        ASSERT_TRUE(store.ReadAllTrips(saved).ok());
        EXPECT_TRUE(saved.empty());
        EXPECT_FALSE(store.CanUndo());
    }
    EXPECT_EQ(Propose().trips.size(), 2u);
}

TEST_F(PhotoTripsTest, CommandLinePrintsTheProposalsAndWritesNothing)
{
    WriteTestPhotos(m_photos, {{"a.jpg", "2026:05:03 06:00:00", "+09:00", kRockLat, kRockLon},
                               {"b.jpg", "2026:05:03 06:30:00", "+09:00", kRockLat, kRockLon}});
    WriteFileBytes(m_photos + "/clip.mp4", std::string("\0\0\0\x18"
                                                       "ftypmp42",
                                                       12) +
                                               "....");
    const std::string before = m_program.ReadFile("Data/fish.xml");
    std::ostringstream out, err;
    ASSERT_EQ(ProposeTripsCommand(m_program.Folder(), m_photos, out, err), 0) << err.str();
    const std::string text = out.str();
    for (const char* expected :
         {"釣行 1: 2026/05/03", "6:00 場所", "6:30 魚",
          "釣果 1 件:", "    6:30 魚種: (未定) 写真 1 枚", "clip.mp4: 動画は取り込みません"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_EQ(m_program.ReadFile("Data/fish.xml"), before);
    EXPECT_FALSE(m_program.Exists("Data/Picture/a.jpg"));
    std::ostringstream none;
    EXPECT_EQ(ProposeTripsCommand(m_program.Folder(), m_photos + "/missing", none, err), 2);
}

}  // namespace
