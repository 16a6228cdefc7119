#include "navbar/widgets/NavBarCtrl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTimerEvent>

#include "navbar/widgets/BarLabelEdit.h"
#include "navbar/widgets/BarPopupMenu.h"
#include "navbar/widgets/QtBarCanvas.h"
#include "uikit/QtText.h"

namespace {
// Cursors of the bar: over folder buttons, while dragging over a drop place, and elsewhere while
// dragging.
const Qt::CursorShape kFolderCursor = Qt::PointingHandCursor;
const Qt::CursorShape kDragCursor = Qt::DragMoveCursor;
const Qt::CursorShape kNoDropCursor = Qt::ForbiddenCursor;

BarPoint ToBar(const QPoint& p)
{
    return {p.x(), p.y()};
}
}  // namespace

CNavBarCtrl::CNavBarCtrl(QWidget* parent)
    : QFrame(parent), m_metrics(std::make_unique<CQtBarTextMetrics>(BarGuiFont()))
{
    m_model.SetTextMetrics(m_metrics.get());
    // A thin sunken edge around the client area, like a static edge.
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(BarGuiFont());
    m_model.SetClientRect(BarRectFromQ(contentsRect()));
    m_state.arrowSide = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

CNavBarCtrl::~CNavBarCtrl()
{
    // The rename edit is a child; it must not call back into a half-destroyed bar.
    if (m_edit) delete m_edit.data();
}

bool CNavBarCtrl::CreateBar(QWidget* parent, const QRect& rect, int id, std::uint32_t flags)
{
    m_model.SetFlags(flags);
    if (parent != nullptr && parentWidget() != parent) setParent(parent);
    setObjectName(QString::number(id));
    setGeometry(rect);
    // A hidden widget gets its resize event only when shown; the layout is needed before that.
    m_model.SetClientRect(BarRectFromQ(contentsRect()));
    show();
    return true;
}

QRect CNavBarCtrl::QRectFromModel(const BarRect& rect)
{
    return QRectFromBar(rect);
}

long CNavBarCtrl::SendNotify(int code, int index, const BarNotifyInfo* info)
{
    if (m_handler) return m_handler(code, index, info);
    if (m_owner != nullptr) return m_owner->OnBarNotify(code, index, info);
    if (auto* owner = dynamic_cast<CBarOwner*>(parentWidget()))
        return owner->OnBarNotify(code, index, info);
    return 0;
}

// ---- content --------------------------------------------------------------------------------

int CNavBarCtrl::AppendFolder(const QString& name, long value)
{
    return m_model.AppendFolder(StdFromQString(name), value);
}

int CNavBarCtrl::InsertFolderItem(int folder, int index, const QString& label, int image,
                                  long value)
{
    return m_model.InsertFolderItem(folder, index, StdFromQString(label), image, value);
}

const CBarImageList* CNavBarCtrl::AttachImageList(const CBarImageList* list, int kind)
{
    return m_model.AttachImageList(list, kind);
}

void CNavBarCtrl::SelectFolder(int index)
{
    const int from = m_model.SelectedFolder();
    if (index != from && m_model.HasFlag(BarAnimateFolders) && m_stepDelay >= 0 && isVisible())
        StartSlide(from, index);
    m_model.SetSelectedFolder(index);
    SendNotify(BarNotifyFolderSelected, index, nullptr);
    update();
}

void CNavBarCtrl::DeleteFolder(int index)
{
    m_model.DeleteFolder(index);
    m_state.hotFolder = -1;
    m_state.hotItem = -1;
    update();
}

void CNavBarCtrl::DeleteItem(int index)
{
    if (!m_model.DeleteItem(index)) return;
    m_state.hotItem = -1;
    m_lastHotRequest = -1;
    update(ItemAreaRect());
}

void CNavBarCtrl::UseSmallIcons(bool on)
{
    if (m_model.UseSmallIcons(on)) m_state.hotItem = -1;
    update(ItemAreaRect());
}

QString CNavBarCtrl::ItemLabel(int index) const
{
    return QStringFromStd(m_model.ItemLabel(index));
}

QString CNavBarCtrl::FolderName(int index) const
{
    return QStringFromStd(m_model.FolderName(index));
}

// ---- layout ---------------------------------------------------------------------------------

QRect CNavBarCtrl::FolderButtonRect(int folder) const
{
    BarRect r;
    return m_model.FolderButtonRect(folder, r) ? QRectFromBar(r) : QRect();
}

QRect CNavBarCtrl::ItemAreaRect() const
{
    return QRectFromBar(m_model.ItemAreaRect());
}

QRect CNavBarCtrl::ItemBoundsRect(int folder, int item) const
{
    return QRectFromBar(m_model.ItemBoundsRect(folder, item));
}

QRect CNavBarCtrl::ItemIconRect(int folder, int item) const
{
    return QRectFromBar(m_model.ItemIconRect(folder, item));
}

QRect CNavBarCtrl::ItemLabelRect(int folder, int item) const
{
    return QRectFromBar(m_model.ItemLabelRect(folder, item));
}

QRect CNavBarCtrl::DropMarkerRect(int position, int* kind) const
{
    return QRectFromBar(m_model.DropMarkerRect(position, kind));
}

BarHit CNavBarCtrl::HitTestBar(const QPoint& point) const
{
    return m_model.HitTestBar(ToBar(point));
}

// ---- painting -------------------------------------------------------------------------------

void CNavBarCtrl::PaintClient(QPainter& painter)
{
    m_model.PlaceArrows(m_state.arrowSide);
    CQtBarCanvas canvas(painter, m_model.Colors());
    CNavBarPainter(canvas, m_model).PaintBar(m_state);
}

void CNavBarCtrl::paintEvent(QPaintEvent*)
{
    const QRect client = contentsRect();
    // The whole client area is drawn off screen and copied in one go, so nothing flickers.
    const qreal ratio = devicePixelRatioF();
    QPixmap buffer(size() * ratio);
    buffer.setDevicePixelRatio(ratio);
    {
        QPainter offscreen(&buffer);
        offscreen.setClipRect(client);
        if (IsAnimating()) {
            offscreen.drawPixmap(0, 0, m_slideBase);
            const BarRect area = m_model.ItemAreaRect();
            for (const BarSlideBand& band : m_slideFrames[m_slideFrame].bands) {
                const int rows = band.bottom - band.top;
                if (rows <= 0) continue;
                offscreen.drawPixmap(QRect(area.left, band.top, area.Width(), rows),
                                     m_slidePictures[band.source],
                                     QRect(0, band.sourceTop, area.Width(), rows));
            }
        } else {
            PaintClient(offscreen);
        }
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, buffer);
    drawFrame(&painter);
}

void CNavBarCtrl::resizeEvent(QResizeEvent* event)
{
    m_model.ClearArrowsShown();
    m_model.SetClientRect(BarRectFromQ(contentsRect()));
    QFrame::resizeEvent(event);
}

bool CNavBarCtrl::FocusInChild() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus != this && isAncestorOf(focus);
}

