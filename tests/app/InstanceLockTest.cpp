#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "app/InstanceLock.h"
#include "data/GuardedFile.h"
#include "support/TempProgramDir.h"

namespace {

// Runs body in a child process and returns its exit status.
template <typename Body>
int InChild(Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(InstanceLockTest, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "lock";
    CInstanceLock first;
    ASSERT_EQ(first.Acquire(path), CInstanceLock::EResult::Acquired);

    // Another process (another copy of the program) is refused and learns who holds it.
    const long self = ::getpid();
    EXPECT_EQ(InChild([&] {
                  CInstanceLock second;
                  if (second.Acquire(path) != CInstanceLock::EResult::HeldByAnother) return 1;
                  return second.GetHolderPid() == self ? 0 : 2;
              }),
              0);

    first.Release();
    EXPECT_EQ(InChild([&] {
                  CInstanceLock second;
                  return second.Acquire(path) == CInstanceLock::EResult::Acquired ? 0 : 1;
              }),
              0);
    RemoveTree(dir);
}

TEST(InstanceLockTest, LockOfAKilledProcessIsTakenOver)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "lock";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        CInstanceLock lock;
        const char ok = lock.Acquire(path) == CInstanceLock::EResult::Acquired ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    CInstanceLock lock;
    EXPECT_EQ(lock.Acquire(path), CInstanceLock::EResult::HeldByAnother);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(lock.Acquire(path), CInstanceLock::EResult::Acquired);
    ::close(ready[0]);
    ::close(ready[1]);
    RemoveTree(dir);
}

// With the Data folder missing the lock used to be skipped silently: the folder is now made and
// locked; what cannot be locked is a failure with its reason.
TEST(InstanceLockTest, AMissingDataFolderIsMadeAndLockedOtherwiseTheReasonIsGiven)
{
    const std::string dir = MakeTempDir();
    ASSERT_EQ(::mkdir((dir + "taken").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo((dir + "taken/.lurebook.lock").c_str(), 0600), 0);
    const struct {
        std::string path;
        CInstanceLock::EResult result;
        const char* reason;
    } cases[] = {
        {dir + "Data/.lurebook.lock", CInstanceLock::EResult::Acquired, ""},
        {dir + "no/Data/.lurebook.lock", CInstanceLock::EResult::Failed,
         "ファイルまたはフォルダがありません"},
        {dir + "taken/.lurebook.lock", CInstanceLock::EResult::Failed, kNotRegularFileText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        CInstanceLock lock;
        std::string error;
        EXPECT_EQ(lock.Acquire(c.path, &error), c.result);
        EXPECT_EQ(lock.IsHeld(), c.result == CInstanceLock::EResult::Acquired);
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    RemoveTree(dir);
}

TEST(InstanceLockTest, TheHolderRemovesWhatCutSavesLeftInTheDataFolders)
{
    CTempProgramDir dir;
    const char* const leftovers[] = {"Data/fish.xml.tmp-Ab12Cd",
                                     "Data/schedule/2026_12.ini.tmp-Zz9Yy8",
                                     "Data/Picture/tai.jpg.tmp-q1w2e3"};
    const char* const kept[] = {"Data/fish.xml", "Data/Picture/tai.jpg",
                                "S_Holiday.txt.tmp-Ab12Cd"};
    for (const char* name : leftovers) dir.WriteFile(name, "cut off");
    for (const char* name : kept) dir.WriteFile(name, "kept");
    RemoveLeftoversOfCutSaves(dir.Folder());
    for (const char* name : leftovers) EXPECT_FALSE(dir.Exists(name)) << name;
    for (const char* name : kept) EXPECT_TRUE(dir.Exists(name)) << name;
}

}  // namespace
