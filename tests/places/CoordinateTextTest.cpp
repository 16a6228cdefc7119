#include <gtest/gtest.h>

#include <string>

#include "places/CoordinateText.h"

namespace {

TEST(CoordinateText, TypedAndPastedPositions)
{
    const struct {
        std::string text;
        bool ok;
        double latitude;
        double longitude;
    } cases[] = {
        {"35.6581, 139.7414", true, 35.6581, 139.7414},
        {"35.6581 139.7414", true, 35.6581, 139.7414},
        {"-33.8688,151.2093", true, -33.8688, 151.2093},
        {"３５．６５８１，１３９．７４１４", true, 35.6581, 139.7414},
        {"35°39'29\"N 139°47'E", true, 35 + 39 / 60.0 + 29 / 3600.0, 139 + 47 / 60.0},
        {"35°39′29″N, 139°47′0″E", true, 35 + 39 / 60.0 + 29 / 3600.0, 139 + 47 / 60.0},
        {"139°47'E 35°39'29\"N", true, 35 + 39 / 60.0 + 29 / 3600.0, 139 + 47 / 60.0},
        {"北緯35度39分29秒 東経139度47分", true, 35 + 39 / 60.0 + 29 / 3600.0, 139 + 47 / 60.0},
        {"N35.5 E139.25", true, 35.5, 139.25},
        {"35.5S 70.25W", true, -35.5, -70.25},
        {"35 39 29.5 N 139 47 0 E", true, 35 + 39 / 60.0 + 29.5 / 3600.0, 139 + 47 / 60.0},
        {"35°39' 139°47'", true, 35.65, 139 + 47 / 60.0},
        {"https://www.google.com/maps/@35.6581,139.7414,15z", true, 35.6581, 139.7414},
        {"https://www.google.com/maps/place/X/@35.1,139.1,15z/data=!3m1!4b1!4m6!3d35.6586!4d139."
         "7454",
         true, 35.6586, 139.7454},
        {"https://maps.google.com/?q=35.6581,139.7414", true, 35.6581, 139.7414},
        {"https://www.openstreetmap.org/#map=15/35.6581/139.7414", true, 35.6581, 139.7414},
        {"https://www.openstreetmap.org/?mlat=35.1&mlon=139.2#map=15/35.6581/139.7414", true, 35.1,
         139.2},
        {"https://maps.gsi.go.jp/#16/35.658099/139.741357/&base=std&ls=std", true, 35.658099,
         139.741357},
        {"geo:35.6581,139.7414", true, 35.6581, 139.7414},
        // Not positions.
        {"", false, 0, 0},
        {"東京湾", false, 0, 0},
        {"35.6581", false, 0, 0},
        {"95.0, 139.0", false, 0, 0},
        {"35.0, 181.0", false, 0, 0},
        {"35N 139N", false, 0, 0},
        {"35°61'N 139°E", false, 0, 0},
        {"-35 S, 139 E", false, 0, 0},
        {"35.5°30' N 139 E", false, 0, 0},
        {"1, 2, 3", false, 0, 0},
        {"https://example.com/page", false, 0, 0},
        {std::string(5000, '1'), false, 0, 0},
    };
    for (const auto& c : cases) {
        CGeoPoint point{-1, -1};
        EXPECT_EQ(ParseCoordinateText(c.text, point), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_NEAR(point.latitude, c.latitude, 1e-9) << c.text;
        EXPECT_NEAR(point.longitude, c.longitude, 1e-9) << c.text;
        CGeoPoint back;
        ASSERT_TRUE(ParseCoordinateText(FormatCoordinateText(point), back));
        EXPECT_NEAR(back.latitude, point.latitude, 1e-6);
        EXPECT_NEAR(back.longitude, point.longitude, 1e-6);
    }
}

}  // namespace
