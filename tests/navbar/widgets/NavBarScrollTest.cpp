#include "navbar/widgets/NavBarFixture.h"

// A bar so short that one large item fits at a time.
class NavBarScrollTest : public NavBarWidgetTest {
protected:
    void SetUp() override { MakeBar(0x1FC, 150); }

    bool LastItemFullyShown() const
    {
        return bar->ItemBoundsRect(0, 3).bottom() < bar->ItemAreaRect().bottom();
    }
};

TEST_F(NavBarScrollTest, HoldingTheDownArrowStopsAtTheLastItem)
{
    ASSERT_TRUE(bar->DownArrowShown());
    EXPECT_FALSE(bar->UpArrowShown());
    Shot(QStringLiteral("scroll-top"));
    QTest::mousePress(bar, Qt::LeftButton, {}, bar->DownArrowRect().center());
    EXPECT_TRUE(bar->IsScrolling());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !bar->IsScrolling(); }, 10000));
    EXPECT_TRUE(LastItemFullyShown());
    const int first = bar->Model().FirstVisibleItem();
    EXPECT_GT(first, 0);
    // One step less would leave the last item cut: the scrolling went no further than needed.
    EXPECT_FALSE(bar->ItemBoundsRect(0, 3).bottom() + 64 < bar->ItemAreaRect().bottom());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->DownArrowRect().center());
    EXPECT_EQ(bar->Model().FirstVisibleItem(), first);

    bar->repaint();
    EXPECT_TRUE(bar->UpArrowShown());
    EXPECT_FALSE(bar->DownArrowShown());
    Shot(QStringLiteral("scroll-bottom"));
}

TEST_F(NavBarScrollTest, ClickingTheArrowsStepsOneItem)
{
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->DownArrowRect().center());
    EXPECT_EQ(bar->Model().FirstVisibleItem(), 1);
    EXPECT_FALSE(bar->IsScrolling());
    bar->repaint();
    ASSERT_TRUE(bar->UpArrowShown());
    ASSERT_TRUE(bar->DownArrowShown());
    Shot(QStringLiteral("scroll-middle"));
    // Released away from the arrow: no step.
    QTest::mousePress(bar, Qt::LeftButton, {}, bar->DownArrowRect().center());
    QTest::mouseMove(bar, QPoint(2, bar->DownArrowRect().center().y()));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(2, bar->DownArrowRect().center().y()));
    EXPECT_EQ(bar->Model().FirstVisibleItem(), 1);
    bar->repaint();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->UpArrowRect().center());
    EXPECT_EQ(bar->Model().FirstVisibleItem(), 0);
    bar->repaint();
    EXPECT_FALSE(bar->UpArrowShown());
}

TEST_F(NavBarScrollTest, HoldingTheUpArrowStopsAtTheTop)
{
    for (int k = 0; k < 2; ++k) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->DownArrowRect().center());
        bar->repaint();
    }
    ASSERT_EQ(bar->Model().FirstVisibleItem(), 2);
    QTest::mousePress(bar, Qt::LeftButton, {}, bar->UpArrowRect().center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !bar->IsScrolling(); }, 10000));
    EXPECT_EQ(bar->Model().FirstVisibleItem(), 0);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->UpArrowRect().center());
}

TEST_F(NavBarScrollTest, AllItemsFittingShowNoArrows)
{
    MakeBar(0x1FC, 400);
    EXPECT_FALSE(bar->UpArrowShown());
    EXPECT_FALSE(bar->DownArrowShown());
    bar->UseSmallIcons(true);
    bar->repaint();
    EXPECT_FALSE(bar->DownArrowShown());
}
