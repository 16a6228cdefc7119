#include <gtest/gtest.h>

#include "navbar/NavBarModel.h"
#include "support/FakeBarCanvas.h"

namespace {
// A bar 150 x 300 with the given number of folders; folder 0 holds `items` items labelled
// "I0", "I1", ... with image k, and a 32-pixel large list and 16-pixel small list attached.
class NavBarModelTest : public ::testing::Test {
protected:
    void Build(int folders, int items, int height = 300)
    {
        model.SetClientRect({0, 0, 150, height});
        for (int f = 0; f < folders; ++f) model.AppendFolder("F" + std::to_string(f), f);
        for (int k = 0; k < items; ++k)
            model.InsertFolderItem(0, -1, "I" + std::to_string(k), k, k);
        model.AttachImageList(&large, 2);
        model.AttachImageList(&small, 1);
        model.SetSelectedFolder(0);
    }

    std::vector<std::string> Labels() const
    {
        std::vector<std::string> labels;
        for (int k = 0; k < model.ItemCountOfSelected(); ++k) labels.push_back(model.ItemLabel(k));
        return labels;
    }

    CFakeTextMetrics metrics;
    CFakeImageList large{32, 8};
    CFakeImageList small{16, 8};
    CNavBarModel model{&metrics};
};

BarRect Button(const CNavBarModel& model, int folder)
{
    BarRect r;
    EXPECT_TRUE(model.FolderButtonRect(folder, r));
    return r;
}
}  // namespace

TEST_F(NavBarModelTest, ThreeFoldersStackAroundTheOpenOne)
{
    Build(3, 0);
    EXPECT_EQ(Button(model, 0), (BarRect{0, -1, 150, 21}));
    EXPECT_EQ(Button(model, 1), (BarRect{0, 256, 150, 278}));
    EXPECT_EQ(Button(model, 2), (BarRect{0, 278, 150, 300}));
    EXPECT_EQ(model.ItemAreaRect(), (BarRect{0, 21, 150, 256}));

    model.SetSelectedFolder(1);
    EXPECT_EQ(Button(model, 1), (BarRect{0, 21, 150, 43}));
    EXPECT_EQ(Button(model, 2), (BarRect{0, 278, 150, 300}));
    EXPECT_EQ(model.ItemAreaRect(), (BarRect{0, 43, 150, 278}));

    BarRect unused;
    EXPECT_FALSE(model.FolderButtonRect(3, unused));
    EXPECT_FALSE(model.FolderButtonRect(-1, unused));
}

TEST_F(NavBarModelTest, ClientOffsetAndEmptyBar)
{
    model.SetClientRect({1, 1, 101, 201});
    EXPECT_EQ(model.ItemAreaRect(), (BarRect{1, 1, 101, 201}));
    model.AppendFolder("only", 0);
    // Right after construction the selection names no folder; the single button stays on top.
    EXPECT_EQ(model.SelectedFolder(), 1);
    EXPECT_EQ(Button(model, 0), (BarRect{1, 0, 101, 22}));
    EXPECT_EQ(model.ItemCountOfSelected(), 0);
}

TEST_F(NavBarModelTest, LargeViewItemRectangles)
{
    Build(3, 5);
    EXPECT_EQ(model.MeasureBarItem(0, 0, BarPartIcon), (BarSize{32, 32}));
    EXPECT_EQ(model.MeasureBarItem(0, 0, BarPartLabel), (BarSize{12, 13}));
    EXPECT_EQ(model.MeasureBarItem(0, 0, BarPartWhole), (BarSize{32, 56}));

    EXPECT_EQ(model.ItemBoundsRect(0, 0), (BarRect{0, 26, 150, 82}));
    EXPECT_EQ(model.ItemBoundsRect(0, 1), (BarRect{0, 90, 150, 146}));
    EXPECT_EQ(model.ItemIconRect(0, 0), (BarRect{59, 26, 91, 59}));
    EXPECT_EQ(model.ItemLabelRect(0, 0), (BarRect{59, 62, 91, 75}));
    EXPECT_EQ(model.ItemIconRect(0, 1), (BarRect{59, 90, 91, 123}));
}

TEST_F(NavBarModelTest, SmallViewItemRectangles)
{
    Build(3, 5);
    model.UseSmallIcons(true);
    EXPECT_EQ(model.MeasureBarItem(0, 0, BarPartWhole), (BarSize{12 + 4 + 16, 16}));
    EXPECT_EQ(model.ItemBoundsRect(0, 0), (BarRect{5, 26, 37, 42}));
    EXPECT_EQ(model.ItemBoundsRect(0, 1), (BarRect{5, 52, 37, 68}));
    EXPECT_EQ(model.ItemIconRect(0, 1), (BarRect{7, 52, 23, 68}));
    EXPECT_EQ(model.ItemLabelRect(0, 1), (BarRect{7, 57, 39, 73}));
    // The rename edit sits right of the icon, moved up.
    EXPECT_EQ(model.ItemRenameRect(1), (BarRect{24, 51, 56, 67}));
}

