#include "app/widgets/CatchLogApp.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/widgets/AboutDlg.h"
#include "app/widgets/AppIcons.h"
#include "app/widgets/MainFrame.h"
#include "data/CatchStore.h"
#include "data/ProgramDir.h"
#include "uikit/Fonts.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

CCatchLogApp::CCatchLogApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    setApplicationName(QStringLiteral("Lurebook"));
    setApplicationVersion(QStringLiteral(LUREBOOK_VERSION));
    setWindowIcon(AppIcon());
    InstallFontSubstitutions();
    // Qt's own texts (file dialogs, standard buttons, context menus of text fields) in Japanese.
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(translator);
    }
}

CCatchLogApp::~CCatchLogApp() = default;

bool CCatchLogApp::InitInstance()
{
    const std::string lockPath = DataPath(CInstanceLock::kLockFileName);
    std::string error;
    switch (m_lock.Acquire(lockPath, &error)) {
        case CInstanceLock::EResult::Acquired:
            break;
        case CInstanceLock::EResult::HeldByAnother: {
            QString text =
                QStringLiteral(
                    "Lurebook は既に起動しています。\n"
                    "同じデータを二つのウィンドウで編集すると内容が失われるため、終了します。\n") +
                QStringFromStd(DataPath("Data"));
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
    m_store = std::make_unique<CCatchStore>(DataPath(kCatchFileName));
    m_mainFrame = std::make_unique<CMainFrame>(*m_store);
    m_mainFrame->setWindowTitle(QStringLiteral("Lurebook"));
    m_mainFrame->RestoreWindowState();
    m_mainFrame->show();
    return true;
}

void CCatchLogApp::OnAppAbout(QWidget* parent)
{
    CAboutDlg dialog(parent);
    dialog.exec();
}
