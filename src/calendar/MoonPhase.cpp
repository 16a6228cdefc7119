#include "calendar/MoonPhase.h"

#include <libnova/dynamical_time.h>
#include <libnova/lunar.h>
#include <libnova/nutation.h>
#include <libnova/solar.h>

#include <cmath>
#include <iterator>
#include <map>
#include <mutex>

namespace {

constexpr double kSynodicMonth = 29.530588861;
// Mean new moon of lunation 0 (JDE), the origin of the lunation numbers.
constexpr double kFirstMeanNewMoon = 2451550.09766;
constexpr double kJapanOffsetDays = 9.0 / 24.0;

// Delta T (dynamical minus universal time, seconds) as observed, every five years from 1950.
constexpr double kObservedDeltaT[] = {29.15, 31.07, 33.15, 35.73, 40.18, 45.48, 50.54, 54.34,
                                      56.86, 60.78, 63.83, 64.69, 66.07, 67.64, 69.36, 69.10};
constexpr int kObservedFirstYear = 1950;
constexpr int kObservedStep = 5;

// Delta T at a Julian day.  The library's own model serves the past; from 1950 the observed
// values are interpolated, and after them the library's extrapolation (over two minutes by now)
// is replaced by a gentle rise, as the earth's rotation has lately kept pace.
double DeltaTSeconds(double jd)
{
    const double year = 2000.0 + (jd - 2451544.5) / 365.25;
    const double position = (year - kObservedFirstYear) / kObservedStep;
    constexpr int kLast = static_cast<int>(std::size(kObservedDeltaT)) - 1;
    if (position < 0) return ln_get_dynamical_time_diff(jd);
    if (position >= kLast) {
        return kObservedDeltaT[kLast] + 0.3 * (position - kLast) * kObservedStep;
    }
    const int index = static_cast<int>(position);
    const double fraction = position - index;
    return kObservedDeltaT[index] +
           fraction * (kObservedDeltaT[index + 1] - kObservedDeltaT[index]);
}

// The moon's apparent longitude minus the sun's, in degrees within (-180, 180], at a dynamical
// time.  The lunar theory gives the mean equinox of date, the solar one adds nutation already;
// the sun's aberration (20.5") is applied here, the moon's is below a second of arc.
double Elongation(double jde)
{
    ln_lnlat_posn moon{};
    ln_lnlat_posn sun{};
    ln_nutation nutation{};
    ln_get_lunar_ecl_coords(jde, &moon, 0);
    ln_get_solar_ecl_coords(jde, &sun);
    ln_get_nutation(jde, &nutation);
    double difference = (moon.lng + nutation.longitude) - (sun.lng - 20.496 / 3600.0);
    difference = std::fmod(difference, 360.0);
    if (difference > 180.0) difference -= 360.0;
    if (difference <= -180.0) difference += 360.0;
    return difference;
}

double ComputeNewMoon(long long k)
{
    // Start at the mean new moon and close in by the secant method; the elongation grows by
    // 10 to 15 degrees a day, so a few steps bring it within a second.
    double t0 = kFirstMeanNewMoon + kSynodicMonth * static_cast<double>(k);
    double f0 = Elongation(t0);
    double t1 = t0 - f0 / 12.19;
    for (int step = 0; step < 20; ++step) {
        const double f1 = Elongation(t1);
        if (std::fabs(f1) < 1e-7 || f1 == f0) break;
        const double t2 = t1 - f1 * (t1 - t0) / (f1 - f0);
        t0 = t1;
        f0 = f1;
        t1 = t2;
    }
    // The theories run on dynamical time; civil time lags it by delta T.
    return t1 - DeltaTSeconds(t1) / 86400.0;
}

// Japan-time date of an instant, as a Julian day number.
long long JapanDayNumber(double julianDayUT)
{
    return static_cast<long long>(std::floor(julianDayUT + kJapanOffsetDays + 0.5));
}

}  // namespace

long long JulianDayNumber(long long year, int month, int day)
{
    const long long a = (14 - month) / 12;
    const long long y = year + 4800 - a;
    const long long m = month + 12 * a - 3;
    auto floorDiv = [](long long n, long long d) { return n >= 0 ? n / d : -((-n + d - 1) / d); };
    return day + (153 * m + 2) / 5 + 365 * y + floorDiv(y, 4) - floorDiv(y, 100) +
           floorDiv(y, 400) - 32045;
}

double NewMoonJulianDay(long long k)
{
    // The calendar asks for the same few new moons again and again; they are worth keeping.
    static std::mutex mutex;
    static std::map<long long, double> known;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto found = known.find(k);
    if (found != known.end()) return found->second;
    const double jd = ComputeNewMoon(k);
    known.emplace(k, jd);
    return jd;
}

const char* TideNameOfLunarDay(int lunarDay)
{
    static const char* const kNames[31] = {
        "",                              // no lunar day 0
        "大潮", "大潮",                  // 1-2
        "中潮", "中潮", "中潮", "中潮",  // 3-6
        "小潮", "小潮", "小潮",          // 7-9
        "長潮", "若潮",                  // 10, 11
        "中潮", "中潮",                  // 12-13
        "大潮", "大潮", "大潮", "大潮",  // 14-17
        "中潮", "中潮", "中潮", "中潮",  // 18-21
        "小潮", "小潮", "小潮",          // 22-24
        "長潮", "若潮",                  // 25, 26
        "中潮", "中潮",                  // 27-28
        "大潮", "大潮",                  // 29-30
    };
    if (lunarDay < 1 || lunarDay > 30) return "";
    return kNames[lunarDay];
}

CMoonDay MoonDayOf(int year, int month, int day)
{
    const long long dayNumber = JulianDayNumber(year, month, day);
    // Noon in Japan is 03:00 UT; a Julian day starts at noon UT.
    const double noon = static_cast<double>(dayNumber) - 0.5 + 3.0 / 24.0;

    // The lunation whose new moon is the last one before noon, by its mean then its true time.
    long long k = static_cast<long long>(std::floor((noon - kFirstMeanNewMoon) / kSynodicMonth));
    while (NewMoonJulianDay(k) > noon) --k;
    while (NewMoonJulianDay(k + 1) <= noon) ++k;

    CMoonDay moon;
    moon.age = noon - NewMoonJulianDay(k);
    // The lunar day counts from the date of the new moon, which may fall after noon of today.
    long long firstDay = JapanDayNumber(NewMoonJulianDay(k + 1));
    if (firstDay > dayNumber) firstDay = JapanDayNumber(NewMoonJulianDay(k));
    moon.lunarDay = static_cast<int>(dayNumber - firstDay) + 1;
    moon.tideName = TideNameOfLunarDay(moon.lunarDay);
    return moon;
}
