#include "data/SafeFile.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

#include "data/GuardedFile.h"

namespace {

SafeWriteFunction& WriteSeam()
{
    static SafeWriteFunction function;
    return function;
}

SafeFsyncFunction& FsyncSeam()
{
    static SafeFsyncFunction function;
    return function;
}

SafeRenameFunction& RenameSeam()
{
    static SafeRenameFunction function;
    return function;
}

void SetError(std::string* error, const std::string& text)
{
    if (error) *error = text;
}

std::string DirectoryOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file a write of path must replace: the target of a symbolic link, else path itself.
std::string ResolveTarget(const std::string& path)
{
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) != nullptr) return resolved;
    }
    return path;
}

bool WriteAll(int fd, std::string_view bytes, int& savedErrno)
{
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = WriteSeam() ? WriteSeam()(fd, data, left) : ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            savedErrno = errno;
            return false;
        }
        if (written == 0) {
            savedErrno = ENOSPC;
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

// The mode a new file gets from open(2).  umask can only be read by setting it, so it is read
// once: files are written from more than one thread.
mode_t DefaultFileMode()
{
    static const mode_t mask = [] {
        const mode_t current = ::umask(022);
        ::umask(current);
        return current;
    }();
    return 0666 & ~mask;
}

// Whether name is "<file>.tmp-XXXXXX", the name of a temporary file of this program.
bool IsTemporaryName(const std::string& name)
{
    const size_t at = name.rfind(".tmp-");
    if (at == std::string::npos || at == 0 || name.size() != at + 11) return false;
    return std::all_of(name.begin() + static_cast<long>(at) + 5, name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

bool SyncDirectory(const std::string& directory)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

// Removes the regular files of directory with temporary names that remove(name, stat) picks.
void ForEachTemporary(const std::string& directory,
                      const std::function<bool(const std::string&, const struct stat&)>& remove)
{
    DIR* folder = ::opendir(directory.c_str());
    if (folder == nullptr) return;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (!IsTemporaryName(name)) continue;
        const std::string path = directory + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && remove(name, st)) {
            ::unlink(path.c_str());
        }
    }
    ::closedir(folder);
}

// A write cut off by a crash or a kill leaves its temporary file behind.  Once the file has been
// written whole again, such leftovers older than an hour (no write takes that long) are removed.
// (The program removes those of its Data folder at start-up, see RemoveLeftoverTemporaries.)
void RemoveStaleTemporaries(const std::string& target)
{
    const std::string directory = DirectoryOf(target);
    const std::string prefix = target.substr(target.rfind('/') + 1) + ".tmp-";
    const time_t now = ::time(nullptr);
    ForEachTemporary(directory, [&](const std::string& name, const struct stat& st) {
        return name.compare(0, prefix.size(), prefix) == 0 && now - st.st_mtime > 3600;
    });
}
}  // namespace

int CreateTemporaryBeside(const std::string& target, std::string& temporary)
{
    temporary = target + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    // mkstemp makes the file private; it gets the mode a new file would (WriteFileSafely gives
    // a replaced file the original's mode afterwards).
    if (::fchmod(fd, DefaultFileMode()) != 0) {
        const int saved = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        errno = saved;
        return -1;
    }
    return fd;
}

void RemoveLeftoverTemporaries(const std::string& directory)
{
    ForEachTemporary(directory, [](const std::string&, const struct stat&) { return true; });
}

std::string SystemErrorText(int error)
{
    // The reasons a user meets when a file cannot be read or written, in the words of the
    // interface; strerror speaks English whatever the locale the program runs in.
    switch (error) {
        case ENOENT:
            return "ファイルまたはフォルダがありません";
        case ENOTDIR:
            return "途中の名前がフォルダではありません";
        case EISDIR:
            return "フォルダです (ファイルではありません)";
        case EACCES:
        case EPERM:
            return "アクセスする権限がありません";
        case EROFS:
            return "読み込み専用のディスクです";
        case ENOSPC:
            return "ディスクの空き容量が足りません";
        case EDQUOT:
            return "ディスクの使用量の上限 (クォータ) を超えました";
        case EIO:
            return "ディスクの読み書きに失敗しました (入出力エラー)";
        case EEXIST:
            return "同じ名前のファイルがすでにあります";
        case ENAMETOOLONG:
            return "ファイル名が長すぎます";
        case ELOOP:
            return "シンボリックリンクが多すぎるか循環しています";
        case EMFILE:
        case ENFILE:
            return "開いているファイルが多すぎます";
        case ENOMEM:
            return "メモリが足りません";
        case EFBIG:
            return "ファイルが大きすぎます";
        case EBUSY:
            return "ほかのプログラムが使用中です";
        case ETXTBSY:
            return "実行中のファイルです";
        case EXDEV:
            return "別のディスクへは移動できません";
        case ENOTEMPTY:
            return "フォルダが空ではありません";
        case EINVAL:
            return "この操作はできません (引数が正しくありません)";
        case EAGAIN:
            return "一時的に使えません。しばらくしてからもう一度お試しください";
        case EINTR:
            return "操作が中断されました";
        case EBADF:
            return "ファイルが開かれていません";
        case ENXIO:
        case ENODEV:
            return "装置がありません";
        case ESTALE:
            return "ネットワーク上のファイルが使えなくなりました";
        case ETIMEDOUT:
            return "時間内に応答がありませんでした";
        case ENOTSUP:
            return "このディスクではその操作ができません";
        case 0:
            return "原因不明のエラーです";
        default:
            return "システムのエラーです (番号 " + std::to_string(error) + ")";
    }
}

void SetSafeWriteFunctionForTesting(SafeWriteFunction function)
{
    WriteSeam() = std::move(function);
}

