#include <gtest/gtest.h>

#include <utime.h>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

#include "photos/PhotoTestFiles.h"
#include "photos/widgets/ThumbnailBuilder.h"
#include "photos/widgets/ThumbnailCache.h"
#include "support/TempProgramDir.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/WidgetLookup.h"
#include "uikit/QtText.h"

namespace {

class ThumbnailBuilderTest : public ::testing::Test {
protected:
    ThumbnailBuilderTest() : m_dir(MakeTempDir())
    {
        m_list.resize(600, 400);
        m_list.setViewMode(QListView::IconMode);
        m_list.setMovement(QListView::Free);
        m_list.show();
    }
    ~ThumbnailBuilderTest() override
    {
        CancelThumbnails(&m_list);
        WaitForThumbnailWorkers();
        RemoveTree(m_dir);
    }

    QString Write(const std::string& name, const std::string& bytes)
    {
        WriteFileBytes(m_dir + name, bytes);
        return QStringFromStd(m_dir + name);
    }
    QString Missing(const std::string& name) { return QStringFromStd(m_dir + name); }

    // Builds and waits until the build has finished.
    CThumbnailBuild* BuildAndWait(const QStringList& paths, int capacity,
                                  EThumbnailPlacement placement = EThumbnailPlacement::SingleRow)
    {
        CThumbnailBuild* build = BuildThumbnails(&m_list, paths, capacity, placement);
        QSignalSpy finished(build, &CThumbnailBuild::finished);
        EXPECT_TRUE(IsBuildingThumbnails(&m_list));
        EXPECT_TRUE(finished.wait(20000));
        EXPECT_FALSE(IsBuildingThumbnails(&m_list));
        return build;
    }

    QStringList Labels() const
    {
        QStringList labels;
        for (int i = 0; i < m_list.count(); ++i) labels << m_list.item(i)->text();
        return labels;
    }
    int PicturedCount() const
    {
        int count = 0;
        for (int i = 0; i < m_list.count(); ++i) count += !m_list.item(i)->icon().isNull();
        return count;
    }
    QImage Picture(int row) const
    {
        const QIcon icon = m_list.item(row)->icon();
        if (icon.isNull()) return {};
        return icon.pixmap(QSize(120, 100)).toImage().convertToFormat(QImage::Format_RGB888);
    }
    int Alpha(int row, int x, int y) const
    {
        const QImage image = m_list.item(row)->icon().pixmap(QSize(120, 100)).toImage();
        return qAlpha(image.pixel(x, y));
    }
    static bool Near(const QImage& image, int x, int y, CTestRgb colour)
    {
        const uchar* pixel = image.constScanLine(y) + x * 3;
        return NearColour(pixel, colour);
    }

