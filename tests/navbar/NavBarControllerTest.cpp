#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "navbar/NavBarController.h"
#include "support/FakeBarCanvas.h"

namespace {
struct Note {
    int code = 0;
    int index = -1;
    int infoIndex = -1;
    std::string text;
    int folder = -1;
    int item = -1;
    bool operator==(const Note&) const = default;
};

// A view that records what the controller asks of it and answers with `reply` and `choice`.
class CRecordingBarView : public CBarView {
public:
    void Repaint(const BarRect& rect) override { repainted.push_back(rect); }
    void RepaintAll() override { repainted.push_back({}); }
    void StartTimer(BarTimer timer, int milliseconds) override { timers[timer] = milliseconds; }
    void StopTimer(BarTimer timer) override { timers.erase(timer); }
    void SetCursor(BarCursor shape) override { cursor = shape; }
    long Notify(int code, int index, const BarNotifyInfo* info) override
    {
        Note note{code, index, -1, "", -1, -1};
        if (info != nullptr) {
            note.infoIndex = info->index;
            note.text = info->text != nullptr ? info->text : "";
            note.folder = info->folder;
            note.item = info->item;
        }
        notes.push_back(note);
        return reply;
    }
    bool IsShown() const override { return true; }
    bool FocusInside() const override { return editing; }
    void TakeFocus() override {}
    void BeginRename(const BarRenameRequest& request) override { renames.push_back(request); }
    int ShowMenu(const std::vector<BarMenuEntry>& entries, BarPoint) override
    {
        menus.push_back(entries);
        return choice;
    }
    void SlideStarted(int from, int to) override { slides.push_back({from, to}); }
    void SlideEnded() override { ++slidesEnded; }

    bool Running(BarTimer timer) const { return timers.count(timer) != 0; }

    long reply = 1;
    int choice = 0;
    bool editing = false;
    std::vector<BarRect> repainted;  // an empty rectangle for the whole bar
    std::map<BarTimer, int> timers;
    BarCursor cursor = BarCursorNormal;
    std::vector<Note> notes;
    std::vector<BarRenameRequest> renames;
    std::vector<std::vector<BarMenuEntry>> menus;
    std::vector<std::pair<int, int>> slides;
    int slidesEnded = 0;
};

// Where on the bar a pointer event happens.
struct Spot {
    enum Kind { Icon, Label, Folder, Band, Empty, Up, Down } kind;
    int index = 0;
};
constexpr Spot Icon(int k)
{
    return {Spot::Icon, k};
}
constexpr Spot Folder(int f)
{
    return {Spot::Folder, f};
}
constexpr Spot kLabel1{Spot::Label, 1};
constexpr Spot kBand{Spot::Band};    // below the last item, where a drop appends
constexpr Spot kEmpty{Spot::Empty};  // in the item area beside the first item
constexpr Spot kOff = Folder(1);     // off every item: a press moved here starts a drag
constexpr Spot kUp{Spot::Up};
constexpr Spot kDown{Spot::Down};

constexpr std::uint32_t kAll = 0x1FC;  // rename, remove, drag and slide; large icons

const std::string kStart = "I0 I1 I2 I3";

// A bar 150 wide with folders "F0" and "F1"; F0 is open and holds I0 to I3.
class NavBarControllerTest : public ::testing::Test {
protected:
    // Starts afresh: a new model, view and controller.
    void Build(std::uint32_t flags = kAll, int height = 300)
    {
        model = CNavBarModel(&metrics);
        view = CRecordingBarView();
        control = std::make_unique<CNavBarController>(model, view);
        model.SetClientRect({0, 0, 150, height});
        model.SetFlags(flags);
        model.AppendFolder("F0", 0);
        model.AppendFolder("F1", 0);
        for (int k = 0; k < 4; ++k) model.InsertFolderItem(0, -1, "I" + std::to_string(k), k, k);
        model.AttachImageList(&large, 2);
        model.AttachImageList(&small, 1);
        model.SetSelectedFolder(0);
        Paint();
    }

