#include "navbar/NavBarModel.h"

#include <algorithm>

CNavBarModel::CNavBarModel(const CBarTextMetrics* metrics) : m_metrics(metrics) {}

int CNavBarModel::AppendFolder(const std::string& name, long value)
{
    ++m_generation;
    auto folder = std::make_unique<BarFolder>();
    folder->name = name;
    folder->value = value;
    m_folders.push_back(std::move(folder));
    return FolderCount() - 1;
}

int CNavBarModel::InsertFolderItem(int folder, int index, const std::string& label, int image,
                                   long value)
{
    ++m_generation;
    BarFolder* target = MutableFolder(folder);
    if (target == nullptr) return -1;
    auto item = std::make_unique<BarItem>();
    item->image = image;
    item->label = label;
    item->value = value;
    const int count = static_cast<int>(target->items.size());
    if (index < 0 || index > count) index = count;
    target->items.insert(target->items.begin() + index, std::move(item));
    return index;
}

const CBarImageList* CNavBarModel::AttachImageList(const CBarImageList* list, int kind)
{
    ++m_generation;
    const CBarImageList* previous = nullptr;
    if (kind == 1) {
        previous = m_smallImages;
        m_smallImages = list;
    } else if (kind == 2) {
        previous = m_largeImages;
        m_largeImages = list;
    }
    return previous;
}

const CBarImageList* CNavBarModel::ImageListOfView() const
{
    return UsesSmallIcons() ? m_smallImages : m_largeImages;
}

int CNavBarModel::ItemCount(int folder) const
{
    const BarFolder* f = Folder(folder);
    return f == nullptr ? 0 : static_cast<int>(f->items.size());
}

const BarFolder* CNavBarModel::Folder(int folder) const
{
    return IsValidFolder(folder) ? m_folders[static_cast<size_t>(folder)].get() : nullptr;
}

BarFolder* CNavBarModel::MutableFolder(int folder)
{
    return IsValidFolder(folder) ? m_folders[static_cast<size_t>(folder)].get() : nullptr;
}

const BarItem* CNavBarModel::Item(int folder, int item) const
{
    if (!IsValidItem(folder, item)) return nullptr;
    return Folder(folder)->items[static_cast<size_t>(item)].get();
}

std::string CNavBarModel::FolderName(int folder) const
{
    const BarFolder* f = Folder(folder);
    return f == nullptr ? std::string() : f->name;
}

void CNavBarModel::SetFolderName(int folder, const std::string& name)
{
    if (BarFolder* f = MutableFolder(folder)) f->name = name;
}

std::string CNavBarModel::ItemLabel(int item) const
{
    const BarItem* i = Item(m_selectedFolder, item);
    return i == nullptr ? std::string() : i->label;
}

void CNavBarModel::SetItemLabel(int item, const std::string& label)
{
    ++m_generation;
    if (!IsValidItem(m_selectedFolder, item)) return;
    MutableFolder(m_selectedFolder)->items[static_cast<size_t>(item)]->label = label;
}

void CNavBarModel::DeleteFolder(int folder)
{
    ++m_generation;
    if (!IsValidFolder(folder)) return;
    const bool openFolderGone = folder == m_selectedFolder;
    m_folders.erase(m_folders.begin() + folder);
    if (m_selectedFolder >= folder) --m_selectedFolder;
    if (m_selectedFolder < 0 && !m_folders.empty()) m_selectedFolder = 0;
    if (openFolderGone) {
        // The scroll position and the clicked item belonged to the folder that is gone.
        m_firstVisible = 0;
        m_lastClicked = -1;
    }
}

bool CNavBarModel::DeleteItem(int item)
{
    ++m_generation;
    if (!IsValidItem(m_selectedFolder, item)) return false;
    auto& items = MutableFolder(m_selectedFolder)->items;
    items.erase(items.begin() + item);
    // The selection frame stays with the item that was clicked, not with its old index.
    if (m_lastClicked == item)
        m_lastClicked = -1;
    else if (m_lastClicked > item)
        --m_lastClicked;
    // A scroll position past the new end would show an empty area with no way back but the
    // up arrow; keep the last item reachable.
    const int count = static_cast<int>(items.size());
    if (m_firstVisible > 0 && m_firstVisible >= count) m_firstVisible = std::max(0, count - 1);
    return true;
}

bool CNavBarModel::UseSmallIcons(bool on)
{
    ++m_generation;
    m_firstVisible = 0;
    if (on == UsesSmallIcons()) return false;
    if (on)
        m_flags |= BarSmallIcons;
    else
        m_flags &= ~static_cast<std::uint32_t>(BarSmallIcons);
    return true;
}

