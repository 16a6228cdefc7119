#include "reports/CatchConditions.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <mutex>
#include <ostream>
#include <set>
#include <sstream>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "calendar/MoonPhase.h"
#include "calendar/SunTimes.h"
#include "data/DecimalInt.h"
#include "data/DecimalNumber.h"
#include "data/TextFold.h"
#include "data/TripDate.h"
#include "tides/TidePortLookup.h"
#include "tides/TidePredictor.h"
#include "tides/TideStations.h"

namespace {

constexpr const char* kTideNames[] = {"大潮", "中潮", "小潮", "長潮", "若潮"};
constexpr const char* kTimesOfDay[] = {"夜明け前", "朝マヅメ", "日中", "夕マヅメ", "夜"};
enum ETimeOfDay { kBeforeDawn, kMorning, kDay, kEvening, kNight };
constexpr int kMazumeMinutes = 60;  // マヅメ: this long either side of sunrise or sunset
constexpr double kLowestWaterC = -5;
constexpr double kHighestWaterC = 50;
constexpr int kUnknownKey = INT_MAX;

// A whole number of one or two digits, or false.
bool ReadSmallNumber(std::string_view text, int& value)
{
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), IsAsciiDigit))
        return false;
    return ParseWholeDecimalInt(text, value);
}

// Where the number starting at begin (a digit) ends: digits, then a point and digits.
size_t NumberEnd(std::string_view text, size_t begin)
{
    size_t end = begin;
    while (end < text.size() && IsAsciiDigit(text[end])) ++end;
    if (end + 1 < text.size() && text[end] == '.' && IsAsciiDigit(text[end + 1])) {
        ++end;
        while (end < text.size() && IsAsciiDigit(text[end])) ++end;
    }
    return end;
}

// The number starting at begin (a digit; negative when a minus sign stands right before it).
double NumberAt(std::string_view text, size_t begin, bool negative)
{
    const double value = static_cast<double>(ReadStoredThousandths(
                             text.substr(begin, NumberEnd(text, begin) - begin))) /
                         1000.0;
    return negative ? -value : value;
}

// Position of the first digit, or npos.
size_t FirstDigit(std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsAsciiDigit(text[i])) return i;
    }
    return std::string_view::npos;
}

// Length of a range mark at position i of folded text (wave dashes, hyphens, から), or 0.
size_t RangeMarkLength(std::string_view text, size_t i)
{
    for (const std::string_view mark : {"~", "-", "〜", "−", "–", "から"}) {
        if (text.substr(i, mark.size()) == mark) return mark.size();
    }
    return 0;
}

// A minus sign just before position digit (a hyphen, or U+2212) not following a digit.
bool MinusBefore(std::string_view text, size_t digit)
{
    for (const std::string_view sign : {"-", "−"}) {
        if (digit < sign.size() || text.substr(digit - sign.size(), sign.size()) != sign) continue;
        const size_t before = digit - sign.size();
        return before == 0 || !IsAsciiDigit(text[before - 1]);
    }
    return false;
}

// The texts of the values every catch has, made once.
const std::string& HourText(int hour)
{
    static const std::array<std::string, 24> texts = [] {
        std::array<std::string, 24> made;
        for (int h = 0; h < 24; ++h) made[h] = std::to_string(h) + "時";
        return made;
    }();
    return texts[static_cast<size_t>(hour)];
}

const std::string& StageText(bool rising, int tenth)
{
    static const std::array<std::string, 20> texts = [] {
        std::array<std::string, 20> made;
        for (int k = 0; k < 20; ++k)
            made[k] = std::string(k < 10 ? "上げ" : "下げ") + std::to_string(k % 10 + 1) + "分";
        return made;
    }();
    return texts[static_cast<size_t>((rising ? 0 : 10) + tenth - 1)];
}

const std::string& TimeOfDayText(int part)
{
    static const std::array<std::string, 5> texts = {kTimesOfDay[0], kTimesOfDay[1], kTimesOfDay[2],
                                                     kTimesOfDay[3], kTimesOfDay[4]};
    return texts[static_cast<size_t>(part)];
}

