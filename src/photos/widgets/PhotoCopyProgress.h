#pragma once

#include <functional>

#include "photos/PhotoCopies.h"

class QWidget;

// Copying the photos of a trip: the work, given the progress function it must call.
using PhotoCopyWork = std::function<CPhotoCopies::CCopyReport(
    CTripRecord& trip, const CPhotoCopies::ProgressFunction& progress)>;

// The photo copies of copies, as PhotoCopyWork.
PhotoCopyWork CopyTripPhotosWork(const CPhotoCopies& copies);

// Runs work on trip on a worker thread.  Copies that end within a moment (the usual photos)
// are simply waited for; longer ones show a modal progress dialog whose 中止 stops them, and the
// window keeps answering meanwhile.  trip gets the copies' paths as work gave them.
CPhotoCopies::CCopyReport RunPhotoCopies(QWidget* parent, CTripRecord& trip,
                                         const PhotoCopyWork& work);
