#pragma once

// A position on the earth in WGS 84 degrees: north and east positive.
struct CGeoPoint {
    double latitude = 0;
    double longitude = 0;

    friend bool operator==(const CGeoPoint&, const CGeoPoint&) = default;
};

// A latitude within ±90° and a longitude within ±180°, both finite.
bool IsValidGeoPoint(const CGeoPoint& point);

// The great-circle distance in kilometres (a sphere of the earth's mean radius).
double GeoDistanceKm(const CGeoPoint& a, const CGeoPoint& b);
