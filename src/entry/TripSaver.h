#pragma once

#include <functional>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "photos/PhotoCopies.h"

// Saving one trip from the entry dialog: the photos are copied into the picture folder, the trip
// is added or put in place of the one the dialog was opened for, copies made for a save that
// failed are taken back, and copies no trip names any more are removed.  One read of the catch
// file (none when it is unchanged since the last) and one write.
class CTripSaver {
public:
    CTripSaver(CCatchStore& store, const CPhotoCopies& copies);

    enum class EOutcome {
        Saved,
        StoreFailed,  // result says why; nothing was saved and no copy was left behind
        TripGone,     // the trip was deleted or changed elsewhere since the dialog opened it
        Cancelled,    // the user stopped the photo copies; nothing was saved or left behind
    };
    struct CReport {
        EOutcome outcome = EOutcome::Saved;
        CStoreResult result;
        int position = -1;                       // where the trip now is
        std::vector<std::string> failedCopies;   // photos kept at their own paths, with reasons
        std::vector<std::string> removedCopies;  // copies deleted because no trip names them
    };

    // How the photos are copied: by default here and now; the dialog copies large photos on a
    // worker thread while it shows their progress.
    using CopyFunction = std::function<CPhotoCopies::CCopyReport(CTripRecord& trip)>;
    void SetCopyFunction(CopyFunction copy) { m_copy = std::move(copy); }

    // A new trip.
    CReport SaveNew(CTripRecord trip);
    // New trips appended in one save, so one undo takes them all back.  The photos of every
    // trip are copied first; a cancel or a failed save leaves no copy behind.  position is that
    // of the first trip added.
    CReport SaveNewTrips(std::vector<CTripRecord> trips);
    // The trip that read as original at position when the dialog opened; removedPhotos are the
    // paths the user took off it.
    CReport SaveExisting(int position, const CTripRecord& original, CTripRecord trip,
                         const std::vector<std::string>& removedPhotos);

    // The position of the trip that reads as original: position itself when it still does,
    // otherwise the nearest one that does (trips were added or deleted meanwhile); -1 for none.
    static int FindTrip(const std::vector<CTripRecord>& trips, int position,
                        const CTripRecord& original);

private:
    CReport Store(int position, CTripRecord trip, const std::vector<std::string>& removedPhotos);

    CCatchStore& m_store;
    const CPhotoCopies& m_copies;
    CopyFunction m_copy;
};
