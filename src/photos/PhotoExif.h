#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The moment a photo was taken, as the camera's clock said (no time zone).
struct CCaptureTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool valid() const { return year > 0; }
    auto operator<=>(const CCaptureTime&) const = default;
};

// Reads "YYYY:MM:DD HH:MM:SS" as EXIF writes dates; an invalid time for anything else (cameras
// with an unset clock write zeros or blanks).
CCaptureTime ParseExifDateTime(const std::string& text);

// What a photo's EXIF block tells about showing it.
struct CExifFacts {
    // 1-8 as the Orientation tag says; 1 when missing or out of range.
    int orientation = 1;
    // DateTimeOriginal.
    CCaptureTime captured;
    // OffsetTimeOriginal: how far the camera's clock was ahead of UTC when it took the photo
    // ("+09:00" is 540 minutes), when the block records it.
    bool hasOffset = false;
    int offsetMinutes = 0;
    // The embedded thumbnail's JPEG bytes, empty when there is none.
    std::vector<uint8_t> thumbnail;
    // Where the photo was taken (GPS latitude and longitude in degrees, south and west
    // negative), when the block records a usable position.
    bool hasPosition = false;
    double latitude = 0;
    double longitude = 0;
};

// Reads an EXIF offset as EXIF writes it ("+09:00", "-05:30"); false for anything else (blanks
// and "   :  " stand for an unknown offset).
bool ParseExifOffset(const std::string& text, int& minutes);

// Reads an EXIF block as a JPEG APP1 segment carries it ("Exif\0\0" and the TIFF structure)
// with libexif.  Broken blocks give what could be read; blocks larger than a segment can be are
// refused whole.
CExifFacts ReadExifFacts(const uint8_t* data, size_t size);

// Largest EXIF block accepted: one JPEG segment.
inline constexpr size_t kMaxExifBytes = 65533;
