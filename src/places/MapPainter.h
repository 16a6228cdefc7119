#pragma once

#include <string>
#include <vector>

#include "charts/ChartCanvas.h"
#include "places/BaseMap.h"
#include "places/GeoPoint.h"
#include "places/MapClusters.h"
#include "places/MapViewport.h"

// What the map draws on: the charts' canvas and the tiles the window has at hand.
class CMapCanvas : public CChartCanvas {
public:
    // Draws the tile with its top-left corner at (left, top) when it is at hand (decoded and
    // kept); returns false, drawing nothing, when it is not.
    virtual bool Tile(const CTileKey& key, int left, int top) = 0;
};

// A place on the map: its name (the text of 場所), where it is and what was caught there.
struct CMapPlace {
    std::string name;
    CGeoPoint point;
    int catches = 0;
    int trips = 0;
};

// A tide port: drawn as a small anchor.
struct CMapPort {
    std::string name;
    CGeoPoint point;
};

struct CMapScene {
    std::vector<CMapPlace> places;
    std::vector<CMapPort> ports;
    bool tiles = false;  // ask the canvas for tiles over the base map
    std::string credit;  // shown at the bottom right whenever tiles are asked for
    int selected = -1;   // index of the place whose marker is outlined
    bool legend = true;
};

// A marker as drawn, for the window to find what was clicked.
struct CDrawnMarker {
    int x = 0;
    int y = 0;
    int radius = 0;
    std::vector<size_t> places;  // indexes into CMapScene::places; more than one for a cluster
};

// Colours of the map, for the widgets and the report that share it.
inline constexpr ChartColorRef kMapSeaColor = MakeChartColor(0xCF, 0xE3, 0xF0);
inline constexpr ChartColorRef kMapLandColor = MakeChartColor(0xEE, 0xEB, 0xDF);
inline constexpr ChartColorRef kMapCoastColor = MakeChartColor(0x9A, 0xA8, 0xB0);
inline constexpr ChartColorRef kMapCatchColor = MakeChartColor(0xE0, 0x4A, 0x2C);
inline constexpr ChartColorRef kMapNoCatchColor = MakeChartColor(0x6C, 0x8E, 0xB4);
inline constexpr ChartColorRef kMapClusterColor = MakeChartColor(0xB0, 0x3A, 0x8C);
inline constexpr ChartColorRef kMapPortColor = MakeChartColor(0x1E, 0x4E, 0x8C);

// The radius of a place's marker: grows with the logarithm of its catches, from 5 to 16 pixels.
int MapMarkerRadius(int catches);
// Markers whose centres are closer than this many pixels are drawn as one with a count.
inline constexpr double kMapClusterDistance = 28;

// Draws the sea, the base map's land, the tiles at hand, the ports, the markers (gathered where
// they would overlap), the legend and the credit, in that order, and returns the markers drawn
// (top-most last) for hit testing.
std::vector<CDrawnMarker> DrawMap(CMapCanvas& canvas, const CMapViewport& view,
                                  const CBaseMap& baseMap, const CMapScene& scene);

// The base map's land alone, on the sea (the yearly report's map).
void DrawBaseMap(CChartCanvas& canvas, const CMapViewport& view, const CBaseMap& baseMap);

// The top-most drawn marker under the pixel, or nullptr.
const CDrawnMarker* MarkerAt(const std::vector<CDrawnMarker>& markers, int x, int y);
