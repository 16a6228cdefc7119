#include "reports/widgets/YearReportWriter.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <cmath>

#include "charts/widgets/PainterChartCanvas.h"
#include "data/SafeFile.h"
#include "photos/widgets/ThumbnailBuilder.h"
#include "photos/widgets/ThumbnailImageReader.h"
#include "places/MapPainter.h"
#include "places/PlaceBook.h"
#include "places/PlaceTally.h"
#include "places/widgets/QtMapCanvas.h"
#include "reports/ConditionCharts.h"
#include "reports/widgets/PlaceStatsView.h"
#include "tides/TidePortLookup.h"
#include "tides/TideStations.h"
#include "uikit/DesktopServices.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {

// Each trip's port by its place, as chosen in the entry dialog, else the home port.
CTripPortFinder TripTidePorts(const CDataFolder& folder)
{
    std::shared_ptr<const CTidePortLookup> lookup = TidePortLookupOf(folder);
    return [lookup](const std::string& place) { return lookup->PortForPlace(place); };
}

// Pages are laid out in tenths of a millimetre.
constexpr double kPageWidth = 2100;
constexpr double kPageHeight = 2970;
constexpr double kMargin = 150;
constexpr double kContentWidth = kPageWidth - 2 * kMargin;
constexpr double kFooterTop = 2820;
constexpr double kRowHeight = 55;
constexpr double kTextSize = 36;  // about 10 points
constexpr double kCellPadding = 24;
// Photos are decoded for this resolution of the size they are printed at.
constexpr double kPhotoDpi = 300;
constexpr int kPdfResolution = 600;

const QColor kRuleColor(0x90, 0x90, 0x90);
const QColor kHeaderFill(0xE6, 0xEC, 0xF5);
const QColor kAccent(0x20, 0x40, 0x80);

// The chart is laid out by its own code in window units; a window of this size is drawn into
// the chart's box on the page, so it looks as it does on the statistics page.
constexpr int kChartClientWidth = 640;
constexpr int kChartClientHeight = 340;

QString Q(const std::string& text)
{
    // Texts of the catch file may hold line breaks; one line per cell.
    return QStringFromStd(text).simplified();
}

QFont TextFont(double size, bool bold = false)
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    font.setBold(bold);
    return font;
}

struct CColumn {
    const char* title;
    double width;
    Qt::Alignment align;
};

int TripPages(const CYearReport& report)
{
    const int rows = static_cast<int>(report.trips.size());
    return (rows + CYearReportWriter::kTripRowsPerPage - 1) / CYearReportWriter::kTripRowsPerPage;
}

}  // namespace

// One page being drawn: the painter in page units and the footer every page carries.
class CYearReportWriter::CPage {
public:
    CPage(QPainter& painter, int year, int total) : painter(painter), m_year(year), m_total(total)
    {
    }

