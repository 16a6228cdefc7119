#include "reports/widgets/ConditionView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "charts/widgets/DataView.h"
#include "reports/ConditionCharts.h"

namespace {

constexpr std::array<ECondition, kConditionCount> kConditions = {
    ECondition::TideName, ECondition::TideStage, ECondition::Hour,
    ECondition::MoonAge,  ECondition::TimeOfDay, ECondition::WaterTemp};

size_t Index(ECondition condition)
{
    return static_cast<size_t>(condition);
}

}  // namespace

CConditionView::CConditionView(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* top = new QWidget(this);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(6, 4, 6, 4);
    m_caption = new QLabel(top);
    topLayout->addWidget(m_caption);
    topLayout->addSpacing(8);
    for (ECondition condition : kConditions) {
        auto* jump = new QPushButton(QString::fromUtf8(ConditionName(condition)), top);
        jump->setToolTip(QStringLiteral("%1のグラフを表示します")
                             .arg(QString::fromUtf8(ConditionName(condition))));
        connect(jump, &QPushButton::clicked, this, [this, condition] { ShowChart(condition); });
        topLayout->addWidget(jump);
        m_jumps[Index(condition)] = jump;
    }
    topLayout->addStretch(1);
    layout->addWidget(top);

    m_hint = new QLabel(this);
    m_hint->setWordWrap(true);
    m_hint->setContentsMargins(6, 0, 6, 4);
    m_hint->hide();
    layout->addWidget(m_hint);

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(true);
    m_grid = new QWidget(m_scroll);
    for (ECondition condition : kConditions) {
        auto* chart = new CDataView(m_grid);
        chart->setAccessibleName(QString::fromUtf8(ConditionName(condition)));
        m_charts[Index(condition)] = chart;
    }
    m_scroll->setWidget(m_grid);
    m_scroll->viewport()->installEventFilter(this);
    layout->addWidget(m_scroll, 1);
    // Shown, the view hands the focus to its first button; Tab goes on through the buttons to
    // the grid, whose arrow and page keys scroll it.
    setFocusProxy(m_jumps.front());
    m_scroll->setFocusPolicy(Qt::StrongFocus);
    Clear();
}

QString CConditionView::NoHomePortHint()
{
    return QStringLiteral(
        "潮汐の基準港が設定されていないため、港を選んでいない場所の「潮の動き」と"
        "「時間帯」は「不明」になります。環境設定の「潮汐の基準港」で選べます。");
}

void CConditionView::SetTables(const std::vector<CConditionTable>& tables, const QString& caption,
                               const QString& hint)
{
    m_caption->setText(caption);
    m_hint->setText(hint);
    m_hint->setVisible(!hint.isEmpty());
    for (CDataView* chart : m_charts) chart->SetShowChart(false);
    for (const CConditionTable& table : tables) {
        const size_t n = Index(table.condition);
        if (n >= m_charts.size()) continue;
        m_charts[n]->SetChart(BuildConditionChart(table));
        m_charts[n]->SetShowChart(true);
    }
}

void CConditionView::Clear()
{
    m_caption->clear();
    m_hint->hide();
    for (CDataView* chart : m_charts) {
        chart->SetChart(nullptr);
        chart->SetShowChart(false);
    }
}

const CStatChart* CConditionView::Chart(ECondition condition) const
{
    const CDataView* view = ChartView(condition);
    return view != nullptr && view->IsChartShown() ? view->GetChart() : nullptr;
}

CDataView* CConditionView::ChartView(ECondition condition) const
{
    const size_t n = Index(condition);
    return n < m_charts.size() ? m_charts[n] : nullptr;
}

QPushButton* CConditionView::JumpButton(ECondition condition) const
{
    const size_t n = Index(condition);
    return n < m_jumps.size() ? m_jumps[n] : nullptr;
}

void CConditionView::ShowChart(ECondition condition)
{
    if (CDataView* chart = ChartView(condition)) {
        m_scroll->verticalScrollBar()->setValue(chart->y());
    }
}

bool CConditionView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize) LayOutCharts();
    return QWidget::eventFilter(watched, event);
}

void CConditionView::LayOutCharts()
{
    // As many columns as keep a chart readable (three at most: two rows of six), and rows as
    // tall as the window allows while all of them fit, else one or more screenfuls to scroll.
    const QSize room = m_scroll->viewport()->size();
    const int columns = std::clamp(room.width() / kMinChartWidth, 1, 3);
    const int rows = (kConditionCount + columns - 1) / columns;
    const int rowsInView = std::clamp(room.height() / kMinChartHeight, 1, rows);
    const int height = std::max(kMinChartHeight, room.height() / rowsInView);
    const int width = room.width() / columns;
    m_grid->setMinimumHeight(height * rows);
    for (size_t n = 0; n < m_charts.size(); ++n) {
        const int row = static_cast<int>(n) / columns;
        const int column = static_cast<int>(n) % columns;
        m_charts[n]->setGeometry(column * width, row * height, width - 4, height - 4);
    }
}
