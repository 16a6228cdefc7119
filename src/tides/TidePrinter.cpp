#include "tides/TidePrinter.h"

#include <cmath>
#include <cstdio>
#include <regex>
#include <vector>

#include "tides/TidePredictor.h"
#include "tides/TideStations.h"

namespace {

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// One end of a period: the first and the last day it names.
bool ParsePeriodPart(const std::string& text, CTideDate& first, CTideDate& last)
{
    static const std::regex pattern("\\s*([0-9]{4})(?:-([0-9]{1,2})(?:-([0-9]{1,2}))?)?\\s*");
    std::smatch match;
    if (!std::regex_match(text, match, pattern)) return false;
    const int year = std::stoi(match[1].str());
    if (year < 1) return false;
    if (!match[2].matched) {
        first = {year, 1, 1};
        last = {year, 12, 31};
        return true;
    }
    const int month = std::stoi(match[2].str());
    if (month < 1 || month > 12) return false;
    if (!match[3].matched) {
        first = {year, month, 1};
        last = {year, month, DaysInMonth(year, month)};
        return true;
    }
    const int day = std::stoi(match[3].str());
    if (day < 1 || day > DaysInMonth(year, month)) return false;
    first = last = {year, month, day};
    return true;
}

bool Before(const CTideDate& a, const CTideDate& b)
{
    if (a.year != b.year) return a.year < b.year;
    if (a.month != b.month) return a.month < b.month;
    return a.day < b.day;
}

}  // namespace

bool ParseTidePeriod(const std::string& text, CTideDate& from, CTideDate& to)
{
    const size_t dots = text.find("..");
    CTideDate first;
    CTideDate last;
    if (dots == std::string::npos) {
        if (!ParsePeriodPart(text, first, last)) return false;
    } else {
        CTideDate unused;
        if (!ParsePeriodPart(text.substr(0, dots), first, unused)) return false;
        if (!ParsePeriodPart(text.substr(dots + 2), unused, last)) return false;
        if (Before(last, first)) return false;
    }
    from = first;
    to = last;
    return true;
}

std::string TideTableLine(const CTideExtreme& e)
{
    char line[80];
    std::snprintf(line, sizeof line, "%04d-%02d-%02d\t%02d:%02d\t%s\t%ld\n", e.year, e.month, e.day,
                  e.hour, e.minute, e.high ? "満潮" : "干潮", std::lround(e.heightCm));
    return line;
}

const CTideStation* ResolveTidePort(const CTideStations& stations, const std::string& port,
                                    std::ostream& err)
{
    std::vector<const CTideStation*> closest;
    bool ambiguous = false;
    const CTideStation* station = stations.Resolve(port, &closest, &ambiguous);
    if (station == nullptr) {
        err << "lurebook: 港「" << port << "」が"
            << (ambiguous ? "一つに決まりません" : "見つかりません") << "。";
        if (closest.empty()) {
            err << "--list-ports で港の一覧を表示できます。\n";
        } else {
            err << (ambiguous ? "同じ名前の港:\n" : "近い候補:\n");
            for (const CTideStation* candidate : closest) {
                err << "  " << candidate->id << "\t" << candidate->nameJa << "\t"
                    << candidate->nameRomaji << "\t" << candidate->prefecture << "\n";
            }
        }
        return nullptr;
    }
    return station;
}

int PrintTides(const std::string& port, const std::string& period, const std::string& stationsPath,
               std::ostream& out, std::ostream& err)
{
    CTideDate from;
    CTideDate to;
    if (!ParseTidePeriod(period, from, to)) {
        err << "lurebook: --print-tides の期間「" << period
            << "」が読めません。YYYY、YYYY-MM、YYYY-MM-DD か、そのどれか二つを .. でつないだ期間 "
               "(2027-03..2027-05) で指定してください。\n";
        return 2;
    }
    CTideStations stations;
    std::string error;
    if (!stations.Load(stationsPath, error)) {
        err << "lurebook: " << error << "\n";
        return 2;
    }
    const CTideStation* station = ResolveTidePort(stations, port, err);
    if (station == nullptr) return 1;

    const CTidePredictor predictor(*station);
    // A year at a time, so a long period never holds more than a year's tides in memory.
    for (int year = from.year; year <= to.year; ++year) {
        const CTideDate first = year == from.year ? from : CTideDate{year, 1, 1};
        const CTideDate last = year == to.year ? to : CTideDate{year, 12, 31};
        for (const CTideExtreme& e : predictor.Extremes(first.year, first.month, first.day,
                                                        last.year, last.month, last.day)) {
            out << TideTableLine(e);
        }
    }
    out.flush();
    if (!out) {
        err << "lurebook: 潮汐表を書き出せませんでした。\n";
        return 1;
    }
    return 0;
}
