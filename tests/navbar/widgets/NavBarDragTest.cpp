#include "navbar/widgets/NavBarFixture.h"

namespace {
std::vector<QString> Order(std::initializer_list<int> indexes)
{
    std::vector<QString> order;
    for (int k : indexes) order.push_back(kMenuLabels[k]);
    return order;
}
}  // namespace

class NavBarDragTest : public NavBarWidgetTest {
protected:
    // Below the last item, above the bottom of the item area.
    QPoint Band() const
    {
        const int y = (bar->ItemBoundsRect(0, 3).bottom() + bar->ItemAreaRect().bottom()) / 2;
        return QPoint(bar->ItemAreaRect().center().x(), y);
    }

    // A place on no item, where a drag starts.
    QPoint Off() const { return bar->FolderButtonRect(1).center(); }

    void Drag(int from, const QPoint& to)
    {
        QTest::mousePress(bar, Qt::LeftButton, {}, IconCenter(from));
        QTest::mouseMove(bar, Off());
        ASSERT_TRUE(bar->IsDragging());
        QTest::mouseMove(bar, to);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, to);
    }
};

TEST_F(NavBarDragTest, DroppingOnAnItemPutsTheDraggedOneBeforeIt)
{
    Drag(0, IconCenter(3));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].code, BarNotifyItemMoved);
    EXPECT_EQ(notes[0].folder, 0);
    EXPECT_EQ(notes[0].item, 0);
    EXPECT_EQ(Labels(), Order({1, 2, 0, 3}));
    EXPECT_FALSE(bar->IsDragging());
    EXPECT_EQ(bar->DropPosition(), -1);

    MakeBar();
    Drag(3, IconCenter(0));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].item, 3);
    EXPECT_EQ(Labels(), Order({3, 0, 1, 2}));
}

TEST_F(NavBarDragTest, DroppingBelowTheLastItemAppends)
{
    Drag(1, Band());
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].item, 1);
    EXPECT_EQ(Labels(), Order({0, 2, 3, 1}));
}

TEST_F(NavBarDragTest, RefusedOrPointlessDropsChangeNothing)
{
    reply = 0;
    Drag(0, IconCenter(3));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(Labels(), Order({0, 1, 2, 3}));

    reply = 1;
    notes.clear();
    Drag(2, IconCenter(2));  // onto itself
    Drag(2, Off());          // outside the items
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(Labels(), Order({0, 1, 2, 3}));
}

TEST_F(NavBarDragTest, MarkerAndCursorsFollowTheDrag)
{
    QTest::mousePress(bar, Qt::LeftButton, {}, IconCenter(1));
    QTest::mouseMove(bar, Off());
    ASSERT_TRUE(bar->IsDragging());
    EXPECT_EQ(bar->DropPosition(), -1);
    QTest::mouseMove(bar, Off() + QPoint(3, 0));
    EXPECT_EQ(bar->cursor().shape(), Qt::ForbiddenCursor);
    QTest::mouseMove(bar, IconCenter(3));
    EXPECT_EQ(bar->DropPosition(), 3);
    EXPECT_EQ(bar->cursor().shape(), Qt::DragMoveCursor);
    QTest::mouseMove(bar, Band());
    EXPECT_EQ(bar->DropPosition(), 4);
    Shot(QStringLiteral("drop-marker-end"));
    QTest::mouseMove(bar, IconCenter(2));
    EXPECT_EQ(bar->DropPosition(), 2);
    // The marker is drawn: its line is black across the item area.
    const QRect marker = bar->DropMarkerRect(2, nullptr);
    const QImage picture = bar->grab().toImage();
    EXPECT_EQ(picture.pixelColor(marker.center().x(), marker.top()), QColor(Qt::black));
    Shot(QStringLiteral("drop-marker"));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, IconCenter(2));
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);
    // Gone with the drag.
    const QImage after = bar->grab().toImage();
    EXPECT_NE(after.pixelColor(marker.center().x(), marker.top()), QColor(Qt::black));
}

TEST_F(NavBarWidgetTest, WithoutTheDragFlagNoDragStarts)
{
    MakeBar(0x1FC & ~BarDragItems);
    QTest::mousePress(bar, Qt::LeftButton, {}, IconCenter(0));
    QTest::mouseMove(bar, bar->FolderButtonRect(1).center());
    EXPECT_FALSE(bar->IsDragging());
    QTest::mouseMove(bar, IconCenter(3));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, IconCenter(3));
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(Labels(), std::vector<QString>(std::begin(kMenuLabels), std::end(kMenuLabels)));
}
