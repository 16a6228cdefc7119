#pragma once

#include <string>

// Generated catch files for benchmarks: trips of about 1 KB each with Japanese texts, three
// catches and two photos per trip, spread over several years and species.
struct CGeneratedCatchFile {
    std::string directory;  // a temporary folder, ending in "/"
    std::string path;       // directory + "fish.xml"
};

// Writes a catch file of tripCount trips into a fresh temporary folder.  The same count always
// gives the same bytes.
CGeneratedCatchFile GenerateCatchFile(int tripCount);

// The bytes of such a file without writing it.
std::string GenerateCatchFileBytes(int tripCount);

// Removes a generated folder with everything in it.
void RemoveGeneratedCatchFile(const CGeneratedCatchFile& file);
