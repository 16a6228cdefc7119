#include "navbar/NavBarController.h"

#include <algorithm>

// ---- content --------------------------------------------------------------------------------

void CNavBarController::SelectFolder(int index)
{
    const int from = m_model.SelectedFolder();
    if (index != from && m_model.HasFlag(BarAnimateFolders) && m_stepDelay >= 0 && m_view.IsShown())
        StartSlide(from, index);
    m_model.SetSelectedFolder(index);
    m_view.Notify(BarNotifyFolderSelected, index, nullptr);
    m_view.RepaintAll();
}

void CNavBarController::DeleteFolder(int index)
{
    m_model.DeleteFolder(index);
    m_state.hotFolder = -1;
    m_state.hotItem = -1;
    m_view.RepaintAll();
}

void CNavBarController::DeleteItem(int index)
{
    if (!m_model.DeleteItem(index)) return;
    m_state.hotItem = -1;
    m_lastHotRequest = -1;
    m_view.Repaint(m_model.ItemAreaRect());
}

void CNavBarController::UseSmallIcons(bool on)
{
    if (m_model.UseSmallIcons(on)) m_state.hotItem = -1;
    m_view.Repaint(m_model.ItemAreaRect());
}

// ---- feedback -------------------------------------------------------------------------------

BarRect CNavBarController::FolderButton(int folder) const
{
    BarRect r;
    return m_model.FolderButtonRect(folder, r) ? r : BarRect{};
}

void CNavBarController::SetHotFolder(int index)
{
    if (m_view.FocusInside() || index == m_state.hotFolder) return;
    m_view.Repaint(FolderButton(m_state.hotFolder));
    m_state.hotFolder = m_model.IsValidFolder(index) ? index : -1;
    m_view.Repaint(FolderButton(m_state.hotFolder));
}

void CNavBarController::RepaintItemFrame(int item)
{
    const int s = m_model.SelectedFolder();
    if (m_model.IsValidItem(s, item)) m_view.Repaint(m_model.ItemIconRect(s, item).Inflated(1, 1));
}

void CNavBarController::SetHotItem(int index, bool pressed)
{
    if (m_view.FocusInside()) return;
    if (index == m_lastHotRequest && pressed == m_lastHotPressed) return;
    m_lastHotRequest = index;
    m_lastHotPressed = pressed;
    RepaintItemFrame(m_state.hotItem);
    if (m_model.HasFlag(BarFrameSelection) && index == m_model.LastClickedItem()) {
        // The selection frame stays; no hover frame over it.
        m_state.hotItem = -1;
        m_state.hotItemPressed = false;
        return;
    }
    m_state.hotItem = m_model.IsValidItem(m_model.SelectedFolder(), index) ? index : -1;
    m_state.hotItemPressed = pressed;
    RepaintItemFrame(m_state.hotItem);
}

void CNavBarController::ShowDropMarker(int position)
{
    if (position == m_state.dropPosition) return;
    if (m_state.dropPosition >= 0)
        m_view.Repaint(
            CNavBarModel::DropMarkerExtent(m_model.DropMarkerRect(m_state.dropPosition, nullptr)));
    m_state.dropPosition = position;
    if (position >= 0)
        m_view.Repaint(CNavBarModel::DropMarkerExtent(m_model.DropMarkerRect(position, nullptr)));
}

// ---- folder slide ---------------------------------------------------------------------------

const BarSlideFrame* CNavBarController::CurrentSlideFrame() const
{
    return IsAnimating() ? &m_slideFrames[m_slideFrame] : nullptr;
}

void CNavBarController::StartSlide(int from, int to)
{
    StopSlide();
    std::vector<BarSlideFrame> frames = ComputeSlideFrames(m_model, from, to);
    if (frames.empty()) return;
    m_view.SlideStarted(from, to);
    m_slideFrames = std::move(frames);
    m_slideFrame = 0;
    m_view.StartTimer(BarTimerSlide, std::max(m_stepDelay, 1));
    m_view.RepaintAll();
}

void CNavBarController::StopSlide()
{
    if (!IsAnimating()) return;
    m_view.StopTimer(BarTimerSlide);
    m_slideFrames.clear();
    m_slideFrame = 0;
    m_view.SlideEnded();
}

// ---- pointer --------------------------------------------------------------------------------