void CNavBarModel::SetSelectedFolder(int folder)
{
    m_selectedFolder = folder;
    m_firstVisible = 0;
    m_lastClicked = -1;
}

// ---- layout ---------------------------------------------------------------------------------

namespace {
// The folder whose button closes the top stack.  A selection naming no folder (the state right
// after construction) lays the buttons out as if the nearest folder were open.
int LayoutFolder(int selected, int count)
{
    if (count == 0) return 0;
    return std::clamp(selected, 0, count - 1);
}
}  // namespace

bool CNavBarModel::FolderButtonRect(int folder, BarRect& rect) const
{
    if (!IsValidFolder(folder)) return false;
    const int h = kFolderButtonHeight;
    const int n = FolderCount();
    const int s = LayoutFolder(m_selectedFolder, n);
    rect.left = m_client.left;
    rect.right = m_client.right;
    if (folder <= s) {
        rect.top = m_client.top + folder * h - 1;
        rect.bottom = m_client.top + (folder + 1) * h - 1;
    } else {
        rect.top = m_client.bottom - h * (n - folder);
        rect.bottom = m_client.bottom - h * (n - folder - 1);
    }
    return true;
}

BarRect CNavBarModel::ItemAreaRect() const
{
    BarRect area = m_client;
    const int n = FolderCount();
    if (n == 0) return area;
    const int h = kFolderButtonHeight;
    const int s = LayoutFolder(m_selectedFolder, n);
    area.top += (s + 1) * h - 1;
    area.bottom -= (n - s - 1) * h;
    return area;
}

BarSize CNavBarModel::MeasureBarItem(int folder, int item, int part) const
{
    if (!IsValidItem(folder, item)) return {};
    const MeasureCache& cache = Measured(folder);
    const auto k = static_cast<size_t>(item);
    switch (part) {
        case BarPartIcon:
            return cache.icon[k];
        case BarPartLabel:
            return cache.label[k];
        default:
            return cache.whole[k];
    }
}

const CNavBarModel::MeasureCache& CNavBarModel::Measured(int folder) const
{
    const int width = ItemAreaRect().Width();
    const bool small = UsesSmallIcons();
    if (m_cache.generation == m_generation && m_cache.folder == folder && m_cache.width == width &&
        m_cache.small == small)
        return m_cache;
    m_cache.generation = m_generation;
    m_cache.folder = folder;
    m_cache.width = width;
    m_cache.small = small;
    const int count = ItemCount(folder);
    m_cache.icon.assign(static_cast<size_t>(count), {});
    m_cache.label.assign(static_cast<size_t>(count), {});
    m_cache.whole.assign(static_cast<size_t>(count), {});
    m_cache.offsets.assign(static_cast<size_t>(count) + 1, 0);
    for (int k = 0; k < count; ++k) {
        const auto i = static_cast<size_t>(k);
        MeasureUncached(folder, k, m_cache.icon[i], m_cache.label[i], m_cache.whole[i]);
        m_cache.offsets[i + 1] = m_cache.offsets[i] + m_cache.whole[i].cy + ItemSpacing();
    }
    return m_cache;
}

void CNavBarModel::MeasureUncached(int folder, int item, BarSize& icon, BarSize& label,
                                   BarSize& whole) const
{
    icon = label = whole = {};
    const BarItem* barItem = Item(folder, item);
    if (barItem == nullptr) return;
    const bool small = UsesSmallIcons();
    const CBarImageList* list = ImageListOfView();
    if (barItem->image >= 0 && list != nullptr) icon = list->ImageSize();
    if (!barItem->label.empty() && m_metrics != nullptr) {
        label = small ? m_metrics->SingleLineSize(barItem->label)
                      : m_metrics->WrappedSize(barItem->label, ItemAreaRect().Width());
    }
    if (small)
        whole = {label.cx + kSmallIconLabelGap + icon.cx, std::max(label.cy, icon.cy)};
    else
        whole = {std::max(label.cx, icon.cx),
                 kLargeItemSpacing + kLargeIconLabelGap + label.cy + icon.cy};
}

int CNavBarModel::ItemSpacing() const
{
    return UsesSmallIcons() ? kSmallItemSpacing : kLargeItemSpacing;
}

int CNavBarModel::StackedTop(int folder, int item) const
{
    const std::vector<int>& offsets = Measured(folder).offsets;
    const int count = static_cast<int>(offsets.size()) - 1;
    const int top = ItemAreaRect().top;
    if (item <= count) return top + offsets[static_cast<size_t>(std::max(item, 0))];
    // Past the end only the spacing of the missing items counts.
    return top + offsets.back() + (item - count) * ItemSpacing();
}

