#include "tides/TidePredictor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kJapanOffsetSeconds = 9 * 3600.0;
// The curve is scanned for turning points at this step.  The fastest wave of the data (M8) has
// its high and low an hour and a half apart; two turning points closer than the step differ by
// far less than the wiggle size.
constexpr double kScanStepSeconds = 1200.0;
constexpr int kScanStepsPerDay = static_cast<int>(kSecondsPerDay / kScanStepSeconds);

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
long long DaysFromCivil(long long y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int* y, int* m, int* d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *y = static_cast<int>(yoe + era * 400 + (*m <= 2 ? 1 : 0));
}

}  // namespace

std::vector<CTideTurn> WithoutWiggles(std::vector<CTideTurn> turns, double wiggleCm)
{
    for (;;) {
        size_t best = turns.size();
        double bestDifference = wiggleCm;
        for (size_t k = 0; k + 1 < turns.size(); ++k) {
            const double difference = std::fabs(turns[k].heightCm - turns[k + 1].heightCm);
            if (difference < bestDifference) {
                bestDifference = difference;
                best = k;
            }
        }
        if (best == turns.size()) return turns;
        turns.erase(turns.begin() + static_cast<std::ptrdiff_t>(best),
                    turns.begin() + static_cast<std::ptrdiff_t>(best) + 2);
    }
}

CTidePredictor::CTidePredictor(const CTideStation& station)
    : m_meanCm(station.mslAboveDatumM * 100.0)
{
    for (const CTideConstituentValue& value : station.constituents) {
        const CTideConstituentDef* def = FindTideConstituentDef(value.name);
        if (def == nullptr) {
            m_unknown.push_back(value.name);
            continue;
        }
        m_terms.push_back(CTerm{def, value.amplitudeM * 100.0, value.phaseDeg,
                                TideConstituentSpeedDegPerHour(*def) * kDeg / 3600.0});
        m_scanStepRe.push_back(std::cos(m_terms.back().speedRadPerSec * kScanStepSeconds));
        m_scanStepIm.push_back(std::sin(m_terms.back().speedRadPerSec * kScanStepSeconds));
    }
}

double CTidePredictor::JapanMidnightUtc(int year, int month, int day)
{
    return static_cast<double>(DaysFromCivil(year, month, day)) * kSecondsPerDay -
           kJapanOffsetSeconds;
}

double CTidePredictor::HeightCmAtUtc(double unixSeconds) const
{
    const CTideAstronomy astro = TideAstronomyAtUtc(unixSeconds);
    const CNodeTermTable nodes = NodeTermTableAt(astro);
    double height = m_meanCm;
    for (const CTerm& term : m_terms) {
        const CNodeCorrection c = TideNodeCorrection(*term.def, nodes);
        const double v = TideEquilibriumArgumentDeg(*term.def, astro);
        height += c.f * term.amplitudeCm * std::cos((v + c.uDeg - term.phaseLagDeg) * kDeg);
    }
    return height;
}

double CTidePredictor::CDayWaves::Height(double t) const
{
    double height = 0;
    const double dt = t - start;
    for (size_t k = 0; k < amplitude.size(); ++k) {
        height += amplitude[k] * std::cos(phase[k] + speed[k] * dt);
    }
    return height;
}

void CTidePredictor::CDayWaves::Evaluate(double t, double* height, double* slope,
                                         double* curvature) const
{
    double h = 0;
    double s = 0;
    double c = 0;
    const double dt = t - start;
    for (size_t k = 0; k < amplitude.size(); ++k) {
        const double angle = phase[k] + speed[k] * dt;
        const double cosine = std::cos(angle);
        const double sine = std::sin(angle);
        h += amplitude[k] * cosine;
        s -= amplitude[k] * speed[k] * sine;
        c -= amplitude[k] * speed[k] * speed[k] * cosine;
    }
    *height = h;
    *slope = s;
    *curvature = c;
}

CTidePredictor::CTurningPoint CTidePredictor::RefineTurningPoint(const CDayWaves& waves, double a,
                                                                 double slopeA, double b,
                                                                 double slopeB) const
{
    // Newton's method on the slope from the secant's estimate, kept inside the bracket; the
    // curve is smooth over a step, so two or three rounds bring it within a second.
    const bool rising = slopeA > 0;
    double t = slopeA == slopeB ? (a + b) / 2 : b - slopeB * (b - a) / (slopeB - slopeA);
    double height = 0;
    for (int round = 0; round < 30; ++round) {
        double slope = 0;
        double curvature = 0;
        waves.Evaluate(t, &height, &slope, &curvature);
        if ((slope > 0) == rising) {
            a = t;
        } else {
            b = t;
        }
        double next = curvature != 0 ? t - slope / curvature : (a + b) / 2;
        if (!(next > a && next < b)) next = (a + b) / 2;
        const bool close = std::fabs(next - t) < 0.5 || b - a < 0.5;
        t = next;
        if (close) break;
    }
    return CTurningPoint{t, m_meanCm + height, rising};
}