TEST_F(NavBarModelTest, ItemSizesWithoutIconOrLabel)
{
    Build(1, 0);
    model.InsertFolderItem(0, -1, "", -1, 0);
    model.InsertFolderItem(0, -1, "two words", 0, 0);
    EXPECT_EQ(model.MeasureBarItem(0, 0, BarPartIcon), (BarSize{0, 0}));
    EXPECT_EQ(model.MeasureBarItem(0, 0, BarPartLabel), (BarSize{0, 0}));
    EXPECT_EQ(model.MeasureBarItem(0, 0, BarPartWhole), (BarSize{0, 11}));

    // The large view wraps labels to the width of the item area.
    model.SetClientRect({0, 0, 40, 300});
    EXPECT_EQ(model.MeasureBarItem(0, 1, BarPartLabel), (BarSize{30, 26}));
    EXPECT_EQ(model.MeasureBarItem(0, 1, BarPartWhole), (BarSize{32, 8 + 3 + 26 + 32}));
    // The small view keeps them on one line.
    model.UseSmallIcons(true);
    EXPECT_EQ(model.MeasureBarItem(0, 1, BarPartLabel), (BarSize{54, 13}));

    // Without a list for the view the icon takes no room.
    model.AttachImageList(nullptr, 1);
    EXPECT_EQ(model.MeasureBarItem(0, 1, BarPartIcon), (BarSize{0, 0}));
    EXPECT_EQ(model.MeasureBarItem(0, 1, BarPartWhole), (BarSize{58, 13}));
}

TEST_F(NavBarModelTest, VisibleRangeAndScrolling)
{
    // Area 21..256: large items are 56 high with 8 between, so three fit.
    Build(3, 5);
    EXPECT_EQ(model.VisibleItemRange(0), (BarItemRange{0, 2}));
    EXPECT_TRUE(model.CanScrollDown());
    EXPECT_FALSE(model.CanScrollUp());

    EXPECT_TRUE(model.ScrollDown());
    EXPECT_EQ(model.ItemBoundsRect(0, 1), (BarRect{0, 26, 150, 82}));
    EXPECT_EQ(model.ItemBoundsRect(0, 0).top, 26 - 64);
    EXPECT_EQ(model.VisibleItemRange(0), (BarItemRange{1, 3}));

    EXPECT_TRUE(model.ScrollDown());
    EXPECT_EQ(model.VisibleItemRange(0), (BarItemRange{2, 4}));
    // The last item is fully shown now: no further step.
    EXPECT_FALSE(model.CanScrollDown());
    EXPECT_FALSE(model.ScrollDown());
    EXPECT_EQ(model.FirstVisibleItem(), 2);

    // Only the open folder scrolls.
    model.InsertFolderItem(1, -1, "x", 0, 0);
    EXPECT_EQ(model.VisibleItemRange(1).first, 0);

    EXPECT_TRUE(model.ScrollUp());
    EXPECT_TRUE(model.ScrollUp());
    EXPECT_FALSE(model.ScrollUp());

    // A folder too short for its first item shows none.
    model.SetClientRect({0, 0, 150, 100});
    EXPECT_EQ(model.VisibleItemRange(0), (BarItemRange{0, -1}));
}

TEST_F(NavBarModelTest, ArrowsFollowTheScrollPosition)
{
    Build(3, 5);
    model.PlaceArrows(16);
    EXPECT_EQ(model.UpArrowRect(), (BarRect{129, 26, 145, 42}));
    EXPECT_EQ(model.DownArrowRect(), (BarRect{129, 235, 145, 251}));
    EXPECT_FALSE(model.UpArrowShown());
    EXPECT_TRUE(model.DownArrowShown());
    model.ScrollDown();
    model.PlaceArrows(16);
    EXPECT_TRUE(model.UpArrowShown());
    EXPECT_TRUE(model.DownArrowShown());
    model.ScrollDown();
    model.PlaceArrows(16);
    EXPECT_TRUE(model.UpArrowShown());
    EXPECT_FALSE(model.DownArrowShown());
}

TEST_F(NavBarModelTest, SwitchingViewsShowsTheFolderFromItsFirstItem)
{
    Build(3, 5);
    model.ScrollDown();
    EXPECT_TRUE(model.UseSmallIcons(true));
    EXPECT_EQ(model.FirstVisibleItem(), 0);
    EXPECT_TRUE(model.UsesSmallIcons());
    model.ScrollDown();
    EXPECT_FALSE(model.UseSmallIcons(true));  // no change of view, but back to the top
    EXPECT_EQ(model.FirstVisibleItem(), 0);
    EXPECT_TRUE(model.UseSmallIcons(false));
    EXPECT_EQ(model.Flags() & BarSmallIcons, 0u);
}