void CNavBarCtrl::SetHotFolder(int index)
{
    if (FocusInChild() || index == m_state.hotFolder) return;
    const QRect old = FolderButtonRect(m_state.hotFolder);
    m_state.hotFolder = m_model.IsValidFolder(index) ? index : -1;
    if (!old.isNull()) update(old);
    if (m_state.hotFolder >= 0) update(FolderButtonRect(m_state.hotFolder));
}

void CNavBarCtrl::UpdateItemFrame(int item)
{
    const int s = m_model.SelectedFolder();
    if (m_model.IsValidItem(s, item))
        update(QRectFromBar(m_model.ItemIconRect(s, item).Inflated(1, 1)));
}

void CNavBarCtrl::SetHotItem(int index, bool pressed)
{
    if (FocusInChild()) return;
    if (index == m_lastHotRequest && pressed == m_lastHotPressed) return;
    m_lastHotRequest = index;
    m_lastHotPressed = pressed;
    UpdateItemFrame(m_state.hotItem);
    if (m_model.HasFlag(BarFrameSelection) && index == m_model.LastClickedItem()) {
        // The selection frame stays; no hover frame over it.
        m_state.hotItem = -1;
        m_state.hotItemPressed = false;
        return;
    }
    m_state.hotItem = m_model.IsValidItem(m_model.SelectedFolder(), index) ? index : -1;
    m_state.hotItemPressed = pressed;
    UpdateItemFrame(m_state.hotItem);
}

void CNavBarCtrl::ShowDropMarker(int position)
{
    if (position == m_state.dropPosition) return;
    if (m_state.dropPosition >= 0) {
        const BarRect old = m_model.DropMarkerRect(m_state.dropPosition, nullptr);
        update(QRectFromBar(CNavBarModel::DropMarkerExtent(old)));
    }
    m_state.dropPosition = position;
    if (position >= 0) {
        const BarRect marker = m_model.DropMarkerRect(position, &m_dropKind);
        update(QRectFromBar(CNavBarModel::DropMarkerExtent(marker)));
    }
}

