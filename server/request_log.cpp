// The capped log of requests.
#include "request_log.h"

#include <algorithm>

#include "server_time.h"

namespace vrumbal::scores {

RequestLog::RequestLog(std::function<void(const std::string&)> write,
                       std::function<std::int64_t()> nowSeconds, int burst, std::size_t capacity)
    : write_(std::move(write)),
      now_(std::move(nowSeconds)),
      burst_(burst),
      capacity_(std::max<std::size_t>(capacity, 1)) {}

void RequestLog::Line(const std::string& address, const std::string& text) {
    const std::int64_t now = now_();
    std::string line;
    {
        std::lock_guard lock(mutex_);
        auto it = budgets_.find(address);
        if (it == budgets_.end()) {
            if (budgets_.size() >= capacity_) {
                budgets_.erase(order_.back());
                order_.pop_back();
            }
            order_.push_front(address);
            it = budgets_
                     .emplace(address, Budget{static_cast<double>(burst_), now, 0, order_.begin()})
                     .first;
        } else {
            order_.splice(order_.begin(), order_, it->second.age);
        }
        Budget& b = it->second;
        b.lines = std::min<double>(
            burst_, b.lines + static_cast<double>(std::max<std::int64_t>(now - b.at, 0)));
        b.at = std::max(b.at, now);
        if (b.lines < 1) {
            ++b.dropped;
            return;
        }
        b.lines -= 1;
        line = UtcTime(now) + " " + (address.empty() ? "-" : address) + " " + text;
        if (b.dropped > 0) line += " (" + std::to_string(b.dropped) + " lines from it not logged)";
        b.dropped = 0;
    }
    write_(line);
}

std::function<void(const std::string&)> LogToStandardError() {
    auto lock = std::make_shared<std::mutex>();
    return [lock](const std::string& line) {
        std::lock_guard guard(*lock);
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    };
}

}  // namespace vrumbal::scores
