#pragma once

#include <cstddef>
#include <vector>

#include "phototrips/PhotoScan.h"

// How photos become trips.  The manual states the same rule and distances in words.
//
// Photos with a time, in time order, join a trip when they were taken on the trip's first day,
// or within kNightGapSeconds of its last photo (a night trip goes on past midnight), and at its
// place: within kTripSplitKm of one of its photos with a position.  A photo without a position
// joins the most recent such trip; a trip without positions takes the first photo with one.
// Every other photo starts a trip of its own.  Photos of unknown time are left out for the user.
inline constexpr double kTripSplitKm = 3.0;
inline constexpr JapanSeconds kNightGapSeconds = 3 * 3600;
// A fish photo taken within this of the previous fish photo shows the same catch.
inline constexpr JapanSeconds kCatchBurstSeconds = 60;

struct CPlannedTrip {
    std::vector<size_t> photos;  // indexes into the scanned photos, in time order
};

struct CTripPlan {
    std::vector<CPlannedTrip> trips;  // in order of their first photo
    std::vector<size_t> undated;      // photos of unknown time, in path order
};

CTripPlan GroupPhotosIntoTrips(const std::vector<CScannedPhoto>& photos);

// One catch proposed from a run of fish photos.
struct CPlannedCatch {
    JapanSeconds time = 0;       // the first photo's
    std::vector<size_t> photos;  // indexes into the scanned photos
};

// The catches that the fish photos of a trip show: photos (indexes in time order) with fish
// telling which are marked 魚.
std::vector<CPlannedCatch> GroupCatches(const std::vector<CScannedPhoto>& scanned,
                                        const std::vector<size_t>& photos,
                                        const std::vector<bool>& fish);
