#pragma once

#include <cstddef>
#include <vector>

// A marker on the screen before gathering: where it stands and how much it weighs (its catches).
struct CMapMarkerSpot {
    double x = 0;
    double y = 0;
    int weight = 0;
};

// Markers drawn as one: at the first (heaviest) member's spot, with the members' indexes into
// the spots given, heaviest first, and their summed weight.
struct CMapCluster {
    double x = 0;
    double y = 0;
    int weight = 0;
    std::vector<size_t> members;
};

// Gathers markers that would overlap: each spot, heaviest first (ties by index), joins the first
// cluster whose centre lies within radius pixels, or starts one of its own.  A grid of cells as
// wide as radius keeps the work linear, so thousands of places cluster at every frame.
std::vector<CMapCluster> ClusterMapMarkers(const std::vector<CMapMarkerSpot>& spots, double radius);
