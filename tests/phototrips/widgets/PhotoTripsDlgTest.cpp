#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "entry/widgets/CatchEntryDlg.h"
#include "photos/widgets/ThumbnailBuilder.h"
#include "phototrips/PhotoTripTestFiles.h"
#include "phototrips/widgets/PhotoTripsDlg.h"
#include "places/PlaceBook.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/WidgetLookup.h"

namespace {

class PhotoTripsDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_photos = MakeTempDir();
        // A place photo, a fish in two shots 30 s apart, a fish at 7:10; and the next day.
        WriteTestPhotos(m_photos, {{"a.jpg", "2026:05:03 06:00:00", "+09:00", 35.134, 139.616},
                                   {"b.jpg", "2026:05:03 06:30:00", "+09:00", 35.134, 139.616},
                                   {"c.jpg", "2026:05:03 06:30:30", "+09:00", 35.134, 139.616},
                                   {"d.jpg", "2026:05:03 07:10:00", "+09:00", 35.134, 139.616},
                                   {"e.jpg", "2026:05:04 09:00:00", "+09:00", 35.134, 139.616},
                                   {"f.png", "", ""}});
        m_store.EnableUndo(true);
        CProposalContext context;
        CTripProposals proposals;
        std::string error;
        ASSERT_TRUE(ProposeTripsFromLog({m_photos}, m_store, context, {}, proposals, error));
        m_dialog = std::make_unique<CPhotoTripsDlg>(nullptr, m_store, m_program.Folder(),
                                                    std::move(proposals), context);
        m_dialog->show();
    }
    void TearDown() override
    {
        m_dialog.reset();
        WaitForThumbnailWorkers(5000);
        RemoveTree(m_photos);
    }

    QListWidget* List(int trip) const
    {
        return m_dialog->findChildren<QListWidget*>(QString::number(CPhotoTripsDlg::kPhotoListId))
            .at(trip);
    }
    QString Catches(int trip) const
    {
        return m_dialog->findChildren<QLabel*>(QString::number(CPhotoTripsDlg::kCatchesId))
            .at(trip)
            ->text();
    }
    void Click(int trip, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QListWidget* list = List(trip);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualItemRect(list->item(row)).center());
    }
    std::vector<CTripRecord> Saved()
    {
        std::vector<CTripRecord> trips;
        EXPECT_TRUE(m_store.ReadAllTrips(trips).ok());
        return trips;
    }

    CTempProgramDir m_program;
    CCatchStore m_store{m_program.CatchFile()};
    std::string m_photos;
    std::unique_ptr<CPhotoTripsDlg> m_dialog;
};

