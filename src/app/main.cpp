#include <QCommandLineParser>
#include <QGuiApplication>
#include <QRegularExpression>
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

// The parser speaks English of its own (no translator can be installed before an application
// object exists): its few fixed texts in Japanese.
QString JapaneseParserText(QString text)
{
    static const struct {
        const char* pattern;
        const char* japanese;
    } kTexts[] = {
        {"^Usage: (\\S+) \\[options\\]", "使い方: \\1 [オプション]"},
        {"^Options:$", "オプション:"},
        {"^Arguments:$", "引数:"},
        {"^Unknown option '(.*)'\\.$", "知らないオプション「\\1」です。"},
        {"^Unknown options: (.*)\\.$", "知らないオプションです: \\1"},
        {"^Missing value after '(.*)'\\.$", "「\\1」の後に値がありません。"},
        {"^Unexpected value after '(.*)'\\.$", "「\\1」には値を付けられません。"},
    };
    for (const auto& t : kTexts) {
        text.replace(
            QRegularExpression(QString::fromUtf8(t.pattern), QRegularExpression::MultilineOption),
            QString::fromUtf8(t.japanese));
    }
    return text;
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
    parser.setApplicationDescription(QStringLiteral("Lurebook: 釣行記録"));
    // Qt's own help option is described in English; this one takes the same names.
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("help-all")},
        QStringLiteral("この説明を表示して終了します。"));
    parser.addOption(help);
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("版を表示して終了します。"));
    parser.addOption(version);
    const QCommandLineOption programDir(
        QStringLiteral("program-dir"),
        QStringLiteral(
            "プログラムのフォルダの代わりに DIR を使います (記録は DIR/Data に置かれます)。"),
        QStringLiteral("DIR"));
    parser.addOption(programDir);
    const QCommandLineOption printCalendar(
        QStringLiteral("print-calendar"),
        QStringLiteral("年 YEAR (または FROM-TO の年) の毎日 (祝日・旧暦・月齢・潮) を表示して"
                       "終了します。"),
        QStringLiteral("YEAR|FROM-TO"));
    parser.addOption(printCalendar);
    const QCommandLineOption exportCsv(
        QStringLiteral("export-csv"),
        QStringLiteral(
            "すべての釣行を CSV (UTF-8、釣果ごとに 1 行) で FILE に書き出して終了します。"),
        QStringLiteral("FILE"));
    parser.addOption(exportCsv);
    const QCommandLineOption importCsv(
        QStringLiteral("import-csv"),
        QStringLiteral("CSV ファイル FILE の釣行のうち記録にないものを追加し、結果を表示して"
                       "終了します (何も読めなければ 0 以外で終了)。"),
        QStringLiteral("FILE"));
    parser.addOption(importCsv);
    const QCommandLineOption report(
        QStringLiteral("report"),
        QStringLiteral("年 YEAR の年間レポートを PDF で --output のファイルに書き出して"
                       "終了します。"),
        QStringLiteral("YEAR"));
    parser.addOption(report);
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("--report が書き出すファイル。"),
                                    QStringLiteral("FILE"));
    parser.addOption(output);
    const QCommandLineOption listHistory(
        QStringLiteral("list-history"),
        QStringLiteral("Data/history にある記録の履歴 (名前・日時・釣行数・釣果数) を表示して"
                       "終了します。"));
    parser.addOption(listHistory);
    const QCommandLineOption restoreHistory(
        QStringLiteral("restore-history"),
        QStringLiteral("Data/history の履歴 NAME を記録に戻して終了します (今の記録は先に"
                       "履歴に残します)。"),
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
        QStringLiteral(
            "年 YEAR の釣果を条件 (潮名・潮の動き・時刻・月齢・時間帯・水温) ごとに数え、"
            "条件・値・釣果数・釣行日数をタブ区切りで表示して終了します。"),
        QStringLiteral("YEAR"));
    parser.addOption(printConditions);
    const QCommandLineOption species(QStringLiteral("species"),
                                     QStringLiteral("--print-conditions で魚種 NAME の釣果だけを"
                                                    "数えます。"),
                                     QStringLiteral("NAME"));
    parser.addOption(species);
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("--print-conditions で港の決まっていない釣行に使う港 (ID・港名・"
                       "ローマ字)。"),
        QStringLiteral("PORT"));
    parser.addOption(port);
    const QCommandLineOption listPlaces(
        QStringLiteral("list-places"),
        QStringLiteral("すべての場所 (名前・緯度・経度・位置の出どころ・潮汐の港) をタブ区切りで"
                       "表示して終了します。"));
    parser.addOption(listPlaces);
    const QCommandLineOption exportGpx(
        QStringLiteral("export-gpx"),
        QStringLiteral("場所と位置のある釣果を GPX 1.1 で FILE に書き出して終了します。"),
        QStringLiteral("FILE"));
    parser.addOption(exportGpx);
    const QCommandLineOption exportKml(
        QStringLiteral("export-kml"),
        QStringLiteral("場所と位置のある釣果を KML 2.2 で FILE に書き出して終了します。"),
        QStringLiteral("FILE"));
    parser.addOption(exportKml);
    const QCommandLineOption exportYear(
        QStringLiteral("year"),
        QStringLiteral("--export-gpx と --export-kml で年 YEAR の釣行だけを書き出します。"),
        QStringLiteral("YEAR"));
    parser.addOption(exportYear);
    const QCommandLineOption importGpx(
        QStringLiteral("import-gpx"),
        QStringLiteral("GPX ファイル FILE のウェイポイントを場所として取り込んで終了します"
                       " (手で決めた位置はそのまま残します)。"),
        QStringLiteral("FILE"));
    parser.addOption(importGpx);
    const QCommandLineOption proposeTrips(
        QStringLiteral("propose-trips"),
        QStringLiteral("フォルダ DIR 以下の写真からできる釣行 (日付・場所・潮汐の港・満潮と干潮・"
                       "写真・釣果と時刻) を表示して終了します。何も書き込みません。"),
        QStringLiteral("DIR"));
    parser.addOption(proposeTrips);
    // Command-line modes run without a window and exit; each adds its options here and is
    // dispatched below, after the program directory is known.

    if (!parser.parse(ArgumentList(argc, argv)))
        return Fail(JapaneseParserText(parser.errorText()));

    if (parser.isSet(help)) {
        // Without an application object the parser cannot know the program's name.
        QString text = JapaneseParserText(parser.helpText());
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
                QStringLiteral("--report には年を指定してください (「%1」は年ではありません)。")
                    .arg(parser.value(report)));
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
