#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "data/TripRecord.h"
#include "phototrips/PhotoScan.h"
#include "phototrips/PhotoTripPlan.h"
#include "places/PlaceBook.h"

class CCatchStore;
class CTideStations;
class CTidePortChoices;
struct CTideStation;

// A known place (with a position) this close to a trip's photos names its 場所.
inline constexpr double kPlaceNearKm = 1.0;

// The name of the place of book nearest to a position within kPlaceNearKm ("" for none); book
// outlives the function.
std::function<std::string(const CGeoPoint&)> PlaceNearFunction(const CPlaceBook& book);

// What proposing trips draws on besides the photos.
struct CProposalContext {
    const CTideStations* stations = nullptr;
    const CTidePortChoices* choices = nullptr;
    // The name of the known place nearest to a position within kPlaceNearKm; empty for none.
    std::function<std::string(const CGeoPoint&)> placeNear;
    // The species offered for the catches: the last one the log used.
    std::string species;
};

// One photo of a proposed trip as the user marks it.
struct CProposedPhoto {
    size_t photo = 0;  // index into the scan's photos
    bool fish = false;
    bool included = true;
};

// One trip proposed from photos, with what was found for it.
struct CProposedTrip {
    bool included = true;
    CCaptureTime day;  // its date (the first photo's day in Japan time)
    std::vector<CProposedPhoto> photos;
    bool hasPosition = false;
    CGeoPoint position;      // the first photo with a position
    std::string place;       // a known place within kPlaceNearKm; empty for the user to fill
    std::string placeOffer;  // the nearest port's name, offered when place is empty
    const CTideStation* port = nullptr;
    std::string highTide;
    std::string ebbTide;
    std::string species;  // given to every catch
    // The trip as the user finished it in the entry dialog: saved as it is, and what its place
    // keeps as that dialog left it.
    std::optional<CTripRecord> edited;
    CPlaceFacts editedPlace;
};

struct CTripProposals {
    CPhotoScan scan;
    std::vector<CProposedTrip> trips;
    std::vector<size_t> undated;  // photos of unknown time
};

// The trips the photos of scan make (photos already in the log taken out beforehand).  The first
// photo of each trip is marked 場所, the others 魚.
CTripProposals ProposeTrips(CPhotoScan scan, const CProposalContext& context);

// The whole way from photos to proposals: scans inputs, leaves out the photos the trips of store
// already have, offers the log's last species and proposes trips.  context.species is set here.
// False with the Japanese reason when the catch file exists but cannot be read (nothing could be
// told apart from what the log has); a missing catch file is an empty log.
bool ProposeTripsFromLog(const std::vector<std::string>& inputs, const CCatchStore& store,
                         CProposalContext& context, const CPhotoScanOptions& options,
                         CTripProposals& proposals, std::string& error);

// The same for trips already read (for a worker thread, which may not use the store): the photos
// of logTrips (relative paths taken from dataDir) are left out, their last species offered.
CTripProposals ProposeTripsFromPhotos(const std::vector<std::string>& inputs,
                                      const std::vector<CTripRecord>& logTrips,
                                      const std::string& dataDir, CProposalContext& context,
                                      const CPhotoScanOptions& options);

// Place, port and tides of trip from its photos' position and date; called again after the user
// changes the place.
void FindTripFacts(CProposedTrip& trip, const CPhotoScan& scan, const CProposalContext& context);

// The catches the included fish photos of trip show.
std::vector<CPlannedCatch> ProposedCatches(const CProposedTrip& trip, const CPhotoScan& scan);

// The trip record to save: the edited one when there is one; otherwise date, place, tides, the
// included photos as place and fish photos and a catch per run of fish photos at its time.
CTripRecord MakeTripRecord(const CProposedTrip& trip, const CPhotoScan& scan);

// What saving trip keeps in the places file: as the entry dialog left it for an edited trip;
// otherwise its 場所, its port and the position of its first included photo that has one, as a
// photo's position (filling only a place without one).
CPlaceFacts TripPlaceFacts(const CProposedTrip& trip, const CPhotoScan& scan);

// "2026/05/03" and "6:40" as the preview and the command line show them.
std::string FormatProposalDate(const CCaptureTime& day);
std::string FormatProposalTime(JapanSeconds time);

// The species of the last catch of the last trip with one; empty when none.
std::string LastSpeciesUsed(const std::vector<CTripRecord>& trips);
// Every place and fish photo path the trips name.
std::vector<std::string> TripPhotoPaths(const std::vector<CTripRecord>& trips);

// The proposals as text for the command line: each trip with its date, place, port, tides,
// photos and catches, then the photos of unknown time and the files skipped.
void PrintTripProposals(const CTripProposals& proposals, std::ostream& out);