const std::string& MoonAgeText(int age)
{
    static const std::array<std::string, 31> texts = [] {
        std::array<std::string, 31> made;
        for (int a = 0; a < 31; ++a) made[a] = std::to_string(a);
        return made;
    }();
    return texts[static_cast<size_t>(age)];
}

// The lowest degree of the 2 °C band holding celsius: bands start at even degrees, below zero
// too (-1.5 lies in -2～0℃).
int WaterBandLow(double celsius)
{
    return 2 * static_cast<int>(std::floor(celsius / 2));
}

std::string BandText(int lowest)
{
    return std::to_string(lowest) + "～" + std::to_string(lowest + 2) + "℃";
}

// The day of a trip: its date when it is a calendar day, with the moon of that date.
struct CTripDay {
    bool valid = false;
    int year = 0;
    int month = 0;
    int day = 0;
    long long dayNumber = 0;  // Julian day number
    int moonAge = -1;
    int tideIndex = -1;  // into kTideNames
};

// High and low waters as minutes on one scale (Julian day number × 1440 + minute of the day).
struct CTurn {
    long long minute;
    bool high;
};

using CYearTurns = std::shared_ptr<const std::vector<CTurn>>;

// Everything the prediction of a station's year depends on, as one text: stations of one id
// with other constants (the tests' made-up ports) never share turns.
std::string PredictionKey(const CTideStation& station, int year)
{
    std::ostringstream key;
    key.precision(17);
    key << year << '\t' << station.id << '\t' << station.mslAboveDatumM;
    for (const CTideConstituentValue& value : station.constituents)
        key << '\t' << value.name << ':' << value.amplitudeM << ':' << value.phaseDeg;
    return key.str();
}

struct CKeptTurns {
    std::mutex mutex;
    std::unordered_map<std::string, CYearTurns> turns;
};

CKeptTurns& KeptTurns()
{
    static CKeptTurns kept;
    return kept;
}

// The turns of a year at a port, with two days of the years either side (so a catch early on
// 1 January still has the turn before it).  Like the new moons of the calendar they are kept for
// the program's life: counting again (another species, another view) finds them made.
CYearTurns YearTurns(const CTideStation& station, int year)
{
    constexpr size_t kKept = 256;  // port-years of some 20 KB each
    const std::string key = PredictionKey(station, year);
    CKeptTurns& kept = KeptTurns();
    {
        const std::lock_guard<std::mutex> lock(kept.mutex);
        const auto found = kept.turns.find(key);
        if (found != kept.turns.end()) return found->second;
    }
    auto turns = std::make_shared<std::vector<CTurn>>();
    for (const CTideExtreme& e :
         CTidePredictor(station).Extremes(year - 1, 12, 30, year + 1, 1, 2)) {
        turns->push_back(
            CTurn{JulianDayNumber(e.year, e.month, e.day) * 1440 + e.hour * 60 + e.minute, e.high});
    }
    const std::lock_guard<std::mutex> lock(kept.mutex);
    if (kept.turns.size() >= kKept) kept.turns.clear();
    return kept.turns.emplace(key, std::move(turns)).first->second;
}

}  // namespace

void ForgetKeptTideTurns()
{
    CKeptTurns& kept = KeptTurns();
    const std::lock_guard<std::mutex> lock(kept.mutex);
    kept.turns.clear();
}

// ---- Names
// ---------------------------------------------------------------------------------------

const char* ConditionName(ECondition condition)
{
    switch (condition) {
        case ECondition::TideName:
            return "潮";
        case ECondition::TideStage:
            return "潮の動き";
        case ECondition::Hour:
            return "時刻";
        case ECondition::MoonAge:
            return "月齢";
        case ECondition::TimeOfDay:
            return "時間帯";
        case ECondition::WaterTemp:
            return "水温";
    }
    return "";
}

bool IsDayCondition(ECondition condition)
{
    return condition == ECondition::TideName || condition == ECondition::MoonAge;
}

const CTideStation* CLookupTripPorts::PortForPlace(const std::string& place) const
{
    return m_lookup.PortForPlace(place);
}

