#include "data/Log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool IsTraceEnabled()
{
    static const bool enabled = [] {
        const char* value = std::getenv("LUREBOOK_TRACE");
        return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
    }();
    return enabled;
}

void LogTrace(std::string_view line)
{
    if (!IsTraceEnabled()) return;
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}
