#pragma once

#include <array>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "data/CatchStore.h"
#include "data/TripRecord.h"

class CTideStations;
struct CTideStation;

// What the log says about when the fish bite: every catch of a year placed in its conditions
// (the day's tide name and moon age, the stage of the tide at its port, the hour, the time of day
// by the port's sunrise and sunset, the water temperature of its trip) and counted per value.
// A condition that cannot be known for a catch (no time, no port, no temperature) is counted
// under kUnknownValue, never guessed.

enum class ECondition {
    TideName,   // 潮: 大潮 中潮 小潮 長潮 若潮 (day-level)
    TideStage,  // 潮の動き: 上げ1分 … 上げ10分, 下げ1分 … 下げ10分
    Hour,       // 時刻: 0時 … 23時
    MoonAge,    // 月齢: whole days 0 … 29 (day-level)
    TimeOfDay,  // 時間帯: 夜明け前 朝マヅメ 日中 夕マヅメ 夜
    WaterTemp,  // 水温: 2 °C bands, "18～20℃"
};
inline constexpr int kConditionCount = 6;

inline constexpr const char* kUnknownValue = "不明";

// The condition's name as the command line and the charts print it: 潮, 潮の動き, 時刻, 月齢,
// 時間帯, 水温.
const char* ConditionName(ECondition condition);
// True for the conditions that belong to a day (tide name, moon age): they also count days.
bool IsDayCondition(ECondition condition);

struct CConditionCount {
    std::string value;    // the value's text, or kUnknownValue
    int catches = 0;      // matching catches under this value
    int daysFished = -1;  // day-level conditions: days fished under this value; else -1
};

// One condition's counts in display order (the natural order of its values, kUnknownValue
// last).  Every value of a closed set (tide names, stages, hours, times of day) is listed even at
// zero; moon ages and temperature bands are listed from the lowest to the highest seen, every
// value between them included.
struct CConditionTable {
    ECondition condition = ECondition::TideName;
    std::vector<CConditionCount> rows;
};

struct CConditionQuery {
    int year = 0;
    std::string species;       // empty: every species; otherwise the name as stored, exactly
    std::string fallbackPort;  // station id for trips whose place has no port and no home port
};

// Where each trip's port comes from: the port chosen for its 場所, else the home port, else the
// query's fallback port.  Returns nullptr when there is none.
class ITripPortSource {
public:
    virtual ~ITripPortSource() = default;
    virtual const CTideStation* PortForPlace(const std::string& place) const = 0;
};

// The six tables, in the order of ECondition, for the trips of query.year (the year of the trip's
// date).  Catches count when their species is query.species (any, when it is empty).  Days fished
// are the distinct dates of every trip of the year, whatever it caught, so catches per day is a
// fair rate; a value fished but never caught at is listed with 0 catches.
std::vector<CConditionTable> CountConditions(const std::vector<CTripRecord>& trips,
                                             const CConditionQuery& query,
                                             const ITripPortSource& ports,
                                             const CTideStations& stations);

// Reads the catch file and counts its conditions; tables stay empty when it cannot be read.
CStoreResult ReadConditionTables(const CCatchStore& store, const CConditionQuery& query,
                                 const ITripPortSource& ports, const CTideStations& stations,
                                 std::vector<CConditionTable>& tables);

// ---- One catch in its conditions ----------------------------------------------------------------

class CTidePortLookup;

// The trip ports of the pages: the port chosen for a 場所, else the home port.
class CLookupTripPorts : public ITripPortSource {
public:
    explicit CLookupTripPorts(const CTidePortLookup& lookup) : m_lookup(lookup) {}
    const CTideStation* PortForPlace(const std::string& place) const override;

private:
    const CTidePortLookup& m_lookup;
};

// One catch placed in its conditions.  values holds the text each table counts it under (by
// ECondition; kUnknownValue when that condition cannot be known); the other fields say the same
// as numbers.
struct CCatchCondition {
    std::array<std::string, kConditionCount> values;
    std::string tideName;       // empty when the trip's date is no calendar day
    int moonAge = -1;           // whole days; -1 unknown
    int minuteOfDay = -1;       // the catch time, minutes after 0:00; -1 unknown
    int hour = -1;              // -1 unknown
    int stageTenth = 0;         // 1 … 10 of the rise or fall; 0 unknown
    bool rising = false;        // 上げ (from a low water to a high water)
    int minutesSinceTurn = -1;  // minutes since the last high or low water; -1 unknown
    bool sinceHigh = false;     // that turn was a high water
    bool hasWaterTemp = false;
    double waterTempC = 0;

    const std::string& Value(ECondition condition) const
    {
        return values[static_cast<size_t>(condition)];
    }
};

// The time of a catch as the log stores it: "7時15分" (the entry dialog; full-width digits too),
// "7:15" or "07:15:00" (an imported spreadsheet's cell).  An hour without minutes ("7時",
// "7時分") gives minute -1.  False for an empty time ("時分"), a time without an hour, and hours
// or minutes out of range (0–23, 0–59).
bool ReadCatchTime(const std::string& text, int& hour, int& minute);

// The water temperature of a trip's 水温 text: the first number in it (「18.5」「水温１８度」), or
// the middle of a range written with a wave dash or a hyphen (「18～19」 is 18.5).  False when
// the text holds no number or one no water has (below −5 °C, 50 °C and above).
bool ReadWaterTemperature(const std::string& text, double& celsius);

// The band of a temperature as the tables name it: 2 °C wide from an even degree, "18～20℃"
// for 18.0 ≤ t < 20.0.
std::string WaterTempBandText(double celsius);

// Places catches in their conditions, keeping what many catches share: the moon of each date,
// and per port its high and low waters a year at a time and its sunrise and sunset per day.
// A finder serves one thread; finders of several threads may work at once.
class CCatchConditionFinder {
public:
    CCatchConditionFinder();
    ~CCatchConditionFinder();
    CCatchConditionFinder(const CCatchConditionFinder&) = delete;
    CCatchConditionFinder& operator=(const CCatchConditionFinder&) = delete;

    // A catch of trip at port (nullptr: the trip has no port, so no stage and no time of day).
    // The stage: from a low water to the next high water in ten equal parts, 上げ1分 the first
    // tenth; from a high water to the next low water likewise 下げ1分 … 下げ10分.  A catch at the
    // very minute of a turn is in the first tenth after it.  The time of day: 朝マヅメ from an
    // hour before sunrise to an hour after it, 夕マヅメ likewise around sunset; 夜明け前, 日中 and
    // 夜 between them.
    CCatchCondition Of(const CTripRecord& trip, const CCatchRecord& caught,
                       const CTideStation* port);

private:
    struct CCaches;
    std::unique_ptr<CCaches> m_caches;
};

// Finders keep the high and low waters of each port's year for the program's life, so counting
// again costs no prediction.  This forgets them (a benchmark's first count).
void ForgetKeptTideTurns();

// One catch by a finder of its own (a single catch; tests).
CCatchCondition ConditionsOfCatch(const CTripRecord& trip, const CCatchRecord& caught,
                                  const CTideStation* port);

// The tables as the command line prints them: one line per value, tab-separated: condition,
// value, catches, days fished (empty for conditions that are not day-level).
void WriteConditionTables(const std::vector<CConditionTable>& tables, std::ostream& out);
