#include "reports/widgets/DataViewFrame.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "charts/widgets/DataView.h"
#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/DecimalInt.h"
#include "places/PlaceBook.h"
#include "places/PlaceTally.h"
#include "reports/ConditionCharts.h"
#include "reports/StatQuery.h"
#include "reports/widgets/ConditionView.h"
#include "reports/widgets/LankingListView.h"
#include "reports/widgets/PlaceStatsView.h"
#include "reports/widgets/YearReportWriter.h"
#include "tides/TidePortLookup.h"
#include "tides/TideStations.h"
#include "uikit/DialogUnits.h"
#include "uikit/InnerFrame.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {

QString Id(int id)
{
    return QString::number(id);
}

}  // namespace

CDataViewFrame::CDataViewFrame(CCatchStore& store, const CDataFolder& folder, QWidget* parent)
    : QWidget(parent), m_store(store), m_folder(folder)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    CreateDialogBar();
    m_layout->addWidget(m_dialogBar);
    auto* border = new QFrame(this);
    border->setFrameShape(QFrame::HLine);
    border->setFrameShadow(QFrame::Sunken);
    m_layout->addWidget(border);
    m_notice = new QLabel(this);
    m_notice->setObjectName(Id(kNoticeId));
    m_notice->setWordWrap(true);
    m_notice->setContentsMargins(6, 3, 6, 3);
    m_notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_notice->hide();
    m_layout->addWidget(m_notice);

    m_view = CreateView(kChartView);
    m_viewKind = kChartView;
    m_layout->addWidget(m_view, 1);
    static_cast<CDataView*>(m_view)->OnInitialUpdate();
    RefreshFilterLists(false);
}

void CDataViewFrame::CreateDialogBar()
{
    m_dialogBar = new QWidget(this);
    m_dialogBar->setObjectName(Id(kDialogBarId));
    const QFont font = CDialogUnits::DialogFont();
    m_dialogBar->setFont(font);
    const CDialogUnits units(font);
    m_dialogBar->setFixedHeight(units.Y(16));

    const auto place = [&](QWidget* control, int id, int x, int y, int width, int height) {
        control->setObjectName(Id(id));
        control->setFont(font);
        units.Place(control, x, y, width, height);
    };
    place(new QLabel(QStringLiteral("年度："), m_dialogBar), kYearLabelId, 7, 4, 24, 8);
    m_yearCombo = new QComboBox(m_dialogBar);
    m_yearCombo->setEditable(true);
    m_yearCombo->setInsertPolicy(QComboBox::NoInsert);
    place(m_yearCombo, kYearComboId, 32, 2, 36, 12);
    place(new QLabel(QStringLiteral("魚種："), m_dialogBar), kSpeciesLabelId, 74, 4, 24, 8);
    m_speciesCombo = new QComboBox(m_dialogBar);
    m_speciesCombo->setEditable(true);
    m_speciesCombo->setInsertPolicy(QComboBox::NoInsert);
    // Laid out to end within the page of an 800-pixel-wide window.
    place(m_speciesCombo, kSpeciesComboId, 99, 2, 60, 12);

    auto* monthly = new QPushButton(QStringLiteral("月別"), m_dialogBar);
    place(monthly, kMonthlyButtonId, 162, 1, 26, 14);
    connect(monthly, &QPushButton::clicked, this, &CDataViewFrame::OnMonthlyStatistics);
    auto* ranking = new QPushButton(QStringLiteral("ランキング"), m_dialogBar);
    place(ranking, kRankingButtonId, 190, 1, 42, 14);
    connect(ranking, &QPushButton::clicked, this, &CDataViewFrame::OnRanking);
    auto* conditions = new QPushButton(QStringLiteral("条件別"), m_dialogBar);
    conditions->setToolTip(
        QStringLiteral("潮・潮の動き・時刻・月齢・時間帯・水温ごとの釣果（魚種が空なら全魚種）"));
    place(conditions, kConditionsButtonId, 234, 1, 28, 14);
    connect(conditions, &QPushButton::clicked, this, &CDataViewFrame::OnConditionStatistics);
    auto* places = new QPushButton(QStringLiteral("場所別"), m_dialogBar);
    places->setToolTip(QStringLiteral("釣り場ごとの釣果と 1 日あたりの釣果（魚種が空なら全魚種）"));
    place(places, kPlacesButtonId, 264, 1, 28, 14);
    connect(places, &QPushButton::clicked, this, &CDataViewFrame::OnPlaceStatistics);
    // Shown charts follow the year and the species as they are chosen or typed.
    const auto follow = [this] {
        if (GetConditionView() != nullptr) OnConditionStatistics();
        if (GetPlaceStatsView() != nullptr) OnPlaceStatistics();
    };
    connect(m_yearCombo, &QComboBox::currentTextChanged, this, follow);
    connect(m_speciesCombo, &QComboBox::currentTextChanged, this, follow);
    auto* weather = new QPushButton(QStringLiteral("天候別"), m_dialogBar);
    place(weather, kWeatherButtonId, 354, 1, 50, 14);
    connect(weather, &QPushButton::clicked, this, &CDataViewFrame::OnWeatherStatistics);
    weather->hide();
    auto* report = new QPushButton(QStringLiteral("年間レポート..."), m_dialogBar);
    report->setToolTip(QStringLiteral("選んだ年度の釣果レポートを PDF で出力します"));
    place(report, kYearReportButtonId, 294, 1, 60, 14);
    connect(report, &QPushButton::clicked, this, &CDataViewFrame::OnYearReport);
    // A wider window gives the fields the room, the species' names most.
    StretchBarControls(m_dialogBar, {{m_yearCombo, 1}, {m_speciesCombo, 2}});
}

