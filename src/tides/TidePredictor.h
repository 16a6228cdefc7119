#pragma once

#include <string>
#include <vector>

#include "tides/TideConstituents.h"
#include "tides/TideStation.h"

// A high or a low water: its minute in Japan time (UTC+9) and its height in cm above the
// station's datum (最低水面).
struct CTideExtreme {
    int year, month, day, hour, minute;
    bool high;
    double heightCm;
};

// A turning point of the tide curve: its instant (seconds since 1970-01-01 UTC), height and
// kind.
struct CTideTurn {
    double t;
    double heightCm;
    bool high;
};

// The turning points that are high and low waters: a high and a low less than wiggleCm apart in
// height are a wiggle of the curve, not a tide, and go as a pair.  The pair with the smallest
// difference goes first, again and again, so a wiggle on the flank of a real high or low never
// takes the real one along; what is left alternates high, low, high.
std::vector<CTideTurn> WithoutWiggles(std::vector<CTideTurn> turns, double wiggleCm);

// Heights, high and low waters of one station by the harmonic method: the mean sea level above
// the datum plus, for each constituent, f·H·cos(V + u − G).  V is taken from the astronomy at
// the start of each day and advanced by the constituent's speed, f and u at the day's middle, so
// a day's curve costs a few multiplications per constituent and sample.
class CTidePredictor {
public:
    explicit CTidePredictor(const CTideStation& station);

    double HeightCmAtUtc(double unixSeconds) const;  // above the station's datum (最低水面)
    // Highs and lows of the Japan-time days from y1-m1-d1 to y2-m2-d2, both included, in order.
    std::vector<CTideExtreme> Extremes(int y1, int m1, int d1, int y2, int m2, int d2) const;
    std::vector<CTideExtreme> DayExtremes(int y, int m, int d) const;
    // Heights from 0:00 to 24:00 Japan time every stepMinutes (both ends included).
    std::vector<double> DayCurveCm(int y, int m, int d, int stepMinutes) const;

    // Names of the station's constituents this predictor does not know (they are left out).
    const std::vector<std::string>& UnknownConstituents() const { return m_unknown; }
    double MeanSeaLevelCm() const { return m_meanCm; }

    // Seconds since 1970-01-01 00:00 UTC at 0:00 Japan time of a date.
    static double JapanMidnightUtc(int year, int month, int day);
    // A turning point closer than this to its neighbour is a wiggle, not a high or low water.
    static constexpr double kWiggleCm = 1.0;

private:
    struct CTerm {
        const CTideConstituentDef* def;
        double amplitudeCm;
        double phaseLagDeg;  // G
        double speedRadPerSec;
    };
    // One day's waves: height(t) = mean + sum amplitude·cos(phase + speed·(t − start)).
    struct CDayWaves {
        double start = 0;
        std::vector<double> amplitude;
        std::vector<double> phase;
        std::vector<double> speed;
        double Height(double t) const;
        // Height (less the mean), slope and curvature at once.
        void Evaluate(double t, double* height, double* slope, double* curvature) const;
    };
    CDayWaves WavesOfDay(double dayStartUtc) const;
    using CTurningPoint = CTideTurn;
    std::vector<CTurningPoint> TurningPoints(double fromUtc, int days) const;
    // The turning point where the slope changes sign between a and b.
    CTurningPoint RefineTurningPoint(const CDayWaves& waves, double a, double slopeA, double b,
                                     double slopeB) const;

    std::vector<CTerm> m_terms;
    // How each wave's phasor turns over one step of the scan for turning points.
    std::vector<double> m_scanStepRe;
    std::vector<double> m_scanStepIm;
    double m_meanCm = 0;
    std::vector<std::string> m_unknown;
};
