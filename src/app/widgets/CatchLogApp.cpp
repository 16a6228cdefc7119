#include "app/widgets/CatchLogApp.h"

#include <ctime>

#include <QStandardPaths>

#include "app/SettingsCarryOver.h"
#include "app/widgets/AboutDlg.h"
#include "app/widgets/AppIcons.h"
#include "app/widgets/MainFrame.h"
#include "data/CatchBackup.h"
#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/Log.h"
#include "uikit/DesktopServices.h"
#include "uikit/Fonts.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

CCatchLogApp::CCatchLogApp(int& argc, char** argv, const CDataFolder& folder)
    : QApplication(argc, argv), m_folder(folder)
{
    UseSettingsFolder();
    setApplicationVersion(QStringLiteral(LUREBOOK_VERSION));
    // Wayland shells match the window to its desktop entry (menu name, icon) by this name.
    setDesktopFileName(QStringLiteral("io.github.lurebook.lurebook"));
    setWindowIcon(AppIcon());
    InstallFontSubstitutions();
    InstallJapaneseQtTranslations();
}

CCatchLogApp::~CCatchLogApp() = default;

void CCatchLogApp::UseSettingsFolder()
{
    // QSettings keeps <config>/<organisation>/<application>.conf: ~/.config/lurebook/lurebook.conf.
    QCoreApplication::setOrganizationName(QStringLiteral("lurebook"));
    QCoreApplication::setApplicationName(QStringLiteral("lurebook"));
    const std::string config =
        PathFromQString(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    if (config.empty()) return;
    std::string error;
    // A failure costs the user the window layout of the older version only: the program starts
    // with its defaults and tries again at the next start.
    if (CarryOverSettings(OldSettingsFileIn(config), SettingsFileIn(config), &error) ==
        ESettingsCarryOver::Failed) {
        LogTrace("settings not carried over: " + error);
    }
}

bool CCatchLogApp::InitInstance()
{
    const std::string lockPath = m_folder.GetLockFile();
    std::string error;
    switch (m_lock.Acquire(lockPath, &error)) {
        case CInstanceLock::EResult::Acquired:
            break;
        case CInstanceLock::EResult::HeldByAnother: {
            QString text =
                QStringLiteral(
                    "Lurebook は既に起動しています。\n"
                    "同じデータを二つのウィンドウで編集すると内容が失われるため、終了します。\n") +
                QStringFromStd(m_folder.Path("Data"));
            if (m_lock.GetHolderPid() > 0) {
                text += QStringLiteral("\n(プロセス %1)").arg(m_lock.GetHolderPid());
            }
            ShowMessageBox(nullptr, text, EMessageBoxIcon::Warning);
            return false;
        }
        case CInstanceLock::EResult::Failed:
            // A read-only program folder, say: the program still shows what it can read, and the
            // pages report what they cannot save, but the user learns that nothing keeps a second
            // copy off the same data.
            ShowMessageBox(nullptr,
                           QStringLiteral("二重起動を防ぐロックを作成できませんでした。\n"
                                          "別のLurebookで同じデータを編集しないでください。\n") +
                               QStringFromStd(error),
                           EMessageBoxIcon::Warning);
            break;
    }
    if (m_lock.IsHeld()) RemoveLeftoversOfCutSaves(m_folder);
    m_store = std::make_unique<CCatchStore>(m_folder.GetCatchFile());
    // Every change can be undone while the program runs, and the day's first is kept dated.
    m_store->EnableHistory(true);
    m_store->EnableUndo(true);
    OfferBackupRestore(nullptr, *m_store);
    m_mainFrame = std::make_unique<CMainFrame>(*m_store, m_folder);
    m_mainFrame->setWindowTitle(QStringLiteral("Lurebook"));
    m_mainFrame->RestoreWindowState();
    m_mainFrame->show();
    return true;
}

void CCatchLogApp::OfferBackupRestore(QWidget* parent, CCatchStore& store)
{
    CBrokenCatchFile broken;
    if (!FindRestorableBackup(store, broken)) return;
    const std::time_t now = std::time(nullptr);
    const std::string keptName = BrokenFileName(store.GetPath(), now);
    const QString question = QStringLiteral(
                                 "釣行データのファイルに誤りがあるため読み込めません。\n"
                                 "%1 行目: %2\n%3\n\n"
                                 "最後に保存する前のバックアップ (%4 件の釣行) は読み込めます。\n"
                                 "バックアップに戻しますか？\n\n"
                                 "今のファイルは消さずに次の名前で残します。\n%5\n"
                                 "「いいえ」ならどちらのファイルも変えません。")
                                 .arg(broken.problem.line)
                                 .arg(QStringFromStd(DescribeParseError(broken.problem)),
                                      QStringFromStd(store.GetPath()))
                                 .arg(broken.backupTrips)
                                 .arg(QStringFromStd(keptName));
    if (ShowMessageBox(parent, question, EMessageBoxIcon::Warning,
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
        // Told once: the trip list does not say it again when it fills or after each dialog.
        store.NoteFailureTold(broken.problem);
        return;
    }
    std::string keptAs;
    std::string error;
    if (RestoreCatchBackup(store, now, &keptAs, &error)) {
        ShowMessageBox(parent,
                       QStringLiteral("バックアップに戻しました。\n元のファイルは次の名前で残して"
                                      "あります。\n") +
                           QStringFromStd(keptAs),
                       EMessageBoxIcon::Information);
    } else {
        store.NoteFailureTold(broken.problem);
        ShowMessageBox(parent,
                       QStringLiteral("バックアップに戻せませんでした。どちらのファイルも変えていま"
                                      "せん。\n") +
                           QStringFromStd(error),
                       EMessageBoxIcon::Warning);
    }
}

void CCatchLogApp::OnAppAbout(QWidget* parent)
{
    CAboutDlg dialog(parent);
    dialog.exec();
}
