#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "reports/CatchConditions.h"

class QLabel;
class QPushButton;
class QScrollArea;
class CDataView;
class CStatChart;

// The 条件別 view of the statistics page: the six charts of the catch conditions (潮, 潮の動き,
// 時刻, 月齢, 時間帯, 水温) in a scrolling grid, as many side by side as the width gives room
// for and as tall as the window allows, with a row of buttons that bring each chart into view.
// A line above them says what was counted and, when no home port is chosen, how to choose one.
class CConditionView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinChartWidth = 520;
    static constexpr int kMinChartHeight = 300;

    explicit CConditionView(QWidget* parent = nullptr);

    // Shows the tables (in the order of ECondition) counted for caption ("2026年 マダイ"), with
    // hint as a line above the charts (none when empty): why the tide stage and time of day of
    // most trips cannot be known, and what to do about it.
    void SetTables(const std::vector<CConditionTable>& tables, const QString& caption,
                   const QString& hint);
    // The hint for a log without a home port: where to choose one.
    static QString NoHomePortHint();
    // Shows nothing counted (fields left empty, a file that could not be read).
    void Clear();

    // The chart of a condition; null before the first tables.
    const CStatChart* Chart(ECondition condition) const;
    CDataView* ChartView(ECondition condition) const;
    QPushButton* JumpButton(ECondition condition) const;
    QLabel* Caption() const { return m_caption; }
    QLabel* Hint() const { return m_hint; }
    QScrollArea* ScrollArea() const { return m_scroll; }
    // Scrolls the grid so that the condition's chart is in view.
    void ShowChart(ECondition condition);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayOutCharts();

    QLabel* m_caption = nullptr;
    QLabel* m_hint = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_grid = nullptr;
    std::array<CDataView*, kConditionCount> m_charts{};
    std::array<QPushButton*, kConditionCount> m_jumps{};
};
