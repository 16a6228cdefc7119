#include <gtest/gtest.h>

#include "navbar/NavBarPainter.h"
#include "support/FakeBarCanvas.h"

namespace {
class NavBarPainterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.SetClientRect({0, 0, 150, 300});
        model.AppendFolder("Menu", 0);
        model.AppendFolder("Other", 0);
        model.AppendFolder("", 0);
        for (int k = 0; k < 4; ++k) model.InsertFolderItem(0, -1, "I" + std::to_string(k), k, 0);
        model.InsertFolderItem(2, -1, "Z", 0, 0);
        model.AttachImageList(&large, 2);
        model.AttachImageList(&small, 1);
        model.SetSelectedFolder(0);
    }

    CFakeTextMetrics metrics;
    CFakeImageList large{32, 4};
    CFakeImageList small{16, 4};
    CNavBarModel model{&metrics};
    CRecordingCanvas canvas;
    CNavBarPainter painter{canvas, model};
    const BarColors& colors = model.Colors();
};

bool HasLine(const CRecordingCanvas& canvas, BarRect line, BarColor color)
{
    for (const DrawCall& call : canvas.Of("line")) {
        if (call.rect == line && call.color == color) return true;
    }
    return false;
}
}  // namespace

TEST_F(NavBarPainterTest, FolderButtonLooks)
{
    const BarRect r{0, 256, 150, 278};
    painter.DrawFolderButton(1, r, false);
    EXPECT_TRUE(HasLine(canvas, {0, 256, 150, 256}, colors.background));
    // Raised edge one pixel lower: light top-left, background bottom-right.
    const auto fills = canvas.Of("fill");
    ASSERT_EQ(fills.size(), 5u);
    EXPECT_EQ(fills[0].rect, (BarRect{0, 257, 149, 258}));
    EXPECT_EQ(fills[0].color, colors.highlightEdge);
    EXPECT_EQ(fills[3].rect, (BarRect{0, 277, 150, 278}));
    EXPECT_EQ(fills[3].color, colors.background);
    EXPECT_EQ(fills[4].rect, (BarRect{1, 258, 149, 277}));
    EXPECT_EQ(fills[4].color, colors.buttonFace);
    const auto texts = canvas.Of("text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "Other");
    EXPECT_EQ(texts[0].rect, (BarRect{1, 258, 149, 277}));
    EXPECT_EQ(texts[0].index, BarTextSingleCentered);

    canvas.calls.clear();
    painter.DrawFolderButton(1, r, true);
    EXPECT_TRUE(HasLine(canvas, {1, 256, 150, 256}, colors.background));
    const auto pressed = canvas.Of("fill");
    ASSERT_EQ(pressed.size(), 9u);
    EXPECT_EQ(pressed[0].color, colors.darkEdge);
    EXPECT_EQ(pressed[3].color, colors.highlightEdge);
    EXPECT_EQ(pressed[4].rect, (BarRect{1, 258, 148, 259}));
    EXPECT_EQ(pressed[4].color, colors.background);
    EXPECT_EQ(pressed[7].color, colors.buttonFace);
    EXPECT_EQ(pressed[8].rect, (BarRect{2, 259, 148, 276}));
    EXPECT_EQ(canvas.Of("text")[0].rect, (BarRect{2, 259, 148, 276}));
}

TEST_F(NavBarPainterTest, ItemsInBothViews)
{
    const BarRect bounds = model.ItemBoundsRect(0, 1);
    painter.DrawBarItem(0, 1, bounds);
    auto images = canvas.Of("image");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].index, 1);
    EXPECT_EQ(images[0].rect.left, 59);
    EXPECT_EQ(images[0].rect.top, 90);
    auto texts = canvas.Of("text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rect, (BarRect{0, 125, 150, 146}));
    EXPECT_EQ(texts[0].index, BarTextWrapCentered);
    EXPECT_EQ(texts[0].color, colors.itemText);

    canvas.calls.clear();
    model.UseSmallIcons(true);
    painter.DrawBarItem(0, 1, model.ItemBoundsRect(0, 1));
    images = canvas.Of("image");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].rect.left, 7);
    EXPECT_EQ(images[0].rect.top, 52);
    texts = canvas.Of("text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rect.left, 5 + 16 + 4);
    EXPECT_EQ(texts[0].rect.top, 52);
    EXPECT_EQ(texts[0].index, BarTextSingleLeft);
}

TEST_F(NavBarPainterTest, NoImageListMeansAnEmptyArea)
{
    model.AttachImageList(nullptr, 2);
    painter.PaintBar({});
    EXPECT_TRUE(canvas.Of("image").empty());
    for (const DrawCall& text : canvas.Of("text")) EXPECT_NE(text.text.substr(0, 1), "I");
    EXPECT_EQ(canvas.Of("fill")[0].rect, model.ItemAreaRect());
    EXPECT_EQ(canvas.Of("fill")[0].color, colors.background);
}

TEST_F(NavBarPainterTest, ItemAreaStopsBelowTheArea)
{
    model.SetClientRect({0, 0, 150, 200});
    painter.DrawItemArea(0, model.ItemAreaRect());
    // Area 21..156: items at 26, 90 and 154 are drawn (the third is cut), 218 is not.
    const auto images = canvas.Of("image");
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[2].rect.top, 154);
    EXPECT_EQ(canvas.calls.front().what, "clip");
    EXPECT_EQ(canvas.calls.front().rect, model.ItemAreaRect());
    EXPECT_EQ(canvas.calls.back().what, "noclip");
}

