#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/TripRecord.h"
#include "places/PlaceBook.h"

class CCatchStore;
class CDataFolder;
class CDialogUnits;
class CTidePortCombo;
class CTideStations;

class QComboBox;
class QLabel;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class CCatchEntryDlg;
class CHitIconListCtrl;
class CHitListCtrl;
class CUpDownCtrl;

// How a catch-entry dialog ended.
enum class ECatchEntryResult { Saved = 1, Cancelled = 2 };

// The program is ending while entry dialogs are open: asks once, for all dialogs with changes
// (a catch typed but not added counts), whether to save them.  True when the program may end:
// nothing was changed, the user chose 破棄, or every save succeeded; every open dialog is then
// closed without asking again.  False on キャンセル or a failed save (all dialogs stay).
bool ConfirmClosingCatchEntries(QWidget* parent, const QList<CCatchEntryDlg*>& dialogs);

// The window that opens catch-entry dialogs.  It is told, by a queued call, when one of them has
// saved or was cancelled, and is then expected to destroy that dialog.
class ICatchEntryOwner {
public:
    virtual ~ICatchEntryOwner() = default;
    virtual void OnCatchEntryClosed(CCatchEntryDlg* dialog, ECatchEntryResult result) = 0;
};

// The index of the entry a stored text selects: the first entry, searching from the second and
// wrapping round, whose text begins with text (case-insensitive), so the first entry is tried
// last.  -1 when none matches or text is empty.
int FindComboEntry(const QStringList& entries, const QString& text);

// The modeless dialog on which one trip is entered or changed: the trip's fields, its catches
// and its place and fish photos.  Nothing is written before "登録"; the dialog then saves the trip
// itself (a new one appended, an existing one replaced where it is) and tells its owner, which
// destroys it.  The dialog never destroys itself when it has an owner.
class CCatchEntryDlg : public QDialog {
    Q_OBJECT
public:
    // The dialog's and its controls' ids (each control's object name is its id).
    static constexpr int kTemplateId = 131;
    static constexpr int kOkId = 1;
    static constexpr int kCancelId = 2;
    static constexpr int kCatchListId = 1004;
    static constexpr int kDateId = 1005;
    static constexpr int kRemoveCatchId = 1006;
    static constexpr int kPlaceId = 1008;
    static constexpr int kMethodId = 1009;
    static constexpr int kMemoId = 1010;
    static constexpr int kFishPhotoListId = 1011;
    static constexpr int kAddPlacePhotoId = 1012;
    static constexpr int kWeatherId = 1013;
    static constexpr int kTargetId = 1014;
    static constexpr int kRemovePlacePhotoId = 1015;
    static constexpr int kLengthId = 1019;
    static constexpr int kWeightId = 1020;
    static constexpr int kHourId = 1021;
    static constexpr int kHourSpinId = 1022;
    static constexpr int kMinuteId = 1023;
    static constexpr int kMinuteSpinId = 1024;
    static constexpr int kRegisterCatchId = 1025;
    static constexpr int kSpeciesId = 1026;
    static constexpr int kRemoveFishPhotoId = 1028;
    static constexpr int kAddFishPhotoId = 1029;
    static constexpr int kPlacePhotoListId = 1030;
    static constexpr int kWaterTempId = 1034;
    static constexpr int kEbbTideId = 1035;
    static constexpr int kHighTideId = 1036;
    static constexpr int kMoonId = 1040;
    static constexpr int kRecordId = 1041;
    static constexpr int kCaptureNoteId = 1047;
    static constexpr int kTidePortId = 1053;
    static constexpr int kFillTidesId = 1054;
    static constexpr int kTideNoteId = 1055;
    static constexpr int kPlacePositionId = 1056;
    static constexpr int kPickOnMapId = 1057;

    // What 「地図で選ぶ...」 opens: a map to click the place's position on, starting at current
    // when known.  The position clicked, or nothing when the user cancelled.  The main window
    // sets it; without one the button is disabled.
    using CPlacePicker = std::function<std::optional<CGeoPoint>(
        QWidget* parent, const QString& place, const std::optional<CGeoPoint>& current)>;
    static void SetPlacePicker(CPlacePicker picker);

