#include "photos/widgets/ThumbnailBuilder.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QProgressBar>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <cstring>
#include <optional>
#include <vector>

#include "photos/ThumbnailDecoder.h"
#include "photos/widgets/ThumbnailCache.h"
#include "photos/widgets/ThumbnailImageReader.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {

// A build that runs longer than this shows a progress bar over its list.
constexpr int kProgressDelayMs = 400;

struct CThumbnailResult {
    EDecodeStatus status = EDecodeStatus::Ok;
    QImage cell;  // null past the capacity
};

// The picture fitted to the cell and centred on it; the rest of the cell is transparent, so the
// list's own background shows around it.
QImage CellFromPicture(const CRgbPicture& picture)
{
    QImage cell(kThumbnailWidth, kThumbnailHeight, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    const CRgbPicture fitted = FitToThumbnail(picture);
    if (fitted.empty()) return cell;
    QPainter painter(&cell);
    painter.drawImage((kThumbnailWidth - fitted.width) / 2, (kThumbnailHeight - fitted.height) / 2,
                      ImageFromPicture(fitted));
    return cell;
}

// Item positions of a list view are set through a protected member; reach it through a member
// pointer taken in a class that may name it.
struct CPositionAccess : QListWidget {
    static void Set(QListWidget* list, int row, const QPoint& position)
    {
        const auto setPosition = &CPositionAccess::setPositionForIndex;
        (list->*setPosition)(position, list->model()->index(row, 0));
    }
};

void SetItemPosition(QListWidget* list, int row, const QPoint& position)
{
    CPositionAccess::Set(list, row, position);
}

QThreadPool& WorkerPool()
{
    // One worker per core; the pool is shared by every list so that builds never compete.
    static QThreadPool* pool = [] {
        auto* threads = new QThreadPool;
        threads->setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
        threads->setExpiryTimeout(5000);
        return threads;
    }();
    return *pool;
}

}  // namespace

// What the workers and the user-interface thread share.  Workers take the next path index,
// make its thumbnail and store it; the owner places results in path order.
struct CThumbnailBuildShared {
    QStringList paths;
    int capacity = 0;
    std::atomic<bool> cancel{false};
    std::atomic<int> next{0};
    std::atomic<bool> deliveryPending{false};

    QMutex mutex;
    std::vector<std::optional<CThumbnailResult>> results;

    // Touched on the user-interface thread only.
    CThumbnailBuild* owner = nullptr;

    CThumbnailResult Make(int index) const;
    void Work(const std::shared_ptr<CThumbnailBuildShared>& self);
};

CThumbnailResult CThumbnailBuildShared::Make(int index) const
{
    CThumbnailResult result;
    const QString path = paths.at(index);
    if (index >= capacity) {
        // No picture is shown past the capacity; the file must still be there.
        FILE* handle = nullptr;
        if (OpenPhotoFile(PathFromQString(path), handle) == EDecodeStatus::CannotOpen)
            result.status = EDecodeStatus::CannotOpen;
        if (handle) std::fclose(handle);
        return result;
    }
    CRgbPicture picture;
    result.status = LoadThumbnailPicture(path, picture, &cancel);
    if (result.status == EDecodeStatus::Ok) result.cell = CellFromPicture(picture);
    return result;
}

EDecodeStatus LoadThumbnailPicture(const QString& path, CRgbPicture& picture,
                                   const std::atomic<bool>* cancel)
{
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    const qint64 mtime = info.exists() ? info.lastModified().toSecsSinceEpoch() : -1;
    const qint64 size = info.size();
    if (info.isFile()) {
        const QImage cached = CThumbnailCache::Load(absolute, mtime, size);
        if (!cached.isNull()) {
            picture = PictureFromImage(cached);
            return EDecodeStatus::Ok;
        }
    }

    CDecodeOptions options;
    options.cancel = cancel;
    const EDecodeStatus status = DecodeThumbnailPicture(path, picture, nullptr, options);
    if (status != EDecodeStatus::Ok) return status;
    CThumbnailCache::Store(absolute, mtime, size, ImageFromPicture(picture));
    return status;
}

void CThumbnailBuildShared::Work(const std::shared_ptr<CThumbnailBuildShared>& self)
{
    for (;;) {
        if (cancel.load()) return;
        const int index = next.fetch_add(1);
        if (index >= paths.size()) return;
        CThumbnailResult result = Make(index);
        if (result.status == EDecodeStatus::Cancelled || cancel.load()) return;
        {
            QMutexLocker lock(&mutex);
            results[size_t(index)] = std::move(result);
        }
        // One queued delivery at a time; it places everything that is ready by then.
        if (!deliveryPending.exchange(true)) {
            QCoreApplication* app = QCoreApplication::instance();
            if (!app) return;
            QMetaObject::invokeMethod(
                app,
                [self] {
                    self->deliveryPending.store(false);
                    if (self->owner) self->owner->Deliver();
                },
                Qt::QueuedConnection);
        }
    }
}

