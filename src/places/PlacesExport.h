#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "data/TripRecord.h"
#include "places/GpsExchange.h"

class CDataFolder;
class CPlaceBook;

// The places book of folder and the log's trips, with the photo positions of the trips filled
// into the book in memory (as every view of places shows them).  False with a Japanese reason
// when the log cannot be read.  A places file read only in part leaves the book's problems
// set (CPlaceBook::CanSave() false); what could be read is there.
bool ReadPlacesOfLog(const CDataFolder& folder, CPlaceBook& book, std::vector<CTripRecord>& trips,
                     std::string& error);

enum class EGpsFormat { Gpx, Kml };

// What an export did.
struct CPlacesExport {
    bool written = false;
    // The places file could not be read whole: an export without some places would look
    // complete, so nothing was written.
    bool damagedPlaces = false;
    size_t places = 0;
    size_t catches = 0;
    std::string error;  // Japanese, when nothing was written
};

// Writes the places and the catches with a position, of every year (year 0) or of one year, as
// GPX 1.1 or KML 2.2 to path through the safe writer.  A target in the Data folder (the log, its
// backups, the places file) is refused.  readTime reads a catch's time as the log keeps it.
CPlacesExport ExportPlacesFile(const CDataFolder& folder, EGpsFormat format,
                               const std::string& path, int year, const CCatchTimeReader& readTime);
