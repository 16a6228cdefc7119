#include "calendar/SunTimes.h"

#include <libnova/rise_set.h>
#include <libnova/solar.h>

#include <cmath>
#include <unordered_map>

#include "calendar/MoonPhase.h"

namespace {

constexpr double kJapanOffsetDays = 9.0 / 24.0;

// Minutes after 0:00 Japan time of an instant on the day whose 0:00 is dayStart (a Julian
// day), or -1 when the instant falls on another day.
int MinuteOfDay(double julianDay, double dayStart)
{
    const double minutes = std::round((julianDay - dayStart) * 1440.0);
    if (minutes < 0 || minutes >= 1440) return -1;
    return static_cast<int>(minutes);
}

// The sun's apparent position at an instant, as the library computes it for rise and set.  The
// rise and set of a day ask for it at 0h UT of the days around that day: the same instants for
// every place and for the days next to it, so each is computed once (per thread) and kept.
void SolarPosition(double julianDay, ln_equ_posn* position)
{
    constexpr size_t kKept = 1 << 16;  // some 90 years of days
    thread_local std::unordered_map<double, ln_equ_posn> known;
    const auto found = known.find(julianDay);
    if (found != known.end()) {
        *position = found->second;
        return;
    }
    if (known.size() >= kKept) known.clear();
    ln_get_solar_equ_coords(julianDay, position);
    known.emplace(julianDay, *position);
}

}  // namespace

CSunDay SunTimesOf(int year, int month, int day, double latitude, double longitude)
{
    // 0:00 Japan time is 15:00 UT of the day before.
    const double dayStart =
        static_cast<double>(JulianDayNumber(year, month, day)) - 0.5 - kJapanOffsetDays;
    ln_lnlat_posn observer{longitude, latitude};
    CSunDay sun;
    int rise = -1;
    int set = -1;
    // The library answers for the events after the given instant's UT date begins; asking from
    // the day's start, then from its middle, finds both of the Japan-time day.
    for (const double from : {dayStart, dayStart + 0.5, dayStart - 0.5}) {
        ln_rst_time times{};
        if (ln_get_body_rst_horizon(from, &observer, SolarPosition, LN_SOLAR_STANDART_HORIZON,
                                    &times) != 0) {
            return sun;
        }
        if (rise < 0) rise = MinuteOfDay(times.rise, dayStart);
        if (set < 0) set = MinuteOfDay(times.set, dayStart);
        if (rise >= 0 && set >= 0) break;
    }
    if (rise < 0 || set < 0) return sun;
    sun.valid = true;
    sun.riseMinute = rise;
    sun.setMinute = set;
    return sun;
}
