#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "data/DataFolder.h"
#include "data/GuardedFile.h"
#include "data/TextEncoding.h"
#include "entry/widgets/SettingsDlg.h"
#include "support/TempProgramDir.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/WidgetLookup.h"
#include "uikit/DialogUnits.h"
#include "uikit/QtText.h"

namespace {

std::string Cp932(const std::string& utf8)
{
    std::string bytes;
    EXPECT_TRUE(Utf8ToCp932(utf8, bytes));
    return bytes;
}

class SettingsDlgTest : public ::testing::Test {
protected:
    void WriteSpecies(const std::string& utf8Text)
    {
        m_dir.WriteFile(kSpeciesFileName, Cp932(utf8Text));
    }
    std::string SpeciesBytes() const { return m_dir.ReadFile(kSpeciesFileName); }

    // Shown rows of the list box.
    static QStringList Rows(CSettingsDlg& dlg)
    {
        QStringList rows;
        auto* list = FindControl<QListWidget>(&dlg, 1037);
        for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
        return rows;
    }
    static void Click(CSettingsDlg& dlg, int id)
    {
        auto* button = FindControl<QPushButton>(&dlg, id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static void Add(CSettingsDlg& dlg, const QString& name)
    {
        FindControl<QLineEdit>(&dlg, 1000)->setText(name);
        Click(dlg, 1025);
    }

    CTempProgramDir m_dir;
};

TEST_F(SettingsDlgTest, LayoutFollowsTheDialogTemplate)
{
    CSettingsDlg dlg(m_dir.Folder());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("環境設定画面"));
    const CDialogUnits units(CDialogUnits::DialogFont());
    EXPECT_EQ(dlg.size(), units.ToPixels(187, 200));  // grown for the tide port
    const struct {
        int id;
        const char* text;
        QRect rect;
    } buttons[] = {
        {1025, "追加", units.ToPixels(130, 22, 24, 14)},
        {1004, "削除", units.ToPixels(130, 38, 24, 14)},
        {1, "設定", units.ToPixels(34, 180, 50, 14)},
        {2, "ｷｬﾝｾﾙ", units.ToPixels(90, 180, 50, 14)},
    };
    for (const auto& b : buttons) {
        auto* button = FindControl<QPushButton>(&dlg, b.id);
        ASSERT_NE(button, nullptr) << b.id;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.text));
        EXPECT_EQ(button->geometry(), b.rect) << b.id;
    }
    EXPECT_TRUE(FindControl<QPushButton>(&dlg, 1)->isDefault());
    EXPECT_EQ(FindControl<QLineEdit>(&dlg, 1000)->geometry(), units.ToPixels(53, 22, 73, 13));
    EXPECT_EQ(FindControl<QListWidget>(&dlg, 1037)->geometry(), units.ToPixels(53, 37, 73, 41));
    EXPECT_FALSE(FindControl<QListWidget>(&dlg, 1037)->isSortingEnabled());
    bool labelFound = false;
    for (auto* label : dlg.findChildren<QLabel*>())
        labelFound |= label->text() == QStringLiteral("魚種名(狙い)：") &&
                      label->geometry() == units.ToPixels(4, 24, 45, 13);
    EXPECT_TRUE(labelFound);
}

TEST_F(SettingsDlgTest, EmptyLineIsShownAndDroppedOnSaving)
{
    WriteSpecies("アジ\r\n\r\nサバ\r\n");
    CSettingsDlg dlg(m_dir.Folder());
    dlg.show();
    EXPECT_EQ(Rows(dlg), (QStringList{QStringLiteral("アジ"), QString(), QStringLiteral("サバ")}));
    // The rows keep the entries exactly as read, line feeds included.
    EXPECT_EQ(dlg.Entries(), (QStringList{QStringLiteral("アジ\n"), QStringLiteral("\n"),
                                          QStringLiteral("サバ\n")}));
    Click(dlg, 1);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(SpeciesBytes(), Cp932("アジ\r\nサバ\r\n"));
}

TEST_F(SettingsDlgTest, AddedNamesAreAppendedUncheckedAndWrittenTrimmed)
{
    WriteSpecies("メバル\r\nアジ\r\n");
    CSettingsDlg dlg(m_dir.Folder());
    dlg.show();
    Add(dlg, QString());                   // empty entry: shown, then dropped
    Add(dlg, QStringLiteral("アジ"));      // duplicate: kept twice
    Add(dlg, QStringLiteral("カサゴ  "));  // trailing blanks go
    Add(dlg, QStringLiteral("  ハゼ"));    // leading blanks stay
    EXPECT_EQ(Rows(dlg), (QStringList{QStringLiteral("メバル"), QStringLiteral("アジ"), QString(),
                                      QStringLiteral("アジ"), QStringLiteral("カサゴ  "),
                                      QStringLiteral("  ハゼ")}));
    // The edit keeps its text; the list is not sorted.
    EXPECT_EQ(FindControl<QLineEdit>(&dlg, 1000)->text(), QStringLiteral("  ハゼ"));
    Click(dlg, 1);
    EXPECT_EQ(SpeciesBytes(), Cp932("メバル\r\nアジ\r\nアジ\r\nカサゴ\r\n  ハゼ\r\n"));
}

