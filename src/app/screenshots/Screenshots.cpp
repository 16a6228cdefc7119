// Makes the README's pictures: starts the real main window offscreen on a folder of sample data
// (trips, photos, a memo), visits every page as a user would and saves each as a PNG.
//   lurebook-screenshots OUTPUT_DIR [WIDTHxHEIGHT]
// The main window is 800 x 600 unless a size is given (1920x1080 shows it maximised on a full-HD
// screen).
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QLinearGradient>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/widgets/AboutDlg.h"
#include "app/widgets/HistoryDlg.h"
#include "app/widgets/MainFrame.h"
#include "app/widgets/SwitchSplitter.h"
#include "calendar/ScheduleMemo.h"
#include "calendar/widgets/ScheduleEntryDlg.h"
#include "calendar/widgets/SheduleView.h"
#include "data/CatchHistory.h"
#include "data/CatchStore.h"
#include "data/Clock.h"
#include "data/DataFolder.h"
#include "entry/widgets/CatchEntryDlg.h"
#include "entry/widgets/SettingsDlg.h"
#include "photos/widgets/ThumbnailBuilder.h"
#include "photos/widgets/ThumbnailFrame.h"
#include "photos/widgets/ThumbnailView.h"
#include "phototrips/widgets/PhotoTripsDlg.h"
#include "places/PlaceBook.h"
#include "places/widgets/LocalTileServer.h"
#include "places/widgets/MapFrame.h"
#include "places/widgets/MapView.h"
#include "places/widgets/TileFetcher.h"
#include "reports/widgets/DataViewFrame.h"
#include "reports/widgets/ReportDataFrame.h"
#include "reports/widgets/ReportDataView.h"
#include "reports/widgets/YearReportWriter.h"
#include "tides/TideStations.h"
#include "uikit/Fonts.h"
#include "uikit/QtText.h"

namespace fs = std::filesystem;

