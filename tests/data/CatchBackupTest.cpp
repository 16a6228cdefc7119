#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "data/CatchBackup.h"
#include "data/CatchStore.h"
#include "support/TempProgramDir.h"

namespace {

const std::string kGood =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>\r\n<FishData><date>2009/5/3</date>"
    "</FishData>\r\n<FishData><date>2009/6/1</date></FishData></log>\r\n";
// Cut off in the middle of the second trip, as a crash of another editor leaves it.
const std::string kBroken =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>\r\n<FishData><date>2009/5/3</date>"
    "</FishData>\r\n<FishData><date>2009/";
const std::time_t kWhen = 1796650200;  // some moment; its local form names the kept file

class CatchBackupTest : public ::testing::Test {
protected:
    CTempProgramDir m_dir;
    std::string Broken() const { return BrokenFileName(m_dir.CatchFile(), kWhen); }
};

TEST_F(CatchBackupTest, OffersTheBackupOnlyForAnUnparsableFileWithAReadableBackup)
{
    struct Case {
        const char* name;
        const char* file;  // nullptr: absent
        const char* backup;
        bool offered;
    } const cases[] = {
        {"broken file, good backup", kBroken.c_str(), kGood.c_str(), true},
        {"good file, good backup", kGood.c_str(), kGood.c_str(), false},
        {"broken file, broken backup", kBroken.c_str(), kBroken.c_str(), false},
        {"broken file, no backup", kBroken.c_str(), nullptr, false},
        {"no file, good backup", nullptr, kGood.c_str(), false},
    };
    for (const Case& c : cases) {
        std::remove(m_dir.CatchFile().c_str());
        std::remove((m_dir.CatchFile() + ".bak").c_str());
        if (c.file) m_dir.WriteFile("Data/fish.xml", c.file);
        if (c.backup) m_dir.WriteFile("Data/fish.xml.bak", c.backup);
        CBrokenCatchFile found;
        EXPECT_EQ(FindRestorableBackup(CCatchStore(m_dir.CatchFile()), found), c.offered) << c.name;
        if (c.offered) {
            EXPECT_EQ(found.backupTrips, 2u) << c.name;
            EXPECT_EQ(found.problem.line, 4) << c.name;
        }
        // Looking never changes either file.
        EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), c.file ? c.file : "") << c.name;
        EXPECT_EQ(m_dir.ReadFile("Data/fish.xml.bak"), c.backup ? c.backup : "") << c.name;
    }
}

