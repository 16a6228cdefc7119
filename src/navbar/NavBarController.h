#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "navbar/NavBarModel.h"
#include "navbar/NavBarPainter.h"

// The timers the bar's input runs on.
enum BarTimer {
    BarTimerHover,   // watches for the pointer leaving, to take the hover look away
    BarTimerScroll,  // repeats the step of a held scroll arrow
    BarTimerSlide,   // shows the next frame of a folder slide
};

enum BarCursor {
    BarCursorNormal,
    BarCursorFolder,  // over a folder button
    BarCursorDrag,    // dragging over a place where the item can be dropped
    BarCursorNoDrop,  // dragging anywhere else
};

enum BarButton {
    BarButtonLeft,
    BarButtonRight,
    BarButtonOther,
};

// One entry of the context menu; id 0 is a separator.
struct BarMenuEntry {
    int id = 0;
    std::string text;
    bool enabled = true;
    bool operator==(const BarMenuEntry&) const = default;
};

// An in-place rename to open over `rect` with `text` in it.  Its confirmed text comes back to
// CNavBarController::FinishRename with the same kind and index.
struct BarRenameRequest {
    int kind = 0;  // BarNotifyFolderNameEdited or BarNotifyItemLabelEdited
    int index = -1;
    BarRect rect;
    std::string text;
    bool singleLine = false;  // one line (an item in the small view), else wrapped and centred
    bool grows = false;       // the edit grows with its text
};

// What the bar's input needs from the window that shows the bar.
class CBarView {
public:
    virtual ~CBarView() = default;
    // Redraws `rect`; an empty rectangle redraws nothing.
    virtual void Repaint(const BarRect& rect) = 0;
    virtual void RepaintAll() = 0;
    // Starting a running timer starts it afresh.
    virtual void StartTimer(BarTimer timer, int milliseconds) = 0;
    virtual void StopTimer(BarTimer timer) = 0;
    virtual void SetCursor(BarCursor cursor) = 0;
    // Tells the owner; nonzero accepts a rename or a move.
    virtual long Notify(int code, int index, const BarNotifyInfo* info) = 0;
    virtual bool IsShown() const = 0;
    // Whether the keyboard focus is in a control inside the bar (its rename edit).
    virtual bool FocusInside() const = 0;
    virtual void TakeFocus() = 0;
    virtual void BeginRename(const BarRenameRequest& request) = 0;
    // Shows the menu at `point` and returns the chosen command, 0 when none was chosen.
    virtual int ShowMenu(const std::vector<BarMenuEntry>& entries, BarPoint point) = 0;
    // A slide from folder `from` to `to` begins while the model still has `from` open, so the
    // pictures the frames show can be drawn; SlideEnded lets them go.
    virtual void SlideStarted(int from, int to) = 0;
    virtual void SlideEnded() = 0;
};

// The input of the navigation bar: hover, presses, item drags, the scroll arrows, the folder
// slide, renaming and the context menu.  It changes the model and tells the view what to show.
// All points are in the coordinates of the model's client rectangle.
class CNavBarController {
public:
    static constexpr int kHoverInterval = 100;
    static constexpr int kScrollInterval = 300;

    // Asked before "削除" is offered or carried out: kind is BarHitFolder (index a folder)
    // or BarHitItem (index an item of the selected folder).  False keeps it.
    using RemoveGuard = std::function<bool(int kind, int index)>;

    CNavBarController(CNavBarModel& model, CBarView& view) : m_model(model), m_view(view) {}

    void SetRemoveGuard(RemoveGuard guard) { m_removeGuard = std::move(guard); }
    // A negative delay turns the slide off.
    void SetAnimationStepDelay(int milliseconds) { m_stepDelay = milliseconds; }
    void SetArrowSide(int side) { m_state.arrowSide = side; }
    const BarPaintState& PaintState() const { return m_state; }

    // Content changes that also drop the looks they invalidate.
    void SelectFolder(int index);
    void DeleteFolder(int index);
    void DeleteItem(int index);
    void UseSmallIcons(bool on);

    void MousePress(BarButton button, BarPoint point);
    void MouseMove(BarPoint point);
    void MouseRelease(BarButton button, BarPoint point);
    void PointerLeft() { m_pointerInside = false; }
    // A press whose release will never come ends without effect; a slide stops.
    void Hidden();
    void TimerFired(BarTimer timer);

    // Feedback.
    void SetHotFolder(int index);
    void SetHotItem(int index, bool pressed);
    void ShowDropMarker(int position);
    bool IsDragging() const { return m_dragging; }
    bool IsScrolling() const { return m_scrolling; }
    bool IsAnimating() const { return !m_slideFrames.empty(); }
    int SlideFrameCount() const { return static_cast<int>(m_slideFrames.size()); }
    int SlideFrameShown() const { return static_cast<int>(m_slideFrame); }
    // The frame on screen while animating, else null.
    const BarSlideFrame* CurrentSlideFrame() const;

    // Renaming: opens the edit; the owner is asked about the confirmed text.
    void BeginFolderRename(int index);
    void BeginItemRename(int index);
    void FinishRename(int kind, int index, const std::string& text);

    // The context menu for what lies under `point`, which its commands then act on.
    std::vector<BarMenuEntry> ContextMenu(BarPoint point);
    bool IsCommandEnabled(int id) const;
    void RunCommand(int id);

private:
    enum Tracking {
        TrackNone,
        TrackItem,
        TrackFolder,
        TrackUpArrow,
        TrackDownArrow,
    };

    BarRect FolderButton(int folder) const;
    void RepaintItemFrame(int item);
    void StartSlide(int from, int to);
    void StopSlide();
    void CancelTracking();
    void PressLeft(BarPoint point);
    void HoverMove(BarPoint point);
    void ItemMove(BarPoint point);
    void ItemRelease(BarPoint point);
    void FolderRelease(BarPoint point);
    void ArrowRelease();
    void ArrowStep();
    void EndArrowScroll();
    bool PointerOnTrackedArrow() const;

    CNavBarModel& m_model;
    CBarView& m_view;
    RemoveGuard m_removeGuard;
    BarPaintState m_state;
    int m_stepDelay = 10;

    // The hot item as last requested, to ignore repeated requests.
    int m_lastHotRequest = -1;
    bool m_lastHotPressed = false;

    Tracking m_tracking = TrackNone;
    int m_trackIndex = -1;
    bool m_itemPressed = false;
    bool m_shownPressed = false;
    bool m_dragging = false;
    bool m_scrolling = false;
    BarPoint m_pointer{-1, -1};
    bool m_pointerInside = false;

    std::vector<BarSlideFrame> m_slideFrames;
    std::size_t m_slideFrame = 0;

    BarHit m_contextHit;
};