bool WaitForThumbnailWorkers(int msecs)
{
    return WorkerPool().waitForDone(msecs);
}

int ThumbnailsPerRow(int width)
{
    return std::max(1, (width - 8) / 128);
}

QPoint ThumbnailPosition(EThumbnailPlacement placement, int index, int perRow)
{
    if (placement == EThumbnailPlacement::SingleRow) return QPoint(8 + 128 * index, 5);
    perRow = std::max(1, perRow);
    return QPoint(8 + 128 * (index % perRow), 10 + 130 * (index / perRow));
}

namespace {
int PerRowOf(const QListWidget* list)
{
    return ThumbnailsPerRow(list->viewport()->width());
}
}  // namespace

void PlaceThumbnailItems(QListWidget* list, EThumbnailPlacement placement)
{
    // Inserting or removing rows makes the view lay its items out afresh, so positions are set
    // once all rows are there.
    const int perRow = PerRowOf(list);
    for (int row = 0; row < list->count(); ++row)
        SetItemPosition(list, row, ThumbnailPosition(placement, row, perRow));
}

QImage ThumbnailPlaceholder()
{
    QImage image(kThumbnailWidth, kThumbnailHeight, QImage::Format_RGB888);
    image.fill(QColor(0xE8, 0xE8, 0xE8));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 1));
    painter.drawRect(QRectF(0.5, 0.5, kThumbnailWidth - 1, kThumbnailHeight - 1));
    // A crossed-out picture frame: "there was meant to be a photo here".
    const QRectF frame(36.5, 28.5, 48, 40);
    painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 2));
    painter.drawRect(frame);
    painter.setPen(QPen(QColor(0xC0, 0x40, 0x40), 3));
    painter.drawLine(frame.topLeft() + QPointF(8, 6), frame.bottomRight() - QPointF(8, 6));
    painter.drawLine(frame.topRight() + QPointF(-8, 6), frame.bottomLeft() + QPointF(8, -6));
    return image;
}

CThumbnailBuild::CThumbnailBuild(QListWidget* list, const QStringList& paths, int capacity,
                                 EThumbnailPlacement placement)
    : QObject(list),
      m_list(list),
      m_shared(std::make_shared<CThumbnailBuildShared>()),
      m_placement(placement)
{
    m_shared->paths = paths;
    m_shared->capacity = std::max(0, capacity);
    m_shared->results.resize(size_t(paths.size()));
    m_shared->owner = this;
}

CThumbnailBuild::~CThumbnailBuild()
{
    m_shared->cancel.store(true);
    m_shared->owner = nullptr;
    delete m_progressBar.data();
}

int CThumbnailBuild::Total() const
{
    return static_cast<int>(m_shared->paths.size());
}

bool CThumbnailBuild::StopWorkers()
{
    if (!m_running) return false;
    m_running = false;
    m_shared->cancel.store(true);
    m_shared->owner = nullptr;
    if (m_progressTimer) m_progressTimer->stop();
    delete m_progressBar.data();
    return true;
}

void CThumbnailBuild::Cancel()
{
    if (StopWorkers() && m_list) m_list->setUpdatesEnabled(true);
}

void CThumbnailBuild::PlaceItems()
{
    PlaceThumbnailItems(m_list, m_placement);
}

void CThumbnailBuild::Start()
{
    m_running = true;
    const int total = Total();
    // Every path has its labelled item from the start; the pictures follow as they are made.
    m_list->setUpdatesEnabled(false);
    for (const QString& path : m_shared->paths) {
        auto* item = new QListWidgetItem(QFileInfo(path).fileName());
        item->setToolTip(path);
        m_list->addItem(item);
    }
    PlaceItems();
    m_list->setUpdatesEnabled(true);
    if (total == 0) {
        // Nothing to build; still end the way every build ends, once control is back.
        QMetaObject::invokeMethod(
            this, [this] { Deliver(); }, Qt::QueuedConnection);
        return;
    }
    m_progressTimer = new QTimer(this);
    m_progressTimer->setSingleShot(true);
    connect(m_progressTimer, &QTimer::timeout, this, &CThumbnailBuild::ShowProgressBar);
    m_progressTimer->start(kProgressDelayMs);

    const int workers = std::min(total, std::max(1, WorkerPool().maxThreadCount()));
    for (int i = 0; i < workers; ++i) {
        std::shared_ptr<CThumbnailBuildShared> shared = m_shared;
        WorkerPool().start(QRunnable::create([shared] { shared->Work(shared); }));
    }
}

