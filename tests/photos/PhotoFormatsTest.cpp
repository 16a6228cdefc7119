#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "photos/HeifDecoder.h"
#include "photos/PhotoExif.h"
#include "photos/PhotoTestFiles.h"
#include "photos/ThumbnailDecoder.h"
#include "support/LimitedChild.h"
#include "support/TempProgramDir.h"

namespace {

constexpr CTestRgb kGrey{128, 128, 128};

enum ECorner { TopLeft, TopRight, BottomLeft, BottomRight };

class PhotoFormatsTest : public ::testing::Test {
protected:
    PhotoFormatsTest() : m_dir(MakeTempDir()) {}
    ~PhotoFormatsTest() override { RemoveTree(m_dir); }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        WriteFileBytes(m_dir + name, bytes);
        return m_dir + name;
    }
    EDecodeStatus Decode(const std::string& path, CRgbPicture& picture, CPhotoFacts& facts,
                         const CDecodeOptions& options = {})
    {
        return DecodePhotoFile(path, picture, &facts, nullptr, options);
    }

    std::string m_dir;
};

// Grey with a red square in one corner and a blue one in another (40 x 40 of 160 x 120).
std::string MarkedJpeg(ECorner red, ECorner blue, const std::string& exif)
{
    const auto in = [](ECorner corner, int x, int y) {
        const bool right = corner == TopRight || corner == BottomRight;
        const bool bottom = corner == BottomLeft || corner == BottomRight;
        return (right ? x >= 120 : x < 40) && (bottom ? y >= 80 : y < 40);
    };
    CJpegOptions options;
    options.exif = exif;
    return EncodeTestJpeg(
        160, 120,
        [&](int x, int y) { return in(red, x, y)    ? kTestRed
                                   : in(blue, x, y) ? kTestBlue
                                                    : kGrey; },
        options);
}

TEST_F(PhotoFormatsTest, EveryExifOrientationShowsThePhotoUpright)
{
    // Where the corners shown top left (red) and top right (blue) are stored in the file.
    struct {
        int orientation;
        ECorner red, blue;
    } const cases[] = {
        {1, TopLeft, TopRight},       {2, TopRight, TopLeft},     {3, BottomRight, BottomLeft},
        {4, BottomLeft, BottomRight}, {5, TopLeft, BottomLeft},   {6, BottomLeft, TopLeft},
        {7, BottomRight, TopRight},   {8, TopRight, BottomRight}, {0, TopLeft, TopRight},  // no tag
        {9, TopLeft, TopRight},  // out of range: as stored
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("orientation " + std::to_string(c.orientation));
        const std::string path =
            Write("o.jpg", MarkedJpeg(c.red, c.blue, MakeTestExif(c.orientation)));
        CRgbPicture picture;
        CPhotoFacts facts;
        ASSERT_EQ(Decode(path, picture, facts), EDecodeStatus::Ok);
        const bool turned = c.orientation >= 5 && c.orientation <= 8;
        EXPECT_EQ(picture.width < picture.height, turned);
        EXPECT_TRUE(NearColour(picture.Pixel(4, 4), kTestRed));
        EXPECT_TRUE(NearColour(picture.Pixel(picture.width - 5, 4), kTestBlue));
        EXPECT_TRUE(NearColour(picture.Pixel(4, picture.height - 5), kGrey));
        EXPECT_TRUE(NearColour(picture.Pixel(picture.width - 5, picture.height - 5), kGrey));
    }
}

