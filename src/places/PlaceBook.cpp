#include "places/PlaceBook.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "data/DataFolder.h"
#include "data/GuardedFile.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"
#include "tides/TideStations.h"

namespace {

constexpr std::string_view kHeader =
    "# Lurebook places: the home tide port, and for each place its tide port and position.\n"
    "# UTF-8; lines \"home<TAB>port id\" and\n"
    "# \"place<TAB>place text<TAB>port id<TAB>latitude<TAB>longitude<TAB>source\" (WGS 84 "
    "degrees;\n"
    "# the last three empty for a place without a position; source photo, map, typed or gpx).\n";

constexpr size_t kProblemsShown = 5;

std::vector<std::string_view> SplitTabs(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t at = line.find('\t', start);
        fields.push_back(line.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) return fields;
        start = at + 1;
    }
}

// A decimal number as the file writes it: optional sign, digits, optional fraction.  Nothing
// else (no exponent, no spaces, no "nan"), so a damaged field is noticed rather than read.
bool ParseDegrees(std::string_view text, double& value)
{
    if (text.empty() || text.size() > 24) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || c == '.' || (i == 0 && c == '-'))) return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// Positions are kept to a millionth of a degree (about 0.1 m), the precision the file writes,
// so that what is saved reads back as the same numbers.
CGeoPoint FileRounded(const CGeoPoint& point)
{
    return {std::round(point.latitude * 1e6) / 1e6, std::round(point.longitude * 1e6) / 1e6};
}

std::string DegreesText(double degrees)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6f", degrees);
    return buffer;
}

// The reason a file could not be read, for the user.
std::string ReadFailureText(EFileRead status, int savedErrno, size_t maxBytes)
{
    switch (status) {
        case EFileRead::NotRegular:
            return "通常のファイルではありません（フォルダー、パイプなど）";
        case EFileRead::TooLarge:
            return "ファイルが大きすぎます（上限 " + ByteLimitText(maxBytes) + "）";
        case EFileRead::Missing:
            return "ファイルがありません";
        case EFileRead::Unreadable:
        case EFileRead::Ok:
            break;
    }
    switch (savedErrno) {
        case EACCES:
        case EPERM:
            return "読み込む権限がありません";
        case EIO:
            return "入出力エラーで読み込めません";
        case ELOOP:
            return "シンボリックリンクが多すぎます";
        default:
            return "読み込めません（" + SystemErrorText(savedErrno) + "）";
    }
}

}  // namespace

const char* PositionSourceWord(EPositionSource source)
{
    switch (source) {
        case EPositionSource::Photo:
            return "photo";
        case EPositionSource::Map:
            return "map";
        case EPositionSource::Typed:
            return "typed";
        case EPositionSource::Gpx:
            return "gpx";
        case EPositionSource::None:
            break;
    }
    return "";
}

EPositionSource PositionSourceFromWord(const std::string& word)
{
    for (EPositionSource source : {EPositionSource::Photo, EPositionSource::Map,
                                   EPositionSource::Typed, EPositionSource::Gpx}) {
        if (word == PositionSourceWord(source)) return source;
    }
    return EPositionSource::None;
}

const char* PositionSourceLabel(EPositionSource source)
{
    switch (source) {
        case EPositionSource::Photo:
            return "写真";
        case EPositionSource::Map:
            return "地図";
        case EPositionSource::Typed:
            return "入力";
        case EPositionSource::Gpx:
            return "GPX";
        case EPositionSource::None:
            break;
    }
    return "";
}

std::string CPlaceBook::PlaceKey(const std::string& place)
{
    return CTidePortChoices::PlaceKey(place);
}

bool CPlaceBook::Load(const CDataFolder& folder)
{
    return LoadFiles(folder.GetPlacesFile(), folder.GetTidePortsFile());
}

bool CPlaceBook::LoadFiles(const std::string& placesPath, const std::string& legacyPortsPath)
{
    m_path = placesPath;
    m_loaded = true;
    m_carriedOver = false;
    m_problems.clear();
    m_places.clear();
    m_ports = CTidePortChoices();
    bool missing = false;
    if (!ReadFile(placesPath, missing)) return false;
    if (missing && !legacyPortsPath.empty()) {
        // The old file has the same home and place lines (without positions): one reader serves
        // both.  Problems found there are named with its path and keep this book from saving,
        // so the ports are not lost by a carry-over of what could be read.
        bool legacyMissing = false;
        const bool read = ReadFile(legacyPortsPath, legacyMissing);
        m_carriedOver = read && !legacyMissing && m_problems.empty();
        if (!read) return false;
    }
    return m_problems.empty();
}

