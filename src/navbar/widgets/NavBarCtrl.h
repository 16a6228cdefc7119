#pragma once

#include <QBasicTimer>
#include <QFrame>
#include <QPixmap>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "navbar/NavBarController.h"
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
class CNavBarCtrl : public QFrame, private CBarView {
    Q_OBJECT

public:
    using NotifyHandler = std::function<long(int code, int index, const BarNotifyInfo* info)>;

    static constexpr int kHoverInterval = CNavBarController::kHoverInterval;
    static constexpr int kScrollInterval = CNavBarController::kScrollInterval;

    explicit CNavBarCtrl(QWidget* parent = nullptr);
    ~CNavBarCtrl() override;

    // Stores the flags and places the bar as child `id` of `parent` over `rect`.
    bool CreateBar(QWidget* parent, const QRect& rect, int id, std::uint32_t flags);
    void SetNotifyHandler(NotifyHandler handler) { m_handler = std::move(handler); }
    using RemoveGuard = CNavBarController::RemoveGuard;
    void SetRemoveGuard(RemoveGuard guard) { m_controller.SetRemoveGuard(std::move(guard)); }
    void SetOwner(CBarOwner* owner) { m_owner = owner; }

    int AppendFolder(const QString& name, long value = 0);
    int InsertFolderItem(int folder, int index, const QString& label, int image, long value = 0);
    const CBarImageList* AttachImageList(const CBarImageList* list, int kind);
    void SelectFolder(int index) { m_controller.SelectFolder(index); }
    int FolderCount() const { return m_model.FolderCount(); }
    int ItemCountOfSelected() const { return m_model.ItemCountOfSelected(); }
    int SelectedFolder() const { return m_model.SelectedFolder(); }
    void DeleteFolder(int index) { m_controller.DeleteFolder(index); }
    void DeleteItem(int index) { m_controller.DeleteItem(index); }
    void UseSmallIcons(bool on) { m_controller.UseSmallIcons(on); }
    bool UsesSmallIcons() const { return m_model.UsesSmallIcons(); }
    QString ItemLabel(int index) const;
    QString FolderName(int index) const;
    std::uint32_t Flags() const { return m_model.Flags(); }
    void SetAnimationStepDelay(int milliseconds)
    {
        m_controller.SetAnimationStepDelay(milliseconds);
    }

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
    void SetHotFolder(int index) { m_controller.SetHotFolder(index); }
    void SetHotItem(int index, bool pressed) { m_controller.SetHotItem(index, pressed); }
    int HotFolder() const { return m_controller.PaintState().hotFolder; }
    int HotItem() const { return m_controller.PaintState().hotItem; }
    bool HotItemPressed() const { return m_controller.PaintState().hotItemPressed; }
    int PressedFolder() const { return m_controller.PaintState().pressedFolder; }
    void ShowDropMarker(int position) { m_controller.ShowDropMarker(position); }
    int DropPosition() const { return m_controller.PaintState().dropPosition; }
    bool IsDragging() const { return m_controller.IsDragging(); }
    bool IsScrolling() const { return m_controller.IsScrolling(); }
    bool IsAnimating() const { return m_controller.IsAnimating(); }
    int SlideFrameCount() const { return m_controller.SlideFrameCount(); }
    int SlideFrameShown() const { return m_controller.SlideFrameShown(); }

    // Renaming and the context menu.
    void BeginFolderRename(int index) { m_controller.BeginFolderRename(index); }
    void BeginItemRename(int index) { m_controller.BeginItemRename(index); }
    CBarLabelEdit* RenameEdit() const;
    // The rename edit hands its confirmed text here; asks the owner and applies the answer.
    long OnLabelEditDone(CBarLabelEdit* edit);
    // Builds the context menu for what lies under `point` (also recorded for the commands).
    std::unique_ptr<CBarPopupMenu> BuildContextMenu(const QPoint& point);
    bool IsCommandEnabled(int id) const { return m_controller.IsCommandEnabled(id); }

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
    static QRect QRectFromModel(const BarRect& rect);
    QBasicTimer& Timer(BarTimer timer);
    void PaintClient(QPainter& painter);
    QPixmap RenderSlidePicture(int folder, bool withButton);
    std::unique_ptr<CBarPopupMenu> MenuOf(const std::vector<BarMenuEntry>& entries);

    // CBarView
    void Repaint(const BarRect& rect) override;
    void RepaintAll() override;
    void StartTimer(BarTimer timer, int milliseconds) override;
    void StopTimer(BarTimer timer) override;
    void SetCursor(BarCursor cursor) override;
    long Notify(int code, int index, const BarNotifyInfo* info) override;
    bool IsShown() const override;
    bool FocusInside() const override;
    void TakeFocus() override;
    void BeginRename(const BarRenameRequest& request) override;
    int ShowMenu(const std::vector<BarMenuEntry>& entries, BarPoint point) override;
    void SlideStarted(int from, int to) override;
    void SlideEnded() override;

    CNavBarModel m_model;
    CNavBarController m_controller{m_model, *this};
    std::unique_ptr<CQtBarTextMetrics> m_metrics;
    NotifyHandler m_handler;
    CBarOwner* m_owner = nullptr;

    QBasicTimer m_hoverTimer;
    QBasicTimer m_scrollTimer;
    QBasicTimer m_slideTimer;

    QPixmap m_slideBase;
    QPixmap m_slidePictures[2];

    QPointer<CBarLabelEdit> m_edit;
};
