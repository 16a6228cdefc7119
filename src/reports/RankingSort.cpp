#include "reports/RankingSort.h"

#include <algorithm>
#include <array>

#include "data/DecimalNumber.h"
#include "data/TripDate.h"

namespace {

// Negative, zero or positive as a is before, level with or after b in ascending order.
int CompareCells(const std::string& a, const std::string& b, int column)
{
    switch (column) {
        case CRankingSort::kRankColumn:
        case CRankingSort::kLengthColumn:
        case CRankingSort::kWeightColumn: {
            const int64_t x = ReadStoredThousandths(a);
            const int64_t y = ReadStoredThousandths(b);
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        case CRankingSort::kDateColumn: {
            const auto x = ReadStoredDate(a);
            const auto y = ReadStoredDate(b);
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        default:
            // std::string compares its bytes as unsigned values.
            return a.compare(b);
    }
}

}  // namespace

CRankingSort& CRankingSort::Shared()
{
    static CRankingSort shared;
    return shared;
}

bool CRankingSort::Click(int column)
{
    m_descending = column == m_lastColumn ? !m_descending : false;
    m_lastColumn = column;
    return m_descending;
}

void CRankingSort::Reset()
{
    m_lastColumn = -1;
    m_descending = true;
}

void CRankingSort::SortRows(std::vector<CRow>& rows, int column, bool descending)
{
    if (column < 0) return;
    const auto cell = [column](const CRow& row) -> const std::string& {
        static const std::string empty;
        return static_cast<size_t>(column) < row.size() ? row[static_cast<size_t>(column)] : empty;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const CRow& a, const CRow& b) {
        const int order = CompareCells(cell(a), cell(b), column);
        return descending ? order > 0 : order < 0;
    });
    for (size_t n = 0; n < rows.size(); ++n) {
        if (rows[n].empty()) rows[n].resize(1);
        rows[n][0] = std::to_string(n + 1);
    }
}
