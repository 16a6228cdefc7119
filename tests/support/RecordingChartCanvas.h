#pragma once

#include <functional>
#include <string>
#include <vector>

#include "charts/ChartCanvas.h"

// A canvas that draws nothing and keeps every call, so that layouts can be checked to the unit.
// Font metrics follow a simple rule (or one the caller installs): the average character is half
// the cell height wide and the widest character as wide as the cell is high.
class CRecordingChartCanvas final : public CChartCanvas {
public:
    enum class EKind { Rectangle, Line, Polygon, Pie, Text };

    struct COperation {
        EKind kind = EKind::Rectangle;
        std::vector<CChartPoint> points;  // rectangle and pie box: top-left, bottom-right;
                                          // pie: then start and end; line: from, to
        CChartPen pen;
        ChartColorRef fill = kChartBlack;  // text: its colour
        std::string text;
        CChartFont font;
    };

    CRecordingChartCanvas(int width, int height);

    void SetCurrentFontMetrics(const CChartFontMetrics& metrics) { m_currentFont = metrics; }
    void SetMetricsRule(std::function<CChartFontMetrics(const CChartFont&)> rule);

    int GetClientWidth() const override { return m_width; }
    int GetClientHeight() const override { return m_height; }
    void Rectangle(int left, int top, int right, int bottom, const CChartPen& pen,
                   ChartColorRef fill) override;
    void Line(CChartPoint from, CChartPoint to, const CChartPen& pen) override;
    void Polygon(const std::vector<CChartPoint>& points, const CChartPen& pen,
                 ChartColorRef fill) override;
    void Pie(int left, int top, int right, int bottom, CChartPoint start, CChartPoint end,
             const CChartPen& pen, ChartColorRef fill) override;
    void Text(int x, int y, const std::string& text, const CChartFont& font,
              ChartColorRef color) override;
    CChartFontMetrics GetFontMetrics(const CChartFont& font) override;
    void ReportMessage(const std::string& text) override { m_messages.push_back(text); }

    const std::vector<COperation>& Operations() const { return m_operations; }
    std::vector<COperation> OperationsOf(EKind kind) const;
    // The text operations showing exactly text, in drawing order.
    std::vector<COperation> TextsEqualTo(const std::string& text) const;
    const std::vector<std::string>& Messages() const { return m_messages; }
    void Clear();

private:
    int m_width;
    int m_height;
    CChartFontMetrics m_currentFont{16, 8, 16};
    std::function<CChartFontMetrics(const CChartFont&)> m_rule;
    std::vector<COperation> m_operations;
    std::vector<std::string> m_messages;
};
