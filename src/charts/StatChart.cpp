#include "charts/StatChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "data/TextEncoding.h"

namespace {

const CChartPen kCurrentPen{kChartBlack, 1};  // the pen a view starts painting with
const CChartPen kAxisPen{kChartBlack, 2};
const CChartFont kCurrentFont{};  // the font a view starts painting with

constexpr const char* kGothic = "ＭＳ ゴシック";
constexpr const char* kArial = "Arial";
constexpr int kBold = 700;
constexpr int kShiftJisCharset = 128;
constexpr int kAnsiCharset = 0;

// Text widths are estimated from the length of the text in the Japanese multibyte encoding.
int TextLength(const std::string& text)
{
    return static_cast<int>(Cp932ByteLength(text));
}

// The largest even size from start down whose estimated width (length x half the size) fits in
// room.  Never goes below 0, which asks the renderer for its default size: an empty or huge text
// in a tiny window must not search forever.
int FitFontSize(int start, int length, int room)
{
    int size = start;
    while (size > 0 && length * (size / 2) > room) size -= 2;
    return std::max(size, 0);
}

std::string DecimalText(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}

bool IsKnownGraphType(int type)
{
    switch (type) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 20:
        case 21:
        case 30:
        case 31:
        case 32:
        case 320:
            return true;
        default:
            return false;
    }
}

// The side of a pie is its top colour made darker by 35 in every component.
ChartColorRef DarkenForSide(ChartColorRef color)
{
    const auto darker = [](int component) { return component < 35 ? 0 : component - 35; };
    return MakeChartColor(darker(ChartRed(color)), darker(ChartGreen(color)),
                          darker(ChartBlue(color)));
}

// Angles of pie positions: the share of the whole, in degrees, truncated.  The factors are
// applied in this order so that shares land on the same whole degrees every time.
int ShareToDegrees(double part, double total)
{
    return static_cast<int>(part / total * 100 * 360 * 0.01);
}

}  // namespace

std::vector<CStatChart::CPieWedge> CStatChart::PieWedges(const CChartCategory& category,
                                                         double total) const
{
    // Groups without a positive value take no room on the pie.
    std::vector<CPieWedge> wedges;
    double sum = 0;
    for (int g = 0; g < groupCount; ++g) {
        const int v = category.GetValue(g);
        if (v <= 0) continue;
        sum += v;
        wedges.push_back({g, v, ShareToDegrees(sum, total), ShareToDegrees(sum - v / 2, total)});
    }
    return wedges;
}

CChartPoint PiePointAtAngle(int angle, int ex, int ey, int r)
{
    // The factor is deliberately the rounded one the layout was designed with.
    constexpr double kRadiansPerDegree = 3.14159 / 180;
    const auto sine = [](int degrees) { return std::sin(degrees * kRadiansPerDegree); };
    const auto at = [](double x, double y) {
        return CChartPoint{static_cast<int>(x), static_cast<int>(y)};
    };
    switch (angle / 90) {
        case 0:
            return at(ex - r * sine(90 - angle), ey + r * sine(angle));
        case 1:
            return at(ex + r * sine(angle - 90), ey + r * sine(180 - angle));
        case 2:
            return at(ex + r * sine(270 - angle), ey - r * sine(angle - 180));
        case 3:
            return at(ex - r * sine(angle - 270), ey - r * sine(360 - angle));
        default:
            // A full turn ends one unit above the left end, so the wedge is not empty.
            return CChartPoint{ex - r, ey - 1};
    }
}

CStatChart::CStatChart(int type) : graphType(type) {}

void CStatChart::SetCategoryAxisTitle(const std::string& text)
{
    categoryAxisTitle = text;
    categoryAxisTitleLength = TextLength(text);
}

void CStatChart::SetValueAxisTitle(const std::string& text)
{
    valueAxisTitle = text;
    valueAxisTitleLength = TextLength(text);
}

void CStatChart::SetValueRange(int minimum, int maximum, int stepValue)
{
    // A step below 1 would divide by zero; one unit is the finest step the labels can show.
    stepValue = std::max(stepValue, 1);
    minValue = minimum;
    maxValue = maximum;
    step = stepValue;
    const int span = maximum - minimum;
    tickCount = span / stepValue;
    if (stepValue * tickCount < span) ++tickCount;
}

