#pragma once

#include <QDialog>
#include <string>

#include "places/PlaceBook.h"

class CCatchStore;
class CDataFolder;
class CTideStations;
class QLabel;
class QLineEdit;
class QListWidget;

// The settings dialog "環境設定画面": edits the species list and chooses the home port of the
// tide tables (「潮汐の基準港」, kept in the side file of tide ports), both files of the Data
// folder it is given (which outlives it).  It reads Data/fishname.txt when it opens and rewrites
// the whole file on "設定"; "ｷｬﾝｾﾙ" leaves the file as it was.  The list box is the only copy of
// the list while the dialog is open; each row keeps the entry exactly as read (line feed included)
// and shows it without the line feed.
class CSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // The dialog's and its controls' ids (each control's object name is its id).
    static constexpr int kTemplateId = 139;
    static constexpr int kOkId = 1;
    static constexpr int kCancelId = 2;
    static constexpr int kNameEditId = 1000;
    static constexpr int kDeleteId = 1004;
    static constexpr int kAddId = 1025;
    static constexpr int kSpeciesListId = 1037;
    static constexpr int kTidePortFilterId = 1050;
    static constexpr int kTidePortListId = 1051;
    static constexpr int kTidePortChosenId = 1052;

    // stations: the ports to choose from; the shipped ones when not given.
    explicit CSettingsDlg(const CDataFolder& folder, QWidget* parent = nullptr,
                          const CTideStations* stations = nullptr);

    // The entries of the list box in order, as they would be written (before trimming).
    QStringList Entries() const;
    // The home port chosen in the dialog ("" when none).
    std::string HomePortId() const { return m_homePortId; }

    // The list is saved through store (kept in the history, undoable) once one is given.
    void SetStore(CCatchStore* store) { m_store = store; }

    void accept() override;  // "設定": save and close; stays open when the file cannot be written

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
    void OnAdd();
    void OnDelete();
    void AppendEntry(const QString& entry);
    // The tide port part: the list narrowed to what the filter holds, the chosen port's label,
    // and saving the side file when the home port changed.
    void CreateTidePortControls();
    void LoadTidePorts();
    void NarrowTidePorts(const QString& typed);
    void ShowChosenTidePort();
    bool SaveTidePorts();

    QLineEdit* m_nameEdit = nullptr;
    QListWidget* m_speciesList = nullptr;
    // Why the file could not be read (empty when it was read or is missing): such a file is
    // never written over with the empty list shown instead of it.
    QString m_readError;
    CCatchStore* m_store = nullptr;
    const CDataFolder& m_folder;

    const CTideStations& m_stations;
    CPlaceBook m_tidePorts;  // the home port and the places, as read when the dialog opened
    std::string m_homePortId;
    QLineEdit* m_tidePortFilter = nullptr;
    QListWidget* m_tidePortList = nullptr;
    QLabel* m_tidePortChosen = nullptr;
};
