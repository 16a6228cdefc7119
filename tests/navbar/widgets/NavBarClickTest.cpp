#include "navbar/widgets/NavBarFixture.h"
#include "support/widgets/WidgetLookup.h"

TEST_F(NavBarWidgetTest, ClickingAnItemSendsItsIndex)
{
    for (int k = 0; k < 4; ++k) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, IconCenter(k));
        ASSERT_EQ(notes.size(), static_cast<size_t>(k + 1));
        EXPECT_EQ(notes.back().code, BarNotifyItemClick);
        EXPECT_EQ(notes.back().index, k);
        EXPECT_EQ(bar->Model().LastClickedItem(), k);
    }
    // The label counts as the item too.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->ItemLabelRect(0, 2).center());
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_EQ(notes.back().index, 2);
    // The press look is gone afterwards.
    EXPECT_EQ(bar->HotItem(), -1);
    EXPECT_FALSE(bar->HotItemPressed());
}

TEST_F(NavBarWidgetTest, PressOnOneItemReleaseOnAnotherDoesNothing)
{
    QTest::mousePress(bar, Qt::LeftButton, {}, IconCenter(0));
    EXPECT_EQ(bar->HotItem(), 0);
    EXPECT_TRUE(bar->HotItemPressed());
    QTest::mouseMove(bar, IconCenter(2));
    EXPECT_FALSE(bar->HotItemPressed());
    EXPECT_FALSE(bar->IsDragging());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, IconCenter(2));
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(bar->Model().LastClickedItem(), -1);
    EXPECT_EQ(Labels(), std::vector<QString>(std::begin(kMenuLabels), std::end(kMenuLabels)));

    // Coming back onto the pressed item before releasing still clicks it.
    QTest::mousePress(bar, Qt::LeftButton, {}, IconCenter(1));
    QTest::mouseMove(bar, IconCenter(3));
    QTest::mouseMove(bar, IconCenter(1));
    EXPECT_TRUE(bar->HotItemPressed());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, IconCenter(1));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].index, 1);
}

TEST_F(NavBarWidgetTest, FolderPressAndReleaseRules)
{
    const int third = bar->AppendFolder(QStringLiteral("その他"), 0);
    bar->InsertFolderItem(third, -1, QStringLiteral("Top"), 0, 0);
    bar->repaint();
    const QPoint f1 = bar->FolderButtonRect(1).center();
    const QPoint f2 = bar->FolderButtonRect(2).center();

    QTest::mousePress(bar, Qt::LeftButton, {}, f1);
    EXPECT_EQ(bar->PressedFolder(), 1);
    QTest::mouseMove(bar, f2);
    EXPECT_EQ(bar->PressedFolder(), -1);  // off its own button it looks normal again
    QTest::mouseRelease(bar, Qt::LeftButton, {}, f2);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].code, BarNotifyFolderSelected);
    EXPECT_EQ(notes[0].index, 2);
    EXPECT_EQ(bar->SelectedFolder(), 2);
    EXPECT_EVENTUALLY(!bar->IsAnimating());

    // Releasing on the open folder's button changes nothing.
    const QPoint open = bar->FolderButtonRect(2).center();
    QTest::mouseClick(bar, Qt::LeftButton, {}, open);
    EXPECT_EQ(notes.size(), 1u);
    EXPECT_EQ(bar->SelectedFolder(), 2);

    // Releasing outside every button changes nothing either.
    QTest::mousePress(bar, Qt::LeftButton, {}, bar->FolderButtonRect(0).center());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->ItemAreaRect().center());
    EXPECT_EQ(notes.size(), 1u);
    EXPECT_EQ(bar->PressedFolder(), -1);

    // A plain click on a closed folder opens it.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->FolderButtonRect(0).center());
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[1].index, 0);
    EXPECT_EQ(bar->SelectedFolder(), 0);
}

