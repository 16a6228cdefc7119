#include "places/GpsExchange.h"

#include <libxml/xmlreader.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "data/GuardedFile.h"
#include "data/TextEncoding.h"
#include "data/TripDate.h"
#include "places/PlaceBook.h"

namespace {

// Notes that the parse met an error: a reader may end a cut document without a failed read.
void NoteParseError(void* failed, xmlErrorPtr error)
{
    if (error != nullptr && error->level >= XML_ERR_ERROR) *static_cast<bool*>(failed) = true;
}

// Days from 1970-01-01 of a proleptic Gregorian date.
long DaysFromCivil(int year, int month, int day)
{
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yoe = year - era * 400;
    const long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long days, int& year, int& month, int& day)
{
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long doe = days - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// Text for an XML element or attribute: the five markup characters escaped, and the control
// characters XML 1.0 cannot carry left out.
std::string XmlText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
        }
    }
    return out;
}

std::string Degrees(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6f", value);
    return buffer;
}

std::string CatchDescription(const CCatchRecord& caught, const CTripRecord& trip)
{
    std::string text = "魚種: " + caught.name;
    if (!caught.height.empty()) text += " / 全長: " + caught.height + " cm";
    if (!caught.weight.empty()) text += " / 重さ: " + caught.weight + " kg";
    if (!trip.place.empty()) text += " / 場所: " + trip.place;
    text += " / 日付: " + trip.date;
    if (!caught.time.empty()) text += " " + caught.time;
    return text;
}

std::string NodeText(xmlNodePtr node)
{
    xmlChar* content = xmlNodeGetContent(node);
    if (content == nullptr) return {};
    std::string text(reinterpret_cast<const char*>(content));
    xmlFree(content);
    return text;
}

bool ParseAttributeDegrees(xmlNodePtr node, const char* name, double& value)
{
    xmlChar* attribute = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (attribute == nullptr) return false;
    const std::string text(reinterpret_cast<const char*>(attribute));
    xmlFree(attribute);
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end != nullptr && *end == '\0';
}

bool IsNamed(xmlNodePtr node, const char* name)
{
    return node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

// A GPX time as it may be written ("2024-04-14T07:15:00Z", with fractions or an offset); kept
// as text when it has the form of one, else dropped.
std::string GpxTime(const std::string& text)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &year, &month, &day, &hour, &minute,
                    &second) != 6 ||
        month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 60) {
        return {};
    }
    return text.substr(0, 64);
}

}  // namespace

std::string JapanTimeToUtcText(int year, int month, int day, int hour, int minute)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59) {
        return {};
    }
    long minutes = DaysFromCivil(year, month, day) * 1440 + hour * 60 + minute - 9 * 60;
    const long days = minutes >= 0 ? minutes / 1440 : (minutes - 1439) / 1440;
    minutes -= days * 1440;
    CivilFromDays(days, year, month, day);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:00Z", year, month, day,
                  static_cast<int>(minutes / 60), static_cast<int>(minutes % 60));
    return buffer;
}

std::vector<CWaypoint> CollectExportWaypoints(const std::vector<CTripRecord>& trips,
                                              const CPlaceBook& book, int year,
                                              const CCatchTimeReader& readTime,
                                              const CPhotoPositionReader& reader)
{
    std::vector<CWaypoint> catches;
    std::map<std::string, std::pair<int, int>> placeCounts;  // trips, catches
    for (const CTripRecord& trip : trips) {
        const std::array<int, 3> date = ReadStoredDate(trip.date);
        if (year != 0 && date[0] != year) continue;
        const std::string key = CPlaceBook::PlaceKey(trip.place);
        if (!key.empty()) {
            auto& counts = placeCounts[key];
            ++counts.first;
            counts.second += static_cast<int>(trip.catches.size());
        }
        for (const CCatchPoint& point : CatchPoints(trip, book, reader)) {
            const CCatchRecord& caught = trip.catches[point.catchIndex];
            CWaypoint waypoint;
            waypoint.name = caught.name.empty() ? "釣果" : caught.name;
            waypoint.point = point.point;
            waypoint.description = CatchDescription(caught, trip);
            int hour = 0;
            int minute = 0;
            if (readTime && readTime(caught.time, hour, minute)) {
                waypoint.time =
                    JapanTimeToUtcText(date[0], date[1], date[2], hour, minute < 0 ? 0 : minute);
            }
            catches.push_back(std::move(waypoint));
        }
    }
    std::vector<CWaypoint> waypoints;
    for (const CPlaceInfo& place : book.Places()) {
        if (!place.hasPosition) continue;
        const auto counts = placeCounts.find(place.name);
        if (year != 0 && counts == placeCounts.end()) continue;
        CWaypoint waypoint;
        waypoint.name = place.name;
        waypoint.point = place.position;
        waypoint.description = "場所";
        if (counts != placeCounts.end()) {
            waypoint.description += " / 釣行 " + std::to_string(counts->second.first) +
                                    " 回 / 釣果 " + std::to_string(counts->second.second) + " 匹";
        }
        waypoints.push_back(std::move(waypoint));
    }
    waypoints.insert(waypoints.end(), catches.begin(), catches.end());
    return waypoints;
}

