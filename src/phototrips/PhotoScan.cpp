#include "phototrips/PhotoScan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "data/GuardedFile.h"
#include "photos/PhotoCopies.h"

namespace fs = std::filesystem;

JapanSeconds JapanTimeOfCapture(const CCaptureTime& time, bool hasOffset, int offsetMinutes)
{
    using namespace std::chrono;
    const sys_days day{year{time.year} / month{unsigned(time.month)} /
                       std::chrono::day{unsigned(time.day)}};
    const int64_t clock = int64_t(day.time_since_epoch().count()) * 86400 + time.hour * 3600 +
                          time.minute * 60 + time.second;
    if (!hasOffset) return clock;
    return clock + int64_t(kJapanOffsetMinutes - offsetMinutes) * 60;
}

JapanSeconds JapanTimeOfUnix(int64_t unixSeconds)
{
    return unixSeconds + int64_t(kJapanOffsetMinutes) * 60;
}

CCaptureTime JapanCalendarOf(JapanSeconds seconds)
{
    using namespace std::chrono;
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const year_month_day date{sys_days{std::chrono::days{days}}};
    return {int(date.year()), int(unsigned(date.month())), int(unsigned(date.day())),
            int(rest / 3600), int(rest / 60 % 60),         int(rest % 60)};
}

namespace {

// The first bytes of a regular file, opened without blocking; false with the reason otherwise.
bool ReadHead(const std::string& path, uint8_t* head, size_t& got, struct stat& info,
              std::string& reason)
{
    got = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = kSkipUnreadableText;
        return false;
    }
    bool ok = ::fstat(fd, &info) == 0;
    if (ok && !S_ISREG(info.st_mode)) {
        reason = kSkipNotRegularText;
        ok = false;
    } else if (ok && uint64_t(info.st_size) > kMaxPhotoFileBytes) {
        reason = kSkipTooLargeText;
        ok = false;
    } else if (ok) {
        while (got < kSniffBytes) {
            const ssize_t n = ::read(fd, head + got, kSniffBytes - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += size_t(n);
        }
        if (got == 0) {
            reason = kSkipUnreadableText;
            ok = false;
        }
    } else {
        reason = kSkipUnreadableText;
    }
    ::close(fd);
    return ok;
}

// A hash of a file's first bytes: photos of one size are told apart by it before their whole
// bytes are compared.  0 for a file that cannot be read.
uint64_t HeadHash(const std::string& path)
{
    constexpr size_t kHeadBytes = size_t{64} << 10;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 0;
    std::vector<char> head(kHeadBytes);
    size_t got = 0;
    while (got < head.size()) {
        const ssize_t n = ::read(fd, head.data() + got, head.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += size_t(n);
    }
    ::close(fd);
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (size_t i = 0; i < got; ++i) hash = (hash ^ uint8_t(head[i])) * 1099511628211ull;
    return hash | 1;
}

// Photos by size and, once two share a size, by the hash of their first bytes.
class CContentIndex {
public:
    // Whether a file of the same bytes as path (of size bytes) was added.
    bool Contains(const std::string& path, uint64_t size)
    {
        auto same = m_bySize.find(size);
        if (same == m_bySize.end()) return false;
        const uint64_t hash = Hash(path);
        return std::any_of(same->second.begin(), same->second.end(), [&](const std::string& other) {
            return Hash(other) == hash && CPhotoCopies::SameFileContent(other, path);
        });
    }
    void Add(const std::string& path, uint64_t size) { m_bySize[size].push_back(path); }

private:
    uint64_t Hash(const std::string& path)
    {
        auto found = m_hashes.find(path);
        if (found == m_hashes.end()) found = m_hashes.emplace(path, HeadHash(path)).first;
        return found->second;
    }
    std::map<uint64_t, std::vector<std::string>> m_bySize;
    std::map<std::string, uint64_t> m_hashes;
};

// ISO media files that are not HEIF pictures (MP4, MOV, 3GP) and other video containers.
bool IsVideoHead(const uint8_t* head, size_t size)
{
    if (size >= 8 && std::memcmp(head + 4, "ftyp", 4) == 0) return true;
    if (size >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "AVI ", 4) == 0)
        return true;
    // Matroska / WebM.
    return size >= 4 && std::memcmp(head, "\x1A\x45\xDF\xA3", 4) == 0;
}

// The files below the inputs, in path order, with what could not be walked.
std::vector<std::string> CollectFiles(const std::vector<std::string>& inputs, size_t maxFiles,
                                      std::vector<CSkippedFile>& skipped)
{
    std::vector<std::string> files;
    bool full = false;
    const auto add = [&](const std::string& path) {
        if (files.size() >= maxFiles) {
            if (!full) skipped.push_back({path, kSkipTooManyText});
            full = true;
            return;
        }
        files.push_back(path);
    };
    for (const std::string& input : inputs) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(input, error);
        if (error || !fs::exists(status)) {
            skipped.push_back({input, kSkipUnreadableText});
            continue;
        }
        if (!fs::is_directory(status)) {
            // Links to folders given by name are followed: the user chose them.
            if (fs::is_symlink(status) && fs::is_directory(fs::status(input, error))) {
                skipped.push_back({input, kSkipLinkedFolderText});
                continue;
            }
            add(input);
            continue;
        }
        // Links to folders inside are not followed: a link to a parent would never end.
        fs::recursive_directory_iterator it(input, fs::directory_options::skip_permission_denied,
                                            error);
        if (error) {
            skipped.push_back({input, kSkipUnreadableText});
            continue;
        }
        for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (error) {
                skipped.push_back({input, kSkipUnreadableText});
                break;
            }
            std::error_code typeError;
            const fs::file_status entry = it->symlink_status(typeError);
            if (fs::is_directory(entry)) continue;
            if (fs::is_symlink(entry) && fs::is_directory(it->status(typeError))) {
                skipped.push_back({it->path().string(), kSkipLinkedFolderText});
                continue;
            }
            add(it->path().string());
            if (full) break;
        }
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

}  // namespace