    void Begin(int number)
    {
        m_number = number;
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(0, 0, kPageWidth, kPageHeight));
        painter.restore();
    }

    void Footer()
    {
        painter.setPen(QPen(kRuleColor, 3));
        painter.drawLine(QPointF(kMargin, kFooterTop), QPointF(kPageWidth - kMargin, kFooterTop));
        const QRectF box(kMargin, kFooterTop + 20, kContentWidth, 50);
        Text(box, QStringLiteral("釣果レポート %1年").arg(m_year), 30, Qt::AlignLeft);
        Text(box, QStringLiteral("%1 / %2").arg(m_number).arg(m_total), 30, Qt::AlignRight);
    }

    void Text(const QRectF& box, const QString& text, double size, Qt::Alignment align,
              bool bold = false, const QColor& color = Qt::black)
    {
        const QFont font = TextFont(size, bold);
        painter.setFont(font);
        painter.setPen(color);
        const QString shown =
            QFontMetricsF(font, painter.device()).elidedText(text, Qt::ElideRight, box.width());
        painter.drawText(box, static_cast<int>(align | Qt::AlignVCenter), shown);
    }

    void Heading(double y, const QString& text)
    {
        Text(QRectF(kMargin, y, kContentWidth, 60), text, 44, Qt::AlignLeft, true, kAccent);
        painter.setPen(QPen(kAccent, 4));
        painter.drawLine(QPointF(kMargin, y + 65), QPointF(kPageWidth - kMargin, y + 65));
    }

    // Columns sized by their texts (the header's in bold): each wants its widest text, and
    // together they take the width of the page's content.
    void FitColumns(std::vector<CColumn>& columns, const std::vector<QStringList>& rows)
    {
        const QFontMetricsF plain(TextFont(kTextSize), painter.device());
        const QFontMetricsF bold(TextFont(kTextSize, true), painter.device());
        std::vector<double> natural(columns.size(), 0.0);
        for (size_t c = 0; c < columns.size(); ++c)
            natural[c] = bold.horizontalAdvance(QString::fromUtf8(columns[c].title));
        for (const QStringList& row : rows) {
            for (size_t c = 0; c < columns.size(); ++c) {
                natural[c] =
                    std::max(natural[c], plain.horizontalAdvance(row.value(static_cast<int>(c))));
            }
        }
        // The cell's padding, and a little more so that rounding never elides a text that fits.
        for (double& width : natural) width += kCellPadding + 8;
        const std::vector<double> widths = FitColumnWidths(natural, kContentWidth);
        for (size_t c = 0; c < columns.size(); ++c) columns[c].width = widths[c];
    }

    // A table row: texts in columns from the left margin; a header row is shaded.
    void Row(double y, const std::vector<CColumn>& columns, const QStringList& texts, bool header)
    {
        double x = kMargin;
        double width = 0;
        for (const CColumn& column : columns) width += column.width;
        if (header) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kHeaderFill);
            painter.drawRect(QRectF(x, y, width, kRowHeight));
        }
        for (size_t c = 0; c < columns.size(); ++c) {
            const QRectF cell(x + kCellPadding / 2, y, columns[c].width - kCellPadding, kRowHeight);
            Text(cell, texts.value(static_cast<int>(c)), kTextSize, columns[c].align, header);
            x += columns[c].width;
        }
        painter.setPen(QPen(kRuleColor, 2));
        painter.drawLine(QPointF(kMargin, y + kRowHeight),
                         QPointF(kMargin + width, y + kRowHeight));
    }

    // A monthly chart built by the statistics page's own code, drawn into box.
    void Chart(const QRectF& box, const CMonthCounters& counters, const std::string& title,
               const std::string& valueTitle)
    {
        Chart(box, *CStatQuery::BuildMonthlyChart(counters, title, valueTitle),
              QSize(kChartClientWidth, kChartClientHeight));
    }

    // A chart laid out for a window of client size, drawn into box.
    void Chart(const QRectF& box, CStatChart& chart, const QSize& client)
    {
        painter.save();
        painter.translate(box.topLeft());
        painter.scale(box.width() / client.width(), box.height() / client.height());
        QFont windowFont = TextFont(12);
        CPainterChartCanvas canvas(painter, client, windowFont);
        chart.Draw(canvas);
        painter.restore();
    }

    QPainter& painter;

private:
    int m_year;
    int m_total;
    int m_number = 0;
};

int CYearReportWriter::PageCount() const
{
    return 1 + static_cast<int>(m_report.species.size()) + (HasConditionsPage() ? 1 : 0) +
           (HasPlacesPage() ? 1 : 0) + TripPages(m_report);
}

bool CYearReportWriter::Paint(QPagedPaintDevice& device, QPainter& painter,
                              const CReportProgress& progress)
{
    m_missingPhotos = 0;
    m_tripColumnWidths.clear();
    const int total = PageCount();
    painter.save();
    painter.scale(device.logicalDpiX() / 254.0, device.logicalDpiY() / 254.0);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    CPage page(painter, m_report.year, total);
    int number = 0;
    const auto next = [&] {
        if (number > 0) device.newPage();
        page.Begin(++number);
    };
    const auto done = [&] {
        page.Footer();
        return !progress || progress(number, total);
    };

    next();
    PaintCover(page);
    bool going = done();
    for (size_t s = 0; going && s < m_report.species.size(); ++s) {
        next();
        PaintSpecies(page, m_report.species[s]);
        going = done();
    }
    if (going && HasConditionsPage()) {
        next();
        PaintConditions(page);
        going = done();
    }
    if (going && HasPlacesPage()) {
        next();
        PaintPlaces(page);
        going = done();
    }
    for (size_t first = 0; going && first < m_report.trips.size(); first += kTripRowsPerPage) {
        next();
        PaintTrips(page, first);
        going = done();
    }
    painter.restore();
    return going;
}

