// Thumbnail building on generated photos: 40 of 4000 x 3000 and 6 of 640 x 480.
//   FullDecodeAndStretch   one thread, every photo decoded at full size, then stretched
//   ScaledDecode           one thread, DCT-scaled decode alone
//   BuildUncached          BuildThumbnails on a list, empty thumbnail cache
//   BuildCached            BuildThumbnails again with the cache filled
//   CameraScaledDecode     one thread, DCT-scaled decode of 40 camera JPEGs (4000 x 3000 with a
//                          160 x 120 EXIF thumbnail), EXIF ignored: the baseline of the next
//   CameraBuildUncached    BuildThumbnails of those camera JPEGs, empty cache: the embedded
//                          thumbnails are used ("vs_scaled_decode", goal <= 0.05)
//   HeifDecode/0, /1       one thread, 10 HEIF photos of 4000 x 3000 without and with a
//                          thumbnail item, decoded as the lists do
// Per-photo times are counters ("ms_per_photo"); the build benchmarks also report their ratio to
// the runs before them in the same process ("vs_scaled", "speedup_vs_full").
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QListWidget>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "photos/ThumbnailDecoder.h"
#include "photos/widgets/ThumbnailBuilder.h"
#include "photos/widgets/ThumbnailImageReader.h"
#include "uikit/QtText.h"
// The test suite's JPEG, EXIF and HEIF writers make the photos.
#include "../tests/photos/PhotoTestFiles.h"

