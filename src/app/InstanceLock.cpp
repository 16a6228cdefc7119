#include "app/InstanceLock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>

#include "data/GuardedFile.h"
#include "data/SafeFile.h"

CInstanceLock::~CInstanceLock()
{
    Release();
}

CInstanceLock::EResult CInstanceLock::Acquire(const std::string& lockPath, std::string* error)
{
    Release();
    m_holderPid = 0;
    const size_t slash = lockPath.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        const std::string folder = lockPath.substr(0, slash);
        if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
            if (error) *error = folder + ": " + SystemErrorText(errno);
            return EResult::Failed;
        }
    }
    const int fd =
        ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error) *error = lockPath + ": " + SystemErrorText(errno);
        return EResult::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (error) *error = lockPath + ": " + kNotRegularFileText;
        return EResult::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int saved = errno;
        if (saved == EWOULDBLOCK) {
            char buffer[32] = {};
            const ssize_t got = ::pread(fd, buffer, sizeof buffer - 1, 0);
            if (got > 0) m_holderPid = std::strtol(buffer, nullptr, 10);
            ::close(fd);
            return EResult::HeldByAnother;
        }
        ::close(fd);
        if (error) *error = lockPath + ": " + SystemErrorText(saved);
        return EResult::Failed;
    }
    // The process id is only information for the user; the lock itself is the flock.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        (void)!::pwrite(fd, pid.data(), pid.size(), 0);
    }
    m_fd = fd;
    return EResult::Acquired;
}

void CInstanceLock::Release()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void RemoveLeftoversOfCutSaves(const CDataFolder& folder)
{
    for (const std::string& dir : {folder.GetDataDir(), folder.GetScheduleDir(),
                                   folder.GetPictureDir(), folder.GetHistoryDir()}) {
        RemoveLeftoverTemporaries(dir);
    }
    // Photo copies an undo set aside in a run that ended without tidying up: no trip names
    // them, and nothing can bring their trips back now.
    std::error_code code;
    std::filesystem::remove_all(folder.GetUndoneDir(), code);
}

bool LockDataFolderForCommand(CInstanceLock& lock, const CDataFolder& folder,
                              const std::string& refused, std::ostream& err)
{
    std::string error;
    switch (lock.Acquire(folder.GetLockFile(), &error)) {
        case CInstanceLock::EResult::Acquired:
            // What an earlier command or window cut off goes now, not only when the window next
            // starts.
            RemoveLeftoversOfCutSaves(folder);
            return true;
        case CInstanceLock::EResult::HeldByAnother:
            err << "lurebook: " << refused << "\n";
            return false;
        case CInstanceLock::EResult::Failed:
            err << "二重起動を防ぐロックを作成できませんでした: " << error << "\n";
            return true;
    }
    return true;
}