bool CPlaceBook::ReadFile(const std::string& path, bool& missing)
{
    std::string bytes;
    errno = 0;
    const EFileRead status = ReadFileGuarded(path, kMaxPlacesFileBytes, bytes, nullptr);
    const int savedErrno = errno;
    missing = status == EFileRead::Missing;
    if (missing) return true;
    if (status != EFileRead::Ok) {
        m_problems.push_back({path, 0, ReadFailureText(status, savedErrno, kMaxPlacesFileBytes)});
        return false;
    }
    if (bytes.find('\0') != std::string::npos) {
        m_problems.push_back({path, 0, "テキストファイルではありません"});
        return false;
    }
    const std::string text = DecodeTextFileBytes(bytes);
    size_t lineNumber = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const auto problem = [&](const std::string& reason) {
            m_problems.push_back({path, lineNumber, reason});
        };
        const std::vector<std::string_view> fields = SplitTabs(line);
        const bool home = fields[0] == "home" && fields.size() == 2;
        const bool place = fields[0] == "place" && (fields.size() == 3 || fields.size() == 6);
        if (!home && !place) {
            problem("読み取れない行です");
            continue;
        }
        const std::string id(home ? fields[1] : fields[2]);
        // A port id is a word of the station list; a stray CR or control byte in it would not
        // come back the same after saving.
        if (std::any_of(id.begin(), id.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
            problem("潮汐の港の名前に使えない文字があります");
            continue;
        }
        if (!id.empty() && m_stations != nullptr && m_stations->FindById(id) == nullptr) {
            problem("知らない潮汐の港「" + id + "」です");
            continue;
        }
        if (home) {
            if (id.empty()) {
                problem("基準港がありません");
                continue;
            }
            m_ports.SetHomePortId(id);
            continue;
        }
        const std::string key = PlaceKey(std::string(fields[1]));
        if (key.empty()) {
            problem("場所がありません");
            continue;
        }
        CPlaceInfo info;
        info.name = key;
        info.portId = id;
        if (fields.size() == 6 && !(fields[3].empty() && fields[4].empty() && fields[5].empty())) {
            info.source = PositionSourceFromWord(std::string(fields[5]));
            if (!ParseDegrees(fields[3], info.position.latitude) ||
                !ParseDegrees(fields[4], info.position.longitude) ||
                !IsValidGeoPoint(info.position) || info.source == EPositionSource::None) {
                problem("位置が読み取れません");
                continue;
            }
            info.hasPosition = true;
            info.position = FileRounded(info.position);
        }
        if (id.empty() && !info.hasPosition) {
            problem("港も位置もありません");
            continue;
        }
        m_places[key] = info;
        m_ports.SetPortForPlace(key, id);
    }
    return true;
}

bool CPlaceBook::Save(std::string& error) const
{
    if (!m_loaded || m_path.empty()) {
        error = "場所の記録を保存するファイルがありません";
        return false;
    }
    if (!m_problems.empty()) {
        error =
            ProblemText() + "\n読み込めなかった内容を失わないよう、このファイルは書き換えません。";
        return false;
    }
    std::string text(kHeader);
    if (!m_ports.HomePortId().empty()) text += "home\t" + m_ports.HomePortId() + "\n";
    for (const auto& [key, info] : m_places) {
        text += "place\t" + key + "\t" + info.portId;
        if (info.hasPosition) {
            text += "\t" + DegreesText(info.position.latitude) + "\t" +
                    DegreesText(info.position.longitude) + "\t" + PositionSourceWord(info.source);
        } else {
            text += "\t\t\t";
        }
        text += "\n";
    }
    if (text.size() > kMaxPlacesFileBytes) {
        error = m_path + ": 場所が多すぎて保存できません（上限 " +
                ByteLimitText(kMaxPlacesFileBytes) + "）";
        return false;
    }
    std::string writeError;
    if (WriteFileSafely(m_path, text, &writeError)) return true;
    error = m_path + ": 場所の記録を保存できませんでした（" + writeError + "）";
    return false;
}

std::string CPlaceBook::ProblemText() const
{
    std::string text;
    std::string lastFile;
    size_t shown = 0;
    for (const CSideFileProblem& problem : m_problems) {
        if (shown == kProblemsShown) break;
        if (problem.file != lastFile) {
            if (!text.empty()) text += "\n";
            text += problem.file + ":";
            lastFile = problem.file;
        }
        text += problem.line == 0 ? " " + problem.reason
                                  : " " + std::to_string(problem.line) + "行目: " + problem.reason;
        text += "。";
        ++shown;
    }
    if (m_problems.size() > shown) {
        text += "ほか " + std::to_string(m_problems.size() - shown) + " 件。";
    }
    return text;
}

