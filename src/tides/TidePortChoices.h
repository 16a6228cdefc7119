#pragma once

#include <map>
#include <string>

#include "data/DataFolder.h"

class CTideStations;

// The side file of tide ports in Data/: the home port (the calendar's tides) and, for each
// 場所 text a trip was saved with, the port chosen for it then.  Kept apart from the catch file,
// whose layout stays as the original program wrote it.  Its path: kTidePortsFileName
// (data/DataFolder.h).

class CTidePortChoices {
public:
    // With stations given, ids the station list does not know are dropped when loading.
    explicit CTidePortChoices(const CTideStations* stations = nullptr) : m_stations(stations) {}

    // Reads the file and remembers its path for Save.  A missing file gives the defaults (no
    // home port, no places) and no error.  A file that cannot be used in whole (unreadable, too
    // large, not text) gives the defaults; single bad lines (unknown keys, foreign ids) are left
    // out.  Either way false with a message naming the file, the lines and the reason.
    bool Load(const std::string& path, std::string& error);
    // Writes the choices to the path Load was given, through the safe writer; false with the
    // reason (the previous file is then untouched).
    bool Save(std::string& error) const;

    std::string HomePortId() const { return m_homePortId; }
    void SetHomePortId(const std::string& id) { m_homePortId = id; }
    // The port last chosen for this 場所 text (compared with surrounding spaces left out);
    // "" when none.
    std::string PortForPlace(const std::string& place) const;
    // An empty place or id is not kept; an empty id forgets the place.
    void SetPortForPlace(const std::string& place, const std::string& id);

    const std::string& Path() const { return m_path; }
    size_t PlaceCount() const { return m_portByPlace.size(); }

private:
    const CTideStations* m_stations;
    std::string m_path;
    std::string m_homePortId;
    std::map<std::string, std::string> m_portByPlace;
};

// The largest side file read or written: far more places than one angler's log holds.
inline constexpr size_t kMaxTidePortsFileBytes = 256 * 1024;
