#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "app/widgets/AboutDlg.h"
#include "app/widgets/LinkStatic.h"
#include "app/widgets/Manual.h"
#include "support/TempProgramDir.h"
#include "support/widgets/FakeDesktopServices.h"
#include "support/widgets/WidgetLookup.h"

namespace {

TEST(LinkStaticTest, ClickOpensTheTextAndMailAddressesGetMailto)
{
    CFakeDesktopServices desktop;
    CLinkStatic web(QStringLiteral("https://lurebook.example.org/"));
    web.resize(200, 20);
    web.show();
    QTest::mouseClick(&web, Qt::LeftButton, {}, QPoint(10, 10));
    CLinkStatic mail(QStringLiteral("angler@example.org"));
    mail.resize(200, 20);
    mail.show();
    QTest::mouseClick(&mail, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(desktop.Opened().size(), 2);
    EXPECT_EQ(desktop.Opened()[0], QUrl(QStringLiteral("https://lurebook.example.org/")));
    EXPECT_EQ(desktop.Opened()[1], QUrl(QStringLiteral("mailto:angler@example.org")));
}

TEST(LinkStaticTest, AGivenTargetIsOpenedInsteadOfTheText)
{
    CFakeDesktopServices desktop;
    CLinkStatic link(QStringLiteral("使い方"));
    link.SetTarget(QUrl::fromLocalFile(QStringLiteral("/opt/help/manual.html")));
    link.resize(200, 20);
    link.show();
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(desktop.Opened().size(), 1);
    EXPECT_EQ(desktop.Opened()[0], QUrl(QStringLiteral("file:///opt/help/manual.html")));
}

TEST(ManualTest, FoundNextToTheProgramOrNotAtAll)
{
    const std::string dir = MakeTempDir();
    const QString programDir = QString::fromStdString(dir);
    EXPECT_EQ(FindManual(programDir), QString());
    WriteFileBytes(dir + "help/manual.html", "<html></html>");
    EXPECT_EQ(FindManual(programDir), QString::fromStdString(dir + "help/manual.html"));
    RemoveTree(dir);
}

TEST(LinkStaticTest, ReleasingOutsideOpensNothingAndRestoresTheColour)
{
    CFakeDesktopServices desktop;
    CLinkStatic link(QStringLiteral("https://lurebook.example.org/"));
    link.resize(200, 20);
    link.show();
    EXPECT_EQ(link.GetLinkColour(), CLinkStatic::kNormalColour);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&link, &enter);
    EXPECT_EQ(link.GetLinkColour(), CLinkStatic::kHoverColour);
    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(link.IsPressed());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    EXPECT_EQ(link.GetLinkColour(), CLinkStatic::kHoverColour);  // still pressed
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(300, 50));
    EXPECT_TRUE(desktop.Opened().isEmpty());
    EXPECT_EQ(link.GetLinkColour(), CLinkStatic::kNormalColour);
    EXPECT_FALSE(link.IsPressed());
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
}

TEST(AboutDlgTest, ShowsNameVersionAndLinkAndClosesWithOk)
{
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Lurebook"));
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
    // The version is the one the build was made as (the project's, three numbers).
    const QString version = QString::fromUtf8(LUREBOOK_VERSION);
    EXPECT_TRUE(version.contains(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))));
    EXPECT_TRUE(texts.contains(QStringLiteral("Lurebook バージョン ") + version))
        << texts.join(QLatin1Char('|')).toStdString();
    // The tide data's licence asks for its credit wherever it is shown.
    const QString all = texts.join(QLatin1Char('\n'));
    for (const char* credit : {"TICON-4", "CC BY 4.0", "Neaps tide database"}) {
        EXPECT_TRUE(all.contains(QString::fromUtf8(credit))) << credit;
    }
    CLinkStatic* link = FindControl<CLinkStatic>(&dialog, 1033);
    ASSERT_NE(link, nullptr);
    // The link names the manual shipped with the program, no address on the web.
    EXPECT_EQ(link->text(), QStringLiteral("使い方 (マニュアル)"));
    QPushButton* ok = FindControl<QPushButton>(&dialog, 1);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    dialog.show();
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
    // The credit's lines are whole: none is wider than its label, so none is broken inside a word.
    QLabel* credit = nullptr;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->text().contains(QStringLiteral("TICON-4"))) credit = label;
    }
    ASSERT_NE(credit, nullptr);
    for (const QString& line : credit->text().split(u'\n')) {
        EXPECT_LE(credit->fontMetrics().horizontalAdvance(line), credit->contentsRect().width())
            << line.toStdString();
    }
    EXPECT_LE(credit->sizeHint().height(), credit->height());
    // Every control lies inside the dialog.
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        EXPECT_TRUE(dialog.rect().contains(child->geometry())) << child->objectName().toStdString();
    }
}

}  // namespace
