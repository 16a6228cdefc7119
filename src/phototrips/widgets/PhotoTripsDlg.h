#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>
#include <vector>

#include "phototrips/TripProposal.h"
#include "tides/TidePortChoices.h"

class CCatchStore;
class CDataFolder;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QVBoxLayout;

// The preview of the trips a set of photos makes, to correct before anything is written: per
// trip its date, place, port, high and low waters, species and its photos as thumbnails marked
// 場所 or 魚; the photos of unknown time apart, to be put into a trip.  "登録" saves every chosen
// trip in one change (one undo step).
class CPhotoTripsDlg : public QDialog {
    Q_OBJECT
public:
    // Ids of the controls (object names); the per-trip ones repeat on every trip.
    static constexpr int kRegisterId = 1;
    static constexpr int kCancelId = 2;
    static constexpr int kSummaryId = 1201;
    static constexpr int kTripCheckId = 1202;
    static constexpr int kPlaceId = 1203;
    static constexpr int kTideId = 1204;
    static constexpr int kSpeciesId = 1205;
    static constexpr int kOpenEntryId = 1206;
    static constexpr int kPhotoListId = 1207;
    static constexpr int kCatchesId = 1208;
    static constexpr int kUndatedListId = 1209;
    static constexpr int kUndatedTripId = 1210;
    static constexpr int kUndatedMoveId = 1211;
    static constexpr int kSkippedId = 1212;

    // context's stations outlive the dialog; its port choices are copied.
    CPhotoTripsDlg(QWidget* parent, CCatchStore& store, const CDataFolder& folder,
                   CTripProposals proposals, const CProposalContext& context);
    ~CPhotoTripsDlg() override;

    const CTripProposals& GetProposals() const { return m_proposals; }

    // What a click, a key or a control does, for the controls and for tests.
    void ToggleFish(int trip, int photo);
    void ToggleIncluded(int trip, int photo);
    void SetTripIncluded(int trip, bool included);
    void SetTripPlace(int trip, const QString& place);
    void SetTripSpecies(int trip, const QString& species);
    // Puts undated photos (indexes into GetProposals().undated) into trip as place photos.
    void MoveUndated(std::vector<int> undated, int trip);
    // The entry dialog on trip as it would be saved; its "登録" keeps what it holds for this trip.
    void OpenInEntryDialog(int trip);
    // "登録": false when nothing was saved (a message has said why).
    bool SaveTrips();

    // The text each thumbnail shows: its time and its mark.
    static QString PhotoLabel(const CProposedPhoto& photo, const CScannedPhoto& scanned);

public Q_SLOTS:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct CTripPanel {
        QCheckBox* check = nullptr;
        QComboBox* place = nullptr;
        QLabel* tides = nullptr;
        QComboBox* species = nullptr;
        QListWidget* photos = nullptr;
        QLabel* catches = nullptr;
    };
    void CreateControls();
    QWidget* CreateTripPanel(int trip);
    QWidget* CreateUndatedPanel();
    void BuildTripPhotos(int trip);
    void BuildUndatedPhotos();
    void UpdateTrip(int trip);
    void UpdateSummary();
    void ShowSkipped();
    int TripOfList(QObject* list) const;

    CCatchStore& m_store;
    const CDataFolder& m_folder;
    CTripProposals m_proposals;
    CProposalContext m_context;
    CTidePortChoices m_choices;
    QStringList m_speciesNames;
    std::vector<CTripPanel> m_panels;
    QLabel* m_summary = nullptr;
    QListWidget* m_undatedList = nullptr;
    QComboBox* m_undatedTrip = nullptr;
    QPushButton* m_skipped = nullptr;
};

// The whole way from 「写真から登録...」: with no inputs the user chooses a folder or photos; the
// photos are read on a worker thread with progress and 中止, then shown in the preview.  True
// when trips were saved.
bool ImportTripsFromPhotos(QWidget* parent, CCatchStore& store, const CDataFolder& folder,
                           QStringList inputs = {});

// The proposals for inputs, read on a worker thread while a progress dialog (after a moment)
// shows how far it is and offers 中止; false when the user stopped it (nothing is kept).
bool ProposeTripsWithProgress(QWidget* parent, const QStringList& inputs,
                              const std::vector<CTripRecord>& logTrips, const std::string& dataDir,
                              CProposalContext& context, CTripProposals& proposals);