TEST_F(NavBarModelTest, DropMarkerRectangles)
{
    Build(3, 3);
    int kind = -1;
    // Before the first item.
    EXPECT_EQ(model.DropMarkerRect(0, &kind), (BarRect{2, 24, 148, 29}));
    EXPECT_EQ(kind, 0);
    // Between items: item 2 starts at 154.
    EXPECT_EQ(model.DropMarkerRect(2, &kind), (BarRect{2, 141, 148, 150}));
    EXPECT_EQ(kind, 1);
    // After the last item: item 2 ends at 210.
    EXPECT_EQ(model.DropMarkerRect(3, &kind), (BarRect{2, 216, 148, 221}));
    EXPECT_EQ(kind, 2);

    model.UseSmallIcons(true);
    // Small items are 16 high with 10 between: item 1 starts at 52.
    EXPECT_EQ(model.DropMarkerRect(1, &kind), (BarRect{2, 47, 148, 56}));
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(model.DropMarkerRect(0, &kind), (BarRect{2, 24, 148, 29}));
    EXPECT_EQ(kind, 0);
}

TEST_F(NavBarModelTest, InsertingAndAttaching)
{
    Build(2, 0);
    EXPECT_EQ(model.InsertFolderItem(0, -1, "a", 0, 0), 0);
    EXPECT_EQ(model.InsertFolderItem(0, 7, "b", 0, 0), 1);
    EXPECT_EQ(model.InsertFolderItem(0, 0, "c", 0, 0), 0);
    EXPECT_EQ(model.InsertFolderItem(0, 2, "d", 0, 0), 2);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"c", "a", "d", "b"}));
    EXPECT_EQ(model.ItemLabel(9), "");
    EXPECT_EQ(model.ItemLabel(-1), "");

    CFakeImageList other(24, 1);
    EXPECT_EQ(model.AttachImageList(&other, 3), nullptr);
    EXPECT_EQ(model.SmallImageList(), &small);
    EXPECT_EQ(model.LargeImageList(), &large);
    EXPECT_EQ(model.AttachImageList(&other, 2), &large);
    EXPECT_EQ(model.LargeImageList(), &other);
}

TEST_F(NavBarModelTest, DeletingFoldersAndItems)
{
    Build(3, 4);
    model.DeleteFolder(0);
    EXPECT_EQ(model.SelectedFolder(), 0);
    EXPECT_EQ(model.FolderCount(), 2);
    EXPECT_EQ(model.FolderName(0), "F1");

    model.SetSelectedFolder(1);
    model.DeleteFolder(0);  // a folder above the open one: the open one keeps showing
    EXPECT_EQ(model.SelectedFolder(), 0);
    EXPECT_EQ(model.FolderName(0), "F2");

    model.DeleteFolder(0);
    EXPECT_EQ(model.FolderCount(), 0);
    EXPECT_EQ(model.SelectedFolder(), -1);

    Build(1, 4);
    EXPECT_FALSE(model.DeleteItem(4));
    EXPECT_TRUE(model.DeleteItem(1));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"I0", "I2", "I3"}));
}

TEST_F(NavBarModelTest, DeletingScrolledItemsKeepsTheLastReachable)
{
    Build(3, 5);
    model.ScrollDown();
    model.ScrollDown();
    model.DeleteItem(4);
    model.DeleteItem(3);
    model.DeleteItem(2);
    EXPECT_EQ(model.FirstVisibleItem(), 1);
    EXPECT_EQ(model.VisibleItemRange(0), (BarItemRange{1, 1}));
}

