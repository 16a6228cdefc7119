#include "tides/TideConstituents.h"

#include <cmath>
#include <iterator>
#include <numbers>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

// Julian day of 1970-01-01 00:00 UT and of Schureman's epoch, 1900 January 0.5.
constexpr double kUnixEpochJulianDay = 2440587.5;
constexpr double kSchuremanEpochJulianDay = 2415020.0;
constexpr double kDaysPerCentury = 36525.0;

// Obliquity of the ecliptic and inclination of the moon's orbit to it (Schureman's values).
constexpr double kObliquity = 23.452;
constexpr double kLunarInclination = 5.145;

// Degrees per mean solar hour of T, s, h, p, N' (= -N) and p1: the linear terms of the
// longitudes below, per hour.
constexpr double kHoursPerCentury = kDaysPerCentury * 24.0;
constexpr double kRates[6] = {15.0,
                              481267.8831 / kHoursPerCentury,
                              36000.768925 / kHoursPerCentury,
                              4069.034033 / kHoursPerCentury,
                              1934.142008 / kHoursPerCentury,
                              1.719175 / kHoursPerCentury};

double Wrap360(double degrees)
{
    double wrapped = std::fmod(degrees, 360.0);
    if (wrapped < 0) wrapped += 360.0;
    return wrapped;
}

double Wrap180(double degrees)
{
    const double wrapped = Wrap360(degrees);
    return wrapped > 180.0 ? wrapped - 360.0 : wrapped;
}

using E = ENodeTerm;
constexpr int kTerms = static_cast<int>(ENodeTerm::Count);

// Node-term powers in the order Mm, Mf, O1, K1, J1, OO1, M2, K2, L2, M1, M3.
#define NONE                            \
    {                                   \
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 \
    }
#define MM                              \
    {                                   \
        1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 \
    }
#define MF                              \
    {                                   \
        0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0 \
    }
#define O1F                             \
    {                                   \
        0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0 \
    }
#define K1F                             \
    {                                   \
        0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0 \
    }
#define J1F                             \
    {                                   \
        0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0 \
    }
#define OO1F                            \
    {                                   \
        0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0 \
    }
#define M2F(n)                          \
    {                                   \
        0, 0, 0, 0, 0, 0, n, 0, 0, 0, 0 \
    }
#define K2F                             \
    {                                   \
        0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0 \
    }
#define L2F                             \
    {                                   \
        0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0 \
    }
#define M1F                             \
    {                                   \
        0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0 \
    }
#define M3F                             \
    {                                   \
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1 \
    }

