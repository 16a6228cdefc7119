#include <gtest/gtest.h>

#include "app/widgets/CsvExchange.h"
#include "data/CatchStore.h"
#include "support/TempProgramDir.h"
#include "support/widgets/FakeDesktopServices.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "uikit/QtText.h"

TEST(CsvExchange, ExportThenImportAfterAPreviewTheUserAccepts)
{
    CTempProgramDir dir;
    CCatchStore store(dir.CatchFile());
    CTripRecord trip;
    trip.date = "2026/4/29";
    trip.place = "相模湾";
    trip.catches = {{"イトヨリ", "28", "0.35", "9時0分"}};
    ASSERT_TRUE(store.AddTrip(trip).ok());

    CFakeDesktopServices desktop;
    CMessageBoxRecorder messages;
    desktop.QueueSaveFileName(QStringFromStd(dir.Path("trips")));
    ASSERT_TRUE(ExportTripsCsv(nullptr, store));
    EXPECT_NE(dir.ReadFile("trips.csv").find(",イトヨリ,28,0.35,9時0分\r\n"), std::string::npos);

    // The same trips again: nothing to add, told without a question.
    desktop.QueueOpenFileNames({QStringFromStd(dir.Path("trips.csv"))});
    EXPECT_FALSE(ImportTripsCsv(nullptr, store));
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts()[0].contains(QStringLiteral("登録済み")));

    // A new trip: the preview counts it; "no" adds nothing, "yes" adds it.
    std::string csv = dir.ReadFile("trips.csv");
    csv +=
        "2,2026/5/1,,,,,,東京湾,,,/nowhere/gone.jpg,,マダイ,40,1.2,\r\n"
        "3,2026/5/2,,,,,,x,,,,,マダイ,40,\"1,2\",\r\n";
    dir.WriteFile("more.csv", csv);
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        messages.QueueAnswer(answer);
        desktop.QueueOpenFileNames({QStringFromStd(dir.Path("more.csv"))});
        EXPECT_EQ(ImportTripsCsv(nullptr, store), answer == QMessageBox::Yes);
    }
    ASSERT_EQ(messages.Texts().size(), 3);
    EXPECT_TRUE(messages.Texts()[1].contains(QStringLiteral("1 件の釣行を追加しますか")));
    EXPECT_TRUE(messages.Texts()[1].contains(QStringLiteral("4 行目 15 列目")));
    // A photo that cannot be copied is named in the preview; the trip keeps its path.
    EXPECT_TRUE(messages.Texts()[1].contains(QStringLiteral("コピーできない写真")));
    EXPECT_TRUE(messages.Texts()[1].contains(QStringLiteral("/nowhere/gone.jpg")));
    std::vector<CTripRecord> trips;
    ASSERT_TRUE(CCatchStore(dir.CatchFile()).ReadAllTrips(trips).ok());
    ASSERT_EQ(trips.size(), 2u);
    EXPECT_EQ(trips[1].place, "東京湾");
    EXPECT_EQ(trips[1].placePhotos, std::vector<std::string>{"/nowhere/gone.jpg"});
}
