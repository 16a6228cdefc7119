#pragma once

#include <string>

// The astronomy of the harmonic method: the mean longitudes the tide's constituents are built
// from, each constituent's definition by Doodson numbers, its speed, its equilibrium argument
// V and its node corrections f and u.  Angles are in degrees.

// The mean longitudes at an instant (Schureman's polynomials in Julian centuries from
// 1900 January 0.5): T the hour angle of the mean sun, s the moon, h the sun, p the moon's
// perigee, N the moon's ascending node and p1 the sun's perigee.
struct CTideAstronomy {
    double T = 0;
    double s = 0;
    double h = 0;
    double p = 0;
    double N = 0;
    double p1 = 0;
};

// The mean longitudes at an instant given as seconds since 1970-01-01 00:00 UTC.
CTideAstronomy TideAstronomyAtUtc(double unixSeconds);

// The node factor f (amplitude) and node angle u (degrees) of a constituent.
struct CNodeCorrection {
    double f = 1.0;
    double uDeg = 0.0;
};

// The node-dependent constituents whose f and u the textbook gives by formula; every other
// lunar constituent takes its corrections as a product of these.
enum class ENodeTerm { Mm, Mf, O1, K1, J1, OO1, M2, K2, L2, M1, M3, Count };

// A constituent: Doodson numbers over (tau, s, h, p, N', p1) with tau = T + h - s the mean lunar
// time, a phase offset in degrees, and the powers of the node terms its corrections are made of
// (a shallow-water constituent such as MS4 = M2 + S2 takes M2's once; 2SM2 = 2 S2 - M2 takes it
// with power -1: the angle u is subtracted, the amplitude factor still multiplies).
struct CTideConstituentDef {
    const char* name;
    int doodson[6];
    double phaseDeg;
    int nodePower[static_cast<int>(ENodeTerm::Count)];
};

// The definition of a constituent by the name the station data uses, or nullptr.
const CTideConstituentDef* FindTideConstituentDef(const std::string& name);

// Every constituent known here (for tests and tools).
const CTideConstituentDef* TideConstituentDefs(int* count);

// Speed in degrees per mean solar hour, from the Doodson numbers.
double TideConstituentSpeedDegPerHour(const CTideConstituentDef& def);

// Equilibrium argument V at the given longitudes, in degrees within [0, 360).
double TideEquilibriumArgumentDeg(const CTideConstituentDef& def, const CTideAstronomy& astro);

// f and u of a node term, and of a constituent, with the moon's node and perigee of astro.
CNodeCorrection NodeTermCorrection(ENodeTerm term, const CTideAstronomy& astro);
CNodeCorrection TideNodeCorrection(const CTideConstituentDef& def, const CTideAstronomy& astro);

// The correction of every node term at once (what a prediction asks for each day), indexed by
// ENodeTerm, and the constituent's correction from them.
struct CNodeTermTable {
    CNodeCorrection terms[static_cast<int>(ENodeTerm::Count)];
};
CNodeTermTable NodeTermTableAt(const CTideAstronomy& astro);
CNodeCorrection TideNodeCorrection(const CTideConstituentDef& def, const CNodeTermTable& table);
