#pragma once

#include <string>
#include <vector>

// One harmonic constituent of a tide station as analysed from its gauge: the amplitude and the
// Greenwich phase lag (referred to UTC) of the constituent's wave.
struct CTideConstituentValue {
    std::string name;     // "M2", "K1", "MS4" ... as the station data names it
    double amplitudeM{};  // metres
    double phaseDeg{};    // degrees, Greenwich phase lag referred to UTC
};

// A tide station (a port): where it is, what it is called, and the constants its tide is
// predicted from.  Heights predicted for it are heights above the station's chart datum
// (Japan's 最低水面, NLLW): mean sea level lies mslAboveDatumM above that datum.
struct CTideStation {
    std::string id;          // e.g. "tokyo-ma15-jpn-jodc_jma"
    std::string nameRomaji;  // e.g. "Tokyo"
    std::string nameJa;      // e.g. "東京"
    std::string nameKana;    // reading in hiragana, e.g. "とうきょう"
    std::string prefecture;  // in Japanese, e.g. "東京都"
    double latitude{};       // degrees north
    double longitude{};      // degrees east
    double mslAboveDatumM{};
    // Empty when this station is the one shown for its port; otherwise the id of the station
    // that is shown instead (another source's gauge at the same port).  Both ids are accepted.
    std::string shownAs;
    std::vector<CTideConstituentValue> constituents;

    // The constituent of that name, or nullptr when the station has none.
    const CTideConstituentValue* FindConstituent(const std::string& name) const;
};
