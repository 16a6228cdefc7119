#include "places/widgets/MapFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "places/BaseMap.h"
#include "places/MapPlaces.h"
#include "places/PlaceBook.h"
#include "places/widgets/MapView.h"
#include "places/widgets/TileFetcher.h"
#include "reports/CatchConditions.h"
#include "tides/TideStations.h"
#include "uikit/DesktopServices.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {

const QString kAllYears = QStringLiteral("すべて");

QString Qs(const std::string& text)
{
    return QString::fromStdString(text);
}

// The species of a trip's catches in the order first caught, each with its count when more
// than one: 「アジ×3、サバ」.
QString SpeciesText(const CTripRecord& trip)
{
    std::vector<std::pair<std::string, int>> counts;
    for (const CCatchRecord& caught : trip.catches) {
        auto found = std::find_if(counts.begin(), counts.end(),
                                  [&](const auto& c) { return c.first == caught.name; });
        if (found == counts.end()) {
            counts.emplace_back(caught.name, 1);
        } else {
            ++found->second;
        }
    }
    QStringList parts;
    for (const auto& [name, count] : counts)
        parts << (count > 1 ? Qs(name) + QStringLiteral("×") + QString::number(count) : Qs(name));
    return parts.join(QStringLiteral("、"));
}

}  // namespace

CMapFrame::CMapFrame(CCatchStore& store, const CDataFolder& folder, QWidget* parent)
    : QWidget(parent), m_store(store), m_folder(folder), m_settings(CMapSettings::Load())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* bar = new QWidget(this);
    BuildBar(bar);
    layout->addWidget(bar);

    auto* split = new QSplitter(Qt::Horizontal, this);
    m_view = new CMapView(ShippedBaseMap(), split);
    m_view->setObjectName(QString::number(kMapViewId));
    // The trips of a marker, and below them the way out to other map programs.
    auto* side = new QWidget(split);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->setSpacing(2);
    m_tripList = new QTreeWidget(side);
    m_tripList->setObjectName(QString::number(kTripListId));
    m_tripList->setRootIsDecorated(false);
    m_tripList->setHeaderLabels({QStringLiteral("日付"), QStringLiteral("場所"),
                                 QStringLiteral("魚種"), QStringLiteral("匹数"),
                                 QStringLiteral("潮")});
    m_tripList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tripList->setMinimumWidth(220);
    split->addWidget(m_view);
    sideLayout->addWidget(m_tripList, 1);
    auto* exporter = new QToolButton(side);
    exporter->setObjectName(QString::number(kExportButtonId));
    exporter->setText(QStringLiteral("書き出し"));
    exporter->setToolTip(
        QStringLiteral("年度で選んだ釣り場と釣果の位置を、ほかの地図ソフトで開けるファイルに"));
    exporter->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(exporter);
    connect(menu->addAction(QStringLiteral("GPXで書き出す...")), &QAction::triggered, this,
            [this] { ExportPlaces(EGpsFormat::Gpx); });
    connect(menu->addAction(QStringLiteral("KMLで書き出す...")), &QAction::triggered, this,
            [this] { ExportPlaces(EGpsFormat::Kml); });
    exporter->setMenu(menu);
    sideLayout->addWidget(exporter, 0, Qt::AlignRight);
    split->addWidget(side);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    // A quarter of the width for the trips from the start (the splitter scales these), not only
    // of what a larger window adds.
    split->setSizes({3000, 1000});
    layout->addWidget(split, 1);

    m_view->onMarkerClicked = [this](const std::vector<size_t>& places) {
        ListTrips(places);
        m_view->SelectPlace(places.empty() ? -1 : static_cast<int>(places.front()));
    };
    m_view->onViewChanged = [this] { SaveView(); };
    connect(m_tripList, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr && onOpenTrip) onOpenTrip(item->data(0, Qt::UserRole).toInt());
    });
    ApplySettings();
}

CMapFrame::~CMapFrame()
{
    m_view->SetTiles(nullptr);
}

