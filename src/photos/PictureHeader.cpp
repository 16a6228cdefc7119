#include "photos/PictureHeader.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "photos/HeifDecoder.h"

namespace {

// The reads of one header: exact byte counts at offsets within the file, nothing more.
class CHeaderReader {
public:
    explicit CHeaderReader(int fd) : m_fd(fd)
    {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
            m_size = static_cast<uint64_t>(st.st_size);
    }
    uint64_t Size() const { return m_size; }
    bool Read(uint64_t at, void* out, size_t count) const
    {
        if (at > m_size || count > m_size - at) return false;
        size_t done = 0;
        while (done < count) {
            const ssize_t got = ::pread(m_fd, static_cast<char*>(out) + done, count - done,
                                        static_cast<off_t>(at + done));
            if (got <= 0) return false;
            done += static_cast<size_t>(got);
        }
        return true;
    }

private:
    int m_fd;
    uint64_t m_size = 0;
};

uint32_t Big16(const uint8_t* p)
{
    return (uint32_t(p[0]) << 8) | p[1];
}
uint32_t Big32(const uint8_t* p)
{
    return (Big16(p) << 16) | Big16(p + 2);
}
uint32_t Little16(const uint8_t* p)
{
    return p[0] | (uint32_t(p[1]) << 8);
}
uint32_t Little24(const uint8_t* p)
{
    return Little16(p) | (uint32_t(p[2]) << 16);
}
uint32_t Little32(const uint8_t* p)
{
    return Little16(p) | (Little16(p + 2) << 16);
}

bool Positive(uint64_t width, uint64_t height, CPictureSize& size)
{
    if (width == 0 || height == 0 || width > 0x7fffffff || height > 0x7fffffff) return false;
    size = {static_cast<int>(width), static_cast<int>(height)};
    return true;
}

// Markers up to the frame header: each segment's length must lead to the next marker.
bool JpegHeader(const CHeaderReader& file, CPictureSize& size)
{
    uint64_t at = 2;
    for (int segments = 0; segments < 100000; ++segments) {
        uint8_t mark[2];
        if (!file.Read(at, mark, 2) || mark[0] != 0xFF) return false;
        if (mark[1] == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const uint8_t marker = mark[1];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += 2;
            continue;
        }
        // The scan or the end before any frame header: no picture size was ever given.
        if (marker == 0xDA || marker == 0xD9 || marker == 0x00) return false;
        uint8_t length[2];
        if (!file.Read(at + 2, length, 2) || Big16(length) < 2) return false;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            uint8_t head[6];
            if (Big16(length) < 8 || !file.Read(at + 4, head, 6)) return false;
            const unsigned components = head[5];
            if (components < 1 || components > 4 || Big16(length) != 8 + 3 * components)
                return false;
            uint8_t specs[12];
            if (!file.Read(at + 10, specs, 3 * components)) return false;
            for (unsigned c = 0; c < components; ++c) {
                const unsigned h = specs[3 * c + 1] >> 4;
                const unsigned v = specs[3 * c + 1] & 15;
                if (h < 1 || h > 4 || v < 1 || v > 4) return false;
            }
            return Positive(Big16(head + 3), Big16(head + 1), size);
        }
        at += 2 + Big16(length);
    }
    return false;
}

bool PngHeader(const CHeaderReader& file, CPictureSize& size)
{
    uint8_t chunk[8 + 8 + 13 + 4];
    if (!file.Read(0, chunk, sizeof chunk)) return false;
    const uint8_t* ihdr = chunk + 8;
    if (Big32(ihdr) != 13 || std::memcmp(ihdr + 4, "IHDR", 4) != 0) return false;
    const uint8_t* data = ihdr + 8;
    const uLong crc = crc32(crc32(0, nullptr, 0), ihdr + 4, 4 + 13);
    if (crc != Big32(data + 13)) return false;
    const unsigned depth = data[8];
    const unsigned colour = data[9];
    bool depthFits = false;
    switch (colour) {
        case 0:
            depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
            break;
        case 3:
            depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8;
            break;
        case 2:
        case 4:
        case 6:
            depthFits = depth == 8 || depth == 16;
            break;
        default:
            return false;
    }
    if (!depthFits || data[10] != 0 || data[11] != 0 || data[12] > 1) return false;
    return Positive(Big32(data), Big32(data + 4), size);
}

