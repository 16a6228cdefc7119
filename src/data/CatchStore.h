#pragma once

#include <libxml/tree.h>

#include <functional>
#include <string>
#include <vector>

#include "data/TripRecord.h"
#include "data/XMLDataFile.h"

// Why a store operation did not complete.
enum class EStoreStatus {
    Ok,
    NoProgramDir,  // the program directory cannot be found
    Missing,       // the catch file does not exist
    Unreadable,    // it exists but cannot be read (permissions, too large, ...)
    ParseError,    // it cannot be parsed; line says where
    NoSuchTrip,    // a position past the last trip (or below 0)
    SaveFailed,    // the changed document could not be written; the file is as it was
};

struct CStoreResult {
    EStoreStatus status = EStoreStatus::Ok;
    int line = 0;        // for ParseError
    std::string detail;  // reason in the words of libxml2 or the system
    bool ok() const { return status == EStoreStatus::Ok; }
};

// The operations every view performs on the catch file.  Each one opens the file, works, saves
// when it changed something, and closes it again; the file is the only state.  Trips are
// addressed by their zero-based position among the FishData elements in document order.
//
// A file that cannot be loaded or parsed is never written.  Before the file is replaced the
// previous version is kept as "<file>.bak".
class CCatchStore {
public:
    // The catch file of the program directory (Data/fish.xml).
    CCatchStore();
    explicit CCatchStore(std::string path);

    const std::string& GetPath() const { return m_path; }

    CStoreResult ListTrips(std::vector<CTripRow>& rows) const;
    CStoreResult ReadTrip(int n, CTripRecord& trip) const;
    CStoreResult AddTrip(const CTripRecord& trip);
    CStoreResult ReplaceTrip(int n, const CTripRecord& trip);
    CStoreResult DeleteTrip(int n);
    CStoreResult ListYears(std::vector<std::string>& years) const;
    CStoreResult ListSpecies(std::vector<std::string>& species) const;
    CStoreResult ListPhotoPaths(EPhotoKind kind, std::vector<std::string>& paths) const;
    // Every trip in full, in file order.
    CStoreResult ReadAllTrips(std::vector<CTripRecord>& trips) const;

    // For queries that read the document directly: opens the file and hands the layer object
    // and the trips (FishData elements in document order) to reader.
    using CTripReader =
        std::function<void(const CXMLDataFile& file, const std::vector<xmlNodePtr>& trips)>;
    CStoreResult ReadTrips(const CTripReader& reader) const;

    // The trip record held by one FishData element.
    static CTripRecord ReadTripElement(const CXMLDataFile& file, xmlNodePtr tripElement);
    // Appends the twelve children of a trip to an (empty) FishData element.
    static int WriteTripElement(CXMLDataFile& file, xmlNodePtr tripElement,
                                const CTripRecord& trip);

private:
    using CTripWriter = std::function<CStoreResult(CXMLDataFile& file, xmlNodePtr root,
                                                   const std::vector<xmlNodePtr>& trips)>;
    CStoreResult Open(CXMLDataFile& file, std::vector<xmlNodePtr>& trips) const;
    CStoreResult Modify(const CTripWriter& writer);

    std::string m_path;
};

// A user-facing Japanese description of a failed result, such as
// "ファイルの読み込み失敗しました" or a parse error naming the line.
std::string DescribeStoreResult(const CStoreResult& result, const std::string& path);
