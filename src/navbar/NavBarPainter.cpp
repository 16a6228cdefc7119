#include "navbar/NavBarPainter.h"

void CNavBarPainter::PaintBar(const BarPaintState& state)
{
    const BarColors& colors = m_model.Colors();
    const BarRect area = m_model.ItemAreaRect();
    m_canvas.FillRect(area, colors.background);
    for (int f = 0; f < m_model.FolderCount(); ++f) {
        BarRect r;
        if (m_model.FolderButtonRect(f, r)) DrawFolderButton(f, r, f == state.pressedFolder);
    }
    const int s = m_model.SelectedFolder();
    DrawItemArea(s, area);
    // The arrows lie over the items, so they are drawn last.
    if (m_model.UpArrowShown()) m_canvas.ScrollArrow(m_model.UpArrowRect(), true, state.upPressed);
    if (m_model.DownArrowShown())
        m_canvas.ScrollArrow(m_model.DownArrowRect(), false, state.downPressed);

    BarRect hot;
    if (state.hotFolder != state.pressedFolder && m_model.FolderButtonRect(state.hotFolder, hot))
        DrawFolderHoverEdge(hot, true);
    if (m_model.IsValidItem(s, state.hotItem)) {
        m_canvas.SetClip(area);
        DrawItemFrame(s, state.hotItem, state.hotItemPressed);
        m_canvas.ResetClip();
    }
    if (state.dropPosition >= 0) {
        int kind = 0;
        const BarRect marker = m_model.DropMarkerRect(state.dropPosition, &kind);
        DrawDropMarker(marker, kind);
    }
}

void CNavBarPainter::DrawFolderButton(int folder, const BarRect& rect, bool pressed)
{
    const BarColors& c = m_model.Colors();
    BarRect r = rect;
    m_canvas.Line({r.left + (pressed ? 1 : 0), r.top}, {r.right, r.top}, c.background);
    r.top += 1;
    if (pressed) {
        Draw3dRect(m_canvas, r, c.darkEdge, c.highlightEdge);
        r = r.Inflated(-1, -1);
        Draw3dRect(m_canvas, r, c.background, c.buttonFace);
    } else {
        Draw3dRect(m_canvas, r, c.highlightEdge, c.background);
    }
    r = r.Inflated(-1, -1);
    m_canvas.FillRect(r, c.buttonFace);
    m_canvas.Text(r, m_model.FolderName(folder), c.folderText, BarTextSingleCentered);
}

void CNavBarPainter::DrawItemArea(int folder, const BarRect& area)
{
    m_canvas.SetClip(area);
    const BarItemRange range = m_model.VisibleItemRange(folder);
    const int count = m_model.ItemCount(folder);
    for (int k = range.first; k < count; ++k) {
        const BarRect bounds = m_model.ItemBoundsRect(folder, k);
        if (bounds.top > area.bottom) break;
        DrawBarItem(folder, k, bounds);
    }
    m_canvas.ResetClip();
}

void CNavBarPainter::DrawBarItem(int folder, int item, const BarRect& bounds)
{
    const CBarImageList* list = m_model.ImageListOfView();
    const BarItem* barItem = m_model.Item(folder, item);
    if (list == nullptr || barItem == nullptr) return;
    const BarColors& c = m_model.Colors();
    const BarSize icon = m_model.MeasureBarItem(folder, item, BarPartIcon);
    if (m_model.UsesSmallIcons()) {
        if (barItem->image >= 0)
            m_canvas.Image(*list, barItem->image,
                           {bounds.left + 2, bounds.top + (bounds.Height() - icon.cy) / 2});
        const BarRect box{bounds.left + icon.cx + CNavBarModel::kSmallIconLabelGap, bounds.top,
                          bounds.right, bounds.bottom};
        m_canvas.Text(box, barItem->label, c.itemText, BarTextSingleLeft);
    } else {
        if (barItem->image >= 0)
            m_canvas.Image(*list, barItem->image,
                           {bounds.left + (bounds.Width() - icon.cx) / 2, bounds.top});
        const BarRect box{bounds.left, bounds.top + icon.cy + CNavBarModel::kLargeIconLabelGap,
                          bounds.right, bounds.bottom};
        m_canvas.Text(box, barItem->label, c.itemText, BarTextWrapCentered);
    }
    if (m_model.HasFlag(BarFrameSelection) && item == m_model.LastClickedItem() &&
        folder == m_model.SelectedFolder()) {
        Draw3dRect(m_canvas, m_model.ItemIconRect(folder, item).Inflated(1, 1), c.darkEdge,
                   c.buttonFace);
    }
}

