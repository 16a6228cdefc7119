#pragma once

#include <string>

// The smallest header that reads as a JPEG picture (16 x 16 pixels, one component): the start
// of a test photo whose remaining bytes do not matter to what is tested.
inline std::string JpegHeaderBytes()
{
    return std::string("\xFF\xD8\xFF\xC0\x00\x0B\x08\x00\x10\x00\x10\x01\x01\x11\x00", 15);
}
