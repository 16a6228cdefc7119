#pragma once

#include <QAbstractItemView>
#include <QListWidget>
#include <QMouseEvent>
#include <QTableWidget>

// Remembers the row under the pointer at the last left-button press (-1 when the press hit no
// item), then lets the list handle the press as usual.  Buttons that act on "the row the user
// pressed" read it; it is not reset when rows go away, so it may name a row past the end.
template <class TView>
class CHitTracking : public TView {
public:
    using TView::TView;

    int GetHitItem() const { return m_hitItem; }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            const QModelIndex index = this->indexAt(event->position().toPoint());
            m_hitItem = index.isValid() ? index.row() : -1;
        }
        TView::mousePressEvent(event);
    }

private:
    int m_hitItem = -1;
};

// A list in report view (rows and columns, grid lines, whole-row selection) that keeps its hit
// item: the catch list.
class CHitListCtrl : public CHitTracking<QTableWidget> {
    Q_OBJECT
public:
    explicit CHitListCtrl(QWidget* parent = nullptr);
};

// A list in icon view that keeps its hit item: the fish photo list.
class CHitIconListCtrl : public CHitTracking<QListWidget> {
    Q_OBJECT
public:
    explicit CHitIconListCtrl(QWidget* parent = nullptr);
};