TEST_F(NavBarModelTest, HitTesting)
{
    Build(3, 5);
    EXPECT_EQ(model.HitTestBar({10, 5}), (BarHit{BarHitFolder, 0}));
    EXPECT_EQ(model.HitTestBar({10, 260}), (BarHit{BarHitFolder, 1}));
    EXPECT_EQ(model.HitTestBar({10, 299}), (BarHit{BarHitFolder, 2}));
    // Icon of item 1 (59..91 x 90..123) and its label (62 x 154..167 enlarged upwards by 3).
    EXPECT_EQ(model.HitTestBar({60, 100}), (BarHit{BarHitItem, 1}));
    EXPECT_EQ(model.HitTestBar({75, 125}), (BarHit{BarHitItem, 1}));
    EXPECT_EQ(model.HitTestBar({75, 123}), (BarHit{BarHitItem, 1}));
    EXPECT_EQ(model.HitTestBar({75, 139}), (BarHit{BarHitNothing, -1}));
    // Beside the icon, inside the item's bounds, is not the item in the large view.
    EXPECT_EQ(model.HitTestBar({10, 100}), (BarHit{BarHitNothing, -1}));

    // Arrows count only where the last paint showed them.
    EXPECT_EQ(model.HitTestBar({135, 240}).kind, BarHitNothing);
    model.PlaceArrows(16);
    EXPECT_EQ(model.HitTestBar({135, 240}).kind, BarHitDownArrow);
    EXPECT_EQ(model.HitTestBar({135, 30}).kind, BarHitNothing);
    model.ClearArrowsShown();
    EXPECT_EQ(model.HitTestBar({135, 240}).kind, BarHitNothing);

    model.UseSmallIcons(true);
    EXPECT_EQ(model.HitTestBar({6, 53}), (BarHit{BarHitItem, 1}));
    EXPECT_EQ(model.HitTestBar({40, 53}), (BarHit{BarHitNothing, -1}));
    // Scrolled: the hidden item 0 above the area is not hit.
    model.SetFirstVisibleItem(1);
    EXPECT_EQ(model.HitTestBar({6, 27}), (BarHit{BarHitItem, 1}));
}

TEST_F(NavBarModelTest, MovingItems)
{
    Build(1, 4);
    EXPECT_TRUE(model.MoveItem(0, 3));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"I1", "I2", "I0", "I3"}));

    model = CNavBarModel(&metrics);
    Build(1, 4);
    EXPECT_TRUE(model.MoveItem(3, 0));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"I3", "I0", "I1", "I2"}));

    model = CNavBarModel(&metrics);
    Build(1, 4);
    EXPECT_TRUE(model.MoveItemToEnd(1));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"I0", "I2", "I3", "I1"}));

    EXPECT_FALSE(model.MoveItem(1, 1));
    EXPECT_FALSE(model.MoveItem(4, 0));
    EXPECT_FALSE(model.MoveItemToEnd(-1));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"I0", "I2", "I3", "I1"}));
}

TEST_F(NavBarModelTest, DropBandLiesBetweenLastItemAndAreaBottom)
{
    Build(3, 2);
    // Item 1 ends at 146; the area ends at 256.
    EXPECT_FALSE(model.IsInDropBand({10, 140}));
    EXPECT_TRUE(model.IsInDropBand({10, 147}));
    EXPECT_TRUE(model.IsInDropBand({10, 255}));
    EXPECT_FALSE(model.IsInDropBand({10, 256}));
}

TEST_F(NavBarModelTest, ClickedItemFollowsDeletesAndMoves)
{
    Build(1, 4);
    model.SetLastClickedItem(2);  // "I2"
    model.DeleteItem(0);
    EXPECT_EQ(model.ItemLabel(model.LastClickedItem()), "I2");
    model.MoveItemToEnd(0);  // I2 I3 I1
    EXPECT_EQ(model.ItemLabel(model.LastClickedItem()), "I2");
    model.MoveItem(0, 2);  // I3 I2 I1
    EXPECT_EQ(model.ItemLabel(model.LastClickedItem()), "I2");
    model.MoveItem(2, 0);  // I1 I3 I2
    EXPECT_EQ(model.ItemLabel(model.LastClickedItem()), "I2");
    model.DeleteItem(2);
    EXPECT_EQ(model.LastClickedItem(), -1);
}

TEST_F(NavBarModelTest, LayoutFollowsEveryChangeOfContent)
{
    Build(3, 3);
    model.UseSmallIcons(true);
    EXPECT_EQ(model.ItemBoundsRect(0, 2).right, 5 + 12 + 4 + 16);
    model.SetItemLabel(2, "longer");
    EXPECT_EQ(model.ItemBoundsRect(0, 2).right, 5 + 36 + 4 + 16);
    model.MoveItem(2, 0);
    EXPECT_EQ(model.ItemBoundsRect(0, 0).right, 5 + 36 + 4 + 16);
    EXPECT_EQ(model.ItemBoundsRect(0, 2).right, 5 + 12 + 4 + 16);
    model.InsertFolderItem(0, 0, "", -1, 0);  // an empty item: no height at all
    EXPECT_EQ(model.ItemBoundsRect(0, 1).top, 26 + 0 + 10);
    model.DeleteItem(0);
    EXPECT_EQ(model.ItemBoundsRect(0, 1).top, 26 + 16 + 10);
    CFakeImageList bigger(24, 8);
    model.AttachImageList(&bigger, 1);
    EXPECT_EQ(model.ItemBoundsRect(0, 1).top, 26 + 24 + 10);
    model.SetClientRect({0, 0, 300, 300});
    EXPECT_EQ(model.DropMarkerRect(0, nullptr).right, 298);
}