// Every constituent the Japanese station data carries, in one convention: the IHO's (the
// Tidal Committee's standard list, Foreman's Manual for Tidal Heights Analysis and Prediction,
// 1977/2004), which the station constants are referred to.  Doodson numbers over tau, s, h, p,
// N', p1 with T, the hour angle of the mean sun, counted from lower transit (T = 180° at 0h UT);
// the phase offset is the constant part of V in that T.  Beside each row: where its V (Doodson
// numbers and offset), its u and its f come from.  "Sch." is Schureman's Manual of Harmonic
// Analysis and Prediction of Tides (1958): its Table 2 gives V and u, its equations (numbered
// beside the row) f.  Compound (shallow-water) waves take the sums of
// their parts' V, u and f, as the IHO list defines them.
constexpr CTideConstituentDef kConstituents[] = {
    // Long period.
    {"SA", {0, 0, 1, 0, 0, 0}, 0, NONE},       // V Sch. h; no u; f 1
    {"SSA", {0, 0, 2, 0, 0, 0}, 0, NONE},      // V Sch. 2h; no u; f 1
    {"MM", {0, 1, 0, -1, 0, 0}, 0, MM},        // V Sch.; u 0, f Sch. eq. 73
    {"MSF", {0, 2, -2, 0, 0, 0}, 0, M2F(-1)},  // V, u, f IHO: S2 - M2
    {"MF", {0, 2, 0, 0, 0, 0}, 0, MF},         // V Sch.; u -2xi, f Sch. eq. 74
    {"MSQM", {0, 4, -2, 0, 0, 0}, 0, {0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0}},  // IHO: MF + MSF
    {"MTM", {0, 3, 0, -1, 0, 0}, 0, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},    // IHO: MF + MM
    // Diurnal.
    {"2Q1", {1, -3, 0, 2, 0, 0}, 90, O1F},    // V Sch. (T - 4s + h + 2p + 90); u, f of O1
    {"SGM", {1, -3, 2, 0, 0, 0}, 90, O1F},    // V Sch. (sigma1); u, f of O1
    {"Q1", {1, -2, 0, 1, 0, 0}, 90, O1F},     // V Sch.; u, f of O1
    {"RHO1", {1, -2, 2, -1, 0, 0}, 90, O1F},  // V Sch.; u, f of O1
    {"O1", {1, -1, 0, 0, 0, 0}, 90, O1F},     // V Sch. (T - 2s + h + 90); u 2xi - nu, f eq. 75
    {"M1", {1, 0, 0, 1, 0, 0}, -90, M1F},     // V Sch. (T + p - 90); u, f Sch. eqs. 197, 207
    {"P1", {1, 1, -2, 0, 0, 0}, 90, NONE},    // V Sch. (T - h + 90); no u; f 1
    {"S1", {1, 1, -1, 0, 0, 0}, 0, NONE},     // V Sch. (T); no u; f 1
    {"K1", {1, 1, 0, 0, 0, 0}, -90, K1F},     // V Sch. (T + h - 90); u -nu', f eq. 227
    {"J1", {1, 2, 0, -1, 0, 0}, -90, J1F},    // V Sch.; u -nu, f Sch. eq. 76
    {"OO1", {1, 3, 0, 0, 0, 0}, -90, OO1F},   // V Sch.; u -2xi - nu, f Sch. eq. 77
    // Semidiurnal.
    {"3N2", {2, -3, 0, 3, 0, 0}, 0, M2F(1)},   // V IHO (2T - 5s + 2h + 3p); u, f of M2
    {"EP2", {2, -3, 2, 1, 0, 0}, 0, M2F(1)},   // V IHO (epsilon2); u, f of M2
    {"2N2", {2, -2, 0, 2, 0, 0}, 0, M2F(1)},   // V Sch.; u, f of M2
    {"MU2", {2, -2, 2, 0, 0, 0}, 0, M2F(1)},   // V Sch.; u, f of M2
    {"N2", {2, -1, 0, 1, 0, 0}, 0, M2F(1)},    // V Sch.; u, f of M2
    {"NU2", {2, -1, 2, -1, 0, 0}, 0, M2F(1)},  // V Sch.; u, f of M2
    {"MA2", {2, 0, -1, 0, 0, 0}, 0, M2F(1)},   // V IHO (M2 - SA); u, f of M2
    {"M2", {2, 0, 0, 0, 0, 0}, 0, M2F(1)},     // V Sch. (2T - 2s + 2h); u 2xi - 2nu, eq. 78
    {"MB2", {2, 0, 1, 0, 0, 0}, 0, M2F(1)},    // V IHO (M2 + SA); u, f of M2
    {"MKS2", {2, 0, 2, 0, 0, 0}, 0, {0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0}},  // IHO: M2 + K2 - S2
    {"LAMBDA2", {2, 1, -2, 1, 0, 0}, 180, M2F(1)},  // V Sch. (+180); u, f of M2
    {"L2", {2, 1, 0, -1, 0, 0}, 180, L2F},          // V Sch. (+180); u, f Sch. eq. 215
    {"T2", {2, 2, -3, 0, 0, 1}, 0, NONE},           // V Sch. (2T - h + p1); no u; f 1
    {"S2", {2, 2, -2, 0, 0, 0}, 0, NONE},           // V Sch. (2T); no u; f 1
    {"R2", {2, 2, -1, 0, 0, -1}, 180, NONE},        // V Sch. (2T + h - p1 + 180); f 1
    {"K2", {2, 2, 0, 0, 0, 0}, 0, K2F},             // V Sch. (2T + 2h); u -2nu'', eq. 235
    {"3L2", {2, 3, 0, -3, 0, 0}, 0, M2F(1)},        // V IHO (2T + s + 2h - 3p); u, f of M2
    {"2SM2", {2, 4, -4, 0, 0, 0}, 0, M2F(-1)},      // V, u, f IHO: 2 S2 - M2
    // Terdiurnal.  M3 and S3 carry the IHO's 180° (Schureman writes M3 without it); the
    // station constants are referred to the IHO's argument, so 0° here shifts their times.
    {"M3", {3, 0, 0, 0, 0, 0}, 180, M3F},     // V IHO (3T - 3s + 3h + 180); u, f Sch. eq. 149
    {"T3", {3, 3, -4, 0, 0, 1}, 0, NONE},     // V, f IHO: T2 + S1
    {"S3", {3, 3, -3, 0, 0, 0}, 180, NONE},   // V IHO (3T + 180); no u; f 1
    {"R3", {3, 3, -2, 0, 0, -1}, 180, NONE},  // V, f IHO: R2 + S1
    // Quarter-diurnal and higher: compounds of M2, N2, S2, K1 and O1 (IHO list).
    {"N4", {4, -2, 0, 2, 0, 0}, 0, M2F(2)},                                // N2 + N2
    {"MN4", {4, -1, 0, 1, 0, 0}, 0, M2F(2)},                               // M2 + N2
    {"M4", {4, 0, 0, 0, 0, 0}, 0, M2F(2)},                                 // M2 + M2
    {"MS4", {4, 2, -2, 0, 0, 0}, 0, M2F(1)},                               // M2 + S2
    {"S4", {4, 4, -4, 0, 0, 0}, 0, NONE},                                  // S2 + S2
    {"2MO5", {5, -1, 0, 0, 0, 0}, 90, {0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0}},  // 2 M2 + O1
    {"2MK5", {5, 1, 0, 0, 0, 0}, -90, {0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 0}},  // 2 M2 + K1
    {"M6", {6, 0, 0, 0, 0, 0}, 0, M2F(3)},                                 // 3 M2
    {"2MS6", {6, 2, -2, 0, 0, 0}, 0, M2F(2)},                              // 2 M2 + S2
    {"M8", {8, 0, 0, 0, 0, 0}, 0, M2F(4)},                                 // 4 M2
};

