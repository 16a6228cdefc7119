#pragma once

#include <string>
#include <vector>

// Sorting of the ranking list by a clicked column.  The last clicked column and the direction
// are shared by every ranking list of the program, so they outlive the list itself: clicking the
// same column again reverses the order, another column sorts ascending.
class CRankingSort {
public:
    using CRow = std::vector<std::string>;

    static constexpr int kRankColumn = 0;
    static constexpr int kDateColumn = 1;
    static constexpr int kWeatherColumn = 2;
    static constexpr int kLengthColumn = 3;
    static constexpr int kWeightColumn = 4;
    static constexpr int kPlaceColumn = 5;

    // The state every ranking list uses.
    static CRankingSort& Shared();

    // Records a click on column; returns true when it is to be sorted descending.
    bool Click(int column);
    int GetLastColumn() const { return m_lastColumn; }
    bool IsDescending() const { return m_descending; }
    void Reset();

    // Orders rows by column (numbers by exact decimal value, dates by year, month and day, other
    // texts byte by byte; rows that compare equal keep their order), then renumbers the first
    // column from 1.
    static void SortRows(std::vector<CRow>& rows, int column, bool descending);

private:
    int m_lastColumn = -1;
    bool m_descending = true;
};