    void SetUp() override { Build(); }

    // What a paint does to the model: the scroll arrows are placed.
    void Paint() { model.PlaceArrows(control->PaintState().arrowSide); }

    BarPoint At(Spot spot) const
    {
        const auto center = [](const BarRect& r) {
            return BarPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        };
        const BarRect area = model.ItemAreaRect();
        const int s = model.SelectedFolder();
        switch (spot.kind) {
            case Spot::Icon:
                return center(model.ItemIconRect(s, spot.index));
            case Spot::Label:
                return center(model.ItemLabelRect(s, spot.index));
            case Spot::Folder: {
                BarRect r;
                EXPECT_TRUE(model.FolderButtonRect(spot.index, r));
                return center(r);
            }
            case Spot::Band: {
                const int last = model.ItemCountOfSelected() - 1;
                return {area.left + 3, (model.ItemBoundsRect(s, last).bottom + area.bottom) / 2};
            }
            case Spot::Empty:
                return {area.left + 3, center(model.ItemIconRect(s, 0)).y};
            case Spot::Up:
                return center(model.UpArrowRect());
            case Spot::Down:
                return center(model.DownArrowRect());
        }
        return {};
    }

    void Press(Spot spot) { control->MousePress(BarButtonLeft, At(spot)); }
    void Move(Spot spot) { control->MouseMove(At(spot)); }
    void Release(Spot spot) { control->MouseRelease(BarButtonLeft, At(spot)); }
    void RightPress(Spot spot) { control->MousePress(BarButtonRight, At(spot)); }

    // Fires `timer` until it stops, at most `limit` times; returns how often it fired.
    int TickUntilStopped(BarTimer timer, int limit = 50)
    {
        int ticks = 0;
        while (view.Running(timer) && ticks < limit) {
            control->TimerFired(timer);
            ++ticks;
        }
        return ticks;
    }

    // The open folder's labels, separated by spaces.
    std::string Order() const
    {
        std::string order;
        for (int k = 0; k < model.ItemCountOfSelected(); ++k)
            order += (k > 0 ? " " : "") + model.ItemLabel(k);
        return order;
    }

    CFakeTextMetrics metrics;
    CFakeImageList large{32, 4};
    CFakeImageList small{16, 4};
    CNavBarModel model{&metrics};
    CRecordingBarView view;
    std::unique_ptr<CNavBarController> control;
};

Note Click(int item)
{
    return {BarNotifyItemClick, item, -1, "", -1, -1};
}

Note Moved(int item)
{
    return {BarNotifyItemMoved, -1, -1, "", 0, item};
}
}  // namespace

