#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

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
    // Opens a file or address with the desktop's application for it.
    virtual bool OpenUrl(const QUrl& url) = 0;
};

// The services in effect.
IDesktopServices& DesktopServices();
// Installs services (nullptr restores the real ones); returns the previous ones (nullptr when
// the real ones were in effect).
IDesktopServices* SetDesktopServices(IDesktopServices* services);

// Opens a local file with the desktop's "open".
bool OpenFileWithDesktop(const QString& path);