void CStatChart::AddLegendLabel(int group, const std::string& text)
{
    if (graphType == 3) return;
    legend.AddLabel(group, text);
    legendShown = true;
    maxLegendLabelLength = std::max(maxLegendLabelLength, TextLength(text));
}

void CStatChart::AddCategory(std::unique_ptr<CChartCategory> category)
{
    if (!category) return;
    groupCount = std::max(groupCount, category->GetValueCount());
    categories.push_back(std::move(category));
}

void CStatChart::SetGroupColor(int group, ChartColorRef color)
{
    colors.push_back(std::make_unique<CChartColor>(group, color));
}

ChartColorRef CStatChart::GetGroupColor(int n) const
{
    if (n < 0 || n >= static_cast<int>(colors.size())) return kChartBlack;
    return colors[static_cast<size_t>(n)]->color;
}

void CStatChart::Draw(CChartCanvas& dc)
{
    const int w = dc.GetClientWidth();
    const int h = dc.GetClientHeight();
    dc.Rectangle(0, 0, w, h, kCurrentPen, kChartWhite);
    drawHeight = h - 20;
    drawWidth = w - 5;

    DrawTitle(dc, w);
    LayOutPlotRectangle();
    if (legendShown) {
        const int legendLeft = DrawLegend(dc);
        plotWidth = legendLeft - plotLeft - 10;
    }
    if (!IsKnownGraphType(graphType)) {
        dc.ReportMessage("No graph type to display");
        return;
    }
    quadrantMode = 1;
    if (graphType == kGraphBar) {
        DetectQuadrant();
        ShiftOrigin();
    }
    if (graphType != 2 && graphType != kGraphPie3D) DrawAxes(dc);
    if (graphType == kGraphBar) {
        DrawBars(dc);
    } else if (graphType == kGraphPie3D) {
        DrawPie3D(dc);
    }
}

void CStatChart::DrawTitle(CChartCanvas& dc, int clientWidth)
{
    const int length = TextLength(title);
    const int size = FitFontSize(24, length, drawWidth);
    const CChartFont font{kGothic, size, kBold, kShiftJisCharset, 0};
    const CChartFontMetrics metrics = dc.GetFontMetrics(font);
    if (title.empty()) return;
    dc.Text(clientWidth / 2 - (length / 2) * metrics.aveCharWidth, 10, title, font, kChartBlack);
}

std::string CStatChart::ValueText(int value) const
{
    if (valueDecimals <= 0) return DecimalText(value);
    int unit = 1;
    for (int d = 0; d < valueDecimals && d < 9; ++d) unit *= 10;
    const std::string sign = value < 0 ? "-" : "";
    const long long magnitude = value < 0 ? -static_cast<long long>(value) : value;
    std::string fraction = std::to_string(magnitude % unit);
    fraction.insert(0, static_cast<size_t>(std::min(valueDecimals, 9)) - fraction.size(), '0');
    return sign + std::to_string(magnitude / unit) + "." + fraction;
}

void CStatChart::LayOutPlotRectangle()
{
    if (graphType == 2 || graphType == kGraphPie3D) {
        plotLeft = 5;
        plotWidth = drawWidth - 10;
        plotHeight = drawHeight - 50;
        plotBottom = drawHeight - 5;
        return;
    }
    if (graphType == 3) return;
    const int digits = TextLength(ValueText(maxValue));
    plotLeft = (valueLabelFontSize / 2) * digits + 50;
    plotBottom = categoryLabelAngle == 0
                     ? drawHeight - 50
                     : drawHeight - (categoryLabelFontSize / 2) * categoryAxisTitleLength - 15;
    plotHeight = plotBottom - 40;
    plotWidth = drawWidth - plotLeft - 5;
}

