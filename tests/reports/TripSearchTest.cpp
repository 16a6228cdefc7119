#include <gtest/gtest.h>

#include "reports/TripSearch.h"

TEST(TripSearch, FoldingMakesWidthKanaAndCaseAlike)
{
    struct Case {
        const char* a;
        const char* b;
    };
    const Case alike[] = {
        {"マダイ", "まだい"},
        {"ﾏﾀﾞｲ", "まだい"},
        {"ﾊﾟﾋﾟﾌﾟ", "ぱぴぷ"},
        {"ｳﾞ", "ゔ"},
        {"ＡＢＣ１２３", "abc123"},
        {"City", "CITY"},
        {"城ヶ島　沖", "城ヶ島 沖"},
        {"ｶﾞｯﾂ", "がっつ"},
        {"ﾃﾞﾄ", "でと"},
    };
    for (const Case& c : alike) EXPECT_EQ(FoldForSearch(c.a), FoldForSearch(c.b)) << c.a;
    // Marks that join nothing stay marks; invalid bytes pass.
    EXPECT_EQ(FoldForSearch("ｱﾞ"), "あ\xE3\x82\x9B");
    EXPECT_EQ(FoldForSearch("a\xFFz"), "a\xFFz");
    EXPECT_NE(FoldForSearch("まだい"), FoldForSearch("まだ"));
}

TEST(TripSearch, EveryWordInSomeTextOfTheTrip)
{
    CTripRecord trip;
    trip.date = "2004/5/3";
    trip.weather = "晴れ";
    trip.fishname = "メバル";
    trip.place = "城ヶ島";
    trip.method = "ルアー\nジグヘッド";
    trip.memo = "風が強い";
    trip.catches = {{"マダイ", "32.5", "0.35", "7時15分"}};
    const std::string text = TripSearchText(trip);
    struct Case {
        const char* query;
        bool found;
    };
    const Case cases[] = {
        {"", true},       {"まだい", true}, {"ﾒﾊﾞﾙ　城ヶ島", true}, {"じぐへっど", true},
        {"2004/5", true}, {"風 雨", false}, {"晴れメバル", false},  // across two texts
        {"0.35", false},  {"  ", true},     {"るあー", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CTripFilter(c.query).Matches(text, trip.date), c.found) << c.query;
    }
}

TEST(TripSearch, DateRangeIsInclusiveAndTakesPartialDates)
{
    struct Case {
        const char* from;
        const char* to;
        const char* date;
        bool found;
    };
    const Case cases[] = {
        {"2004/5/3", "2004/5/3", "2004/05/03", true},
        {"2004/5/4", "", "2004/5/3", false},
        {"", "2004/5", "2004/5/31", true},
        {"", "2004/4", "2004/5/1", false},
        {"２００４", "2004", "2004/12/31", true},
        {"2004-1-1", "2004.12.31", "2005/1/1", false},
        {"2003/12/31", "", "2004/1/1", true},  // compared as dates, not texts
        {"abc", "", "1999/1/1", true},         // unreadable bound: none
        {"2004年5月3日", "", "2004/5/2", false},
        {"", "令和6年", "2024/12/31", true},
        {"R6/4/17", "", "2024/4/16", false},
        {"2026年4月1日", "", "2025/12/1", false},
        {"2004", "", "", false},  // a trip without a date is outside any range
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CTripFilter("", c.from, c.to).Matches("", c.date), c.found)
            << c.from << " " << c.to << " " << c.date;
    }
    EXPECT_TRUE(CTripFilter("", "2004年13月", "").IsFromUnreadable());
    EXPECT_TRUE(CTripFilter("", "", "4月16日").IsToUnreadable());
    EXPECT_FALSE(CTripFilter("", " ", "2004").IsFromUnreadable());
    EXPECT_TRUE(CTripFilter().IsEmpty());
    EXPECT_FALSE(CTripFilter("", "", "2004").IsEmpty());
}
