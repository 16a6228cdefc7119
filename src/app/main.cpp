#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/widgets/CatchLogApp.h"
#include "calendar/CalendarPrinter.h"
#include "data/ProgramDir.h"

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
    // Command-line modes run without a window and exit; each adds its options here and is
    // dispatched below, after the program directory is known.

    if (!parser.parse(ArgumentList(argc, argv))) return Fail(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parser.isSet(programDir)) {
        const QString dir = parser.value(programDir);
        if (dir.isEmpty()) return Fail(QStringLiteral("--program-dir needs a directory"));
        SetProgramDirOverride(dir.toStdString());
    }
    if (parser.isSet(printCalendar)) {
        return PrintCalendar(parser.value(printCalendar).toStdString(), std::cout, std::cerr);
    }

    CCatchLogApp app(argc, argv);
    if (!app.InitInstance()) return 1;
    return app.exec();
}
