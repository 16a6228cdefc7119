// The command-line modes --report, --print-tides and --print-conditions, run as their own processes
// without a display.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include "app/InstanceLock.h"
#include "data/CatchStore.h"
#include "support/TempProgramDir.h"
#include "support/widgets/PdfTools.h"

namespace {

struct CRun {
    int exitCode = -1;
    QString errors;
    QString output;
};

CRun RunProgram(const QStringList& arguments, const QString& workingDirectory = {})
{
    QProcess process;
    if (!workingDirectory.isEmpty()) process.setWorkingDirectory(workingDirectory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // As on a server or in a cron job: no display and no platform chosen.
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(LUREBOOK_PROGRAM), arguments);
    if (!process.waitForFinished(120000)) return {};
    CRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = QString::fromLocal8Bit(process.readAllStandardError());
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    return run;
}

TEST(ReportCommandLineTest, WritesTheReportOrFailsWithAMessage)
{
    CTempProgramDir good;
    CTripRecord trip;
    trip.date = "2024/6/1";
    trip.place = "城ヶ島";
    trip.catches = {{"シーバス", "60", "2.5", "6時0分"}};
    ASSERT_TRUE(CCatchStore(good.CatchFile()).AddTrip(trip).ok());
    CTempProgramDir broken;
    broken.WriteFile("Data/fish.xml", "<CatchLog><FishData>");
    CTempProgramDir none;
    std::remove(none.CatchFile().c_str());

    const QString out = QString::fromStdString(good.Path("report.pdf"));
    const struct {
        QString programDir;
        QStringList arguments;
        QString output;  // the file checked; empty: nothing may be written
        bool succeeds;
        QString inMessage;
    } cases[] = {
        {QString::fromStdString(good.Dir()), {"--report", "2024", "--output", out}, out, true, ""},
        {QString::fromStdString(broken.Dir()),
         {"--report", "2024", "--output", out},
         "",
         false,
         "lurebook:"},
        {QString::fromStdString(none.Dir()),
         {"--report", "2024", "--output", out},
         "",
         false,
         "lurebook:"},
        {QString::fromStdString(good.Dir()),
         {"--report", "2024", "--output", QString::fromStdString(good.Path("no/dir/r.pdf"))},
         "",
         false,
         "no/dir/r.pdf"},
        {QString::fromStdString(good.Dir()),
         {"--report", "last", "--output", out},
         "",
         false,
         "last"},
        {QString::fromStdString(good.Dir()), {"--report", "2024"}, "", false, "--output"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString() + " in " + c.programDir.toStdString());
        std::remove(out.toLocal8Bit().constData());
        const CRun run = RunProgram(QStringList{"--program-dir", c.programDir} + c.arguments);
        EXPECT_EQ(run.exitCode == 0, c.succeeds) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(c.inMessage)) << run.errors.toStdString();
        if (c.succeeds) {
            EXPECT_EQ(PdfPageCount(c.output), 5);  // cover, species, conditions, places, trips
            EXPECT_TRUE(PdfText(c.output).contains(QStringLiteral("城ヶ島")));
        } else {
            EXPECT_EQ(PdfPageCount(out), -1);
        }
    }
}

// A command-line import holding the Data folder removes what cut-off saves (an import killed
// halfway) left there; while the window holds the folder, the import leaves everything alone.
TEST(ImportCommandLineTest, RemovesWhatAKilledSaveLeftWhenItHoldsTheDataFolder)
{
    for (const bool windowOpen : {false, true}) {
        SCOPED_TRACE(windowOpen);
        CTempProgramDir dir;
        dir.WriteFile("Data/fish.xml.tmp-Ab12Cd", "<CatchLog><FishData>");
        dir.WriteFile("Data/schedule/2024年  5月.txt.tmp-Xy34Zw", "[x]");
        CInstanceLock window;
        if (windowOpen) {
            ASSERT_EQ(window.Acquire(dir.Path(CInstanceLock::kLockFileName)),
                      CInstanceLock::EResult::Acquired);
        }
        const CRun run = RunProgram({"--program-dir", QString::fromStdString(dir.Dir()),
                                     "--import-csv", QString::fromStdString(dir.Path("none.csv"))});
        EXPECT_NE(run.exitCode, 0);
        EXPECT_EQ(dir.Exists("Data/fish.xml.tmp-Ab12Cd"), windowOpen);
        EXPECT_EQ(dir.Exists("Data/schedule/2024年  5月.txt.tmp-Xy34Zw"), windowOpen);
    }
}