void CNavBarController::MouseMove(BarPoint point)
{
    m_pointer = point;
    m_pointerInside = m_model.ClientRect().Contains(point);
    switch (m_tracking) {
        case TrackItem:
            ItemMove(point);
            return;
        case TrackFolder: {
            const BarHit hit = m_model.HitTestBar(point);
            const int pressed =
                hit.kind == BarHitFolder && hit.index == m_trackIndex ? m_trackIndex : -1;
            if (pressed != m_state.pressedFolder) {
                m_state.pressedFolder = pressed;
                m_view.Repaint(FolderButton(m_trackIndex));
            }
            return;
        }
        case TrackUpArrow:
        case TrackDownArrow: {
            const bool on = PointerOnTrackedArrow();
            const bool up = m_tracking == TrackUpArrow;
            bool& look = up ? m_state.upPressed : m_state.downPressed;
            if (look != on) {
                look = on;
                m_view.Repaint(up ? m_model.UpArrowRect() : m_model.DownArrowRect());
            }
            return;
        }
        case TrackNone:
            HoverMove(point);
            return;
    }
}

void CNavBarController::HoverMove(BarPoint point)
{
    const BarHit hit = m_model.HitTestBar(point);
    if (hit.kind != BarHitFolder && m_state.hotFolder >= 0) SetHotFolder(-1);
    if (hit.kind != BarHitItem && m_state.hotItem >= 0) SetHotItem(-1, false);
    if (hit.kind == BarHitFolder) {
        SetHotFolder(hit.index);
        m_view.StartTimer(BarTimerHover, kHoverInterval);
        m_view.SetCursor(BarCursorFolder);
    } else {
        m_view.SetCursor(BarCursorNormal);
        if (hit.kind == BarHitItem) {
            SetHotItem(hit.index, false);
            m_view.StartTimer(BarTimerHover, kHoverInterval);
        }
    }
}

void CNavBarController::MousePress(BarButton button, BarPoint point)
{
    m_pointer = point;
    if (button == BarButtonRight) {
        if (m_tracking != TrackNone) return;
        const std::vector<BarMenuEntry> entries = ContextMenu(point);
        const int chosen = m_view.ShowMenu(entries, point);
        if (chosen != 0) RunCommand(chosen);
        return;
    }
    if (button == BarButtonLeft) PressLeft(point);
}

void CNavBarController::PressLeft(BarPoint point)
{
    // A press while still tracking means the release went elsewhere (the mouse was taken away):
    // that press ends without effect, as if its capture had been lost.
    if (m_tracking != TrackNone) CancelTracking();
    m_view.TakeFocus();
    const BarHit hit = m_model.HitTestBar(point);
    switch (hit.kind) {
        case BarHitItem:
            m_state.dropPosition = -1;
            m_itemPressed = true;
            m_dragging = false;
            m_tracking = TrackItem;
            m_trackIndex = hit.index;
            SetHotItem(hit.index, true);
            m_shownPressed = true;
            break;
        case BarHitFolder:
            m_tracking = TrackFolder;
            m_trackIndex = hit.index;
            m_state.pressedFolder = hit.index;
            m_view.Repaint(FolderButton(hit.index));
            break;
        case BarHitUpArrow:
        case BarHitDownArrow: {
            const bool up = hit.kind == BarHitUpArrow;
            m_scrolling = true;
            m_tracking = up ? TrackUpArrow : TrackDownArrow;
            (up ? m_state.upPressed : m_state.downPressed) = true;
            m_view.StartTimer(BarTimerScroll, kScrollInterval);
            m_view.Repaint(up ? m_model.UpArrowRect() : m_model.DownArrowRect());
            break;
        }
        default:
            break;
    }
}

void CNavBarController::CancelTracking()
{
    switch (m_tracking) {
        case TrackItem:
            ShowDropMarker(-1);
            m_tracking = TrackNone;
            m_dragging = false;
            m_itemPressed = m_shownPressed = false;
            m_state.hotItem = -1;
            m_state.hotItemPressed = false;
            m_lastHotRequest = -1;
            m_view.SetCursor(BarCursorNormal);
            m_view.RepaintAll();
            break;
        case TrackFolder:
            m_tracking = TrackNone;
            m_state.pressedFolder = -1;
            m_view.RepaintAll();
            break;
        case TrackUpArrow:
        case TrackDownArrow:
            EndArrowScroll();
            break;
        case TrackNone:
            break;
    }
}

void CNavBarController::Hidden()
{
    CancelTracking();
    StopSlide();
}

void CNavBarController::MouseRelease(BarButton button, BarPoint point)
{
    if (button != BarButtonLeft) return;
    m_pointer = point;
    switch (m_tracking) {
        case TrackItem:
            ItemRelease(point);
            break;
        case TrackFolder:
            FolderRelease(point);
            break;
        case TrackUpArrow:
        case TrackDownArrow:
            ArrowRelease();
            break;
        case TrackNone:
            break;
    }
}

