// libFuzzer target: the DX cluster line reader (and the addresses of the
// settings). Built and run by scripts/fuzz-live.sh, not in CI.
#include "live/ClusterLine.h"
#include "live/Endpoint.h"
#include "live/SpotFeed.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const live::ClusterLine r = live::ReadClusterLine(text);
    if (r.kind == live::ClusterLineKind::Spot) {
        const live::Spot s = live::SpotFromCluster(r.spot, 0);
        if (s.call.size() > live::MaxCallLength || s.comment.size() > live::MaxCommentLength)
            std::abort();
        if (!(s.kHz > 0)) std::abort();
        if (r.spot.minuteOfDay < -1 || r.spot.minuteOfDay >= 1440) std::abort();
    }
    (void)live::IsLoginPrompt(text);
    (void)live::ParseHostPort(text);
    (void)live::ParseUdpEndpoint(text);
    return 0;
}
