#include <QCommandLineParser>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/ConditionsCommand.h"
#include "app/HistoryCommands.h"
#include "app/InstanceLock.h"
#include "app/PhotoTripsCommand.h"
#include "app/PlaceCommands.h"
#include "app/widgets/CatchLogApp.h"
#include "calendar/CalendarPrinter.h"
#include "data/CatchStore.h"
#include "data/DataFolder.h"
#include "data/DecimalInt.h"
#include "data/TripCsv.h"
#include "photos/CsvPhotoKeeper.h"
#include "reports/widgets/YearReportWriter.h"
#include "tides/TidePortList.h"
#include "tides/TidePrinter.h"
#include "tides/TideStations.h"
#include "uikit/Fonts.h"
#include "uikit/QtText.h"

namespace {

// The arguments as Qt sees them, before any application object exists: the command-line modes
// must run without a display, so the parser cannot wait for a QApplication.
QStringList ArgumentList(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int Fail(const QString& text)
{
    std::fprintf(stderr, "lurebook: %s\n", text.toLocal8Bit().constData());
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Lurebook: a fishing log"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Print the program's version and exit."));
    parser.addOption(version);
    const QCommandLineOption programDir(
        QStringLiteral("program-dir"),
        QStringLiteral("Use DIR instead of the program's own folder (DIR/Data holds the log)."),
        QStringLiteral("DIR"));
    parser.addOption(programDir);
    const QCommandLineOption printCalendar(
        QStringLiteral("print-calendar"),
        QStringLiteral("Print every day of YEAR or FROM-TO (holiday, lunar day, moon age, tide) "
                       "and exit."),
        QStringLiteral("YEAR|FROM-TO"));
    parser.addOption(printCalendar);
    const QCommandLineOption exportCsv(
        QStringLiteral("export-csv"),
        QStringLiteral("Write every trip to FILE as CSV (UTF-8, one row per catch) and exit."),
        QStringLiteral("FILE"));
    parser.addOption(exportCsv);
    const QCommandLineOption importCsv(
        QStringLiteral("import-csv"),
        QStringLiteral("Add the trips of the CSV file FILE that are not in the log yet, print what "
                       "was found and exit (non-zero when nothing could be read)."),
        QStringLiteral("FILE"));
    parser.addOption(importCsv);
    const QCommandLineOption report(
        QStringLiteral("report"),
        QStringLiteral("Write the yearly report of YEAR as PDF to the file given by --output and "
                       "exit."),
        QStringLiteral("YEAR"));
    parser.addOption(report);
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("The file --report writes."),
                                    QStringLiteral("FILE"));
    parser.addOption(output);
    const QCommandLineOption listHistory(
        QStringLiteral("list-history"),
        QStringLiteral("Print the dated copies of the log kept in Data/history (name, date, trips, "
                       "catches) and exit."));
    parser.addOption(listHistory);
    const QCommandLineOption restoreHistory(
        QStringLiteral("restore-history"),
        QStringLiteral("Put back the copy NAME of Data/history as one save (the current log is "
                       "kept as a copy first) and exit."),
        QStringLiteral("NAME"));
    parser.addOption(restoreHistory);
    const QCommandLineOption printTides(
        QStringLiteral("print-tides"),
        QStringLiteral("港 PORT (ID・港名・ローマ字) の期間 PERIOD (YYYY、YYYY-MM、YYYY-MM-DD "
                       "か FROM..TO) の満潮・干潮を日本時間で表示して終了します。"),
        QStringLiteral("PORT"));
    parser.addOption(printTides);
    const QCommandLineOption listPorts(
        QStringLiteral("list-ports"),
        QStringLiteral("潮汐の港の一覧 (ID・港名・ローマ字・都道府県・緯度・経度、タブ区切り) "
                       "を表示して終了します。"));
    parser.addOption(listPorts);
    const QCommandLineOption printConditions(
        QStringLiteral("print-conditions"),
        QStringLiteral("Print the catches of YEAR counted per condition (tide name, stage of the "
                       "tide, hour, moon age, time of day, water temperature): condition, value, "
                       "catches, days fished; tab-separated; and exit."),
        QStringLiteral("YEAR"));
    parser.addOption(printConditions);
    const QCommandLineOption species(QStringLiteral("species"),
                                     QStringLiteral("--print-conditions counts only catches of "
                                                    "the species NAME."),
                                     QStringLiteral("NAME"));
    parser.addOption(species);
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("The port (id, Japanese or romanised name) whose tides and sunrise "
                       "--print-conditions takes for trips without a port of their own."),
        QStringLiteral("PORT"));
    parser.addOption(port);
    const QCommandLineOption listPlaces(
        QStringLiteral("list-places"),
        QStringLiteral("Print every place: name, latitude, longitude, where the position came "
                       "from, tide port (tab-separated)."));
    parser.addOption(listPlaces);
    const QCommandLineOption exportGpx(
        QStringLiteral("export-gpx"),
        QStringLiteral("Write the places and the catches with a position to FILE as GPX 1.1."),
        QStringLiteral("FILE"));
    parser.addOption(exportGpx);
    const QCommandLineOption exportKml(
        QStringLiteral("export-kml"),
        QStringLiteral("Write the places and the catches with a position to FILE as KML 2.2."),
        QStringLiteral("FILE"));
    parser.addOption(exportKml);
    const QCommandLineOption exportYear(
        QStringLiteral("year"),
        QStringLiteral("With --export-gpx or --export-kml: only the trips of YEAR."),
        QStringLiteral("YEAR"));
    parser.addOption(exportYear);
    const QCommandLineOption importGpx(
        QStringLiteral("import-gpx"),
        QStringLiteral("Take the waypoints of the GPX FILE as places (a position set by hand is "
                       "kept)."),
        QStringLiteral("FILE"));
    parser.addOption(importGpx);
    const QCommandLineOption proposeTrips(
        QStringLiteral("propose-trips"),
        QStringLiteral("Prints the trips the photos below DIR would make (date, place, tide port, "
                       "high and low waters, photos, catches with their times); writes nothing."),
        QStringLiteral("DIR"));
    parser.addOption(proposeTrips);
    // Command-line modes run without a window and exit; each adds its options here and is
    // dispatched below, after the program directory is known.

    if (!parser.parse(ArgumentList(argc, argv))) return Fail(parser.errorText());
    // --help-all comes with --help; it must print the help too, never open the window.

    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object the parser cannot know the program's name.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral("lurebook"));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::fputs("Lurebook " LUREBOOK_VERSION "\n", stdout);
        return 0;
    }
    // The one Data folder of this run, handed to every mode and page that keeps files there.
    CDataFolder folder = CDataFolder::OfRunningProgram();
    if (parser.isSet(programDir)) {
        const QString dir = parser.value(programDir);
        if (dir.isEmpty())
            return Fail(QStringLiteral("--program-dir にはフォルダを指定してください。"));
        folder = CDataFolder(dir.toStdString());
    }
    if (parser.isSet(printCalendar)) {
        return PrintCalendar(parser.value(printCalendar).toStdString(), std::cout, std::cerr);
    }
    if (parser.isSet(listHistory)) return ListHistoryCommand(folder, std::cout, std::cerr);
    if (parser.isSet(restoreHistory)) {
        return RestoreHistoryCommand(folder, parser.value(restoreHistory).toStdString(), std::cout,
                                     std::cerr);
    }

    if (parser.isSet(printTides)) {
        const QStringList rest = parser.positionalArguments();
        if (rest.size() != 1)
            return Fail(QStringLiteral(
                "--print-tides には港と期間を指定してください (--print-tides 港 期間)。"));
        return PrintTides(parser.value(printTides).toStdString(), rest.front().toStdString(),
                          TideStationsPath(), std::cout, std::cerr);
    }
    if (parser.isSet(listPorts)) return PrintTidePorts(TideStationsPath(), std::cout, std::cerr);
    if (parser.isSet(printConditions)) {
        return PrintConditionsCommand(folder, parser.value(printConditions).toStdString(),
                                      parser.value(species).toStdString(),
                                      parser.value(port).toStdString(), std::cout, std::cerr);
    }

    if (parser.isSet(listPlaces)) return ListPlacesCommand(folder, std::cout, std::cerr);
    if (parser.isSet(exportGpx) || parser.isSet(exportKml)) {
        const bool gpx = parser.isSet(exportGpx);
        return ExportPlacesCommand(folder, gpx ? EGpsFormat::Gpx : EGpsFormat::Kml,
                                   PathFromQString(parser.value(gpx ? exportGpx : exportKml)),
                                   parser.value(exportYear).toStdString(), std::cout, std::cerr);
    }
    if (parser.isSet(importGpx)) {
        return ImportGpxCommand(folder, PathFromQString(parser.value(importGpx)), std::cout,
                                std::cerr);
    }
    if (parser.isSet(proposeTrips)) {
        return ProposeTripsCommand(folder, PathFromQString(parser.value(proposeTrips)), std::cout,
                                   std::cerr);
    }

    if (parser.isSet(exportCsv) || parser.isSet(importCsv)) {
        CCatchStore store(folder.GetCatchFile());
        store.EnableHistory(true);
        if (parser.isSet(exportCsv)) {
            std::string error;
            if (!ExportTripsCsvFile(store, parser.value(exportCsv).toStdString(), error))
                return Fail(QString::fromStdString(error));
        }
        if (parser.isSet(importCsv)) {
            // An import writes the catch file: not while the program has it open.
            CInstanceLock lock;
            if (!LockDataFolderForCommand(lock, folder,
                                          "Lurebook が起動しているため取り込めません。"
                                          "終了してからもう一度実行してください。",
                                          std::cerr)) {
                return 2;
            }
            const CPhotoCopies copies(store.GetDataDir() + "Picture/");
            const CCsvImportOutcome outcome = ImportTripsCsvFile(
                store, parser.value(importCsv).toStdString(), nullptr, MakeCsvPhotoKeeper(copies));
            if (!outcome.error.empty()) return Fail(QString::fromStdString(outcome.error));
            std::cout << DescribeCsvImportOutcome(outcome, 20) << "追加した釣行: " << outcome.added
                      << " 件\n";
            if (outcome.added > 0) KeepPhotoPositions(folder, std::cout, std::cerr);
            if (outcome.added == 0 && outcome.known == 0) return 1;
        }
        return 0;
    }

    if (parser.isSet(report)) {
        int year = 0;
        if (!ParseWholeDecimalInt(parser.value(report).toStdString(), year) || year < 1 ||
            year > 9999) {
            return Fail(
                QStringLiteral("--report needs a year, not \"%1\"").arg(parser.value(report)));
        }
        if (!parser.isSet(output) || parser.value(output).isEmpty())
            return Fail(
                QStringLiteral("--report には --output で書き出すファイルを指定してください。"));
        // Fonts and the PDF writer need a GUI application, but no display: drawing happens in
        // memory only.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        InstallFontSubstitutions();
        CCatchStore store(folder.GetCatchFile());
        std::string error;
        if (!WriteYearReportFile(store, folder, year, PathFromQString(parser.value(output)), error))
            return Fail(QString::fromStdString(error));
        return 0;
    }

    CCatchLogApp app(argc, argv, folder);
    if (!app.InitInstance()) return 1;
    return app.exec();
}