TEST_F(NavBarControllerTest, PressMoveReleaseOnItems)
{
    struct Case {
        const char* name;
        std::uint32_t flags;
        long reply;
        std::vector<Spot> path;  // pressed at the first spot, moved on, released at the last
        std::vector<Note> notes;
        std::string order;
        int clicked;  // the last clicked item afterwards
    };
    const std::uint32_t noDrag = kAll & ~BarDragItems;
    const Case cases[] = {
        {"click on an icon", kAll, 1, {Icon(2), Icon(2)}, {Click(2)}, kStart, 2},
        {"click on a label", kAll, 1, {kLabel1, kLabel1}, {Click(1)}, kStart, 1},
        {"release on another item", kAll, 1, {Icon(0), Icon(2)}, {}, kStart, -1},
        {"back onto the pressed one", kAll, 1, {Icon(1), Icon(3), Icon(1)}, {Click(1)}, kStart, 1},
        {"drag down", kAll, 1, {Icon(0), kOff, Icon(3)}, {Moved(0)}, "I1 I2 I0 I3", -1},
        {"drag up", kAll, 1, {Icon(3), kOff, Icon(0)}, {Moved(3)}, "I3 I0 I1 I2", -1},
        {"drag below the last", kAll, 1, {Icon(1), kOff, kBand}, {Moved(1)}, "I0 I2 I3 I1", -1},
        {"drag refused", kAll, 0, {Icon(0), kOff, Icon(3)}, {Moved(0)}, kStart, -1},
        {"drag onto itself", kAll, 1, {Icon(2), kOff, Icon(2)}, {}, kStart, -1},
        {"drag out of the items", kAll, 1, {Icon(2), kOff}, {}, kStart, -1},
        {"no drag without its flag", noDrag, 1, {Icon(0), kOff, Icon(3)}, {}, kStart, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Build(c.flags);
        view.reply = c.reply;
        Press(c.path.front());
        for (Spot spot : c.path) Move(spot);
        Release(c.path.back());
        EXPECT_EQ(view.notes, c.notes);
        EXPECT_EQ(Order(), c.order);
        EXPECT_EQ(model.LastClickedItem(), c.clicked);
        // Nothing of the press is left.
        EXPECT_FALSE(control->IsDragging());
        EXPECT_EQ(control->PaintState().hotItem, -1);
        EXPECT_EQ(control->PaintState().dropPosition, -1);
        EXPECT_EQ(view.cursor, BarCursorNormal);
    }
}

TEST_F(NavBarControllerTest, PressedLookMarkerAndCursorFollowThePointer)
{
    struct Step {
        Spot to;
        bool dragging;
        bool pressedLook;
        int drop;
        BarCursor cursor;
    };
    const Step steps[] = {
        {Icon(0), false, true, -1, BarCursorNormal},  // the press itself
        {Icon(2), false, false, -1, BarCursorNormal}, {Icon(0), false, true, -1, BarCursorNormal},
        {kOff, true, true, -1, BarCursorDrag},        {Folder(0), true, true, -1, BarCursorNoDrop},
        {Icon(3), true, true, 3, BarCursorDrag},      {kBand, true, true, 4, BarCursorDrag},
        {Icon(2), true, true, 2, BarCursorDrag},
    };
    Press(steps[0].to);
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.to.kind << "/" << step.to.index);
        Move(step.to);
        EXPECT_EQ(control->IsDragging(), step.dragging);
        EXPECT_EQ(control->PaintState().hotItem, 0);
        EXPECT_EQ(control->PaintState().hotItemPressed, step.pressedLook);
        EXPECT_EQ(control->PaintState().dropPosition, step.drop);
        EXPECT_EQ(view.cursor, step.cursor);
    }
}

