#include "places/BaseMap.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <mutex>
#include <string_view>

#include "data/DataFolder.h"
#include "data/GuardedFile.h"
#include "data/Log.h"

namespace {

// Fields of a line separated by single spaces; no other blank is allowed in the format.
std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (start <= line.size()) {
        const size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

bool ToInt(std::string_view text, long long& value)
{
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Thousandths of a degree, the file's unit.
constexpr double kUnit = 1000;
constexpr long long kMaxLongitude = 180 * 1000;
constexpr long long kMaxLatitude = 90 * 1000;

bool ParseRing(const std::vector<std::string_view>& fields, size_t& pointsLeft, CBaseMapRing& ring,
               std::string& reason)
{
    long long count = 0;
    if (fields.size() < 2 || !ToInt(fields[1], count) || count < 3) {
        reason = "bad point count";
        return false;
    }
    if (static_cast<unsigned long long>(count) > pointsLeft) {
        reason = "too many points";
        return false;
    }
    if (fields.size() != 2 + 2 * static_cast<size_t>(count)) {
        reason = "point count does not match the steps";
        return false;
    }
    pointsLeft -= static_cast<size_t>(count);
    long long x = 0;
    long long y = 0;
    ring.points.reserve(static_cast<size_t>(count));
    for (long long i = 0; i < count; ++i) {
        long long dx = 0;
        long long dy = 0;
        if (!ToInt(fields[2 + 2 * i], dx) || !ToInt(fields[3 + 2 * i], dy)) {
            reason = "not a number";
            return false;
        }
        // Each coordinate must stay on the earth, so no sum of steps can overflow either.
        if (std::abs(dx) > 2 * kMaxLongitude || std::abs(dy) > 2 * kMaxLatitude) {
            reason = "position off the earth";
            return false;
        }
        x = i == 0 ? dx : x + dx;
        y = i == 0 ? dy : y + dy;
        if (std::abs(x) > kMaxLongitude || std::abs(y) > kMaxLatitude) {
            reason = "position off the earth";
            return false;
        }
        const CMercatorPoint point = MercatorFromGeo({y / kUnit, x / kUnit});
        if (i == 0) {
            ring.min = ring.max = point;
        } else {
            ring.min = {std::min(ring.min.x, point.x), std::min(ring.min.y, point.y)};
            ring.max = {std::max(ring.max.x, point.x), std::max(ring.max.y, point.y)};
        }
        ring.points.push_back(point);
    }
    return true;
}

}  // namespace

bool CBaseMap::Parse(const std::string& bytes, std::string& error)
{
    m_rings.clear();
    std::vector<CBaseMapRing> rings;
    size_t pointsLeft = kMaxBaseMapPoints;
    bool sawHeader = false;
    size_t lineNumber = 0;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string_view line(bytes.data() + start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const std::vector<std::string_view> fields = Fields(line);
        std::string reason;
        if (!sawHeader) {
            if (fields.size() != 2 || fields[0] != "lurebook-basemap" || fields[1] != "1") {
                error = "line " + std::to_string(lineNumber) + ": not a base map of this version";
                return false;
            }
            sawHeader = true;
            continue;
        }
        if (fields[0] == "box") continue;  // the clipping box, for people reading the file
        if (fields[0] != "ring") {
            reason = "unknown line";
        } else {
            CBaseMapRing ring;
            if (ParseRing(fields, pointsLeft, ring, reason)) {
                rings.push_back(std::move(ring));
                continue;
            }
        }
        error = "line " + std::to_string(lineNumber) + ": " + reason;
        return false;
    }
    if (!sawHeader) {
        error = "not a base map";
        return false;
    }
    m_rings = std::move(rings);
    return true;
}

bool CBaseMap::Load(const std::string& path, std::string& error)
{
    m_rings.clear();
    std::string bytes;
    std::string readError;
    if (ReadFileGuarded(path, kMaxBaseMapFileBytes, bytes, &readError) != EFileRead::Ok) {
        error = readError;
        return false;
    }
    std::string reason;
    if (!Parse(bytes, reason)) {
        error = path + ": " + reason;
        return false;
    }
    return true;
}

std::string BaseMapPath()
{
    const std::filesystem::path dir = CDataFolder::OfRunningProgram().GetProgramDir();
    const std::filesystem::path candidates[] = {
        dir / "places/japan-land.txt",
        dir / LUREBOOK_PLACES_FROM_PROGRAM / "japan-land.txt",
        std::filesystem::path(LUREBOOK_PLACES_INSTALLED) / "japan-land.txt",
    };
    for (const std::filesystem::path& candidate : candidates) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) {
            return candidate.lexically_normal().string();
        }
    }
    return candidates[0].string();
}

const CBaseMap& ShippedBaseMap(std::string* error)
{
    static std::once_flag once;
    static CBaseMap map;
    static std::string loadError;
    std::call_once(once, [] {
        if (!map.Load(BaseMapPath(), loadError)) LogTrace("base map: " + loadError);
    });
    if (error != nullptr) *error = loadError;
    return map;
}
