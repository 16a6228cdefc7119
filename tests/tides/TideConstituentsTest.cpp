#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tides/TideConstituents.h"

namespace {

// Speeds in degrees per mean solar hour as the tables of constituents publish them.
struct CSpeedCase {
    const char* name;
    double speed;
};
constexpr CSpeedCase kPublishedSpeeds[] = {
    {"SA", 0.0410686},       {"SSA", 0.0821373},   {"MM", 0.5443747},    {"MSF", 1.0158958},
    {"MF", 1.0980331},       {"2Q1", 12.8542862},  {"Q1", 13.3986609},   {"RHO1", 13.4715145},
    {"O1", 13.9430356},      {"M1", 14.4966939},   {"P1", 14.9589314},   {"S1", 15.0},
    {"K1", 15.0410686},      {"J1", 15.5854433},   {"OO1", 16.1391017},  {"2N2", 27.8953548},
    {"MU2", 27.9682084},     {"N2", 28.4397295},   {"NU2", 28.5125831},  {"M2", 28.9841042},
    {"LAMBDA2", 29.4556253}, {"L2", 29.5284789},   {"T2", 29.9589333},   {"S2", 30.0},
    {"R2", 30.0410667},      {"K2", 30.0821373},   {"2SM2", 31.0158958}, {"M3", 43.4761563},
    {"MN4", 57.4238337},     {"M4", 57.9682084},   {"MS4", 58.9841042},  {"S4", 60.0},
    {"M6", 86.9523127},      {"2MS6", 87.9682084}, {"M8", 115.9364166},  {"EP2", 27.4238337},
    {"MKS2", 29.0662415},    {"SGM", 12.9271398},  {"MSQM", 2.1139288},  {"MTM", 1.6424078},
};

TEST(TideConstituentsTest, SpeedsFollowFromTheDoodsonNumbers)
{
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

TEST(TideConstituentsTest, CompoundsTakeTheCorrectionsOfTheirParts)
{
    CTideAstronomy astro;
    astro.N = 60;
    astro.p = 200;
    const CNodeCorrection m2 = NodeTermCorrection(ENodeTerm::M2, astro);
    const CNodeCorrection k1 = NodeTermCorrection(ENodeTerm::K1, astro);
    struct CCase {
        const char* name;
        double f;
        double u;
    };
    const CCase cases[] = {
        {"M4", m2.f * m2.f, 2 * m2.uDeg},
        {"MS4", m2.f, m2.uDeg},
        {"2SM2", m2.f, -m2.uDeg},
        {"S2", 1.0, 0.0},
        {"MSF", m2.f, -m2.uDeg},
        {"M6", m2.f * m2.f * m2.f, 3 * m2.uDeg},
        {"2MK5", m2.f * m2.f * k1.f, 2 * m2.uDeg + k1.uDeg},
    };
    for (const CCase& c : cases) {
        const CNodeCorrection got = TideNodeCorrection(*FindTideConstituentDef(c.name), astro);
        EXPECT_NEAR(got.f, c.f, 1e-12) << c.name;
        EXPECT_NEAR(got.uDeg, c.u, 1e-9) << c.name;
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

}  // namespace