namespace {

constexpr int kLargePhotos = 40;
constexpr int kSmallPhotos = 6;

// A photo-like picture: smooth colour fields with fine texture, so the file has the entropy of
// a real photo (about 2 bits per pixel), not that of a flat test card.
std::function<CTestRgb(int, int)> PhotoPixels(int width, int height, unsigned seed)
{
    return [=, state = seed * 2654435761u + 1](int x, int y) mutable {
        state = state * 1664525u + 1013904223u;
        const int noise = int((state >> 24) % 25) - 12;
        const int r = (x * 255 / width + int(seed * 37)) % 256;
        const int g = (y * 255 / height + ((x / 64 + y / 48) % 2) * 40) % 256;
        const int b = ((x + y) * 255 / (width + height) + int(seed * 11)) % 256;
        return CTestRgb{static_cast<uint8_t>(std::clamp(r + noise, 0, 255)),
                        static_cast<uint8_t>(std::clamp(g + noise, 0, 255)),
                        static_cast<uint8_t>(std::clamp(b - noise, 0, 255))};
    };
}

std::string EncodePhoto(int width, int height, unsigned seed, const std::string& exif = {})
{
    CJpegOptions options{false, 88, 3, exif};
    return EncodeTestJpeg(width, height, PhotoPixels(width, height, seed), options);
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

struct CPhotoSet {
    std::string dir;
    QStringList paths;
    QString cacheHome;
    double megabytesPerLargePhoto = 0;

    CPhotoSet()
    {
        char pattern[] = "/tmp/lurebook-bench-thumbs-XXXXXX";
        dir = std::string(::mkdtemp(pattern)) + "/";
        cacheHome = QStringFromStd(dir + "cache");
        // The benchmark never touches the user's own thumbnail cache.
        ::setenv("XDG_CACHE_HOME", cacheHome.toUtf8().constData(), 1);
        for (int i = 0; i < kLargePhotos + kSmallPhotos; ++i) {
            const bool large = i < kLargePhotos;
            const std::string path = dir + "photo" + std::to_string(i) + ".jpg";
            const std::string bytes =
                EncodePhoto(large ? 4000 : 640, large ? 3000 : 480, unsigned(i));
            WriteFile(path, bytes);
            paths << QStringFromStd(path);
            if (large) megabytesPerLargePhoto += double(bytes.size()) / 1e6 / kLargePhotos;
        }
    }
    ~CPhotoSet() { QDir(QStringFromStd(dir)).removeRecursively(); }
    void ClearCache() const { QDir(cacheHome).removeRecursively(); }
};

CPhotoSet& Photos()
{
    static CPhotoSet photos;
    return photos;
}

// Camera JPEGs with their EXIF thumbnail, and HEIF photos with and without a thumbnail item.
struct CCameraSet {
    QStringList jpegs;
    QStringList heifs[2];

    CCameraSet()
    {
        const std::string dir = Photos().dir;
        for (int i = 0; i < kLargePhotos; ++i) {
            const std::string thumbnail = EncodePhoto(160, 120, unsigned(i));
            const std::string path = dir + "camera" + std::to_string(i) + ".jpg";
            WriteFile(path, EncodePhoto(4000, 3000, unsigned(i),
                                        MakeTestExif(1, "2024:05:03 06:41:09", thumbnail)));
            jpegs << QStringFromStd(path);
        }
    }
    const QStringList& Heifs(bool thumbnail)
    {
        QStringList& paths = heifs[thumbnail];
        if (!paths.isEmpty()) return paths;
        for (int i = 0; i < 10; ++i) {
            const std::string path = Photos().dir + "heif" + std::to_string(thumbnail) + "_" +
                                     std::to_string(i) + ".heic";
            CHeifOptions options;
            options.thumbnailSide = thumbnail ? 160 : 0;
            if (!WriteTestHeif(path, 4000, 3000, PhotoPixels(4000, 3000, unsigned(i)), options))
                return paths;
            paths << QStringFromStd(path);
        }
        return paths;
    }
};

CCameraSet& Camera()
{
    static CCameraSet camera;
    return camera;
}

QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_thumbnails";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}

// CPU seconds of the whole process, every thread included.
double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs the event loop until build has finished.
void WaitFinished(CThumbnailBuild* build)
{
    QEventLoop loop;
    QObject::connect(build, &CThumbnailBuild::finished, &loop, &QEventLoop::quit);
    if (build->IsRunning()) loop.exec();
}

// Seconds per photo of each benchmark, for the ratios of the later ones.
double g_fullPerPhoto = 0;
double g_scaledPerPhoto = 0;

void DecodeAll(benchmark::State& state, bool dctScaling, double& perPhoto)
{
    const CPhotoSet& photos = Photos();
    CDecodeOptions options;
    options.dctScaling = dctScaling;
    double seconds = 0;
    const double cpuStart = ProcessCpuSeconds();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (const QString& path : photos.paths) {
            CRgbPicture picture;
            if (DecodeScaledPictureFile(PathFromQString(path), picture, nullptr, options) !=
                EDecodeStatus::Ok)
                state.SkipWithError("decode failed");
            const CRgbPicture cell = FitToThumbnail(picture);
            benchmark::DoNotOptimize(cell.rgb.data());
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    perPhoto = seconds / double(state.iterations()) / double(photos.paths.size());
    state.counters["cpu_ms_per_photo"] = (ProcessCpuSeconds() - cpuStart) * 1000 /
                                         double(state.iterations()) / double(photos.paths.size());
    state.counters["ms_per_photo"] = perPhoto * 1000;
    state.counters["MB_per_4000x3000"] = photos.megabytesPerLargePhoto;
    state.SetItemsProcessed(int64_t(state.iterations()) * photos.paths.size());
}

void BM_FullDecodeAndStretch(benchmark::State& state)
{
    DecodeAll(state, false, g_fullPerPhoto);
}

void BM_ScaledDecode(benchmark::State& state)
{
    DecodeAll(state, true, g_scaledPerPhoto);
}

void Build(benchmark::State& state, bool cached)
{
    App();
    const CPhotoSet& photos = Photos();
    QListWidget list;
    list.resize(560, 600);
    if (cached) {
        // Fill the cache first.
        WaitFinished(BuildThumbnails(&list, photos.paths, 1000, EThumbnailPlacement::FillRows));
    }
    double seconds = 0;
    double cpu = 0;
    for (auto _ : state) {
        if (!cached) {
            state.PauseTiming();
            photos.ClearCache();
            state.ResumeTiming();
        }
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessCpuSeconds();
        CThumbnailBuild* build =
            BuildThumbnails(&list, photos.paths, 1000, EThumbnailPlacement::FillRows);
        WaitFinished(build);
        if (build->Done() != photos.paths.size()) state.SkipWithError("build did not finish");
        cpu += ProcessCpuSeconds() - cpuStart;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double perPhoto = seconds / double(state.iterations()) / double(photos.paths.size());
    state.counters["ms_per_photo"] = perPhoto * 1000;
    state.counters["cpu_ms_per_photo"] =
        cpu * 1000 / double(state.iterations()) / double(photos.paths.size());
    if (g_scaledPerPhoto > 0) state.counters["vs_scaled"] = perPhoto / g_scaledPerPhoto;
    if (g_fullPerPhoto > 0) state.counters["speedup_vs_full"] = g_fullPerPhoto / perPhoto;
    state.SetItemsProcessed(int64_t(state.iterations()) * photos.paths.size());
}

void BM_BuildUncached(benchmark::State& state)
{
    Build(state, false);
}

void BM_BuildCached(benchmark::State& state)
{
    Build(state, true);
}

double g_cameraScaledPerPhoto = 0;

void BM_CameraScaledDecode(benchmark::State& state)
{
    const QStringList& paths = Camera().jpegs;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (const QString& path : paths) {
            CRgbPicture picture;
            if (DecodeScaledPictureFile(PathFromQString(path), picture) != EDecodeStatus::Ok)
                state.SkipWithError("decode failed");
            const CRgbPicture cell = FitToThumbnail(picture);
            benchmark::DoNotOptimize(cell.rgb.data());
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    g_cameraScaledPerPhoto = seconds / double(state.iterations()) / double(paths.size());
    state.counters["ms_per_photo"] = g_cameraScaledPerPhoto * 1000;
}

void BM_CameraBuildUncached(benchmark::State& state)
{
    App();
    const QStringList& paths = Camera().jpegs;
    QListWidget list;
    list.resize(560, 600);
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Photos().ClearCache();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        CThumbnailBuild* build = BuildThumbnails(&list, paths, 1000, EThumbnailPlacement::FillRows);
        WaitFinished(build);
        if (build->Done() != paths.size() || !build->UndecodablePaths().isEmpty())
            state.SkipWithError("build did not finish");
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double perPhoto = seconds / double(state.iterations()) / double(paths.size());
    state.counters["ms_per_photo"] = perPhoto * 1000;
    if (g_cameraScaledPerPhoto > 0)
        state.counters["vs_scaled_decode"] = perPhoto / g_cameraScaledPerPhoto;
}

void BM_HeifDecode(benchmark::State& state)
{
    const bool thumbnail = state.range(0) != 0;
    const QStringList& paths = Camera().Heifs(thumbnail);
    if (paths.size() != 10) {
        state.SkipWithError("cannot write HEIF photos");
        return;
    }
    double seconds = 0;
    bool usedThumbnail = false;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (const QString& path : paths) {
            CRgbPicture picture;
            CPhotoFacts facts;
            if (DecodeThumbnailPicture(path, picture, &facts) != EDecodeStatus::Ok)
                state.SkipWithError("decode failed");
            usedThumbnail = facts.embeddedThumbnail;
            const CRgbPicture cell = FitToThumbnail(picture);
            benchmark::DoNotOptimize(cell.rgb.data());
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (usedThumbnail != thumbnail) state.SkipWithError("thumbnail item not used as expected");
    state.counters["ms_per_photo"] =
        seconds / double(state.iterations()) / double(paths.size()) * 1000;
}

}  // namespace

BENCHMARK(BM_FullDecodeAndStretch)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_ScaledDecode)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_BuildUncached)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_BuildCached)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_CameraScaledDecode)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_CameraBuildUncached)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_HeifDecode)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

BENCHMARK_MAIN();
