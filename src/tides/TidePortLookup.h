#pragma once

#include <string>

#include "tides/TidePortChoices.h"

class CTideStations;
struct CTideStation;

// The ports the pages show tides for: the home port, and for a trip the port chosen for its
// 場所 text (else the home port), from the choices kept in Data/ (places/PlaceBook.h reads
// them) and the station list.
class CTidePortLookup {
public:
    CTidePortLookup(const CTideStations& stations, CTidePortChoices choices)
        : m_stations(stations), m_choices(std::move(choices))
    {
    }

    const CTideStation* HomePort() const;
    const CTideStation* PortForPlace(const std::string& place) const;

private:
    const CTideStations& m_stations;
    CTidePortChoices m_choices;
};
