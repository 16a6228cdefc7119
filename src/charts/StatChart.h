#pragma once

#include <memory>
#include <string>
#include <vector>

#include "charts/ChartCanvas.h"
#include "charts/ChartCategory.h"
#include "charts/ChartColor.h"
#include "charts/ChartLegend.h"
#include "charts/PieLabel.h"

// Graph type codes.
inline constexpr int kGraphBar = 0;
inline constexpr int kGraphPie3D = 32;

// The statistics chart: a title, a value range, categories with one value per group, colours
// and legend labels, laid out afresh and drawn on every Draw.  Built completely by the caller,
// then only drawn; drawing changes nothing but the layout fields.
class CStatChart {
public:
    explicit CStatChart(int type);
    CStatChart(const CStatChart&) = delete;
    CStatChart& operator=(const CStatChart&) = delete;

    void SetTitle(const std::string& text) { title = text; }
    void SetCategoryLabelAngle(int degrees) { categoryLabelAngle = degrees; }
    void SetCategoryAxisTitle(const std::string& text);
    void SetValueAxisTitle(const std::string& text);
    // tickCount becomes the number of steps needed to cover the range, rounded up.
    void SetValueRange(int minimum, int maximum, int stepValue);
    // Values are counted in units of 10^-decimals (tenths for 1): the value axis labels its ticks
    // with that many decimals.  0, the default, labels whole numbers.
    void SetValueDecimals(int decimals) { valueDecimals = decimals; }
    // With many categories in a narrow plot, label only every n-th category (and the last), so
    // that no two labels run into each other; every category keeps its tick.
    void SetThinCrowdedLabels(bool thin) { thinCrowdedLabels = thin; }
    void SetDepthRatio(double ratio) { depthRatio = ratio; }
    void AddLegendLabel(int group, const std::string& text);
    // Takes ownership; the group count grows to the category's value count at this moment.
    void AddCategory(std::unique_ptr<CChartCategory> category);
    // Colours apply by position: the n-th call colours group n.
    void SetGroupColor(int group, ChartColorRef color);

    void Draw(CChartCanvas& dc);

    // The colour of the n-th entry; black when there is none.
    ChartColorRef GetGroupColor(int n) const;
    const CChartLegend& GetLegend() const { return legend; }

    int GetGraphType() const { return graphType; }
    const std::string& GetTitle() const { return title; }
    int GetStep() const { return step; }
    int GetTickCount() const { return tickCount; }
    int GetMinValue() const { return minValue; }
    int GetMaxValue() const { return maxValue; }
    int GetValueDecimals() const { return valueDecimals; }
    int GetGroupCount() const { return groupCount; }
    bool IsLegendShown() const { return legendShown; }
    int GetMaxLegendLabelLength() const { return maxLegendLabelLength; }
    double GetDepthRatio() const { return depthRatio; }
    int GetCategoryLabelAngle() const { return categoryLabelAngle; }
    const std::string& GetCategoryAxisTitle() const { return categoryAxisTitle; }
    const std::string& GetValueAxisTitle() const { return valueAxisTitle; }
    int GetCategoryAxisTitleLength() const { return categoryAxisTitleLength; }
    int GetValueAxisTitleLength() const { return valueAxisTitleLength; }
    const std::vector<std::unique_ptr<CChartCategory>>& GetCategories() const { return categories; }
    int GetColorCount() const { return static_cast<int>(colors.size()); }

    // Layout computed by the last Draw.
    int GetDrawWidth() const { return drawWidth; }
    int GetDrawHeight() const { return drawHeight; }
    int GetPlotLeft() const { return plotLeft; }
    int GetPlotBottom() const { return plotBottom; }
    int GetPlotWidth() const { return plotWidth; }
    int GetPlotHeight() const { return plotHeight; }
    int GetLegendInnerWidth() const { return legendInnerWidth; }
    int GetQuadrantMode() const { return quadrantMode; }

private:
    // One drawn wedge of a pie: angles in whole degrees from the pie's left end.
    struct CPieWedge {
        int group;
        int value;
        int endAngle;
        int middleAngle;
    };
    std::vector<CPieWedge> PieWedges(const CChartCategory& category, double total) const;

    void DrawTitle(CChartCanvas& dc, int clientWidth);
    void LayOutPlotRectangle();
    int DrawLegend(CChartCanvas& dc);
    void DetectQuadrant();
    void ShiftOrigin();
    void DrawAxes(CChartCanvas& dc);
    void DrawValueTicks(CChartCanvas& dc);
    void DrawCategoryLabels(CChartCanvas& dc);
    // 1, or the n of labelling every n-th category when their labels are wider than a slot.
    int LabelEvery(int slot) const;
    int LabelWidth(size_t category) const;
    void DrawBars(CChartCanvas& dc);
    void DrawNote(CChartCanvas& dc, const std::string& note, int centre, int slot, int barTop);
    std::string ValueText(int value) const;
    void DrawPie3D(CChartCanvas& dc);
    void DrawPieSide(CChartCanvas& dc, const CChartCategory& category, int cx, int cy, int r,
                     int depth, double total);
    std::vector<CPieLabel> DrawPieTop(CChartCanvas& dc, const CChartCategory& category, int x0,
                                      int cy, int r, double total, int labelW, int lineH);
    void PlacePieLabels(CChartCanvas& dc, std::vector<CPieLabel>& labels, int labelW, int lineH);

    int step = 10;
    std::vector<std::unique_ptr<CChartCategory>> categories;
    int graphType = 0;
    int drawHeight = 0;
    int drawWidth = 0;
    std::vector<std::unique_ptr<CChartColor>> colors;
    std::string valueAxisTitle;
    std::string categoryAxisTitle;
    int plotBottom = 0;
    int plotLeft = 0;
    int plotHeight = 0;
    int plotWidth = 0;
    int valueLabelFontSize = 12;
    int categoryLabelFontSize = 12;
    int legendFontSize = 12;
    int tickCount = 10;
    int minValue = 0;
    int maxValue = 100;
    int valueDecimals = 0;
    bool thinCrowdedLabels = false;
    int groupCount = 0;
    CChartLegend legend;
    bool legendShown = false;
    int legendInnerWidth = 0;
    int categoryLabelAngle = 0;
    int categoryAxisTitleLength = 0;
    int valueAxisTitleLength = 0;
    std::string title;
    int maxLegendLabelLength = 0;
    double depthRatio = 0.05;
    int quadrantMode = 1;
};

// The point of angle degrees on the rim of a pie of radius r centred at (ex, ey).  Angles start at
// the left end and run down through the bottom (90), the right end (180) and the top (270), which
// is counter-clockwise on the screen.
CChartPoint PiePointAtAngle(int angle, int ex, int ey, int r);
