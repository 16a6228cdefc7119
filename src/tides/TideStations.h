#pragma once

#include <string>
#include <vector>

#include "tides/TideStation.h"

// The tide stations the program knows: read once from the shipped station file (see
// assets/tides/stations.txt for its layout), then looked up by id, by what a user types, by name
// on the command line and by position.  Several gauges may measure one port; every id is
// accepted, but only one station per port is offered to users ("shown").
class CTideStations {
public:
    // Reads the station file.  On failure returns false with the file, the line and the reason
    // in error, and holds no stations.
    bool Load(const std::string& path, std::string& error);
    // Takes stations from memory (tests, benchmarks), checked as Load checks the file's.
    bool Assign(std::vector<CTideStation> stations, std::string& error);

    const std::vector<CTideStation>& All() const { return m_stations; }
    // The ports offered to users, one station each, in the order of their readings.
    const std::vector<const CTideStation*>& Shown() const { return m_shown; }
    // Any id, shown or not; nullptr when unknown.
    const CTideStation* FindById(const std::string& id) const;
    // The station shown for the port of the given one (itself when it is shown).
    const CTideStation* ShownFor(const CTideStation& station) const;

    // Ports shown to users (one per port) whose kanji name, kana reading, romanised name or
    // prefecture matches what was typed so far; best matches first.  Katakana matches the
    // hiragana reading, full-width letters their ASCII forms, case, spaces and brackets do not
    // matter.  Nothing typed gives every port.
    std::vector<const CTideStation*> Search(const std::string& typed, size_t max) const;
    // An id, a Japanese name or a romanised name (or reading); nullptr when unknown or
    // ambiguous, with the closest matches in *closest (when given).
    const CTideStation* Resolve(const std::string& query,
                                std::vector<const CTideStation*>* closest) const;
    // The shown port nearest to a position (great-circle distance in *km when given); nullptr
    // when there are no stations.
    const CTideStation* Nearest(double latitude, double longitude, double* km) const;

private:
    struct SSearchKeys {
        std::string name;        // Japanese name, normalised
        std::string kana;        // reading, normalised
        std::string romaji;      // romanised name, normalised
        std::string kanaRomaji;  // the reading in romaji as typed with a kana keyboard
        std::string hepburn;     // the same with long vowels shortened ("tokyo")
        std::string prefecture;  // prefecture in Japanese, normalised
        std::string prefectureRomaji;
        std::string prefectureKana;
    };
    void Index();

    std::vector<CTideStation> m_stations;
    std::vector<SSearchKeys> m_keys;  // parallel to m_stations
    std::vector<const CTideStation*> m_shown;
};

// Great-circle distance in km between two positions in degrees.
double TideDistanceKm(double latitude1, double longitude1, double latitude2, double longitude2);

// The form of a typed text that Search compares: folded as FoldForSearch folds it (katakana as
// hiragana, full-width forms as ASCII, letters in lower case), with spaces, brackets, dots and
// dashes left out.
std::string NormaliseStationQuery(const std::string& text);

// The shipped stations (TideStationsPath()), read on first use and kept for the program's life.
// When the file cannot be read the list is empty and *error (when given) says why.
const CTideStations& ShippedTideStations(std::string* error = nullptr);

// A hiragana reading in romaji as an input method takes it ("とうきょう" → "toukyou",
// "ちゃっと" → "chatto"); characters that are not hiragana pass unchanged.
std::string KanaToRomaji(const std::string& kana);
// Romaji with the long vowels of Hepburn shortened ("toukyou" → "tokyo", "oosaka" → "osaka").
std::string ShortenLongVowels(const std::string& romaji);

// Where the program finds the shipped station file: next to the program in the build tree
// ("tides/stations.txt"), or under share/lurebook/tides when installed.  When no candidate
// exists, the first one (so a message can name where it was looked for).
std::string TideStationsPath();
