// lurebook --list-history and --restore-history, as their core functions.
#include <gtest/gtest.h>

#include <sstream>

#include "app/HistoryCommands.h"
#include "app/InstanceLock.h"
#include "data/CatchHistory.h"
#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "support/TempProgramDir.h"

TEST(HistoryCommandsTest, ListsCopiesAndRestoresOneUnlessTheProgramHoldsTheDataFolder)
{
    CTempProgramDir dir;
    const std::string original = dir.ReadFile("Data/fish.xml");
    {
        CCatchStore store(dir.CatchFile());
        store.EnableHistory(true);
        store.GetHistory()->SetClock([] { return std::time_t{1765000000}; });
        CTripRecord trip;
        trip.date = "2026/12/1";
        trip.place = "東京湾";
        trip.catches = {{"シーバス", "60", "2", "6時0分"}};
        ASSERT_TRUE(store.AddTrip(trip).ok());
    }
    dir.WriteFile("Data/history/readme.txt", "not a copy");
    const std::string name = CCatchHistory::CopyName(1765000000);
    std::ostringstream out, err;
    ASSERT_EQ(ListHistoryCommand(dir.Folder(), out, err), 0);
    EXPECT_EQ(out.str().substr(0, name.size() + 1), name + "\t");
    EXPECT_NE(out.str().find("\t0\t0\n"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("readme.txt"), std::string::npos);

    const std::string changed = dir.ReadFile("Data/fish.xml");
    const struct {
        std::string name;
        bool holdLock;
        int exitCode;
        std::string message;
    } cases[] = {
        {name, true, 2, "Lurebook が起動しているため"},
        {"20990101-000000", false, 2, "ファイルまたはフォルダがありません"},
        {"../fish", false, 2, "履歴のコピーの名前ではありません"},
        {name, false, 0, ""},
    };
    for (const auto& c : cases) {
        CInstanceLock lock;
        if (c.holdLock) {
            ASSERT_EQ(lock.Acquire(dir.Path(CInstanceLock::kLockFileName)),
                      CInstanceLock::EResult::Acquired);
        }
        std::ostringstream restoreOut, restoreErr;
        EXPECT_EQ(RestoreHistoryCommand(dir.Folder(), c.name, restoreOut, restoreErr), c.exitCode)
            << c.name;
        EXPECT_NE(restoreErr.str().find(c.message), std::string::npos) << restoreErr.str();
        EXPECT_EQ(dir.ReadFile("Data/fish.xml"), c.exitCode == 0 ? original : changed) << c.name;
    }
}
