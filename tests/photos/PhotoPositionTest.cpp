#include <gtest/gtest.h>

#include <string>

#include "PhotoTestFiles.h"
#include "photos/PhotoExif.h"
#include "photos/ThumbnailDecoder.h"
#include "support/TempProgramDir.h"

namespace {

// Where a photo was taken comes from its EXIF GPS tags; anything malformed gives no position
// rather than a wrong one.
TEST(PhotoPosition, GpsTagsGiveDegreesOrNothing)
{
    struct Case {
        const char* what;
        CTestGps gps;
        bool has;
        double latitude, longitude;
    } cases[] = {
        {"Tokyo", {{35, 38, 55.0}, 'N', {139, 46, 12.0}, 'E'}, true, 35.648611, 139.77},
        {"south and west", {{33, 52, 0}, 'S', {151, 12, 36}, 'W'}, true, -33.866667, -151.21},
        {"whole degrees, coarse", {{35.5, 0, 0}, 'N', {139.25, 0, 0}, 'E', 4}, true, 35.5, 139.25},
        {"no latitude reference", {{35, 0, 0}, '\0', {139, 0, 0}, 'E'}, false, 0, 0},
        {"a wrong reference", {{35, 0, 0}, 'X', {139, 0, 0}, 'E'}, false, 0, 0},
        {"minutes past 59", {{35, 61, 0}, 'N', {139, 0, 0}, 'E'}, false, 0, 0},
        {"latitude past the pole", {{91, 0, 0}, 'N', {139, 0, 0}, 'E'}, false, 0, 0},
        {"no fix: zeros", {{0, 0, 0}, 'N', {0, 0, 0}, 'E'}, false, 0, 0},
        {"zero denominators", {{35, 0, 0}, 'N', {139, 0, 0}, 'E', 0}, false, 0, 0},
    };
    const std::string dir = MakeTempDir();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string block = MakeTestGpsExif(c.gps, "2024:05:03 06:41:09");
        const CExifFacts facts =
            ReadExifFacts(reinterpret_cast<const uint8_t*>(block.data()), block.size());
        EXPECT_EQ(facts.hasPosition, c.has);
        EXPECT_EQ(facts.captured.day, 3);  // the other tags are read all the same
        if (c.has) {
            EXPECT_NEAR(facts.latitude, c.latitude, 1e-5);
            EXPECT_NEAR(facts.longitude, c.longitude, 1e-5);
        }
        // The same from a photo file, read without decoding its picture.
        CJpegOptions options;
        options.exif = block;
        WriteFileBytes(dir + "p.jpg", PlainJpeg(32, 24, kTestGreen, options));
        const CExifFacts fromFile = ReadPhotoExifFacts(dir + "p.jpg");
        EXPECT_EQ(fromFile.hasPosition, c.has);
        EXPECT_NEAR(fromFile.latitude, facts.latitude, 1e-9);
        EXPECT_TRUE(fromFile.thumbnail.empty());
    }
    // A HEIF photo carries its EXIF block in a metadata item.
    CHeifOptions heif;
    heif.exif = MakeTestGpsExif({{35, 38, 55.0}, 'N', {139, 46, 12.0}, 'E'});
    ASSERT_TRUE(WriteTestHeif(
        dir + "p.heic", 64, 48, [](int, int) { return kTestGreen; }, heif));
    const CExifFacts fromHeif = ReadPhotoExifFacts(dir + "p.heic");
    EXPECT_TRUE(fromHeif.hasPosition);
    EXPECT_NEAR(fromHeif.latitude, 35.648611, 1e-5);
    EXPECT_NEAR(fromHeif.longitude, 139.77, 1e-5);

    EXPECT_FALSE(ReadPhotoExifFacts(dir + "missing.jpg").hasPosition);
    WriteFileBytes(dir + "plain.jpg", PlainJpeg(32, 24, kTestGreen));
    EXPECT_FALSE(ReadPhotoExifFacts(dir + "plain.jpg").hasPosition);
    RemoveTree(dir);
}

// A JPEG's EXIF block is found by walking its segments up to the first scan: through padding,
// other APP1 blocks and segments far past the first bytes read, never past broken lengths.
TEST(PhotoPosition, JpegSegmentsAreWalkedToTheExifBlock)
{
    const std::string dir = MakeTempDir();
    const std::string exif = MakeTestExif(6, "2026:05:03 06:00:00");
    const auto segment = [](char marker, const std::string& payload) {
        const size_t length = payload.size() + 2;
        return std::string{char(0xFF), marker, char(length >> 8), char(length & 0xFF)} + payload;
    };
    const std::string soi("\xFF\xD8", 2);
    const std::string app1 = segment('\xE1', exif);
    const std::string xmp = segment('\xE1', "http://ns.adobe.com/xap/1.0/" + std::string(100, ' '));
    const std::string scan = segment('\xDA', std::string(10, '\0')) + "\xFF\xD9";
    const struct {
        const char* what;
        std::string bytes;
        bool found;
    } cases[] = {
        {"right after the start", soi + app1 + scan, true},
        {"after an XMP block and padding", soi + xmp + "\xFF\xFF" + app1 + scan, true},
        {"after 60 KiB of other segments",
         soi + segment('\xE2', std::string(30000, 'a')) + segment('\xE2', std::string(30000, 'b')) +
             app1 + scan,
         true},
        {"after a restart marker", soi + "\xFF\xD0" + app1 + scan, true},
        {"after the scan", soi + scan + app1, false},
        {"cut inside the block", soi + app1.substr(0, app1.size() / 2), false},
        {"a length below two", soi + std::string("\xFF\xE2\0\1", 4) + app1, false},
        {"junk instead of a marker", soi + "x" + app1, false},
        {"no start marker", app1 + scan, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(dir + "p.jpg", c.bytes);
        const CExifFacts facts = ReadPhotoExifFacts(dir + "p.jpg");
        EXPECT_EQ(facts.captured.valid(), c.found);
        EXPECT_EQ(facts.orientation, c.found ? 6 : 1);
    }
    RemoveTree(dir);
}

}  // namespace
