#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

#include "support/TempProgramDir.h"
#include "support/widgets/FakeDesktopServices.h"
#include "uikit/DesktopServices.h"

namespace {

TEST(PhotoPickerTest, OffersImagesAndStartsWhereThePhotosWereLastTakenFrom)
{
    QSettings().remove(QLatin1String(kPhotoFolderKey));
    const QString first = QString::fromStdString(MakeTempDir());
    const QString second = QString::fromStdString(MakeTempDir());
    CFakeDesktopServices desktop;
    desktop.QueueOpenFileNames({first + QStringLiteral("a.JPG"), first + QStringLiteral("b.png")});
    desktop.QueueOpenFileNames({});
    desktop.QueueOpenFileNames({second + QStringLiteral("c.heic")});
    desktop.QueueOpenFileNames({});
    for (int n = 0; n < 4; ++n) GetOpenPhotoFileNames(nullptr, QStringLiteral("ファイルを開く"));

    const QStringList& folders = desktop.OpenDirectories();
    ASSERT_EQ(folders.size(), 4);
    // At first the pictures folder, else home; then the folder of the last choice, which a
    // cancelled dialog leaves as it was.
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    EXPECT_TRUE(folders[0] == pictures || folders[0] == QDir::homePath())
        << folders[0].toStdString();
    EXPECT_EQ(QDir(folders[1]), QDir(first));
    EXPECT_EQ(QDir(folders[2]), QDir(first));
    EXPECT_EQ(QDir(folders[3]), QDir(second));

    const QString filter = desktop.LastFilter();
    EXPECT_TRUE(filter.startsWith(QStringLiteral("画像ファイル (")));
    for (const char* pattern : {"*.jpg", "*.JPG", "*.jpeg", "*.png", "*.heic", "*.HEIF"})
        EXPECT_TRUE(filter.contains(QLatin1String(pattern))) << pattern;
    EXPECT_TRUE(filter.endsWith(QStringLiteral(";;すべてのファイル (*)")));
    RemoveTree(first.toStdString());
    RemoveTree(second.toStdString());
}

TEST(QtTranslationTest, AFileDialogsStandardButtonsSpeakJapanese)
{
    ASSERT_TRUE(InstallJapaneseQtTranslations());
    for (const auto mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(mode);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        const QString accept =
            buttons
                ->button(mode == QFileDialog::AcceptOpen ? QDialogButtonBox::Open
                                                         : QDialogButtonBox::Save)
                ->text();
        EXPECT_TRUE(accept.contains(mode == QFileDialog::AcceptOpen ? QStringLiteral("開く")
                                                                    : QStringLiteral("保存")))
            << accept.toStdString();
        EXPECT_TRUE(buttons->button(QDialogButtonBox::Cancel)
                        ->text()
                        .contains(QStringLiteral("キャンセル")));
    }
    QDialogButtonBox standard(QDialogButtonBox::Yes | QDialogButtonBox::No);
    EXPECT_TRUE(standard.button(QDialogButtonBox::Yes)->text().contains(QStringLiteral("はい")));
    EXPECT_TRUE(standard.button(QDialogButtonBox::No)->text().contains(QStringLiteral("いいえ")));
}

}  // namespace
