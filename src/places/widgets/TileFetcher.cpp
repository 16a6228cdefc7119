#include "places/widgets/TileFetcher.h"

#include <QBuffer>
#include <QDateTime>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QTimer>
#include <algorithm>

#include "photos/ThumbnailDecoder.h"
#include "places/widgets/MapSettings.h"

namespace {

// The photo decoders' limits, narrowed to what a tile can be.
CDecodeOptions TileDecodeOptions()
{
    CDecodeOptions options;
    options.maxPixels = std::min<uint64_t>(options.maxPixels, 512 * 512);
    options.maxMemory = std::min(options.maxMemory, 8L * 1024 * 1024);
    return options;
}

}  // namespace

bool DecodeTileImage(const QByteArray& bytes, QImage& image)
{
    image = QImage();
    if (bytes.isEmpty() || static_cast<size_t>(bytes.size()) > kMaxTileBytes) return false;
    const auto* head = reinterpret_cast<const uint8_t*>(bytes.constData());
    const EPhotoFormat format =
        SniffPhotoFormat(head, std::min<size_t>(static_cast<size_t>(bytes.size()), kSniffBytes));
    const char* name = format == EPhotoFormat::Png    ? "png"
                       : format == EPhotoFormat::Jpeg ? "jpeg"
                                                      : nullptr;
    if (name == nullptr) return false;
    const CDecodeOptions options = TileDecodeOptions();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, name);
    // Only the format the bytes show: nothing is handed to another reader.
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(std::max(1, static_cast<int>(options.maxMemory >> 20)));
    // A picture bomb is refused from its header, before any pixel is decoded.
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() ||
        uint64_t(size.width()) * uint64_t(size.height()) > options.maxPixels ||
        size.width() > 2 * kMapTileSize || size.height() > 2 * kMapTileSize)
        return false;
    QImage read;
    if (!reader.read(&read) || read.isNull()) return false;
    // Tiles are drawn as opaque squares; what is transparent shows white, as on the server's site.
    QImage tile(kMapTileSize, kMapTileSize, QImage::Format_RGB32);
    tile.fill(Qt::white);
    {
        QPainter painter(&tile);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(0, 0, kMapTileSize, kMapTileSize), read);
    }
    image = tile;
    return true;
}

CTileFetcher::CTileFetcher(QString tileTemplate, QString cacheFolder, std::uint64_t cacheBytes,
                           QObject* parent)
    : QObject(parent), m_cacheBytes(cacheBytes), m_network(new QNetworkAccessManager(this))
{
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_clock.start();
    SetTemplate(std::move(tileTemplate), std::move(cacheFolder));
}

CTileFetcher::~CTileFetcher()
{
    AbortAll();
}

QString CTileFetcher::UserAgent()
{
    return QStringLiteral("Lurebook/" LUREBOOK_VERSION " (desktop fishing log)");
}

void CTileFetcher::SetOnline(bool online)
{
    if (online == m_online) return;
    m_online = online;
    if (!online) AbortAll();
}

void CTileFetcher::SetTemplate(QString tileTemplate, QString cacheFolder)
{
    AbortAll();
    m_template = std::move(tileTemplate);
    m_disk = cacheFolder.isEmpty()
                 ? nullptr
                 : std::make_unique<CTileDiskCache>(cacheFolder.toStdString(), m_cacheBytes);
    m_memory.clear();
    m_failedAt.clear();
    m_stale.clear();
}