void CThumbnailBuild::Deliver()
{
    if (!m_running || m_delivering || !m_list) return;
    m_delivering = true;
    const int total = Total();
    const int before = m_placed;
    m_list->setUpdatesEnabled(false);
    while (m_placed < total) {
        std::optional<CThumbnailResult> result;
        {
            QMutexLocker lock(&m_shared->mutex);
            result.swap(m_shared->results[size_t(m_placed)]);
        }
        if (!result) break;
        QImage picture = result->cell;
        if (result->status == EDecodeStatus::CannotOpen) {
            m_missing << m_shared->paths.at(m_placed);
            picture = ThumbnailPlaceholder();
        } else if (result->status == EDecodeStatus::NotDecodable) {
            m_undecodable << m_shared->paths.at(m_placed);
            picture = ThumbnailPlaceholder();
        }
        if (!picture.isNull()) {
            m_list->item(m_placed)->setIcon(QIcon(QPixmap::fromImage(picture)));
            // The item grew by its picture; setting its position again lets the view's hit
            // testing know its new size.
            SetItemPosition(m_list, m_placed,
                            ThumbnailPosition(m_placement, m_placed, PerRowOf(m_list)));
        }
        ++m_placed;
    }
    m_list->setUpdatesEnabled(true);
    m_delivering = false;
    if (m_placed != before) Q_EMIT progress(m_placed, total);
    if (m_progressBar) m_progressBar->setValue(m_placed);
    if (m_placed == total) Finish();
}

void CThumbnailBuild::Finish()
{
    if (!StopWorkers()) return;
    // The results are placed; their memory is not needed any more.
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->results.clear();
        m_shared->results.shrink_to_fit();
    }

    // Message boxes run their own event loop, in which the list may be rebuilt or destroyed.
    QPointer<CThumbnailBuild> self(this);
    QPointer<QListWidget> list(m_list);
    const auto names = [](const QStringList& paths) {
        QString text;
        const int shown = std::min<int>(10, static_cast<int>(paths.size()));
        for (int i = 0; i < shown; ++i) text += QLatin1Char('\n') + paths.at(i);
        if (paths.size() > shown) text += QStringLiteral("\nほか %1 件").arg(paths.size() - shown);
        return text;
    };
    QString message;
    if (!m_missing.isEmpty())
        message = QStringLiteral("見つからない画像ファイルがありました：") + names(m_missing);
    if (!m_undecodable.isEmpty()) {
        if (!message.isEmpty()) message += QStringLiteral("\n\n");
        message += QStringLiteral(
                       "画像として読み込めないファイルがありました。"
                       "対応する画像形式ではないか、壊れています：") +
                   names(m_undecodable);
    }
    if (!message.isEmpty() && m_tellProblems && !m_tellProblems(m_missing + m_undecodable))
        message.clear();
    if (!message.isEmpty()) ShowMessageBox(list, message, EMessageBoxIcon::Warning);
    if (self) Q_EMIT finished();
}

void CThumbnailBuild::ShowProgressBar()
{
    if (!m_running || !m_list || m_progressBar) return;
    m_progressBar = new QProgressBar(m_list);
    m_progressBar->setRange(0, Total());
    m_progressBar->setValue(m_placed);
    m_progressBar->setFormat(QStringLiteral("サムネイル作成中  %v / %m"));
    m_list->installEventFilter(this);
    PlaceProgressBar();
    m_progressBar->show();
}

void CThumbnailBuild::PlaceProgressBar()
{
    if (!m_progressBar || !m_list) return;
    const int height = m_progressBar->sizeHint().height();
    const int width = std::min(320, m_list->width() - 16);
    m_progressBar->setGeometry((m_list->width() - width) / 2, m_list->height() - height - 8, width,
                               height);
}

bool CThumbnailBuild::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::Resize) PlaceProgressBar();
    return QObject::eventFilter(watched, event);
}

namespace {
CThumbnailBuild* RunningBuild(QListWidget* list)
{
    if (!list) return nullptr;
    for (CThumbnailBuild* build :
         list->findChildren<CThumbnailBuild*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (build->IsRunning()) return build;
    }
    return nullptr;
}
}  // namespace

CThumbnailBuild* BuildThumbnails(QListWidget* list, const QStringList& paths, int capacity,
                                 EThumbnailPlacement placement)
{
    // Earlier builds of this list end here; they are deleted once control is back in the event
    // loop, since a caller may be inside one of their signals.
    for (CThumbnailBuild* old :
         list->findChildren<CThumbnailBuild*>(QString(), Qt::FindDirectChildrenOnly)) {
        old->Cancel();
        old->deleteLater();
    }
    list->clear();
    list->setViewMode(QListView::IconMode);
    list->setMovement(QListView::Free);
    list->setIconSize(QSize(kThumbnailWidth, kThumbnailHeight));

    auto* build = new CThumbnailBuild(list, paths, capacity, placement);
    build->Start();
    return build;
}

void CancelThumbnails(QListWidget* list)
{
    if (CThumbnailBuild* build = RunningBuild(list)) build->Cancel();
}

bool IsBuildingThumbnails(QListWidget* list)
{
    return RunningBuild(list) != nullptr;
}
