#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Plain geometry and model types of the navigation bar.  Rectangles follow the classic window
// convention: left and top are inside, right and bottom are one past the last pixel.

struct BarPoint {
    int x = 0;
    int y = 0;
};

struct BarSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const BarSize&) const = default;
};

struct BarRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(BarPoint p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    BarRect Inflated(int dx, int dy) const
    {
        return {left - dx, top - dy, right + dx, bottom + dy};
    }
    BarRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const BarRect&) const = default;
};

// 0x00BBGGRR, red in the low byte.
using BarColor = std::uint32_t;

constexpr BarColor BarRGB(int r, int g, int b)
{
    return static_cast<BarColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Behaviour flags given to CreateBar.
enum BarFlags : std::uint32_t {
    BarSmallIcons = 0x001,
    BarRenameFolders = 0x004,
    BarRenameItems = 0x008,
    BarRemoveFolders = 0x010,
    BarRemoveItems = 0x020,
    BarDragItems = 0x080,
    BarAnimateFolders = 0x100,
    BarFrameSelection = 0x200,
};

// Notification codes sent to the owner.
enum BarNotifyCode {
    BarNotifyItemClick = 1,
    BarNotifyItemLabelEdited = 2,
    BarNotifyFolderNameEdited = 3,
    BarNotifyItemMoved = 4,
    BarNotifyFolderSelected = 5,
};

// The record handed with codes 2, 3 and 4.  Only the fields that belong to the code are set;
// text points at the new UTF-8 text and is valid only during the call.
struct BarNotifyInfo {
    std::int32_t index = -1;
    const char* text = nullptr;
    std::int32_t folder = -1;
    std::int32_t item = -1;
};

// What a point of the bar lies on.
enum BarHitKind {
    BarHitNothing = -1,
    BarHitFolder = 0,
    BarHitItem = 1,
    BarHitUpArrow = 2,
    BarHitDownArrow = 3,
};

struct BarHit {
    int kind = BarHitNothing;
    int index = -1;
    bool operator==(const BarHit&) const = default;
};

// Context menu command ids.
enum BarCommand {
    BarCmdSmallIcons = 50000,
    BarCmdLargeIcons = 50001,
    BarCmdRename = 50002,
    BarCmdRemove = 50003,
};

// Parts of an item for MeasureBarItem.
enum BarItemPart {
    BarPartIcon = 1,
    BarPartLabel = 2,
    BarPartWhole = 3,
};

struct BarItem {
    int image = -1;
    std::string label;
    long value = 0;
};

struct BarFolder {
    std::string name;
    long value = 0;
    std::vector<std::unique_ptr<BarItem>> items;
};
