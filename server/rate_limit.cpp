// The per-address bucket of results: refilled with time, the longest silent address forgotten
// first.
#include "rate_limit.h"

#include <algorithm>

namespace vrumbal::scores {

RateLimit::RateLimit(double perMinute, double burst, std::size_t capacity)
    : perMs_(perMinute / 60000.0), burst_(burst), capacity_(std::max<std::size_t>(capacity, 1)) {}

bool RateLimit::Allow(const std::string& address, std::int64_t nowMs, std::int64_t* refusedBefore) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = buckets_.find(address);
    if (it == buckets_.end()) {
        if (buckets_.size() >= capacity_) {
            buckets_.erase(order_.back());
            order_.pop_back();
        }
        order_.push_front(address);
        it = buckets_.emplace(address, Bucket{burst_, nowMs, 0, order_.begin()}).first;
    } else {
        order_.splice(order_.begin(), order_, it->second.age);
    }
    Bucket& b = it->second;
    // A clock that steps back refills nothing.
    const std::int64_t elapsed = std::max<std::int64_t>(nowMs - b.at, 0);
    b.tokens = std::min(burst_, b.tokens + static_cast<double>(elapsed) * perMs_);
    b.at = std::max(b.at, nowMs);
    if (b.tokens < 1) {
        ++b.refused;
        return false;
    }
    b.tokens -= 1;
    if (refusedBefore != nullptr) *refusedBefore = b.refused;
    b.refused = 0;
    return true;
}

void RateLimit::GiveBack(const std::string& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = buckets_.find(address);
    if (it != buckets_.end()) it->second.tokens = std::min(burst_, it->second.tokens + 1);
}

std::size_t RateLimit::Size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return buckets_.size();
}

}  // namespace vrumbal::scores
