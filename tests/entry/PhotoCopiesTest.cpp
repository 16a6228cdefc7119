#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "entry/PhotoCopies.h"
#include "support/TempProgramDir.h"

namespace {

class PhotoCopiesTest : public ::testing::Test {
protected:
    void SetUp() override { m_outside = MakeTempDir(); }
    void TearDown() override { RemoveTree(m_outside); }

    // A photo outside the program directory: relative is "folder/name.jpg".
    std::string Photo(const std::string& relative, const std::string& bytes)
    {
        const std::string path = m_outside + relative;
        const std::string folder = path.substr(0, path.rfind('/'));
        ::mkdir(folder.c_str(), 0755);
        WriteFileBytes(path, bytes);
        return path;
    }
    std::string Picture(const std::string& name) const
    {
        return m_dir.Path("Data/Picture/" + name);
    }

    CTempProgramDir m_dir;
    std::string m_outside;
};

TEST_F(PhotoCopiesTest, CopiesAPhotoUnderItsOwnNameAndReusesAnIdenticalCopy)
{
    const CPhotoCopies copies;
    EXPECT_EQ(copies.GetPictureDir(), m_dir.Path("Data/Picture/"));
    const std::string source = Photo("trip/seabass.jpg", "JPEG-A");

    std::string target;
    bool newCopy = false;
    ASSERT_TRUE(copies.CopyIntoPictureDir(source, target, newCopy));
    EXPECT_EQ(target, Picture("seabass.jpg"));
    EXPECT_TRUE(newCopy);
    EXPECT_EQ(ReadFileBytes(target), "JPEG-A");

    // The same picture again (this trip saved twice, or picked for another trip) shares the copy.
    ASSERT_TRUE(copies.CopyIntoPictureDir(source, target, newCopy));
    EXPECT_EQ(target, Picture("seabass.jpg"));
    EXPECT_FALSE(newCopy);
    EXPECT_FALSE(m_dir.Exists("Data/Picture/seabass_2.jpg"));
}

TEST_F(PhotoCopiesTest, SameNamedPhotosFromTwoFoldersGetDistinctCopies)
{
    CTripRecord trip;
    trip.placePhotos = {Photo("day1/DSC0001.JPG", "first picture")};
    trip.fishPhotos = {Photo("day2/DSC0001.JPG", "second picture"),
                       Photo("day3/DSC0001.JPG", "third picture")};

    const CPhotoCopies::CCopyReport report = CPhotoCopies().CopyTripPhotos(trip);

    EXPECT_TRUE(report.failed.empty());
    EXPECT_EQ(trip.placePhotos, std::vector<std::string>{Picture("DSC0001.JPG")});
    EXPECT_EQ(trip.fishPhotos,
              (std::vector<std::string>{Picture("DSC0001_2.JPG"), Picture("DSC0001_3.JPG")}));
    EXPECT_EQ(report.newCopies.size(), 3u);
    // Every trip path names its own picture: nothing was overwritten.
    EXPECT_EQ(ReadFileBytes(Picture("DSC0001.JPG")), "first picture");
    EXPECT_EQ(ReadFileBytes(Picture("DSC0001_2.JPG")), "second picture");
    EXPECT_EQ(ReadFileBytes(Picture("DSC0001_3.JPG")), "third picture");
}

TEST_F(PhotoCopiesTest, APhotoAlreadyInThePictureFolderKeepsItsPath)
{
    m_dir.WriteFile("Data/Picture/kept.jpg", "saved before");
    const CPhotoCopies copies;
    for (const std::string& path :
         {Picture("kept.jpg"), m_dir.Path("Data/Picture/../Picture/kept.jpg")}) {
        std::string target;
        bool newCopy = true;
        ASSERT_TRUE(copies.CopyIntoPictureDir(path, target, newCopy)) << path;
        EXPECT_EQ(target, path);
        EXPECT_FALSE(newCopy);
    }
    EXPECT_FALSE(m_dir.Exists("Data/Picture/kept_2.jpg"));
    // Even a picture there whose file has gone keeps its path instead of failing.
    std::string target;
    bool newCopy = true;
    EXPECT_TRUE(copies.CopyIntoPictureDir(Picture("gone.jpg"), target, newCopy));
    EXPECT_EQ(target, Picture("gone.jpg"));
}

TEST_F(PhotoCopiesTest, CreatesAMissingPictureFolder)
{
    RemoveTree(m_dir.Path("Data/Picture/"));
    ASSERT_FALSE(m_dir.Exists("Data/Picture"));
    std::string target;
    bool newCopy = false;
    ASSERT_TRUE(CPhotoCopies().CopyIntoPictureDir(Photo("a/x.jpg", "x"), target, newCopy));
    EXPECT_EQ(target, Picture("x.jpg"));
    EXPECT_EQ(ReadFileBytes(target), "x");
}

TEST_F(PhotoCopiesTest, APhotoThatCannotBeCopiedKeepsItsOwnPathAndIsReported)
{
    CTripRecord trip;
    const std::string missing = m_outside + "nowhere/lost.jpg";
    const std::string good = Photo("b/good.jpg", "good");
    trip.fishPhotos = {missing, good};

    const CPhotoCopies::CCopyReport report = CPhotoCopies().CopyTripPhotos(trip);

    EXPECT_EQ(trip.fishPhotos, (std::vector<std::string>{missing, Picture("good.jpg")}));
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_NE(report.failed[0].find(missing), std::string::npos);
    EXPECT_FALSE(m_dir.Exists("Data/Picture/lost.jpg"));

    // A picture folder that cannot be written: the copy fails, the original path stays.
    if (::geteuid() != 0) {
        ::chmod(m_dir.Path("Data/Picture").c_str(), 0555);
        CTripRecord other;
        other.placePhotos = {Photo("c/blocked.jpg", "blocked")};
        const CPhotoCopies::CCopyReport blocked = CPhotoCopies().CopyTripPhotos(other);
        ::chmod(m_dir.Path("Data/Picture").c_str(), 0755);
        EXPECT_EQ(other.placePhotos[0], m_outside + "c/blocked.jpg");
        EXPECT_EQ(blocked.failed.size(), 1u);
    }
}

TEST_F(PhotoCopiesTest, DeletesARemovedCopyOnlyWhenNoTripNamesIt)
{
    m_dir.WriteFile("Data/Picture/shared.jpg", "shared");
    m_dir.WriteFile("Data/Picture/own.jpg", "own");
    const std::string users = Photo("mine/own.jpg", "the user's own file");
    CTripRecord other;
    other.fishPhotos = {Picture("shared.jpg")};
    CTripRecord edited;  // the saved trip no longer names either

    const std::vector<std::string> deleted = CPhotoCopies().DeleteUnusedCopies(
        {Picture("shared.jpg"), Picture("own.jpg"), users, Picture("own.jpg")}, {other, edited});

    EXPECT_EQ(deleted, std::vector<std::string>{Picture("own.jpg")});
    EXPECT_TRUE(m_dir.Exists("Data/Picture/shared.jpg"));  // another trip still shows it
    EXPECT_FALSE(m_dir.Exists("Data/Picture/own.jpg"));
    EXPECT_EQ(ReadFileBytes(users), "the user's own file");  // outside the folder: never ours
}

TEST_F(PhotoCopiesTest, ARemovedPhotoThatIsAddedAgainIsKept)
{
    m_dir.WriteFile("Data/Picture/back.jpg", "back");
    CTripRecord saved;
    saved.placePhotos = {m_dir.Path("Data/./Picture/back.jpg")};
    EXPECT_TRUE(CPhotoCopies().DeleteUnusedCopies({Picture("back.jpg")}, {saved}).empty());
    EXPECT_TRUE(m_dir.Exists("Data/Picture/back.jpg"));
}

TEST_F(PhotoCopiesTest, TellsPathsInsideThePictureFolderFromOthers)
{
    const CPhotoCopies copies(m_dir.Path("Data/Picture"));  // trailing "/" added
    EXPECT_TRUE(copies.IsInPictureDir(Picture("a.jpg")));
    EXPECT_TRUE(copies.IsInPictureDir(m_dir.Path("Data/x/../Picture/a.jpg")));
    EXPECT_FALSE(copies.IsInPictureDir(m_dir.Path("Data/a.jpg")));
    EXPECT_FALSE(copies.IsInPictureDir(Picture("sub/a.jpg")));
    EXPECT_FALSE(copies.IsInPictureDir(m_dir.Path("Data/Pictures/a.jpg")));
    EXPECT_FALSE(copies.IsInPictureDir(""));
}

}  // namespace
