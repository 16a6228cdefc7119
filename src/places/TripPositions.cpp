#include "places/TripPositions.h"

#include "photos/PhotoExif.h"
#include "photos/ThumbnailDecoder.h"
#include "places/PlaceBook.h"

std::optional<CGeoPoint> ReadPhotoPosition(const std::string& path)
{
    const CExifFacts facts = ReadPhotoExifFacts(path);
    if (!facts.hasPosition) return std::nullopt;
    const CGeoPoint point{facts.latitude, facts.longitude};
    if (!IsValidGeoPoint(point)) return std::nullopt;
    return point;
}

std::optional<CGeoPoint> FirstPhotoPosition(const CTripRecord& trip,
                                            const CPhotoPositionReader& reader)
{
    size_t looked = 0;
    for (const std::vector<std::string>* paths : {&trip.placePhotos, &trip.fishPhotos}) {
        for (const std::string& path : *paths) {
            if (++looked > kMaxPhotosLookedAt) return std::nullopt;
            if (std::optional<CGeoPoint> point = reader(path)) return point;
        }
    }
    return std::nullopt;
}

std::vector<CCatchPoint> CatchPoints(const CTripRecord& trip, const CPlaceBook& book,
                                     const CPhotoPositionReader& reader)
{
    const CPlaceInfo* place = book.Find(trip.place);
    std::vector<CCatchPoint> points;
    for (size_t i = 0; i < trip.catches.size(); ++i) {
        std::optional<CGeoPoint> own;
        if (i < trip.fishPhotos.size() && i < kMaxPhotosLookedAt) own = reader(trip.fishPhotos[i]);
        if (own) {
            points.push_back({i, *own, true});
        } else if (place != nullptr && place->hasPosition) {
            points.push_back({i, place->position, false});
        }
    }
    return points;
}
