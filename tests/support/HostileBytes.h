#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <string_view>

// size bytes that a reader of text files must survive: mostly the given structure (repeated),
// with a share of arbitrary bytes (zero bytes, lone CRs, CP932 lead bytes, broken UTF-8) mixed
// in at places that depend on seed.  The same seed gives the same bytes.
inline std::string HostileBytes(size_t size, std::string_view structure, unsigned seed = 1)
{
    std::string bytes;
    bytes.reserve(size);
    std::mt19937 random(seed);
    while (bytes.size() < size) {
        if (random() % 8 == 0) {
            bytes += static_cast<char>(random() % 256);
        } else {
            bytes.append(structure.substr(0, size - bytes.size()));
        }
    }
    return bytes;
}
