#include "reports/CatchConditions.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "calendar/MoonPhase.h"
#include "calendar/SunTimes.h"
#include "support/TideTestStations.h"
#include "tides/TideStations.h"

namespace {

// The one-wave port of the tide tests: highs at 0:00 and 12:00, lows at 6:00 and 18:00, so a
// tenth of a rise or fall is 36 minutes.
const CTideStation& TestPort()
{
    static const CTideStation port = OneWaveTideStation();
    return port;
}

CTripRecord Trip(const std::string& date, std::vector<CCatchRecord> catches,
                 const std::string& place = "港の釣り場", const std::string& water = "")
{
    CTripRecord trip;
    trip.date = date;
    trip.place = place;
    trip.water = water;
    trip.catches = std::move(catches);
    return trip;
}

CCatchCondition CatchAt(const std::string& time, const CTideStation* port = &TestPort())
{
    return ConditionsOfCatch(Trip("2024/06/01", {}), {"シーバス", "60", "2", time}, port);
}

TEST(CatchConditionsTest, StageIsTheTenthOfTheRiseOrFallSinceTheLastTurn)
{
    const struct {
        const char* time;
        const char* stage;
        int minutesSinceTurn;
        bool sinceHigh;
    } cases[] = {
        {"6時0分", "上げ1分", 0, false},  // the minute of the low water starts the rise
        {"6時35分", "上げ1分", 35, false},
        {"6時36分", "上げ2分", 36, false},
        {"9時0分", "上げ6分", 180, false},
        {"11時59分", "上げ10分", 359, false},
        {"12時0分", "下げ1分", 0, true},
        {"14時10分", "下げ4分", 130, true},
        {"17時24分", "下げ10分", 324, true},
        {"0時10分", "下げ1分", 10, true},      // after the high water at midnight
        {"23時30分", "上げ10分", 330, false},  // before the next one
        // The other forms a catch time is stored in.
        {"９時０分", "上げ6分", 180, false},
        {"9:00", "上げ6分", 180, false},
        {"09:00:00", "上げ6分", 180, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        const CCatchCondition condition = CatchAt(c.time);
        EXPECT_EQ(condition.Value(ECondition::TideStage), c.stage);
        EXPECT_EQ(condition.minutesSinceTurn, c.minutesSinceTurn);
        EXPECT_EQ(condition.sinceHigh, c.sinceHigh);
    }
}

// The tides kept between counts belong to a station's constants, not only to its id.
TEST(CatchConditionsTest, AStationOfTheSameIdWithOtherConstantsHasItsOwnTides)
{
    const CTideStation shifted = OneWaveTideStation("S2", 270);  // highs at 6:00 and 18:00
    ASSERT_EQ(shifted.id, TestPort().id);
    EXPECT_EQ(CatchAt("9時0分").Value(ECondition::TideStage), "上げ6分");
    EXPECT_EQ(CatchAt("9時0分", &shifted).Value(ECondition::TideStage), "下げ6分");
    EXPECT_EQ(CatchAt("9時0分").Value(ECondition::TideStage), "上げ6分");
}

TEST(CatchConditionsTest, TimeOfDayTurnsAnHourEitherSideOfSunriseAndSunset)
{
    const CSunDay sun = SunTimesOf(2024, 6, 1, TestPort().latitude, TestPort().longitude);
    ASSERT_TRUE(sun.valid);
    const int rise = sun.riseMinute;
    const int set = sun.setMinute;
    const struct {
        int minute;
        const char* part;
    } cases[] = {
        {rise - 61, "夜明け前"}, {rise - 60, "朝マヅメ"}, {rise + 59, "朝マヅメ"},
        {rise + 60, "日中"},     {set - 61, "日中"},      {set - 60, "夕マヅメ"},
        {set + 59, "夕マヅメ"},  {set + 60, "夜"},        {23 * 60 + 59, "夜"},
    };
    for (const auto& c : cases) {
        const std::string time =
            std::to_string(c.minute / 60) + "時" + std::to_string(c.minute % 60) + "分";
        SCOPED_TRACE(time);
        const CCatchCondition condition = CatchAt(time);
        EXPECT_EQ(condition.Value(ECondition::TimeOfDay), c.part);
        EXPECT_EQ(condition.Value(ECondition::Hour), std::to_string(c.minute / 60) + "時");
    }
}

// What cannot be known is 不明, never guessed; what can still is.
TEST(CatchConditionsTest, UnknownTimesPortsAndDatesLeaveOnlyTheirConditionsUnknown)
{
    const struct {
        const char* date;
        const char* time;
        bool port;
        const char* tideName;
        const char* hour;
        const char* stage;
        const char* timeOfDay;
    } cases[] = {
        {"2024/06/01", "時分", true, "known", "不明", "不明", "不明"},
        {"2024/06/01", "", true, "known", "不明", "不明", "不明"},
        {"2024/06/01", "7時分", true, "known", "7時", "不明", "不明"},  // no minutes
        {"2024/06/01", "25時0分", true, "known", "不明", "不明", "不明"},
        {"2024/06/01", "7時60分", true, "known", "不明", "不明", "不明"},
        {"2024/06/01", "9時0分", false, "known", "9時", "不明", "不明"},
        {"2024/06", "9時0分", true, "不明", "9時", "不明", "不明"},  // a month, not a day
    };
    const std::string tideName = MoonDayOf(2024, 6, 1).tideName;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.date) + " " + c.time + (c.port ? "" : " no port"));
        const CCatchCondition condition = ConditionsOfCatch(
            Trip(c.date, {}), {"シーバス", "", "", c.time}, c.port ? &TestPort() : nullptr);
        EXPECT_EQ(condition.Value(ECondition::TideName),
                  std::string(c.tideName) == "known" ? tideName : c.tideName);
        EXPECT_EQ(condition.Value(ECondition::Hour), c.hour);
        EXPECT_EQ(condition.Value(ECondition::TideStage), c.stage);
        EXPECT_EQ(condition.Value(ECondition::TimeOfDay), c.timeOfDay);
        EXPECT_EQ(condition.Value(ECondition::WaterTemp), kUnknownValue);
    }
}

