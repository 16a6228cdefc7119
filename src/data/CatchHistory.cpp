#include "data/CatchHistory.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/GuardedFile.h"
#include "data/SafeFile.h"
#include "data/XMLDataFile.h"

namespace {

constexpr const char* kSuffix = ".gz";
// A copy holds a catch file and a few text files; anything far larger is not one of ours, and
// unpacking it must not exhaust memory.
constexpr size_t kMaxMemberBytes = kMaxXMLFileBytes;
constexpr size_t kMaxCopyBytes = kMaxXMLFileBytes;
// How a refused copy begins its reason: the change that needed it is not made either.
constexpr const char* kCopyRefusedText = "履歴のコピーを残せないため、変更は行っていません。\n";

void SetError(std::string* error, std::string text)
{
    if (error != nullptr) *error = std::move(text);
}

std::tm LocalTime(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    return local;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long DayNumber(int year, int month, int day)
{
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yoe = year - era * 400;
    const long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

long LocalDayNumber(std::time_t when)
{
    const std::tm local = LocalTime(when);
    return DayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

int LocalYmd(std::time_t when)
{
    const std::tm local = LocalTime(when);
    return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

std::string CountsComment(const CCatchHistory::CCounts& counts)
{
    if (counts.trips < 0 || counts.catches < 0) return {};
    return "trips=" + std::to_string(counts.trips) + " catches=" + std::to_string(counts.catches);
}

bool ParseCountsComment(const std::string& comment, long& trips, long& catches)
{
    return std::sscanf(comment.c_str(), "trips=%ld catches=%ld", &trips, &catches) == 2 &&
           trips >= 0 && catches >= 0;
}

// The copy name of a file name ("20261208-081500.gz" or "20261208-081500-2.gz"), empty when it
// is none.
std::string CopyNameOfFile(const std::string& file)
{
    const size_t suffix = std::strlen(kSuffix);
    if (file.size() <= suffix || file.compare(file.size() - suffix, suffix, kSuffix) != 0)
        return {};
    const std::string name = file.substr(0, file.size() - suffix);
    std::time_t when = 0;
    return CCatchHistory::ParseCopyName(name, when) ? name : std::string();
}

struct CDirEntry {
    std::string file;
    std::string name;  // copy name; empty for a foreign file
};

std::vector<CDirEntry> ReadFolder(const std::string& dir)
{
    std::vector<CDirEntry> entries;
    DIR* folder = ::opendir(dir.c_str());
    if (folder == nullptr) return entries;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string file = entry->d_name;
        // Hidden entries and the safe writer's temporaries are the program's own.
        if (file.empty() || file[0] == '.' || file.find(".tmp-") != std::string::npos) continue;
        entries.push_back({file, CopyNameOfFile(file)});
    }
    ::closedir(folder);
    std::sort(entries.begin(), entries.end(),
              [](const CDirEntry& a, const CDirEntry& b) { return a.file < b.file; });
    return entries;
}

bool ReadCopyFile(const std::string& path, std::vector<CCatchHistory::CMember>& members,
                  std::string* comment, std::string* error)
{
    std::string data;
    std::string reason;
    if (!ReadWholeFile(path, data, &reason, nullptr, kMaxCopyBytes)) {
        SetError(error, reason);
        return false;
    }
    if (!DecompressHistoryMembers(data, members, comment, &reason)) {
        SetError(error, path + ": " + reason);
        return false;
    }
    return true;
}

// What a file under a copy's name turned out to hold.
struct CInspectedCopy {
    std::vector<CCatchHistory::CMember> members;
    std::string comment;
    struct stat st {};
    long trips = -1;
    long catches = -1;
};

// Reads path as a copy: a regular file (a link is never followed) of whole gzip data whose
// first member is a catch file.  parse: the catch file is parsed even when the copy notes its
// counts, as it must be before anything relies on the copy (deleting or extending it).  False
// with the reason when the file is no usable copy.
bool InspectCopy(const std::string& path, bool parse, CInspectedCopy& copy, std::string& reason)
{
    if (::lstat(path.c_str(), &copy.st) != 0) {
        reason = path + ": " + SystemErrorText(errno);
        return false;
    }
    if (S_ISLNK(copy.st.st_mode)) {
        reason = "シンボリックリンクです (リンク先は履歴のコピーとして使いません)";
        return false;
    }
    if (!S_ISREG(copy.st.st_mode)) {
        reason = kNotRegularFileText;
        return false;
    }
    std::string why;
    if (!ReadCopyFile(path, copy.members, &copy.comment, &why)) {
        reason = "読み込めません (" + why + ")";
        return false;
    }
    if (copy.members.front().name != CCatchHistory::kCatchMember) {
        reason = "釣行データが入っていません";
        return false;
    }
    if ((parse || !ParseCountsComment(copy.comment, copy.trips, copy.catches)) &&
        !CCatchHistory::CountTrips(copy.members.front().bytes, copy.trips, copy.catches)) {
        reason = "釣行データが読めません";
        return false;
    }
    return true;
}

// A copy the thinning may delete: one this program wrote (its catch file named in the gzip
// header, as only our writer does) that reads back whole as a catch file.
bool IsDeletableCopy(const std::string& path)
{
    CInspectedCopy copy;
    std::string reason;
    return InspectCopy(path, true, copy, reason) && copy.members.front().named;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           S_ISREG(a.st_mode) && S_ISREG(b.st_mode);
}

// "1.4 MB" style size, for messages about the history's share.
std::string SizeText(uint64_t bytes)
{
    char text[32];
    if (bytes >= 1000 * 1000) {
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    } else if (bytes >= 1000) {
        std::snprintf(text, sizeof text, "%.1f KB", static_cast<double>(bytes) / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%llu バイト", static_cast<unsigned long long>(bytes));
    }
    return text;
}

}  // namespace

bool CompressHistoryMembers(const std::vector<CCatchHistory::CMemberView>& members,
                            const std::string& comment, std::string& out, std::string* error)
{
    for (size_t n = 0; n < members.size(); ++n) {
        const CCatchHistory::CMemberView& member = members[n];
        z_stream stream{};
        // Level 1: the copy is made in the middle of a save, and text compresses well anyway.
        if (deflateInit2(&stream, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            SetError(error, "圧縮の準備ができません (zlib)");
            return false;
        }
        gz_header header{};
        header.name = reinterpret_cast<Bytef*>(const_cast<char*>(member.name.c_str()));
        if (n == 0 && !comment.empty())
            header.comment = reinterpret_cast<Bytef*>(const_cast<char*>(comment.c_str()));
        header.os = 3;  // Unix
        deflateSetHeader(&stream, &header);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(member.bytes.data()));
        stream.avail_in = static_cast<uInt>(member.bytes.size());
        size_t used = out.size();
        int result = Z_OK;
        do {
            const size_t room = deflateBound(&stream, member.bytes.size()) + member.name.size() +
                                comment.size() + 64;
            out.resize(used + room);
            stream.next_out = reinterpret_cast<Bytef*>(out.data() + used);
            stream.avail_out = static_cast<uInt>(room);
            result = deflate(&stream, Z_FINISH);
            used = out.size() - stream.avail_out;
        } while (result == Z_OK || result == Z_BUF_ERROR);
        deflateEnd(&stream);
        out.resize(used);
        if (result != Z_STREAM_END) {
            SetError(error, "コピーを圧縮できません");
            return false;
        }
    }
    return true;
}

bool DecompressHistoryMembers(const std::string& data, std::vector<CCatchHistory::CMember>& members,
                              std::string* comment, std::string* error)
{
    members.clear();
    if (data.size() < 18 || static_cast<unsigned char>(data[0]) != 0x1f ||
        static_cast<unsigned char>(data[1]) != 0x8b) {
        SetError(error, "gzip の形式ではありません");
        return false;
    }
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK) {
        SetError(error, "圧縮の準備ができません (zlib)");
        return false;
    }
    size_t at = 0;
    size_t total = 0;
    bool ok = true;
    while (ok && at < data.size()) {
        char name[1024] = {};
        char note[256] = {};
        gz_header header{};
        header.name = reinterpret_cast<Bytef*>(name);
        header.name_max = sizeof name - 1;
        header.comment = reinterpret_cast<Bytef*>(note);
        header.comm_max = sizeof note - 1;
        inflateGetHeader(&stream, &header);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + at));
        stream.avail_in = static_cast<uInt>(data.size() - at);
        std::string bytes;
        int result = Z_OK;
        while (result == Z_OK) {
            const size_t used = bytes.size();
            const size_t room = std::max<size_t>(65536, used);
            if (used + room > kMaxMemberBytes + 65536 || total + used > kMaxCopyBytes * 2) {
                SetError(error, "コピーの中のファイルが大きすぎます");
                ok = false;
                break;
            }
            bytes.resize(used + room);
            stream.next_out = reinterpret_cast<Bytef*>(bytes.data() + used);
            stream.avail_out = static_cast<uInt>(room);
            result = inflate(&stream, Z_NO_FLUSH);
            bytes.resize(bytes.size() - stream.avail_out);
            if (result == Z_BUF_ERROR && stream.avail_in == 0) {
                SetError(error, "コピーが途中で切れています");
                ok = false;
            } else if (result == Z_BUF_ERROR) {
                result = Z_OK;  // only more room was needed
            } else if (result != Z_OK && result != Z_STREAM_END) {
                SetError(error, "コピーが壊れています");
                ok = false;
            }
        }
        if (!ok) break;
        total += bytes.size();
        at = data.size() - stream.avail_in;
        std::string memberName = name;
        const bool named = !memberName.empty();
        if (memberName.empty()) {
            memberName = members.empty() ? CCatchHistory::kCatchMember
                                         : "member-" + std::to_string(members.size() + 1);
        }
        if (members.empty() && comment != nullptr) *comment = note;
        members.push_back({std::move(memberName), std::move(bytes), named});
        inflateReset(&stream);
    }
    inflateEnd(&stream);
    if (!ok) members.clear();
    return ok;
}

CCatchHistory::CCatchHistory(std::string dataDir) : m_dataDir(std::move(dataDir))
{
    if (!m_dataDir.empty() && m_dataDir.back() != '/') m_dataDir += '/';
    m_dir = m_dataDir + kHistoryDirInData;
}

std::time_t CCatchHistory::Now() const
{
    return m_clock ? m_clock() : std::time(nullptr);
}

std::string CCatchHistory::CopyName(std::time_t when)
{
    const std::tm local = LocalTime(when);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

bool CCatchHistory::ParseCopyName(const std::string& name, std::time_t& when)
{
    // yyyymmdd-hhmmss, then "-n" for a second copy of the same second.
    if (name.size() < 15 || name[8] != '-') return false;
    for (size_t i = 0; i < 15; ++i) {
        if (i != 8 && (name[i] < '0' || name[i] > '9')) return false;
    }
    if (name.size() > 15) {
        if (name[15] != '-' || name.size() == 16 || name.size() > 20) return false;
        for (size_t i = 16; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9') return false;
        }
    }
    const auto number = [&](size_t from, size_t count) {
        return std::stoi(name.substr(from, count));
    };
    std::tm local{};
    local.tm_year = number(0, 4) - 1900;
    local.tm_mon = number(4, 2) - 1;
    local.tm_mday = number(6, 2);
    local.tm_hour = number(9, 2);
    local.tm_min = number(11, 2);
    local.tm_sec = number(13, 2);
    local.tm_isdst = -1;
    if (local.tm_mon < 0 || local.tm_mon > 11 || local.tm_mday < 1 || local.tm_mday > 31 ||
        local.tm_hour > 23 || local.tm_min > 59 || local.tm_sec > 60) {
        return false;
    }
    when = std::mktime(&local);
    return when != static_cast<std::time_t>(-1);
}

bool CCatchHistory::CountTrips(const std::string& catchFile, long& trips, long& catches)
{
    std::vector<CTripRecord> records;
    if (!CCatchStore::ParseTrips(catchFile, records).ok()) return false;
    trips = static_cast<long>(records.size());
    catches = 0;
    for (const CTripRecord& trip : records) catches += static_cast<long>(trip.catches.size());
    return true;
}

uint64_t CCatchHistory::MaxBytes() const
{
    if (m_maxBytes > 0) return m_maxBytes;
    struct statvfs disk {};
    if (::statvfs(m_dataDir.c_str(), &disk) != 0) return 0;
    return static_cast<uint64_t>(static_cast<double>(disk.f_blocks) *
                                 static_cast<double>(disk.f_frsize) * kDiskShare);
}

CCatchHistory::CToday& CCatchHistory::Today() const
{
    const std::time_t now = Now();
    const int day = LocalYmd(now);
    // The copy found or written last is trusted while it is still that very file (one lstat per
    // change); a copy removed or replaced meanwhile is looked for again.
    if (m_today.day == day) {
        struct stat st {};
        if (m_today.path.empty() ||
            (::lstat(m_today.path.c_str(), &st) == 0 && SameFile(st, m_today.identity))) {
            return m_today;
        }
    }
    m_today = CToday{};
    m_today.day = day;
    for (const CDirEntry& entry : ReadFolder(m_dir)) {
        std::time_t when = 0;
        if (entry.name.empty() || !ParseCopyName(entry.name, when) || LocalYmd(when) != day)
            continue;
        // The day's first copy (names sort by time) holds the files as they were before the
        // day's first changes.  A file under today's name that is no usable copy (damaged,
        // foreign, a link, a folder, a pipe) is not one: it is left as it is and named by the
        // listing, and the day gets a copy of its own beside it.
        CInspectedCopy copy;
        std::string reason;
        if (!InspectCopy(m_dir + entry.file, true, copy, reason)) continue;
        m_today.path = m_dir + entry.file;
        m_today.identity = copy.st;
        for (const CMember& one : copy.members) m_today.members.push_back(one.name);
        break;
    }
    return m_today;
}

bool CCatchHistory::WriteNewCopy(const std::vector<CMemberView>& members, const CCounts& counts,
                                 std::string& path, std::string* error)
{
    path.clear();
    std::string data;
    std::string reason;
    if (!CompressHistoryMembers(members, CountsComment(counts), data, &reason)) {
        SetError(error, kCopyRefusedText + reason);
        return false;
    }
    const uint64_t limit = MaxBytes();
    // The share is a promise: a copy that alone would break it is not made, and the change that
    // needed it waits, as it does for a full disk.
    if (limit > 0 && data.size() > limit) {
        SetError(error, kCopyRefusedText + std::string("コピー (") + SizeText(data.size()) +
                            ") が履歴に使える容量 (" + SizeText(limit) +
                            "、ディスクの 2 %) を超えます。\n" + m_dir);
        return false;
    }
    std::error_code code;
    std::filesystem::create_directories(m_dir, code);
    if (code) {
        SetError(error, kCopyRefusedText + m_dir + ": " + SystemErrorText(code.value()));
        return false;
    }
    // A free name: nothing at all there, not even a link that leads elsewhere.
    const std::string base = m_dir + CopyName(Now());
    std::string candidate;
    struct stat st {};
    for (int n = 1; n < 1000 && candidate.empty(); ++n) {
        const std::string name = n == 1 ? base + kSuffix : base + "-" + std::to_string(n) + kSuffix;
        if (::lstat(name.c_str(), &st) != 0 && errno == ENOENT) candidate = name;
    }
    if (candidate.empty()) {
        SetError(error, kCopyRefusedText + base + kSuffix + ": " + SystemErrorText(EEXIST));
        return false;
    }
    if (!WriteFileSafely(candidate, data, &reason)) {
        SetError(error, kCopyRefusedText + reason);
        return false;
    }
    path = candidate;
    return true;
}

bool CCatchHistory::KeepBeforeChange(const std::string& member, const std::string* current,
                                     const CCatchSource& catchFile, std::string* error)
{
    CToday& today = Today();
    const bool isCatchFile = member == kCatchMember;
    if (!today.path.empty()) {
        if (isCatchFile) return true;
        if (std::find(today.members.begin(), today.members.end(), member) != today.members.end())
            return true;
        // Noted either way: the file's state before its first change today is what counts.
        if (current == nullptr) {
            today.members.push_back(member);
            return true;
        }
        std::string data;
        std::string reason;
        // Today() has just seen that the path is the regular file checked before, so the write
        // below replaces that file and follows no link.
        if (!ReadWholeFile(today.path, data, &reason, nullptr, kMaxCopyBytes) ||
            !CompressHistoryMembers({{member, *current}}, {}, data, &reason) ||
            !WriteFileSafely(today.path, data, &reason)) {
            SetError(error, kCopyRefusedText + reason);
            return false;
        }
        today.members.push_back(member);
        if (::lstat(today.path.c_str(), &today.identity) != 0) today.path.clear();
        return true;
    }

    const std::string* catchBytes = nullptr;
    CCounts counts;
    std::string reason;
    if (!catchFile(catchBytes, counts, reason)) {
        SetError(error, reason);
        return false;
    }
    std::vector<CMemberView> members;
    if (catchBytes != nullptr) members.push_back({kCatchMember, *catchBytes});
    if (!isCatchFile && current != nullptr) members.push_back({member, *current});
    if (members.empty()) return true;
    std::string path;
    if (!WriteNewCopy(members, counts, path, error)) return false;
    today.path = path;
    today.members.clear();
    for (const CMemberView& one : members) today.members.push_back(one.name);
    if (!isCatchFile && current == nullptr) today.members.push_back(member);
    if (::lstat(path.c_str(), &today.identity) != 0) today.path.clear();
    Thin();
    return true;
}

bool CCatchHistory::KeepCopyNow(const std::vector<CMemberView>& members, const CCounts& counts,
                                std::string* name, std::string* error)
{
    std::string path;
    if (!WriteNewCopy(members, counts, path, error)) return false;
    if (name != nullptr) {
        const size_t slash = path.rfind('/');
        *name = path.empty() ? std::string() : path.substr(slash + 1, path.size() - slash - 1 - 3);
    }
    Thin();
    return true;
}

std::vector<CCatchHistory::CCopyInfo> CCatchHistory::ListCopies(
    std::vector<CProblem>* problems) const
{
    std::vector<CCopyInfo> copies;
    for (const CDirEntry& entry : ReadFolder(m_dir)) {
        const std::string path = m_dir + entry.file;
        CInspectedCopy copy;
        std::string reason = "履歴のコピーではありません";
        if (entry.name.empty() || !InspectCopy(path, false, copy, reason)) {
            if (problems != nullptr) problems->push_back({path, reason});
            continue;
        }
        CCopyInfo info;
        info.name = entry.name;
        info.path = path;
        ParseCopyName(entry.name, info.when);
        info.bytes = static_cast<uint64_t>(copy.st.st_size);
        info.trips = copy.trips;
        info.catches = copy.catches;
        for (const CMember& member : copy.members) info.members.push_back(member.name);
        copies.push_back(std::move(info));
    }
    std::stable_sort(copies.begin(), copies.end(),
                     [](const CCopyInfo& a, const CCopyInfo& b) { return a.when < b.when; });
    return copies;
}

bool CCatchHistory::ReadCopy(const std::string& name, std::vector<CMember>& members,
                             std::string* error) const
{
    std::string file = name;
    if (CopyNameOfFile(file).empty()) file += kSuffix;
    if (CopyNameOfFile(file).empty() || file.find('/') != std::string::npos) {
        SetError(error, "履歴のコピーの名前ではありません: " + name);
        return false;
    }
    const std::string path = m_dir + file;
    CInspectedCopy copy;
    std::string reason;
    if (!InspectCopy(path, false, copy, reason)) {
        SetError(error, path + ": " + reason);
        return false;
    }
    members = std::move(copy.members);
    std::vector<CTripRecord> trips;
    const CStoreResult parsed = CCatchStore::ParseTrips(members.front().bytes, trips);
    if (!parsed.ok()) {
        SetError(error, path + ": " + DescribeStoreResult(parsed, kCatchMember));
        return false;
    }
    return true;
}

std::vector<size_t> CCatchHistory::CopiesToRemove(const std::vector<std::time_t>& times,
                                                  const std::vector<uint64_t>& sizes,
                                                  std::time_t now, uint64_t maxBytes)
{
    std::vector<size_t> order(times.size());
    for (size_t n = 0; n < order.size(); ++n) order[n] = n;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return times[a] < times[b]; });
    const long today = LocalDayNumber(now);
    std::vector<bool> keep(times.size(), false);
    // The first copy of each week (from Monday) and of each month: the first stays the first as
    // the others age, so what is kept does not change from one day to the next.
    std::map<long, bool> weeks;
    std::map<long, bool> months;
    for (size_t n : order) {
        const long age = today - LocalDayNumber(times[n]);
        if (age < kKeepAllDays) {
            keep[n] = true;
        } else if (age < kWeeklyDays) {
            // 1970-01-01 was a Thursday: +3 starts the weeks on Mondays.
            keep[n] = weeks.emplace((LocalDayNumber(times[n]) + 3) / 7, true).second;
        } else {
            // Every month with a day in the last two years keeps a copy, also the month whose
            // first days are already older than that.
            const std::tm local = LocalTime(times[n]);
            const int year = local.tm_year + 1900;
            const int month = local.tm_mon + 1;
            const long lastDay =
                month == 12 ? DayNumber(year + 1, 1, 1) - 1 : DayNumber(year, month + 1, 1) - 1;
            if (today - lastDay < kMonthlyDays)
                keep[n] = months.emplace(local.tm_year * 12L + local.tm_mon, true).second;
        }
    }
    if (maxBytes > 0 && !order.empty()) {
        uint64_t total = 0;
        for (size_t n : order) {
            if (keep[n]) total += n < sizes.size() ? sizes[n] : 0;
        }
        for (size_t i = 0; i + 1 < order.size() && total > maxBytes; ++i) {
            const size_t n = order[i];
            if (!keep[n]) continue;
            keep[n] = false;
            total -= n < sizes.size() ? sizes[n] : 0;
        }
    }
    std::vector<size_t> removed;
    for (size_t n : order) {
        if (!keep[n]) removed.push_back(n);
    }
    return removed;
}

