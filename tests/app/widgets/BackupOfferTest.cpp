#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/widgets/CatchLogApp.h"
#include "data/CatchStore.h"
#include "reports/widgets/ReportDataView.h"
#include "support/TempProgramDir.h"
#include "support/widgets/MessageBoxRecorder.h"

namespace {

const std::string kGood =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>\r\n<FishData><date>2009/5/3</date>"
    "</FishData></log>\r\n";
const std::string kBroken = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>\r\n<FishData>";

std::vector<std::string> BrokenCopies(const CTempProgramDir& dir)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path("Data"))) {
        if (entry.path().filename().string().rfind("fish.xml.broken-", 0) == 0) {
            found.push_back(entry.path().string());
        }
    }
    return found;
}

TEST(BackupOfferTest, NoKeepsBothFilesAndTheListDoesNotRepeatTheFault)
{
    CTempProgramDir dir;
    dir.WriteFile("Data/fish.xml", kBroken);
    dir.WriteFile("Data/fish.xml.bak", kGood);
    CCatchStore store(dir.CatchFile());
    CMessageBoxRecorder boxes(QMessageBox::No);
    CCatchLogApp::OfferBackupRestore(nullptr, store);
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_TRUE(boxes.Texts()[0].contains(QStringLiteral(" 行目: 閉じられていないタグ")));
    EXPECT_TRUE(boxes.Texts()[0].contains(QStringLiteral("1 件の釣行")));
    EXPECT_TRUE(boxes.Texts()[0].contains(QStringLiteral("fish.xml.broken-")));
    EXPECT_EQ(boxes.Requests()[0].defaultButton, QMessageBox::No);
    EXPECT_EQ(dir.ReadFile("Data/fish.xml"), kBroken);
    EXPECT_EQ(dir.ReadFile("Data/fish.xml.bak"), kGood);

    // The list filling at start and after each dialog stays quiet; reloading by hand tells again.
    CReportDataView view(store, dir.Folder());
    view.OnInitialUpdate(false);
    view.OnInitialUpdate(false);
    EXPECT_EQ(boxes.Texts().size(), 1);
    view.OnInitialUpdate();
    EXPECT_EQ(boxes.Texts().size(), 2);
}

TEST(BackupOfferTest, YesPutsTheBackupInPlaceAndKeepsTheBrokenFile)
{
    CTempProgramDir dir;
    dir.WriteFile("Data/fish.xml", kBroken);
    dir.WriteFile("Data/fish.xml.bak", kGood);
    CCatchStore store(dir.CatchFile());
    std::vector<CTripRow> rows;
    ASSERT_FALSE(store.ListTrips(rows).ok());
    CMessageBoxRecorder boxes;
    boxes.QueueAnswer(QMessageBox::Yes);
    CCatchLogApp::OfferBackupRestore(nullptr, store);
    ASSERT_EQ(boxes.Texts().size(), 2);
    EXPECT_TRUE(boxes.Texts()[1].contains(QStringLiteral("バックアップに戻しました")));
    EXPECT_EQ(dir.ReadFile("Data/fish.xml"), kGood);
    EXPECT_EQ(dir.ReadFile("Data/fish.xml.bak"), kGood);
    const std::vector<std::string> kept = BrokenCopies(dir);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadFileBytes(kept[0]), kBroken);
    EXPECT_TRUE(boxes.Texts()[1].contains(QString::fromStdString(kept[0])));
    ASSERT_TRUE(store.ListTrips(rows).ok());
    EXPECT_EQ(rows.size(), 1u);
}

TEST(BackupOfferTest, NothingIsAskedWhenTheFileReadsOrTheBackupDoesNot)
{
    for (const auto& [file, backup] : {std::pair{kGood, kGood}, std::pair{kBroken, kBroken}}) {
        CTempProgramDir dir;
        dir.WriteFile("Data/fish.xml", file);
        dir.WriteFile("Data/fish.xml.bak", backup);
        CCatchStore store(dir.CatchFile());
        CMessageBoxRecorder boxes(QMessageBox::Yes);
        CCatchLogApp::OfferBackupRestore(nullptr, store);
        EXPECT_TRUE(boxes.Texts().isEmpty());
        EXPECT_EQ(dir.ReadFile("Data/fish.xml"), file);
    }
}

}  // namespace
