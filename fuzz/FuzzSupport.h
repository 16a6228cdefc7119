#pragma once

// Shared by the fuzz targets: a scratch folder for the files the code under test reads and
// writes, and a check that stops the run with a message when a property of the code does not
// hold (libFuzzer then keeps the input as a finding, like a crash).

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition, message)                                                         \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "FUZZ_CHECK failed at %s:%d: %s\n  %s\n", __FILE__, __LINE__, \
                         #condition, std::string(message).c_str());                            \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace fuzz {

inline void RemoveTree(const std::string& path)
{
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            const std::string child = path + "/" + name;
            struct stat st {};
            if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
                RemoveTree(child);
            } else {
                unlink(child.c_str());
            }
        }
        closedir(dir);
    }
    rmdir(path.c_str());
}

// One folder per fuzzing process, on a memory file system when there is one: every save
// flushes to disk, which would make each run take milliseconds on a real disk.
inline const std::string& ScratchDir()
{
    static const std::string dir = [] {
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        if (const char* tmp = getenv("LUREBOOK_FUZZ_TMP")) base = tmp;
        std::string pattern = base + "/lurebook-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        static std::string removeAtExit;
        removeAtExit = pattern;
        std::atexit([] { RemoveTree(removeAtExit); });
        return pattern + "/";
    }();
    return dir;
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good(), "cannot write the scratch file " + path);
}

// The bytes of path; "<missing>" marks a file that does not exist.
inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Names in folder (without "." and ".."), sorted.
inline std::vector<std::string> ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Empties folder (keeping the folder itself).
inline void ClearFolder(const std::string& folder)
{
    for (const std::string& name : ListFolder(folder)) {
        const std::string path = folder + name;
        struct stat st {};
        if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            RemoveTree(path);
        } else {
            unlink(path.c_str());
        }
    }
}

// Splits fuzz input into parts at a separator line, so that one input can carry several
// values (for example a file and a text to store in it).
inline std::vector<std::string> SplitInput(const uint8_t* data, size_t size,
                                           const std::string& separator, size_t parts)
{
    std::string rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> out;
    while (out.size() + 1 < parts) {
        const size_t at = rest.find(separator);
        if (at == std::string::npos) break;
        out.push_back(rest.substr(0, at));
        rest.erase(0, at + separator.size());
    }
    out.push_back(rest);
    while (out.size() < parts) out.emplace_back();
    return out;
}

}  // namespace fuzz
