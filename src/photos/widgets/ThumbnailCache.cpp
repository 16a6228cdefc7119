#include "photos/widgets/ThumbnailCache.h"

#include <pwd.h>
#include <unistd.h>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryFile>
#include <QUrl>

#include <array>
#include <cstdio>

QString CThumbnailCache::Directory()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    // The variables count only when they name an absolute path.
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        // Without HOME (a service, a cron job) the account's home folder is used, and without
        // one of those no cache at all: never one in the root folder.
        QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty() || !QDir::isAbsolutePath(home)) {
            home.clear();
            passwd entry{};
            passwd* found = nullptr;
            std::array<char, 4096> buffer{};
            if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
                found != nullptr && found->pw_dir != nullptr) {
                home = QFile::decodeName(found->pw_dir);
            }
        }
        if (!QDir::isAbsolutePath(home) || QDir::cleanPath(home) == QStringLiteral("/")) return {};
        base = home + QStringLiteral("/.cache");
    }
    if (!base.endsWith(QLatin1Char('/'))) base += QLatin1Char('/');
    return base + QStringLiteral("thumbnails/normal/");
}

QByteArray CThumbnailCache::UriOf(const QString& absolutePath)
{
    return QUrl::fromLocalFile(QDir::cleanPath(absolutePath)).toEncoded();
}

QString CThumbnailCache::CachePathOf(const QString& absolutePath)
{
    const QByteArray hash = QCryptographicHash::hash(UriOf(absolutePath), QCryptographicHash::Md5);
    return Directory() + QString::fromLatin1(hash.toHex()) + QStringLiteral(".png");
}

namespace {
// The tEXt chunks before the pixel data of PNG bytes.  Qt's reader folds keys with colons in them
// ("Thumb::URI"), so the chunks are read here.
QMap<QByteArray, QByteArray> PngTexts(const QByteArray& png)
{
    QMap<QByteArray, QByteArray> texts;
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    if (!png.startsWith(QByteArray::fromRawData(signature, 8))) return texts;
    qsizetype at = 8;
    while (at + 12 <= png.size()) {
        const auto* p = reinterpret_cast<const uchar*>(png.constData() + at);
        const quint32 length =
            (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
        const QByteArray type = png.mid(at + 4, 4);
        if (length > quint32(png.size() - at - 12) || type == "IDAT") break;
        const QByteArray data = png.mid(at + 8, length);
        const qsizetype zero = data.indexOf('\0');
        if (type == "tEXt" && zero > 0) {
            texts.insert(data.left(zero), data.mid(zero + 1));
        } else if (type == "zTXt" && zero > 0 && data.size() > zero + 2 && data[zero + 1] == 0) {
            // Compressed text (Qt writes long values this way): a zlib stream after the method.
            QByteArray stream = data.mid(zero + 2);
            stream.prepend(
                QByteArray("\x00\x00\x10\x00", 4));  // expected size hint for qUncompress
            texts.insert(data.left(zero), qUncompress(stream));
        }
        at += 12 + qsizetype(length);
    }
    return texts;
}
quint32 Crc32(const QByteArray& bytes)
{
    static const auto table = [] {
        std::array<quint32, 256> values{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            values[n] = c;
        }
        return values;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) crc = table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void AppendBigEndian(QByteArray& out, quint32 value)
{
    out.append(char(value >> 24))
        .append(char(value >> 16))
        .append(char(value >> 8))
        .append(char(value));
}

// A plain tEXt chunk, the form every reader of the shared cache understands.
QByteArray TextChunk(const QByteArray& key, const QByteArray& value)
{
    const QByteArray body = QByteArray("tEXt") + key + '\0' + value;
    QByteArray chunk;
    AppendBigEndian(chunk, quint32(body.size() - 4));
    chunk += body;
    AppendBigEndian(chunk, Crc32(body));
    return chunk;
}
}  // namespace

QImage CThumbnailCache::Load(const QString& absolutePath, qint64 mtime, qint64 size)
{
    QFile file(CachePathOf(absolutePath));
    // Thumbnails are small; a huge file there is not one of ours.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4 * 1024 * 1024) return {};
    const QByteArray bytes = file.readAll();
    const QMap<QByteArray, QByteArray> texts = PngTexts(bytes);
    if (texts.value("Thumb::URI") != UriOf(absolutePath)) return {};
    bool ok = false;
    const qint64 storedTime = texts.value("Thumb::MTime").toLongLong(&ok);
    if (!ok || storedTime != mtime) return {};
    if (texts.contains("Thumb::Size") && texts.value("Thumb::Size").toLongLong() != size) return {};
    // Earlier versions of this program stored pictures as the file holds them, not turned
    // upright: those are made again.
    if (texts.value("Software") == "Lurebook" && !texts.contains("Lurebook::Upright")) return {};
    QImage image;
    if (!image.loadFromData(bytes, "PNG")) return {};
    return image;
}

QImage CThumbnailCache::NormalSize(const QImage& picture)
{
    if (picture.width() <= kNormalSize && picture.height() <= kNormalSize) return picture;
    return picture.scaled(kNormalSize, kNormalSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

bool CThumbnailCache::Store(const QString& absolutePath, qint64 mtime, qint64 size,
                            const QImage& picture)
{
    if (picture.isNull()) return false;
    const QString directory = Directory();
    if (!QDir().mkpath(directory)) return false;
    // Thumbnails reveal what the user's files show: only the user may read them.
    QFile::setPermissions(directory, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        // Light compression: the files are small either way, and making them must stay cheap.
        if (!NormalSize(picture).save(&buffer, "PNG", 80)) return false;
    }
    // The text chunks go right after the header chunk (8 bytes of signature, 25 of IHDR).
    constexpr qsizetype kAfterHeader = 8 + 25;
    if (png.size() < kAfterHeader || png.mid(12, 4) != "IHDR") return false;
    const QByteArray texts = TextChunk("Thumb::URI", UriOf(absolutePath)) +
                             TextChunk("Thumb::MTime", QByteArray::number(mtime)) +
                             TextChunk("Thumb::Size", QByteArray::number(size)) +
                             TextChunk("Software", "Lurebook") +
                             TextChunk("Lurebook::Upright", "1");
    png.insert(kAfterHeader, texts);

    const QString target = CachePathOf(absolutePath);
    // Written beside its place and renamed over it, so a reader sees the old file or the new one,
    // never half of one.  Not flushed to disk: a cache entry lost in a crash is simply made again.
    QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(true);
    if (!file.open()) return false;  // created readable by the user only
    if (file.write(png) != png.size() || !file.flush()) return false;
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}
