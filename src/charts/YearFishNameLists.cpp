#include "charts/YearFishNameLists.h"

#include <algorithm>

namespace {

void AppendDistinct(std::vector<std::string>& list, std::string text)
{
    if (std::find(list.begin(), list.end(), text) == list.end()) list.push_back(std::move(text));
}

}  // namespace

CStoreResult CYearFishNameLists::Read(const CCatchStore& store, std::vector<std::string>& years,
                                      std::vector<std::string>& species)
{
    years.clear();
    species.clear();
    return store.ReadTrips([&](const CXMLDataFile& file, const std::vector<xmlNodePtr>& trips) {
        for (xmlNodePtr trip : trips) {
            xmlNodePtr node = nullptr;
            std::string date;
            if (file.GetTagNode("date", 1, trip, &node) == 0) file.GetNodeText(node, date);
            const auto slash = date.find('/');
            if (slash != std::string::npos) date.resize(slash);
            AppendDistinct(years, std::move(date));
            for (xmlNodePtr fish : CXMLDataFile::GetElementsByTagName(trip, "fish")) {
                xmlNodePtr name = nullptr;
                if (file.GetTagNode("name", 1, fish, &name) != 0) continue;
                AppendDistinct(species, CXMLDataFile::GetElementText(name));
            }
        }
    });
}
