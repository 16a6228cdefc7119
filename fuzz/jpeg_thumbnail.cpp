// JPEG photos: any bytes decoded into a thumbnail as the photo lists do, with the program's own
// limits.  Besides crashes, leaks, undefined behaviour and libFuzzer's time and memory limits,
// the run stops when a decoded picture or thumbnail does not have the size it claims, or when a
// failed decode leaves a picture behind.

#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzSupport.h"
#include "photos/ThumbnailDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;  // fmemopen refuses an empty buffer
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    FUZZ_CHECK(file != nullptr, "fmemopen");
    CRgbPicture picture;
    std::string error;
    const bool decoded = DecodeScaledPicture(file, picture, &error);
    std::fclose(file);
    if (!decoded) {
        FUZZ_CHECK(picture.empty() && picture.rgb.empty(), "a failed decode left pixels behind");
        FUZZ_CHECK(!error.empty(), "a failed decode without a reason");
        return 0;
    }
    FUZZ_CHECK(!picture.empty(), "a decoded picture without pixels");
    FUZZ_CHECK(picture.rgb.size() == size_t(picture.width) * picture.height * 3,
               "the pixels do not fill the picture");
    const CRgbPicture thumbnail = FitToThumbnail(picture);
    FUZZ_CHECK((thumbnail.width == kThumbnailWidth || thumbnail.height == kThumbnailHeight) &&
                   thumbnail.width <= kThumbnailWidth && thumbnail.height <= kThumbnailHeight &&
                   thumbnail.rgb.size() == size_t(thumbnail.width) * thumbnail.height * 3,
               "the thumbnail does not fit the cell");

    // The whole path as the lists use it gives the same result.
    file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    CRgbPicture cell;
    FUZZ_CHECK(DecodeThumbnail(file, cell) && cell.rgb == thumbnail.rgb,
               "decoding the same bytes twice differs");
    std::fclose(file);
    return 0;
}