#undef NONE
#undef MM
#undef MF
#undef O1F
#undef K1F
#undef J1F
#undef OO1F
#undef M2F
#undef K2F
#undef L2F
#undef M1F
#undef M3F

// The angles of the moon's orbit that the node corrections are written in: I its inclination
// to the equator, nu the right ascension and xi the longitude in the orbit of the orbit's
// intersection with the equator, nu' and 2nu'' the lunisolar terms of K1 and K2, P = p - xi.
struct COrbitAngles {
    double I;
    double nu;
    double xi;
    double nuPrime;
    double twoNuSecond;
    double P;
};

COrbitAngles OrbitAngles(const CTideAstronomy& astro)
{
    const double w = kObliquity * kDeg;
    const double i = kLunarInclination * kDeg;
    const double N = Wrap360(astro.N) * kDeg;
    COrbitAngles a{};
    a.I = std::acos(std::cos(w) * std::cos(i) - std::sin(w) * std::sin(i) * std::cos(N));
    // Napier's analogies in the triangle of the equinox, the node and the intersection:
    // tan((N - xi + nu)/2) and tan((N - xi - nu)/2) in terms of tan(N/2).
    const double sum = std::cos((w - i) / 2) / std::cos((w + i) / 2);
    const double difference = std::sin((w - i) / 2) / std::sin((w + i) / 2);
    const double halfSum = std::atan2(sum * std::sin(N / 2), std::cos(N / 2));
    const double halfDifference = std::atan2(difference * std::sin(N / 2), std::cos(N / 2));
    a.nu = halfSum - halfDifference;
    a.xi = N - halfSum - halfDifference;
    const double sin2I = std::sin(2 * a.I);
    a.nuPrime = std::atan2(sin2I * std::sin(a.nu), sin2I * std::cos(a.nu) + 0.3347);
    const double sinI2 = std::sin(a.I) * std::sin(a.I);
    a.twoNuSecond = std::atan2(sinI2 * std::sin(2 * a.nu), sinI2 * std::cos(2 * a.nu) + 0.0727);
    a.P = astro.p * kDeg - a.xi;
    return a;
}

CNodeCorrection Correction(double f, double uRad)
{
    return CNodeCorrection{f, Wrap180(uRad / kDeg)};
}

CNodeCorrection TermCorrection(ENodeTerm term, const COrbitAngles& a)
{
    const double sinI = std::sin(a.I);
    const double cosHalf = std::cos(a.I / 2);
    const double sinHalf = std::sin(a.I / 2);
    const double fM2 = std::pow(cosHalf, 4) / 0.9154;
    const double fO1 = sinI * cosHalf * cosHalf / 0.3800;
    switch (term) {
        case E::Mm:
            return Correction((2.0 / 3.0 - sinI * sinI) / 0.5021, 0);
        case E::Mf:
            return Correction(sinI * sinI / 0.1578, -2 * a.xi);
        case E::O1:
            return Correction(fO1, 2 * a.xi - a.nu);
        case E::K1: {
            const double sin2I = std::sin(2 * a.I);
            return Correction(
                std::sqrt(0.8965 * sin2I * sin2I + 0.6001 * sin2I * std::cos(a.nu) + 0.1006),
                -a.nuPrime);
        }
        case E::J1:
            return Correction(std::sin(2 * a.I) / 0.7214, -a.nu);
        case E::OO1:
            return Correction(sinI * sinHalf * sinHalf / 0.01640, -2 * a.xi - a.nu);
        case E::M2:
            return Correction(fM2, 2 * a.xi - 2 * a.nu);
        case E::K2: {
            const double s2 = sinI * sinI;
            return Correction(
                std::sqrt(19.0444 * s2 * s2 + 2.7702 * s2 * std::cos(2 * a.nu) + 0.0981),
                -a.twoNuSecond);
        }
        case E::L2: {
            // L2 beats with a smaller wave of the moon's perigee (Schureman's Ra and R).
            const double t2 = std::pow(std::tan(a.I / 2), 2);
            const double inverseRa = std::sqrt(1 - 12 * t2 * std::cos(2 * a.P) + 36 * t2 * t2);
            const double R = std::atan2(std::sin(2 * a.P), 1 / (6 * t2) - std::cos(2 * a.P));
            return Correction(fM2 * inverseRa, 2 * a.xi - 2 * a.nu - R);
        }
        case E::M1: {
            // M1 is two waves of nearly the same speed (Schureman's Qa and Q).
            const double cosI = std::cos(a.I);
            const double c2 = cosHalf * cosHalf;
            const double inverseQa = std::sqrt(0.25 + 1.5 * cosI * std::cos(2 * a.P) / c2 +
                                               2.25 * cosI * cosI / (c2 * c2));
            const double Q =
                std::atan2((5 * cosI - 1) * std::sin(a.P), (7 * cosI + 1) * std::cos(a.P));
            return Correction(fO1 * inverseQa, a.xi - a.nu + Q);
        }
        case E::M3:
            return Correction(std::pow(cosHalf, 6) / 0.8758, 3 * a.xi - 3 * a.nu);
        case E::Count:
            break;
    }
    return {};
}

}  // namespace

