#include "reports/widgets/ReportDataView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>

#include "data/PersonalBest.h"
#include "phototrips/widgets/PhotoTripsDlg.h"
#include "reports/StatQuery.h"
#include "uikit/DialogUnits.h"
#include "uikit/InnerFrame.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {
const char* const kCaptions[CReportDataView::kColumns] = {"項番", "日付", "天気", "狙い",
                                                          "場所", "釣果", "魚",   "潮"};

// The calendar's order of the tide names, from the largest tide; an unknown name sorts last.
int TideOrder(const std::string& name)
{
    static const char* const names[] = {"大潮", "中潮", "小潮", "長潮", "若潮"};
    for (int i = 0; i < 5; ++i) {
        if (name == names[i]) return i;
    }
    return 5;
}
}  // namespace

int CTripRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CTripRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : CReportDataView::kColumns;
}

QVariant CTripRowModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    if (role == Qt::ToolTipRole && index.column() == 0 &&
        m_rows[static_cast<size_t>(index.row())].holdsBest) {
        return QStringLiteral("自己記録の釣果を含む釣行");
    }
    const CTripListRow& listRow = m_rows[static_cast<size_t>(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == CReportDataView::kCatchesColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    // Names longer than their column are cut with 「…」: the whole list is a hover away.
    if (role == Qt::ToolTipRole && index.column() == CReportDataView::kFishColumn &&
        !listRow.summary.fish.empty()) {
        return QStringFromStd(listRow.summary.fish);
    }
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case CReportDataView::kCatchesColumn:
            return QString::number(listRow.summary.catches);
        case CReportDataView::kFishColumn:
            return QStringFromStd(listRow.summary.fish);
        case CReportDataView::kTideColumn:
            return QStringFromStd(listRow.summary.tide);
        default:
            break;
    }
    const QString text = QStringFromStd(listRow.texts.Column(index.column()));
    return index.column() == 0 && listRow.holdsBest
               ? QString::fromUtf8(CStatQuery::kBestMark) + text
               : text;
}

QVariant CTripRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= CReportDataView::kColumns)
        return {};
    if (role == Qt::DisplayRole) return QString::fromUtf8(kCaptions[section]);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void CTripRowModel::SetRows(std::vector<CTripListRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void CTripFilterModel::SetFilter(CTripFilter filter)
{
    m_filter = std::move(filter);
    invalidateRowsFilter();
}

bool CTripFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    if (m_filter.IsEmpty()) return true;
    const auto* rows = static_cast<const CTripRowModel*>(sourceModel());
    const CTripListRow& row = rows->Rows()[static_cast<size_t>(sourceRow)];
    return m_filter.Matches(row.searchText, row.texts.date);
}

bool CTripFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const auto* rows = static_cast<const CTripRowModel*>(sourceModel());
    const CTripListRow& rowA = rows->Rows()[static_cast<size_t>(left.row())];
    const CTripListRow& rowB = rows->Rows()[static_cast<size_t>(right.row())];
    const CTripRow& a = rowA.texts;
    const CTripRow& b = rowB.texts;
    switch (left.column()) {
        case CReportDataView::kCatchesColumn:
            return rowA.summary.catches < rowB.summary.catches;
        case CReportDataView::kFishColumn:
            return rowA.summary.fish < rowB.summary.fish;
        case CReportDataView::kTideColumn:
            return TideOrder(rowA.summary.tide) < TideOrder(rowB.summary.tide);
        case 0:
            return left.row() < right.row();
        case 1: {
            long x = -1;
            long y = -1;
            ReadDateKey(a.date, false, x);
            ReadDateKey(b.date, false, y);
            return x < y;
        }
        case 2:
            return a.weather < b.weather;
        case 3:
            return a.fishname < b.fishname;
        case CReportDataView::kPlaceColumn:
            return a.place < b.place;
        default:
            return left.row() < right.row();
    }
}

CReportDataView::CReportDataView(CCatchStore& store, const CDataFolder& folder, QWidget* parent)
    : QTableView(parent),
      m_store(store),
      m_folder(folder),
      m_model(new CTripRowModel(this)),
      m_filterModel(new CTripFilterModel(this))
{
    m_filterModel->setSourceModel(m_model);
    setModel(m_filterModel);
    SetUpReportList(this);
    // File order until a header is clicked; a click sorts, the next reverses.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    horizontalHeader()->setSortIndicatorShown(true);
    setSortingEnabled(true);
    setFrameShape(QFrame::StyledPanel);
    for (int column = 0; column < kColumns; ++column) setColumnWidth(column, kColumnWidths[column]);
    GiveRoomToSections(
        this, horizontalHeader(),
        {{kPlaceColumn, kColumnWidths[kPlaceColumn]}, {kFishColumn, kColumnWidths[kFishColumn]}});
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
}

