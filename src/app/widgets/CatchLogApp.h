#pragma once

#include <QApplication>
#include <memory>

#include "app/InstanceLock.h"

class CCatchStore;
class CDataFolder;
class CMainFrame;

// The application object: sets up fonts and settings, makes sure no other copy works on the same
// Data folder, creates the main window and titles and shows it.  Every page works on the folder it
// is given, which outlives it.  Nothing is loaded at start and nothing is written at the end:
// every page reads and saves its files when the user acts.
class CCatchLogApp : public QApplication {
    Q_OBJECT
public:
    CCatchLogApp(int& argc, char** argv, const CDataFolder& folder);
    ~CCatchLogApp() override;

    // Creates and shows the main window.  False when the program must end: another copy holds
    // the Data folder (the user has been told) or the window cannot be made.
    bool InitInstance();

    CMainFrame* GetMainFrame() const { return m_mainFrame.get(); }

    // Points QSettings at ~/.config/lurebook/lurebook.conf, carried over once from the file older
    // versions kept.  Before the first QSettings is made.
    static void UseSettingsFolder();

    // The about box, for the menu and the toolbar.
    static void OnAppAbout(QWidget* parent);

    // At start: a catch file that cannot be parsed next to a backup that can is told once, and
    // the backup is put in its place when the user says yes (the broken file kept under a dated
    // name).  Told or restored, the pages do not repeat the failure on every refresh.
    static void OfferBackupRestore(QWidget* parent, CCatchStore& store);

private:
    const CDataFolder& m_folder;
    CInstanceLock m_lock;
    // The catch file every page works on, read once and kept while it is unchanged.
    std::unique_ptr<CCatchStore> m_store;
    std::unique_ptr<CMainFrame> m_mainFrame;
};
