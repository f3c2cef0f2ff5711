// The regional maps (geo/RegionalMap.h) drawn from the shipped vector data,
// at 600 and 4800 pixels, side by side in the same run with `gmt coast`
// drawing the same region (the same azimuthal equidistant cap, shorelines,
// lakes, land and sea fills and national borders from GSHHG at high
// resolution) to a PNG of the same size. Prints the medians, the ratios and
// the memory the loaded data takes.
#include "app/MapExport.h"
#include "bench/BenchCommon.h"
#include "geo/Position.h"
#include "geo/RegionalMap.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

geo::LatLon Centre() {
    return *geo::DecodeLocator("JN18EU");
}

geo::MapFrame Frame(int size, double range) {
    return geo::MapFrame::WithRangeKm(Centre().lat, Centre().lon, size, range);
}

void BM_Regional(benchmark::State& state) {
    const geo::RegionalLevels* levels = mapexport::RegionalVectors();
    if (!levels) {
        state.SkipWithError("no regional map data");
        return;
    }
    const geo::MapFrame f =
        Frame(static_cast<int>(state.range(0)), static_cast<double>(state.range(1)));
    const geo::RegionalData& data = levels->For(f.kmPerPixel());
    geo::DrawRegionalMap(data, f); // warm
    for (auto _ : state) {
        const geo::PaletteImage map = geo::DrawRegionalMap(data, f);
        benchmark::DoNotOptimize(map.indices.data());
    }
}
BENCHMARK(BM_Regional)
    ->Args({600, 100})
    ->Args({600, 500})
    ->Args({600, 2500})
    ->Args({4800, 500})
    ->Args({4800, 2500})
    ->Iterations(3)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// gmt coast: the cap of the same rim round JN18EU (-JE with the horizon),
// land and sea filled, shorelines and national borders, to a PNG of the
// same size (6 inches at 100 or 800 dots per inch).
void BM_GmtCoast(benchmark::State& state) {
    if (access("/usr/bin/gmt", X_OK) != 0) {
        state.SkipWithError("gmt is not installed (apt-get install gmt gmt-gshhg-high gmt-dcw)");
        return;
    }
    const int size = static_cast<int>(state.range(0));
    const double range = static_cast<double>(state.range(1));
    const double horizon = range / geo::HalfCircumferenceKm * 180.0;
    char dir[] = "/tmp/korvanta-bench-gmt-XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string cmd = "cd " + std::string(dir) + " && GMT_SESSION_NAME=kb gmt coast -Rg -JE" +
                            std::to_string(static_cast<double>(Centre().lon)) + "/" +
                            std::to_string(static_cast<double>(Centre().lat)) + "/" +
                            std::to_string(horizon) +
                            "/6i -Dh -A0 -Gburlywood -Slightblue -W0.25p -N1/0.25p "
                            "--PS_CONVERT=E" +
                            std::to_string(size / 6) + " -png map >/dev/null 2>&1";
    const std::string png = std::string(dir) + "/map.png";
    for (auto _ : state) {
        // gmt answers 0 even when it fails: the picture tells.
        unlink(png.c_str());
        if (std::system(cmd.c_str()) != 0 || access(png.c_str(), R_OK) != 0) {
            state.SkipWithError("gmt coast drew no picture");
            break;
        }
    }
    const std::string clean = "rm -rf " + std::string(dir);
    if (std::system(clean.c_str()) != 0) std::fprintf(stderr, "cannot remove %s\n", dir);
}
BENCHMARK(BM_GmtCoast)
    ->Args({600, 500})
    ->Args({4800, 500})
    ->Iterations(1)
    ->Repetitions(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (!bench::InitializeInterleaved(argc, argv)) return 1;
    const geo::RegionalLevels* data = mapexport::RegionalVectors();
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (data)
        std::printf("Vector data loaded: %zu points in %zu rings (%.1f MB), with its coarser "
                    "levels %.1f MB in memory\n",
                    data->full().pointCount(), data->full().rings().size(),
                    data->full().MemoryBytes() / 1e6, data->MemoryBytes() / 1e6);
    std::printf("JN18EU medians (ms), Korvanta against gmt coast:\n");
    for (const char* args : {"600/100", "600/500", "600/2500", "4800/500", "4800/2500"}) {
        const double k = reporter.Median(std::string("BM_Regional/") + args);
        const double g = reporter.Median(std::string("BM_GmtCoast/") + args);
        if (k <= 0) continue;
        if (g > 0)
            std::printf("  %-10s %9.2f  gmt %9.1f  gmt / Korvanta %6.1f\n", args, k * 1e3, g * 1e3,
                        g / k);
        else
            std::printf("  %-10s %9.2f\n", args, k * 1e3);
    }
    benchmark::Shutdown();
    return 0;
}
