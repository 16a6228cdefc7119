#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "data/TripRecord.h"

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

// Stores trips through the catch store into an empty catch file of a fresh temporary folder, as
// the program would save them.
CGeneratedCatchFile StoreBenchTrips(const std::vector<CTripRecord>& trips);

// Removes a generated folder with everything in it.
void RemoveGeneratedCatchFile(const CGeneratedCatchFile& file);

// One generated file per trip count, made on first use and shared by the benchmarks of a run.
const CGeneratedCatchFile& SharedCatchFile(int tripCount);
// Removes the shared files (at the end of a run).
void ReleaseSharedCatchFiles();
// The bytes of a file (empty when it cannot be read).
std::string ReadBenchFile(const std::string& path);

// The baseline of the ratios: reading the shared file of state.range(0) trips (as every store
// operation must) and a plain libxml2 parse of it.
void RunBareParse(benchmark::State& state);
