#include "entry/TripSaver.h"

#include <cstdlib>
#include <utility>

CTripSaver::CTripSaver(CCatchStore& store, const CPhotoCopies& copies)
    : m_store(store), m_copies(copies)
{
}

int CTripSaver::FindTrip(const std::vector<CTripRecord>& trips, int position,
                         const CTripRecord& original)
{
    const int count = static_cast<int>(trips.size());
    if (position >= 0 && position < count && trips[static_cast<size_t>(position)] == original) {
        return position;
    }
    int best = -1;
    for (int n = 0; n < count; ++n) {
        if (!(trips[static_cast<size_t>(n)] == original)) continue;
        if (best < 0 || std::abs(n - position) < std::abs(best - position)) best = n;
    }
    return best;
}

CTripSaver::CReport CTripSaver::SaveNew(CTripRecord trip)
{
    return Store(-1, std::move(trip), {});
}

CTripSaver::CReport CTripSaver::SaveNewTrips(std::vector<CTripRecord> trips)
{
    CReport report;
    std::vector<std::string> newCopies;
    for (CTripRecord& trip : trips) {
        const CPhotoCopies::CCopyReport copies =
            m_copy ? m_copy(trip) : m_copies.CopyTripPhotos(trip);
        newCopies.insert(newCopies.end(), copies.newCopies.begin(), copies.newCopies.end());
        report.failedCopies.insert(report.failedCopies.end(), copies.failed.begin(),
                                   copies.failed.end());
        if (copies.cancelled) {
            CPhotoCopies::DeleteFiles(newCopies);
            report.outcome = EOutcome::Cancelled;
            return report;
        }
    }
    int before = -1;
    report.result = m_store.ReadTrips(
        [&](const std::vector<CTripRecord>& existing) { before = int(existing.size()); });
    if (report.result.ok()) report.result = m_store.AddTrips(trips);
    if (!report.result.ok()) {
        CPhotoCopies::DeleteFiles(newCopies);
        report.outcome = EOutcome::StoreFailed;
        return report;
    }
    m_store.NotePhotoCopies(newCopies);
    report.position = before;
    return report;
}

CTripSaver::CReport CTripSaver::SaveExisting(int position, const CTripRecord& original,
                                             CTripRecord trip,
                                             const std::vector<std::string>& removedPhotos)
{
    CReport report;
    int found = -1;
    report.result = m_store.ReadTrips([&](const std::vector<CTripRecord>& trips) {
        found = FindTrip(trips, position, original);
    });
    if (!report.result.ok()) {
        report.outcome = EOutcome::StoreFailed;
        return report;
    }
    if (found < 0) {
        report.outcome = EOutcome::TripGone;
        return report;
    }
    return Store(found, std::move(trip), removedPhotos);
}

CTripSaver::CReport CTripSaver::Store(int position, CTripRecord trip,
                                      const std::vector<std::string>& removedPhotos)
{
    CReport report;
    const CPhotoCopies::CCopyReport copies = m_copy ? m_copy(trip) : m_copies.CopyTripPhotos(trip);
    if (copies.cancelled) {
        CPhotoCopies::DeleteFiles(copies.newCopies);
        report.outcome = EOutcome::Cancelled;
        return report;
    }
    report.failedCopies = copies.failed;
    report.result = position < 0 ? m_store.AddTrip(trip) : m_store.ReplaceTrip(position, trip);
    if (!report.result.ok()) {
        CPhotoCopies::DeleteFiles(copies.newCopies);
        report.outcome = EOutcome::StoreFailed;
        return report;
    }
    // An undo of this save takes the copies it made with it (when no trip names them then).
    m_store.NotePhotoCopies(copies.newCopies);
    // Only now that the file names the copies it keeps may the photos the user took off go,
    // and only those that are copies no trip names any more.
    report.result = m_store.ReadTrips([&](const std::vector<CTripRecord>& trips) {
        report.position = position < 0 ? static_cast<int>(trips.size()) - 1 : position;
        // Through the store: an undo of this save brings them back.
        report.removedCopies = m_copies.DeleteUnusedCopies(
            removedPhotos, trips,
            [this](const std::string& path) { return m_store.RemovePhotoCopy(path); });
    });
    // The trip is saved; a file that cannot be read back just keeps its unused copies.
    report.result = {};
    return report;
}
