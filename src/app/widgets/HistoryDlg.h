#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "data/CatchHistory.h"
#include "data/TripRecord.h"

class CCatchStore;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// 「履歴から復元」: the dated copies of the log (date, time, trips, catches), newest first, and
// for the one chosen how the log now differs from it.  The dialog only chooses: the caller puts
// the chosen copy back through the store (SelectedName()).
class CHistoryDlg : public QDialog {
    Q_OBJECT
public:
    CHistoryDlg(const CCatchStore& store, QWidget* parent = nullptr);

    // The copy chosen, such as "20261207-081500"; empty when none is.
    QString SelectedName() const;
    // The text of the differences shown for the chosen copy.
    QString DifferenceText() const;

    QTableWidget* CopyTable() const { return m_table; }

private:
    void OnSelectionChanged();

    const CCatchStore& m_store;
    std::vector<CCatchHistory::CCopyInfo> m_copies;  // newest first, as the rows
    QTableWidget* m_table = nullptr;
    QPlainTextEdit* m_differences = nullptr;
    QLabel* m_problems = nullptr;
    QPushButton* m_restore = nullptr;
};

// What the log now holds compared with a copy's catch file, in the user's words.
QString DescribeHistoryDifferences(const std::vector<CTripRecord>& copy,
                                   const std::vector<CTripRecord>& now,
                                   const std::vector<std::string>& otherFiles);
