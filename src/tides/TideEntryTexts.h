#pragma once

#include <string>

#include "tides/TidePortChoices.h"
#include "tides/TideStations.h"

// Where a trip's tide port came from when the user has not chosen one.
enum class ETidePortSource {
    None,   // no port known (no stations, or nothing to go by)
    Place,  // the port last used for the same 場所 text
    Photo,  // the port nearest to where the first photo with a GPS position was taken
    Home,   // the home port
};

struct CTidePortDefault {
    const CTideStation* station = nullptr;
    ETidePortSource source = ETidePortSource::None;
    double km = 0;  // from the photo's position, for ETidePortSource::Photo
};

// A photo farther than this from every port (taken inland or abroad) says nothing of the port.
inline constexpr double kMaxPhotoPortKm = 100;

struct CPhotoPosition {
    bool valid = false;
    double latitude = 0;
    double longitude = 0;
};

// The port a trip starts with: the one last used for its place, else the one nearest to the
// photo's position (within kMaxPhotoPortKm), else the home port.
CTidePortDefault ChooseTidePort(const CTideStations& stations, const CTidePortChoices& choices,
                                const std::string& place, const CPhotoPosition& photo);

// A day's high and low waters at a station as the entry dialog's 満潮 and 干潮 fields take them:
// every one of that Japan-time day, "H:MM" joined by " / " (empty when the day has none).
struct CTideDayTexts {
    std::string high;
    std::string low;
};
CTideDayTexts DayTideTexts(const CTideStation& station, int year, int month, int day);
