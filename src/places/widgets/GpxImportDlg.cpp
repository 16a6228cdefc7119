#include "places/widgets/GpxImportDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/DataFolder.h"
#include "places/CoordinateText.h"
#include "places/PlaceBook.h"
#include "tides/TideStations.h"
#include "uikit/DesktopServices.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {

QString ActionText(EImportAction action)
{
    switch (action) {
        case EImportAction::Add:
            return QStringLiteral("新しい場所");
        case EImportAction::Same:
            return QStringLiteral("同じ位置（変更なし）");
        case EImportAction::Replace:
            return QStringLiteral("写真の位置を置き換え");
        case EImportAction::Ask:
            break;
    }
    return QStringLiteral("設定済みの位置あり（下で選ぶと置き換え）");
}

}  // namespace

CGpxImportDlg::CGpxImportDlg(QWidget* parent, std::vector<CImportPreviewRow> rows, size_t skipped)
    : QDialog(parent), m_rows(std::move(rows))
{
    setWindowTitle(QStringLiteral("GPX から場所を取り込む"));
    auto* layout = new QVBoxLayout(this);
    QString intro =
        QStringLiteral("%1 件のウェイポイントを場所として取り込みます。").arg(m_rows.size());
    if (skipped > 0) {
        intro += QStringLiteral("（名前か位置のない %1 件は取り込みません）").arg(skipped);
    }
    layout->addWidget(new QLabel(intro, this));
    m_table = new QTableWidget(static_cast<int>(m_rows.size()), 3, this);
    m_table->setObjectName(QString::number(kTableId));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("場所"), QStringLiteral("位置"), QStringLiteral("取り込むと")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    bool anyAsk = false;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const CImportPreviewRow& row = m_rows[i];
        const int r = static_cast<int>(i);
        m_table->setItem(r, 0, new QTableWidgetItem(QStringFromStd(row.waypoint.name)));
        m_table->setItem(
            r, 1, new QTableWidgetItem(QStringFromStd(FormatCoordinateText(row.waypoint.point))));
        m_table->setItem(r, 2, new QTableWidgetItem(ActionText(row.action)));
        anyAsk = anyAsk || row.action == EImportAction::Ask;
    }
    m_table->resizeColumnsToContents();
    layout->addWidget(m_table);
    m_replace = new QCheckBox(QStringLiteral("自分で設定した位置も GPX の位置に置き換える"), this);
    m_replace->setObjectName(QString::number(kReplaceId));
    m_replace->setEnabled(anyAsk);
    layout->addWidget(m_replace);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("取り込む"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 360);
}

bool CGpxImportDlg::ReplaceAsked() const
{
    return m_replace->isChecked();
}

bool ImportGpxPlaces(QWidget* parent, const CDataFolder& folder)
{
    const QStringList files = DesktopServices().GetOpenFileNames(
        parent, QStringLiteral("GPX から場所を取り込む"), QString(),
        QStringLiteral("GPX ファイル (*.gpx);;すべてのファイル (*)"));
    if (files.isEmpty()) return false;
    std::vector<CWaypoint> waypoints;
    size_t skipped = 0;
    std::string error;
    if (!ReadGpxFile(PathFromQString(files.front()), waypoints, skipped, error)) {
        ShowMessageBox(parent, QStringFromStd(error), EMessageBoxIcon::Warning);
        return false;
    }
    std::string stationsError;
    const CTideStations& stations = ShippedTideStations(&stationsError);
    CPlaceBook book(stations.All().empty() ? nullptr : &stations);
    if (!book.Load(folder)) {
        ShowMessageBox(parent,
                       QStringLiteral("場所の記録ファイルに問題があるため取り込みません。\n%1")
                           .arg(QStringFromStd(book.ProblemText())),
                       EMessageBoxIcon::Warning);
        return false;
    }
    if (waypoints.empty()) {
        ShowMessageBox(parent, QStringLiteral("取り込めるウェイポイントがありません。"),
                       EMessageBoxIcon::Information);
        return false;
    }
    CGpxImportDlg preview(parent, PreviewGpxImport(book, waypoints), skipped);
    if (preview.exec() != QDialog::Accepted) return false;
    // Read again: an entry dialog may have kept a place since the preview opened.
    CPlaceBook current(stations.All().empty() ? nullptr : &stations);
    if (!current.Load(folder)) {
        ShowMessageBox(parent, QStringFromStd(current.ProblemText()), EMessageBoxIcon::Warning);
        return false;
    }
    const size_t changed =
        ApplyGpxImport(current, PreviewGpxImport(current, waypoints), preview.ReplaceAsked());
    if (changed > 0 && !current.Save(error)) {
        ShowMessageBox(parent, QStringFromStd(error), EMessageBoxIcon::Warning);
        return false;
    }
    ShowMessageBox(parent, QStringLiteral("%1 か所の位置を取り込みました。").arg(changed),
                   EMessageBoxIcon::Information);
    return changed > 0;
}