QWidget* CDataViewFrame::CreateView(int kind)
{
    QWidget* view = nullptr;
    if (kind == kChartView) {
        auto* chartView = new CDataView(this);
        view = chartView;
    } else if (kind == kRankingView) {
        view = new CLankingListView(this);
    } else if (kind == kConditionView) {
        view = new CConditionView(this);
    } else if (kind == kPlaceView) {
        view = new CPlaceStatsView(this);
    }
    if (view != nullptr) view->setObjectName(Id(kFirstPaneId));
    return view;
}

CDataView* CDataViewFrame::GetDataView() const
{
    return m_viewKind == kChartView ? static_cast<CDataView*>(m_view) : nullptr;
}

CLankingListView* CDataViewFrame::GetLankingListView() const
{
    return m_viewKind == kRankingView ? static_cast<CLankingListView*>(m_view) : nullptr;
}

CConditionView* CDataViewFrame::GetConditionView() const
{
    return m_viewKind == kConditionView ? static_cast<CConditionView*>(m_view) : nullptr;
}

bool CDataViewFrame::SwitchStatView(int kind)
{
    if (kind == m_viewKind) return true;
    QWidget* old = m_view;
    old->setObjectName(Id(m_viewKind));
    QWidget* created = CreateView(kind);
    if (created == nullptr) {
        old->setObjectName(Id(kFirstPaneId));
        return false;
    }
    delete m_layout->replaceWidget(old, created);
    m_view = created;
    m_viewKind = kind;
    created->show();
    if (kind == kChartView) {
        static_cast<CDataView*>(created)->OnInitialUpdate();
        RefreshFilterLists(false);
    } else if (kind == kRankingView) {
        static_cast<CLankingListView*>(created)->OnInitialUpdate();
    }
    created->setFocus();
    old->hide();
    old->deleteLater();
    old->setParent(nullptr);
    return true;
}

void CDataViewFrame::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Trips may have been saved on another page since the lists were read.
    if (!event->spontaneous()) RefreshFilterLists(true);
}

void CDataViewFrame::RefreshFilterLists(bool keepTexts)
{
    std::vector<std::string> years;
    std::vector<std::string> species;
    // A file that cannot be read leaves the lists empty; empty lists alone would look like a
    // log without trips, so the notice says why.
    const CStoreResult result = m_store.ListYearsAndFishNames(years, species);
    if (result.ok()) {
        m_fileNotice.clear();
    } else if (result.status == EStoreStatus::Missing) {
        m_fileNotice = QStringLiteral("釣果ファイルがありません: %1\n年度と魚種の一覧は空です。")
                           .arg(QStringFromStd(m_store.GetPath()));
    } else {
        m_fileNotice = QStringLiteral("釣果ファイルを読めません。年度と魚種の一覧は空です。\n") +
                       QStringFromStd(DescribeStoreResult(result, m_store.GetPath()));
    }
    ShowNotice(QString());
    // Filling a list chooses nothing: the fields keep what was typed, or stay empty.  The shown
    // view is not told: its filter did not change, and a view that failed to read the log calls
    // this itself.
    const auto refill = [keepTexts](QComboBox* combo, const std::vector<std::string>& entries) {
        const QSignalBlocker quiet(combo);
        const QString text = keepTexts ? combo->currentText() : QString();
        combo->clear();
        for (const std::string& entry : entries) combo->addItem(QStringFromStd(entry));
        combo->setCurrentIndex(-1);
        combo->setEditText(text);
    };
    refill(m_yearCombo, years);
    refill(m_speciesCombo, species);
}