// ---- Readers
// -------------------------------------------------------------------------------------

namespace {

// A catch time of text as it is (full-width digits not yet folded); minute -1 for an hour alone.
bool ReadTimeText(std::string_view text, int& hour, int& minute)
{
    const std::string_view time = TrimBlanks(text);
    int h = 0;
    int m = -1;
    const size_t hourMark = time.find("時");
    if (hourMark != std::string_view::npos) {
        if (!ReadSmallNumber(TrimBlanks(time.substr(0, hourMark)), h)) return false;
        std::string_view rest = time.substr(hourMark + std::string_view("時").size());
        const size_t minuteMark = rest.find("分");
        if (minuteMark != std::string_view::npos) {
            if (minuteMark + std::string_view("分").size() != rest.size()) return false;
            rest = rest.substr(0, minuteMark);
        }
        rest = TrimBlanks(rest);
        if (!rest.empty() && !ReadSmallNumber(rest, m)) return false;
    } else {
        // H:MM or H:MM:SS (the seconds of a spreadsheet cell do not matter).
        const size_t colon = time.find(':');
        if (colon == std::string_view::npos) return false;
        std::string_view rest = time.substr(colon + 1);
        const size_t second = rest.find(':');
        int seconds = 0;
        if (second != std::string_view::npos) {
            if (!ReadSmallNumber(rest.substr(second + 1), seconds) || seconds > 59) return false;
            rest = rest.substr(0, second);
        }
        if (!ReadSmallNumber(time.substr(0, colon), h) || !ReadSmallNumber(rest, m)) return false;
    }
    if (h > 23 || m > 59) return false;
    hour = h;
    minute = m;
    return true;
}

}  // namespace

bool ReadCatchTime(const std::string& text, int& hour, int& minute)
{
    // Most times are stored with ASCII digits; only the others are folded.
    return ReadTimeText(text, hour, minute) || ReadTimeText(FoldForSearch(text), hour, minute);
}

bool ReadWaterTemperature(const std::string& text, double& celsius)
{
    const std::string folded = FoldForSearch(text);
    const std::string_view water = folded;
    const size_t first = FirstDigit(water);
    if (first == std::string_view::npos) return false;
    double value = NumberAt(water, first, MinusBefore(water, first));
    // A range: the middle of its two ends.
    size_t after = NumberEnd(water, first);
    while (after < water.size() && IsBlank(water[after])) ++after;
    if (const size_t mark = RangeMarkLength(water, after)) {
        size_t second = after + mark;
        while (second < water.size() && IsBlank(water[second])) ++second;
        size_t digit = second;
        for (const std::string_view sign : {"-", "−"}) {
            if (water.substr(second, sign.size()) == sign) digit = second + sign.size();
        }
        if (digit < water.size() && IsAsciiDigit(water[digit]))
            value = (value + NumberAt(water, digit, digit != second)) / 2;
    }
    if (value < kLowestWaterC || value >= kHighestWaterC) return false;
    celsius = value;
    return true;
}

std::string WaterTempBandText(double celsius)
{
    return BandText(WaterBandLow(celsius));
}

// ---- The finder
// ----------------------------------------------------------------------------------

struct CCatchConditionFinder::CCaches {
    struct CPort {
        std::unordered_map<int, CYearTurns> turnsOfYear;
        std::unordered_map<long long, CSunDay> sunOfDay;
    };
    std::unordered_map<std::string, CTripDay> days;  // by the date text
    std::unordered_map<const CTideStation*, CPort> ports;
    // What the catch before asked for: the catches of a trip ask the same.
    std::string lastDate;
    const CTripDay* lastDay = nullptr;
    std::string lastWater;
    int lastWaterKnown = -1;  // -1 not read yet, 0 no temperature, 1 lastWaterC
    double lastWaterC = 0;
    std::string lastBand;
    const CTideStation* lastPort = nullptr;
    long long lastPortDay = 0;
    const std::vector<CTurn>* lastTurns = nullptr;
    const CSunDay* lastSun = nullptr;

