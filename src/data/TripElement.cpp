#include "data/TripElement.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "data/TextEncoding.h"

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

bool CarriesLineEnds(const char* tag)
{
    return std::find_if(std::begin(kLineEndElements), std::end(kLineEndElements),
                        [tag](const char* name) { return std::strcmp(name, tag) == 0; }) !=
           std::end(kLineEndElements);
}

// One child element as libxml2 writes it after the layout line end the document path puts
// before every element.  A CR is written raw where the reader must see a line end (texts that
// carry them, and texts of blanks only, which the reader drops as layout) and as "&#13;"
// elsewhere, so that it reads back as a CR.
void AppendValueElement(std::string& out, const char* tag, const std::string& text, bool lineEnds)
{
    out += "\r\n<";
    out += tag;
    if (text.empty()) {
        out += "/>";
        return;
    }
    const std::string clean = RemoveCharactersXMLLacks(lineEnds ? ToFileLineEnds(text) : text);
    const bool rawCR = lineEnds || clean.find_first_not_of(" \t\r\n") == std::string::npos;
    out += '>';
    AppendEscapedText(out, clean, rawCR);
    out += "</";
    out += tag;
    out += '>';
}

}  // namespace

CTripRecord ReadTripElement(const CXMLDataFile& file, xmlNodePtr trip)
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

int WriteTripElement(CXMLDataFile& file, xmlNodePtr tripElement, const CTripRecord& trip)
{
    xmlNodePtr node = nullptr;
    const std::pair<const char*, const std::string*> values[] = {
        {"fishname", &trip.fishname}, {"weather", &trip.weather},   {"date", &trip.date},
        {"water", &trip.water},       {"HighTide", &trip.highTide}, {"EbbTide", &trip.ebbTide},
        {"method", &trip.method},     {"place", &trip.place},       {"memo", &trip.memo},
    };
    for (const auto& [tag, text] : values) {
        // Only the texts that carry line ends hold them as CR LF; elsewhere a line feed stays
        // one, so every text reads back as it was given.
        const bool lineEnds = CarriesLineEnds(tag);
        if (int rc =
                file.AppendTag(tag, lineEnds ? ToFileLineEnds(*text) : *text, tripElement, &node);
            rc != 0)
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

bool AppendTripElementUtf8(const CTripRecord& trip, std::string& out)
{
    const std::pair<const char*, const std::string*> values[] = {
        {"fishname", &trip.fishname}, {"weather", &trip.weather},   {"date", &trip.date},
        {"water", &trip.water},       {"HighTide", &trip.highTide}, {"EbbTide", &trip.ebbTide},
        {"method", &trip.method},     {"place", &trip.place},       {"memo", &trip.memo},
    };
    bool valid = true;
    for (const auto& value : values) valid = valid && IsValidUtf8(*value.second);
    for (const auto* paths : {&trip.placePhotos, &trip.fishPhotos}) {
        for (const std::string& path : *paths) valid = valid && IsValidUtf8(path);
    }
    for (const CCatchRecord& caught : trip.catches) {
        for (const std::string* text : {&caught.name, &caught.height, &caught.weight, &caught.time})
            valid = valid && IsValidUtf8(*text);
    }
    if (!valid) return false;

    out += "<FishData>";
    for (const auto& [tag, text] : values)
        AppendValueElement(out, tag, *text, CarriesLineEnds(tag));
    const std::pair<const char*, const std::vector<std::string>*> photos[] = {
        {"image_place", &trip.placePhotos}, {"image_fish", &trip.fishPhotos}};
    for (const auto& [tag, paths] : photos) {
        out += "\r\n<";
        out += tag;
        if (paths->empty()) {
            out += "/>";
            continue;
        }
        out += '>';
        for (const std::string& path : *paths) AppendValueElement(out, "imagepath", path, false);
        out += "</";
        out += tag;
        out += '>';
    }
    if (trip.catches.empty()) {
        out += "\r\n<report/>";
    } else {
        out += "\r\n<report>";
        for (const CCatchRecord& caught : trip.catches) {
            out += "\r\n<fish>";
            AppendValueElement(out, "name", caught.name, false);
            AppendValueElement(out, "height", caught.height, false);
            AppendValueElement(out, "weight", caught.weight, false);
            AppendValueElement(out, "time", caught.time, false);
            out += "</fish>";
        }
        out += "</report>";
    }
    out += "</FishData>";
    return true;
}
