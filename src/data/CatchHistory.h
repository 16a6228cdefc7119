#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Dated copies of the log in Data/history/, so that a change made days ago can still be taken
// back.  Before the first change of each day the catch file is kept, compressed, in a copy named
// by the date and time ("20261208-081500.gz"); a memo file or the species list changed that day
// is added to the day's copy as it was before its first change.  A copy is a gzip file of one
// member per file (gzip's own file-name field names it, relative to Data/), the catch file
// first, so any gzip tool can open it; its comment field notes the trips and catches.
//
// Copies are thinned after each new one: every copy of the last 14 days stays, then the first
// of each week (from Monday) up to 3 months back, then the first of each month for every month
// that has a day in the last 2 years; older ones go.  Together they never take more than
// kDiskShare of the file system holding the folder: the oldest go first, and a copy that alone
// would not fit is refused, so the change that needed it is refused too.
//
// Only copies this program wrote (the catch file named in the gzip header) that read back whole
// as a catch file are ever deleted.  Anything else in the folder (a foreign or damaged file, an
// older program's copy, a link, a folder or a pipe under a copy's name) is passed over and named,
// never deleted, and never written to or through.
class CCatchHistory {
public:
    // The folder's copies may take at most this share of their file system.
    static constexpr double kDiskShare = 0.02;
    static constexpr int kKeepAllDays = 14;
    static constexpr int kWeeklyDays = 92;
    static constexpr int kMonthlyDays = 730;
    // The member name of the catch file in a copy.
    static constexpr const char* kCatchMember = "fish.xml";

    // dataDir is the Data folder, ending in "/"; the copies live in dataDir + "history/".
    explicit CCatchHistory(std::string dataDir);

    const std::string& GetDir() const { return m_dir; }
    const std::string& GetDataDir() const { return m_dataDir; }

    // The time the copies are named and thinned by; tests set their own.
    using CClock = std::function<std::time_t()>;
    void SetClock(CClock clock) { m_clock = std::move(clock); }
    std::time_t Now() const;
    // The most the copies may take, in bytes, instead of the disk share (0: the disk share).
    void SetMaxBytes(uint64_t bytes) { m_maxBytes = bytes; }

    // One file in a copy.
    struct CMember {
        std::string name;  // relative to Data/: "fish.xml", "schedule/2026年 12月.txt", ...
        std::string bytes;
        bool named = true;  // false when the gzip header gave no name (an older program's copy)
    };

    // Whether the file of member in dataDir holds member's bytes now, so restoring it would
    // change nothing.  A file that is missing, no regular file, larger, or cannot be read is not.
    static bool MemberIsAsNow(const std::string& dataDir, const CMember& member);

    // A file to keep: its bytes are only looked at while the copy is written.
    struct CMemberView {
        std::string name;
        std::string_view bytes;
    };
    // What the catch file holds, when the caller knows it (noted in the copy, so that listing
    // the copies need not parse them).
    struct CCounts {
        long trips = -1;
        long catches = -1;
    };
    // Gives the current bytes of the catch file, pointing bytes at them (valid until the call
    // that asked returns), and their counts when known; false with a reason when it cannot.
    using CCatchSource =
        std::function<bool(const std::string*& bytes, CCounts& counts, std::string& error)>;

    // Before a change of the file member (relative to Data/), whose content is now *current
    // (nullptr: it does not exist; ignored for the catch file, which comes from catchFile).
    // When the day has no copy yet, one is made of the catch file and this file; when the day's
    // copy lacks this file, it is added.  Otherwise nothing is read or written.  False with a
    // reason when a copy was due but could not be written (nothing else was changed then).
    bool KeepBeforeChange(const std::string& member, const std::string* current,
                          const CCatchSource& catchFile, std::string* error = nullptr);

    // A new copy of members now, whatever the day holds (before a restore).  Thins afterwards.
    // name receives the copy's name.
    bool KeepCopyNow(const std::vector<CMemberView>& members, const CCounts& counts,
                     std::string* name = nullptr, std::string* error = nullptr);

    // One copy as the folder lists it.
    struct CCopyInfo {
        std::string name;  // "20261208-081500" (the file name without ".gz")
        std::string path;
        std::time_t when = 0;
        uint64_t bytes = 0;  // size of the copy on disk
        long trips = -1;     // -1 when they cannot be counted
        long catches = -1;
        std::vector<std::string> members;
    };
    // A file of the folder that is not a usable copy, and why.
    struct CProblem {
        std::string path;
        std::string reason;
    };
    // The copies, oldest first, each checked whole; broken and foreign files go to problems.
    std::vector<CCopyInfo> ListCopies(std::vector<CProblem>* problems = nullptr) const;

    // The members of the copy name ("20261208-081500" or its file name).  A copy whose catch
    // file does not parse is refused.
    bool ReadCopy(const std::string& name, std::vector<CMember>& members,
                  std::string* error = nullptr) const;

    // Applies the thinning rule and the disk share to the copies on disk.  Returns the copies
    // removed.
    std::vector<std::string> Thin();

    // The thinning rule alone: of copies taken at times (any order) and of the given sizes,
    // which to remove at now so that the rest keep to the rule and take at most maxBytes
    // (0: no limit).  The newest copy is never chosen for its size.  Indices into times.
    static std::vector<size_t> CopiesToRemove(const std::vector<std::time_t>& times,
                                              const std::vector<uint64_t>& sizes, std::time_t now,
                                              uint64_t maxBytes);

    // "20261208-081500" for a local time.
    static std::string CopyName(std::time_t when);
    // The local time a copy name stands for; false when name is not one.
    static bool ParseCopyName(const std::string& name, std::time_t& when);

    // The trips and catches of a catch file's bytes; false when it does not parse.
    static bool CountTrips(const std::string& catchFile, long& trips, long& catches);

private:
    struct CToday {
        int day = -1;      // yyyymmdd of the day the fields below were found for
        std::string path;  // the day's first usable copy, empty when none
        std::vector<std::string> members;
        // The copy as it was checked or last written: anything else there is not ours to extend.
        struct stat identity {};
    };
    CToday& Today() const;
    bool WriteNewCopy(const std::vector<CMemberView>& members, const CCounts& counts,
                      std::string& path, std::string* error);
    uint64_t MaxBytes() const;

    std::string m_dataDir;
    std::string m_dir;
    CClock m_clock;
    uint64_t m_maxBytes = 0;
    mutable CToday m_today;
};

// Appends to out one gzip member per file, named by the file's name, the first with comment.
bool CompressHistoryMembers(const std::vector<CCatchHistory::CMemberView>& members,
                            const std::string& comment, std::string& out,
                            std::string* error = nullptr);
// The members of such a file.  A plain gzip file without a name is one member named as the
// catch file.  False with a reason when the data is not whole gzip data.
bool DecompressHistoryMembers(const std::string& data, std::vector<CCatchHistory::CMember>& members,
                              std::string* comment = nullptr, std::string* error = nullptr);
