#pragma once

#include <string_view>

// Trace lines for debugging.  Silent unless the environment variable LUREBOOK_TRACE is set to a
// non-empty value other than "0"; then every line goes to standard error as it is.
void LogTrace(std::string_view line);

// True when trace lines are written; lets callers skip building expensive trace texts.
bool IsTraceEnabled();
