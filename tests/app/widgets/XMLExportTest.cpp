#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>

#include "app/widgets/XMLExport.h"
#include "data/CatchStore.h"
#include "support/TempProgramDir.h"
#include "support/widgets/FakeDesktopServices.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "uikit/QtText.h"

namespace {

class XMLExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir.WriteFile("Data/fish.xml", m_content);
        m_out = MakeTempDir();
    }
    void TearDown() override { RemoveTree(m_out); }
    QString Out(const char* name) const { return QStringFromStd(m_out + name); }

    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
    std::string m_out;
    const std::string m_content =
        "<?xml version=\"1.0\" "
        "encoding=\"Shift_JIS\"?>\r\n<log><FishData><place>\x8f\xe9</place></FishData></log>\r\n";
};

TEST_F(XMLExportTest, WritesAByteForByteCopyAddingTheExtension)
{
    CFakeDesktopServices desktop;
    CMessageBoxRecorder messages;
    desktop.QueueSaveFileName(Out("export"));
    EXPECT_TRUE(ExportCatchFile(nullptr, m_store));
    EXPECT_EQ(ReadFileBytes(m_out + "export.xml"), m_content);
    EXPECT_TRUE(messages.Texts().isEmpty());
    EXPECT_EQ(desktop.DialogCaptions(), QStringList{QStringLiteral("XMLファイル出力")});
}

TEST_F(XMLExportTest, CancelledDialogWritesNothing)
{
    CFakeDesktopServices desktop;
    CMessageBoxRecorder messages;
    EXPECT_FALSE(ExportCatchFile(nullptr, m_store));
    EXPECT_TRUE(QDir(QStringFromStd(m_out)).isEmpty());
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_F(XMLExportTest, ExistingFileNamedOnlyThroughTheExtensionNeedsConsent)
{
    WriteFileBytes(m_out + "old.xml", "previous export");
    CFakeDesktopServices desktop;
    CMessageBoxRecorder messages(QMessageBox::No);
    desktop.QueueSaveFileName(Out("old"));
    EXPECT_FALSE(ExportCatchFile(nullptr, m_store));
    EXPECT_EQ(ReadFileBytes(m_out + "old.xml"), "previous export");
    ASSERT_EQ(messages.Texts().size(), 1);

    messages.QueueAnswer(QMessageBox::Yes);
    desktop.QueueSaveFileName(Out("old"));
    EXPECT_TRUE(ExportCatchFile(nullptr, m_store));
    EXPECT_EQ(ReadFileBytes(m_out + "old.xml"), m_content);
}

TEST_F(XMLExportTest, FailuresAreToldAndLeaveTheTargetAlone)
{
    CFakeDesktopServices desktop;
    CMessageBoxRecorder messages;
    // The target folder does not exist.
    desktop.QueueSaveFileName(Out("missing/folder/x.xml"));
    EXPECT_FALSE(ExportCatchFile(nullptr, m_store));
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts()[0].contains(QStringLiteral("出力できませんでした")));

    // The catch file is gone: nothing is written, the user hears why.
    WriteFileBytes(m_out + "keep.xml", "keep");
    std::remove(m_dir.Path("Data/fish.xml").c_str());
    desktop.QueueSaveFileName(Out("keep.xml"));
    EXPECT_FALSE(ExportCatchFile(nullptr, m_store));
    ASSERT_EQ(messages.Texts().size(), 2);
    EXPECT_TRUE(messages.Texts()[1].startsWith(QStringLiteral("ファイルの読み込み失敗しました")));
    EXPECT_EQ(ReadFileBytes(m_out + "keep.xml"), "keep");
}

// Each store's own file is exported, whatever other Data folder exists (the one made last, too).
TEST_F(XMLExportTest, CopiesTheFileOfTheStoreItIsGiven)
{
    CTempProgramDir other;
    const std::string otherContent = "<log><FishData><place>other</place></FishData></log>\r\n";
    other.WriteFile("Data/fish.xml", otherContent);
    const CCatchStore otherStore(other.CatchFile());
    const struct {
        const CCatchStore* store;
        std::string content;
        const char* target;
    } cases[] = {{&m_store, m_content, "a.xml"}, {&otherStore, otherContent, "b.xml"}};
    CFakeDesktopServices desktop;
    CMessageBoxRecorder messages;
    for (const auto& c : cases) {
        desktop.QueueSaveFileName(Out(c.target));
        EXPECT_TRUE(ExportCatchFile(nullptr, *c.store)) << c.target;
        EXPECT_EQ(ReadFileBytes(m_out + c.target), c.content) << c.target;
    }
    EXPECT_TRUE(messages.Texts().isEmpty());
}

}  // namespace