CTidePredictor::CDayWaves CTidePredictor::WavesOfDay(double dayStartUtc) const
{
    // V at the day's start; f and u change so slowly that the day's middle serves all of it.
    const CTideAstronomy astro = TideAstronomyAtUtc(dayStartUtc);
    const CNodeTermTable nodes = NodeTermTableAt(TideAstronomyAtUtc(dayStartUtc + 43200.0));
    CDayWaves waves;
    waves.start = dayStartUtc;
    waves.amplitude.reserve(m_terms.size());
    waves.phase.reserve(m_terms.size());
    waves.speed.reserve(m_terms.size());
    for (const CTerm& term : m_terms) {
        const CNodeCorrection c = TideNodeCorrection(*term.def, nodes);
        waves.amplitude.push_back(c.f * term.amplitudeCm);
        waves.phase.push_back(
            (TideEquilibriumArgumentDeg(*term.def, astro) + c.uDeg - term.phaseLagDeg) * kDeg);
        waves.speed.push_back(term.speedRadPerSec);
    }
    return waves;
}

std::vector<CTidePredictor::CTurningPoint> CTidePredictor::TurningPoints(double fromUtc,
                                                                         int days) const
{
    std::vector<CTurningPoint> points;
    double previousT = 0;
    double previousSlope = 0;
    bool havePrevious = false;
    const size_t n = m_terms.size();
    std::vector<double> re(n);
    std::vector<double> im(n);
    std::vector<double> weight(n);
    for (int day = 0; day < days; ++day) {
        const CDayWaves waves = WavesOfDay(fromUtc + day * kSecondsPerDay);
        for (size_t k = 0; k < n; ++k) {
            re[k] = std::cos(waves.phase[k]);
            im[k] = std::sin(waves.phase[k]);
            weight[k] = waves.amplitude[k] * waves.speed[k];
        }
        for (int step = 0; step < kScanStepsPerDay; ++step) {
            // The slope at this sample from each wave's phasor; then every phasor turns a step.
            // Four sums side by side, so each does not wait for the one before.
            double sums[4] = {0, 0, 0, 0};
            size_t k = 0;
            for (; k + 4 <= n; k += 4) {
                sums[0] += weight[k] * im[k];
                sums[1] += weight[k + 1] * im[k + 1];
                sums[2] += weight[k + 2] * im[k + 2];
                sums[3] += weight[k + 3] * im[k + 3];
            }
            for (; k < n; ++k) sums[0] += weight[k] * im[k];
            const double slope = -((sums[0] + sums[1]) + (sums[2] + sums[3]));
            for (k = 0; k < n; ++k) {
                const double r = re[k] * m_scanStepRe[k] - im[k] * m_scanStepIm[k];
                im[k] = re[k] * m_scanStepIm[k] + im[k] * m_scanStepRe[k];
                re[k] = r;
            }
            const double t = waves.start + step * kScanStepSeconds;
            if (havePrevious &&
                ((previousSlope > 0 && slope <= 0) || (previousSlope < 0 && slope >= 0))) {
                points.push_back(RefineTurningPoint(waves, previousT, previousSlope, t, slope));
            }
            previousT = t;
            previousSlope = slope;
            havePrevious = true;
        }
    }

    return WithoutWiggles(std::move(points), kWiggleCm);
}

std::vector<CTideExtreme> CTidePredictor::Extremes(int y1, int m1, int d1, int y2, int m2,
                                                   int d2) const
{
    const double first = JapanMidnightUtc(y1, m1, d1);
    const double end = JapanMidnightUtc(y2, m2, d2) + kSecondsPerDay;
    if (end <= first) return {};
    // A day on either side, so a high at midnight or a wiggle across it is judged whole.
    const int days = static_cast<int>(std::lround((end - first) / kSecondsPerDay)) + 2;
    const std::vector<CTurningPoint> points = TurningPoints(first - kSecondsPerDay, days);

    std::vector<CTideExtreme> extremes;
    for (const CTurningPoint& point : points) {
        // Tables give the minute nearest to the turning point; that minute decides the day.
        const double minuteUtc = std::round(point.t / 60.0) * 60.0;
        if (minuteUtc < first || minuteUtc >= end) continue;
        const long long japanMinutes =
            static_cast<long long>(std::llround((minuteUtc + kJapanOffsetSeconds) / 60.0));
        const long long dayNumber =
            japanMinutes >= 0 ? japanMinutes / 1440 : -((-japanMinutes + 1439) / 1440);
        const int minuteOfDay = static_cast<int>(japanMinutes - dayNumber * 1440);
        CTideExtreme extreme{};
        CivilFromDays(dayNumber, &extreme.year, &extreme.month, &extreme.day);
        extreme.hour = minuteOfDay / 60;
        extreme.minute = minuteOfDay % 60;
        extreme.high = point.high;
        extreme.heightCm = point.heightCm;
        extremes.push_back(extreme);
    }
    return extremes;
}

std::vector<CTideExtreme> CTidePredictor::DayExtremes(int y, int m, int d) const
{
    return Extremes(y, m, d, y, m, d);
}

std::vector<double> CTidePredictor::DayCurveCm(int y, int m, int d, int stepMinutes) const
{
    if (stepMinutes <= 0) return {};
    const CDayWaves waves = WavesOfDay(JapanMidnightUtc(y, m, d));
    std::vector<double> curve;
    for (int minute = 0; minute <= 1440; minute += stepMinutes) {
        curve.push_back(m_meanCm + waves.Height(waves.start + minute * 60.0));
    }
    return curve;
}
