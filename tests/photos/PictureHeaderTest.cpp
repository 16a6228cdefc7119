// A file is a picture when its header reads as one, not when it only begins like one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <string>

#include "PhotoTestFiles.h"
#include "photos/PictureHeader.h"
#include "support/TempProgramDir.h"

namespace {

std::string Bytes(std::initializer_list<unsigned> values)
{
    std::string bytes;
    for (const unsigned value : values) bytes += static_cast<char>(value);
    return bytes;
}

// A little-endian TIFF with one directory of the given entries (tag, type, value).
std::string Tiff(std::initializer_list<std::array<unsigned, 3>> entries)
{
    std::string bytes = Bytes({'I', 'I', 42, 0, 8, 0, 0, 0});
    bytes += Bytes({static_cast<unsigned>(entries.size()), 0});
    for (const auto& [tag, type, value] : entries) {
        bytes += Bytes({tag & 255, tag >> 8, type, 0, 1, 0, 0, 0});
        bytes += Bytes({value & 255, (value >> 8) & 255, 0, 0});
    }
    return bytes + Bytes({0, 0, 0, 0});
}

}  // namespace

using namespace std::string_literals;

TEST(PictureHeaderTest, ReadsTheSizeOfRealHeadersAndRefusesLookAlikes)
{
    const std::string dir = MakeTempDir();
    const std::string jpeg = PlainJpeg(40, 30, kTestRed);
    std::string badCrc = PngBytes();
    badCrc[29] ^= 1;
    // A lossless WebP of 3 x 2: 14 bits width - 1, 14 bits height - 1, alpha, version 0.
    const uint32_t bits = (3 - 1) | ((2 - 1) << 14);
    const std::string webp =
        "RIFF" + Bytes({18, 0, 0, 0}) + "WEBPVP8L" + Bytes({5, 0, 0, 0}) +
        Bytes({0x2f, bits & 255, (bits >> 8) & 255, (bits >> 16) & 255, bits >> 24}) + Bytes({0});
    const struct {
        const char* name;
        std::string bytes;
        EPhotoFormat format;
        int width, height;
    } cases[] = {
        {"jpeg", jpeg, EPhotoFormat::Jpeg, 40, 30},
        {"jpeg with its frame cut", jpeg.substr(0, jpeg.find("\xFF\xC0") + 6),
         EPhotoFormat::Unknown, 0, 0},
        {"jpeg signature then text", "\xFF\xD8\xFF\xE0 then a letter", EPhotoFormat::Unknown, 0, 0},
        {"png", PngBytes(), EPhotoFormat::Png, 1, 1},
        {"png with a damaged header", badCrc, EPhotoFormat::Unknown, 0, 0},
        {"png signature then text", "\x89PNG\r\n\x1A\nand then only words, no header chunk",
         EPhotoFormat::Unknown, 0, 0},
        {"webp", webp, EPhotoFormat::WebP, 3, 2},
        {"webp signature then text", "RIFF\x20\0\0\0WEBPthen words, words and words."s,
         EPhotoFormat::Unknown, 0, 0},
        {"tiff", Tiff({{256, 3, 5}, {257, 4, 7}}), EPhotoFormat::Tiff, 5, 7},
        {"tiff without a height", Tiff({{256, 3, 5}}), EPhotoFormat::Unknown, 0, 0},
        {"tiff signature then text", "II*\0 and then a letter of words"s, EPhotoFormat::Unknown, 0,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir + "file";
        WriteFileBytes(path, c.bytes);
        const int fd = ::open(path.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        CPictureSize size;
        EXPECT_EQ(ReadPictureHeader(fd, path, size), c.format);
        EXPECT_EQ(size.width, c.width);
        EXPECT_EQ(size.height, c.height);
        ::close(fd);
    }
    ASSERT_TRUE(WriteTestHeif(dir + "p.heic", 64, 48, [](int, int) { return kTestRed; }));
    const int fd = ::open((dir + "p.heic").c_str(), O_RDONLY);
    CPictureSize size;
    EXPECT_EQ(ReadPictureHeader(fd, dir + "p.heic", size), EPhotoFormat::Heif);
    EXPECT_EQ(size.width, 64);
    ::close(fd);
    RemoveTree(dir);
}