TEST(CatchConditionsTest, ReadsTheWaterTemperatureOfTheTripsText)
{
    const struct {
        const char* text;
        const char* band;
        double celsius;
    } cases[] = {
        {"18.5", "18～20℃", 18.5},
        {"１８度", "18～20℃", 18},
        {"18～19", "18～20℃", 18.5},  // a range: its middle
        {"17〜18", "16～18℃", 17.5},
        {"16-20℃", "18～20℃", 18},
        {"水温 19.99℃", "18～20℃", 19.99},
        {"20", "20～22℃", 20},
        {"-1.5", "-2～0℃", -1.5},
        {"不明", "不明", 0},
        {"", "不明", 0},
        {"185", "不明", 0},  // no water is that warm
        {"50", "不明", 0},
        {"49.9", "48～50℃", 49.9},
        {"-5", "-6～-4℃", -5},
        {"-5.1", "不明", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CCatchCondition condition =
            ConditionsOfCatch(Trip("2024/06/01", {}, "", c.text), {}, nullptr);
        EXPECT_EQ(condition.Value(ECondition::WaterTemp), c.band);
        double celsius = 0;
        EXPECT_EQ(ReadWaterTemperature(c.text, celsius), std::string(c.band) != kUnknownValue);
        EXPECT_DOUBLE_EQ(celsius, c.celsius);
    }
}

// Ports by place: 港の釣り場 has the test port, anything else none.
class CTestPorts : public ITripPortSource {
public:
    const CTideStation* PortForPlace(const std::string& place) const override
    {
        return place == "港の釣り場" ? &TestPort() : nullptr;
    }
};

std::map<std::string, std::pair<int, int>> Rows(const std::vector<CConditionTable>& tables,
                                                ECondition condition)
{
    std::map<std::string, std::pair<int, int>> rows;
    for (const CConditionCount& row : tables.at(static_cast<size_t>(condition)).rows)
        rows[row.value] = {row.catches, row.daysFished};
    return rows;
}

std::vector<std::string> Values(const std::vector<CConditionTable>& tables, ECondition condition)
{
    std::vector<std::string> values;
    for (const CConditionCount& row : tables.at(static_cast<size_t>(condition)).rows)
        values.push_back(row.value);
    return values;
}

TEST(CatchConditionsTest, CountsCatchesOfTheYearAndSpeciesAndTheDaysFished)
{
    // 6 and 7 June 2024 are days of one tide name (the new moon of 6 June), 14 June another.
    const std::string spring = MoonDayOf(2024, 6, 6).tideName;
    ASSERT_EQ(MoonDayOf(2024, 6, 7).tideName, spring);
    const std::string other = MoonDayOf(2024, 6, 14).tideName;
    ASSERT_NE(other, spring);
    const CCatchRecord seabass9{"シーバス", "", "", "9時0分"};
    const std::vector<CTripRecord> trips = {
        Trip("2024/06/06", {seabass9, {"メバル", "", "", "9時0分"}}, "港の釣り場", "18.5"),
        Trip("2024/6/6", {seabass9}, "港の釣り場", "19"),                      // the same day again
        Trip("2024/06/07", {{"メバル", "", "", "14時10分"}}),                  // fished, no seabass
        Trip("2024/06/14", {seabass9, {"シーバス", "", "", ""}}, "遠くの磯"),  // no port
        Trip("2023/06/06", {seabass9}),                                        // another year
    };
    CTideStations stations;
    std::string error;
    ASSERT_TRUE(stations.Assign({TestPort()}, error)) << error;
    const CTestPorts ports;

    const std::vector<CConditionTable> seabass =
        CountConditions(trips, {2024, "シーバス", ""}, ports, stations);
    ASSERT_EQ(seabass.size(), static_cast<size_t>(kConditionCount));
    for (int i = 0; i < kConditionCount; ++i)
        EXPECT_EQ(seabass[i].condition, static_cast<ECondition>(i));
    auto tide = Rows(seabass, ECondition::TideName);
    EXPECT_EQ(tide[spring], std::make_pair(2, 2));  // two catches over two days fished
    EXPECT_EQ(tide[other], std::make_pair(2, 1));
    EXPECT_EQ(tide[kUnknownValue], std::make_pair(0, 0));
    auto stage = Rows(seabass, ECondition::TideStage);
    EXPECT_EQ(stage["上げ6分"], std::make_pair(2, -1));
    EXPECT_EQ(stage[kUnknownValue], std::make_pair(2, -1));  // no port; no time
    auto hour = Rows(seabass, ECondition::Hour);
    EXPECT_EQ(hour["9時"].first, 3);
    EXPECT_EQ(hour[kUnknownValue].first, 1);
    auto water = Rows(seabass, ECondition::WaterTemp);
    EXPECT_EQ(water["18～20℃"].first, 2);
    EXPECT_EQ(water[kUnknownValue].first, 2);
    EXPECT_EQ(Values(seabass, ECondition::WaterTemp),
              (std::vector<std::string>{"18～20℃", kUnknownValue}));

    // Every species; the port of the query for trips without one.
    const std::vector<CConditionTable> all =
        CountConditions(trips, {2024, "", "test"}, ports, stations);
    EXPECT_EQ(Rows(all, ECondition::TideName)[spring], std::make_pair(4, 2));
    EXPECT_EQ(Rows(all, ECondition::TideStage)["上げ6分"].first, 4);  // 遠くの磯 too
    EXPECT_EQ(Rows(all, ECondition::TideStage)["下げ4分"].first, 1);
    EXPECT_EQ(Rows(all, ECondition::TideStage)[kUnknownValue].first, 1);
}

// The counts put each catch in the band its own text names, below zero too.
TEST(CatchConditionsTest, CountsWaterTemperaturesInTheBandOfTheCatch)
{
    const struct {
        const char* water;
        const char* band;
    } cases[] = {
        {"-1.5", "-2～0℃"}, {"-0.5", "-2～0℃"}, {"0", "0～2℃"},    {"1.9", "0～2℃"},
        {"-2", "-2～0℃"},   {"-3", "-4～-2℃"},  {"49", "48～50℃"}, {"50", "不明"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.water);
        const std::vector<CTripRecord> trips = {
            Trip("2024/01/10", {{"メバル", "", "", "9時0分"}}, "港の釣り場", c.water)};
        const std::vector<CConditionTable> tables =
            CountConditions(trips, {2024, "", ""}, CTestPorts(), CTideStations());
        EXPECT_EQ(Rows(tables, ECondition::WaterTemp)[c.band].first, 1);
        EXPECT_EQ(Values(tables, ECondition::WaterTemp).front(), c.band);
        const CCatchCondition own = ConditionsOfCatch(trips[0], trips[0].catches[0], nullptr);
        EXPECT_EQ(own.Value(ECondition::WaterTemp), c.band);
    }
}

TEST(CatchConditionsTest, ListsValuesInTheirNaturalOrderWithUnknownLast)
{
    const std::vector<CTripRecord> trips = {
        Trip("2024/06/08", {{"シーバス", "", "", "9時0分"}}, "港の釣り場", "15"),
        Trip("2024/06/12", {}, "港の釣り場", "21"),
    };
    const CTestPorts ports;
    const std::vector<CConditionTable> tables =
        CountConditions(trips, {2024, "", ""}, ports, CTideStations());
    EXPECT_EQ(Values(tables, ECondition::TideName),
              (std::vector<std::string>{"大潮", "中潮", "小潮", "長潮", "若潮", "不明"}));
    EXPECT_EQ(Values(tables, ECondition::TimeOfDay),
              (std::vector<std::string>{"夜明け前", "朝マヅメ", "日中", "夕マヅメ", "夜", "不明"}));
    const std::vector<std::string> stages = Values(tables, ECondition::TideStage);
    ASSERT_EQ(stages.size(), 21u);
    EXPECT_EQ(stages[0], "上げ1分");
    EXPECT_EQ(stages[9], "上げ10分");
    EXPECT_EQ(stages[10], "下げ1分");
    EXPECT_EQ(stages[19], "下げ10分");
    const std::vector<std::string> hours = Values(tables, ECondition::Hour);
    ASSERT_EQ(hours.size(), 25u);
    EXPECT_EQ(hours[0], "0時");
    EXPECT_EQ(hours[23], "23時");
    EXPECT_EQ(hours[24], kUnknownValue);
    // Moon ages from the lowest to the highest fished, every one between included; bands only
    // of the catches (the day-level conditions count the days fished too).
    const int first = static_cast<int>(MoonDayOf(2024, 6, 8).age);
    const int last = static_cast<int>(MoonDayOf(2024, 6, 12).age);
    std::vector<std::string> ages;
    for (int age = first; age <= last; ++age) ages.push_back(std::to_string(age));
    ages.push_back(kUnknownValue);
    EXPECT_EQ(Values(tables, ECondition::MoonAge), ages);
    EXPECT_EQ(Values(tables, ECondition::WaterTemp),
              (std::vector<std::string>{"14～16℃", kUnknownValue}));

    std::ostringstream out;
    WriteConditionTables(tables, out);
    EXPECT_NE(out.str().find("潮の動き\t上げ6分\t1\t\n"), std::string::npos);
    EXPECT_NE(out.str().find("月齢\t" + std::to_string(first) + "\t1\t1\n"), std::string::npos);
}

}  // namespace
