#pragma once

#include <iosfwd>
#include <string>

#include "data/DataFolder.h"

// Keeps a second copy of the program from working on the same Data folder: both would read the
// catch file, and the one saving last would silently drop the other's trips.  The lock is an
// advisory lock on a file in the folder; the kernel releases it when the holder ends, however it
// ends, so a lock left by a crashed copy is simply taken over.
class CInstanceLock {
public:
    CInstanceLock() = default;
    ~CInstanceLock();
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    enum class EResult { Acquired, HeldByAnother, Failed };

    // Takes the lock file lockPath (created when missing, and its folder with it: a Data folder
    // that the first save would create is locked before any copy can use it).  HeldByAnother
    // when another running program holds it (its process id, when known, in GetHolderPid());
    // Failed with a reason in error when the folder or the file cannot be made, or the name is
    // taken by something that is not a regular file.
    EResult Acquire(const std::string& lockPath, std::string* error = nullptr);
    void Release();
    bool IsHeld() const { return m_fd >= 0; }
    long GetHolderPid() const { return m_holderPid; }

    static constexpr const char* kLockFileName = kInstanceLockFileName;

private:
    int m_fd = -1;
    long m_holderPid = 0;
};

// Removes the temporary files that saves cut off by a crash or a kill left in the Data folder of
// folder and in its schedule and picture folders.  Only for the holder of the lock on it: no
// other copy of the program is saving there then.
void RemoveLeftoversOfCutSaves(const CDataFolder& folder);

// For a command-line mode that writes the Data folder of folder: takes lock on it and, holding it,
// removes what cut-off saves left.  False, with "lurebook: " and refused on err, when a running
// program holds the folder; a lock that cannot be made is told on err and the mode goes on.
bool LockDataFolderForCommand(CInstanceLock& lock, const CDataFolder& folder,
                              const std::string& refused, std::ostream& err);
