#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "places/GeoPoint.h"
#include "tides/TidePortChoices.h"
#include "tides/TidePortLookup.h"

class CDataFolder;
class CTideStations;

// Where a place's position came from.  A photo's position is a guess the program made; the
// others are the user's word and are never replaced without asking.
enum class EPositionSource {
    None,
    Photo,  // the first photo of a trip with an EXIF GPS position
    Map,    // a click on the map
    Typed,  // coordinates typed or a map link pasted
    Gpx,    // a waypoint of an imported GPX file
};

// The word the side file keeps for a source ("photo", "map", "typed", "gpx"; "" for None) and
// back (None for a word it does not know).
const char* PositionSourceWord(EPositionSource source);
EPositionSource PositionSourceFromWord(const std::string& word);
// Japanese for the user: 写真, 地図, 入力, GPX.
const char* PositionSourceLabel(EPositionSource source);

// What the program knows of one place: the text of 場所 a trip was saved with.
struct CPlaceInfo {
    std::string name;  // the key: the 場所 text without surrounding spaces
    bool hasPosition = false;
    CGeoPoint position;
    EPositionSource source = EPositionSource::None;
    std::string portId;  // the tide port chosen for it, "" for none

    bool operator==(const CPlaceInfo&) const = default;
};

// One line of the side file that could not be used.  reason is Japanese.
struct CSideFileProblem {
    std::string file;
    size_t line = 0;  // 0: the file as a whole
    std::string reason;
};

// What SetPosition did.
enum class EPositionChange {
    Set,          // the position is now the one given
    Unchanged,    // it already was
    NeedsAsking,  // the user set another position; kept until they agree (overwrite = true)
    Kept,         // a photo's guess does not replace a position the place already has
    Refused,      // no place text, or not a position on the earth
};

// The places side file in Data/ (kPlacesFileName): for each 場所 text its position, where that
// came from, and its tide port; and the home port.  It took over the tide-port file
// (kTidePortsFileName): when it does not exist yet, that file is read once and its ports carried
// over (the old file stays where it is; it is not written again).
//
// A read that failed in part or in whole leaves the book unsaveable: what could be read is there
// for showing, but Save refuses so a damaged file is never replaced by less than it held.
class CPlaceBook {
public:
    // With stations given, port ids the list does not know are problems of their lines.
    explicit CPlaceBook(const CTideStations* stations = nullptr) : m_stations(stations) {}

    // Reads the places file of folder (or carries the tide-port file over).  True when
    // everything was read; false with the problems (file, line, reason) otherwise.  A missing
    // file is no problem.
    bool Load(const CDataFolder& folder);
    // The same for explicit paths; legacyPortsPath may be empty.
    bool LoadFiles(const std::string& placesPath, const std::string& legacyPortsPath);

    // Writes the book to the path it was loaded from, through the safe writer.  Refused after a
    // read with problems.  False with a Japanese reason in error.
    bool Save(std::string& error) const;
    bool CanSave() const { return m_loaded && m_problems.empty(); }

    const std::vector<CSideFileProblem>& Problems() const { return m_problems; }
    // The problems in one Japanese text: the file, then up to a few lines and their reasons.
    std::string ProblemText() const;
    // True when the ports came from the old tide-port file on this load.
    bool CarriedOver() const { return m_carriedOver; }
    const std::string& Path() const { return m_path; }

    // The tide ports as the tide code takes them.
    const CTidePortChoices& Ports() const { return m_ports; }
    std::string HomePortId() const { return m_ports.HomePortId(); }
    void SetHomePortId(const std::string& id) { m_ports.SetHomePortId(id); }
    std::string PortForPlace(const std::string& place) const { return m_ports.PortForPlace(place); }
    void SetPortForPlace(const std::string& place, const std::string& id);

    // The place's entry (its key is the trimmed text); nullptr when the book has nothing of it.
    const CPlaceInfo* Find(const std::string& place) const;
    // Every place the book knows, ordered by name.
    std::vector<CPlaceInfo> Places() const;
    size_t PlaceCount() const { return m_places.size(); }

    // Gives place a position.  A photo's position only fills a place that has none; any other
    // source replaces a photo's position, and replaces a position the user set only when
    // overwrite is true (else NeedsAsking).
    EPositionChange SetPosition(const std::string& place, const CGeoPoint& point,
                                EPositionSource source, bool overwrite = false);
    void ForgetPosition(const std::string& place);

    // The place with a position nearest to point within maxKm, nullptr when none is.
    const CPlaceInfo* NearestPlace(const CGeoPoint& point, double maxKm) const;

    // The key a place text is kept under: surrounding spaces dropped, tabs and line breaks as
    // spaces; "" for a text of spaces only.
    static std::string PlaceKey(const std::string& place);

private:
    CPlaceInfo& Entry(const std::string& key);
    bool ReadFile(const std::string& path, bool& missing);

    const CTideStations* m_stations;
    std::string m_path;
    bool m_loaded = false;
    bool m_carriedOver = false;
    std::vector<CSideFileProblem> m_problems;
    CTidePortChoices m_ports;                    // the ports of m_places, as the tides take them
    std::map<std::string, CPlaceInfo> m_places;  // by key
};

// The ports of folder's places file (or of the old tide-port file) over stations, for the pages
// that show tides.  What could not be read is left out; problems (when given) receives the
// Japanese text naming the file and lines, "" when there were none.
std::unique_ptr<CTidePortLookup> TidePortLookupOf(const CDataFolder& folder,
                                                  const CTideStations& stations,
                                                  std::string* problems = nullptr);
// The same over the shipped stations.
std::unique_ptr<CTidePortLookup> TidePortLookupOf(const CDataFolder& folder,
                                                  std::string* problems = nullptr);

// The largest places file read or written: far more places than one angler's log holds.
inline constexpr size_t kMaxPlacesFileBytes = 1024 * 1024;

// What saving a trip tells the places book about its 場所: the tide port it was saved with and a
// position for it.
struct CPlaceFacts {
    std::string place;   // the trip's 場所; nothing is kept for an empty one
    std::string portId;  // "" keeps the place's port as it is
    std::optional<CGeoPoint> position;
    EPositionSource source = EPositionSource::None;
    bool overwrite = false;  // the user agreed to replace a position they had set
};

// Keeps the facts of trips just saved in folder's places file: the file is read again (another
// window may have kept a port or a position since they were chosen), each place given its port
// and its position by SetPosition's rules, and the file written once when anything changed.
// False with a Japanese reason when it could not be written; a file read with problems is never
// written, so facts that would change it give that reason.
bool KeepPlaceFacts(const CDataFolder& folder, const CTideStations* stations,
                    const std::vector<CPlaceFacts>& facts, std::string& error);
