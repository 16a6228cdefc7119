#include "places/widgets/MapView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "places/widgets/QtMapCanvas.h"
#include "places/widgets/TileFetcher.h"

namespace {

// Japan from Yonaguni to Wakkanai, for a map without places.
const std::vector<CGeoPoint> kJapan = {{24.4, 122.9}, {45.5, 145.8}};

// A press that moves less than this is a click, not a drag.
constexpr int kDragThreshold = 4;

}  // namespace

bool CQtMapCanvas::Tile(const CTileKey& key, int left, int top)
{
    const QImage* image = m_tiles != nullptr ? m_tiles->Tile(key) : nullptr;
    if (image == nullptr) return false;
    m_painter.drawImage(left, top, *image);
    return true;
}

CMapView::CMapView(const CBaseMap& baseMap, QWidget* parent) : QWidget(parent), m_baseMap(baseMap)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setMinimumSize(200, 150);
    m_view = CMapViewport({36, 138}, 5, width(), height());
}

void CMapView::SetTiles(CTileFetcher* tiles)
{
    if (m_tiles != nullptr) m_tiles->disconnect(this);
    m_tiles = tiles;
    if (m_tiles != nullptr)
        connect(m_tiles, &CTileFetcher::TileArrived, this, [this] { update(); });
    update();
}

void CMapView::SetScene(CMapScene scene)
{
    m_scene = std::move(scene);
    update();
}

void CMapView::SelectPlace(int index)
{
    m_scene.selected = index;
    update();
}

void CMapView::SetViewport(const CGeoPoint& center, int zoom)
{
    m_view = CMapViewport(center, zoom, width(), height());
    ViewChanged();
}

void CMapView::FitAll()
{
    std::vector<CGeoPoint> points;
    for (const CMapPlace& place : m_scene.places) points.push_back(place.point);
    m_view.SetSize(width(), height());
    m_view.FitTo(points.empty() ? kJapan : points, 40);
    ViewChanged();
}

void CMapView::ViewChanged()
{
    update();
    if (onViewChanged) onViewChanged();
}

void CMapView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    CQtMapCanvas canvas(painter, size(), font(), m_tiles);
    m_drawn = DrawMap(canvas, m_view, m_baseMap, m_scene);
    if (m_tiles != nullptr && m_scene.tiles) {
        QList<CTileKey> wanted;
        // The middle of the window first: that is where the user looks.
        std::vector<CPlacedTile> tiles = m_view.VisibleTiles();
        const QPoint middle(width() / 2, height() / 2);
        std::sort(tiles.begin(), tiles.end(), [&](const CPlacedTile& a, const CPlacedTile& b) {
            const auto distance = [&](const CPlacedTile& t) {
                return (QPoint(t.left + kMapTileSize / 2, t.top + kMapTileSize / 2) - middle)
                    .manhattanLength();
            };
            return distance(a) < distance(b);
        });
        for (const CPlacedTile& tile : tiles) wanted.append(tile.key);
        m_tiles->Want(wanted);
    }
}

void CMapView::resizeEvent(QResizeEvent*)
{
    m_view.SetSize(width(), height());
}

void CMapView::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    m_view.ZoomAt(delta > 0 ? 1 : -1, event->position().x(), event->position().y());
    ViewChanged();
    event->accept();
}

void CMapView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    m_pressed = true;
    m_dragging = false;
    m_pressAt = m_lastAt = event->position().toPoint();
}

void CMapView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed) return;
    const QPoint at = event->position().toPoint();
    if (!m_dragging && (at - m_pressAt).manhattanLength() < kDragThreshold) return;
    m_dragging = true;
    setCursor(Qt::ClosedHandCursor);
    m_view.PanBy(at.x() - m_lastAt.x(), at.y() - m_lastAt.y());
    m_lastAt = at;
    ViewChanged();
}

void CMapView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) return;
    m_pressed = false;
    unsetCursor();
    if (m_dragging) return;
    const QPoint at = event->position().toPoint();
    const CDrawnMarker* marker = MarkerAt(m_drawn, at.x(), at.y());
    if (onMarkerClicked)
        onMarkerClicked(marker != nullptr ? marker->places : std::vector<size_t>{});
    if (marker == nullptr && onMapClicked) onMapClicked(m_view.FromScreen(at.x(), at.y()));
}

void CMapView::keyPressEvent(QKeyEvent* event)
{
    const double stepX = width() / 4.0;
    const double stepY = height() / 4.0;
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            m_view.ZoomAt(1, width() / 2.0, height() / 2.0);
            break;
        case Qt::Key_Minus:
            m_view.ZoomAt(-1, width() / 2.0, height() / 2.0);
            break;
        case Qt::Key_Left:
            m_view.PanBy(stepX, 0);
            break;
        case Qt::Key_Right:
            m_view.PanBy(-stepX, 0);
            break;
        case Qt::Key_Up:
            m_view.PanBy(0, stepY);
            break;
        case Qt::Key_Down:
            m_view.PanBy(0, -stepY);
            break;
        case Qt::Key_Home:
            FitAll();
            return;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    ViewChanged();
}
