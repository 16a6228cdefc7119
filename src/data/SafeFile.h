#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// What tells one version of a file from another: a file replaced, written or touched gets a
// different identity.
struct CFileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    int64_t modifiedSeconds = 0;
    long modifiedNanoseconds = 0;
    bool operator==(const CFileIdentity&) const = default;
};
// False (identity reset) when path cannot be examined.
bool GetFileIdentity(const std::string& path, CFileIdentity& identity);
CFileIdentity FileIdentityOf(const struct stat& st);

// Reads a whole file into bytes through ReadFileGuarded (data/GuardedFile.h): only regular files,
// at most maxBytes.  Returns false with a reason in error (when given); a file that does not
// exist also sets *missing (when given).
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr,
                   bool* missing = nullptr, size_t maxBytes = SIZE_MAX);

// The one way a user file is written.  The complete content is written to a temporary file in
// the same folder (short writes continue, failures stop), flushed to disk, given the original's
// permissions, renamed over the original and the folder flushed.  On failure the original is
// untouched, the temporary file removed, and false returned with the reason in error.
// A symbolic link is followed: the file it names is replaced, the link stays.  An existing
// target that is not a regular file (a folder, a pipe, a device) is refused.
bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Whether WriteFileSafely could write path now: the target is no folder, pipe or device, and a
// temporary file can be made beside it (made and removed again).  False with the reason
// WriteFileSafely would give in error.  For a long job that ends in a write, to fail first.
bool CanWriteFileSafely(const std::string& path, std::string* error = nullptr);

// Whether path, with the links and dots of what exists of it resolved, is folder itself or lies
// inside it: an export must not land on the log or anything kept beside it.
bool IsPathInFolder(const std::string& path, const std::string& folder);

// Creates "<target>.tmp-XXXXXX" beside target, with the mode a new file gets, and returns its
// descriptor (-1 with errno set on failure) and its name in temporary.
int CreateTemporaryBeside(const std::string& target, std::string& temporary);

// Removes every temporary file a write cut off by a crash or a kill left in directory, whatever
// its age.  Only for a folder no other running program writes to (the program's Data folders,
// under the lock that keeps a second copy away); elsewhere leftovers go after an hour.
void RemoveLeftoverTemporaries(const std::string& directory);

// Keeps the current content of path as backupPath (replacing an older backup atomically).
// A missing path is not an error: there is nothing to keep.
bool KeepBackupCopy(const std::string& path, const std::string& backupPath,
                    std::string* error = nullptr);

// Test seam: replaces the write(2) call used for the temporary file, for example with one that
// fails after N bytes as a full disk does.  An empty function restores the real call.
using SafeWriteFunction = std::function<ssize_t(int fd, const void* data, size_t size)>;
void SetSafeWriteFunctionForTesting(SafeWriteFunction function);
// Likewise for the fsync(2) of the temporary file and the rename(2) that puts it in place.
using SafeFsyncFunction = std::function<int(int fd)>;
void SetSafeFsyncFunctionForTesting(SafeFsyncFunction function);
using SafeRenameFunction = std::function<int(const char* from, const char* to)>;
void SetSafeRenameFunctionForTesting(SafeRenameFunction function);

// "reason" text for errno, in the C locale's words.
std::string SystemErrorText(int error);
