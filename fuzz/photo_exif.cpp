// EXIF blocks: any bytes read as a camera's EXIF block, alone and inside a JPEG photo decoded as
// the photo lists do.  Besides crashes, leaks, undefined behaviour and libFuzzer's limits, the run
// stops when a thumbnail claims bytes outside the block, an orientation is outside 1-8, or the
// decoded picture is not the photo turned as the orientation says.

#include <cstdint>
#include <string>

#include "../tests/photos/JpegTestFiles.h"
#include "FuzzSupport.h"
#include "photos/PhotoExif.h"
#include "photos/ThumbnailDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CExifFacts facts = ReadExifFacts(data, size);
    FUZZ_CHECK(facts.orientation >= 1 && facts.orientation <= 8, "orientation out of range");
    FUZZ_CHECK(facts.thumbnail.size() <= size, "a thumbnail larger than its block");
    if (size > kMaxExifBytes) return 0;

    // The block in a 320 x 240 photo: the picture comes out whole, upright or from a thumbnail.
    CJpegOptions options;
    options.exif.assign(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::ScratchDir() + "photo.jpg";
    fuzz::WriteBytes(path, PlainJpeg(320, 240, kTestBlue, options));
    CRgbPicture picture;
    CPhotoFacts decoded;
    FUZZ_CHECK(DecodePhotoFile(path, picture, &decoded) == EDecodeStatus::Ok,
               "an EXIF block broke a good photo");
    FUZZ_CHECK(decoded.orientation == facts.orientation, "the orientation read differs");
    FUZZ_CHECK(picture.rgb.size() == size_t(picture.width) * picture.height * 3,
               "the pixels do not fill the picture");
    if (!decoded.embeddedThumbnail) {
        const bool turned = facts.orientation >= 5;
        FUZZ_CHECK((picture.width < picture.height) == turned, "the photo was not turned right");
    }
    return 0;
}
