#pragma once

#include <QDialog>

class CCatchStore;
class QLineEdit;
class QListWidget;

// The settings dialog "環境設定画面": edits the species list.  It reads Data/fishname.txt when
// it opens and rewrites the whole file on "設定"; "ｷｬﾝｾﾙ" leaves the file as it was.  The list
// box is the only copy of the list while the dialog is open; each row keeps the entry exactly as
// read (line feed included) and shows it without the line feed.
class CSettingsDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 139 };
    enum ControlId {
        IDC_NAME_EDIT = 1000,
        IDC_ADD = 1025,
        IDC_SPECIES_LIST = 1037,
        IDC_DELETE = 1004,
        IDOK_BUTTON = 1,
        IDCANCEL_BUTTON = 2,
    };

    explicit CSettingsDlg(QWidget* parent = nullptr);

    // The entries of the list box in order, as they would be written (before trimming).
    QStringList Entries() const;

    // The list is saved through store (kept in the history, undoable) once one is given.
    void SetStore(CCatchStore* store) { m_store = store; }

    void accept() override;  // "設定": save and close; stays open when the file cannot be written

private:
    void OnInitDialog();
    void OnAdd();
    void OnDelete();
    void AppendEntry(const QString& entry);

    QLineEdit* m_nameEdit = nullptr;
    QListWidget* m_speciesList = nullptr;
    // Why the file could not be read (empty when it was read or is missing): such a file is
    // never written over with the empty list shown instead of it.
    QString m_readError;
    CCatchStore* m_store = nullptr;
};
