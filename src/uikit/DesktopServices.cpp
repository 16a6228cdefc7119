#include "uikit/DesktopServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPrintDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>

#include "uikit/MessageBox.h"

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
    bool AskPrinter(QWidget* parent, QPrinter& printer) override
    {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

CRealDesktopServices g_real;
IDesktopServices* g_installed = nullptr;
}  // namespace

QString IDesktopServices::GetExistingDirectory(QWidget* parent, const QString& caption,
                                               const QString& directory)
{
    return QFileDialog::getExistingDirectory(parent, caption, directory);
}

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

QString GetSaveFileNameWithSuffix(QWidget* parent, const QString& caption, const QString& directory,
                                  const QString& filter, const QString& suffix)
{
    QString target = DesktopServices().GetSaveFileName(parent, caption, directory, filter);
    if (target.isEmpty() || !QFileInfo(target).suffix().isEmpty()) return target;
    target += suffix;
    if (QFileInfo::exists(target) &&
        ShowMessageBox(parent, target + QStringLiteral(" は既に存在します。\n上書きしますか?"),
                       EMessageBoxIcon::Question, QMessageBox::Yes | QMessageBox::No,
                       QMessageBox::No) != QMessageBox::Yes) {
        return QString();
    }
    return target;
}

bool OpenFileWithDesktop(const QString& path)
{
    return DesktopServices().OpenUrl(QUrl::fromLocalFile(path));
}

QString PhotoFileFilter()
{
    // Both cases: cameras write ".JPG", and a file dialog may match names case-sensitively.
    QStringList patterns;
    for (const char* extension :
         {"jpg", "jpeg", "jpe", "png", "tif", "tiff", "webp", "heic", "heif"}) {
        patterns << QStringLiteral("*.") + QLatin1String(extension)
                 << QStringLiteral("*.") + QString::fromLatin1(extension).toUpper();
    }
    return QStringLiteral("画像ファイル (%1);;すべてのファイル (*)")
        .arg(patterns.join(QLatin1Char(' ')));
}

QStringList GetOpenPhotoFileNames(QWidget* parent, const QString& caption)
{
    QSettings settings;
    QString folder = settings.value(QLatin1String(kPhotoFolderKey)).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    }
    const QStringList picked =
        DesktopServices().GetOpenFileNames(parent, caption, folder, PhotoFileFilter());
    if (!picked.isEmpty()) {
        settings.setValue(QLatin1String(kPhotoFolderKey), QFileInfo(picked.front()).absolutePath());
    }
    return picked;
}

bool InstallJapaneseQtTranslations()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
