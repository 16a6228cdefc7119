#include "reports/widgets/ReportDataView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "uikit/DialogUnits.h"
#include "uikit/InnerFrame.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {
const char* const kCaptions[5] = {"項番", "日付", "天気", "狙い", "場所"};
}  // namespace

int CTripRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CTripRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 5;
}

QVariant CTripRowModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    const CTripRow& row = m_rows[static_cast<size_t>(index.row())];
    const std::string* texts[5] = {&row.number, &row.date, &row.weather, &row.fishname, &row.place};
    return QStringFromStd(*texts[index.column()]);
}

QVariant CTripRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= 5) return {};
    if (role == Qt::DisplayRole) return QString::fromUtf8(kCaptions[section]);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void CTripRowModel::SetRows(std::vector<CTripRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void CTripRowModel::RemoveRow(int row)
{
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

CReportDataView::CReportDataView(CCatchStore& store, QWidget* parent)
    : QTableView(parent), m_store(store), m_model(new CTripRowModel(this))
{
    setModel(m_model);
    SetUpReportList(this);
    setFrameShape(QFrame::StyledPanel);
    for (int column = 0; column < 5; ++column) setColumnWidth(column, kColumnWidths[column]);
    GiveRoomToSection(this, horizontalHeader(), 4, kColumnWidths[4]);
}

CReportDataView::~CReportDataView()
{
    for (const QPointer<CCatchEntryDlg>& dialog : m_dialogs) delete dialog.data();
}

CStoreResult CReportDataView::OnInitialUpdate(bool repeatFailure)
{
    std::vector<CTripRow> rows;
    const CStoreResult result = m_store.ListTrips(rows);
    if (!result.ok()) rows.clear();
    m_model->SetRows(std::move(rows));
    for (int column = 0; column < 5; ++column) setColumnWidth(column, kColumnWidths[column]);
    const bool news = m_store.NoteFailureTold(result);
    if (!result.ok() && (news || repeatFailure)) {
        // A missing file and one that cannot be parsed are told apart, never an empty list in
        // silence.
        ShowMessageBox(this, QStringFromStd(DescribeStoreResult(result, m_store.GetPath())),
                       EMessageBoxIcon::Warning);
    }
    Q_EMIT reloaded();
    return result;
}

CCatchEntryDlg* CReportDataView::OnNewTrip()
{
    return OpenCatchEntry(-1);
}

CCatchEntryDlg* CReportDataView::OpenCatchEntry(int position)
{
    auto* dialog = new CCatchEntryDlg(this, m_store, position);
    m_lastDialog = dialog;
    m_dialogs.append(dialog);
    PlaceOnScreen(dialog, window()->frameGeometry());
    dialog->show();
    return dialog;
}

void CReportDataView::OnCatchEntryClosed(CCatchEntryDlg* dialog, ECatchEntryResult)
{
    m_dialogs.removeAll(QPointer<CCatchEntryDlg>(dialog));
    delete dialog;
    OnInitialUpdate(false);
}

void CReportDataView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        m_doubleClickedRow = index.isValid() ? index.row() : -1;
        if (m_doubleClickedRow >= 0) OpenCatchEntry(m_doubleClickedRow);
    }
    QTableView::mouseDoubleClickEvent(event);
}

void CReportDataView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        OnDeleteSelected();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        const QModelIndex current = currentIndex();
        if (current.isValid()) OpenCatchEntry(current.row());
        return;
    }
    QTableView::keyPressEvent(event);
}

void CReportDataView::OnDeleteSelected()
{
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
    if (rows.empty()) return;
    std::sort(rows.begin(), rows.end());
    const CTripRow& first = m_model->Rows()[static_cast<size_t>(rows.front())];
    QString question =
        rows.size() == 1
            ? QStringLiteral("次の釣行データを削除しますか？\n")
            : QStringLiteral("%1 件の釣行データを削除しますか？\n先頭: ").arg(rows.size());
    question += QStringFromStd(first.date) + QStringLiteral("  ") + QStringFromStd(first.place);
    if (ShowMessageBox(this, question, EMessageBoxIcon::Question,
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    const CStoreResult result = m_store.DeleteTrips(rows);
    if (!result.ok()) {
        ShowMessageBox(this,
                       QStringFromStd(DescribeStoreResult(result, m_store.GetPath())) +
                           QStringLiteral("\n\n削除できませんでした。"),
                       EMessageBoxIcon::Warning);
    }
    OnInitialUpdate(false);
}
