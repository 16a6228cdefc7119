#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "photos/JpegTestFiles.h"
#include "places/PlaceBook.h"
#include "places/TripPositions.h"
#include "support/TempProgramDir.h"

namespace {

// Positions written by a real EXIF writer (exiftool), read back from the photo files.
TEST(TripPositions, PhotoPositionsInEveryQuarterOfTheGlobe)
{
    const struct {
        const char* latitude;
        const char* latitudeRef;
        const char* longitude;
        const char* longitudeRef;
        bool found;
        double expectedLatitude;
        double expectedLongitude;
    } cases[] = {
        {"35.6247", "N", "139.8352", "E", true, 35.6247, 139.8352},
        {"33.8688", "S", "151.2093", "E", true, -33.8688, 151.2093},
        {"40.7128", "N", "74.0060", "W", true, 40.7128, -74.0060},
        {"22.9068", "S", "43.1729", "W", true, -22.9068, -43.1729},
        {"", "", "", "", false, 0, 0},  // no GPS tags at all
    };
    const std::string dir = MakeTempDir();
    int n = 0;
    for (const auto& c : cases) {
        const std::string path = dir + "photo" + std::to_string(n++) + ".jpg";
        WriteFileBytes(path, PlainJpeg(16, 16, kTestBlue));
        if (*c.latitude != '\0') {
            const std::string command =
                std::string("exiftool -q -overwrite_original -GPSLatitude=") + c.latitude +
                " -GPSLatitudeRef=" + c.latitudeRef + " -GPSLongitude=" + c.longitude +
                " -GPSLongitudeRef=" + c.longitudeRef + " '" + path + "'";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
        }
        const std::optional<CGeoPoint> point = ReadPhotoPosition(path);
        ASSERT_EQ(point.has_value(), c.found) << path;
        if (!point) continue;
        EXPECT_NEAR(point->latitude, c.expectedLatitude, 1e-6) << c.latitude << c.latitudeRef;
        EXPECT_NEAR(point->longitude, c.expectedLongitude, 1e-6) << c.longitude << c.longitudeRef;
    }
    EXPECT_FALSE(ReadPhotoPosition(dir + "missing.jpg").has_value());
    RemoveTree(dir);
}

std::optional<CGeoPoint> FakePosition(const std::string& path)
{
    CGeoPoint point;
    if (std::sscanf(path.c_str(), "gps:%lf,%lf", &point.latitude, &point.longitude) != 2) {
        return std::nullopt;
    }
    return point;
}

TEST(TripPositions, WhereATripAndItsCatchesStand)
{
    CTripRecord trip;
    trip.place = "磯";
    trip.catches.resize(3);
    const std::vector<std::string> none(9, "plain");
    const struct {
        const char* what;
        std::vector<std::string> placePhotos;
        std::vector<std::string> fishPhotos;
        std::optional<CGeoPoint> tripPoint;
    } cases[] = {
        {"place photos first", {"plain", "gps:1,1"}, {"gps:2,2"}, CGeoPoint{1, 1}},
        {"then fish photos", {"plain"}, {"plain", "gps:2,2"}, CGeoPoint{2, 2}},
        {"none", {"plain"}, {"plain"}, std::nullopt},
        {"only the first ten are opened", none, {"plain", "gps:3,3"}, std::nullopt},
    };
    for (const auto& c : cases) {
        trip.placePhotos = c.placePhotos;
        trip.fishPhotos = c.fishPhotos;
        EXPECT_EQ(FirstPhotoPosition(trip, FakePosition), c.tripPoint) << c.what;
    }
    // The second catch has its own photo's point; the others stand at the place, or nowhere
    // while the place has no position.
    trip.placePhotos = {};
    trip.fishPhotos = {"plain", "gps:5,6"};
    CPlaceBook book;
    EXPECT_EQ(CatchPoints(trip, book, FakePosition).size(), 1u);
    book.SetPosition("磯", {7, 8}, EPositionSource::Typed);
    const std::vector<CCatchPoint> points = CatchPoints(trip, book, FakePosition);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].point, (CGeoPoint{7, 8}));
    EXPECT_FALSE(points[0].ownPoint);
    EXPECT_EQ(points[1].point, (CGeoPoint{5, 6}));
    EXPECT_TRUE(points[1].ownPoint);
    EXPECT_EQ(points[2].point, (CGeoPoint{7, 8}));
}

TEST(TripPositions, PhotosPlaceOnlyPlacesWithoutAPosition)
{
    std::vector<CTripRecord> trips(3);
    trips[0].place = "磯";
    trips[0].placePhotos = {"gps:1,1"};
    trips[1].place = "磯";
    trips[1].placePhotos = {"gps:2,2"};  // a later trip does not move it
    trips[2].place = "決めた場所";
    trips[2].placePhotos = {"gps:3,3"};
    CPlaceBook book;
    book.SetPosition("決めた場所", {4, 4}, EPositionSource::Map);
    EXPECT_EQ(FillPhotoPositions(book, trips, FakePosition), 1u);
    EXPECT_EQ(book.Find("磯")->position, (CGeoPoint{1, 1}));
    EXPECT_EQ(book.Find("磯")->source, EPositionSource::Photo);
    EXPECT_EQ(book.Find("決めた場所")->position, (CGeoPoint{4, 4}));
}

}  // namespace
