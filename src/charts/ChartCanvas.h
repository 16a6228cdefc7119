#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Colours are 0x00BBGGRR: red in the low byte, green in the second, blue in the third.
using ChartColorRef = std::uint32_t;

inline constexpr ChartColorRef kChartBlack = 0x000000;
inline constexpr ChartColorRef kChartWhite = 0xFFFFFF;

inline constexpr int ChartRed(ChartColorRef color)
{
    return static_cast<int>(color & 0xFF);
}
inline constexpr int ChartGreen(ChartColorRef color)
{
    return static_cast<int>((color >> 8) & 0xFF);
}
inline constexpr int ChartBlue(ChartColorRef color)
{
    return static_cast<int>((color >> 16) & 0xFF);
}
inline constexpr ChartColorRef MakeChartColor(int red, int green, int blue)
{
    return static_cast<ChartColorRef>(red & 0xFF) |
           (static_cast<ChartColorRef>(green & 0xFF) << 8) |
           (static_cast<ChartColorRef>(blue & 0xFF) << 16);
}

struct CChartPoint {
    int x = 0;
    int y = 0;
    bool operator==(const CChartPoint&) const = default;
};

// A solid pen.
struct CChartPen {
    ChartColorRef color = kChartBlack;
    int width = 1;
    bool operator==(const CChartPen&) const = default;
};

// A font as the chart asks for it.  An empty face means the font the canvas starts painting
// with (the window's own font).  height is the cell height in units; 0 asks for the default size.
// angle is the rotation in degrees, counter-clockwise (90 reads bottom to top).
struct CChartFont {
    std::string face;
    int height = 0;
    int weight = 400;
    int charset = 0;  // 0 ANSI, 128 Shift-JIS
    int angle = 0;
    bool operator==(const CChartFont&) const = default;
};

struct CChartFontMetrics {
    int height = 0;        // cell height
    int aveCharWidth = 0;  // average character width
    int maxCharWidth = 0;  // widest character
};

// What a chart draws on.  Coordinates are units of the window's client area, origin top-left,
// y growing downwards.  Rectangles are given as left, top, right, bottom with the right and bottom
// edges outside the shape (the outline covers left..right-1 and top..bottom-1).
class CChartCanvas {
public:
    virtual ~CChartCanvas() = default;

    virtual int GetClientWidth() const = 0;
    virtual int GetClientHeight() const = 0;

    virtual void Rectangle(int left, int top, int right, int bottom, const CChartPen& pen,
                           ChartColorRef fill) = 0;
    virtual void Line(CChartPoint from, CChartPoint to, const CChartPen& pen) = 0;
    virtual void Polygon(const std::vector<CChartPoint>& points, const CChartPen& pen,
                         ChartColorRef fill) = 0;
    // A wedge of the ellipse inscribed in the box, from the ray through start counter-clockwise
    // (on the screen) to the ray through end.  Equal rays give the whole ellipse.
    virtual void Pie(int left, int top, int right, int bottom, CChartPoint start, CChartPoint end,
                     const CChartPen& pen, ChartColorRef fill) = 0;
    // Text whose cell starts at (x, y): the top-left corner of the first character, before the
    // font's rotation is applied around that point.
    virtual void Text(int x, int y, const std::string& text, const CChartFont& font,
                      ChartColorRef color) = 0;
    virtual CChartFontMetrics GetFontMetrics(const CChartFont& font) = 0;
    // A message for the user that the chart cannot draw what it was asked to.
    virtual void ReportMessage(const std::string& text) = 0;
};
