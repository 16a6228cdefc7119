#pragma once

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

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

// One picture placed in a PDF as pdfimages lists it: its page, its pixels and the resolution it
// is printed at.
struct CPdfImage {
    int page = 0;
    int width = 0;
    int height = 0;
    int xPpi = 0;
    int yPpi = 0;
};

inline std::vector<CPdfImage> PdfImages(const QString& pdf)
{
    std::vector<CPdfImage> images;
    const QStringList lines = RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                  .split(QLatin1Char('\n'));
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    for (const QString& line : lines) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        bool number = false;
        const int page = fields.value(0).toInt(&number);
        if (!number || fields.size() < 14) continue;
        images.push_back(
            {page, fields[3].toInt(), fields[4].toInt(), fields[12].toInt(), fields[13].toInt()});
    }
    return images;
}