    std::string m_dir;
    QListWidget m_list;
};

TEST_F(ThumbnailBuilderTest, PhotosBecomeCentredCellsOfTheirShapeLabelledWithTheirFileNames)
{
    WriteFileBytes(m_dir + "nested/deeper/q.jpg", QuadrantJpeg(640, 480));
    const QStringList paths{QStringFromStd(m_dir + "nested/deeper/q.jpg"),
                            Write("red.jpg", PlainJpeg(200, 300, kTestRed))};
    BuildAndWait(paths, 6);
    EXPECT_EQ(Labels(), (QStringList{QStringLiteral("q.jpg"), QStringLiteral("red.jpg")}));
    const QImage quadrants = Picture(0);
    ASSERT_EQ(quadrants.size(), QSize(120, 100));
    EXPECT_TRUE(Near(quadrants, 30, 25, kTestRed));
    EXPECT_TRUE(Near(quadrants, 90, 25, kTestGreen));
    EXPECT_TRUE(Near(quadrants, 30, 75, kTestBlue));
    EXPECT_TRUE(Near(quadrants, 90, 75, kTestYellow));
    EXPECT_TRUE(Near(Picture(1), 60, 50, kTestRed));
    // 120 x 90 and 67 x 100, centred: the list's background shows around them.
    EXPECT_EQ(Alpha(0, 60, 2), 0);
    EXPECT_EQ(Alpha(0, 60, 6), 255);
    EXPECT_EQ(Alpha(0, 60, 97), 0);
    EXPECT_EQ(Alpha(1, 20, 50), 0);
    EXPECT_EQ(Alpha(1, 30, 50), 255);
    EXPECT_EQ(Alpha(1, 100, 50), 0);
}

TEST_F(ThumbnailBuilderTest, EveryPhotoFormatIsReadByItsContent)
{
    const auto save = [&](const char* name, const char* format) {
        QImage image(320, 240, QImage::Format_RGB888);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const CTestRgb c = QuadrantPixel(x, y, 320, 240);
                image.setPixel(x, y, qRgb(c.r, c.g, c.b));
            }
        const QString path = Missing(name);
        EXPECT_TRUE(image.save(path, format, 95)) << name;
        return path;
    };
    ASSERT_TRUE(WriteTestHeif(m_dir + "q.heic", 320, 240,
                              [](int x, int y) { return QuadrantPixel(x, y, 320, 240); }));
    CJpegOptions sideways;
    sideways.exif = MakeTestExif(6);
    const QStringList paths{save("q.png", "PNG"),
                            save("q.webp", "WEBP"),
                            save("q.tif", "TIFF"),
                            Missing("q.heic"),
                            save("png-named.jpg", "PNG"),
                            Write("turned.jpg", QuadrantJpeg(320, 240, sideways)),
                            Write("text.jpg", "not a photo at all\n")};
    CMessageBoxRecorder messages;
    CThumbnailBuild* build = BuildAndWait(paths, 10);
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE(paths[row].toStdString());
        const QImage cell = Picture(row);
        EXPECT_TRUE(Near(cell, 30, 25, kTestRed));
        EXPECT_TRUE(Near(cell, 90, 25, kTestGreen));
        EXPECT_TRUE(Near(cell, 30, 75, kTestBlue));
        EXPECT_TRUE(Near(cell, 90, 75, kTestYellow));
    }
    // Turned a quarter clockwise: 75 x 100, the stored bottom-left quadrant now top left.
    const QImage turned = Picture(5);
    EXPECT_EQ(Alpha(5, 20, 50), 0);
    EXPECT_TRUE(Near(turned, 40, 25, kTestBlue));
    EXPECT_TRUE(Near(turned, 80, 25, kTestRed));
    EXPECT_TRUE(Near(turned, 40, 75, kTestYellow));
    EXPECT_TRUE(Near(turned, 80, 75, kTestGreen));
    EXPECT_EQ(Picture(6), ThumbnailPlaceholder().convertToFormat(QImage::Format_RGB888));
    EXPECT_EQ(build->UndecodablePaths(), QStringList{paths[6]});
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts().front().contains(paths[6]));
}

TEST_F(ThumbnailBuilderTest, OnlyTheCapacityGetsPicturesButEveryPathItsItem)
{
    QStringList paths;
    for (int i = 0; i < 8; ++i)
        paths << Write("p" + std::to_string(i) + ".jpg", PlainJpeg(160, 120, kTestBlue));
    CThumbnailBuild* build = BuildThumbnails(&m_list, paths, 6, EThumbnailPlacement::SingleRow);
    QSignalSpy progress(build, &CThumbnailBuild::progress);
    QSignalSpy finished(build, &CThumbnailBuild::finished);
    ASSERT_TRUE(finished.wait(20000));
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), (QList<QVariant>{8, 8}));
    for (int i = 1; i < progress.size(); ++i)
        EXPECT_GT(progress[i][0].toInt(), progress[i - 1][0].toInt());
    ASSERT_EQ(m_list.count(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(m_list.item(i)->text(), QStringLiteral("p%1.jpg").arg(i));
        EXPECT_EQ(m_list.item(i)->icon().isNull(), i >= 6) << i;
    }
    EXPECT_EQ(build->Done(), 8);
}

TEST_F(ThumbnailBuilderTest, ItemsSitAtTheirPlacementPositions)
{
    QStringList paths;
    for (int i = 0; i < 9; ++i)
        paths << Write("p" + std::to_string(i) + ".jpg", PlainJpeg(130, 110, kTestGreen));
    BuildAndWait(paths, 1000, EThumbnailPlacement::FillRows);
    ASSERT_EQ(m_list.count(), 9);
    EXPECT_EQ(m_list.visualItemRect(m_list.item(0)).topLeft(), QPoint(8, 10));
    EXPECT_EQ(m_list.visualItemRect(m_list.item(5)).topLeft(), QPoint(136, 140));
    EXPECT_EQ(m_list.visualItemRect(m_list.item(8)).topLeft(), QPoint(8, 270));

    BuildAndWait(paths.mid(0, 3), 6, EThumbnailPlacement::SingleRow);
    ASSERT_EQ(m_list.count(), 3);
    EXPECT_EQ(m_list.visualItemRect(m_list.item(0)).topLeft(), QPoint(8, 5));
    EXPECT_EQ(m_list.visualItemRect(m_list.item(2)).topLeft(), QPoint(264, 5));
}

