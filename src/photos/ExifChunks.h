#pragma once

#include <cstdio>
#include <string>

// The EXIF blocks that PNG (an "eXIf" chunk) and WebP (an "EXIF" chunk) files carry, read from an
// opened file by walking its chunks without reading their pixels.  block receives the EXIF block
// as a JPEG APP1 segment carries it ("Exif\0\0" and the TIFF structure), at most kMaxExifBytes.
// False when the file has none, or its chunks do not hold together before one is found.
bool ReadPngExifBlock(FILE* file, std::string& block);
bool ReadWebPExifBlock(FILE* file, std::string& block);
