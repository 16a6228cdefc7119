#include "photos/widgets/PhotoCopyProgress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>

namespace {

// How long copies may take before the progress dialog is shown.
constexpr std::chrono::milliseconds kQuietWait{250};

struct CCopyState {
    std::atomic<uint64_t> copied{0};
    std::atomic<uint64_t> total{0};
    std::atomic<bool> stop{false};
};

}  // namespace

PhotoCopyWork CopyTripPhotosWork(const CPhotoCopies& copies)
{
    return [copies](CTripRecord& trip, const CPhotoCopies::ProgressFunction& progress) {
        CPhotoCopies worker = copies;
        worker.SetProgressFunction(progress);
        return worker.CopyTripPhotos(trip);
    };
}

CPhotoCopies::CCopyReport RunPhotoCopies(QWidget* parent, CTripRecord& trip,
                                         const PhotoCopyWork& work)
{
    auto state = std::make_shared<CCopyState>();
    CTripRecord working = trip;
    std::future<CPhotoCopies::CCopyReport> done =
        std::async(std::launch::async, [state, work, &working] {
            return work(working, [state](uint64_t copied, uint64_t total) {
                state->copied = copied;
                state->total = total;
                return !state->stop.load();
            });
        });
    if (done.wait_for(kQuietWait) != std::future_status::ready) {
        // Shown before any event is handled, so nothing else can be clicked meanwhile.
        QProgressDialog progress(QStringLiteral("写真を Data/Picture/ にコピーしています..."),
                                 QStringLiteral("中止"), 0, 1000, parent);
        progress.setWindowTitle(QStringLiteral("写真のコピー"));
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setMinimumDuration(0);
        QEventLoop loop;
        const auto stop = [&] {
            // The copy stops within one chunk; waiting for it here keeps the window from taking
            // clicks once the dialog is gone.
            state->stop = true;
            done.wait();
            loop.quit();
        };
        QObject::connect(&progress, &QProgressDialog::canceled, stop);
        progress.show();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            // Escape or the window's close button take the dialog away as 中止 does.
            if (progress.wasCanceled() || !progress.isVisible()) return stop();
            const uint64_t total = state->total;
            const uint64_t copied = state->copied;
            if (total > 0) progress.setValue(static_cast<int>(copied * 1000 / total));
            // The last step, flushing a large copy to the disk, can take a while of its own.
            if (total > 0 && copied >= total) {
                progress.setLabelText(QStringLiteral("写真をディスクに書き込んでいます..."));
            }
            if (done.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready)
                loop.quit();
        });
        poll.start(50);
        loop.exec();
    }
    CPhotoCopies::CCopyReport report = done.get();
    trip = std::move(working);
    return report;
}
