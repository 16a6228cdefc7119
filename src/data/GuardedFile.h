#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "data/SafeFile.h"

// Every file the program reads comes through here, so that a pipe or a device put in a file's
// place cannot block or flood it, and a file far larger than its kind can be is refused by every
// reader and writer of that kind alike.

// How large each kind of file may be.  The limits are generous for what the files hold (a list of
// names, a few hundred bytes of holidays, 31 memos of a month, a photograph) and small enough
// that reading one never takes noticeable time or memory.
inline constexpr size_t kMaxSpeciesFileBytes = size_t{256} << 10;
inline constexpr size_t kMaxHolidayFileBytes = size_t{1} << 20;
inline constexpr size_t kMaxProfileFileBytes = size_t{1} << 20;
inline constexpr uint64_t kMaxPhotoFileBytes = uint64_t{2} << 30;

enum class EFileRead {
    Ok,
    Missing,     // no such file (or a folder on the way is missing)
    NotRegular,  // a folder, pipe, device or socket
    TooLarge,    // larger than the limit of its kind
    Unreadable,  // any other failure (permissions, I/O error)
};

// Words used in error texts, so callers and tests can tell the cases apart.
inline constexpr const char* kNotRegularFileText =
    "普通のファイルではありません (フォルダ、パイプ、装置など)";
inline constexpr const char* kTooLargeFileText = "ファイルが大きすぎます";

// "N MiB" style text of a byte count, for messages about limits.
std::string ByteLimitText(uint64_t bytes);
// "ファイルが大きすぎます (N MiB<tail>を超えています)": the reason for a file over its limit.
std::string TooLargeText(uint64_t maxBytes, const char* tail = "");

// An open regular file for reading.  The open never blocks (a pipe without a writer is refused,
// not waited for) and the type is checked on the open file, so nothing can be swapped in between.
class CGuardedFile {
public:
    CGuardedFile() = default;
    ~CGuardedFile();
    CGuardedFile(const CGuardedFile&) = delete;
    CGuardedFile& operator=(const CGuardedFile&) = delete;

    // Opens path when it is a regular file of at most maxBytes.  Otherwise returns why, with the
    // file named in error (when given).
    EFileRead Open(const std::string& path, uint64_t maxBytes, std::string* error = nullptr);

    // Size when opened.
    uint64_t Size() const { return m_size; }
    // Identity of the file opened (see CFileIdentity).
    const CFileIdentity& Identity() const { return m_identity; }
    // The open descriptor (-1 when closed), for questions about the file opened itself.
    int Descriptor() const { return m_fd; }
    // Reads up to size bytes (interrupted reads are retried): the count read, 0 at the end,
    // -1 with errno set on failure.
    ssize_t Read(char* buffer, size_t size);
    // Back to the first byte, for a second pass over the file.
    bool Rewind();
    void Close();

private:
    int m_fd = -1;
    uint64_t m_size = 0;
    CFileIdentity m_identity;
};

// Reads the whole regular file path, at most maxBytes (also when it grows while being read).
// On failure bytes is left empty and error (when given) names the file and the reason.
EFileRead ReadFileGuarded(const std::string& path, size_t maxBytes, std::string& bytes,
                          std::string* error = nullptr);
