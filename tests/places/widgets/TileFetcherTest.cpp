#include "places/widgets/TileFetcher.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "places/widgets/LocalTileServer.h"
#include "places/widgets/MapSettings.h"

namespace {

QList<CTileKey> Keys(int count)
{
    QList<CTileKey> keys;
    for (int i = 0; i < count; ++i) keys.append({10, 900 + i, 400});
    return keys;
}

int CacheFiles(const QString& folder)
{
    return static_cast<int>(QDir(folder).entryList(QDir::Files | QDir::System).size());
}

TEST(TileFetcher, FetchesAtMostFourAtOnceNamesItselfAndCaches)
{
    CLocalTileServer server;
    QTemporaryDir cache;
    CTileFetcher fetcher(server.Template(QStringLiteral("good")), cache.path(), 1 << 24);
    QSignalSpy arrived(&fetcher, &CTileFetcher::TileArrived);
    fetcher.Want(Keys(10));
    EXPECT_EQ(fetcher.RequestsInFlight(), kMaxTileRequests);
    QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 10, 10000);
    EXPECT_LE(server.mostOpen, kMaxTileRequests);
    ASSERT_EQ(server.paths.size(), 10);
    EXPECT_EQ(server.paths[0], QStringLiteral("/good/10/900/400.png"));
    EXPECT_TRUE(server.userAgents[0].startsWith(QStringLiteral("Lurebook/" LUREBOOK_VERSION)));
    const QImage* tile = fetcher.Tile({10, 901, 400});
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile->size(), QSize(256, 256));
    EXPECT_EQ(tile->pixelColor(10, 10), QColor((901 * 40) % 256, (400 * 40) % 256, 128));
    EXPECT_EQ(CacheFiles(cache.path()), 10);
    EXPECT_TRUE(QFile::exists(cache.filePath(QStringLiteral("10-901-400.tile"))));

    // A new window on the same cache shows the tiles without asking the server again.
    CTileFetcher again(server.Template(QStringLiteral("good")), cache.path(), 1 << 24);
    ASSERT_NE(again.Tile({10, 905, 400}), nullptr);
    again.Want(Keys(10));
    EXPECT_EQ(again.RequestsInFlight(), 0);
    EXPECT_EQ(server.paths.size(), 10);
}

TEST(TileFetcher, OfflineAsksNothingAndStillShowsTheCache)
{
    CLocalTileServer server;
    QTemporaryDir cache;
    {
        CTileFetcher warm(server.Template(QStringLiteral("good")), cache.path(), 1 << 24);
        QSignalSpy arrived(&warm, &CTileFetcher::TileArrived);
        warm.Want(Keys(1));
        QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, 10000);
    }
    const int asked = static_cast<int>(server.paths.size());
    CTileFetcher fetcher(server.Template(QStringLiteral("good")), cache.path(), 1 << 24);
    fetcher.SetOnline(false);
    fetcher.Want(Keys(8));
    EXPECT_EQ(fetcher.RequestsInFlight(), 0);
    EXPECT_NE(fetcher.Tile({10, 900, 400}), nullptr);
    EXPECT_EQ(fetcher.Tile({10, 901, 400}), nullptr);
    // Going offline with requests in flight drops them.
    CTileFetcher busy(server.Template(QStringLiteral("slow")), QString(), 0);
    busy.Want(Keys(3));
    EXPECT_EQ(busy.RequestsInFlight(), 3);
    busy.SetOnline(false);
    EXPECT_EQ(busy.RequestsInFlight(), 0);
    QTest::qWait(100);
    const auto before = server.paths.size();
    busy.Want(Keys(3));
    EXPECT_EQ(busy.RequestsInFlight(), 0);
    QTest::qWait(100);
    EXPECT_EQ(server.paths.size(), before);
    EXPECT_LE(before - asked, 3);
}

TEST(TileFetcher, BadServersLeaveNoTileNoCacheFileAndNoRetryStorm)
{
    CLocalTileServer server;
    struct {
        const char* mode;
    } const cases[] = {{"notfound"}, {"error"}, {"refuse"},  {"garbage"},
                       {"bomb"},     {"huge"},  {"endless"}, {"slow"}};
    for (const auto& c : cases) {
        QTemporaryDir cache;
        CTileFetcher fetcher(server.Template(QString::fromLatin1(c.mode)), cache.path(), 1 << 24);
        fetcher.SetTimeoutMs(1500);
        QSignalSpy arrived(&fetcher, &CTileFetcher::TileArrived);
        fetcher.Want(Keys(2));
        EXPECT_EQ(fetcher.RequestsInFlight(), 2) << c.mode;
        QTRY_COMPARE_WITH_TIMEOUT(fetcher.RequestsInFlight(), 0, 10000);
        EXPECT_EQ(arrived.count(), 0) << c.mode;
        EXPECT_EQ(fetcher.Tile({10, 900, 400}), nullptr) << c.mode;
        EXPECT_EQ(CacheFiles(cache.path()), 0) << c.mode;
        // A failed tile is not asked for again at once.
        fetcher.Want(Keys(2));
        EXPECT_EQ(fetcher.RequestsInFlight(), 0) << c.mode;
    }
}