std::vector<std::string> CCatchHistory::Thin()
{
    struct CCandidate {
        std::string path;
        std::time_t when;
        uint64_t bytes;
    };
    std::vector<CCandidate> copies;
    for (const CDirEntry& entry : ReadFolder(m_dir)) {
        std::time_t when = 0;
        struct stat st {};
        const std::string path = m_dir + entry.file;
        if (entry.name.empty() || !ParseCopyName(entry.name, when) ||
            ::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            continue;
        }
        copies.push_back({path, when, static_cast<uint64_t>(st.st_size)});
    }
    const uint64_t limit = MaxBytes();
    std::vector<std::string> removed;
    // A copy is deleted only once it reads back whole as one of ours: anything else is left for
    // the user to see.
    for (;;) {
        std::vector<std::time_t> times;
        std::vector<uint64_t> sizes;
        for (const CCandidate& copy : copies) {
            times.push_back(copy.when);
            sizes.push_back(copy.bytes);
        }
        const std::vector<size_t> remove = CopiesToRemove(times, sizes, Now(), limit);
        bool damaged = false;
        std::vector<size_t> gone;
        for (size_t n : remove) {
            gone.push_back(n);
            if (!IsDeletableCopy(copies[n].path)) {
                damaged = true;
                break;
            }
            if (::unlink(copies[n].path.c_str()) == 0) removed.push_back(copies[n].path);
        }
        if (!damaged) break;
        // Start again without the damaged copy and the ones already deleted.
        std::sort(gone.rbegin(), gone.rend());
        for (size_t n : gone) copies.erase(copies.begin() + static_cast<long>(n));
    }
    if (!removed.empty() && m_today.path.size() > 0 && ::access(m_today.path.c_str(), F_OK) != 0)
        m_today = CToday{};
    return removed;
}

bool CCatchHistory::MemberIsAsNow(const std::string& dataDir, const CMember& member)
{
    // Read no more than the copy holds: a longer file differs, whatever its size.
    std::string now;
    return ReadFileGuarded(dataDir + member.name, member.bytes.size(), now) == EFileRead::Ok &&
           now == member.bytes;
}
