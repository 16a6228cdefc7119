#include "app/widgets/CsvExchange.h"

#include <QFileInfo>

#include "data/TripCsv.h"
#include "photos/CsvPhotoKeeper.h"
#include "photos/widgets/PhotoCopyProgress.h"
#include "uikit/DesktopServices.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {
const QString kFilter = QStringLiteral("CSV ファイル (*.csv);;すべてのファイル (*)");
constexpr size_t kShownProblems = 10;
}  // namespace

bool ExportTripsCsv(QWidget* parent, const CCatchStore& store)
{
    const QString target = GetSaveFileNameWithSuffix(parent, QStringLiteral("CSV 出力"), QString(),
                                                     kFilter, QStringLiteral(".csv"));
    if (target.isEmpty()) return false;
    std::string error;
    if (!ExportTripsCsvFile(store, PathFromQString(target), error)) {
        ShowMessageBox(
            parent,
            QStringLiteral("CSV ファイルを出力できませんでした。\n") + QStringFromStd(error),
            EMessageBoxIcon::Warning);
        return false;
    }
    return true;
}

bool ImportTripsCsv(QWidget* parent, CCatchStore& store)
{
    const QStringList picked = DesktopServices().GetOpenFileNames(
        parent, QStringLiteral("CSV 取り込み"), QString(), kFilter);
    if (picked.isEmpty()) return false;
    const QString source = picked.front();
    const CPhotoCopies copies(store.GetDataDir() + "Picture/");
    const CCsvImportOutcome outcome = ImportTripsCsvFile(
        store, PathFromQString(source),
        [&](const CCsvImportOutcome& found) {
            const QString preview =
                QStringFromStd(DescribeCsvImportOutcome(found, kShownProblems)) +
                QStringLiteral("\n%1 件の釣行を追加しますか？").arg(found.import.trips.size());
            return ShowMessageBox(parent, preview, EMessageBoxIcon::Question,
                                  QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No) == QMessageBox::Yes;
        },
        MakeCsvPhotoKeeper(copies, [&](CTripRecord& trip) {
            return RunPhotoCopies(parent, trip, CopyTripPhotosWork(copies));
        }));
    if (outcome.cancelled) return false;
    if (!outcome.error.empty()) {
        ShowMessageBox(parent,
                       QStringLiteral("CSV ファイルを取り込めませんでした。\n") +
                           QStringFromStd(outcome.error),
                       EMessageBoxIcon::Warning);
        return false;
    }
    if (outcome.added == 0 && outcome.import.trips.empty()) {
        // Nothing to ask about: say why nothing was added.
        ShowMessageBox(parent,
                       QStringFromStd(DescribeCsvImportOutcome(outcome, kShownProblems)) +
                           QStringLiteral("\n追加する釣行はありません。"),
                       EMessageBoxIcon::Information);
        return false;
    }
    return outcome.added > 0;
}
