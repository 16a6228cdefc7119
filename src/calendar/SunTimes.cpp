#include "calendar/SunTimes.h"

#include <libnova/precession.h>
#include <libnova/sidereal_time.h>
#include <libnova/solar.h>

#include <cmath>
#include <numbers>
#include <unordered_map>

#include "calendar/MoonPhase.h"

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kJapanOffsetDays = 9.0 / 24.0;
// The sun rises and sets when its upper limb touches the horizon: its centre 50' below it, the
// standard refraction at the horizon (34') and the sun's semidiameter (16'), as the almanacs
// (国立天文台 暦計算室) reckon.
constexpr double kHorizonAltitudeDeg = -50.0 / 60.0;
// Degrees the earth turns against the stars in a mean solar day.
constexpr double kSiderealDegPerDay = 360.98564736629;

double Wrap180(double degrees)
{
    double wrapped = std::fmod(degrees, 360.0);
    if (wrapped > 180.0) wrapped -= 360.0;
    if (wrapped <= -180.0) wrapped += 360.0;
    return wrapped;
}

// The sun's apparent position at 0h UT of a day (a Julian day ending in .5).  The days around
// a date are asked for again and again (every place, every day next to it), so each is computed
// once per thread and kept.
ln_equ_posn SolarPositionAt0h(double julianDay)
{
    constexpr size_t kKept = 1 << 16;  // some 180 years of days
    thread_local std::unordered_map<double, ln_equ_posn> known;
    const auto found = known.find(julianDay);
    if (found != known.end()) return found->second;
    if (known.size() >= kKept) known.clear();
    // The library gives the position referred to the equinox of J2000; the sidereal time is
    // that of the date's equinox, some 0.4° (a minute and a half of rising and setting) on in
    // the 2020s, so the position is carried to the date's equinox first.
    ln_equ_posn j2000{};
    ln_get_solar_equ_coords(julianDay, &j2000);
    ln_equ_posn position{};
    ln_get_equ_prec(&j2000, julianDay, &position);
    known.emplace(julianDay, position);
    return position;
}

// The sun's apparent position at any instant, interpolated (second order) between its positions
// at 0h UT of the days around it: within a second of arc of the full theory.
ln_equ_posn SolarPosition(double julianDay)
{
    const double day0 = std::floor(julianDay - 0.5) + 0.5;
    const double n = julianDay - day0;
    const ln_equ_posn before = SolarPositionAt0h(day0 - 1);
    const ln_equ_posn at = SolarPositionAt0h(day0);
    const ln_equ_posn after = SolarPositionAt0h(day0 + 1);
    const auto interpolate = [n](double y0, double y1, double y2) {
        const double a = y1 - y0;
        const double b = y2 - y1;
        return y1 + n / 2 * (a + b + n * (b - a));
    };
    ln_equ_posn position{};
    // Right ascension unwrapped across 0h.
    const double ra0 = at.ra + Wrap180(before.ra - at.ra);
    const double ra2 = at.ra + Wrap180(after.ra - at.ra);
    position.ra = interpolate(ra0, at.ra, ra2);
    position.dec = interpolate(before.dec, at.dec, after.dec);
    return position;
}

// The instant (Julian day, UT) nearest to start when the sun's upper limb rises (or sets) at a
// place; false where it does not that day (midnight sun, polar night).
bool HorizonCrossing(double start, double latitude, double longitude, bool rising, double* when)
{
    const double sinLatitude = std::sin(latitude * kDeg);
    const double cosLatitude = std::cos(latitude * kDeg);
    double t = start;
    for (int round = 0; round < 10; ++round) {
        const ln_equ_posn sun = SolarPosition(t);
        const double hourAngle = Wrap180(ln_get_mean_sidereal_time(t) * 15.0 + longitude - sun.ra);
        const double cosH0 =
            (std::sin(kHorizonAltitudeDeg * kDeg) - sinLatitude * std::sin(sun.dec * kDeg)) /
            (cosLatitude * std::cos(sun.dec * kDeg));
        if (!(std::fabs(cosH0) <= 1.0)) return false;
        const double h0 = std::acos(cosH0) / kDeg;
        const double step = Wrap180((rising ? -h0 : h0) - hourAngle) / kSiderealDegPerDay;
        t += step;
        if (std::fabs(step) < 0.1 / 86400.0) break;
    }
    *when = t;
    return true;
}

}  // namespace

CSunDay SunTimesOf(int year, int month, int day, double latitude, double longitude)
{
    // 0:00 Japan time is 15:00 UT of the day before.
    const double dayStart =
        static_cast<double>(JulianDayNumber(year, month, day)) - 0.5 - kJapanOffsetDays;
    // Near local noon the sun is south; it rises about six hours before and sets six after.
    const double noon = dayStart + 0.5 - (longitude - 135.0) / 360.0;
    CSunDay sun;
    double rise = 0;
    double set = 0;
    if (!HorizonCrossing(noon - 0.25, latitude, longitude, true, &rise) ||
        !HorizonCrossing(noon + 0.25, latitude, longitude, false, &set)) {
        return sun;
    }
    // Almanacs give the nearest minute.
    const long riseMinute = std::lround((rise - dayStart) * 1440.0);
    const long setMinute = std::lround((set - dayStart) * 1440.0);
    if (riseMinute < 0 || riseMinute >= 1440 || setMinute < 0 || setMinute >= 1440) return sun;
    sun.valid = true;
    sun.riseMinute = static_cast<int>(riseMinute);
    sun.setMinute = static_cast<int>(setMinute);
    return sun;
}
