// The server's log: one line per request worth telling, with the UTC time and the client's
// address, and a cap per address so that one client cannot flood the log.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "rate_limit.h"

namespace vrumbal::scores {

// Writes lines "TIME ADDRESS TEXT". An address may write `burst` lines at once and one a
// second after that; the lines it loses are counted and told in its next line. At most
// `capacity` addresses are remembered (the longest silent forgotten first). Safe to use from
// several threads.
class RequestLog final {
public:
    // Lines go to write (a whole line, without its end), timed by nowSeconds (seconds since
    // 1970, UTC).
    RequestLog(std::function<void(const std::string&)> write,
               std::function<std::int64_t()> nowSeconds, int burst = 20,
               std::size_t capacity = 100000);
    // The line of a request from address.
    void Line(const std::string& address, const std::string& text);

private:
    std::function<void(const std::string&)> write_;
    std::function<std::int64_t()> now_;
    RateLimit lines_;  // each address's lines, one a second
};

// Where the server's lines go: standard error, one at a time.
std::function<void(const std::string&)> LogToStandardError();

}  // namespace vrumbal::scores
