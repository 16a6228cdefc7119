#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "reports/YearReport.h"

class CDataFolder;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

// Called after each page with the pages done and the pages in all; returning false stops.
using CReportProgress = std::function<bool(int done, int total)>;

// Lays out the yearly report on A4 portrait pages: a cover (totals, the year's heaviest catch with
// its photo, days fished per month), one page per species (its monthly chart, its ten heaviest
// catches, its photos), the conditions the fish were caught in (「釣れた条件」, when counted and
// there were catches) and
// the list of trips, each page with the year and its number in the
// footer.  The same drawing serves a PDF file and a printer.
class CYearReportWriter {
public:
    static constexpr int kTripRowsPerPage = 40;
    static constexpr int kPhotoColumns = 6;

    explicit CYearReportWriter(const CYearReport& report) : m_report(report) {}

    int PageCount() const;
    // Draws every page on painter, which paints on device; false when progress stopped it.
    bool Paint(QPagedPaintDevice& device, QPainter& painter, const CReportProgress& progress = {});

    // Photos that could not be shown (missing or broken files) in the last Paint.
    int MissingPhotos() const { return m_missingPhotos; }

    // The pixels a photo printed at size (tenths of a millimetre) has at the report's photo
    // resolution.
    static QSize PrintPixels(const QSizeF& printed);

private:
    class CPage;
    void PaintCover(CPage& page);
    void PaintSpecies(CPage& page, const CYearReportSpecies& species);
    // Only a year with catches has conditions to show.
    bool HasPlacesPage() const { return !m_report.places.empty(); }
    void PaintPlaces(CPage& page);
    bool HasConditionsPage() const
    {
        return m_report.catchCount > 0 && !m_report.conditions.empty();
    }
    void PaintConditions(CPage& page);
    void PaintTrips(CPage& page, size_t first);
    void PaintPhoto(QPainter& painter, const QImage& photo, double x, double y, double width,
                    double height);
    // The photos at paths, each fitted to the pixels a print of size printed (page units) needs;
    // null images for photos that cannot be shown.
    std::vector<QImage> LoadPhotos(const std::vector<std::string>& paths, const QSizeF& printed);
    static QStringList TripRowTexts(const CYearReportTrip& trip);

    const CYearReport& m_report;
    int m_missingPhotos = 0;
    std::vector<double> m_tripColumnWidths;
};

// The report as the bytes of a PDF file (Qt's writer, fonts embedded); false when progress
// stopped it.
bool MakeYearReportPdf(const CYearReport& report, QByteArray& pdf,
                       const CReportProgress& progress = {});

// Reads the catch file, makes the report of year (the tide ports of the trips from the side file
// of folder) and writes it to path safely (the file is complete or as it was).  false with a
// Japanese reason in error on failure; a stopped report writes nothing and leaves error empty.
bool WriteYearReportFile(const CCatchStore& store, const CDataFolder& folder, int year,
                         const std::string& path, std::string& error,
                         const CReportProgress& progress = {});

// The menu commands.  Export asks for a file name (the documents folder, 釣果レポート_<year>.pdf
// offered), print for a printer through the desktop's print dialog; both show progress on long
// reports and tell failures with a message.  True when the report was written or printed.
bool ExportYearReport(QWidget* parent, const CCatchStore& store, const CDataFolder& folder,
                      int year);
bool PrintYearReport(QWidget* parent, const CCatchStore& store, const CDataFolder& folder,
                     int year);

// The file name offered for the report of year, in the user's documents folder.
QString DefaultYearReportPath(int year);