void CMapFrame::BuildBar(QWidget* bar)
{
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    const auto label = [&](const QString& text) { row->addWidget(new QLabel(text, bar)); };
    label(QStringLiteral("年度"));
    m_yearCombo = new QComboBox(bar);
    m_yearCombo->setObjectName(QString::number(kYearComboId));
    row->addWidget(m_yearCombo);
    label(QStringLiteral("魚種"));
    m_speciesCombo = new QComboBox(bar);
    m_speciesCombo->setObjectName(QString::number(kSpeciesComboId));
    m_speciesCombo->setMinimumContentsLength(8);
    row->addWidget(m_speciesCombo);
    label(QStringLiteral("地図"));
    m_sourceCombo = new QComboBox(bar);
    m_sourceCombo->setObjectName(QString::number(kSourceComboId));
    m_sourceCombo->addItems({QStringLiteral("標準地図"), QStringLiteral("淡色地図"),
                             QStringLiteral("写真"), QStringLiteral("指定のタイル")});
    row->addWidget(m_sourceCombo);
    m_templateEdit = new QLineEdit(bar);
    m_templateEdit->setObjectName(QString::number(kTemplateEditId));
    m_templateEdit->setPlaceholderText(QStringLiteral("https://…/{z}/{x}/{y}.png"));
    row->addWidget(m_templateEdit, 1);
    m_onlineCheck = new QCheckBox(QStringLiteral("ネットワークを使う"), bar);
    m_onlineCheck->setObjectName(QString::number(kOnlineCheckId));
    m_onlineCheck->setToolTip(
        QStringLiteral("外すと地図タイルを取りに行かず、内蔵の海岸線だけで表示します"));
    row->addWidget(m_onlineCheck);
    auto* fit = new QPushButton(QStringLiteral("全体表示"), bar);
    fit->setObjectName(QString::number(kFitButtonId));
    fit->setToolTip(QStringLiteral("すべての釣り場が見えるように (Home)"));
    row->addWidget(fit);
    m_status = new QLabel(bar);
    m_status->setObjectName(QString::number(kStatusLabelId));
    row->addWidget(m_status);

    m_sourceCombo->setCurrentIndex(static_cast<int>(m_settings.source));
    m_templateEdit->setText(m_settings.customTemplate);
    m_onlineCheck->setChecked(m_settings.online);

    connect(m_yearCombo, &QComboBox::currentIndexChanged, this, [this] { Redraw(); });
    connect(m_speciesCombo, &QComboBox::currentIndexChanged, this, [this] { Redraw(); });
    connect(m_sourceCombo, &QComboBox::currentIndexChanged, this, [this] { SettingsChanged(); });
    connect(m_templateEdit, &QLineEdit::editingFinished, this, [this] { SettingsChanged(); });
    connect(m_onlineCheck, &QCheckBox::toggled, this, [this] { SettingsChanged(); });
    connect(fit, &QPushButton::clicked, this, [this] { m_view->FitAll(); });
}

void CMapFrame::SettingsChanged()
{
    m_settings.source =
        static_cast<CMapSettings::ESource>(std::max(0, m_sourceCombo->currentIndex()));
    m_settings.customTemplate = m_templateEdit->text().trimmed();
    m_settings.online = m_onlineCheck->isChecked();
    m_settings.Save();
    ApplySettings();
}

void CMapFrame::ApplySettings()
{
    m_templateEdit->setEnabled(m_settings.source == CMapSettings::ESource::Custom);
    const QString tileTemplate = m_settings.Template();
    const QString cache = TileCacheRoot() + QLatin1Char('/') + m_settings.CacheFolderName();
    if (!m_tiles) {
        m_tiles = std::make_unique<CTileFetcher>(tileTemplate, cache, kTileCacheBytes);
        m_view->SetTiles(m_tiles.get());
    } else {
        m_tiles->SetTemplate(tileTemplate, cache);
    }
    m_tiles->SetOnline(m_settings.online);
    if (m_settings.online && tileTemplate.isEmpty()) {
        m_status->setText(QStringLiteral("タイルのアドレスが使えません"));
    } else {
        m_status->setText(m_settings.online ? QString() : QStringLiteral("オフライン"));
    }
    CMapScene scene = m_view->Scene();
    scene.tiles = m_settings.online && !tileTemplate.isEmpty();
    scene.credit = m_settings.Credit().toStdString();
    m_view->SetScene(std::move(scene));
}

CPlaceFilter CMapFrame::Filter() const
{
    CPlaceFilter filter;
    if (m_yearCombo->currentText() != kAllYears) filter.year = m_yearCombo->currentText().toInt();
    filter.species = m_speciesCombo->currentText().toStdString();
    return filter;
}

void CMapFrame::FillFilters()
{
    std::vector<std::string> years;
    std::vector<std::string> species;
    m_store.ListYearsAndFishNames(years, species);
    const QString year = m_yearCombo->currentText();
    const QString fish = m_speciesCombo->currentText();
    const QSignalBlocker blockYears(m_yearCombo);
    const QSignalBlocker blockSpecies(m_speciesCombo);
    m_yearCombo->clear();
    m_yearCombo->addItem(kAllYears);
    std::sort(years.begin(), years.end(), std::greater<>());
    for (const std::string& text : years) m_yearCombo->addItem(Qs(text));
    m_speciesCombo->clear();
    m_speciesCombo->addItem(QString());
    for (const std::string& text : species) m_speciesCombo->addItem(Qs(text));
    m_yearCombo->setCurrentIndex(std::max(0, m_yearCombo->findText(year)));
    m_speciesCombo->setCurrentIndex(std::max(0, m_speciesCombo->findText(fish)));
}

void CMapFrame::Reload()
{
    m_trips.clear();
    const CStoreResult read = m_store.ReadAllTrips(m_trips);
    if (!read.ok()) m_trips.clear();
    m_places = CPlaceBook(&ShippedTideStations());
    m_places.Load(m_folder);
    FillFilters();
    Redraw();
}