void CYearReportWriter::PaintCover(CPage& page)
{
    QPainter& painter = page.painter;
    page.Text(QRectF(kMargin, 200, kContentWidth, 120),
              QStringLiteral("%1年 釣果レポート").arg(m_report.year), 90, Qt::AlignHCenter, true,
              kAccent);
    if (m_report.empty()) {
        page.Text(QRectF(kMargin, 600, kContentWidth, 80),
                  QStringLiteral("この年の釣行データはありません"), 50, Qt::AlignHCenter);
        return;
    }

    // The year in three numbers.
    const struct {
        const char* label;
        int value;
        const char* unit;
    } totals[] = {{"釣行", m_report.tripCount, "回"},
                  {"釣果", m_report.catchCount, "匹"},
                  {"魚種", static_cast<int>(m_report.species.size()), "種"}};
    const double boxWidth = (kContentWidth - 2 * 60) / 3;
    for (int n = 0; n < 3; ++n) {
        const QRectF box(kMargin + n * (boxWidth + 60), 420, boxWidth, 260);
        painter.setPen(QPen(kAccent, 4));
        painter.setBrush(kHeaderFill);
        painter.drawRoundedRect(box, 30, 30);
        page.Text(box.adjusted(0, 20, 0, -170), QString::fromUtf8(totals[n].label), 40,
                  Qt::AlignHCenter);
        page.Text(
            box.adjusted(0, 90, 0, -20),
            QStringLiteral("%1 %2").arg(totals[n].value).arg(QString::fromUtf8(totals[n].unit)), 80,
            Qt::AlignHCenter, true, kAccent);
    }

    page.Heading(760, QStringLiteral("今年いちばんの大物"));
    double textLeft = kMargin;
    if (!m_report.heaviestPhoto.empty()) {
        constexpr double kCoverPhotoWidth = 600;
        constexpr double kCoverPhotoHeight = 500;
        PaintPhoto(painter,
                   LoadPhotos({m_report.heaviestPhoto}, QSizeF(kCoverPhotoWidth, kCoverPhotoHeight))
                       .front(),
                   kMargin, 860, kCoverPhotoWidth, kCoverPhotoHeight);
        textLeft += 660;
    }
    if (m_report.hasHeaviest) {
        const CYearReportCatch& best = m_report.heaviest;
        const QString lines[] = {
            Q(best.species) + (best.personalBest ? QStringLiteral("  ★自己記録") : QString()),
            QStringLiteral("重量 %1 kg").arg(Q(best.weightText)),
            QStringLiteral("全長 %1 cm").arg(Q(best.lengthText)), Q(best.date), Q(best.place)};
        double y = 880;
        for (const QString& line : lines) {
            const bool first = &line == &lines[0];
            page.Text(QRectF(textLeft, y, kPageWidth - kMargin - textLeft, first ? 90 : 70), line,
                      first ? 64 : 44, Qt::AlignLeft, first);
            y += first ? 110 : 85;
        }
    }

    page.Heading(1440, QStringLiteral("月別の釣行日数"));
    page.Chart(QRectF(kMargin, 1540, kContentWidth, 900), m_report.daysFished, "月別釣行日数",
               "日数");
    std::vector<CColumn> columns;
    QStringList months;
    QStringList counts;
    for (int month = 1; month <= 12; ++month) {
        columns.push_back({"", kContentWidth / 12, Qt::AlignHCenter});
        months << QStringLiteral("%1月").arg(month);
        counts << QString::number(m_report.daysFished[static_cast<size_t>(month)]);
    }
    page.Row(2480, columns, months, true);
    page.Row(2480 + kRowHeight, columns, counts, false);
}