TEST_F(SettingsDlgTest, LongLineBecomesTwoEntriesAndTwoLines)
{
    WriteSpecies(std::string(300, 'a') + "\r\n");
    CSettingsDlg dlg(m_dir.Folder());
    dlg.show();
    EXPECT_EQ(Rows(dlg),
              (QStringList{QString(259, QLatin1Char('a')), QString(41, QLatin1Char('a'))}));
    Click(dlg, 1);
    EXPECT_EQ(SpeciesBytes(), std::string(259, 'a') + "\r\n" + std::string(41, 'a') + "\r\n");
}

TEST_F(SettingsDlgTest, DeleteRemovesOnlyTheSelectedName)
{
    WriteSpecies("アジ\r\nサバ\r\nキス\r\n");
    CSettingsDlg dlg(m_dir.Folder());
    dlg.show();
    auto* list = FindControl<QListWidget>(&dlg, 1037);
    list->clearSelection();
    Click(dlg, 1004);
    ASSERT_EQ(list->count(), 3);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    ASSERT_TRUE(list->item(1)->isSelected());
    Click(dlg, 1004);
    EXPECT_EQ(Rows(dlg), (QStringList{QStringLiteral("アジ"), QStringLiteral("キス")}));
    Click(dlg, 1);
    EXPECT_EQ(SpeciesBytes(), Cp932("アジ\r\nキス\r\n"));
}

TEST_F(SettingsDlgTest, CancelLeavesTheFileUntouched)
{
    const std::string before = Cp932("アジ\r\n\r\nサバ  \r\n");
    m_dir.WriteFile(kSpeciesFileName, before);
    CSettingsDlg dlg(m_dir.Folder());
    dlg.show();
    Add(dlg, QStringLiteral("タイ"));
    auto* list = FindControl<QListWidget>(&dlg, 1037);
    list->setCurrentRow(0);
    Click(dlg, 1004);
    Click(dlg, 2);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(SpeciesBytes(), before);
}

TEST_F(SettingsDlgTest, MissingFileOpensEmptyAndSavingCreatesIt)
{
    std::remove(m_dir.Path(kSpeciesFileName).c_str());
    CSettingsDlg dlg(m_dir.Folder());
    dlg.show();
    EXPECT_EQ(FindControl<QListWidget>(&dlg, 1037)->count(), 0);
    Add(dlg, QStringLiteral("スズキ"));
    Click(dlg, 1);
    EXPECT_EQ(SpeciesBytes(), Cp932("スズキ\r\n"));
}

TEST_F(SettingsDlgTest, FileThatCannotBeWrittenIsReportedAndTheDialogStaysOpen)
{
    WriteSpecies("アジ\r\n");
    CSettingsDlg dlg(m_dir.Folder());
    dlg.show();
    Add(dlg, QStringLiteral("サバ"));
    RemoveTree(m_dir.Path("Data"));
    CMessageBoxRecorder messages;
    Click(dlg, 1);
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts().front().contains(QStringLiteral("保存できませんでした")));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.Entries(), (QStringList{QStringLiteral("アジ\n"), QStringLiteral("サバ")}));
    Click(dlg, 2);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(m_dir.Exists(kSpeciesFileName));
}

// A list file that cannot be read (a pipe, or larger than any list) opens empty with a message
// naming it, and is not replaced by that empty list.
TEST_F(SettingsDlgTest, AListThatCannotBeReadIsNamedAndNotWrittenOver)
{
    const std::string tooLarge(kMaxSpeciesFileBytes + 1, 'a');
    for (const bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "pipe" : "too large");
        const std::string path = m_dir.Path(kSpeciesFileName);
        std::remove(path.c_str());
        if (pipe) {
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        } else {
            m_dir.WriteFile(kSpeciesFileName, tooLarge);
        }
        CMessageBoxRecorder messages;
        CSettingsDlg dlg(m_dir.Folder());
        dlg.show();
        EXPECT_EQ(FindControl<QListWidget>(&dlg, 1037)->count(), 0);
        ASSERT_EQ(messages.Texts().size(), 1);
        EXPECT_TRUE(messages.Texts().front().contains(QStringFromStd(path)));
        Add(dlg, QStringLiteral("サバ"));
        Click(dlg, 1);
        EXPECT_EQ(messages.Texts().size(), 2);
        EXPECT_TRUE(dlg.isVisible());
        struct stat st {};
        ASSERT_EQ(::lstat(path.c_str(), &st), 0);
        EXPECT_EQ(S_ISFIFO(st.st_mode), pipe);
        if (!pipe) {
            EXPECT_EQ(SpeciesBytes(), tooLarge);
        }
    }
}

}  // namespace
