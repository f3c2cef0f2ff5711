// One map generation: the plain sequential extended-precision loop against
// the fast engine, for the JN18EU centre, in the same run (repetitions of
// both interleaved), after checking once that they give the same map and
// the same state. Prints the ratio of the medians at the end.
#include "bench/BenchCommon.h"
#include "geo/GapFree.h"
#include "geo/Projection.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace geo;

namespace {

PositionState Centre(Real lat, Real lon) {
    PositionState s;
    s.CentreLat = lat;
    s.CentreLon = lon;
    return s;
}

PositionState Paris() {
    const auto c = DecodeLocator("JN18EU");
    return Centre(c->lat, c->lon);
}

const PaletteImage& Background() {
    static const PaletteImage bg = BlankBackground();
    return bg;
}

void BM_GenerateReference_JN18EU(benchmark::State& state) {
    for (auto _ : state) {
        PositionState s = Paris();
        PaletteImage map = Background();
        GenerateReference(bench::SyntheticWorld(), s, map, nullptr, nullptr);
        benchmark::DoNotOptimize(map.indices.data());
    }
}
BENCHMARK(BM_GenerateReference_JN18EU)
    ->Iterations(1)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void Engine(benchmark::State& state, PositionState centre) {
    GenerateStats stats;
    for (auto _ : state) {
        PositionState s = centre;
        PaletteImage map = Background();
        Generate(bench::SyntheticWorld(), s, map, nullptr, nullptr, &stats);
        benchmark::DoNotOptimize(map.indices.data());
    }
    state.counters["exact_pixels"] = static_cast<double>(stats.exactPixels);
    state.counters["exact_fraction"] = static_cast<double>(stats.exactPixels) /
                                       (static_cast<double>(MercatorWidth) * MercatorHeight);
}

void BM_Generate_JN18EU(benchmark::State& state) {
    Engine(state, Paris());
}
BENCHMARK(BM_Generate_JN18EU)
    ->Iterations(20)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The gap-free map of the same centre, 600 pixels, side by side with the
// engine; and larger sizes (the world picture's size does not change the work).
void BM_GapFree_JN18EU(benchmark::State& state) {
    const auto c = DecodeLocator("JN18EU");
    const int size = static_cast<int>(state.range(0));
    const PaletteImage background = BlankBackground(size);
    for (auto _ : state) {
        PaletteImage map = background;
        GenerateGapFree(bench::SyntheticWorld(), c->lat, c->lon, map);
        benchmark::DoNotOptimize(map.indices.data());
    }
}
BENCHMARK(BM_GapFree_JN18EU)
    ->Arg(600)
    ->Iterations(20)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_GapFree_JN18EU)
    ->Arg(2400)
    ->Iterations(2)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The worst case: at the South Pole (cos of the centre latitude about 1e-20)
// every pixel takes the extended-precision path.
void BM_Generate_SouthPole(benchmark::State& state) {
    Engine(state, Centre(-90, 0));
}
BENCHMARK(BM_Generate_SouthPole)
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A centre near the North Pole row (89.9 after the rewrite).
void BM_Generate_NorthPole(benchmark::State& state) {
    Engine(state, Centre(90, 2.375L));
}
BENCHMARK(BM_Generate_NorthPole)
    ->Iterations(10)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Console output as usual, and the per-repetition times kept for the ratio.
// The engine must give what the plain loop gives before its time counts.
bool SameAsReference() {
    PositionState a = Paris(), b = Paris();
    PaletteImage ma = Background(), mb = Background();
    long beepsA = 0, beepsB = 0;
    GenerateReference(
        bench::SyntheticWorld(), a, ma, [&] { ++beepsA; }, nullptr);
    Generate(
        bench::SyntheticWorld(), b, mb, [&] { ++beepsB; }, nullptr);
    return ma == mb && a.CentreLat == b.CentreLat && a.PointLat == b.PointLat &&
           a.PointLon == b.PointLon && a.PointDistance == b.PointDistance &&
           a.PointAzimuth == b.PointAzimuth && beepsA == beepsB;
}

} // namespace

int main(int argc, char** argv) {
    if (!bench::InitializeInterleaved(argc, argv)) return 1;

    const bool same = SameAsReference();
    std::printf("JN18EU: engine and plain loop give the same map and state: %s\n",
                same ? "yes" : "NO");
    if (!same) return 1;

    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ref = reporter.Median("BM_GenerateReference_JN18EU");
    const double fast = reporter.Median("BM_Generate_JN18EU");
    if (ref > 0 && fast > 0)
        std::printf("JN18EU median: plain loop %.1f ms, engine %.2f ms, speed-up %.1fx\n",
                    ref * 1e3, fast * 1e3, ref / fast);
    const double gapFree = reporter.Median("BM_GapFree_JN18EU/600");
    if (fast > 0 && gapFree > 0)
        std::printf("JN18EU median: gap-free 600 %.2f ms, engine %.2f ms: gap-free takes %.2fx "
                    "the engine's time\n",
                    gapFree * 1e3, fast * 1e3, gapFree / fast);
    benchmark::Shutdown();
    return 0;
}
