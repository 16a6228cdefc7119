#include "phototrips/widgets/PhotoTripsDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "entry/FishNameList.h"
#include "entry/TripSaver.h"
#include "entry/widgets/CatchEntryDlg.h"
#include "photos/PhotoCopies.h"
#include "photos/widgets/PhotoCopyProgress.h"
#include "photos/widgets/ThumbnailBuilder.h"
#include "places/PlaceBook.h"
#include "tides/TideStations.h"
#include "uikit/DesktopServices.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {

constexpr int kPhotoRole = Qt::UserRole + 1;

QString TideText(const CProposedTrip& trip)
{
    if (!trip.port) return QStringLiteral("潮汐の港: なし");
    return QStringLiteral("潮汐の港: %1　満潮: %2　干潮: %3")
        .arg(QStringFromStd(trip.port->nameJa), QStringFromStd(trip.highTide),
             QStringFromStd(trip.ebbTide));
}

QStringList ToPaths(const std::vector<std::string>& paths)
{
    QStringList list;
    for (const std::string& path : paths) list << QStringFromStd(path);
    return list;
}

}  // namespace

CPhotoTripsDlg::CPhotoTripsDlg(QWidget* parent, CCatchStore& store, const CDataFolder& folder,
                               CTripProposals proposals, const CProposalContext& context)
    : QDialog(parent),
      m_store(store),
      m_folder(folder),
      m_proposals(std::move(proposals)),
      m_context(context),
      m_choices(context.choices ? *context.choices : CTidePortChoices())
{
    m_context.choices = &m_choices;
    setWindowTitle(QStringLiteral("写真から登録"));
    std::vector<std::string> entries;
    ReadSpeciesList(m_folder, entries);
    for (const std::string& entry : entries)
        m_speciesNames << QStringFromStd(SpeciesDisplayText(entry));
    CreateControls();
}

CPhotoTripsDlg::~CPhotoTripsDlg()
{
    for (const CTripPanel& panel : m_panels) CancelThumbnails(panel.photos);
    if (m_undatedList) CancelThumbnails(m_undatedList);
}

void CPhotoTripsDlg::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QString::number(kSummaryId));
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* content = new QWidget(scroll);
    auto* trips = new QVBoxLayout(content);
    m_panels.resize(m_proposals.trips.size());
    for (size_t t = 0; t < m_proposals.trips.size(); ++t) trips->addWidget(CreateTripPanel(int(t)));
    if (!m_proposals.undated.empty()) trips->addWidget(CreateUndatedPanel());
    trips->addStretch(1);
    scroll->setWidget(content);
    layout->addWidget(scroll, 1);

    auto* hint = new QLabel(
        QStringLiteral("写真をクリック (または Space) で 場所/魚 を切り替え、Ctrl+クリック (または "
                       "Delete) で除外/戻す。魚の写真は 1 分以内に続けて撮ったものが 1 匹です。"),
        this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* buttons = new QHBoxLayout;
    m_skipped = new QPushButton(
        QStringLiteral("取り込まないファイル (%1)...").arg(m_proposals.scan.skipped.size()), this);
    m_skipped->setObjectName(QString::number(kSkippedId));
    m_skipped->setEnabled(!m_proposals.scan.skipped.empty());
    connect(m_skipped, &QPushButton::clicked, this, &CPhotoTripsDlg::ShowSkipped);
    buttons->addWidget(m_skipped);
    buttons->addStretch(1);
    auto* save = new QPushButton(QStringLiteral("登録"), this);
    save->setObjectName(QString::number(kRegisterId));
    save->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QString::number(kCancelId));
    cancel->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &CPhotoTripsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CPhotoTripsDlg::reject);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    for (size_t t = 0; t < m_panels.size(); ++t) UpdateTrip(int(t));
    UpdateSummary();
    resize(760, 560);
}

