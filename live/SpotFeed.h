// From what the sources say to spots: a cluster spot line, an FT8 program's
// messages. Plain C++, no Qt.
#pragma once

#include "live/ClusterLine.h"
#include "live/Spot.h"
#include "live/Wsjtx.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace live {

// The spot of a cluster line (texts cut to the spot's bounds).
Spot SpotFromCluster(const ClusterSpot& c, std::int64_t nowMs);

// Turns an FT8 program's messages into spots. A Decode's frequency is the
// dial frequency of the last Status from the same program plus the decode's
// audio offset (0, no band, before any Status); its call and locator come
// from the message text. QSO logged and WSPR decodes carry their own call,
// grid and frequency. Decodes replayed from files (off air), decodes naming
// no call and the other messages give no spot. Close forgets the program.
class WsjtxSpotter {
  public:
    std::optional<Spot> Take(const WsjtxMessage& m, std::int64_t nowMs);

  private:
    struct Program {
        std::uint64_t dialHz = 0;
        std::string mode;
    };
    // Bounded: more than this many program ids at once and the oldest state is dropped.
    static constexpr std::size_t MaxPrograms = 16;
    std::unordered_map<std::string, Program> programs_;
};

} // namespace live
