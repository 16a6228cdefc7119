#pragma once

#include <functional>

#include "photos/ThumbnailDecoder.h"

// Some decoders (libheif, Qt's image readers) cannot be stopped once they have started.  Such a
// decode runs on a thread of its own while the caller waits at most its time limit; one that
// takes longer is abandoned: the caller gets NotDecodable at once (and shows the placeholder),
// the decode finishes on its own and its result is thrown away.  The caps on pixels and memory
// keep an abandoned decode bounded; at most kMaxAbandonedDecodes run at once, and while that
// many do, further decodes are refused without starting.

inline constexpr int kMaxAbandonedDecodes = 2;

// A decode that fills the picture and facts it is given; it must own everything it reads (it may
// outlive the call).
using DecodeFunction = std::function<EDecodeStatus(CRgbPicture&, CPhotoFacts&, std::string&)>;

// Runs decode within options.maxMilliseconds (stopping the wait early, with Cancelled, when
// options.cancel is set).  picture, facts and error receive the decode's results when it ends in
// time.
EDecodeStatus RunDecodeWithTimeLimit(const DecodeFunction& decode, const CDecodeOptions& options,
                                     CRgbPicture& picture, CPhotoFacts& facts,
                                     std::string* error = nullptr);

// Decodes abandoned and still running.
int RunningAbandonedDecodes();