int CStatChart::DrawLegend(CChartCanvas& dc)
{
    const int rows = groupCount;
    const int height = rows * 18 + 26;
    const int right = drawWidth - 5;
    const int top = drawHeight / 2 - height / 2;
    const int bottom = top + height;
    const int textWidth = legend.GetMaxLabelLength() * static_cast<int>(legendFontSize * 0.66);
    const int left = right - textWidth - 25;
    legendInnerWidth = right - left;
    dc.Rectangle(left, top, right, bottom, kCurrentPen, kChartWhite);

    const CChartFont captionFont{kArial, 16, kBold, kAnsiCharset, 0};
    const CChartFontMetrics captionMetrics = dc.GetFontMetrics(captionFont);
    dc.Text(left + legendInnerWidth / 2 - 3 * captionMetrics.aveCharWidth, top + 3, "Legend",
            captionFont, kChartBlack);

    const CChartFont rowFont{kArial, legendFontSize, kBold, kAnsiCharset, 0};
    for (int i = 0; i < rows; ++i) {
        const int y = top + 25 + 18 * i;
        dc.Text(left + 5, y, legend.GetLabel(i), rowFont, kChartBlack);
        dc.Rectangle(left + 10 + (legendFontSize / 2) * maxLegendLabelLength, y, right - 5, y + 12,
                     kCurrentPen, GetGroupColor(i));
    }
    return left;
}

void CStatChart::DetectQuadrant()
{
    int smallestGroup = 0;
    int smallestValue = 0;
    for (const auto& category : categories) {
        for (const auto& value : category->GetValues()) {
            smallestGroup = std::min(smallestGroup, value->group);
            smallestValue = std::min(smallestValue, value->value);
        }
    }
    const bool negativeGroup = smallestGroup < 0;
    const bool negativeValue = smallestValue < 0;
    if (negativeGroup && negativeValue) {
        quadrantMode = 4;
    } else if (negativeValue) {
        quadrantMode = 3;
    } else if (negativeGroup) {
        quadrantMode = 2;
    } else {
        quadrantMode = 1;
    }
}

void CStatChart::ShiftOrigin()
{
    if (quadrantMode == 2 || quadrantMode == 4) plotLeft += plotWidth / 2;
    if (quadrantMode == 3 || quadrantMode == 4) plotBottom -= plotHeight / 2;
}

void CStatChart::DrawAxes(CChartCanvas& dc)
{
    const bool centredHorizontally = quadrantMode == 2 || quadrantMode == 4;
    const bool centredVertically = quadrantMode == 3 || quadrantMode == 4;

    // Axis lines.
    if (centredVertically) {
        dc.Line({plotLeft, plotBottom + plotHeight / 2}, {plotLeft, plotBottom - plotHeight / 2},
                kAxisPen);
    } else {
        dc.Line({plotLeft, plotBottom}, {plotLeft, plotBottom - plotHeight}, kAxisPen);
    }
    if (centredHorizontally) {
        dc.Line({plotLeft - plotWidth / 2, plotBottom}, {plotLeft + plotWidth / 2, plotBottom},
                kAxisPen);
    } else {
        dc.Line({plotLeft, plotBottom}, {plotLeft + plotWidth, plotBottom}, kAxisPen);
    }

    // Axis titles share one size, fitted along the shorter side of the drawing.
    const int size = drawHeight < drawWidth ? FitFontSize(16, valueAxisTitleLength, drawHeight)
                                            : FitFontSize(16, categoryAxisTitleLength, drawWidth);
    const CChartFont horizontalFont{kGothic, size, kBold, kShiftJisCharset, 0};
    const CChartFont rotatedFont{kGothic, size, kBold, kShiftJisCharset, 90};
    const CChartFontMetrics metrics = dc.GetFontMetrics(horizontalFont);

    int valueTitleY = plotBottom + (valueAxisTitleLength * metrics.aveCharWidth) / 2;
    if (!centredVertically) valueTitleY -= plotHeight / 2;
    if (!valueAxisTitle.empty()) dc.Text(10, valueTitleY, valueAxisTitle, rotatedFont, kChartBlack);

    const int halfTitle = (categoryAxisTitleLength / 2) * metrics.aveCharWidth;
    const int categoryTitleX =
        centredHorizontally ? plotLeft - halfTitle : plotWidth / 2 + plotLeft - halfTitle;
    if (!categoryAxisTitle.empty()) {
        dc.Text(categoryTitleX, drawHeight - 11, categoryAxisTitle, horizontalFont, kChartBlack);
    }

    if (quadrantMode == 1) {
        DrawValueTicks(dc);
        DrawCategoryLabels(dc);
    }
}

