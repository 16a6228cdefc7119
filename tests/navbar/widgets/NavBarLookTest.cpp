#include <QImage>
#include <QtMath>

#include "navbar/widgets/NavBarFixture.h"

namespace {
QColor Pixel(CNavBarCtrl* bar, const QPoint& at)
{
    return bar->grab().toImage().pixelColor(at);
}
}  // namespace

TEST_F(NavBarWidgetTest, ButtonsAndAreaInTheirColours)
{
    const BarColors& c = bar->Colors();
    const QRect area = bar->ItemAreaRect();
    EXPECT_EQ(Pixel(bar, QPoint(area.left() + 2, area.bottom() - 2)), QColorFromBar(c.background));
    const QRect button = bar->FolderButtonRect(1);
    EXPECT_EQ(Pixel(bar, QPoint(button.left() + 3, button.top() + 3)), QColorFromBar(c.buttonFace));
    EXPECT_EQ(Pixel(bar, QPoint(button.left() + 3, button.top() + 1)),
              QColorFromBar(c.highlightEdge));
    Shot(QStringLiteral("large"));

    // Hovered: the bottom-right edge turns dark.
    const QPoint edge(button.right() - 1, button.bottom());
    EXPECT_EQ(Pixel(bar, edge), QColorFromBar(c.background));
    QTest::mouseMove(bar, button.center());
    EXPECT_EQ(Pixel(bar, edge), QColorFromBar(c.darkEdge));
    QTest::mouseMove(bar, IconCenter(0));
    EXPECT_EQ(Pixel(bar, edge), QColorFromBar(c.background));

    // A hovered item has a raised frame around its icon, a pressed one a sunken frame.
    const QRect frame = bar->ItemIconRect(0, 0).adjusted(-1, -1, 1, 1);
    EXPECT_EQ(Pixel(bar, frame.topLeft() + QPoint(2, 0)), QColorFromBar(c.buttonFace));
    Shot(QStringLiteral("hover-item"));
    QTest::mousePress(bar, Qt::LeftButton, {}, IconCenter(0));
    EXPECT_EQ(Pixel(bar, frame.topLeft() + QPoint(2, 0)), QColorFromBar(c.darkEdge));
    Shot(QStringLiteral("pressed-item"));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, IconCenter(0));

    // A pressed folder button.
    QTest::mousePress(bar, Qt::LeftButton, {}, button.center());
    EXPECT_EQ(Pixel(bar, QPoint(button.left() + 3, button.top() + 1)), QColorFromBar(c.darkEdge));
    Shot(QStringLiteral("pressed-folder"));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(2, area.center().y()));
}

TEST_F(NavBarWidgetTest, SmallViewDrawsSmallIcons)
{
    bar->UseSmallIcons(true);
    const QRect icon = bar->ItemIconRect(0, 0);
    EXPECT_EQ(icon.size(), QSize(16, 16));
    // The house's roof is red; its pixels lie inside the small icon's square.
    const QImage picture = bar->grab().toImage();
    int red = 0;
    for (int y = icon.top(); y <= icon.bottom(); ++y)
        for (int x = icon.left(); x <= icon.right(); ++x)
            if (picture.pixelColor(x, y).red() > 180 && picture.pixelColor(x, y).blue() < 90) ++red;
    EXPECT_GT(red, 5);
    Shot(QStringLiteral("small"));
    QTest::mouseMove(bar, icon.center());
    Shot(QStringLiteral("small-hover"));
}

TEST_F(NavBarWidgetTest, WithoutImageListsOnlyTheBackgroundShows)
{
    bar->AttachImageList(nullptr, 2);
    bar->repaint();
    const QImage picture = bar->grab().toImage();
    const QRect area = bar->ItemAreaRect().adjusted(1, 1, -1, -1);
    const QColor background = QColorFromBar(bar->Colors().background);
    for (int y = area.top(); y <= area.bottom(); y += 3)
        for (int x = area.left(); x <= area.right(); x += 3)
            ASSERT_EQ(picture.pixelColor(x, y), background) << x << "," << y;
}

TEST(NavBarImagesTest, FiveDistinctIconsInBothSizes)
{
    const NavBarImageLists lists = CreateNavBarImageLists();
    ASSERT_EQ(lists.large->ImageCount(), 5);
    ASSERT_EQ(lists.small->ImageCount(), 5);
    EXPECT_EQ(lists.large->ImageSize(), (BarSize{32, 32}));
    EXPECT_EQ(lists.small->ImageSize(), (BarSize{16, 16}));
    for (int i = 0; i < 5; ++i) {
        const QImage image = lists.large->Pixmap(i).toImage();
        EXPECT_EQ(image.size(), QSize(32, 32));
        // Corners stay transparent so the bar's background shows through.
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
        for (int j = 0; j < i; ++j)
            EXPECT_NE(image, lists.large->Pixmap(j).toImage()) << i << " vs " << j;
        EXPECT_EQ(lists.small->Pixmap(i).size(), QSize(16, 16));
    }
}

TEST(NavBarImagesTest, DrawnWithTheDevicePixelsOfAHighDensityScreen)
{
    const NavBarImageLists plain = CreateNavBarImageLists(1.0);
    for (const qreal ratio : {1.5, 2.0}) {
        const NavBarImageLists dense = CreateNavBarImageLists(ratio);
        EXPECT_EQ(dense.large->ImageSize(), (BarSize{32, 32}));
        for (int i = 0; i < 4; ++i) {
            const QPixmap& large = dense.large->Pixmap(i);
            EXPECT_EQ(large.deviceIndependentSize(), QSizeF(32, 32)) << ratio;
            EXPECT_EQ(large.size(), QSize(qCeil(32 * ratio), qCeil(32 * ratio))) << ratio;
            EXPECT_EQ(dense.small->Pixmap(i).deviceIndependentSize(), QSizeF(16, 16)) << ratio;
            // Drawn at that density, not the plain picture enlarged.
            EXPECT_NE(large.toImage(), plain.large->Pixmap(i)
                                           .toImage()
                                           .scaled(large.size())
                                           .convertToFormat(large.toImage().format()))
                << ratio;
        }
    }
}

TEST(NavBarSetUpTest, MainMenuFolders)
{
    const NavBarImageLists lists = CreateNavBarImageLists();
    CNavBarCtrl bar;
    std::vector<std::pair<int, int>> seen;
    bar.SetNotifyHandler([&](int code, int index, const BarNotifyInfo*) -> long {
        seen.emplace_back(code, index);
        return 0;
    });
    SetUpNavBarMenu(bar, lists);
    EXPECT_EQ(bar.FolderCount(), 2);
    EXPECT_EQ(bar.FolderName(0), QStringLiteral("メニュー"));
    EXPECT_EQ(bar.FolderName(1), QString());
    EXPECT_EQ(bar.SelectedFolder(), 0);
    EXPECT_EQ(bar.ItemCountOfSelected(), 4);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(bar.ItemLabel(k), kMenuLabels[k]);
        EXPECT_EQ(bar.Model().Item(0, k)->image, k);
    }
    EXPECT_EQ(bar.Model().LargeImageList(), lists.large.get());
    EXPECT_EQ(bar.Model().SmallImageList(), lists.small.get());
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{BarNotifyFolderSelected, 0}}));
}