void CMapFrame::Redraw()
{
    // The tally is the work of a filter or a log change; a frame only draws what it found.
    CMapPlaces shown = CollectMapPlaces(m_trips, Filter(), m_places, ShippedTideStations());
    CMapScene scene = m_view->Scene();
    scene.places = std::move(shown.places);
    scene.ports = std::move(shown.ports);
    scene.selected = -1;
    m_drawnTallies = std::move(shown.tallies);
    m_view->SetScene(std::move(scene));
    m_tripList->clear();
    if (m_drawnTallies.empty()) {
        m_status->setText(m_trips.empty() ? QStringLiteral("釣行がありません")
                                          : QStringLiteral("位置のある釣り場がありません"));
    } else if (m_settings.online) {
        m_status->clear();
    }
}

bool CMapFrame::ExportPlaces(EGpsFormat format)
{
    const bool gpx = format == EGpsFormat::Gpx;
    const QString kind = gpx ? QStringLiteral("GPX") : QStringLiteral("KML");
    const CPlaceFilter filter = Filter();
    const QString title = kind + QStringLiteral("で書き出す") +
                          (filter.year != 0 ? QStringLiteral("（%1年）").arg(filter.year)
                                            : QStringLiteral("（すべての年）"));
    const QString target = GetSaveFileNameWithSuffix(
        this, title, QString(),
        gpx ? QStringLiteral("GPX ファイル (*.gpx);;すべてのファイル (*)")
            : QStringLiteral("KML ファイル (*.kml);;すべてのファイル (*)"),
        gpx ? QStringLiteral(".gpx") : QStringLiteral(".kml"));
    if (target.isEmpty()) return false;
    const CPlacesExport done =
        ExportPlacesFile(m_folder, format, PathFromQString(target), filter.year, ReadCatchTime);
    if (!done.written) {
        ShowMessageBox(this,
                       (done.damagedPlaces
                            ? QStringLiteral("場所の記録ファイルに問題があるため書き出しません。\n")
                            : kind + QStringLiteral(" ファイルに書き出せませんでした。\n")) +
                           QStringFromStd(done.error),
                       EMessageBoxIcon::Warning);
        return false;
    }
    ShowMessageBox(this,
                   QStringLiteral("場所 %1 件、釣果 %2 件を書き出しました。\n%3")
                       .arg(done.places)
                       .arg(done.catches)
                       .arg(target),
                   EMessageBoxIcon::Information);
    return true;
}

void CMapFrame::ListTrips(const std::vector<size_t>& places)
{
    m_tripList->clear();
    const std::string species = Filter().species;
    std::vector<size_t> trips;
    for (size_t place : places) {
        if (place >= m_drawnTallies.size()) continue;
        trips.insert(trips.end(), m_drawnTallies[place].trips.begin(),
                     m_drawnTallies[place].trips.end());
    }
    std::sort(trips.begin(), trips.end(), [this](size_t a, size_t b) {
        return m_trips[a].date != m_trips[b].date ? m_trips[a].date > m_trips[b].date : a < b;
    });
    for (size_t index : trips) {
        const CTripRecord& trip = m_trips[index];
        const CCatchCondition day = ConditionsOfCatch(trip, CCatchRecord{}, nullptr);
        auto* item = new QTreeWidgetItem(
            m_tripList, {Qs(trip.date), Qs(CPlaceBook::PlaceKey(trip.place)), SpeciesText(trip),
                         QString::number(CountTripCatches(trip, species)), Qs(day.tideName)});
        item->setData(0, Qt::UserRole, static_cast<int>(index));
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void CMapFrame::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The log may have changed on another page since the map was last shown.
    Reload();
    if (m_viewRestored) return;
    m_viewRestored = true;
    QSettings settings;
    settings.beginGroup(QStringLiteral("Map"));
    bool ok = settings.contains(QStringLiteral("Zoom"));
    const CGeoPoint center{settings.value(QStringLiteral("Latitude")).toDouble(),
                           settings.value(QStringLiteral("Longitude")).toDouble()};
    ok = ok && IsValidGeoPoint(center);
    if (ok) {
        m_view->SetViewport(center, settings.value(QStringLiteral("Zoom")).toInt());
    } else {
        m_view->FitAll();
    }
}

void CMapFrame::hideEvent(QHideEvent* event)
{
    SaveView();
    QWidget::hideEvent(event);
}

void CMapFrame::SaveView() const
{
    if (!m_viewRestored) return;
    QSettings settings;
    settings.beginGroup(QStringLiteral("Map"));
    const CGeoPoint center = m_view->Viewport().Center();
    settings.setValue(QStringLiteral("Latitude"), center.latitude);
    settings.setValue(QStringLiteral("Longitude"), center.longitude);
    settings.setValue(QStringLiteral("Zoom"), m_view->Viewport().Zoom());
}
