#include "app/widgets/MainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "app/widgets/AppIcons.h"
#include "app/widgets/CatchLogApp.h"
#include "app/widgets/CsvExchange.h"
#include "app/widgets/HistoryDlg.h"
#include "app/widgets/Manual.h"
#include "app/widgets/SwitchSplitter.h"
#include "app/widgets/XMLExport.h"
#include "calendar/widgets/CalendarBar.h"
#include "calendar/widgets/MainInFrame.h"
#include "calendar/widgets/SheduleView.h"
#include "data/CatchStore.h"
#include "entry/widgets/CatchEntryDlg.h"
#include "entry/widgets/SettingsDlg.h"
#include "navbar/widgets/NavBarCtrl.h"
#include "navbar/widgets/NavBarImages.h"
#include "photos/widgets/ThumbnailFrame.h"
#include "places/widgets/GpxImportDlg.h"
#include "places/widgets/MapFrame.h"
#include "places/widgets/PlacePickerDlg.h"
#include "reports/widgets/DataViewFrame.h"
#include "reports/widgets/ReportDataFrame.h"
#include "reports/widgets/ReportDataView.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {
// The navigation bar's behaviour: renaming and removing folders and items, dragging items and
// animated folders, large icons, no selection frame.
constexpr std::uint32_t kNavBarFlags = 0x1FC;
constexpr int kFirstPaneId = 0xE900;
constexpr int kToolBarId = 128;

const QString kGeometryKey = QStringLiteral("MainFrame/Geometry");
const QString kNavBarKey = QStringLiteral("NavBar");

QAction* MakeCommand(QObject* parent, int id, const QString& text, const QString& statusTip)
{
    auto* action = new QAction(text, parent);
    action->setObjectName(QString::number(id));
    action->setStatusTip(statusTip);
    return action;
}

QString WithShortcut(const QString& text, const QAction* action)
{
    const QKeySequence keys = action->shortcut();
    if (keys.isEmpty()) return text;
    return QStringLiteral("%1 (%2)").arg(text, keys.toString(QKeySequence::NativeText));
}

// The page an item of the navigation bar leads to, from the value it carries.
int ViewOfItemValue(long value)
{
    switch (value) {
        case 1:
            return CMainFrame::kViewCalendar;
        case 2:
            return CMainFrame::kViewReports;
        case 3:
            return CMainFrame::kViewStatistics;
        case 4:
            return CMainFrame::kViewThumbnails;
        case 5:
            return CMainFrame::kViewMap;
        default:
            return -1;
    }
}
constexpr long kPageValues[] = {1, 2, 3, 4, 5};
// The page the bars of earlier versions do not have yet: it is added to them.
constexpr long kMapPageValue = 5;

struct CSavedItem {
    QString label;
    int image = 0;
    long value = 0;
};
struct CSavedFolder {
    QString name;
    std::vector<CSavedItem> items;
};
}  // namespace

CMainFrame::CMainFrame(CCatchStore& store, const CDataFolder& folder, QWidget* parent)
    : QMainWindow(parent), m_store(store), m_folder(folder)
{
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("Lurebook"));
    setWindowIcon(AppIcon());
    CreateToolBar();
    CreateMenus();
    CreateStatusBar();
    CreateClient();
    CreateShortcuts();
    m_store.SetChangeListener([this] { UpdateEditCommands(); });
    UpdateEditCommands();
    // The entry dialog's 「地図で選ぶ...」 opens the place picker on the map.
    CCatchEntryDlg::SetPlacePicker(PickPlacePosition);
}

CMainFrame::~CMainFrame()
{
    m_store.SetChangeListener({});
}

void CMainFrame::RestoreWindowState()
{
    QSettings settings;
    if (!restoreGeometry(settings.value(kGeometryKey).toByteArray())) resize(kWidth, kHeight);
}

void CMainFrame::SaveWindowState() const
{
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!ConfirmClosingCatchEntries(this, findChildren<CCatchEntryDlg*>())) {
        event->ignore();
        return;
    }
    SaveWindowState();
    SaveNavBar();
    QMainWindow::closeEvent(event);
}

