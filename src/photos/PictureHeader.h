#pragma once

#include <cstdint>
#include <string>

#include "photos/ThumbnailDecoder.h"

// Whether a file is a picture, told by reading its header as a decoder does: the format's
// signature, then the fields that give the picture's size, each checked for what the format
// allows.  A file that only begins like a picture (a signature followed by text, a cut header)
// is none.

// The picture's size.
struct CPictureSize {
    int width = 0;
    int height = 0;
};

// The format of the picture in the regular file open as fd (read with pread, the file offset
// is left alone), Unknown when its header does not read whole; size receives the picture's size.
// path is for the decoders that open the file themselves (HEIF).
EPhotoFormat ReadPictureHeader(int fd, const std::string& path, CPictureSize& size);
