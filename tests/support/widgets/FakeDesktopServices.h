#pragma once

#include <QList>
#include <QPrinter>
#include <QStringList>
#include <QUrl>
#include <deque>

#include "uikit/DesktopServices.h"

// Stands in for file dialogs and the desktop's "open": hands out queued file names, records the
// dialogs asked for and the addresses opened.  Installed for its lifetime.
class CFakeDesktopServices final : public IDesktopServices {
public:
    CFakeDesktopServices() { m_previous = SetDesktopServices(this); }
    ~CFakeDesktopServices() override { SetDesktopServices(m_previous); }
    CFakeDesktopServices(const CFakeDesktopServices&) = delete;
    CFakeDesktopServices& operator=(const CFakeDesktopServices&) = delete;

    void QueueOpenFileNames(const QStringList& names) { m_openAnswers.push_back(names); }
    void QueueSaveFileName(const QString& name) { m_saveAnswers.push_back(name); }

    QStringList GetOpenFileNames(QWidget*, const QString& caption, const QString& directory,
                                 const QString& filter) override
    {
        m_dialogCaptions << caption;
        m_openDirectories << directory;
        m_lastFilter = filter;
        if (m_openAnswers.empty()) return {};
        QStringList names = m_openAnswers.front();
        m_openAnswers.pop_front();
        return names;
    }
    QString GetSaveFileName(QWidget*, const QString& caption, const QString& directory,
                            const QString&) override
    {
        m_dialogCaptions << caption;
        m_saveDirectories << directory;
        if (m_saveAnswers.empty()) return {};
        QString name = m_saveAnswers.front();
        m_saveAnswers.pop_front();
        return name;
    }
    bool OpenUrl(const QUrl& url) override
    {
        m_opened << url;
        return true;
    }

    // The print dialog "prints" to PDF files: each accepted dialog takes the next queued name
    // (an empty queue cancels).
    void QueuePrintFile(const QString& pdfPath) { m_printAnswers.push_back(pdfPath); }
    bool AskPrinter(QWidget*, QPrinter& printer) override
    {
        ++m_printDialogs;
        if (m_printAnswers.empty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_printAnswers.front());
        m_printAnswers.pop_front();
        return true;
    }
    int PrintDialogs() const { return m_printDialogs; }

    const QList<QUrl>& Opened() const { return m_opened; }
    const QStringList& DialogCaptions() const { return m_dialogCaptions; }
    // The folders the open dialogs started in, and the filter of the last one.
    const QStringList& OpenDirectories() const { return m_openDirectories; }
    const QString& LastFilter() const { return m_lastFilter; }
    // What the save dialogs offered (folder or file name).
    const QStringList& SaveDirectories() const { return m_saveDirectories; }

private:
    IDesktopServices* m_previous = nullptr;
    std::deque<QStringList> m_openAnswers;
    std::deque<QString> m_saveAnswers;
    std::deque<QString> m_printAnswers;
    int m_printDialogs = 0;
    QList<QUrl> m_opened;
    QStringList m_dialogCaptions;
    QStringList m_openDirectories;
    QStringList m_saveDirectories;
    QString m_lastFilter;
};
