#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tides/TidePrinter.h"

namespace {

struct CPeriodCase {
    const char* text;
    bool ok;
    CTideDate from;
    CTideDate to;
};
const CPeriodCase kPeriods[] = {
    {"2027", true, {2027, 1, 1}, {2027, 12, 31}},
    {"2027-05", true, {2027, 5, 1}, {2027, 5, 31}},
    {"2028-02", true, {2028, 2, 1}, {2028, 2, 29}},
    {"2027-05-03", true, {2027, 5, 3}, {2027, 5, 3}},
    {"2026-12-30..2027-01", true, {2026, 12, 30}, {2027, 1, 31}},
    {"2027..2028", true, {2027, 1, 1}, {2028, 12, 31}},
    {"2027-02-29", false, {}, {}},
    {"2027-13", false, {}, {}},
    {"2027-05-03..2027-05-02", false, {}, {}},
    {"27", false, {}, {}},
    {"2027-05-03..", false, {}, {}},
    {"", false, {}, {}},
};

TEST(TidePrinterTest, PeriodsAsTheCommandLineGivesThem)
{
    for (const CPeriodCase& c : kPeriods) {
        CTideDate from{1, 1, 1};
        CTideDate to{1, 1, 1};
        EXPECT_EQ(ParseTidePeriod(c.text, from, to), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(from, c.from) << c.text;
        EXPECT_EQ(to, c.to) << c.text;
    }
}

struct CPrintCase {
    const char* port;
    const char* period;
    int status;
    const char* outStart;  // what the table starts with
    const char* errHas;
};
const CPrintCase kPrints[] = {
    {"東京", "2027-05-03", 0, "2027-05-03\t", ""},
    {"tokyo-ma15-jpn-jodc_jma", "2027-05-03", 0, "2027-05-03\t", ""},
    {"Maizuru", "2027", 1, "", "maizuru-ma55-jpn-jodc_jma"},
    {"どこでもない港", "2027", 1, "", "見つかりません。--list-ports"},
    {"Maizuru", "2027", 1, "", "一つに決まりません。同じ名前の港:\n"},
    {"tokio", "2027-05-03", 0, "2027-05-03\t", ""},
    {"Kagoshma", "2027", 1, "", "見つかりません。近い候補:\n  kagoshima-ma42-jpn-jodc_jma\t鹿児島"},
    {"nagasak", "2027", 1, "", "見つかりません。近い候補:\n  nagasaki-ma49-jpn-jodc_jma\t長崎"},
    {"東京", "2027-02-30", 2, "", "--print-tides の期間「2027-02-30」が読めません。"},
};

TEST(TidePrinterTest, PrintsTheShippedPortsTable)
{
    const std::string stations = std::string(LUREBOOK_SOURCE_DIR) + "/assets/tides/stations.txt";
    for (const CPrintCase& c : kPrints) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(PrintTides(c.port, c.period, stations, out, err), c.status) << c.port;
        EXPECT_EQ(out.str().rfind(c.outStart, 0), 0u) << c.port << "\n" << out.str();
        EXPECT_NE(err.str().find(c.errHas), std::string::npos) << c.port << "\n" << err.str();
        if (c.status != 0) continue;
        // A day of a semidiurnal port: four lines, highs and lows alternating.
        std::istringstream lines(out.str());
        std::string line;
        int count = 0;
        std::string previousKind;
        while (std::getline(lines, line)) {
            const size_t kindAt = line.find('\t', 11) + 1;
            const std::string kind = line.substr(kindAt, line.find('\t', kindAt) - kindAt);
            EXPECT_TRUE(kind == "満潮" || kind == "干潮") << line;
            EXPECT_NE(kind, previousKind) << line;
            previousKind = kind;
            ++count;
        }
        EXPECT_EQ(count, 4) << out.str();
    }
}

}  // namespace
