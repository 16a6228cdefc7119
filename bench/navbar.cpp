// Navigation bar layout cost as folders grow: hit-testing a sweep of pointer positions (what every
// mouse move does) and a full paint, with 4, 40 and 400 items in the open folder, real fonts.
// Compare the 40- and 400-item runs with the 4-item run of the same benchmark.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <memory>

#include "navbar/NavBarPainter.h"
#include "navbar/widgets/NavBarImages.h"
#include "navbar/widgets/QtBarCanvas.h"

namespace {
QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_navbar";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}

struct Bar {
    explicit Bar(int items) : metrics(BarGuiFont()), lists(CreateNavBarImageLists())
    {
        model.SetTextMetrics(&metrics);
        model.SetClientRect({1, 1, 159, 599});
        model.AttachImageList(lists.large.get(), 2);
        model.AttachImageList(lists.small.get(), 1);
        model.AppendFolder("メニュー", 0);
        model.AppendFolder("", 0);
        for (int k = 0; k < items; ++k)
            model.InsertFolderItem(0, -1, k % 2 ? "データ登録" : "画像一覧 の 写真", k % 4, 0);
        model.SetSelectedFolder(0);
    }

    CQtBarTextMetrics metrics;
    NavBarImageLists lists;
    CNavBarModel model;
};

void HitTestSweep(benchmark::State& state)
{
    App();
    Bar bar(static_cast<int>(state.range(0)));
    // Scrolled to the middle, where the layout has the most items above the visible ones.
    bar.model.SetFirstVisibleItem(static_cast<int>(state.range(0)) / 2);
    for (auto _ : state) {
        int hits = 0;
        for (int y = 0; y < 600; y += 12) hits += bar.model.HitTestBar({80, y}).kind;
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(HitTestSweep)->Arg(4)->Arg(40)->Arg(400)->Unit(benchmark::kMicrosecond);

void FullPaint(benchmark::State& state)
{
    App();
    Bar bar(static_cast<int>(state.range(0)));
    bar.model.SetFirstVisibleItem(static_cast<int>(state.range(0)) / 2);
    QImage image(160, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        CQtBarCanvas canvas(painter, bar.model.Colors());
        bar.model.PlaceArrows(16);
        CNavBarPainter(canvas, bar.model).PaintBar({});
    }
}
BENCHMARK(FullPaint)->Arg(4)->Arg(40)->Arg(400)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
