#include "data/CatchBackup.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <vector>

#include "data/SafeFile.h"
#include "data/XMLDocument.h"

namespace {

std::string BackupPathOf(const std::string& path)
{
    return path + ".bak";
}

// A new file holding bytes, never replacing one that exists (EEXIST in savedErrno then).
bool WriteNewFile(const std::string& path, const std::string& bytes, mode_t mode, int& savedErrno)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        savedErrno = errno;
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            savedErrno = written < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(path.c_str());
            return false;
        }
        done += static_cast<size_t>(written);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        savedErrno = errno;
        ::unlink(path.c_str());
        return false;
    }
    return true;
}

// Keeps the broken file's bytes under a dated name that no file has yet.
bool KeepBrokenFile(const std::string& path, std::time_t when, std::string& keptAs,
                    std::string& error)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes, &error)) return false;
    struct stat st {};
    const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    const std::string base = BrokenFileName(path, when);
    for (int attempt = 1; attempt <= 100; ++attempt) {
        keptAs = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        int savedErrno = 0;
        if (WriteNewFile(keptAs, bytes, mode, savedErrno)) return true;
        if (savedErrno != EEXIST) {
            error = keptAs + ": " + SystemErrorText(savedErrno);
            return false;
        }
    }
    error = base + ": " + SystemErrorText(EEXIST);
    return false;
}

}  // namespace

bool FindRestorableBackup(const CCatchStore& store, CBrokenCatchFile& found)
{
    const CStoreResult current = store.ReadTrips([](const std::vector<CTripRecord>&) {});
    if (current.status != EStoreStatus::ParseError) return false;
    const std::string backupPath = BackupPathOf(store.GetPath());
    std::vector<CTripRow> rows;
    if (!CCatchStore(backupPath).ListTrips(rows).ok()) return false;
    found.problem = current;
    found.backupPath = backupPath;
    found.backupTrips = rows.size();
    return true;
}

std::string BrokenFileName(const std::string& path, std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return path + ".broken-" + stamp;
}

namespace {
// The backup's bytes put in place of the broken file by write, the broken file kept first.
bool RestoreBackupWith(const std::string& path, std::time_t when, std::string* keptAs,
                       std::string* error,
                       const std::function<bool(const std::string&, std::string&)>& write)
{
    std::string reason;
    std::string backup;
    if (!ReadWholeFile(BackupPathOf(path), backup, &reason, nullptr, kMaxXMLFileBytes)) {
        if (error) *error = reason;
        return false;
    }
    CXMLDataFile check;
    if (!check.LoadXMLDataFromMemory(backup, BackupPathOf(path))) {
        if (error) *error = BackupPathOf(path) + ": " + check.GetErrorText();
        return false;
    }
    std::string dated;
    if (!KeepBrokenFile(path, when, dated, reason)) {
        if (error) *error = reason;
        return false;
    }
    if (!write(backup, reason)) {
        ::unlink(dated.c_str());
        if (error) *error = reason;
        return false;
    }
    if (keptAs) *keptAs = dated;
    return true;
}
}  // namespace

bool RestoreCatchBackup(const std::string& path, std::time_t when, std::string* keptAs,
                        std::string* error)
{
    return RestoreBackupWith(path, when, keptAs, error,
                             [&](const std::string& backup, std::string& reason) {
                                 return WriteFileSafely(path, backup, &reason);
                             });
}

bool RestoreCatchBackup(CCatchStore& store, std::time_t when, std::string* keptAs,
                        std::string* error)
{
    return RestoreBackupWith(store.GetPath(), when, keptAs, error,
                             [&](const std::string& backup, std::string& reason) {
                                 // The backup itself stays: it is the good version being put back.
                                 const CStoreResult result =
                                     store.ReplaceContent(backup, "バックアップからの復元", false);
                                 reason = result.detail;
                                 return result.ok();
                             });
}
