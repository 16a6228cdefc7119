#include <QLineEdit>
#include <QPointer>

#include "navbar/widgets/NavBarFixture.h"
#include "support/widgets/WidgetLookup.h"

class NavBarRenameTest : public NavBarWidgetTest {
protected:
    CBarLabelEdit* OpenEdit()
    {
        CBarLabelEdit* edit = bar->RenameEdit();
        EXPECT_NE(edit, nullptr);
        if (edit != nullptr) {
            EXPECT_TRUE(QTest::qWaitFor([edit] { return edit->hasFocus(); }));
        }
        return edit;
    }

    void Retype(CBarLabelEdit* edit, const QString& text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        // Typed key by key where the test keyboard has the keys, else as an input method would.
        bool ascii = true;
        for (QChar c : text) ascii = ascii && c.unicode() < 0x80;
        if (ascii)
            QTest::keyClicks(edit, text);
        else
            edit->insertPlainText(text);
    }
};

TEST_F(NavBarRenameTest, EnterRenamesAnAcceptedItem)
{
    bar->BeginItemRename(1);
    QPointer<CBarLabelEdit> edit = OpenEdit();
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->Text(), kMenuLabels[1]);
    Shot(QStringLiteral("rename-large"));
    Retype(edit, QStringLiteral("Catch"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EVENTUALLY(edit.isNull());
    EXPECT_TRUE(bar->hasFocus());
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].code, BarNotifyItemLabelEdited);
    EXPECT_EQ(notes[0].infoIndex, 1);
    EXPECT_EQ(notes[0].text, "Catch");
    EXPECT_EQ(bar->ItemLabel(1), QStringLiteral("Catch"));
}

TEST_F(NavBarRenameTest, RefusedRenameKeepsTheLabel)
{
    reply = 0;
    bar->BeginItemRename(2);
    QPointer<CBarLabelEdit> edit = OpenEdit();
    ASSERT_TRUE(edit);
    Retype(edit, QStringLiteral("Other"));
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EVENTUALLY(edit.isNull());
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(bar->ItemLabel(2), kMenuLabels[2]);
}

TEST_F(NavBarRenameTest, EscapeOrEmptyTextSendsNothing)
{
    bar->BeginItemRename(0);
    QPointer<CBarLabelEdit> edit = OpenEdit();
    ASSERT_TRUE(edit);
    Retype(edit, QStringLiteral("Changed"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EVENTUALLY(edit.isNull());
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(bar->ItemLabel(0), kMenuLabels[0]);

    bar->BeginFolderRename(0);
    edit = OpenEdit();
    ASSERT_TRUE(edit);
    Retype(edit, QString());
    EXPECT_TRUE(edit->toPlainText().isEmpty());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EVENTUALLY(edit.isNull());
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(bar->FolderName(0), QStringLiteral("メニュー"));
}

TEST_F(NavBarRenameTest, LosingTheFocusConfirmsAFolderName)
{
    bar->BeginFolderRename(1);
    QPointer<CBarLabelEdit> edit = OpenEdit();
    ASSERT_TRUE(edit);
    // The edit lies over the button, two pixels in.
    EXPECT_EQ(edit->geometry(), bar->FolderButtonRect(1).adjusted(2, 2, -2, -2));
    Retype(edit, QStringLiteral("釣り場"));
    Shot(QStringLiteral("rename-folder"));
    // The user clicks into another control: the name is taken and the focus stays there.
    auto* other = new QLineEdit(host.get());
    other->setGeometry(200, 10, 100, 20);
    other->show();
    other->setFocus();
    EXPECT_EVENTUALLY(edit.isNull());
    EXPECT_TRUE(other->hasFocus());
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].code, BarNotifyFolderNameEdited);
    EXPECT_EQ(notes[0].infoIndex, 1);
    EXPECT_EQ(notes[0].text, "釣り場");
    EXPECT_EQ(bar->FolderName(1), QStringLiteral("釣り場"));
}

TEST_F(NavBarRenameTest, SmallViewEditGrowsOnOneLine)
{
    bar->UseSmallIcons(true);
    bar->repaint();
    bar->BeginItemRename(0);
    QPointer<CBarLabelEdit> edit = OpenEdit();
    ASSERT_TRUE(edit);
    const QRect label = bar->ItemLabelRect(0, 0);
    const QRect icon = bar->ItemIconRect(0, 0);
    EXPECT_EQ(edit->geometry().topLeft(), label.topLeft() + QPoint(icon.width() + 1, -6));
    const int before = edit->width();
    QTest::keyClicks(edit, QStringLiteral(" and a longer name"));
    EXPECT_GT(edit->width(), before);
    // Never past the bar's right edge.
    QTest::keyClicks(edit, QStringLiteral(" that goes on and on and on and on and on"));
    EXPECT_LE(edit->geometry().right(), bar->contentsRect().right());
    Shot(QStringLiteral("rename-small"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EVENTUALLY(edit.isNull());
}
