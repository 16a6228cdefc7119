// main() of every widget test program: an offscreen QApplication with a fixed locale, settings
// and caches kept away from the user's own, and the system's fonts mapped.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <QStandardPaths>
#include <clocale>
#include <cstdlib>

#include "support/TempProgramDir.h"
#include "uikit/Fonts.h"

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("LANG", "ja_JP.UTF-8", 1);
    const std::string home = MakeTempDir();
    ::setenv("XDG_CACHE_HOME", (home + "cache").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "data").c_str(), 1);
    std::setlocale(LC_ALL, "C.UTF-8");
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    ::testing::InitGoogleTest(&argc, argv);
    int result = 0;
    {
        QApplication app(argc, argv);
        QApplication::setStyle(QStringLiteral("Fusion"));
        InstallFontSubstitutions();
        result = RUN_ALL_TESTS();
    }
    RemoveTree(home);
    return result;
}
