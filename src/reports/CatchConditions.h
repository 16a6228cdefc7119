#pragma once

#include <string>
#include <vector>

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
// zero; moon ages and temperature bands are listed from the lowest to the highest seen.
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

// The six tables, in the order of ECondition, for the trips of query.year.
std::vector<CConditionTable> CountConditions(const std::vector<CTripRecord>& trips,
                                             const CConditionQuery& query,
                                             const ITripPortSource& ports,
                                             const CTideStations& stations);