TEST_F(PhotoFormatsTest, AnEmbeddedThumbnailIsUsedOnlyWhenItCoversTheCellWithThePhotosShape)
{
    struct {
        int thumbWidth, thumbHeight;
        bool used;
    } const cases[] = {
        {160, 120, true},  {120, 90, false},  // lower than the cell
        {160, 118, true},                     // 1.7 % off
        {160, 116, false},                    // 3.4 % off
        {160, 90, false},                     // 16:9 thumbnail of a 4:3 photo
        {0, 0, false},                        // thumbnail bytes that are no JPEG
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.thumbWidth) + "x" + std::to_string(c.thumbHeight));
        const std::string thumbnail =
            c.thumbWidth ? PlainJpeg(c.thumbWidth, c.thumbHeight, kTestRed) : "not a jpeg";
        CJpegOptions options;
        options.exif = MakeTestExif(1, {}, thumbnail);
        const std::string path = Write("t.jpg", PlainJpeg(1600, 1200, kTestBlue, options));
        CRgbPicture picture;
        CPhotoFacts facts;
        ASSERT_EQ(Decode(path, picture, facts), EDecodeStatus::Ok);
        EXPECT_EQ(facts.embeddedThumbnail, c.used);
        EXPECT_TRUE(NearColour(picture.Pixel(picture.width / 2, picture.height / 2),
                               c.used ? kTestRed : kTestBlue));
        EXPECT_GE(picture.width, kThumbnailWidth);
        EXPECT_GE(picture.height, kThumbnailHeight);

        CDecodeOptions noThumbnails;
        noThumbnails.embeddedThumbnails = false;
        ASSERT_EQ(Decode(path, picture, facts, noThumbnails), EDecodeStatus::Ok);
        EXPECT_FALSE(facts.embeddedThumbnail);
        EXPECT_TRUE(NearColour(picture.Pixel(0, 0), kTestBlue));
    }

    // The thumbnail of a sideways photo is turned like the photo.
    CJpegOptions options;
    options.exif = MakeTestExif(6, {}, PlainJpeg(160, 120, kTestRed));
    CRgbPicture picture;
    CPhotoFacts facts;
    ASSERT_EQ(Decode(Write("s.jpg", PlainJpeg(1600, 1200, kTestBlue, options)), picture, facts),
              EDecodeStatus::Ok);
    EXPECT_TRUE(facts.embeddedThumbnail);
    EXPECT_LT(picture.width, picture.height);
}

TEST_F(PhotoFormatsTest, CaptureTimesComeFromDateTimeOriginal)
{
    struct {
        const char* text;
        CCaptureTime expected;
    } const cases[] = {
        {"2024:05:03 06:41:09", {2024, 5, 3, 6, 41, 9}},
        {"1999:12:31 23:59:60", {1999, 12, 31, 23, 59, 60}},
        {"0000:00:00 00:00:00", {}},  // camera clock never set
        {"    :  :     :  :  ", {}},
        {"2024-05-03 06:41:09", {}},
        {"2024:13:03 06:41:09", {}},
        {"2024:05:03 24:00:00", {}},
        {"2024:05:03", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseExifDateTime(c.text), c.expected);
        CJpegOptions options;
        options.exif = MakeTestExif(1, c.text);
        EXPECT_EQ(ReadPhotoCaptureTime(Write("d.jpg", PlainJpeg(64, 48, kGrey, options))),
                  c.expected);
    }
    EXPECT_FALSE(ReadPhotoCaptureTime(Write("plain.jpg", PlainJpeg(64, 48, kGrey))).valid());
    EXPECT_FALSE(ReadPhotoCaptureTime(m_dir + "missing.jpg").valid());

    CHeifOptions heif;
    heif.exif = MakeTestExif(1, "2023:08:15 17:05:00");
    ASSERT_TRUE(WriteTestHeif(
        m_dir + "d.heic", 64, 48, [](int, int) { return kGrey; }, heif));
    EXPECT_EQ(ReadPhotoCaptureTime(m_dir + "d.heic"), (CCaptureTime{2023, 8, 15, 17, 5, 0}));
}

TEST_F(PhotoFormatsTest, HeifPhotosDecodeUprightWithOrWithoutAThumbnailItem)
{
    struct {
        int thumbnailSide, orientation;
        bool turned, thumbnailUsed;
    } const cases[] = {
        {0, 1, false, false},  {160, 1, false, true},
        {96, 1, false, false},  // thumbnail lower than the cell
        {0, 6, true, false},   {0, 8, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.thumbnailSide) + " " + std::to_string(c.orientation));
        CHeifOptions heif;
        heif.thumbnailSide = c.thumbnailSide;
        heif.orientation = c.orientation;
        const std::string path = m_dir + "q.heic";
        // Stored so that it is a landscape quadrant picture once turned as the file says.
        const int w = c.turned ? 240 : 320, h = c.turned ? 320 : 240;
        ASSERT_TRUE(WriteTestHeif(
            path, w, h,
            [&](int x, int y) {
                if (c.orientation == 6) return QuadrantPixel(h - 1 - y, x, h, w);
                if (c.orientation == 8) return QuadrantPixel(y, w - 1 - x, h, w);
                return QuadrantPixel(x, y, w, h);
            },
            heif));
        CRgbPicture picture;
        CPhotoFacts facts;
        ASSERT_EQ(Decode(path, picture, facts), EDecodeStatus::Ok);
        EXPECT_EQ(facts.format, EPhotoFormat::Heif);
        EXPECT_EQ(facts.embeddedThumbnail, c.thumbnailUsed);
        const CRgbPicture cell = FitToThumbnail(picture);
        ASSERT_EQ(cell.width, 120);
        ASSERT_EQ(cell.height, 90);
        EXPECT_TRUE(NearColour(cell.Pixel(20, 20), kTestRed, 40));
        EXPECT_TRUE(NearColour(cell.Pixel(100, 20), kTestGreen, 40));
        EXPECT_TRUE(NearColour(cell.Pixel(20, 70), kTestBlue, 40));
        EXPECT_TRUE(NearColour(cell.Pixel(100, 70), kTestYellow, 40));
    }
}

