// Proposing trips from a phone's folder: 2,000 camera JPEGs (1024 x 768 with a 160 x 120 EXIF
// thumbnail, capture time with its offset and a GPS position, over ten days and two places).
//   EmbeddedThumbnails   every photo's embedded thumbnail decoded, as the preview's thumbnails
//                        would be: the baseline
//   ProposeTrips         the folder scanned and grouped into trips; reads the EXIF only, never a
//                        picture ("vs_thumbnails", goal <= 0.1)
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "photos/ThumbnailDecoder.h"
#include "phototrips/TripProposal.h"
// The test suite's JPEG and EXIF writers make the photos.
#include "../tests/photos/PhotoTestFiles.h"
#include "support/RatioReporter.h"

namespace {

constexpr int kPhotos = 2000;

struct CPhoneFolder {
    std::string dir;
    std::vector<std::string> paths;
    CPhoneFolder()
    {
        dir = std::filesystem::temp_directory_path().string() + "/lurebook-bench-phototrips-" +
              std::to_string(::getpid());
        std::filesystem::create_directories(dir);
        const std::string thumbnail = EncodeTestJpeg(160, 120, [](int x, int y) {
            return CTestRgb{uint8_t(x), uint8_t(y * 2), 90};
        });
        // One picture for all: only the EXIF blocks differ, which is all a proposal reads.
        for (int i = 0; i < kPhotos; ++i) {
            const int day = 1 + i / 200;
            const int minute = (i % 200) * 2;
            char when[32];
            std::snprintf(when, sizeof when, "2026:05:%02d %02d:%02d:00", day, 5 + minute / 60,
                          minute % 60);
            const bool second = (i % 200) >= 100;
            CTestGps gps{{35, second ? 20.0 : 8.0, 2}, 'N', {139, 37, 0}, 'E'};
            const std::string exif = MakeTestExif(1, when, thumbnail, &gps);
            CJpegOptions options;
            options.exif = exif;
            const std::string jpeg = EncodeTestJpeg(
                1024, 768,
                [i](int x, int y) {
                    return CTestRgb{uint8_t(x + i), uint8_t(y), 40};
                },
                options);
            const std::string path = dir + "/IMG_" + std::to_string(10000 + i) + ".jpg";
            FILE* file = std::fopen(path.c_str(), "wb");
            std::fwrite(jpeg.data(), 1, jpeg.size(), file);
            std::fclose(file);
            paths.push_back(path);
        }
    }
    ~CPhoneFolder() { std::filesystem::remove_all(dir); }
};

CPhoneFolder& Folder()
{
    static CPhoneFolder folder;
    return folder;
}

void BM_EmbeddedThumbnails(benchmark::State& state)
{
    const CPhoneFolder& folder = Folder();
    size_t embedded = 0;
    for (auto _ : state) {
        embedded = 0;
        for (const std::string& path : folder.paths) {
            CRgbPicture picture;
            CPhotoFacts facts;
            DecodePhotoFile(path, picture, &facts);
            if (facts.embeddedThumbnail && !picture.empty()) ++embedded;
            benchmark::DoNotOptimize(picture.rgb.data());
        }
    }
    // The baseline is only fair while every photo is shown from its stored thumbnail, as the
    // preview shows it: a decode of the whole picture would make the proposal look cheap.
    if (embedded != folder.paths.size())
        state.SkipWithError("not every photo was decoded from its embedded thumbnail");
    state.counters["embedded"] = double(embedded);
}

void BM_ProposeTrips(benchmark::State& state)
{
    const CPhoneFolder& folder = Folder();
    size_t trips = 0;
    size_t dated = 0;
    for (auto _ : state) {
        CProposalContext context;
        const CTripProposals proposals =
            ProposeTripsFromPhotos({folder.dir}, {}, folder.dir, context, {});
        trips = proposals.trips.size();
        dated = proposals.scan.photos.size() - proposals.undated.size();
        benchmark::DoNotOptimize(trips);
    }
    // Every photo read for its time and place, none passed over as a copy of another.
    if (dated != folder.paths.size()) state.SkipWithError("not every photo was read");
    state.counters["trips"] = double(trips);
}

BENCHMARK(BM_EmbeddedThumbnails)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ProposeTrips)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter("BM_EmbeddedThumbnails");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
