#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

#include "photos/ThumbnailDecoder.h"

class QListWidget;
class QProgressBar;
class QTimer;

// Where the items of a thumbnail list go.
enum class EThumbnailPlacement {
    SingleRow,  // item i at (8 + 128 * i, 5)
    FillRows    // as many 128-pixel cells per row as the list is wide, rows 130 pixels apart
};

struct CThumbnailBuildShared;

// One running (or finished) build of a thumbnail list.  It belongs to its list and lives until
// the next build of that list replaces it.  finished() is emitted once when every path has its
// item; a cancelled build emits nothing more.
class CThumbnailBuild : public QObject {
    Q_OBJECT
public:
    ~CThumbnailBuild() override;

    QListWidget* List() const { return m_list; }
    bool IsRunning() const { return m_running; }
    int Total() const;
    int Done() const { return m_placed; }
    // Paths whose file is not a decodable photo: their items show the placeholder picture.
    const QStringList& UndecodablePaths() const { return m_undecodable; }
    // Paths whose file cannot be opened (gone, or unreadable): placeholder items as well.
    const QStringList& MissingPaths() const { return m_missing; }

    // Stops the build: workers drop what they do, nothing more lands in the list.
    void Cancel();

    // Decides at the end whether the files that could not be shown (missing ones first, then
    // undecodable ones) are told; without it they always are.
    void SetProblemFilter(std::function<bool(const QStringList& problems)> tell)
    {
        m_tellProblems = std::move(tell);
    }

Q_SIGNALS:
    void progress(int done, int total);
    void finished();

private:
    friend struct CThumbnailBuildShared;
    friend CThumbnailBuild* BuildThumbnails(QListWidget*, const QStringList&, int,
                                            EThumbnailPlacement);
    CThumbnailBuild(QListWidget* list, const QStringList& paths, int capacity,
                    EThumbnailPlacement placement);
    void Start();
    void Deliver();
    void Finish();
    bool StopWorkers();
    void PlaceItems();
    void ShowProgressBar();
    void PlaceProgressBar();

    QListWidget* m_list;
    std::shared_ptr<CThumbnailBuildShared> m_shared;
    EThumbnailPlacement m_placement;
    int m_placed = 0;
    bool m_running = false;
    bool m_delivering = false;
    QStringList m_undecodable;
    QStringList m_missing;
    std::function<bool(const QStringList&)> m_tellProblems;
    QPointer<QProgressBar> m_progressBar;
    QTimer* m_progressTimer = nullptr;

    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Rebuilds `list` (a QListWidget in icon mode with free item positions) from paths: discards its
// items, adds one item per path labelled with the file name without directory, pictures placed as
// they finish in path order; only the first `capacity` items get a picture (fitted to the cell,
// shape kept, centred). Returns at once; a new build, CancelThumbnails or destroying the list
// cancels the running one cleanly.
//
// A file that cannot be opened (also past the capacity) or is not a decodable photo (JPEG, HEIF,
// PNG, WebP, TIFF, told by content) gets its item with a placeholder picture; the build goes on
// and names such files in one message at its end.
CThumbnailBuild* BuildThumbnails(QListWidget* list, const QStringList& paths, int capacity,
                                 EThumbnailPlacement placement);
void CancelThumbnails(QListWidget* list);
bool IsBuildingThumbnails(QListWidget* list);

// Waits until no thumbnail worker runs any more (for shutdown and tests); false on time-out.
bool WaitForThumbnailWorkers(int msecs = -1);

// How many cells a row of a list whose viewport is width pixels wide holds (at least one).
int ThumbnailsPerRow(int width);
// The position of item index in a list of the given placement with perRow cells a row.
QPoint ThumbnailPosition(EThumbnailPlacement placement, int index, int perRow);
// Puts every item of list where placement wants it for the list's width now; a list that
// fills its rows calls this again when its width changes.
void PlaceThumbnailItems(QListWidget* list, EThumbnailPlacement placement);

// The picture shown for a photo that cannot be decoded (120 x 100).
QImage ThumbnailPlaceholder();

// The upright picture of a photo as thumbnails show it: the desktop's cached thumbnail when one
// was made from the photo as it is now, otherwise the photo decoded (scaled down as far as the
// cell allows) and then kept in the cache.  Safe to call from any thread.
EDecodeStatus LoadThumbnailPicture(const QString& path, CRgbPicture& picture,
                                   const std::atomic<bool>* cancel = nullptr);
