#include "photos/ExifChunks.h"

#include <cstdint>
#include <cstring>

#include "photos/PhotoExif.h"

namespace {

// A hostile file may be nothing but tiny chunks: the walk gives up after this many.
constexpr int kMaxChunks = 4096;

bool ReadExactly(FILE* file, void* out, size_t size)
{
    return std::fread(out, 1, size, file) == size;
}

bool Skip(FILE* file, uint64_t bytes)
{
    // Seeking past the end "succeeds"; the next read then fails, which ends the walk.
    if (bytes > uint64_t(INT64_MAX)) return false;
    return fseeko(file, static_cast<off_t>(bytes), SEEK_CUR) == 0;
}

// The TIFF structure of a chunk as an APP1 segment's block; chunks written by some tools start
// with the "Exif\0\0" header already.
bool ReadTiffChunk(FILE* file, uint32_t length, std::string& block)
{
    if (length < 8 || length > kMaxExifBytes) return false;
    std::string data(length, '\0');
    if (!ReadExactly(file, data.data(), length)) return false;
    if (data.compare(0, 6, std::string("Exif\0\0", 6)) == 0) {
        block = std::move(data);
    } else {
        if (length > kMaxExifBytes - 6) return false;
        block = std::string("Exif\0\0", 6) + data;
    }
    return true;
}

}  // namespace

bool ReadPngExifBlock(FILE* file, std::string& block)
{
    block.clear();
    std::rewind(file);
    uint8_t signature[8];
    if (!ReadExactly(file, signature, 8) || std::memcmp(signature, "\x89PNG\r\n\x1A\n", 8) != 0)
        return false;
    for (int n = 0; n < kMaxChunks; ++n) {
        uint8_t head[8];
        if (!ReadExactly(file, head, 8)) return false;
        const uint32_t length = (uint32_t(head[0]) << 24) | (uint32_t(head[1]) << 16) |
                                (uint32_t(head[2]) << 8) | head[3];
        if (length > 0x7FFFFFFFu) return false;
        const char* type = reinterpret_cast<const char*>(head + 4);
        if (std::memcmp(type, "eXIf", 4) == 0) return ReadTiffChunk(file, length, block);
        if (std::memcmp(type, "IEND", 4) == 0) return false;
        if (!Skip(file, uint64_t(length) + 4)) return false;  // the data and its CRC
    }
    return false;
}

bool ReadWebPExifBlock(FILE* file, std::string& block)
{
    block.clear();
    std::rewind(file);
    uint8_t header[12];
    if (!ReadExactly(file, header, 12) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WEBP", 4) != 0)
        return false;
    for (int n = 0; n < kMaxChunks; ++n) {
        uint8_t head[8];
        if (!ReadExactly(file, head, 8)) return false;
        const uint32_t length = uint32_t(head[4]) | (uint32_t(head[5]) << 8) |
                                (uint32_t(head[6]) << 16) | (uint32_t(head[7]) << 24);
        if (std::memcmp(head, "EXIF", 4) == 0) return ReadTiffChunk(file, length, block);
        // Chunks are padded to an even length.
        if (!Skip(file, uint64_t(length) + (length & 1))) return false;
    }
    return false;
}

bool ReadJpegExifBlock(FILE* file, std::string& block)
{
    block.clear();
    std::rewind(file);
    uint8_t start[2];
    if (!ReadExactly(file, start, 2) || start[0] != 0xFF || start[1] != 0xD8) return false;
    for (int n = 0; n < kMaxChunks; ++n) {
        int byte = std::getc(file);
        if (byte != 0xFF) return false;
        // Any number of 0xFF bytes may pad the space before a marker.
        while (byte == 0xFF) byte = std::getc(file);
        if (byte == EOF) return false;
        const uint8_t marker = uint8_t(byte);
        // Markers that stand alone, without a length.
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        // The picture data (or the end) comes before any EXIF block.
        if (marker == 0xDA || marker == 0xD9 || marker == 0xD8) return false;
        uint8_t size[2];
        if (!ReadExactly(file, size, 2)) return false;
        const uint32_t length = (uint32_t(size[0]) << 8) | size[1];
        if (length < 2) return false;
        const uint32_t payload = length - 2;
        if (marker == 0xE1 && payload >= 6) {
            std::string data(payload, '\0');
            if (!ReadExactly(file, data.data(), payload)) return false;
            if (data.compare(0, 6, std::string("Exif\0\0", 6)) == 0) {
                block = std::move(data);
                return true;
            }
            continue;  // XMP and other APP1 blocks
        }
        if (!Skip(file, payload)) return false;
    }
    return false;
}