TEST_F(NavBarControllerTest, FolderPressesSelectAndSlide)
{
    struct Case {
        const char* name;
        std::uint32_t flags;
        int stepDelay;
        Spot press;
        Spot release;
        int pressedOnRelease;  // the pressed look just before the release
        int selected;
        bool slides;
    };
    const std::uint32_t noSlide = kAll & ~BarAnimateFolders;
    const Case cases[] = {
        {"click on a closed folder", kAll, 10, Folder(1), Folder(1), 1, 1, true},
        {"released on another closed folder", kAll, 10, Folder(0), Folder(1), -1, 1, true},
        {"click on the open folder", kAll, 10, Folder(0), Folder(0), 0, 0, false},
        {"released off every button", kAll, 10, Folder(1), kEmpty, -1, 0, false},
        {"no slide without its flag", noSlide, 10, Folder(1), Folder(1), 1, 1, false},
        {"no slide with a negative step delay", kAll, -1, Folder(1), Folder(1), 1, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Build(c.flags);
        control->SetAnimationStepDelay(c.stepDelay);
        const size_t frames = ComputeSlideFrames(model, 0, 1).size();
        ASSERT_GT(frames, 1u);
        Press(c.press);
        EXPECT_EQ(control->PaintState().pressedFolder, c.press.index);
        Move(c.release);
        EXPECT_EQ(control->PaintState().pressedFolder, c.pressedOnRelease);
        Release(c.release);
        EXPECT_EQ(control->PaintState().pressedFolder, -1);
        EXPECT_EQ(model.SelectedFolder(), c.selected);
        // The selection and its notice do not wait for the slide.
        const std::vector<Note> selected{{BarNotifyFolderSelected, c.selected, -1, "", -1, -1}};
        EXPECT_EQ(view.notes, c.selected != 0 ? selected : std::vector<Note>{});
        ASSERT_EQ(control->IsAnimating(), c.slides);
        if (!c.slides) continue;
        EXPECT_EQ(view.slides, (std::vector<std::pair<int, int>>{{0, 1}}));
        EXPECT_EQ(view.timers[BarTimerSlide], c.stepDelay);
        EXPECT_EQ(control->SlideFrameCount(), static_cast<int>(frames));
        // One frame a tick, the last one shown before the slide ends.
        for (size_t k = 1; k < frames; ++k) control->TimerFired(BarTimerSlide);
        EXPECT_TRUE(control->IsAnimating());
        EXPECT_EQ(control->SlideFrameShown(), static_cast<int>(frames) - 1);
        EXPECT_NE(control->CurrentSlideFrame(), nullptr);
        control->TimerFired(BarTimerSlide);
        EXPECT_FALSE(control->IsAnimating());
        EXPECT_EQ(control->CurrentSlideFrame(), nullptr);
        EXPECT_FALSE(view.Running(BarTimerSlide));
        EXPECT_EQ(view.slidesEnded, 1);
    }
}

TEST_F(NavBarControllerTest, ScrollArrowsStepAndStopAtTheEnds)
{
    // 150 high: the item area shows one and a half large items; with I3 at the top all is seen.
    constexpr int kLastFirst = 3;
    struct Case {
        const char* name;
        int first;
        Spot arrow;
        bool leaveArrow;  // the pointer leaves the arrow before the timer fires and the release
        int ticks;        // -1: until the repeat stops by itself
        int expected;
    };
    const Case cases[] = {
        {"click down", 0, kDown, false, 0, 1},
        {"click up", 2, kUp, false, 0, 1},
        {"hold down to the end", 0, kDown, false, -1, kLastFirst},
        {"hold up to the top", 2, kUp, false, -1, 0},
        {"held for one repeat, released on the arrow", 0, kDown, false, 1, 2},
        {"pressed, then left", 0, kDown, true, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Build(kAll, 150);
        model.SetFirstVisibleItem(c.first);
        Paint();
        Press(c.arrow);
        EXPECT_TRUE(control->IsScrolling());
        EXPECT_EQ(view.timers[BarTimerScroll], CNavBarController::kScrollInterval);
        if (c.leaveArrow) Move(kEmpty);
        if (c.ticks < 0) {
            EXPECT_LT(TickUntilStopped(BarTimerScroll), 50);
            EXPECT_FALSE(control->IsScrolling());  // stopped at the end before the release
        }
        for (int k = 0; k < c.ticks; ++k) control->TimerFired(BarTimerScroll);
        control->MouseRelease(BarButtonLeft, c.leaveArrow ? At(kEmpty) : At(c.arrow));
        EXPECT_EQ(model.FirstVisibleItem(), c.expected);
        EXPECT_FALSE(control->IsScrolling());
        EXPECT_FALSE(view.Running(BarTimerScroll));
        EXPECT_FALSE(control->PaintState().upPressed || control->PaintState().downPressed);
    }
    // The end is where the last item is wholly seen, and not before.
    model.SetFirstVisibleItem(kLastFirst);
    EXPECT_FALSE(model.CanScrollDown());
    model.SetFirstVisibleItem(kLastFirst - 1);
    EXPECT_TRUE(model.CanScrollDown());
}

TEST_F(NavBarControllerTest, ContextMenuEntriesFollowFlagsAndPlace)
{
    struct Entry {
        int id;
        bool enabled;
        bool operator==(const Entry&) const = default;
    };
    const Entry smallOn{BarCmdSmallIcons, true}, smallOff{BarCmdSmallIcons, false};
    const Entry largeOn{BarCmdLargeIcons, true}, largeOff{BarCmdLargeIcons, false};
    const Entry line{0, true}, rename{BarCmdRename, true};
    const Entry remove{BarCmdRemove, true}, kept{BarCmdRemove, false};
    const std::uint32_t some = BarRenameItems | BarRemoveFolders | BarSmallIcons;
    struct Case {
        const char* name;
        std::uint32_t flags;
        bool guardAllows;
        Spot spot;
        std::vector<Entry> entries;
    };
    const Case cases[] = {
        {"empty space", kAll, true, kEmpty, {smallOn, largeOff}},
        {"an item", kAll, true, Icon(1), {smallOn, largeOff, line, remove, rename}},
        {"a folder", kAll, true, Folder(1), {smallOn, largeOff, line, remove, rename}},
        {"an item, guarded", kAll, false, Icon(1), {smallOn, largeOff, line, kept, rename}},
        {"an item, some flags", some, true, Icon(0), {smallOff, largeOn, line, rename}},
        {"a folder, some flags", some, true, Folder(1), {smallOff, largeOn, line, remove}},
        {"an item, no flags", BarAnimateFolders, true, Icon(0), {smallOn, largeOff}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Build(c.flags);
        control->SetRemoveGuard([&c](int, int) { return c.guardAllows; });
        RightPress(c.spot);
        ASSERT_EQ(view.menus.size(), 1u);
        std::vector<Entry> seen;
        for (const BarMenuEntry& entry : view.menus[0]) seen.push_back({entry.id, entry.enabled});
        EXPECT_EQ(seen, c.entries);
    }

    // No menu while a press is held.
    view.menus.clear();
    Press(Icon(0));
    RightPress(Icon(1));
    EXPECT_TRUE(view.menus.empty());
}

TEST_F(NavBarControllerTest, ContextMenuCommands)
{
    struct Case {
        const char* name;
        std::uint32_t flags;
        bool guardAllows;
        Spot spot;
        int command;  // 0: the menu closed without a choice
        std::string bar;
        std::string rename;  // the rename edit asked for
    };
    const std::uint32_t small = kAll | BarSmallIcons;
    const Case cases[] = {
        {"remove an item", kAll, true, Icon(1), BarCmdRemove, "F0 F1: I0 I2 I3", ""},
        {"remove a folder", kAll, true, Folder(1), BarCmdRemove, "F0: I0 I1 I2 I3", ""},
        {"remove refused by the guard", kAll, false, Icon(1), BarCmdRemove, "F0 F1: " + kStart, ""},
        {"rename a folder", kAll, true, Folder(0), BarCmdRename, "F0 F1: " + kStart, "folder 0 F0"},
        {"rename an item", kAll, true, Icon(2), BarCmdRename, "F0 F1: " + kStart, "item 2 I2"},
        {"rename a small item", small, true, Icon(2), BarCmdRename, "F0 F1: " + kStart + " small",
         "item 2 I2 one line"},
        {"small icons", kAll, true, kEmpty, BarCmdSmallIcons, "F0 F1: " + kStart + " small", ""},
        {"large icons", small, true, Icon(0), BarCmdLargeIcons, "F0 F1: " + kStart, ""},
        {"nothing chosen", kAll, true, Icon(1), 0, "F0 F1: " + kStart, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Build(c.flags);
        control->SetRemoveGuard([&c](int, int) { return c.guardAllows; });
        view.choice = c.command;
        RightPress(c.spot);
        std::string bar;
        for (int f = 0; f < model.FolderCount(); ++f)
            bar += (f > 0 ? " " : "") + model.FolderName(f);
        bar += ": " + Order() + (model.UsesSmallIcons() ? " small" : "");
        EXPECT_EQ(bar, c.bar);
        std::string rename;
        for (const BarRenameRequest& r : view.renames) {
            rename += r.kind == BarNotifyFolderNameEdited ? "folder " : "item ";
            rename += std::to_string(r.index) + " " + r.text + (r.singleLine ? " one line" : "");
            EXPECT_FALSE(r.rect.IsEmpty());
        }
        EXPECT_EQ(rename, c.rename);
        EXPECT_TRUE(view.notes.empty());  // the menu's own changes tell the owner nothing
    }
}

TEST_F(NavBarControllerTest, FinishedRenameAsksTheOwner)
{
    const int item = BarNotifyItemLabelEdited, folder = BarNotifyFolderNameEdited;
    struct Case {
        int kind;
        int index;
        std::string text;
        long reply;
        std::string order;
        std::string folder1;
    };
    const Case cases[] = {
        {item, 1, "Catch", 1, "I0 Catch I2 I3", "F1"},
        {item, 2, "Other", 0, kStart, "F1"},
        {folder, 1, "釣り場", 1, kStart, "釣り場"},
        {folder, 1, "釣り場", 0, kStart, "F1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " " + std::to_string(c.reply));
        Build();
        view.reply = c.reply;
        control->FinishRename(c.kind, c.index, c.text);
        EXPECT_EQ(view.notes, (std::vector<Note>{{c.kind, -1, c.index, c.text, -1, -1}}));
        EXPECT_EQ(Order(), c.order);
        EXPECT_EQ(model.FolderName(1), c.folder1);
    }
}

TEST_F(NavBarControllerTest, HoverFollowsThePointerAndGoesWithIt)
{
    control->MouseMove(At(Folder(1)));
    EXPECT_EQ(control->PaintState().hotFolder, 1);
    EXPECT_EQ(view.cursor, BarCursorFolder);
    EXPECT_EQ(view.timers[BarTimerHover], CNavBarController::kHoverInterval);
    BarRect button;
    ASSERT_TRUE(model.FolderButtonRect(1, button));
    EXPECT_EQ(view.repainted.back(), button);

    Move(Icon(2));
    EXPECT_EQ(control->PaintState().hotFolder, -1);
    EXPECT_EQ(control->PaintState().hotItem, 2);
    EXPECT_FALSE(control->PaintState().hotItemPressed);
    EXPECT_EQ(view.cursor, BarCursorNormal);

    // Still over the bar, the hover watch keeps the look; gone from it, it takes the look away.
    control->TimerFired(BarTimerHover);
    EXPECT_EQ(control->PaintState().hotItem, 2);
    control->PointerLeft();
    control->TimerFired(BarTimerHover);
    EXPECT_EQ(control->PaintState().hotItem, -1);
    EXPECT_FALSE(view.Running(BarTimerHover));

    // No hover while the rename edit has the focus.
    view.editing = true;
    Move(Folder(1));
    Move(Icon(1));
    EXPECT_EQ(control->PaintState().hotFolder, -1);
    EXPECT_EQ(control->PaintState().hotItem, -1);
}

TEST_F(NavBarControllerTest, APressWhoseReleaseWasLostEndsWithoutEffect)
{
    Press(Icon(0));
    Move(kOff);
    ASSERT_TRUE(control->IsDragging());
    // The release went where the bar never saw it; the next press starts afresh.
    Press(Icon(2));
    EXPECT_FALSE(control->IsDragging());
    Release(Icon(2));
    EXPECT_EQ(view.notes, std::vector<Note>{Click(2)});
    EXPECT_EQ(Order(), kStart);

    // Hidden mid-press or mid-slide: the press ends and the slide stops.
    Press(Folder(1));
    ASSERT_EQ(control->PaintState().pressedFolder, 1);
    control->Hidden();
    EXPECT_EQ(control->PaintState().pressedFolder, -1);
    control->SelectFolder(1);
    ASSERT_TRUE(control->IsAnimating());
    control->Hidden();
    EXPECT_FALSE(control->IsAnimating());
    EXPECT_FALSE(view.Running(BarTimerSlide));
    EXPECT_EQ(view.slidesEnded, 1);
}
