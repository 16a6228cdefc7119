#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <array>

#include "photos/PhotoTestFiles.h"
#include "photos/widgets/ThumbnailImageReader.h"
#include "support/TempProgramDir.h"
#include "uikit/QtText.h"

namespace {

class ThumbnailImageReaderTest : public ::testing::Test {
protected:
    ThumbnailImageReaderTest() : m_dir(MakeTempDir()) {}
    ~ThumbnailImageReaderTest() override { RemoveTree(m_dir); }

    // A 320 x 240 quadrant picture saved by Qt in format; its bytes.
    std::string Saved(const char* format)
    {
        QImage image(320, 240, QImage::Format_RGB888);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const CTestRgb c = QuadrantPixel(x, y, 320, 240);
                image.setPixel(x, y, qRgb(c.r, c.g, c.b));
            }
        const QString path = QStringFromStd(m_dir + "saved");
        EXPECT_TRUE(image.save(path, format, 90));
        return ReadFileBytes(m_dir + "saved");
    }
    EDecodeStatus Decode(const std::string& bytes, CRgbPicture& picture,
                         const CDecodeOptions& options = {})
    {
        WriteFileBytes(m_dir + "photo.jpg", bytes);
        return DecodeThumbnailPicture(QStringFromStd(m_dir + "photo.jpg"), picture, nullptr,
                                      options);
    }

    std::string m_dir;
};

uint32_t Crc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= uint8_t(byte);
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

// The PNG with its header claiming width x height (checksum made to match).
std::string ClaimPngSize(std::string png, uint32_t width, uint32_t height)
{
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = char(width >> (24 - 8 * i));
        png[20 + i] = char(height >> (24 - 8 * i));
    }
    const uint32_t crc = Crc32(png.substr(12, 17));
    for (int i = 0; i < 4; ++i) png[29 + i] = char(crc >> (24 - 8 * i));
    return png;
}

TEST_F(ThumbnailImageReaderTest, HostilePngWebpAndTiffFilesAreRefusedWithinTheLimits)
{
    CDecodeOptions small;
    small.maxPixels = 320 * 240 - 1;
    for (const char* format : {"PNG", "WEBP", "TIFF"}) {
        SCOPED_TRACE(format);
        const std::string bytes = Saved(format);
        CRgbPicture picture;
        ASSERT_EQ(Decode(bytes, picture), EDecodeStatus::Ok);
        // Readers that can shrink while decoding stop at the cell.
        EXPECT_GE(picture.height, kThumbnailHeight);
        EXPECT_NEAR(double(picture.width) / picture.height, 4.0 / 3.0, 0.02);
        EXPECT_TRUE(NearColour(picture.Pixel(10, 10), kTestRed));
        // More pixels than allowed: refused from the header alone.
        EXPECT_EQ(Decode(bytes, picture, small), EDecodeStatus::NotDecodable);
        EXPECT_TRUE(picture.empty());
        // More memory than allowed (Qt's 32-bit pixels and the converted copy): likewise.
        CDecodeOptions lowMemory;
        lowMemory.maxMemory = 320 * 240 * 4;
        EXPECT_EQ(Decode(bytes, picture, lowMemory), EDecodeStatus::NotDecodable);
        EXPECT_TRUE(picture.empty());
        for (const size_t cut : {size_t(12), bytes.size() / 3}) {
            SCOPED_TRACE(cut);
            EXPECT_EQ(Decode(bytes.substr(0, cut), picture), EDecodeStatus::NotDecodable);
            EXPECT_TRUE(picture.empty());
        }
    }
    // A header claiming billions of pixels costs nothing.
    CRgbPicture picture;
    EXPECT_EQ(Decode(ClaimPngSize(Saved("PNG"), 100000, 100000), picture),
              EDecodeStatus::NotDecodable);
    EXPECT_EQ(Decode(ClaimPngSize(Saved("PNG"), 16000, 16000), picture),
              EDecodeStatus::NotDecodable);
}

}  // namespace
