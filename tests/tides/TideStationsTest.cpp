#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <sstream>
#include <string>
#include <vector>

#include "support/TempProgramDir.h"
#include "tides/TidePortList.h"
#include "tides/TideStations.h"

namespace {

const std::string kShipped = std::string(LUREBOOK_SOURCE_DIR) + "/assets/tides/stations.txt";

class ShippedStations : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        ASSERT_TRUE(s_stations.Load(kShipped, error)) << error;
    }
    static CTideStations s_stations;
};
CTideStations ShippedStations::s_stations;

std::vector<std::string> Ids(const std::vector<const CTideStation*>& stations)
{
    std::vector<std::string> ids;
    for (const CTideStation* s : stations) ids.push_back(s->id);
    return ids;
}

bool Contains(const std::vector<const CTideStation*>& stations, const std::string& id)
{
    for (const CTideStation* s : stations) {
        if (s->id == id) return true;
    }
    return false;
}

TEST_F(ShippedStations, EveryStationIsNamedPlacedAndComplete)
{
    EXPECT_EQ(s_stations.All().size(), 247u);
    EXPECT_EQ(s_stations.Shown().size(), 196u);
    for (const CTideStation& s : s_stations.All()) {
        SCOPED_TRACE(s.id);
        EXPECT_FALSE(s.nameJa.empty());
        EXPECT_FALSE(s.nameKana.empty());
        EXPECT_TRUE(s.prefecture.ends_with("県") || s.prefecture.ends_with("都") ||
                    s.prefecture.ends_with("府") || s.prefecture == "北海道");
        EXPECT_GT(s.latitude, 20);
        EXPECT_LT(s.latitude, 46);
        EXPECT_GT(s.longitude, 122);
        EXPECT_LT(s.longitude, 154);
        // 最低水面 lies below mean sea level by the four main constituents' amplitudes.
        const double z0 = s.FindConstituent("M2")->amplitudeM +
                          s.FindConstituent("S2")->amplitudeM +
                          s.FindConstituent("K1")->amplitudeM + s.FindConstituent("O1")->amplitudeM;
        EXPECT_NEAR(s.mslAboveDatumM, z0, 0.002);
        EXPECT_EQ(s.constituents.size(), 50u);
    }
}

TEST_F(ShippedStations, APortMeasuredTwiceIsShownOnceByTheAgencysGauge)
{
    struct Case {
        const char* id;
        const char* shown;
    } cases[] = {
        {"tokyo-ma15-jpn-jodc_jma", "tokyo-ma15-jpn-jodc_jma"},
        {"nagasaki-362-jpn-uhslc_fd", "nagasaki-ma49-jpn-jodc_jma"},
        {"nagasaki-362a-jpn-uhslc_rq", "nagasaki-ma49-jpn-jodc_jma"},
        {"kaihin-3003-jpn-jodc_pahb", "yokohama-ma16-jpn-jodc_jma"},
        {"deshimatsu-9005-jpn-jodc_pahb", "shimonoseki-ma51-jpn-jodc_jma"},
        {"moji-9010-jpn-jodc_pahb", "moji-hd17-jpn-jodc_jcg"},
        {"kure-gs13-jpn-jodc_giaj", "kure-gs13-jpn-jodc_giaj"},  // 久礼, not 呉
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const CTideStation* station = s_stations.FindById(c.id);
        ASSERT_NE(station, nullptr);
        ASSERT_NE(s_stations.ShownFor(*station), nullptr);
        EXPECT_EQ(s_stations.ShownFor(*station)->id, c.shown);
    }
    EXPECT_EQ(s_stations.FindById("ticon/tokyo-ma15-jpn-jodc_jma"), nullptr);
}