TEST_F(ThumbnailBuilderTest, AMissingFileGetsAPlaceholderAndTheOthersAreShown)
{
    const QStringList paths{Write("a.jpg", PlainJpeg(160, 120, kTestRed)), Missing("gone.jpg"),
                            Write("c.jpg", PlainJpeg(160, 120, kTestBlue))};
    CMessageBoxRecorder messages;
    CThumbnailBuild* build = BuildAndWait(paths, 6);
    EXPECT_EQ(Labels(), (QStringList{QStringLiteral("a.jpg"), QStringLiteral("gone.jpg"),
                                     QStringLiteral("c.jpg")}));
    EXPECT_TRUE(Near(Picture(0), 60, 50, kTestRed));
    EXPECT_EQ(Picture(1), ThumbnailPlaceholder().convertToFormat(QImage::Format_RGB888));
    EXPECT_TRUE(Near(Picture(2), 60, 50, kTestBlue));
    EXPECT_EQ(build->MissingPaths(), QStringList{paths[1]});
    EXPECT_TRUE(build->UndecodablePaths().isEmpty());
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts().front().contains(paths[1]));

    // Past the capacity a missing file is named too, though no picture is made.
    messages.Clear();
    build = BuildAndWait(paths, 1);
    EXPECT_EQ(m_list.count(), 3);
    EXPECT_EQ(build->MissingPaths(), QStringList{paths[1]});
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts().front().contains(paths[1]));
}

TEST_F(ThumbnailBuilderTest, UndecodableFilesGetAPlaceholderAndTheBuildGoesOn)
{
    const std::string good = QuadrantJpeg(640, 480);
    const QString pngPath = Write("short.png", PngBytes());
    CJpegOptions gray;
    gray.components = 1;
    const QStringList paths{Write("first.jpg", good), pngPath,
                            Write("cut.jpg", good.substr(0, good.size() / 2)),
                            Write("gray.jpg", PlainJpeg(320, 240, {200, 200, 200}, gray)),
                            Write("last.jpg", PlainJpeg(320, 240, kTestYellow))};
    CMessageBoxRecorder messages;
    CThumbnailBuild* build = BuildAndWait(paths, 6);
    ASSERT_EQ(m_list.count(), 5);
    const QImage placeholder = ThumbnailPlaceholder().convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(Picture(1), placeholder);
    EXPECT_EQ(Picture(2), placeholder);
    EXPECT_NE(Picture(3), placeholder);
    EXPECT_TRUE(Near(Picture(3), 60, 50, {200, 200, 200}));
    EXPECT_TRUE(Near(Picture(4), 60, 50, kTestYellow));
    EXPECT_EQ(build->UndecodablePaths(), (QStringList{paths[1], paths[2]}));
    // One message, naming both files.
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts().front().contains(paths[1]));
    EXPECT_TRUE(messages.Texts().front().contains(paths[2]));
    EXPECT_FALSE(messages.Texts().front().contains(paths[0]));
}

TEST_F(ThumbnailBuilderTest, NewBuildCancelsTheRunningOneAndNothingStaleLands)
{
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << Write("big" + std::to_string(i) + ".jpg", QuadrantJpeg(1600, 1200));
    const QStringList two{Write("x.jpg", PlainJpeg(160, 120, kTestRed)),
                          Write("y.jpg", PlainJpeg(160, 120, kTestRed))};
    CThumbnailBuild* first = BuildThumbnails(&m_list, many, 1000, EThumbnailPlacement::FillRows);
    QSignalSpy firstFinished(first, &CThumbnailBuild::finished);
    BuildAndWait(two, 6);
    ASSERT_TRUE(WaitForThumbnailWorkers(20000));
    QCoreApplication::processEvents();
    QTest::qWait(0);
    EXPECT_EQ(Labels(), (QStringList{QStringLiteral("x.jpg"), QStringLiteral("y.jpg")}));
    EXPECT_EQ(firstFinished.count(), 0);

    EXPECT_TRUE(Near(Picture(0), 60, 50, kTestRed));
    EXPECT_TRUE(Near(Picture(1), 60, 50, kTestRed));

    // Cancelling stops placing pictures too.
    CThumbnailBuild* third = BuildThumbnails(&m_list, many, 1000, EThumbnailPlacement::FillRows);
    QSignalSpy thirdFinished(third, &CThumbnailBuild::finished);
    CancelThumbnails(&m_list);
    EXPECT_FALSE(IsBuildingThumbnails(&m_list));
    const int pictured = PicturedCount();
    ASSERT_TRUE(WaitForThumbnailWorkers(20000));
    QCoreApplication::processEvents();
    EXPECT_EQ(PicturedCount(), pictured);
    EXPECT_LT(pictured, 40);
    EXPECT_EQ(thirdFinished.count(), 0);
}

