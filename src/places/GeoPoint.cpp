#include "places/GeoPoint.h"

#include <cmath>

#include "tides/TideStations.h"

bool IsValidGeoPoint(const CGeoPoint& point)
{
    return std::isfinite(point.latitude) && std::isfinite(point.longitude) &&
           std::fabs(point.latitude) <= 90 && std::fabs(point.longitude) <= 180;
}

double GeoDistanceKm(const CGeoPoint& a, const CGeoPoint& b)
{
    return TideDistanceKm(a.latitude, a.longitude, b.latitude, b.longitude);
}
