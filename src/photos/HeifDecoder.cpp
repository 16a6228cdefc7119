#include "photos/HeifDecoder.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Pictures wider or higher than this are refused by libheif itself, before the pixel cap.
constexpr int kMaxSide = 1 << 15;
// What libheif holds per pixel of a decoded picture at its peak: the decoder's planes, the
// converted picture and tiles being composed (measured: 2.1 GB for 13000 x 13000), and our copy.
constexpr uint64_t kHeifBytesPerPixel = 13;
// The shortest side a picture is thought to have when the memory cap is turned into the side
// limit libheif takes.
constexpr int kMinSide = 64;

// The most pixels a HEIF picture may have: its decode must fit the memory cap, which libheif
// itself does not know of.
uint64_t HeifPixelCap(const CDecodeOptions& options)
{
    return std::min(options.maxPixels,
                    uint64_t(std::max(options.maxMemory, 0L)) / kHeifBytesPerPixel);
}
// EXIF blocks larger than this are not read.
constexpr size_t kMaxHeifExifBytes = 1 << 20;

struct CHeifDeleter {
    void operator()(heif_context* context) const { heif_context_free(context); }
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
    void operator()(heif_image* image) const { heif_image_release(image); }
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
template <class T>
using CHeifPtr = std::unique_ptr<T, CHeifDeleter>;

// libheif wants to be set up once per process before its decoders are looked up.
void InitOnce()
{
    static const bool initialised = [] {
        heif_init(nullptr);
        return true;
    }();
    (void)initialised;
}

CHeifPtr<heif_context> OpenContext(const std::string& path, std::string* error,
                                   uint64_t pixelCap = uint64_t(kMaxSide) * kMaxSide)
{
    InitOnce();
    CHeifPtr<heif_context> context(heif_context_alloc());
    if (!context) return nullptr;
    // libheif's own limit is one on either side: the longest a picture within the cap can be.
    const uint64_t side = std::clamp<uint64_t>(pixelCap / kMinSide, 1, kMaxSide);
    heif_context_set_maximum_image_size_limit(context.get(), int(side));
    const heif_error result = heif_context_read_from_file(context.get(), path.c_str(), nullptr);
    if (result.code != heif_error_Ok) {
        if (error) *error = result.message ? result.message : "not a HEIF file";
        return nullptr;
    }
    return context;
}

CHeifPtr<heif_image_handle> PrimaryHandle(heif_context* context, std::string* error)
{
    heif_image_handle* handle = nullptr;
    const heif_error result = heif_context_get_primary_image_handle(context, &handle);
    if (result.code != heif_error_Ok) {
        if (error) *error = result.message ? result.message : "no primary picture";
        return nullptr;
    }
    return CHeifPtr<heif_image_handle>(handle);
}

// The thumbnail items of a picture, as many as libheif gives (at most 16).
std::vector<CHeifPtr<heif_image_handle>> ThumbnailItems(heif_image_handle* primary)
{
    std::vector<CHeifPtr<heif_image_handle>> items;
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0) return items;
    std::vector<heif_item_id> ids(size_t(std::min(count, 16)));
    const int listed =
        heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), int(ids.size()));
    for (int i = 0; i < listed; ++i) {
        heif_image_handle* thumbnail = nullptr;
        if (heif_image_handle_get_thumbnail(primary, ids[size_t(i)], &thumbnail).code ==
            heif_error_Ok)
            items.emplace_back(thumbnail);
    }
    return items;
}

// A thumbnail item that can stand for the primary picture.
CHeifPtr<heif_image_handle> UsableThumbnail(heif_image_handle* primary,
                                            const CDecodeOptions& options)
{
    for (CHeifPtr<heif_image_handle>& item : ThumbnailItems(primary)) {
        if (IsUsableEmbeddedThumbnail(
                heif_image_handle_get_width(item.get()), heif_image_handle_get_height(item.get()),
                heif_image_handle_get_width(primary), heif_image_handle_get_height(primary),
                options.coverWidth, options.coverHeight))
            return std::move(item);
    }
    return nullptr;
}

// The embedded thumbnail of the most pixels, nullptr when there is none.
CHeifPtr<heif_image_handle> LargestThumbnail(heif_image_handle* primary)
{
    CHeifPtr<heif_image_handle> largest;
    uint64_t largestPixels = 0;
    for (CHeifPtr<heif_image_handle>& item : ThumbnailItems(primary)) {
        const uint64_t pixels = uint64_t(std::max(heif_image_handle_get_width(item.get()), 0)) *
                                uint64_t(std::max(heif_image_handle_get_height(item.get()), 0));
        if (pixels > largestPixels) {
            largestPixels = pixels;
            largest = std::move(item);
        }
    }
    return largest;
}

bool DecodeHandle(heif_image_handle* handle, CRgbPicture& picture, std::string* error,
                  const CDecodeOptions& options)
{
    const int width = heif_image_handle_get_width(handle);
    const int height = heif_image_handle_get_height(handle);
    // Checked from the header before anything is decoded: libheif's decode cannot be stopped.
    if (width <= 0 || height <= 0 || uint64_t(width) * uint64_t(height) > HeifPixelCap(options)) {
        if (error) *error = "Picture too large";
        return false;
    }
    CHeifPtr<heif_decoding_options> decoding(heif_decoding_options_alloc());
    // Pictures of more than 8 bits per sample come out as 8 bits.
    if (decoding) decoding->convert_hdr_to_8bit = 1;
    heif_image* decoded = nullptr;
    const heif_error result = heif_decode_image(handle, &decoded, heif_colorspace_RGB,
                                                heif_chroma_interleaved_RGB, decoding.get());
    if (result.code != heif_error_Ok) {
        if (error) *error = result.message ? result.message : "cannot decode";
        return false;
    }
    CHeifPtr<heif_image> image(decoded);
    const int outWidth = heif_image_get_width(decoded, heif_channel_interleaved);
    const int outHeight = heif_image_get_height(decoded, heif_channel_interleaved);
    int stride = 0;
    const uint8_t* plane =
        heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    if (!plane || outWidth <= 0 || outHeight <= 0 || stride < outWidth * 3 ||
        uint64_t(outWidth) * uint64_t(outHeight) > options.maxPixels) {
        if (error) *error = "unexpected picture layout";
        return false;
    }
    picture.width = outWidth;
    picture.height = outHeight;
    picture.rgb.resize(size_t(outWidth) * outHeight * 3);
    for (int y = 0; y < outHeight; ++y)
        std::memcpy(picture.rgb.data() + size_t(y) * outWidth * 3, plane + size_t(y) * stride,
                    size_t(outWidth) * 3);
    return true;
}