TEST_F(NavBarPainterTest, FullPaintDrawsButtonsArrowsAndFeedback)
{
    model.SetClientRect({0, 0, 150, 200});
    model.PlaceArrows(16);
    BarPaintState state;
    state.hotFolder = 2;
    state.pressedFolder = 1;
    state.downPressed = true;
    state.hotItem = 0;
    painter.PaintBar(state);
    const auto texts = canvas.Of("text");
    EXPECT_EQ(texts[0].text, "Menu");
    EXPECT_EQ(texts[1].text, "Other");
    const auto arrows = canvas.Of("arrow");
    ASSERT_EQ(arrows.size(), 1u);
    EXPECT_EQ(arrows[0].index, 0);
    EXPECT_TRUE(arrows[0].flag);
    EXPECT_EQ(arrows[0].rect, model.DownArrowRect());
    // Folder 1 is pressed: its top line starts one pixel in.
    BarRect f1;
    model.FolderButtonRect(1, f1);
    EXPECT_TRUE(HasLine(canvas, {1, f1.top, 150, f1.top}, colors.background));
    // Folder 2 hovers: dark outer edge.
    BarRect f2;
    model.FolderButtonRect(2, f2);
    EXPECT_TRUE(HasLine(canvas, {0, f2.bottom - 1, 149, f2.bottom - 1}, colors.darkEdge));
    EXPECT_TRUE(HasLine(canvas, {149, f2.bottom - 1, 149, f2.top}, colors.darkEdge));
    EXPECT_TRUE(HasLine(canvas, {1, f2.bottom - 2, 148, f2.bottom - 2}, colors.background));
    // Hot item 0: raised frame around its icon enlarged by one.
    const BarRect frame = model.ItemIconRect(0, 0).Inflated(1, 1);
    bool raised = false;
    for (const DrawCall& call : canvas.Of("fill")) {
        if (call.rect == BarRect{frame.left, frame.top, frame.right - 1, frame.top + 1} &&
            call.color == colors.buttonFace)
            raised = true;
    }
    EXPECT_TRUE(raised);
}

TEST_F(NavBarPainterTest, SelectionFrameOnlyWithItsFlag)
{
    model.SetLastClickedItem(1);
    const BarRect frame = model.ItemIconRect(0, 1).Inflated(1, 1);
    auto framed = [&] {
        for (const DrawCall& call : canvas.Of("fill")) {
            if (call.rect == BarRect{frame.left, frame.top, frame.right - 1, frame.top + 1} &&
                call.color == colors.darkEdge)
                return true;
        }
        return false;
    };
    model.SetFlags(0x1FC);
    painter.DrawBarItem(0, 1, model.ItemBoundsRect(0, 1));
    EXPECT_FALSE(framed());
    model.SetFlags(0x1FC | BarFrameSelection);
    painter.DrawBarItem(0, 1, model.ItemBoundsRect(0, 1));
    EXPECT_TRUE(framed());
}

TEST_F(NavBarPainterTest, DropMarkerArrowHeads)
{
    const BarRect r{2, 100, 148, 105};
    painter.DrawDropMarker(r, 0);
    auto lines = canvas.Of("line");
    ASSERT_EQ(lines.size(), 1u + 4u + 3u);
    EXPECT_EQ(lines[0].rect, (BarRect{2, 100, 148, 100}));
    EXPECT_EQ(lines[1].rect, (BarRect{2, 101, 9, 101}));
    EXPECT_EQ(lines[4].rect, (BarRect{2, 104, 3, 104}));
    EXPECT_EQ(lines[5].rect, (BarRect{147, 101, 141, 101}));
    for (const DrawCall& line : lines) EXPECT_GE(line.rect.top, 100);  // nothing above the line

    canvas.calls.clear();
    painter.DrawDropMarker(r, 1);
    EXPECT_EQ(canvas.Of("line").size(), 1u + 7u + 8u);

    canvas.calls.clear();
    painter.DrawDropMarker(r, 2);
    lines = canvas.Of("line");
    ASSERT_EQ(lines.size(), 1u + 8u);
    for (const DrawCall& line : lines) EXPECT_LE(line.rect.top, 100);  // nothing below the line
    EXPECT_TRUE(HasLine(canvas, {2, 96, 3, 96}, colors.dropMarker));
}

TEST_F(NavBarPainterTest, SlideFramesDownAndUp)
{
    // Folder 0 open; the new folder 2 lies below.
    auto frames = ComputeSlideFrames(model, 0, 2);
    ASSERT_EQ(frames.size(), 11u);
    EXPECT_EQ(frames[0].bands[0], (BarSlideBand{0, 22, 22, 256}));
    EXPECT_EQ(frames[0].bands[1], (BarSlideBand{1, 0, 256, 278}));
    EXPECT_EQ(frames[10].bands[1].top, 36);
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_EQ(frames[i - 1].bands[1].top - frames[i].bands[1].top, 22);

    // Folder 2 open; the new folder 0 lies above.
    model.SetSelectedFolder(2);
    frames = ComputeSlideFrames(model, 2, 0);
    ASSERT_EQ(frames.size(), 11u);
    EXPECT_EQ(frames[0].bands[0], (BarSlideBand{1, 22, 43, 44}));
    EXPECT_EQ(frames[0].bands[1], (BarSlideBand{0, 0, 44, 300}));
    EXPECT_EQ(frames[10].bands[1].top, 264);

    EXPECT_TRUE(ComputeSlideFrames(model, 2, 2).empty());
    EXPECT_TRUE(ComputeSlideFrames(model, 2, 5).empty());
}