void CStatChart::DrawValueTicks(CChartCanvas& dc)
{
    // An empty range has no intervals to mark.
    if (tickCount <= 0) return;
    const CChartFont font{kArial, valueLabelFontSize, kBold, kAnsiCharset, 0};
    const int spacing = (plotHeight - 10) / tickCount;
    for (int j = 1; j <= tickCount; ++j) {
        const int y = plotBottom - j * spacing;
        dc.Line({plotLeft - 3, y}, {plotLeft + 3, y}, kCurrentPen);
        const std::string label = ValueText(minValue + j * step);
        dc.Text(plotLeft - TextLength(label) * (valueLabelFontSize / 2) - 10, y - 6, label, font,
                kChartBlack);
    }
}

int CStatChart::LabelWidth(size_t category) const
{
    // Labels are centred on their slot at an estimated width of a third of the font's size per
    // byte, as DrawCategoryLabels places them.
    return TextLength(categories[category]->GetLabel()) * (categoryLabelFontSize / 3 * 2);
}

int CStatChart::LabelEvery(int slot) const
{
    if (!thinCrowdedLabels || categoryLabelAngle != 0 || slot <= 0) return 1;
    // The last label is placed by its own rule.
    int widest = 0;
    for (size_t n = 0; n + 1 < categories.size(); ++n) widest = std::max(widest, LabelWidth(n));
    return std::max(1, (widest + slot - 1) / slot);
}

void CStatChart::DrawCategoryLabels(CChartCanvas& dc)
{
    const int n = static_cast<int>(categories.size());
    if (n == 0) return;
    const int slot = plotWidth / n;
    const CChartFont font{kArial, categoryLabelFontSize, kBold, kAnsiCharset, categoryLabelAngle};
    const int rotatedWidth = categoryLabelAngle != 0 ? dc.GetFontMetrics(font).aveCharWidth : 0;
    const int every = LabelEvery(slot);
    for (int i = 1; i <= n; ++i) {
        const int x = plotLeft + slot * i - slot / 2;
        dc.Line({x, plotBottom - 3}, {x, plotBottom + 3}, kCurrentPen);
        // The last label always shows; one too close before it gives way.
        const bool shown =
            i == n || ((i - 1) % every == 0 &&
                       (!thinCrowdedLabels || (n - i) * slot * 2 >= LabelWidth(size_t(i - 1)) +
                                                                        LabelWidth(size_t(n - 1))));
        if (!shown) continue;
        const std::string label = categories[static_cast<size_t>(i - 1)]->GetLabel();
        if (categoryLabelAngle == 0) {
            dc.Text(x - TextLength(label) * 4, plotBottom + 8, label, font, kChartBlack);
        } else if (categoryLabelAngle >= 180) {
            dc.Text(x + 2, plotBottom + 8, label, font, kChartBlack);
        } else {
            dc.Text(x - 8, plotBottom + 8 + categoryAxisTitleLength * rotatedWidth, label, font,
                    kChartBlack);
        }
    }
}

void CStatChart::DrawBars(CChartCanvas& dc)
{
    const int n = static_cast<int>(categories.size());
    // Nothing to scale against when the range is empty.
    if (quadrantMode != 1 || n == 0 || groupCount == 0 || maxValue <= minValue) return;
    const int slot = plotWidth / n;
    const int barWidth = static_cast<int>(slot * 0.6 / groupCount);
    const int groupWidth = groupCount * barWidth;
    const double scale = static_cast<double>(plotHeight - 10) / (maxValue - minValue);
    for (int i = 1; i <= n; ++i) {
        const CChartCategory& category = *categories[static_cast<size_t>(i - 1)];
        const int centre = plotLeft + slot * i - slot / 2;
        int barTop = plotBottom;
        for (int g = 0; g < groupCount; ++g) {
            const int v = category.GetValue(g);
            if (v < 0) continue;
            const long long above = static_cast<long long>(v) - minValue;
            // Values below the range's bottom would hang beneath the axis.
            if (above < 0) continue;
            int height = static_cast<int>(static_cast<double>(above) * scale);
            if (above > 0 && height < 1) height = static_cast<int>(scale);
            if (height > plotHeight) height = plotHeight;
            const int left = centre - groupWidth / 2 + g * barWidth;
            dc.Rectangle(left, plotBottom - height, left + barWidth, plotBottom, kCurrentPen,
                         GetGroupColor(g));
            barTop = std::min(barTop, plotBottom - height);
        }
        if (!category.GetNote().empty()) DrawNote(dc, category.GetNote(), centre, slot, barTop);
    }
}

