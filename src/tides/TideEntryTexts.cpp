#include "tides/TideEntryTexts.h"

#include <cstdio>

#include "tides/TidePredictor.h"

CTidePortDefault ChooseTidePort(const CTideStations& stations, const CTidePortChoices& choices,
                                const std::string& place, const CPhotoPosition& photo)
{
    CTidePortDefault chosen;
    const std::string placePort = choices.PortForPlace(place);
    if (!placePort.empty()) {
        chosen.station = stations.FindById(placePort);
        if (chosen.station != nullptr) {
            chosen.source = ETidePortSource::Place;
            return chosen;
        }
    }
    if (photo.valid) {
        double km = 0;
        const CTideStation* nearest = stations.Nearest(photo.latitude, photo.longitude, &km);
        if (nearest != nullptr && km <= kMaxPhotoPortKm) {
            chosen.station = nearest;
            chosen.source = ETidePortSource::Photo;
            chosen.km = km;
            return chosen;
        }
    }
    chosen.station = stations.FindById(choices.HomePortId());
    if (chosen.station != nullptr) chosen.source = ETidePortSource::Home;
    return chosen;
}

CTideDayTexts DayTideTexts(const CTideStation& station, int year, int month, int day)
{
    CTideDayTexts texts;
    const CTidePredictor predictor(station);
    for (const CTideExtreme& extreme : predictor.DayExtremes(year, month, day)) {
        char time[16];
        std::snprintf(time, sizeof time, "%d:%02d", extreme.hour, extreme.minute);
        std::string& field = extreme.high ? texts.high : texts.low;
        if (!field.empty()) field += " / ";
        field += time;
    }
    return texts;
}