void CYearReportWriter::PaintSpecies(CPage& page, const CYearReportSpecies& species)
{
    page.Text(QRectF(kMargin, 140, kContentWidth, 110), Q(species.name), 80, Qt::AlignLeft, true,
              kAccent);
    page.Text(QRectF(kMargin, 140, kContentWidth, 110),
              QStringLiteral("%1 匹").arg(species.catches), 56, Qt::AlignRight, true);
    page.Chart(QRectF(kMargin, 280, kContentWidth, 950), species.monthly, "月別釣果データ", "匹数");

    page.Heading(1270, QStringLiteral("重量ランキング"));
    std::vector<CColumn> columns = {
        {"順位", 0, Qt::AlignRight},     {"日付", 0, Qt::AlignLeft},
        {"場所", 0, Qt::AlignLeft},      {"全長(cm)", 0, Qt::AlignRight},
        {"重量(kg)", 0, Qt::AlignRight}, {"", 0, Qt::AlignHCenter}};
    std::vector<QStringList> rows;
    for (size_t n = 0; n < species.top.size(); ++n) {
        const CYearReportCatch& entry = species.top[n];
        rows.push_back({QString::number(n + 1), Q(entry.date), Q(entry.place), Q(entry.lengthText),
                        Q(entry.weightText),
                        entry.personalBest ? QString::fromUtf8(CStatQuery::kBestMark) : QString()});
    }
    page.FitColumns(columns, rows);
    QStringList header;
    for (const CColumn& column : columns) header << QString::fromUtf8(column.title);
    double y = 1360;
    page.Row(y, columns, header, true);
    for (const QStringList& row : rows) {
        y += kRowHeight;
        page.Row(y, columns, row, false);
    }

    if (species.photos.empty()) return;
    page.Heading(2010, QStringLiteral("写真"));
    constexpr double kGap = 30;
    const double cellWidth = (kContentWidth - (kPhotoColumns - 1) * kGap) / kPhotoColumns;
    const double cellHeight = cellWidth * kThumbnailHeight / kThumbnailWidth;
    const std::vector<QImage> photos = LoadPhotos(species.photos, QSizeF(cellWidth, cellHeight));
    for (size_t n = 0; n < photos.size(); ++n) {
        const double x = kMargin + static_cast<double>(n % kPhotoColumns) * (cellWidth + kGap);
        const double top = 2100 + static_cast<double>(n / kPhotoColumns) * (cellHeight + kGap);
        PaintPhoto(page.painter, photos[n], x, top, cellWidth, cellHeight);
    }
}

