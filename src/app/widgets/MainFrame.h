#pragma once

#include <QMainWindow>
#include <memory>

class CCatchStore;
class CDataFolder;
class CSwitchSplitter;
class CNavBarCtrl;
class QCloseEvent;
class QLabel;
class QToolBar;
struct NavBarImageLists;

// The program's one window: toolbar, menu and status bar, the navigation bar on the left and the
// pages stacked on the right.  800 x 600 at least; it can grow and be maximised, and keeps
// its size, place and the navigation bar's folders between runs.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Command identifiers of the toolbar and menu.
    static constexpr int kCommandExit = 32774;
    static constexpr int kCommandExportXML = 32776;
    static constexpr int kCommandSettings = 32777;
    static constexpr int kCommandAbout = 57664;
    static constexpr int kCommandHelp = 57667;
    static constexpr int kCommandNewTrip = 32778;
    static constexpr int kCommandReload = 32779;
    static constexpr int kCommandExportCsv = 32780;
    static constexpr int kCommandImportCsv = 32781;
    static constexpr int kCommandYearReport = 32782;
    static constexpr int kCommandPrintYearReport = 32783;
    static constexpr int kCommandUndo = 57643;
    static constexpr int kCommandRedo = 57644;
    static constexpr int kCommandRestoreHistory = 32795;
    // Showing page n (a view number below) is kCommandShowPage + n.
    static constexpr int kCommandShowPage = 32784;
    static constexpr int kCommandFind = 32800;
    static constexpr int kCommandTripsFromPhotos = 32801;
    static constexpr int kCommandImportGpx = 32820;
    static constexpr int kCommandExportGpx = 32821;
    static constexpr int kCommandExportKml = 32822;

    // View numbers of the pages, in the order they are registered.
    static constexpr int kViewReports = 0;
    static constexpr int kViewStatistics = 1;
    static constexpr int kViewThumbnails = 2;
    static constexpr int kViewCalendar = 3;
    static constexpr int kViewMap = 4;

    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;

    // Every page works on store and on the other files of folder; both outlive the window.
    CMainFrame(CCatchStore& store, const CDataFolder& folder, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Size, place and maximised state as the last run left them; the first run keeps 800 x 600.
    void RestoreWindowState();

    // The navigation bar's notifications: code 1 item clicked (info = item index), 2 item
    // renamed, 3 folder renamed, 4 item moved, 5 folder selected.  The reply accepts (non-zero)
    // or refuses.
    int OnBarNotify(int code, int item);

    // Commands, as the toolbar and menu give them.
    void OnExportXML();
    void OnExportCsv();
    // Adds the trips of a CSV file and shows them in the trip list.
    void OnImportCsv();
    void OnImportGpx();
    // The yearly report of the year chosen on the statistics page, which is shown for it.
    void OnYearReport();
    void OnPrintYearReport();
    void OnSettings();
    void OnAbout();
    void OnNewTrip();
    void OnFind();
    void OnReload();
    void ShowPage(int view);
    // 編集: takes back or makes again the last change of the log, the memos or the species list.
    void OnUndo();
    void OnRedo();
    // 「履歴から復元...」: the history dialog, then RestoreHistory with the copy chosen.
    void OnRestoreHistory();
    // Puts the history copy name back (undoable); false when it could not (the user was told).
    bool RestoreHistory(const QString& name);

    CSwitchSplitter* GetSplitter() const { return m_splitter; }
    CNavBarCtrl* GetNavBar() const { return m_navBar; }
    QToolBar* GetToolBar() const { return m_toolBar; }

protected:
    // The program's exit: asks once about every entry dialog with changes.
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateToolBar();
    void CreateShortcuts();
    void SaveWindowState() const;
    void SaveNavBar() const;
    bool RestoreNavBar();
    bool CanRemoveFromNavBar(int kind, int index) const;
    void CreateMenus();
    QAction* CreateHistoryCommand();
    void CreateEditMenu();
    void UpdateEditCommands();
    void TakeUndoStep(bool undo);
    // Pages show the files again after an undo, a redo or a restore.
    void RefreshAfterChange();
    void CreateStatusBar();
    void CreateClient();

    CCatchStore& m_store;
    const CDataFolder& m_folder;
    CSwitchSplitter* m_splitter = nullptr;
    CNavBarCtrl* m_navBar = nullptr;
    QToolBar* m_toolBar = nullptr;
    // The bar draws from these; they live as long as the window.
    std::unique_ptr<NavBarImageLists> m_navImages;
};