bool WebPHeader(const CHeaderReader& file, CPictureSize& size)
{
    uint8_t head[30] = {};
    if (!file.Read(0, head, 20)) return false;
    const uint64_t riff = Little32(head + 4);
    const uint64_t chunk = Little32(head + 16);
    if (riff < 4 + 8 + chunk || riff + 8 > file.Size()) return false;
    // The chunk's first bytes, as many as each kind of chunk needs at most.
    if (!file.Read(20, head + 20, static_cast<size_t>(std::min<uint64_t>(chunk, 10)))) return false;
    const uint8_t* data = head + 20;
    if (std::memcmp(head + 12, "VP8 ", 4) == 0) {
        // A key frame: its tag's lowest bit clear, then the start code.
        if (chunk < 10 || (data[0] & 1) != 0 || data[3] != 0x9d || data[4] != 0x01 ||
            data[5] != 0x2a) {
            return false;
        }
        return Positive(Little16(data + 6) & 0x3fff, Little16(data + 8) & 0x3fff, size);
    }
    if (std::memcmp(head + 12, "VP8L", 4) == 0) {
        if (chunk < 5 || data[0] != 0x2f) return false;
        const uint32_t bits = Little32(data + 1);
        if ((bits >> 29) != 0) return false;  // the version must be 0
        return Positive((bits & 0x3fff) + 1, ((bits >> 14) & 0x3fff) + 1, size);
    }
    if (std::memcmp(head + 12, "VP8X", 4) == 0) {
        if (chunk < 10) return false;
        return Positive(uint64_t{Little24(data + 4)} + 1, uint64_t{Little24(data + 7)} + 1, size);
    }
    return false;
}

bool TiffHeader(const CHeaderReader& file, CPictureSize& size)
{
    uint8_t head[8];
    if (!file.Read(0, head, sizeof head)) return false;
    const bool little = head[0] == 'I';
    const auto u16 = [&](const uint8_t* p) { return little ? Little16(p) : Big16(p); };
    const auto u32 = [&](const uint8_t* p) { return little ? Little32(p) : Big32(p); };
    const uint64_t ifd = u32(head + 4);
    uint8_t countBytes[2];
    if (ifd < 8 || !file.Read(ifd, countBytes, 2)) return false;
    const unsigned count = u16(countBytes);
    if (count == 0 || count > 4096) return false;
    uint64_t width = 0;
    uint64_t height = 0;
    for (unsigned n = 0; n < count; ++n) {
        uint8_t entry[12];
        if (!file.Read(ifd + 2 + 12 * uint64_t{n}, entry, sizeof entry)) return false;
        const unsigned tag = u16(entry);
        const unsigned type = u16(entry + 2);
        if ((tag != 256 && tag != 257) || u32(entry + 4) != 1) continue;
        // SHORT values sit in the first two bytes of the value field, LONG ones fill it.
        const uint64_t value = type == 3 ? u16(entry + 8) : type == 4 ? u32(entry + 8) : 0;
        (tag == 256 ? width : height) = value;
    }
    return Positive(width, height, size);
}

}  // namespace

EPhotoFormat ReadPictureHeader(int fd, const std::string& path, CPictureSize& size)
{
    size = {};
    const CHeaderReader file(fd);
    uint8_t head[kSniffBytes] = {};
    const size_t got = static_cast<size_t>(std::min<uint64_t>(file.Size(), sizeof head));
    if (!file.Read(0, head, got)) return EPhotoFormat::Unknown;
    const EPhotoFormat format = SniffPhotoFormat(head, got);
    bool whole = false;
    switch (format) {
        case EPhotoFormat::Jpeg:
            whole = JpegHeader(file, size);
            break;
        case EPhotoFormat::Png:
            whole = PngHeader(file, size);
            break;
        case EPhotoFormat::WebP:
            whole = WebPHeader(file, size);
            break;
        case EPhotoFormat::Tiff:
            whole = TiffHeader(file, size);
            break;
        case EPhotoFormat::Heif:
            whole = ReadHeifSize(path, size.width, size.height);
            break;
        case EPhotoFormat::Unknown:
            break;
    }
    return whole ? format : EPhotoFormat::Unknown;
}
