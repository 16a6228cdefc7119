#include "places/MapPlaces.h"

#include <set>

#include "places/PlaceBook.h"
#include "tides/TideStations.h"

CMapPlaces CollectMapPlaces(const std::vector<CTripRecord>& trips, const CPlaceFilter& filter,
                            const CPlaceBook& book, const CTideStations& stations)
{
    CMapPlaces shown;
    std::set<std::string> ports;
    for (CPlaceTally& tally : TallyPlaces(trips, filter)) {
        const CPlaceInfo* info = book.Find(tally.place);
        if (info == nullptr || !info->hasPosition) continue;
        shown.places.push_back(
            {tally.place, info->position, tally.catches, static_cast<int>(tally.trips.size())});
        const std::string portId = book.PortForPlace(tally.place);
        if (const CTideStation* port = stations.FindById(portId);
            port != nullptr && ports.insert(portId).second) {
            shown.ports.push_back({port->nameJa, {port->latitude, port->longitude}});
        }
        shown.tallies.push_back(std::move(tally));
    }
    return shown;
}
