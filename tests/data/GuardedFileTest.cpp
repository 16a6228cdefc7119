#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "data/GuardedFile.h"
#include "data/SafeFile.h"
#include "support/LimitedChild.h"
#include "support/TempProgramDir.h"

namespace {

class GuardedFileTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir = MakeTempDir(); }
    void TearDown() override { RemoveTree(m_dir); }
    std::string m_dir;
};

// Status number and error text of one guarded read, made in a child with time and memory limits:
// a read that blocks on a pipe or swallows an endless device ends the child, not the test run.
CChildOutcome GuardedRead(const std::string& path, size_t maxBytes)
{
    return RunLimited([&] {
        std::string bytes;
        std::string error;
        const EFileRead status = ReadFileGuarded(path, maxBytes, bytes, &error);
        return std::to_string(static_cast<int>(status)) + "|" + std::to_string(bytes.size()) + "|" +
               error;
    });
}

TEST_F(GuardedFileTest, OnlyRegularFilesWithinTheLimitAreRead)
{
    const std::string pipe = m_dir + "fish.xml";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    WriteFileBytes(m_dir + "exact.txt", std::string(4096, 'a'));
    WriteFileBytes(m_dir + "over.txt", std::string(4097, 'a'));
    // A sparse file far over the limit: refused from its size, never read.
    const int fd = ::open((m_dir + "huge.jpg").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{8} << 30), 0);
    ::close(fd);
    const struct {
        std::string path;
        EFileRead status;
        size_t size;
        const char* words;
    } cases[] = {
        {m_dir + "exact.txt", EFileRead::Ok, 4096, ""},
        {m_dir + "over.txt", EFileRead::TooLarge, 0,
         "ファイルが大きすぎます (4096 バイトを超えています)"},
        {m_dir + "huge.jpg", EFileRead::TooLarge, 0, kTooLargeFileText},
        {pipe, EFileRead::NotRegular, 0, kNotRegularFileText},
        {"/dev/zero", EFileRead::NotRegular, 0, kNotRegularFileText},
        {"/dev/null", EFileRead::NotRegular, 0, kNotRegularFileText},
        {m_dir, EFileRead::NotRegular, 0, kNotRegularFileText},
        {m_dir + "none.txt", EFileRead::Missing, 0, "ファイルまたはフォルダがありません"},
        {m_dir + "exact.txt/x", EFileRead::Missing, 0, "途中の名前がフォルダではありません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const CChildOutcome outcome = GuardedRead(c.path, 4096);
        ASSERT_TRUE(outcome.finished) << "hung or ran out of memory, signal " << outcome.signal;
        const std::string expected =
            std::to_string(static_cast<int>(c.status)) + "|" + std::to_string(c.size) + "|";
        EXPECT_EQ(outcome.output.substr(0, expected.size()), expected) << outcome.output;
        if (c.status != EFileRead::Ok) {
            // The message names the file and says what is wrong with it.
            EXPECT_NE(outcome.output.find(c.path + ": "), std::string::npos) << outcome.output;
            EXPECT_NE(outcome.output.find(c.words), std::string::npos) << outcome.output;
        }
    }
}

TEST_F(GuardedFileTest, SafeWriteRefusesToReplaceAPipe)
{
    const std::string pipe = m_dir + "fishname.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(WriteFileSafely(pipe, "list", &error));
    EXPECT_NE(error.find(kNotRegularFileText), std::string::npos) << error;
    struct stat st {};
    ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
