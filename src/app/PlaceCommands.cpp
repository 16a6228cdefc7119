#include "app/PlaceCommands.h"

#include <cstdio>
#include <ostream>
#include <set>
#include <vector>

#include "app/InstanceLock.h"
#include "data/DecimalInt.h"
#include "places/CoordinateText.h"
#include "places/GpsExchange.h"
#include "places/PlaceBook.h"
#include "places/PlacesExport.h"
#include "reports/CatchConditions.h"
#include "tides/TideStations.h"

namespace {

std::string Degrees(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6f", value);
    return buffer;
}

// The book of folder with the photo positions of the log's trips filled in (in memory).  False
// when the log cannot be read; problems of the places file go to err and make *damaged true.
bool ReadPlaces(const CDataFolder& folder, CPlaceBook& book, std::vector<CTripRecord>& trips,
                bool& damaged, std::ostream& err)
{
    std::string error;
    const bool read = ReadPlacesOfLog(folder, book, trips, error);
    damaged = !book.Problems().empty();
    if (damaged) err << "lurebook: " << book.ProblemText() << "\n";
    if (!read) err << "lurebook: " << error << "\n";
    return read;
}

}  // namespace

int ListPlacesCommand(const CDataFolder& folder, std::ostream& out, std::ostream& err)
{
    std::string error;
    const CTideStations& stations = ShippedTideStations(&error);
    CPlaceBook book(stations.All().empty() ? nullptr : &stations);
    std::vector<CTripRecord> trips;
    bool damaged = false;
    if (!ReadPlaces(folder, book, trips, damaged, err)) return 2;
    std::set<std::string> listed;
    for (const CPlaceInfo& place : book.Places()) {
        out << place.name << "\t";
        if (place.hasPosition) {
            out << Degrees(place.position.latitude) << "\t" << Degrees(place.position.longitude)
                << "\t" << PositionSourceLabel(place.source);
        } else {
            out << "\t\t位置なし";
        }
        const CTideStation* port = place.portId.empty() ? nullptr : stations.FindById(place.portId);
        out << "\t" << (port ? port->nameJa : place.portId) << "\n";
        listed.insert(place.name);
    }
    for (const CTripRecord& trip : trips) {
        const std::string key = CPlaceBook::PlaceKey(trip.place);
        if (key.empty() || !listed.insert(key).second) continue;
        out << key << "\t\t\t位置なし\t\n";
    }
    out.flush();
    if (!out) {
        err << "lurebook: 一覧を書き出せませんでした\n";
        return 2;
    }
    return damaged ? 1 : 0;
}

int ExportPlacesCommand(const CDataFolder& folder, EGpsFormat format, const std::string& path,
                        const std::string& year, std::ostream& out, std::ostream& err)
{
    int yearNumber = 0;
    if (!year.empty() &&
        (!ParseWholeDecimalInt(year, yearNumber) || yearNumber < 1 || yearNumber > 9999)) {
        err << "lurebook: --year には西暦の年を数字で指定してください（\"" << year << "\"）\n";
        return 2;
    }
    const CPlacesExport done = ExportPlacesFile(folder, format, path, yearNumber, ReadCatchTime);
    if (!done.written) {
        err << "lurebook: " << done.error << "\n";
        // A damaged places file is told apart from a failure to read or write.
        return done.damagedPlaces ? 1 : 2;
    }
    out << path << ": 場所 " << done.places << " 件、釣果 " << done.catches
        << " 件を書き出しました\n";
    return 0;
}

int ImportGpxCommand(const CDataFolder& folder, const std::string& path, std::ostream& out,
                     std::ostream& err)
{
    std::vector<CWaypoint> waypoints;
    size_t skipped = 0;
    std::string error;
    if (!ReadGpxFile(path, waypoints, skipped, error)) {
        err << "lurebook: " << error << "\n";
        return 2;
    }
    CInstanceLock lock;
    if (!LockDataFolderForCommand(lock, folder,
                                  "Lurebook が起動しているため取り込めません。"
                                  "終了してからもう一度実行してください。",
                                  err)) {
        return 2;
    }
    std::string stationsError;
    const CTideStations& stations = ShippedTideStations(&stationsError);
    CPlaceBook book(stations.All().empty() ? nullptr : &stations);
    if (!book.Load(folder)) {
        err << "lurebook: " << book.ProblemText() << "\n"
            << "lurebook: 読み込めなかった内容を失わないよう、取り込みません\n";
        return 1;
    }
    const std::vector<CImportPreviewRow> rows = PreviewGpxImport(book, waypoints);
    const size_t changed = ApplyGpxImport(book, rows, false);
    for (const CImportPreviewRow& row : rows) {
        if (row.action != EImportAction::Ask) continue;
        out << "そのまま: " << row.waypoint.name << "（設定済みの位置 "
            << FormatCoordinateText(book.Find(row.waypoint.name)->position) << " を残しました）\n";
    }
    if (changed > 0 && !book.Save(error)) {
        err << "lurebook: " << error << "\n";
        return 2;
    }
    out << "取り込んだ場所: " << changed << " 件";
    if (skipped > 0)
        out << "（名前か位置のないウェイポイント " << skipped << " 件は読み飛ばしました）";
    out << "\n";
    return 0;
}

bool KeepPhotoPositions(const CDataFolder& folder, std::ostream& out, std::ostream& err)
{
    std::string stationsError;
    const CTideStations& stations = ShippedTideStations(&stationsError);
    CPlaceBook book(stations.All().empty() ? nullptr : &stations);
    std::vector<CTripRecord> trips;
    bool damaged = false;
    if (!ReadPlaces(folder, book, trips, damaged, err)) return false;
    if (damaged) {
        err << "lurebook: 写真の撮影位置は場所の記録に残していません\n";
        return false;
    }
    // ReadPlaces filled the positions in memory; the count is what changed on disk.
    CPlaceBook before(stations.All().empty() ? nullptr : &stations);
    before.Load(folder);
    size_t added = 0;
    for (const CPlaceInfo& place : book.Places()) {
        const CPlaceInfo* old = before.Find(place.name);
        added += place.hasPosition && (old == nullptr || !old->hasPosition);
    }
    if (added == 0) return true;
    std::string error;
    if (!book.Save(error)) {
        err << "lurebook: " << error << "\n";
        return false;
    }
    out << "写真の撮影位置を記録した場所: " << added << " 件\n";
    return true;
}
