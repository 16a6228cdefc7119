#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "photos/ThumbnailDecoder.h"
#include "places/GeoPoint.h"

// Where a photo's time came from.
enum class EPhotoTimeSource {
    ExifOffset,  // DateTimeOriginal with OffsetTimeOriginal: turned into Japan time
    Exif,        // DateTimeOriginal alone: the camera's clock taken as Japan time
    FileTime,    // no capture time but a GPS position: the file's modification time
    Unknown,     // neither capture time nor position: for the user to place (「日時不明」)
};

// A moment as seconds since 1970-01-01 00:00 in Japan time (UTC+9), so that its calendar day is
// the day a Japanese angler calls it.
using JapanSeconds = int64_t;
inline constexpr int kJapanOffsetMinutes = 9 * 60;

// The Japan time of a camera's clock reading that was offsetMinutes ahead of UTC (the clock
// taken as Japan time when hasOffset is false).
JapanSeconds JapanTimeOfCapture(const CCaptureTime& time, bool hasOffset, int offsetMinutes);
// The Japan time of seconds since the Unix epoch.
JapanSeconds JapanTimeOfUnix(int64_t unixSeconds);
// The calendar fields of a Japan time.
CCaptureTime JapanCalendarOf(JapanSeconds seconds);

// One photo found, with what its header says.
struct CScannedPhoto {
    std::string path;
    EPhotoFormat format = EPhotoFormat::Unknown;
    uint64_t size = 0;
    EPhotoTimeSource timeSource = EPhotoTimeSource::Unknown;
    // The capture time in Japan time; for Unknown the file's time, shown as a hint only.
    JapanSeconds time = 0;
    bool hasPosition = false;
    CGeoPoint position;
    // The file itself (its device and inode) and a fingerprint of its first bytes, so that the
    // same file under another name, or a copy of it, is recognised without reading it again.
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t fingerprint = 0;
};

// A file that is no photo to propose, with the Japanese reason.
struct CSkippedFile {
    std::string path;
    std::string reason;
};

struct CPhotoScan {
    std::vector<CScannedPhoto> photos;  // in path order
    std::vector<CSkippedFile> skipped;
    bool cancelled = false;  // nothing of a cancelled scan is to be used
};

struct CPhotoScanOptions {
    // Set (from another thread) to stop the scan.
    const std::atomic<bool>* cancel = nullptr;
    // Called after each file: files done, files found.
    std::function<void(size_t done, size_t total)> progress;
    // A folder with more files than this is read up to it; the rest is listed as skipped.
    size_t maxFiles = 50000;
};

// Reasons a file is skipped, so callers and tests can tell them apart.
inline constexpr const char* kSkipVideoText = "動画は取り込みません";
inline constexpr const char* kSkipNotPhotoText = "写真ではありません";
inline constexpr const char* kSkipNotRegularText = "通常のファイルではありません";
inline constexpr const char* kSkipTooLargeText = "大きすぎるため読みません";
inline constexpr const char* kSkipUnreadableText = "読み込めません";
inline constexpr const char* kSkipTooManyText = "ファイルが多すぎるため読みません";
inline constexpr const char* kSkipLinkedFolderText = "フォルダへのリンクはたどりません";
inline constexpr const char* kSkipDuplicateText = "同じ内容の写真が先にあります";
inline constexpr const char* kSkipKnownText = "記録済みの釣行に付いています";

// Looks at the given files and every file below the given folders: photos (JPEG, HEIF, PNG,
// WebP, told by their first bytes) are read for their EXIF facts (never their pixels); anything
// else is listed as skipped with the reason.  A file of the same content as one before it is
// skipped as a duplicate.
CPhotoScan ScanPhotos(const std::vector<std::string>& inputs,
                      const CPhotoScanOptions& options = {});

// Moves every photo that is already attached to a trip of the log (the same file, or a file of
// the same content) from scan.photos to scan.skipped.  logPhotos are the paths the trips name;
// relative ones are taken from dataDir.
void SkipKnownPhotos(CPhotoScan& scan, const std::vector<std::string>& logPhotos,
                     const std::string& dataDir);
