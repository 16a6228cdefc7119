#pragma once

#include <QString>
#include <QUrl>

#include "places/MapViewport.h"

// Where the map's tiles come from, as the user set it (QSettings, group "Map").
struct CMapSettings {
    enum class ESource { Standard, Pale, Photo, Custom };

    bool online = true;  // false: no request is ever made; the base map and cached tiles show
    ESource source = ESource::Standard;
    QString customTemplate;  // https://host/path/{z}/{x}/{y}.png of the user's own server

    static CMapSettings Load();
    void Save() const;

    // The address template of the source chosen; empty for a custom template that is unusable.
    QString Template() const;
    // The folder under the tile cache for this source: a fixed word for the 地理院タイル and a
    // number made from the address for a user's own server, never the address itself.
    QString CacheFolderName() const;
    // The credit the map shows for the source.
    QString Credit() const;
};

// A template is usable when it is an http or https address naming {z}, {x} and {y}.
bool IsUsableTileTemplate(const QString& text);
// The address of one tile: the template with the key's integers put in.
QUrl TileUrl(const QString& tileTemplate, const CTileKey& key);
// $XDG_CACHE_HOME/lurebook/tiles (~/.cache/lurebook/tiles when unset).
QString TileCacheRoot();