QWidget* CPhotoTripsDlg::CreateTripPanel(int t)
{
    CProposedTrip& trip = m_proposals.trips[size_t(t)];
    CTripPanel& panel = m_panels[size_t(t)];
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(frame);

    auto* head = new QHBoxLayout;
    panel.check = new QCheckBox(frame);
    panel.check->setObjectName(QString::number(kTripCheckId));
    panel.check->setChecked(trip.included);
    connect(panel.check, &QCheckBox::toggled, this, [this, t](bool on) { SetTripIncluded(t, on); });
    head->addWidget(panel.check);
    head->addWidget(new QLabel(QStringLiteral("場所:"), frame));
    panel.place = new QComboBox(frame);
    panel.place->setObjectName(QString::number(kPlaceId));
    panel.place->setEditable(true);
    panel.place->setMinimumContentsLength(14);
    // The nearest port's name is offered, never filled in: the user decides what the place is.
    if (trip.place.empty() && !trip.placeOffer.empty())
        panel.place->addItem(QStringFromStd(trip.placeOffer));
    panel.place->setEditText(QStringFromStd(trip.place));
    panel.place->lineEdit()->setPlaceholderText(
        trip.placeOffer.empty() ? QStringLiteral("場所を入力")
                                : QStringLiteral("候補: %1").arg(QStringFromStd(trip.placeOffer)));
    connect(panel.place, &QComboBox::currentTextChanged, this,
            [this, t](const QString& text) { SetTripPlace(t, text); });
    head->addWidget(panel.place, 1);
    head->addWidget(new QLabel(QStringLiteral("魚種:"), frame));
    panel.species = new QComboBox(frame);
    panel.species->setObjectName(QString::number(kSpeciesId));
    panel.species->setEditable(true);
    panel.species->addItems(m_speciesNames);
    panel.species->setEditText(QStringFromStd(trip.species));
    connect(panel.species, &QComboBox::currentTextChanged, this,
            [this, t](const QString& text) { SetTripSpecies(t, text); });
    head->addWidget(panel.species);
    auto* open = new QPushButton(QStringLiteral("入力画面で開く..."), frame);
    open->setObjectName(QString::number(kOpenEntryId));
    open->setAutoDefault(false);
    connect(open, &QPushButton::clicked, this, [this, t] { OpenInEntryDialog(t); });
    head->addWidget(open);
    layout->addLayout(head);

    panel.tides = new QLabel(frame);
    panel.tides->setObjectName(QString::number(kTideId));
    layout->addWidget(panel.tides);

    panel.photos = new QListWidget(frame);
    panel.photos->setObjectName(QString::number(kPhotoListId));
    panel.photos->setViewMode(QListView::IconMode);
    panel.photos->setMovement(QListView::Static);
    panel.photos->setIconSize(QSize(kThumbnailWidth, kThumbnailHeight));
    panel.photos->setMinimumHeight(150);
    panel.photos->setSelectionMode(QAbstractItemView::SingleSelection);
    panel.photos->installEventFilter(this);
    panel.photos->viewport()->installEventFilter(this);
    layout->addWidget(panel.photos);

    panel.catches = new QLabel(frame);
    panel.catches->setObjectName(QString::number(kCatchesId));
    panel.catches->setWordWrap(true);
    layout->addWidget(panel.catches);
    BuildTripPhotos(t);
    return frame;
}

QWidget* CPhotoTripsDlg::CreateUndatedPanel()
{
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(frame);
    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(QStringLiteral("日時不明 (撮影日時も位置もない写真)"), frame), 1);
    m_undatedTrip = new QComboBox(frame);
    m_undatedTrip->setObjectName(QString::number(kUndatedTripId));
    for (size_t t = 0; t < m_proposals.trips.size(); ++t) {
        m_undatedTrip->addItem(
            QStringLiteral("釣行 %1 (%2)")
                .arg(t + 1)
                .arg(QStringFromStd(FormatProposalDate(m_proposals.trips[t].day))));
    }
    auto* move = new QPushButton(QStringLiteral("選んだ写真を入れる"), frame);
    move->setObjectName(QString::number(kUndatedMoveId));
    move->setAutoDefault(false);
    move->setEnabled(!m_proposals.trips.empty());
    connect(move, &QPushButton::clicked, this, [this] {
        std::vector<int> chosen;
        for (QListWidgetItem* item : m_undatedList->selectedItems())
            chosen.push_back(m_undatedList->row(item));
        MoveUndated(chosen, m_undatedTrip->currentIndex());
    });
    head->addWidget(m_undatedTrip);
    head->addWidget(move);
    layout->addLayout(head);
    m_undatedList = new QListWidget(frame);
    m_undatedList->setObjectName(QString::number(kUndatedListId));
    m_undatedList->setViewMode(QListView::IconMode);
    m_undatedList->setMovement(QListView::Static);
    m_undatedList->setIconSize(QSize(kThumbnailWidth, kThumbnailHeight));
    m_undatedList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_undatedList->setMinimumHeight(150);
    layout->addWidget(m_undatedList);
    BuildUndatedPhotos();
    return frame;
}

