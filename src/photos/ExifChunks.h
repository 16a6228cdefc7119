#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The bytes of an opened file as the chunk readers below take them: its first bytes, already read
// by the caller, from memory, and the rest straight from the descriptor where a chunk lies
// further in, so that finding an EXIF block costs no read beyond the first one as a rule.
class CFileBytes {
public:
    // head holds the file's first headSize bytes and outlives this object; fd stays open.
    CFileBytes(int fd, const uint8_t* head, size_t headSize)
        : m_fd(fd), m_head(head), m_headSize(headSize)
    {
    }
    // Exactly size bytes at offset; false when the file ends before them or a read fails.
    bool Read(uint64_t offset, void* out, size_t size) const;

private:
    int m_fd;
    const uint8_t* m_head;
    size_t m_headSize;
};

// The EXIF blocks that PNG (an "eXIf" chunk), WebP (an "EXIF" chunk) and JPEG (an APP1 segment)
// files carry, found by walking their chunks without reading their pixels.  block receives the
// EXIF block as a JPEG APP1 segment carries it ("Exif\0\0" and the TIFF structure), at most
// kMaxExifBytes.  False when the file has none, or its chunks do not hold together before one is
// found.  A JPEG's walk ends at its first scan, so no picture data is ever read.
bool ReadPngExifBlock(const CFileBytes& file, std::string& block);
bool ReadWebPExifBlock(const CFileBytes& file, std::string& block);
bool ReadJpegExifBlock(const CFileBytes& file, std::string& block);
