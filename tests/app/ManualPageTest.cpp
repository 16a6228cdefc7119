// The manual page, the package's metadata and the program's own --help and --version agree.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

namespace {

QString SourceFile(const char* relative)
{
    QFile file(QStringLiteral(LUREBOOK_SOURCE_DIR "/") + QString::fromUtf8(relative));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

QString ProgramOutput(const QStringList& arguments, int* exitCode)
{
    QProcess process;
    process.start(QStringLiteral(LUREBOOK_PROGRAM), arguments);
    if (!process.waitForFinished(60000)) return {};
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The long options named at the start of a line: "  --name <VALUE>  text" in --help, an option
// entry ".BI \-\-name " in the manual's roff.
QSet<QString> LongOptions(const QString& text, const QString& linePattern)
{
    QSet<QString> names;
    QRegularExpressionMatchIterator it =
        QRegularExpression(linePattern, QRegularExpression::MultilineOption).globalMatch(text);
    while (it.hasNext()) names.insert(it.next().captured(1).remove(u'\\'));
    return names;
}

TEST(ManualPageTest, EveryOptionOfTheHelpIsInTheManual)
{
    int exitCode = -1;
    const QString help = ProgramOutput({QStringLiteral("--help")}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: lurebook [options]"))) << help.toStdString();
    const QSet<QString> helpOptions =
        LongOptions(help, QStringLiteral("^  (?:-\\w, )?(--[\\w-]+)"));
    ASSERT_TRUE(helpOptions.contains(QStringLiteral("--version")));
    ASSERT_TRUE(helpOptions.contains(QStringLiteral("--program-dir")));

    const QString manual = SourceFile("assets/man/lurebook.1");
    const qsizetype options = manual.indexOf(QStringLiteral("\n.SH OPTIONS"));
    const qsizetype end = manual.indexOf(QStringLiteral("\n.SH "), options + 1);
    ASSERT_GT(options, 0);
    // Each entry of the OPTIONS section: ".TP" then the line naming it ("-h, --help" counts
    // every name on the line).
    const QStringList entries = manual.mid(options, end - options).split(QStringLiteral("\n.TP\n"));
    QSet<QString> manualOptions;
    for (qsizetype i = 1; i < entries.size(); ++i) {
        const QString first = entries[i].section(u'\n', 0, 0);
        QRegularExpressionMatchIterator it =
            QRegularExpression(QStringLiteral("(\\\\-\\\\-[\\w\\\\-]+)")).globalMatch(first);
        while (it.hasNext()) manualOptions.insert(it.next().captured(1).remove(u'\\'));
    }
    for (const QString& name : helpOptions)
        EXPECT_TRUE(manualOptions.contains(name)) << name.toStdString() << " is not in the manual";
}

TEST(ManualPageTest, TheVersionIsTheSameEverywhere)
{
    const QString version = QStringLiteral(LUREBOOK_VERSION);
    int exitCode = -1;
    EXPECT_EQ(ProgramOutput({QStringLiteral("--version")}, &exitCode),
              QStringLiteral("Lurebook ") + version + u'\n');
    EXPECT_EQ(exitCode, 0);
    // The manual's header, the package's changelog and the newest AppStream release.
    EXPECT_TRUE(SourceFile("assets/man/lurebook.1")
                    .contains(QStringLiteral("\"Lurebook ") + version + u'"'));
    EXPECT_TRUE(SourceFile("packaging/changelog")
                    .startsWith(QStringLiteral("lurebook (") + version + u')'));
    const QString metainfo = SourceFile("assets/desktop/io.github.lurebook.lurebook.metainfo.xml");
    const QRegularExpressionMatch newest =
        QRegularExpression(QStringLiteral("<release version=\"([^\"]+)\"")).match(metainfo);
    EXPECT_EQ(newest.captured(1), version);
}

}  // namespace