CPhotoScan ScanPhotos(const std::vector<std::string>& inputs, const CPhotoScanOptions& options)
{
    CPhotoScan scan;
    const std::vector<std::string> files = CollectFiles(inputs, options.maxFiles, scan.skipped);
    // To find copies of the same picture without reading every file.
    CContentIndex seen;
    for (size_t i = 0; i < files.size(); ++i) {
        if (options.cancel && options.cancel->load(std::memory_order_relaxed)) {
            scan.cancelled = true;
            return scan;
        }
        if (options.progress) options.progress(i, files.size());
        const std::string& path = files[i];
        uint8_t head[kSniffBytes];
        size_t got = 0;
        struct stat info {};
        std::string reason;
        if (!ReadHead(path, head, got, info, reason)) {
            scan.skipped.push_back({path, reason});
            continue;
        }
        const EPhotoFormat format = SniffPhotoFormat(head, got);
        if (format != EPhotoFormat::Jpeg && format != EPhotoFormat::Heif &&
            format != EPhotoFormat::Png && format != EPhotoFormat::WebP) {
            scan.skipped.push_back(
                {path, IsVideoHead(head, got) ? kSkipVideoText : kSkipNotPhotoText});
            continue;
        }
        if (seen.Contains(path, uint64_t(info.st_size))) {
            scan.skipped.push_back({path, kSkipDuplicateText});
            continue;
        }

        CScannedPhoto photo;
        photo.path = path;
        photo.format = format;
        photo.size = uint64_t(info.st_size);
        const CExifFacts facts = ReadPhotoExifFacts(path);
        photo.hasPosition = facts.hasPosition;
        photo.position = {facts.latitude, facts.longitude};
        if (facts.captured.valid()) {
            photo.timeSource =
                facts.hasOffset ? EPhotoTimeSource::ExifOffset : EPhotoTimeSource::Exif;
            photo.time = JapanTimeOfCapture(facts.captured, facts.hasOffset, facts.offsetMinutes);
        } else {
            photo.timeSource =
                facts.hasPosition ? EPhotoTimeSource::FileTime : EPhotoTimeSource::Unknown;
            photo.time = JapanTimeOfUnix(int64_t(info.st_mtime));
        }
        seen.Add(path, photo.size);
        scan.photos.push_back(std::move(photo));
    }
    if (options.progress) options.progress(files.size(), files.size());
    return scan;
}

void SkipKnownPhotos(CPhotoScan& scan, const std::vector<std::string>& logPhotos,
                     const std::string& dataDir)
{
    std::set<std::string> knownPaths;
    CContentIndex known;
    const auto normal = [](const fs::path& path) {
        std::error_code error;
        const fs::path canonical = fs::weakly_canonical(path, error);
        return (error ? path.lexically_normal() : canonical).string();
    };
    for (const std::string& photo : logPhotos) {
        if (photo.empty()) continue;
        const fs::path path =
            fs::path(photo).is_absolute() ? fs::path(photo) : fs::path(dataDir) / photo;
        const std::string resolved = normal(path);
        if (!knownPaths.insert(resolved).second) continue;
        struct stat info {};
        if (::stat(resolved.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            known.Add(resolved, uint64_t(info.st_size));
    }
    std::vector<CScannedPhoto> kept;
    for (CScannedPhoto& photo : scan.photos) {
        if (knownPaths.count(normal(photo.path)) > 0 || known.Contains(photo.path, photo.size))
            scan.skipped.push_back({photo.path, kSkipKnownText});
        else
            kept.push_back(std::move(photo));
    }
    scan.photos = std::move(kept);
}
