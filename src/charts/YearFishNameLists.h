#pragma once

#include <string>
#include <vector>

#include "data/CatchStore.h"

// The years and species the statistics page offers: the distinct year texts (the part of each
// trip's date before the first "/") and the distinct species names of all catches, each in order
// of first appearance.  The same lists as the store's ListYears and ListSpecies, read in one pass
// over the file instead of two, since the page asks for both every time it is shown.
class CYearFishNameLists {
public:
    static CStoreResult Read(const CCatchStore& store, std::vector<std::string>& years,
                             std::vector<std::string>& species);
};
