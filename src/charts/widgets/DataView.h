#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "charts/StatChart.h"

class QComboBox;

// The chart view of the statistics page: fills the page's year and species fields when it is
// set up and draws the chart it was handed on every repaint, laid out for the current size.
class CDataView : public QWidget {
    Q_OBJECT
public:
    explicit CDataView(QWidget* parent = nullptr);
    ~CDataView() override;

    // Starts over with no chart shown (the page fills its year and species fields itself).
    void OnInitialUpdate();

    // Hands a chart to the view, releasing the one shown before.
    void SetChart(std::unique_ptr<CStatChart> chart);
    CStatChart* GetChart() const { return m_pChart.get(); }
    void SetShowChart(bool show);
    bool IsChartShown() const { return m_bShowChart; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<CStatChart> m_pChart;
    bool m_bShowChart = false;
    // A chart that cannot be drawn says so once, not on every repaint.
    bool m_messageShown = false;
};