void CMainFrame::CreateToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QString::number(kToolBarId));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(16, 15));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    // One action per command, shared by the toolbar and the menu: the toolbar shows the short
    // text, the menu the long one with its access key and shortcut.
    QAction* exit = MakeCommand(this, kCommandExit, QStringLiteral("アプリケーション終了(&X)"),
                                QStringLiteral("アプリケーション終了"));
    exit->setIconText(QStringLiteral("終了"));
    exit->setIcon(DrawToolbarImage(EToolbarImage::Exit));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Also from an entry dialog, a window of its own: the exit question settles it too.
    exit->setShortcutContext(Qt::ApplicationShortcut);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QAction* exportXML = MakeCommand(this, kCommandExportXML, QStringLiteral("XML 出力(&E)..."),
                                     QStringLiteral("XMLファイル出力"));
    exportXML->setIconText(QStringLiteral("XML 出力"));
    exportXML->setIcon(DrawToolbarImage(EToolbarImage::ExportXML));
    exportXML->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(exportXML, &QAction::triggered, this, &CMainFrame::OnExportXML);

    QAction* settings = MakeCommand(this, kCommandSettings, QStringLiteral("環境設定(&O)..."),
                                    QStringLiteral("環境設定"));
    settings->setIconText(QStringLiteral("環境設定"));
    settings->setIcon(DrawToolbarImage(EToolbarImage::Settings));
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(settings, &QAction::triggered, this, &CMainFrame::OnSettings);

    QAction* about = MakeCommand(this, kCommandAbout, QStringLiteral("バージョン情報(&A)..."),
                                 QStringLiteral("バージョン情報"));
    connect(about, &QAction::triggered, this, &CMainFrame::OnAbout);
    QAction* help = MakeCommand(this, kCommandHelp, QStringLiteral("使い方(&H)"),
                                QStringLiteral("Lurebook の使い方を開く"));
    help->setIconText(QStringLiteral("ヘルプ"));
    help->setIcon(DrawToolbarImage(EToolbarImage::Help));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this, [this] { OpenManual(this); });

    for (QAction* action : {exit, exportXML, settings, help}) {
        m_toolBar->addAction(action);
        action->setToolTip(WithShortcut(action->iconText(), action));
    }
}

