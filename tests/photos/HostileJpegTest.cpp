#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "JpegTestFiles.h"
#include "data/PeakMemory.h"
#include "photos/ThumbnailDecoder.h"

namespace {

// Hostile and broken JPEG files decoded with the program's own limits (the default options), as
// every photo list decodes them.  Each ends as an undecodable photo, and none may take much
// more memory than a thumbnail needs.

struct CDecodeResult {
    bool ok = false;
    CRgbPicture picture;
    std::string error;
    long grownKb = -1;  // peak memory growth while decoding; -1 when it cannot be measured
};

CDecodeResult DecodeBytes(const std::string& bytes)
{
    CDecodeResult result;
    const bool measure = ResetPeakMemory();
    const long startKb = ReadStatusKb("VmRSS:");
    FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (file == nullptr) return result;
    result.ok = DecodeScaledPicture(file, result.picture, &result.error);
    std::fclose(file);
    if (measure) result.grownKb = PeakGrowthKb(startKb);
    return result;
}

// Position of the frame header (SOF0 or SOF2) of a file made by the test encoder.
size_t FrameHeader(const std::string& bytes)
{
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) == 0xFF &&
            (static_cast<unsigned char>(bytes[i + 1]) == 0xC0 ||
             static_cast<unsigned char>(bytes[i + 1]) == 0xC2))
            return i;
    }
    return std::string::npos;
}

// The same file claiming to be width x height pixels.
std::string ClaimSize(std::string bytes, int width, int height)
{
    const size_t sof = FrameHeader(bytes);
    // FF Cx, length (2), precision (1), height (2), width (2)
    bytes[sof + 5] = static_cast<char>(height >> 8);
    bytes[sof + 6] = static_cast<char>(height & 0xFF);
    bytes[sof + 7] = static_cast<char>(width >> 8);
    bytes[sof + 8] = static_cast<char>(width & 0xFF);
    return bytes;
}

std::string Progressive(int width, int height)
{
    CJpegOptions options;
    options.progressive = true;
    return QuadrantJpeg(width, height, options);
}

constexpr long kThumbnailBudgetKb = 64 * 1024;

TEST(HostileJpegTest, HugeClaimedDimensionsAreRefusedWithinTheThumbnailBudget)
{
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"65000 x 65000 baseline", ClaimSize(QuadrantJpeg(64, 48), 65000, 65000)},
        {"65000 x 65000 progressive", ClaimSize(Progressive(64, 48), 65000, 65000)},
        {"65535 x 4000 baseline", ClaimSize(QuadrantJpeg(64, 48), 65535, 4000)},
        // Under the pixel cap, but its coefficients would need far more than the memory cap.
        {"15000 x 15000 progressive", ClaimSize(Progressive(64, 48), 15000, 15000)},
        // Under both caps, but with pixel data for 64 x 48 only: it stops long before the
        // picture is complete, as in a file cut short, and is refused like one.
        {"15000 x 15000 baseline", ClaimSize(QuadrantJpeg(64, 48), 15000, 15000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CDecodeResult result = DecodeBytes(c.bytes);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.picture.empty());
        EXPECT_TRUE(result.picture.rgb.empty());
        EXPECT_FALSE(result.error.empty());
        if (result.grownKb >= 0) {
            EXPECT_LT(result.grownKb, kThumbnailBudgetKb);
        }
    }
}

// Thousands of scans, each of which would cost a pass over the whole picture, end after the
// scan limit instead of running on.
TEST(HostileJpegTest, ThousandsOfProgressiveScansAreCutOff)
{
    const std::string good = Progressive(640, 480);
    // Repeat the last scan (from its SOS marker up to the end-of-image marker) 3000 times.
    const size_t eoi = good.rfind("\xFF\xD9");
    const size_t lastScan = good.rfind("\xFF\xDA", eoi);
    ASSERT_NE(lastScan, std::string::npos);
    const std::string scan = good.substr(lastScan, eoi - lastScan);
    std::string hostile = good.substr(0, eoi);
    for (int i = 0; i < 3000; ++i) hostile += scan;
    hostile += "\xFF\xD9";

    const CDecodeResult result = DecodeBytes(hostile);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("scans"), std::string::npos) << result.error;
    EXPECT_TRUE(result.picture.empty());
    if (result.grownKb >= 0) {
        EXPECT_LT(result.grownKb, kThumbnailBudgetKb);
    }

    // The same file with 100 extra scans is still a photo (the limit is not too tight).
    std::string modest = good.substr(0, eoi);
    for (int i = 0; i < 100; ++i) modest += scan;
    modest += "\xFF\xD9";
    const CDecodeResult decoded = DecodeBytes(modest);
    EXPECT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.picture.width, 160);
}

TEST(HostileJpegTest, BrokenHeadersAreUndecodable)
{
    const std::string good = QuadrantJpeg(64, 48);
    const size_t sof = FrameHeader(good);
    ASSERT_NE(sof, std::string::npos);
    const auto patched = [&](size_t at, unsigned char value) {
        std::string bytes = good;
        bytes[at] = static_cast<char>(value);
        return bytes;
    };
    const size_t dqt = good.find("\xFF\xDB");
    const size_t dht = good.find("\xFF\xC4");
    const size_t sos = good.find("\xFF\xDA");
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"zero width", ClaimSize(good, 0, 48)},
        {"zero height", ClaimSize(good, 64, 0)},
        {"no components", patched(sof + 9, 0)},
        {"12-bit samples", patched(sof + 4, 12)},
        {"quantisation table number 9", patched(dqt + 4, 0x09)},
        {"Huffman table counts past 256", patched(dht + 5, 0xFF)},
        {"scan of a component the frame lacks", patched(sos + 5, 0x77)},
        {"marker length past the end of the file", patched(dqt + 2, 0xFF)},
        {"no start-of-image marker", good.substr(2)},
        {"cut inside the header", good.substr(0, sof + 6)},
        {"cut inside the pixels", good.substr(0, good.size() - 200)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CDecodeResult result = DecodeBytes(c.bytes);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.error.empty());
        EXPECT_TRUE(result.picture.empty());
        EXPECT_TRUE(result.picture.rgb.empty());
    }
}

// Damage inside the compressed pixels, one byte at a time all through the file: each either ends
// as undecodable or still gives a whole picture of the file's size, never anything in between.
TEST(HostileJpegTest, DamagedBytesAnywhereGiveAWholePictureOrNone)
{
    for (const bool progressive : {false, true}) {
        const std::string good = progressive ? Progressive(96, 64) : QuadrantJpeg(96, 64);
        int refused = 0, decoded = 0;
        for (size_t at = 2; at < good.size(); at += 3) {
            std::string bytes = good;
            bytes[at] = static_cast<char>(bytes[at] ^ 0xA5);
            const CDecodeResult result = DecodeBytes(bytes);
            if (result.ok) {
                ++decoded;
                ASSERT_FALSE(result.picture.empty()) << "byte " << at;
                ASSERT_EQ(result.picture.rgb.size(),
                          size_t(result.picture.width) * result.picture.height * 3)
                    << "byte " << at;
                const CRgbPicture cell = FitToThumbnail(result.picture);
                EXPECT_TRUE(cell.width == 120 || cell.height == 100);
            } else {
                ++refused;
                ASSERT_TRUE(result.picture.empty()) << "byte " << at;
                ASSERT_FALSE(result.error.empty()) << "byte " << at;
            }
        }
        EXPECT_GT(refused, 0) << "progressive " << progressive;
        EXPECT_GT(decoded, 0) << "progressive " << progressive;
    }
}

}  // namespace
