#include "phototrips/PhotoTripPlan.h"

#include <algorithm>

namespace {

// A trip while it is being gathered: its first day, its last photo's time and the positions
// that stand for its place.
struct COpenTrip {
    CPlannedTrip trip;
    CCaptureTime firstDay;
    JapanSeconds last = 0;
    std::vector<CGeoPoint> places;
};

bool SameDay(const CCaptureTime& a, const CCaptureTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

// Positions this close to one already kept add nothing to where a trip is: a burst of a
// thousand photos at one rock keeps one.
constexpr double kSamePlaceKm = 0.2;

}  // namespace

CTripPlan GroupPhotosIntoTrips(const std::vector<CScannedPhoto>& photos)
{
    CTripPlan plan;
    std::vector<size_t> order;
    for (size_t i = 0; i < photos.size(); ++i) {
        if (photos[i].timeSource == EPhotoTimeSource::Unknown)
            plan.undated.push_back(i);
        else
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return photos[a].time < photos[b].time; });

    std::vector<COpenTrip> open;
    for (const size_t index : order) {
        const CScannedPhoto& photo = photos[index];
        const CCaptureTime day = JapanCalendarOf(photo.time);
        int strong = -1;  // a trip at this photo's place
        int weak = -1;    // a trip that does not say where it was
        for (size_t t = 0; t < open.size(); ++t) {
            const COpenTrip& trip = open[t];
            if (!SameDay(trip.firstDay, day) && photo.time - trip.last > kNightGapSeconds) continue;
            const auto later = [&](int best) {
                return best < 0 || trip.last >= open[size_t(best)].last;
            };
            if (photo.hasPosition && !trip.places.empty()) {
                const bool near = std::any_of(
                    trip.places.begin(), trip.places.end(), [&](const CGeoPoint& place) {
                        return GeoDistanceKm(place, photo.position) <= kTripSplitKm;
                    });
                if (near && later(strong)) strong = int(t);
            } else if (later(weak)) {
                weak = int(t);
            }
        }
        const int chosen = strong >= 0 ? strong : weak;
        COpenTrip* trip = nullptr;
        if (chosen >= 0) {
            trip = &open[size_t(chosen)];
        } else {
            open.push_back({});
            trip = &open.back();
            trip->firstDay = day;
        }
        trip->trip.photos.push_back(index);
        trip->last = photo.time;
        if (photo.hasPosition &&
            std::none_of(trip->places.begin(), trip->places.end(), [&](const CGeoPoint& place) {
                return GeoDistanceKm(place, photo.position) <= kSamePlaceKm;
            }))
            trip->places.push_back(photo.position);
    }
    for (COpenTrip& trip : open) plan.trips.push_back(std::move(trip.trip));
    return plan;
}

std::vector<CPlannedCatch> GroupCatches(const std::vector<CScannedPhoto>& scanned,
                                        const std::vector<size_t>& photos,
                                        const std::vector<bool>& fish)
{
    std::vector<CPlannedCatch> catches;
    JapanSeconds previous = 0;
    for (size_t i = 0; i < photos.size() && i < fish.size(); ++i) {
        if (!fish[i]) continue;
        const JapanSeconds time = scanned[photos[i]].time;
        if (catches.empty() || time - previous > kCatchBurstSeconds) catches.push_back({time, {}});
        catches.back().photos.push_back(photos[i]);
        previous = time;
    }
    return catches;
}
