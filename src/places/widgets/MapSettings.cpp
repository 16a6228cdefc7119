#include "places/widgets/MapSettings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSettings>

namespace {

constexpr const char* kGsiBase = "https://cyberjapandata.gsi.go.jp/xyz/";

const char* SourceWord(CMapSettings::ESource source)
{
    switch (source) {
        case CMapSettings::ESource::Pale:
            return "pale";
        case CMapSettings::ESource::Photo:
            return "seamlessphoto";
        case CMapSettings::ESource::Custom:
            return "custom";
        case CMapSettings::ESource::Standard:
            break;
    }
    return "std";
}

}  // namespace

CMapSettings CMapSettings::Load()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("Map"));
    CMapSettings loaded;
    loaded.online = settings.value(QStringLiteral("Online"), true).toBool();
    const QString word = settings.value(QStringLiteral("Source")).toString();
    for (const ESource source :
         {ESource::Standard, ESource::Pale, ESource::Photo, ESource::Custom}) {
        if (word == QLatin1String(SourceWord(source))) loaded.source = source;
    }
    loaded.customTemplate = settings.value(QStringLiteral("CustomTemplate")).toString();
    return loaded;
}

void CMapSettings::Save() const
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("Map"));
    settings.setValue(QStringLiteral("Online"), online);
    settings.setValue(QStringLiteral("Source"), QLatin1String(SourceWord(source)));
    settings.setValue(QStringLiteral("CustomTemplate"), customTemplate);
}

QString CMapSettings::Template() const
{
    switch (source) {
        case ESource::Standard:
            return QLatin1String(kGsiBase) + QStringLiteral("std/{z}/{x}/{y}.png");
        case ESource::Pale:
            return QLatin1String(kGsiBase) + QStringLiteral("pale/{z}/{x}/{y}.png");
        case ESource::Photo:
            return QLatin1String(kGsiBase) + QStringLiteral("seamlessphoto/{z}/{x}/{y}.jpg");
        case ESource::Custom:
            break;
    }
    return IsUsableTileTemplate(customTemplate) ? customTemplate : QString();
}

QString CMapSettings::CacheFolderName() const
{
    if (source != ESource::Custom) return QLatin1String(SourceWord(source));
    const QByteArray hash =
        QCryptographicHash::hash(customTemplate.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("custom-") + QString::fromLatin1(hash.toHex().left(16));
}

QString CMapSettings::Credit() const
{
    return source == ESource::Custom ? QString() : QStringLiteral("地理院タイル");
}

bool IsUsableTileTemplate(const QString& text)
{
    // Judged as the address of one tile, with the integers put in.
    const QUrl url(TileUrl(text, {0, 0, 0}).toString(), QUrl::StrictMode);
    const QString scheme = url.scheme();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("https") || scheme == QLatin1String("http")) &&
           text.contains(QLatin1String("{z}")) && text.contains(QLatin1String("{x}")) &&
           text.contains(QLatin1String("{y}"));
}

QUrl TileUrl(const QString& tileTemplate, const CTileKey& key)
{
    QString text = tileTemplate;
    text.replace(QLatin1String("{z}"), QString::number(key.z));
    text.replace(QLatin1String("{x}"), QString::number(key.x));
    text.replace(QLatin1String("{y}"), QString::number(key.y));
    return QUrl(text);
}

QString TileCacheRoot()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    // The XDG rule: a relative path is ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/lurebook/tiles");
}
