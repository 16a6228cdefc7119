// What the yearly report gathers from the trips of a year.
#include <gtest/gtest.h>

#include "reports/ReportTrips.h"
#include "reports/YearReport.h"
#include "support/TideTestStations.h"

namespace {

CCatchRecord Fish(const std::string& name, const std::string& height, const std::string& weight)
{
    return {name, height, weight, "6時0分"};
}

std::vector<std::string> Names(const CYearReport& report)
{
    std::vector<std::string> names;
    for (const auto& species : report.species) names.push_back(species.name);
    return names;
}

TEST(YearReportTest, TotalsCountOnlyTripsOfTheYearAndEachDayOnce)
{
    const std::vector<CTripRecord> trips = {
        ReportTrip("2024/3/10", {Fish("アジ", "20", "0.1"), Fish("アジ", "21", "0.1")}),
        ReportTrip("2024/3/10", {Fish("サバ", "30", "0.4")}),  // a second trip on the same day
        ReportTrip("2024/03/11", {}),
        ReportTrip("2023/3/12", {Fish("アジ", "20", "0.1")}),
        ReportTrip("20241/3/12", {Fish("アジ", "20", "0.1")}),  // not the year 2024
        ReportTrip("2024/12/31", {Fish("", "20", "0.1")}),      // a catch without a name
    };
    const CYearReport report = BuildYearReport(trips, 2024);
    EXPECT_EQ(report.tripCount, 4);
    EXPECT_EQ(report.catchCount, 4);
    EXPECT_EQ(report.daysFished[3], 2);
    EXPECT_EQ(report.daysFished[12], 1);
    EXPECT_EQ(report.daysFished[5], 0);
    ASSERT_EQ(Names(report), (std::vector<std::string>{"アジ", "サバ"}));
    ASSERT_EQ(report.trips.size(), 4u);
    EXPECT_EQ(report.trips[1].catches, 1);
    EXPECT_EQ(report.species[0].monthly[3], 2);

    const CYearReport none = BuildYearReport(trips, 2019);
    EXPECT_TRUE(none.empty());
    EXPECT_FALSE(none.hasHeaviest);
    EXPECT_TRUE(none.species.empty());
}

TEST(YearReportTest, TripsAreListedByDateSameDayInFileOrder)
{
    const std::vector<CTripRecord> trips = {
        ReportTrip("2024/10/2", {}, {}, "a"),  ReportTrip("2024/2/20", {}, {}, "b"),
        ReportTrip("2024/10/02", {}, {}, "c"), ReportTrip("2023/1/1", {}, {}, "x"),
        ReportTrip("2024/9/30", {}, {}, "d"),  ReportTrip("2024/1/5", {}, {}, "e"),
        ReportTrip("2024/12/31", {}, {}, "f"),
    };
    std::string places;
    for (const CYearReportTrip& trip : BuildYearReport(trips, 2024).trips) places += trip.place;
    EXPECT_EQ(places, "ebdacf");
}

TEST(YearReportTest, SpeciesWithMoreCatchesComeFirstEqualCountsInOrderFirstCaught)
{
    const struct {
        std::vector<std::vector<const char*>> tripCatches;
        std::vector<std::string> expected;
    } cases[] = {
        {{{"メバル"}, {"アジ", "アジ"}}, {"アジ", "メバル"}},
        {{{"メバル", "アジ"}, {"カサゴ"}}, {"メバル", "アジ", "カサゴ"}},
        {{{"カサゴ", "アジ"}, {"アジ", "カサゴ", "メバル", "メバル", "メバル"}},
         {"メバル", "カサゴ", "アジ"}},
    };
    for (const auto& c : cases) {
        std::vector<CTripRecord> trips;
        for (const auto& names : c.tripCatches) {
            std::vector<CCatchRecord> catches;
            for (const char* name : names) catches.push_back(Fish(name, "10", "0.1"));
            trips.push_back(ReportTrip("2024/5/1", catches));
        }
        EXPECT_EQ(Names(BuildYearReport(trips, 2024)), c.expected);
    }
}

TEST(YearReportTest, TopTenIsHeaviestByExactValueThenLongerThenEarlierThenFileOrder)
{
    // Positions in the file of the trips below, one catch each: the expected top ten.
    std::vector<CTripRecord> trips = {
        ReportTrip("2024/6/1", {Fish("シーバス", "50", "1.10")}, {}, "a"),
        ReportTrip("2024/5/1", {Fish("シーバス", "60", "1.1")}, {}, "b"),    // same weight, longer
        ReportTrip("2024/4/1", {Fish("シーバス", "50", "1.100")}, {}, "c"),  // equal, earlier
        ReportTrip("2024/6/1", {Fish("シーバス", "50", "1.1")}, {},
                   "d"),  // equal to a, later in file
        ReportTrip("2024/7/1", {Fish("シーバス", "30", "0.35")}, {}, "e"),
        ReportTrip("2024/7/2", {Fish("シーバス", "90", "10")}, {}, "f"),  // 10 kg above 9.9 kg
        ReportTrip("2024/7/3", {Fish("シーバス", "80", "9.9")}, {}, "g"),
    };
    for (int n = 0; n < 6; ++n)
        trips.push_back(ReportTrip("2024/8/1", {Fish("シーバス", "10", "0.1")}, {}, "small"));
    trips.push_back(ReportTrip("2023/1/1", {Fish("シーバス", "95", "12")}, {}, "old best"));
    const CYearReport report = BuildYearReport(trips, 2024);
    ASSERT_EQ(report.species.size(), 1u);
    const auto& top = report.species[0].top;
    ASSERT_EQ(top.size(), 10u);
    std::string places;
    for (const auto& entry : top) places += entry.place + ",";
    EXPECT_EQ(places, "f,g,b,c,a,d,e,small,small,small,");
    EXPECT_EQ(top[2].weightText, "1.1");
    EXPECT_EQ(report.species[0].catches, 13);
    // The best of all years lies in 2023: nothing of 2024 is marked.
    for (const auto& entry : top) EXPECT_FALSE(entry.personalBest) << entry.place;
    EXPECT_EQ(report.heaviest.place, "f");

    trips.pop_back();
    const CYearReport withBest = BuildYearReport(trips, 2024);
    ASSERT_EQ(withBest.species.size(), 1u);
    ASSERT_FALSE(withBest.species[0].top.empty());
    EXPECT_TRUE(withBest.species[0].top[0].personalBest);
    EXPECT_TRUE(withBest.heaviest.personalBest);
}

TEST(YearReportTest, PhotosOfTheSpeciesTripsEachOnceAtMostTwelve)
{
    std::vector<CTripRecord> trips = {
        ReportTrip("2024/1/1", {Fish("アジ", "1", "1"), Fish("アジ", "1", "1")},
                   {"a1.jpg", "a2.jpg"}),
        ReportTrip("2024/1/2", {Fish("サバ", "1", "2")}, {"s1.jpg", "a1.jpg"}),
        ReportTrip("2024/1/3", {Fish("アジ", "1", "0.5")}, {}),
    };
    for (int n = 0; n < 8; ++n)
        trips.push_back(
            ReportTrip("2024/2/1", {Fish("イワシ", "1", "0.1")},
                       {"i" + std::to_string(n) + "a.jpg", "i" + std::to_string(n) + "b.jpg"}));
    const CYearReport report = BuildYearReport(trips, 2024);
    ASSERT_EQ(Names(report), (std::vector<std::string>{"イワシ", "アジ", "サバ"}));
    ASSERT_EQ(report.species[0].photos.size(), 12u);
    EXPECT_EQ(report.species[0].photos.back(), "i5b.jpg");
    EXPECT_EQ(report.species[1].photos, (std::vector<std::string>{"a1.jpg", "a2.jpg"}));
    EXPECT_EQ(report.species[2].photos, (std::vector<std::string>{"s1.jpg", "a1.jpg"}));
    // The heaviest catch brings the first fish photo of its trip.
    EXPECT_EQ(report.heaviest.species, "サバ");
    EXPECT_EQ(report.heaviestPhoto, "s1.jpg");
}

TEST(YearReportTest, TripRowsCarryTheTideOfTheirDay)
{
    const struct {
        const char* date;
        const char* tide;
    } cases[] = {
        {"2024/1/11", "大潮"},  // new moon
        {"2024/1/25", "大潮"},  // full moon
        {"2024/1/18", "小潮"},  // first quarter
        {"2024/2/30", ""},      // no such day
        {"2024/13/1", ""},
    };
    for (const auto& c : cases) {
        const CYearReport report = BuildYearReport({ReportTrip(c.date, {})}, 2024);
        ASSERT_EQ(report.trips.size(), 1u) << c.date;
        EXPECT_EQ(report.trips[0].tideName, c.tide) << c.date;
    }
}

TEST(YearReportTest, EachTripListsTheTidesOfItsDayAtItsPort)
{
    const CTideStation port = OneWaveTideStation();
    const CTripPortFinder portOf = [&port](const std::string& place) {
        return place == "城ヶ島" ? &port : nullptr;
    };
    const struct {
        const char* date;
        const char* place;
        const char* port;
        const char* times;
    } cases[] = {
        {"2024/5/3", "城ヶ島", "テスト港", "満0:00 12:00 干6:00 18:00"},
        {"2024/12/31", "城ヶ島", "テスト港", "満0:00 12:00 干6:00 18:00"},
        {"2024/5/3", "名もない磯", "", ""},  // no port for the place, none at home
        {"2024/2/30", "城ヶ島", "", ""},     // no such day
    };
    for (const auto& c : cases) {
        const CYearReport report =
            BuildYearReport({ReportTrip(c.date, {}, {}, c.place)}, 2024, portOf);
        ASSERT_EQ(report.trips.size(), 1u) << c.date;
        EXPECT_EQ(report.trips[0].tidePort, c.port) << c.date << " " << c.place;
        EXPECT_EQ(report.trips[0].tideTimes, c.times) << c.date << " " << c.place;
    }
    const CYearReport noPort = BuildYearReport({ReportTrip("2024/5/3", {})}, 2024);
    ASSERT_EQ(noPort.trips.size(), 1u);
    EXPECT_EQ(noPort.trips[0].tideTimes, "");
}

}  // namespace

TEST(YearReportTest, ColumnsGetTheirTextsWidthsAndShareTheRestOrCutTheWidest)
{
    const struct {
        std::vector<double> natural;
        double total;
        std::vector<double> expected;
    } cases[] = {
        {{100, 300, 100}, 1000, {200, 600, 200}},         // room to spare, shared in proportion
        {{100, 300, 100}, 500, {100, 300, 100}},          // exactly
        {{100, 900, 200, 50}, 650, {100, 300, 200, 50}},  // the widest alone is cut
        {{100, 900, 700, 50}, 650, {100, 250, 250, 50}},  // the two widest to one width
        {{400, 400}, 300, {150, 150}},
        {{0, 0}, 100, {50, 50}},
        {{}, 100, {}},
    };
    for (const auto& c : cases) {
        const std::vector<double> widths = FitColumnWidths(c.natural, c.total);
        ASSERT_EQ(widths.size(), c.expected.size());
        for (size_t n = 0; n < widths.size(); ++n)
            EXPECT_NEAR(widths[n], c.expected[n], 1e-9) << c.total << " column " << n;
    }
}