CExifFacts ExifFactsOf(heif_image_handle* primary)
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(primary, "Exif", &id, 1) < 1) return {};
    const size_t size = heif_image_handle_get_metadata_size(primary, id);
    if (size < 4 || size > kMaxHeifExifBytes) return {};
    std::vector<uint8_t> block(size);
    if (heif_image_handle_get_metadata(primary, id, block.data()).code != heif_error_Ok) return {};
    // The block starts with the distance from its fifth byte to the TIFF header.
    const uint32_t skip = (uint32_t(block[0]) << 24) | (uint32_t(block[1]) << 16) |
                          (uint32_t(block[2]) << 8) | block[3];
    if (skip > size - 4) return {};
    std::vector<uint8_t> exif{'E', 'x', 'i', 'f', 0, 0};
    const size_t tiff = 4 + size_t(skip);
    exif.insert(exif.end(), block.begin() + std::ptrdiff_t(tiff),
                block.begin() + std::ptrdiff_t(std::min(size, tiff + kMaxExifBytes - 6)));
    return ReadExifFacts(exif.data(), exif.size());
}

}  // namespace

bool IsHeifHead(const uint8_t* head, size_t size)
{
    if (size < 12) return false;
    const heif_filetype_result type = heif_check_filetype(head, static_cast<int>(size));
    return type == heif_filetype_yes_supported;
}

EDecodeStatus DecodeHeifFile(const std::string& path, CRgbPicture& picture, CPhotoFacts& facts,
                             std::string* error, const CDecodeOptions& options)
{
    picture = CRgbPicture{};
    facts.format = EPhotoFormat::Heif;
    facts.orientation = 1;  // libheif turns the picture as the file says
    CHeifPtr<heif_context> context = OpenContext(path, error, HeifPixelCap(options));
    if (!context) return EDecodeStatus::NotDecodable;
    CHeifPtr<heif_image_handle> primary = PrimaryHandle(context.get(), error);
    if (!primary) return EDecodeStatus::NotDecodable;
    facts.captured = ExifFactsOf(primary.get()).captured;
    if (options.Cancelled()) return EDecodeStatus::Cancelled;

    const int width = heif_image_handle_get_width(primary.get());
    const int height = heif_image_handle_get_height(primary.get());
    if (width <= 0 || height <= 0 || uint64_t(width) * uint64_t(height) > options.maxPixels) {
        if (error) *error = "Picture too large";
        return EDecodeStatus::NotDecodable;
    }
    if (options.embeddedThumbnails) {
        if (CHeifPtr<heif_image_handle> thumbnail = UsableThumbnail(primary.get(), options)) {
            if (DecodeHandle(thumbnail.get(), picture, nullptr, options)) {
                facts.embeddedThumbnail = true;
                return EDecodeStatus::Ok;
            }
            picture = CRgbPicture{};
        }
    }
    // A photo whose whole decode would pass the memory cap (a 48-megapixel phone picture under
    // the default cap) is shown from its largest embedded thumbnail rather than not at all.
    if (uint64_t(width) * uint64_t(height) > HeifPixelCap(options)) {
        if (CHeifPtr<heif_image_handle> thumbnail = LargestThumbnail(primary.get())) {
            if (DecodeHandle(thumbnail.get(), picture, nullptr, options)) {
                facts.embeddedThumbnail = true;
                return EDecodeStatus::Ok;
            }
            picture = CRgbPicture{};
        }
    }
    if (!DecodeHandle(primary.get(), picture, error, options)) {
        picture = CRgbPicture{};
        return EDecodeStatus::NotDecodable;
    }
    if (options.Cancelled()) {
        picture = CRgbPicture{};
        return EDecodeStatus::Cancelled;
    }
    return EDecodeStatus::Ok;
}

bool ReadHeifSize(const std::string& path, int& width, int& height)
{
    const CHeifPtr<heif_context> context = OpenContext(path, nullptr);
    const CHeifPtr<heif_image_handle> primary =
        context ? PrimaryHandle(context.get(), nullptr) : nullptr;
    if (!primary) return false;
    width = heif_image_handle_get_width(primary.get());
    height = heif_image_handle_get_height(primary.get());
    return width > 0 && height > 0;
}

CCaptureTime ReadHeifCaptureTime(const std::string& path)
{
    return ReadHeifExifFacts(path).captured;
}

CExifFacts ReadHeifExifFacts(const std::string& path)
{
    CHeifPtr<heif_context> context = OpenContext(path, nullptr);
    if (!context) return {};
    CHeifPtr<heif_image_handle> primary = PrimaryHandle(context.get(), nullptr);
    if (!primary) return {};
    CExifFacts facts = ExifFactsOf(primary.get());
    facts.thumbnail.clear();
    return facts;
}
