#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <vector>

#include "data/CatchStore.h"
#include "entry/widgets/CatchEntryDlg.h"
#include "reports/TripSearch.h"
#include "reports/TripSummary.h"

// One row of the trip list and what searching and marking it needs.
struct CTripListRow {
    CTripRow texts;
    CTripSummary summary;
    std::string searchText;  // TripSearchText of the trip, once a search needs it
    bool holdsBest = false;  // a catch of the trip is the personal best of its species
};

// The rows of the trip list: one per trip, in file order (row r is the trip at position r), the
// trip's five texts and then its catches, fish and tide (kColumns); the number of a trip holding a
// personal best is marked 「★」.
class CTripRowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void SetRows(std::vector<CTripListRow> rows);
    const std::vector<CTripListRow>& Rows() const { return m_rows; }

private:
    std::vector<CTripListRow> m_rows;
};

// The trip list as shown: the rows a CTripFilter lets through, sorted by a clicked column (the
// number, the date and the catches by value, the tide in the calendar's order, other texts byte
// by byte) or in file order.
class CTripFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetFilter(CTripFilter filter);
    bool HasFilter() const { return !m_filter.IsEmpty(); }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    CTripFilter m_filter;
};

// The list of the trips of the catch file, filtered and sorted as the user asks; every row keeps
// the position of its trip in the file, and edits and deletes act on that position.
// A double click on a row opens the catch-entry dialog on that trip; when a dialog reports that
// it saved or was cancelled, the view destroys it and reads the file again.  The dialogs work on
// folder (the species list, the tide ports), which outlives the view.
class CReportDataView : public QTableView, public ICatchEntryOwner {
    Q_OBJECT
public:
    CReportDataView(CCatchStore& store, const CDataFolder& folder, QWidget* parent = nullptr);
    ~CReportDataView() override;

    // Clears the list and fills it from the catch file again.  A file that cannot be read or
    // parsed is reported to the user and leaves the list empty; with repeatFailure false a
    // failure the user has already been told of (same file, same fault) is not told again.
    // Returns the store's result.
    CStoreResult OnInitialUpdate(bool repeatFailure = true);

    // "新規登録": a dialog for a new trip.
    CCatchEntryDlg* OnNewTrip();
    // 「写真から登録」: trips proposed from photos (chosen by the user when inputs is empty),
    // corrected in the preview and saved in one change; the list is read again after.
    bool OnImportPhotos(const QStringList& inputs = {});
    // Opens a dialog on the trip at position in the file.
    CCatchEntryDlg* OpenCatchEntry(int position);
    // The file position of the trip shown in row of the view, -1 for none.
    int PositionOfRow(int row) const;
    // Shows only the trips filter lets through (an empty filter shows all).
    void SetFilter(CTripFilter filter);
    // "削除" and the Delete key: after one question, removes every selected trip from the file in
    // one save and reads the list again.
    void OnDeleteSelected();

    // The file position of the trip last double-clicked, -1 for none.
    int GetLastDoubleClickedRow() const { return m_doubleClickedRow; }
    // The dialog opened last (null when it is gone).
    CCatchEntryDlg* GetCatchEntryDlg() const { return m_lastDialog; }
    const QList<QPointer<CCatchEntryDlg>>& GetOpenDialogs() const { return m_dialogs; }
    CTripRowModel* GetRowModel() const { return m_model; }
    CTripFilterModel* GetFilterModel() const { return m_filterModel; }

    void OnCatchEntryClosed(CCatchEntryDlg* dialog, ECatchEntryResult result) override;

    // 項番 日付 天気 狙い 場所 釣果 魚 潮.  場所 and 魚 share the room beyond the others' widths.
    static constexpr int kColumns = CTripRow::kColumnCount + 3;
    static constexpr int kColumnWidths[kColumns] = {40, 80, 80, 100, 150, 40, 120, 48};
    static constexpr int kPlaceColumn = 4;
    static constexpr int kCatchesColumn = 5;
    static constexpr int kFishColumn = 6;
    static constexpr int kTideColumn = 7;

Q_SIGNALS:
    // After every fill (also a failed one).
    void reloaded();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Enter opens the current row's trip, as a double click does; Delete deletes the selected.
    void keyPressEvent(QKeyEvent* event) override;
    // Photos and folders dropped on the list are proposed as trips (as 「写真から登録」).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    CCatchStore& m_store;
    const CDataFolder& m_folder;
    // Whether the rows carry their search texts: they are made only once a search needs them,
    // so that a list nobody searches fills as fast as before.
    bool m_searchTexts = false;
    CTripRowModel* m_model;
    CTripFilterModel* m_filterModel;
    int m_doubleClickedRow = -1;
    QPointer<CCatchEntryDlg> m_lastDialog;
    QList<QPointer<CCatchEntryDlg>> m_dialogs;
};