void CYearReportWriter::PaintPlaces(CPage& page)
{
    page.Heading(140, QStringLiteral("釣り場"));
    page.Text(QRectF(kMargin, 215, kContentWidth, 50),
              QStringLiteral("全魚種の釣果と釣行日数、1日あたりの釣果。地図は位置の分かる釣り場"
                             "（丸の大きさが釣果）。"),
              30, Qt::AlignLeft);
    // The map from the built-in coast, so the report prints without the network.
    const QRectF box(kMargin, 290, kContentWidth, 1150);
    const QSize client(1000, 600);
    CMapScene scene;
    std::vector<CGeoPoint> points;
    for (const CYearReportPlace& place : m_report.places) {
        if (!place.hasPosition) continue;
        scene.places.push_back({place.name, {place.latitude, place.longitude}, place.catches, 0});
        points.push_back(scene.places.back().point);
    }
    CMapViewport view({36, 138}, 5, client.width(), client.height());
    view.FitTo(points.empty() ? std::vector<CGeoPoint>{{24.4, 122.9}, {45.5, 145.8}} : points, 40,
               11);
    QPainter& painter = page.painter;
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(box.width() / client.width(), box.height() / client.height());
    painter.setClipRect(QRect(QPoint(0, 0), client));
    CQtMapCanvas canvas(painter, client, TextFont(12), nullptr);
    DrawMap(canvas, view, ShippedBaseMap(), scene);
    painter.restore();
    painter.setPen(QPen(kRuleColor, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);

    std::vector<CColumn> columns = {{"場所", 0, Qt::AlignLeft},
                                    {"釣果(匹)", 0, Qt::AlignRight},
                                    {"釣行日数", 0, Qt::AlignRight},
                                    {"1日あたり", 0, Qt::AlignRight}};
    std::vector<QStringList> rows;
    const int room = static_cast<int>((kFooterTop - 1480 - kRowHeight) / kRowHeight);
    for (const CYearReportPlace& place : m_report.places) {
        if (static_cast<int>(rows.size()) == room) break;
        rows.push_back({Q(place.name), QString::number(place.catches),
                        QString::number(place.daysFished),
                        CatchRateText(place.catches, place.daysFished)});
    }
    page.FitColumns(columns, rows);
    QStringList header;
    for (const CColumn& column : columns) header << QString::fromUtf8(column.title);
    double y = 1480;
    page.Row(y, columns, header, true);
    for (const QStringList& row : rows) page.Row(y += kRowHeight, columns, row, false);
}

void CYearReportWriter::PaintConditions(CPage& page)
{
    page.Heading(140, QStringLiteral("釣れた条件"));
    page.Text(QRectF(kMargin, 215, kContentWidth, 50),
              QStringLiteral("全魚種の釣果。潮と月齢は釣行1日あたりの釣果（棒の上に 1日あたり・"
                             "匹数/日数）。港や時刻が分からない釣果は「不明」。"),
              30, Qt::AlignLeft);
    // The conditions with few values side by side, those with many across the page.
    struct CPlace {
        ECondition condition;
        double x;
        double y;
        bool wide;
    };
    constexpr double kTop = 290;
    constexpr double kHeight = 470;
    constexpr double kGap = 20;
    constexpr double kHalf = (kContentWidth - kGap) / 2;
    const CPlace places[] = {
        {ECondition::TideName, kMargin, kTop, false},
        {ECondition::TimeOfDay, kMargin + kHalf + kGap, kTop, false},
        {ECondition::TideStage, kMargin, kTop + (kHeight + kGap), true},
        {ECondition::Hour, kMargin, kTop + 2 * (kHeight + kGap), true},
        {ECondition::MoonAge, kMargin, kTop + 3 * (kHeight + kGap), true},
        {ECondition::WaterTemp, kMargin, kTop + 4 * (kHeight + kGap), false},
    };
    // Charts are laid out for a window about 1.8 page units a pixel, so that their texts print
    // at about six points.
    constexpr double kUnitsPerPixel = 1.8;
    for (const CPlace& place : places) {
        const auto table =
            std::find_if(m_report.conditions.begin(), m_report.conditions.end(),
                         [&](const CConditionTable& t) { return t.condition == place.condition; });
        if (table == m_report.conditions.end()) continue;
        const QRectF box(place.x, place.y, place.wide ? kContentWidth : kHalf, kHeight);
        page.painter.setPen(QPen(kRuleColor, 2));
        page.painter.setBrush(Qt::NoBrush);
        page.painter.drawRect(box);
        const QSize client(static_cast<int>(box.width() / kUnitsPerPixel),
                           static_cast<int>(box.height() / kUnitsPerPixel));
        page.Chart(box.adjusted(2, 2, -2, -2), *BuildConditionChart(*table), client);
    }
}

void CYearReportWriter::PaintTrips(CPage& page, size_t first)
{
    page.Heading(140, QStringLiteral("釣行一覧"));
    std::vector<CColumn> columns = {{"日付", 0, Qt::AlignLeft},
                                    {"場所", 0, Qt::AlignLeft},
                                    {"天気", 0, Qt::AlignLeft},
                                    {"対象魚", 0, Qt::AlignLeft},
                                    {"釣果", 0, Qt::AlignRight},
                                    {"潮", 0, Qt::AlignLeft},
                                    {"満潮・干潮（港）", 0, Qt::AlignLeft}};
    std::vector<QStringList> rows;
    rows.reserve(m_report.trips.size());
    for (const CYearReportTrip& trip : m_report.trips) rows.push_back(TripRowTexts(trip));
    // Sized by every trip of the year, so that the columns stand alike on every page.
    if (m_tripColumnWidths.empty()) {
        page.FitColumns(columns, rows);
        for (const CColumn& column : columns) m_tripColumnWidths.push_back(column.width);
    }
    for (size_t c = 0; c < columns.size() && c < m_tripColumnWidths.size(); ++c)
        columns[c].width = m_tripColumnWidths[c];
    QStringList header;
    for (const CColumn& column : columns) header << QString::fromUtf8(column.title);
    double y = 240;
    page.Row(y, columns, header, true);
    const size_t end = std::min(rows.size(), first + kTripRowsPerPage);
    for (size_t n = first; n < end; ++n) {
        y += kRowHeight;
        page.Row(y, columns, rows[n], false);
    }
}

QStringList CYearReportWriter::TripRowTexts(const CYearReportTrip& trip)
{
    return {Q(trip.date),
            Q(trip.place),
            Q(trip.weather),
            Q(trip.target),
            QStringLiteral("%1 匹").arg(trip.catches),
            Q(trip.tideName),
            trip.tidePort.empty() ? QString() : Q(trip.tidePort + " " + trip.tideTimes)};
}

QSize CYearReportWriter::PrintPixels(const QSizeF& printed)
{
    // Page units are tenths of a millimetre.
    const auto pixels = [](double tenths) {
        return std::max(1, static_cast<int>(std::lround(tenths / 254.0 * kPhotoDpi)));
    };
    return QSize(pixels(printed.width()), pixels(printed.height()));
}

std::vector<QImage> CYearReportWriter::LoadPhotos(const std::vector<std::string>& paths,
                                                  const QSizeF& printed)
{
    // Each photo is decoded for the size it is printed at (a thumbnail would print coarse), at
    // no more pixels than that needs.  The photos of a page are decoded side by side; one page
    // at a time keeps memory small.
    const QSize box = PrintPixels(printed);
    const std::vector<QImage> photos =
        QtConcurrent::blockingMapped<std::vector<QImage>>(paths, [box](const std::string& path) {
            CDecodeOptions options;
            options.coverWidth = box.width();
            options.coverHeight = box.height();
            CRgbPicture picture;
            if (DecodeThumbnailPicture(QStringFromStd(path), picture, nullptr, options) !=
                    EDecodeStatus::Ok ||
                picture.empty()) {
                return QImage();
            }
            const QImage image = ImageFromPicture(picture);
            if (image.width() <= box.width() && image.height() <= box.height()) return image;
            return image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        });
    for (const QImage& photo : photos) m_missingPhotos += photo.isNull();
    return photos;
}

void CYearReportWriter::PaintPhoto(QPainter& painter, const QImage& photo, double x, double y,
                                   double width, double height)
{
    // The report goes on without a photo that cannot be shown: a drawn placeholder says one was
    // meant here.
    const QImage image = photo.isNull() ? ThumbnailPlaceholder() : photo;
    const double scale = std::min(width / image.width(), height / image.height());
    const QSizeF shown(image.width() * scale, image.height() * scale);
    painter.drawImage(
        QRectF(QPointF(x + (width - shown.width()) / 2, y + (height - shown.height()) / 2), shown),
        image);
}

bool MakeYearReportPdf(const CYearReport& report, QByteArray& pdf, const CReportProgress& progress)
{
    pdf.clear();
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    bool going = false;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(QStringLiteral("釣果レポート %1年").arg(report.year));
        writer.setCreator(QStringLiteral("Lurebook"));
        QPainter painter(&writer);
        CYearReportWriter pages(report);
        going = pages.Paint(writer, painter, progress);
        painter.end();
    }
    buffer.close();
    if (!going) pdf.clear();
    return going;
}