void CNavBarPainter::DrawFolderHoverEdge(const BarRect& r, bool hover)
{
    const BarColors& c = m_model.Colors();
    const BarColor outer = hover ? c.darkEdge : c.background;
    const BarColor inner = hover ? c.background : c.buttonFace;
    m_canvas.Line({r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, outer);
    m_canvas.Line({r.right - 1, r.bottom - 1}, {r.right - 1, r.top}, outer);
    m_canvas.Line({r.left + 1, r.bottom - 2}, {r.right - 2, r.bottom - 2}, inner);
    m_canvas.Line({r.right - 2, r.bottom - 2}, {r.right - 2, r.top + 1}, inner);
}

void CNavBarPainter::DrawItemFrame(int folder, int item, bool pressed)
{
    const BarColors& c = m_model.Colors();
    const BarRect r = m_model.ItemIconRect(folder, item).Inflated(1, 1);
    if (pressed)
        Draw3dRect(m_canvas, r, c.darkEdge, c.buttonFace);
    else
        Draw3dRect(m_canvas, r, c.buttonFace, c.darkEdge);
}

void CNavBarPainter::DrawDropMarker(const BarRect& r, int kind)
{
    const BarColor pen = m_model.Colors().dropMarker;
    m_canvas.Line({r.left, r.top}, {r.right, r.top}, pen);
    if (kind != 2) {
        for (int i = 0; i < 4; ++i)
            m_canvas.Line({r.left, r.top + 1 + i}, {r.left + 7 - 2 * i, r.top + 1 + i}, pen);
        for (int i = 0; i < 3; ++i)
            m_canvas.Line({r.right - 1, r.top + 1 + i}, {r.right - 7 + 2 * i, r.top + 1 + i}, pen);
    }
    if (kind != 0) {
        for (int i = 0; i < 4; ++i) {
            m_canvas.Line({r.left, r.top - 1 - i}, {r.left + 7 - 2 * i, r.top - 1 - i}, pen);
            m_canvas.Line({r.right - 1, r.top - 1 - i}, {r.right - 7 + 2 * i, r.top - 1 - i}, pen);
        }
    }
}

std::vector<BarSlideFrame> ComputeSlideFrames(const CNavBarModel& model, int from, int to)
{
    std::vector<BarSlideFrame> frames;
    BarRect f;
    BarRect t;
    if (from == to || !model.FolderButtonRect(from, f) || !model.FolderButtonRect(to, t))
        return frames;
    const int h = CNavBarModel::kFolderButtonHeight;
    const BarRect area = model.ItemAreaRect();
    if (to > from) {
        // The new button rises from its place at the bottom, its panel under it; the old panel
        // shrinks above it.
        for (int y = t.top - h; y > f.bottom; y -= h) {
            BarSlideFrame frame;
            frame.bands[0] = {0, h, f.bottom + 1, y};
            frame.bands[1] = {1, 0, y, area.bottom + h};
            frames.push_back(frame);
        }
    } else {
        // The old button sinks with its panel and uncovers the new panel above it.
        for (int y = f.top + 1; y < area.bottom - h; y += h) {
            BarSlideFrame frame;
            frame.bands[0] = {1, h, f.top, y};
            frame.bands[1] = {0, 0, y, area.bottom};
            frames.push_back(frame);
        }
    }
    return frames;
}