TEST_F(NavBarWidgetTest, FolderChangeSlidesOnlyWithItsFlag)
{
    const QPoint second = bar->FolderButtonRect(1).center();
    QTest::mouseClick(bar, Qt::LeftButton, {}, second);
    EXPECT_TRUE(bar->IsAnimating());
    EXPECT_GT(bar->SlideFrameCount(), 5);
    EXPECT_EQ(bar->SelectedFolder(), 1);  // the selection and its notice do not wait
    ASSERT_EQ(notes.size(), 1u);
    Shot(QStringLiteral("slide"));
    EXPECT_EVENTUALLY(!bar->IsAnimating());

    // Back up: the open folder's button sinks and uncovers the first folder's items.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->FolderButtonRect(0).center());
    ASSERT_TRUE(bar->IsAnimating());
    // Frames follow one another on the timer, without blocking the event loop.
    EXPECT_EVENTUALLY(!bar->IsAnimating() || bar->SlideFrameShown() >= 4);
    Shot(QStringLiteral("slide-up"));
    EXPECT_EVENTUALLY(!bar->IsAnimating());
    EXPECT_EQ(bar->SelectedFolder(), 0);

    MakeBar(0x1FC & ~BarAnimateFolders);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->FolderButtonRect(1).center());
    EXPECT_FALSE(bar->IsAnimating());
    EXPECT_EQ(bar->SelectedFolder(), 1);
}

TEST_F(NavBarWidgetTest, HoverFollowsThePointerAndLeavesWithIt)
{
    QTest::mouseMove(bar, bar->FolderButtonRect(1).center());
    EXPECT_EQ(bar->HotFolder(), 1);
    EXPECT_EQ(bar->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(bar, IconCenter(2));
    EXPECT_EQ(bar->HotFolder(), -1);
    EXPECT_EQ(bar->HotItem(), 2);
    EXPECT_FALSE(bar->HotItemPressed());
    EXPECT_NE(bar->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(bar, bar->FolderButtonRect(1).center());
    EXPECT_EQ(bar->HotItem(), -1);

    // Out of the bar: the hover watch takes the look away.
    QTest::mouseMove(host.get(), QPoint(300, 300));
    EXPECT_EVENTUALLY(bar->HotFolder() == -1);
}

TEST_F(NavBarWidgetTest, NoHoverWhileRenaming)
{
    bar->BeginItemRename(0);
    ASSERT_NE(bar->RenameEdit(), nullptr);
    EXPECT_EVENTUALLY(bar->RenameEdit()->hasFocus());
    bar->SetHotFolder(1);
    bar->SetHotItem(2, false);
    EXPECT_EQ(bar->HotFolder(), -1);
    EXPECT_EQ(bar->HotItem(), -1);
}

TEST_F(NavBarWidgetTest, APressWhoseReleaseWasLostDoesNotBlockTheNext)
{
    QTest::mousePress(bar, Qt::LeftButton, {}, IconCenter(0));
    QTest::mouseMove(bar, bar->FolderButtonRect(1).center());
    ASSERT_TRUE(bar->IsDragging());
    // The release happens where the bar never sees it; the next press starts afresh.
    QTest::mouseClick(bar, Qt::LeftButton, {}, IconCenter(2));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].code, BarNotifyItemClick);
    EXPECT_EQ(notes[0].index, 2);
    EXPECT_FALSE(bar->IsDragging());
    EXPECT_EQ(Labels(), std::vector<QString>(std::begin(kMenuLabels), std::end(kMenuLabels)));

    // Hiding the bar mid-press ends the press as well.
    QTest::mousePress(bar, Qt::LeftButton, {}, bar->FolderButtonRect(1).center());
    EXPECT_EQ(bar->PressedFolder(), 1);
    bar->hide();
    EXPECT_EQ(bar->PressedFolder(), -1);
    bar->show();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->FolderButtonRect(1).center());
    EXPECT_EQ(bar->SelectedFolder(), 1);
}