void CTileFetcher::AbortAll()
{
    m_queue.clear();
    const auto replies = std::move(m_replies);
    m_replies.clear();
    for (const auto& [reply, key] : replies) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

const QImage* CTileFetcher::Tile(const CTileKey& key)
{
    auto found = m_memory.find(key);
    if (found == m_memory.end()) {
        if (!FromDisk(key)) return nullptr;
        found = m_memory.find(key);
    }
    found->second.used = ++m_useCounter;
    return &found->second.image;
}

bool CTileFetcher::FromDisk(const CTileKey& key)
{
    CCachedTile cached;
    if (!m_disk || !m_disk->Read(key, cached)) return false;
    QImage image;
    if (!DecodeTileImage(QByteArray::fromStdString(cached.bytes), image)) return false;
    if (cached.expires <= QDateTime::currentSecsSinceEpoch()) m_stale.insert(key);
    Keep(key, std::move(image));
    return true;
}

void CTileFetcher::Keep(const CTileKey& key, QImage image)
{
    m_memory[key] = {std::move(image), ++m_useCounter};
    while (m_memory.size() > static_cast<size_t>(kMaxTilesInMemory)) {
        auto oldest = std::min_element(
            m_memory.begin(), m_memory.end(),
            [](const auto& a, const auto& b) { return a.second.used < b.second.used; });
        m_memory.erase(oldest);
    }
}

void CTileFetcher::Want(const QList<CTileKey>& keys)
{
    m_queue.clear();
    if (!m_online || m_template.isEmpty()) return;
    const qint64 now = m_clock.elapsed();
    for (const CTileKey& key : keys) {
        if (!IsValidTileKey(key)) continue;
        if (m_memory.count(key) == 0) FromDisk(key);
        if (m_memory.count(key) != 0 && m_stale.count(key) == 0) continue;
        const auto failed = m_failedAt.find(key);
        if (failed != m_failedAt.end() && now - failed->second < kTileRetryMs) continue;
        bool inFlight = false;
        for (const auto& [reply, fetching] : m_replies) inFlight |= fetching == key;
        if (!inFlight) m_queue.push_back(key);
    }
    Pump();
}

void CTileFetcher::Pump()
{
    while (m_online && !m_queue.empty() &&
           m_replies.size() < static_cast<size_t>(kMaxTileRequests)) {
        const CTileKey key = m_queue.front();
        m_queue.pop_front();
        QNetworkRequest request(TileUrl(m_template, key));
        request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
        request.setMaximumRedirectsAllowed(3);
        request.setTransferTimeout(m_timeoutMs);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
        QNetworkReply* reply = m_network->get(request);
        m_replies.emplace(reply, key);
        // A body larger than any tile is cut off at once, whatever the server says it sends.
        connect(reply, &QNetworkReply::downloadProgress, this,
                [reply](qint64 received, qint64 total) {
                    if (received > static_cast<qint64>(kMaxTileBytes) ||
                        total > static_cast<qint64>(kMaxTileBytes))
                        reply->abort();
                });
        // A server that trickles its bytes is given the same time in all as a silent one.
        QTimer::singleShot(m_timeoutMs, reply, [reply] { reply->abort(); });
        connect(reply, &QNetworkReply::finished, this, [this, reply] { Finished(reply); });
    }
}

void CTileFetcher::Fail(const CTileKey& key)
{
    m_failedAt[key] = m_clock.elapsed();
}

void CTileFetcher::Finished(QNetworkReply* reply)
{
    const auto found = m_replies.find(reply);
    if (found == m_replies.end()) return;
    const CTileKey key = found->second;
    m_replies.erase(found);
    reply->deleteLater();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray bytes = reply->error() == QNetworkReply::NoError && status == 200
                                 ? reply->read(static_cast<qint64>(kMaxTileBytes) + 1)
                                 : QByteArray();
    QImage image;
    if (bytes.isEmpty() || !DecodeTileImage(bytes, image)) {
        Fail(key);
    } else {
        m_failedAt.erase(key);
        m_stale.erase(key);
        Keep(key, std::move(image));
        const CTileFreshness freshness =
            TileFreshness(QDateTime::currentSecsSinceEpoch(),
                          QString::fromLatin1(reply->rawHeader("Cache-Control")).toStdString(),
                          QString::fromLatin1(reply->rawHeader("Expires")).toStdString());
        std::string error;
        // A tile that cannot be written (a full disk) is still shown; the cache just lacks it.
        if (freshness.store && m_disk)
            m_disk->Write(key, bytes.toStdString(), freshness.expires, error);
        Q_EMIT TileArrived(key.z, key.x, key.y);
    }
    Pump();
}
