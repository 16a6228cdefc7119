#include "reports/widgets/LankingListView.h"

#include <QHeaderView>

#include "reports/RankingSort.h"
#include "uikit/InnerFrame.h"
#include "uikit/QtText.h"

namespace {

constexpr int kPlainTextRole = Qt::UserRole;
constexpr int kMarkRole = Qt::UserRole + 1;

struct CColumn {
    const char* caption;
    int width;
};

const CColumn kColumns[CLankingListView::kColumnCount] = {
    {"順位", 40}, {"日付", 80}, {"天気", 80}, {"体長", 80}, {"重さ", 80}, {"場所", 150},
};

}  // namespace

CLankingListView::CLankingListView(QWidget* parent) : QTableWidget(parent)
{
    SetUpReportList(this);
    GiveRoomToSection(this, horizontalHeader(), kColumnCount - 1, kColumns[kColumnCount - 1].width);
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CLankingListView::OnColumnClick);
}

void CLankingListView::OnInitialUpdate()
{
    DeleteAllItems();
    setColumnCount(0);
    setColumnCount(kColumnCount);
    for (int c = 0; c < kColumnCount; ++c) {
        setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(kColumns[c].caption)));
        setColumnWidth(c, kColumns[c].width);
    }
}

void CLankingListView::FitColumnsToContents()
{
    // The bold record row is wider than the others; no column cuts its texts while the list
    // has the room, and none gets narrower than its classic width.  The place column takes
    // the rest.
    for (int c = 0; c + 1 < columnCount(); ++c) {
        resizeColumnToContents(c);
        if (columnWidth(c) < kColumns[c].width) setColumnWidth(c, kColumns[c].width);
    }
}

void CLankingListView::DeleteAllItems()
{
    setRowCount(0);
}

void CLankingListView::SetRowTexts(int row, const std::vector<std::string>& texts)
{
    const auto text = [&](size_t c) { return c < texts.size() ? texts[c] : std::string(); };
    const std::string mark = text(kColumnCount);
    for (int c = 0; c < columnCount(); ++c) {
        QTableWidgetItem* cell = item(row, c);
        if (cell == nullptr) {
            cell = new QTableWidgetItem;
            setItem(row, c, cell);
        }
        const QString plain = QStringFromStd(text(static_cast<size_t>(c)));
        // The rank keeps its plain text for sorting; the mark is only shown before it.
        cell->setData(kPlainTextRole, plain);
        cell->setText(c == 0 ? QStringFromStd(mark) + plain : plain);
        QFont font = this->font();
        font.setBold(!mark.empty());
        cell->setFont(font);
    }
    if (QTableWidgetItem* first = item(row, 0)) first->setData(kMarkRole, QStringFromStd(mark));
}

void CLankingListView::AddRow(const std::vector<std::string>& texts)
{
    const int row = rowCount();
    insertRow(row);
    SetRowTexts(row, texts);
}

std::vector<std::vector<std::string>> CLankingListView::GetRows() const
{
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<size_t>(rowCount()));
    for (int r = 0; r < rowCount(); ++r) {
        std::vector<std::string> texts;
        for (int c = 0; c < columnCount(); ++c) {
            const QTableWidgetItem* cell = item(r, c);
            texts.push_back(cell != nullptr ? StdFromQString(cell->data(kPlainTextRole).toString())
                                            : std::string());
        }
        const QTableWidgetItem* first = item(r, 0);
        texts.push_back(first != nullptr ? StdFromQString(first->data(kMarkRole).toString())
                                         : std::string());
        rows.push_back(std::move(texts));
    }
    return rows;
}

void CLankingListView::OnColumnClick(int column)
{
    if (column < 0 || column >= columnCount()) return;
    const bool descending = CRankingSort::Shared().Click(column);
    std::vector<std::vector<std::string>> rows = GetRows();
    CRankingSort::SortRows(rows, column, descending);
    // Selection follows rows by position here; a sort starts without one.
    clearSelection();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        SetRowTexts(r, rows[static_cast<size_t>(r)]);
}
