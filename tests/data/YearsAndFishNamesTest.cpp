#include <gtest/gtest.h>

#include "data/CatchStore.h"
#include "support/TempProgramDir.h"

namespace {

std::string Trip(const std::string& date, const std::vector<std::string>& names)
{
    std::string xml = "<FishData><fishname>x</fishname><date>" + date + "</date><report>";
    for (const std::string& name : names) {
        xml += "<fish><name>" + name + "</name><height>30</height><weight>1</weight></fish>";
    }
    return xml + "</report></FishData>";
}

}  // namespace

TEST(YearsAndFishNames, DistinctInOrderOfFirstAppearanceLikeTheSingleLists)
{
    CTempProgramDir dir;
    dir.WriteFile("Data/fish.xml",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog>" +
                      Trip("2003/12/30", {"メジナ", "アジ"}) + Trip("2004/01/02", {"アジ"}) +
                      Trip("2003/08/01", {"スズキ", "メジナ"}) + Trip("1999", {}) + "</CatchLog>");
    const CCatchStore store(dir.CatchFile());
    std::vector<std::string> years, names;
    ASSERT_TRUE(store.ListYearsAndFishNames(years, names).ok());
    EXPECT_EQ(years, (std::vector<std::string>{"2003", "2004", "1999"}));
    EXPECT_EQ(names, (std::vector<std::string>{"メジナ", "アジ", "スズキ"}));

    std::vector<std::string> storeYears, storeNames;
    ASSERT_TRUE(store.ListYears(storeYears).ok());
    ASSERT_TRUE(store.ListSpecies(storeNames).ok());
    EXPECT_EQ(years, storeYears);
    EXPECT_EQ(names, storeNames);
}

TEST(YearsAndFishNames, UnreadableFileGivesEmptyLists)
{
    CTempProgramDir dir;
    dir.WriteFile("Data/fish.xml", "<CatchLog><FishData>");
    std::vector<std::string> years{"old"}, names{"old"};
    EXPECT_FALSE(CCatchStore(dir.CatchFile()).ListYearsAndFishNames(years, names).ok());
    EXPECT_TRUE(years.empty());
    EXPECT_TRUE(names.empty());
}
