// The live stations heard: one entry per call and band, the newest spot of
// each winning, aged out after a chosen time and capped in number so memory
// stays bounded whatever arrives. Plain C++, no Qt.
#pragma once

#include "live/Spot.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <unordered_map>

namespace live {

// The spot list's filters: a band (empty: all), a source (none: all) and a
// maximum age (0: no limit).
struct SpotFilter {
    std::string band;
    std::optional<SpotSource> source;
    std::int64_t maxAgeMs = 0;
    bool Passes(const Spot& s, std::int64_t nowMs) const {
        if (!band.empty() && s.band != band) return false;
        if (source && s.source != *source) return false;
        return maxAgeMs <= 0 || nowMs - s.receivedMs <= maxAgeMs;
    }
};

class SpotStore {
  public:
    static constexpr std::size_t DefaultCapacity = 5000;

    explicit SpotStore(std::size_t capacity = DefaultCapacity, std::int64_t maxAgeMs = 30 * 60000)
        : capacity_(capacity < 1 ? 1 : capacity), maxAgeMs_(maxAgeMs) {}

    // Adds a spot (its receivedMs is the store's clock; a spot older than the
    // newest held counts as received with it, so the order of arrival is the
    // order of age). An entry of the same call and band is replaced. When the
    // store is full the oldest entry goes. Returns the stored spot.
    const Spot& Add(Spot spot);
    // Removes the spots received more than the maximum age before `nowMs`;
    // returns how many went.
    std::size_t Expire(std::int64_t nowMs);
    void Clear();

    void SetMaxAgeMs(std::int64_t ms) { maxAgeMs_ = ms; }
    std::int64_t maxAgeMs() const { return maxAgeMs_; }
    // A smaller capacity drops the oldest entries at once.
    void SetCapacity(std::size_t capacity);
    std::size_t capacity() const { return capacity_; }

    std::size_t size() const { return spots_.size(); }
    bool empty() const { return spots_.empty(); }
    // Oldest first.
    const std::list<Spot>& spots() const { return spots_; }
    const Spot* Find(const std::string& call, const std::string& band) const;
    // Lets `f` change every spot but its call and band (the key), e.g. to
    // measure again from a new map centre.
    template <typename F> void Update(F&& f) {
        for (Spot& s : spots_)
            f(s);
        ++generation_;
    }
    // Counts every change (add, expiry, clear), for views that cache.
    std::uint64_t generation() const { return generation_; }

  private:
    void DropOldest();

    std::list<Spot> spots_;
    std::unordered_map<std::string, std::list<Spot>::iterator> index_;
    std::size_t capacity_;
    std::int64_t maxAgeMs_;
    std::uint64_t generation_ = 0;
};

} // namespace live
