// Photos of every other format (HEIF through libheif; PNG, WebP and TIFF through Qt's readers):
// any bytes written to a file and decoded as the photo lists do, with the program's limits.
// Besides crashes, leaks, undefined behaviour and libFuzzer's time and memory limits, the run
// stops when a failed decode leaves a picture behind or a picture does not have the size it
// claims.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "photos/ThumbnailDecoder.h"
#include "photos/widgets/ThumbnailImageReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz::ScratchDir() + "photo";
    fuzz::WriteBytes(path, std::string(reinterpret_cast<const char*>(data), size));
    CDecodeOptions options;
    // Small enough that libFuzzer's memory limit is never the one that stops a huge picture.
    options.maxPixels = 40'000'000;
    CRgbPicture picture;
    CPhotoFacts facts;
    const EDecodeStatus status =
        DecodeThumbnailPicture(QString::fromStdString(path), picture, &facts, options);
    if (status != EDecodeStatus::Ok) {
        FUZZ_CHECK(picture.empty() && picture.rgb.empty(), "a failed decode left pixels behind");
        return 0;
    }
    FUZZ_CHECK(facts.format != EPhotoFormat::Unknown, "bytes of no known format decoded");
    FUZZ_CHECK(!picture.empty() && picture.rgb.size() == size_t(picture.width) * picture.height * 3,
               "the pixels do not fill the picture");
    const CRgbPicture cell = FitToThumbnail(picture);
    FUZZ_CHECK(cell.width <= kThumbnailWidth && cell.height <= kThumbnailHeight &&
                   (cell.width == kThumbnailWidth || cell.height == kThumbnailHeight),
               "the thumbnail does not fit the cell");
    return 0;
}
