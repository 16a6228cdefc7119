#include <gtest/gtest.h>

#include "data/CatchStore.h"
#include "support/TempProgramDir.h"

namespace {

std::string Trip(const std::string& date, const std::vector<std::string>& species)
{
    std::string xml = "<FishData><fishname>x</fishname><date>" + date + "</date><report>";
    for (const std::string& name : species) {
        xml += "<fish><name>" + name + "</name><height>30</height><weight>1</weight></fish>";
    }
    return xml + "</report></FishData>";
}

}  // namespace

TEST(YearsAndSpecies, DistinctInOrderOfFirstAppearanceLikeTheSingleLists)
{
    CTempProgramDir dir;
    dir.WriteFile("Data/fish.xml",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CatchLog>" +
                      Trip("2003/12/30", {"メジナ", "アジ"}) + Trip("2004/01/02", {"アジ"}) +
                      Trip("2003/08/01", {"スズキ", "メジナ"}) + Trip("1999", {}) + "</CatchLog>");
    const CCatchStore store(dir.CatchFile());
    std::vector<std::string> years, species;
    ASSERT_TRUE(store.ListYearsAndSpecies(years, species).ok());
    EXPECT_EQ(years, (std::vector<std::string>{"2003", "2004", "1999"}));
    EXPECT_EQ(species, (std::vector<std::string>{"メジナ", "アジ", "スズキ"}));

    std::vector<std::string> storeYears, storeSpecies;
    ASSERT_TRUE(store.ListYears(storeYears).ok());
    ASSERT_TRUE(store.ListSpecies(storeSpecies).ok());
    EXPECT_EQ(years, storeYears);
    EXPECT_EQ(species, storeSpecies);
}

TEST(YearsAndSpecies, UnreadableFileGivesEmptyLists)
{
    CTempProgramDir dir;
    dir.WriteFile("Data/fish.xml", "<CatchLog><FishData>");
    std::vector<std::string> years{"old"}, species{"old"};
    EXPECT_FALSE(CCatchStore(dir.CatchFile()).ListYearsAndSpecies(years, species).ok());
    EXPECT_TRUE(years.empty());
    EXPECT_TRUE(species.empty());
}
