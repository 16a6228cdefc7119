#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

#include "app/SettingsCarryOver.h"
#include "data/FullDisk.h"
#include "data/SafeFile.h"
#include "support/TempProgramDir.h"

namespace {

const std::string kOldSettings = "[General]\ngeometry=@ByteArray(abc)\n[NavBar]\nSmallIcons=true\n";
const std::string kDamaged("[Gen\0\xff\xfe=", 8);

struct CCarryOverCase {
    const char* name;
    // Puts the old and new files in place in config (ending in "/").
    std::function<void(const std::string& config)> arrange;
    ESettingsCarryOver expected;
    // The new file's bytes afterwards; none: whatever was at its place is untouched.
    std::optional<std::string> newBytes;
};

void WriteOld(const std::string& config, const std::string& bytes)
{
    ::mkdir((config + "Local AppWizard-Generated Applications").c_str(), 0700);
    WriteFileBytes(OldSettingsFileIn(config), bytes);
}

// What a reader sees at path without opening it blocking: the type, and a regular file's bytes.
std::string Snapshot(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return "none";
    return std::to_string(st.st_mode & S_IFMT) +
           (S_ISREG(st.st_mode) ? ReadFileBytes(path) : std::string());
}

bool Exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

TEST(SettingsCarryOverTest, OldFileIsCopiedOnceAndLeftAlone)
{
    const CCarryOverCase cases[] = {
        {"old file only", [](const std::string& c) { WriteOld(c, kOldSettings); },
         ESettingsCarryOver::CarriedOver, kOldSettings},
        {"neither file", [](const std::string&) {}, ESettingsCarryOver::NothingToDo, std::nullopt},
        {"new file already there",
         [](const std::string& c) {
             WriteOld(c, kOldSettings);
             ::mkdir((c + "lurebook").c_str(), 0700);
             WriteFileBytes(SettingsFileIn(c), "[General]\n");
         },
         ESettingsCarryOver::NothingToDo, "[General]\n"},
        {"empty old file", [](const std::string& c) { WriteOld(c, ""); },
         ESettingsCarryOver::CarriedOver, ""},
        {"damaged old file (zero bytes, broken UTF-8)",
         [](const std::string& c) { WriteOld(c, kDamaged); }, ESettingsCarryOver::CarriedOver,
         kDamaged},
        {"old file larger than 1 MiB",
         [](const std::string& c) { WriteOld(c, std::string((1 << 20) + 1, 'x')); },
         ESettingsCarryOver::Failed, std::nullopt},
        {"old file is a FIFO",
         [](const std::string& c) {
             ::mkdir((c + "Local AppWizard-Generated Applications").c_str(), 0700);
             ::mkfifo(OldSettingsFileIn(c).c_str(), 0600);
         },
         ESettingsCarryOver::Failed, std::nullopt},
        {"old file is a folder",
         [](const std::string& c) {
             ::mkdir((c + "Local AppWizard-Generated Applications").c_str(), 0700);
             ::mkdir(OldSettingsFileIn(c).c_str(), 0700);
         },
         ESettingsCarryOver::Failed, std::nullopt},
        {"old file is a symlink to settings elsewhere",
         [](const std::string& c) {
             WriteFileBytes(c + "elsewhere.conf", kOldSettings);
             ::mkdir((c + "Local AppWizard-Generated Applications").c_str(), 0700);
             ::symlink((c + "elsewhere.conf").c_str(), OldSettingsFileIn(c).c_str());
         },
         ESettingsCarryOver::CarriedOver, kOldSettings},
        {"old file is a dangling symlink",
         [](const std::string& c) {
             ::mkdir((c + "Local AppWizard-Generated Applications").c_str(), 0700);
             ::symlink((c + "gone.conf").c_str(), OldSettingsFileIn(c).c_str());
         },
         ESettingsCarryOver::NothingToDo, std::nullopt},
        {"new place is a dangling symlink",
         [](const std::string& c) {
             WriteOld(c, kOldSettings);
             ::mkdir((c + "lurebook").c_str(), 0700);
             ::symlink((c + "gone.conf").c_str(), SettingsFileIn(c).c_str());
         },
         ESettingsCarryOver::NothingToDo, std::nullopt},
        {"new folder's name taken by a file",
         [](const std::string& c) {
             WriteOld(c, kOldSettings);
             WriteFileBytes(c + "lurebook", "not a folder");
         },
         ESettingsCarryOver::Failed, std::nullopt},
    };
    for (const CCarryOverCase& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string config = MakeTempDir();
        test.arrange(config);
        const std::string oldBefore = Snapshot(OldSettingsFileIn(config));
        const std::string newBefore = Snapshot(SettingsFileIn(config));
        std::string error;
        EXPECT_EQ(CarryOverSettings(OldSettingsFileIn(config), SettingsFileIn(config), &error),
                  test.expected);
        if (test.expected == ESettingsCarryOver::Failed) {
            EXPECT_FALSE(error.empty());
        }
        if (test.newBytes) {
            EXPECT_EQ(ReadFileBytes(SettingsFileIn(config)), *test.newBytes);
        } else {
            EXPECT_EQ(Snapshot(SettingsFileIn(config)), newBefore);
        }
        // The old file stays as it was, for an older version still installed.
        EXPECT_EQ(Snapshot(OldSettingsFileIn(config)), oldBefore);
        // A second start changes nothing more.
        EXPECT_NE(CarryOverSettings(OldSettingsFileIn(config), SettingsFileIn(config)),
                  ESettingsCarryOver::CarriedOver);
        RemoveTree(config);
    }
}

TEST(SettingsCarryOverTest, FullDiskLeavesNoNewFileAndTriesAgainNextTime)
{
    const std::string config = MakeTempDir();
    WriteOld(config, kOldSettings);
    {
        CFullDisk disk(10);
        std::string error;
        EXPECT_EQ(CarryOverSettings(OldSettingsFileIn(config), SettingsFileIn(config), &error),
                  ESettingsCarryOver::Failed);
        EXPECT_NE(error.find(SystemErrorText(ENOSPC)), std::string::npos) << error;
    }
    EXPECT_FALSE(Exists(SettingsFileIn(config)));
    EXPECT_EQ(CarryOverSettings(OldSettingsFileIn(config), SettingsFileIn(config)),
              ESettingsCarryOver::CarriedOver);
    EXPECT_EQ(ReadFileBytes(SettingsFileIn(config)), kOldSettings);
    RemoveTree(config);
}

}  // namespace
