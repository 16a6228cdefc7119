#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "places/GpsExchange.h"
#include "places/PlaceBook.h"
#include "support/TempProgramDir.h"

namespace {

// The catch times of the log as the tests write them: "7時15分".
bool ReadTestTime(const std::string& text, int& hour, int& minute)
{
    return std::sscanf(text.c_str(), "%d時%d分", &hour, &minute) == 2;
}

// Photos by name: "gps:<lat>,<lon>" records that position, anything else none.
std::optional<CGeoPoint> FakePhotoPosition(const std::string& path)
{
    CGeoPoint point;
    if (std::sscanf(path.c_str(), "gps:%lf,%lf", &point.latitude, &point.longitude) != 2) {
        return std::nullopt;
    }
    return point;
}

CTripRecord Trip(const std::string& date, const std::string& place,
                 std::vector<std::string> fishPhotos, std::vector<CCatchRecord> catches)
{
    CTripRecord trip;
    trip.date = date;
    trip.place = place;
    trip.fishPhotos = std::move(fishPhotos);
    trip.catches = std::move(catches);
    return trip;
}

// The rows gpsbabel writes as "unicsv": its header's columns by name.
std::vector<std::map<std::string, std::string>> ReadUnicsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                rows.back().back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                rows.back().back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\n') {
            rows.emplace_back(1);
        } else if (c != '\r') {
            rows.back().back() += c;
        }
    }
    std::vector<std::map<std::string, std::string>> records;
    for (size_t r = 1; r < rows.size(); ++r) {
        if (rows[r].size() != rows[0].size()) continue;
        std::map<std::string, std::string> record;
        for (size_t i = 0; i < rows[0].size(); ++i) record[rows[0][i]] = rows[r][i];
        records.push_back(record);
    }
    return records;
}

