#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Size of one thumbnail cell: every photo is stretched to fill it exactly (aspect not kept).
inline constexpr int kThumbnailWidth = 120;
inline constexpr int kThumbnailHeight = 100;

// A picture as rows of red, green, blue bytes, top row first, no padding.
struct CRgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    bool empty() const { return width <= 0 || height <= 0; }
    const uint8_t* Pixel(int x, int y) const { return rgb.data() + (size_t(y) * width + x) * 3; }
};

// Limits that keep a hostile or broken file from taking all memory or time.
struct CDecodeOptions {
    // Decode at the smallest DCT scale whose output still covers the cell; false decodes the
    // picture at full size (only benchmarks compare against that).
    bool dctScaling = true;
    // Pictures with more pixels are refused before any pixel is decoded.
    uint64_t maxPixels = 250'000'000;
    // Working memory the library may use.
    long maxMemory = 512L * 1024 * 1024;
    // Progressive files with more scans are refused: each scan costs a pass over the picture.
    int maxScans = 500;
    // When set and true, decoding stops as soon as possible with an error ("cancelled").
    const std::atomic<bool>* cancel = nullptr;
};

enum class EDecodeStatus {
    Ok,
    CannotOpen,    // the file cannot be opened for reading
    NotDecodable,  // not a JPEG file, truncated, corrupt, too large or unsupported
    Cancelled,
};

// Decodes the JPEG picture of an opened file, scaled down by the library as far as the cell
// allows.  Grayscale, CMYK and YCCK pictures come out in their true colours.  Returns false with
// the library's reason in error (when given) for anything that is not a decodable JPEG.
bool DecodeScaledPicture(FILE* file, CRgbPicture& picture, std::string* error = nullptr,
                         const CDecodeOptions& options = {}, bool* cancelled = nullptr);

// Stretches a picture to the 120 x 100 cell, independently in each direction; eliminated rows
// and columns are dropped, not blended.
CRgbPicture StretchToThumbnail(const CRgbPicture& picture);

// The 120 x 100 thumbnail of an opened JPEG file.
bool DecodeThumbnail(FILE* file, CRgbPicture& thumbnail, std::string* error = nullptr,
                     const CDecodeOptions& options = {});

// Opens path and decodes its scaled picture; tells a file that cannot be opened from one that
// cannot be decoded.
EDecodeStatus DecodeScaledPictureFile(const std::string& path, CRgbPicture& picture,
                                      std::string* error = nullptr,
                                      const CDecodeOptions& options = {});

// Opens a photo for reading: CannotOpen when it cannot be opened, NotDecodable when it is not a
// regular file (a folder or a named pipe); the file is then closed by the caller.
EDecodeStatus OpenPhotoFile(const std::string& path, FILE*& file, std::string* error = nullptr);

// The DCT scale (numerator over 8) chosen for a picture of the given size: the smallest whose
// output is at least the cell in both directions, 8 when the picture is smaller than the cell.
int ChooseDctScale(int width, int height);