    // owner: the parent window; when it implements ICatchEntryOwner it receives the result.
    // folder: the Data folder of the species list and the side file of tide ports (it outlives
    // the dialog).
    // position: the trip's zero-based position in the catch file, or -1 for a new trip.
    // stations: the tide ports to choose from; the shipped ones when not given.
    CCatchEntryDlg(QWidget* owner, CCatchStore& store, const CDataFolder& folder, int position,
                   const CTideStations* stations = nullptr);
    ~CCatchEntryDlg() override;

    int GetPosition() const { return m_position; }
    // True once a save succeeded or the dialog was cancelled; it then waits for its owner.
    bool IsClosing() const { return m_closing; }
    // True when the trip in the controls differs from the one the dialog opened with.
    bool HasChanges() const;
    // Saves as "登録" does; true when the save succeeded (a failure has been shown and the
    // dialog stays open with the entry).
    bool SaveChanges();
    // Closes without saving and without asking.
    void DiscardChanges();

    const QStringList& GetPlacePhotoPaths() const { return m_placePhotoPaths; }
    const QStringList& GetFishPhotoPaths() const { return m_fishPhotoPaths; }
    const QStringList& GetRemovedPhotoPaths() const { return m_removedPhotoPaths; }
    int GetSelectedPlacePhoto() const { return m_selectedPlacePhoto; }

    // The trip as the dialog's controls hold it now.
    CTripRecord GetTripFromControls() const;

    // What saving the trip would keep in the places file: its place's port and position.
    CPlaceFacts GetPlaceFactsFromControls() const;

    // Shows trip, not yet saved, for the user to finish: "登録" then hands the trip to finished
    // instead of saving it (a new dialog only), with what its place would keep, for whoever saves
    // it to keep.
    using CDraftFinished = std::function<void(const CTripRecord&, const CPlaceFacts&)>;
    void EditDraft(const CTripRecord& trip, CDraftFinished finished);

    // The longest text a field takes, in CP932 bytes: what the catch file gives back unchanged.
    static constexpr int kMaxTextBytes = 255;
    static constexpr int kMaxNumber = 10000;

Q_SIGNALS:
    // Emitted (queued, like the owner's call) when the dialog has saved or was cancelled.
    void closedWithResult(int result);

public Q_SLOTS:
    void accept() override;  // "登録" (id 1), Enter
    // "ｷｬﾝｾﾙ" (id 2), Escape, the close box: asks first when there are changes.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void FitToScreen(const QSize& content);
    void InitDialog();
    void InitExistingTrip();
    void FillControls(const CTripRecord& trip);
    void FillSpeciesCombos(bool selectFirstSpecies);

    // Catches.
    void OnRegisterCatch();
    void OnRemoveCatch();
    // Reads a decimal of at most places places into its normal form.
    bool ReadNumber(QLineEdit* edit, const QString& fieldName, int places, std::string& value);
    bool ValidateNumbers(std::string& length, std::string& weight);
    void AppendCatchRow(int row, const CCatchRecord& caught);
    // The catch fields (species, length, weight, hour, minute) as they stand.
    QStringList CatchFieldTexts() const;
    // True when the catch fields were changed since they were last added (or since opening).
    bool HasTypedCatch() const;
    // Adds the catch the fields hold to the list; false, with the reason shown, when a field
    // is missing or wrong.
    bool AddTypedCatch();
    // Shows 「自己記録更新」 while a catch of the list beats the saved best of its species.
    void ShowWhetherRecordBroken();

    // Photos.
    void OnAddPhotos(bool place);
    void OnRemovePhoto(bool place);
    void OnOpenPhoto(QListWidget* list, const QStringList& paths, const QPoint& at);
    void RebuildPhotoList(bool place, int capacity);
    void FillFromCaptureTimes(bool place, const QStringList& added);

