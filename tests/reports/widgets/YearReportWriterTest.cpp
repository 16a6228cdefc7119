// The yearly report as a reader sees it: the PDF's text, pages and rendered pictures.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <algorithm>
#include <map>

#include "calendar/MoonPhase.h"
#include "data/CatchStore.h"
#include "photos/JpegTestFiles.h"
#include "reports/ReportTrips.h"
#include "reports/widgets/DataViewFrame.h"
#include "reports/widgets/YearReportWriter.h"
#include "support/TempProgramDir.h"
#include "support/widgets/FakeDesktopServices.h"
#include "support/widgets/MessageBoxRecorder.h"
#include "support/widgets/PdfTools.h"
#include "support/widgets/WidgetLookup.h"
#include "uikit/QtText.h"

namespace {

constexpr CTestRgb kPhotoGreen{40, 160, 60};
const QColor kBarColour(0x32, 0x32, 0xFF);         // the monthly chart's bars
const QColor kPlaceholderCross(0xC0, 0x40, 0x40);  // the drawn stand-in for a photo

CCatchRecord Fish(const std::string& name, const std::string& weight)
{
    return {name, "50", weight, "6時0分"};
}

bool Near(QRgb pixel, const QColor& colour, int tolerance = 40)
{
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

int CountPixels(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += Near(image.pixel(x, y), colour);
    return count;
}

QString Unspaced(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

// Runs of neighbouring columns holding bar pixels: centre and height of each bar.
struct CBar {
    double centre;
    int height;
};
std::vector<CBar> FindBars(const QImage& image)
{
    std::vector<CBar> bars;
    int start = -1;
    int height = 0;
    for (int x = 0; x <= image.width(); ++x) {
        int column = 0;
        for (int y = 0; x < image.width() && y < image.height(); ++y)
            column += Near(image.pixel(x, y), kBarColour);
        if (column > 2) {
            if (start < 0) start = x;
            height = std::max(height, column);
        } else if (start >= 0) {
            bars.push_back({(start + x - 1) / 2.0, height});
            start = -1;
            height = 0;
        }
    }
    return bars;
}

class YearReportWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_out = QString::fromStdString(m_dir.Path("out/"));
        m_emptyLog = m_dir.ReadFile("Data/fish.xml");
    }
    // Back to a catch file without trips.
    void Reset()
    {
        m_dir.WriteFile("Data/fish.xml", m_emptyLog);
        m_store.Forget();
    }

    std::string Photo(const std::string& name, const std::string& bytes)
    {
        const std::string relative = "Data/Picture/" + name;
        m_dir.WriteFile(relative, bytes);
        return m_dir.Path(relative);
    }
    // シーバス in January (1), June (3) and December (2); メバル in April, once per extra trip.
    void WriteSample(int extraTrips, const std::string& photo = "")
    {
        std::vector<CTripRecord> trips = {
            ReportTrip("2024/1/5", {Fish("シーバス", "1.2")}, {}, "城ヶ島"),
            ReportTrip(
                "2024/6/1",
                {Fish("シーバス", "4.35"), Fish("シーバス", "0.8"), Fish("シーバス", "0.9")},
                {photo.empty() ? Photo("green.jpg", PlainJpeg(160, 120, kPhotoGreen)) : photo},
                "江ノ島"),
            ReportTrip("2024/12/24", {Fish("シーバス", "2"), Fish("シーバス", "2.5")}, {}, "本牧"),
            ReportTrip("2023/5/5", {Fish("シーバス", "9")}, {}, "城ヶ島"),
        };
        for (int n = 0; n < extraTrips; ++n)
            trips.push_back(ReportTrip("2024/4/" + std::to_string(n % 28 + 1),
                                       {Fish("メバル", "0.2")}, {}, "横須賀"));
        ASSERT_TRUE(m_store.AddTrips(trips).ok());
    }
    QString Write(int year)
    {
        QDir().mkpath(m_out);
        const QString pdf = m_out + QStringLiteral("report_%1.pdf").arg(year);
        std::string error;
        EXPECT_TRUE(WriteYearReportFile(m_store, m_dir.Folder(), year, PathFromQString(pdf), error))
            << error;
        return pdf;
    }

    CTempProgramDir m_dir;
    CCatchStore m_store{m_dir.CatchFile()};
    QString m_out;
    std::string m_emptyLog;
};

TEST_F(YearReportWriterTest, TextAndPagesFollowTheData)
{
    const struct {
        int year;
        int extraTrips;
        int pages;  // cover, species, conditions, places, trip list pages
        QStringList shown;
        QStringList absent;
    } cases[] = {
        {2024,
         0,
         1 + 1 + 1 + 1 + 1,
         {"2024年 釣果レポート", "3 回", "6 匹", "1 種", "シーバス", "4.35", "江ノ島", "城ヶ島",
          "本牧", "2024/12/24", "1 / 5", "5 / 5", "釣れた条件", "釣り場"},
         {"メバル", "この年の釣行データはありません"}},
        // Forty-one trips take two list pages; メバル has more catches and comes first.
        {2024, 38, 1 + 2 + 1 + 1 + 2, {"44 匹", "2 種", "メバル", "横須賀", "7 / 7"}, {}},
        // The 2023 trip holds the personal best.
        {2023, 0, 1 + 1 + 1 + 1 + 1, {"★", "9"}, {"江ノ島"}},
        {2019,
         0,
         1,
         {"2019年 釣果レポート", "この年の釣行データはありません", "1 / 1"},
         {"シーバス", "釣れた条件", "釣り場"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.year);
        Reset();
        WriteSample(c.extraTrips);
        const QString pdf = Write(c.year);
        EXPECT_EQ(PdfPageCount(pdf), c.pages);
        // pdftotext spaces words as it measures them; compare without blanks.
        const QString text = Unspaced(PdfText(pdf));
        for (const QString& expected : c.shown)
            EXPECT_TRUE(text.contains(Unspaced(expected))) << expected.toStdString();
        for (const QString& unexpected : c.absent)
            EXPECT_FALSE(text.contains(Unspaced(unexpected))) << unexpected.toStdString();
    }
}

TEST_F(YearReportWriterTest, ChartBarsStandInTheirMonthsAtTheirHeights)
{
    WriteSample(0);
    const QImage page = PdfPageImage(Write(2024), 2);
    ASSERT_FALSE(page.isNull());
    const std::vector<CBar> bars = FindBars(page);
    // January 1, June 3, December 2: months 1, 6 and 12 of twelve evenly spaced slots.
    ASSERT_EQ(bars.size(), 3u);
    const double slot = (bars[2].centre - bars[0].centre) / 11;
    EXPECT_NEAR(bars[1].centre - bars[0].centre, 5 * slot, slot / 4);
    EXPECT_NEAR(double(bars[1].height) / bars[0].height, 3.0, 0.15);
    EXPECT_NEAR(double(bars[2].height) / bars[0].height, 2.0, 0.15);
}

TEST_F(YearReportWriterTest, PhotoThatCannotBeShownGetsAPlaceholderAndTheReportIsWritten)
{
    const struct {
        const char* name;
        std::string bytes;  // empty: the file is missing
        bool photoShown;
    } cases[] = {
        {"fish.jpg", PlainJpeg(160, 120, kPhotoGreen), true},
        {"gone.jpg", "", false},
        {"broken.jpg", PlainJpeg(160, 120, kPhotoGreen).substr(0, 200), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        const std::string path = c.bytes.empty() ? m_dir.Path(std::string("Data/Picture/") + c.name)
                                                 : Photo(c.name, c.bytes);
        WriteSample(0, path);
        const QImage species = PdfPageImage(Write(2024), 2);
        ASSERT_FALSE(species.isNull());
        const QColor green(kPhotoGreen.r, kPhotoGreen.g, kPhotoGreen.b);
        EXPECT_EQ(CountPixels(species, green) > 100, c.photoShown);
        EXPECT_EQ(CountPixels(species, kPlaceholderCross) > 20, !c.photoShown);
    }
}

TEST_F(YearReportWriterTest, PhotosArePrintedAt300DotsPerInchOfTheirPrintedSize)
{
    // A camera-sized photo of the heaviest catch: on the cover 60 mm wide, among the species'
    // photos 27.5 mm wide; a 4:3 picture each time.
    WriteSample(0, Photo("camera.jpg", PlainJpeg(2400, 1800, kPhotoGreen)));
    const std::vector<CPdfImage> images = PdfImages(Write(2024));
    const struct {
        int page;
        int width;
    } expected[] = {{1, 709}, {2, 325}};
    for (const auto& e : expected) {
        const auto found = std::find_if(images.begin(), images.end(),
                                        [&](const CPdfImage& i) { return i.page == e.page; });
        ASSERT_NE(found, images.end()) << e.page;
        EXPECT_NEAR(found->width, e.width, 1) << e.page;
        EXPECT_NEAR(found->height, e.width * 3 / 4, 1) << e.page;
        EXPECT_NEAR(found->xPpi, 300, 2) << e.page;
        EXPECT_NEAR(found->yPpi, 300, 2) << e.page;
    }
    EXPECT_EQ(CYearReportWriter::PrintPixels(QSizeF(254, 127)), QSize(300, 150));
}

TEST_F(YearReportWriterTest, TripColumnsAreSizedByWhatTheyHold)
{
    // Long weather and a long place beside short counts: all of it fits across the page.
    CTripRecord trip =
        ReportTrip("2024/8/11", {Fish("シーバス", "1")}, {}, "三浦半島の城ヶ島公園下");
    trip.weather = "晴れのち曇り時々にわか雨";
    ASSERT_TRUE(m_store.AddTrip(trip).ok());
    const QString text = Unspaced(PdfText(Write(2024)));
    for (const char* whole : {"晴れのち曇り時々にわか雨", "三浦半島の城ヶ島公園下", "2024/8/11"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(whole))) << whole;
    EXPECT_FALSE(text.contains(QStringLiteral("…")));
}

TEST_F(YearReportWriterTest, FailuresAreToldAndLeaveNoFile)
{
    WriteSample(0);
    CCatchStore missing(m_dir.Path("Data/none.xml"));
    const struct {
        const CCatchStore* store;
        std::string path;
        std::string inError;
    } cases[] = {
        {&missing, m_dir.Path("a.pdf"), ""},
        {&m_store, m_dir.Path("no/such/folder/b.pdf"), "no/such/folder/b.pdf"},
        {&m_store, m_dir.Path("Data"), "Data"},  // a folder
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error;
        // Nothing is drawn for a report that cannot be kept.
        int pagesDrawn = 0;
        EXPECT_FALSE(
            WriteYearReportFile(*c.store, m_dir.Folder(), 2024, c.path, error, [&](int, int) {
                ++pagesDrawn;
                return true;
            }));
        EXPECT_EQ(pagesDrawn, 0);
        EXPECT_FALSE(error.empty());
        EXPECT_NE(error.find(c.inError), std::string::npos) << error;
        EXPECT_FALSE(QFileInfo(QString::fromStdString(c.path)).isFile());
    }
}

TEST_F(YearReportWriterTest, StatisticsPageWritesAndPrintsTheChosenYear)
{
    WriteSample(0);
    CDataViewFrame frame(m_store, m_dir.Folder());
    const QString pdf = m_out + QStringLiteral("chosen.pdf");
    const struct {
        const char* year;
        bool print;
        QString answer;  // empty: the dialog is cancelled
        bool written;
        int messages;
    } cases[] = {
        // The second answer is a bare name: the suffix is added.
        {"2024", false, pdf, true, 0}, {"2024", false, m_out + "chosen", true, 0},
        {"2024", true, pdf, true, 0},  {"2024", false, "", false, 0},
        {"2024", true, "", false, 0},  {"", false, pdf, false, 1},
        {"今年", true, pdf, false, 1},
    };
    QDir().mkpath(m_out);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.year) + (c.print ? " print" : " pdf"));
        QFile::remove(pdf);
        CFakeDesktopServices desktop;
        CMessageBoxRecorder messages;
        if (!c.answer.isEmpty()) {
            if (c.print) {
                desktop.QueuePrintFile(c.answer);
            } else {
                desktop.QueueSaveFileName(c.answer);
            }
        }
        frame.GetYearCombo()->setEditText(QString::fromUtf8(c.year));
        if (c.print) {
            frame.OnPrintYearReport();
        } else {
            FindControl<QPushButton>(&frame, CDataViewFrame::kYearReportButtonId)->click();
        }
        EXPECT_EQ(messages.Texts().size(), c.messages)
            << messages.Texts().join(u'\n').toStdString();
        EXPECT_EQ(PdfPageCount(pdf), c.written ? 5 : -1);
        if (!c.print && c.messages == 0) {
            EXPECT_EQ(desktop.SaveDirectories().value(0), DefaultYearReportPath(2024));
        }
    }
    EXPECT_TRUE(DefaultYearReportPath(2024).endsWith(QStringLiteral("/釣果レポート_2024.pdf")));
}

}  // namespace

