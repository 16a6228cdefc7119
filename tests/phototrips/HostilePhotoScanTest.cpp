#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "photos/PhotoExif.h"
#include "photos/ThumbnailDecoder.h"
#include "phototrips/PhotoScan.h"
#include "phototrips/PhotoTripTestFiles.h"

namespace {

// What became of a file: skipped with a reason, or a photo whose time is unknown.
constexpr const char* kUndated = "日時不明";

struct CHostileCase {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* outcome;
};

TEST(HostilePhotoScanTest, EveryFileIsListedAndNoneBlocksTheRest)
{
    const std::string dir = MakeTempDir();
    const std::string jpeg = PlainJpeg(64, 48, kTestRed);
    const CHostileCase cases[] = {
        {"fifo.jpg", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         kSkipNotRegularText},
        {"loop", [&](const std::string& p) { std::filesystem::create_directory_symlink(dir, p); },
         kSkipLinkedFolderText},
        {"empty.jpg", [](const std::string& p) { WriteFileBytes(p, ""); }, kSkipUnreadableText},
        {"notes.txt", [](const std::string& p) { WriteFileBytes(p, "釣り日記\n"); },
         kSkipNotPhotoText},
        {"clip.mov",
         [](const std::string& p) {
             WriteFileBytes(p, std::string("\0\0\0\x14"
                                           "ftypqt  ",
                                           12));
         },
         kSkipVideoText},
        {"huge.jpg",
         [&](const std::string& p) {
             WriteFileBytes(p, jpeg);
             ASSERT_EQ(::truncate(p.c_str(), off_t(3) << 30), 0);  // sparse: takes no disk
         },
         kSkipTooLargeText},
        {"truncated.jpg", [&](const std::string& p) { WriteFileBytes(p, jpeg.substr(0, 40)); },
         kUndated},
        {"junk-after-magic.jpg",
         [](const std::string& p) {
             WriteFileBytes(p, "\xFF\xD8\xFF\xE1\xFF\xFF" + std::string(5000, 'x'));
         },
         kUndated},
        {"png-huge-chunk.png",
         [](const std::string& p) {
             WriteFileBytes(p, TinyPng().substr(0, 33) + BigEndian(0x7FFFFFF0) + "eXIf" + "MM\0*");
         },
         kUndated},
        {"webp-bad-chunk.webp",
         [](const std::string& p) {
             WriteFileBytes(
                 p, std::string("RIFF\xff\xff\xff\xffWEBPEXIF\xff\xff\xff\x7f", 20) + "II*");
         },
         kUndated},
        {"zz-copy-of-good.jpg",
         [&](const std::string& p) { WriteFileBytes(p, ReadFileBytes(dir + "good.jpg")); },
         kSkipDuplicateText},
    };
    WriteTestPhotos(dir, {{"good.jpg", "2026:05:03 06:00:00", "+09:00", 35.1, 139.6}});
    for (const CHostileCase& test : cases) test.make(dir + test.name);

    const CPhotoScan scan = ScanPhotos({dir});
    ASSERT_FALSE(scan.cancelled);
    for (const CHostileCase& test : cases) {
        SCOPED_TRACE(test.name);
        std::string outcome = "(not listed)";
        for (const CSkippedFile& skipped : scan.skipped)
            if (std::filesystem::path(skipped.path).filename() == test.name)
                outcome = skipped.reason;
        for (const CScannedPhoto& photo : scan.photos)
            if (std::filesystem::path(photo.path).filename() == test.name)
                outcome = photo.timeSource == EPhotoTimeSource::Unknown ? kUndated : "dated";
        EXPECT_EQ(outcome, test.outcome);
    }
    ASSERT_FALSE(scan.photos.empty());
    EXPECT_EQ(std::filesystem::path(scan.photos.front().path).filename(), "good.jpg");
    EXPECT_EQ(scan.photos.front().timeSource, EPhotoTimeSource::ExifOffset);
    RemoveTree(dir);
}

TEST(HostilePhotoScanTest, ManyFilesAreCappedAndACancelKeepsNothing)
{
    const std::string dir = MakeTempDir();
    for (int i = 0; i < 5; ++i) WriteFileBytes(dir + "f" + std::to_string(i) + ".txt", "x");
    CPhotoScanOptions options;
    options.maxFiles = 3;
    CPhotoScan scan = ScanPhotos({dir}, options);
    ASSERT_EQ(scan.skipped.size(), 4u);  // three read, one listed as too many
    EXPECT_EQ(
        std::count_if(scan.skipped.begin(), scan.skipped.end(),
                      [](const CSkippedFile& file) { return file.reason == kSkipTooManyText; }),
        1);

    std::atomic<bool> cancel{false};
    size_t calls = 0;
    options = {};
    options.cancel = &cancel;
    options.progress = [&](size_t done, size_t total) {
        EXPECT_EQ(total, 5u);
        if (++calls == 2) cancel = true;
        (void)done;
    };
    scan = ScanPhotos({dir}, options);
    EXPECT_TRUE(scan.cancelled);
    EXPECT_EQ(calls, 2u);
    RemoveTree(dir);
}

// A photo of the log is known however it comes back (another name for the file, a link, a copy);
// a photo of the same size is not taken for it unless every byte is the same.
TEST(HostilePhotoScanTest, PhotosOfTheLogAreKnownByFileOrWholeContent)
{
    const std::string log = MakeTempDir();
    WriteTestPhotos(log, {{"a.jpg", "2026:05:03 06:00:00", "+09:00", 35.1, 139.6}});
    const std::string photo = ReadFileBytes(log + "a.jpg");
    // Larger than the head the scan reads, so that only a full comparison tells them apart.
    const std::string padded = photo + std::string(3 * kPhotoHeadBytes, '\0');
    WriteFileBytes(log + "padded.jpg", padded);
    const auto changed = [](std::string bytes, size_t at) {
        bytes[at] = char(bytes[at] ^ 0x55);
        return bytes;
    };
    const struct {
        const char* what;
        std::function<void(const std::string& path)> make;
        bool known;
    } cases[] = {
        {"another name for the file",
         [&](const std::string& p) { ASSERT_EQ(::link((log + "a.jpg").c_str(), p.c_str()), 0); },
         true},
        {"a link to it",
         [&](const std::string& p) { std::filesystem::create_symlink(log + "a.jpg", p); }, true},
        {"a copy", [&](const std::string& p) { WriteFileBytes(p, photo); }, true},
        {"a padded copy", [&](const std::string& p) { WriteFileBytes(p, padded); }, true},
        {"the same head, the last byte changed",
         [&](const std::string& p) { WriteFileBytes(p, changed(padded, padded.size() - 1)); },
         false},
        {"the same size, a header byte changed",
         [&](const std::string& p) { WriteFileBytes(p, changed(photo, 3)); }, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const std::string dir = MakeTempDir();
        test.make(dir + "p.jpg");
        CPhotoScan scan = ScanPhotos({dir});
        ASSERT_EQ(scan.photos.size(), 1u);
        SkipKnownPhotos(scan, {"a.jpg", log + "padded.jpg", "missing.jpg"}, log);
        EXPECT_EQ(scan.photos.empty(), test.known);
        EXPECT_EQ(!scan.skipped.empty() && scan.skipped.back().reason == kSkipKnownText,
                  test.known);
        RemoveTree(dir);
    }
    RemoveTree(log);
}

TEST(HostilePhotoScanTest, ReadsExifOffsets)
{
    const struct {
        const char* text;
        bool ok;
        int minutes;
    } cases[] = {{"+09:00", true, 540}, {"-05:30", true, -330}, {"+00:00", true, 0},
                 {"   :  ", false, 0},  {"+9:00", false, 0},    {"+15:00", false, 0},
                 {"+09:60", false, 0},  {"", false, 0},         {"09:00+", false, 0}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        int minutes = 0;
        EXPECT_EQ(ParseExifOffset(test.text, minutes), test.ok);
        EXPECT_EQ(minutes, test.minutes);
    }
}

}  // namespace
