#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

#include "app/SettingsCarryOver.h"
#include "app/widgets/CatchLogApp.h"
#include "support/TempProgramDir.h"
#include "uikit/QtText.h"

namespace {

// A user of an older version finds the window as it was: the program reads and writes
// ~/.config/lurebook/lurebook.conf, made from the old file at the first start.
TEST(SettingsFolderTest, SettingsLiveUnderTheProgramsOwnFolderCarriedOverOnce)
{
    const std::string config =
        PathFromQString(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) +
        "/";
    ::mkdir(config.c_str(), 0700);
    // The test-mode configuration folder outlives the run: start as a first start does.
    ::unlink(SettingsFileIn(config).c_str());
    ::mkdir((config + "Local AppWizard-Generated Applications").c_str(), 0700);
    WriteFileBytes(OldSettingsFileIn(config), "[General]\nphotoFolder=/home/u/photos\n");
    const QString organisation = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();

    CCatchLogApp::UseSettingsFolder();
    EXPECT_EQ(QSettings().fileName(), QStringFromStd(config + "lurebook/lurebook.conf"));
    EXPECT_EQ(QSettings().value("photoFolder").toString(), "/home/u/photos");

    // Later changes go to the new file only, and are not undone by the next start.
    QSettings().setValue("photoFolder", "/home/u/new");
    CCatchLogApp::UseSettingsFolder();
    EXPECT_EQ(QSettings().value("photoFolder").toString(), "/home/u/new");
    EXPECT_EQ(ReadFileBytes(OldSettingsFileIn(config)), "[General]\nphotoFolder=/home/u/photos\n");

    QSettings().clear();
    ::unlink(SettingsFileIn(config).c_str());
    ::unlink(OldSettingsFileIn(config).c_str());
    QCoreApplication::setOrganizationName(organisation);
    QCoreApplication::setApplicationName(application);
}

}  // namespace