TEST(TileFetcher, CacheHeadersDecideWhatIsKeptAndAskedAgain)
{
    CLocalTileServer server;
    struct {
        const char* mode;
        int files;
        int requestsOnReturn;  // a second window on the same cache
    } const cases[] = {{"good", 1, 0}, {"nostore", 0, 1}, {"maxage0", 1, 1}};
    for (const auto& c : cases) {
        QTemporaryDir cache;
        const QString tileTemplate = server.Template(QString::fromLatin1(c.mode));
        {
            CTileFetcher fetcher(tileTemplate, cache.path(), 1 << 24);
            QSignalSpy arrived(&fetcher, &CTileFetcher::TileArrived);
            fetcher.Want(Keys(1));
            QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, 10000);
        }
        EXPECT_EQ(CacheFiles(cache.path()), c.files) << c.mode;
        CTileFetcher again(tileTemplate, cache.path(), 1 << 24);
        again.Tile({10, 900, 400});
        again.Want(Keys(1));
        EXPECT_EQ(again.RequestsInFlight(), c.requestsOnReturn) << c.mode;
    }
}

TEST(TileFetcher, DecodesOnlyTilesWithinTheLimits)
{
    QByteArray gif("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14);
    struct {
        const char* name;
        QByteArray bytes;
        bool ok;
    } const cases[] = {
        {"png", CLocalTileServer::TilePng(1, 1), true},
        {"jpeg", CLocalTileServer::TileJpeg(), true},
        {"512 png, scaled", CLocalTileServer::TilePng(1, 1, 512), true},
        {"513 png", CLocalTileServer::TilePng(1, 1, 513), false},
        {"gif", gif, false},
        {"bomb", CLocalTileServer::BombPng(60000, 60000), false},
        {"truncated png", CLocalTileServer::TilePng(1, 1).left(60), false},
        {"empty", QByteArray(), false},
        {"over the byte cap", CLocalTileServer::TilePng(1, 1) + QByteArray(kMaxTileBytes, '\0'),
         false},
    };
    for (const auto& c : cases) {
        QImage image;
        EXPECT_EQ(DecodeTileImage(c.bytes, image), c.ok) << c.name;
        EXPECT_EQ(image.size(), c.ok ? QSize(256, 256) : QSize(0, 0)) << c.name;
    }
}

TEST(MapSettings, TemplatesAddressesAndCacheFolders)
{
    struct {
        const char* text;
        bool usable;
    } const templates[] = {{"https://tiles.example/{z}/{x}/{y}.png", true},
                           {"http://127.0.0.1:8080/t/{z}/{x}/{y}", true},
                           {"https://tiles.example/{z}/{x}.png", false},
                           {"file:///etc/{z}/{x}/{y}", false},
                           {"ftp://h/{z}/{x}/{y}", false},
                           {"{z}/{x}/{y}", false},
                           {"", false}};
    for (const auto& t : templates)
        EXPECT_EQ(IsUsableTileTemplate(QString::fromUtf8(t.text)), t.usable) << t.text;

    CMapSettings settings;
    EXPECT_EQ(TileUrl(settings.Template(), {12, 3638, 1612}).toString(),
              QStringLiteral("https://cyberjapandata.gsi.go.jp/xyz/std/12/3638/1612.png"));
    settings.source = CMapSettings::ESource::Photo;
    EXPECT_TRUE(settings.Template().endsWith(QStringLiteral("seamlessphoto/{z}/{x}/{y}.jpg")));
    EXPECT_EQ(settings.CacheFolderName(), QStringLiteral("seamlessphoto"));
    EXPECT_EQ(settings.Credit(), QStringLiteral("地理院タイル"));
    settings.source = CMapSettings::ESource::Custom;
    settings.customTemplate = QStringLiteral("https://../../{z}/{x}/{y}");
    EXPECT_TRUE(settings.CacheFolderName().startsWith(QStringLiteral("custom-")));
    EXPECT_FALSE(settings.CacheFolderName().contains(QLatin1Char('.')));

    const QByteArray kept = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", "/tmp/some-cache");
    EXPECT_EQ(TileCacheRoot(), QStringLiteral("/tmp/some-cache/lurebook/tiles"));
    qputenv("XDG_CACHE_HOME", "relative");
    EXPECT_EQ(TileCacheRoot(), QDir::homePath() + QStringLiteral("/.cache/lurebook/tiles"));
    qputenv("XDG_CACHE_HOME", kept);
}

}  // namespace
