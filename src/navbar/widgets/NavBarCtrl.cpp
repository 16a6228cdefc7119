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
BarPoint ToBar(const QPoint& p)
{
    return {p.x(), p.y()};
}

BarButton ButtonOf(const QMouseEvent* event)
{
    switch (event->button()) {
        case Qt::LeftButton:
            return BarButtonLeft;
        case Qt::RightButton:
            return BarButtonRight;
        default:
            return BarButtonOther;
    }
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
    m_controller.SetArrowSide(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
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

long CNavBarCtrl::Notify(int code, int index, const BarNotifyInfo* info)
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
    const BarPaintState& state = m_controller.PaintState();
    m_model.PlaceArrows(state.arrowSide);
    CQtBarCanvas canvas(painter, m_model.Colors());
    CNavBarPainter(canvas, m_model).PaintBar(state);
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
        if (const BarSlideFrame* frame = m_controller.CurrentSlideFrame()) {
            offscreen.drawPixmap(0, 0, m_slideBase);
            const BarRect area = m_model.ItemAreaRect();
            for (const BarSlideBand& band : frame->bands) {
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

void CNavBarCtrl::hideEvent(QHideEvent* event)
{
    m_controller.Hidden();
    QFrame::hideEvent(event);
}

// ---- input ----------------------------------------------------------------------------------

void CNavBarCtrl::mousePressEvent(QMouseEvent* event)
{
    m_controller.MousePress(ButtonOf(event), ToBar(event->position().toPoint()));
}

void CNavBarCtrl::mouseMoveEvent(QMouseEvent* event)
{
    m_controller.MouseMove(ToBar(event->position().toPoint()));
}

void CNavBarCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    m_controller.MouseRelease(ButtonOf(event), ToBar(event->position().toPoint()));
}

void CNavBarCtrl::leaveEvent(QEvent* event)
{
    m_controller.PointerLeft();
    QFrame::leaveEvent(event);
}

QBasicTimer& CNavBarCtrl::Timer(BarTimer timer)
{
    switch (timer) {
        case BarTimerHover:
            return m_hoverTimer;
        case BarTimerScroll:
            return m_scrollTimer;
        case BarTimerSlide:
            break;
    }
    return m_slideTimer;
}

void CNavBarCtrl::timerEvent(QTimerEvent* event)
{
    for (BarTimer timer : {BarTimerHover, BarTimerScroll, BarTimerSlide}) {
        if (event->timerId() == Timer(timer).timerId()) {
            m_controller.TimerFired(timer);
            return;
        }
    }
    QFrame::timerEvent(event);
}

// ---- what the controller asks for -----------------------------------------------------------

void CNavBarCtrl::Repaint(const BarRect& rect)
{
    if (!rect.IsEmpty()) update(QRectFromBar(rect));
}

void CNavBarCtrl::RepaintAll()
{
    update();
}

void CNavBarCtrl::StartTimer(BarTimer timer, int milliseconds)
{
    Timer(timer).start(milliseconds, this);
}

void CNavBarCtrl::StopTimer(BarTimer timer)
{
    Timer(timer).stop();
}

void CNavBarCtrl::SetCursor(BarCursor cursor)
{
    switch (cursor) {
        case BarCursorNormal:
            unsetCursor();
            break;
        case BarCursorFolder:
            setCursor(Qt::PointingHandCursor);
            break;
        case BarCursorDrag:
            setCursor(Qt::DragMoveCursor);
            break;
        case BarCursorNoDrop:
            setCursor(Qt::ForbiddenCursor);
            break;
    }
}

bool CNavBarCtrl::IsShown() const
{
    return isVisible();
}

bool CNavBarCtrl::FocusInside() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus != this && isAncestorOf(focus);
}

void CNavBarCtrl::TakeFocus()
{
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
}

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

void CNavBarCtrl::SlideStarted(int from, int to)
{
    // Everything below is drawn in the layout of the folder that is still open.
    m_slideBase = QPixmap(size());
    {
        QPainter painter(&m_slideBase);
        PaintClient(painter);
    }
    m_slidePictures[0] = RenderSlidePicture(from, to < from);
    m_slidePictures[1] = RenderSlidePicture(to, to > from);
}

void CNavBarCtrl::SlideEnded()
{
    m_slideBase = QPixmap();
    m_slidePictures[0] = m_slidePictures[1] = QPixmap();
}

// ---- renaming -------------------------------------------------------------------------------

void CNavBarCtrl::BeginRename(const BarRenameRequest& request)
{
    if (m_edit) m_edit->clearFocus();
    const CBarLabelEdit::Shape shape =
        request.singleLine ? CBarLabelEdit::SingleLineGrowing : CBarLabelEdit::MultiLineCentered;
    auto* edit = new CBarLabelEdit(this, request.kind, request.index, shape, request.grows);
    edit->setObjectName(QStringLiteral("BarLabelEdit"));
    edit->setGeometry(QRectFromBar(request.rect));
    edit->SetText(QStringFromStd(request.text));
    edit->show();
    edit->setFocus(Qt::OtherFocusReason);
    m_edit = edit;
}

long CNavBarCtrl::OnLabelEditDone(CBarLabelEdit* edit)
{
    m_controller.FinishRename(edit->Kind(), edit->Index(), StdFromQString(edit->Text()));
    return 0;
}

CBarLabelEdit* CNavBarCtrl::RenameEdit() const
{
    return m_edit.data();
}

// ---- context menu ---------------------------------------------------------------------------

std::unique_ptr<CBarPopupMenu> CNavBarCtrl::MenuOf(const std::vector<BarMenuEntry>& entries)
{
    auto menu = std::make_unique<CBarPopupMenu>(this);
    for (const BarMenuEntry& entry : entries) {
        if (entry.id == 0)
            menu->addSeparator();
        else
            menu->AddCommand(entry.id, QStringFromStd(entry.text), entry.enabled);
    }
    return menu;
}

std::unique_ptr<CBarPopupMenu> CNavBarCtrl::BuildContextMenu(const QPoint& point)
{
    return MenuOf(m_controller.ContextMenu(ToBar(point)));
}

int CNavBarCtrl::ShowMenu(const std::vector<BarMenuEntry>& entries, BarPoint point)
{
    std::unique_ptr<CBarPopupMenu> menu = MenuOf(entries);
    QAction* chosen = menu->exec(mapToGlobal(QPoint(point.x, point.y)));
    return chosen != nullptr ? chosen->data().toInt() : 0;
}
