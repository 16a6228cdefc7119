#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/TripRecord.h"
#include "places/GeoPoint.h"

class CPlaceBook;

// The GPS position a photo file records, if any.  Tests hand in their own.
using CPhotoPositionReader = std::function<std::optional<CGeoPoint>(const std::string& path)>;
// Reads the EXIF block of a JPEG or HEIF photo (photos/ThumbnailDecoder.h).
std::optional<CGeoPoint> ReadPhotoPosition(const std::string& path);

// How many photos of a trip are opened at most to find its position.
inline constexpr size_t kMaxPhotosLookedAt = 10;

// Where a trip's photos put it: the first of its place photos, then of its fish photos, that
// records a position (at most kMaxPhotosLookedAt files opened).
std::optional<CGeoPoint> FirstPhotoPosition(const CTripRecord& trip,
                                            const CPhotoPositionReader& reader = ReadPhotoPosition);

// Where one catch of a trip stands.  The n-th fish photo goes with the n-th catch: its own
// position, when it records one, is the catch's point; any other catch stands at its trip's place.
struct CCatchPoint {
    size_t catchIndex = 0;
    CGeoPoint point;
    bool ownPoint = false;  // from the catch's own photo, not its trip's place
};
// Catches without a point (no photo position and a place without one) are left out.
std::vector<CCatchPoint> CatchPoints(const CTripRecord& trip, const CPlaceBook& book,
                                     const CPhotoPositionReader& reader = ReadPhotoPosition);
