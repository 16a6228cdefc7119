#pragma once

#include <iosfwd>
#include <string>

#include "places/PlacesExport.h"

class CDataFolder;

// The command-line modes of places with positions (places/PlaceBook.h), on the Data folder
// given.  Each returns the process's exit code: 0 done, non-zero with the reason on err.  Places
// without a position of their own take the first photo position of their trips, as the window
// shows them; only --import-gpx writes, under the Data folder's lock.

// One line per place: name, latitude, longitude, where the position came from, tide port
// (tab-separated; empty fields for what is not known).
int ListPlacesCommand(const CDataFolder& folder, std::ostream& out, std::ostream& err);

// The places and the catches with a position, of every year or of year ("" for all), as GPX 1.1
// or KML 2.2 written to path.
int ExportPlacesCommand(const CDataFolder& folder, EGpsFormat format, const std::string& path,
                        const std::string& year, std::ostream& out, std::ostream& err);

// After trips were added under the Data folder's lock: places without a position take the first
// photo position of their trips, and the places file is saved.  False (told on err) when the
// places file is damaged or cannot be written; the trips stay added either way.
bool KeepPhotoPositions(const CDataFolder& folder, std::ostream& out, std::ostream& err);

// The waypoints of a GPX file as places.  New places and places placed only by a photo take
// the waypoint's position; a position the user set is kept (and listed), never replaced.
int ImportGpxCommand(const CDataFolder& folder, const std::string& path, std::ostream& out,
                     std::ostream& err);
