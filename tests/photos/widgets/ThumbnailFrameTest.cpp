#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "photos/JpegTestFiles.h"
#include "photos/widgets/ThumbnailBuilder.h"
#include "photos/widgets/ThumbnailFrame.h"
#include "photos/widgets/ThumbnailView.h"
#include "support/TempProgramDir.h"
#include "support/widgets/FakeDesktopServices.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/WidgetLookup.h"
#include "uikit/QtText.h"

namespace {

class ThumbnailFrameTest : public ::testing::Test {
protected:
    ThumbnailFrameTest()
    {
        m_frame.resize(640, 480);
        m_frame.show();
    }
    ~ThumbnailFrameTest() override
    {
        CancelThumbnails(m_frame.View());
        WaitForThumbnailWorkers();
    }

    std::string Photo(const std::string& name, CTestRgb colour = kTestBlue)
    {
        const std::string path = m_dir.Path("photos/" + name);
        WriteFileBytes(path, PlainJpeg(160, 120, colour));
        return path;
    }
    void AddTrip(std::vector<std::string> place, std::vector<std::string> fish)
    {
        CTripRecord trip;
        trip.date = "2024/5/1";
        trip.placePhotos = std::move(place);
        trip.fishPhotos = std::move(fish);
        ASSERT_TRUE(CCatchStore(m_dir.CatchFile()).AddTrip(trip).ok());
    }

    QComboBox* Combo() { return FindControl<QComboBox>(&m_frame, 1015); }
    void Show(const QString& kindText)
    {
        Combo()->setEditText(kindText);
        QTest::mouseClick(FindControl<QPushButton>(&m_frame, 1031), Qt::LeftButton);
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return !IsBuildingThumbnails(m_frame.View()); }, 20000));
    }
    QStringList Labels()
    {
        QStringList labels;
        for (int i = 0; i < m_frame.View()->count(); ++i) labels << m_frame.View()->item(i)->text();
        return labels;
    }
    QPoint ItemPosition(int row)
    {
        return m_frame.View()->visualItemRect(m_frame.View()->item(row)).topLeft();
    }
    void DoubleClick(const QPoint& point)
    {
        QTest::mouseDClick(m_frame.View()->viewport(), Qt::LeftButton, {}, point);
    }

    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
    CThumbnailFrame m_frame{m_store};
};

TEST_F(ThumbnailFrameTest, BarOffersTheTwoKindsWithNothingChosen)
{
    ASSERT_NE(Combo(), nullptr);
    ASSERT_NE(FindControl<QPushButton>(&m_frame, 1031), nullptr);
    EXPECT_EQ(FindControl<QPushButton>(&m_frame, 1031)->text(), QStringLiteral("表示"));
    ASSERT_NE(FindControl<QWidget>(&m_frame, 133), nullptr);
    EXPECT_TRUE(Combo()->isEditable());
    ASSERT_EQ(Combo()->count(), 2);
    EXPECT_EQ(Combo()->itemText(0), QStringLiteral("魚画像"));
    EXPECT_EQ(Combo()->itemText(1), QStringLiteral("場所画像"));
    EXPECT_EQ(Combo()->currentText(), QString());

    AddTrip({Photo("p.jpg")}, {Photo("f.jpg")});
    // Nothing chosen, or a text that names no kind: nothing happens.
    QTest::mouseClick(FindControl<QPushButton>(&m_frame, 1031), Qt::LeftButton);
    EXPECT_FALSE(IsBuildingThumbnails(m_frame.View()));
    EXPECT_EQ(m_frame.View()->count(), 0);
    Show(QStringLiteral("魚"));
    EXPECT_EQ(m_frame.View()->count(), 0);
}

