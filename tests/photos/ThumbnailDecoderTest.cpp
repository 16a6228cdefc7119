#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "photos/JpegTestFiles.h"
#include "photos/ThumbnailDecoder.h"
#include "support/TempProgramDir.h"

namespace {

class ThumbnailDecoderTest : public ::testing::Test {
protected:
    ThumbnailDecoderTest() : m_dir(MakeTempDir()) {}
    ~ThumbnailDecoderTest() override { RemoveTree(m_dir); }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        WriteFileBytes(m_dir + name, bytes);
        return m_dir + name;
    }

    EDecodeStatus Decode(const std::string& bytes, CRgbPicture& picture,
                         std::string* error = nullptr, const CDecodeOptions& options = {})
    {
        return DecodeScaledPictureFile(Write("photo.jpg", bytes), picture, error, options);
    }

    std::string m_dir;
};

// A fitted quadrant picture: the quadrants' colours in place, out to the corners.
void ExpectQuadrants(const CRgbPicture& cell, int width = kThumbnailWidth, int height = 90)
{
    ASSERT_EQ(cell.width, width);
    ASSERT_EQ(cell.height, height);
    const int w = cell.width, h = cell.height;
    EXPECT_TRUE(NearColour(cell.Pixel(w / 4, h / 4), kTestRed));
    EXPECT_TRUE(NearColour(cell.Pixel(3 * w / 4, h / 4), kTestGreen));
    EXPECT_TRUE(NearColour(cell.Pixel(w / 4, 3 * h / 4), kTestBlue));
    EXPECT_TRUE(NearColour(cell.Pixel(3 * w / 4, 3 * h / 4), kTestYellow));
    EXPECT_TRUE(NearColour(cell.Pixel(1, 1), kTestRed));
    EXPECT_TRUE(NearColour(cell.Pixel(w - 2, h - 2), kTestYellow));
}

TEST_F(ThumbnailDecoderTest, QuadrantPhotoFillsTheCellWithItsColoursInPlace)
{
    FILE* file = std::fopen(Write("q.jpg", QuadrantJpeg(640, 480)).c_str(), "rb");
    ASSERT_NE(file, nullptr);
    CRgbPicture cell;
    std::string error;
    ASSERT_TRUE(DecodeThumbnail(file, cell, &error)) << error;
    std::fclose(file);
    ExpectQuadrants(cell);
}

TEST_F(ThumbnailDecoderTest, PhotosOfAnySizeFitTheCellWithTheirShapeKept)
{
    struct {
        int width, height, fittedWidth, fittedHeight;
    } const cases[] = {
        {60, 50, 120, 100},     // small: enlarged to the cell
        {37, 300, 12, 100},     // tall: full height
        {1000, 41, 120, 5},     // wide: full width
        {4000, 3000, 120, 90},  // camera
        {3000, 4000, 75, 100},  // portrait
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        CRgbPicture picture;
        ASSERT_EQ(Decode(QuadrantJpeg(c.width, c.height), picture), EDecodeStatus::Ok);
        ExpectQuadrants(FitToThumbnail(picture), c.fittedWidth, c.fittedHeight);
    }
}

TEST_F(ThumbnailDecoderTest, ScaleIsTheSmallestThatStillCoversTheCell)
{
    EXPECT_EQ(ChooseDctScale(640, 480), 2);    // 80 x 60 would be too small
    EXPECT_EQ(ChooseDctScale(4000, 3000), 1);  // 500 x 375
    EXPECT_EQ(ChooseDctScale(960, 800), 1);    // exactly 120 x 100
    EXPECT_EQ(ChooseDctScale(952, 800), 2);    // 119 wide at 1/8
    EXPECT_EQ(ChooseDctScale(960, 792), 2);    // 99 high at 1/8
    EXPECT_EQ(ChooseDctScale(480, 400), 2);
    EXPECT_EQ(ChooseDctScale(320, 266), 3);
    EXPECT_EQ(ChooseDctScale(119, 1000), 8);  // narrower than the cell: full size
    EXPECT_EQ(ChooseDctScale(0, 0), 8);

    CRgbPicture picture;
    ASSERT_EQ(Decode(QuadrantJpeg(640, 480), picture), EDecodeStatus::Ok);
    EXPECT_EQ(picture.width, 160);
    EXPECT_EQ(picture.height, 120);

    CDecodeOptions full;
    full.dctScaling = false;
    ASSERT_EQ(Decode(QuadrantJpeg(640, 480), picture, nullptr, full), EDecodeStatus::Ok);
    EXPECT_EQ(picture.width, 640);
    EXPECT_EQ(picture.height, 480);
}

