#include "data/CatchStore.h"

#include <algorithm>
#include <utility>

#include "data/ProgramDir.h"
#include "data/SafeFile.h"

namespace {

// Line breaks are LF in memory and CR LF in the file.
std::string ToFileLineEnds(const std::string& text)
{
    if (text.find('\n') == std::string::npos) return text;
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

std::string ReadValue(const CXMLDataFile& file, xmlNodePtr parent, const char* tag)
{
    xmlNodePtr node = nullptr;
    std::string text;
    if (file.GetTagNode(tag, 1, parent, &node) == 0) file.GetNodeText(node, text);
    return text;
}

std::vector<std::string> ReadPhotoPaths(const CXMLDataFile& file, xmlNodePtr trip,
                                        const char* container)
{
    std::vector<std::string> paths;
    xmlNodePtr node = nullptr;
    if (file.GetTagNode(container, 1, trip, &node) != 0) return paths;
    for (xmlNodePtr image : CXMLDataFile::GetElementsByTagName(node, "imagepath")) {
        paths.push_back(CXMLDataFile::GetElementText(image));
    }
    return paths;
}

CStoreResult Failure(EStoreStatus status, std::string detail = {}, int line = 0)
{
    CStoreResult result;
    result.status = status;
    result.detail = std::move(detail);
    result.line = line;
    return result;
}

bool ValidPosition(int n, const std::vector<xmlNodePtr>& trips)
{
    return n >= 0 && static_cast<size_t>(n) < trips.size();
}

}  // namespace

CCatchStore::CCatchStore() : m_path(DataPath(kCatchFileName)) {}

CCatchStore::CCatchStore(std::string path) : m_path(std::move(path)) {}

CStoreResult CCatchStore::Open(CXMLDataFile& file, std::vector<xmlNodePtr>& trips) const
{
    if (m_path.empty()) return Failure(EStoreStatus::NoProgramDir);
    if (!file.LoadXMLDataFile(m_path) || file.CheckParseError() != 0) {
        switch (file.GetLoadStatus()) {
            case EXMLLoadStatus::Missing:
                return Failure(EStoreStatus::Missing, file.GetErrorText());
            case EXMLLoadStatus::ParseError:
            case EXMLLoadStatus::DocumentTypeRefused:
                return Failure(EStoreStatus::ParseError, file.GetErrorText(), file.GetErrorLine());
            case EXMLLoadStatus::NoDocumentElement:
                return Failure(EStoreStatus::ParseError, file.GetErrorText(), 1);
            default:
                return Failure(EStoreStatus::Unreadable, file.GetErrorText());
        }
    }
    trips = CXMLDataFile::GetElementsByTagName(file.GetDocumentElement(), "FishData");
    return {};
}

CStoreResult CCatchStore::Modify(const CTripWriter& writer)
{
    CXMLDataFile file;
    std::vector<xmlNodePtr> trips;
    CStoreResult result = Open(file, trips);
    if (!result.ok()) return result;
    result = writer(file, file.GetDocumentElement(), trips);
    if (!result.ok()) return result;
    std::string error;
    if (!KeepBackupCopy(m_path, m_path + ".bak", &error)) {
        return Failure(EStoreStatus::SaveFailed, error);
    }
    if (!file.SaveXMLFile(m_path, &error)) return Failure(EStoreStatus::SaveFailed, error);
    file.UnLoadXMLDataFile();
    return {};
}

CStoreResult CCatchStore::ReadTrips(const CTripReader& reader) const
{
    CXMLDataFile file;
    std::vector<xmlNodePtr> trips;
    CStoreResult result = Open(file, trips);
    if (!result.ok()) return result;
    reader(file, trips);
    file.UnLoadXMLDataFile();
    return result;
}

CStoreResult CCatchStore::ListTrips(std::vector<CTripRow>& rows) const
{
    return ReadTrips([&](const CXMLDataFile& file, const std::vector<xmlNodePtr>& trips) {
        rows.clear();
        rows.reserve(trips.size());
        for (size_t n = 0; n < trips.size(); ++n) {
            CTripRow row;
            row.number = std::to_string(n + 1);
            row.date = ReadValue(file, trips[n], "date");
            row.weather = ReadValue(file, trips[n], "weather");
            row.fishname = ReadValue(file, trips[n], "fishname");
            row.place = ReadValue(file, trips[n], "place");
            rows.push_back(std::move(row));
        }
    });
}

CTripRecord CCatchStore::ReadTripElement(const CXMLDataFile& file, xmlNodePtr trip)
{
    CTripRecord record;
    record.place = ReadValue(file, trip, "place");
    record.memo = ReadValue(file, trip, "memo");
    record.method = ReadValue(file, trip, "method");
    record.date = ReadValue(file, trip, "date");
    record.weather = ReadValue(file, trip, "weather");
    record.water = ReadValue(file, trip, "water");
    record.highTide = ReadValue(file, trip, "HighTide");
    record.ebbTide = ReadValue(file, trip, "EbbTide");
    xmlNodePtr report = nullptr;
    if (file.GetTagNode("report", 1, trip, &report) == 0) {
        for (xmlNodePtr fish : CXMLDataFile::GetElementsByTagName(report, "fish")) {
            CCatchRecord caught;
            caught.name = ReadValue(file, fish, "name");
            caught.height = ReadValue(file, fish, "height");
            caught.weight = ReadValue(file, fish, "weight");
            caught.time = ReadValue(file, fish, "time");
            record.catches.push_back(std::move(caught));
        }
    }
    record.fishPhotos = ReadPhotoPaths(file, trip, "image_fish");
    record.placePhotos = ReadPhotoPaths(file, trip, "image_place");
    record.fishname = ReadValue(file, trip, "fishname");
    return record;
}

int CCatchStore::WriteTripElement(CXMLDataFile& file, xmlNodePtr tripElement,
                                  const CTripRecord& trip)
{
    xmlNodePtr node = nullptr;
    const std::pair<const char*, const std::string*> values[] = {
        {"fishname", &trip.fishname}, {"weather", &trip.weather},   {"date", &trip.date},
        {"water", &trip.water},       {"HighTide", &trip.highTide}, {"EbbTide", &trip.ebbTide},
        {"method", &trip.method},     {"place", &trip.place},       {"memo", &trip.memo},
    };
    for (const auto& [tag, text] : values) {
        if (int rc = file.AppendTag(tag, ToFileLineEnds(*text), tripElement, &node); rc != 0)
            return rc;
    }
    const std::pair<const char*, const std::vector<std::string>*> photos[] = {
        {"image_place", &trip.placePhotos}, {"image_fish", &trip.fishPhotos}};
    for (const auto& [tag, paths] : photos) {
        xmlNodePtr container = nullptr;
        if (int rc = file.AppendTag(tag, "", tripElement, &container); rc != 0) return rc;
        for (const std::string& path : *paths) {
            if (int rc = file.AppendTag("imagepath", path, container, &node); rc != 0) return rc;
        }
    }
    xmlNodePtr report = nullptr;
    if (int rc = file.AppendTag("report", "", tripElement, &report); rc != 0) return rc;
    for (const CCatchRecord& caught : trip.catches) {
        xmlNodePtr fish = nullptr;
        if (int rc = file.AppendTag("fish", "", report, &fish); rc != 0) return rc;
        const std::pair<const char*, const std::string*> fields[] = {{"name", &caught.name},
                                                                     {"height", &caught.height},
                                                                     {"weight", &caught.weight},
                                                                     {"time", &caught.time}};
        for (const auto& [tag, text] : fields) {
            if (int rc = file.AppendTag(tag, *text, fish, &node); rc != 0) return rc;
        }
    }
    return 0;
}

CStoreResult CCatchStore::ReadTrip(int n, CTripRecord& trip) const
{
    bool found = false;
    CStoreResult result =
        ReadTrips([&](const CXMLDataFile& file, const std::vector<xmlNodePtr>& trips) {
            if (!ValidPosition(n, trips)) return;
            trip = ReadTripElement(file, trips[static_cast<size_t>(n)]);
            found = true;
        });
    if (result.ok() && !found) return Failure(EStoreStatus::NoSuchTrip);
    return result;
}

CStoreResult CCatchStore::ReadAllTrips(std::vector<CTripRecord>& records) const
{
    return ReadTrips([&](const CXMLDataFile& file, const std::vector<xmlNodePtr>& trips) {
        records.clear();
        records.reserve(trips.size());
        for (xmlNodePtr trip : trips) records.push_back(ReadTripElement(file, trip));
    });
}

CStoreResult CCatchStore::AddTrip(const CTripRecord& trip)
{
    return Modify([&](CXMLDataFile& file, xmlNodePtr root, const std::vector<xmlNodePtr>&) {
        xmlNodePtr element = nullptr;
        if (file.AppendTag("FishData", "", root, &element) != 0 ||
            WriteTripElement(file, element, trip) != 0) {
            return Failure(EStoreStatus::SaveFailed, "the trip cannot be put into the document");
        }
        return CStoreResult{};
    });
}

CStoreResult CCatchStore::ReplaceTrip(int n, const CTripRecord& trip)
{
    return Modify([&](CXMLDataFile& file, xmlNodePtr, const std::vector<xmlNodePtr>& trips) {
        if (!ValidPosition(n, trips)) return Failure(EStoreStatus::NoSuchTrip);
        xmlNodePtr element = trips[static_cast<size_t>(n)];
        CXMLDataFile::RemoveAllChildren(element);
        if (WriteTripElement(file, element, trip) != 0) {
            return Failure(EStoreStatus::SaveFailed, "the trip cannot be put into the document");
        }
        return CStoreResult{};
    });
}

CStoreResult CCatchStore::DeleteTrip(int n)
{
    return Modify([&](CXMLDataFile&, xmlNodePtr, const std::vector<xmlNodePtr>& trips) {
        if (!ValidPosition(n, trips)) return Failure(EStoreStatus::NoSuchTrip);
        xmlNodePtr element = trips[static_cast<size_t>(n)];
        CXMLDataFile::RemoveAllChildren(element);
        xmlUnlinkNode(element);
        xmlFreeNode(element);
        return CStoreResult{};
    });
}

CStoreResult CCatchStore::ListYears(std::vector<std::string>& years) const
{
    return ReadTrips([&](const CXMLDataFile& file, const std::vector<xmlNodePtr>& trips) {
        years.clear();
        for (xmlNodePtr trip : trips) {
            std::string date = ReadValue(file, trip, "date");
            const auto slash = date.find('/');
            if (slash != std::string::npos) date.resize(slash);
            if (std::find(years.begin(), years.end(), date) == years.end()) years.push_back(date);
        }
    });
}

CStoreResult CCatchStore::ListSpecies(std::vector<std::string>& species) const
{
    return ReadTrips([&](const CXMLDataFile& file, const std::vector<xmlNodePtr>& trips) {
        species.clear();
        for (xmlNodePtr trip : trips) {
            for (xmlNodePtr fish : CXMLDataFile::GetElementsByTagName(trip, "fish")) {
                xmlNodePtr name = nullptr;
                if (file.GetTagNode("name", 1, fish, &name) != 0) continue;
                std::string text = CXMLDataFile::GetElementText(name);
                if (std::find(species.begin(), species.end(), text) == species.end()) {
                    species.push_back(std::move(text));
                }
            }
        }
    });
}

CStoreResult CCatchStore::ListPhotoPaths(EPhotoKind kind, std::vector<std::string>& paths) const
{
    const char* container = kind == EPhotoKind::Fish ? "image_fish" : "image_place";
    return ReadTrips([&](const CXMLDataFile& file, const std::vector<xmlNodePtr>& trips) {
        paths.clear();
        for (xmlNodePtr trip : trips) {
            std::vector<std::string> found = ReadPhotoPaths(file, trip, container);
            paths.insert(paths.end(), found.begin(), found.end());
        }
    });
}

std::string DescribeStoreResult(const CStoreResult& result, const std::string& path)
{
    switch (result.status) {
        case EStoreStatus::Ok:
            return {};
        case EStoreStatus::NoProgramDir:
            return "プログラムのフォルダが見つかりません。";
        case EStoreStatus::Missing:
            return "ファイルの読み込み失敗しました\n" + path;
        case EStoreStatus::Unreadable:
            return "ファイルの読み込み失敗しました\n" + path + "\n" + result.detail;
        case EStoreStatus::ParseError:
            return "ファイルの " + std::to_string(result.line) +
                   " 行目に誤りがあるため読み込めません。\n" + path + "\n" + result.detail;
        case EStoreStatus::NoSuchTrip:
            return "指定された釣行データが見つかりません。";
        case EStoreStatus::SaveFailed:
            return "ファイルの保存に失敗しました\n" + path + "\n" + result.detail;
    }
    return {};
}