QString CPhotoTripsDlg::PhotoLabel(const CProposedPhoto& photo, const CScannedPhoto& scanned)
{
    QString label = QStringFromStd(FormatProposalTime(scanned.time));
    if (scanned.timeSource == EPhotoTimeSource::FileTime) label += QStringLiteral("(ﾌｧｲﾙ)");
    label += photo.included ? (photo.fish ? QStringLiteral(" 魚") : QStringLiteral(" 場所"))
                            : QStringLiteral(" 除外");
    return label;
}

void CPhotoTripsDlg::BuildTripPhotos(int t)
{
    const CProposedTrip& trip = m_proposals.trips[size_t(t)];
    QListWidget* list = m_panels[size_t(t)].photos;
    QStringList paths;
    for (const CProposedPhoto& photo : trip.photos)
        paths << QStringFromStd(m_proposals.scan.photos[photo.photo].path);
    CThumbnailBuild* build =
        BuildThumbnails(list, paths, int(paths.size()), EThumbnailPlacement::FillRows);
    // The preview itself lists what cannot be shown; no message per list.
    if (build) build->SetProblemFilter([](const QStringList&) { return false; });
    UpdateTrip(t);
}

void CPhotoTripsDlg::BuildUndatedPhotos()
{
    QStringList paths;
    for (const size_t index : m_proposals.undated)
        paths << QStringFromStd(m_proposals.scan.photos[index].path);
    CThumbnailBuild* build =
        BuildThumbnails(m_undatedList, paths, int(paths.size()), EThumbnailPlacement::FillRows);
    if (build) build->SetProblemFilter([](const QStringList&) { return false; });
}

void CPhotoTripsDlg::UpdateTrip(int t)
{
    const CProposedTrip& trip = m_proposals.trips[size_t(t)];
    CTripPanel& panel = m_panels[size_t(t)];
    if (!panel.photos) return;
    size_t included = 0;
    for (int i = 0; i < panel.photos->count() && size_t(i) < trip.photos.size(); ++i) {
        const CProposedPhoto& photo = trip.photos[size_t(i)];
        QListWidgetItem* item = panel.photos->item(i);
        item->setText(PhotoLabel(photo, m_proposals.scan.photos[photo.photo]));
        item->setForeground(photo.included ? palette().text() : palette().placeholderText());
        included += photo.included ? 1 : 0;
    }
    {
        const QSignalBlocker block(panel.check);
        panel.check->setChecked(trip.included);
    }
    panel.check->setText(QStringLiteral("釣行 %1　%2　写真 %3 枚")
                             .arg(t + 1)
                             .arg(QStringFromStd(FormatProposalDate(trip.day)))
                             .arg(included));
    panel.tides->setText(TideText(trip));
    QStringList catches;
    for (const CPlannedCatch& caught : ProposedCatches(trip, m_proposals.scan)) {
        catches << QStringLiteral("%1 (写真 %2 枚)")
                       .arg(QStringFromStd(FormatProposalTime(caught.time)))
                       .arg(caught.photos.size());
    }
    QString text = catches.isEmpty() ? QStringLiteral("釣果: なし")
                                     : QStringLiteral("釣果 %1 件: %2")
                                           .arg(catches.size())
                                           .arg(catches.join(QStringLiteral("、")));
    if (trip.edited) text = QStringLiteral("入力画面で編集済み (その内容で登録します)");
    panel.catches->setText(text);
    panel.photos->setEnabled(trip.included);
}

