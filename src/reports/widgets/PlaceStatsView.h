#pragma once

#include <QWidget>
#include <vector>

#include "places/MapPainter.h"
#include "places/PlaceTally.h"

class CMapView;
class QLabel;
class QTreeWidget;

// 場所別: for the year and species chosen, each place's catches, days fished and catches per day
// fished, most catches first, beside a map of the places that have a position (the offline base
// map, so it shows without the network).
class CPlaceStatsView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTableId = 1401;
    static constexpr int kMapId = 1402;
    static constexpr int kCaptionId = 1403;

    explicit CPlaceStatsView(QWidget* parent = nullptr);

    // tallies in any order; places: those of them with a position, for the map.
    void SetPlaces(std::vector<CPlaceTally> tallies, std::vector<CMapPlace> places,
                   const QString& caption);
    void Clear();

    QTreeWidget* Table() const { return m_table; }
    CMapView* Map() const { return m_map; }

private:
    QLabel* m_caption = nullptr;
    QTreeWidget* m_table = nullptr;
    CMapView* m_map = nullptr;
};

// The tallies most catches first (then the better rate, then the name), and a rate's text:
// catches per day fished to two places, 「-」 for a place never fished.
std::vector<CPlaceTally> RankPlaceTallies(std::vector<CPlaceTally> tallies);
QString CatchRateText(int catches, int days);
