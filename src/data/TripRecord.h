#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The longest text of a trip (each value, photo path and catch text) in CP932 bytes: a reader of
// the catch file keeps no more of a text, so a writer never stores a longer one.
inline constexpr size_t kMaxTripTextBytes = 255;

// One fish caught on a trip: the four texts of a "fish" element.
struct CCatchRecord {
    std::string name;    // species
    std::string height;  // body length in cm, decimal integer text
    std::string weight;  // weight in kg, decimal integer text
    std::string time;    // hour text + "時" + minute text + "分"
    bool operator==(const CCatchRecord&) const = default;
};

// One fishing trip: the texts of a "FishData" element and its photos and catches, as the store
// operations exchange them.  Line breaks inside texts are "\n" in memory.
struct CTripRecord {
    std::string fishname;  // target species
    std::string weather;
    std::string date;  // year/month/day
    std::string water;
    std::string highTide;
    std::string ebbTide;
    std::string method;
    std::string place;
    std::string memo;
    std::vector<std::string> placePhotos;
    std::vector<std::string> fishPhotos;
    std::vector<CCatchRecord> catches;
    bool operator==(const CTripRecord&) const = default;
};

// One row of the trip list: its columns in the order shown.
struct CTripRow {
    static constexpr int kColumnCount = 5;

    std::string number;  // position + 1, as decimal text
    std::string date;
    std::string weather;
    std::string fishname;
    std::string place;
    bool operator==(const CTripRow&) const = default;

    // The text of column 0 to kColumnCount - 1.
    const std::string& Column(int column) const
    {
        const std::string* const columns[kColumnCount] = {&number, &date, &weather, &fishname,
                                                          &place};
        return *columns[column];
    }
};

// The trip list's row of trip, the one at position (zero-based) in the catch file.
inline CTripRow MakeTripRow(const CTripRecord& trip, size_t position)
{
    return {std::to_string(position + 1), trip.date, trip.weather, trip.fishname, trip.place};
}

enum class EPhotoKind { Place, Fish };