void CMainFrame::CreateMenus()
{
    const auto command = [this](int id) {
        return findChild<QAction*>(QString::number(id), Qt::FindDirectChildrenOnly);
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    QAction* newTrip = MakeCommand(this, kCommandNewTrip, QStringLiteral("新規登録(&N)..."),
                                   QStringLiteral("釣行データを新しく登録"));
    newTrip->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(newTrip, &QAction::triggered, this, &CMainFrame::OnNewTrip);
    file->addAction(newTrip);
    QAction* fromPhotos =
        MakeCommand(this, kCommandTripsFromPhotos, QStringLiteral("写真から登録(&F)..."),
                    QStringLiteral("写真の撮影日時と位置から釣行を作って登録"));
    connect(fromPhotos, &QAction::triggered, this, [this] {
        ShowPage(kViewReports);
        if (auto* page = qobject_cast<CReportDataFrame*>(m_splitter->GetView(kViewReports)))
            page->GetView()->OnImportPhotos();
    });
    file->addAction(fromPhotos);
    file->addAction(command(kCommandExportXML));
    // Trips to and from a spreadsheet.
    QAction* exportCsv = MakeCommand(this, kCommandExportCsv, QStringLiteral("CSV 出力(&C)..."),
                                     QStringLiteral("釣行データを CSV ファイルに出力"));
    connect(exportCsv, &QAction::triggered, this, &CMainFrame::OnExportCsv);
    QAction* importCsv = MakeCommand(this, kCommandImportCsv, QStringLiteral("CSV 取り込み(&I)..."),
                                     QStringLiteral("CSV ファイルの釣行データを追加"));
    connect(importCsv, &QAction::triggered, this, &CMainFrame::OnImportCsv);
    QAction* importGpx =
        MakeCommand(this, kCommandImportGpx, QStringLiteral("GPX から場所を取り込む(&G)..."),
                    QStringLiteral("GPX ファイルのウェイポイントを場所の位置として取り込む"));
    connect(importGpx, &QAction::triggered, this, &CMainFrame::OnImportGpx);
    // The places on the map, for other map programs: of the year the map page shows.
    const auto exportPlaces = [this](int id, const QString& text, EGpsFormat format) {
        QAction* action =
            MakeCommand(this, id, text,
                        QStringLiteral("釣り場マップの年度の場所と釣果の位置をファイルに書き出す"));
        connect(action, &QAction::triggered, this, [this, format] {
            ShowPage(kViewMap);
            if (auto* map = qobject_cast<CMapFrame*>(m_splitter->GetView(kViewMap)))
                map->ExportPlaces(format);
        });
        return action;
    };
    file->addAction(exportCsv);
    file->addAction(importCsv);
    file->addAction(importGpx);
    file->addAction(
        exportPlaces(kCommandExportGpx, QStringLiteral("GPXで書き出す(&W)..."), EGpsFormat::Gpx));
    file->addAction(
        exportPlaces(kCommandExportKml, QStringLiteral("KMLで書き出す(&K)..."), EGpsFormat::Kml));
    file->addAction(CreateHistoryCommand());
    QAction* yearReport =
        MakeCommand(this, kCommandYearReport, QStringLiteral("年間レポート(&R)..."),
                    QStringLiteral("選んだ年度の釣果レポートを PDF で出力"));
    connect(yearReport, &QAction::triggered, this, &CMainFrame::OnYearReport);
    QAction* printReport =
        MakeCommand(this, kCommandPrintYearReport, QStringLiteral("年間レポートを印刷(&P)..."),
                    QStringLiteral("選んだ年度の釣果レポートを印刷"));
    connect(printReport, &QAction::triggered, this, &CMainFrame::OnPrintYearReport);
    file->addAction(yearReport);
    file->addAction(printReport);
    file->addAction(command(kCommandSettings));
    file->addSeparator();
    file->addAction(command(kCommandExit));
    CreateEditMenu();

    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    struct CPage {
        int view;
        const char* text;
    };
    const CPage pages[] = {{kViewCalendar, "トップ(&1)"},
                           {kViewReports, "データ登録(&2)"},
                           {kViewStatistics, "データ統計(&3)"},
                           {kViewThumbnails, "画像一覧(&4)"},
                           {kViewMap, "釣り場マップ(&5)"}};
    for (int n = 0; n < static_cast<int>(std::size(pages)); ++n) {
        QAction* page = MakeCommand(this, kCommandShowPage + pages[n].view,
                                    QString::fromUtf8(pages[n].text), QString());
        page->setShortcuts(
            {QKeySequence(Qt::ALT | (Qt::Key_1 + n)), QKeySequence(Qt::CTRL | (Qt::Key_1 + n))});
        page->setStatusTip(page->text().remove(QRegularExpression(QStringLiteral("\\(.*\\)"))) +
                           QStringLiteral(" を表示"));
        const int number = pages[n].view;
        connect(page, &QAction::triggered, this, [this, number] { ShowPage(number); });
        view->addAction(page);
    }
    view->addSeparator();
    // From any page: the search of the trip list.
    QAction* find = MakeCommand(this, kCommandFind, QStringLiteral("釣行を検索(&F)"),
                                QStringLiteral("データ登録の検索欄へ"));
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, &CMainFrame::OnFind);
    view->addAction(find);
    QAction* reload = MakeCommand(this, kCommandReload, QStringLiteral("再読み込み(&R)"),
                                  QStringLiteral("表示中のページをファイルから読み直す"));
    reload->setShortcut(QKeySequence(Qt::Key_F5));
    connect(reload, &QAction::triggered, this, &CMainFrame::OnReload);
    view->addAction(reload);

    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->addAction(command(kCommandHelp));
    help->addSeparator();
    help->addAction(command(kCommandAbout));
}

void CMainFrame::CreateShortcuts()
{
    // The calendar's months, while the calendar page has the focus.
    QWidget* calendar = m_splitter->GetView(kViewCalendar);
    auto* page = qobject_cast<CMainInFrame*>(calendar);
    if (page == nullptr) return;
    // Memos are saved through the store, so they can be undone like every other change.
    page->ScheduleView()->SetStore(&m_store);
    const std::pair<Qt::Key, void (CMainInFrame::*)()> steps[] = {
        {Qt::Key_PageUp, &CMainInFrame::OnPrevMonth},
        {Qt::Key_PageDown, &CMainInFrame::OnNextMonth}};
    for (const auto& [key, step] : steps) {
        auto* shortcut = new QShortcut(QKeySequence(key), page);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, page, step);
    }
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->showMessage(QStringLiteral("レディ"));
    // Keyboard lock indicators (Caps Lock, Num Lock, Scroll Lock), as panes of their own; the
    // desktop gives no lock state, so they stay dimmed.
    for (const char* indicator : {"大文字", "テンキー", "スクロール"}) {
        auto* pane = new QLabel(QString::fromUtf8(indicator), bar);
        pane->setEnabled(false);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(
            std::max(40, pane->fontMetrics().horizontalAdvance(pane->text()) + 12));
        bar->addPermanentWidget(pane);
    }
}

