#include <QAction>
#include <QTimer>

#include "navbar/widgets/NavBarFixture.h"

namespace {
struct MenuEntry {
    QString text;  // empty for a separator
    bool enabled = false;
    bool operator==(const MenuEntry&) const = default;
};
}  // namespace

class NavBarMenuTest : public NavBarWidgetTest {
protected:
    // Right-clicks at `point`, reads the menu that opens and chooses `choose` in it (0: none).
    std::vector<MenuEntry> RightClick(const QPoint& point, int choose = 0)
    {
        std::vector<MenuEntry> entries;
        bool seen = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<CBarPopupMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr || seen) return;
            seen = true;
            const QByteArray shots = qgetenv("LUREBOOK_NAVBAR_SHOTS");
            if (!shots.isEmpty()) {
                const QImage picture = menu->grab().toImage();
                picture.scaled(picture.size() * 3)
                    .save(QString::fromLocal8Bit(shots) +
                          QStringLiteral("/menu-%1-x3.png").arg(menu->actions().size()));
            }
            for (QAction* action : menu->actions())
                entries.push_back(
                    {action->isSeparator() ? QString() : action->text(), action->isEnabled()});
            if (choose != 0 && menu->FindCommand(choose) != nullptr) {
                menu->setActiveAction(menu->FindCommand(choose));
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                menu->close();
            }
        });
        poll.start();
        QTest::mouseClick(bar, Qt::RightButton, {}, point);
        EXPECT_TRUE(seen);
        return entries;
    }

    QPoint Empty() const
    {
        return QPoint(bar->ItemAreaRect().left() + 3, bar->ItemAreaRect().bottom() - 3);
    }
};

TEST_F(NavBarMenuTest, EmptySpaceOffersTheViewsOnly)
{
    EXPECT_EQ(RightClick(Empty()),
              (std::vector<MenuEntry>{{QStringLiteral("小さいアイコン(&S)"), true},
                                      {QStringLiteral("大きいアイコン(&L)"), false}}));
    RightClick(Empty(), BarCmdSmallIcons);
    EXPECT_TRUE(bar->UsesSmallIcons());
    EXPECT_EQ(RightClick(Empty()),
              (std::vector<MenuEntry>{{QStringLiteral("小さいアイコン(&S)"), false},
                                      {QStringLiteral("大きいアイコン(&L)"), true}}));
    RightClick(Empty(), BarCmdLargeIcons);
    EXPECT_FALSE(bar->UsesSmallIcons());
}

TEST_F(NavBarMenuTest, ItemsAndFoldersOfferRemoveAndRename)
{
    const std::vector<MenuEntry> full{{QStringLiteral("小さいアイコン(&S)"), true},
                                      {QStringLiteral("大きいアイコン(&L)"), false},
                                      {QString(), true},
                                      {QStringLiteral("削除(&D)"), true},
                                      {QStringLiteral("名前の変更(&M)"), true}};
    EXPECT_EQ(RightClick(IconCenter(1)), full);
    EXPECT_EQ(RightClick(bar->FolderButtonRect(1).center()), full);

    RightClick(IconCenter(1), BarCmdRemove);
    EXPECT_EQ(bar->ItemCountOfSelected(), 3);
    EXPECT_EQ(bar->ItemLabel(1), kMenuLabels[2]);

    RightClick(bar->FolderButtonRect(0).center(), BarCmdRename);
    ASSERT_NE(bar->RenameEdit(), nullptr);
    EXPECT_EQ(bar->RenameEdit()->Kind(), BarNotifyFolderNameEdited);
    EXPECT_EQ(bar->RenameEdit()->Index(), 0);
    QTest::keyClick(bar->RenameEdit(), Qt::Key_Escape);

    RightClick(bar->FolderButtonRect(1).center(), BarCmdRemove);
    EXPECT_EQ(bar->FolderCount(), 1);
    EXPECT_TRUE(notes.empty());  // removing tells the owner nothing
}

TEST_F(NavBarMenuTest, FlagsDecideTheExtraEntries)
{
    MakeBar(BarRenameItems | BarRemoveFolders | BarSmallIcons);
    EXPECT_EQ(RightClick(IconCenter(0)),
              (std::vector<MenuEntry>{{QStringLiteral("小さいアイコン(&S)"), false},
                                      {QStringLiteral("大きいアイコン(&L)"), true},
                                      {QString(), true},
                                      {QStringLiteral("名前の変更(&M)"), true}}));
    EXPECT_EQ(RightClick(bar->FolderButtonRect(1).center()),
              (std::vector<MenuEntry>{{QStringLiteral("小さいアイコン(&S)"), false},
                                      {QStringLiteral("大きいアイコン(&L)"), true},
                                      {QString(), true},
                                      {QStringLiteral("削除(&D)"), true}}));
    MakeBar(BarAnimateFolders);
    EXPECT_EQ(RightClick(IconCenter(0)).size(), 2u);
}

TEST_F(NavBarMenuTest, OwnerDrawnEntrySizes)
{
    CBarPopupMenu menu;
    menu.AddCommand(BarCmdSmallIcons, QStringLiteral("小さいアイコン(&S)"), true);
    menu.addSeparator();
    menu.AddCommand(BarCmdRemove, QString(), true);
    const QFontMetrics metrics(menu.font());
    const int height = std::max(20, metrics.height());
    const QList<QAction*> actions = menu.actions();
    EXPECT_EQ(menu.actionGeometry(actions[0]).height(), height);
    EXPECT_EQ(menu.actionGeometry(actions[1]).height(), 6);
    EXPECT_EQ(menu.actionGeometry(actions[2]).height(), 20);
    EXPECT_GE(menu.actionGeometry(actions[0]).width(),
              metrics.horizontalAdvance(QStringLiteral("小さいアイコン(&S)")) + 17 + height);
}
