#include "places/MapClusters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct CExpected {
    double x, y;
    int weight;
    std::vector<size_t> members;
};

TEST(MapClusters, GathersWhatWouldOverlap)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct {
        const char* name;
        std::vector<CMapMarkerSpot> spots;
        double radius;
        std::vector<CExpected> clusters;
    } const cases[] = {
        {"none", {}, 20, {}},
        {"apart", {{0, 0, 1}, {100, 0, 2}}, 20, {{100, 0, 2, {1}}, {0, 0, 1, {0}}}},
        {"close: the heavier leads", {{0, 0, 1}, {10, 0, 5}}, 20, {{10, 0, 6, {1, 0}}}},
        {"exactly at the radius", {{0, 0, 3}, {20, 0, 1}}, 20, {{0, 0, 4, {0, 1}}}},
        {"just beyond", {{0, 0, 3}, {20.01, 0, 1}}, 20, {{0, 0, 3, {0}}, {20.01, 0, 1, {1}}}},
        {"a chain is not one cluster",
         {{0, 0, 9}, {15, 0, 1}, {30, 0, 1}},
         20,
         {{0, 0, 10, {0, 1}}, {30, 0, 1, {2}}}},
        {"across cell borders and negative pixels",
         {{-1, -1, 2}, {1, 1, 1}},
         20,
         {{-1, -1, 3, {0, 1}}}},
        {"equal weights keep their order", {{5, 5, 0}, {6, 6, 0}}, 20, {{5, 5, 0, {0, 1}}}},
        {"a broken position is left out", {{nan, 0, 9}, {1, 1, 1}}, 20, {{1, 1, 1, {1}}}},
        {"no radius: each alone", {{0, 0, 1}, {0, 0, 2}}, 0, {{0, 0, 2, {1}}, {0, 0, 1, {0}}}},
    };
    for (const auto& c : cases) {
        const auto clusters = ClusterMapMarkers(c.spots, c.radius);
        ASSERT_EQ(clusters.size(), c.clusters.size()) << c.name;
        for (size_t i = 0; i < clusters.size(); ++i) {
            EXPECT_EQ(clusters[i].x, c.clusters[i].x) << c.name;
            EXPECT_EQ(clusters[i].y, c.clusters[i].y) << c.name;
            EXPECT_EQ(clusters[i].weight, c.clusters[i].weight) << c.name;
            EXPECT_EQ(clusters[i].members, c.clusters[i].members) << c.name;
        }
    }
}

TEST(MapClusters, EveryMarkerLandsInExactlyOneClusterWithinReach)
{
    std::vector<CMapMarkerSpot> spots;
    for (int i = 0; i < 2000; ++i)
        spots.push_back({(i * 37) % 800 * 1.0, (i * 91) % 600 * 1.0, i % 7});
    const auto clusters = ClusterMapMarkers(spots, 28);
    std::vector<int> seen(spots.size());
    for (const CMapCluster& cluster : clusters) {
        for (size_t member : cluster.members) {
            ++seen[member];
            EXPECT_LE(std::hypot(spots[member].x - cluster.x, spots[member].y - cluster.y), 28);
        }
    }
    for (int count : seen) EXPECT_EQ(count, 1);
    // No two cluster centres are within reach of each other: they would have been gathered.
    for (size_t a = 0; a < clusters.size(); ++a)
        for (size_t b = a + 1; b < clusters.size(); ++b)
            EXPECT_GT(std::hypot(clusters[a].x - clusters[b].x, clusters[a].y - clusters[b].y), 28);
}

}  // namespace
