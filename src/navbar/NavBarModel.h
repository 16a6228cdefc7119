#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "navbar/BarCanvas.h"
#include "navbar/BarTypes.h"

// The colours of the bar, defaulting to the classic desktop scheme.
struct BarColors {
    BarColor background = BarRGB(58, 110, 165);  // item area, separating lines, outer dark edges
    BarColor itemText = BarRGB(255, 255, 255);   // item labels
    BarColor buttonFace = BarRGB(212, 208, 200);
    BarColor highlightEdge = BarRGB(255, 255, 255);
    BarColor darkEdge = BarRGB(64, 64, 64);
    BarColor folderText = BarRGB(0, 0, 0);
    BarColor dropMarker = BarRGB(0, 0, 0);
};

struct BarItemRange {
    int first = 0;
    int last = -1;
    bool operator==(const BarItemRange&) const = default;
};

// Folders, items, flags and every rectangle of the navigation bar, free of any window system so
// the geometry can be checked exactly.  All rectangles are in client coordinates of the client
// rectangle given with SetClientRect.
class CNavBarModel {
public:
    static constexpr int kFolderButtonHeight = 22;
    static constexpr int kSmallIconLabelGap = 4;
    static constexpr int kLargeIconLabelGap = 3;
    static constexpr int kSmallItemSpacing = 10;
    static constexpr int kLargeItemSpacing = 8;
    static constexpr int kLeftMargin = 5;
    static constexpr int kTopMargin = 5;
    static constexpr std::uint32_t kInitialFlags = 0x3FC;

    explicit CNavBarModel(const CBarTextMetrics* metrics = nullptr);

    void SetTextMetrics(const CBarTextMetrics* metrics)
    {
        m_metrics = metrics;
        ++m_generation;
    }
    void SetClientRect(const BarRect& rect) { m_client = rect; }
    const BarRect& ClientRect() const { return m_client; }

    std::uint32_t Flags() const { return m_flags; }
    void SetFlags(std::uint32_t flags) { m_flags = flags; }
    bool HasFlag(std::uint32_t flag) const { return (m_flags & flag) != 0; }

    BarColors& Colors() { return m_colors; }
    const BarColors& Colors() const { return m_colors; }

    // Content.
    int AppendFolder(const std::string& name, long value);
    int InsertFolderItem(int folder, int index, const std::string& label, int image, long value);
    // kind 1: small-view list, kind 2: large-view list; returns the list attached before.
    const CBarImageList* AttachImageList(const CBarImageList* list, int kind);
    const CBarImageList* SmallImageList() const { return m_smallImages; }
    const CBarImageList* LargeImageList() const { return m_largeImages; }
    const CBarImageList* ImageListOfView() const;

    int FolderCount() const { return static_cast<int>(m_folders.size()); }
    int ItemCount(int folder) const;
    int ItemCountOfSelected() const { return ItemCount(m_selectedFolder); }
    bool IsValidFolder(int folder) const { return folder >= 0 && folder < FolderCount(); }
    bool IsValidItem(int folder, int item) const { return item >= 0 && item < ItemCount(folder); }
    const BarFolder* Folder(int folder) const;
    const BarItem* Item(int folder, int item) const;
    std::string FolderName(int folder) const;
    void SetFolderName(int folder, const std::string& name);
    std::string ItemLabel(int item) const;  // of the selected folder
    void SetItemLabel(int item, const std::string& label);

    void DeleteFolder(int folder);
    bool DeleteItem(int item);  // of the selected folder
    // Returns whether the view changed; the scroll position is reset either way.
    bool UseSmallIcons(bool on);
    bool UsesSmallIcons() const { return HasFlag(BarSmallIcons); }

    // The state change of selecting a folder (no animation, no notification).
    void SetSelectedFolder(int folder);
    int SelectedFolder() const { return m_selectedFolder; }
    int FirstVisibleItem() const { return m_firstVisible; }
    void SetFirstVisibleItem(int item) { m_firstVisible = item; }
    int LastClickedItem() const { return m_lastClicked; }
    void SetLastClickedItem(int item) { m_lastClicked = item; }

    // Layout.
    bool FolderButtonRect(int folder, BarRect& rect) const;
    BarRect ItemAreaRect() const;
    BarSize MeasureBarItem(int folder, int item, int part) const;
    BarRect ItemBoundsRect(int folder, int item) const;
    BarRect ItemIconRect(int folder, int item) const;
    BarRect ItemLabelRect(int folder, int item) const;
    BarItemRange VisibleItemRange(int folder) const;
    BarRect DropMarkerRect(int position, int* kind) const;
    // What must be redrawn when a marker at `rect` of `kind` goes away.
    static BarRect DropMarkerExtent(const BarRect& rect);
    BarRect FolderRenameRect(int folder) const;
    // Rectangle of the rename edit of an item of the selected folder in the current view.
    BarRect ItemRenameRect(int item) const;

    // Scroll arrows as placed by the last paint.
    void PlaceArrows(int side);
    void ClearArrowsShown() { m_upShown = m_downShown = false; }
    bool UpArrowShown() const { return m_upShown; }
    bool DownArrowShown() const { return m_downShown; }
    const BarRect& UpArrowRect() const { return m_upRect; }
    const BarRect& DownArrowRect() const { return m_downRect; }
    bool CanScrollUp() const { return m_firstVisible > 0; }
    // Whether the last item still reaches below the item area.
    bool CanScrollDown() const;
    bool ScrollUp();
    bool ScrollDown();

    BarHit HitTestBar(BarPoint point) const;
    // Whether the point lies in the band below the last item where a drop appends.
    bool IsInDropBand(BarPoint point) const;
    // Moves item `from` of the selected folder so it lands before the item now at `onto`.
    bool MoveItem(int from, int onto);
    bool MoveItemToEnd(int from);

private:
    // Item sizes and stacked offsets of one folder, measured once per change of content, view or
    // width: every hit-test and paint asks for them many times.
    struct MeasureCache {
        std::uint64_t generation = ~std::uint64_t(0);
        int folder = -2;
        int width = -1;
        bool small = false;
        std::vector<BarSize> icon;
        std::vector<BarSize> label;
        std::vector<BarSize> whole;
        std::vector<int> offsets;  // offsets[k]: height of items 0..k-1 with their spacing
    };

    const MeasureCache& Measured(int folder) const;
    void MeasureUncached(int folder, int item, BarSize& icon, BarSize& label, BarSize& whole) const;
    int ScrollOffset(int folder) const;
    int ItemSpacing() const;
    int StackedTop(int folder, int item) const;
    // Keeps the last clicked item on the same item when an item moves from `from` to `to`.
    void FollowMovedItem(int from, int to);
    BarFolder* MutableFolder(int folder);

    std::vector<std::unique_ptr<BarFolder>> m_folders;
    BarColors m_colors;
    std::uint32_t m_flags = kInitialFlags;
    int m_selectedFolder = 1;
    int m_firstVisible = 0;
    int m_lastClicked = -1;
    bool m_upShown = false;
    bool m_downShown = false;
    BarRect m_upRect;
    BarRect m_downRect;
    const CBarImageList* m_smallImages = nullptr;
    const CBarImageList* m_largeImages = nullptr;
    const CBarTextMetrics* m_metrics = nullptr;
    BarRect m_client;
    std::uint64_t m_generation = 0;
    mutable MeasureCache m_cache;
};