int CNavBarModel::ScrollOffset(int folder) const
{
    // Only the open folder scrolls; any other folder is drawn from its first item.
    if (folder != m_selectedFolder || m_firstVisible <= 0) return 0;
    return StackedTop(folder, m_firstVisible) - ItemAreaRect().top;
}

BarRect CNavBarModel::ItemBoundsRect(int folder, int item) const
{
    const BarRect area = ItemAreaRect();
    const BarSize size = MeasureBarItem(folder, item, BarPartWhole);
    BarRect r;
    r.left = area.left + kLeftMargin;
    r.top = StackedTop(folder, item) + kTopMargin - ScrollOffset(folder);
    r.right = r.left + size.cx;
    r.bottom = r.top + size.cy;
    if (!UsesSmallIcons()) {
        r.left = area.left;
        r.right = area.right;
    }
    return r;
}

BarRect CNavBarModel::ItemIconRect(int folder, int item) const
{
    const BarRect area = ItemAreaRect();
    const BarRect bounds = ItemBoundsRect(folder, item);
    const BarSize icon = MeasureBarItem(folder, item, BarPartIcon);
    BarRect r;
    r.top = bounds.top;
    if (UsesSmallIcons()) {
        r.left = area.left + kLeftMargin + 2;
        r.bottom = r.top + icon.cy;
    } else {
        r.left = area.left + (area.Width() - icon.cx) / 2;
        r.bottom = r.top + icon.cy + 1;
    }
    r.right = r.left + icon.cx;
    return r;
}

BarRect CNavBarModel::ItemLabelRect(int folder, int item) const
{
    const BarRect area = ItemAreaRect();
    const BarRect bounds = ItemBoundsRect(folder, item);
    const BarSize whole = MeasureBarItem(folder, item, BarPartWhole);
    BarRect r;
    if (UsesSmallIcons()) {
        r.left = area.left + kLeftMargin + 2;
        r.top = bounds.top + 5;
        r.right = r.left + whole.cx;
        r.bottom = r.top + whole.cy;
    } else {
        const BarSize icon = MeasureBarItem(folder, item, BarPartIcon);
        const BarSize label = MeasureBarItem(folder, item, BarPartLabel);
        r.left = area.left + (area.Width() - whole.cx) / 2;
        r.right = r.left + whole.cx;
        r.top = bounds.top + icon.cy + 4;
        r.bottom = r.top + label.cy;
    }
    return r;
}

BarItemRange CNavBarModel::VisibleItemRange(int folder) const
{
    BarItemRange range;
    range.first = folder == m_selectedFolder ? m_firstVisible : 0;
    range.last = range.first - 1;
    const int bottom = ItemAreaRect().bottom;
    const int count = ItemCount(folder);
    for (int k = range.first; k < count; ++k) {
        if (ItemBoundsRect(folder, k).bottom > bottom) break;
        range.last = k;
    }
    return range;
}

BarRect CNavBarModel::DropMarkerRect(int position, int* kind) const
{
    BarRect area = ItemAreaRect();
    area.left += 2;
    area.right -= 2;
    const int s = m_selectedFolder;
    const int count = ItemCount(s);
    int markerKind = 2;
    BarRect marker;
    if (count == 0) {
        // An empty folder has no item to place the marker against: mark its top.
        const int y = area.top + kTopMargin;
        marker = {area.left, y, area.right, y + 5};
    } else if (position >= count) {
        const int y = ItemBoundsRect(s, count - 1).bottom + 6;
        marker = {area.left, y, area.right, y + 5};
        markerKind = position > 0 ? 2 : 0;
    } else {
        const int y = ItemBoundsRect(s, std::max(position, 0)).top - 4;
        if (position <= 0) {
            markerKind = 0;
            marker = {area.left, y + 2, area.right, y + 7};
        } else {
            markerKind = 1;
            marker = {area.left, y - 9, area.right, y};
            if (UsesSmallIcons()) marker = marker.Offset(0, 8);
        }
    }
    if (kind != nullptr) *kind = markerKind;
    return marker;
}

BarRect CNavBarModel::DropMarkerExtent(const BarRect& rect)
{
    // Arrow heads reach four rows above and below the line at the rectangle's top.
    return {rect.left, rect.top - 4, rect.right, rect.top + 5};
}

BarRect CNavBarModel::FolderRenameRect(int folder) const
{
    BarRect r;
    if (!FolderButtonRect(folder, r)) return {};
    return r.Inflated(-2, -2);
}