// --program-dir DIR, --program-dir=DIR and a DIR relative to the working directory name the folder
// a mode reads and writes; the option without a directory is refused.
TEST(ProgramDirCommandLineTest, TheOptionNamesTheFolderEveryModeWorksOn)
{
    CTempProgramDir from;
    CTripRecord trip;
    trip.date = "2024/6/1";
    trip.place = "城ヶ島";
    trip.catches = {{"シーバス", "60", "2.5", "6時0分"}};
    ASSERT_TRUE(CCatchStore(from.CatchFile()).AddTrip(trip).ok());
    CTempProgramDir to;
    const std::string toDir = to.Dir().substr(0, to.Dir().size() - 1);
    const QString parent = QString::fromStdString(toDir.substr(0, toDir.rfind('/')));
    const QString relative = QString::fromStdString(toDir.substr(toDir.rfind('/') + 1));
    const QString csv = QString::fromStdString(from.Path("trips.csv"));
    const struct {
        QStringList arguments;
        QString workingDirectory;
        bool succeeds;
        QString inMessage;
    } cases[] = {
        {{"--program-dir=" + QString::fromStdString(from.Dir()), "--export-csv", csv},
         {},
         true,
         ""},
        {{"--program-dir", relative, "--import-csv", csv}, parent, true, "追加した釣行: 1 件"},
        {{"--export-csv", csv, "--program-dir="}, {}, false, "--program-dir"},
        {{"--export-csv", csv, "--program-dir"}, {}, false, "--program-dir"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CRun run = RunProgram(c.arguments, c.workingDirectory);
        EXPECT_EQ(run.exitCode == 0, c.succeeds) << run.errors.toStdString();
        EXPECT_TRUE((run.output + run.errors).contains(c.inMessage)) << run.errors.toStdString();
    }
    std::vector<CTripRecord> trips;
    ASSERT_TRUE(CCatchStore(to.CatchFile()).ReadAllTrips(trips).ok());
    ASSERT_FALSE(trips.empty());
    EXPECT_EQ(trips.back().place, "城ヶ島");
}

// lurebook --print-tides PORT PERIOD, on the shipped station file.
TEST(TideCommandLineTest, PrintsAYearOfHighAndLowWatersOrTheClosestPorts)
{
    const CRun year = RunProgram({"--print-tides", "東京", "2027"});
    ASSERT_EQ(year.exitCode, 0) << year.errors.toStdString();
    const QStringList lines = year.output.split(u'\n', Qt::SkipEmptyParts);
    // Tokyo's mixed semidiurnal tide: close to four a day, a few days with three.
    EXPECT_GT(lines.size(), 1350);
    EXPECT_LT(lines.size(), 1461);
    const QRegularExpression line(
        QStringLiteral("^2027-\\d\\d-\\d\\d\\t\\d\\d:\\d\\d\\t(満潮|干潮)\\t-?\\d+$"));
    for (const QString& text : lines)
        EXPECT_TRUE(line.match(text).hasMatch()) << text.toStdString();
    EXPECT_TRUE(lines.front().startsWith(QStringLiteral("2027-01-01\t")));
    EXPECT_TRUE(lines.back().startsWith(QStringLiteral("2027-12-31\t")));

    const struct {
        QStringList arguments;
        QString inMessage;
    } failures[] = {
        {{"--print-tides", "Maizuru", "2027"}, "maizuru-ma55-jpn-jodc_jma"},  // two gauges
        {{"--print-tides", "東京", "2027-13"}, "2027-13"},
        {{"--print-tides", "東京"}, "港と期間"},
    };
    for (const auto& c : failures) {
        const CRun run = RunProgram(c.arguments);
        EXPECT_NE(run.exitCode, 0) << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.errors.contains(c.inMessage)) << run.errors.toStdString();
        EXPECT_TRUE(run.output.isEmpty()) << run.output.toStdString();
    }
}

// lurebook --print-conditions YEAR [--species NAME] [--port PORT] on the log of the Data folder
// (which chooses no port: the stage of the tide needs --port).
TEST(ConditionsCommandLineTest, CountsTheCatchesOfAYearPerConditionOrFails)
{
    CTempProgramDir dir;
    CTripRecord trip;
    trip.date = "2024/6/6";  // the day of a new moon: 大潮
    trip.place = "城ヶ島";
    trip.water = "18.5";
    trip.catches = {{"シーバス", "60", "2.5", "9時0分"}};
    ASSERT_TRUE(CCatchStore(dir.CatchFile()).AddTrip(trip).ok());
    CTempProgramDir broken;
    broken.WriteFile("Data/fish.xml", "<CatchLog><FishData>");

    const QString good = QString::fromStdString(dir.Dir());
    const struct {
        QString programDir;
        QStringList arguments;
        int exitCode;
        QStringList lines;    // lines the output holds; for failures, what the message holds
        qsizetype bands = 1;  // water temperature bands listed
    } cases[] = {
        {good,
         {"--print-conditions", "2024"},
         0,
         {"潮\t大潮\t1\t1", "時刻\t9時\t1\t", "水温\t18～20℃\t1\t", "潮の動き\t不明\t1\t",
          "時間帯\t不明\t1\t"}},
        {good,
         {"--print-conditions", "2024", "--port", "東京"},
         0,
         {"潮\t大潮\t1\t1", "潮の動き\t不明\t0\t", "時間帯\t日中\t1\t"}},
        {good,
         {"--print-conditions", "2024", "--species", "メバル"},
         0,
         {"潮\t大潮\t0\t1", "時刻\t9時\t0\t"},
         0},  // bands only of what was caught
        {good, {"--print-conditions", "2024", "--port", "Nowhere"}, 1, {"Nowhere"}},
        {good, {"--print-conditions", "last"}, 2, {"last"}},
        {QString::fromStdString(broken.Dir()), {"--print-conditions", "2024"}, 2, {"lurebook:"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CRun run = RunProgram(QStringList{"--program-dir", c.programDir} + c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.errors.toStdString();
        const QStringList lines = run.output.split(u'\n', Qt::SkipEmptyParts);
        for (const QString& line : c.lines) {
            if (c.exitCode == 0) {
                EXPECT_TRUE(lines.contains(line)) << line.toStdString();
            } else {
                EXPECT_TRUE(run.errors.contains(line)) << run.errors.toStdString();
            }
        }
        // Six tables, each with 不明: 5 tide names, 20 stages, 24 hours, a moon age, 5 times of
        // day and the bands.
        if (c.exitCode == 0) {
            EXPECT_EQ(lines.size(), 6 + 21 + 25 + 2 + 6 + 1 + c.bands);
        }
    }
}

}  // namespace
