#include "data/TripElement.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <utility>

#include "data/TextEncoding.h"

namespace {

// Line breaks are LF in memory and CR LF in the file.  Every LF gets its CR, also one after a
// CR of the text itself: that CR is then written as "&#13;" and reads back as a CR, so "\r\n"
// in memory comes back as it was instead of as one line feed.
std::string ToFileLineEnds(const std::string& text)
{
    if (text.find('\n') == std::string::npos) return text;
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t from = 0; from < text.size();) {
        const size_t end = std::min(text.find('\n', from), text.size());
        out.append(text, from, end - from);
        if (end == text.size()) break;
        out += "\r\n";
        from = end + 1;
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

using CTextField = std::pair<const char*, const std::string*>;

// The texts of a trip, a trip's photo lists and a catch's texts, in the order the file holds them.
std::array<CTextField, 9> TripTexts(const CTripRecord& trip)
{
    return {{{"fishname", &trip.fishname},
             {"weather", &trip.weather},
             {"date", &trip.date},
             {"water", &trip.water},
             {"HighTide", &trip.highTide},
             {"EbbTide", &trip.ebbTide},
             {"method", &trip.method},
             {"place", &trip.place},
             {"memo", &trip.memo}}};
}

std::array<std::pair<const char*, const std::vector<std::string>*>, 2> TripPhotoLists(
    const CTripRecord& trip)
{
    return {{{"image_place", &trip.placePhotos}, {"image_fish", &trip.fishPhotos}}};
}

std::array<CTextField, 4> CatchTexts(const CCatchRecord& caught)
{
    return {{{"name", &caught.name},
             {"height", &caught.height},
             {"weight", &caught.weight},
             {"time", &caught.time}}};
}

// Whether a text reads back as it is written: no character XML lacks, not blanks only.
bool ReadsBackAsItself(const std::string& text)
{
    if (text.empty()) return true;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
        if (c == 0xEF && text.compare(i, 3, "\xEF\xBF\xBE") == 0) return false;
        if (c == 0xEF && text.compare(i, 3, "\xEF\xBF\xBF") == 0) return false;
    }
    return text.find_first_not_of(" \t\r\n") != std::string::npos;
}

// One child element as libxml2 writes it after the layout line end the document path puts
// before every element.  A CR is written raw where the reader must see a line end (texts that
// carry them, and texts of blanks only, which the reader drops as layout) and as "&#13;"
// elsewhere, so that it reads back as a CR.
bool AppendValueElement(std::string& out, const char* tag, const std::string& text, bool& asGiven)
{
    if (!IsValidUtf8(text)) return false;
    out += "\r\n<";
    out += tag;
    if (text.empty()) {
        out += "/>";
        return true;
    }
    const bool lineEnds = CarriesLineEnds(tag);
    // Most texts are written as they are: no copy of them then.
    const std::string* clean = &text;
    std::string changed;
    if (lineEnds && text.find('\n') != std::string::npos) {
        changed = ToFileLineEnds(text);
        clean = &changed;
    }
    if (!ReadsBackAsItself(*clean)) {
        changed = RemoveCharactersXMLLacks(*clean);
        clean = &changed;
        asGiven = false;
    }
    const bool rawCR = lineEnds || clean->find_first_not_of(" \t\r\n") == std::string::npos;
    out += '>';
    AppendEscapedText(out, *clean, rawCR);
    out += "</";
    out += tag;
    out += '>';
    return true;
}

// A text as the reader gets it back from the element AppendValueElement writes: the parser
// turns the CR LF written for a line end back into LF and each "&#13;" into a CR, so only the
// characters XML lacks are gone, and a text of blanks only is dropped as layout.
std::string ReadBackText(const std::string& text)
{
    std::string clean = RemoveCharactersXMLLacks(text);
    if (clean.find_first_not_of(" \t\r\n") == std::string::npos) clean.clear();
    return clean;
}

// Calls each(text) for every text of trip, photo paths and catches included, until it
// returns false; false then.
template <typename Trip, typename Each>
bool ForEachText(Trip& trip, Each each)
{
    for (auto* text : {&trip.fishname, &trip.weather, &trip.date, &trip.water, &trip.highTide,
                       &trip.ebbTide, &trip.method, &trip.place, &trip.memo}) {
        if (!each(*text)) return false;
    }
    for (auto* paths : {&trip.placePhotos, &trip.fishPhotos}) {
        for (auto& path : *paths) {
            if (!each(path)) return false;
        }
    }
    for (auto& caught : trip.catches) {
        for (auto* text : {&caught.name, &caught.height, &caught.weight, &caught.time}) {
            if (!each(*text)) return false;
        }
    }
    return true;
}

}  // namespace