TEST_F(ThumbnailBuilderTest, DestroyingTheListDuringABuildIsSafe)
{
    QStringList many;
    for (int i = 0; i < 20; ++i)
        many << Write("big" + std::to_string(i) + ".jpg", QuadrantJpeg(1600, 1200));
    {
        QListWidget list;
        list.show();
        BuildThumbnails(&list, many, 1000, EThumbnailPlacement::FillRows);
        QTest::qWait(30);
    }
    ASSERT_TRUE(WaitForThumbnailWorkers(20000));
    QCoreApplication::processEvents();
    // The workers stopped for the list that went, and serve the next one in full.
    BuildThumbnails(&m_list, many.mid(0, 2), 1000, EThumbnailPlacement::FillRows);
    EXPECT_EVENTUALLY(PicturedCount() == 2);
}

TEST_F(ThumbnailBuilderTest, ThumbnailsAreSharedThroughTheDesktopCacheWhileThePhotoIsUnchanged)
{
    const QString photo = Write("cached.jpg", QuadrantJpeg(640, 480));
    BuildAndWait({photo}, 6);
    const QString cacheFile = CThumbnailCache::CachePathOf(photo);
    ASSERT_TRUE(QFileInfo::exists(cacheFile)) << cacheFile.toStdString();
    EXPECT_TRUE(cacheFile.startsWith(qEnvironmentVariable("XDG_CACHE_HOME") +
                                     QStringLiteral("/thumbnails/normal/")));
    QImage stored(cacheFile);
    EXPECT_EQ(stored.text(QStringLiteral("Thumb::URI")), QStringLiteral("file://") + photo);
    EXPECT_EQ(stored.text(QStringLiteral("Thumb::MTime")).toLongLong(),
              QFileInfo(photo).lastModified().toSecsSinceEpoch());
    EXPECT_EQ(stored.size(), QSize(128, 96));  // normal size, aspect kept
    EXPECT_EQ(QFile::permissions(cacheFile) & (QFile::ReadOther | QFile::ReadGroup), 0);

    // Paint the cached picture: a rebuild shows it, so nothing was decoded.
    QImage painted = stored.convertToFormat(QImage::Format_RGB888);
    painted.fill(QColor(255, 0, 255));
    for (const QString& key : stored.textKeys()) painted.setText(key, stored.text(key));
    ASSERT_TRUE(painted.save(cacheFile, "PNG"));
    const QFileInfo info(photo);
    EXPECT_FALSE(
        CThumbnailCache::Load(photo, info.lastModified().toSecsSinceEpoch(), info.size()).isNull());
    EXPECT_TRUE(
        CThumbnailCache::Load(photo, info.lastModified().toSecsSinceEpoch() + 1, info.size())
            .isNull());
    EXPECT_TRUE(
        CThumbnailCache::Load(photo, info.lastModified().toSecsSinceEpoch(), info.size() + 1)
            .isNull());
    BuildAndWait({photo}, 6);
    EXPECT_TRUE(Near(Picture(0), 30, 25, {255, 0, 255}));

    // Once the photo changes the cached picture no longer counts.
    const std::string path = PathFromQString(photo);
    struct utimbuf times {
        1000000000, 1000000000
    };
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
    BuildAndWait({photo}, 6);
    EXPECT_TRUE(Near(Picture(0), 30, 25, kTestRed));
    EXPECT_EQ(QImage(cacheFile).text(QStringLiteral("Thumb::MTime")), QStringLiteral("1000000000"));
}

TEST_F(ThumbnailBuilderTest, EmptyPathListFinishesWithAnEmptyList)
{
    m_list.addItem(QStringLiteral("old"));
    BuildAndWait({}, 6);
    EXPECT_EQ(m_list.count(), 0);
}

}  // namespace
