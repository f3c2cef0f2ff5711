// libFuzzer target for the regional map data reader (geo/RegionalData.h):
// any bytes give either data or a std::runtime_error, never a crash, a hang
// or unbounded memory. Built and run by tests/fuzz/fuzz_regional_data.sh.
#include "geo/RegionalData.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const geo::RegionalData d = geo::RegionalData::Parse(data, size);
        // Every ring's chunks and points lie within the data.
        size_t chunks = 0;
        for (const auto& r : d.rings()) {
            chunks += r.chunks;
            if (r.first + r.count > d.pointCount()) __builtin_trap();
        }
        if (chunks != d.chunks().size()) __builtin_trap();
    } catch (const std::runtime_error&) {
    }
    return 0;
}