namespace {

void Wait(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

// A photo of the sea with a fish, in colours that tell the photos apart.
void WritePhoto(const QString& path, int seed, bool fish)
{
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor::fromHsv((200 + seed * 17) % 360, 120, 250));
    sky.setColorAt(1, QColor(240, 240, 230));
    painter.fillRect(0, 0, 800, 300, sky);
    QLinearGradient sea(0, 300, 0, 600);
    sea.setColorAt(0, QColor::fromHsv((190 + seed * 11) % 360, 200, 180));
    sea.setColorAt(1, QColor(10, 40, 90));
    painter.fillRect(0, 300, 800, 300, sea);
    if (fish) {
        painter.translate(400, 400);
        painter.scale(2.5 + seed % 3 * 0.4, 2.5 + seed % 3 * 0.4);
        QPainterPath body;
        body.moveTo(-80, 0);
        body.cubicTo(-40, -50, 40, -50, 70, 0);
        body.cubicTo(40, 50, -40, 50, -80, 0);
        body.moveTo(65, 0);
        body.lineTo(105, -35);
        body.lineTo(100, 0);
        body.lineTo(105, 35);
        body.closeSubpath();
        painter.setBrush(QColor::fromHsv((seed * 47) % 360, 160, 230));
        painter.setPen(QPen(Qt::black, 2));
        painter.drawPath(body);
        painter.setBrush(Qt::black);
        painter.drawEllipse(QPointF(-50, -8), 6, 6);
    } else {
        painter.setBrush(QColor(90, 80, 70));
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(
            QPolygonF({QPointF(0, 330), QPointF(220 + seed * 20, 200), QPointF(420, 330)}));
    }
    painter.end();
    image.save(path, "JPG", 85);
}

void MakeSampleData(const CDataFolder& folder)
{
    fs::create_directories(folder.GetPictureDir());
    fs::create_directories(folder.GetScheduleDir());
    fs::copy(fs::path(LUREBOOK_SOURCE_DIR) / "assets/Data/fish.xml", folder.GetCatchFile());
    fs::copy(fs::path(LUREBOOK_SOURCE_DIR) / "assets/Data/fishname.txt", folder.GetSpeciesFile());
    const QString photos = QStringFromStd(folder.GetProgramDir()) + QStringLiteral("photos/");
    QDir().mkpath(photos);

    struct Sample {
        const char* date;
        const char* weather;
        const char* target;
        const char* place;
        std::vector<CCatchRecord> catches;
    };
    const std::vector<Sample> samples = {
        {"2026/3/14",
         "晴れ",
         "メバル",
         "城ヶ島 西側の磯",
         {{"メバル", "22.5", "0.18", "19時10分"}, {"カサゴ", "18", "0.12", "20時5分"}}},
        {"2026/4/5",
         "曇り",
         "クロダイ",
         "東京湾 木更津沖",
         {{"クロダイ", "42.5", "1.35", "6時30分"}}},
        {"2026/4/29",
         "晴れ",
         "マダイ",
         "相模湾 茅ヶ崎沖",
         {{"マダイ", "48", "1.8", "7時15分"},
          {"マダイ", "35", "0.62", "8時40分"},
          {"イトヨリ", "28", "0.35", "9時0分"}}},
        {"2026/5/3", "雨", "シーバス", "多摩川河口", {{"スズキ", "61", "2.4", "21時20分"}}},
        {"2026/5/17", "晴れ", "マダイ", "相模湾 茅ヶ崎沖", {{"マダイ", "52.5", "2.15", "6時5分"}}},
        {"2026/6/7",
         "曇り",
         "アジ",
         "横須賀 うみかぜ公園",
         {{"マアジ", "24", "0.16", "18時30分"}, {"マアジ", "21", "0.11", "18時45分"}}},
        {"2026/7/20", "晴れ", "シロギス", "九十九里浜", {{"シロギス", "19", "0.07", "8時0分"}}},
        {"2026/8/11", "晴れ", "マダイ", "伊豆 下田沖", {{"マダイ", "44", "1.2", "5時50分"}}},
    };
    CCatchStore store(folder.GetCatchFile());
    int photo = 0;
    for (const Sample& sample : samples) {
        CTripRecord trip;
        trip.date = sample.date;
        trip.weather = sample.weather;
        trip.fishname = sample.target;
        trip.place = sample.place;
        trip.water = "17";
        trip.highTide = "6:40";
        trip.ebbTide = "12:55";
        trip.method = "ウキフカセ釣り\n道糸 3号、ハリス 2号";
        trip.memo = "朝マヅメに時合い。潮が動き出してから当たりが続いた。";
        trip.catches = sample.catches;
        const QString place = photos + QStringLiteral("place%1.jpg").arg(photo);
        WritePhoto(place, photo, false);
        trip.placePhotos.push_back(PathFromQString(place));
        for (size_t k = 0; k < sample.catches.size(); ++k) {
            const QString fish = photos + QStringLiteral("fish%1_%2.jpg").arg(photo).arg(k);
            WritePhoto(fish, photo * 3 + static_cast<int>(k), true);
            trip.fishPhotos.push_back(PathFromQString(fish));
        }
        ++photo;
        store.AddTrip(trip);
    }
}

bool Save(QWidget* widget, const QString& path)
{
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// The yearly report's 「釣れた条件」 page (after the cover and one page per species), rendered by
// poppler's pdftoppm.
bool SaveReportConditionsPage(const CCatchStore& store, const CDataFolder& folder,
                              const std::string& base, const QString& path)
{
    CYearReport report;
    std::string error;
    const std::string pdf = base + "report.pdf";
    bool ok = ReadYearReport(store, 2026, report).ok() &&
              WriteYearReportFile(store, folder, 2026, pdf, error);
    if (ok) {
        const QString page = QString::number(2 + report.species.size());
        QString prefix = path;
        prefix.chop(4);  // pdftoppm adds ".png"
        ok = QProcess::execute(QStringLiteral("pdftoppm"),
                               {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-f"),
                                page, QStringLiteral("-l"), page, QStringLiteral("-png"),
                                QStringLiteral("-singlefile"), QStringFromStd(pdf), prefix}) == 0;
    }
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// A phone's folder of two days: the rock and its fish at dawn (two photos of one fish), a pier
// across the bay the next day, a screenshot without EXIF and a video; the EXIF is written by
// exiftool as a phone writes it (capture time, its offset, GPS).
bool SavePhotoTripsPreview(QWidget* parent, CCatchStore& store, const CDataFolder& folder,
                           const std::string& base, const QSize& size, const QString& path)
{
    const QString phone = QStringFromStd(base) + QStringLiteral("phone/");
    QDir().mkpath(phone);
    struct Shot {
        const char* name;
        const char* when;
        bool fish;
        double latitude;
        double longitude;
    };
    const Shot shots[] = {
        {"IMG_0101.jpg", "2026:05:02 05:41:10", false, 35.13452, 139.61590},
        {"IMG_0102.jpg", "2026:05:02 06:12:05", true, 35.13460, 139.61602},
        {"IMG_0103.jpg", "2026:05:02 06:12:41", true, 35.13460, 139.61602},
        {"IMG_0104.jpg", "2026:05:02 07:05:30", true, 35.13449, 139.61611},
        {"IMG_0201.jpg", "2026:05:03 16:20:00", false, 35.61705, 139.77480},
        {"IMG_0202.jpg", "2026:05:03 17:48:12", true, 35.61700, 139.77490},
    };
    QString arguments;
    int seed = 0;
    for (const Shot& shot : shots) {
        const QString file = phone + QLatin1String(shot.name);
        WritePhoto(file, seed++, shot.fish);
        arguments += QStringLiteral(
                         "-overwrite_original\n-DateTimeOriginal=%1\n"
                         "-OffsetTimeOriginal=+09:00\n-GPSLatitude=%2\n"
                         "-GPSLatitudeRef=N\n-GPSLongitude=%3\n-GPSLongitudeRef=E\n"
                         "%4\n-execute\n")
                         .arg(QLatin1String(shot.when))
                         .arg(shot.latitude, 0, 'f', 5)
                         .arg(shot.longitude, 0, 'f', 5)
                         .arg(file);
    }
    QImage screen(360, 640, QImage::Format_RGB32);
    screen.fill(QColor(230, 240, 250));
    screen.save(phone + QStringLiteral("Screenshot_0001.png"));
    QFile video(phone + QStringLiteral("VID_0105.mp4"));
    if (video.open(QIODevice::WriteOnly))
        video.write(
            QByteArray("\0\0\0\x18"
                       "ftypmp42",
                       12));
    video.close();
    QFile argumentFile(QStringFromStd(base) + QStringLiteral("exif-arguments"));
    bool ok = argumentFile.open(QIODevice::WriteOnly) && argumentFile.write(arguments.toUtf8()) > 0;
    argumentFile.close();
    ok = ok && QProcess::execute(QStringLiteral("exiftool"),
                                 {QStringLiteral("-q"), QStringLiteral("-q"), QStringLiteral("-@"),
                                  argumentFile.fileName()}) == 0;

    const CTideStations& stations = ShippedTideStations();
    CPlaceBook places(&stations);
    places.Load(folder);
    CProposalContext context;
    context.stations = &stations;
    context.choices = &places.Ports();
    context.placeNear = PlaceNearFunction(places);
    CTripProposals proposals;
    std::string error;
    ok = ok && ProposeTripsFromLog({PathFromQString(phone)}, store, context, {}, proposals, error);
    if (ok) {
        CPhotoTripsDlg dialog(parent, store, folder, std::move(proposals), context);
        dialog.resize(size);
        dialog.show();
        QElapsedTimer timer;
        timer.start();
        Wait(200);
        const auto building = [&dialog] {
            for (QListWidget* list : dialog.findChildren<QListWidget*>())
                if (IsBuildingThumbnails(list)) return true;
            return false;
        };
        while (building() && timer.elapsed() < 20000) Wait(50);
        Wait(200);
        ok = dialog.grab().save(path);
    }
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const QString output =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(output);
    const QString outputDir = QDir(output).absolutePath();
    QSize windowSize(CMainFrame::kWidth, CMainFrame::kHeight);
    if (argc > 2) {
        const QStringList parts = QString::fromLocal8Bit(argv[2]).split(QLatin1Char('x'));
        if (parts.size() == 2) windowSize = QSize(parts[0].toInt(), parts[1].toInt());
        if (windowSize.width() < CMainFrame::kWidth || windowSize.height() < CMainFrame::kHeight) {
            std::fprintf(stderr, "lurebook-screenshots: the size is WIDTHxHEIGHT, at least %dx%d\n",
                         CMainFrame::kWidth, CMainFrame::kHeight);
            return 2;
        }
    }

    std::string base = (fs::temp_directory_path() / "lurebook-shots-XXXXXX").string();
    if (::mkdtemp(base.data()) == nullptr) return 1;
    base += "/";
    ::setenv("XDG_CACHE_HOME", (base + "cache").c_str(), 1);
    // The pictures' settings (the map's view and tiles, the bar) stay out of the user's own.
    ::setenv("XDG_CONFIG_HOME", (base + "config").c_str(), 1);
    const CDataFolder folder(base);
    MakeSampleData(folder);
    if (::chdir(base.c_str()) != 0) return 1;  // holiday lists live in the working directory
    SetCurrentDateSourceForTesting([] { return CDate{2026, 5, 1}; });
    WriteScheduleMemo(folder, "2026年  5月", 3, "相模湾 マダイ釣行 (船宿 5時集合)", nullptr);
    WriteScheduleMemo(folder, "2026年  5月", 17, "潮見表を確認", nullptr);
    {
        // Tokyo as the home port, so the calendar shows its tides.
        std::FILE* ports = std::fopen(folder.GetTidePortsFile().c_str(), "wb");
        if (ports == nullptr) return 1;
        std::fputs("home\ttokyo-ma15-jpn-jodc_jma\n", ports);
        std::fclose(ports);
    }
    {
        // The sample places where the trips were, for the map; Tokyo stays the home port.
        std::FILE* places = std::fopen(folder.GetPlacesFile().c_str(), "wb");
        if (places == nullptr) return 1;
        std::fputs(
            "home\ttokyo-ma15-jpn-jodc_jma\n"
            "place\t城ヶ島 西側の磯\t\t35.134000\t139.611000\tphoto\n"
            "place\t東京湾 木更津沖\t\t35.385000\t139.860000\tmap\n"
            "place\t相模湾 茅ヶ崎沖\t\t35.290000\t139.400000\tphoto\n"
            "place\t多摩川河口\t\t35.530000\t139.790000\ttyped\n"
            "place\t横須賀 うみかぜ公園\t\t35.276000\t139.672000\tphoto\n"
            "place\t九十九里浜\t\t35.540000\t140.450000\tmap\n"
            "place\t伊豆 下田沖\t\t34.650000\t138.960000\tgpx\n",
            places);
        std::fclose(places);
    }

    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    InstallFontSubstitutions();
    bool ok = true;
    {
        CCatchStore frameStore(folder.GetCatchFile());
        CMainFrame frame(frameStore, folder);
        frame.resize(windowSize);
        frame.show();
        Wait(200);
        ok &= Save(&frame, outputDir + "/calendar.png");
        if (auto* schedule = frame.findChild<CSheduleView*>()) {
            // The memo dialog of the 3rd, with that day's tide curve.
            const QPoint at = schedule->visualItemRect(schedule->topLevelItem(2)).center();
            QMouseEvent click(QEvent::MouseButtonDblClick, at,
                              schedule->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(schedule->viewport(), &click);
            Wait(300);
            ok &= Save(schedule->EntryDialog(), outputDir + "/calendar-memo.png");
            schedule->OnScheduleEntryResult(CScheduleEntryDlg::kResultCancelled);
            Wait(100);
        }

        frame.OnBarNotify(1, 1);
        Wait(200);
        ok &= Save(&frame, outputDir + "/trips.png");
        auto* reports =
            static_cast<CReportDataFrame*>(frame.GetSplitter()->GetView(CMainFrame::kViewReports));
        if (CCatchEntryDlg* dialog = reports->GetView()->OpenCatchEntry(2)) {
            dialog->show();
            Wait(1500);
            ok &= Save(dialog, outputDir + "/entry.png");
            dialog->reject();
            Wait(200);
        }

        frame.OnBarNotify(1, 2);
        auto* statistics =
            static_cast<CDataViewFrame*>(frame.GetSplitter()->GetView(CMainFrame::kViewStatistics));
        statistics->GetYearCombo()->setCurrentText(QStringLiteral("2026"));
        statistics->GetSpeciesCombo()->setCurrentText(QStringLiteral("マダイ"));
        statistics->OnMonthlyStatistics();
        Wait(200);
        ok &= Save(&frame, outputDir + "/statistics.png");
        statistics->OnRanking();
        Wait(200);
        ok &= Save(&frame, outputDir + "/ranking.png");
        statistics->GetSpeciesCombo()->setCurrentText(QString());
        statistics->OnConditionStatistics();
        Wait(200);
        ok &= Save(&frame, outputDir + "/conditions.png");
        ok &= SaveReportConditionsPage(frameStore, folder, base,
                                       outputDir + "/report-conditions.png");
        statistics->GetSpeciesCombo()->setCurrentText(QString());
        statistics->OnPlaceStatistics();
        Wait(200);
        ok &= Save(&frame, outputDir + "/places.png");

        // The map: first offline (the built-in coast), then with tiles from a local test server.
        frame.ShowPage(CMainFrame::kViewMap);
        auto* map = static_cast<CMapFrame*>(frame.GetSplitter()->GetView(CMainFrame::kViewMap));
        map->findChild<QCheckBox*>(QString::number(CMapFrame::kOnlineCheckId))->setChecked(false);
        map->View()->FitAll();
        Wait(200);
        ok &= Save(&frame, outputDir + "/map.png");
        {
            CLocalTileServer server;
            map->findChild<QLineEdit*>(QString::number(CMapFrame::kTemplateEditId))
                ->setText(server.Template(QStringLiteral("drawn")));
            map->findChild<QComboBox*>(QString::number(CMapFrame::kSourceComboId))
                ->setCurrentIndex(static_cast<int>(CMapSettings::ESource::Custom));
            map->findChild<QCheckBox*>(QString::number(CMapFrame::kOnlineCheckId))
                ->setChecked(true);
            // The trips of the place with the most catches, as a click on its marker lists them.
            map->ListTrips({0});
            map->View()->SelectPlace(0);
            map->View()->repaint();
            QElapsedTimer waited;
            waited.start();
            while (map->Tiles()->RequestsInFlight() > 0 && waited.elapsed() < 10000) Wait(50);
            Wait(300);
            ok &= Save(&frame, outputDir + "/map-tiles.png");
        }

        frame.OnBarNotify(1, 3);
        auto* thumbnails = static_cast<CThumbnailFrame*>(
            frame.GetSplitter()->GetView(CMainFrame::kViewThumbnails));
        if (auto* kind = thumbnails->Bar()->findChild<QComboBox*>(
                QString::number(CThumbnailFrame::kKindComboId))) {
            kind->setCurrentText(QStringLiteral("魚画像"));
        }
        thumbnails->OnShow();
        QElapsedTimer timer;
        timer.start();
        while (IsBuildingThumbnails(thumbnails->View()) && timer.elapsed() < 20000) Wait(50);
        Wait(200);
        ok &= Save(&frame, outputDir + "/photos.png");
        ok &= SavePhotoTripsPreview(&frame, frameStore, folder, base, windowSize,
                                    outputDir + "/photo-trips.png");

        // The edit menu after a delete, and the history with yesterday's copy chosen.
        frameStore.EnableHistory(true);
        frameStore.EnableUndo(true);
        std::time_t now = 1777504200;  // 2026-04-30 08:10 in Japan
        frameStore.GetHistory()->SetClock([&now] { return now; });
        frameStore.DeleteTrips({0, 1});
        now += 86400;
        std::vector<CTripRecord> trips;
        frameStore.ReadAllTrips(trips);
        if (trips.size() > 3) {
            trips[3].memo = "午後から風が強まった";
            frameStore.ReplaceTrip(3, trips[3]);
        }
        frame.OnBarNotify(1, 1);
        Wait(200);
        frameStore.DeleteTrips({0, 1});
        for (QAction* menu : frame.menuBar()->actions()) {
            if (menu->text() != QStringLiteral("編集(&E)") || menu->menu() == nullptr) continue;
            menu->menu()->popup(frame.mapToGlobal(QPoint(80, 20)));
            Wait(200);
            ok &= Save(menu->menu(), outputDir + "/edit-menu.png");
            menu->menu()->close();
        }
        CHistoryDlg history(frameStore, &frame);
        history.CopyTable()->selectRow(history.CopyTable()->rowCount() - 1);
        history.show();
        Wait(200);
        ok &= Save(&history, outputDir + "/history.png");

        CSettingsDlg settings(folder, &frame);
        settings.show();
        Wait(100);
        ok &= Save(&settings, outputDir + "/settings.png");
        CAboutDlg about(&frame);
        about.show();
        Wait(100);
        ok &= Save(&about, outputDir + "/about.png");
    }
    SetCurrentDateSourceForTesting({});
    std::error_code ec;
    fs::remove_all(base, ec);
    return ok ? 0 : 1;
}