TEST_F(ThumbnailFrameTest, EachKindShowsThePhotosOfAllTripsInFileOrder)
{
    const std::string shared = Photo("shared.jpg");
    AddTrip({Photo("place1.jpg"), Photo("place2.jpg")}, {Photo("fish1.jpg"), shared});
    AddTrip({}, {});  // a trip without photos adds nothing
    AddTrip({Photo("place3.jpg")}, {shared});

    Combo()->setCurrentIndex(1);
    QTest::mouseClick(FindControl<QPushButton>(&m_frame, 1031), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !IsBuildingThumbnails(m_frame.View()); }, 20000));
    EXPECT_EQ(Labels(), (QStringList{QStringLiteral("place1.jpg"), QStringLiteral("place2.jpg"),
                                     QStringLiteral("place3.jpg")}));

    // Typed by hand, the fish kind works as well; a photo named twice shows twice.
    Show(QStringLiteral("魚画像"));
    EXPECT_EQ(Labels(), (QStringList{QStringLiteral("fish1.jpg"), QStringLiteral("shared.jpg"),
                                     QStringLiteral("shared.jpg")}));
    EXPECT_EQ(m_frame.View()->PhotoPaths().size(), 3);
    ASSERT_EQ(m_frame.View()->count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(m_frame.View()->item(i)->icon().isNull());
}

TEST_F(ThumbnailFrameTest, RowsHoldAsManyThumbnailsAsTheWidthAllowsAndFlowOnResize)
{
    std::vector<std::string> photos;
    for (int i = 0; i < 9; ++i) photos.push_back(Photo("f" + std::to_string(i) + ".jpg"));
    AddTrip({}, photos);
    Show(QStringLiteral("魚画像"));
    ASSERT_EQ(m_frame.View()->count(), 9);
    // Each width in turn: the cells a row holds, and where the ninth thumbnail then stands.
    const struct {
        int frameWidth;
        int perRow;
    } widths[] = {{640, 4}, {1600, 12}, {1000, 7}, {300, 2}, {640, 4}};
    for (const auto& w : widths) {
        m_frame.resize(w.frameWidth, 480);
        QTest::qWait(0);
        const int viewport = m_frame.View()->viewport()->width();
        ASSERT_EQ(ThumbnailsPerRow(viewport), w.perRow) << w.frameWidth;
        // The last cell of a row ends within the list.
        EXPECT_LE(8 + 128 * w.perRow, viewport) << w.frameWidth;
        EXPECT_EQ(ItemPosition(0), QPoint(8, 10)) << w.frameWidth;
        const int lastOfRow = std::min(w.perRow, 9) - 1;
        EXPECT_EQ(ItemPosition(lastOfRow), QPoint(8 + 128 * lastOfRow, 10)) << w.frameWidth;
        EXPECT_EQ(ItemPosition(8), QPoint(8 + 128 * (8 % w.perRow), 10 + 130 * (8 / w.perRow)))
            << w.frameWidth;
    }
}

TEST_F(ThumbnailFrameTest, PhotosThatCannotBeShownAreToldOncePerSet)
{
    const std::string good = Photo("good.jpg");
    const std::string broken = m_dir.Path("photos/broken.jpg");
    WriteFileBytes(broken, PlainJpeg(160, 120, kTestBlue).substr(0, 100));
    AddTrip({good}, {good, broken});
    CMessageBoxRecorder messages;
    // Each step: the kind shown, and whether a message comes.
    const std::pair<QString, bool> steps[] = {{QStringLiteral("魚画像"), true},
                                              {QStringLiteral("魚画像"), false},
                                              {QStringLiteral("場所画像"), false},
                                              {QStringLiteral("魚画像"), false}};
    for (const auto& [kind, told] : steps) {
        messages.Clear();
        Show(kind);
        EXPECT_EQ(messages.Texts().size(), told ? 1 : 0) << StdFromQString(kind);
    }
    // Another file gone makes another set, which is told.
    AddTrip({}, {m_dir.Path("photos/gone.jpg")});
    messages.Clear();
    Show(QStringLiteral("魚画像"));
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts().front().contains(QStringLiteral("gone.jpg")));
}

TEST_F(ThumbnailFrameTest, DoubleClickOpensThePhotoButNotOnEmptySpace)
{
    const std::string first = Photo("one.jpg");
    const std::string second = Photo("two.jpg");
    AddTrip({}, {first, second});
    Show(QStringLiteral("魚画像"));
    CFakeDesktopServices desktop;
    DoubleClick(QPoint(400, 350));
    EXPECT_TRUE(desktop.Opened().isEmpty());
    DoubleClick(m_frame.View()->visualItemRect(m_frame.View()->item(1)).center());
    ASSERT_EQ(desktop.Opened().size(), 1);
    EXPECT_EQ(desktop.Opened().front().toLocalFile(), QStringFromStd(second));
}

