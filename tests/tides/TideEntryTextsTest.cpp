#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/TempProgramDir.h"
#include "support/TideTestStations.h"
#include "tides/TideEntryTexts.h"
#include "tides/TidePredictor.h"

namespace {

const CTideStations& Shipped()
{
    return ShippedTestStations();
}

// The place's own port comes first, then the photo's nearest port (when near), then home.
TEST(TidePortDefault, PlaceThenPhotoThenHomePort)
{
    CTidePortChoices choices;
    choices.SetHomePortId("tokyo-ma15-jpn-jodc_jma");
    choices.SetPortForPlace("城ヶ島", "aburatsubo-gs01-jpn-jodc_giaj");
    const CPhotoPosition none;
    const CPhotoPosition nearNagoya{true, 35.0, 136.9};
    const CPhotoPosition hawaii{true, 21.3, -157.9};
    struct Case {
        const char* place;
        CPhotoPosition photo;
        const char* id;
        ETidePortSource source;
        double km;
    } cases[] = {
        {"城ヶ島", nearNagoya, "aburatsubo-gs01-jpn-jodc_giaj", ETidePortSource::Place, 0},
        {" 城ヶ島 ", none, "aburatsubo-gs01-jpn-jodc_giaj", ETidePortSource::Place, 0},
        {"伊勢湾", nearNagoya, "nagoya-ma22-jpn-jodc_jma", ETidePortSource::Photo, 10.2},
        {"", hawaii, "tokyo-ma15-jpn-jodc_jma", ETidePortSource::Home, 0},  // far from every port
        {"", none, "tokyo-ma15-jpn-jodc_jma", ETidePortSource::Home, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        const CTidePortDefault chosen = ChooseTidePort(Shipped(), choices, c.place, c.photo);
        ASSERT_NE(chosen.station, nullptr);
        EXPECT_EQ(chosen.station->id, c.id);
        EXPECT_EQ(chosen.source, c.source);
        EXPECT_NEAR(chosen.km, c.km, 0.2);
    }
    CTidePortChoices empty;
    const CTidePortDefault nothing = ChooseTidePort(Shipped(), empty, "城ヶ島", none);
    EXPECT_EQ(nothing.station, nullptr);
    EXPECT_EQ(nothing.source, ETidePortSource::None);
}

// 満潮 and 干潮 take every high and low of the Japan-time day, "H:MM" joined by " / ", in order.
TEST(TideDayTexts, EveryHighAndLowOfTheDayAsHourAndMinute)
{
    const std::regex times(R"(([1-9]?[0-9]:[0-5][0-9])( / ([1-9]?[0-9]:[0-5][0-9]))*)");
    struct Case {
        const char* id;
        int year, month, day;
    } cases[] = {
        {"tokyo-ma15-jpn-jodc_jma", 2027, 5, 3},
        {"tokyo-ma15-jpn-jodc_jma", 2026, 12, 31},
        {"toyama-ma56-jpn-jodc_jma", 2027, 1, 1},  // the Sea of Japan's small tides
        {"naha-ma44-jpn-jodc_jma", 2027, 8, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " " + std::to_string(c.month) + "/" +
                     std::to_string(c.day));
        const CTideStation* station = Shipped().FindById(c.id);
        ASSERT_NE(station, nullptr);
        const CTideDayTexts texts = DayTideTexts(*station, c.year, c.month, c.day);
        EXPECT_TRUE(std::regex_match(texts.high, times)) << texts.high;
        EXPECT_TRUE(std::regex_match(texts.low, times)) << texts.low;
        size_t highs = 0;
        size_t lows = 0;
        for (const CTideExtreme& e : CTidePredictor(*station).DayExtremes(c.year, c.month, c.day)) {
            const std::string time = std::to_string(e.hour) + ":" + (e.minute < 10 ? "0" : "") +
                                     std::to_string(e.minute);
            const std::string& field = e.high ? texts.high : texts.low;
            const size_t count = e.high ? highs++ : lows++;
            // The n-th time in the field is the n-th high (or low) of the day.
            size_t at = 0;
            for (size_t k = 0; k < count; ++k) at = field.find(" / ", at) + 3;
            EXPECT_EQ(field.compare(at, time.size(), time), 0) << field << " lacks " << time;
        }
        EXPECT_GE(highs, 1u);
        EXPECT_GE(lows, 1u);
    }
}

}  // namespace
