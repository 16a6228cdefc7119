#include "places/TileDiskCache.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <vector>

#include "data/GuardedFile.h"
#include "data/SafeFile.h"

namespace {

constexpr char kMark[8] = {'L', 'B', 'T', 'I', 'L', 'E', '1', '\n'};
constexpr size_t kHeaderBytes = sizeof kMark + 8;
constexpr std::int64_t kDefaultLifetime = 24 * 60 * 60;
constexpr std::int64_t kLongestLifetime = 365 * 24 * 60 * 60;

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Tile file names are made by FileName alone; anything else in the folder is not ours.
bool ParseFileName(const std::string& name, CTileKey& key)
{
    int values[3] = {};
    const char* at = name.data();
    const char* const end = name.data() + name.size();
    for (int i = 0; i < 3; ++i) {
        const auto [next, ec] = std::from_chars(at, end, values[i]);
        if (ec != std::errc() || next == at) return false;
        at = next;
        const char expected = i < 2 ? '-' : '.';
        if (at == end || *at != expected) return false;
        ++at;
    }
    key = {values[0], values[1], values[2]};
    return std::string_view(at, end - at) == "tile" && IsValidTileKey(key) &&
           CTileDiskCache::FileName(key) == name;
}

bool IsOurFile(const std::string& path)
{
    CGuardedFile file;
    if (file.Open(path, kHeaderBytes + kMaxTileBytes) != EFileRead::Ok) return false;
    char head[sizeof kMark] = {};
    return file.Read(head, sizeof head) == static_cast<ssize_t>(sizeof head) &&
           std::memcmp(head, kMark, sizeof kMark) == 0;
}

}  // namespace

bool ParseHttpDate(const std::string& text, std::int64_t& seconds)
{
    std::tm tm{};
    const char* end = ::strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &tm);
    if (end == nullptr || *end != '\0') return false;
    seconds = static_cast<std::int64_t>(::timegm(&tm));
    return true;
}

CTileFreshness TileFreshness(std::int64_t now, const std::string& cacheControl,
                             const std::string& expires)
{
    CTileFreshness freshness{true, now + kDefaultLifetime};
    bool sawAge = false;
    std::string_view rest = cacheControl;
    while (!rest.empty()) {
        const size_t comma = std::min(rest.find(','), rest.size());
        const std::string directive = Lower(Trim(rest.substr(0, comma)));
        rest.remove_prefix(std::min(comma + 1, rest.size()));
        if (directive == "no-store") {
            freshness.store = false;
        } else if (directive == "no-cache") {
            freshness.expires = now;
            sawAge = true;
        } else if (directive.rfind("max-age=", 0) == 0) {
            std::int64_t age = 0;
            const char* first = directive.data() + 8;
            const char* last = directive.data() + directive.size();
            const auto [end, ec] = std::from_chars(first, last, age);
            if (ec == std::errc::result_out_of_range) age = kLongestLifetime;
            if ((ec == std::errc() || ec == std::errc::result_out_of_range) && end == last &&
                age >= 0) {
                freshness.expires = now + std::min(age, kLongestLifetime);
                sawAge = true;
            }
        }
    }
    std::int64_t date = 0;
    if (!sawAge && !expires.empty()) {
        // An Expires that is not a date means already expired.
        freshness.expires =
            ParseHttpDate(expires, date) ? std::clamp(date, now, now + kLongestLifetime) : now;
    }
    return freshness;
}

CTileDiskCache::CTileDiskCache(std::string folder, std::uint64_t maxBytes)
    : m_folder(std::move(folder)), m_maxBytes(maxBytes)
{
    if (!m_folder.empty() && m_folder.back() != '/') m_folder += '/';
}

std::string CTileDiskCache::FileName(const CTileKey& key)
{
    return std::to_string(key.z) + "-" + std::to_string(key.x) + "-" + std::to_string(key.y) +
           ".tile";
}

bool CTileDiskCache::Read(const CTileKey& key, CCachedTile& tile) const
{
    if (!IsValidTileKey(key) || m_folder.empty()) return false;
    const std::string path = m_folder + FileName(key);
    struct stat st {};
    // A link is not ours, whatever it points at.
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::string bytes;
    if (ReadFileGuarded(path, kHeaderBytes + kMaxTileBytes, bytes) != EFileRead::Ok) return false;
    if (bytes.size() <= kHeaderBytes || std::memcmp(bytes.data(), kMark, sizeof kMark) != 0)
        return false;
    std::uint64_t expires = 0;
    for (int i = 0; i < 8; ++i)
        expires |= std::uint64_t(static_cast<unsigned char>(bytes[sizeof kMark + i])) << (8 * i);
    tile.expires = static_cast<std::int64_t>(expires);
    tile.bytes = bytes.substr(kHeaderBytes);
    return true;
}

bool CTileDiskCache::Write(const CTileKey& key, const std::string& bytes, std::int64_t expires,
                           std::string& error)
{
    if (!IsValidTileKey(key) || bytes.empty() || bytes.size() > kMaxTileBytes || m_folder.empty()) {
        error = "not a tile";
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(m_folder, ec);
    const std::string path = m_folder + FileName(key);
    struct stat st {};
    std::uint64_t replaced = 0;
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            error = path + ": " + kNotRegularFileText;
            return false;
        }
        replaced = static_cast<std::uint64_t>(st.st_size);
    }
    if (m_knownBytes < 0) m_knownBytes = static_cast<std::int64_t>(SizeOnDisk());
    std::string file(kMark, sizeof kMark);
    for (int i = 0; i < 8; ++i)
        file += static_cast<char>((static_cast<std::uint64_t>(expires) >> (8 * i)) & 0xFF);
    file += bytes;
    if (!WriteFileSafely(path, file, &error)) return false;
    m_knownBytes += static_cast<std::int64_t>(file.size()) - static_cast<std::int64_t>(replaced);
    if (static_cast<std::uint64_t>(std::max<std::int64_t>(m_knownBytes, 0)) > m_maxBytes) Trim();
    return true;
}

std::vector<CTileDiskCache::CTileFile> CTileDiskCache::TileFiles() const
{
    // Regular files under a tile's name only: whatever else lies in the folder is not counted
    // and never goes.
    std::vector<CTileFile> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(m_folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        CTileKey key;
        struct stat st {};
        const std::string path = it->path().string();
        if (!ParseFileName(it->path().filename().string(), key) ||
            ::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        files.push_back(
            {path, static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
             static_cast<std::uint64_t>(st.st_size)});
    }
    return files;
}

std::uint64_t CTileDiskCache::SizeOnDisk() const
{
    std::uint64_t total = 0;
    for (const CTileFile& file : TileFiles()) total += file.size;
    return total;
}

void CTileDiskCache::Trim()
{
    std::vector<CTileFile> files = TileFiles();
    std::uint64_t total = 0;
    for (const CTileFile& file : files) total += file.size;
    m_knownBytes = static_cast<std::int64_t>(total);
    if (total <= m_maxBytes) return;
    // Down to nine tenths, so that the next writes do not each list the folder again.
    const std::uint64_t target = m_maxBytes - m_maxBytes / 10;
    std::sort(files.begin(), files.end(),
              [](const CTileFile& a, const CTileFile& b) { return a.written < b.written; });
    for (const CTileFile& file : files) {
        if (total <= target) break;
        // Only a tile file of ours goes; anything else under one of our names stays.
        if (IsOurFile(file.path) && ::unlink(file.path.c_str()) == 0) total -= file.size;
    }
    m_knownBytes = static_cast<std::int64_t>(total);
}
