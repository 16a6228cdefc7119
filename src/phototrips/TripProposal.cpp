#include "phototrips/TripProposal.h"

#include <cstdio>
#include <ostream>

#include "data/CatchStore.h"
#include "places/PlaceBook.h"
#include "tides/TideEntryTexts.h"
#include "tides/TideStations.h"

std::function<std::string(const CGeoPoint&)> PlaceNearFunction(const CPlaceBook& book)
{
    return [&book](const CGeoPoint& point) {
        const CPlaceInfo* place = book.NearestPlace(point, kPlaceNearKm);
        return place ? place->name : std::string();
    };
}

CTripProposals ProposeTrips(CPhotoScan scan, const CProposalContext& context)
{
    CTripProposals proposals;
    const CTripPlan plan = GroupPhotosIntoTrips(scan.photos);
    proposals.scan = std::move(scan);
    proposals.undated = plan.undated;
    for (const CPlannedTrip& planned : plan.trips) {
        CProposedTrip trip;
        trip.species = context.species;
        for (size_t i = 0; i < planned.photos.size(); ++i)
            trip.photos.push_back({planned.photos[i], i > 0, true});
        FindTripFacts(trip, proposals.scan, context);
        proposals.trips.push_back(std::move(trip));
    }
    return proposals;
}

bool ProposeTripsFromLog(const std::vector<std::string>& inputs, const CCatchStore& store,
                         CProposalContext& context, const CPhotoScanOptions& options,
                         CTripProposals& proposals, std::string& error)
{
    std::vector<CTripRecord> trips;
    const CStoreResult read = store.ReadAllTrips(trips);
    if (!read.ok() && read.status != EStoreStatus::Missing) {
        error = DescribeStoreResult(read, store.GetPath());
        return false;
    }
    proposals = ProposeTripsFromPhotos(inputs, trips, store.GetDataDir(), context, options);
    return true;
}

CTripProposals ProposeTripsFromPhotos(const std::vector<std::string>& inputs,
                                      const std::vector<CTripRecord>& logTrips,
                                      const std::string& dataDir, CProposalContext& context,
                                      const CPhotoScanOptions& options)
{
    context.species = LastSpeciesUsed(logTrips);
    CPhotoScan scan = ScanPhotos(inputs, options);
    if (scan.cancelled) {
        CTripProposals cancelled;
        cancelled.scan.cancelled = true;
        return cancelled;
    }
    SkipKnownPhotos(scan, TripPhotoPaths(logTrips), dataDir);
    return ProposeTrips(std::move(scan), context);
}

void FindTripFacts(CProposedTrip& trip, const CPhotoScan& scan, const CProposalContext& context)
{
    trip.hasPosition = false;
    bool dayKnown = false;
    for (const CProposedPhoto& photo : trip.photos) {
        const CScannedPhoto& scanned = scan.photos[photo.photo];
        if (!dayKnown) {
            trip.day = JapanCalendarOf(scanned.time);
            dayKnown = true;
        }
        if (!trip.hasPosition && scanned.hasPosition) {
            trip.hasPosition = true;
            trip.position = scanned.position;
        }
    }
    if (trip.place.empty() && trip.hasPosition && context.placeNear)
        trip.place = context.placeNear(trip.position);
    trip.port = nullptr;
    trip.placeOffer.clear();
    trip.highTide.clear();
    trip.ebbTide.clear();
    if (!context.stations || !context.choices) return;
    const CPhotoPosition position{trip.hasPosition, trip.position.latitude,
                                  trip.position.longitude};
    trip.port = ChooseTidePort(*context.stations, *context.choices, trip.place, position).station;
    if (trip.hasPosition) {
        const CTidePortDefault nearest =
            ChooseTidePort(*context.stations, CTidePortChoices(), {}, position);
        if (nearest.source == ETidePortSource::Photo) trip.placeOffer = nearest.station->nameJa;
    }
    if (trip.port && dayKnown) {
        const CTideDayTexts tides =
            DayTideTexts(*trip.port, trip.day.year, trip.day.month, trip.day.day);
        trip.highTide = tides.high;
        trip.ebbTide = tides.low;
    }
}

std::vector<CPlannedCatch> ProposedCatches(const CProposedTrip& trip, const CPhotoScan& scan)
{
    std::vector<size_t> photos;
    std::vector<bool> fish;
    for (const CProposedPhoto& photo : trip.photos) {
        if (!photo.included) continue;
        photos.push_back(photo.photo);
        fish.push_back(photo.fish);
    }
    return GroupCatches(scan.photos, photos, fish);
}

std::string FormatProposalDate(const CCaptureTime& day)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", day.year, day.month, day.day);
    return text;
}

std::string FormatProposalTime(JapanSeconds time)
{
    const CCaptureTime at = JapanCalendarOf(time);
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", at.hour, at.minute);
    return text;
}