TEST_F(ThumbnailDecoderTest, GrayscaleAndCmykPhotosKeepTheirColours)
{
    CRgbPicture picture;
    CJpegOptions gray;
    gray.components = 1;
    const std::string grayBytes = EncodeTestJpeg(
        320, 240,
        [](int x, int) {
            return x < 160 ? CTestRgb{40, 40, 40} : CTestRgb{210, 210, 210};
        },
        gray);
    ASSERT_EQ(Decode(grayBytes, picture), EDecodeStatus::Ok);
    CRgbPicture cell = FitToThumbnail(picture);
    EXPECT_TRUE(NearColour(cell.Pixel(20, 50), {40, 40, 40}, 8));
    EXPECT_TRUE(NearColour(cell.Pixel(100, 50), {210, 210, 210}, 8));

    CJpegOptions cmyk;
    cmyk.components = 4;
    std::string error;
    ASSERT_EQ(Decode(QuadrantJpeg(320, 240, cmyk), picture, &error), EDecodeStatus::Ok) << error;
    ExpectQuadrants(FitToThumbnail(picture));
}

TEST_F(ThumbnailDecoderTest, ProgressivePhotosDecodeWithinTheScanLimit)
{
    CJpegOptions progressive;
    progressive.progressive = true;
    const std::string bytes = QuadrantJpeg(640, 480, progressive);
    CRgbPicture picture;
    ASSERT_EQ(Decode(bytes, picture), EDecodeStatus::Ok);
    ExpectQuadrants(FitToThumbnail(picture));

    // A colour progression has ten scans: a limit below that refuses the file.
    CDecodeOptions strict;
    strict.maxScans = 5;
    std::string error;
    EXPECT_EQ(Decode(bytes, picture, &error, strict), EDecodeStatus::NotDecodable);
    EXPECT_NE(error.find("scans"), std::string::npos) << error;
    EXPECT_TRUE(picture.empty());
}

TEST_F(ThumbnailDecoderTest, OversizedPicturesAndMemoryHungryFilesAreRefused)
{
    CRgbPicture picture;
    std::string error;
    CDecodeOptions capped;
    capped.maxPixels = 640 * 480 - 1;
    EXPECT_EQ(Decode(QuadrantJpeg(640, 480), picture, &error, capped), EDecodeStatus::NotDecodable);
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    capped.maxPixels = 640 * 480;
    EXPECT_EQ(Decode(QuadrantJpeg(640, 480), picture, &error, capped), EDecodeStatus::Ok);

    // A progressive file keeps every coefficient in memory: 100 kB cannot hold 640 x 480.
    CJpegOptions progressive;
    progressive.progressive = true;
    CDecodeOptions tight;
    tight.maxMemory = 100 * 1024;
    EXPECT_EQ(Decode(QuadrantJpeg(640, 480, progressive), picture, &error, tight),
              EDecodeStatus::NotDecodable);
    EXPECT_FALSE(error.empty());
}

TEST_F(ThumbnailDecoderTest, BrokenFilesAreReportedAsUndecodable)
{
    const std::string good = QuadrantJpeg(640, 480);
    struct {
        const char* what;
        std::string bytes;
    } const cases[] = {
        {"png", PngBytes()},
        {"empty", std::string()},
        {"text", std::string("this is not a picture\n")},
        {"truncated in the pixels", good.substr(0, good.size() / 2)},
        {"header only", good.substr(0, 200)},
        {"garbage after the markers", good.substr(0, 700) + std::string(4000, '\x55')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CRgbPicture picture;
        std::string error;
        EXPECT_EQ(Decode(c.bytes, picture, &error), EDecodeStatus::NotDecodable);
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(picture.empty());
    }
}

TEST_F(ThumbnailDecoderTest, MissingFileAndCancelledDecodeAreToldApart)
{
    CRgbPicture picture;
    EXPECT_EQ(DecodeScaledPictureFile(m_dir + "none.jpg", picture), EDecodeStatus::CannotOpen);

    // A folder or a named pipe in place of a photo is refused without reading (a pipe would
    // block a reader for ever).
    EXPECT_EQ(DecodeScaledPictureFile(m_dir, picture), EDecodeStatus::NotDecodable);
    ASSERT_EQ(::mkfifo((m_dir + "pipe.jpg").c_str(), 0600), 0);
    EXPECT_EQ(DecodeScaledPictureFile(m_dir + "pipe.jpg", picture), EDecodeStatus::NotDecodable);

    std::atomic<bool> cancel{true};
    CDecodeOptions options;
    options.cancel = &cancel;
    EXPECT_EQ(Decode(QuadrantJpeg(640, 480), picture, nullptr, options), EDecodeStatus::Cancelled);
    cancel = false;
    EXPECT_EQ(Decode(QuadrantJpeg(640, 480), picture, nullptr, options), EDecodeStatus::Ok);
}

}  // namespace
