#include "places/MapClusters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <unordered_map>

namespace {

std::uint64_t CellKey(std::int64_t cx, std::int64_t cy)
{
    return (static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint32_t>(cy);
}

}  // namespace

std::vector<CMapCluster> ClusterMapMarkers(const std::vector<CMapMarkerSpot>& spots, double radius)
{
    std::vector<size_t> order(spots.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return spots[a].weight > spots[b].weight; });

    std::vector<CMapCluster> clusters;
    if (!(radius > 0)) {
        for (size_t index : order) {
            clusters.push_back({spots[index].x, spots[index].y, spots[index].weight, {index}});
        }
        return clusters;
    }
    std::unordered_map<std::uint64_t, std::vector<size_t>> cells;  // cluster indexes by cell
    const double squared = radius * radius;
    for (size_t index : order) {
        const CMapMarkerSpot& spot = spots[index];
        if (!std::isfinite(spot.x) || !std::isfinite(spot.y)) continue;
        const auto cx = static_cast<std::int64_t>(std::floor(spot.x / radius));
        const auto cy = static_cast<std::int64_t>(std::floor(spot.y / radius));
        size_t found = clusters.size();
        for (std::int64_t dy = -1; dy <= 1; ++dy) {
            for (std::int64_t dx = -1; dx <= 1; ++dx) {
                const auto cell = cells.find(CellKey(cx + dx, cy + dy));
                if (cell == cells.end()) continue;
                for (size_t candidate : cell->second) {
                    const double ex = clusters[candidate].x - spot.x;
                    const double ey = clusters[candidate].y - spot.y;
                    if (ex * ex + ey * ey <= squared && candidate < found) found = candidate;
                }
            }
        }
        if (found == clusters.size()) {
            cells[CellKey(cx, cy)].push_back(clusters.size());
            clusters.push_back({spot.x, spot.y, 0, {}});
        }
        clusters[found].weight += spot.weight;
        clusters[found].members.push_back(index);
    }
    return clusters;
}
