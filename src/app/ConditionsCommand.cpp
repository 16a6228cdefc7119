#include "app/ConditionsCommand.h"

#include <ostream>
#include <vector>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/DecimalInt.h"
#include "places/PlaceBook.h"
#include "reports/CatchConditions.h"
#include "tides/TidePortLookup.h"
#include "tides/TidePrinter.h"
#include "tides/TideStations.h"

int PrintConditionsCommand(const CDataFolder& folder, const std::string& year,
                           const std::string& species, const std::string& port, std::ostream& out,
                           std::ostream& err)
{
    CConditionQuery query;
    query.species = species;
    if (!ParseWholeDecimalInt(year, query.year) || query.year < 1 || query.year > 9999) {
        err << "lurebook: --print-conditions には年を指定してください (「" << year
            << "」は年ではありません)。\n";
        return 2;
    }
    std::string error;
    const CTideStations& stations = ShippedTideStations(&error);
    if (stations.All().empty()) {
        err << "lurebook: " << error << "\n";
        return 2;
    }
    if (!port.empty()) {
        const CTideStation* station = ResolveTidePort(stations, port, err);
        if (station == nullptr) return 1;
        query.fallbackPort = station->id;
    }

    const CCatchStore store(folder.GetCatchFile());
    // Ports left out of a damaged side file would count their trips at the wrong port.
    std::string problems;
    const std::unique_ptr<CTidePortLookup> lookup = TidePortLookupOf(folder, stations, &problems);
    if (!problems.empty()) {
        err << "lurebook: " << problems << "\n";
        return 1;
    }
    std::vector<CConditionTable> tables;
    const CStoreResult result =
        ReadConditionTables(store, query, CLookupTripPorts(*lookup), stations, tables);
    if (!result.ok()) {
        err << "lurebook: " << DescribeStoreResult(result, store.GetPath()) << "\n";
        return 2;
    }
    WriteConditionTables(tables, out);
    out.flush();
    if (!out) {
        err << "lurebook: the counts could not be written out\n";
        return 2;
    }
    return 0;
}