CTripRecord TripAsReadBack(const CTripRecord& trip)
{
    CTripRecord back = trip;
    ForEachText(back, [](std::string& text) {
        text = ReadBackText(text);
        return true;
    });
    return back;
}

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
    for (const auto& [tag, text] : TripTexts(trip)) {
        // Only the texts that carry line ends hold them as CR LF; elsewhere a line feed stays
        // one, so every text reads back as it was given.
        const bool lineEnds = CarriesLineEnds(tag);
        if (int rc =
                file.AppendTag(tag, lineEnds ? ToFileLineEnds(*text) : *text, tripElement, &node);
            rc != 0)
            return rc;
    }
    for (const auto& [tag, paths] : TripPhotoLists(trip)) {
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
        for (const auto& [tag, text] : CatchTexts(caught)) {
            if (int rc = file.AppendTag(tag, *text, fish, &node); rc != 0) return rc;
        }
    }
    return 0;
}

bool AppendTripElementUtf8(const CTripRecord& trip, std::string& out, bool* asGiven)
{
    // Written in place; taken back when a text cannot be written.
    const size_t start = out.size();
    bool valid = true;
    bool same = true;
    out += "<FishData>";
    for (const auto& [tag, text] : TripTexts(trip))
        valid = valid && AppendValueElement(out, tag, *text, same);
    for (const auto& [tag, paths] : TripPhotoLists(trip)) {
        out.append("\r\n<").append(tag);
        if (paths->empty()) {
            out += "/>";
            continue;
        }
        out += '>';
        for (const std::string& path : *paths)
            valid = valid && AppendValueElement(out, "imagepath", path, same);
        out.append("</").append(tag).append(">");
    }
    out += trip.catches.empty() ? "\r\n<report/>" : "\r\n<report>";
    for (const CCatchRecord& caught : trip.catches) {
        out += "\r\n<fish>";
        for (const auto& [tag, text] : CatchTexts(caught))
            valid = valid && AppendValueElement(out, tag, *text, same);
        out += "</fish>";
    }
    if (!trip.catches.empty()) out += "</report>";
    out += "</FishData>";
    if (!valid) out.resize(start);
    if (asGiven != nullptr) *asGiven = valid && same;
    return valid;
}

std::string FindTripTextOverLimit(const CTripRecord& trip)
{
    const auto over = [](const std::string& text) {
        return text.size() > kMaxTripTextBytes && Cp932ByteLength(text) > kMaxTripTextBytes;
    };
    const auto reason = [](const char* name, const std::string& text) {
        return std::string(name) + "が長すぎます（" + std::to_string(Cp932ByteLength(text)) +
               " バイト、" + std::to_string(kMaxTripTextBytes) + " バイトまで）";
    };
    static const char* const kNames[] = {"狙い", "天候",   "日付", "水温", "満潮",
                                         "干潮", "釣り方", "場所", "メモ"};
    const auto texts = TripTexts(trip);
    for (size_t n = 0; n < texts.size(); ++n) {
        if (over(*texts[n].second)) return reason(kNames[n], *texts[n].second);
    }
    for (const auto& [tag, paths] : TripPhotoLists(trip)) {
        for (const std::string& path : *paths) {
            if (over(path)) return reason("写真のパス", path);
        }
    }
    for (const CCatchRecord& caught : trip.catches) {
        static const char* const kCatchNames[] = {"魚種名", "体長", "重さ", "釣れた時間"};
        const auto catchTexts = CatchTexts(caught);
        for (size_t n = 0; n < catchTexts.size(); ++n) {
            if (over(*catchTexts[n].second)) return reason(kCatchNames[n], *catchTexts[n].second);
        }
    }
    return {};
}
