#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QTableView>
#include <vector>

#include "data/CatchStore.h"
#include "entry/widgets/CatchEntryDlg.h"

// The rows of the trip list: one per trip, in file order, five texts each.
class CTripRowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void SetRows(std::vector<CTripRow> rows);
    void RemoveRow(int row);
    const std::vector<CTripRow>& Rows() const { return m_rows; }

private:
    std::vector<CTripRow> m_rows;
};

// The list of all trips of the catch file.  Row r shows trip r; the list is never sorted.
// A double click on a row opens the catch-entry dialog on that trip; when a dialog reports that
// it saved or was cancelled, the view destroys it and reads the file again.
class CReportDataView : public QTableView, public ICatchEntryOwner {
    Q_OBJECT
public:
    explicit CReportDataView(CCatchStore& store, QWidget* parent = nullptr);
    ~CReportDataView() override;

    // Clears the list and fills it from the catch file again.  A file that cannot be read or
    // parsed is reported to the user and leaves the list empty; with repeatFailure false a
    // failure the user has already been told of (same file, same fault) is not told again.
    // Returns the store's result.
    CStoreResult OnInitialUpdate(bool repeatFailure = true);

    // "新規登録": a dialog for a new trip.
    CCatchEntryDlg* OnNewTrip();
    // Opens a dialog on trip position (the list's row).
    CCatchEntryDlg* OpenCatchEntry(int position);
    // "削除" and the Delete key: after one question, removes every selected trip from the file in
    // one save and reads the list again.
    void OnDeleteSelected();

    int GetLastDoubleClickedRow() const { return m_doubleClickedRow; }
    // The dialog opened last (null when it is gone).
    CCatchEntryDlg* GetCatchEntryDlg() const { return m_lastDialog; }
    const QList<QPointer<CCatchEntryDlg>>& GetOpenDialogs() const { return m_dialogs; }
    CTripRowModel* GetRowModel() const { return m_model; }

    void OnCatchEntryClosed(CCatchEntryDlg* dialog, ECatchEntryResult result) override;

    static constexpr int kColumnWidths[5] = {40, 80, 80, 100, 150};

Q_SIGNALS:
    // After every fill (also a failed one).
    void reloaded();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Enter opens the current row's trip, as a double click does; Delete deletes the selected.
    void keyPressEvent(QKeyEvent* event) override;

private:
    CCatchStore& m_store;
    CTripRowModel* m_model;
    int m_doubleClickedRow = -1;
    QPointer<CCatchEntryDlg> m_lastDialog;
    QList<QPointer<CCatchEntryDlg>> m_dialogs;
};
