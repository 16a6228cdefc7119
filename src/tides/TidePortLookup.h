#pragma once

#include <memory>
#include <string>

#include "tides/TidePortChoices.h"

class CDataFolder;
class CTideStations;
struct CTideStation;

// The ports the pages show tides for: the home port, and for a trip the port chosen for its
// 場所 text (else the home port), from the side file in Data/ and the station list.
class CTidePortLookup {
public:
    CTidePortLookup(const CTideStations& stations, const std::string& sideFilePath);
    // The shipped stations and the side file of folder.
    static std::unique_ptr<CTidePortLookup> FromDataFolder(const CDataFolder& folder);

    const CTideStation* HomePort() const;
    const CTideStation* PortForPlace(const std::string& place) const;

private:
    const CTideStations& m_stations;
    CTidePortChoices m_choices;
};