void CPhotoTripsDlg::UpdateSummary()
{
    int trips = 0;
    int photos = 0;
    for (const CProposedTrip& trip : m_proposals.trips) {
        if (!trip.included) continue;
        ++trips;
        for (const CProposedPhoto& photo : trip.photos) photos += photo.included ? 1 : 0;
    }
    m_summary->setText(QStringLiteral("%1 件の釣行 (写真 %2 枚) を登録します。日時不明 %3 枚、"
                                      "取り込まないファイル %4 件。")
                           .arg(trips)
                           .arg(photos)
                           .arg(m_proposals.undated.size())
                           .arg(m_proposals.scan.skipped.size()));
}

void CPhotoTripsDlg::ToggleFish(int t, int i)
{
    CProposedTrip& trip = m_proposals.trips[size_t(t)];
    if (trip.edited || i < 0 || size_t(i) >= trip.photos.size()) return;
    trip.photos[size_t(i)].fish = !trip.photos[size_t(i)].fish;
    UpdateTrip(t);
}

void CPhotoTripsDlg::ToggleIncluded(int t, int i)
{
    CProposedTrip& trip = m_proposals.trips[size_t(t)];
    if (trip.edited || i < 0 || size_t(i) >= trip.photos.size()) return;
    trip.photos[size_t(i)].included = !trip.photos[size_t(i)].included;
    UpdateTrip(t);
    UpdateSummary();
}

void CPhotoTripsDlg::SetTripIncluded(int t, bool included)
{
    m_proposals.trips[size_t(t)].included = included;
    UpdateTrip(t);
    UpdateSummary();
}

void CPhotoTripsDlg::SetTripPlace(int t, const QString& place)
{
    CProposedTrip& trip = m_proposals.trips[size_t(t)];
    trip.place = StdFromQString(place.trimmed());
    // The port last used for a place the user names comes with it, and its tides.
    FindTripFacts(trip, m_proposals.scan, m_context);
    trip.place = StdFromQString(place.trimmed());
    UpdateTrip(t);
}

void CPhotoTripsDlg::SetTripSpecies(int t, const QString& species)
{
    m_proposals.trips[size_t(t)].species = StdFromQString(species.trimmed());
}

void CPhotoTripsDlg::MoveUndated(std::vector<int> undated, int t)
{
    if (t < 0 || size_t(t) >= m_proposals.trips.size()) return;
    std::sort(undated.begin(), undated.end());
    undated.erase(std::unique(undated.begin(), undated.end()), undated.end());
    CProposedTrip& trip = m_proposals.trips[size_t(t)];
    for (auto it = undated.rbegin(); it != undated.rend(); ++it) {
        if (*it < 0 || size_t(*it) >= m_proposals.undated.size()) continue;
        // Without a capture time it cannot show when a fish was caught: a place photo.
        trip.photos.push_back({m_proposals.undated[size_t(*it)], false, true});
        m_proposals.undated.erase(m_proposals.undated.begin() + *it);
    }
    BuildTripPhotos(t);
    if (m_undatedList) BuildUndatedPhotos();
    UpdateSummary();
}

void CPhotoTripsDlg::OpenInEntryDialog(int t)
{
    CProposedTrip& trip = m_proposals.trips[size_t(t)];
    auto* dialog = new CCatchEntryDlg(this, m_store, m_folder, -1, m_context.stations);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->EditDraft(MakeTripRecord(trip, m_proposals.scan),
                      [this, t](const CTripRecord& record, const CPlaceFacts& place) {
                          m_proposals.trips[size_t(t)].edited = record;
                          m_proposals.trips[size_t(t)].editedPlace = place;
                          UpdateTrip(t);
                      });
    dialog->show();
}

