#include "phototrips/PhotoScan.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>
#include <unordered_map>

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

// Two files of one size are told apart by a hash of their first bytes before their whole bytes
// are compared.  The head of a photo holds its capture time and header, so different photos of
// the same size almost always differ here already; equal heads are then compared in full.
uint64_t ContentFingerprint(const uint8_t* data, size_t size)
{
    const std::string_view head(reinterpret_cast<const char*>(data), size);
    return std::hash<std::string_view>{}(head) | 1;
}

// The fingerprint of the file at path; 0 when it cannot be read.
uint64_t FileFingerprint(const std::string& path)
{
    CGuardedFile file;
    if (file.Open(path, kMaxPhotoFileBytes) != EFileRead::Ok) return 0;
    uint8_t head[kPhotoHeadBytes];
    const size_t got = ReadPhotoHead(file, head);
    return got > 0 ? ContentFingerprint(head, got) : 0;
}

// Photos by their size, so that only photos of a size already seen are fingerprinted and
// compared.
class CContentIndex {
public:
    // Whether a file of the same bytes as path (of size bytes and the given fingerprint) was
    // added.
    bool Contains(const std::string& path, uint64_t size, uint64_t fingerprint)
    {
        const auto same = m_bySize.equal_range(size);
        for (auto it = same.first; it != same.second; ++it) {
            CEntry& other = it->second;
            if (!other.fingerprint) other.fingerprint = FileFingerprint(other.path);
            if (*other.fingerprint == fingerprint &&
                CPhotoCopies::SameFileContent(other.path, path))
                return true;
        }
        return false;
    }
    // Without a fingerprint, it is worked out when it is first needed.
    void Add(const std::string& path, uint64_t size,
             std::optional<uint64_t> fingerprint = std::nullopt)
    {
        m_bySize.emplace(size, CEntry{path, fingerprint});
    }

private:
    struct CEntry {
        std::string path;
        std::optional<uint64_t> fingerprint;  // 0 for a file that could not be read
    };
    std::unordered_multimap<uint64_t, CEntry> m_bySize;
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
            // The entry's type as the folder listing gave it: no look at the file for each.
            std::error_code typeError;
            const bool link = it->is_symlink(typeError);
            if (!link && it->is_directory(typeError)) continue;
            if (link && it->is_directory(typeError)) {
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

namespace {

// What one file of a scan turned out to be: a photo, or a file skipped with its reason.
bool ScanOneFile(const std::string& path, CContentIndex& seen, CScannedPhoto& photo,
                 std::string& reason)
{
    CGuardedFile file;
    switch (file.Open(path, kMaxPhotoFileBytes)) {
        case EFileRead::Ok:
            break;
        case EFileRead::NotRegular:
            reason = kSkipNotRegularText;
            return false;
        case EFileRead::TooLarge:
            reason = kSkipTooLargeText;
            return false;
        default:
            reason = kSkipUnreadableText;
            return false;
    }
    uint8_t head[kPhotoHeadBytes];
    const size_t got = ReadPhotoHead(file, head);
    if (got == 0) {
        reason = kSkipUnreadableText;
        return false;
    }
    const EPhotoFormat format = SniffPhotoFormat(head, got);
    if (format != EPhotoFormat::Jpeg && format != EPhotoFormat::Heif &&
        format != EPhotoFormat::Png && format != EPhotoFormat::WebP) {
        reason = IsVideoHead(head, got) ? kSkipVideoText : kSkipNotPhotoText;
        return false;
    }
    photo.path = path;
    photo.format = format;
    const CFileIdentity& identity = file.Identity();
    photo.size = file.Size();
    photo.device = uint64_t(identity.device);
    photo.inode = uint64_t(identity.inode);
    photo.fingerprint = ContentFingerprint(head, got);
    if (seen.Contains(path, photo.size, photo.fingerprint)) {
        reason = kSkipDuplicateText;
        return false;
    }
    const CExifFacts facts =
        ReadPhotoExifFacts(CFileBytes(file.Descriptor(), head, got), format, path);
    photo.hasPosition = facts.hasPosition;
    photo.position = {facts.latitude, facts.longitude};
    if (facts.captured.valid()) {
        photo.timeSource = facts.hasOffset ? EPhotoTimeSource::ExifOffset : EPhotoTimeSource::Exif;
        photo.time = JapanTimeOfCapture(facts.captured, facts.hasOffset, facts.offsetMinutes);
    } else {
        photo.timeSource =
            facts.hasPosition ? EPhotoTimeSource::FileTime : EPhotoTimeSource::Unknown;
        photo.time = JapanTimeOfUnix(identity.modifiedSeconds);
    }
    seen.Add(path, photo.size, photo.fingerprint);
    return true;
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
        CScannedPhoto photo;
        std::string reason;
        if (ScanOneFile(files[i], seen, photo, reason))
            scan.photos.push_back(std::move(photo));
        else
            scan.skipped.push_back({files[i], reason});
    }
    if (options.progress) options.progress(files.size(), files.size());
    return scan;
}

void SkipKnownPhotos(CPhotoScan& scan, const std::vector<std::string>& logPhotos,
                     const std::string& dataDir)
{
    // The log's photos as files (a link or another name for one is the same file) and by size;
    // their fingerprints are read only for a scanned photo of the same size.
    std::set<std::pair<uint64_t, uint64_t>> knownFiles;
    CContentIndex known;
    for (const std::string& photo : logPhotos) {
        if (photo.empty()) continue;
        const fs::path path =
            fs::path(photo).is_absolute() ? fs::path(photo) : fs::path(dataDir) / photo;
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        if (knownFiles.emplace(uint64_t(info.st_dev), uint64_t(info.st_ino)).second)
            known.Add(path.string(), uint64_t(info.st_size));
    }
    std::vector<CScannedPhoto> kept;
    for (CScannedPhoto& photo : scan.photos) {
        if (knownFiles.count({photo.device, photo.inode}) > 0 ||
            known.Contains(photo.path, photo.size, photo.fingerprint))
            scan.skipped.push_back({photo.path, kSkipKnownText});
        else
            kept.push_back(std::move(photo));
    }
    scan.photos = std::move(kept);
}