// ---- folder animation -----------------------------------------------------------------------

QPixmap CNavBarCtrl::RenderSlidePicture(int folder, bool withButton)
{
    const int h = CNavBarModel::kFolderButtonHeight;
    const BarRect area = m_model.ItemAreaRect();
    QPixmap picture(std::max(1, area.Width()), std::max(1, area.Height() + 2 * h));
    QPainter painter(&picture);
    CQtBarCanvas canvas(painter, m_model.Colors());
    CNavBarPainter drawer(canvas, m_model);
    painter.translate(-area.left, 0);
    canvas.FillRect({area.left, 0, area.right, picture.height()}, m_model.Colors().background);
    if (withButton) drawer.DrawFolderButton(folder, {area.left, 0, area.right, h}, false);
    // The panel's content starts right under the button's rows.
    painter.translate(0, h - area.top);
    drawer.DrawItemArea(folder, area);
    return picture;
}

void CNavBarCtrl::StartSlide(int from, int to)
{
    StopSlide();
    std::vector<BarSlideFrame> frames = ComputeSlideFrames(m_model, from, to);
    if (frames.empty()) return;
    // Everything below is drawn in the layout of the folder that is still open.
    m_slideBase = QPixmap(size());
    {
        QPainter painter(&m_slideBase);
        PaintClient(painter);
    }
    m_slidePictures[0] = RenderSlidePicture(from, to < from);
    m_slidePictures[1] = RenderSlidePicture(to, to > from);
    m_slideFrames = std::move(frames);
    m_slideFrame = 0;
    m_slideTimer.start(std::max(m_stepDelay, 1), this);
    update();
}

void CNavBarCtrl::StopSlide()
{
    m_slideTimer.stop();
    m_slideFrames.clear();
    m_slideFrame = 0;
    m_slideBase = QPixmap();
    m_slidePictures[0] = m_slidePictures[1] = QPixmap();
}

// ---- mouse ----------------------------------------------------------------------------------

void CNavBarCtrl::leaveEvent(QEvent* event)
{
    m_pointerInside = false;
    QFrame::leaveEvent(event);
}

void CNavBarCtrl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_pointer = point;
    m_pointerInside = rect().contains(point);
    switch (m_tracking) {
        case TrackItem:
            ItemMove(point);
            return;
        case TrackFolder: {
            const BarHit hit = HitTestBar(point);
            const int pressed =
                hit.kind == BarHitFolder && hit.index == m_trackIndex ? m_trackIndex : -1;
            if (pressed != m_state.pressedFolder) {
                m_state.pressedFolder = pressed;
                update(FolderButtonRect(m_trackIndex));
            }
            return;
        }
        case TrackUpArrow:
        case TrackDownArrow: {
            const bool on = PointerOnTrackedArrow();
            bool& look = m_tracking == TrackUpArrow ? m_state.upPressed : m_state.downPressed;
            if (look != on) {
                look = on;
                update(m_tracking == TrackUpArrow ? UpArrowRect() : DownArrowRect());
            }
            return;
        }
        case TrackNone:
            break;
    }

    const BarHit hit = HitTestBar(point);
    if (hit.kind != BarHitFolder && m_state.hotFolder >= 0) SetHotFolder(-1);
    if (hit.kind != BarHitItem && m_state.hotItem >= 0) SetHotItem(-1, false);
    if (hit.kind == BarHitFolder) {
        SetHotFolder(hit.index);
        m_hoverTimer.start(kHoverInterval, this);
        setCursor(kFolderCursor);
    } else {
        unsetCursor();
        if (hit.kind == BarHitItem) {
            SetHotItem(hit.index, false);
            m_hoverTimer.start(kHoverInterval, this);
        }
    }
}

void CNavBarCtrl::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_pointer = point;
    if (event->button() == Qt::RightButton) {
        if (m_tracking == TrackNone) ShowContextMenu(point);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    // A press while still tracking means the release went elsewhere (the mouse was taken away):
    // that press ends without effect, as if its capture had been lost.
    if (m_tracking != TrackNone) CancelTracking();
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    const BarHit hit = HitTestBar(point);
    m_dropKind = 0;
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
            update(FolderButtonRect(hit.index));
            break;
        case BarHitUpArrow:
        case BarHitDownArrow:
            m_scrolling = true;
            m_tracking = hit.kind == BarHitUpArrow ? TrackUpArrow : TrackDownArrow;
            (hit.kind == BarHitUpArrow ? m_state.upPressed : m_state.downPressed) = true;
            m_scrollTimer.start(kScrollInterval, this);
            update(hit.kind == BarHitUpArrow ? UpArrowRect() : DownArrowRect());
            break;
        default:
            break;
    }
}