std::string RunGpsbabel(const std::string& format, const std::string& path)
{
    const std::string command =
        "gpsbabel -i " + format + " -f '" + path + "' -o unicsv,utc=0 -F - 2>&1";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

TEST(GpsExchange, ExportsReadBackByGpsbabel)
{
    CPlaceBook book;
    book.SetPosition("東京湾 <奥>", {35.5, 139.8}, EPositionSource::Typed);
    book.SetPosition("相模湾 & \"沖\"", {-35.25, -139.125}, EPositionSource::Photo);
    book.SetPosition("行かなかった磯", {34, 135}, EPositionSource::Map);
    const std::vector<CTripRecord> trips = {
        Trip("2024/04/14", "東京湾 <奥>", {"gps:35.61,139.91", "none"},
             {{"シーバス", "62", "3", "7時15分"}, {"メバル", "20", "0", "5時05分"}}),
        Trip("2025/01/01", "相模湾 & \"沖\"", {}, {{"アジ", "", "", ""}}),
        Trip("2024/12/31", "どこか", {}, {{"ハゼ", "", "", "1時0分"}}),  // no place position
    };
    const std::vector<CWaypoint> all =
        CollectExportWaypoints(trips, book, 0, ReadTestTime, FakePhotoPosition);
    struct CExpected {
        std::string name;
        double latitude, longitude;
        std::string date, time;  // UTC, as gpsbabel prints it; "" for none
    };
    // Japan time 2024/04/14 7:15 is 22:15 UTC the day before.
    const std::vector<CExpected> expected = {
        {"東京湾 <奥>", 35.5, 139.8, "", ""},
        {"相模湾 & \"沖\"", -35.25, -139.125, "", ""},
        {"行かなかった磯", 34, 135, "", ""},
        {"シーバス", 35.61, 139.91, "2024/04/13", "22:15:00"},
        {"メバル", 35.5, 139.8, "2024/04/13", "20:05:00"},
        {"アジ", -35.25, -139.125, "", ""},
    };
    ASSERT_EQ(all.size(), expected.size());
    const std::string dir = MakeTempDir();
    for (const auto& [format, text] :
         {std::pair<std::string, std::string>{"gpx", WriteGpx(all)}, {"kml", WriteKml(all)}}) {
        SCOPED_TRACE(format);
        const std::string path = dir + "export." + format;
        WriteFileBytes(path, text);
        const std::string output = RunGpsbabel(format, path);
        const auto records = ReadUnicsv(output);
        ASSERT_EQ(records.size(), expected.size()) << output;
        for (size_t i = 0; i < expected.size(); ++i) {
            const auto& record = records[i];
            EXPECT_EQ(record.at("Name"), expected[i].name);
            EXPECT_NEAR(std::stod(record.at("Latitude")), expected[i].latitude, 1e-6);
            EXPECT_NEAR(std::stod(record.at("Longitude")), expected[i].longitude, 1e-6);
            EXPECT_EQ(record.at("Date"), expected[i].date);
            EXPECT_EQ(record.at("Time"), expected[i].time);
        }
        EXPECT_NE(records[3].at("Description").find("全長: 62 cm / 重さ: 3 kg"), std::string::npos);
    }
    RemoveTree(dir);
    // A year keeps its trips' catches and the places they name.
    std::vector<std::string> names;
    for (const CWaypoint& w :
         CollectExportWaypoints(trips, book, 2024, ReadTestTime, FakePhotoPosition))
        names.push_back(w.name);
    EXPECT_EQ(names, (std::vector<std::string>{"東京湾 <奥>", "シーバス", "メバル"}));
}

TEST(GpsExchange, JapanTimeBecomesUtc)
{
    const struct {
        int y, m, d, h, min;
        const char* utc;
    } cases[] = {
        {2024, 4, 14, 9, 0, "2024-04-14T00:00:00Z"},
        {2024, 4, 14, 8, 59, "2024-04-13T23:59:00Z"},
        {2025, 1, 1, 0, 30, "2024-12-31T15:30:00Z"},
        {2024, 3, 1, 3, 0, "2024-02-29T18:00:00Z"},
        {2023, 3, 1, 3, 0, "2023-02-28T18:00:00Z"},
        {2024, 2, 30, 3, 0, ""},
        {2024, 13, 1, 0, 0, ""},
        {2024, 1, 1, 24, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JapanTimeToUtcText(c.y, c.m, c.d, c.h, c.min), c.utc) << c.y << c.m << c.d;
}

TEST(GpsExchange, HostileGpxIsRefusedOrSkipped)
{
    const std::string head =
        "<?xml version=\"1.0\"?><gpx xmlns=\"http://www.topografix.com/GPX/1/1\">";
    std::string many = head;
    for (size_t i = 0; i <= kMaxGpxWaypoints; ++i)
        many += "<wpt lat=\"1\" lon=\"1\"><name>p" + std::to_string(i) + "</name></wpt>";
    many += "</gpx>";
    const struct {
        const char* what;
        std::string bytes;
        bool ok;
        size_t waypoints;
        size_t skipped;
        const char* error;
    } cases[] = {
        {"good",
         head + "<wpt lat=\"35\" lon=\"139\"><name> 磯 </name><time>2024-04-13T22:15:00Z"
                "</time></wpt><wpt lat=\"-1.5\" lon=\"-2\"><name>b&amp;c</name></wpt></gpx>",
         true, 2, 0, ""},
        {"GPX 1.0",
         "<gpx version=\"1.0\" xmlns=\"http://www.topografix.com/GPX/1/0\"><wpt lat=\"1\" "
         "lon=\"2\"><name>x</name></wpt></gpx>",
         true, 1, 0, ""},
        {"bad points",
         head + "<wpt lat=\"95\" lon=\"1\"><name>a</name></wpt><wpt lat=\"x\" "
                "lon=\"1\"><name>b</name></wpt><wpt lat=\"1\" lon=\"1\"/>"
                "<wpt lat=\"1\" lon=\"1\"><name>ok</name></wpt></gpx>",
         true, 1, 3, ""},
        {"track points are not places",
         head + "<trk><trkseg><trkpt lat=\"1\" lon=\"1\"><name>t"
                "</name></trkpt></trkseg></trk></gpx>",
         true, 0, 0, ""},
        {"not GPX", "<kml><Placemark/></kml>", false, 0, 0, "GPX ファイルではありません"},
        {"not XML", "lat,lon\n35,139\n", false, 0, 0, "壊れて"},
        {"cut", head + "<wpt lat=\"1\" lon=\"1\"><name>x</name></wpt><wpt lat=", false, 0, 0,
         "壊れて"},
        {"entity bomb",
         "<?xml version=\"1.0\"?><!DOCTYPE gpx [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
         "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><gpx><wpt lat=\"1\" lon=\"1\"><name>&b;</name>"
         "</wpt></gpx>",
         false, 0, 0, "文書型宣言"},
        {"external entity",
         "<?xml version=\"1.0\"?><!DOCTYPE gpx SYSTEM \"file:///etc/passwd\"><gpx/>", false, 0, 0,
         "文書型宣言"},
        {"too many", many, false, 0, 0, "多すぎ"},
        {"huge", std::string(kMaxGpxFileBytes + 1, ' '), false, 0, 0, "大きすぎ"},
        {"empty", "", false, 0, 0, ""},
    };
    for (const auto& c : cases) {
        std::vector<CWaypoint> waypoints;
        size_t skipped = 99;
        std::string error;
        EXPECT_EQ(ReadGpxWaypoints(c.bytes, waypoints, skipped, error), c.ok) << c.what;
        EXPECT_EQ(waypoints.size(), c.waypoints) << c.what;
        if (c.ok) {
            EXPECT_EQ(skipped, c.skipped) << c.what;
        }
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    }
    std::vector<CWaypoint> waypoints;
    size_t skipped = 0;
    std::string error;
    ASSERT_TRUE(ReadGpxWaypoints(cases[0].bytes, waypoints, skipped, error));
    EXPECT_EQ(waypoints[0], (CWaypoint{"磯", {35, 139}, "2024-04-13T22:15:00Z", ""}));
    EXPECT_EQ(waypoints[1].name, "b&c");
}

TEST(GpsExchange, ImportAsksBeforeReplacingWhatTheUserSet)
{
    CPlaceBook book;
    book.SetPosition("写真の場所", {1, 1}, EPositionSource::Photo);
    book.SetPosition("決めた場所", {2, 2}, EPositionSource::Map);
    book.SetPosition("同じ場所", {3, 3}, EPositionSource::Typed);
    const std::vector<CWaypoint> waypoints = {
        {"新しい場所", {4, 4}, "", ""},
        {"写真の場所", {5, 5}, "", ""},
        {"決めた場所", {6, 6}, "", ""},
        {"同じ場所", {3, 3}, "", ""},
    };
    const auto rows = PreviewGpxImport(book, waypoints);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].action, EImportAction::Add);
    EXPECT_EQ(rows[1].action, EImportAction::Replace);
    EXPECT_EQ(rows[2].action, EImportAction::Ask);
    EXPECT_EQ(rows[3].action, EImportAction::Same);
    for (const bool replaceAsked : {false, true}) {
        CPlaceBook copy = book;
        EXPECT_EQ(ApplyGpxImport(copy, rows, replaceAsked), replaceAsked ? 3u : 2u);
        EXPECT_EQ(copy.Find("新しい場所")->source, EPositionSource::Gpx);
        EXPECT_EQ(copy.Find("写真の場所")->position, (CGeoPoint{5, 5}));
        EXPECT_EQ(copy.Find("決めた場所")->position,
                  (replaceAsked ? CGeoPoint{6, 6} : CGeoPoint{2, 2}));
    }
}

}  // namespace
