#include "places/PlaceTally.h"

#include <gtest/gtest.h>

namespace {

CTripRecord Trip(const std::string& date, const std::string& place,
                 std::vector<std::string> species)
{
    CTripRecord trip;
    trip.date = date;
    trip.place = place;
    for (const std::string& name : species) trip.catches.push_back({name, "30", "1", ""});
    return trip;
}

TEST(PlaceTally, CountsCatchesAndDaysFishedPerPlaceUnderTheFilter)
{
    const std::vector<CTripRecord> trips = {
        Trip("2024/05/01", "堤防A", {"アジ", "アジ", "サバ"}),
        Trip("2024/05/01", "堤防A", {"アジ"}),  // same day again: one day fished
        Trip("2024/06/02", "磯B", {}),
        Trip("2023/07/03", " 堤防A ", {"アジ"}),  // the same place
        Trip("2024/7/4", "磯B", {"サバ"}),
        Trip("2024/08/05", "", {"アジ"}),   // no place
        Trip("いつか", "堤防A", {"アジ"}),  // no year
    };
    struct {
        CPlaceFilter filter;
        std::vector<CPlaceTally> expected;
    } const cases[] = {
        {{2024, ""}, {{"堤防A", 4, 1, {0, 1}}, {"磯B", 1, 2, {2, 4}}}},
        {{2024, "アジ"}, {{"堤防A", 3, 1, {0, 1}}, {"磯B", 0, 2, {2, 4}}}},
        {{2023, "アジ"}, {{"堤防A", 1, 1, {3}}}},
        {{0, "サバ"}, {{"堤防A", 1, 3, {0, 1, 3, 6}}, {"磯B", 1, 2, {2, 4}}}},
        {{2022, ""}, {}},
    };
    for (const auto& c : cases) {
        const auto tallies = TallyPlaces(trips, c.filter);
        ASSERT_EQ(tallies.size(), c.expected.size()) << c.filter.year << c.filter.species;
        for (size_t i = 0; i < tallies.size(); ++i) {
            EXPECT_EQ(tallies[i].place, c.expected[i].place);
            EXPECT_EQ(tallies[i].catches, c.expected[i].catches) << tallies[i].place;
            EXPECT_EQ(tallies[i].daysFished, c.expected[i].daysFished) << tallies[i].place;
            EXPECT_EQ(tallies[i].trips, c.expected[i].trips) << tallies[i].place;
        }
    }
}

TEST(PlaceTally, CountsADayOnceWhateverFormItsDateWasWrittenIn)
{
    struct {
        std::vector<std::string> dates;
        int days;
    } const cases[] = {
        {{"2024/7/4", "2024/07/04", "2024//07/04"}, 1},
        {{"2024/07/04", "2024/07/05", "2024/7/4"}, 2},
        {{"いつか", "いつか", "2024/07/04"}, 2},
        {{"2024/07", "2024/07/00", "2024/7"}, 3},  // not whole: as written
    };
    for (const auto& c : cases) {
        std::vector<CTripRecord> trips;
        for (const std::string& date : c.dates) trips.push_back(Trip(date, "堤防A", {}));
        const auto tallies = TallyPlaces(trips, {});
        ASSERT_EQ(tallies.size(), 1u);
        EXPECT_EQ(tallies[0].daysFished, c.days) << c.dates[0] << " " << c.dates[1];
    }
}

}  // namespace
