#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "tides/TideConstituents.h"

namespace {

// Speeds in degrees per mean solar hour as the tables of constituents publish them.
struct CSpeedCase {
    const char* name;
    double speed;
};
constexpr CSpeedCase kPublishedSpeeds[] = {
    {"SA", 0.0410686},
    {"SSA", 0.0821373},
    {"MM", 0.5443747},
    {"MSF", 1.0158958},
    {"MF", 1.0980331},
    {"2Q1", 12.8542862},
    {"Q1", 13.3986609},
    {"RHO1", 13.4715145},
    {"O1", 13.9430356},
    {"M1", 14.4966939},
    {"P1", 14.9589314},
    {"S1", 15.0},
    {"K1", 15.0410686},
    {"J1", 15.5854433},
    {"OO1", 16.1391017},
    {"2N2", 27.8953548},
    {"MU2", 27.9682084},
    {"N2", 28.4397295},
    {"NU2", 28.5125831},
    {"M2", 28.9841042},
    {"LAMBDA2", 29.4556253},
    {"L2", 29.5284789},
    {"T2", 29.9589333},
    {"S2", 30.0},
    {"R2", 30.0410667},
    {"K2", 30.0821373},
    {"2SM2", 31.0158958},
    {"M3", 43.4761563},
    {"MN4", 57.4238337},
    {"M4", 57.9682084},
    {"MS4", 58.9841042},
    {"S4", 60.0},
    {"M6", 86.9523127},
    {"2MS6", 87.9682084},
    {"M8", 115.9364166},
    {"EP2", 27.4238337},
    {"MKS2", 29.0662415},
    {"SGM", 12.9271398},
    {"MSQM", 2.1139288},
    {"MTM", 1.6424078},
    // The IHO list's speeds of the rest, each the sum of its parents' above.
    {"S3", 45.0},
    {"T3", 44.9589333},
    {"R3", 45.0410667},
    {"3L2", 30.6172283},
    {"3N2", 27.3509801},
    {"MA2", 28.9430356},
    {"MB2", 29.0251728},
    {"N4", 56.8794590},
    {"2MK5", 73.0092770},
    {"2MO5", 71.9112440},
};

TEST(TideConstituentsTest, SpeedsFollowFromTheDoodsonNumbers)
{
    EXPECT_EQ(std::size(kPublishedSpeeds), 50u);
    for (const CSpeedCase& c : kPublishedSpeeds) {
        const CTideConstituentDef* def = FindTideConstituentDef(c.name);
        ASSERT_NE(def, nullptr) << c.name;
        EXPECT_NEAR(TideConstituentSpeedDegPerHour(*def), c.speed, 2e-6) << c.name;
    }
}

TEST(TideConstituentsTest, EveryConstituentOfTheStationDataIsKnownOnce)
{
    // The fifty constituents every Japanese station of the data carries.
    const char* const kStationNames[] = {
        "M2",  "N2",   "S2",   "K2",  "2N2", "S1",  "K1",   "P1",   "O1",      "Q1",
        "M1",  "M4",   "MM",   "MF",  "SA",  "SSA", "T2",   "J1",   "L2",      "R2",
        "2Q1", "MSF",  "MSQM", "EP2", "M3",  "MU2", "MTM",  "NU2",  "LAMBDA2", "MN4",
        "MS4", "MKS2", "N4",   "M6",  "M8",  "S4",  "OO1",  "S3",   "MA2",     "MB2",
        "T3",  "R3",   "RHO1", "SGM", "3L2", "3N2", "2SM2", "2MS6", "2MK5",    "2MO5"};
    std::set<std::string> names;
    int count = 0;
    const CTideConstituentDef* defs = TideConstituentDefs(&count);
    for (int k = 0; k < count; ++k) names.insert(defs[k].name);
    EXPECT_EQ(names.size(), static_cast<size_t>(count)) << "a name defined twice";
    for (const char* name : kStationNames) EXPECT_EQ(names.count(name), 1u) << name;
    EXPECT_EQ(FindTideConstituentDef("XYZ9"), nullptr);
}

// Node factors and angles at the node's extremes (N = 0: the moon's orbit most inclined to the
// equator; N = 180: least) and at N = 90, as the textbook tables give them.
struct CNodeCase {
    ENodeTerm term;
    double node;
    double f;
    double u;
};
constexpr CNodeCase kNodeCases[] = {
    {ENodeTerm::M2, 0, 0.963, 0},      {ENodeTerm::M2, 180, 1.038, 0},
    {ENodeTerm::K1, 0, 1.113, 0},      {ENodeTerm::K1, 180, 0.882, 0},
    {ENodeTerm::O1, 0, 1.183, 0},      {ENodeTerm::O1, 180, 0.806, 0},
    {ENodeTerm::M2, 90, 1.000, -2.14}, {ENodeTerm::K1, 90, 1.015, -8.79},
    {ENodeTerm::O1, 90, 1.024, 10.61},
};

TEST(TideConstituentsTest, NodeFactorsOfM2K1AndO1AtTheNodesExtremes)
{
    for (const CNodeCase& c : kNodeCases) {
        CTideAstronomy astro;
        astro.N = c.node;
        const CNodeCorrection correction = NodeTermCorrection(c.term, astro);
        EXPECT_NEAR(correction.f, c.f, 0.0015) << static_cast<int>(c.term) << " N=" << c.node;
        EXPECT_NEAR(correction.uDeg, c.u, 0.05) << static_cast<int>(c.term) << " N=" << c.node;
    }
}

TEST(TideConstituentsTest, LongitudesAtTheStartOf2000)
{
    // 2000-01-01 00:00 UT: the mean longitudes as almanacs give them.
    const CTideAstronomy a = TideAstronomyAtUtc(946684800.0);
    EXPECT_NEAR(a.T, 180.0, 1e-9);
    EXPECT_NEAR(a.s, 211.73, 0.01);
    EXPECT_NEAR(a.h, 279.97, 0.01);
    EXPECT_NEAR(a.p, 83.30, 0.01);
    EXPECT_NEAR(a.N, 125.07, 0.06);
    EXPECT_NEAR(a.p1, 282.94, 0.01);
}

// V0 + u (degrees) and f of every constituent at three instants: 1 January 2027 0h UT; 1 February
// 2025, with the moon's node near the vernal equinox (N = 0, the orbit most inclined to the
// equator: the largest f of K1, O1, K2, the smallest of M2); and 1 October 2015 (N = 180, the
// other extreme).  Worked out from Meeus' mean elements (Astronomical Algorithms, 2nd ed., ch.
// 22 and 47, J2000 polynomials, not the Schureman ones used here) with the IHO's Doodson numbers
// and phase offsets, f and u by Schureman's equations worked out separately (their values at
// the node's extremes are those of his tables: M2 0.963/1.038, K1 1.113/0.882, O1 1.183/0.806,
// K2 1.316/0.746, Mm 0.871/1.131).
struct CArgumentCase {
    const char* name;
    double v0u;
    double f;
};
struct CArgumentInstant {
    const char* what;
    double unixSeconds;
    std::vector<CArgumentCase> cases;
};
const CArgumentInstant kArgumentInstants[] = {
    {"2027-01-01",
     1798761600.0,
     {{"SA", 280.43, 1.0000},   {"SSA", 200.86, 1.0000},    {"MM", 95.39, 0.8969},
      {"MSF", 192.54, 0.9707},  {"MF", 46.78, 1.3709},      {"MSQM", 239.32, 1.3307},
      {"MTM", 142.17, 1.2296},  {"2Q1", 319.56, 1.1537},    {"SGM", 316.50, 1.1537},
      {"Q1", 54.95, 1.1537},    {"RHO1", 51.89, 1.1537},    {"O1", 150.34, 1.1537},
      {"M1", 39.99, 1.2071},    {"P1", 349.57, 1.0000},     {"S1", 180.00, 1.0000},
      {"K1", 15.18, 1.0951},    {"J1", 112.51, 1.1415},     {"OO1", 63.89, 1.6271},
      {"3N2", 241.28, 0.9707},  {"EP2", 238.22, 0.9707},    {"2N2", 336.67, 0.9707},
      {"MU2", 333.61, 0.9707},  {"N2", 72.06, 0.9707},      {"NU2", 69.00, 0.9707},
      {"MA2", 247.03, 0.9707},  {"M2", 167.46, 0.9707},     {"MB2", 87.88, 0.9707},
      {"MKS2", 18.33, 1.2171},  {"LAMBDA2", 85.91, 0.9707}, {"L2", 92.25, 1.2746},
      {"T2", 2.97, 1.0000},     {"S2", 360.00, 1.0000},     {"R2", 177.03, 1.0000},
      {"K2", 210.88, 1.2539},   {"3L2", 93.63, 0.9707},     {"2SM2", 192.54, 0.9707},
      {"M3", 251.18, 0.9563},   {"T3", 182.97, 1.0000},     {"S3", 0.00, 1.0000},
      {"R3", 357.03, 1.0000},   {"N4", 144.13, 0.9422},     {"MN4", 239.52, 0.9422},
      {"M4", 334.91, 0.9422},   {"MS4", 167.46, 0.9707},    {"S4", 360.00, 1.0000},
      {"2MO5", 125.25, 1.0870}, {"2MK5", 350.10, 1.0318},   {"M6", 142.37, 0.9145},
      {"2MS6", 334.91, 0.9422}, {"M8", 309.82, 0.8877}}},
    {"2025-02-01",
     1738368000.0,
     {{"SA", 311.46, 1.0000},   {"SSA", 262.92, 1.0000},     {"MM", 322.96, 0.8715},
      {"MSF", 71.17, 0.9632},   {"MF", 334.15, 1.4518},      {"MSQM", 45.32, 1.3984},
      {"MTM", 297.11, 1.2652},  {"2Q1", 321.42, 1.1828},     {"SGM", 176.16, 1.1828},
      {"Q1", 284.38, 1.1828},   {"RHO1", 139.13, 1.1828},    {"O1", 247.34, 1.1828},
      {"M1", 90.49, 2.0997},    {"P1", 318.54, 1.0000},      {"S1", 180.00, 1.0000},
      {"K1", 41.48, 1.1128},    {"J1", 4.45, 1.1651},        {"OO1", 15.63, 1.7802},
      {"3N2", 39.94, 0.9632},   {"EP2", 254.69, 0.9632},     {"2N2", 2.90, 0.9632},
      {"MU2", 217.65, 0.9632},  {"N2", 325.87, 0.9632},      {"NU2", 180.61, 0.9632},
      {"MA2", 337.37, 0.9632},  {"M2", 288.83, 0.9632},      {"MB2", 240.29, 0.9632},
      {"MKS2", 191.79, 1.2678}, {"LAMBDA2", 217.04, 0.9632}, {"L2", 50.36, 0.7661},
      {"T2", 331.91, 1.0000},   {"S2", 0.00, 1.0000},        {"R2", 208.09, 1.0000},
      {"K2", 262.96, 1.3162},   {"3L2", 177.71, 0.9632},     {"2SM2", 71.17, 0.9632},
      {"M3", 253.24, 0.9454},   {"T3", 151.91, 1.0000},      {"S3", 360.00, 1.0000},
      {"R3", 28.09, 1.0000},    {"N4", 291.73, 0.9278},      {"MN4", 254.69, 0.9278},
      {"M4", 217.66, 0.9278},   {"MS4", 288.83, 0.9632},     {"S4", 0.00, 1.0000},
      {"2MO5", 105.00, 1.0974}, {"2MK5", 259.14, 1.0324},    {"M6", 146.48, 0.8937},
      {"2MS6", 217.66, 0.9278}, {"M8", 75.31, 0.8608}}},
    {"2015-10-01",
     1443657600.0,
     {{"SA", 189.42, 1.0000},   {"SSA", 18.83, 1.0000},      {"MM", 38.27, 1.1312},
      {"MSF", 65.87, 1.0378},   {"MF", 84.98, 0.6253},       {"MSQM", 150.85, 0.6489},
      {"MTM", 123.25, 0.7073},  {"2Q1", 298.04, 0.8057},     {"SGM", 308.69, 0.8057},
      {"Q1", 336.31, 0.8057},   {"RHO1", 346.96, 0.8057},    {"O1", 14.58, 0.8057},
      {"M1", 243.23, 1.5768},   {"P1", 80.58, 1.0000},       {"S1", 180.00, 1.0000},
      {"K1", 279.51, 0.8817},   {"J1", 317.83, 0.8268},      {"OO1", 4.53, 0.4847},
      {"3N2", 179.32, 1.0378},  {"EP2", 189.97, 1.0378},     {"2N2", 217.59, 1.0378},
      {"MU2", 228.24, 1.0378},  {"N2", 255.86, 1.0378},      {"NU2", 266.51, 1.0378},
      {"MA2", 104.71, 1.0378},  {"M2", 294.13, 1.0378},      {"MB2", 123.55, 1.0378},
      {"MKS2", 313.12, 0.7744}, {"LAMBDA2", 141.75, 1.0378}, {"L2", 150.85, 0.8782},
      {"T2", 93.79, 1.0000},    {"S2", 360.00, 1.0000},      {"R2", 86.21, 1.0000},
      {"K2", 18.99, 0.7462},    {"3L2", 48.94, 1.0378},      {"2SM2", 65.87, 1.0378},
      {"M3", 81.20, 1.0573},    {"T3", 273.79, 1.0000},      {"S3", 360.00, 1.0000},
      {"R3", 266.21, 1.0000},   {"N4", 151.72, 1.0771},      {"MN4", 189.99, 1.0771},
      {"M4", 228.26, 1.0771},   {"MS4", 294.13, 1.0378},     {"S4", 360.00, 1.0000},
      {"2MO5", 242.84, 0.8678}, {"2MK5", 147.77, 0.9497},    {"M6", 162.39, 1.1178},
      {"2MS6", 228.26, 1.0771}, {"M8", 96.52, 1.1601}}},
};

TEST(TideConstituentsTest, EquilibriumArgumentsAndNodeFactorsOfAllFifty)
{
    for (const CArgumentInstant& instant : kArgumentInstants) {
        const CTideAstronomy astro = TideAstronomyAtUtc(instant.unixSeconds);
        EXPECT_EQ(instant.cases.size(), 50u);
        for (const CArgumentCase& c : instant.cases) {
            const CTideConstituentDef* def = FindTideConstituentDef(c.name);
            ASSERT_NE(def, nullptr) << c.name;
            const CNodeCorrection node = TideNodeCorrection(*def, astro);
            const double v0u = TideEquilibriumArgumentDeg(*def, astro) + node.uDeg;
            const double off = std::remainder(v0u - c.v0u, 360.0);
            EXPECT_NEAR(off, 0.0, 0.15) << instant.what << " " << c.name << " V0+u " << v0u;
            EXPECT_NEAR(node.f, c.f, 0.002) << instant.what << " " << c.name;
        }
    }
}

}  // namespace