void CMainFrame::CreateClient()
{
    m_splitter = new CSwitchSplitter(this);
    m_splitter->setObjectName(QString::number(kFirstPaneId));
    setCentralWidget(m_splitter);

    CCatchStore& store = m_store;
    const CDataFolder& folder = m_folder;
    m_splitter->AddSwitchView(0, 1, [&store, &folder](QWidget* parent) {
        return new CReportDataFrame(store, folder, parent);
    });
    m_splitter->AddSwitchView(0, 1, [&store, &folder](QWidget* parent) {
        return new CDataViewFrame(store, folder, parent);
    });
    // The browser empties itself whenever it is shown, so the reset show mode needs no handler.
    m_splitter->AddSwitchView(
        0, 1, [&store](QWidget* parent) { return new CThumbnailFrame(store, parent); });
    m_splitter->AddSwitchView(
        0, 1, [&folder](QWidget* parent) { return new CMainInFrame(folder, parent); });
    m_splitter->AddSwitchView(0, 1, [this, &store, &folder](QWidget* parent) {
        auto* map = new CMapFrame(store, folder, parent);
        // A trip double-clicked on the map opens in the entry dialog the trip list uses.
        map->onOpenTrip = [this](int position) {
            if (auto* page = qobject_cast<CReportDataFrame*>(m_splitter->GetView(kViewReports)))
                page->GetView()->OpenCatchEntry(position);
        };
        return map;
    });
    // The newest view is shown when added; the window still opens on the calendar.
    m_splitter->ShowSwitchView(kViewCalendar);

    m_navBar = new CNavBarCtrl(m_splitter);
    m_navBar->CreateBar(m_splitter, QRect(0, 0, 10, 10), kFirstPaneId, kNavBarFlags);
    m_navBar->SetNotifyHandler([this](int code, int index, const BarNotifyInfo*) -> long {
        return OnBarNotify(code, index);
    });
    m_splitter->SetPaneWidget(0, m_navBar);

    m_navImages = std::make_unique<NavBarImageLists>(CreateNavBarImageLists());
    SetUpNavBarMenu(*m_navBar, *m_navImages);
    m_navBar->InsertFolderItem(0, m_navBar->Model().ItemCount(0), QStringLiteral("釣り場マップ"),
                               NavBarImageMap, kMapPageValue);
    RestoreNavBar();
    m_navBar->SetRemoveGuard(
        [this](int kind, int index) { return CanRemoveFromNavBar(kind, index); });

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
            // The item's own value names its page, wherever the item has been moved.
            const CNavBarModel& model = m_navBar->Model();
            const BarItem* clicked = model.Item(model.SelectedFolder(), item);
            if (clicked == nullptr) return 0;
            const int view = ViewOfItemValue(clicked->value);
            if (view >= 0) ShowPage(view);
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

void CMainFrame::ShowPage(int view)
{
    m_splitter->SetShowMode(view == kViewThumbnails ? CSwitchSplitter::kShowResetBrowser
                                                    : CSwitchSplitter::kShowNormal);
    m_splitter->ShowSwitchView(view);
}

void CMainFrame::OnNewTrip()
{
    ShowPage(kViewReports);
    if (auto* page = qobject_cast<CReportDataFrame*>(m_splitter->GetView(kViewReports))) {
        page->GetView()->OnNewTrip();
    }
}

void CMainFrame::OnFind()
{
    ShowPage(kViewReports);
    if (auto* page = qobject_cast<CReportDataFrame*>(m_splitter->GetView(kViewReports)))
        page->FocusSearch();
}

void CMainFrame::OnReload()
{
    const int shown = m_splitter->GetCurrentView(0, 1);
    QWidget* view = m_splitter->GetView(shown);
    if (auto* trips = qobject_cast<CReportDataFrame*>(view)) {
        trips->GetView()->OnInitialUpdate();
    } else if (auto* statistics = qobject_cast<CDataViewFrame*>(view)) {
        if (statistics->GetViewKind() == CDataViewFrame::kRankingView) {
            statistics->OnRanking();
        } else if (statistics->GetViewKind() == CDataViewFrame::kConditionView) {
            statistics->OnConditionStatistics();
        } else if (statistics->GetViewKind() == CDataViewFrame::kPlaceView) {
            statistics->OnPlaceStatistics();
        } else {
            statistics->OnMonthlyStatistics();
        }
    } else if (auto* photos = qobject_cast<CThumbnailFrame*>(view)) {
        photos->OnShow();
    } else if (auto* map = qobject_cast<CMapFrame*>(view)) {
        map->Reload();
    } else if (auto* calendar = qobject_cast<CMainInFrame*>(view)) {
        calendar->FillMonthList(*calendar->ScheduleView());
        calendar->ScheduleView()->LoadMonthMemos(calendar->CalendarBar()->TitleText());
    }
}

bool CMainFrame::CanRemoveFromNavBar(int kind, int index) const
{
    // Every page must stay reachable: nothing goes that holds the last item leading to a page.
    const CNavBarModel& model = m_navBar->Model();
    const int selected = model.SelectedFolder();
    for (const long page : kPageValues) {
        int remaining = 0;
        for (int folder = 0; folder < model.FolderCount(); ++folder) {
            if (kind == BarHitFolder && folder == index) continue;
            for (int item = 0; item < model.ItemCount(folder); ++item) {
                if (kind == BarHitItem && folder == selected && item == index) continue;
                if (model.Item(folder, item)->value == page) ++remaining;
            }
        }
        if (remaining == 0) return false;
    }
    return true;
}

void CMainFrame::SaveNavBar() const
{
    const CNavBarModel& model = m_navBar->Model();
    QSettings settings;
    settings.remove(kNavBarKey);
    settings.beginGroup(kNavBarKey);
    settings.setValue(QStringLiteral("SmallIcons"), model.UsesSmallIcons());
    settings.setValue(QStringLiteral("SelectedFolder"), model.SelectedFolder());
    settings.beginWriteArray(QStringLiteral("Folders"), model.FolderCount());
    for (int folder = 0; folder < model.FolderCount(); ++folder) {
        settings.setArrayIndex(folder);
        settings.setValue(QStringLiteral("Name"), QStringFromStd(model.Folder(folder)->name));
        settings.beginWriteArray(QStringLiteral("Items"), model.ItemCount(folder));
        for (int item = 0; item < model.ItemCount(folder); ++item) {
            const BarItem* saved = model.Item(folder, item);
            settings.setArrayIndex(item);
            settings.setValue(QStringLiteral("Label"), QStringFromStd(saved->label));
            settings.setValue(QStringLiteral("Image"), saved->image);
            settings.setValue(QStringLiteral("Page"), static_cast<qlonglong>(saved->value));
        }
        settings.endArray();
    }
    settings.endArray();
    settings.endGroup();
}

bool CMainFrame::RestoreNavBar()
{
    QSettings settings;
    settings.beginGroup(kNavBarKey);
    std::vector<CSavedFolder> folders;
    const int folderCount = settings.beginReadArray(QStringLiteral("Folders"));
    for (int folder = 0; folder < folderCount; ++folder) {
        settings.setArrayIndex(folder);
        CSavedFolder saved{settings.value(QStringLiteral("Name")).toString(), {}};
        const int itemCount = settings.beginReadArray(QStringLiteral("Items"));
        for (int item = 0; item < itemCount; ++item) {
            settings.setArrayIndex(item);
            QString label = settings.value(QStringLiteral("Label")).toString();
            const int image = settings.value(QStringLiteral("Image")).toInt();
            // Bars saved by earlier versions keep the top item's old English name; a name the
            // user gave it stays as it is.
            if (label == QLatin1String("Top") && image == 0) label = QStringLiteral("トップ");
            saved.items.push_back(
                {label, image,
                 static_cast<long>(settings.value(QStringLiteral("Page")).toLongLong())});
        }
        settings.endArray();
        folders.push_back(std::move(saved));
    }
    settings.endArray();
    const bool small = settings.value(QStringLiteral("SmallIcons"), false).toBool();
    const int selected = settings.value(QStringLiteral("SelectedFolder"), 0).toInt();
    settings.endGroup();

    // A saved bar that no longer leads to every page (or names unknown pictures or pages) is
    // not used: the bar starts as on the first run.
    for (const long page : kPageValues) {
        bool found = false;
        for (const CSavedFolder& folder : folders) {
            for (const CSavedItem& item : folder.items) {
                if (item.image < 0 || item.image >= NavBarImageCount ||
                    ViewOfItemValue(item.value) < 0) {
                    return false;
                }
                found = found || item.value == page;
            }
        }
        if (found) continue;
        if (page != kMapPageValue) return false;
        // A bar saved before the map existed keeps the user's items and gains the map after the
        // item of 画像一覧 (the last of the old menu), or at the end of the first folder.
        CSavedFolder* home = folders.empty() ? nullptr : &folders.front();
        size_t at = home != nullptr ? home->items.size() : 0;
        for (CSavedFolder& folder : folders) {
            for (size_t item = 0; item < folder.items.size(); ++item) {
                if (folder.items[item].value == 4) {
                    home = &folder;
                    at = item + 1;
                }
            }
        }
        if (home == nullptr) return false;
        home->items.insert(home->items.begin() + static_cast<std::ptrdiff_t>(at),
                           {QStringLiteral("釣り場マップ"), NavBarImageMap, kMapPageValue});
    }
    while (m_navBar->FolderCount() > 0) m_navBar->DeleteFolder(0);
    for (const CSavedFolder& saved : folders) {
        const int folder = m_navBar->AppendFolder(saved.name, 0);
        for (size_t item = 0; item < saved.items.size(); ++item) {
            m_navBar->InsertFolderItem(folder, static_cast<int>(item), saved.items[item].label,
                                       saved.items[item].image, saved.items[item].value);
        }
    }
    m_navBar->UseSmallIcons(small);
    m_navBar->SelectFolder(selected >= 0 && selected < m_navBar->FolderCount() ? selected : 0);
    return true;
}

void CMainFrame::OnExportXML()
{
    ExportCatchFile(this, m_store);
}

void CMainFrame::OnExportCsv()
{
    ExportTripsCsv(this, m_store);
}

void CMainFrame::OnImportCsv()
{
    if (!ImportTripsCsv(this, m_store)) return;
    if (auto* trips = qobject_cast<CReportDataFrame*>(m_splitter->GetView(kViewReports)))
        trips->GetView()->OnInitialUpdate();
}

void CMainFrame::OnImportGpx()
{
    ImportGpxPlaces(this, m_folder);
}

void CMainFrame::OnYearReport()
{
    ShowPage(kViewStatistics);
    if (auto* page = qobject_cast<CDataViewFrame*>(m_splitter->GetView(kViewStatistics)))
        page->OnYearReport();
}

void CMainFrame::OnPrintYearReport()
{
    ShowPage(kViewStatistics);
    if (auto* page = qobject_cast<CDataViewFrame*>(m_splitter->GetView(kViewStatistics)))
        page->OnPrintYearReport();
}

void CMainFrame::OnSettings()
{
    CSettingsDlg dialog(m_folder, this);
    dialog.SetStore(&m_store);
    // A new home port changes the calendar's tides and the catches' conditions: show them anew.
    if (dialog.exec() == QDialog::Accepted) OnReload();
}

void CMainFrame::OnAbout()
{
    CCatchLogApp::OnAppAbout(this);
}

QAction* CMainFrame::CreateHistoryCommand()
{
    QAction* restore =
        MakeCommand(this, kCommandRestoreHistory, QStringLiteral("履歴から復元(&H)..."),
                    QStringLiteral("保存してある以前の釣行データに戻す"));
    connect(restore, &QAction::triggered, this, &CMainFrame::OnRestoreHistory);
    return restore;
}

void CMainFrame::CreateEditMenu()
{
    QAction* undo = MakeCommand(this, kCommandUndo, QStringLiteral("元に戻す(&U)"),
                                QStringLiteral("最後の変更を取り消す"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(undo, &QAction::triggered, this, &CMainFrame::OnUndo);
    QAction* redo = MakeCommand(this, kCommandRedo, QStringLiteral("やり直し(&R)"),
                                QStringLiteral("取り消した変更をもう一度行う"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(redo, &QAction::triggered, this, &CMainFrame::OnRedo);
    QMenu* edit = new QMenu(QStringLiteral("編集(&E)"), this);
    edit->addAction(undo);
    edit->addAction(redo);
    // Between ファイル and 表示, where desktop programs keep it.
    const QList<QAction*> menus = menuBar()->actions();
    menuBar()->insertMenu(menus.size() > 1 ? menus.at(1) : nullptr, edit);
}

void CMainFrame::UpdateEditCommands()
{
    const auto update = [this](int id, const QString& verb, const std::string& name, bool can) {
        auto* action = findChild<QAction*>(QString::number(id), Qt::FindDirectChildrenOnly);
        if (action == nullptr) return;
        const QString key = id == kCommandUndo ? QStringLiteral("(&U)") : QStringLiteral("(&R)");
        action->setText(can ? QStringLiteral("%1: %2%3").arg(verb, QStringFromStd(name), key)
                            : verb + key);
        action->setEnabled(can);
    };
    update(kCommandUndo, QStringLiteral("元に戻す"), m_store.GetUndoName(), m_store.CanUndo());
    update(kCommandRedo, QStringLiteral("やり直し"), m_store.GetRedoName(), m_store.CanRedo());
}

void CMainFrame::OnUndo()
{
    TakeUndoStep(true);
}

void CMainFrame::OnRedo()
{
    TakeUndoStep(false);
}

void CMainFrame::TakeUndoStep(bool undo)
{
    const QString name = QStringFromStd(undo ? m_store.GetUndoName() : m_store.GetRedoName());
    if (name.isEmpty()) return;
    const CStoreResult result = undo ? m_store.Undo() : m_store.Redo();
    const QString verb = undo ? QStringLiteral("元に戻せません") : QStringLiteral("やり直せません");
    if (result.status == EStoreStatus::ChangedOutside) {
        ShowMessageBox(this,
                       QStringLiteral("「%1」を%2。\n"
                                      "次のファイルが Lurebook の外で変更されたため、"
                                      "何も書き込んでいません。\n%3")
                           .arg(name, verb, QStringFromStd(result.detail)),
                       EMessageBoxIcon::Warning);
    } else if (!result.ok()) {
        ShowMessageBox(this,
                       QStringLiteral("「%1」を%2。\n").arg(name, verb) +
                           QStringFromStd(DescribeStoreResult(result, m_store.GetPath())),
                       EMessageBoxIcon::Warning);
    } else {
        statusBar()->showMessage(
            (undo ? QStringLiteral("元に戻しました: ") : QStringLiteral("やり直しました: ")) +
            name);
    }
    RefreshAfterChange();
}

void CMainFrame::RefreshAfterChange()
{
    // The trip list names trips by their place in the file: it must never show an older file
    // than the one a delete would act on, shown or not.
    if (m_splitter->GetCurrentView(0, 1) != kViewReports) {
        if (auto* trips = qobject_cast<CReportDataFrame*>(m_splitter->GetView(kViewReports)))
            trips->GetView()->OnInitialUpdate();
    }
    OnReload();
}

void CMainFrame::OnRestoreHistory()
{
    CHistoryDlg dialog(m_store, this);
    if (dialog.exec() != QDialog::Accepted || dialog.SelectedName().isEmpty()) return;
    RestoreHistory(dialog.SelectedName());
}

bool CMainFrame::RestoreHistory(const QString& name)
{
    const CStoreResult result = m_store.RestoreHistoryCopy(StdFromQString(name));
    RefreshAfterChange();
    if (!result.ok()) {
        ShowMessageBox(this,
                       QStringLiteral("履歴 %1 から復元できませんでした。\n").arg(name) +
                           QStringFromStd(result.detail.empty()
                                              ? DescribeStoreResult(result, m_store.GetPath())
                                              : result.detail),
                       EMessageBoxIcon::Warning);
        return false;
    }
    statusBar()->showMessage(
        QStringLiteral("履歴 %1 に戻しました (「元に戻す」で復元の前に戻せます)").arg(name));
    return true;
}
