#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "places/GeoPoint.h"

TEST(GeoPointTest, ValidityAtTheEdgesOfTheGlobe)
{
    const struct {
        CGeoPoint point;
        bool valid;
    } cases[] = {
        {{35.68, 139.77}, true},
        {{-90, -180}, true},
        {{90, 180}, true},
        {{90.0001, 0}, false},
        {{0, -180.0001}, false},
        {{std::nan(""), 0}, false},
        {{0, std::numeric_limits<double>::infinity()}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidGeoPoint(c.point), c.valid)
            << c.point.latitude << "," << c.point.longitude;
}

TEST(GeoPointTest, DistancesBetweenKnownPlaces)
{
    // Tokyo Station to Osaka Station is about 403 km along the great circle; a degree of
    // latitude is about 111.2 km anywhere.
    EXPECT_NEAR(GeoDistanceKm({35.6812, 139.7671}, {34.7025, 135.4959}), 403, 3);
    EXPECT_NEAR(GeoDistanceKm({10, 20}, {11, 20}), 111.2, 0.2);
    EXPECT_DOUBLE_EQ(GeoDistanceKm({35, 139}, {35, 139}), 0);
}
