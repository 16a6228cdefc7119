#include <gtest/gtest.h>

#include "reports/RankingSort.h"

namespace {

using CRows = std::vector<CRankingSort::CRow>;

std::vector<std::string> Column(const CRows& rows, size_t column)
{
    std::vector<std::string> texts;
    for (const auto& row : rows) texts.push_back(row[column]);
    return texts;
}

CRows SampleRows()
{
    return {
        {"1", "2004/5/3", "晴れ", "9", "10", "城ヶ島"},
        {"2", "2004/12/1", "雨", "10", "9", "相模湾"},
        {"3", "2003/12/30", "曇り", "100", "2", "東京湾"},
        {"4", "2004/5/20", "晴れ", "35", "9", "芦ノ湖"},
    };
}

}  // namespace

TEST(RankingSort, ClicksAlternateAndNewColumnsStartAscending)
{
    CRankingSort sort;
    EXPECT_EQ(sort.GetLastColumn(), -1);
    EXPECT_FALSE(sort.Click(3));
    EXPECT_TRUE(sort.Click(3));
    EXPECT_FALSE(sort.Click(3));
    EXPECT_FALSE(sort.Click(4));
    EXPECT_EQ(sort.GetLastColumn(), 4);
    EXPECT_TRUE(sort.Click(4));
    sort.Reset();
    EXPECT_EQ(sort.GetLastColumn(), -1);
    EXPECT_FALSE(sort.Click(4));
}

TEST(RankingSort, NumbersSortByValue)
{
    CRows rows = SampleRows();
    CRankingSort::SortRows(rows, CRankingSort::kWeightColumn, false);
    EXPECT_EQ(Column(rows, 4), (std::vector<std::string>{"2", "9", "9", "10"}));
    // Equal weights keep their order.
    EXPECT_EQ(Column(rows, 5), (std::vector<std::string>{"東京湾", "相模湾", "芦ノ湖", "城ヶ島"}));
    CRankingSort::SortRows(rows, CRankingSort::kLengthColumn, true);
    EXPECT_EQ(Column(rows, 3), (std::vector<std::string>{"100", "35", "10", "9"}));
}

TEST(RankingSort, DatesSortByYearMonthDay)
{
    CRows rows = SampleRows();
    CRankingSort::SortRows(rows, CRankingSort::kDateColumn, false);
    EXPECT_EQ(Column(rows, 1),
              (std::vector<std::string>{"2003/12/30", "2004/5/3", "2004/5/20", "2004/12/1"}));
    CRankingSort::SortRows(rows, CRankingSort::kDateColumn, true);
    EXPECT_EQ(Column(rows, 1),
              (std::vector<std::string>{"2004/12/1", "2004/5/20", "2004/5/3", "2003/12/30"}));
}

TEST(RankingSort, TextColumnsSortByBytesAndRanksAreRenumbered)
{
    CRows rows = SampleRows();
    CRankingSort::SortRows(rows, CRankingSort::kWeatherColumn, false);
    // UTF-8 byte order: 晴 (E6 99 B4) < 曇 (E6 9B 87) < 雨 (E9 9B A8).
    EXPECT_EQ(Column(rows, 2), (std::vector<std::string>{"晴れ", "晴れ", "曇り", "雨"}));
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"1", "2", "3", "4"}));
    CRankingSort::SortRows(rows, CRankingSort::kRankColumn, true);
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"1", "2", "3", "4"}));
    // Sorting by rank descending reverses the rows, then numbers them again from the top.
    EXPECT_EQ(Column(rows, 2), (std::vector<std::string>{"雨", "曇り", "晴れ", "晴れ"}));
}