CTideAstronomy TideAstronomyAtUtc(double unixSeconds)
{
    const double days = unixSeconds / 86400.0;
    const double T = (days + kUnixEpochJulianDay - kSchuremanEpochJulianDay) / kDaysPerCentury;
    CTideAstronomy a;
    a.T = Wrap360(360.0 * days + 180.0);
    a.s = Wrap360(270.434164 + 481267.8831 * T - 0.001133 * T * T + 0.0000019 * T * T * T);
    a.h = Wrap360(279.696678 + 36000.768925 * T + 0.0003025 * T * T);
    a.p = Wrap360(334.329556 + 4069.034033 * T - 0.010325 * T * T - 0.0000125 * T * T * T);
    a.N = Wrap360(259.183275 - 1934.142008 * T + 0.002078 * T * T + 0.0000022 * T * T * T);
    a.p1 = Wrap360(281.220833 + 1.719175 * T + 0.000453 * T * T + 0.000003 * T * T * T);
    return a;
}

const CTideConstituentDef* FindTideConstituentDef(const std::string& name)
{
    for (const CTideConstituentDef& def : kConstituents) {
        if (name == def.name) return &def;
    }
    return nullptr;
}

const CTideConstituentDef* TideConstituentDefs(int* count)
{
    if (count != nullptr) *count = static_cast<int>(std::size(kConstituents));
    return kConstituents;
}

double TideConstituentSpeedDegPerHour(const CTideConstituentDef& def)
{
    // tau runs at the speed of T less s plus h.
    const double tau = kRates[0] - kRates[1] + kRates[2];
    const double rates[6] = {tau, kRates[1], kRates[2], kRates[3], kRates[4], kRates[5]};
    double speed = 0;
    for (int k = 0; k < 6; ++k) speed += def.doodson[k] * rates[k];
    return speed;
}

double TideEquilibriumArgumentDeg(const CTideConstituentDef& def, const CTideAstronomy& astro)
{
    const double tau = astro.T + astro.h - astro.s;
    const double angles[6] = {tau, astro.s, astro.h, astro.p, -astro.N, astro.p1};
    double v = def.phaseDeg;
    for (int k = 0; k < 6; ++k) v += def.doodson[k] * angles[k];
    return Wrap360(v);
}

CNodeCorrection NodeTermCorrection(ENodeTerm term, const CTideAstronomy& astro)
{
    return TermCorrection(term, OrbitAngles(astro));
}

CNodeTermTable NodeTermTableAt(const CTideAstronomy& astro)
{
    const COrbitAngles angles = OrbitAngles(astro);
    CNodeTermTable table;
    for (int k = 0; k < kTerms; ++k) table.terms[k] = TermCorrection(static_cast<E>(k), angles);
    return table;
}

CNodeCorrection TideNodeCorrection(const CTideConstituentDef& def, const CNodeTermTable& table)
{
    CNodeCorrection c;
    for (int k = 0; k < kTerms; ++k) {
        const int power = def.nodePower[k];
        if (power == 0) continue;
        for (int n = std::abs(power); n > 0; --n) c.f *= table.terms[k].f;
        c.uDeg += power * table.terms[k].uDeg;
    }
    c.uDeg = Wrap180(c.uDeg);
    return c;
}

CNodeCorrection TideNodeCorrection(const CTideConstituentDef& def, const CTideAstronomy& astro)
{
    return TideNodeCorrection(def, NodeTermTableAt(astro));
}
