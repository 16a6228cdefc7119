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

CReportDataView::CReportDataView(QWidget* parent)
    : QTableView(parent), m_model(new CTripRowModel(this))
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

CStoreResult CReportDataView::OnInitialUpdate()
{
    CCatchStore store;
    std::vector<CTripRow> rows;
    const CStoreResult result = store.ListTrips(rows);
    if (!result.ok()) rows.clear();
    m_model->SetRows(std::move(rows));
    for (int column = 0; column < 5; ++column) setColumnWidth(column, kColumnWidths[column]);
    if (!result.ok()) {
        // A missing file and one that cannot be parsed are told apart, never an empty list in
        // silence.
        ShowMessageBox(this, QStringFromStd(DescribeStoreResult(result, store.GetPath())),
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
    auto* dialog = new CCatchEntryDlg(this, position);
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
    OnInitialUpdate();
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
    CCatchStore store;
    for (size_t k = 0; k < rows.size(); ++k) {
        // Each removal moves the later trips up by one.
        const int position = rows[k] - static_cast<int>(k);
        m_model->RemoveRow(position);
        const CStoreResult result = store.DeleteTrip(position);
        if (!result.ok()) {
            ShowMessageBox(this,
                           QStringFromStd(DescribeStoreResult(result, store.GetPath())) +
                               QStringLiteral("\n\n削除できませんでした。"),
                           EMessageBoxIcon::Warning);
            OnInitialUpdate();
            return;
        }
    }
}
