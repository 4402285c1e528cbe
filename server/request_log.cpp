// The capped log of requests.
#include "request_log.h"

#include <memory>
#include <mutex>

#include "server_time.h"

namespace vrumbal::scores {

RequestLog::RequestLog(std::function<void(const std::string&)> write,
                       std::function<std::int64_t()> nowSeconds, int burst, std::size_t capacity)
    : write_(std::move(write)), now_(std::move(nowSeconds)), lines_(60, burst, capacity) {}

void RequestLog::Line(const std::string& address, const std::string& text) {
    const std::int64_t now = now_();
    std::int64_t dropped = 0;
    if (!lines_.Allow(address, now * 1000, &dropped)) return;
    std::string line = UtcTime(now) + " " + (address.empty() ? "-" : address) + " " + text;
    if (dropped > 0) line += " (" + std::to_string(dropped) + " lines from it not logged)";
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