void CNavBarController::FolderRelease(BarPoint point)
{
    const int pressed = m_trackIndex;
    m_tracking = TrackNone;
    m_state.pressedFolder = -1;
    m_view.Repaint(FolderButton(pressed));
    const BarHit hit = m_model.HitTestBar(point);
    if (hit.kind == BarHitFolder && hit.index != m_model.SelectedFolder()) SelectFolder(hit.index);
    m_state.hotItem = -1;
    m_lastHotRequest = -1;
}

void CNavBarController::ItemMove(BarPoint point)
{
    const int k = m_trackIndex;
    const BarHit hit = m_model.HitTestBar(point);
    if (m_dragging) {
        if (hit.kind == BarHitItem) {
            ShowDropMarker(hit.index);
            m_view.SetCursor(BarCursorDrag);
        } else if (m_model.IsInDropBand(point)) {
            ShowDropMarker(m_model.ItemCountOfSelected());
            m_view.SetCursor(BarCursorDrag);
        } else {
            ShowDropMarker(-1);
            m_view.SetCursor(BarCursorNoDrop);
        }
        return;
    }
    if (hit.kind == BarHitItem && hit.index == k) {
        if (!m_shownPressed) {
            SetHotItem(k, true);
            m_shownPressed = true;
        }
    } else if (hit.kind == BarHitItem) {
        if (m_shownPressed) {
            SetHotItem(k, false);
            m_shownPressed = false;
        }
    } else if (m_model.HasFlag(BarDragItems)) {
        m_dragging = true;
        SetHotItem(k, true);
        m_shownPressed = true;
        m_view.SetCursor(BarCursorDrag);
    }
}

void CNavBarController::ItemRelease(BarPoint point)
{
    const int k = m_trackIndex;
    const int s = m_model.SelectedFolder();
    m_tracking = TrackNone;
    if (m_shownPressed) {
        SetHotItem(-1, false);
        m_shownPressed = false;
    }
    const BarHit hit = m_model.HitTestBar(point);
    const bool dragged = m_dragging;
    if (dragged) {
        BarNotifyInfo info;
        info.folder = s;
        info.item = k;
        if (hit.kind == BarHitItem && hit.index != k) {
            if (m_view.Notify(BarNotifyItemMoved, -1, &info) != 0) m_model.MoveItem(k, hit.index);
        } else if (hit.kind != BarHitItem && m_model.IsInDropBand(point)) {
            if (m_view.Notify(BarNotifyItemMoved, -1, &info) != 0) m_model.MoveItemToEnd(k);
        }
    } else if (hit.kind == BarHitItem && hit.index == k) {
        if (m_model.HasFlag(BarFrameSelection)) RepaintItemFrame(m_model.LastClickedItem());
        m_model.SetLastClickedItem(k);
        if (m_model.HasFlag(BarFrameSelection)) RepaintItemFrame(k);
        m_view.Notify(BarNotifyItemClick, k, nullptr);
    }
    m_dragging = false;
    m_state.dropPosition = -1;
    m_view.SetCursor(BarCursorNormal);
    if (dragged) m_view.RepaintAll();
    m_state.hotItemPressed = false;
    if (m_itemPressed && m_model.IsValidItem(s, k)) m_view.Repaint(m_model.ItemBoundsRect(s, k));
    m_itemPressed = false;
    // The press is over; the next hover starts afresh.
    m_state.hotItem = -1;
    m_lastHotRequest = -1;
    m_lastHotPressed = false;
}

// ---- scroll arrows --------------------------------------------------------------------------

bool CNavBarController::PointerOnTrackedArrow() const
{
    const BarRect& arrow =
        m_tracking == TrackUpArrow ? m_model.UpArrowRect() : m_model.DownArrowRect();
    return arrow.Contains(m_pointer);
}

void CNavBarController::ArrowRelease()
{
    // Released on its arrow, the press steps once more.
    if (PointerOnTrackedArrow())
        m_tracking == TrackDownArrow ? m_model.ScrollDown() : m_model.ScrollUp();
    EndArrowScroll();
}

void CNavBarController::ArrowStep()
{
    const bool down = m_tracking == TrackDownArrow;
    bool& look = down ? m_state.downPressed : m_state.upPressed;
    if (!PointerOnTrackedArrow()) {
        look = false;
        return;
    }
    look = true;
    if (down ? !m_model.CanScrollDown() : !m_model.CanScrollUp()) {
        EndArrowScroll();
        return;
    }
    down ? m_model.ScrollDown() : m_model.ScrollUp();
    m_view.Repaint(m_model.ItemAreaRect());
}