void CStatChart::DrawNote(CChartCanvas& dc, const std::string& note, int centre, int slot,
                          int barTop)
{
    // Lines centred just above the highest bar; a note wider than its category's slot would run
    // into its neighbours' and is left out.
    constexpr int kNoteSize = 12;
    std::vector<std::string> lines;
    for (size_t start = 0; start <= note.size();) {
        size_t end = note.find('\n', start);
        if (end == std::string::npos) end = note.size();
        lines.push_back(note.substr(start, end - start));
        start = end + 1;
    }
    int width = 0;
    for (const std::string& line : lines)
        width = std::max(width, TextLength(line) * (kNoteSize / 2));
    if (width > slot - 2) return;
    const CChartFont font{kArial, kNoteSize, 400, kAnsiCharset, 0};
    int y = barTop - 3 - static_cast<int>(lines.size()) * (kNoteSize + 1);
    for (const std::string& line : lines) {
        dc.Text(centre - TextLength(line) * (kNoteSize / 2) / 2, y, line, font, kChartBlack);
        y += kNoteSize + 1;
    }
}

void CStatChart::DrawPie3D(CChartCanvas& dc)
{
    const int n = static_cast<int>(categories.size());
    if (n == 0) return;
    const CChartFontMetrics metrics = dc.GetFontMetrics(kCurrentFont);
    const int lineH = metrics.height + 6;
    const int labelW = metrics.maxCharWidth + 10;
    const int d = std::min(plotWidth, plotHeight);
    const int r = (d / n - 3 * labelW) / 3;
    const int depth = static_cast<int>(r * depthRatio);
    const int cy = (plotHeight + 60) / 2;

    for (int k = 1; k <= n; ++k) {
        const CChartCategory& category = *categories[static_cast<size_t>(k - 1)];
        const int x0 = n == 1 ? plotWidth / 2 + plotLeft - r
                              : plotLeft + ((plotWidth / n) / 2) * (2 * k - 1) - r + 15;
        const int cx = x0 + r;
        double total = 0;
        for (int g = 0; g < groupCount; ++g) total += category.GetValue(g);

        const std::string label = category.GetLabel();
        dc.Text(cx - TextLength(label) * 4, cy + static_cast<int>(1.5 * r) + lineH + 15, label,
                kCurrentFont, kChartBlack);
        // Shares of a total that is not positive have no meaning; only the label is drawn.
        if (total <= 0) continue;

        DrawPieSide(dc, category, cx, cy, r, depth, total);
        std::vector<CPieLabel> labels = DrawPieTop(dc, category, x0, cy, r, total, labelW, lineH);
        PlacePieLabels(dc, labels, labelW, lineH);
    }
}

