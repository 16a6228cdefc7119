#pragma once

#include <string>

// One catch of the ranking before it is sorted: the catch's weight and length read as decimal
// integers and the texts of the trip it was caught on.
struct CRankRecord {
    static constexpr size_t kDateBytes = 99;
    static constexpr size_t kWeatherBytes = 99;
    static constexpr size_t kPlaceBytes = 255;

    int weight = 0;
    int length = 0;
    std::string date;
    std::string weather;
    std::string place;
};
