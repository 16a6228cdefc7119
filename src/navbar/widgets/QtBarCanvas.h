#pragma once

#include <QFont>
#include <QPixmap>
#include <QRegion>
#include <QSize>
#include <vector>

#include "navbar/BarCanvas.h"
#include "navbar/NavBarModel.h"

class QPainter;

// The font the bar draws folder names and labels with (the desktop's default GUI font).
QFont BarGuiFont();

QColor QColorFromBar(BarColor color);
QRect QRectFromBar(const BarRect& rect);
BarRect BarRectFromQ(const QRect& rect);

// A list of icons of one size; the caller owns it and keeps it alive while a bar uses it.
class CNavBarImageList : public CBarImageList {
public:
    explicit CNavBarImageList(QSize size) : m_size(size) {}

    // Adds the picture, scaled to the list's size (in logical pixels) when it differs, keeping
    // its device pixel ratio; returns its index.
    int Add(const QPixmap& pixmap);
    const QPixmap& Pixmap(int index) const { return m_pixmaps[static_cast<size_t>(index)]; }
    int ImageCount() const override { return static_cast<int>(m_pixmaps.size()); }
    BarSize ImageSize() const override { return {m_size.width(), m_size.height()}; }

private:
    QSize m_size;
    std::vector<QPixmap> m_pixmaps;
};

class CQtBarTextMetrics : public CBarTextMetrics {
public:
    explicit CQtBarTextMetrics(const QFont& font) : m_font(font) {}
    BarSize SingleLineSize(const std::string& text) const override;
    BarSize WrappedSize(const std::string& text, int width) const override;

private:
    QFont m_font;
};

// Draws the bar's primitives with a QPainter, keeping the pixel rules of the classic drawing
// calls (lines exclude their end point, rectangles their right and bottom edges).
class CQtBarCanvas : public CBarCanvas {
public:
    CQtBarCanvas(QPainter& painter, const BarColors& colors);

    void FillRect(const BarRect& rect, BarColor color) override;
    void Line(BarPoint from, BarPoint to, BarColor color) override;
    void Text(const BarRect& box, const std::string& text, BarColor color,
              BarTextLayout layout) override;
    void Image(const CBarImageList& list, int index, BarPoint topLeft) override;
    void ScrollArrow(const BarRect& rect, bool up, bool pushed) override;
    void SetClip(const BarRect& rect) override;
    void ResetClip() override;

private:
    QPainter& m_painter;
    const BarColors& m_colors;
    bool m_hadClip = false;
    QRegion m_baseClip;
};