CTripRecord MakeTripRecord(const CProposedTrip& trip, const CPhotoScan& scan)
{
    if (trip.edited) return *trip.edited;
    CTripRecord record;
    record.date = FormatProposalDate(trip.day);
    record.place = trip.place;
    record.highTide = trip.highTide;
    record.ebbTide = trip.ebbTide;
    for (const CProposedPhoto& photo : trip.photos) {
        if (!photo.included) continue;
        (photo.fish ? record.fishPhotos : record.placePhotos)
            .push_back(scan.photos[photo.photo].path);
    }
    for (const CPlannedCatch& caught : ProposedCatches(trip, scan)) {
        const CCaptureTime at = JapanCalendarOf(caught.time);
        CCatchRecord fish;
        fish.name = trip.species;
        fish.height = "0";
        fish.weight = "0";
        fish.time = std::to_string(at.hour) + "時" + std::to_string(at.minute) + "分";
        record.catches.push_back(std::move(fish));
    }
    if (!record.catches.empty() && record.fishname.empty()) record.fishname = trip.species;
    return record;
}

CPlaceFacts TripPlaceFacts(const CProposedTrip& trip, const CPhotoScan& scan)
{
    if (trip.edited) return trip.editedPlace;
    CPlaceFacts facts;
    facts.place = trip.place;
    if (trip.port) facts.portId = trip.port->id;
    for (const CProposedPhoto& photo : trip.photos) {
        const CScannedPhoto& scanned = scan.photos[photo.photo];
        if (!photo.included || !scanned.hasPosition) continue;
        facts.position = scanned.position;
        facts.source = EPositionSource::Photo;
        break;
    }
    return facts;
}

std::string LastSpeciesUsed(const std::vector<CTripRecord>& trips)
{
    for (auto trip = trips.rbegin(); trip != trips.rend(); ++trip) {
        for (auto caught = trip->catches.rbegin(); caught != trip->catches.rend(); ++caught)
            if (!caught->name.empty()) return caught->name;
    }
    return {};
}

std::vector<std::string> TripPhotoPaths(const std::vector<CTripRecord>& trips)
{
    std::vector<std::string> paths;
    for (const CTripRecord& trip : trips) {
        paths.insert(paths.end(), trip.placePhotos.begin(), trip.placePhotos.end());
        paths.insert(paths.end(), trip.fishPhotos.begin(), trip.fishPhotos.end());
    }
    return paths;
}

namespace {

const char* TimeSourceNote(EPhotoTimeSource source)
{
    switch (source) {
        case EPhotoTimeSource::ExifOffset:
            return "";
        case EPhotoTimeSource::Exif:
            return " (時差不明: 日本時間として)";
        case EPhotoTimeSource::FileTime:
            return " (ファイルの日時)";
        case EPhotoTimeSource::Unknown:
            return " (日時不明)";
    }
    return "";
}

}  // namespace

void PrintTripProposals(const CTripProposals& proposals, std::ostream& out)
{
    const CPhotoScan& scan = proposals.scan;
    size_t number = 0;
    for (const CProposedTrip& trip : proposals.trips) {
        out << "釣行 " << ++number << ": " << FormatProposalDate(trip.day) << "\n";
        out << "  場所: " << (trip.place.empty() ? "(未定)" : trip.place);
        if (trip.place.empty() && !trip.placeOffer.empty()) out << " 候補: " << trip.placeOffer;
        if (trip.hasPosition) {
            char position[64];
            std::snprintf(position, sizeof position, " [%.5f, %.5f]", trip.position.latitude,
                          trip.position.longitude);
            out << position;
        }
        out << "\n  潮汐の港: " << (trip.port ? trip.port->nameJa : std::string("(なし)")) << "\n";
        out << "  満潮: " << trip.highTide << "\n  干潮: " << trip.ebbTide << "\n";
        out << "  写真 " << trip.photos.size() << " 枚:\n";
        for (const CProposedPhoto& photo : trip.photos) {
            const CScannedPhoto& scanned = scan.photos[photo.photo];
            out << "    " << FormatProposalTime(scanned.time) << " " << (photo.fish ? "魚" : "場所")
                << " " << scanned.path << TimeSourceNote(scanned.timeSource) << "\n";
        }
        const std::vector<CPlannedCatch> catches = ProposedCatches(trip, scan);
        out << "  釣果 " << catches.size() << " 件:\n";
        for (const CPlannedCatch& caught : catches) {
            out << "    " << FormatProposalTime(caught.time)
                << " 魚種: " << (trip.species.empty() ? "(未定)" : trip.species) << " 写真 "
                << caught.photos.size() << " 枚\n";
        }
    }
    if (!proposals.undated.empty()) {
        out << "日時不明 " << proposals.undated.size() << " 枚:\n";
        for (const size_t index : proposals.undated) out << "  " << scan.photos[index].path << "\n";
    }
    if (!scan.skipped.empty()) {
        out << "取り込まないファイル " << scan.skipped.size() << " 件:\n";
        for (const CSkippedFile& skipped : scan.skipped)
            out << "  " << skipped.path << ": " << skipped.reason << "\n";
    }
    if (proposals.trips.empty()) out << "新しい釣行はありません\n";
}
