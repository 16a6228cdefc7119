#pragma once

#include <map>
#include <string>

// The tide ports an angler chose: the home port (the calendar's tides) and, for each 場所 text
// a trip was saved with, the port chosen for it then.  Kept in the places file
// (places/PlaceBook.h), apart from the catch file, whose layout stays as the original program
// wrote it.

class CTidePortChoices {
public:
    // The key a place is kept under: the text without surrounding spaces, with tabs and line
    // breaks (which a line of a side file cannot hold inside a field) as spaces.
    static std::string PlaceKey(const std::string& place);

    std::string HomePortId() const { return m_homePortId; }
    void SetHomePortId(const std::string& id) { m_homePortId = id; }
    // The port last chosen for this 場所 text (compared with surrounding spaces left out);
    // "" when none.
    std::string PortForPlace(const std::string& place) const;
    // An empty place or id is not kept; an empty id forgets the place.
    void SetPortForPlace(const std::string& place, const std::string& id);

    size_t PlaceCount() const { return m_portByPlace.size(); }

private:
    std::string m_homePortId;
    std::map<std::string, std::string> m_portByPlace;
};
