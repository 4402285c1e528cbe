// The world table's service: what each request path does, from a proven result's re-run to
// the cached pages.
#pragma once
#include <cstdint>
#include <functional>
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

class ReplayChecker;
class RequestLog;

// One HTTP request as the service sees it.
struct HttpRequest {
    std::string method;                                                    // GET, HEAD, POST ...
    std::string path;                                                      // without the query
    std::vector<std::pair<std::string, std::optional<std::string>>> args;  // the query, in order
    std::string address;                                                   // the client's address
    bool hasBody = false;                                                  // it sends a body
    std::string body;                                                      // a POST's body
};

// The answer to it.
struct HttpAnswer {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // extra header lines
};

// Hands the answer to a request back; called once, from any thread, at any time.
using Reply = std::function<void(HttpAnswer)>;

// What the service takes.
struct ServiceRules {
    // The old request, which proves nothing, stores into the unproven list; else it is refused.
    bool acceptUnproven = false;
    // The longest replay re-run, in frames: two hours at the game's 85 frames a second, a few
    // seconds of one worker's time.
    std::uint32_t maxFrames = 612'000;
};

// The world table's service. Results come with their replays (POST of the replay file); a
// worker re-runs each on the game's own logic and only a result the re-run reproduces is
// stored, once per replay, at most a few per address a minute. The old GET of a bare result
// is refused unless the server takes unproven results, which are kept in a list apart. Pages
// show a hundred results each from a cache that a stored result clears, so that a flood of
// page requests never reaches the database. Safe to use from several threads.
class ScoreService final {
public:
    // Rows a page shows.
    static constexpr int kPageRows = 100;
    // Pages kept ready at most.
    static constexpr std::size_t kCachedPages = 64;
    // How long a page is kept: another server on the same database may have stored results
    // meanwhile, and a moderator may have hidden one. A flood of requests still reaches the
    // database once a page in this time.
    static constexpr std::int64_t kPageLifeMs = 2000;
    // Seconds a client is asked to wait when the server is busy.
    static constexpr int kBusyRetrySeconds = 30;

    // checker re-runs the replays (none: every proven result is answered busy); log, when
    // given, has a line for every result taken or refused.
    ScoreService(ScoreStore& store, RateLimit& limit, ReplayChecker* checker,
                 ServiceRules rules = {}, RequestLog* log = nullptr);

    // Answers a request arriving at time nowMs (milliseconds, for the rate limit and the
    // cache) and receivedAt (seconds since 1970, stored with a result), through reply: at
    // once, or from a worker when a replay had to be re-run.
    void Handle(const HttpRequest& request, std::int64_t nowMs, std::int64_t receivedAt,
                Reply reply);
    // The same, waiting for the answer.
    HttpAnswer HandleNow(const HttpRequest& request, std::int64_t nowMs, std::int64_t receivedAt);

private:
    // A list a page shows: the proven results, or the unproven apart.
    struct PageKey {
        bool proven = true;
        int number = 1;
        auto operator<=>(const PageKey&) const = default;
    };
    // A rendered page and when it was made.
    struct CachedPage {
        std::string html;
        std::int64_t at = 0;
    };

    HttpAnswer Legacy(const HttpRequest& request, std::int64_t nowMs, std::int64_t receivedAt);
    HttpAnswer StoreUnproven(const HttpRequest& request, const std::string& code,
                             std::int64_t nowMs, std::int64_t receivedAt);
    void StoreProven(const HttpRequest& request, std::int64_t nowMs, std::int64_t receivedAt,
                     Reply reply);
    HttpAnswer ReplayFile(const std::string& path);
    HttpAnswer PageOfRow(const std::string& idText, std::int64_t nowMs);
    HttpAnswer Page(PageKey key, std::int64_t nowMs);
    // Forgets every cached page: the table changed.
    void TableChanged();
    void Log(const std::string& address, const std::string& text);

    ScoreStore& store_;
    RateLimit& limit_;
    ReplayChecker* checker_;
    ServiceRules rules_;
    RequestLog* log_;

    mutable std::mutex cacheMutex_;
    std::map<bool, std::pair<std::int64_t, std::int64_t>> counts_;  // list: count and when
    std::map<PageKey, CachedPage> pages_;                           // rendered pages
    std::list<PageKey> pageOrder_;                                  // most recently rendered first
    std::uint64_t generation_ = 0;  // changes to the table so far, for the cache
};

}  // namespace vrumbal::scores
