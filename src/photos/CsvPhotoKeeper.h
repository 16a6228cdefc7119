#pragma once

#include <functional>

#include "data/TripCsv.h"
#include "photos/PhotoCopies.h"

// What a CSV import does with the photos its trips name: each is copied into the picture folder
// by the rules of a trip's first save (CPhotoCopies), and the trips name the copies; a photo
// that cannot be copied (missing, not a picture) keeps its path and is listed.  copies must
// outlive the keeper.  copyTrip, when given, copies one trip's photos in place of
// copies.CopyTripPhotos (the window runs them with a progress dialog that can stop them).
using CopyTripFunction = std::function<CPhotoCopies::CCopyReport(CTripRecord& trip)>;
CCsvPhotoKeeper MakeCsvPhotoKeeper(const CPhotoCopies& copies, CopyTripFunction copyTrip = {});