// The year's places with their positions from the places file, for the 「釣り場」 page.
static void AddYearPlaces(const CCatchStore& store, const CDataFolder& folder, CYearReport& report)
{
    std::vector<CTripRecord> trips;
    if (report.empty() || !store.ReadAllTrips(trips).ok()) return;
    CPlaceBook book;
    book.Load(folder);
    for (const CPlaceTally& tally : RankPlaceTallies(TallyPlaces(trips, {report.year, ""}))) {
        CYearReportPlace place{tally.place, tally.catches, tally.daysFished, false, 0, 0};
        if (const CPlaceInfo* info = book.Find(tally.place); info != nullptr && info->hasPosition) {
            place.hasPosition = true;
            place.latitude = info->position.latitude;
            place.longitude = info->position.longitude;
        }
        report.places.push_back(std::move(place));
    }
}

bool WriteYearReportFile(const CCatchStore& store, const CDataFolder& folder, int year,
                         const std::string& path, std::string& error,
                         const CReportProgress& progress)
{
    error.clear();
    CYearReport report;
    const CStoreResult result =
        ReadYearReport(store, year, report, TripTidePorts(folder), &ShippedTideStations());
    if (result.ok()) AddYearPlaces(store, folder, report);
    if (!result.ok()) {
        error = DescribeStoreResult(result, store.GetPath());
        return false;
    }
    // A target that cannot be written is found before the pages are drawn, not after.
    if (!CanWriteFileSafely(path, &error)) {
        error = "レポートを書き込めませんでした: " + path + " (" + error + ")";
        return false;
    }
    // The whole document is made in memory first, so a failed write never leaves half a file.
    QByteArray pdf;
    if (!MakeYearReportPdf(report, pdf, progress)) return false;
    if (!WriteFileSafely(path, std::string_view(pdf.constData(), size_t(pdf.size())), &error)) {
        error = "レポートを書き込めませんでした: " + path + " (" + error + ")";
        return false;
    }
    return true;
}