TEST_F(PhotoTripsDlgTest, ClicksAndKeysMarkPhotosAndTheCatchesFollow)
{
    EXPECT_EQ(List(0)->count(), 4);
    EXPECT_EQ(List(1)->count(), 1);
    EXPECT_EQ(FindControl<QListWidget>(m_dialog.get(), CPhotoTripsDlg::kUndatedListId)->count(), 1);
    EXPECT_EQ(List(0)->item(0)->text(), QStringLiteral("6:00 場所"));
    EXPECT_EQ(Catches(0), QStringLiteral("釣果 2 件: 6:30 (写真 2 枚)、7:10 (写真 1 枚)"));

    const struct {
        const char* what;
        std::function<void()> act;
        const char* label;  // of photo 3 (d.jpg) after
        const char* catches;
    } steps[] = {
        {"a click marks 7:10 as a place photo", [&] { Click(0, 3); }, "7:10 場所",
         "釣果 1 件: 6:30 (写真 2 枚)"},
        {"Space marks it a fish again",
         [&] {
             List(0)->setCurrentRow(3);
             QTest::keyClick(List(0), Qt::Key_Space);
         },
         "7:10 魚", "釣果 2 件: 6:30 (写真 2 枚)、7:10 (写真 1 枚)"},
        {"Ctrl+click leaves it out", [&] { Click(0, 3, Qt::ControlModifier); }, "7:10 除外",
         "釣果 1 件: 6:30 (写真 2 枚)"},
        {"Delete takes it back",
         [&] {
             List(0)->setCurrentRow(3);
             QTest::keyClick(List(0), Qt::Key_Delete);
         },
         "7:10 魚", "釣果 2 件: 6:30 (写真 2 枚)、7:10 (写真 1 枚)"},
        {"the second shot of the 6:30 fish as place photo splits nothing else",
         [&] { Click(0, 2); }, "7:10 魚", "釣果 2 件: 6:30 (写真 1 枚)、7:10 (写真 1 枚)"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(List(0)->item(3)->text(), QString::fromUtf8(step.label));
        EXPECT_EQ(Catches(0), QString::fromUtf8(step.catches));
    }
}

TEST_F(PhotoTripsDlgTest, RegisterSavesTheChosenTripsAsOneUndoStep)
{
    CMessageBoxRecorder messages;
    // The second trip left out; the first gets a place and a species typed.
    m_dialog->findChildren<QCheckBox*>(QString::number(CPhotoTripsDlg::kTripCheckId))
        .at(1)
        ->setChecked(false);
    auto* place =
        m_dialog->findChildren<QComboBox*>(QString::number(CPhotoTripsDlg::kPlaceId)).at(0);
    place->setEditText(QStringLiteral("城ヶ島"));
    auto* species =
        m_dialog->findChildren<QComboBox*>(QString::number(CPhotoTripsDlg::kSpeciesId)).at(0);
    species->setEditText(QStringLiteral("メジナ"));
    QTest::mouseClick(FindControl<QPushButton>(m_dialog.get(), CPhotoTripsDlg::kRegisterId),
                      Qt::LeftButton);
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);

    const std::vector<CTripRecord> trips = Saved();
    ASSERT_EQ(trips.size(), 1u);
    EXPECT_EQ(trips[0].date, "2026/05/03");
    EXPECT_EQ(trips[0].place, "城ヶ島");
    EXPECT_EQ(trips[0].placePhotos.size(), 1u);
    EXPECT_EQ(trips[0].fishPhotos.size(), 3u);
    EXPECT_EQ(trips[0].catches, (std::vector<CCatchRecord>{{"メジナ", "0", "0", "6時30分"},
                                                           {"メジナ", "0", "0", "7時10分"}}));
    ASSERT_TRUE(m_store.CanUndo());
    ASSERT_TRUE(m_store.Undo().ok());
    EXPECT_TRUE(Saved().empty());
    EXPECT_FALSE(m_store.CanUndo());
    EXPECT_TRUE(messages.Requests().empty());
}

