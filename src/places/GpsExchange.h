#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "data/TripRecord.h"
#include "places/GeoPoint.h"
#include "places/TripPositions.h"

class CPlaceBook;

// One point of a GPX or KML file.
struct CWaypoint {
    std::string name;
    CGeoPoint point;
    std::string time;         // UTC, "YYYY-MM-DDTHH:MM:SSZ"; "" for none
    std::string description;  // "" for none
    bool operator==(const CWaypoint&) const = default;
};

// What an export holds: a waypoint per place with a position, then a waypoint per catch with a
// point (named by its species, described by species, length, weight, place and date, timed by
// the trip's date and the catch's time in Japan time).  year 0: every trip; else the trips of
// that year only (and only the places they name).
// readTime reads a catch's time text as the log keeps it (hour, and minute or -1); a catch
// whose time it cannot read has no time.
using CCatchTimeReader = std::function<bool(const std::string& text, int& hour, int& minute)>;
std::vector<CWaypoint> CollectExportWaypoints(
    const std::vector<CTripRecord>& trips, const CPlaceBook& book, int year,
    const CCatchTimeReader& readTime, const CPhotoPositionReader& reader = ReadPhotoPosition);
// "YYYY-MM-DDTHH:MM:SSZ" of a Japan-time (UTC+9) moment; "" when the date is not one.
std::string JapanTimeToUtcText(int year, int month, int day, int hour, int minute);

// The texts of a GPX 1.1 and of a KML 2.2 document holding the waypoints (UTF-8).
std::string WriteGpx(const std::vector<CWaypoint>& waypoints);
std::string WriteKml(const std::vector<CWaypoint>& waypoints);

// The largest GPX file read, and the most waypoints taken from one.
inline constexpr size_t kMaxGpxFileBytes = 16 * 1024 * 1024;
inline constexpr size_t kMaxGpxWaypoints = 20000;

// Reads the waypoints (wpt) of a GPX document: name, lat, lon, time.  Waypoints without a
// name or a valid position are skipped and counted in skipped.  The parse reaches no network,
// reads no other file, expands no entities and refuses a document type declaration.  False
// with a Japanese reason for a document that is not GPX or cannot be parsed, or is over the caps.
bool ReadGpxWaypoints(const std::string& bytes, std::vector<CWaypoint>& waypoints, size_t& skipped,
                      std::string& error);
// The same for a file (at most kMaxGpxFileBytes, a regular file only); the error names it.
bool ReadGpxFile(const std::string& path, std::vector<CWaypoint>& waypoints, size_t& skipped,
                 std::string& error);

// What importing waypoints as places would do to a book: per waypoint, the place it names and
// whether it is new, the same, or would replace a position the user set (asked first).
enum class EImportAction { Add, Same, Replace, Ask };
struct CImportPreviewRow {
    CWaypoint waypoint;
    EImportAction action = EImportAction::Add;
};
std::vector<CImportPreviewRow> PreviewGpxImport(const CPlaceBook& book,
                                                const std::vector<CWaypoint>& waypoints);
// Applies the rows: Add and Replace set positions (source GPX); Ask rows only when
// replaceAsked is true.  Returns how many places changed.
size_t ApplyGpxImport(CPlaceBook& book, const std::vector<CImportPreviewRow>& rows,
                      bool replaceAsked);
