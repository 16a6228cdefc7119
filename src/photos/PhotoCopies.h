#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/TripRecord.h"

class CDataFolder;

// The picture folder (Data/Picture/) that keeps copies of the photos of saved trips, and the
// rules that keep those copies from colliding or dangling:
//  - a photo already in the folder is used where it is;
//  - a copy takes the photo's file name; when that name is taken by a different picture the copy
//    gets the next free "name_2.ext", "name_3.ext", ...; a byte-identical copy is reused;
//  - copies are made with exclusive creation, so an existing file is never overwritten;
//  - a copy is deleted only when no trip names it any more;
//  - photos are copied and compared in chunks, never read whole, and a photo larger than
//    kMaxPhotoFileBytes (data/GuardedFile.h), one that is not a regular file, one whose header
//    does not read as a picture (photos/PictureHeader.h), and any file of the kernel's own file
//    systems
//    (/proc, /sys, /dev) is not copied;
//  - a copy is never more readable than its source (a private file gives a private copy).
// Reasons a file is not copied, so callers and tests can tell the cases apart.
inline constexpr const char* kNotPictureText = "画像ファイルではありません";
inline constexpr const char* kSystemFileText = "システムのファイルのためコピーしません";

class CPhotoCopies {
public:
    // The picture folder of the Data folder.
    explicit CPhotoCopies(const CDataFolder& folder);
    // Any folder; a missing trailing "/" is added.
    explicit CPhotoCopies(std::string pictureDir);

    const std::string& GetPictureDir() const { return m_pictureDir; }

    // True when path names a file directly inside the picture folder (symbolic links and "..",
    // "." resolved).
    bool IsInPictureDir(const std::string& path) const;

    // The path a trip should name for source: source itself when it is in the folder already,
    // otherwise the copy, made when needed (the folder is created when missing).  newCopy tells
    // whether this call created the file.  Returns false with a reason when no copy could be made.
    bool CopyIntoPictureDir(const std::string& source, std::string& target, bool& newCopy,
                            std::string* error = nullptr) const;

    // What copying the photos of one trip did.
    struct CCopyReport {
        std::vector<std::string> failed;     // photos that kept their own path, with the reason
        std::vector<std::string> newCopies;  // files this call created
        bool cancelled = false;  // the progress function stopped it; later photos were left
    };
    // Replaces every place and fish photo path of trip by the path of its copy.  A photo that
    // cannot be copied keeps its path and is listed in the report.  The progress function sees
    // the bytes of all the trip's photos together.
    CCopyReport CopyTripPhotos(CTripRecord& trip) const;

    // Deletes, in order, each of removed that lies in the picture folder and is named by none of
    // trips.  Failures are ignored.  Returns the files deleted.  remove (when given) deletes a
    // file instead of unlink, true when it did.
    std::vector<std::string> DeleteUnusedCopies(
        const std::vector<std::string>& removed, const std::vector<CTripRecord>& trips,
        const std::function<bool(const std::string&)>& remove = {}) const;

    // True when both paths name regular photo files of the same bytes (read in chunks, sizes
    // first); false when either cannot be read.
    static bool SameFileContent(const std::string& a, const std::string& b);

    // Deletes the given files (copies made for a save that then failed).
    static void DeleteFiles(const std::vector<std::string>& paths);

    // The longest photo path the catch file gives back unchanged (CP932 bytes).
    static constexpr size_t kMaxPathBytes = 255;

    // Called after each chunk copied, for a progress display: by CopyIntoPictureDir with the
    // bytes of the photo copied so far and its size, by CopyTripPhotos with the bytes of all the
    // trip's photos done so far and their sum.  Returning false cancels the copy (no file is left
    // of it).
    using ProgressFunction = std::function<bool(uint64_t copied, uint64_t total)>;
    void SetProgressFunction(ProgressFunction progress) { m_progress = std::move(progress); }

private:
    bool CopyIntoPictureDir(const std::string& source, std::string& target, bool& newCopy,
                            std::string* error, const ProgressFunction& progress) const;

    std::string m_pictureDir;
    ProgressFunction m_progress;
};
