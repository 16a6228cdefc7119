#pragma once

// Camera-like photos for the thumbnail tests: EXIF blocks made with libexif, HEIF files made
// with libheif's encoder.
#include <libexif/exif-data.h>
#include <libheif/heif.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "JpegTestFiles.h"

// An EXIF block with a GPS position: latitude and longitude as degrees, minutes and seconds
// (rationals with the given denominator) and their reference letters ('N'/'S', 'E'/'W'; '\0'
// leaves the reference out).
struct CTestGps {
    double latitude[3];
    char latitudeRef;
    double longitude[3];
    char longitudeRef;
    unsigned denominator = 100;
};

// An EXIF block as a JPEG APP1 segment carries it: orientation (0 for none), DateTimeOriginal
// ("YYYY:MM:DD HH:MM:SS", empty for none), a JPEG thumbnail (empty for none) and a GPS position
// (none when null).
inline std::string MakeTestExif(int orientation, const std::string& dateTimeOriginal = {},
                                const std::string& thumbnailJpeg = {},
                                const CTestGps* gps = nullptr)
{
    ExifData* data = exif_data_new();
    exif_data_set_byte_order(data, EXIF_BYTE_ORDER_INTEL);
    const auto add = [&](ExifIfd ifd, ExifTag tag) {
        ExifEntry* entry = exif_entry_new();
        exif_content_add_entry(data->ifd[ifd], entry);
        exif_entry_initialize(entry, tag);
        exif_entry_unref(entry);
        return entry;
    };
    if (orientation > 0) {
        ExifEntry* entry = add(EXIF_IFD_0, EXIF_TAG_ORIENTATION);
        exif_set_short(entry->data, EXIF_BYTE_ORDER_INTEL, static_cast<ExifShort>(orientation));
    }
    if (!dateTimeOriginal.empty()) {
        ExifEntry* entry = add(EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL);
        std::memset(entry->data, 0, entry->size);
        std::memcpy(entry->data, dateTimeOriginal.data(),
                    std::min<size_t>(dateTimeOriginal.size(), entry->size - 1));
    }
    if (!thumbnailJpeg.empty()) {
        add(EXIF_IFD_1, EXIF_TAG_X_RESOLUTION);
        data->data = static_cast<unsigned char*>(std::malloc(thumbnailJpeg.size()));
        std::memcpy(data->data, thumbnailJpeg.data(), thumbnailJpeg.size());
        data->size = static_cast<unsigned>(thumbnailJpeg.size());
    }
    if (gps != nullptr) {
        ExifMem* mem = exif_mem_new_default();
        const auto addGps = [&](int tag, ExifFormat format, unsigned components, size_t size) {
            ExifEntry* entry = exif_entry_new_mem(mem);
            entry->tag = static_cast<ExifTag>(tag);
            entry->format = format;
            entry->components = components;
            entry->size = static_cast<unsigned>(size);
            entry->data =
                static_cast<unsigned char*>(exif_mem_alloc(mem, static_cast<ExifLong>(size)));
            exif_content_add_entry(data->ifd[EXIF_IFD_GPS], entry);
            exif_entry_unref(entry);
            return entry;
        };
        const auto coordinate = [&](int refTag, char ref, int valueTag, const double* dms) {
            if (ref != '\0') {
                ExifEntry* entry = addGps(refTag, EXIF_FORMAT_ASCII, 2, 2);
                entry->data[0] = static_cast<unsigned char>(ref);
                entry->data[1] = 0;
            }
            ExifEntry* entry = addGps(valueTag, EXIF_FORMAT_RATIONAL, 3, 24);
            for (int i = 0; i < 3; ++i) {
                const ExifRational r{static_cast<ExifLong>(dms[i] * gps->denominator + 0.5),
                                     gps->denominator};
                exif_set_rational(entry->data + 8 * i, EXIF_BYTE_ORDER_INTEL, r);
            }
        };
        coordinate(EXIF_TAG_GPS_LATITUDE_REF, gps->latitudeRef, EXIF_TAG_GPS_LATITUDE,
                   gps->latitude);
        coordinate(EXIF_TAG_GPS_LONGITUDE_REF, gps->longitudeRef, EXIF_TAG_GPS_LONGITUDE,
                   gps->longitude);
        exif_mem_unref(mem);
    }
    unsigned char* bytes = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data, &bytes, &size);
    std::string block(reinterpret_cast<const char*>(bytes), size);
    std::free(bytes);
    exif_data_unref(data);
    return block;
}

inline std::string MakeTestGpsExif(const CTestGps& gps, const std::string& dateTimeOriginal = {})
{
    return MakeTestExif(0, dateTimeOriginal, {}, &gps);
}

struct CHeifOptions {
    // Longest side of a thumbnail item, 0 for none.
    int thumbnailSide = 0;
    // EXIF block (as MakeTestExif makes it) stored with the picture.
    std::string exif;
    // Rotation and mirroring the file asks for (EXIF numbering).
    int orientation = 1;
    int quality = 60;
};

// Writes a HEIF photo of width x height pixels given by pixel(x, y); false when libheif fails.
inline bool WriteTestHeif(const std::string& path, int width, int height,
                          const std::function<CTestRgb(int x, int y)>& pixel,
                          const CHeifOptions& options = {})
{
    heif_init(nullptr);
    heif_context* context = heif_context_alloc();
    heif_image* image = nullptr;
    heif_image_create(width, height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, width, height, 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const CTestRgb c = pixel(x, y);
            uint8_t* out = plane + size_t(y) * stride + size_t(x) * 3;
            out[0] = c.r;
            out[1] = c.g;
            out[2] = c.b;
        }
    heif_encoder* encoder = nullptr;
    bool ok = heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code ==
              heif_error_Ok;
    heif_image_handle* handle = nullptr;
    if (ok) {
        heif_encoder_set_lossy_quality(encoder, options.quality);
        heif_encoder_set_parameter_string(encoder, "preset", "ultrafast");
        heif_encoding_options* encoding = heif_encoding_options_alloc();
        encoding->image_orientation = static_cast<heif_orientation>(options.orientation);
        ok = heif_context_encode_image(context, image, encoder, encoding, &handle).code ==
             heif_error_Ok;
        if (ok && options.thumbnailSide > 0) {
            heif_image_handle* thumbnail = nullptr;
            ok = heif_context_encode_thumbnail(context, image, handle, encoder, encoding,
                                               options.thumbnailSide, &thumbnail)
                     .code == heif_error_Ok;
            if (thumbnail) heif_image_handle_release(thumbnail);
        }
        heif_encoding_options_free(encoding);
        heif_encoder_release(encoder);
    }
    if (ok && !options.exif.empty())
        ok = heif_context_add_exif_metadata(context, handle, options.exif.data(),
                                            static_cast<int>(options.exif.size()))
                 .code == heif_error_Ok;
    if (ok) ok = heif_context_write_to_file(context, path.c_str()).code == heif_error_Ok;
    if (handle) heif_image_handle_release(handle);
    heif_image_release(image);
    heif_context_free(context);
    return ok;
}

// Four coloured quadrants as QuadrantJpeg draws them.
inline CTestRgb QuadrantPixel(int x, int y, int width, int height)
{
    const bool right = x >= width / 2;
    const bool bottom = y >= height / 2;
    if (!bottom) return right ? kTestGreen : kTestRed;
    return right ? kTestYellow : kTestBlue;
}
