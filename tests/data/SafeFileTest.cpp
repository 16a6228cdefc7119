#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>

#include "data/GuardedFile.h"
#include "data/SafeFile.h"
#include "support/TempProgramDir.h"

namespace {

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir = MakeTempDir(); }
    void TearDown() override
    {
        SetSafeWriteFunctionForTesting({});
        SetSafeFsyncFunctionForTesting({});
        SetSafeRenameFunctionForTesting({});
        RemoveTree(m_dir);
    }
    // Names in the folder other than the ones given: leftovers of a failed write.
    int CountEntries() const
    {
        int count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_dir))
            ++count;
        return count;
    }
    std::string m_dir;
};

TEST_F(SafeFileTest, ReplacesContentAndKeepsPermissions)
{
    const std::string path = m_dir + "fish.xml";
    WriteFileBytes(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    std::string error;
    ASSERT_TRUE(WriteFileSafely(path, "new content", &error)) << error;
    EXPECT_EQ(ReadFileBytes(path), "new content");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(CountEntries(), 1);  // no temporary file left behind
}

TEST_F(SafeFileTest, FullDiskLeavesTheOriginalAndReportsTheFailure)
{
    const std::string path = m_dir + "fish.xml";
    WriteFileBytes(path, "original bytes");
    // A disk that takes 10 bytes and then is full.
    size_t written = 0;
    SetSafeWriteFunctionForTesting([&written](int fd, const void* data, size_t size) -> ssize_t {
        if (written >= 10) {
            errno = ENOSPC;
            return -1;
        }
        const size_t chunk = std::min<size_t>(size, 3);  // short writes on the way
        written += chunk;
        return ::write(fd, data, chunk);
    });
    std::string error;
    EXPECT_FALSE(WriteFileSafely(path, std::string(100, 'x'), &error));
    EXPECT_NE(error.find("ディスクの空き容量が足りません"), std::string::npos) << error;
    EXPECT_EQ(ReadFileBytes(path), "original bytes");
    EXPECT_EQ(CountEntries(), 1);
}

// A flush or a rename that fails must not pass for a save: the failure comes back with its
// reason, the original keeps every byte and the temporary file is gone.
TEST_F(SafeFileTest, FailingFlushOrRenameIsReportedAndLeavesTheOriginal)
{
    const struct {
        const char* name;
        int errorNumber;
        const char* reason;
    } cases[] = {
        {"fsync", EIO, "入出力エラー"},
        {"rename", EXDEV, "別のディスクへは移動できません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_dir + "fish.xml";
        const std::string original("original\r\n\0bytes", 16);
        WriteFileBytes(path, original);
        int calls = 0;
        if (std::string(c.name) == "fsync") {
            SetSafeFsyncFunctionForTesting([&](int) {
                ++calls;
                errno = c.errorNumber;
                return -1;
            });
        } else {
            SetSafeRenameFunctionForTesting([&](const char*, const char*) {
                ++calls;
                errno = c.errorNumber;
                return -1;
            });
        }
        std::string error;
        EXPECT_FALSE(WriteFileSafely(path, "new content", &error));
        EXPECT_EQ(calls, 1);
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(ReadFileBytes(path), original);
        EXPECT_EQ(CountEntries(), 1);
        SetSafeFsyncFunctionForTesting({});
        SetSafeRenameFunctionForTesting({});
    }
}

TEST_F(SafeFileTest, ShortWritesAreContinuedNotIgnored)
{
    SetSafeWriteFunctionForTesting([](int fd, const void* data, size_t size) -> ssize_t {
        return ::write(fd, data, std::min<size_t>(size, 7));
    });
    const std::string content(1000, 'k');
    ASSERT_TRUE(WriteFileSafely(m_dir + "a.txt", content));
    EXPECT_EQ(ReadFileBytes(m_dir + "a.txt"), content);
}

TEST_F(SafeFileTest, ReadOnlyFolderLeavesTheOriginalIntact)
{
    const std::string path = m_dir + "fish.xml";
    WriteFileBytes(path, "keep me");
    {
        CReadOnlyFolder readOnly(m_dir);
        // Where the folder cannot be made read-only (root without an immutable flag), the
        // write is refused as a read-only file system refuses it.
        if (!readOnly.Effective()) {
            SetSafeWriteFunctionForTesting([](int, const void*, size_t) -> ssize_t {
                errno = EROFS;
                return -1;
            });
        }
        std::string error;
        EXPECT_FALSE(WriteFileSafely(path, "lost?", &error));
        SetSafeWriteFunctionForTesting({});
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(CountEntries(), 1) << error;  // no temporary file left behind
    }
    EXPECT_EQ(ReadFileBytes(path), "keep me");
}

TEST_F(SafeFileTest, MissingFolderIsReportedNotIgnored)
{
    std::string error;
    EXPECT_FALSE(WriteFileSafely(m_dir + "no/such/file.txt", "x", &error));
    EXPECT_NE(error.find("ファイルまたはフォルダがありません"), std::string::npos) << error;
}

TEST_F(SafeFileTest, TheCheckBeforeALongJobAgreesWithTheWriteAndLeavesNothing)
{
    WriteFileBytes(m_dir + "old.pdf", "old");
    ASSERT_EQ(::mkfifo((m_dir + "pipe").c_str(), 0600), 0);
    std::filesystem::create_directory(m_dir + "folder");
    // Each target: whether it can be written, and a word the reason names.
    const struct {
        std::string path;
        bool writable;
        const char* reason;
    } cases[] = {
        {m_dir + "new.pdf", true, ""},
        {m_dir + "old.pdf", true, ""},
        {m_dir + "folder", false, "folder"},
        {m_dir + "pipe", false, "pipe"},
        {m_dir + "no/such/report.pdf", false, "ファイルまたはフォルダがありません"},
        {"", false, "ファイル名がありません"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(CanWriteFileSafely(c.path, &error), c.writable) << c.path;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.path << ": " << error;
        std::string written;
        EXPECT_EQ(WriteFileSafely(c.path + (c.writable ? ".copy" : ""), "x", &written), c.writable)
            << c.path;
    }
    // Only what was there and the copies written: no temporary file of the checks.
    EXPECT_EQ(CountEntries(), 3 + 2);
    EXPECT_EQ(ReadFileBytes(m_dir + "old.pdf"), "old");
}

TEST_F(SafeFileTest, SymbolicLinkIsFollowedAndKept)
{
    WriteFileBytes(m_dir + "real.txt", "old");
    ASSERT_EQ(::symlink((m_dir + "real.txt").c_str(), (m_dir + "link.txt").c_str()), 0);
    ASSERT_TRUE(WriteFileSafely(m_dir + "link.txt", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir + "link.txt"));
    EXPECT_EQ(ReadFileBytes(m_dir + "real.txt"), "new");
}

TEST_F(SafeFileTest, APathInAFolderIsSeenThroughDotsAndLinks)
{
    ::mkdir((m_dir + "Data").c_str(), 0700);
    ::mkdir((m_dir + "Database").c_str(), 0700);
    WriteFileBytes(m_dir + "Data/fish.xml", "log");
    ASSERT_EQ(::symlink((m_dir + "Data/fish.xml").c_str(), (m_dir + "log.gpx").c_str()), 0);
    ASSERT_EQ(::symlink((m_dir + "Data").c_str(), (m_dir + "elsewhere").c_str()), 0);
    const struct {
        std::string path;
        bool inside;
    } cases[] = {
        {m_dir + "Data/fish.xml", true},
        {m_dir + "Data/new.gpx", true},
        {m_dir + "Data", true},
        {m_dir + "Data/", true},
        {m_dir + "out/../Data/fish.xml", true},
        {m_dir + "log.gpx", true},  // a link to the log
        {m_dir + "elsewhere/x.kml", true},
        {m_dir + "Database/x.gpx", false},  // only a name that starts alike
        {m_dir + "out.gpx", false},
        {m_dir, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPathInFolder(c.path, m_dir + "Data/"), c.inside) << c.path;
}

TEST_F(SafeFileTest, BackupKeepsThePreviousContentAcrossAReplace)
{
    const std::string path = m_dir + "fish.xml";
    EXPECT_TRUE(KeepBackupCopy(path, path + ".bak"));  // nothing to keep yet
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
    WriteFileBytes(path, "version 1");
    ASSERT_TRUE(KeepBackupCopy(path, path + ".bak"));
    ASSERT_TRUE(WriteFileSafely(path, "version 2"));
    EXPECT_EQ(ReadFileBytes(path + ".bak"), "version 1");
    ASSERT_TRUE(KeepBackupCopy(path, path + ".bak"));
    ASSERT_TRUE(WriteFileSafely(path, "version 3"));
    EXPECT_EQ(ReadFileBytes(path + ".bak"), "version 2");
    EXPECT_EQ(ReadFileBytes(path), "version 3");
}

TEST_F(SafeFileTest, ReadWholeFileTellsMissingFromUnreadableAndCapsTheSize)
{
    std::string bytes;
    bool missing = false;
    EXPECT_FALSE(ReadWholeFile(m_dir + "none", bytes, nullptr, &missing));
    EXPECT_TRUE(missing);
    EXPECT_FALSE(ReadWholeFile(m_dir, bytes, nullptr, &missing));  // a folder
    EXPECT_FALSE(missing);
    WriteFileBytes(m_dir + "big", std::string(2000, 'b'));
    std::string error;
    EXPECT_FALSE(ReadWholeFile(m_dir + "big", bytes, &error, &missing, 1000));
    EXPECT_NE(error.find(kTooLargeFileText), std::string::npos);
    EXPECT_TRUE(ReadWholeFile(m_dir + "big", bytes, nullptr, nullptr, 2000));
    EXPECT_EQ(bytes.size(), 2000u);
}

}  // namespace

namespace {

TEST(SafeFileLeftoversTest, OldTemporariesOfAKilledWriteAreRemovedByTheNextWrite)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "fish.xml";
    WriteFileBytes(path, "v1");
    WriteFileBytes(path + ".tmp-AbC123", "half a file");    // left by a killed write long ago
    WriteFileBytes(path + ".tmp-XyZ789", "being written");  // a write going on right now
    WriteFileBytes(dir + "notes.txt.tmp-AbC123", "another file's");
    WriteFileBytes(path + ".tmp-keep", "not ours");
    const struct timespec old[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
    for (const char* name : {"fish.xml.tmp-AbC123", "notes.txt.tmp-AbC123", "fish.xml.tmp-keep"}) {
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir + name).c_str(), old, 0), 0);
    }
    ASSERT_TRUE(WriteFileSafely(path, "v2"));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp-AbC123"));
    EXPECT_TRUE(std::filesystem::exists(path + ".tmp-XyZ789"));
    EXPECT_TRUE(std::filesystem::exists(dir + "notes.txt.tmp-AbC123"));
    EXPECT_TRUE(std::filesystem::exists(path + ".tmp-keep"));
    EXPECT_EQ(ReadFileBytes(path), "v2");
    RemoveTree(dir);
}

// At start-up, under the lock that keeps a second copy of the program away, nothing else writes
// to the Data folders: every temporary there is a leftover, however young.
TEST(SafeFileLeftoversTest, AtStartUpEveryLeftoverTemporaryGoesAndNothingElse)
{
    const std::string dir = MakeTempDir();
    const std::vector<std::pair<std::string, bool>> cases = {
        {"fish.xml.tmp-AbC123", false}, {"photo.jpg.tmp-x1y2z3", false}, {"fish.xml", true},
        {"fish.xml.tmp-12345", true},   {"notes.tmp-abcdef.txt", true},  {".tmp-abcdef", true},
        {"fish.xml.tmp-ab_def", true},
    };
    for (const auto& [name, kept] : cases) WriteFileBytes(dir + name, "x");
    std::filesystem::create_directory(dir + "folder.tmp-abcdef");
    std::filesystem::create_symlink(dir + "fish.xml", dir + "link.tmp-abcdef");
    RemoveLeftoverTemporaries(dir);
    for (const auto& [name, kept] : cases)
        EXPECT_EQ(std::filesystem::exists(dir + name), kept) << name;
    EXPECT_TRUE(std::filesystem::is_directory(dir + "folder.tmp-abcdef"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "link.tmp-abcdef"));
    RemoveTree(dir);
}

}  // namespace

// The reasons users meet read in Japanese, each its own, and an unknown one still says which.
TEST(SystemErrorTextTest, CommonReasonsAreJapaneseAndDistinct)
{
    std::set<std::string> seen;
    for (const int code : {ENOENT, ENOTDIR, EISDIR, EACCES, EROFS, ENOSPC, EDQUOT, EIO, EEXIST,
                           ENAMETOOLONG, ELOOP, EMFILE, ENOMEM, EFBIG, EBUSY, EXDEV}) {
        const std::string text = SystemErrorText(code);
        EXPECT_EQ(text.find(std::strerror(code)), std::string::npos) << text;
        EXPECT_TRUE(seen.insert(text).second) << text;
        for (const char c : text) EXPECT_FALSE(std::isalpha(static_cast<unsigned char>(c))) << text;
    }
    EXPECT_NE(SystemErrorText(4242).find("4242"), std::string::npos);
}
