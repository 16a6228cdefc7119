#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "data/DataFolder.h"

namespace {

TEST(DataFolderTest, IsTheFolderOfTheRunningProgramWhateverTheWorkingDirectory)
{
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    std::string expected(exe, static_cast<size_t>(n));
    expected.resize(expected.rfind('/') + 1);

    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir("/"), 0);
    const CDataFolder folder = CDataFolder::OfRunningProgram();
    EXPECT_TRUE(folder.IsKnown());
    EXPECT_EQ(folder.GetProgramDir(), expected);
    EXPECT_EQ(folder.GetCatchFile(), expected + "Data/fish.xml");
    ASSERT_EQ(::chdir(cwd), 0);
}

TEST(DataFolderTest, GivenDirectoryHoldsTheDataFolder)
{
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    const struct {
        std::string dir;
        std::string catchFile;  // empty: the folder is not known
    } cases[] = {
        {"/srv/釣り", "/srv/釣り/Data/fish.xml"},
        {"/opt/lb/", "/opt/lb/Data/fish.xml"},
        {"rel", std::string(cwd) + "/rel/Data/fish.xml"},  // from the working directory
        {"", ""},
    };
    for (const auto& c : cases) {
        const CDataFolder folder(c.dir);
        EXPECT_EQ(folder.IsKnown(), !c.catchFile.empty()) << c.dir;
        EXPECT_EQ(folder.GetCatchFile(), c.catchFile) << c.dir;
    }
    EXPECT_EQ(CDataFolder("/srv/釣り").GetSpeciesFile(), "/srv/釣り/Data/fishname.txt");
}

TEST(DataFolderTest, NamesEveryFileAndFolderTheProgramKeeps)
{
    using Getter = std::function<std::string(const CDataFolder&)>;
    const struct {
        Getter path;
        std::string relative;
    } cases[] = {
        {&CDataFolder::GetDataDir, "Data/"},
        {&CDataFolder::GetCatchFile, "Data/fish.xml"},
        {&CDataFolder::GetSpeciesFile, "Data/fishname.txt"},
        {&CDataFolder::GetPictureDir, "Data/Picture/"},
        {&CDataFolder::GetScheduleDir, "Data/schedule"},
        {&CDataFolder::GetTidePortsFile, "Data/tideports.txt"},
        {&CDataFolder::GetPlacesFile, "Data/places.txt"},
        {&CDataFolder::GetHistoryDir, "Data/history/"},
        {&CDataFolder::GetUndoneDir, "Data/history/.undone/"},
        {&CDataFolder::GetLockFile, "Data/.lurebook.lock"},
    };
    const CDataFolder known("/home/angler/lurebook");
    const CDataFolder unknown;
    for (const auto& c : cases) {
        EXPECT_EQ(c.path(known), "/home/angler/lurebook/" + c.relative);
        EXPECT_EQ(c.path(unknown), "") << c.relative;
    }
}

}  // namespace
