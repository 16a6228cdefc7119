#pragma once

#include <functional>

// A calendar date as the user sees it (local time).
struct CDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    bool operator==(const CDate&) const = default;
};

// Today's local date.  Tests replace the source so that nothing depends on the real date.
CDate GetCurrentDate();

// Installs a replacement for GetCurrentDate (an empty function restores the real clock).
void SetCurrentDateSourceForTesting(std::function<CDate()> source);
