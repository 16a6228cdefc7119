#include "photos/PhotoExif.h"

#include <libexif/exif-data.h>
#include <libexif/exif-loader.h>
#include <libexif/exif-utils.h>

#include <cstdarg>
#include <cstring>
#include <memory>

namespace {

struct CExifDataDeleter {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};

// A log that swallows libexif's complaints: a broken block is expected input, not news.
void IgnoreLog(ExifLog*, ExifLogCode, const char*, const char*, va_list, void*) {}

int ReadShort(ExifEntry* entry, ExifByteOrder order)
{
    if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || !entry->data ||
        entry->size < 2)
        return 0;
    return exif_get_short(entry->data, order);
}

std::string ReadAscii(ExifEntry* entry)
{
    if (!entry || entry->format != EXIF_FORMAT_ASCII || !entry->data) return {};
    const char* text = reinterpret_cast<const char*>(entry->data);
    return std::string(text, strnlen(text, entry->size));
}

// Degrees from a GPS coordinate (three rationals: degrees, minutes, seconds) and its reference
// letter; false when either is missing or malformed.
bool ReadGpsCoordinate(ExifEntry* value, ExifEntry* reference, ExifByteOrder order, char negative,
                       char positive, double limit, double& degrees)
{
    const std::string ref = ReadAscii(reference);
    if (ref.empty() || (ref[0] != negative && ref[0] != positive)) return false;
    if (!value || value->format != EXIF_FORMAT_RATIONAL || value->components != 3 || !value->data ||
        value->size < 24)
        return false;
    double parts[3];
    for (int i = 0; i < 3; ++i) {
        const ExifRational r = exif_get_rational(value->data + 8 * i, order);
        if (r.denominator == 0) return false;
        parts[i] = static_cast<double>(r.numerator) / r.denominator;
    }
    if (parts[1] >= 60 || parts[2] >= 60) return false;
    degrees = parts[0] + parts[1] / 60 + parts[2] / 3600;
    if (degrees > limit) return false;
    if (ref[0] == negative) degrees = -degrees;
    return true;
}

}  // namespace

CCaptureTime ParseExifDateTime(const std::string& text)
{
    // Exactly the fixed layout: digits where digits belong, the separators in between.
    static const char layout[] = "dddd:dd:dd dd:dd:dd";
    if (text.size() < 19) return {};
    for (size_t i = 0; i < 19; ++i) {
        const char c = text[i];
        if (layout[i] == 'd' ? (c < '0' || c > '9') : c != layout[i]) return {};
    }
    const auto number = [&](size_t at, size_t digits) {
        int value = 0;
        for (size_t i = at; i < at + digits; ++i) value = value * 10 + (text[i] - '0');
        return value;
    };
    CCaptureTime time{number(0, 4),  number(5, 2),  number(8, 2),
                      number(11, 2), number(14, 2), number(17, 2)};
    if (time.year < 1 || time.month < 1 || time.month > 12 || time.day < 1 || time.day > 31 ||
        time.hour > 23 || time.minute > 59 || time.second > 60)
        return {};
    return time;
}

bool ParseExifOffset(const std::string& text, int& minutes)
{
    if (text.size() < 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':') return false;
    for (const size_t i : {1, 2, 4, 5})
        if (text[i] < '0' || text[i] > '9') return false;
    const int hours = (text[1] - '0') * 10 + (text[2] - '0');
    const int mins = (text[4] - '0') * 10 + (text[5] - '0');
    // Real zones lie between -12:00 and +14:00.
    if (hours > 14 || mins > 59) return false;
    minutes = (text[0] == '-' ? -1 : 1) * (hours * 60 + mins);
    return true;
}

CExifFacts ReadExifFacts(const uint8_t* data, size_t size)
{
    CExifFacts facts;
    if (!data || size < 6 || size > kMaxExifBytes) return facts;
    std::unique_ptr<ExifData, CExifDataDeleter> exif(exif_data_new());
    if (!exif) return facts;
    if (ExifLog* log = exif_log_new()) {
        exif_log_set_func(log, IgnoreLog, nullptr);
        exif_data_log(exif.get(), log);
        exif_log_unref(log);
    }
    // Only what the file says: no tags made up, none "fixed".
    exif_data_unset_option(exif.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(exif.get(), data, static_cast<unsigned>(size));

    const ExifByteOrder order = exif_data_get_byte_order(exif.get());
    const int orientation =
        ReadShort(exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION), order);
    if (orientation >= 1 && orientation <= 8) facts.orientation = orientation;
    facts.captured = ParseExifDateTime(
        ReadAscii(exif_content_get_entry(exif->ifd[EXIF_IFD_EXIF], EXIF_TAG_DATE_TIME_ORIGINAL)));
    facts.hasOffset = ParseExifOffset(
        ReadAscii(exif_content_get_entry(exif->ifd[EXIF_IFD_EXIF], EXIF_TAG_OFFSET_TIME_ORIGINAL)),
        facts.offsetMinutes);
    if (!facts.hasOffset) facts.offsetMinutes = 0;
    ExifContent* gps = exif->ifd[EXIF_IFD_GPS];
    const auto gpsEntry = [gps](int tag) {
        return exif_content_get_entry(gps, static_cast<ExifTag>(tag));
    };
    double latitude = 0;
    double longitude = 0;
    if (ReadGpsCoordinate(gpsEntry(EXIF_TAG_GPS_LATITUDE), gpsEntry(EXIF_TAG_GPS_LATITUDE_REF),
                          order, 'S', 'N', 90, latitude) &&
        ReadGpsCoordinate(gpsEntry(EXIF_TAG_GPS_LONGITUDE), gpsEntry(EXIF_TAG_GPS_LONGITUDE_REF),
                          order, 'W', 'E', 180, longitude) &&
        // Cameras without a fix write zeros.
        !(latitude == 0 && longitude == 0)) {
        facts.hasPosition = true;
        facts.latitude = latitude;
        facts.longitude = longitude;
    }
    // libexif keeps the thumbnail only when its offset and length lie inside the block.
    if (exif->data && exif->size > 0 && exif->size <= size)
        facts.thumbnail.assign(exif->data, exif->data + exif->size);
    return facts;
}
