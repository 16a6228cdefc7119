#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class QPrinter;
class QWidget;

// What a person answers or the desktop does: file dialogs and the desktop's "open".  The program
// uses the real ones; tests install a fake that gives file names and records what was opened.
class IDesktopServices {
public:
    virtual ~IDesktopServices() = default;
    // Multi-selection open dialog; an empty list when cancelled.
    virtual QStringList GetOpenFileNames(QWidget* parent, const QString& caption,
                                         const QString& directory, const QString& filter) = 0;
    // Save dialog (the dialog asks before an existing file is chosen); empty when cancelled.
    virtual QString GetSaveFileName(QWidget* parent, const QString& caption,
                                    const QString& directory, const QString& filter) = 0;
    // A folder chosen in the desktop's folder dialog; empty when cancelled.
    virtual QString GetExistingDirectory(QWidget* parent, const QString& caption,
                                         const QString& directory);
    // Opens a file or address with the desktop's application for it.
    virtual bool OpenUrl(const QUrl& url) = 0;
    // The desktop's print dialog for printer (printer, pages, copies); false when cancelled.
    virtual bool AskPrinter(QWidget* parent, QPrinter& printer) = 0;
};

// The services in effect.
IDesktopServices& DesktopServices();
// Installs services (nullptr restores the real ones); returns the previous ones (nullptr when
// the real ones were in effect).
IDesktopServices* SetDesktopServices(IDesktopServices* services);

// The save dialog for a file of one kind: suffix (".xml") is added to a name typed without one.
// The dialog asked only about the name as typed, so an existing file that the suffix now names is
// confirmed here.  Empty when cancelled or not confirmed.
QString GetSaveFileNameWithSuffix(QWidget* parent, const QString& caption, const QString& directory,
                                  const QString& filter, const QString& suffix);

// Opens a local file with the desktop's "open".
bool OpenFileWithDesktop(const QString& path);

// The photo picker: an open dialog for several files offering the image files first (any file
// as a second choice), opened in the folder photos were last taken from (at first the
// pictures folder of the desktop).  The folder of the chosen files is remembered between runs.
QStringList GetOpenPhotoFileNames(QWidget* parent, const QString& caption);
// The filter the photo picker offers.
QString PhotoFileFilter();
// The settings key under which the photo picker's folder is kept.
inline constexpr const char* kPhotoFolderKey = "Photos/LastFolder";

// Loads Qt's own Japanese texts (file dialogs, standard buttons, context menus of text fields)
// into the application; false when the translations are not installed.
bool InstallJapaneseQtTranslations();
