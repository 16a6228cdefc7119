#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "data/ProgramDir.h"

namespace {

class ProgramDirTest : public ::testing::Test {
protected:
    void TearDown() override { SetProgramDirOverride(""); }
};

TEST_F(ProgramDirTest, IsTheFolderOfTheRunningProgramWhateverTheWorkingDirectory)
{
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    std::string expected(exe, static_cast<size_t>(n));
    expected.resize(expected.rfind('/') + 1);

    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir("/"), 0);
    std::string dir;
    EXPECT_TRUE(GetModuleDir(dir));
    EXPECT_EQ(dir, expected);
    EXPECT_EQ(DataPath(kCatchFileName), expected + "Data/fish.xml");
    ASSERT_EQ(::chdir(cwd), 0);
}

TEST_F(ProgramDirTest, CommandLineOptionOverridesTheFolder)
{
    const char* args1[] = {"lurebook", "--program-dir", "/srv/釣り"};
    EXPECT_TRUE(ApplyProgramDirOption(3, const_cast<char**>(args1)));
    EXPECT_EQ(DataPath(kSpeciesFileName), "/srv/釣り/Data/fishname.txt");

    const char* args2[] = {"lurebook", "--program-dir=/opt/lb/"};
    EXPECT_TRUE(ApplyProgramDirOption(2, const_cast<char**>(args2)));
    EXPECT_EQ(DataPath(kCatchFileName), "/opt/lb/Data/fish.xml");

    const char* missingValue[] = {"lurebook", "--program-dir"};
    std::string error;
    EXPECT_FALSE(ApplyProgramDirOption(2, const_cast<char**>(missingValue), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(DataPath(kCatchFileName), "/opt/lb/Data/fish.xml");  // unchanged

    const char* relative[] = {"lurebook", "--program-dir", "rel"};
    EXPECT_TRUE(ApplyProgramDirOption(3, const_cast<char**>(relative)));
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(DataPath(kCatchFileName), std::string(cwd) + "/rel/Data/fish.xml");
}

}  // namespace
