// PNG, WebP and JPEG files as a phone's export may hold them: any bytes after a PNG signature, a
// WebP header or a JPEG start marker, read for their EXIF block by walking the chunks or
// segments, as the photo import reads a folder.
// Besides crashes, leaks, undefined behaviour and libFuzzer's limits, the run stops when a time
// offset, a position or a capture time read is outside what the readers promise.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "photos/ThumbnailDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    // The first byte chooses the container; the rest follows its header.
    const char* const heads[] = {"\x89PNG\r\n\x1A\n", "RIFF\0\0\0\0WEBP", "\xFF\xD8"};
    const size_t headSizes[] = {8, 12, 2};
    std::string bytes(heads[data[0] % 3], headSizes[data[0] % 3]);
    bytes.append(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string path = fuzz::ScratchDir() + "photo.img";
    fuzz::WriteBytes(path, bytes);
    const CExifFacts facts = ReadPhotoExifFacts(path);
    FUZZ_CHECK(
        !facts.hasOffset || (facts.offsetMinutes >= -14 * 60 && facts.offsetMinutes <= 14 * 60),
        "an offset beyond the earth's time zones");
    FUZZ_CHECK(facts.hasOffset || facts.offsetMinutes == 0, "an offset without its tag");
    FUZZ_CHECK(!facts.hasPosition || (facts.latitude >= -90 && facts.latitude <= 90 &&
                                      facts.longitude >= -180 && facts.longitude <= 180),
               "a position off the earth");
    FUZZ_CHECK(
        !facts.captured.valid() || (facts.captured.month >= 1 && facts.captured.month <= 12 &&
                                    facts.captured.day >= 1 && facts.captured.day <= 31),
        "a capture date off the calendar");
    FUZZ_CHECK(facts.thumbnail.empty(), "a thumbnail kept from a header-only read");
    return 0;
}