TEST_F(YearReportWriterTest, ConditionsPageChartsTheYearsCatchesByTideAndTime)
{
    WriteSample(0);
    const QStringList pages = PdfText(Write(2024)).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 5);
    // After the species, before the places and the trip list.
    const QString page = Unspaced(pages[2]);
    EXPECT_TRUE(page.contains(QStringLiteral("釣れた条件")));
    EXPECT_FALSE(Unspaced(pages[1]).contains(QStringLiteral("釣れた条件")));
    EXPECT_TRUE(Unspaced(pages[3]).contains(QStringLiteral("釣り場")));
    EXPECT_TRUE(Unspaced(pages[4]).contains(QStringLiteral("釣行一覧")));
    for (const char* title : {"潮別1日あたりの釣果", "潮の動き別の釣果", "時刻別の釣果",
                              "月齢別1日あたりの釣果", "時間帯別の釣果", "水温別の釣果"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(title))) << title;
    // Each tide name's catches over the days fished under it, as the calendar names the days.
    const struct {
        int month;
        int day;
        int catches;
    } days[] = {{1, 5, 1}, {6, 1, 3}, {12, 24, 2}};
    std::map<std::string, std::pair<int, int>> byName;  // catches, days
    for (const auto& d : days) {
        auto& entry = byName[MoonDayOf(2024, d.month, d.day).tideName];
        entry.first += d.catches;
        entry.second += 1;
    }
    for (const auto& [name, counts] : byName) {
        const QString note = QStringLiteral("%1匹/%2日").arg(counts.first).arg(counts.second);
        EXPECT_TRUE(page.contains(note)) << name << " " << note.toStdString();
    }
    // Every catch at 6時; the trips have no water temperature, so all six are 「不明」 there.
    EXPECT_TRUE(page.contains(QStringLiteral("不明")));
}