void CNavBarCtrl::CancelTracking()
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
            unsetCursor();
            update();
            break;
        case TrackFolder:
            m_tracking = TrackNone;
            m_state.pressedFolder = -1;
            update();
            break;
        case TrackUpArrow:
        case TrackDownArrow:
            EndArrowScroll();
            break;
        case TrackNone:
            break;
    }
}

void CNavBarCtrl::hideEvent(QHideEvent* event)
{
    CancelTracking();
    StopSlide();
    QFrame::hideEvent(event);
}

void CNavBarCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint point = event->position().toPoint();
    m_pointer = point;
    switch (m_tracking) {
        case TrackItem:
            ItemRelease(point);
            break;
        case TrackFolder: {
            const int pressed = m_trackIndex;
            m_tracking = TrackNone;
            m_state.pressedFolder = -1;
            update(FolderButtonRect(pressed));
            const BarHit hit = HitTestBar(point);
            if (hit.kind == BarHitFolder && hit.index != m_model.SelectedFolder())
                SelectFolder(hit.index);
            m_state.hotItem = -1;
            m_lastHotRequest = -1;
            break;
        }
        case TrackUpArrow:
        case TrackDownArrow: {
            const bool onArrow = PointerOnTrackedArrow();
            if (onArrow) {
                if (m_tracking == TrackDownArrow ? m_model.CanScrollDown() : m_model.CanScrollUp())
                    m_tracking == TrackDownArrow ? m_model.ScrollDown() : m_model.ScrollUp();
            }
            EndArrowScroll();
            break;
        }
        case TrackNone:
            break;
    }
}

void CNavBarCtrl::ItemMove(const QPoint& point)
{
    const int k = m_trackIndex;
    const BarHit hit = HitTestBar(point);
    if (m_dragging) {
        if (hit.kind == BarHitItem) {
            ShowDropMarker(hit.index);
            setCursor(kDragCursor);
        } else if (m_model.IsInDropBand(ToBar(point))) {
            ShowDropMarker(m_model.ItemCountOfSelected());
            setCursor(kDragCursor);
        } else {
            ShowDropMarker(-1);
            setCursor(kNoDropCursor);
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
        setCursor(kDragCursor);
    }
}

void CNavBarCtrl::ItemRelease(const QPoint& point)
{
    const int k = m_trackIndex;
    const int s = m_model.SelectedFolder();
    m_tracking = TrackNone;
    if (m_shownPressed) {
        SetHotItem(-1, false);
        m_shownPressed = false;
    }
    const BarHit hit = HitTestBar(point);
    const bool dragged = m_dragging;
    if (dragged) {
        BarNotifyInfo info;
        info.folder = s;
        info.item = k;
        if (hit.kind == BarHitItem && hit.index != k) {
            if (SendNotify(BarNotifyItemMoved, -1, &info) != 0) m_model.MoveItem(k, hit.index);
        } else if (hit.kind != BarHitItem && m_model.IsInDropBand(ToBar(point))) {
            if (SendNotify(BarNotifyItemMoved, -1, &info) != 0) m_model.MoveItemToEnd(k);
        }
    } else if (hit.kind == BarHitItem && hit.index == k) {
        if (m_model.HasFlag(BarFrameSelection)) UpdateItemFrame(m_model.LastClickedItem());
        m_model.SetLastClickedItem(k);
        if (m_model.HasFlag(BarFrameSelection)) UpdateItemFrame(k);
        SendNotify(BarNotifyItemClick, k, nullptr);
    }
    m_dragging = false;
    m_state.dropPosition = -1;
    unsetCursor();
    if (dragged) update();
    m_state.hotItemPressed = false;
    if (m_itemPressed && m_model.IsValidItem(s, k)) update(ItemBoundsRect(s, k));
    m_itemPressed = false;
    // The press is over; the next hover starts afresh.
    m_state.hotItem = -1;
    m_lastHotRequest = -1;
    m_lastHotPressed = false;
}

bool CNavBarCtrl::PointerOnTrackedArrow() const
{
    const QRect arrow = m_tracking == TrackUpArrow ? UpArrowRect() : DownArrowRect();
    return arrow.contains(m_pointer);
}

void CNavBarCtrl::ArrowStep()
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
    update(ItemAreaRect());
}

