#include "places/CoordinateText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <regex>
#include <string_view>
#include <vector>

namespace {

// Decodes one UTF-8 character at text[i], advancing i; U+FFFD for a broken sequence.
char32_t NextCodePoint(std::string_view text, size_t& i)
{
    const auto byte = static_cast<unsigned char>(text[i++]);
    if (byte < 0x80) return byte;
    int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : -1;
    if (extra < 0) return 0xFFFD;
    char32_t cp = byte & (0x3F >> extra);
    while (extra-- > 0) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            return 0xFFFD;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    return cp;
}

enum class EToken { Number, Degrees, Minutes, Seconds, North, South, East, West, Break };

struct CToken {
    EToken kind;
    double value = 0;
};

// Turns the text into numbers, unit marks, hemisphere marks and breaks (commas); spaces only
// separate.  False for a character that has no place in a coordinate.
bool Tokenise(std::string_view text, std::vector<CToken>& tokens)
{
    std::string number;
    const auto flush = [&]() {
        if (number.empty()) return true;
        double value = 0;
        const char* begin = number.data();
        const bool negative = number[0] == '-';
        if (negative || number[0] == '+') ++begin;
        const auto [end, ec] = std::from_chars(begin, number.data() + number.size(), value);
        if (ec != std::errc() || end != number.data() + number.size()) return false;
        tokens.push_back({EToken::Number, negative ? -value : value});
        number.clear();
        return true;
    };
    size_t i = 0;
    while (i < text.size()) {
        char32_t cp = NextCodePoint(text, i);
        if (cp >= 0xFF01 && cp <= 0xFF5E) cp -= 0xFEE0;  // full-width forms of ASCII
        if (cp == 0x2212 || cp == 0x2012 || cp == 0x2013) cp = '-';
        if ((cp >= '0' && cp <= '9') || cp == '.') {
            number += static_cast<char>(cp);
            continue;
        }
        if ((cp == '-' || cp == '+') && number.empty()) {
            number += static_cast<char>(cp);
            continue;
        }
        if (!flush()) return false;
        EToken kind;
        switch (cp) {
            case ' ':
            case '\t':
            case '\n':
            case '\r':
            case 0x3000:
                continue;
            case ',':
            case ';':
            case '/':
            case 0x3001:
                kind = EToken::Break;
                break;
            case 0xB0:
            case 0xBA:
            case 0x5EA6:  // 度
                kind = EToken::Degrees;
                break;
            case '\'':
            case 0x2032:
            case 0x2019:
            case 0x5206:  // 分
                kind = EToken::Minutes;
                break;
            case '"':
            case 0x2033:
            case 0x201D:
            case 0x79D2:  // 秒
                kind = EToken::Seconds;
                break;
            case 'N':
            case 'n':
                kind = EToken::North;
                break;
            case 'S':
            case 's':
                kind = EToken::South;
                break;
            case 'E':
            case 'e':
                kind = EToken::East;
                break;
            case 'W':
            case 'w':
                kind = EToken::West;
                break;
            case 0x5317: {  // 北緯 / 南緯 / 東経 / 西経: the first character says it all
                kind = EToken::North;
                break;
            }
            case 0x5357:
                kind = EToken::South;
                break;
            case 0x6771:
                kind = EToken::East;
                break;
            case 0x897F:
                kind = EToken::West;
                break;
            case 0x7DEF:  // 緯
            case 0x7D4C:  // 経
                continue;
            default:
                return false;
        }
        tokens.push_back({kind});
    }
    return flush();
}

bool IsHemisphere(EToken kind)
{
    return kind == EToken::North || kind == EToken::South || kind == EToken::East ||
           kind == EToken::West;
}

// One coordinate being read: up to degrees, minutes and seconds, and a hemisphere.
struct CPart {
    double values[3] = {0, 0, 0};
    int count = 0;
    bool marked = false;  // a unit mark was given
    EToken hemisphere = EToken::Break;
    bool negative = false;
};

bool PartValue(const CPart& part, double& value)
{
    if (part.count == 0) return false;
    for (int i = 1; i < part.count; ++i) {
        if (part.values[i] < 0 || part.values[i] >= 60) return false;
    }
    // Minutes or seconds only follow whole degrees (and seconds whole minutes).
    for (int i = 0; i + 1 < part.count; ++i) {
        if (part.values[i] != std::floor(part.values[i])) return false;
    }
    const double degrees = std::fabs(part.values[0]);
    value = degrees + (part.count > 1 ? part.values[1] / 60 : 0) +
            (part.count > 2 ? part.values[2] / 3600 : 0);
    if (part.values[0] < 0 || part.negative) value = -value;
    return true;
}

bool ParsePlainText(std::string_view text, CGeoPoint& point)
{
    std::vector<CToken> tokens;
    if (!Tokenise(text, tokens)) return false;
    std::vector<CPart> parts(1);
    int lastUnit = -1;  // the unit index of the last number given one in the current part
    const auto close = [&]() {
        if (parts.back().count > 0 || parts.back().hemisphere != EToken::Break) {
            parts.emplace_back();
            lastUnit = -1;
        }
    };
    for (size_t t = 0; t < tokens.size(); ++t) {
        const CToken& token = tokens[t];
        CPart* part = &parts.back();
        switch (token.kind) {
            case EToken::Number:
                if (part->count == 3) {
                    close();
                    part = &parts.back();
                }
                part->values[part->count++] = token.value;
                break;
            case EToken::Degrees:
            case EToken::Minutes:
            case EToken::Seconds: {
                const int unit = token.kind == EToken::Degrees   ? 0
                                 : token.kind == EToken::Minutes ? 1
                                                                 : 2;
                if (part->count == 0) return false;
                if (unit <= lastUnit) {
                    // "35°39' 139°47'": a new degree mark after minutes begins the second
                    // coordinate with the number before it.
                    const double moved = part->values[--part->count];
                    close();
                    part = &parts.back();
                    part->values[part->count++] = moved;
                }
                if (part->count - 1 != unit) return false;
                part->marked = true;
                lastUnit = unit;
                break;
            }
            case EToken::Break:
                close();
                break;
            default:  // a hemisphere
                if (part->count > 0 && part->hemisphere == EToken::Break) {
                    part->hemisphere = token.kind;  // "35N": after its numbers
                    close();
                } else if (part->hemisphere == EToken::Break) {
                    part->hemisphere = token.kind;  // "N35": before them
                } else if (part->count > 0) {
                    close();  // "N35 E139": the next one's mark
                    parts.back().hemisphere = token.kind;
                } else {
                    return false;
                }
                break;
        }
    }
    if (parts.back().count == 0 && parts.back().hemisphere == EToken::Break) parts.pop_back();
    // "35 39 29 139 47 0": unmarked numbers split evenly between the two coordinates.
    if (parts.size() == 1 && !parts[0].marked && parts[0].hemisphere == EToken::Break &&
        parts[0].count == 2) {
        CPart second;
        second.values[0] = parts[0].values[1];
        second.count = 1;
        parts[0].count = 1;
        parts.push_back(second);
    }
    if (parts.size() != 2) return false;
    double a = 0;
    double b = 0;
    if (!PartValue(parts[0], a) || !PartValue(parts[1], b)) return false;
    const auto isLatitude = [](EToken h) { return h == EToken::North || h == EToken::South; };
    const auto isLongitude = [](EToken h) { return h == EToken::East || h == EToken::West; };
    const EToken h0 = parts[0].hemisphere;
    const EToken h1 = parts[1].hemisphere;
    for (const CPart* part : {&parts[0], &parts[1]}) {
        // "-35 S" says south twice: more likely a slip than a position.
        if ((part->hemisphere == EToken::South || part->hemisphere == EToken::West) &&
            part->values[0] < 0) {
            return false;
        }
    }
    if (h0 == EToken::South || h0 == EToken::West) a = -a;
    if (h1 == EToken::South || h1 == EToken::West) b = -b;
    const bool swapped = isLongitude(h0) || isLatitude(h1);
    if ((IsHemisphere(h0) && IsHemisphere(h1) && isLatitude(h0) == isLatitude(h1)) ||
        (swapped && (isLatitude(h0) || isLongitude(h1)))) {
        return false;
    }
    point = swapped ? CGeoPoint{b, a} : CGeoPoint{a, b};
    return IsValidGeoPoint(point);
}

bool ParseNumber(const std::string& text, double& value)
{
    const char* begin = text.data();
    const auto [end, ec] = std::from_chars(begin, begin + text.size(), value);
    return ec == std::errc() && end == begin + text.size();
}

// A map link: the position it carries, by the forms of the common map sites.
bool ParseMapLink(const std::string& link, CGeoPoint& point)
{
    static const std::string kNumber = "(-?[0-9]{1,3}(?:\\.[0-9]+)?)";
    struct CForm {
        std::regex pattern;
    };
    static const CForm forms[] = {
        // Google: the place's own position in the data part is better than the view's centre.
        {std::regex("!3d" + kNumber + "!4d" + kNumber)},
        {std::regex("[?&](?:q|ll|sll|query|center|destination|daddr)=(?:loc:)?" + kNumber +
                    "(?:,|%2C|%2c)\\+?(?:%20)?" + kNumber)},
        {std::regex("[?&]mlat=" + kNumber + "&(?:amp;)?mlon=" + kNumber)},
        {std::regex("[?&]lat=" + kNumber + "&(?:amp;)?(?:lon|lng)=" + kNumber)},
        {std::regex("^geo:" + kNumber + "," + kNumber)},
        {std::regex("@" + kNumber + "," + kNumber)},
        // OpenStreetMap "#map=zoom/lat/lon", 地理院地図 "#zoom/lat/lon".
        {std::regex("#(?:map=)?[0-9]{1,2}(?:\\.[0-9]+)?/" + kNumber + "/" + kNumber)},
    };
    for (const CForm& form : forms) {
        std::smatch match;
        if (!std::regex_search(link, match, form.pattern)) continue;
        double a = 0;
        double b = 0;
        if (!ParseNumber(match[1].str(), a) || !ParseNumber(match[2].str(), b)) return false;
        point = {a, b};
        return IsValidGeoPoint(point);
    }
    return false;
}

}  // namespace

bool ParseCoordinateText(const std::string& text, CGeoPoint& point)
{
    // Nothing anyone types as a position is this long; a pasted link may be a few hundred.
    if (text.empty() || text.size() > 4096) return false;
    CGeoPoint found;
    const bool link = text.find("://") != std::string::npos || text.compare(0, 4, "geo:") == 0 ||
                      text.compare(0, 4, "www.") == 0 || text.find("maps.") != std::string::npos;
    if (!(link ? ParseMapLink(text, found) : ParsePlainText(text, found))) return false;
    point = found;
    return true;
}

std::string FormatCoordinateText(const CGeoPoint& point)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6f, %.6f", point.latitude, point.longitude);
    return buffer;
}
