#pragma once

#include <string>

#include "places/GeoPoint.h"

// Reads a position as people type or paste it:
//  - decimal degrees "35.6581, 139.7414" (latitude first; comma, spaces or both between), with
//    optional N/S/E/W letters or 北緯/南緯/東経/西経 before or after each number;
//  - degrees, minutes and seconds "35°39'29\"N 139°47'E" (also ° ′ ″ and 度 分 秒, and
//    "35 39 29.5 N");
//  - a map link carrying the position: Google Maps (@lat,lon / q=lat,lon / ll=), OpenStreetMap
//    (#map=zoom/lat/lon, mlat=&mlon=) and 地理院地図 (#zoom/lat/lon).
// False for anything else, and for a position outside ±90° / ±180°.
bool ParseCoordinateText(const std::string& text, CGeoPoint& point);

// "35.658100, 139.741400": the decimal form ParseCoordinateText reads back.
std::string FormatCoordinateText(const CGeoPoint& point);
