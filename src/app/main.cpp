#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <cstdio>
#include <string>

#include "app/widgets/common/Fonts.h"
#include "data/ProgramDir.h"

int main(int argc, char** argv)
{
    std::string error;
    if (!ApplyProgramDirOption(argc, argv, &error)) {
        std::fprintf(stderr, "lurebook: %s\n", error.c_str());
        return 2;
    }
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Lurebook"));
    window.setCentralWidget(new QLabel(QStringLiteral("Lurebook")));
    window.setFixedSize(800, 600);
    window.show();
    return app.exec();
}
