// The program's own message box as a user meets it: Japanese buttons answered from the keyboard.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "uikit/MessageBox.h"

namespace {

TEST(MessageBoxTest, EveryButtonAnswersToItsAccessKey)
{
    const QMessageBox::StandardButtons question =
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    const QMessageBox::StandardButtons yesNo = QMessageBox::Yes | QMessageBox::No;
    // Each case: the buttons offered, the default, the key pressed with Alt and what it answers.
    const struct {
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
        Qt::Key key;
        QMessageBox::StandardButton answer;
        const char* text;
    } cases[] = {
        {question, QMessageBox::Save, Qt::Key_D, QMessageBox::Discard, "破棄(&D)"},
        {question, QMessageBox::Save, Qt::Key_C, QMessageBox::Cancel, "キャンセル(&C)"},
        {question, QMessageBox::Cancel, Qt::Key_S, QMessageBox::Save, "保存(&S)"},
        {yesNo, QMessageBox::No, Qt::Key_Y, QMessageBox::Yes, "はい(&Y)"},
        {yesNo, QMessageBox::Yes, Qt::Key_N, QMessageBox::No, "いいえ(&N)"},
    };
    for (const auto& c : cases) {
        QString shownText;
        QStringList keys;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* button : box->buttons())
                keys << button->shortcut().toString(QKeySequence::PortableText);
            shownText = box->button(c.answer)->text();
            box->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(box));
            QTest::keyClick(box, c.key, Qt::AltModifier);
            // A key that does nothing must not leave the test waiting.
            QTimer::singleShot(2000, box, [box] { box->done(QMessageBox::NoButton); });
        });
        const QMessageBox::StandardButton got =
            ShowMessageBox(nullptr, QStringLiteral("変更を保存しますか？"),
                           EMessageBoxIcon::Question, c.buttons, c.defaultButton);
        EXPECT_EQ(got, c.answer) << c.text;
        EXPECT_EQ(shownText, QString::fromUtf8(c.text));
        // Every button of the box has an access key, none the same.
        EXPECT_EQ(keys.size(), c.buttons == question ? 3 : 2) << c.text;
        EXPECT_EQ(keys.removeDuplicates(), 0) << c.text;
        EXPECT_FALSE(keys.contains(QString())) << c.text;
    }
}

}  // namespace
