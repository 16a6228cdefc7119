#include "tides/TidePortLookup.h"

#include "data/DataFolder.h"
#include "tides/TideStations.h"

CTidePortLookup::CTidePortLookup(const CTideStations& stations, const std::string& sideFilePath)
    : m_stations(stations), m_choices(&stations)
{
    // A side file that cannot be used in whole leaves the defaults: no ports, so no tides.
    std::string error;
    m_choices.Load(sideFilePath, error);
}

std::unique_ptr<CTidePortLookup> CTidePortLookup::FromDataFolder(const CDataFolder& folder)
{
    return std::make_unique<CTidePortLookup>(ShippedTideStations(), folder.GetTidePortsFile());
}

const CTideStation* CTidePortLookup::HomePort() const
{
    const std::string id = m_choices.HomePortId();
    return id.empty() ? nullptr : m_stations.FindById(id);
}

const CTideStation* CTidePortLookup::PortForPlace(const std::string& place) const
{
    const std::string id = m_choices.PortForPlace(place);
    if (!id.empty()) {
        if (const CTideStation* station = m_stations.FindById(id)) return station;
    }
    return HomePort();
}
