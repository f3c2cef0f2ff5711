// What the side-by-side benchmarks share: a synthetic world, the start with
// interleaved repetitions, and a reporter that keeps each benchmark's
// per-iteration times for the medians and ratios printed at the end.
#pragma once

#include "geo/Projection.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace bench {

// Every pixel its own colour (the timing does not depend on the colours).
inline const geo::WorldIndex& SyntheticWorld() {
    static const geo::WorldIndex world = [] {
        std::vector<uint8_t> rgb(static_cast<size_t>(geo::MercatorWidth) * geo::MercatorHeight * 3);
        uint32_t h = 12345;
        for (auto& b : rgb) {
            h ^= h << 13;
            h ^= h >> 17;
            h ^= h << 5;
            b = static_cast<uint8_t>(h >> 24);
        }
        return geo::WorldIndex::FromRgb(rgb.data(), geo::MercatorWidth, geo::MercatorHeight,
                                        static_cast<size_t>(geo::MercatorWidth) * 3);
    }();
    return world;
}

// Initialises the library with the repetitions of the benchmarks interleaved
// unless told otherwise, so that both sides see the same load of the
// machine. False when an argument is not understood.
inline bool InitializeInterleaved(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    bool interleaving = false;
    for (int i = 1; i < argc; ++i)
        interleaving = interleaving || std::strstr(argv[i], "random_interleaving") != nullptr;
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    if (!interleaving) args.insert(args.begin() + 1, interleave);
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    return !benchmark::ReportUnrecognizedArguments(n, args.data());
}

// Keeps the real time per iteration of every repetition, by benchmark name
// ("BM_X" or "BM_X/arguments").
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                seconds_[r.run_name.function_name +
                         (r.run_name.args.empty() ? "" : "/" + r.run_name.args)]
                    .push_back(r.real_accumulated_time / static_cast<double>(r.iterations));
        ConsoleReporter::ReportRuns(runs);
    }
    // The median in seconds, 0 when the benchmark did not run.
    double Median(const std::string& name) const {
        auto it = seconds_.find(name);
        if (it == seconds_.end() || it->second.empty()) return 0;
        std::vector<double> v = it->second;
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }

  private:
    std::map<std::string, std::vector<double>> seconds_;
};

} // namespace bench
