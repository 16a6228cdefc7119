#pragma once

#include <QBasicTimer>
#include <QFrame>
#include <QPixmap>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "navbar/NavBarModel.h"
#include "navbar/NavBarPainter.h"

class CBarLabelEdit;
class CBarPopupMenu;
class CQtBarTextMetrics;

// Receives the bar's notifications and answers them; nonzero accepts a rename or a move.
class CBarOwner {
public:
    virtual ~CBarOwner() = default;
    // `index` is the item (code 1) or folder (code 5) index, -1 otherwise; `info` is set for
    // codes 2, 3 and 4 and valid only during the call.
    virtual long OnBarNotify(int code, int index, const BarNotifyInfo* info) = 0;
};

// The navigation bar: a stack of folder buttons over the open folder's icons.  Notifications go
// to the handler when one is set, else to the owner, else to the parent when it is a CBarOwner.
class CNavBarCtrl : public QFrame {
    Q_OBJECT

public:
    using NotifyHandler = std::function<long(int code, int index, const BarNotifyInfo* info)>;

    static constexpr int kHoverInterval = 100;
    static constexpr int kScrollInterval = 300;

    explicit CNavBarCtrl(QWidget* parent = nullptr);
    ~CNavBarCtrl() override;

    // Stores the flags and places the bar as child `id` of `parent` over `rect`.
    bool CreateBar(QWidget* parent, const QRect& rect, int id, std::uint32_t flags);
    void SetNotifyHandler(NotifyHandler handler) { m_handler = std::move(handler); }
    // Asked before "削除" is offered or carried out: kind is BarHitFolder (index a folder)
    // or BarHitItem (index an item of the selected folder).  False keeps it.
    using RemoveGuard = std::function<bool(int kind, int index)>;
    void SetRemoveGuard(RemoveGuard guard) { m_removeGuard = std::move(guard); }
    void SetOwner(CBarOwner* owner) { m_owner = owner; }

    int AppendFolder(const QString& name, long value = 0);
    int InsertFolderItem(int folder, int index, const QString& label, int image, long value = 0);
    const CBarImageList* AttachImageList(const CBarImageList* list, int kind);
    void SelectFolder(int index);
    int FolderCount() const { return m_model.FolderCount(); }
    int ItemCountOfSelected() const { return m_model.ItemCountOfSelected(); }
    int SelectedFolder() const { return m_model.SelectedFolder(); }
    void DeleteFolder(int index);
    void DeleteItem(int index);
    void UseSmallIcons(bool on);
    bool UsesSmallIcons() const { return m_model.UsesSmallIcons(); }
    QString ItemLabel(int index) const;
    QString FolderName(int index) const;
    std::uint32_t Flags() const { return m_model.Flags(); }
    void SetAnimationStepDelay(int milliseconds) { m_stepDelay = milliseconds; }

    // Layout in widget coordinates (the client area is the inside of the bar's edge).
    QRect FolderButtonRect(int folder) const;
    QRect ItemAreaRect() const;
    QRect ItemBoundsRect(int folder, int item) const;
    QRect ItemIconRect(int folder, int item) const;
    QRect ItemLabelRect(int folder, int item) const;
    QRect DropMarkerRect(int position, int* kind) const;
    QRect UpArrowRect() const { return QRectFromModel(m_model.UpArrowRect()); }
    QRect DownArrowRect() const { return QRectFromModel(m_model.DownArrowRect()); }
    bool UpArrowShown() const { return m_model.UpArrowShown(); }
    bool DownArrowShown() const { return m_model.DownArrowShown(); }
    BarHit HitTestBar(const QPoint& point) const;
    const CNavBarModel& Model() const { return m_model; }
    BarColors& Colors() { return m_model.Colors(); }

    // Feedback.
    void SetHotFolder(int index);
    void SetHotItem(int index, bool pressed);
    int HotFolder() const { return m_state.hotFolder; }
    int HotItem() const { return m_state.hotItem; }
    bool HotItemPressed() const { return m_state.hotItemPressed; }
    int PressedFolder() const { return m_state.pressedFolder; }
    void ShowDropMarker(int position);
    int DropPosition() const { return m_state.dropPosition; }
    bool IsDragging() const { return m_dragging; }
    bool IsScrolling() const { return m_scrolling; }
    bool IsAnimating() const { return !m_slideFrames.empty(); }
    int SlideFrameCount() const { return static_cast<int>(m_slideFrames.size()); }
    int SlideFrameShown() const { return static_cast<int>(m_slideFrame); }

    // Renaming and the context menu.
    void BeginFolderRename(int index);
    void BeginItemRename(int index);
    CBarLabelEdit* RenameEdit() const;
    // The rename edit hands its confirmed text here; asks the owner and applies the answer.
    long OnLabelEditDone(CBarLabelEdit* edit);
    // Builds the context menu for what lies under `point` (also recorded for the commands).
    std::unique_ptr<CBarPopupMenu> BuildContextMenu(const QPoint& point);
    bool IsCommandEnabled(int id) const;
    void OnBarCommand(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum Tracking {
        TrackNone,
        TrackItem,
        TrackFolder,
        TrackUpArrow,
        TrackDownArrow,
    };

    static QRect QRectFromModel(const BarRect& rect);
    long SendNotify(int code, int index, const BarNotifyInfo* info);
    bool FocusInChild() const;
    void PaintClient(QPainter& painter);
    QPixmap RenderSlidePicture(int folder, bool withButton);
    void StartSlide(int from, int to);
    void StopSlide();
    void ShowContextMenu(const QPoint& point);
    void UpdateItemFrame(int item);

    // Ends a press, drag or scroll whose release will never come, without any effect.
    void CancelTracking();
    void ItemMove(const QPoint& point);
    void ItemRelease(const QPoint& point);
    void ArrowStep();
    void EndArrowScroll();
    bool PointerOnTrackedArrow() const;

    CNavBarModel m_model;
    RemoveGuard m_removeGuard;
    std::unique_ptr<CQtBarTextMetrics> m_metrics;
    BarPaintState m_state;
    NotifyHandler m_handler;
    CBarOwner* m_owner = nullptr;
    int m_stepDelay = 10;
    int m_dropKind = 0;

    // The hot item as last requested, to ignore repeated requests.
    int m_lastHotRequest = -1;
    bool m_lastHotPressed = false;

    Tracking m_tracking = TrackNone;
    int m_trackIndex = -1;
    bool m_itemPressed = false;
    bool m_shownPressed = false;
    bool m_dragging = false;
    bool m_scrolling = false;
    QPoint m_pointer{-1, -1};
    bool m_pointerInside = false;
    QBasicTimer m_hoverTimer;
    QBasicTimer m_scrollTimer;
    QBasicTimer m_slideTimer;

    std::vector<BarSlideFrame> m_slideFrames;
    size_t m_slideFrame = 0;
    QPixmap m_slideBase;
    QPixmap m_slidePictures[2];

    BarHit m_contextHit;
    QPointer<CBarLabelEdit> m_edit;
};
