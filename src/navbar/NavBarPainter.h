#pragma once

#include <vector>

#include "navbar/BarCanvas.h"
#include "navbar/NavBarModel.h"

// What the bar shows beyond its content: hover, pressed looks and the insertion marker.
struct BarPaintState {
    int hotFolder = -1;
    int hotItem = -1;
    bool hotItemPressed = false;
    int pressedFolder = -1;
    bool upPressed = false;
    bool downPressed = false;
    int dropPosition = -1;
    int arrowSide = 16;
};

// Drawing of the bar over a canvas.  Every coordinate comes from the model's layout.
class CNavBarPainter {
public:
    CNavBarPainter(CBarCanvas& canvas, const CNavBarModel& model) : m_canvas(canvas), m_model(model)
    {
    }

    // The whole client area; the model must have placed its arrows (PlaceArrows) beforehand.
    void PaintBar(const BarPaintState& state);

    void DrawFolderButton(int folder, const BarRect& rect, bool pressed);
    void DrawItemArea(int folder, const BarRect& area);
    void DrawBarItem(int folder, int item, const BarRect& bounds);
    // The L-shaped bottom-right edge of a folder button, in its hover or its normal look.
    void DrawFolderHoverEdge(const BarRect& rect, bool hover);
    // The raised (or sunken, when pressed) frame around an item's icon.
    void DrawItemFrame(int folder, int item, bool pressed);
    void DrawDropMarker(const BarRect& rect, int kind);

private:
    CBarCanvas& m_canvas;
    const CNavBarModel& m_model;
};

// One band of an animation frame: rows [top, bottom) of the screen show the rows of the source
// picture from sourceTop on.  Picture 0 shows the old folder, picture 1 the new one; both are a
// button's height of button (or background) over the item area's content.
struct BarSlideBand {
    int source = 0;
    int sourceTop = 0;
    int top = 0;
    int bottom = 0;
    bool operator==(const BarSlideBand&) const = default;
};

struct BarSlideFrame {
    BarSlideBand bands[2];
};

// The frames of the slide from folder `from` to folder `to`, computed in the layout of `from`.
// Empty when the folders are equal or invalid.
std::vector<BarSlideFrame> ComputeSlideFrames(const CNavBarModel& model, int from, int to);
