#include "places/MapPlaces.h"

#include <gtest/gtest.h>

#include "places/PlaceBook.h"
#include "tides/TideStations.h"

namespace {

CTripRecord Trip(const std::string& date, const std::string& place, int catches)
{
    CTripRecord trip;
    trip.date = date;
    trip.place = place;
    for (int i = 0; i < catches; ++i) trip.catches.push_back({"アジ", "20", "", ""});
    return trip;
}

TEST(MapPlaces, ShowsOnlyPlacesWithPositionsEachPortOnce)
{
    CTideStations stations;
    std::vector<CTideStation> list(2);
    list[0] = {"tokyo", "Tokyo", "東京", "とうきょう", "東京都", 35.65, 139.77, 1, "", {}};
    list[1] = {"chiba", "Chiba", "千葉", "ちば", "千葉県", 35.57, 140.05, 1, "", {}};
    std::string error;
    ASSERT_TRUE(stations.Assign(list, error)) << error;
    CPlaceBook book(&stations);
    book.SetPosition("堤防A", {35.6, 139.8}, EPositionSource::Typed);
    book.SetPosition("堤防B", {35.5, 139.9}, EPositionSource::Typed);
    book.SetPosition("磯C", {35.4, 140.1}, EPositionSource::Map);
    book.SetPortForPlace("堤防A", "tokyo");
    book.SetPortForPlace("堤防B", "tokyo");
    book.SetPortForPlace("磯C", "chiba");
    book.SetPortForPlace("位置なし", "chiba");  // a port, but nowhere to draw it
    const std::vector<CTripRecord> trips = {
        Trip("2024/05/01", "堤防A", 2), Trip("2024/05/02", "位置なし", 5),
        Trip("2023/05/03", "磯C", 1),   Trip("2024/05/04", "堤防B", 0),
        Trip("2024/05/05", "堤防A", 1),
    };
    struct Case {
        int year;
        std::vector<std::string> places;
        std::vector<int> catches;
        std::vector<std::vector<size_t>> trips;
        std::vector<std::string> ports;
    };
    const Case cases[] = {
        {2024, {"堤防A", "堤防B"}, {3, 0}, {{0, 4}, {3}}, {"東京"}},
        {2023, {"磯C"}, {1}, {{2}}, {"千葉"}},
        {0, {"堤防A", "磯C", "堤防B"}, {3, 1, 0}, {{0, 4}, {2}, {3}}, {"東京", "千葉"}},
        {2022, {}, {}, {}, {}},
    };
    for (const Case& c : cases) {
        const CMapPlaces shown = CollectMapPlaces(trips, {c.year, ""}, book, stations);
        ASSERT_EQ(shown.places.size(), c.places.size()) << c.year;
        ASSERT_EQ(shown.tallies.size(), c.places.size()) << c.year;
        for (size_t i = 0; i < c.places.size(); ++i) {
            EXPECT_EQ(shown.places[i].name, c.places[i]) << c.year;
            EXPECT_EQ(shown.tallies[i].place, c.places[i]) << c.year;
            EXPECT_EQ(shown.places[i].catches, c.catches[i]) << c.year << c.places[i];
            EXPECT_EQ(shown.places[i].point, book.Find(c.places[i])->position);
            EXPECT_EQ(shown.tallies[i].trips, c.trips[i]) << c.year << c.places[i];
        }
        std::vector<std::string> ports;
        for (const CMapPort& port : shown.ports) ports.push_back(port.name);
        EXPECT_EQ(ports, c.ports) << c.year;
    }
}

}  // namespace
