#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "data/TripRecord.h"
#include "places/PlaceBook.h"
#include "places/PlaceTally.h"
#include "places/PlacesExport.h"
#include "places/widgets/MapSettings.h"

class CCatchStore;
class CDataFolder;
class CMapView;
class CTileFetcher;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

// 釣り場マップ: the places of the log on a map, sized by what was caught there under the
// statistics' filters (年度, 魚種), with their tide ports; a click on a marker lists its trips,
// a double click on one opens it.  The tiles and the network follow the settings on its bar.
class CMapFrame : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMapViewId = 1201;
    static constexpr int kYearComboId = 1202;
    static constexpr int kSpeciesComboId = 1203;
    static constexpr int kSourceComboId = 1204;
    static constexpr int kOnlineCheckId = 1205;
    static constexpr int kFitButtonId = 1206;
    static constexpr int kTripListId = 1207;
    static constexpr int kTemplateEditId = 1208;
    static constexpr int kStatusLabelId = 1209;
    static constexpr int kExportButtonId = 1210;
    // The disk cache of each tile source holds at most this much.
    static constexpr std::uint64_t kTileCacheBytes = std::uint64_t{200} << 20;

    CMapFrame(CCatchStore& store, const CDataFolder& folder, QWidget* parent = nullptr);
    ~CMapFrame() override;

    // Reads the log and the places again and draws them under the filters.
    void Reload();
    // Opens a trip of the log (its position) in the entry dialog; set by the window.
    std::function<void(int position)> onOpenTrip;

    CMapView* View() const { return m_view; }
    CTileFetcher* Tiles() const { return m_tiles.get(); }
    QTreeWidget* TripList() const { return m_tripList; }
    // The places drawn now, with the tallies behind their markers.
    const std::vector<CPlaceTally>& DrawnTallies() const { return m_drawnTallies; }
    // 「GPXで書き出す...」「KMLで書き出す...」: asks for a file and writes the places and the
    // catches with a position of the year chosen in 年度 (every year for すべて).  What was
    // written, or why nothing was, is told in a message; true when the file was written.
    bool ExportPlaces(EGpsFormat format);

    // Lists the trips of these places (indexes into DrawnTallies), as a click on a marker does.
    void ListTrips(const std::vector<size_t>& places);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildBar(QWidget* bar);
    void FillFilters();
    void ApplySettings();
    void SettingsChanged();
    void Redraw();
    void SaveView() const;
    CPlaceFilter Filter() const;

    CCatchStore& m_store;
    const CDataFolder& m_folder;
    CMapSettings m_settings;
    std::unique_ptr<CTileFetcher> m_tiles;
    CMapView* m_view = nullptr;
    QComboBox* m_yearCombo = nullptr;
    QComboBox* m_speciesCombo = nullptr;
    QComboBox* m_sourceCombo = nullptr;
    QCheckBox* m_onlineCheck = nullptr;
    QLineEdit* m_templateEdit = nullptr;
    QLabel* m_status = nullptr;
    QTreeWidget* m_tripList = nullptr;
    std::vector<CTripRecord> m_trips;
    CPlaceBook m_places;  // read with the log, so a filter change reads no file
    std::vector<CPlaceTally> m_drawnTallies;
    bool m_viewRestored = false;
};
