#pragma once

#include <QImage>
#include <QString>

// The desktop's shared thumbnail cache: PNG files under $XDG_CACHE_HOME/thumbnails/normal/ (or
// ~/.cache/thumbnails/normal/) named by the MD5 of the photo's file URI, carrying the URI and
// the photo's modification time, so file managers and this program share their work.  A cached
// picture is used only when it was made from the photo as it is now (same URI, modification time
// and, when recorded, size).
class CThumbnailCache {
public:
    // Longest side of a "normal" thumbnail.
    static constexpr int kNormalSize = 128;

    // The folder of normal-size thumbnails, ending in "/"; empty when the user has no home.
    static QString Directory();
    // file:// URI of an absolute path, percent-encoded.
    static QByteArray UriOf(const QString& absolutePath);
    // Where the thumbnail of a photo is kept.
    static QString CachePathOf(const QString& absolutePath);

    // The cached picture of a photo whose modification time (seconds) and size are given; a null
    // image when there is none or it belongs to another version of the photo.
    static QImage Load(const QString& absolutePath, qint64 mtime, qint64 size);

    // Keeps picture (upright, scaled to fit 128 x 128, aspect kept, never enlarged) as the
    // thumbnail of a photo; written to a temporary file and renamed, so readers never see half a
    // file.
    static bool Store(const QString& absolutePath, qint64 mtime, qint64 size,
                      const QImage& picture);

    // The picture as it goes into the cache.
    static QImage NormalSize(const QImage& picture);
};
