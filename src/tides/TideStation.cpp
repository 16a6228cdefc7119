#include "tides/TideStation.h"

const CTideConstituentValue* CTideStation::FindConstituent(const std::string& name) const
{
    for (const CTideConstituentValue& c : constituents) {
        if (c.name == name) return &c;
    }
    return nullptr;
}
