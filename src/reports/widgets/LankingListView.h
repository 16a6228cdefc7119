#pragma once

#include <QTableWidget>
#include <string>
#include <vector>

// The ranking list of the statistics page: six columns (順位, 日付, 天気, 体長, 重さ, 場所), rows
// handed in by the ranking query, re-sorted by a click on a column header and then renumbered.
class CLankingListView : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kColumnCount = 6;

    explicit CLankingListView(QWidget* parent = nullptr);

    // Removes every row and column and sets up the six columns.
    void OnInitialUpdate();
    // Appends one row: the texts of the columns from the left, then a mark (such as "★" for a
    // personal best) shown before the rank, the row in bold; empty for none.
    void AddRow(const std::vector<std::string>& texts);
    // Widens the columns but the last to their widest texts, never below their classic widths.
    void FitColumnsToContents();
    void DeleteAllItems();
    // The texts of every row, top to bottom, as AddRow takes them (the mark last).
    std::vector<std::vector<std::string>> GetRows() const;

    // Sorts by column as a click on its header does.
    void OnColumnClick(int column);

private:
    void SetRowTexts(int row, const std::vector<std::string>& texts);
};