void CNavBarCtrl::EndArrowScroll()
{
    m_scrollTimer.stop();
    m_tracking = TrackNone;
    m_scrolling = false;
    m_state.upPressed = m_state.downPressed = false;
    m_model.ClearArrowsShown();
    update(ItemAreaRect());
}

void CNavBarCtrl::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_hoverTimer.timerId()) {
        if (!m_pointerInside || !contentsRect().contains(m_pointer)) {
            SetHotFolder(-1);
            SetHotItem(-1, false);
            m_hoverTimer.stop();
        }
    } else if (event->timerId() == m_scrollTimer.timerId()) {
        if (m_tracking == TrackUpArrow || m_tracking == TrackDownArrow)
            ArrowStep();
        else
            m_scrollTimer.stop();
    } else if (event->timerId() == m_slideTimer.timerId()) {
        if (++m_slideFrame >= m_slideFrames.size()) StopSlide();
        update();
    } else {
        QFrame::timerEvent(event);
    }
}

// ---- renaming -------------------------------------------------------------------------------

void CNavBarCtrl::BeginFolderRename(int index)
{
    if (!m_model.IsValidFolder(index)) return;
    if (m_edit) m_edit->clearFocus();
    auto* edit = new CBarLabelEdit(this, BarNotifyFolderNameEdited, index,
                                   CBarLabelEdit::MultiLineCentered, false);
    edit->setObjectName(QStringLiteral("BarLabelEdit"));
    edit->setGeometry(QRectFromBar(m_model.FolderRenameRect(index)));
    edit->SetText(FolderName(index));
    edit->show();
    edit->setFocus(Qt::OtherFocusReason);
    m_edit = edit;
}

void CNavBarCtrl::BeginItemRename(int index)
{
    if (!m_model.IsValidItem(m_model.SelectedFolder(), index)) return;
    if (m_edit) m_edit->clearFocus();
    const bool small = m_model.UsesSmallIcons();
    auto* edit = new CBarLabelEdit(
        this, BarNotifyItemLabelEdited, index,
        small ? CBarLabelEdit::SingleLineGrowing : CBarLabelEdit::MultiLineCentered, true);
    edit->setObjectName(QStringLiteral("BarLabelEdit"));
    edit->setGeometry(QRectFromBar(m_model.ItemRenameRect(index)));
    edit->SetText(ItemLabel(index));
    edit->show();
    edit->setFocus(Qt::OtherFocusReason);
    m_edit = edit;
}

long CNavBarCtrl::OnLabelEditDone(CBarLabelEdit* edit)
{
    const std::string text = StdFromQString(edit->Text());
    BarNotifyInfo info;
    info.index = edit->Index();
    info.text = text.c_str();
    const int kind = edit->Kind();
    if (SendNotify(kind, -1, &info) == 0) return 0;
    if (kind == BarNotifyFolderNameEdited) {
        m_model.SetFolderName(info.index, text);
        update(FolderButtonRect(info.index));
    } else if (kind == BarNotifyItemLabelEdited) {
        m_model.SetItemLabel(info.index, text);
        update(ItemAreaRect());
    }
    return 0;
}

// ---- context menu ---------------------------------------------------------------------------

std::unique_ptr<CBarPopupMenu> CNavBarCtrl::BuildContextMenu(const QPoint& point)
{
    m_contextHit = HitTestBar(point);
    auto menu = std::make_unique<CBarPopupMenu>(this);
    auto add = [&](int id, const char* text) {
        menu->AddCommand(id, QString::fromUtf8(text), IsCommandEnabled(id));
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
    if (remove || rename) menu->addSeparator();
    if (remove) add(BarCmdRemove, "削除(&D)");
    if (rename) add(BarCmdRename, "名前の変更(&M)");
    return menu;
}

bool CNavBarCtrl::IsCommandEnabled(int id) const
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

void CNavBarCtrl::ShowContextMenu(const QPoint& point)
{
    std::unique_ptr<CBarPopupMenu> menu = BuildContextMenu(point);
    QAction* chosen = menu->exec(mapToGlobal(point));
    const int id = chosen != nullptr ? chosen->data().toInt() : 0;
    menu.reset();
    if (id != 0) OnBarCommand(id);
}

void CNavBarCtrl::OnBarCommand(int id)
{
    switch (id) {
        case BarCmdSmallIcons:
        case BarCmdLargeIcons:
            UseSmallIcons(id == BarCmdSmallIcons);
            update();
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

CBarLabelEdit* CNavBarCtrl::RenameEdit() const
{
    return m_edit.data();
}
