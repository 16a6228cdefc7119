#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/DataFolder.h"
#include "data/FullDisk.h"
#include "entry/FishNameList.h"
#include "support/TempProgramDir.h"

namespace {

// The settings dialog's save on a disk that fills up at any point: the failure is reported, the
// previous list stays as it was on disk, and with room again the same save goes through.
TEST(SpeciesListDiskFullTest, FullDiskKeepsThePreviousListAndReportsTheFailure)
{
    CTempProgramDir dir;
    const std::vector<std::string> previous = {"スズキ", "メバル", "カサゴ", "ｶﾚｲ"};
    ASSERT_TRUE(WriteSpeciesList(dir.Folder(), previous));
    const std::string previousBytes = dir.ReadFile(kSpeciesFileName);
    std::vector<std::string> edited = previous;
    for (int i = 0; i < 200; ++i) edited.push_back("新しい魚 " + std::to_string(i));

    for (const size_t limit : {size_t{0}, size_t{1}, previousBytes.size(), size_t{2000}}) {
        std::string error;
        {
            CFullDisk full(limit);
            EXPECT_FALSE(WriteSpeciesList(dir.Folder(), edited, &error)) << "limit " << limit;
            EXPECT_LE(full.Written(), limit);
        }
        EXPECT_NE(error.find(SystemErrorText(ENOSPC)), std::string::npos) << error;
        EXPECT_EQ(dir.ReadFile(kSpeciesFileName), previousBytes) << "limit " << limit;
        std::vector<std::string> entries;
        ASSERT_TRUE(ReadSpeciesList(dir.Folder(), entries));
        ASSERT_EQ(entries.size(), previous.size());
        for (size_t i = 0; i < previous.size(); ++i) EXPECT_EQ(entries[i], previous[i] + "\n");
    }
    ASSERT_TRUE(WriteSpeciesList(dir.Folder(), edited));
    std::vector<std::string> entries;
    ASSERT_TRUE(ReadSpeciesList(dir.Folder(), entries));
    EXPECT_EQ(entries.size(), edited.size());
    EXPECT_EQ(entries.back(), "新しい魚 199\n");
}

}  // namespace
