#include "places/BaseMap.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/GuardedFile.h"
#include "support/HostileBytes.h"
#include "support/TempProgramDir.h"

namespace {

const std::string kHeader = "# comment\nlurebook-basemap 1\nbox 120000 20000 155000 47000\n";

TEST(BaseMap, ReadsRingsAsStepsAndRefusesDamage)
{
    struct {
        const char* name;
        std::string bytes;
        bool ok;
        size_t rings;
        const char* error;  // a part of the error text
    } const cases[] = {
        {"one triangle", kHeader + "ring 3 139000 35000 1000 0 0 1000\n", true, 1, ""},
        {"CR LF and two rings",
         kHeader + "ring 3 139000 35000 1000 0 0 1000\r\nring 3 0 0 -5 0 0 -5\r\n", true, 2, ""},
        {"no rings", kHeader, true, 0, ""},
        {"empty", "", false, 0, "not a base map"},
        {"foreign", "{\"type\":\"Topology\"}\n", false, 0, "line 1"},
        {"newer version", "lurebook-basemap 2\n", false, 0, "version"},
        {"too few points", kHeader + "ring 2 0 0 1 1\n", false, 0, "line 4: bad point count"},
        {"count larger than steps", kHeader + "ring 4 0 0 1 1 2 2\n", false, 0, "match"},
        {"count smaller than steps", kHeader + "ring 3 0 0 1 1 2 2 3 3\n", false, 0, "match"},
        {"not a number", kHeader + "ring 3 0 0 1 x 2 2\n", false, 0, "not a number"},
        {"double blank", kHeader + "ring 3 0  0 1 1 2 2\n", false, 0, ""},
        {"off the earth", kHeader + "ring 3 179000 0 2000 0 0 1\n", false, 0, "off the earth"},
        {"huge step", kHeader + "ring 3 0 0 9223372036854775807 0 0 1\n", false, 0, "off the"},
        {"overflowing number", kHeader + "ring 3 0 0 99999999999999999999 0 0 1\n", false, 0,
         "not a number"},
        {"count beyond the cap", kHeader + "ring 99999999999 0 0\n", false, 0, "too many"},
        {"unknown line", kHeader + "lake 3 0 0 1 1 2 2\n", false, 0, "unknown line"},
        {"zero bytes", kHeader + std::string("ring 3 0 0 1 1\0 2 2", 19) + "\n", false, 0, ""},
    };
    for (const auto& c : cases) {
        CBaseMap map;
        std::string error;
        EXPECT_EQ(map.Parse(c.bytes, error), c.ok) << c.name << ": " << error;
        EXPECT_EQ(map.Rings().size(), c.rings) << c.name;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    }
    // The steps add up: the triangle's corners are where the file says.
    CBaseMap map;
    std::string error;
    ASSERT_TRUE(map.Parse(kHeader + "ring 3 139000 35000 1000 0 0 1000\n", error));
    const auto& points = map.Rings()[0].points;
    const CGeoPoint third = GeoFromMercator(points[2]);
    EXPECT_NEAR(third.longitude, 140, 1e-9);
    EXPECT_NEAR(third.latitude, 36, 1e-9);
    EXPECT_NEAR(GeoFromMercator(map.Rings()[0].min).longitude, 139, 1e-9);
    EXPECT_NEAR(GeoFromMercator(map.Rings()[0].min).latitude, 36, 1e-9);  // north is up
}

TEST(BaseMap, SurvivesHostileBytesAndFiles)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        CBaseMap map;
        std::string error;
        // Whatever the bytes, the map is either read whole or empty with a reason.
        const bool ok =
            map.Parse(kHeader + HostileBytes(4000, "ring 3 1 2 3 4 5 6\n", seed), error);
        EXPECT_EQ(ok, error.empty());
        if (!ok) {
            EXPECT_TRUE(map.IsEmpty());
        }
    }

    CTempProgramDir dir;
    const std::string good = kHeader + "ring 3 139000 35000 1000 0 0 1000\n";
    dir.WriteFile("good.txt", good);
    dir.WriteFile("huge.txt", std::string(kMaxBaseMapFileBytes + 1, '#'));
    ASSERT_EQ(::mkfifo(dir.Path("fifo.txt").c_str(), 0600), 0);
    ASSERT_EQ(::symlink(dir.Path("good.txt").c_str(), dir.Path("link.txt").c_str()), 0);
    ASSERT_EQ(::mkdir(dir.Path("folder.txt").c_str(), 0700), 0);
    struct {
        const char* file;
        bool ok;
        const char* error;
    } const cases[] = {
        {"good.txt", true, ""},
        {"link.txt", true, ""},  // a link to a good map is followed, as for the tide stations
        {"missing.txt", false, "missing.txt"},
        {"huge.txt", false, "大きすぎます"},
        {"fifo.txt", false, kNotRegularFileText},
        {"folder.txt", false, kNotRegularFileText},
    };
    for (const auto& c : cases) {
        CBaseMap map;
        std::string ignored;
        ASSERT_TRUE(map.Parse(good, ignored));  // a failed load must not keep old rings
        std::string error;
        EXPECT_EQ(map.Load(dir.Path(c.file), error), c.ok) << c.file << ": " << error;
        EXPECT_EQ(map.IsEmpty(), !c.ok) << c.file;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.file << ": " << error;
    }
}

TEST(BaseMap, ShippedMapHoldsJapan)
{
    CBaseMap map;
    std::string error;
    ASSERT_TRUE(map.Load(std::string(LUREBOOK_SOURCE_DIR) + "/assets/places/japan-land.txt", error))
        << error;
    // Honshu is the ring with the most points inside Japan; Tokyo and Osaka lie inside its box.
    const CMercatorPoint tokyo = MercatorFromGeo({35.68, 139.77});
    const CMercatorPoint osaka = MercatorFromGeo({34.69, 135.50});
    int holding = 0;
    for (const CBaseMapRing& ring : map.Rings()) {
        const auto inside = [&](const CMercatorPoint& p) {
            return p.x >= ring.min.x && p.x <= ring.max.x && p.y >= ring.min.y && p.y <= ring.max.y;
        };
        holding += inside(tokyo) && inside(osaka) ? 1 : 0;
    }
    EXPECT_GE(holding, 1);
    EXPECT_GT(map.Rings().size(), 100u);  // the islands
}

}  // namespace
