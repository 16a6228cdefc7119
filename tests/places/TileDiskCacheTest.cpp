#include "places/TileDiskCache.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "data/FullDisk.h"
#include "support/TempProgramDir.h"

namespace {

TEST(TileFreshness, FollowsTheServersHeaders)
{
    const std::int64_t now = 1'700'000'000;
    std::int64_t date = 0;
    ASSERT_TRUE(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT", date));
    EXPECT_EQ(date, 784111777);
    struct {
        const char* cacheControl;
        const char* expires;
        bool store;
        std::int64_t expiresAt;
    } const cases[] = {
        {"", "", true, now + 86400},
        {"max-age=3600", "", true, now + 3600},
        {"public, MAX-AGE=60 ", "", true, now + 60},
        {"max-age=0", "", true, now},
        {"no-cache", "", true, now},
        {"no-store", "", false, now + 86400},
        {"max-age=99999999999999999999999", "", true, now + 365 * 86400},
        {"max-age=-5", "", true, now + 86400},
        {"max-age=12x", "", true, now + 86400},
        {"max-age=600", "Sun, 06 Nov 1994 08:49:37 GMT", true, now + 600},  // max-age wins
        {"", "Tue, 14 Nov 2023 22:13:20 GMT", true, now},                   // that is now
        {"", "Wed, 15 Nov 2023 22:13:20 GMT", true, now + 86400},
        {"", "Sun, 06 Nov 1994 08:49:37 GMT", true, now},  // the past: expired
        {"", "0", true, now},                              // not a date: expired
        {"", "Fri, 01 Jan 2100 00:00:00 GMT", true, now + 365 * 86400},
    };
    for (const auto& c : cases) {
        const CTileFreshness f = TileFreshness(now, c.cacheControl, c.expires);
        EXPECT_EQ(f.store, c.store) << c.cacheControl << "|" << c.expires;
        EXPECT_EQ(f.expires, c.expiresAt) << c.cacheControl << "|" << c.expires;
    }
}

TEST(TileDiskCache, WritesNamesFromIntegersAndReadsBackOnlyItsOwn)
{
    CTempProgramDir dir;
    CTileDiskCache cache(dir.Path("tiles/std"), 1 << 20);
    std::string error;
    ASSERT_TRUE(cache.Write({14, 14552, 6451}, "\x89PNG tile", 12345, error)) << error;
    EXPECT_TRUE(dir.Exists("tiles/std/14-14552-6451.tile"));
    CCachedTile tile;
    ASSERT_TRUE(cache.Read({14, 14552, 6451}, tile));
    EXPECT_EQ(tile.bytes, "\x89PNG tile");
    EXPECT_EQ(tile.expires, 12345);

    // Refused writes leave nothing behind.
    struct {
        CTileKey key;
        std::string bytes;
    } const refused[] = {{{3, 8, 0}, "x"},
                         {{-1, 0, 0}, "x"},
                         {{19, 0, 0}, "x"},
                         {{1, 0, 0}, ""},
                         {{1, 0, 0}, std::string(kMaxTileBytes + 1, 'x')}};
    for (const auto& r : refused) EXPECT_FALSE(cache.Write(r.key, r.bytes, 0, error));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("tiles/std")),
                            std::filesystem::directory_iterator()),
              1);

    // What is not ours under our names is neither read as a tile nor written through.
    dir.WriteFile("tiles/std/1-0-0.tile", "\x89PNG without our header");
    dir.WriteFile("secret.txt", "LBTILE1\n12345678do not touch");
    ASSERT_EQ(::symlink(dir.Path("secret.txt").c_str(), dir.Path("tiles/std/1-1-0.tile").c_str()),
              0);
    ASSERT_EQ(::mkfifo(dir.Path("tiles/std/1-0-1.tile").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(dir.Path("tiles/std/1-1-1.tile").c_str(), 0700), 0);
    dir.WriteFile("tiles/std/2-0-0.tile", "LBTILE1\n");  // a header and no picture
    struct {
        CTileKey key;
        bool writable;
    } const foreign[] = {{{1, 0, 0}, true},  {{1, 1, 0}, false}, {{1, 0, 1}, false},
                         {{1, 1, 1}, false}, {{2, 0, 0}, true},  {{5, 3, 3}, true}};
    for (const auto& f : foreign) {
        CCachedTile read;
        EXPECT_FALSE(cache.Read(f.key, read)) << f.key.z << f.key.x << f.key.y;
        EXPECT_EQ(cache.Write(f.key, "jpeg", 1, error), f.writable) << f.key.x << f.key.y;
    }
    EXPECT_EQ(dir.ReadFile("secret.txt"), "LBTILE1\n12345678do not touch");
}

TEST(TileDiskCache, StaysWithinItsSizeOldestFirstAndSurvivesAFullDisk)
{
    CTempProgramDir dir;
    const std::string picture(1000, 'p');
    CTileDiskCache cache(dir.Path("tiles"), 5000);
    std::string error;
    dir.WriteFile("tiles/9-9-9.tile", std::string(3000, 'x'));  // ours by name, not by content
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(cache.Write({10, i, 0}, picture, 0, error)) << error;
        // Distinct write times, whatever the file system's clock resolution.
        const std::string path = dir.Path("tiles/" + CTileDiskCache::FileName({10, i, 0}));
        const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000 + i, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    EXPECT_LE(cache.SizeOnDisk(), 5000u);
    // The foreign file stays; the oldest tiles went, the newest are there.
    EXPECT_EQ(dir.ReadFile("tiles/9-9-9.tile").size(), 3000u);
    CCachedTile tile;
    EXPECT_FALSE(cache.Read({10, 0, 0}, tile));
    EXPECT_TRUE(cache.Read({10, 5, 0}, tile));

    // A full disk: the write fails, says so, and the tile already there is kept whole.
    {
        CFullDisk full(100);
        EXPECT_FALSE(cache.Write({10, 5, 0}, std::string(900, 'n'), 0, error));
        EXPECT_FALSE(error.empty());
    }
    ASSERT_TRUE(cache.Read({10, 5, 0}, tile));
    EXPECT_EQ(tile.bytes, picture);
}

}  // namespace
