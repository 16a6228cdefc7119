#include "tides/TidePortList.h"

#include <cstdio>
#include <ostream>

#include "tides/TideStations.h"

int PrintTidePorts(const std::string& stationsPath, std::ostream& out, std::ostream& err)
{
    CTideStations stations;
    std::string error;
    if (!stations.Load(stationsPath, error)) {
        err << "lurebook: " << error << "\n";
        return 1;
    }
    for (const CTideStation* port : stations.Shown()) {
        char position[64];
        std::snprintf(position, sizeof position, "%.5f\t%.5f", port->latitude, port->longitude);
        out << port->id << '\t' << port->nameJa << '\t' << port->nameRomaji << '\t'
            << port->prefecture << '\t' << position << '\n';
    }
    out.flush();
    if (!out) {
        err << "lurebook: 港の一覧を書き出せませんでした。\n";
        return 1;
    }
    return 0;
}