void CStatChart::DrawPieSide(CChartCanvas& dc, const CChartCategory& category, int cx, int cy,
                             int r, int depth, double total)
{
    const int bx = cx + depth;
    const int by = cy + depth;
    const int boxLeft = bx - r;
    const int boxTop = by - r;
    CChartPoint previousBottom{bx - r, by};
    CChartPoint previousTop{cx - r, cy};
    int previousQuadrant = 0;
    // Wedges wholly on the back half are hidden behind the front; they continue the colour of
    // the wedge that crossed over, so the visible rim shows one colour there.
    ChartColorRef backColor = kChartBlack;
    for (const CPieWedge& wedge : PieWedges(category, total)) {
        const int g = wedge.group;
        const int angle = wedge.endAngle;
        const int quadrant = angle / 90;
        if (g == 0) {
            previousBottom.y -= 1;
            previousTop.y -= 1;
        }
        const CChartPoint bottom = PiePointAtAngle(angle, bx, by, r);
        const CChartPoint top = PiePointAtAngle(angle, cx, cy, r);
        const ChartColorRef sideColor = DarkenForSide(GetGroupColor(g));
        if (quadrant < 2 || previousQuadrant < 2) {
            const CChartPen pen{sideColor, 1};
            dc.Polygon({previousBottom, bottom, top, previousTop}, pen, sideColor);
            dc.Pie(boxLeft, boxTop, boxLeft + 2 * r, boxTop + 2 * r, previousBottom, bottom, pen,
                   sideColor);
        } else {
            const CChartPen pen{backColor, 1};
            dc.Pie(boxLeft, boxTop, boxLeft + 2 * r, boxTop + 2 * r, previousBottom, bottom, pen,
                   backColor);
            dc.Polygon({bottom, top, previousTop}, pen, backColor);
        }
        if (quadrant > 1 && previousQuadrant < 2) backColor = sideColor;
        previousBottom = bottom;
        previousTop = top;
        previousQuadrant = quadrant;
    }
}

std::vector<CPieLabel> CStatChart::DrawPieTop(CChartCanvas& dc, const CChartCategory& category,
                                              int x0, int cy, int r, double total, int labelW,
                                              int lineH)
{
    const int cx = x0 + r;
    std::vector<CPieLabel> labels;
    CChartPoint previousTop{x0, cy};
    for (const CPieWedge& wedge : PieWedges(category, total)) {
        const int g = wedge.group;
        const int v = wedge.value;
        const int angle = wedge.endAngle;
        const int middle = wedge.middleAngle;
        const int quadrant = std::min(middle / 90, 3);
        if (g == 0) previousTop.y -= 1;
        const CChartPoint top = PiePointAtAngle(angle, cx, cy, r);

        CPieLabel label;
        label.quadrant = quadrant;
        const CChartPoint rim = PiePointAtAngle(middle, cx, cy, r);
        label.lineStart = {rim.x + (cx - rim.x) / 2, rim.y + (cy - rim.y) / 2};
        const bool leftward = quadrant == 0 || quadrant == 3;
        const bool upward = quadrant >= 2;
        label.lineEnd = {rim.x + (leftward ? -r / 2 : r / 2), rim.y + (upward ? -r / 2 : r / 2)};
        label.textPos = {label.lineEnd.x + (leftward ? -labelW : 5),
                         label.lineEnd.y - (upward ? lineH : 0)};
        char text[16];
        std::snprintf(text, sizeof text, "%d%%",
                      static_cast<int>(static_cast<double>(v) * 100 / total));
        label.text = text;
        labels.push_back(std::move(label));

        const ChartColorRef color = GetGroupColor(g);
        dc.Pie(x0, cy - r, x0 + 2 * r, cy + r, previousTop, top, CChartPen{color, 1}, color);
        previousTop = top;
    }
    return labels;
}

void CStatChart::PlacePieLabels(CChartCanvas& dc, std::vector<CPieLabel>& labels, int labelW,
                                int lineH)
{
    std::vector<const CPieLabel*> placed;
    for (CPieLabel& label : labels) {
        // Lower labels only move down and upper labels only up, so the search ends.
        bool moved = true;
        while (moved) {
            moved = false;
            for (const CPieLabel* other : placed) {
                const bool collides = other->textPos.x < label.textPos.x &&
                                      label.textPos.x < other->textPos.x + labelW &&
                                      other->textPos.y < label.textPos.y &&
                                      label.textPos.y < other->textPos.y + lineH;
                if (!collides) continue;
                const int shift = label.quadrant < 2 ? lineH : -lineH;
                label.textPos.y = other->textPos.y + shift;
                label.lineEnd.y = other->lineEnd.y + shift;
                moved = true;
                break;
            }
        }
        dc.Line(label.lineStart, label.lineEnd, kCurrentPen);
        dc.Text(label.textPos.x, label.textPos.y, label.text, kCurrentFont, kChartBlack);
        placed.push_back(&label);
    }
}
