#pragma once
#include <cstdint>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rate_limit.h"
#include "score_store.h"

namespace vrumbal::scores {

// One HTTP request as the service sees it.
struct HttpRequest {
    std::string method;                                                    // GET, HEAD, POST ...
    std::string path;                                                      // without the query
    std::vector<std::pair<std::string, std::optional<std::string>>> args;  // the query, in order
    std::string address;                                                   // the client's address
    bool hasBody = false;                                                  // it sends a body
};

// The answer to it.
struct HttpAnswer {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // extra header lines
};

// The world table's service: takes the game's results (only GET stores, at most a few per
// address a minute, none above the highest score a game can reach) and shows the table a
// hundred results a page, from a cache that a stored result clears, so that a flood of page
// requests never reaches the database. Safe to use from several threads.
class ScoreService final {
public:
    // Rows a page shows.
    static constexpr int kPageRows = 100;
    // Pages kept ready at most.
    static constexpr std::size_t kCachedPages = 64;
    // How long a page is kept: another server on the same database may have stored results
    // meanwhile. A flood of requests still reaches the database once a page in this time.
    static constexpr std::int64_t kPageLifeMs = 2000;

    ScoreService(ScoreStore& store, RateLimit& limit);

    // Answers a request arriving at time nowMs (milliseconds, for the rate limit) and
    // receivedAt (seconds since 1970, stored with a result).
    HttpAnswer Handle(const HttpRequest& request, std::int64_t nowMs, std::int64_t receivedAt);
    // Pages rendered from the database so far (the rest came from the cache).
    std::uint64_t PagesRendered() const;

private:
    HttpAnswer Store(const HttpRequest& request, const std::string& code, std::int64_t nowMs,
                     std::int64_t receivedAt);
    HttpAnswer Page(int number, std::int64_t nowMs);

    ScoreStore& store_;
    RateLimit& limit_;
    mutable std::mutex cacheMutex_;
    // A rendered page and when it was made.
    struct CachedPage {
        std::string html;
        std::int64_t at = 0;
    };

    std::optional<std::int64_t> count_;  // results kept, while known
    std::int64_t countAt_ = 0;           // when it was counted
    std::map<int, CachedPage> pages_;    // rendered pages by number
    std::list<int> pageOrder_;           // most recently rendered first
    std::uint64_t rendered_ = 0;         // pages rendered from the store
    std::uint64_t generation_ = 0;       // results stored so far, for the cache
};

}  // namespace vrumbal::scores