QString DefaultYearReportPath(int year)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("釣果レポート_%1.pdf").arg(year));
}

namespace {

// A progress dialog that appears only when the report takes a while.
class CReportProgressDialog {
public:
    CReportProgressDialog(QWidget* parent, const QString& text)
        : m_dialog(text, QStringLiteral("キャンセル"), 0, 0, parent)
    {
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
    }
    CReportProgress Callback()
    {
        return [this](int done, int total) {
            m_dialog.setMaximum(total);
            m_dialog.setValue(done);
            return !m_dialog.wasCanceled();
        };
    }

private:
    QProgressDialog m_dialog;
};

}  // namespace

bool ExportYearReport(QWidget* parent, const CCatchStore& store, const CDataFolder& folder,
                      int year)
{
    const QString target = GetSaveFileNameWithSuffix(
        parent, QStringLiteral("年間レポート"), DefaultYearReportPath(year),
        QStringLiteral("PDF ファイル (*.pdf);;すべてのファイル (*)"), QStringLiteral(".pdf"));
    if (target.isEmpty()) return false;
    CReportProgressDialog progress(parent, QStringLiteral("年間レポートを作成しています..."));
    std::string error;
    if (!WriteYearReportFile(store, folder, year, PathFromQString(target), error,
                             progress.Callback())) {
        if (!error.empty()) ShowMessageBox(parent, QStringFromStd(error), EMessageBoxIcon::Warning);
        return false;
    }
    return true;
}

bool PrintYearReport(QWidget* parent, const CCatchStore& store, const CDataFolder& folder, int year)
{
    CYearReport report;
    const CStoreResult result =
        ReadYearReport(store, year, report, TripTidePorts(folder), &ShippedTideStations());
    if (result.ok()) AddYearPlaces(store, folder, report);
    if (!result.ok()) {
        ShowMessageBox(parent, QStringFromStd(DescribeStoreResult(result, store.GetPath())),
                       EMessageBoxIcon::Warning);
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    // The pages are laid out for the whole sheet; the printer's own margins are inside ours.
    printer.setFullPage(true);
    printer.setDocName(QStringLiteral("釣果レポート %1年").arg(report.year));
    if (!DesktopServices().AskPrinter(parent, printer)) return false;
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowMessageBox(parent, QStringLiteral("プリンターを開けませんでした。"),
                       EMessageBoxIcon::Warning);
        return false;
    }
    CReportProgressDialog progress(parent, QStringLiteral("年間レポートを印刷しています..."));
    CYearReportWriter pages(report);
    const bool printed = pages.Paint(printer, painter, progress.Callback());
    if (!printed) printer.abort();
    painter.end();
    return printed;
}