TEST_F(PhotoFormatsTest, FilesAreToldByTheirContentNotTheirName)
{
    ASSERT_TRUE(WriteTestHeif(m_dir + "h.jpg", 64, 48, [](int, int) { return kGrey; }));
    struct {
        std::string path;
        EPhotoFormat format;
        EDecodeStatus status;
    } const cases[] = {
        {Write("j.png", PlainJpeg(64, 48, kGrey)), EPhotoFormat::Jpeg, EDecodeStatus::Ok},
        {m_dir + "h.jpg", EPhotoFormat::Heif, EDecodeStatus::Ok},
        {Write("p.jpg", PngBytes()), EPhotoFormat::Png, EDecodeStatus::NotDecodable},
        {Write("w.jpg", std::string("RIFF\x10\0\0\0WEBPVP8 ", 16)), EPhotoFormat::WebP,
         EDecodeStatus::NotDecodable},
        {Write("t.jpg", std::string("II*\0\x08\0\0\0", 8)), EPhotoFormat::Tiff,
         EDecodeStatus::NotDecodable},
        {Write("x.jpg", "just some text\n"), EPhotoFormat::Unknown, EDecodeStatus::NotDecodable},
        {Write("e.jpg", ""), EPhotoFormat::Unknown, EDecodeStatus::NotDecodable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        CRgbPicture picture;
        CPhotoFacts facts;
        EXPECT_EQ(Decode(c.path, picture, facts), c.status);
        EXPECT_EQ(facts.format, c.format);
        EXPECT_EQ(picture.empty(), c.status != EDecodeStatus::Ok);
    }
}

// ---- hostile input ---------------------------------------------------------------------------

// Little-endian TIFF bytes behind the EXIF header, built entry by entry.
struct CTiffWriter {
    std::string bytes = std::string("Exif\0\0II*\0", 10);
    void U16(uint16_t v) { bytes += char(v & 0xFF), bytes += char(v >> 8); }
    void U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i) bytes += char((v >> (8 * i)) & 0xFF);
    }
    void Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value)
    {
        U16(tag), U16(type), U32(count), U32(value);
    }
};

// An IFD0 at TIFF offset 8 with the given entries and next-IFD offset.
std::string Ifd0(const std::vector<std::array<uint32_t, 4>>& entries, uint32_t next,
                 uint32_t firstIfd = 8)
{
    CTiffWriter tiff;
    tiff.U32(firstIfd);
    tiff.U16(static_cast<uint16_t>(entries.size()));
    for (const auto& e : entries)
        tiff.Entry(static_cast<uint16_t>(e[0]), static_cast<uint16_t>(e[1]), e[2], e[3]);
    tiff.U32(next);
    return tiff.bytes;
}

TEST_F(PhotoFormatsTest, BrokenExifNeverHarmsThePhoto)
{
    const std::string good = MakeTestExif(6, "2024:05:03 06:41:09", PlainJpeg(160, 120, kTestRed));
    const std::string cases[] = {
        Ifd0({}, 0, 0xFFFFFF00u),                         // IFD0 far outside
        Ifd0({{0x0112, 3, 1, 6}}, 8),                     // IFD0 is its own next IFD
        Ifd0({{0x8769, 4, 1, 8}, {0x0112, 3, 1, 3}}, 0),  // EXIF IFD is IFD0 again
        Ifd0({{0x0112, 3, 0x40000000u, 0x100}}, 0),       // huge count, outside value
        Ifd0({{0x0112, 3, 1, 6}}, 8 + 2 + 12 + 4),        // IFD1 past the end
        Ifd0({{0x0201, 4, 1, 0x7FFFFFF0u}, {0x0202, 4, 1, 0xFFFFu}}, 0),  // thumbnail outside
        std::string("Exif\0\0II*\0", 10),            // nothing after the header
        std::string("Exif\0\0XX*\0\x08\0\0\0", 14),  // no byte order
        good.substr(0, good.size() / 2),             // cut in the middle
        good.substr(0, 40),
    };
    int index = 0;
    for (const std::string& exif : cases) {
        SCOPED_TRACE(index++);
        CJpegOptions options;
        options.exif = exif;
        const std::string path = Write("b.jpg", PlainJpeg(320, 240, kTestBlue, options));
        CRgbPicture picture;
        CPhotoFacts facts;
        ASSERT_EQ(Decode(path, picture, facts), EDecodeStatus::Ok);
        EXPECT_FALSE(picture.empty());
        EXPECT_GE(facts.orientation, 1);
        EXPECT_LE(facts.orientation, 8);
        EXPECT_EQ(picture.rgb.size(), size_t(picture.width) * picture.height * 3);
        const CExifFacts read =
            ReadExifFacts(reinterpret_cast<const uint8_t*>(exif.data()), exif.size());
        EXPECT_LE(read.thumbnail.size(), exif.size());
    }
    // Only the first EXIF block counts; thousands of segments cost nothing to skip.
    std::string many = PlainJpeg(320, 240, kTestBlue);
    std::string segment = "\xFF\xE1\xFF\xF0";
    segment += std::string(0xFFF0 - 2, 'x');
    std::string inserted;
    for (int i = 0; i < 200; ++i) inserted += segment;
    many.insert(2, inserted);
    CRgbPicture picture;
    CPhotoFacts facts;
    EXPECT_EQ(Decode(Write("m.jpg", many), picture, facts), EDecodeStatus::Ok);
}