void CPlaceBook::SetPortForPlace(const std::string& place, const std::string& id)
{
    const std::string key = PlaceKey(place);
    if (key.empty()) return;
    if (id.empty()) {
        auto found = m_places.find(key);
        if (found == m_places.end()) return;
        found->second.portId.clear();
        m_ports.SetPortForPlace(key, {});
        if (!found->second.hasPosition) m_places.erase(found);
        return;
    }
    Entry(key).portId = id;
    m_ports.SetPortForPlace(key, id);
}

const CPlaceInfo* CPlaceBook::Find(const std::string& place) const
{
    const auto found = m_places.find(PlaceKey(place));
    return found == m_places.end() ? nullptr : &found->second;
}

std::vector<CPlaceInfo> CPlaceBook::Places() const
{
    std::vector<CPlaceInfo> places;
    places.reserve(m_places.size());
    for (const auto& [key, info] : m_places) places.push_back(info);
    return places;
}

EPositionChange CPlaceBook::SetPosition(const std::string& place, const CGeoPoint& point,
                                        EPositionSource source, bool overwrite)
{
    const std::string key = PlaceKey(place);
    if (key.empty() || !IsValidGeoPoint(point) || source == EPositionSource::None) {
        return EPositionChange::Refused;
    }
    const CGeoPoint rounded = FileRounded(point);
    const auto found = m_places.find(key);
    if (found != m_places.end() && found->second.hasPosition) {
        const CPlaceInfo& info = found->second;
        if (info.position == rounded && info.source == source) return EPositionChange::Unchanged;
        if (source == EPositionSource::Photo) return EPositionChange::Kept;
        if (info.source != EPositionSource::Photo && !overwrite) {
            return EPositionChange::NeedsAsking;
        }
    }
    CPlaceInfo& info = Entry(key);
    info.hasPosition = true;
    info.position = rounded;
    info.source = source;
    return EPositionChange::Set;
}

void CPlaceBook::ForgetPosition(const std::string& place)
{
    const auto found = m_places.find(PlaceKey(place));
    if (found == m_places.end()) return;
    found->second.hasPosition = false;
    found->second.position = {};
    found->second.source = EPositionSource::None;
    if (found->second.portId.empty()) m_places.erase(found);
}

const CPlaceInfo* CPlaceBook::NearestPlace(const CGeoPoint& point, double maxKm) const
{
    if (!IsValidGeoPoint(point)) return nullptr;
    const CPlaceInfo* nearest = nullptr;
    double nearestKm = 0;
    for (const auto& [key, info] : m_places) {
        if (!info.hasPosition) continue;
        const double km = GeoDistanceKm(point, info.position);
        if (km <= maxKm && (nearest == nullptr || km < nearestKm)) {
            nearest = &info;
            nearestKm = km;
        }
    }
    return nearest;
}

CPlaceInfo& CPlaceBook::Entry(const std::string& key)
{
    CPlaceInfo& info = m_places[key];
    info.name = key;
    return info;
}

std::unique_ptr<CTidePortLookup> TidePortLookupOf(const CDataFolder& folder,
                                                  const CTideStations& stations,
                                                  std::string* problems)
{
    CPlaceBook book(&stations);
    book.Load(folder);
    if (problems != nullptr) *problems = book.ProblemText();
    return std::make_unique<CTidePortLookup>(stations, book.Ports());
}

std::unique_ptr<CTidePortLookup> TidePortLookupOf(const CDataFolder& folder, std::string* problems)
{
    return TidePortLookupOf(folder, ShippedTideStations(), problems);
}

bool KeepPlaceFacts(const CDataFolder& folder, const CTideStations* stations,
                    const std::vector<CPlaceFacts>& facts, std::string& error)
{
    CPlaceBook book(stations);
    book.Load(folder);
    bool changed = false;
    for (const CPlaceFacts& fact : facts) {
        const std::string place = CPlaceBook::PlaceKey(fact.place);
        if (place.empty()) continue;
        if (!fact.portId.empty() && book.PortForPlace(place) != fact.portId) {
            book.SetPortForPlace(place, fact.portId);
            changed = true;
        }
        if (fact.position && book.SetPosition(place, *fact.position, fact.source, fact.overwrite) ==
                                 EPositionChange::Set)
            changed = true;
    }
    return !changed || book.Save(error);
}
