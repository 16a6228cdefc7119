#include "reports/widgets/PlaceStatsView.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "places/BaseMap.h"
#include "places/widgets/MapView.h"

std::vector<CPlaceTally> RankPlaceTallies(std::vector<CPlaceTally> tallies)
{
    std::stable_sort(
        tallies.begin(), tallies.end(), [](const CPlaceTally& a, const CPlaceTally& b) {
            if (a.catches != b.catches) return a.catches > b.catches;
            // a/da > b/db without division: both day counts are positive when catches are.
            const long left = static_cast<long>(a.catches) * std::max(1, b.daysFished);
            const long right = static_cast<long>(b.catches) * std::max(1, a.daysFished);
            if (left != right) return left > right;
            return a.place < b.place;
        });
    return tallies;
}

QString CatchRateText(int catches, int days)
{
    if (days <= 0) return QStringLiteral("-");
    return QString::number(static_cast<double>(catches) / days, 'f', 2);
}

CPlaceStatsView::CPlaceStatsView(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QString::number(kCaptionId));
    layout->addWidget(m_caption);
    auto* split = new QSplitter(Qt::Horizontal, this);
    m_table = new QTreeWidget(split);
    m_table->setObjectName(QString::number(kTableId));
    m_table->setRootIsDecorated(false);
    m_table->setHeaderLabels({QStringLiteral("場所"), QStringLiteral("釣果(匹)"),
                              QStringLiteral("釣行日数"), QStringLiteral("1日あたり")});
    // The figures keep their width and the place takes what is left, cut with 「…」 when long
    // (its whole name in the tooltip): every column stays in sight on a small window.
    QHeaderView* header = m_table->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setMinimumSectionSize(
        m_table->fontMetrics().horizontalAdvance(QStringLiteral("場所…")));
    m_table->setTextElideMode(Qt::ElideRight);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_map = new CMapView(ShippedBaseMap(), split);
    m_map->setObjectName(QString::number(kMapId));
    split->addWidget(m_table);
    split->addWidget(m_map);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    // Half and half from the start, not by size hints: the table needs room for its names.
    split->setSizes({1 << 16, 1 << 16});
    layout->addWidget(split, 1);
}

void CPlaceStatsView::Clear()
{
    m_caption->clear();
    m_table->clear();
    m_map->SetScene({});
}

void CPlaceStatsView::SetPlaces(std::vector<CPlaceTally> tallies, std::vector<CMapPlace> places,
                                const QString& caption)
{
    m_caption->setText(caption);
    m_table->clear();
    for (const CPlaceTally& tally : RankPlaceTallies(std::move(tallies))) {
        auto* item = new QTreeWidgetItem(
            m_table,
            {QString::fromStdString(tally.place), QString::number(tally.catches),
             QString::number(tally.daysFished), CatchRateText(tally.catches, tally.daysFished)});
        item->setToolTip(0, item->text(0));
        for (int column = 1; column < 4; ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    CMapScene scene;
    scene.places = std::move(places);
    m_map->SetScene(std::move(scene));
    m_map->FitAll();
}
