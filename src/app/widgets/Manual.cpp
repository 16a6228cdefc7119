#include "app/widgets/Manual.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "uikit/DesktopServices.h"
#include "uikit/MessageBox.h"

QString FindManual(const QString& programDir)
{
    const QDir dir(programDir);
    const QString candidates[] = {
        dir.filePath(QStringLiteral("help/manual.html")),
        dir.filePath(QStringLiteral(LUREBOOK_MANUAL_FROM_PROGRAM "/manual.html")),
        QStringLiteral(LUREBOOK_MANUAL_INSTALLED "/manual.html"),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile()) return QDir::cleanPath(candidate);
    }
    return {};
}

void OpenManual(QWidget* parent)
{
    const QString manual = FindManual(QCoreApplication::applicationDirPath());
    if (manual.isEmpty()) {
        ShowMessageBox(parent,
                       QStringLiteral("使い方のファイル (help/manual.html) が見つかりません。\n"
                                      "Lurebook をインストールし直してください。"),
                       EMessageBoxIcon::Warning);
        return;
    }
    if (!DesktopServices().OpenUrl(QUrl::fromLocalFile(manual))) {
        ShowMessageBox(parent,
                       QStringLiteral("使い方を開けませんでした。ブラウザで次のファイルを開いて"
                                      "ください。\n") +
                           manual,
                       EMessageBoxIcon::Warning);
    }
}
