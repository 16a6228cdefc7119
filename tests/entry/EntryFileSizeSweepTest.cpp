#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "data/DataFolder.h"
#include "data/GuardedFile.h"
#include "data/TextEncoding.h"
#include "entry/FishNameList.h"
#include "photos/PhotoCopies.h"
#include "support/HostileBytes.h"
#include "support/LimitedChild.h"
#include "support/PictureBytes.h"
#include "support/TempProgramDir.h"

namespace {

// A species list of every size up to its limit is read whole (a 100 MB list used to take 70 s
// and 4.9 GB per entry dialog); a larger one or a pipe is refused, and no list is written that
// the readers would refuse.
TEST(EntryFileSizeSweepTest, SpeciesListsOfEverySize)
{
    const size_t limit = kMaxSpeciesFileBytes;
    for (const size_t size : {size_t{0}, size_t{1}, limit - 1, limit, limit + 1, 64 * limit}) {
        SCOPED_TRACE(size);
        CTempProgramDir dir;
        const std::string bytes = HostileBytes(size, "\x83\x81\x83\x6f\x83\x8b\r\n", 5);
        dir.WriteFile(kSpeciesFileName, bytes);
        const CChildOutcome outcome = RunLimited([&] {
            std::vector<std::string> entries;
            std::string error;
            if (!ReadSpeciesList(dir.Folder(), entries, &error)) return "refused: " + error;
            std::string joined;
            for (const std::string& entry : entries) joined += entry;
            return std::string(joined == DecodeTextFileBytes(bytes) ? "read" : "changed");
        });
        ASSERT_TRUE(outcome.finished) << "hung or ran out of memory, signal " << outcome.signal;
        if (size <= limit) {
            EXPECT_EQ(outcome.output, "read");
        } else {
            EXPECT_NE(outcome.output.find(kTooLargeFileText), std::string::npos) << outcome.output;
        }
    }
    CTempProgramDir dir;
    const std::vector<std::string> tooMany(limit / 4, "タイ");  // 6 bytes a line in CP932
    std::string error;
    EXPECT_FALSE(WriteSpeciesList(dir.Folder(), tooMany, &error));
    EXPECT_NE(error.find(kTooLargeFileText), std::string::npos) << error;
    EXPECT_NE(dir.ReadFile(kSpeciesFileName).size(), 0u);  // the old list is still there

    std::remove(dir.Path(kSpeciesFileName).c_str());
    ASSERT_EQ(::mkfifo(dir.Path(kSpeciesFileName).c_str(), 0600), 0);
    const CChildOutcome pipe = RunLimited([&] {
        std::vector<std::string> entries;
        std::string error;
        return std::string(ReadSpeciesList(dir.Folder(), entries, &error) ? "read" : error);
    });
    ASSERT_TRUE(pipe.finished) << "a pipe blocked the species list, signal " << pipe.signal;
    EXPECT_NE(pipe.output.find(kNotRegularFileText), std::string::npos) << pipe.output;
}

// Photos of sizes around the copy's chunk size are copied byte for byte and found again; one
// past the limit is refused from its size alone.
TEST(EntryFileSizeSweepTest, PhotosOfEverySize)
{
    constexpr size_t kChunk = size_t{1} << 20;
    CTempProgramDir dir;
    const std::string outside = MakeTempDir();
    for (const size_t size :
         {size_t{0}, size_t{1}, kChunk - 1, kChunk, kChunk + 1, 3 * kChunk + 7}) {
        SCOPED_TRACE(size);
        const std::string name = "p" + std::to_string(size) + ".jpg";
        // Too short to hold a picture's header, a file is no picture and is not copied.
        const size_t header = JpegHeaderBytes().size();
        const bool picture = size >= header;
        const std::string bytes =
            picture ? JpegHeaderBytes() + HostileBytes(size - header, "\xFF\xD8\xFF\xE0",
                                                       static_cast<unsigned>(size))
                    : HostileBytes(size, "\xFF\xD8\xFF\xE0", static_cast<unsigned>(size));
        WriteFileBytes(outside + name, bytes);
        const CChildOutcome outcome = RunLimited([&] {
            std::string target;
            std::string again;
            bool newCopy = false;
            const CPhotoCopies copies(dir.Folder());
            if (!copies.CopyIntoPictureDir(outside + name, target, newCopy))
                return std::string("failed");
            if (!copies.CopyIntoPictureDir(outside + name, again, newCopy) || again != target ||
                newCopy)
                return std::string("copied twice");
            return target;
        });
        ASSERT_TRUE(outcome.finished) << "hung or ran out of memory, signal " << outcome.signal;
        if (!picture) {
            EXPECT_EQ(outcome.output, "failed");
            EXPECT_FALSE(dir.Exists("Data/Picture/" + name));
            continue;
        }
        EXPECT_EQ(outcome.output, dir.Path("Data/Picture/" + name));
        EXPECT_EQ(ReadFileBytes(dir.Path("Data/Picture/" + name)), bytes);
    }
    const int fd = ::open((outside + "over.jpg").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxPhotoFileBytes + 1)), 0);
    ::close(fd);
    std::string target;
    std::string error;
    bool newCopy = false;
    EXPECT_FALSE(CPhotoCopies(dir.Folder())
                     .CopyIntoPictureDir(outside + "over.jpg", target, newCopy, &error));
    EXPECT_NE(error.find(kTooLargeFileText), std::string::npos) << error;
    EXPECT_FALSE(dir.Exists("Data/Picture/over.jpg"));
    RemoveTree(outside);
}

}  // namespace
