#include "photos/PhotoCopies.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "data/DataFolder.h"
#include "data/GuardedFile.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"
#include "photos/PictureHeader.h"
#include "photos/ThumbnailDecoder.h"

namespace fs = std::filesystem;

namespace {

// Copy names are tried up to this suffix; a folder with that many same-named pictures is
// treated as full rather than searched for ever.
constexpr int kMaxNameSuffix = 9999;

// The path with symbolic links, "." and ".." resolved as far as the file system allows.
std::string NormalPath(const std::string& path)
{
    std::error_code ec;
    fs::path normal = fs::weakly_canonical(fs::path(path), ec);
    if (ec) normal = fs::path(path).lexically_normal();
    return normal.string();
}

// Photos move in pieces of this size, so no photo is ever held whole in memory.
constexpr size_t kChunkBytes = size_t{1} << 20;

// Reads exactly size bytes (fewer only at the end of the file); false on a read error.
bool ReadChunk(CGuardedFile& file, char* buffer, size_t size, size_t& got)
{
    got = 0;
    while (got < size) {
        const ssize_t n = file.Read(buffer + got, size - got);
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return true;
}

// True when both open files hold the same bytes: sizes first, then chunk by chunk.
bool SameContent(CGuardedFile& a, CGuardedFile& b)
{
    if (a.Size() != b.Size() || !a.Rewind() || !b.Rewind()) return false;
    std::vector<char> left(kChunkBytes);
    std::vector<char> right(kChunkBytes);
    for (;;) {
        size_t gotLeft = 0;
        size_t gotRight = 0;
        if (!ReadChunk(a, left.data(), left.size(), gotLeft) ||
            !ReadChunk(b, right.data(), right.size(), gotRight) || gotLeft != gotRight ||
            std::memcmp(left.data(), right.data(), gotLeft) != 0) {
            return false;
        }
        if (gotLeft == 0) return true;
    }
}

// Gives the finished copy temporary its name target, never replacing a file of that name
// (exists tells that case).  A hard link does it in one step; where the file system has none,
// a rename that refuses to replace, and where even that is missing, a rename after a look (the
// Data folder is locked against a second copy of the program).
bool PlaceWithoutReplacing(const std::string& temporary, const std::string& target, bool& exists)
{
    exists = false;
    int rc = ::link(temporary.c_str(), target.c_str());
    if (rc == 0) {
        ::unlink(temporary.c_str());
        return true;
    }
    if (errno != EEXIST) {
        rc = ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
            struct stat st {};
            if (::lstat(target.c_str(), &st) == 0) {
                errno = EEXIST;
            } else if (errno == ENOENT) {
                rc = ::rename(temporary.c_str(), target.c_str());
            }
        }
        if (rc == 0) return true;
    }
    exists = errno == EEXIST;
    return false;
}

// Creates target with the content of source, refusing to replace an existing file.  exists tells
// apart a name that is taken from any other failure.  The bytes go to a temporary file first, so
// a copy cut off by a crash never leaves a part of a photo under the photo's name; a failed copy
// leaves no file behind.
bool CopyToNewFile(CGuardedFile& source, const std::string& sourcePath, const std::string& target,
                   mode_t allowedRights, const CPhotoCopies::ProgressFunction& progress,
                   bool& exists, std::string& error)
{
    exists = false;
    if (!source.Rewind()) {
        error = sourcePath + ": " + SystemErrorText(errno);
        return false;
    }
    std::string temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) {
        error = target + ": " + SystemErrorText(errno);
        return false;
    }
    const auto fail = [&](const std::string& why) {
        error = why;
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    };
    struct stat created {};
    if (::fstat(fd, &created) != 0 || ::fchmod(fd, created.st_mode & 07777 & allowedRights) != 0)
        return fail(target + ": " + SystemErrorText(errno));
    std::vector<char> buffer(kChunkBytes);
    uint64_t copied = 0;
    for (;;) {
        size_t got = 0;
        if (!ReadChunk(source, buffer.data(), buffer.size(), got))
            return fail(sourcePath + ": " + SystemErrorText(errno));
        if (got == 0) break;
        // A file still growing while it is copied is held to the same limit.
        copied += got;
        if (copied > kMaxPhotoFileBytes) {
            return fail(sourcePath + ": " + TooLargeText(kMaxPhotoFileBytes));
        }
        size_t written = 0;
        while (written < got) {
            const ssize_t n = ::write(fd, buffer.data() + written, got - written);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return fail(target + ": " + SystemErrorText(n < 0 ? errno : ENOSPC));
            written += static_cast<size_t>(n);
        }
        if (progress && !progress(copied, source.Size())) return fail("コピーを中止しました");
    }
    if (::fsync(fd) != 0) return fail(target + ": " + SystemErrorText(errno));
    if (::close(fd) != 0) {
        error = target + ": " + SystemErrorText(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (!PlaceWithoutReplacing(temporary, target, exists)) {
        error = target + ": " + SystemErrorText(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// Files of the kernel's own file systems: /proc, /sys and their kin show process memory,
// environments and settings as if they were regular files, often sized 0, and reading some of
// them has effects.  They are never anyone's photos.
bool IsOnSystemFileSystem(int fd, const std::string& path)
{
    const std::string normal = NormalPath(path);
    for (const char* prefix : {"/proc/", "/sys/", "/dev/"}) {
        if (normal.rfind(prefix, 0) == 0) return true;
    }
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0) return true;
    constexpr unsigned long kSystemFileSystems[] = {
        0x9fa0,      // proc
        0x62656572,  // sysfs
        0x64626720,  // debugfs
        0x74726163,  // tracefs
        0x73636673,  // securityfs
        0x27e0eb,    // cgroup
        0x63677270,  // cgroup2
        0x1cd1,      // devpts
        0xcafe4a11,  // bpf
        0x62656570,  // configfs
        0xde5e81e4,  // efivarfs
        0x6165676c,  // pstore
    };
    const auto type = static_cast<unsigned long>(fs.f_type);
    return std::find(std::begin(kSystemFileSystems), std::end(kSystemFileSystems), type) !=
           std::end(kSystemFileSystems);
}

// The rights a copy may have: a copy gets what a new file gets, but never more than its source
// allows, so a private file stays private.  Group rights count only for the source's own group
// (a copy belongs to ours); for another group the copy's group gets no more than anyone.
mode_t AllowedCopyRights(const struct stat& source)
{
    mode_t allowed = source.st_mode & 0666;
    if (source.st_gid != ::getegid()) allowed &= ~0060 | ((source.st_mode & 0006) << 3);
    return allowed;
}

std::string CandidateName(const fs::path& name, int suffix)
{
    if (suffix == 1) return name.string();
    return name.stem().string() + "_" + std::to_string(suffix) + name.extension().string();
}

}  // namespace

CPhotoCopies::CPhotoCopies(const CDataFolder& folder) : CPhotoCopies(folder.GetPictureDir()) {}

CPhotoCopies::CPhotoCopies(std::string pictureDir) : m_pictureDir(std::move(pictureDir))
{
    if (!m_pictureDir.empty() && m_pictureDir.back() != '/') m_pictureDir += '/';
}

bool CPhotoCopies::IsInPictureDir(const std::string& path) const
{
    if (m_pictureDir.empty() || path.empty()) return false;
    const fs::path parent = fs::path(NormalPath(path)).parent_path();
    const fs::path folder = fs::path(NormalPath(m_pictureDir)).lexically_normal();
    // weakly_canonical keeps a trailing separator as an empty last element; compare without it.
    fs::path folderClean = folder;
    if (!folderClean.has_filename()) folderClean = folderClean.parent_path();
    return parent == folderClean;
}

bool CPhotoCopies::CopyIntoPictureDir(const std::string& source, std::string& target, bool& newCopy,
                                      std::string* error) const
{
    return CopyIntoPictureDir(source, target, newCopy, error, m_progress);
}

bool CPhotoCopies::CopyIntoPictureDir(const std::string& source, std::string& target, bool& newCopy,
                                      std::string* error, const ProgressFunction& progress) const
{
    newCopy = false;
    std::string reason;
    const auto fail = [&](std::string why) {
        if (error) *error = std::move(why);
        return false;
    };
    if (m_pictureDir.empty()) return fail("プログラムのフォルダが見つかりません。");
    if (IsInPictureDir(source)) {
        target = source;
        return true;
    }
    CGuardedFile sourceFile;
    if (sourceFile.Open(source, kMaxPhotoFileBytes, &reason) != EFileRead::Ok) return fail(reason);
    struct stat sourceStat {};
    if (::fstat(sourceFile.Descriptor(), &sourceStat) != 0)
        return fail(source + ": " + SystemErrorText(errno));
    if (IsOnSystemFileSystem(sourceFile.Descriptor(), source))
        return fail(source + ": " + kSystemFileText);
    CPictureSize pictureSize;
    if (ReadPictureHeader(sourceFile.Descriptor(), source, pictureSize) == EPhotoFormat::Unknown)
        return fail(source + ": " + kNotPictureText);

    std::error_code ec;
    fs::create_directories(fs::path(m_pictureDir), ec);
    if (ec) return fail(m_pictureDir + ": " + SystemErrorText(ec.value()));

    const fs::path name = fs::path(source).filename();
    if (name.empty()) return fail(source + ": ファイル名がありません");
    for (int suffix = 1; suffix <= kMaxNameSuffix; ++suffix) {
        const std::string candidate = m_pictureDir + CandidateName(name, suffix);
        if (Cp932ByteLength(candidate) > kMaxPathBytes)
            return fail(candidate + ": ファイルの場所が長すぎます (255 バイトまで)");
        CGuardedFile existing;
        const EFileRead taken = existing.Open(candidate, kMaxPhotoFileBytes);
        if (taken == EFileRead::Ok) {
            // The same picture copied before (for this or another trip) is shared, not doubled.
            if (SameContent(existing, sourceFile)) {
                target = candidate;
                return true;
            }
            continue;
        }
        // Taken by a pipe, a device, a folder or anything unreadable: never touched.
        if (taken != EFileRead::Missing) continue;
        bool exists = false;
        if (CopyToNewFile(sourceFile, source, candidate, AllowedCopyRights(sourceStat), progress,
                          exists, reason)) {
            target = candidate;
            newCopy = true;
            return true;
        }
        if (!exists) return fail(reason);
    }
    return fail(m_pictureDir + CandidateName(name, 1) +
                ": 同じ名前のファイルが多すぎるため、コピーする名前がありません");
}

CPhotoCopies::CCopyReport CPhotoCopies::CopyTripPhotos(CTripRecord& trip) const
{
    CCopyReport report;
    const auto sizeOf = [this](const std::string& path) -> uint64_t {
        struct stat st {};
        if (IsInPictureDir(path) || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return 0;
        return static_cast<uint64_t>(st.st_size);
    };
    // The sizes as the copying starts, in the order the photos are copied.
    std::vector<uint64_t> sizes;
    uint64_t total = 0;
    for (const std::vector<std::string>* paths : {&trip.placePhotos, &trip.fishPhotos}) {
        for (const std::string& path : *paths) total += sizes.emplace_back(sizeOf(path));
    }
    auto size = sizes.begin();
    uint64_t done = 0;
    ProgressFunction progress;
    if (m_progress) {
        progress = [&](uint64_t copied, uint64_t) {
            report.cancelled =
                report.cancelled || !m_progress(std::min(done + copied, total), total);
            return !report.cancelled;
        };
    }
    for (std::vector<std::string>* paths : {&trip.placePhotos, &trip.fishPhotos}) {
        for (std::string& path : *paths) {
            std::string target;
            std::string reason;
            bool newCopy = false;
            const bool copied = CopyIntoPictureDir(path, target, newCopy, &reason, progress);
            if (report.cancelled) return report;
            if (!copied) {
                report.failed.push_back(path + " (" + reason + ")");
            } else {
                if (newCopy) report.newCopies.push_back(target);
                path = target;
            }
            done += *size++;
            if (progress && !progress(0, total)) return report;
        }
    }
    return report;
}

std::vector<std::string> CPhotoCopies::DeleteUnusedCopies(
    const std::vector<std::string>& removed, const std::vector<CTripRecord>& trips,
    const std::function<bool(const std::string&)>& remove) const
{
    std::set<std::string> named;
    for (const CTripRecord& trip : trips) {
        for (const auto* paths : {&trip.placePhotos, &trip.fishPhotos}) {
            for (const std::string& path : *paths) named.insert(NormalPath(path));
        }
    }
    std::vector<std::string> deleted;
    for (const std::string& path : removed) {
        if (!IsInPictureDir(path)) continue;  // the user's own file, never ours to delete
        const std::string normal = NormalPath(path);
        if (named.count(normal) != 0) continue;
        if (remove ? remove(path) : ::unlink(path.c_str()) == 0) deleted.push_back(path);
        named.insert(normal);  // the same path removed twice is deleted once
    }
    return deleted;
}

bool CPhotoCopies::SameFileContent(const std::string& a, const std::string& b)
{
    CGuardedFile left;
    CGuardedFile right;
    return left.Open(a, kMaxPhotoFileBytes) == EFileRead::Ok &&
           right.Open(b, kMaxPhotoFileBytes) == EFileRead::Ok && SameContent(left, right);
}

void CPhotoCopies::DeleteFiles(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) ::unlink(path.c_str());
}