void CDataViewFrame::ShowNotice(const QString& text)
{
    QStringList lines;
    if (!m_fileNotice.isEmpty()) lines << m_fileNotice;
    if (!text.isEmpty()) lines << text;
    m_notice->setText(lines.join(QLatin1Char('\n')));
    m_notice->setVisible(!lines.isEmpty());
}

bool CDataViewFrame::TellEmptyFields(const QString& year, const QString& species)
{
    QStringList missing;
    if (year.trimmed().isEmpty()) missing << QStringLiteral("「年度」");
    if (species.trimmed().isEmpty()) missing << QStringLiteral("「魚種」");
    ShowNotice(missing.isEmpty() ? QString()
                                 : missing.join(QStringLiteral("と")) +
                                       QStringLiteral("を選ぶか入力してから押してください。"));
    return !missing.isEmpty();
}

void CDataViewFrame::ReportStoreFailure(const CStoreResult& result)
{
    // The lists were read before the file went wrong: read them again, so the notice says so.
    RefreshFilterLists(true);
    // Told as the trip list tells it: an empty chart or list alone would look like no catches.
    ShowMessageBox(this, QStringFromStd(DescribeStoreResult(result, m_store.GetPath())),
                   EMessageBoxIcon::Warning);
}

void CDataViewFrame::RestoreFilterTexts(const QString& year, const QString& species)
{
    m_yearCombo->setEditText(year);
    m_speciesCombo->setEditText(species);
}

void CDataViewFrame::OnMonthlyStatistics()
{
    const QString year = m_yearCombo->currentText();
    const QString species = m_speciesCombo->currentText();
    if (!SwitchStatView(kChartView)) return;
    if (TellEmptyFields(year, species)) {
        RestoreFilterTexts(year, species);
        return;
    }
    CMonthCounters counters{};
    const CStoreResult result = CStatQuery::CountCatchesByMonth(m_store, StdFromQString(year),
                                                                StdFromQString(species), counters);
    CDataView* view = GetDataView();
    if (!result.ok()) {
        view->SetShowChart(false);
        RestoreFilterTexts(year, species);
        ReportStoreFailure(result);
        return;
    }
    view->SetChart(CStatQuery::BuildMonthlyChart(counters));
    RestoreFilterTexts(year, species);
    view->SetShowChart(true);
}

void CDataViewFrame::OnRanking()
{
    const QString year = m_yearCombo->currentText();
    const QString species = m_speciesCombo->currentText();
    if (!SwitchStatView(kRankingView)) return;
    if (TellEmptyFields(year, species)) return;
    std::vector<CRankRecord> records;
    const CStoreResult result =
        CStatQuery::CollectRanking(m_store, StdFromQString(year), StdFromQString(species), records);
    CLankingListView* list = GetLankingListView();
    list->DeleteAllItems();
    if (!result.ok()) {
        RestoreFilterTexts(year, species);
        ReportStoreFailure(result);
        return;
    }
    for (const auto& row : CStatQuery::MakeRankingRows(records)) list->AddRow(row);
    list->FitColumnsToContents();
    RestoreFilterTexts(year, species);
}

void CDataViewFrame::OnWeatherStatistics()
{
    const QString year = m_yearCombo->currentText();
    const QString species = m_speciesCombo->currentText();
    // The sample is drawn in the chart view, which a new switch sets up afresh.
    if (!SwitchStatView(kChartView)) return;
    RestoreFilterTexts(year, species);
    CDataView* view = GetDataView();
    view->SetShowChart(false);
    view->SetChart(CStatQuery::BuildWeatherSampleChart());
    view->SetShowChart(true);
}

