#include "tides/TidePortChoices.h"

#include <string_view>
#include <vector>

#include "data/SafeFile.h"
#include "data/TextEncoding.h"
#include "tides/TideStations.h"

namespace {

constexpr std::string_view kHeader =
    "# Lurebook tide ports: the home port and the port chosen for each place.\n"
    "# UTF-8; lines \"home<TAB>station id\" and \"place<TAB>place text<TAB>station id\".\n";

// The key a place is kept under: the text without surrounding spaces, with tabs and line breaks
// (which the file cannot hold inside a field) as spaces.
std::string PlaceKey(const std::string& place)
{
    std::string key = place;
    for (char& c : key) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    const size_t first = key.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const size_t last = key.find_last_not_of(' ');
    return key.substr(first, last - first + 1);
}

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

}  // namespace

bool CTidePortChoices::Load(const std::string& path, std::string& error)
{
    m_path = path;
    m_homePortId.clear();
    m_portByPlace.clear();
    std::string bytes;
    std::string readError;
    bool missing = false;
    if (!ReadWholeFile(path, bytes, &readError, &missing, kMaxTidePortsFileBytes)) {
        if (missing) return true;
        error = readError + " (the tide ports were left at their defaults)";
        return false;
    }
    const std::string text = DecodeTextFileBytes(bytes);
    std::vector<std::string> problems;
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
        const std::vector<std::string_view> fields = SplitTabs(line);
        std::string id;
        std::string place;
        if (fields[0] == "home" && fields.size() == 2) {
            id = fields[1];
        } else if (fields[0] == "place" && fields.size() == 3) {
            place = PlaceKey(std::string(fields[1]));
            id = fields[2];
            if (place.empty()) {
                problems.push_back("line " + std::to_string(lineNumber) + ": no place");
                continue;
            }
        } else {
            problems.push_back("line " + std::to_string(lineNumber) + ": not understood");
            continue;
        }
        if (id.empty() || (m_stations != nullptr && m_stations->FindById(id) == nullptr)) {
            problems.push_back("line " + std::to_string(lineNumber) + ": unknown port \"" + id +
                               "\"");
            continue;
        }
        if (place.empty()) {
            m_homePortId = id;
        } else {
            m_portByPlace[place] = id;
        }
    }
    if (problems.empty()) return true;
    error = path + ": ";
    const size_t shown = std::min<size_t>(problems.size(), 5);
    for (size_t i = 0; i < shown; ++i) error += (i ? "; " : "") + problems[i];
    if (problems.size() > shown) {
        error += "; and " + std::to_string(problems.size() - shown) + " more";
    }
    error += " (those lines were left out)";
    return false;
}

bool CTidePortChoices::Save(std::string& error) const
{
    if (m_path.empty()) {
        error = "no file to save the tide ports to";
        return false;
    }
    std::string text(kHeader);
    if (!m_homePortId.empty()) text += "home\t" + m_homePortId + "\n";
    for (const auto& [place, id] : m_portByPlace) text += "place\t" + place + "\t" + id + "\n";
    if (!FitsFileLimit(m_path, text.size(), kMaxTidePortsFileBytes, &error)) return false;
    return WriteFileSafely(m_path, text, &error);
}

std::string CTidePortChoices::PortForPlace(const std::string& place) const
{
    const auto found = m_portByPlace.find(PlaceKey(place));
    return found == m_portByPlace.end() ? std::string() : found->second;
}

void CTidePortChoices::SetPortForPlace(const std::string& place, const std::string& id)
{
    const std::string key = PlaceKey(place);
    if (key.empty()) return;
    if (id.empty()) {
        m_portByPlace.erase(key);
    } else {
        m_portByPlace[key] = id;
    }
}
