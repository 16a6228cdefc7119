#pragma once

#include <QDialog>
#include <optional>

#include "places/GeoPoint.h"

class CMapView;
class QLabel;
class QPushButton;

// 「地図で選ぶ」: the base map (and tiles, as the map page has them) to click a place's position
// on.  The position chosen shows as a marker and in numbers; OK gives it back.
class CPlacePickerDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMapViewId = 1301;
    static constexpr int kPositionLabelId = 1302;

    CPlacePickerDlg(const QString& place, std::optional<CGeoPoint> current,
                    QWidget* parent = nullptr);
    ~CPlacePickerDlg() override;

    std::optional<CGeoPoint> Chosen() const { return m_chosen; }
    CMapView* View() const { return m_view; }
    // What a click on the map does.
    void Choose(const CGeoPoint& point);

private:
    std::optional<CGeoPoint> m_chosen;
    QString m_place;
    CMapView* m_view = nullptr;
    QLabel* m_position = nullptr;
    QPushButton* m_ok = nullptr;
    class CTileFetcher* m_tiles = nullptr;
};

// Shows the picker; the position clicked when the user pressed OK, nothing otherwise.  The entry
// dialog's 「地図で選ぶ...」 calls this (tests put their own answer in its place).
std::optional<CGeoPoint> PickPlacePosition(QWidget* parent, const QString& place,
                                           std::optional<CGeoPoint> current);
