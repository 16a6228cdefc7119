#include "support/RecordingChartCanvas.h"

#include <utility>

CRecordingChartCanvas::CRecordingChartCanvas(int width, int height)
    : m_width(width), m_height(height)
{
}

void CRecordingChartCanvas::SetMetricsRule(std::function<CChartFontMetrics(const CChartFont&)> rule)
{
    m_rule = std::move(rule);
}

void CRecordingChartCanvas::Rectangle(int left, int top, int right, int bottom,
                                      const CChartPen& pen, ChartColorRef fill)
{
    m_operations.push_back({EKind::Rectangle, {{left, top}, {right, bottom}}, pen, fill, {}, {}});
}

void CRecordingChartCanvas::Line(CChartPoint from, CChartPoint to, const CChartPen& pen)
{
    m_operations.push_back({EKind::Line, {from, to}, pen, kChartBlack, {}, {}});
}

void CRecordingChartCanvas::Polygon(const std::vector<CChartPoint>& points, const CChartPen& pen,
                                    ChartColorRef fill)
{
    m_operations.push_back({EKind::Polygon, points, pen, fill, {}, {}});
}

void CRecordingChartCanvas::Pie(int left, int top, int right, int bottom, CChartPoint start,
                                CChartPoint end, const CChartPen& pen, ChartColorRef fill)
{
    m_operations.push_back(
        {EKind::Pie, {{left, top}, {right, bottom}, start, end}, pen, fill, {}, {}});
}

void CRecordingChartCanvas::Text(int x, int y, const std::string& text, const CChartFont& font,
                                 ChartColorRef color)
{
    m_operations.push_back({EKind::Text, {{x, y}}, {}, color, text, font});
}

CChartFontMetrics CRecordingChartCanvas::GetFontMetrics(const CChartFont& font)
{
    if (m_rule) return m_rule(font);
    if (font.face.empty()) return m_currentFont;
    const int height = font.height > 0 ? font.height : 16;
    return {height, height / 2, height};
}

std::vector<CRecordingChartCanvas::COperation> CRecordingChartCanvas::OperationsOf(EKind kind) const
{
    std::vector<COperation> found;
    for (const COperation& operation : m_operations) {
        if (operation.kind == kind) found.push_back(operation);
    }
    return found;
}

std::vector<CRecordingChartCanvas::COperation> CRecordingChartCanvas::TextsEqualTo(
    const std::string& text) const
{
    std::vector<COperation> found;
    for (const COperation& operation : m_operations) {
        if (operation.kind == EKind::Text && operation.text == text) found.push_back(operation);
    }
    return found;
}

void CRecordingChartCanvas::Clear()
{
    m_operations.clear();
    m_messages.clear();
}
