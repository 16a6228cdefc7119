#pragma once

#include <string>

#include "navbar/BarTypes.h"

// Measures texts in the font the bar draws its labels and folder names with.
class CBarTextMetrics {
public:
    virtual ~CBarTextMetrics() = default;
    // Size of the text on one line.
    virtual BarSize SingleLineSize(const std::string& text) const = 0;
    // Size of the text word-wrapped (and centred) in a box `width` wide: the widest line and the
    // height of all lines.
    virtual BarSize WrappedSize(const std::string& text, int width) const = 0;
};

// A list of equally sized icons, owned by the caller of the bar.
class CBarImageList {
public:
    virtual ~CBarImageList() = default;
    virtual int ImageCount() const = 0;
    virtual BarSize ImageSize() const = 0;
};

enum BarTextLayout {
    BarTextSingleCentered,  // one line, centred horizontally and vertically in the box
    BarTextSingleLeft,      // one line from the box's top-left corner
    BarTextWrapCentered,    // word-wrapped, each line centred, from the box's top
};

// Everything the bar draws goes through this, so the drawing can be recorded and checked.
class CBarCanvas {
public:
    virtual ~CBarCanvas() = default;
    virtual void FillRect(const BarRect& rect, BarColor color) = 0;
    // A one-pixel line from `from` up to, but not including, `to`.
    virtual void Line(BarPoint from, BarPoint to, BarColor color) = 0;
    virtual void Text(const BarRect& box, const std::string& text, BarColor color,
                      BarTextLayout layout) = 0;
    virtual void Image(const CBarImageList& list, int index, BarPoint topLeft) = 0;
    // A scroll-bar arrow button with its glyph, raised or pushed.
    virtual void ScrollArrow(const BarRect& rect, bool up, bool pushed) = 0;
    // Restricts drawing to `rect` until ResetClip.
    virtual void SetClip(const BarRect& rect) = 0;
    virtual void ResetClip() = 0;
};

// The classic sunken or raised frame: the top and left edges in one colour, the right and bottom
// edges in the other.
inline void Draw3dRect(CBarCanvas& canvas, const BarRect& r, BarColor topLeft, BarColor bottomRight)
{
    const int cx = r.Width();
    const int cy = r.Height();
    canvas.FillRect({r.left, r.top, r.left + cx - 1, r.top + 1}, topLeft);
    canvas.FillRect({r.left, r.top, r.left + 1, r.top + cy - 1}, topLeft);
    canvas.FillRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    canvas.FillRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}