std::string WriteGpx(const std::vector<CWaypoint>& waypoints)
{
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"Lurebook\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
        "http://www.topografix.com/GPX/1/1/gpx.xsd\">\n"
        "  <metadata>\n    <name>Lurebook</name>\n  </metadata>\n";
    for (const CWaypoint& waypoint : waypoints) {
        text += "  <wpt lat=\"" + Degrees(waypoint.point.latitude) + "\" lon=\"" +
                Degrees(waypoint.point.longitude) + "\">\n";
        if (!waypoint.time.empty()) text += "    <time>" + XmlText(waypoint.time) + "</time>\n";
        text += "    <name>" + XmlText(waypoint.name) + "</name>\n";
        if (!waypoint.description.empty()) {
            text += "    <desc>" + XmlText(waypoint.description) + "</desc>\n";
        }
        text += "  </wpt>\n";
    }
    text += "</gpx>\n";
    return text;
}

std::string WriteKml(const std::vector<CWaypoint>& waypoints)
{
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
        "  <Document>\n    <name>Lurebook</name>\n";
    for (const CWaypoint& waypoint : waypoints) {
        text += "    <Placemark>\n      <name>" + XmlText(waypoint.name) + "</name>\n";
        if (!waypoint.description.empty()) {
            text += "      <description>" + XmlText(waypoint.description) + "</description>\n";
        }
        if (!waypoint.time.empty()) {
            text += "      <TimeStamp><when>" + XmlText(waypoint.time) + "</when></TimeStamp>\n";
        }
        text += "      <Point><coordinates>" + Degrees(waypoint.point.longitude) + "," +
                Degrees(waypoint.point.latitude) + "</coordinates></Point>\n    </Placemark>\n";
    }
    text += "  </Document>\n</kml>\n";
    return text;
}

