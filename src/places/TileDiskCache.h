#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "places/MapViewport.h"

// How long a server lets a tile be used: from its Cache-Control and Expires headers at time now
// (seconds since 1970).  no-store keeps it out of the cache; no-cache and max-age=0 keep it
// for showing but ask again next time; without either header a tile keeps a day.  Nothing is
// trusted beyond a year.
struct CTileFreshness {
    bool store = true;
    std::int64_t expires = 0;
};
CTileFreshness TileFreshness(std::int64_t now, const std::string& cacheControl,
                             const std::string& expires);

// An HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT") as seconds since 1970; false when it is not one.
bool ParseHttpDate(const std::string& text, std::int64_t& seconds);

// The largest tile taken from a server or the cache: the standard tiles are a few tens of KiB.
inline constexpr size_t kMaxTileBytes = size_t{512} << 10;

// A tile as the cache gives it back.
struct CCachedTile {
    std::string bytes;  // the picture's bytes as the server sent them (PNG or JPEG)
    std::int64_t expires = 0;
};

// Tiles on disk in one folder per tile source, each file named "<z>-<x>-<y>.tile" from the
// integers alone, holding a short header of ours (a mark and the expiry time) and the picture.
// The folder is bounded: when a write takes it over maxBytes the oldest files written go first.
// Only files of that name whose header is ours are ever read back as tiles or removed.
class CTileDiskCache {
public:
    CTileDiskCache(std::string folder, std::uint64_t maxBytes);

    const std::string& Folder() const { return m_folder; }
    static std::string FileName(const CTileKey& key);

    // The tile when the cache holds a readable one of ours; expired ones too (the caller decides).
    bool Read(const CTileKey& key, CCachedTile& tile) const;
    // Writes the tile (making the folder); false with the reason in error when it could not be
    // written, for instance on a full disk.  Refuses invalid keys and oversized pictures, and
    // never writes through a link or over anything that is not a regular file.
    bool Write(const CTileKey& key, const std::string& bytes, std::int64_t expires,
               std::string& error);
    // The bytes the cache's tile files take now.
    std::uint64_t SizeOnDisk() const;

private:
    struct CTileFile {
        std::string path;
        std::int64_t written;  // nanoseconds since the epoch
        std::uint64_t size;
    };
    std::vector<CTileFile> TileFiles() const;
    void Trim();

    std::string m_folder;
    std::uint64_t m_maxBytes;
    // The bytes on disk as last counted and written since, so a write need not list the folder;
    // -1 until the first write counts them.
    std::int64_t m_knownBytes = -1;
};