void CPhotoTripsDlg::ShowSkipped()
{
    QStringList lines;
    for (const CSkippedFile& skipped : m_proposals.scan.skipped)
        lines << QStringLiteral("%1: %2").arg(QStringFromStd(skipped.path),
                                              QStringFromStd(skipped.reason));
    QDialog list(this);
    list.setWindowTitle(QStringLiteral("取り込まないファイル"));
    auto* layout = new QVBoxLayout(&list);
    auto* text = new QPlainTextEdit(lines.join(QLatin1Char('\n')), &list);
    text->setReadOnly(true);
    layout->addWidget(text);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, &list);
    connect(close, &QDialogButtonBox::rejected, &list, &QDialog::reject);
    layout->addWidget(close);
    list.resize(640, 400);
    list.exec();
}

int CPhotoTripsDlg::TripOfList(QObject* watched) const
{
    for (size_t t = 0; t < m_panels.size(); ++t) {
        QListWidget* list = m_panels[t].photos;
        if (list && (watched == list || watched == list->viewport())) return int(t);
    }
    return -1;
}

bool CPhotoTripsDlg::eventFilter(QObject* watched, QEvent* event)
{
    const int t = TripOfList(watched);
    if (t < 0) return QDialog::eventFilter(watched, event);
    QListWidget* list = m_panels[size_t(t)].photos;
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        QListWidgetItem* item = list->itemAt(mouse->position().toPoint());
        if (item && mouse->button() == Qt::LeftButton) {
            if (mouse->modifiers() & Qt::ControlModifier)
                ToggleIncluded(t, list->row(item));
            else
                ToggleFish(t, list->row(item));
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int row = list->currentRow();
        if (key->key() == Qt::Key_Space && row >= 0) {
            ToggleFish(t, row);
            return true;
        }
        if ((key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) && row >= 0) {
            ToggleIncluded(t, row);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CPhotoTripsDlg::accept()
{
    if (SaveTrips()) QDialog::accept();
}

bool CPhotoTripsDlg::SaveTrips()
{
    std::vector<CTripRecord> records;
    std::vector<CPlaceFacts> places;
    for (const CProposedTrip& trip : m_proposals.trips) {
        if (!trip.included) continue;
        CTripRecord record = MakeTripRecord(trip, m_proposals.scan);
        if (record.placePhotos.empty() && record.fishPhotos.empty() && !trip.edited) continue;
        records.push_back(std::move(record));
        places.push_back(TripPlaceFacts(trip, m_proposals.scan));
    }
    if (records.empty()) {
        ShowMessageBox(this, QStringLiteral("登録する釣行がありません。"),
                       EMessageBoxIcon::Information);
        return false;
    }
    const CPhotoCopies copies(m_store.GetDataDir() + "Picture/");
    CTripSaver saver(m_store, copies);
    saver.SetCopyFunction([this, work = CopyTripPhotosWork(copies)](CTripRecord& trip) {
        return RunPhotoCopies(this, trip, work);
    });
    const CTripSaver::CReport report = saver.SaveNewTrips(std::move(records));
    switch (report.outcome) {
        case CTripSaver::EOutcome::Saved:
            break;
        case CTripSaver::EOutcome::Cancelled:
            return false;
        default:
            ShowMessageBox(this,
                           QStringFromStd(DescribeStoreResult(report.result, m_store.GetPath())) +
                               QStringLiteral("\n\n登録できませんでした。"),
                           EMessageBoxIcon::Warning);
            return false;
    }
    // The places file is kept after the trips, as the entry dialog keeps it: outside the log's
    // undo, and a failure here loses no trip.
    std::string error;
    if (!KeepPlaceFacts(m_folder, m_context.stations, places, error)) {
        ShowMessageBox(this,
                       QStringLiteral("釣行データは登録しましたが、場所の港と位置を記録できません"
                                      "でした。\n%1")
                           .arg(QStringFromStd(error)),
                       EMessageBoxIcon::Warning);
    }
    if (!report.failedCopies.empty()) {
        ShowMessageBox(this,
                       QStringLiteral("次の画像は Data/Picture/ にコピーできなかったため、"
                                      "元の場所のまま登録しました。\n") +
                           ToPaths(report.failedCopies).join(QLatin1Char('\n')),
                       EMessageBoxIcon::Warning);
    }
    return true;
}

bool ProposeTripsWithProgress(QWidget* parent, const QStringList& inputs,
                              const std::vector<CTripRecord>& logTrips, const std::string& dataDir,
                              CProposalContext& context, CTripProposals& proposals)
{
    std::vector<std::string> paths;
    for (const QString& input : inputs) paths.push_back(PathFromQString(input));
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    auto done = std::make_shared<std::atomic<size_t>>(0);
    auto total = std::make_shared<std::atomic<size_t>>(0);
    CPhotoScanOptions options;
    options.cancel = cancel.get();
    options.progress = [done, total](size_t d, size_t t) {
        done->store(d);
        total->store(t);
    };
    CTripProposals result;
    QThread* worker = QThread::create(
        [&] { result = ProposeTripsFromPhotos(paths, logTrips, dataDir, context, options); });
    QProgressDialog progress(QStringLiteral("写真を読んでいます..."), QStringLiteral("中止"), 0, 0,
                             parent);
    progress.setWindowTitle(QStringLiteral("写真から登録"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    QObject::connect(&progress, &QProgressDialog::canceled, &progress,
                     [cancel] { *cancel = true; });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &progress, [&] {
        const size_t t = total->load();
        if (t > 0) {
            progress.setMaximum(int(std::min<size_t>(t, INT32_MAX)));
            progress.setValue(int(std::min(done->load(), t)));
            progress.setLabelText(
                QStringLiteral("写真を読んでいます... %1 / %2").arg(done->load()).arg(t));
        }
    });
    tick.start(100);
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
    if (cancel->load() || result.scan.cancelled) return false;
    proposals = std::move(result);
    return true;
}

bool ImportTripsFromPhotos(QWidget* parent, CCatchStore& store, const CDataFolder& folder,
                           QStringList inputs)
{
    if (inputs.isEmpty()) {
        const QMessageBox::StandardButton answer = ShowMessageBox(
            parent,
            QStringLiteral("フォルダごと取り込みますか？\n「はい」でフォルダ (下のフォルダも含む) "
                           "を、「いいえ」で写真を選びます。"),
            EMessageBoxIcon::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
            QMessageBox::Yes);
        if (answer == QMessageBox::Yes) {
            const QString dir = DesktopServices().GetExistingDirectory(
                parent, QStringLiteral("写真のフォルダを選ぶ"), QString());
            if (!dir.isEmpty()) inputs << dir;
        } else if (answer == QMessageBox::No) {
            inputs = GetOpenPhotoFileNames(parent, QStringLiteral("写真を選ぶ"));
        }
        if (inputs.isEmpty()) return false;
    }
    std::vector<CTripRecord> trips;
    const CStoreResult read = store.ReadAllTrips(trips);
    if (!read.ok() && read.status != EStoreStatus::Missing) {
        ShowMessageBox(parent, QStringFromStd(DescribeStoreResult(read, store.GetPath())),
                       EMessageBoxIcon::Warning);
        return false;
    }
    const CTideStations& stations = ShippedTideStations();
    CPlaceBook places(&stations);
    places.Load(folder);
    CProposalContext context;
    context.stations = &stations;
    context.choices = &places.Ports();
    context.placeNear = PlaceNearFunction(places);
    CTripProposals proposals;
    if (!ProposeTripsWithProgress(parent, inputs, trips, store.GetDataDir(), context, proposals))
        return false;
    if (proposals.trips.empty() && proposals.undated.empty()) {
        ShowMessageBox(
            parent,
            QStringLiteral("新しい釣行になる写真はありません (取り込まないファイル %1 件)。")
                .arg(proposals.scan.skipped.size()),
            EMessageBoxIcon::Information);
        return false;
    }
    CPhotoTripsDlg dialog(parent, store, folder, std::move(proposals), context);
    return dialog.exec() == QDialog::Accepted;
}
