// Load time of the built-in DX lists: the first use (rows split from the
// embedded text) and a cold split of both lists, run again and again.
#include "dxlists/BuiltinLists.h"
#include "dxlists/DxRecord.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

// The program's start: the first call splits the embedded text (one pass
// only; later calls return the kept rows).
void BM_FirstUseOfBothLists(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto& ham = dx::BuiltinHamRows();
        const auto& cb = dx::BuiltinCbRows();
        benchmark::DoNotOptimize(ham.data());
        benchmark::DoNotOptimize(cb.data());
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_FirstUseOfBothLists)->UseManualTime()->Iterations(1)->Unit(benchmark::kMicrosecond);

void BM_ColdSplitOfBothLists(benchmark::State& state) {
    for (auto _ : state) {
        auto ham = dx::SplitListText(dx::BuiltinHamText());
        auto cb = dx::SplitListText(dx::BuiltinCbText());
        benchmark::DoNotOptimize(ham.data());
        benchmark::DoNotOptimize(cb.data());
    }
    state.SetItemsProcessed(state.iterations() *
                            static_cast<long long>(dx::BuiltinHamRowCount + dx::BuiltinCbRowCount));
}
BENCHMARK(BM_ColdSplitOfBothLists)->Unit(benchmark::kMicrosecond);

// The displayed-list rewrite of the ham list on a decimal-point system.
void BM_RewriteHamListForPointSystem(benchmark::State& state) {
    const auto& rows = dx::BuiltinHamRows();
    for (auto _ : state) {
        for (const auto& row : rows)
            benchmark::DoNotOptimize(dx::RewriteCoordinatesForDisplay(row, '.'));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(rows.size()));
}
BENCHMARK(BM_RewriteHamListForPointSystem)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
