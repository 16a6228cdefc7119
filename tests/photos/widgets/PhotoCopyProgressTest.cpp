#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <thread>

#include "photos/widgets/PhotoCopyProgress.h"

namespace {

using namespace std::chrono_literals;

QProgressDialog* ShownProgressDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QProgressDialog*>(widget);
        if (dialog != nullptr && dialog->isVisible()) return dialog;
    }
    return nullptr;
}

// Work that reports a quarter done and then goes on (reporting) for the given time or until it
// is told to stop; it names the copy it made.
PhotoCopyWork SlowWork(std::chrono::milliseconds length)
{
    return [length](CTripRecord& trip, const CPhotoCopies::ProgressFunction& progress) {
        CPhotoCopies::CCopyReport report;
        const auto end = std::chrono::steady_clock::now() + length;
        while (std::chrono::steady_clock::now() < end) {
            if (!progress(25, 100)) {
                report.cancelled = true;
                return report;
            }
            std::this_thread::sleep_for(5ms);
        }
        trip.fishPhotos = {"/Data/Picture/copy.jpg"};
        report.newCopies = trip.fishPhotos;
        return report;
    };
}

struct CCopyCase {
    const char* name;
    std::chrono::milliseconds length;
    bool clickStop;
    bool dialogShown;
    bool cancelled;
};

TEST(PhotoCopyProgress, LongCopiesShowProgressKeepTheWindowAnsweringAndCanBeStopped)
{
    const CCopyCase cases[] = {
        {"quick", 0ms, false, false, false},
        {"long", 900ms, false, true, false},
        {"stopped", 8000ms, true, true, true},
    };
    for (const CCopyCase& c : cases) {
        int seenValue = -1;
        bool modal = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QProgressDialog* dialog = ShownProgressDialog();
            if (dialog == nullptr || dialog->value() <= 0) return;
            seenValue = dialog->value();
            modal = dialog->windowModality() == Qt::ApplicationModal;
            if (c.clickStop) dialog->findChild<QPushButton*>()->click();
        });
        watch.start(20);
        CTripRecord trip;
        trip.fishPhotos = {"/card/original.jpg"};
        const CPhotoCopies::CCopyReport report = RunPhotoCopies(nullptr, trip, SlowWork(c.length));
        watch.stop();
        EXPECT_EQ(report.cancelled, c.cancelled) << c.name;
        // Seen by a timer of this thread while the work went on: the window kept answering.
        EXPECT_EQ(seenValue == 250, c.dialogShown) << c.name;
        EXPECT_EQ(modal, c.dialogShown) << c.name;
        EXPECT_EQ(trip.fishPhotos.front(),
                  c.cancelled ? "/card/original.jpg" : "/Data/Picture/copy.jpg")
            << c.name;
        EXPECT_EQ(ShownProgressDialog(), nullptr) << c.name;
    }
}

}  // namespace