    const CTripDay& DayOf(const std::string& dateText)
    {
        if (lastDay == nullptr || dateText != lastDate) {
            lastDate = dateText;
            lastDay = &FindDay(dateText);
        }
        return *lastDay;
    }

    // The temperature of a 水温 text and its band, or nullptr.
    const std::string* WaterOf(const std::string& water, double& celsius)
    {
        if (lastWaterKnown < 0 || water != lastWater) {
            lastWater = water;
            lastWaterKnown = ReadWaterTemperature(water, lastWaterC) ? 1 : 0;
            if (lastWaterKnown == 1) lastBand = WaterTempBandText(lastWaterC);
        }
        celsius = lastWaterC;
        return lastWaterKnown == 1 ? &lastBand : nullptr;
    }

    // The turns around a day at a port and its sunrise and sunset.
    void PortDayOf(const CTideStation& station, const CTripDay& day,
                   const std::vector<CTurn>*& turns, const CSunDay*& sun)
    {
        if (lastPort != &station || lastPortDay != day.dayNumber) {
            CPort& port = PortOf(station);
            lastPort = &station;
            lastPortDay = day.dayNumber;
            lastTurns = &TurnsOf(port, station, day.year);
            lastSun = &SunOf(port, station, day);
        }
        turns = lastTurns;
        sun = lastSun;
    }

    const CTripDay& FindDay(const std::string& dateText)
    {
        const auto found = days.find(dateText);
        if (found != days.end()) return found->second;
        CTripDay day;
        CDateText date;
        if (ReadDateText(dateText, date) == EDateError::None && date.month != 0 && date.day != 0) {
            day.valid = true;
            day.year = date.year;
            day.month = date.month;
            day.day = date.day;
            day.dayNumber = JulianDayNumber(date.year, date.month, date.day);
            const CMoonDay moon = MoonDayOf(date.year, date.month, date.day);
            day.moonAge = static_cast<int>(std::floor(moon.age));
            for (int i = 0; i < 5; ++i) {
                if (moon.tideName == kTideNames[i]) day.tideIndex = i;
            }
        }
        return days.emplace(dateText, day).first->second;
    }

    CPort& PortOf(const CTideStation& station) { return ports[&station]; }

    const std::vector<CTurn>& TurnsOf(CPort& port, const CTideStation& station, int year)
    {
        CYearTurns& turns = port.turnsOfYear[year];
        if (!turns) turns = YearTurns(station, year);
        return *turns;
    }

    const CSunDay& SunOf(CPort& port, const CTideStation& station, const CTripDay& day)
    {
        const auto found = port.sunOfDay.find(day.dayNumber);
        if (found != port.sunOfDay.end()) return found->second;
        return port.sunOfDay
            .emplace(day.dayNumber,
                     SunTimesOf(day.year, day.month, day.day, station.latitude, station.longitude))
            .first->second;
    }
};

CCatchConditionFinder::CCatchConditionFinder() : m_caches(std::make_unique<CCaches>()) {}

CCatchConditionFinder::~CCatchConditionFinder() = default;