TEST(PhotoTripsDlgPlacesTest, ANamedPlaceWithoutPositionTakesThePhotosPosition)
{
    constexpr const char* kWarning = "場所の港と位置を記録できません";
    const struct {
        const char* what;
        const char* placesFile;  // nullptr: none yet
        const char* place;       // typed for the trip
        bool positioned;         // the place has a position afterwards
        CGeoPoint position;
        EPositionSource source;
        bool fileUnchanged;
        bool warned;
    } cases[] = {
        {"no places file yet",
         nullptr,
         "城ヶ島",
         true,
         {35.134, 139.616},
         EPositionSource::Photo,
         false,
         false},
        {"known without a position",
         "place\t城ヶ島\taburatsubo-gs01-jpn-jodc_giaj\t\t\t\n",
         "城ヶ島",
         true,
         {35.134, 139.616},
         EPositionSource::Photo,
         false,
         false},
        {"a position the user set",
         "place\t城ヶ島\t\t35.5\t139.5\tmap\n",
         "城ヶ島",
         true,
         {35.5, 139.5},
         EPositionSource::Map,
         true,
         false},
        {"the places file damaged",
         "place\t磯\t\t35.5x\t139\tmap\n",
         "城ヶ島",
         false,
         {},
         EPositionSource::None,
         true,
         true},
        {"the place left empty", nullptr, "", false, {}, EPositionSource::None, true, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        CTempProgramDir program;
        const std::string photos = MakeTempDir();
        WriteTestPhotos(photos, {{"a.jpg", "2026:05:03 06:00:00", "+09:00", 35.134, 139.616}});
        if (test.placesFile) program.WriteFile(kPlacesFileName, test.placesFile);
        CCatchStore store(program.CatchFile());
        CProposalContext context;
        CTripProposals proposals;
        std::string error;
        ASSERT_TRUE(ProposeTripsFromLog({photos}, store, context, {}, proposals, error));
        CPhotoTripsDlg dialog(nullptr, store, program.Folder(), std::move(proposals), context);
        dialog.SetTripPlace(0, QString::fromUtf8(test.place));
        CMessageBoxRecorder messages;
        ASSERT_TRUE(dialog.SaveTrips());

        std::vector<CTripRecord> trips;
        ASSERT_TRUE(store.ReadAllTrips(trips).ok());
        ASSERT_EQ(trips.size(), 1u);  // the trip is saved whatever becomes of the places file
        EXPECT_EQ(trips[0].place, test.place);
        const bool unchanged = test.placesFile
                                   ? program.ReadFile(kPlacesFileName) == test.placesFile
                                   : !program.Exists(kPlacesFileName);
        EXPECT_EQ(unchanged, test.fileUnchanged);
        EXPECT_EQ(messages.Texts().join("\n").contains(QString::fromUtf8(kWarning)), test.warned)
            << messages.Texts().join("\n").toStdString();
        CPlaceBook book;
        book.Load(program.Folder());
        const CPlaceInfo* place = book.Find(test.place);
        EXPECT_EQ(place != nullptr && place->hasPosition, test.positioned);
        if (place && test.positioned) {
            EXPECT_NEAR(place->position.latitude, test.position.latitude, 1e-6);
            EXPECT_NEAR(place->position.longitude, test.position.longitude, 1e-6);
            EXPECT_EQ(place->source, test.source);
        }
        RemoveTree(photos);
    }
    WaitForThumbnailWorkers(5000);
}

TEST_F(PhotoTripsDlgTest, ATripFinishedInTheEntryDialogIsSavedAsFinished)
{
    m_dialog->OpenInEntryDialog(1);
    auto* entry = qobject_cast<CCatchEntryDlg*>(QApplication::activeModalWidget());
    if (!entry) entry = m_dialog->findChild<CCatchEntryDlg*>();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->GetTripFromControls().date, "2026/05/04");
    EXPECT_EQ(entry->GetPlacePhotoPaths().size(), 1);
    FindControl<QPlainTextEdit>(entry, CCatchEntryDlg::kMemoId)
        ->setPlainText(QStringLiteral("朝まづめ"));
    FindControl<QLineEdit>(entry, CCatchEntryDlg::kPlaceId)->setText(QStringLiteral("磯"));
    entry->accept();
    // Nothing is written by the entry dialog; 登録 of the preview saves its trip as finished.
    EXPECT_TRUE(Saved().empty());
    QTRY_VERIFY(m_dialog->GetProposals().trips[1].edited.has_value());
    m_dialog->findChildren<QCheckBox*>(QString::number(CPhotoTripsDlg::kTripCheckId))
        .at(0)
        ->setChecked(false);
    ASSERT_TRUE(m_dialog->SaveTrips());
    const std::vector<CTripRecord> trips = Saved();
    ASSERT_EQ(trips.size(), 1u);
    EXPECT_EQ(trips[0].memo, "朝まづめ");
    EXPECT_EQ(trips[0].date, "2026/05/04");
    // The place named there keeps the position of the trip's photo.
    CPlaceBook book;
    book.Load(m_program.Folder());
    const CPlaceInfo* place = book.Find("磯");
    ASSERT_NE(place, nullptr);
    EXPECT_TRUE(place->hasPosition);
    EXPECT_EQ(place->source, EPositionSource::Photo);
    EXPECT_NEAR(place->position.latitude, 35.134, 1e-6);
}

TEST_F(PhotoTripsDlgTest, UndatedPhotosArePutIntoATripAsPlacePhotos)
{
    m_dialog->MoveUndated({0}, 1);
    EXPECT_TRUE(m_dialog->GetProposals().undated.empty());
    EXPECT_EQ(List(1)->count(), 2);
    CMessageBoxRecorder messages;
    for (int trip : {0, 1}) {
        auto* check =
            m_dialog->findChildren<QCheckBox*>(QString::number(CPhotoTripsDlg::kTripCheckId))
                .at(trip);
        check->setChecked(false);
    }
    EXPECT_FALSE(m_dialog->SaveTrips());  // nothing chosen: said so, nothing written
    EXPECT_EQ(messages.Requests().size(), 1u);
    EXPECT_TRUE(Saved().empty());
}

}  // namespace