BarRect CNavBarModel::ItemRenameRect(int item) const
{
    const int s = m_selectedFolder;
    BarRect r = ItemLabelRect(s, item);
    if (UsesSmallIcons()) {
        r = r.Offset(ItemIconRect(s, item).Width() + 1, -6);
    } else {
        const BarRect area = ItemAreaRect();
        r.left = area.left + 5;
        r.right = area.right - 5;
        r.bottom += 5;
    }
    return r;
}

// ---- scrolling ------------------------------------------------------------------------------

void CNavBarModel::PlaceArrows(int side)
{
    const BarRect area = ItemAreaRect();
    const int left = area.right - side - 5;
    m_upRect = {left, area.top + 5, left + side, area.top + 5 + side};
    m_downRect = {left, area.bottom - side - 5, left + side, area.bottom - 5};
    const BarItemRange range = VisibleItemRange(m_selectedFolder);
    m_upShown = range.first > 0;
    m_downShown = range.last < ItemCountOfSelected() - 1;
}

bool CNavBarModel::CanScrollDown() const
{
    const int count = ItemCountOfSelected();
    if (count == 0) return false;
    return ItemBoundsRect(m_selectedFolder, count - 1).bottom > ItemAreaRect().bottom;
}

bool CNavBarModel::ScrollUp()
{
    if (!CanScrollUp()) return false;
    --m_firstVisible;
    return true;
}

bool CNavBarModel::ScrollDown()
{
    // Never scroll the last item out of the first visible place, even if it alone is too tall.
    if (!CanScrollDown() || m_firstVisible >= ItemCountOfSelected() - 1) return false;
    ++m_firstVisible;
    return true;
}

// ---- hit-testing and moving -----------------------------------------------------------------

BarHit CNavBarModel::HitTestBar(BarPoint point) const
{
    if (m_upShown && m_upRect.Contains(point)) return {BarHitUpArrow, -1};
    if (m_downShown && m_downRect.Contains(point)) return {BarHitDownArrow, -1};
    for (int f = 0; f < FolderCount(); ++f) {
        BarRect r;
        if (FolderButtonRect(f, r) && r.Contains(point)) return {BarHitFolder, f};
    }
    const int s = m_selectedFolder;
    const int count = ItemCount(s);
    const int bottom = ItemAreaRect().bottom;
    const int kLabelGrow = kLargeIconLabelGap;
    for (int k = std::max(m_firstVisible, 0); k < count; ++k) {
        if (UsesSmallIcons()) {
            const BarRect bounds = ItemBoundsRect(s, k);
            if (bounds.top > bottom) break;
            if (bounds.Contains(point)) return {BarHitItem, k};
        } else {
            const BarRect icon = ItemIconRect(s, k);
            if (icon.top > bottom) break;
            if (icon.Contains(point)) return {BarHitItem, k};
            BarRect label = ItemLabelRect(s, k);
            label.top -= kLabelGrow;
            if (label.Contains(point)) return {BarHitItem, k};
        }
    }
    return {};
}

bool CNavBarModel::IsInDropBand(BarPoint point) const
{
    const int count = ItemCountOfSelected();
    if (count == 0) return false;
    return point.y > ItemBoundsRect(m_selectedFolder, count - 1).bottom &&
           point.y < ItemAreaRect().bottom;
}

bool CNavBarModel::MoveItem(int from, int onto)
{
    ++m_generation;
    const int s = m_selectedFolder;
    if (!IsValidItem(s, from) || !IsValidItem(s, onto) || from == onto) return false;
    auto& items = MutableFolder(s)->items;
    std::unique_ptr<BarItem> moved = std::move(items[static_cast<size_t>(from)]);
    items.erase(items.begin() + from);
    if (from < onto) --onto;
    items.insert(items.begin() + onto, std::move(moved));
    FollowMovedItem(from, onto);
    return true;
}

bool CNavBarModel::MoveItemToEnd(int from)
{
    ++m_generation;
    const int s = m_selectedFolder;
    if (!IsValidItem(s, from)) return false;
    auto& items = MutableFolder(s)->items;
    std::unique_ptr<BarItem> moved = std::move(items[static_cast<size_t>(from)]);
    items.erase(items.begin() + from);
    items.push_back(std::move(moved));
    FollowMovedItem(from, static_cast<int>(items.size()) - 1);
    return true;
}

void CNavBarModel::FollowMovedItem(int from, int to)
{
    if (m_lastClicked < 0) return;
    if (m_lastClicked == from)
        m_lastClicked = to;
    else if (from < m_lastClicked && m_lastClicked <= to)
        --m_lastClicked;
    else if (to <= m_lastClicked && m_lastClicked < from)
        ++m_lastClicked;
}
