#pragma once

// JPEG files made on the spot with libjpeg's compressor, for the thumbnail tests.
#include <jpeglib.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

struct CTestRgb {
    uint8_t r, g, b;
};

inline constexpr CTestRgb kTestRed{230, 20, 20};
inline constexpr CTestRgb kTestGreen{20, 200, 40};
inline constexpr CTestRgb kTestBlue{30, 40, 220};
inline constexpr CTestRgb kTestYellow{240, 230, 30};

struct CJpegOptions {
    bool progressive = false;
    int quality = 92;
    // Samples per pixel: 3 RGB, 1 grayscale, 4 CMYK (stored inverted as Adobe does).
    int components = 3;
    // Written as an APP1 segment when not empty ("Exif\0\0" and the TIFF structure).
    std::string exif;
};

// Encodes width x height pixels given by pixel(x, y) as a JPEG file's bytes.
inline std::string EncodeTestJpeg(int width, int height,
                                  const std::function<CTestRgb(int x, int y)>& pixel,
                                  const CJpegOptions& options = {})
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = options.components;
    cinfo.in_color_space = options.components == 1   ? JCS_GRAYSCALE
                           : options.components == 4 ? JCS_CMYK
                                                     : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (options.components == 4) jpeg_set_colorspace(&cinfo, JCS_YCCK);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    if (!options.exif.empty())
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1,
                          reinterpret_cast<const JOCTET*>(options.exif.data()),
                          static_cast<unsigned>(options.exif.size()));
    std::vector<uint8_t> row(size_t(width) * options.components);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            const CTestRgb c = pixel(x, y);
            uint8_t* out = row.data() + size_t(x) * options.components;
            if (options.components == 1) {
                out[0] = static_cast<uint8_t>((c.r * 299 + c.g * 587 + c.b * 114) / 1000);
            } else if (options.components == 4) {
                // Plain CMYK with the darkest ink as black, then inverted as Adobe files are.
                const int k = 255 - std::max({c.r, c.g, c.b});
                const int rest = 255 - k;
                const auto ink = [&](int v) { return rest ? (rest - v) * 255 / rest : 0; };
                out[0] = static_cast<uint8_t>(255 - ink(c.r));
                out[1] = static_cast<uint8_t>(255 - ink(c.g));
                out[2] = static_cast<uint8_t>(255 - ink(c.b));
                out[3] = static_cast<uint8_t>(255 - k);
            } else {
                out[0] = c.r;
                out[1] = c.g;
                out[2] = c.b;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return bytes;
}

// Four coloured quadrants: red top left, green top right, blue bottom left, yellow bottom right.
inline std::string QuadrantJpeg(int width, int height, const CJpegOptions& options = {})
{
    return EncodeTestJpeg(
        width, height,
        [width, height](int x, int y) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            if (!bottom) return right ? kTestGreen : kTestRed;
            return right ? kTestYellow : kTestBlue;
        },
        options);
}

// One colour everywhere.
inline std::string PlainJpeg(int width, int height, CTestRgb colour,
                             const CJpegOptions& options = {})
{
    return EncodeTestJpeg(
        width, height, [colour](int, int) { return colour; }, options);
}

// The first bytes of a real PNG file (signature and header chunk): surely not a JPEG.
inline std::string PngBytes()
{
    static const unsigned char bytes[] = {
        0x89, 'P',  'N',  'G',  0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 'I',  'H',  'D',
        'R',  0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x90,
        0x77, 0x53, 0xDE, 0x00, 0x00, 0x00, 0x00, 'I',  'E',  'N',  'D',  0xAE, 0x42, 0x60, 0x82};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// Colours within a tolerance (JPEG is lossy).
inline bool NearColour(const uint8_t* rgb, CTestRgb expected, int tolerance = 24)
{
    return std::abs(rgb[0] - expected.r) <= tolerance &&
           std::abs(rgb[1] - expected.g) <= tolerance && std::abs(rgb[2] - expected.b) <= tolerance;
}
