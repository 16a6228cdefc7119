#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "photos/ThumbnailDecoder.h"

// HEIF/HEIC photos through libheif.

// True when the first bytes are those of a HEIF file with a picture libheif can read.
bool IsHeifHead(const uint8_t* head, size_t size);

// The picture of a HEIF photo as libheif shows it (its rotation and mirroring applied): a
// thumbnail item when one has the picture's shape and covers the cell, else the primary picture.
// The options' pixel cap applies before anything is decoded.
EDecodeStatus DecodeHeifFile(const std::string& path, CRgbPicture& picture, CPhotoFacts& facts,
                             std::string* error, const CDecodeOptions& options);

// The size of a HEIF photo's primary picture, as its header gives it; false when libheif cannot
// read the file's header.
bool ReadHeifSize(const std::string& path, int& width, int& height);

// The DateTimeOriginal of the EXIF block a HEIF photo carries; invalid when there is none.
CCaptureTime ReadHeifCaptureTime(const std::string& path);
// What the EXIF block of a HEIF photo tells (no thumbnail); empty facts when there is none.
CExifFacts ReadHeifExifFacts(const std::string& path);
