// The grey line's minute update against one map generation, side by side in
// the same run (repetitions interleaved): the update must stay well under a
// tenth of a generation. Also the work done once per centre (the positions
// under the pixels, the grid lines), for the record. Prints the ratios of
// the medians at the end.
#include "bench/BenchCommon.h"
#include "geo/GreyLine.h"
#include "geo/Inverse.h"
#include "geo/LocatorGrid.h"
#include "geo/Projection.h"
#include "geo/Sun.h"
#include "viewer/MapOverlays.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace geo;

namespace {

LatLon Paris() {
    return *DecodeLocator("JN18EU");
}

const UnixSeconds Start = UnixTime(2026, 12, 21, 15);

void BM_Generation(benchmark::State& state) {
    const PaletteImage background = BlankBackground();
    for (auto _ : state) {
        PositionState s;
        s.CentreLat = Paris().lat;
        s.CentreLon = Paris().lon;
        PaletteImage map = background;
        Generate(bench::SyntheticWorld(), s, map, nullptr, nullptr);
        benchmark::DoNotOptimize(map.indices.data());
    }
}
BENCHMARK(BM_Generation)
    ->Iterations(10)
    ->Repetitions(7)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The sun's position and the shading of every pixel from the cached grid.
void BM_GreyLineShading(benchmark::State& state) {
    const SphereGrid sphere(PositionGrid(Paris().lat, Paris().lon));
    std::vector<uint32_t> out(600 * 600);
    UnixSeconds t = Start;
    for (auto _ : state) {
        sphere.Shade(SunAt(t), 0x3C00000Fu, 0x78000016u, out.data());
        t += 60;
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_GreyLineShading)
    ->Iterations(100)
    ->Repetitions(7)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What the viewer does each minute: the new moment, the shading, the layer
// made again with the (cached) grid and the sun, and laid over the map.
void BM_MinuteUpdate(benchmark::State& state) {
    viewer::MapOverlays overlays;
    overlays.SetCentre(Paris().lat, Paris().lon);
    overlays.SetGreyLine(true);
    overlays.SetLocatorGrid(true);
    overlays.SetTime(Start);
    overlays.Layer(); // the per-centre work, done once before
    QImage map(600, 600, QImage::Format_RGB32);
    map.fill(Qt::white);
    UnixSeconds t = Start;
    for (auto _ : state) {
        t += 60;
        overlays.SetTime(t);
        QPainter p(&map);
        overlays.Paint(p);
        p.end();
        benchmark::DoNotOptimize(map.bits());
    }
}
BENCHMARK(BM_MinuteUpdate)
    ->Iterations(50)
    ->Repetitions(7)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Once per centre: the positions under the pixels (both cores) and their vectors.
void BM_PerCentreGrid(benchmark::State& state) {
    for (auto _ : state) {
        SphereGrid sphere(PositionGrid(Paris().lat, Paris().lon));
        benchmark::DoNotOptimize(&sphere);
    }
}
BENCHMARK(BM_PerCentreGrid)
    ->Iterations(5)
    ->Repetitions(7)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Once per centre: the locator grid lines.
void BM_PerCentreGridLines(benchmark::State& state) {
    for (auto _ : state) {
        LocatorGridLines g = BuildLocatorGrid(Paris().lat, Paris().lon);
        benchmark::DoNotOptimize(g.fields.data());
    }
}
BENCHMARK(BM_PerCentreGridLines)
    ->Iterations(5)
    ->Repetitions(7)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    // The grid's field names need the toolkit's fonts (no window is opened).
    int qtArgc = 3;
    char name[] = "bench_overlays", option[] = "-platform", platform[] = "offscreen";
    char* qtArgv[] = {name, option, platform, nullptr};
    QGuiApplication application(qtArgc, qtArgv);

    if (!bench::InitializeInterleaved(argc, argv)) return 1;

    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double generation = reporter.Median("BM_Generation");
    if (generation > 0) {
        std::printf("JN18EU medians, as a fraction of one generation (%.2f ms):\n",
                    generation * 1e3);
        for (const char* b : {"BM_GreyLineShading", "BM_MinuteUpdate", "BM_PerCentreGrid",
                              "BM_PerCentreGridLines"}) {
            const double m = reporter.Median(b);
            if (m > 0)
                std::printf("  %-22s %8.3f ms  %6.3f of a generation\n", b, m * 1e3,
                            m / generation);
        }
    }
    benchmark::Shutdown();
    return 0;
}
