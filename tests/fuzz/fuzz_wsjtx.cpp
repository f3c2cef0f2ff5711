// libFuzzer target: the FT8 program's datagram reader and the spots made of
// its messages. Built and run by scripts/fuzz-live.sh, not in CI.
#include "live/Locator.h"
#include "live/SpotFeed.h"
#include "live/Wsjtx.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static live::WsjtxSpotter spotter; // keeps state across inputs, as a listener does
    live::WsjtxMessage m;
    const live::WsjtxResult r = live::ReadWsjtx(data, size, m);
    if (r != live::WsjtxResult::Ok) return 0;
    if (m.id.size() > live::MaxWsjtxString || m.message.size() > live::MaxWsjtxString) std::abort();
    if (const auto s = spotter.Take(m, 0)) {
        if (s->call.empty() || s->call.size() > live::MaxCallLength) std::abort();
        if (!s->locator.empty() && !live::IsLocator(s->locator)) std::abort();
    }
    return 0;
}
