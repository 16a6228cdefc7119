#include "tides/TideStations.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string_view>
#include <system_error>

#include "data/Log.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"
#include "data/TextFold.h"
#include "tides/TideConstituents.h"

namespace {

// A station file much larger than the shipped one (about 250 KB) is not ours.
constexpr size_t kMaxStationFileBytes = 8 * 1024 * 1024;
constexpr size_t kColumns = 10;

// Prefectures by their romanised names and readings, so that "kanagawa" or "かながわ" finds the
// ports of 神奈川県.
struct SPrefectureName {
    std::string_view name;
    std::string_view romaji;
    std::string_view kana;
};
constexpr SPrefectureName kPrefectureNames[] = {
    {"北海道", "hokkaido", "ほっかいどう"},
    {"青森県", "aomori", "あおもり"},
    {"岩手県", "iwate", "いわて"},
    {"宮城県", "miyagi", "みやぎ"},
    {"秋田県", "akita", "あきた"},
    {"山形県", "yamagata", "やまがた"},
    {"福島県", "fukushima", "ふくしま"},
    {"茨城県", "ibaraki", "いばらき"},
    {"栃木県", "tochigi", "とちぎ"},
    {"群馬県", "gunma", "ぐんま"},
    {"埼玉県", "saitama", "さいたま"},
    {"千葉県", "chiba", "ちば"},
    {"東京都", "tokyo", "とうきょう"},
    {"神奈川県", "kanagawa", "かながわ"},
    {"新潟県", "niigata", "にいがた"},
    {"富山県", "toyama", "とやま"},
    {"石川県", "ishikawa", "いしかわ"},
    {"福井県", "fukui", "ふくい"},
    {"山梨県", "yamanashi", "やまなし"},
    {"長野県", "nagano", "ながの"},
    {"岐阜県", "gifu", "ぎふ"},
    {"静岡県", "shizuoka", "しずおか"},
    {"愛知県", "aichi", "あいち"},
    {"三重県", "mie", "みえ"},
    {"滋賀県", "shiga", "しが"},
    {"京都府", "kyoto", "きょうと"},
    {"大阪府", "osaka", "おおさか"},
    {"兵庫県", "hyogo", "ひょうご"},
    {"奈良県", "nara", "なら"},
    {"和歌山県", "wakayama", "わかやま"},
    {"鳥取県", "tottori", "とっとり"},
    {"島根県", "shimane", "しまね"},
    {"岡山県", "okayama", "おかやま"},
    {"広島県", "hiroshima", "ひろしま"},
    {"山口県", "yamaguchi", "やまぐち"},
    {"徳島県", "tokushima", "とくしま"},
    {"香川県", "kagawa", "かがわ"},
    {"愛媛県", "ehime", "えひめ"},
    {"高知県", "kochi", "こうち"},
    {"福岡県", "fukuoka", "ふくおか"},
    {"佐賀県", "saga", "さが"},
    {"長崎県", "nagasaki", "ながさき"},
    {"熊本県", "kumamoto", "くまもと"},
    {"大分県", "oita", "おおいた"},
    {"宮崎県", "miyazaki", "みやざき"},
    {"鹿児島県", "kagoshima", "かごしま"},
    {"沖縄県", "okinawa", "おきなわ"},
};

bool ParseDouble(std::string_view text, double& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

// A station's constituents as a prediction can use them: each one known here, given once, with
// an amplitude of 0 to 20 m and a phase lag within ±360°.  A name the predictor does not know
// (or "m2" for "M2") would silently leave a wave out of every tide of the port.
bool CheckConstituents(const CTideStation& station, std::string& error)
{
    std::set<std::string> seen;
    for (const CTideConstituentValue& value : station.constituents) {
        if (FindTideConstituentDef(value.name) == nullptr) {
            error = "分潮 " + value.name + " は知らない名前です";
            return false;
        }
        if (!seen.insert(value.name).second) {
            error = "分潮 " + value.name + " が二度あります";
            return false;
        }
        if (!(value.amplitudeM >= 0 && value.amplitudeM <= 20)) {
            error = "分潮 " + value.name + " の振幅が範囲 (0〜20 m) の外です";
            return false;
        }
        if (!(std::abs(value.phaseDeg) <= 360)) {
            error = "分潮 " + value.name + " の遅角が範囲 (−360〜360 度) の外です";
            return false;
        }
    }
    return true;
}

// Reads one station line; false with the reason in error.
bool ParseStationLine(std::string_view line, CTideStation& station, std::string& error)
{
    const std::vector<std::string_view> columns = Split(line, '\t');
    if (columns.size() != kColumns) {
        error = "列が " + std::to_string(kColumns) + " 個ではなく " +
                std::to_string(columns.size()) + " 個です";
        return false;
    }
    station.id = columns[0];
    station.nameRomaji = columns[1];
    station.nameJa = columns[2];
    station.nameKana = columns[3];
    station.prefecture = columns[4];
    if (station.id.empty() || station.nameJa.empty() || station.nameKana.empty() ||
        station.nameRomaji.empty() || station.prefecture.empty()) {
        error = "ID・名前・よみ・都道府県のどれかが空です";
        return false;
    }
    if (!ParseDouble(columns[5], station.latitude) || std::abs(station.latitude) > 90 ||
        !ParseDouble(columns[6], station.longitude) || std::abs(station.longitude) > 180) {
        error = "緯度・経度が度の数で書かれていません";
        return false;
    }
    if (!ParseDouble(columns[7], station.mslAboveDatumM) || std::abs(station.mslAboveDatumM) > 50) {
        error = "基準面からの平均水面の高さがありません";
        return false;
    }
    station.shownAs = columns[8] == "-" ? std::string() : std::string(columns[8]);
    station.constituents.clear();
    for (std::string_view item : Split(columns[9], ' ')) {
        const std::vector<std::string_view> parts = Split(item, ':');
        CTideConstituentValue value;
        if (parts.size() != 3 || parts[0].empty() || !ParseDouble(parts[1], value.amplitudeM) ||
            !ParseDouble(parts[2], value.phaseDeg)) {
            error = "分潮「" + std::string(item) + "」が 名前:振幅:遅角 の形ではありません";
            return false;
        }
        value.name = parts[0];
        station.constituents.push_back(std::move(value));
    }
    return CheckConstituents(station, error);
}

// How well a key matches a typed (normalised) text: 0 equal, 1 starts with it, 2 contains it,
// -1 not at all.
int MatchRank(const std::string& key, const std::string& typed)
{
    if (key.empty()) return -1;
    const size_t at = key.find(typed);
    if (at == std::string::npos) return -1;
    if (key.size() == typed.size()) return 0;
    return at == 0 ? 1 : 2;
}

// The characters (UTF-8 code points) of a text, one view each.
std::vector<std::string_view> Characters(std::string_view text)
{
    std::vector<std::string_view> characters;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        characters.push_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

bool IsAsciiText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsVowel(char c)
{
    return c == 'a' || c == 'i' || c == 'u' || c == 'e' || c == 'o';
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// How many edits a misspelling of a name of this many characters may hold and still be
// suggested: one in a short name, one more for every four characters.  (Names of one or two
// kana or kanji, or of fewer than four letters, are too short to tell a misspelling from
// another name, and get no suggestions of this kind.)
size_t AllowedEdits(size_t characters)
{
    return std::max<size_t>(1, characters / 4);
}

// Hiragana and their romaji; the small ゃ, ゅ, ょ and っ are handled where they join.
constexpr std::pair<std::string_view, std::string_view> kKanaRomaji[] = {
    {"あ", "a"},  {"い", "i"},  {"う", "u"},  {"え", "e"},  {"お", "o"},   {"か", "ka"},
    {"き", "ki"}, {"く", "ku"}, {"け", "ke"}, {"こ", "ko"}, {"さ", "sa"},  {"し", "shi"},
    {"す", "su"}, {"せ", "se"}, {"そ", "so"}, {"た", "ta"}, {"ち", "chi"}, {"つ", "tsu"},
    {"て", "te"}, {"と", "to"}, {"な", "na"}, {"に", "ni"}, {"ぬ", "nu"},  {"ね", "ne"},
    {"の", "no"}, {"は", "ha"}, {"ひ", "hi"}, {"ふ", "fu"}, {"へ", "he"},  {"ほ", "ho"},
    {"ま", "ma"}, {"み", "mi"}, {"む", "mu"}, {"め", "me"}, {"も", "mo"},  {"や", "ya"},
    {"ゆ", "yu"}, {"よ", "yo"}, {"ら", "ra"}, {"り", "ri"}, {"る", "ru"},  {"れ", "re"},
    {"ろ", "ro"}, {"わ", "wa"}, {"を", "o"},  {"ん", "n"},  {"が", "ga"},  {"ぎ", "gi"},
    {"ぐ", "gu"}, {"げ", "ge"}, {"ご", "go"}, {"ざ", "za"}, {"じ", "ji"},  {"ず", "zu"},
    {"ぜ", "ze"}, {"ぞ", "zo"}, {"だ", "da"}, {"ぢ", "ji"}, {"づ", "zu"},  {"で", "de"},
    {"ど", "do"}, {"ば", "ba"}, {"び", "bi"}, {"ぶ", "bu"}, {"べ", "be"},  {"ぼ", "bo"},
    {"ぱ", "pa"}, {"ぴ", "pi"}, {"ぷ", "pu"}, {"ぺ", "pe"}, {"ぽ", "po"},  {"ぁ", "a"},
    {"ぃ", "i"},  {"ぅ", "u"},  {"ぇ", "e"},  {"ぉ", "o"},
};

const SPrefectureName* FindPrefecture(const std::string& prefecture)
{
    for (const SPrefectureName& known : kPrefectureNames) {
        if (known.name == prefecture) return &known;
    }
    return nullptr;
}

std::string ExecutableDir()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path().string();
}

}  // namespace

std::string NormaliseStationQuery(const std::string& text)
{
    // Separators a name may be written with or without: "横浜(本牧)", "横浜 本牧", "nakano-shima".
    static constexpr std::string_view kSeparators[] = {" ", "(", ")",  "-",  "_",
                                                       ".", "'", "・", "、", "。"};
    std::string folded = FoldForSearch(text);
    for (const std::string_view separator : kSeparators) {
        for (size_t at = folded.find(separator); at != std::string::npos;
             at = folded.find(separator, at)) {
            folded.erase(at, separator.size());
        }
    }
    return folded;
}

std::string KanaToRomaji(const std::string& kana)
{
    std::string out;
    bool doubleNext = false;  // after っ
    for (const std::string_view ch : Characters(kana)) {
        if (ch == "っ") {
            doubleNext = true;
            continue;
        }
        if (ch == "ゃ" || ch == "ゅ" || ch == "ょ") {
            const char vowel = ch == "ゃ" ? 'a' : ch == "ゅ" ? 'u' : 'o';
            // き + ゃ = kya; し, ち, じ + ゃ = sha, cha, ja.
            if (out.ends_with("shi") || out.ends_with("chi") || out.ends_with("ji")) {
                out.back() = vowel;
            } else if (out.ends_with("i") && out.size() >= 2) {
                out.back() = 'y';
                out += vowel;
            } else {
                out += 'y';
                out += vowel;
            }
            continue;
        }
        std::string_view romaji = ch;
        for (const auto& [hiragana, latin] : kKanaRomaji) {
            if (hiragana == ch) {
                romaji = latin;
                break;
            }
        }
        if (doubleNext && !romaji.empty() && std::isalpha(static_cast<unsigned char>(romaji[0]))) {
            out += romaji.starts_with("ch") ? 't' : romaji[0];
        }
        doubleNext = false;
        out += romaji;
    }
    return out;
}

std::string ShortenLongVowels(const std::string& romaji)
{
    std::string out;
    for (const char c : romaji) {
        const char last = out.empty() ? '\0' : out.back();
        if ((c == 'u' && (last == 'o' || last == 'u')) || (c == 'o' && last == 'o')) continue;
        out += c;
    }
    return out;
}

std::string CanonicalRomaji(std::string_view romaji)
{
    // Long vowels written with a macron or a circumflex ("Tōkyō", "Tôkyô").
    static constexpr std::pair<std::string_view, char> kMarkedVowels[] = {
        {"ā", 'a'}, {"â", 'a'}, {"ī", 'i'}, {"î", 'i'}, {"ū", 'u'}, {"û", 'u'}, {"ē", 'e'},
        {"ê", 'e'}, {"ō", 'o'}, {"ô", 'o'}, {"Ā", 'a'}, {"Â", 'a'}, {"Ī", 'i'}, {"Î", 'i'},
        {"Ū", 'u'}, {"Û", 'u'}, {"Ē", 'e'}, {"Ê", 'e'}, {"Ō", 'o'}, {"Ô", 'o'},
    };
    std::string plain;
    for (const std::string_view ch : Characters(romaji)) {
        bool marked = false;
        for (const auto& [vowel, letter] : kMarkedVowels) {
            if (ch == vowel) {
                plain += letter;
                marked = true;
                break;
            }
        }
        if (!marked) plain += ch;
    }
    std::string text;
    for (const char c : plain) {
        if (std::isalpha(static_cast<unsigned char>(c))) {
            text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    // Hepburn's spellings as Kunrei writes them, then the Kunrei "si", "ti", "zi".
    static constexpr std::pair<std::string_view, std::string_view> kRules[] = {
        {"tch", "ch"}, {"sh", "sy"},  {"ch", "ty"},  {"ts", "t"},   {"dz", "z"},
        {"j", "zy"},   {"f", "h"},    {"syi", "si"}, {"tyi", "ti"}, {"zyi", "zi"},
        {"zyy", "zy"}, {"syy", "sy"}, {"tyy", "ty"}, {"wo", "o"},   {"nn", "n"},
    };
    for (const auto& [from, to] : kRules) ReplaceAll(text, from, to);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char last = out.empty() ? '\0' : out.back();
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        // The "h" of a long vowel ("ohshima"), not of "ha", "hi", ...
        if (c == 'h' && IsVowel(last) && !IsVowel(next) && next != 'y') continue;
        // A long vowel written twice or as "ou".
        if (IsVowel(c) && (c == last || (c == 'u' && last == 'o'))) continue;
        // "m" before b, p, m is the syllable ん.
        if (c == 'm' && (next == 'b' || next == 'p' || next == 'm')) {
            out += 'n';
            continue;
        }
        // "kio" for "kyo": an i between a consonant and a, u, o.
        if (c == 'i' && last != '\0' && !IsVowel(last) && last != 'y' &&
            (next == 'a' || next == 'u' || next == 'o')) {
            out += 'y';
            continue;
        }
        out += c;
    }
    return out;
}

size_t EditDistance(std::string_view a, std::string_view b)
{
    const std::vector<std::string_view> x = Characters(a);
    const std::vector<std::string_view> y = Characters(b);
    std::vector<size_t> row(y.size() + 1);
    for (size_t j = 0; j <= y.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= x.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= y.size(); ++j) {
            const size_t above = row[j];
            row[j] =
                std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[y.size()];
}

double TideDistanceKm(double latitude1, double longitude1, double latitude2, double longitude2)
{
    constexpr double kRad = M_PI / 180;
    constexpr double kEarthRadiusKm = 6371.0;
    const double dLat = (latitude2 - latitude1) * kRad;
    const double dLon = (longitude2 - longitude1) * kRad;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(latitude1 * kRad) * std::cos(latitude2 * kRad) * std::sin(dLon / 2) *
                         std::sin(dLon / 2);
    return 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
}

bool CTideStations::Load(const std::string& path, std::string& error)
{
    m_stations.clear();
    Index();
    std::string bytes;
    std::string readError;
    if (!ReadWholeFile(path, bytes, &readError, nullptr, kMaxStationFileBytes)) {
        error = readError;
        return false;
    }
    if (!IsValidUtf8(bytes)) {
        error = path + ": UTF-8 のテキストではありません";
        return false;
    }
    // Editors on some systems begin a UTF-8 file with a byte order mark.
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<CTideStation> stations;
    size_t lineNumber = 0;
    for (std::string_view line : Split(text, '\n')) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        CTideStation station;
        std::string reason;
        if (!ParseStationLine(line, station, reason)) {
            error = path + " " + std::to_string(lineNumber) + " 行目: " + reason;
            return false;
        }
        stations.push_back(std::move(station));
    }
    std::string reason;
    if (!Assign(std::move(stations), reason)) {
        error = path + ": " + reason;
        return false;
    }
    return true;
}

bool CTideStations::Assign(std::vector<CTideStation> stations, std::string& error)
{
    m_stations.clear();
    Index();
    std::map<std::string, const CTideStation*> byId;
    for (const CTideStation& station : stations) {
        std::string reason;
        if (!CheckConstituents(station, reason)) {
            error = "港 " + station.id + ": " + reason;
            return false;
        }
        if (!byId.emplace(station.id, &station).second) {
            error = "港 " + station.id + " が二度あります";
            return false;
        }
    }
    for (const CTideStation& station : stations) {
        if (station.shownAs.empty()) continue;
        const auto shown = byId.find(station.shownAs);
        if (shown == byId.end() || !shown->second->shownAs.empty()) {
            error = "港 " + station.id + " の表示先 " + station.shownAs +
                    " は一覧に表示される港ではありません";
            return false;
        }
    }
    if (stations.empty()) {
        error = "港が一つもありません";
        return false;
    }
    m_stations = std::move(stations);
    Index();
    return true;
}

void CTideStations::Index()
{
    m_keys.clear();
    m_shown.clear();
    for (const CTideStation& station : m_stations) {
        const SPrefectureName* prefecture = FindPrefecture(station.prefecture);
        SSearchKeys keys;
        keys.name = NormaliseStationQuery(station.nameJa);
        keys.kana = NormaliseStationQuery(station.nameKana);
        keys.romaji = NormaliseStationQuery(station.nameRomaji);
        keys.kanaRomaji = KanaToRomaji(keys.kana);
        keys.hepburn = ShortenLongVowels(keys.kanaRomaji);
        keys.canonical = CanonicalRomaji(keys.romaji);
        keys.canonicalReading = CanonicalRomaji(keys.kanaRomaji);
        keys.prefecture = NormaliseStationQuery(station.prefecture);
        if (prefecture != nullptr) {
            keys.prefectureRomaji = prefecture->romaji;
            keys.prefectureKana = prefecture->kana;
        }
        m_keys.push_back(std::move(keys));
        if (station.shownAs.empty()) m_shown.push_back(&station);
    }
    std::stable_sort(m_shown.begin(), m_shown.end(),
                     [](const CTideStation* a, const CTideStation* b) {
                         return std::tie(a->nameKana, a->nameJa) < std::tie(b->nameKana, b->nameJa);
                     });
}

const CTideStation* CTideStations::FindById(const std::string& id) const
{
    for (const CTideStation& station : m_stations) {
        if (station.id == id) return &station;
    }
    return nullptr;
}

const CTideStation* CTideStations::ShownFor(const CTideStation& station) const
{
    if (station.shownAs.empty()) return &station;
    return FindById(station.shownAs);
}

std::vector<const CTideStation*> CTideStations::Search(const std::string& typed, size_t max) const
{
    std::vector<const CTideStation*> found = Containing(typed, max);
    if (found.empty()) found = Closest(typed, max);
    return found;
}

std::vector<const CTideStation*> CTideStations::Containing(const std::string& typed,
                                                           size_t max) const
{
    const std::string query = NormaliseStationQuery(typed);
    std::vector<std::pair<int, const CTideStation*>> ranked;
    for (const CTideStation* station : m_shown) {
        if (query.empty()) {
            ranked.emplace_back(0, station);
            continue;
        }
        const SSearchKeys& keys = m_keys[static_cast<size_t>(station - m_stations.data())];
        int best = -1;
        for (const std::string* key :
             {&keys.name, &keys.kana, &keys.romaji, &keys.kanaRomaji, &keys.hepburn}) {
            const int rank = MatchRank(*key, query);
            if (rank >= 0 && (best < 0 || rank < best)) best = rank;
        }
        if (best < 0) {
            // A prefecture match ranks after every match of a port's own name.
            for (const std::string* key :
                 {&keys.prefecture, &keys.prefectureRomaji, &keys.prefectureKana}) {
                const int rank = MatchRank(*key, query);
                if (rank >= 0 && (best < 0 || 3 + rank < best)) best = 3 + rank;
            }
        }
        if (best >= 0) ranked.emplace_back(best, station);
    }
    // m_shown is in reading order, so a stable sort keeps equal matches in that order.
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<const CTideStation*> result;
    for (size_t i = 0; i < ranked.size() && i < max; ++i) result.push_back(ranked[i].second);
    return result;
}

const CTideStation* CTideStations::Resolve(const std::string& query,
                                           std::vector<const CTideStation*>* closest,
                                           bool* ambiguous) const
{
    if (closest != nullptr) closest->clear();
    if (ambiguous != nullptr) *ambiguous = false;
    if (const CTideStation* byId = FindById(query)) return byId;
    const std::string wanted = NormaliseStationQuery(query);
    if (wanted.empty()) return nullptr;
    // Romaji typed, or the romaji of kana typed, in the one spelling the keys are kept in.
    const std::string canonical =
        CanonicalRomaji(IsAsciiText(wanted) ? wanted : KanaToRomaji(wanted));
    const bool romajiOnly = IsAsciiText(KanaToRomaji(wanted));
    // Every station whose own name, reading or romanised name is what was asked for; a gauge
    // that shares its port's name stands for that port.
    std::vector<const CTideStation*> found;
    for (size_t i = 0; i < m_stations.size(); ++i) {
        const SSearchKeys& keys = m_keys[i];
        const bool same = keys.name == wanted || keys.kana == wanted || keys.romaji == wanted ||
                          keys.kanaRomaji == wanted || keys.hepburn == wanted ||
                          (romajiOnly && !canonical.empty() &&
                           (keys.canonical == canonical || keys.canonicalReading == canonical));
        if (!same) continue;
        const CTideStation* station = &m_stations[i];
        const CTideStation* shown = ShownFor(*station);
        if (shown != nullptr && shown->nameJa == station->nameJa) station = shown;
        if (std::find(found.begin(), found.end(), station) == found.end()) found.push_back(station);
    }
    if (found.size() == 1) return found.front();
    if (found.size() > 1 && ambiguous != nullptr) *ambiguous = true;
    if (closest != nullptr) *closest = found.empty() ? Closest(query, 10) : found;
    return nullptr;
}

std::vector<const CTideStation*> CTideStations::Closest(const std::string& query, size_t max) const
{
    const std::string wanted = NormaliseStationQuery(query);
    if (wanted.empty()) return {};
    // Names that contain what was typed come first, as the port list finds them.
    std::vector<const CTideStation*> result = Containing(query, max);
    const std::string romaji = KanaToRomaji(wanted);
    const bool romajiOnly = IsAsciiText(romaji);
    const std::string canonical = CanonicalRomaji(romaji);
    const size_t characters = Characters(wanted).size();
    std::vector<std::pair<size_t, const CTideStation*>> near;
    for (const CTideStation* station : m_shown) {
        if (std::find(result.begin(), result.end(), station) != result.end()) continue;
        const SSearchKeys& keys = m_keys[static_cast<size_t>(station - m_stations.data())];
        size_t best = SIZE_MAX;
        if (romajiOnly) {
            // Romaji, or kana, compared by their sounds.
            if (canonical.size() >= 4) {
                for (const std::string* key : {&keys.canonical, &keys.canonicalReading}) {
                    const size_t edits = EditDistance(canonical, *key);
                    if (edits <= AllowedEdits(canonical.size())) best = std::min(best, edits);
                }
            }
        }
        if (!IsAsciiText(wanted) && characters >= 3) {
            // Kanji and kana compared character by character.
            for (const std::string* key : {&keys.name, &keys.kana}) {
                const size_t edits = EditDistance(wanted, *key);
                if (edits <= AllowedEdits(characters + 1)) best = std::min(best, edits);
            }
        }
        if (best != SIZE_MAX) near.emplace_back(best, station);
    }
    // m_shown is in reading order, so a stable sort keeps equally close ports in that order.
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [edits, station] : near) {
        if (result.size() >= max) break;
        result.push_back(station);
    }
    return result;
}

const CTideStation* CTideStations::Nearest(double latitude, double longitude, double* km) const
{
    const CTideStation* nearest = nullptr;
    double best = 0;
    for (const CTideStation* station : m_shown) {
        const double distance =
            TideDistanceKm(latitude, longitude, station->latitude, station->longitude);
        if (nearest == nullptr || distance < best) {
            nearest = station;
            best = distance;
        }
    }
    if (km != nullptr) *km = best;
    return nearest;
}

std::string TideStationsPath()
{
    const std::filesystem::path dir = ExecutableDir();
    const std::filesystem::path candidates[] = {
        dir / "tides/stations.txt",
        dir / LUREBOOK_TIDES_FROM_PROGRAM / "stations.txt",
        std::filesystem::path(LUREBOOK_TIDES_INSTALLED) / "stations.txt",
    };
    for (const std::filesystem::path& candidate : candidates) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) {
            return candidate.lexically_normal().string();
        }
    }
    return candidates[0].string();
}

const CTideStations& ShippedTideStations(std::string* error)
{
    static std::once_flag once;
    static CTideStations stations;
    static std::string loadError;
    std::call_once(once, [] {
        if (!stations.Load(TideStationsPath(), loadError)) LogTrace("tide stations: " + loadError);
    });
    if (error != nullptr) *error = loadError;
    return stations;
}
