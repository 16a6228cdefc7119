#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "places/MapViewport.h"

// The largest base map file read: the shipped one is about 100 KiB.
inline constexpr size_t kMaxBaseMapFileBytes = size_t{8} << 20;
// The most points all rings together may hold, so a damaged file cannot eat the memory.
inline constexpr size_t kMaxBaseMapPoints = size_t{2} << 20;

// One closed outline of land, in Web Mercator, with its bounding box for quick culling.
struct CBaseMapRing {
    std::vector<CMercatorPoint> points;
    CMercatorPoint min;
    CMercatorPoint max;
};

// The land drawn under everything else, so the map shows Japan without a network: read from the
// text the developer's script writes from Natural Earth's 1:10m land (assets/places/).
class CBaseMap {
public:
    // Replaces the rings with the file's.  A file that is missing, not a regular file, too large,
    // or damaged anywhere leaves the map empty, and error names the file and the line.
    bool Load(const std::string& path, std::string& error);
    bool Parse(const std::string& bytes, std::string& error);

    const std::vector<CBaseMapRing>& Rings() const { return m_rings; }
    bool IsEmpty() const { return m_rings.empty(); }

private:
    std::vector<CBaseMapRing> m_rings;
};

// Where the shipped base map is: next to the program in the build tree, or under
// share/lurebook/places when installed.
std::string BaseMapPath();

// The shipped base map, read once; an empty map (and the reason in error) when it cannot be read.
const CBaseMap& ShippedBaseMap(std::string* error = nullptr);
