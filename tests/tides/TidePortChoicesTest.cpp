#include <gtest/gtest.h>

#include <string>

#include "tides/TidePortChoices.h"

namespace {

// What the trip and the places file rely on: a place is found by its text whatever spaces
// surround it, a tab or line break cannot split a line of the file, and an empty id forgets.
TEST(TidePortChoices, PlacesAreKeptUnderTheirTrimmedText)
{
    CTidePortChoices choices;
    choices.SetHomePortId("tokyo");
    choices.SetPortForPlace(" 東京湾 ", "yokohama");
    choices.SetPortForPlace("相模湾\tの沖\n", "tokyo");
    choices.SetPortForPlace("消える場所", "tokyo");
    choices.SetPortForPlace("消える場所", "");
    choices.SetPortForPlace("  ", "tokyo");
    const struct {
        const char* asked;
        const char* port;
    } cases[] = {
        {"東京湾", "yokohama"},
        {"\t東京湾  ", "yokohama"},
        {"相模湾 の沖", "tokyo"},
        {"相模湾\rの沖", "tokyo"},
        {"消える場所", ""},
        {"", ""},
        {"東京", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(choices.PortForPlace(c.asked), c.port) << c.asked;
    EXPECT_EQ(choices.HomePortId(), "tokyo");
    EXPECT_EQ(choices.PlaceCount(), 2u);
}

}  // namespace