void SetSafeFsyncFunctionForTesting(SafeFsyncFunction function)
{
    FsyncSeam() = std::move(function);
}

void SetSafeRenameFunctionForTesting(SafeRenameFunction function)
{
    RenameSeam() = std::move(function);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error, bool* missing,
                   size_t maxBytes)
{
    const EFileRead status = ReadFileGuarded(path, maxBytes, bytes, error);
    if (missing) *missing = status == EFileRead::Missing;
    return status == EFileRead::Ok;
}

namespace {

// The checks on a target before anything is written: false with the reason in error.
bool CheckWriteTarget(const std::string& path, std::string& target, struct stat& original,
                      bool& exists, std::string* error)
{
    if (path.empty()) {
        SetError(error, "ファイル名がありません");
        return false;
    }
    target = ResolveTarget(path);
    exists = ::stat(target.c_str(), &original) == 0;
    if (exists && S_ISDIR(original.st_mode)) {
        SetError(error, target + ": " + SystemErrorText(EISDIR));
        return false;
    }
    // Renaming over a pipe or a device would silently take its place.
    if (exists && !S_ISREG(original.st_mode)) {
        SetError(error, target + ": " + kNotRegularFileText);
        return false;
    }
    return true;
}

}  // namespace

namespace {

// The canonical form of a path for comparison, resolving what exists of it.
std::string ResolvedPath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return error ? std::filesystem::path(path).lexically_normal().string() : resolved.string();
}

}  // namespace

bool IsPathInFolder(const std::string& path, const std::string& folder)
{
    std::string target = ResolvedPath(path);
    std::string inside = ResolvedPath(folder);
    if (target.empty() || inside.empty()) return false;
    while (target.size() > 1 && target.back() == '/') target.pop_back();
    while (inside.size() > 1 && inside.back() == '/') inside.pop_back();
    if (target == inside) return true;
    if (inside.back() != '/') inside += '/';
    return target.rfind(inside, 0) == 0;
}

bool CanWriteFileSafely(const std::string& path, std::string* error)
{
    std::string target;
    struct stat original {};
    bool exists = false;
    if (!CheckWriteTarget(path, target, original, exists, error)) return false;
    std::string temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) {
        SetError(error, DirectoryOf(target) + ": " + SystemErrorText(errno));
        return false;
    }
    ::close(fd);
    ::unlink(temporary.c_str());
    return true;
}

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error)
{
    std::string target;
    struct stat original {};
    bool exists = false;
    if (!CheckWriteTarget(path, target, original, exists, error)) return false;
    const std::string directory = DirectoryOf(target);

    std::string temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) {
        SetError(error, directory + ": " + SystemErrorText(errno));
        return false;
    }
    const auto fail = [&](int savedErrno, const std::string& what) {
        ::close(fd);
        ::unlink(temporary.c_str());
        SetError(error, what + ": " + SystemErrorText(savedErrno));
        return false;
    };

    int savedErrno = 0;
    if (!WriteAll(fd, bytes, savedErrno)) return fail(savedErrno, target);
    if (exists) {
        // Best effort for the owner (only root may give a file away); the mode must match.
        if (::fchown(fd, original.st_uid, original.st_gid) != 0) {
            // Still best effort; a cast to void does not quiet glibc's unused-result check.
            [[maybe_unused]] const int groupOnly =
                ::fchown(fd, static_cast<uid_t>(-1), original.st_gid);
        }
        if (::fchmod(fd, original.st_mode & 07777) != 0) return fail(errno, target);
    }
    if ((FsyncSeam() ? FsyncSeam()(fd) : ::fsync(fd)) != 0) return fail(errno, target);
    if (::close(fd) != 0) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        SetError(error, target + ": " + SystemErrorText(saved));
        return false;
    }
    const int renamed = RenameSeam() ? RenameSeam()(temporary.c_str(), target.c_str())
                                     : ::rename(temporary.c_str(), target.c_str());
    if (renamed != 0) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        SetError(error, target + ": " + SystemErrorText(saved));
        return false;
    }
    // The new name is in place; a folder that cannot be flushed is unusual but not a lost file.
    SyncDirectory(directory);
    RemoveStaleTemporaries(target);
    return true;
}

CFileIdentity FileIdentityOf(const struct stat& st)
{
    CFileIdentity identity;
    identity.device = st.st_dev;
    identity.inode = st.st_ino;
    identity.size = st.st_size;
    identity.modifiedSeconds = st.st_mtim.tv_sec;
    identity.modifiedNanoseconds = st.st_mtim.tv_nsec;
    return identity;
}

bool GetFileIdentity(const std::string& path, CFileIdentity& identity)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        identity = CFileIdentity{};
        return false;
    }
    identity = FileIdentityOf(st);
    return true;
}

bool KeepBackupCopy(const std::string& path, const std::string& backupPath, std::string* error)
{
    const std::string target = ResolveTarget(path);
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        if (errno == ENOENT) return true;
        SetError(error, target + ": " + SystemErrorText(errno));
        return false;
    }
    // A hard link keeps the current content without copying it: the original is replaced by
    // rename, so the linked inode stays exactly as it was.
    const std::string temporary = backupPath + ".tmp-link";
    ::unlink(temporary.c_str());
    if (::link(target.c_str(), temporary.c_str()) == 0) {
        if (::rename(temporary.c_str(), backupPath.c_str()) == 0) {
            // When the backup already is this very file (kept before a save that then failed),
            // rename leaves both names in place; the extra one must not stay behind.
            ::unlink(temporary.c_str());
            return true;
        }
        ::unlink(temporary.c_str());
    }
    std::string bytes;
    if (!ReadWholeFile(target, bytes, error)) return false;
    return WriteFileSafely(backupPath, bytes, error);
}
