#include "app/widgets/XMLExport.h"

#include <QFileInfo>

#include "data/CatchStore.h"
#include "data/SafeFile.h"
#include "data/XMLDataFile.h"
#include "uikit/DesktopServices.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

bool CopyCatchFile(const QString& source, const QString& target, QString* error)
{
    std::string bytes;
    std::string reason;
    bool missing = false;
    // The same limit as every reader of the catch file: a copy nobody could open is no export.
    if (!ReadWholeFile(PathFromQString(source), bytes, &reason, &missing, kMaxXMLFileBytes)) {
        if (error) {
            *error = QStringLiteral("ファイルの読み込み失敗しました\n") + QStringFromStd(reason);
        }
        return false;
    }
    if (!WriteFileSafely(PathFromQString(target), bytes, &reason)) {
        if (error) {
            *error =
                QStringLiteral("XMLファイルを出力できませんでした。\n") + QStringFromStd(reason);
        }
        return false;
    }
    return true;
}

bool ExportCatchFile(QWidget* parent, const CCatchStore& store)
{
    const QString target =
        GetSaveFileNameWithSuffix(parent, QStringLiteral("XMLファイル出力"), QString(),
                                  QStringLiteral("XMLファイル(*.xml)"), QStringLiteral(".xml"));
    if (target.isEmpty()) return false;
    const QString source = QStringFromStd(store.GetPath());
    QString error;
    if (QFileInfo(source).absoluteFilePath() == QFileInfo(target).absoluteFilePath()) {
        ShowMessageBox(parent, QStringLiteral("出力先が元のファイルと同じです。\n") + target,
                       EMessageBoxIcon::Warning);
        return false;
    }
    if (!CopyCatchFile(source, target, &error)) {
        ShowMessageBox(parent, error, EMessageBoxIcon::Warning);
        return false;
    }
    return true;
}
