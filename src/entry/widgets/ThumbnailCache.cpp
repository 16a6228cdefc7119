#include "entry/widgets/ThumbnailCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>
#include <QUrl>

QString CThumbnailCache::Directory()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    // The variable counts only when it names an absolute path.
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.cache");
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

QImage CThumbnailCache::Load(const QString& absolutePath, qint64 mtime, qint64 size)
{
    QImageReader reader(CachePathOf(absolutePath), "png");
    // The text chunks come before the pixels: check them before decoding anything.
    if (!reader.canRead()) return {};
    if (reader.text(QStringLiteral("Thumb::URI")).toUtf8() != UriOf(absolutePath)) return {};
    bool ok = false;
    const qint64 storedTime = reader.text(QStringLiteral("Thumb::MTime")).toLongLong(&ok);
    if (!ok || storedTime != mtime) return {};
    const QString storedSize = reader.text(QStringLiteral("Thumb::Size"));
    if (!storedSize.isEmpty() && storedSize.toLongLong() != size) return {};
    QImage image;
    if (!reader.read(&image)) return {};
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

    QImage image = NormalSize(picture);
    image.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(UriOf(absolutePath)));
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
    image.setText(QStringLiteral("Thumb::Size"), QString::number(size));
    image.setText(QStringLiteral("Software"), QStringLiteral("Lurebook"));

    const QString target = CachePathOf(absolutePath);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
