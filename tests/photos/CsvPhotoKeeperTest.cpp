#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "JpegTestFiles.h"
#include "data/CatchStore.h"
#include "data/TripCsv.h"
#include "photos/CsvPhotoKeeper.h"
#include "support/TempProgramDir.h"

namespace {

std::string Csv(const std::vector<std::string>& rows)
{
    std::string csv = std::string(kTripCsvHeader) + "\r\n";
    for (const std::string& row : rows) csv += row + "\r\n";
    return csv;
}

std::vector<std::string> PictureFolder(const CTempProgramDir& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path("Data/Picture")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// Photos named by imported trips are copied as a trip's first save copies them; a photo that
// cannot be copied is listed and the trip still names it; copies of an import that does not
// happen are taken back, and a second import of the file copies and adds nothing.
TEST(CsvPhotoKeeper, ImportedTripsNameCopiesInThePictureFolder)
{
    CTempProgramDir dir;
    std::filesystem::create_directories(dir.Path("Data/Picture"));
    std::filesystem::create_directories(dir.Path("camera"));
    const std::string jpeg = PlainJpeg(32, 24, kTestRed);
    dir.WriteFile("camera/fish.jpg", jpeg);
    dir.WriteFile("camera/place.jpg", PlainJpeg(24, 32, kTestBlue));
    const std::string fish = dir.Path("camera/fish.jpg");
    const std::string missing = dir.Path("camera/gone.jpg");
    dir.WriteFile("trips.csv", Csv({"1,2024/4/14,,,,,,,,," + missing + "," + fish + ",アジ,20,0.1,",
                                    "2,2024/4/15,,,,,,,,,," + fish + ",サバ,30,0.3,"}));
    CCatchStore store(dir.CatchFile());
    const CPhotoCopies copies(dir.Path("Data/Picture/"));

    const auto first =
        ImportTripsCsvFile(store, dir.Path("trips.csv"), nullptr, MakeCsvPhotoKeeper(copies));
    ASSERT_TRUE(first.error.empty()) << first.error;
    EXPECT_EQ(first.added, 2u);
    ASSERT_EQ(first.photoProblems.size(), 1u);  // listed once though the row names it
    EXPECT_NE(first.photoProblems[0].find("gone.jpg"), std::string::npos);
    std::vector<CTripRecord> trips;
    ASSERT_TRUE(CCatchStore(dir.CatchFile()).ReadAllTrips(trips).ok());
    ASSERT_EQ(trips.size(), 2u);
    EXPECT_EQ(trips[0].placePhotos, std::vector<std::string>{missing});
    EXPECT_EQ(trips[0].fishPhotos, std::vector<std::string>{dir.Path("Data/Picture/fish.jpg")});
    EXPECT_EQ(trips[1].fishPhotos, trips[0].fishPhotos);
    EXPECT_EQ(dir.ReadFile("Data/Picture/fish.jpg"), jpeg);
    EXPECT_EQ(PictureFolder(dir), std::vector<std::string>{"fish.jpg"});

    const auto again =
        ImportTripsCsvFile(store, dir.Path("trips.csv"), nullptr, MakeCsvPhotoKeeper(copies));
    EXPECT_EQ(again.added, 0u);
    EXPECT_EQ(again.known, 2u);
    EXPECT_EQ(PictureFolder(dir), std::vector<std::string>{"fish.jpg"});

    // Declined at the preview: the copy made for it goes again.
    dir.WriteFile("more.csv",
                  Csv({"1,2024/5/1,,,,,,,,," + dir.Path("camera/place.jpg") + ",,,,,"}));
    const auto declined = ImportTripsCsvFile(
        store, dir.Path("more.csv"), [](const CCsvImportOutcome&) { return false; },
        MakeCsvPhotoKeeper(copies));
    EXPECT_EQ(declined.added, 0u);
    EXPECT_EQ(PictureFolder(dir), std::vector<std::string>{"fish.jpg"});
}

// An undone import takes the photo copies it made with it; a redo brings them back.
TEST(CsvPhotoKeeper, AnUndoneImportTakesItsPhotoCopiesAndARedoBringsThemBack)
{
    CTempProgramDir dir;
    std::filesystem::create_directories(dir.Path("Data/Picture"));
    const std::string jpeg = PlainJpeg(32, 24, kTestRed);
    dir.WriteFile("camera/fish.jpg", jpeg);
    dir.WriteFile("trips.csv",
                  Csv({"1,2024/4/14,,,,,,,,,," + dir.Path("camera/fish.jpg") + ",アジ,20,0.1,"}));
    CCatchStore store(dir.CatchFile());
    store.EnableUndo(true);
    const CPhotoCopies copies(dir.Path("Data/Picture/"));
    const auto imported =
        ImportTripsCsvFile(store, dir.Path("trips.csv"), nullptr, MakeCsvPhotoKeeper(copies));
    ASSERT_EQ(imported.added, 1u) << imported.error;
    EXPECT_EQ(PictureFolder(dir), std::vector<std::string>{"fish.jpg"});
    ASSERT_TRUE(store.Undo().ok());
    EXPECT_TRUE(PictureFolder(dir).empty());
    ASSERT_TRUE(store.Redo().ok());
    EXPECT_EQ(dir.ReadFile("Data/Picture/fish.jpg"), jpeg);
}
