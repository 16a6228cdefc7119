#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <string>

// Peak memory of this process as the kernel counts it, for checks that hostile input cannot
// make the program take much memory.

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:"); -1 when it cannot be read.
inline long ReadStatusKb(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    }
    return -1;
}

// Starts a new peak from the current size; false where the kernel does not allow it (the
// checks are then skipped).
inline bool ResetPeakMemory()
{
    const int fd = ::open("/proc/self/clear_refs", O_WRONLY);
    if (fd < 0) return false;
    const bool ok = ::write(fd, "5", 1) == 1;
    ::close(fd);
    return ok && ReadStatusKb("VmHWM:") >= 0;
}

// Growth of the peak over startKb since the last reset, in kB.
inline long PeakGrowthKb(long startKb)
{
    return ReadStatusKb("VmHWM:") - startKb;
}