CCatchCondition CCatchConditionFinder::Of(const CTripRecord& trip, const CCatchRecord& caught,
                                          const CTideStation* port)
{
    CCatchCondition c;
    for (std::string& value : c.values) value = kUnknownValue;
    auto set = [&](ECondition condition, const std::string& text) {
        c.values[static_cast<size_t>(condition)] = text;
    };

    const CTripDay& day = m_caches->DayOf(trip.date);
    if (day.valid) {
        c.moonAge = day.moonAge;
        set(ECondition::MoonAge, MoonAgeText(day.moonAge));
        if (day.tideIndex >= 0) {
            c.tideName = kTideNames[day.tideIndex];
            set(ECondition::TideName, c.tideName);
        }
    }
    if (const std::string* band = m_caches->WaterOf(trip.water, c.waterTempC)) {
        c.hasWaterTemp = true;
        set(ECondition::WaterTemp, *band);
    }

    int hour = 0;
    int minute = 0;
    if (!ReadCatchTime(caught.time, hour, minute)) return c;
    c.hour = hour;
    set(ECondition::Hour, HourText(hour));
    if (minute < 0) return c;
    c.minuteOfDay = hour * 60 + minute;
    if (!day.valid || port == nullptr) return c;

    const std::vector<CTurn>* portTurns = nullptr;
    const CSunDay* portSun = nullptr;
    m_caches->PortDayOf(*port, day, portTurns, portSun);
    const std::vector<CTurn>& turns = *portTurns;
    const long long at = day.dayNumber * 1440 + c.minuteOfDay;
    const auto next =
        std::upper_bound(turns.begin(), turns.end(), at,
                         [](long long t, const CTurn& turn) { return t < turn.minute; });
    if (next != turns.begin() && next != turns.end() && std::prev(next)->high != next->high) {
        const CTurn& last = *std::prev(next);
        const long long span = next->minute - last.minute;
        c.minutesSinceTurn = static_cast<int>(at - last.minute);
        c.sinceHigh = last.high;
        c.rising = !last.high;
        c.stageTenth = static_cast<int>(c.minutesSinceTurn * 10LL / span) + 1;
        set(ECondition::TideStage, StageText(c.rising, c.stageTenth));
    }

    const CSunDay& sun = *portSun;
    if (sun.valid) {
        int part = kNight;
        if (c.minuteOfDay < sun.riseMinute - kMazumeMinutes) {
            part = kBeforeDawn;
        } else if (c.minuteOfDay < sun.riseMinute + kMazumeMinutes) {
            part = kMorning;
        } else if (c.minuteOfDay < sun.setMinute - kMazumeMinutes) {
            part = kDay;
        } else if (c.minuteOfDay < sun.setMinute + kMazumeMinutes) {
            part = kEvening;
        }
        set(ECondition::TimeOfDay, TimeOfDayText(part));
    }
    return c;
}

CCatchCondition ConditionsOfCatch(const CTripRecord& trip, const CCatchRecord& caught,
                                  const CTideStation* port)
{
    CCatchConditionFinder finder;
    return finder.Of(trip, caught, port);
}

// ---- Counting
// ------------------------------------------------------------------------------------

namespace {

// The key a value sorts by in its table (kUnknownKey for kUnknownValue).
int ValueKey(ECondition condition, const CCatchCondition& c)
{
    switch (condition) {
        case ECondition::TideName:
            for (int i = 0; i < 5; ++i) {
                if (c.tideName == kTideNames[i]) return i;
            }
            return kUnknownKey;
        case ECondition::TideStage:
            return c.stageTenth == 0 ? kUnknownKey : (c.rising ? 0 : 10) + c.stageTenth - 1;
        case ECondition::Hour:
            return c.hour < 0 ? kUnknownKey : c.hour;
        case ECondition::MoonAge:
            return c.moonAge < 0 ? kUnknownKey : c.moonAge;
        case ECondition::TimeOfDay:
            for (int i = 0; i < 5; ++i) {
                if (c.Value(condition) == kTimesOfDay[i]) return i;
            }
            return kUnknownKey;
        case ECondition::WaterTemp:
            return c.hasWaterTemp ? WaterBandLow(c.waterTempC) : kUnknownKey;
    }
    return kUnknownKey;
}

std::string KeyText(ECondition condition, int key)
{
    if (key == kUnknownKey) return kUnknownValue;
    switch (condition) {
        case ECondition::TideName:
            return kTideNames[key];
        case ECondition::TideStage:
            return StageText(key < 10, key % 10 + 1);
        case ECondition::Hour:
            return HourText(key);
        case ECondition::MoonAge:
            return MoonAgeText(key);
        case ECondition::TimeOfDay:
            return kTimesOfDay[key];
        case ECondition::WaterTemp:
            return BandText(key);
    }
    return kUnknownValue;
}

// The keys every table lists even at zero; for the open ones, the step between listed keys.
std::pair<int, int> ClosedKeyRange(ECondition condition)
{
    switch (condition) {
        case ECondition::TideName:
        case ECondition::TimeOfDay:
            return {0, 4};
        case ECondition::TideStage:
            return {0, 19};
        case ECondition::Hour:
            return {0, 23};
        default:
            return {0, -1};
    }
}

int KeyStep(ECondition condition)
{
    return condition == ECondition::WaterTemp ? 2 : 1;
}

}  // namespace