TEST_F(PhotoFormatsTest, HostileHeifFilesAreRefused)
{
    const std::string path = m_dir + "h.heic";
    ASSERT_TRUE(WriteTestHeif(path, 320, 240, [](int, int) { return kGrey; }));
    const std::string bytes = ReadFileBytes(path);
    CRgbPicture picture;
    CPhotoFacts facts;
    // More pixels than allowed: refused before decoding.
    CDecodeOptions small;
    small.maxPixels = 320 * 240 - 1;
    EXPECT_EQ(Decode(path, picture, facts, small), EDecodeStatus::NotDecodable);
    EXPECT_TRUE(picture.empty());
    // libheif takes far more than the picture's own bytes while decoding: a picture whose decode
    // would pass the memory cap is refused before decoding, whatever the pixel cap allows.
    CDecodeOptions lowMemory;
    lowMemory.maxMemory = 320 * 240 * 5;
    EXPECT_EQ(Decode(path, picture, facts, lowMemory), EDecodeStatus::NotDecodable);
    EXPECT_TRUE(picture.empty());
    lowMemory.maxMemory = 320 * 240 * 13;
    EXPECT_EQ(Decode(path, picture, facts, lowMemory), EDecodeStatus::Ok);
    // Over the memory cap but with a thumbnail item (as phones store their largest photos):
    // the thumbnail is shown instead of nothing.
    CHeifOptions withThumbnail;
    withThumbnail.thumbnailSide = 160;
    const std::string large = m_dir + "large.heic";
    ASSERT_TRUE(WriteTestHeif(
        large, 320, 240, [](int, int) { return kGrey; }, withThumbnail));
    lowMemory.maxMemory = 320 * 240 * 5;
    lowMemory.coverWidth = 320;  // asked for at print size, which the thumbnail cannot cover
    lowMemory.coverHeight = 240;
    ASSERT_EQ(Decode(large, picture, facts, lowMemory), EDecodeStatus::Ok);
    EXPECT_TRUE(facts.embeddedThumbnail);
    EXPECT_EQ(picture.width, 160);
    // A small file claiming 13000 x 13000 pixels (under the pixel cap) costs nothing.
    std::string claimed = bytes;
    const size_t ispe = claimed.find("ispe");
    ASSERT_NE(ispe, std::string::npos);
    for (const size_t at : {ispe + 8, ispe + 12}) {
        claimed[at] = 0;
        claimed[at + 1] = 0;
        claimed[at + 2] = char(13000 >> 8);
        claimed[at + 3] = char(13000 & 0xFF);
    }
    const std::string bomb = Write("bomb.heic", claimed);
    const CChildOutcome outcome = RunLimited(
        [&] {
            CRgbPicture any;
            CPhotoFacts found;
            CDecodeOptions noThumbnail;
            noThumbnail.embeddedThumbnails = false;
            return std::to_string(int(Decode(bomb, any, found, noThumbnail)));
        },
        20, size_t{768} << 20);
    ASSERT_TRUE(outcome.finished) << "hung or ran out of memory, signal " << outcome.signal;
    EXPECT_EQ(outcome.output, std::to_string(int(EDecodeStatus::NotDecodable)));
    for (const size_t cut : {size_t(16), size_t(200), bytes.size() / 2, bytes.size() - 10}) {
        SCOPED_TRACE(cut);
        EXPECT_EQ(Decode(Write("cut.heic", bytes.substr(0, cut)), picture, facts),
                  EDecodeStatus::NotDecodable);
        EXPECT_TRUE(picture.empty());
    }
}

}  // namespace
