#include "app/widgets/MainFrame.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/widgets/AppIcons.h"
#include "app/widgets/CatchLogApp.h"
#include "app/widgets/SwitchSplitter.h"
#include "app/widgets/XMLExport.h"
#include "calendar/widgets/MainInFrame.h"
#include "entry/widgets/SettingsDlg.h"
#include "entry/widgets/ThumbnailFrame.h"
#include "navbar/widgets/NavBarCtrl.h"
#include "navbar/widgets/NavBarImages.h"
#include "reports/widgets/DataViewFrame.h"
#include "reports/widgets/ReportDataFrame.h"

namespace {
// The navigation bar's behaviour: renaming and removing folders and items, dragging items and
// animated folders, large icons, no selection frame.
constexpr std::uint32_t kNavBarFlags = 0x1FC;
constexpr int kFirstPaneId = 0xE900;

QAction* MakeCommand(QObject* parent, int id, const QString& text, const QString& statusTip)
{
    auto* action = new QAction(text, parent);
    action->setObjectName(QString::number(id));
    action->setStatusTip(statusTip);
    return action;
}
}  // namespace

CMainFrame::CMainFrame(CCatchStore& store, QWidget* parent) : QMainWindow(parent), m_store(store)
{
    // A fixed frame without minimise and maximise boxes.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("Lurebook"));
    setWindowIcon(AppIcon());
    CreateToolBar();
    CreateMenus();
    CreateStatusBar();
    CreateClient();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreateToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("128"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(16, 15));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    QAction* exit = MakeCommand(this, kCommandExit, QStringLiteral("終了"),
                                QStringLiteral("アプリケーション終了"));
    exit->setIcon(DrawToolbarImage(EToolbarImage::Exit));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QAction* exportXML = MakeCommand(this, kCommandExportXML, QStringLiteral("XML 出力"),
                                     QStringLiteral("XMLファイル出力"));
    exportXML->setIcon(DrawToolbarImage(EToolbarImage::ExportXML));
    connect(exportXML, &QAction::triggered, this, &CMainFrame::OnExportXML);

    QAction* settings =
        MakeCommand(this, kCommandSettings, QStringLiteral("環境設定"), QStringLiteral("環境設定"));
    settings->setIcon(DrawToolbarImage(EToolbarImage::Settings));
    connect(settings, &QAction::triggered, this, &CMainFrame::OnSettings);

    QAction* help = MakeCommand(this, kCommandAbout, QStringLiteral("ヘルプ"),
                                QStringLiteral("バージョン情報"));
    help->setIcon(DrawToolbarImage(EToolbarImage::Help));
    connect(help, &QAction::triggered, this, &CMainFrame::OnAbout);

    for (QAction* action : {exit, exportXML, settings, help}) {
        m_toolBar->addAction(action);
        action->setToolTip(action->text());
    }
}

void CMainFrame::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    QAction* exit = file->addAction(QStringLiteral("アプリケーション終了(&X)"));
    exit->setStatusTip(QStringLiteral("アプリケーション終了"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    QAction* about = help->addAction(QStringLiteral("バージョン情報(&A)..."));
    about->setObjectName(QString::number(kCommandAbout));
    about->setStatusTip(QStringLiteral("バージョン情報"));
    connect(about, &QAction::triggered, this, &CMainFrame::OnAbout);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->showMessage(QStringLiteral("レディ"));
    // Keyboard lock indicators, as panes of their own; the desktop gives no lock state, so
    // they stay dimmed.
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(QString::fromLatin1(indicator), bar);
        pane->setEnabled(false);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(40);
        bar->addPermanentWidget(pane);
    }
}

void CMainFrame::CreateClient()
{
    m_splitter = new CSwitchSplitter(this);
    m_splitter->setObjectName(QString::number(kFirstPaneId));
    setCentralWidget(m_splitter);

    CCatchStore& store = m_store;
    m_splitter->AddSwitchView(
        0, 1, [&store](QWidget* parent) { return new CReportDataFrame(store, parent); });
    m_splitter->AddSwitchView(
        0, 1, [&store](QWidget* parent) { return new CDataViewFrame(store, parent); });
    // The browser empties itself whenever it is shown, so the reset show mode needs no handler.
    m_splitter->AddSwitchView(
        0, 1, [&store](QWidget* parent) { return new CThumbnailFrame(store, parent); });
    m_splitter->AddSwitchView(0, 1, [](QWidget* parent) { return new CMainInFrame(parent); });

    m_navBar = new CNavBarCtrl(m_splitter);
    m_navBar->CreateBar(m_splitter, QRect(0, 0, 10, 10), kFirstPaneId, kNavBarFlags);
    m_navBar->SetNotifyHandler([this](int code, int index, const BarNotifyInfo*) -> long {
        return OnBarNotify(code, index);
    });
    m_splitter->SetPaneWidget(0, m_navBar);

    m_navImages = std::make_unique<NavBarImageLists>(CreateNavBarImageLists());
    SetUpNavBarMenu(*m_navBar, *m_navImages);

    // Column 0 takes a fifth of the client width, the pages the rest; the bar keeps its width.
    const int client = kWidth;
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({client / 5, client - client / 5 - m_splitter->handleWidth()});
}

int CMainFrame::OnBarNotify(int code, int item)
{
    switch (code) {
        case 1: {
            static const int kViewOfItem[] = {kViewCalendar, kViewReports, kViewStatistics,
                                              kViewThumbnails};
            if (item < 0 || item >= 4) return 0;
            m_splitter->SetShowMode(item == 3 ? CSwitchSplitter::kShowResetBrowser
                                              : CSwitchSplitter::kShowNormal);
            m_splitter->ShowSwitchView(kViewOfItem[item]);
            return 0;
        }
        case 2:
        case 3:
        case 4:
            return 1;
        default:
            return 0;
    }
}

void CMainFrame::OnExportXML()
{
    ExportCatchFile(this);
}

void CMainFrame::OnSettings()
{
    CSettingsDlg dialog(this);
    dialog.exec();
}

void CMainFrame::OnAbout()
{
    CCatchLogApp::OnAppAbout(this);
}
