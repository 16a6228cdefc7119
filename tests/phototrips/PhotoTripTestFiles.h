#pragma once

// Phone-like photos for the photo-import tests: pictures made here in each format, their EXIF
// (capture time, its offset, GPS) written by exiftool, the real writer the phones' tags follow.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "photos/JpegTestFiles.h"
#include "photos/PhotoTestFiles.h"
#include "support/TempProgramDir.h"

struct CTestPhoto {
    std::string name;     // the extension chooses the format: .jpg .heic .png .webp
    std::string when;     // "YYYY:MM:DD HH:MM:SS"; empty for no capture time
    std::string offset;   // "+09:00"; empty for none
    double latitude = 0;  // 0 and 0 for no position
    double longitude = 0;
};

inline std::string TinyPng()
{
    static const unsigned char bytes[] = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
        0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00,
        0x00, 0x90, 0x77, 0x53, 0xde, 0x00, 0x00, 0x00, 0x0c, 0x49, 0x44, 0x41, 0x54, 0x78,
        0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0x00, 0x00, 0x03, 0x01, 0x01, 0x00, 0xc9, 0xfe, 0x92,
        0xef, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

inline std::string TinyWebP()
{
    return std::string(
        "RIFF\x1a\x00\x00\x00WEBPVP8L\x0d\x00\x00\x00\x2f\x00\x00\x00\x10\x07"
        "\x10\x11\x11\x88\x88\xfe\x07\x00",
        34);
}

inline std::string BigEndian(uint32_t value)
{
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

// Writes the photos into dir (made when missing), each picture told apart by its colour seed so
// no two have the same bytes, then their EXIF in one run of exiftool.
inline void WriteTestPhotos(const std::string& dir, const std::vector<CTestPhoto>& photos)
{
    std::filesystem::create_directories(dir);
    std::string arguments;
    int seed = 0;
    for (const CTestPhoto& photo : photos) {
        const std::string path = dir + "/" + photo.name;
        const std::string extension = std::filesystem::path(photo.name).extension().string();
        ++seed;
        const CTestRgb colour{uint8_t(seed * 37), uint8_t(seed * 91), uint8_t(seed * 13)};
        if (extension == ".heic") {
            ASSERT_TRUE(WriteTestHeif(path, 64, 48, [&](int, int) { return colour; }));
        } else if (extension == ".png") {
            // A text chunk before the end keeps two PNGs apart.
            const std::string text = "tEXt" + std::string("Comment\0", 8) + std::to_string(seed);
            const std::string png = TinyPng();
            WriteFileBytes(
                path, png.substr(0, png.size() - 12) + BigEndian(uint32_t(text.size() - 4)) + text +
                          BigEndian(uint32_t(crc32(0, reinterpret_cast<const Bytef*>(text.data()),
                                                   uInt(text.size())))) +
                          png.substr(png.size() - 12));
        } else if (extension == ".webp") {
            // An unknown chunk after the picture keeps two WebPs apart.
            std::string webp =
                TinyWebP() + "XSEQ" + std::string("\4\0\0\0", 4) + BigEndian(uint32_t(seed));
            webp[4] = char(webp.size() - 8);
            WriteFileBytes(path, webp);
        } else {
            WriteFileBytes(path, PlainJpeg(64, 48, colour));
        }
        if (photo.when.empty() && photo.latitude == 0) continue;
        arguments += "-overwrite_original\n";
        if (!photo.when.empty()) arguments += "-DateTimeOriginal=" + photo.when + "\n";
        if (!photo.offset.empty()) arguments += "-OffsetTimeOriginal=" + photo.offset + "\n";
        if (photo.latitude != 0) {
            arguments += "-GPSLatitude=" + std::to_string(photo.latitude) +
                         "\n-GPSLatitudeRef=N\n-GPSLongitude=" + std::to_string(photo.longitude) +
                         "\n-GPSLongitudeRef=E\n";
        }
        arguments += path + "\n-execute\n";
    }
    if (arguments.empty()) return;
    const std::string argumentFile = dir + "/.exiftool-args";
    WriteFileBytes(argumentFile, arguments);
    const std::string command = "exiftool -q -q -@ '" + argumentFile + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << "exiftool (libimage-exiftool-perl) is needed";
    std::filesystem::remove(argumentFile);
}
