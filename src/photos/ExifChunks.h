#pragma once

#include <cstdio>
#include <string>

// The EXIF blocks that PNG (an "eXIf" chunk), WebP (an "EXIF" chunk) and JPEG (an APP1 segment)
// files carry, read from an opened file by walking its chunks without reading their pixels.  block
// receives the EXIF block as a JPEG APP1 segment carries it ("Exif\0\0" and the TIFF structure), at
// most kMaxExifBytes. False when the file has none, or its chunks do not hold together before one
// is found.
bool ReadPngExifBlock(FILE* file, std::string& block);
bool ReadWebPExifBlock(FILE* file, std::string& block);
// The first APP1 segment of a JPEG file that is an EXIF block, found by walking the segments
// after the start marker; the walk ends at the first scan, so no picture data is ever read.
bool ReadJpegExifBlock(FILE* file, std::string& block);
