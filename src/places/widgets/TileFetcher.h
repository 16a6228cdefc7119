#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <deque>
#include <map>
#include <memory>
#include <set>

#include "places/TileDiskCache.h"

class QNetworkAccessManager;
class QNetworkReply;

// The most tile requests in flight at once.
inline constexpr int kMaxTileRequests = 4;
// The decoded tiles kept in memory: 256 × 256 pixels at 4 bytes each, so 48 MiB at most.
inline constexpr int kMaxTilesInMemory = 192;
// A server that has not finished a tile in this time has failed it.
inline constexpr int kTileTimeoutMs = 15000;
// A failed tile is not asked for again before this.
inline constexpr int kTileRetryMs = 60000;

// A tile's bytes as a picture, when they are a PNG or JPEG of at most 512 × 512 pixels within the
// photo decoders' limits; a larger tile is scaled to kMapTileSize.
bool DecodeTileImage(const QByteArray& bytes, QImage& image);

// Brings the map's tiles: from memory, from the disk cache, or from the tile server over Qt
// Network.  Everything it gets is untrusted: a reply is capped at kMaxTileBytes, must be a PNG or
// JPEG that decodes, and only then is shown and cached.  Offline, it makes no request at all.
class CTileFetcher : public QObject {
    Q_OBJECT
public:
    // cacheFolder empty: no disk cache.  An empty template: nothing to fetch.
    CTileFetcher(QString tileTemplate, QString cacheFolder, std::uint64_t cacheBytes,
                 QObject* parent = nullptr);
    ~CTileFetcher() override;

    void SetOnline(bool online);
    bool IsOnline() const { return m_online; }
    void SetTemplate(QString tileTemplate, QString cacheFolder);

    // The tile when it is at hand, else null; asks for it (cache, then server) when wanted.
    const QImage* Tile(const CTileKey& key);
    // The tiles the map needs now, most wanted first: queued requests for others are dropped.
    void Want(const QList<CTileKey>& keys);

    // How long one tile may take in all (kTileTimeoutMs unless changed).
    void SetTimeoutMs(int milliseconds) { m_timeoutMs = milliseconds; }

    int RequestsInFlight() const { return static_cast<int>(m_replies.size()); }
    int TilesInMemory() const { return static_cast<int>(m_memory.size()); }
    // The user agent sent with every request: Lurebook/<version>.
    static QString UserAgent();

Q_SIGNALS:
    void TileArrived(int z, int x, int y);

private:
    struct CMemoryTile {
        QImage image;
        std::uint64_t used = 0;
    };
    bool FromDisk(const CTileKey& key);
    void Keep(const CTileKey& key, QImage image);
    void Pump();
    void Finished(QNetworkReply* reply);
    void Fail(const CTileKey& key);
    void AbortAll();

    QString m_template;
    std::unique_ptr<CTileDiskCache> m_disk;
    std::uint64_t m_cacheBytes;
    bool m_online = true;
    int m_timeoutMs = kTileTimeoutMs;
    QNetworkAccessManager* m_network;
    std::map<CTileKey, CMemoryTile> m_memory;
    std::uint64_t m_useCounter = 0;
    std::deque<CTileKey> m_queue;
    std::map<QNetworkReply*, CTileKey> m_replies;
    std::map<CTileKey, qint64> m_failedAt;  // ms on m_clock
    std::set<CTileKey> m_stale;             // shown from the cache, to be asked for again
    QElapsedTimer m_clock;
};
