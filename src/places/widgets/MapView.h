#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>
#include <vector>

#include "places/MapPainter.h"

class CTileFetcher;

// The map itself: the base map, tiles, ports and the places' markers, drawn by DrawMap.  The
// wheel zooms at the pointer, a drag pans, + and − zoom, the arrow keys pan and Home fits all
// places.  A click on a marker reports its places; a click elsewhere reports none.
class CMapView : public QWidget {
    Q_OBJECT
public:
    explicit CMapView(const CBaseMap& baseMap, QWidget* parent = nullptr);

    void SetTiles(CTileFetcher* tiles);  // nullptr: no tiles, the base map alone
    void SetScene(CMapScene scene);
    const CMapScene& Scene() const { return m_scene; }
    void SelectPlace(int index);

    const CMapViewport& Viewport() const { return m_view; }
    void SetViewport(const CGeoPoint& center, int zoom);
    // Shows every place (all of Japan when there is none).
    void FitAll();

    const std::vector<CDrawnMarker>& DrawnMarkers() const { return m_drawn; }

    std::function<void(const std::vector<size_t>& places)> onMarkerClicked;
    std::function<void(const CGeoPoint& point)> onMapClicked;
    std::function<void()> onViewChanged;

    QSize sizeHint() const override { return {480, 400}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ViewChanged();

    const CBaseMap& m_baseMap;
    CTileFetcher* m_tiles = nullptr;
    CMapScene m_scene;
    CMapViewport m_view;
    std::vector<CDrawnMarker> m_drawn;
    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_pressAt;
    QPoint m_lastAt;
};