TEST_F(CatchBackupTest, RestoringKeepsTheBrokenFileUnderItsDatedNameAndTheBackup)
{
    m_dir.WriteFile("Data/fish.xml", kBroken);
    m_dir.WriteFile("Data/fish.xml.bak", kGood);
    ::chmod(m_dir.CatchFile().c_str(), 0640);
    std::string keptAs;
    std::string error;
    ASSERT_TRUE(RestoreCatchBackup(m_dir.CatchFile(), kWhen, &keptAs, &error)) << error;
    EXPECT_EQ(keptAs, Broken());
    EXPECT_EQ(keptAs.rfind(m_dir.CatchFile() + ".broken-20", 0), 0u);
    EXPECT_EQ(keptAs.size(),
              m_dir.CatchFile().size() + std::string(".broken-20261207-153000").size());
    EXPECT_EQ(ReadFileBytes(keptAs), kBroken);
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), kGood);
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml.bak"), kGood);
    struct stat st {};
    ASSERT_EQ(::stat(m_dir.CatchFile().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    std::vector<CTripRow> rows;
    EXPECT_TRUE(CCatchStore(m_dir.CatchFile()).ListTrips(rows).ok());
    EXPECT_EQ(rows.size(), 2u);
}

TEST_F(CatchBackupTest, AFileUnderTheDatedNameIsNeverReplaced)
{
    m_dir.WriteFile("Data/fish.xml", kBroken);
    m_dir.WriteFile("Data/fish.xml.bak", kGood);
    WriteFileBytes(Broken(), "earlier");
    std::string keptAs;
    ASSERT_TRUE(RestoreCatchBackup(m_dir.CatchFile(), kWhen, &keptAs));
    EXPECT_EQ(keptAs, Broken() + "-2");
    EXPECT_EQ(ReadFileBytes(Broken()), "earlier");
    EXPECT_EQ(ReadFileBytes(keptAs), kBroken);
}

TEST_F(CatchBackupTest, ABackupThatDoesNotParseIsRefusedAndNothingChanges)
{
    m_dir.WriteFile("Data/fish.xml", kBroken);
    m_dir.WriteFile("Data/fish.xml.bak", kBroken + "x");
    std::string error;
    EXPECT_FALSE(RestoreCatchBackup(m_dir.CatchFile(), kWhen, nullptr, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml"), kBroken);
    EXPECT_EQ(m_dir.ReadFile("Data/fish.xml.bak"), kBroken + "x");
    EXPECT_FALSE(m_dir.Exists("Data/" + Broken().substr(Broken().rfind('/') + 1)));
}

TEST(CatchParseErrorText, NamesTheLineAndAJapaneseReasonWithoutLibxmlWords)
{
    struct Case {
        const char* name;
        std::string bytes;
        int line;
        const char* reason;
    } const cases[] = {
        {"cut off", kBroken, 4, "閉じられていないタグ"},
        {"mismatched tags", "<log>\n<FishData>\n</memo></log>", 3, "開始タグと終了タグ"},
        {"stray ampersand", "<log>\n<place>A & B</place></log>", 2, "\"&\""},
        {"empty", "", 1, "データが入っていません"},
        {"document type", "<?xml version=\"1.0\"?>\n<!DOCTYPE log>\n<log/>", 2, "文書型宣言"},
    };
    CTempProgramDir dir;
    for (const Case& c : cases) {
        dir.WriteFile("Data/fish.xml", c.bytes);
        std::vector<CTripRow> rows;
        const CStoreResult result = CCatchStore(dir.CatchFile()).ListTrips(rows);
        ASSERT_EQ(result.status, EStoreStatus::ParseError) << c.name;
        const std::string text = DescribeStoreResult(result, dir.CatchFile());
        EXPECT_NE(text.find(std::to_string(c.line) + " 行目"), std::string::npos) << c.name;
        EXPECT_NE(text.find(c.reason), std::string::npos) << c.name << ": " << text;
        EXPECT_EQ(text.find(result.detail), std::string::npos) << c.name << ": " << text;
    }
}

TEST_F(CatchBackupTest, AReadFailureIsToldOnceForEachVersionOfTheFile)
{
    CCatchStore store(m_dir.CatchFile());
    std::vector<CTripRow> rows;
    m_dir.WriteFile("Data/fish.xml", kBroken);
    const CStoreResult broken = store.ListTrips(rows);
    EXPECT_TRUE(store.NoteFailureTold(broken));
    EXPECT_FALSE(store.NoteFailureTold(store.ListTrips(rows)));
    // Another version, broken elsewhere, is news; so is the file going missing.
    m_dir.WriteFile("Data/fish.xml", "<log>\n\n</x>");
    EXPECT_TRUE(store.NoteFailureTold(store.ListTrips(rows)));
    std::remove(m_dir.CatchFile().c_str());
    EXPECT_TRUE(store.NoteFailureTold(store.ListTrips(rows)));
    EXPECT_FALSE(store.NoteFailureTold(store.ListTrips(rows)));
    // A success forgets: the same failure later is told again.
    m_dir.WriteFile("Data/fish.xml", kGood);
    EXPECT_FALSE(store.NoteFailureTold(store.ListTrips(rows)));
    std::remove(m_dir.CatchFile().c_str());
    EXPECT_TRUE(store.NoteFailureTold(store.ListTrips(rows)));
    // A failed change is always told.
    CStoreResult saveFailed;
    saveFailed.status = EStoreStatus::SaveFailed;
    EXPECT_TRUE(store.NoteFailureTold(saveFailed));
    EXPECT_TRUE(store.NoteFailureTold(saveFailed));
}

}  // namespace