CReportDataView::~CReportDataView()
{
    for (const QPointer<CCatchEntryDlg>& dialog : m_dialogs) delete dialog.data();
}

CStoreResult CReportDataView::OnInitialUpdate(bool repeatFailure)
{
    std::vector<CTripListRow> rows;
    const bool searching = m_filterModel->HasFilter();
    m_searchTexts = searching;
    const CStoreResult result = m_store.ReadTrips([&](const std::vector<CTripRecord>& trips) {
        rows.resize(trips.size());
        for (size_t n = 0; n < trips.size(); ++n) {
            const CTripRecord& trip = trips[n];
            rows[n].texts = MakeTripRow(trip, n);
            rows[n].summary = SummariseTrip(trip);
            // The fish are in the trip's own search text; the tide is the day's.
            if (searching)
                rows[n].searchText = TripSearchText(trip) + FoldForSearch(rows[n].summary.tide);
        }
        for (int position : TripsHoldingBests(trips))
            rows[static_cast<size_t>(position)].holdsBest = true;
    });
    if (!result.ok()) rows.clear();
    m_model->SetRows(std::move(rows));
    // The other columns go back to their widths; 場所 and 魚 keep the room they were given (the
    // stretcher follows the others' changes, never a width set on its own columns).
    for (int column = 0; column < kColumns; ++column) {
        if (column != kPlaceColumn && column != kFishColumn)
            setColumnWidth(column, kColumnWidths[column]);
    }
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

int CReportDataView::PositionOfRow(int row) const
{
    const QModelIndex source = m_filterModel->mapToSource(m_filterModel->index(row, 0));
    return source.isValid() ? source.row() : -1;
}

void CReportDataView::SetFilter(CTripFilter filter)
{
    const bool fill = !filter.IsEmpty() && !m_searchTexts;
    m_filterModel->SetFilter(std::move(filter));
    // From what the store keeps: no second read of the file unless it changed.  A failure to
    // read was told when the list was filled; typing a search word does not tell it again.
    if (fill) OnInitialUpdate(false);
}

CCatchEntryDlg* CReportDataView::OnNewTrip()
{
    return OpenCatchEntry(-1);
}

bool CReportDataView::OnImportPhotos(const QStringList& inputs)
{
    const bool saved = ImportTripsFromPhotos(window(), m_store, m_folder, inputs);
    if (saved) OnInitialUpdate();
    return saved;
}

namespace {

// The local files and folders a drag carries; empty when it carries anything else.
QStringList DroppedPaths(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

}  // namespace

void CReportDataView::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedPaths(event->mimeData()).isEmpty()) {
        QTableView::dragEnterEvent(event);
        return;
    }
    event->acceptProposedAction();
}

void CReportDataView::dragMoveEvent(QDragMoveEvent* event)
{
    if (DroppedPaths(event->mimeData()).isEmpty()) {
        QTableView::dragMoveEvent(event);
        return;
    }
    event->acceptProposedAction();
}

void CReportDataView::dropEvent(QDropEvent* event)
{
    const QStringList paths = DroppedPaths(event->mimeData());
    if (paths.isEmpty()) {
        QTableView::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    // After the drop has ended: the preview is a dialog of its own.
    QMetaObject::invokeMethod(
        this, [this, paths] { OnImportPhotos(paths); }, Qt::QueuedConnection);
}

CCatchEntryDlg* CReportDataView::OpenCatchEntry(int position)
{
    auto* dialog = new CCatchEntryDlg(this, m_store, m_folder, position);
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
        m_doubleClickedRow = index.isValid() ? PositionOfRow(index.row()) : -1;
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
        if (current.isValid()) OpenCatchEntry(PositionOfRow(current.row()));
        return;
    }
    QTableView::keyPressEvent(event);
}

void CReportDataView::OnDeleteSelected()
{
    // The rows as shown name trips by their place in the file, never by their place in the view.
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(m_filterModel->mapToSource(index).row());
    if (rows.empty()) return;
    std::sort(rows.begin(), rows.end());
    const CTripRow& first = m_model->Rows()[static_cast<size_t>(rows.front())].texts;
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