void CNavBarController::EndArrowScroll()
{
    m_view.StopTimer(BarTimerScroll);
    m_tracking = TrackNone;
    m_scrolling = false;
    m_state.upPressed = m_state.downPressed = false;
    m_model.ClearArrowsShown();
    m_view.Repaint(m_model.ItemAreaRect());
}

void CNavBarController::TimerFired(BarTimer timer)
{
    switch (timer) {
        case BarTimerHover:
            if (!m_pointerInside || !m_model.ClientRect().Contains(m_pointer)) {
                SetHotFolder(-1);
                SetHotItem(-1, false);
                m_view.StopTimer(BarTimerHover);
            }
            break;
        case BarTimerScroll:
            if (m_tracking == TrackUpArrow || m_tracking == TrackDownArrow)
                ArrowStep();
            else
                m_view.StopTimer(BarTimerScroll);
            break;
        case BarTimerSlide:
            if (!IsAnimating()) {
                m_view.StopTimer(BarTimerSlide);
                break;
            }
            if (++m_slideFrame >= m_slideFrames.size()) StopSlide();
            m_view.RepaintAll();
            break;
    }
}

// ---- renaming -------------------------------------------------------------------------------

void CNavBarController::BeginFolderRename(int index)
{
    if (!m_model.IsValidFolder(index)) return;
    m_view.BeginRename({BarNotifyFolderNameEdited, index, m_model.FolderRenameRect(index),
                        m_model.FolderName(index), false, false});
}

void CNavBarController::BeginItemRename(int index)
{
    if (!m_model.IsValidItem(m_model.SelectedFolder(), index)) return;
    m_view.BeginRename({BarNotifyItemLabelEdited, index, m_model.ItemRenameRect(index),
                        m_model.ItemLabel(index), m_model.UsesSmallIcons(), true});
}

void CNavBarController::FinishRename(int kind, int index, const std::string& text)
{
    BarNotifyInfo info;
    info.index = index;
    info.text = text.c_str();
    if (m_view.Notify(kind, -1, &info) == 0) return;
    if (kind == BarNotifyFolderNameEdited) {
        m_model.SetFolderName(index, text);
        m_view.Repaint(FolderButton(index));
    } else if (kind == BarNotifyItemLabelEdited) {
        m_model.SetItemLabel(index, text);
        m_view.Repaint(m_model.ItemAreaRect());
    }
}

// ---- context menu ---------------------------------------------------------------------------

std::vector<BarMenuEntry> CNavBarController::ContextMenu(BarPoint point)
{
    m_contextHit = m_model.HitTestBar(point);
    std::vector<BarMenuEntry> entries;
    auto add = [&](int id, const char* text) {
        entries.push_back({id, text, IsCommandEnabled(id)});
    };
    add(BarCmdSmallIcons, "小さいアイコン(&S)");
    add(BarCmdLargeIcons, "大きいアイコン(&L)");
    bool remove = false;
    bool rename = false;
    if (m_contextHit.kind == BarHitItem) {
        remove = m_model.HasFlag(BarRemoveItems);
        rename = m_model.HasFlag(BarRenameItems);
    } else if (m_contextHit.kind == BarHitFolder) {
        remove = m_model.HasFlag(BarRemoveFolders);
        rename = m_model.HasFlag(BarRenameFolders);
    }
    if (remove || rename) entries.push_back({});
    if (remove) add(BarCmdRemove, "削除(&D)");
    if (rename) add(BarCmdRename, "名前の変更(&M)");
    return entries;
}

bool CNavBarController::IsCommandEnabled(int id) const
{
    switch (id) {
        case BarCmdSmallIcons:
            return !m_model.UsesSmallIcons();
        case BarCmdLargeIcons:
            return m_model.UsesSmallIcons();
        case BarCmdRemove:
            return !m_removeGuard || m_removeGuard(m_contextHit.kind, m_contextHit.index);
        default:
            return true;
    }
}

void CNavBarController::RunCommand(int id)
{
    switch (id) {
        case BarCmdSmallIcons:
        case BarCmdLargeIcons:
            UseSmallIcons(id == BarCmdSmallIcons);
            m_view.RepaintAll();
            break;
        case BarCmdRemove:
            if (!IsCommandEnabled(BarCmdRemove)) break;
            if (m_contextHit.kind == BarHitItem)
                DeleteItem(m_contextHit.index);
            else if (m_contextHit.kind == BarHitFolder)
                DeleteFolder(m_contextHit.index);
            break;
        case BarCmdRename:
            if (m_contextHit.kind == BarHitItem)
                BeginItemRename(m_contextHit.index);
            else if (m_contextHit.kind == BarHitFolder)
                BeginFolderRename(m_contextHit.index);
            break;
        default:
            break;
    }
}
