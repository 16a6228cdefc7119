#include <gtest/gtest.h>

#include "data/PersonalBest.h"

namespace {

CTripRecord Trip(const std::string& date, std::vector<CCatchRecord> catches)
{
    CTripRecord trip;
    trip.date = date;
    trip.catches = std::move(catches);
    return trip;
}

}  // namespace

TEST(PersonalBest, HeaviestThenLongestThenEarliest)
{
    const std::vector<CTripRecord> trips = {
        Trip("2004/5/3", {{"マダイ", "40", "1.8", ""}, {"アジ", "20", "0.2", ""}}),
        Trip("2004/12/1", {{"マダイ", "45", "1.80", ""}, {"アジ", "25", "0.2", ""}}),    // longer
        Trip("2004/6/1", {{"マダイ", "50", "1.799", ""}, {"アジ", "25", "0.200", ""}}),  // earlier
        Trip("2003/1/1", {{"メバル", "20", "0.1", ""}}),
        Trip("2005/1/1", {{"メバル", "20", "0.10", ""}}),  // level, later: not the best
        Trip("2005/2/2", {}),
    };
    const auto bests = FindPersonalBests(trips);
    ASSERT_EQ(bests.size(), 3u);
    EXPECT_EQ(bests.at("マダイ"), (CCatchPlace{1, 0}));
    EXPECT_EQ(bests.at("アジ"), (CCatchPlace{2, 1}));
    EXPECT_EQ(bests.at("メバル"), (CCatchPlace{3, 0}));
    EXPECT_EQ(TripsHoldingBests(trips), (std::vector<int>{1, 2, 3}));
}

TEST(PersonalBest, ExactDecimalsDecideNotFloatingPoint)
{
    // 0.3 against 0.1 + 0.2 style values: equal weights fall to the length.
    struct Case {
        CCatchRecord a;
        CCatchRecord b;
        bool above;
    };
    const Case cases[] = {
        {{"x", "30", "0.3", ""}, {"x", "31", "0.30", ""}, false},
        {{"x", "30", "0.301", ""}, {"x", "99", "0.3", ""}, true},
        {{"x", "30.5", "0.3", ""}, {"x", "30", "0.3", ""}, true},
        {{"x", "30", "2", ""}, {"x", "30", "10", ""}, false},
        {{"x", "30", "0.35", ""}, {"x", "30", "0", ""}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RanksAbove(c.a, "2004/1/1", c.b, "2004/1/1"), c.above)
            << c.a.weight << " " << c.b.weight;
    }
}
