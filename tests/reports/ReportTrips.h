#pragma once

#include <string>
#include <utility>
#include <vector>

#include "data/TripRecord.h"

// A trip of the reports' tests: a date, its catches, fish photos and a place; the other texts
// are the same for every trip.
inline CTripRecord ReportTrip(const std::string& date, std::vector<CCatchRecord> catches,
                              std::vector<std::string> photos = {},
                              const std::string& place = "城ヶ島")
{
    CTripRecord trip;
    trip.date = date;
    trip.place = place;
    trip.weather = "晴れ";
    trip.fishname = "シーバス";
    trip.catches = std::move(catches);
    trip.fishPhotos = std::move(photos);
    return trip;
}
