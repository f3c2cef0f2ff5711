#include "live/SpotStore.h"

namespace live {

const Spot& SpotStore::Add(Spot spot) {
    if (!spots_.empty() && spot.receivedMs < spots_.back().receivedMs)
        spot.receivedMs = spots_.back().receivedMs;
    std::string key = SpotKey(spot);
    auto it = index_.find(key);
    if (it != index_.end()) {
        spots_.erase(it->second);
        index_.erase(it);
    }
    while (spots_.size() >= capacity_)
        DropOldest();
    spots_.push_back(std::move(spot));
    index_.emplace(std::move(key), std::prev(spots_.end()));
    ++generation_;
    return spots_.back();
}

void SpotStore::DropOldest() {
    index_.erase(SpotKey(spots_.front()));
    spots_.pop_front();
}

std::size_t SpotStore::Expire(std::int64_t nowMs) {
    std::size_t gone = 0;
    while (!spots_.empty() && nowMs - spots_.front().receivedMs > maxAgeMs_) {
        DropOldest();
        ++gone;
    }
    if (gone) ++generation_;
    return gone;
}

void SpotStore::Clear() {
    spots_.clear();
    index_.clear();
    ++generation_;
}

void SpotStore::SetCapacity(std::size_t capacity) {
    capacity_ = capacity < 1 ? 1 : capacity;
    bool dropped = false;
    while (spots_.size() > capacity_) {
        DropOldest();
        dropped = true;
    }
    if (dropped) ++generation_;
}

const Spot* SpotStore::Find(const std::string& call, const std::string& band) const {
    auto it = index_.find(call + '\t' + band);
    return it == index_.end() ? nullptr : &*it->second;
}

} // namespace live