    // Tides: the port beside 満潮/干潮, chosen by the user or else by default (the port last
    // used for the place, the one nearest to the first photo with a GPS position, the home
    // port), and filling 満潮/干潮 from it.  Fields the user typed are never overwritten.
    void CreateTideControls(const CDialogUnits& units);
    void InitTidePort();
    void ChooseDefaultTidePort();
    void OnPhotosChanged();
    void ReadPhotoPosition();
    void OnTideInputsChanged();
    // Fills the fields that are empty or still hold what this dialog put there; automatic
    // fills happen only when both are such fields.
    void FillTides(bool automatic);
    void ShowTideNote();
    void KeepTidePortForPlace();
    // The position row beside 場所.
    void CreatePositionControls(const CDialogUnits& units);
    void ShowPlacePosition();
    void OnPositionTyped();
    void OnPickOnMap();
    // Takes point (typed or clicked) as the place's new position, asking first when the user
    // set another one; the port then follows it.
    bool TakeNewPosition(const CGeoPoint& point, EPositionSource source);
    // The position the port and the row go by: one set in this dialog, else the place's own,
    // else the photos'.
    std::optional<CGeoPoint> CurrentPosition(EPositionSource* source = nullptr) const;

    // Saving.
    bool SaveTrip(CTripRecord trip);
    void Finish(ECatchEntryResult result);

    QWidget* m_owner = nullptr;
    QStringList m_fishPhotoPaths;
    QStringList m_placePhotoPaths;
    QStringList m_removedPhotoPaths;
    CCatchStore& m_store;
    const CDataFolder& m_folder;
    const int m_position;
    int m_selectedPlacePhoto = -1;
    // The trip as read when the dialog opened: how the dialog finds it again when saving.
    CTripRecord m_original;
    bool m_originalRead = false;
    bool m_closing = false;
    // The trip as the controls showed it when the dialog opened, to tell whether anything
    // was changed since.
    CTripRecord m_baseline;
    // The catch fields as last added (or as opened): a change to them is a catch being typed.
    QStringList m_typedCatchBaseline;
    QWidget* m_content = nullptr;

    QDateEdit* m_date = nullptr;
    QComboBox* m_weather = nullptr;
    QComboBox* m_target = nullptr;
    QLineEdit* m_water = nullptr;
    QLineEdit* m_highTide = nullptr;
    QLineEdit* m_ebbTide = nullptr;
    QLineEdit* m_place = nullptr;
    QListWidget* m_placePhotoList = nullptr;
    QPlainTextEdit* m_method = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QComboBox* m_species = nullptr;
    QLineEdit* m_length = nullptr;
    QLineEdit* m_weight = nullptr;
    QLineEdit* m_hour = nullptr;
    CUpDownCtrl* m_hourSpin = nullptr;
    QLineEdit* m_minute = nullptr;
    CUpDownCtrl* m_minuteSpin = nullptr;
    CHitListCtrl* m_catchList = nullptr;
    QLabel* m_recordLabel = nullptr;
    CHitIconListCtrl* m_fishPhotoList = nullptr;
    // Says which fields were filled from the photos' capture times.
    QLabel* m_captureNote = nullptr;
    // The user changed the date after the dialog was shown.
    bool m_dateChangedByUser = false;
    bool m_settingDateFromPhotos = false;
    bool m_dateFromPhotos = false;

    const CTideStations& m_tideStations;
    CPlaceBook m_placeBook;  // as read when the dialog opened
    CTidePortCombo* m_tidePort = nullptr;
    QPushButton* m_fillTides = nullptr;
    QLabel* m_tideNote = nullptr;
    bool m_tidePortChosenByUser = false;
    bool m_initialising = true;
    QString m_tidePortOrigin;
    // Where the first photo with a GPS position was taken.
    bool m_hasPhotoPosition = false;
    QLineEdit* m_placePosition = nullptr;
    QPushButton* m_pickOnMap = nullptr;
    // A position typed or clicked in this dialog, kept for the place when the trip is saved.
    std::optional<CGeoPoint> m_newPosition;
    EPositionSource m_newPositionSource = EPositionSource::None;
    bool m_replaceAgreed = false;
    double m_photoLatitude = 0;
    double m_photoLongitude = 0;
    // What the dialog itself last put in 満潮 and 干潮 (null when nothing).
    QString m_filledHigh;
    QString m_filledLow;
    QString m_fillNote;
    CDraftFinished m_draftFinished;
};
