// libFuzzer target for the rotator's answer parsers (rotctld lines, PST
// answers, N1MM-style heading broadcasts). Not part of the build or of CI:
// tests/fuzz/run_rotator_fuzz.sh builds and runs it with clang.
#include "link/RotatorProtocol.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const azlink::RotctldLine line = azlink::ParseRotctldLine(in);
    if (line.kind == azlink::RotctldLine::Kind::Number && !std::isfinite(line.value)) std::abort();
    if (const auto h = azlink::ParsePstAnswer(in))
        if (!(*h >= 0 && *h < 360)) std::abort();
    if (const auto n = azlink::ParseN1mmHeading(in)) {
        if (!(n->heading >= 0 && n->heading < 360)) std::abort();
        if (n->name.size() > size) std::abort();
        (void)azlink::SameRotorName("Tower", n->name);
    }
    (void)azlink::RotatorKindFromText(in);
    return 0;
}
