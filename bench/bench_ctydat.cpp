// The country file: loading the Debian cty.dat (read + parse, and a plain
// read of the same bytes beside it) and resolving calls, beside the
// built-in list's prefix lookup of the same calls.
#include "dxlists/BuiltinLists.h"
#include "dxlists/CtyDat.h"
#include "viewer/DxLookup.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string Debian = "/usr/share/hamradio-files/cty.dat";

const char* const Calls[] = {"EA6AB",     "EA1AB",    "KG4ABC", "G3ABC/P", "W1ABC/6",
                             "KH6/W1ABC", "9M2/PG5M", "VK9XX",  "ZS6AAA",  "JA1ABC"};

void BM_CtyLoadDebian(benchmark::State& state) {
    for (auto _ : state) {
        dx::CtyError e;
        auto db = dx::CtyDatabase::Load(Debian, e);
        if (!db) {
            state.SkipWithError("the Debian cty.dat is absent or faulty");
            break;
        }
        benchmark::DoNotOptimize(db->prefixCount());
    }
}
BENCHMARK(BM_CtyLoadDebian)->Unit(benchmark::kMillisecond);

// Only reading the bytes: the floor under the load.
void BM_CtyReadOnly(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream in(Debian, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_CtyReadOnly)->Unit(benchmark::kMillisecond);

void BM_CtyResolve(benchmark::State& state) {
    dx::CtyError e;
    static const auto db = dx::CtyDatabase::Load(Debian, e);
    if (!db) {
        state.SkipWithError("the Debian cty.dat is absent or faulty");
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        auto a = db->Resolve(Calls[i++ % std::size(Calls)]);
        benchmark::DoNotOptimize(a.entity);
    }
}
BENCHMARK(BM_CtyResolve)->Unit(benchmark::kNanosecond);

// The built-in ham list's lookup of the viewer, for the same calls.
void BM_BuiltinHamLookup(benchmark::State& state) {
    std::vector<std::string> rows = dx::BuiltinHamRows();
    std::stable_sort(rows.begin(), rows.end(), [](const std::string& a, const std::string& b) {
        return viewer::CharacterCodeLess(a, b, '\t');
    });
    std::size_t i = 0;
    for (auto _ : state) {
        const int row = viewer::HamLookup(rows, Calls[i++ % std::size(Calls)], '\t');
        benchmark::DoNotOptimize(row);
    }
}
BENCHMARK(BM_BuiltinHamLookup)->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
