#include "places/PlacesExport.h"

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/SafeFile.h"
#include "places/PlaceBook.h"
#include "places/TripPositions.h"

bool ReadPlacesOfLog(const CDataFolder& folder, CPlaceBook& book, std::vector<CTripRecord>& trips,
                     std::string& error)
{
    book.Load(folder);
    const CCatchStore store(folder.GetCatchFile());
    const CStoreResult result = store.ReadAllTrips(trips);
    if (!result.ok()) {
        error = DescribeStoreResult(result, store.GetPath());
        return false;
    }
    FillPhotoPositions(book, trips);
    return true;
}

CPlacesExport ExportPlacesFile(const CDataFolder& folder, EGpsFormat format,
                               const std::string& path, int year, const CCatchTimeReader& readTime)
{
    CPlacesExport done;
    if (path.empty()) {
        done.error = "書き出すファイル名がありません";
        return done;
    }
    if (IsPathInFolder(path, folder.GetDataDir()) || IsPathInFolder(path, folder.GetCatchFile())) {
        done.error =
            "Data フォルダの中には書き出せません（記録のファイルを上書きしないため）: " + path;
        return done;
    }
    CPlaceBook book;
    std::vector<CTripRecord> trips;
    if (!ReadPlacesOfLog(folder, book, trips, done.error)) return done;
    if (!book.Problems().empty()) {
        done.damagedPlaces = true;
        done.error = book.ProblemText();
        return done;
    }
    const std::vector<CWaypoint> waypoints = CollectExportWaypoints(trips, book, year, readTime);
    const std::string text = format == EGpsFormat::Gpx ? WriteGpx(waypoints) : WriteKml(waypoints);
    std::string error;
    if (!WriteFileSafely(path, text, &error)) {
        done.error = path + " に書き出せませんでした（" + error + "）";
        return done;
    }
    done.written = true;
    // Places come first and are described as such; a catch may share a place's name.
    while (done.places < waypoints.size() &&
           waypoints[done.places].description.rfind("場所", 0) == 0) {
        ++done.places;
    }
    done.catches = waypoints.size() - done.places;
    return done;
}
