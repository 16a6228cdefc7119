#include "photos/ExifChunks.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "photos/PhotoExif.h"

namespace {

// A hostile file may be nothing but tiny chunks: the walk gives up after this many.
constexpr int kMaxChunks = 4096;

uint32_t BigEndian32(const uint8_t* bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) |
           bytes[3];
}

// The TIFF structure of a chunk of length bytes at offset as an APP1 segment's block; chunks
// written by some tools start with the "Exif\0\0" header already.
bool ReadTiffChunk(const CFileBytes& file, uint64_t offset, uint32_t length, std::string& block)
{
    if (length < 8 || length > kMaxExifBytes) return false;
    std::string data(length, '\0');
    if (!file.Read(offset, data.data(), length)) return false;
    if (data.compare(0, 6, std::string("Exif\0\0", 6)) == 0) {
        block = std::move(data);
    } else {
        if (length > kMaxExifBytes - 6) return false;
        block = std::string("Exif\0\0", 6) + data;
    }
    return true;
}

}  // namespace

bool CFileBytes::Read(uint64_t offset, void* out, size_t size) const
{
    auto* to = static_cast<uint8_t*>(out);
    if (offset < m_headSize) {
        const size_t inHead = std::min<uint64_t>(size, m_headSize - offset);
        std::memcpy(to, m_head + offset, inHead);
        to += inHead;
        size -= inHead;
        offset += inHead;
    }
    while (size > 0) {
        // Offsets past what a file can hold come from hostile lengths: they end the walk.
        if (offset > uint64_t(INT64_MAX) - size) return false;
        const ssize_t got = ::pread(m_fd, to, size, off_t(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        to += got;
        size -= size_t(got);
        offset += uint64_t(got);
    }
    return true;
}

bool ReadPngExifBlock(const CFileBytes& file, std::string& block)
{
    block.clear();
    uint8_t signature[8];
    if (!file.Read(0, signature, 8) || std::memcmp(signature, "\x89PNG\r\n\x1A\n", 8) != 0)
        return false;
    uint64_t at = 8;
    for (int n = 0; n < kMaxChunks; ++n) {
        uint8_t head[8];
        if (!file.Read(at, head, 8)) return false;
        const uint32_t length = BigEndian32(head);
        if (length > 0x7FFFFFFFu) return false;
        const char* type = reinterpret_cast<const char*>(head + 4);
        if (std::memcmp(type, "eXIf", 4) == 0) return ReadTiffChunk(file, at + 8, length, block);
        if (std::memcmp(type, "IEND", 4) == 0) return false;
        at += 8 + uint64_t(length) + 4;  // the head, the data and its CRC
    }
    return false;
}

bool ReadWebPExifBlock(const CFileBytes& file, std::string& block)
{
    block.clear();
    uint8_t header[12];
    if (!file.Read(0, header, 12) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WEBP", 4) != 0)
        return false;
    uint64_t at = 12;
    for (int n = 0; n < kMaxChunks; ++n) {
        uint8_t head[8];
        if (!file.Read(at, head, 8)) return false;
        const uint32_t length = uint32_t(head[4]) | (uint32_t(head[5]) << 8) |
                                (uint32_t(head[6]) << 16) | (uint32_t(head[7]) << 24);
        if (std::memcmp(head, "EXIF", 4) == 0) return ReadTiffChunk(file, at + 8, length, block);
        // Chunks are padded to an even length.
        at += 8 + uint64_t(length) + (length & 1);
    }
    return false;
}

bool ReadJpegExifBlock(const CFileBytes& file, std::string& block)
{
    block.clear();
    uint8_t start[2];
    if (!file.Read(0, start, 2) || start[0] != 0xFF || start[1] != 0xD8) return false;
    uint64_t at = 2;
    for (int n = 0; n < kMaxChunks; ++n) {
        uint8_t byte = 0;
        if (!file.Read(at++, &byte, 1) || byte != 0xFF) return false;
        // Any number of 0xFF bytes may pad the space before a marker.
        for (int fill = 0; byte == 0xFF; ++fill)
            if (fill > 65536 || !file.Read(at++, &byte, 1)) return false;
        // Markers that stand alone, without a length.
        if (byte == 0x01 || (byte >= 0xD0 && byte <= 0xD7)) continue;
        // The picture data (or the end) comes before any EXIF block.
        if (byte == 0xDA || byte == 0xD9 || byte == 0xD8) return false;
        uint8_t size[2];
        if (!file.Read(at, size, 2)) return false;
        const uint32_t length = (uint32_t(size[0]) << 8) | size[1];
        if (length < 2) return false;
        const uint32_t payload = length - 2;
        // XMP and other APP1 blocks are passed over unread.
        char kind[6];
        if (byte == 0xE1 && payload >= 6 && file.Read(at + 2, kind, 6) &&
            std::memcmp(kind, "Exif\0\0", 6) == 0) {
            std::string data(payload, '\0');
            if (!file.Read(at + 2, data.data(), payload)) return false;
            block = std::move(data);
            return true;
        }
        at += length;
    }
    return false;
}
