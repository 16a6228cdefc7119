#include "reports/YearReport.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "calendar/CalendarGrid.h"
#include "calendar/MoonPhase.h"
#include "data/DecimalNumber.h"
#include "data/PersonalBest.h"
#include "data/TripDate.h"
#include "reports/ConditionCharts.h"

namespace {

bool IsCalendarDay(int year, int month, int day)
{
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

CYearReportCatch MakeCatch(const CTripRecord& trip, const CCatchRecord& caught, size_t position)
{
    CYearReportCatch entry;
    entry.species = caught.name;
    entry.date = trip.date;
    entry.place = trip.place;
    entry.lengthText = caught.height;
    entry.weightText = caught.weight;
    entry.length = ReadStoredThousandths(caught.height);
    entry.weight = ReadStoredThousandths(caught.weight);
    entry.trip = position;
    return entry;
}

// The order of the top ten and of the year's heaviest catch: the order personal bests are judged
// by (heavier, then longer, then earlier); catches equal in all three keep their file order.
bool Heavier(const CYearReportCatch& a, const CYearReportCatch& b)
{
    return RanksAbove(a.weight, a.length, a.date, b.weight, b.length, b.date);
}

}  // namespace

std::string TideTimesText(const std::vector<CTideExtreme>& day)
{
    std::string highs;
    std::string lows;
    for (const CTideExtreme& e : day) {
        char time[16];
        std::snprintf(time, sizeof time, "%d:%02d", e.hour, e.minute);
        std::string& list = e.high ? highs : lows;
        list += (list.empty() ? "" : " ") + std::string(time);
    }
    std::string text;
    if (!highs.empty()) text = "満" + highs;
    if (!lows.empty()) text += (text.empty() ? "干" : " 干") + lows;
    return text;
}

CYearReport BuildYearReport(const std::vector<CTripRecord>& trips, int year,
                            const CTripPortFinder& portOf)
{
    // One predictor per port: a year's trips are mostly at a few.
    std::map<const CTideStation*, std::unique_ptr<CTidePredictor>> predictors;
    CYearReport report;
    report.year = year;
    const auto bests = FindPersonalBests(trips);
    std::set<std::pair<int, int>> days;
    std::map<std::string, size_t> speciesIndex;
    // Every catch of each species, in file order; cut to the top ten at the end.
    std::vector<std::vector<CYearReportCatch>> caughtBySpecies;
    std::vector<std::set<std::string>> photosSeen;

    for (size_t t = 0; t < trips.size(); ++t) {
        const CTripRecord& trip = trips[t];
        const auto [tripYear, month, day] = ReadStoredDate(trip.date);
        if (tripYear != year) continue;
        ++report.tripCount;
        report.catchCount += static_cast<int>(trip.catches.size());
        if (month >= 1 && month <= 12 && days.insert({month, day}).second)
            ++report.daysFished[static_cast<size_t>(month)];

        CYearReportTrip row;
        row.date = trip.date;
        row.place = trip.place;
        row.weather = trip.weather;
        row.target = trip.fishname;
        row.catches = static_cast<int>(trip.catches.size());
        if (IsCalendarDay(tripYear, month, day)) {
            row.tideName = MoonDayOf(tripYear, month, day).tideName;
            if (const CTideStation* port = portOf ? portOf(trip.place) : nullptr) {
                auto& predictor = predictors[port];
                if (!predictor) predictor = std::make_unique<CTidePredictor>(*port);
                row.tidePort = port->nameJa;
                row.tideTimes = TideTimesText(predictor->DayExtremes(tripYear, month, day));
            }
        }
        report.trips.push_back(std::move(row));

        for (size_t f = 0; f < trip.catches.size(); ++f) {
            const CCatchRecord& caught = trip.catches[f];
            CYearReportCatch entry = MakeCatch(trip, caught, t);
            const auto best = bests.find(caught.name);
            entry.personalBest = best != bests.end() && best->second == CCatchPlace{t, f};
            if (!report.hasHeaviest || Heavier(entry, report.heaviest)) {
                report.hasHeaviest = true;
                report.heaviest = entry;
                report.heaviestPhoto = trip.fishPhotos.empty() ? "" : trip.fishPhotos.front();
            }
            // A catch without a name counts in the totals but has no species page.
            if (caught.name.empty()) continue;
            const auto [found, added] =
                speciesIndex.try_emplace(caught.name, report.species.size());
            if (added) {
                report.species.emplace_back().name = caught.name;
                caughtBySpecies.emplace_back();
                photosSeen.emplace_back();
            }
            CYearReportSpecies& species = report.species[found->second];
            ++species.catches;
            if (month >= 0 && month <= 12) ++species.monthly[static_cast<size_t>(month)];
            caughtBySpecies[found->second].push_back(std::move(entry));
            // The photos of a trip once per species, however many of it the trip brought.
            for (const std::string& photo : trip.fishPhotos) {
                if (species.photos.size() >= CYearReportSpecies::kMaxPhotos) break;
                if (photosSeen[found->second].insert(photo).second) species.photos.push_back(photo);
            }
        }
    }

    for (size_t s = 0; s < report.species.size(); ++s) {
        auto& caught = caughtBySpecies[s];
        std::stable_sort(caught.begin(), caught.end(), Heavier);
        if (caught.size() > CYearReportSpecies::kTopCount)
            caught.resize(CYearReportSpecies::kTopCount);
        report.species[s].top = std::move(caught);
    }
    // The list of trips reads as a diary: by date, trips of one day in file order.
    std::stable_sort(report.trips.begin(), report.trips.end(),
                     [](const CYearReportTrip& a, const CYearReportTrip& b) {
                         return ReadStoredDate(a.date) < ReadStoredDate(b.date);
                     });
    std::stable_sort(report.species.begin(), report.species.end(),
                     [](const CYearReportSpecies& a, const CYearReportSpecies& b) {
                         return a.catches > b.catches;
                     });
    return report;
}

CStoreResult ReadYearReport(const CCatchStore& store, int year, CYearReport& report,
                            const CTripPortFinder& portOf, const CTideStations* stations)
{
    report = CYearReport{};
    report.year = year;
    return store.ReadTrips([&](const std::vector<CTripRecord>& trips) {
        report = BuildYearReport(trips, year, portOf);
        if (stations == nullptr) return;
        CConditionQuery query;
        query.year = year;
        report.conditions = CountConditions(trips, query, CFinderPortSource(portOf), *stations);
    });
}

std::vector<double> FitColumnWidths(const std::vector<double>& natural, double total)
{
    std::vector<double> widths(natural.size(), 0.0);
    if (natural.empty() || total <= 0) return widths;
    double sum = 0;
    for (double width : natural) sum += std::max(0.0, width);
    if (sum <= 0) {
        std::fill(widths.begin(), widths.end(), total / static_cast<double>(natural.size()));
        return widths;
    }
    if (sum <= total) {
        for (size_t c = 0; c < natural.size(); ++c)
            widths[c] = std::max(0.0, natural[c]) * total / sum;
        return widths;
    }
    // The common width the widest columns are cut to: the narrow columns, from the narrowest,
    // keep theirs while the share left for the others is still wider.
    std::vector<double> ascending;
    for (double width : natural) ascending.push_back(std::max(0.0, width));
    std::sort(ascending.begin(), ascending.end());
    double left = total;
    double cap = 0;
    for (size_t n = 0; n < ascending.size(); ++n) {
        cap = left / static_cast<double>(ascending.size() - n);
        if (ascending[n] > cap) break;
        left -= ascending[n];
    }
    for (size_t c = 0; c < natural.size(); ++c)
        widths[c] = std::min(std::max(0.0, natural[c]), cap);
    return widths;
}
