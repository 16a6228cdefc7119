#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "data/GuardedFile.h"
#include "photos/ExifChunks.h"
#include "photos/PhotoExif.h"

// Size of one thumbnail cell: a photo is shrunk (or enlarged) to fit it with its shape kept.
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
    // The size the picture is wanted at least at (where the photo has the pixels): the cell
    // for thumbnails, more for a photo printed larger.  Scaled decoding and stored thumbnails
    // serve only while they cover it.
    int coverWidth = kThumbnailWidth;
    int coverHeight = kThumbnailHeight;
    // Pictures with more pixels are refused before any pixel is decoded.
    uint64_t maxPixels = 250'000'000;
    // Working memory the library may use; decoders that take no such limit are given the
    // largest picture this memory holds.
    long maxMemory = 512L * 1024 * 1024;
    // Time a decode may take; a decode still running then gives no picture.
    int maxMilliseconds = 8000;
    // Progressive files with more scans are refused: each scan costs a pass over the picture.
    int maxScans = 500;
    // When set and true, decoding stops as soon as possible with an error ("cancelled").
    const std::atomic<bool>* cancel = nullptr;
    bool Cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
    // A thumbnail stored in the file (EXIF or HEIF thumbnail item) is used when it is large enough
    // and has the picture's shape; false always decodes the picture itself.
    bool embeddedThumbnails = true;
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

// The picture shrunk (each pixel the average of the pixels it covers) or enlarged to fit the
// 120 x 100 cell with its aspect ratio kept: 120 wide or 100 high, never larger.  The caller
// centres it in the cell.
CRgbPicture FitToThumbnail(const CRgbPicture& picture);

// The picture turned and mirrored as an EXIF orientation (1-8) says it is to be shown; other
// values leave it as it is.
CRgbPicture OrientPicture(const CRgbPicture& picture, int orientation);

// The fitted thumbnail of an opened JPEG file (no EXIF looked at).
bool DecodeThumbnail(FILE* file, CRgbPicture& thumbnail, std::string* error = nullptr,
                     const CDecodeOptions& options = {});

// Opens path and decodes its scaled picture; tells a file that cannot be opened from one that
// cannot be decoded.
EDecodeStatus DecodeScaledPictureFile(const std::string& path, CRgbPicture& picture,
                                      std::string* error = nullptr,
                                      const CDecodeOptions& options = {});

// Kinds of photo files, told by their first bytes.
enum class EPhotoFormat { Unknown, Jpeg, Heif, Png, WebP, Tiff };
inline constexpr size_t kSniffBytes = 16;
// The format that the first bytes of a file (at least kSniffBytes when the file has them) show.
EPhotoFormat SniffPhotoFormat(const uint8_t* head, size_t size);

// What decoding a photo found out besides its pixels.
struct CPhotoFacts {
    EPhotoFormat format = EPhotoFormat::Unknown;
    // The EXIF orientation applied to the picture (1 for formats that turn their pictures
    // themselves).
    int orientation = 1;
    CCaptureTime captured;
    // True when the picture came from the thumbnail stored in the file.
    bool embeddedThumbnail = false;
};

// Whether a stored thumbnail of thumbWidth x thumbHeight stands for a picture of width x height:
// at least the cover size (the cell unless told) and the same aspect ratio within 2 %.
bool IsUsableEmbeddedThumbnail(int thumbWidth, int thumbHeight, int width, int height,
                               int coverWidth = kThumbnailWidth,
                               int coverHeight = kThumbnailHeight);

// A photo's picture, upright and at least the cell where the photo allows: JPEG (EXIF
// orientation, embedded thumbnail) and HEIF here.  PNG, WebP and TIFF files give NotDecodable
// with facts->format naming them, for a reader that knows those formats.
EDecodeStatus DecodePhotoFile(const std::string& path, CRgbPicture& picture,
                              CPhotoFacts* facts = nullptr, std::string* error = nullptr,
                              const CDecodeOptions& options = {});

// The capture time a JPEG (EXIF DateTimeOriginal) or HEIF photo records; invalid for others and
// for files that cannot be read.
CCaptureTime ReadPhotoCaptureTime(const std::string& path);
// What the EXIF block of a JPEG, HEIF, PNG or WebP photo tells (capture time and its offset,
// orientation, GPS position; no thumbnail); empty facts for other files and for files that cannot
// be read.  Only the file's header and chunk heads are read, never its pixels.
CExifFacts ReadPhotoExifFacts(const std::string& path);
// The same for a photo already opened, whose first bytes (kPhotoHeadBytes as a rule: the EXIF
// block of most photos lies within them) showed it to be of format.  A HEIF photo is read again
// by path, as libheif reads by name.
CExifFacts ReadPhotoExifFacts(const CFileBytes& file, EPhotoFormat format, const std::string& path);
inline constexpr size_t kPhotoHeadBytes = 4096;
// Reads the first kPhotoHeadBytes of an opened photo (fewer for a shorter file or a failed
// read): how many were read.
size_t ReadPhotoHead(CGuardedFile& file, uint8_t (&head)[kPhotoHeadBytes]);

// Opens a photo for reading: CannotOpen when it cannot be opened, NotDecodable when it is not a
// regular file (a folder or a named pipe); the file is then closed by the caller.
EDecodeStatus OpenPhotoFile(const std::string& path, FILE*& file, std::string* error = nullptr);

// The DCT scale (numerator over 8) chosen for a picture of the given size: the smallest whose
// output is at least the cover size (the cell unless told) in both directions, 8 when the
// picture is smaller than that.
int ChooseDctScale(int width, int height, int coverWidth = kThumbnailWidth,
                   int coverHeight = kThumbnailHeight);
