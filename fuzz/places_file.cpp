// The places file and GPX files: any bytes.  Besides crashes, leaks and undefined behaviour, the
// run stops when
//  - a places file read without problems does not read back the same after saving,
//  - a file with problems can be saved (it would lose what could not be read),
//  - a GPX file gives a waypoint without a name or off the globe, or its waypoints written as
//    GPX do not read back the same.

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "places/GpsExchange.h"
#include "places/PlaceBook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::ScratchDir() + "places.txt";
    fuzz::WriteBytes(path, bytes);

    CPlaceBook book;
    const bool clean = book.LoadFiles(path, "");
    std::string error;
    const bool saved = book.Save(error);
    FUZZ_CHECK(saved == clean, "a file with problems was saved, or a clean one not: " + error);
    if (saved) {
        CPlaceBook again;
        FUZZ_CHECK(again.LoadFiles(path, ""),
                   "the saved file has problems: " + again.ProblemText());
        FUZZ_CHECK(again.Places() == book.Places(), "saving changed the places");
        FUZZ_CHECK(again.HomePortId() == book.HomePortId(), "saving changed the home port");
    }

    std::vector<CWaypoint> waypoints;
    size_t skipped = 0;
    if (ReadGpxWaypoints(bytes, waypoints, skipped, error)) {
        for (const CWaypoint& waypoint : waypoints) {
            FUZZ_CHECK(!waypoint.name.empty(), "a waypoint without a name");
            FUZZ_CHECK(IsValidGeoPoint(waypoint.point), "a waypoint off the globe");
        }
        std::vector<CWaypoint> back;
        FUZZ_CHECK(ReadGpxWaypoints(WriteGpx(waypoints), back, skipped, error),
                   "written GPX cannot be read: " + error);
        FUZZ_CHECK(back.size() == waypoints.size(), "written GPX lost waypoints");
        for (size_t i = 0; i < back.size(); ++i) {
            FUZZ_CHECK(back[i].name == waypoints[i].name, "a name changed: " + back[i].name);
        }
    }
    return 0;
}
