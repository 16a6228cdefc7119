#include "app/PhotoTripsCommand.h"

#include <filesystem>
#include <ostream>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "phototrips/TripProposal.h"
#include "places/PlaceBook.h"
#include "tides/TideStations.h"

int ProposeTripsCommand(const CDataFolder& folder, const std::string& dir, std::ostream& out,
                        std::ostream& err)
{
    std::error_code error;
    if (dir.empty() || !std::filesystem::is_directory(dir, error)) {
        err << "フォルダがありません: " << dir << "\n";
        return 2;
    }
    // Without stations the trips are still proposed, without port and tides.
    std::string stationsError;
    const CTideStations& stations = ShippedTideStations(&stationsError);
    // A places file read only in part still names the places it could read.
    CPlaceBook places(&stations);
    places.Load(folder);

    CCatchStore store(folder.GetCatchFile());
    CProposalContext context;
    context.stations = &stations;
    context.choices = &places.Ports();
    context.placeNear = PlaceNearFunction(places);
    CTripProposals proposals;
    std::string why;
    if (!ProposeTripsFromLog({dir}, store, context, {}, proposals, why)) {
        err << why << "\n";
        return 2;
    }
    PrintTripProposals(proposals, out);
    return 0;
}
