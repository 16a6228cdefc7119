#include "tides/TidePortChoices.h"

std::string CTidePortChoices::PlaceKey(const std::string& place)
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