TEST_F(ShippedStations, SearchFindsPortsByKanjiKanaRomajiAndPrefecture)
{
    struct Case {
        const char* typed;
        const char* first;      // the best match
        const char* alsoFound;  // another port the list holds ("" for none)
        const char* notFound;   // a port the list leaves out ("" for none)
    } cases[] = {
        {"東京", "tokyo-ma15-jpn-jodc_jma", "", "yokohama-ma16-jpn-jodc_jma"},
        {"横浜", "yokohama-ma16-jpn-jodc_jma", "honmoku-ma60-jpn-jodc_jma",
         "tokyo-ma15-jpn-jodc_jma"},
        {"本牧", "honmoku-ma60-jpn-jodc_jma", "", "yokohama-ma16-jpn-jodc_jma"},
        {"横浜本牧", "honmoku-ma60-jpn-jodc_jma", "", ""},
        {"あぶらつぼ", "aburatsubo-gs01-jpn-jodc_giaj", "", "aburatsu-ma41-jpn-jodc_jma"},
        {"あぶらつ", "aburatsu-ma41-jpn-jodc_jma", "aburatsubo-gs01-jpn-jodc_giaj", ""},
        {"ナゴヤ", "nagoya-ma22-jpn-jodc_jma", "", ""},  // katakana finds the reading
        {"なご", "nagoya-ma22-jpn-jodc_jma", "", ""},
        {"Tokyo", "tokyo-ma15-jpn-jodc_jma", "", ""},
        {"ＮＡＧＯＹＡ", "nagoya-ma22-jpn-jodc_jma", "", ""},  // full-width letters
        {"aburatsubo", "aburatsubo-gs01-jpn-jodc_giaj", "", ""},
        {"nakano shima", "nakanoshima-hd28-jpn-jodc_jcg", "", ""},
        // Romaji of the reading, as typed with a kana keyboard or in Hepburn.
        {"toukyou", "tokyo-ma15-jpn-jodc_jma", "", ""},
        {"hachijojima", "hachijyojima-hd11-jpn-jodc_jcg", "", ""},
        {"nakagusuku", "nakgusukuwanko-0701-jpn-jodc_pahb", "", ""},
        {"choshi", "choshigyoko-ma64-jpn-jodc_jma", "", ""},
        {"kanda", "karita-9018-jpn-jodc_pahb", "", ""},
        {"神奈川", "aburatsubo-gs01-jpn-jodc_giaj", "yokosuka-hd08-jpn-jodc_jcg",
         "tokyo-ma15-jpn-jodc_jma"},
        {"kanagawa", "aburatsubo-gs01-jpn-jodc_giaj", "odawara-ma83-jpn-jodc_jma", ""},
        {"かながわ", "aburatsubo-gs01-jpn-jodc_giaj", "odawara-ma83-jpn-jodc_jma", ""},
        // A port's own name ranks before ports that merely lie in a prefecture of that name.
        {"chiba", "chiba-hd06-jpn-jodc_jcg", "mera-ma14-jpn-jodc_jma", ""},
        {"zzz", "", "", "tokyo-ma15-jpn-jodc_jma"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::vector<const CTideStation*> found = s_stations.Search(c.typed, 100);
        if (*c.first == '\0') {
            EXPECT_TRUE(found.empty());
            continue;
        }
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(found.front()->id, c.first);
        if (*c.alsoFound) {
            EXPECT_TRUE(Contains(found, c.alsoFound));
        }
        if (*c.notFound) {
            EXPECT_FALSE(Contains(found, c.notFound));
        }
        for (const CTideStation* s : found) EXPECT_TRUE(s->shownAs.empty()) << s->id;
    }
    EXPECT_EQ(s_stations.Search("", 1000).size(), s_stations.Shown().size());
    EXPECT_EQ(s_stations.Search("", 5).size(), 5u);
    // Three gauges measure Nagasaki; the list offers the port once, before the prefecture's.
    const std::vector<const CTideStation*> nagasaki = s_stations.Search("ながさき", 100);
    ASSERT_FALSE(nagasaki.empty());
    EXPECT_EQ(nagasaki.front()->id, "nagasaki-ma49-jpn-jodc_jma");
    EXPECT_EQ(std::count_if(nagasaki.begin(), nagasaki.end(),
                            [](const CTideStation* s) { return s->nameJa == "長崎"; }),
              1);
}

TEST(KanaToRomaji, ReadingsAsRomaji)
{
    struct Case {
        const char* kana;
        const char* romaji;
        const char* shortened;
    } cases[] = {
        {"とうきょう", "toukyou", "tokyo"},
        {"おおさか", "oosaka", "osaka"},
        {"はちじょうじま", "hachijoujima", "hachijojima"},
        {"わっかない", "wakkanai", "wakkanai"},
        {"ちゃっと", "chatto", "chatto"},
        {"しんじゅく", "shinjuku", "shinjuku"},
        {"きゃ", "kya", "kya"},
        {"ふくえ", "fukue", "fukue"},
        {"いっち", "itchi", "itchi"},
        {"ab", "ab", "ab"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KanaToRomaji(c.kana), c.romaji) << c.kana;
        EXPECT_EQ(ShortenLongVowels(KanaToRomaji(c.kana)), c.shortened) << c.kana;
    }
}

TEST_F(ShippedStations, ResolveTakesIdsNamesAndReadingsAndRefusesAmbiguity)
{
    struct Case {
        const char* query;
        const char* id;       // "" when nothing is resolved
        size_t closest;       // how many closest matches come back then (at least)
        bool ambiguous;       // several ports have that very name
        const char* nearest;  // the first of the closest ("" for any)
    } cases[] = {
        {"tokyo-ma15-jpn-jodc_jma", "tokyo-ma15-jpn-jodc_jma", 0, false, ""},
        {"naha-355a-jpn-uhslc_rq", "naha-355a-jpn-uhslc_rq", 0, false, ""},  // any id, shown or not
        {"東京", "tokyo-ma15-jpn-jodc_jma", 0, false, ""},
        {"とうきょう", "tokyo-ma15-jpn-jodc_jma", 0, false, ""},
        {"oosaka", "osaka-ma30-jpn-jodc_jma", 0, false, ""},
        {"Nagasaki", "nagasaki-ma49-jpn-jodc_jma", 0, false, ""},
        {"長崎", "nagasaki-ma49-jpn-jodc_jma", 0, false, ""},
        {"弟子待", "deshimatsu-9005-jpn-jodc_pahb", 0, false, ""},
        {"Kure", "", 2, true, ""},    // 呉 and 久礼
        {"えさし", "", 2, true, ""},  // 江差 and 枝幸
        {"東", "", 1, false, ""},     // only a part of names
        {"", "", 0, false, ""},
        // Other romanisations of a name are that name.
        {"tokio", "tokyo-ma15-jpn-jodc_jma", 0, false, ""},
        {"TOOKYOO", "tokyo-ma15-jpn-jodc_jma", 0, false, ""},
        {"kagosima", "kagoshima-ma42-jpn-jodc_jma", 0, false, ""},
        {"hakodade", "", 1, false, "hakodate-ma06-jpn-jodc_jma"},
        // Misspellings are not found, but the port meant comes first among the suggestions.
        {"Kagoshma", "", 1, false, "kagoshima-ma42-jpn-jodc_jma"},
        {"nagasak", "", 1, false, "nagasaki-ma49-jpn-jodc_jma"},
        {"wakanai", "", 1, false, "wakkanai-ma01-jpn-jodc_jma"},
        {"かごしあ", "", 1, false, "kagoshima-ma42-jpn-jodc_jma"},
        {"ワッカナイ港", "", 1, false, "wakkanai-ma01-jpn-jodc_jma"},
        {"稚内港", "", 1, false, "wakkanai-ma01-jpn-jodc_jma"},
        {"鹿児嶋", "", 1, false, "kagoshima-ma42-jpn-jodc_jma"},
        {"ユラ", "", 0, false, ""},  // too short to be a misspelling of 布良 (めら)
        {"qqqqqq", "", 0, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        std::vector<const CTideStation*> closest;
        bool ambiguous = !c.ambiguous;
        const CTideStation* station = s_stations.Resolve(c.query, &closest, &ambiguous);
        EXPECT_EQ(ambiguous, c.ambiguous);
        if (*c.id) {
            ASSERT_NE(station, nullptr);
            EXPECT_EQ(station->id, c.id);
        } else {
            EXPECT_EQ(station, nullptr);
            EXPECT_GE(closest.size(), c.closest) << testing::PrintToString(Ids(closest));
            if (c.closest == 0) {
                EXPECT_TRUE(closest.empty()) << testing::PrintToString(Ids(closest));
            }
            if (*c.nearest && !closest.empty()) {
                EXPECT_EQ(closest.front()->id, c.nearest);
            }
        }
    }
}

TEST(CanonicalRomaji, OneSpellingForTheWaysANameIsRomanised)
{
    struct Case {
        const char* typed;
        const char* canonical;
    } cases[] = {
        {"tokyo", "tokyo"},
        {"toukyou", "tokyo"},
        {"tokio", "tokyo"},
        {"Tôkyô", "tokyo"},
        {"Tōkyō", "tokyo"},
        {"shimonoseki", "simonoseki"},
        {"chiba", "tiba"},
        {"tsuruga", "turuga"},
        {"fukue", "hukue"},
        {"hachijyojima", "hatizyozima"},
        {"hachijojima", "hatizyozima"},
        {"oshima", "osima"},
        {"ohshima", "osima"},
        {"shimbashi", "sinbasi"},
        {"matsuyama", "matuyama"},
        {"wakkanai", "wakkanai"},
        {"itchi", "iti"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CanonicalRomaji(c.typed), c.canonical) << c.typed;
}

TEST(EditDistance, CountsCharactersNotBytes)
{
    struct Case {
        const char* a;
        const char* b;
        size_t edits;
    } cases[] = {
        {"", "", 0},
        {"abc", "", 3},
        {"kagoshma", "kagoshima", 1},
        {"nagasak", "nagasaki", 1},
        {"稚内港", "稚内", 1},
        {"長先", "長崎", 1},
        {"かごしあ", "かごしま", 1},
        {"tokyo", "kyoto", 4},
        {"東京", "京東", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EditDistance(c.a, c.b), c.edits) << c.a << " " << c.b;
        EXPECT_EQ(EditDistance(c.b, c.a), c.edits) << c.b << " " << c.a;
    }
}

TEST_F(ShippedStations, NearestPortAndItsDistance)
{
    struct Case {
        double latitude, longitude;
        const char* id;
        double km;
    } cases[] = {
        {35.6486, 139.77, "tokyo-ma15-jpn-jodc_jma", 0.0},
        {35.16, 139.6155, "aburatsubo-gs01-jpn-jodc_giaj", 0.0},
        {32.735, 129.866117, "nagasaki-ma49-jpn-jodc_jma", 0.0},  // never a hidden gauge
        {35.0, 136.9, "nagoya-ma22-jpn-jodc_jma", 10.2},
    };
    for (const Case& c : cases) {
        double km = -1;
        const CTideStation* station = s_stations.Nearest(c.latitude, c.longitude, &km);
        ASSERT_NE(station, nullptr);
        EXPECT_EQ(station->id, c.id);
        EXPECT_NEAR(km, c.km, 0.2);
    }
}

TEST_F(ShippedStations, ThePortListHasOneTabSeparatedLinePerShownPort)
{
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(PrintTidePorts(kShipped, out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    std::istringstream lines(out.str());
    std::string line;
    size_t count = 0;
    bool sawTokyo = false;
    while (std::getline(lines, line)) {
        ++count;
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 5) << line;
        if (line == "tokyo-ma15-jpn-jodc_jma\t東京\tTokyo\t東京都\t35.64862\t139.77000")
            sawTokyo = true;
        EXPECT_EQ(line.find("uhslc_rq"), std::string::npos) << line;  // never a hidden gauge
    }
    EXPECT_EQ(count, s_stations.Shown().size());
    EXPECT_TRUE(sawTokyo) << out.str().substr(0, 400);

    std::ostringstream none;
    EXPECT_EQ(PrintTidePorts("/nonexistent/stations.txt", none, err), 1);
    EXPECT_EQ(none.str(), "");
    EXPECT_NE(err.str().find("/nonexistent/stations.txt"), std::string::npos) << err.str();
}

TEST(TideStationFile, BrokenFilesNameTheLineAndTheReason)
{
    const std::string good = "a\tA\tあ\tあ\t東京都\t35\t139\t1.0\t-\tM2:0.5:10 S2:0.2:30\n";
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"too few columns", good + "b\tB\tい\n", " 2 行目: 列が 10 個ではなく 3 個です"},
        {"bad latitude", "# c\n" + good + "b\tB\tい\tい\t東京都\t95\t139\t1\t-\tM2:1:2\n",
         " 3 行目: 緯度・経度"},
        {"bad constituent", "b\tB\tい\tい\t東京都\t35\t139\t1\t-\tM2:x:2\n",
         " 1 行目: 分潮「M2:x:2」"},
        {"twice", good + good, "港 a が二度あります"},
        {"shown as unknown", "b\tB\tい\tい\t東京都\t35\t139\t1\tzz\tM2:1:2\n",
         "表示先 zz は一覧に表示される港ではありません"},
        {"empty", "# nothing\n", "港が一つもありません"},
        {"not UTF-8", "a\tA\t\x93\x8c\t\n", "UTF-8 のテキストではありません"},
        {"unknown constituent", good + "b\tB\tい\tい\t東京都\t35\t139\t1\t-\tM2:1:2 XQ7:0.1:3\n",
         " 2 行目: 分潮 XQ7 は知らない名前です"},
        {"lower-case name", "b\tB\tい\tい\t東京都\t35\t139\t1\t-\tm2:1:2\n",
         " 1 行目: 分潮 m2 は知らない名前です"},
        {"duplicate constituent", "b\tB\tい\tい\t東京都\t35\t139\t1\t-\tK1:1:2 K1:1:3\n",
         " 1 行目: 分潮 K1 が二度あります"},
        {"phase 1e300", "b\tB\tい\tい\t東京都\t35\t139\t1\t-\tM2:1:1e300\n",
         " 1 行目: 分潮 M2 の遅角が範囲"},
        {"phase below -360", "b\tB\tい\tい\t東京都\t35\t139\t1\t-\tM2:1:-361\n",
         " 1 行目: 分潮 M2 の遅角が範囲"},
        {"amplitude 25 m", "b\tB\tい\tい\t東京都\t35\t139\t1\t-\tM2:25:10\n",
         " 1 行目: 分潮 M2 の振幅が範囲"},
        {"negative amplitude", "b\tB\tい\tい\t東京都\t35\t139\t1\t-\tM2:-0.1:10\n",
         " 1 行目: 分潮 M2 の振幅が範囲"},
        {"huge", std::string(9 * 1024 * 1024, '#'), "stations.txt"},
    };
    CTempProgramDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.WriteFile("stations.txt", c.bytes);
        CTideStations stations;
        std::string error;
        EXPECT_FALSE(stations.Load(dir.Path("stations.txt"), error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_NE(error.find("stations.txt"), std::string::npos) << error;
        EXPECT_TRUE(stations.All().empty());
    }
    CTideStations stations;
    std::string error;
    EXPECT_FALSE(stations.Load(dir.Path("missing.txt"), error));
    EXPECT_NE(error.find("missing.txt"), std::string::npos);
    // Neither a pipe nor a folder is read (a pipe would block the program's start).
    ASSERT_EQ(mkfifo(dir.Path("fifo.txt").c_str(), 0600), 0);
    EXPECT_FALSE(stations.Load(dir.Path("fifo.txt"), error));
    EXPECT_NE(error.find("fifo.txt"), std::string::npos) << error;
    EXPECT_FALSE(stations.Load(dir.Path(""), error));
}

TEST(TideStationFile, ForeignButSoundFilesLoad)
{
    const std::string good = "a\tA\tあ\tあ\t東京都\t35\t139\t1.0\t-\tM2:0.5:10 S2:0.2:30\n";
    const std::string second = "b\tB\tい\tい\t東京都\t35\t139\t1.0\t-\tK1:0.3:-20\n";
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"LF", good + second},
        {"CR LF", "# comment\r\n" + good.substr(0, good.size() - 1) + "\r\n" +
                      second.substr(0, second.size() - 1) + "\r\n"},
        {"a UTF-8 BOM", "\xEF\xBB\xBF" + good + second},
        {"BOM and CR LF",
         "\xEF\xBB\xBF# c\r\n" + good + second.substr(0, second.size() - 1) + "\r\n"},
        {"no newline at the end", good + second.substr(0, second.size() - 1)},
    };
    CTempProgramDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.WriteFile("stations.txt", c.bytes);
        CTideStations stations;
        std::string error;
        ASSERT_TRUE(stations.Load(dir.Path("stations.txt"), error)) << error;
        ASSERT_EQ(stations.All().size(), 2u);
        EXPECT_EQ(stations.All()[0].id, "a");
        EXPECT_DOUBLE_EQ(stations.All()[0].constituents[1].phaseDeg, 30);
        EXPECT_EQ(stations.All()[1].constituents[0].name, "K1");
        EXPECT_DOUBLE_EQ(stations.All()[1].constituents[0].phaseDeg, -20);
    }
    // Through a symbolic link, as a distribution may install it.
    ASSERT_EQ(symlink(dir.Path("stations.txt").c_str(), dir.Path("link.txt").c_str()), 0);
    CTideStations stations;
    std::string error;
    ASSERT_TRUE(stations.Load(dir.Path("link.txt"), error)) << error;
    EXPECT_EQ(stations.All().size(), 2u);
}

TEST(TideStationFile, StationsFromMemoryAreCheckedAsTheFilesAre)
{
    CTideStation station;
    station.id = station.nameJa = station.nameKana = station.nameRomaji = "a";
    station.prefecture = "東京都";
    station.constituents = {{"M2", 1.0, 10}, {"Q9", 0.1, 20}};
    CTideStations stations;
    std::string error;
    EXPECT_FALSE(stations.Assign({station}, error));
    EXPECT_NE(error.find("港 a: 分潮 Q9 は知らない名前です"), std::string::npos) << error;
    station.constituents[1] = {"K1", 0.1, 1e300};
    EXPECT_FALSE(stations.Assign({station}, error));
    EXPECT_NE(error.find("遅角が範囲"), std::string::npos) << error;
    station.constituents[1].phaseDeg = 350;
    EXPECT_TRUE(stations.Assign({station}, error)) << error;
}

}  // namespace