std::vector<CConditionTable> CountConditions(const std::vector<CTripRecord>& trips,
                                             const CConditionQuery& query,
                                             const ITripPortSource& ports,
                                             const CTideStations& stations)
{
    struct CCounts {
        int catches = 0;
        std::set<std::string> days;
    };
    std::array<std::map<int, CCounts>, kConditionCount> counts;
    const CTideStation* fallback =
        query.fallbackPort.empty() ? nullptr : stations.FindById(query.fallbackPort);
    std::unordered_map<std::string, const CTideStation*> portOfPlace;
    CCatchConditionFinder finder;
    const CCatchRecord noCatch;

    for (const CTripRecord& trip : trips) {
        CDateText date;
        if (ReadDateText(trip.date, date) != EDateError::None || date.year != query.year) continue;
        // The day as one text whatever form the date was written in.
        const std::string dayText =
            date.month != 0 && date.day != 0 ? FormatTripDate(date) : trip.date;
        const CCatchCondition tripDay = finder.Of(trip, noCatch, nullptr);
        for (int i = 0; i < kConditionCount; ++i) {
            const auto condition = static_cast<ECondition>(i);
            if (IsDayCondition(condition))
                counts[i][ValueKey(condition, tripDay)].days.insert(dayText);
        }

        const CTideStation* port = nullptr;
        bool portKnown = false;
        for (const CCatchRecord& caught : trip.catches) {
            if (!query.species.empty() && caught.name != query.species) continue;
            if (!portKnown) {
                const auto found = portOfPlace.find(trip.place);
                if (found != portOfPlace.end()) {
                    port = found->second;
                } else {
                    port = ports.PortForPlace(trip.place);
                    if (port == nullptr) port = fallback;
                    portOfPlace.emplace(trip.place, port);
                }
                portKnown = true;
            }
            const CCatchCondition c = finder.Of(trip, caught, port);
            for (int i = 0; i < kConditionCount; ++i)
                ++counts[i][ValueKey(static_cast<ECondition>(i), c)].catches;
        }
    }

    std::vector<CConditionTable> tables;
    for (int i = 0; i < kConditionCount; ++i) {
        const auto condition = static_cast<ECondition>(i);
        auto& table = counts[i];
        auto [low, high] = ClosedKeyRange(condition);
        // Open sets: from the lowest to the highest key seen.
        if (high < low) {
            for (const auto& [key, count] : table) {
                if (key == kUnknownKey) continue;
                if (high < low) low = high = key;
                low = std::min(low, key);
                high = std::max(high, key);
            }
        }
        for (int key = low; key <= high; key += KeyStep(condition)) table[key];
        table[kUnknownKey];

        CConditionTable& out = tables.emplace_back();
        out.condition = condition;
        for (const auto& [key, count] : table) {
            CConditionCount row;
            row.value = KeyText(condition, key);
            row.catches = count.catches;
            row.daysFished = IsDayCondition(condition) ? static_cast<int>(count.days.size()) : -1;
            out.rows.push_back(std::move(row));
        }
    }
    return tables;
}

CStoreResult ReadConditionTables(const CCatchStore& store, const CConditionQuery& query,
                                 const ITripPortSource& ports, const CTideStations& stations,
                                 std::vector<CConditionTable>& tables)
{
    tables.clear();
    return store.ReadTrips([&](const std::vector<CTripRecord>& trips) {
        tables = CountConditions(trips, query, ports, stations);
    });
}

void WriteConditionTables(const std::vector<CConditionTable>& tables, std::ostream& out)
{
    for (const CConditionTable& table : tables) {
        for (const CConditionCount& row : table.rows) {
            out << ConditionName(table.condition) << '\t' << row.value << '\t' << row.catches
                << '\t';
            if (row.daysFished >= 0) out << row.daysFished;
            out << '\n';
        }
    }
}
