#include <gtest/gtest.h>

#include <string>

#include "data/GuardedFile.h"
#include "support/TempProgramDir.h"
#include "tides/TidePortChoices.h"
#include "tides/TideStations.h"

namespace {

CTideStations TwoStations()
{
    CTideStations stations;
    std::string error;
    std::vector<CTideStation> list(2);
    list[0].id = "tokyo";
    list[1].id = "yokohama";
    for (CTideStation& s : list) s.nameJa = s.nameKana = s.nameRomaji = s.prefecture = s.id;
    EXPECT_TRUE(stations.Assign(list, error)) << error;
    return stations;
}

TEST(TidePortChoices, ChoicesSurviveSavingAndLoading)
{
    CTempProgramDir dir;
    const CTideStations stations = TwoStations();
    CTidePortChoices choices(&stations);
    std::string error;
    ASSERT_TRUE(choices.Load(dir.Path(kTidePortsFileName), error)) << error;  // missing: defaults
    EXPECT_EQ(choices.HomePortId(), "");
    EXPECT_EQ(choices.PortForPlace("東京湾"), "");
    choices.SetHomePortId("tokyo");
    choices.SetPortForPlace(" 東京湾 ", "yokohama");
    choices.SetPortForPlace("相模湾\tの沖\n", "tokyo");  // a tab or line break cannot break a line
    choices.SetPortForPlace("消える場所", "tokyo");
    choices.SetPortForPlace("消える場所", "");
    choices.SetPortForPlace("  ", "tokyo");
    ASSERT_TRUE(choices.Save(error)) << error;

    CTidePortChoices again(&stations);
    ASSERT_TRUE(again.Load(dir.Path(kTidePortsFileName), error)) << error;
    EXPECT_EQ(again.HomePortId(), "tokyo");
    EXPECT_EQ(again.PortForPlace("東京湾"), "yokohama");
    EXPECT_EQ(again.PortForPlace("相模湾 の沖"), "tokyo");
    EXPECT_EQ(again.PortForPlace("消える場所"), "");
    EXPECT_EQ(again.PlaceCount(), 2u);
}

TEST(TidePortChoices, BadInputGivesAClearMessageAndTheDefaults)
{
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;  // "" when the file is fine
        const char* home;     // the home port afterwards
        const char* place;    // the port for 東京湾 afterwards
    } cases[] = {
        {"good", "home\ttokyo\nplace\t東京湾\tyokohama\n", "", "tokyo", "yokohama"},
        {"CR LF", "home\ttokyo\r\nplace\t東京湾\tyokohama\r\n", "", "tokyo", "yokohama"},
        {"foreign home port", "home\tsan-francisco\nplace\t東京湾\tyokohama\n",
         "line 1: unknown port \"san-francisco\"", "", "yokohama"},
        {"foreign place port", "home\ttokyo\nplace\t東京湾\tticon/x\n",
         "line 2: unknown port \"ticon/x\"", "tokyo", ""},
        {"stray line", "# c\nhome\ttokyo\nwhat\n", "line 3: not understood", "tokyo", ""},
        {"no place", "place\t \ttokyo\n", "line 1: no place", "", ""},
        {"oversized", std::string(kMaxTidePortsFileBytes + 1, '#'), kTooLargeFileText, "", ""},
        {"many bad lines",
         std::string("x\n").append(std::string("y\n") + "z\n" + "w\n" + "v\n" + "u\n"),
         "and 1 more", "", ""},
    };
    CTempProgramDir dir;
    const CTideStations stations = TwoStations();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.WriteFile(kTidePortsFileName, c.bytes);
        CTidePortChoices choices(&stations);
        std::string error;
        const bool loaded = choices.Load(dir.Path(kTidePortsFileName), error);
        EXPECT_EQ(loaded, *c.message == '\0') << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        if (!loaded) {
            EXPECT_NE(error.find("tideports.txt"), std::string::npos) << error;
        }
        EXPECT_EQ(choices.HomePortId(), c.home);
        EXPECT_EQ(choices.PortForPlace("東京湾"), c.place);
    }
}

TEST(TidePortChoices, SavingTooManyPlacesLeavesTheFileAlone)
{
    CTempProgramDir dir;
    CTidePortChoices choices;
    std::string error;
    ASSERT_TRUE(choices.Load(dir.Path(kTidePortsFileName), error));
    choices.SetHomePortId("tokyo");
    ASSERT_TRUE(choices.Save(error)) << error;
    const std::string before = dir.ReadFile(kTidePortsFileName);
    for (int i = 0; i < 20000; ++i) choices.SetPortForPlace("場所" + std::to_string(i), "tokyo");
    EXPECT_FALSE(choices.Save(error));
    EXPECT_NE(error.find(kTooLargeFileText), std::string::npos) << error;
    EXPECT_EQ(dir.ReadFile(kTidePortsFileName), before);
}

}  // namespace
