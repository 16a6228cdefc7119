#include "uikit/DesktopServices.h"

#include <QDesktopServices>
#include <QFileDialog>

namespace {
class CRealDesktopServices final : public IDesktopServices {
public:
    QStringList GetOpenFileNames(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) override
    {
        return QFileDialog::getOpenFileNames(parent, caption, directory, filter);
    }
    QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                            const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, directory, filter);
    }
    bool OpenUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

CRealDesktopServices g_real;
IDesktopServices* g_installed = nullptr;
}  // namespace

IDesktopServices& DesktopServices()
{
    return g_installed != nullptr ? *g_installed : g_real;
}

IDesktopServices* SetDesktopServices(IDesktopServices* services)
{
    IDesktopServices* previous = g_installed;
    g_installed = services;
    return previous;
}

bool OpenFileWithDesktop(const QString& path)
{
    return DesktopServices().OpenUrl(QUrl::fromLocalFile(path));
}
