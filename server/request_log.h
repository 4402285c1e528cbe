// The server's log: one line per request worth telling, with the UTC time and the client's
// address, and a cap per address so that one client cannot flood the log.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

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
    struct Budget {
        double lines = 0;                      // lines it may write now
        std::int64_t at = 0;                   // when that was worked out
        std::int64_t dropped = 0;              // lines lost since its last one
        std::list<std::string>::iterator age;  // its place in the order of last use
    };

    std::function<void(const std::string&)> write_;
    std::function<std::int64_t()> now_;
    int burst_;
    std::size_t capacity_;
    std::mutex mutex_;
    std::unordered_map<std::string, Budget> budgets_;  // by address
    std::list<std::string> order_;                     // most recently heard first
};

// Where the server's lines go: standard error, one at a time.
std::function<void(const std::string&)> LogToStandardError();

}  // namespace vrumbal::scores
