#include "photos/CsvPhotoKeeper.h"

#include <set>

CCsvPhotoKeeper MakeCsvPhotoKeeper(const CPhotoCopies& copies, CopyTripFunction copyTrip)
{
    CCsvPhotoKeeper keeper;
    keeper.copy = [&copies, copyTrip](std::vector<CTripRecord>& trips) {
        CCsvPhotoCopies done;
        // A photo named by several trips is listed once.
        std::set<std::string> listed;
        for (CTripRecord& trip : trips) {
            CPhotoCopies::CCopyReport report =
                copyTrip ? copyTrip(trip) : copies.CopyTripPhotos(trip);
            done.newCopies.insert(done.newCopies.end(), report.newCopies.begin(),
                                  report.newCopies.end());
            for (std::string& failed : report.failed) {
                if (listed.insert(failed).second) done.failed.push_back(std::move(failed));
            }
            if (report.cancelled) {
                done.cancelled = true;
                break;
            }
        }
        return done;
    };
    keeper.takeBack = [](const std::vector<std::string>& files) {
        CPhotoCopies::DeleteFiles(files);
    };
    return keeper;
}