TEST_F(ThumbnailFrameTest, ShowingThePageAgainStartsEmpty)
{
    AddTrip({}, {Photo("one.jpg")});
    Show(QStringLiteral("魚画像"));
    ASSERT_EQ(m_frame.View()->count(), 1);
    Combo()->addItem(QStringLiteral("extra"));

    m_frame.hide();
    EXPECT_TRUE(m_frame.View()->PhotoPaths().isEmpty());
    m_frame.show();
    EXPECT_EQ(m_frame.View()->count(), 0);
    EXPECT_EQ(Combo()->count(), 2);
    EXPECT_EQ(Combo()->currentText(), QString());

    // Leaving the page while a build runs stops it.
    std::vector<std::string> many;
    for (int i = 0; i < 30; ++i) {
        const std::string path = m_dir.Path("photos/big" + std::to_string(i) + ".jpg");
        WriteFileBytes(path, QuadrantJpeg(1600, 1200));
        many.push_back(path);
    }
    AddTrip(many, {});
    Combo()->setEditText(QStringLiteral("場所画像"));
    QTest::mouseClick(FindControl<QPushButton>(&m_frame, 1031), Qt::LeftButton);
    EXPECT_TRUE(IsBuildingThumbnails(m_frame.View()));
    m_frame.hide();
    EXPECT_FALSE(IsBuildingThumbnails(m_frame.View()));
}

TEST_F(ThumbnailFrameTest, ACatchFileThatCannotBeReadIsReportedAndEmptiesTheView)
{
    for (const char* bytes : {"<broken", static_cast<const char*>(nullptr)}) {
        m_dir.WriteFile(kCatchFileName,
                        ReadFileBytes(std::string(LUREBOOK_SOURCE_DIR) + "/assets/Data/fish.xml"));
        AddTrip({}, {Photo("one.jpg")});
        Show(QStringLiteral("魚画像"));
        ASSERT_EQ(m_frame.View()->count(), 1);
        if (bytes) {
            m_dir.WriteFile(kCatchFileName, bytes);
        } else {
            std::remove(m_dir.CatchFile().c_str());
        }
        CMessageBoxRecorder messages;
        Show(QStringLiteral("場所画像"));
        ASSERT_EQ(messages.Texts().size(), 1);
        EXPECT_TRUE(messages.Texts()[0].contains(bytes ? QStringLiteral("1 行目")
                                                       : QStringLiteral("読み込み失敗")));
        EXPECT_EQ(m_frame.View()->count(), 0);
        EXPECT_TRUE(m_frame.View()->PhotoPaths().isEmpty());
    }

    // A catch file with no trips gives an empty view, in silence.
    m_dir.WriteFile(kCatchFileName,
                    ReadFileBytes(std::string(LUREBOOK_SOURCE_DIR) + "/assets/Data/fish.xml"));
    CMessageBoxRecorder messages;
    Show(QStringLiteral("場所画像"));
    EXPECT_EQ(m_frame.View()->count(), 0);
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_F(ThumbnailFrameTest, AMissingPhotoIsNamedAndTheOthersAreShown)
{
    const QString gone = QStringFromStd(m_dir.Path("photos/gone.jpg"));
    AddTrip({Photo("a.jpg"), PathFromQString(gone), Photo("b.jpg")}, {});
    CMessageBoxRecorder messages;
    Show(QStringLiteral("場所画像"));
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts().front().contains(gone));
    EXPECT_EQ(Labels(), (QStringList{QStringLiteral("a.jpg"), QStringLiteral("gone.jpg"),
                                     QStringLiteral("b.jpg")}));
    ASSERT_EQ(m_frame.View()->count(), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_FALSE(m_frame.View()->item(row)->icon().isNull()) << row;
}

}  // namespace