void CDataViewFrame::OnConditionStatistics()
{
    const QString yearText = m_yearCombo->currentText();
    const QString species = m_speciesCombo->currentText();
    if (!SwitchStatView(kConditionView)) return;
    CConditionView* view = GetConditionView();
    view->Clear();
    CConditionQuery query;
    if (!ParseWholeDecimalInt(StdFromQString(yearText.trimmed()), query.year) || query.year < 1 ||
        query.year > 9999) {
        ShowNotice(yearText.trimmed().isEmpty()
                       ? QStringLiteral("「年度」を選ぶか入力してから押してください。")
                       : QStringLiteral("「年度」には西暦の年を数字で入れてください。"));
        return;
    }
    ShowNotice(QString());
    query.species = StdFromQString(species.trimmed());
    std::string stationsError;
    const CTideStations& stations =
        m_tideStations != nullptr ? *m_tideStations : ShippedTideStations(&stationsError);
    std::string placesProblems;
    const std::unique_ptr<CTidePortLookup> lookup =
        TidePortLookupOf(m_folder, stations, &placesProblems);
    std::vector<CConditionTable> tables;
    const CStoreResult result =
        ReadConditionTables(m_store, query, CLookupTripPorts(*lookup), stations, tables);
    if (!result.ok()) {
        ReportStoreFailure(result);
        return;
    }
    const QString caption =
        QStringLiteral("%1年　%2")
            .arg(query.year)
            .arg(query.species.empty() ? QStringLiteral("全魚種") : QStringFromStd(query.species));
    // Without stations no port is known, whatever the settings say: name the real cause.
    QString hint;
    if (stations.All().empty()) {
        hint = QStringLiteral(
                   "潮汐の港の一覧を読めないため、「潮の動き」と「時間帯」は「不明」"
                   "になります。（%1）")
                   .arg(QStringFromStd(stationsError));
    } else if (!placesProblems.empty()) {
        // The ports of unreadable lines are missing: the user must know why trips count as 不明.
        hint =
            QStringLiteral("場所の記録ファイルの一部を読めないため、その港は使っていません。（%1）")
                .arg(QStringFromStd(placesProblems));
    } else if (lookup->HomePort() == nullptr) {
        hint = CConditionView::NoHomePortHint();
    }
    view->SetTables(tables, caption, hint);
}

CPlaceStatsView* CDataViewFrame::GetPlaceStatsView() const
{
    return m_viewKind == kPlaceView ? static_cast<CPlaceStatsView*>(m_view) : nullptr;
}

void CDataViewFrame::OnPlaceStatistics()
{
    const QString yearText = m_yearCombo->currentText();
    const QString species = m_speciesCombo->currentText();
    if (!SwitchStatView(kPlaceView)) return;
    CPlaceStatsView* view = GetPlaceStatsView();
    view->Clear();
    CPlaceFilter filter;
    if (!ParseWholeDecimalInt(StdFromQString(yearText.trimmed()), filter.year) || filter.year < 1 ||
        filter.year > 9999) {
        ShowNotice(yearText.trimmed().isEmpty()
                       ? QStringLiteral("「年度」を選ぶか入力してから押してください。")
                       : QStringLiteral("「年度」には西暦の年を数字で入れてください。"));
        return;
    }
    ShowNotice(QString());
    filter.species = StdFromQString(species.trimmed());
    std::vector<CTripRecord> trips;
    const CStoreResult result = m_store.ReadAllTrips(trips);
    if (!result.ok()) {
        ReportStoreFailure(result);
        return;
    }
    std::vector<CPlaceTally> tallies = TallyPlaces(trips, filter);
    CPlaceBook book;
    book.Load(m_folder);
    std::vector<CMapPlace> places;
    for (const CPlaceTally& tally : tallies) {
        const CPlaceInfo* info = book.Find(tally.place);
        if (info != nullptr && info->hasPosition)
            places.push_back(
                {tally.place, info->position, tally.catches, static_cast<int>(tally.trips.size())});
    }
    const QString caption = QStringLiteral("%1年　%2")
                                .arg(filter.year)
                                .arg(filter.species.empty() ? QStringLiteral("全魚種")
                                                            : QStringFromStd(filter.species));
    view->SetPlaces(std::move(tallies), std::move(places), caption);
}

bool CDataViewFrame::ChosenYear(int& year)
{
    const QString text = m_yearCombo->currentText().trimmed();
    if (!ParseWholeDecimalInt(StdFromQString(text), year) || year < 1 || year > 9999) {
        ShowMessageBox(this, QStringLiteral("レポートを作る年度を「年度」欄で選んでください。"),
                       EMessageBoxIcon::Information);
        return false;
    }
    return true;
}

void CDataViewFrame::OnYearReport()
{
    int year = 0;
    if (ChosenYear(year)) ExportYearReport(this, m_store, m_folder, year);
}

void CDataViewFrame::OnPrintYearReport()
{
    int year = 0;
    if (ChosenYear(year)) PrintYearReport(this, m_store, m_folder, year);
}
