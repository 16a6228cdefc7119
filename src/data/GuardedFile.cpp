#include "data/GuardedFile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "data/SafeFile.h"

std::string ByteLimitText(uint64_t bytes)
{
    constexpr uint64_t kKiB = 1024;
    if (bytes >= kKiB * kKiB * kKiB && bytes % (kKiB * kKiB * kKiB) == 0)
        return std::to_string(bytes / (kKiB * kKiB * kKiB)) + " GiB";
    if (bytes >= kKiB * kKiB && bytes % (kKiB * kKiB) == 0)
        return std::to_string(bytes / (kKiB * kKiB)) + " MiB";
    return std::to_string(bytes) + " バイト";
}

std::string TooLargeText(uint64_t maxBytes, const char* tail)
{
    return std::string(kTooLargeFileText) + " (" + ByteLimitText(maxBytes) + tail +
           "を超えています)";
}

CGuardedFile::~CGuardedFile()
{
    Close();
}

void CGuardedFile::Close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

EFileRead CGuardedFile::Open(const std::string& path, uint64_t maxBytes, std::string* error)
{
    Close();
    const auto failed = [&](EFileRead status, const std::string& why) {
        Close();
        if (error) *error = path + ": " + why;
        return status;
    };
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0) {
        const int saved = errno;
        return failed(
            saved == ENOENT || saved == ENOTDIR ? EFileRead::Missing : EFileRead::Unreadable,
            SystemErrorText(saved));
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) return failed(EFileRead::Unreadable, SystemErrorText(errno));
    if (!S_ISREG(st.st_mode)) return failed(EFileRead::NotRegular, kNotRegularFileText);
    m_size = static_cast<uint64_t>(st.st_size);
    m_identity = FileIdentityOf(st);
    if (m_size > maxBytes) {
        return failed(EFileRead::TooLarge, TooLargeText(maxBytes));
    }
    // Regular files never block; reads are plain blocking reads from here on.
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags >= 0) (void)::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
    return EFileRead::Ok;
}

ssize_t CGuardedFile::Read(char* buffer, size_t size)
{
    if (m_fd < 0) {
        errno = EBADF;
        return -1;
    }
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, size);
        if (got < 0 && errno == EINTR) continue;
        return got;
    }
}

bool CGuardedFile::Rewind()
{
    return m_fd >= 0 && ::lseek(m_fd, 0, SEEK_SET) == 0;
}

EFileRead ReadFileGuarded(const std::string& path, size_t maxBytes, std::string& bytes,
                          std::string* error)
{
    bytes.clear();
    CGuardedFile file;
    const EFileRead status = file.Open(path, maxBytes, error);
    if (status != EFileRead::Ok) return status;
    std::string content;
    content.reserve(static_cast<size_t>(file.Size()));
    char buffer[65536];
    for (;;) {
        const ssize_t got = file.Read(buffer, sizeof buffer);
        if (got < 0) {
            if (error) *error = path + ": " + SystemErrorText(errno);
            return EFileRead::Unreadable;
        }
        if (got == 0) break;
        if (static_cast<size_t>(got) > maxBytes - content.size()) {
            if (error) {
                *error = path + ": " + TooLargeText(maxBytes);
            }
            return EFileRead::TooLarge;
        }
        content.append(buffer, static_cast<size_t>(got));
    }
    bytes = std::move(content);
    return EFileRead::Ok;
}
