#pragma once

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

// Reads PDF files as a person's viewer does, with poppler's command-line tools.

// The standard output of a program run to the end (empty when it failed to run).
inline QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of every page (pdftotext, layout kept).
inline QString PdfText(const QString& pdf)
{
    return RunTool(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

// The page count pdfinfo gives; -1 when the file is no readable PDF.
inline int PdfPageCount(const QString& pdf)
{
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// One page rendered at dpi (pdftoppm); a null image when it cannot be rendered.
inline QImage PdfPageImage(const QString& pdf, int page, int dpi = 100)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    const QString number = QString::number(page);
    RunTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), number,
             QStringLiteral("-l"), number, QStringLiteral("-png"), QStringLiteral("-singlefile"),
             pdf, prefix});
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}
