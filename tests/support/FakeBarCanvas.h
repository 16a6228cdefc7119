#pragma once

#include <string>
#include <vector>

#include "navbar/BarCanvas.h"

// Text metrics with fixed cell sizes: every character 6 pixels wide, lines 13 pixels high, and
// wrapping at spaces.
class CFakeTextMetrics : public CBarTextMetrics {
public:
    static constexpr int kCharWidth = 6;
    static constexpr int kLineHeight = 13;

    BarSize SingleLineSize(const std::string& text) const override
    {
        return {static_cast<int>(text.size()) * kCharWidth, kLineHeight};
    }

    BarSize WrappedSize(const std::string& text, int width) const override
    {
        int widest = 0;
        int lines = 0;
        int current = 0;
        size_t pos = 0;
        while (pos <= text.size()) {
            size_t space = text.find(' ', pos);
            if (space == std::string::npos) space = text.size();
            const int word = static_cast<int>(space - pos) * kCharWidth;
            if (current == 0) {
                current = word;
                ++lines;
            } else if (current + kCharWidth + word <= width) {
                current += kCharWidth + word;
            } else {
                widest = std::max(widest, current);
                current = word;
                ++lines;
            }
            pos = space + 1;
        }
        widest = std::max(widest, current);
        return {widest, lines * kLineHeight};
    }
};

class CFakeImageList : public CBarImageList {
public:
    CFakeImageList(int side, int count) : m_side(side), m_count(count) {}
    int ImageCount() const override { return m_count; }
    BarSize ImageSize() const override { return {m_side, m_side}; }

private:
    int m_side;
    int m_count;
};

// Records what is drawn, one entry per call.
struct DrawCall {
    std::string what;  // "fill", "line", "text", "image", "arrow", "clip", "noclip"
    BarRect rect;  // fill, text box, clip, arrow; for a line: from (left, top) to (right, bottom)
    BarColor color = 0;
    std::string text;
    int index = -1;     // image index; arrow: 1 up, 0 down
    bool flag = false;  // arrow pushed
};

class CRecordingCanvas : public CBarCanvas {
public:
    void FillRect(const BarRect& rect, BarColor color) override
    {
        calls.push_back({"fill", rect, color, {}, -1, false});
    }
    void Line(BarPoint from, BarPoint to, BarColor color) override
    {
        calls.push_back({"line", {from.x, from.y, to.x, to.y}, color, {}, -1, false});
    }
    void Text(const BarRect& box, const std::string& text, BarColor color,
              BarTextLayout layout) override
    {
        calls.push_back({"text", box, color, text, static_cast<int>(layout), false});
    }
    void Image(const CBarImageList&, int index, BarPoint topLeft) override
    {
        calls.push_back(
            {"image", {topLeft.x, topLeft.y, topLeft.x, topLeft.y}, 0, {}, index, false});
    }
    void ScrollArrow(const BarRect& rect, bool up, bool pushed) override
    {
        calls.push_back({"arrow", rect, 0, {}, up ? 1 : 0, pushed});
    }
    void SetClip(const BarRect& rect) override
    {
        calls.push_back({"clip", rect, 0, {}, -1, false});
    }
    void ResetClip() override { calls.push_back({"noclip", {}, 0, {}, -1, false}); }

    std::vector<DrawCall> Of(const std::string& what) const
    {
        std::vector<DrawCall> out;
        for (const DrawCall& call : calls) {
            if (call.what == what) out.push_back(call);
        }
        return out;
    }

    std::vector<DrawCall> calls;
};
