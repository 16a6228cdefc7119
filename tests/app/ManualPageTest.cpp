// The manual page, the package's metadata and the program's own --help and --version agree.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "app/InstanceLock.h"
#include "app/SettingsCarryOver.h"
#include "data/DataFolder.h"
#include "uikit/QtText.h"

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
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
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
    EXPECT_TRUE(help.startsWith(QStringLiteral("使い方: lurebook [オプション]")))
        << help.toStdString();
    EXPECT_TRUE(help.contains(QStringLiteral("\nオプション:\n"))) << help.toStdString();
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

// What a mistyped command line tells, in the language of the rest of the program.
TEST(ManualPageTest, CommandLineMistakesAreExplainedInJapanese)
{
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{"--no-such"}, "知らないオプション「no-such」です。"},
        {{"--program-dir"}, "「--program-dir」の後に値がありません。"},
        {{"--list-ports=all"}, "「--list-ports」には値を付けられません。"},
        {{"--report", "last", "--output", "x.pdf"}, "「last」は年ではありません"},
    };
    for (const auto& c : cases) {
        QProcess process;
        process.start(QStringLiteral(LUREBOOK_PROGRAM), c.arguments);
        ASSERT_TRUE(process.waitForFinished(60000));
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        EXPECT_EQ(process.exitCode(), 2) << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(errors.contains(QString::fromUtf8(c.message))) << errors.toStdString();
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    }
}

// The text of the manual's section title, without roff's escapes and font requests.
QString ManualSection(const QString& title)
{
    const QString manual = SourceFile("assets/man/lurebook.1");
    const qsizetype start = manual.indexOf(QStringLiteral("\n.SH ") + title + u'\n');
    if (start < 0) return {};
    const qsizetype end = manual.indexOf(QStringLiteral("\n.SH "), start + 1);
    return manual.mid(start, end - start).remove(u'\\');
}

TEST(ManualPageTest, FilesNamesEveryFileTheProgramKeeps)
{
    const QString files = ManualSection(QStringLiteral("FILES"));
    ASSERT_FALSE(files.isEmpty());
    std::vector<std::string> kept = CDataFolder::KeptPaths();
    ASSERT_GE(kept.size(), 8u);
    for (const std::string& path : kept) {
        EXPECT_TRUE(files.contains(QStringLiteral("/lurebook/") + QStringFromStd(path)))
            << path << " is not in FILES";
    }
    // The settings, where the program keeps them and where older versions did.
    EXPECT_TRUE(files.contains(QStringFromStd(SettingsFileIn("~/.config"))));
    EXPECT_TRUE(files.contains(QStringFromStd(OldSettingsFileIn("~/.config"))));
}

// Each mode's entry under EXIT STATUS: the options on its ".TP" line and the statuses it names
// (".B n" lines).
QMap<QString, QSet<int>> ExitStatuses()
{
    QMap<QString, QSet<int>> statuses;
    const QStringList entries = ManualSection(QStringLiteral("EXIT STATUS")).split("\n.TP\n");
    for (qsizetype i = 1; i < entries.size(); ++i) {
        QSet<int> codes{0};
        QRegularExpressionMatchIterator code =
            QRegularExpression(QStringLiteral("^\\.B (\\d+)$"), QRegularExpression::MultilineOption)
                .globalMatch(entries[i]);
        while (code.hasNext()) codes.insert(code.next().captured(1).toInt());
        const QString first = entries[i].section(u'\n', 0, 0);
        QRegularExpressionMatchIterator name =
            QRegularExpression(QStringLiteral("(--[\\w-]+)")).globalMatch(first);
        while (name.hasNext()) statuses[name.next().captured(1)] += codes;
    }
    return statuses;
}

TEST(ManualPageTest, ExitStatusNamesWhatEveryModeReturns)
{
    const QMap<QString, QSet<int>> documented = ExitStatuses();
    // Every option whose help says it exits is a mode with an entry of its own.
    int exitCode = -1;
    const QString help = ProgramOutput({QStringLiteral("--help")}, &exitCode);
    QString option;
    for (const QString& line : help.split(u'\n')) {
        const QRegularExpressionMatch named =
            QRegularExpression(QStringLiteral("^  (?:-\\w, )?(--[\\w-]+)")).match(line);
        if (named.hasMatch()) option = named.captured(1);
        if (!option.isEmpty() && line.contains(QStringLiteral(" exit"))) {
            EXPECT_TRUE(documented.contains(option)) << option.toStdString();
        }
    }

    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/Data/");
    ASSERT_TRUE(QDir().mkpath(data));
    QFile catchFile(data + QStringLiteral("fish.xml"));
    ASSERT_TRUE(catchFile.open(QIODevice::WriteOnly));
    catchFile.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FishDataList/>\n");
    catchFile.close();
    QFile empty(dir.path() + QStringLiteral("/empty.csv"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    const QStringList here{QStringLiteral("--program-dir"), dir.path()};
    const QString nowhere = dir.path() + QStringLiteral("/no/such/folder/out");
    struct Case {
        QString mode;
        QStringList arguments;
        int status;
    } const cases[] = {
        {"--print-calendar", {"--print-calendar", "2026-1"}, 2},
        {"--export-csv", here + QStringList{"--export-csv", nowhere + ".csv"}, 2},
        {"--import-csv", here + QStringList{"--import-csv", dir.path() + "/missing.csv"}, 2},
        {"--import-csv", here + QStringList{"--import-csv", empty.fileName()}, 1},
        {"--report", here + QStringList{"--report", "2026"}, 2},
        {"--report", here + QStringList{"--report", "2026", "--output", nowhere + ".pdf"}, 2},
        {"--list-history", here + QStringList{"--list-history"}, 0},
        {"--restore-history", here + QStringList{"--restore-history", "20260101-000000.gz"}, 2},
        {"--list-ports", {"--list-ports"}, 0},
        {"--print-tides", {"--print-tides", "nowhere-port", "2027"}, 1},
        {"--print-tides", {"--print-tides", "東京", "2027-13"}, 2},
        {"--print-tides", {"--print-tides", "東京"}, 2},
        {"--print-conditions", here + QStringList{"--print-conditions", "year"}, 2},
        {"--print-conditions",
         here + QStringList{"--print-conditions", "2027", "--port", "nowhere-port"}, 1},
        {"--program-dir", {"--program-dir", "", "--list-history"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        ProgramOutput(c.arguments, &exitCode);
        EXPECT_EQ(exitCode, c.status);
        EXPECT_TRUE(documented.value(c.mode).contains(exitCode)) << c.mode.toStdString();
    }

    // The modes that write the log refuse while a running program holds the folder.
    CInstanceLock lock;
    ASSERT_EQ(lock.Acquire(PathFromQString(data + QStringLiteral(".lurebook.lock"))),
              CInstanceLock::EResult::Acquired);
    for (const QString& mode :
         {QStringLiteral("--import-csv"), QStringLiteral("--restore-history")}) {
        ProgramOutput(here + QStringList{mode, empty.fileName()}, &exitCode);
        EXPECT_EQ(exitCode, 2) << mode.toStdString();
        EXPECT_TRUE(documented.value(mode).contains(exitCode)) << mode.toStdString();
        EXPECT_TRUE(ManualSection(QStringLiteral("EXIT STATUS"))
                        .section(QStringLiteral(".B ") + mode, 1, 1)
                        .section(QStringLiteral(".TP"), 0, 0)
                        .simplified()
                        .contains(QStringLiteral("same Data folder")))
            << mode.toStdString();
    }
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
