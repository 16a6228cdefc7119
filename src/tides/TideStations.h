#pragma once

#include <string>
#include <string_view>
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
    // matter.  Nothing typed gives every port; when no name contains what was typed, the ports
    // whose names come closest to it (a misspelling) are offered instead.
    std::vector<const CTideStation*> Search(const std::string& typed, size_t max) const;
    // An id, a Japanese name or a romanised name (or reading, in any common romanisation:
    // "tokio", "toukyou" and "tokyo" are all 東京); nullptr when unknown or ambiguous.  Then
    // *closest (when given) holds the ports that match equally when several do (and *ambiguous
    // is set), else the ports whose names come closest to what was typed: names that contain
    // it, then names a few letters or characters away (a misspelling), best first.
    const CTideStation* Resolve(const std::string& query, std::vector<const CTideStation*>* closest,
                                bool* ambiguous = nullptr) const;
    // Shown ports whose names come closest to a (normalised) query, as Resolve suggests them.
    std::vector<const CTideStation*> Closest(const std::string& query, size_t max) const;
    // The shown port nearest to a position (great-circle distance in *km when given); nullptr
    // when there are no stations.
    const CTideStation* Nearest(double latitude, double longitude, double* km) const;

private:
    struct SSearchKeys {
        std::string name;              // Japanese name, normalised
        std::string kana;              // reading, normalised
        std::string romaji;            // romanised name, normalised
        std::string kanaRomaji;        // the reading in romaji as typed with a kana keyboard
        std::string hepburn;           // the same with long vowels shortened ("tokyo")
        std::string canonical;         // the romanised name as CanonicalRomaji writes it
        std::string canonicalReading;  // the reading the same way
        std::string prefecture;        // prefecture in Japanese, normalised
        std::string prefectureRomaji;
        std::string prefectureKana;
    };
    void Index();
    // Search without the fallback to close names.
    std::vector<const CTideStation*> Containing(const std::string& typed, size_t max) const;

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
// One spelling for the ways a name is romanised: Hepburn and Kunrei ("shi"/"si", "chi"/"ti",
// "tsu"/"tu", "fu"/"hu", "ji"/"zi", "jyo"/"jo"), long vowels written or not ("toukyou",
// "tookyoo", "Tōkyō" all "tokyo"), "oh" for "o", "m" before b, p, m, and "io" for "yo"
// ("tokio").  Letters other than a to z are left out.
std::string CanonicalRomaji(std::string_view romaji);
// The fewest characters (UTF-8 code points) to insert, delete or replace to turn a into b.
size_t EditDistance(std::string_view a, std::string_view b);

// Where the program finds the shipped station file: next to the program in the build tree
// ("tides/stations.txt"), or under share/lurebook/tides when installed.  When no candidate
// exists, the first one (so a message can name where it was looked for).
std::string TideStationsPath();
