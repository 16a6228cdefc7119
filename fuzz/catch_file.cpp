// The catch file: any bytes are loaded through the XML layer and then every store operation runs
// on a copy of them.  Besides crashes, leaks and undefined behaviour, the run stops when
//  - a file that cannot be loaded is changed (or a backup or temporary file appears) by a writer,
//  - the store and the XML layer disagree about whether the bytes load,
//  - a trip that was added or replaced does not read back as it was written,
//  - adding and deleting a trip changes any other trip,
//  - the lists (years, photo paths, rows) disagree with the trips they come from.

#include <libxml/tree.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "data/CatchStore.h"
#include "data/XMLDocument.h"

namespace {

CTripRecord NewTrip()
{
    CTripRecord trip;
    trip.fishname = "スズキ";
    trip.weather = "晴れ";
    trip.date = "2004/5/3";
    trip.water = "18.5";
    trip.highTide = "6:12";
    trip.ebbTide = "12:40";
    trip.method = "ルアー\n(ミノー 9cm)";
    trip.place = "相模川河口 & <堤防>";
    trip.memo = "朝まずめ。\n風が強い\n\n最後の行";
    trip.placePhotos = {"/home/angler/写真/河口 1.jpg", "/home/angler/写真/河口&2.jpg"};
    trip.fishPhotos = {"/home/angler/写真/スズキ.jpg"};
    trip.catches = {{"スズキ", "62", "3", "5時40分"}, {"メバル", "18", "0", "時分"}};
    return trip;
}

CTripRecord OtherTrip()
{
    CTripRecord trip;
    trip.fishname = "アジ";
    trip.date = "2003/11/23";
    trip.place = "堤防";
    trip.catches = {{"アジ", "21", "0", "19時5分"}};
    return trip;
}

bool HasNestedTrips(const std::vector<xmlNodePtr>& trips)
{
    for (xmlNodePtr trip : trips) {
        if (!CXMLDataFile::GetElementsByTagName(trip, "FishData").empty()) return true;
    }
    return false;
}

// A CR that a file spells as a character reference ("&#13;") is read as it is, but a save writes
// it as a plain line end, which reads back as a line feed.  Either way it is a line break, so
// trips are compared with their line breaks made alike.
std::string SameLineBreaks(std::string text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

CTripRecord WithSameLineBreaks(CTripRecord trip)
{
    for (std::string* text : {&trip.fishname, &trip.weather, &trip.date, &trip.water,
                              &trip.highTide, &trip.ebbTide, &trip.method, &trip.place, &trip.memo})
        *text = SameLineBreaks(*text);
    for (auto* photos : {&trip.placePhotos, &trip.fishPhotos})
        for (std::string& path : *photos) path = SameLineBreaks(path);
    for (CCatchRecord& caught : trip.catches) {
        for (std::string* text : {&caught.name, &caught.height, &caught.weight, &caught.time})
            *text = SameLineBreaks(*text);
    }
    return trip;
}

bool SameTrips(const std::vector<CTripRecord>& a, const std::vector<CTripRecord>& b,
               size_t skip = 0)
{
    if (a.size() + skip != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (WithSameLineBreaks(a[i]) != WithSameLineBreaks(b[i + skip])) return false;
    }
    return true;
}

std::string Status(const CStoreResult& result)
{
    return "status " + std::to_string(static_cast<int>(result.status)) + " " + result.detail;
}

// Every operation on bytes that do not load: each fails like the first and the folder stays as
// it was, byte for byte.
void CheckNothingIsWritten(CCatchStore& store, const std::string& bytes, EStoreStatus expected)
{
    const std::string& dir = fuzz::ScratchDir();
    CTripRecord trip;
    std::vector<CTripRecord> trips;
    std::vector<std::string> list;
    const CStoreResult results[] = {
        store.ReadTrip(0, trip),
        store.ReadAllTrips(trips),
        store.ListYears(list),
        store.ListSpecies(list),
        store.ListPhotoPaths(EPhotoKind::Place, list),
        store.ListPhotoPaths(EPhotoKind::Fish, list),
        store.AddTrip(NewTrip()),
        store.ReplaceTrip(0, NewTrip()),
        store.DeleteTrip(0),
    };
    for (const CStoreResult& result : results) {
        FUZZ_CHECK(result.status == expected, "operations disagree: " + Status(result));
        FUZZ_CHECK(result.status != EStoreStatus::ParseError || result.line > 0,
                   "a parse error without a line");
    }
    FUZZ_CHECK(fuzz::ReadBytes(store.GetPath()) == bytes, "a file that does not load was changed");
    FUZZ_CHECK(fuzz::ListFolder(dir) == std::vector<std::string>{"fish.xml"},
               "a file that does not load left other files behind");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // What the XML layer makes of the bytes on its own.
    CXMLDataFile probe;
    const bool loads = probe.LoadXMLDataFromMemory(bytes, "fish.xml") == 1;
    FUZZ_CHECK(loads == (probe.GetDocumentElement() != nullptr),
               "load result and document disagree");
    FUZZ_CHECK(loads == (probe.GetLoadStatus() == EXMLLoadStatus::Loaded), "load status");
    size_t tripCount = 0;
    bool nested = false;
    if (loads) {
        FUZZ_CHECK(probe.CheckParseError() == 0, "a loaded document reports a parse error");
        const auto trips =
            CXMLDataFile::GetElementsByTagName(probe.GetDocumentElement(), "FishData");
        tripCount = trips.size();
        nested = HasNestedTrips(trips);
        std::string serialised;
        FUZZ_CHECK(probe.SerializeDocument(serialised), "a loaded document cannot be written");
    } else {
        FUZZ_CHECK(probe.GetLoadStatus() != EXMLLoadStatus::ParseError || probe.GetErrorLine() > 0,
                   "a parse error without a line");
    }
    probe.UnLoadXMLDataFile();

    const std::string& dir = fuzz::ScratchDir();
    fuzz::ClearFolder(dir);
    const std::string path = dir + "fish.xml";
    fuzz::WriteBytes(path, bytes);
    CCatchStore store(path);

    std::vector<CTripRow> rows;
    const CStoreResult listed = store.ListTrips(rows);
    FUZZ_CHECK(listed.ok() == loads, "the store and the XML layer disagree: " + Status(listed));
    if (!loads) {
        CheckNothingIsWritten(store, bytes, listed.status);
        return 0;
    }

    // Reading.
    FUZZ_CHECK(rows.size() == tripCount, "ListTrips misses trips");
    std::vector<CTripRecord> all;
    FUZZ_CHECK(store.ReadAllTrips(all).ok() && all.size() == tripCount, "ReadAllTrips");
    for (size_t n = 0; n < tripCount; ++n) {
        FUZZ_CHECK(rows[n].number == std::to_string(n + 1), "row number");
        FUZZ_CHECK(rows[n].date == all[n].date && rows[n].place == all[n].place &&
                       rows[n].fishname == all[n].fishname && rows[n].weather == all[n].weather,
                   "ListTrips and ReadTrip disagree on trip " + std::to_string(n));
    }
    CTripRecord trip;
    if (tripCount > 0) {
        FUZZ_CHECK(store.ReadTrip(static_cast<int>(tripCount - 1), trip).ok() && trip == all.back(),
                   "ReadTrip of the last trip");
    }
    FUZZ_CHECK(store.ReadTrip(static_cast<int>(tripCount), trip).status == EStoreStatus::NoSuchTrip,
               "ReadTrip past the end");
    FUZZ_CHECK(store.ReadTrip(-1, trip).status == EStoreStatus::NoSuchTrip, "ReadTrip(-1)");

    std::vector<std::string> years;
    FUZZ_CHECK(store.ListYears(years).ok(), "ListYears");
    std::vector<std::string> expectedYears;
    for (const CTripRecord& t : all) {
        const std::string year = t.date.substr(0, t.date.find('/'));
        if (std::find(expectedYears.begin(), expectedYears.end(), year) == expectedYears.end())
            expectedYears.push_back(year);
    }
    FUZZ_CHECK(years == expectedYears, "ListYears disagrees with the trips' dates");

    std::vector<std::string> species;
    FUZZ_CHECK(store.ListSpecies(species).ok(), "ListSpecies");
    for (size_t i = 0; i < species.size(); ++i) {
        FUZZ_CHECK(std::find(species.begin(), species.begin() + static_cast<long>(i), species[i]) ==
                       species.begin() + static_cast<long>(i),
                   "ListSpecies repeats a name");
    }
    for (const EPhotoKind kind : {EPhotoKind::Place, EPhotoKind::Fish}) {
        std::vector<std::string> paths, expected;
        FUZZ_CHECK(store.ListPhotoPaths(kind, paths).ok(), "ListPhotoPaths");
        for (const CTripRecord& t : all) {
            const auto& photos = kind == EPhotoKind::Place ? t.placePhotos : t.fishPhotos;
            expected.insert(expected.end(), photos.begin(), photos.end());
        }
        FUZZ_CHECK(paths == expected, "ListPhotoPaths disagrees with the trips' photos");
    }

    // Positions that do not exist change nothing.
    const std::string original = fuzz::ReadBytes(path);
    FUZZ_CHECK(store.ReplaceTrip(static_cast<int>(tripCount), NewTrip()).status ==
                   EStoreStatus::NoSuchTrip,
               "ReplaceTrip past the end");
    FUZZ_CHECK(store.DeleteTrip(-1).status == EStoreStatus::NoSuchTrip, "DeleteTrip(-1)");
    FUZZ_CHECK(fuzz::ReadBytes(path) == original, "a refused write changed the file");

    // Writing: add, replace and delete a trip of our own.
    const CStoreResult added = store.AddTrip(NewTrip());
    if (added.status == EStoreStatus::SaveFailed) {
        FUZZ_CHECK(fuzz::ReadBytes(path) == original, "a failed save changed the file");
        return 0;
    }
    FUZZ_CHECK(added.ok(), "AddTrip: " + Status(added));
    FUZZ_CHECK(fuzz::ReadBytes(path + ".bak") == original, "the backup is not the previous file");
    const int last = static_cast<int>(tripCount);
    const CStoreResult reread = store.ReadTrip(last, trip);
    FUZZ_CHECK(reread.ok(), "the saved file does not load again: " + Status(reread));
    FUZZ_CHECK(trip == NewTrip(), "the added trip reads back changed");
    FUZZ_CHECK(store.ListTrips(rows).ok() && rows.size() == tripCount + 1, "AddTrip count");

    FUZZ_CHECK(store.ReplaceTrip(last, OtherTrip()).ok(), "ReplaceTrip");
    FUZZ_CHECK(store.ReadTrip(last, trip).ok() && trip == OtherTrip(),
               "the replaced trip reads back changed");
    FUZZ_CHECK(store.ListTrips(rows).ok() && rows.size() == tripCount + 1, "ReplaceTrip count");

    FUZZ_CHECK(store.DeleteTrip(last).ok(), "DeleteTrip");
    std::vector<CTripRecord> after;
    FUZZ_CHECK(store.ReadAllTrips(after).ok(), "ReadAllTrips after the writes");
    if (!nested) {
        FUZZ_CHECK(SameTrips(after, all),
                   "adding, replacing and deleting one trip changed the others");
    }
    if (tripCount > 0) {
        FUZZ_CHECK(store.ReplaceTrip(0, NewTrip()).ok(), "ReplaceTrip(0)");
        FUZZ_CHECK(store.ReadTrip(0, trip).ok() && trip == NewTrip(), "replaced trip 0 reads back");
        FUZZ_CHECK(store.DeleteTrip(0).ok(), "DeleteTrip(0)");
        if (!nested) {
            FUZZ_CHECK(store.ReadAllTrips(after).ok() && SameTrips(after, all, 1),
                       "deleting trip 0 changed the others");
        }
    }
    return 0;
}