bool ReadGpxWaypoints(const std::string& bytes, std::vector<CWaypoint>& waypoints, size_t& skipped,
                      std::string& error)
{
    waypoints.clear();
    skipped = 0;
    if (bytes.size() > kMaxGpxFileBytes) {
        error = "GPX ファイルが大きすぎます（上限 " + ByteLimitText(kMaxGpxFileBytes) + "）";
        return false;
    }
    // A document type declaration is where entity tricks live; GPX needs none.
    if (bytes.find("<!DOCTYPE") != std::string::npos ||
        bytes.find("<!ENTITY") != std::string::npos) {
        error = "GPX ファイルに文書型宣言があるため読み込みません";
        return false;
    }
    xmlTextReaderPtr reader =
        xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                           XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (reader == nullptr) {
        error = "GPX ファイルを読み込めません";
        return false;
    }
    bool parseFailed = false;
    xmlTextReaderSetStructuredErrorHandler(reader, NoteParseError, &parseFailed);
    bool rootSeen = false;
    bool ok = true;
    int status = xmlTextReaderRead(reader);
    bool standing = false;  // the reader already stands on the next node to look at
    for (; status == 1; standing ? (standing = false) : (status = xmlTextReaderRead(reader))) {
        if (status != 1) break;
        const int type = xmlTextReaderNodeType(reader);
        if (type == XML_READER_TYPE_DOCUMENT_TYPE || type == XML_READER_TYPE_ENTITY_REFERENCE) {
            error = "GPX ファイルに文書型宣言があるため読み込みません";
            ok = false;
            break;
        }
        if (type != XML_READER_TYPE_ELEMENT) continue;
        const char* name = reinterpret_cast<const char*>(xmlTextReaderConstLocalName(reader));
        const int depth = xmlTextReaderDepth(reader);
        if (!rootSeen) {
            if (name == nullptr || std::strcmp(name, "gpx") != 0) {
                error = "GPX ファイルではありません";
                ok = false;
                break;
            }
            rootSeen = true;
            continue;
        }
        if (depth != 1 || name == nullptr || std::strcmp(name, "wpt") != 0) continue;
        xmlNodePtr node = xmlTextReaderExpand(reader);
        if (node == nullptr) break;  // the parse error is reported below
        CWaypoint waypoint;
        const bool placed = ParseAttributeDegrees(node, "lat", waypoint.point.latitude) &&
                            ParseAttributeDegrees(node, "lon", waypoint.point.longitude) &&
                            IsValidGeoPoint(waypoint.point);
        for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
            if (IsNamed(child, "name")) {
                waypoint.name = CPlaceBook::PlaceKey(
                    CutToCp932Bytes(NodeText(child).substr(0, 4096), kMaxTripTextBytes));
            } else if (IsNamed(child, "time")) {
                waypoint.time = GpxTime(NodeText(child));
            } else if (IsNamed(child, "desc")) {
                waypoint.description = CutToCp932Bytes(NodeText(child).substr(0, 4096), 1024);
            }
        }
        if (!placed || waypoint.name.empty()) {
            ++skipped;
        } else if (waypoints.size() == kMaxGpxWaypoints) {
            error = "GPX ファイルのウェイポイントが多すぎます（上限 " +
                    std::to_string(kMaxGpxWaypoints) + " 件）";
            ok = false;
            break;
        } else {
            waypoints.push_back(std::move(waypoint));
        }
        // Past the waypoint's subtree; the loop's read then takes the node after it.
        status = xmlTextReaderNext(reader);
        if (status != 1) break;
        standing = true;
    }
    if (ok && (status < 0 || parseFailed)) {
        error = "GPX ファイルが壊れています（" +
                std::to_string(xmlTextReaderGetParserLineNumber(reader)) + "行目あたり）";
        ok = false;
    } else if (ok && !rootSeen) {
        error = "GPX ファイルではありません";
        ok = false;
    }
    xmlFreeTextReader(reader);
    if (!ok) waypoints.clear();
    return ok;
}

bool ReadGpxFile(const std::string& path, std::vector<CWaypoint>& waypoints, size_t& skipped,
                 std::string& error)
{
    std::string bytes;
    const EFileRead status = ReadFileGuarded(path, kMaxGpxFileBytes, bytes, nullptr);
    switch (status) {
        case EFileRead::Ok:
            break;
        case EFileRead::Missing:
            error = path + ": ファイルがありません";
            return false;
        case EFileRead::NotRegular:
            error = path + ": 通常のファイルではありません";
            return false;
        case EFileRead::TooLarge:
            error =
                path + ": ファイルが大きすぎます（上限 " + ByteLimitText(kMaxGpxFileBytes) + "）";
            return false;
        case EFileRead::Unreadable:
            error = path + ": 読み込めません";
            return false;
    }
    if (ReadGpxWaypoints(bytes, waypoints, skipped, error)) return true;
    error = path + ": " + error;
    return false;
}

std::vector<CImportPreviewRow> PreviewGpxImport(const CPlaceBook& book,
                                                const std::vector<CWaypoint>& waypoints)
{
    std::vector<CImportPreviewRow> rows;
    for (const CWaypoint& waypoint : waypoints) {
        CImportPreviewRow row{waypoint, EImportAction::Add};
        if (const CPlaceInfo* place = book.Find(waypoint.name); place && place->hasPosition) {
            if (place->position == waypoint.point) {
                row.action = EImportAction::Same;
            } else {
                row.action = place->source == EPositionSource::Photo ? EImportAction::Replace
                                                                     : EImportAction::Ask;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

size_t ApplyGpxImport(CPlaceBook& book, const std::vector<CImportPreviewRow>& rows,
                      bool replaceAsked)
{
    size_t changed = 0;
    for (const CImportPreviewRow& row : rows) {
        if (row.action == EImportAction::Same) continue;
        if (row.action == EImportAction::Ask && !replaceAsked) continue;
        if (book.SetPosition(row.waypoint.name, row.waypoint.point, EPositionSource::Gpx,
                             row.action == EImportAction::Ask) == EPositionChange::Set) {
            ++changed;
        }
    }
    return changed;
}
