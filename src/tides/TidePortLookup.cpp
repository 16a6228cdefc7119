#include "tides/TidePortLookup.h"

#include "tides/TideStations.h"

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
