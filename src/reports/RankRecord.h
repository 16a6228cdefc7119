#pragma once

#include <cstdint>
#include <string>

// One catch of the ranking before it is sorted: the catch's weight and length as stored and read
// exactly (thousandths), the texts of the trip it was caught on, and whether it is the all-time
// best of its species.
struct CRankRecord {
    static constexpr size_t kDateBytes = 99;
    static constexpr size_t kWeatherBytes = 99;
    static constexpr size_t kPlaceBytes = 255;

    int64_t weight = 0;
    int64_t length = 0;
    std::string weightText;
    std::string lengthText;
    bool personalBest = false;
    std::string date;
    std::string weather;
    std::string place;
};
