// vrumbal-scores: the world table's server. Takes results from the game and shows the best
// of them as a web page.
#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <optional>
#include <string>

#include "http_server.h"
#include "rate_limit.h"
#include "score_service.h"
#include "score_store.h"

namespace vrumbal::scores {
namespace {

// A game sends one result when it ends, and a game takes minutes: a client address may store
// four at once and two a minute after that, enough for a few players behind one router.
constexpr double kResultsPerMinute = 2;
constexpr double kResultsAtOnce = 4;
// Addresses the limit remembers; each costs about a hundred bytes.
constexpr std::size_t kAddressesHeld = 100000;

struct Options {
    int port = 0;
    std::string db;
    std::string bind = "127.0.0.1";  // loopback unless told otherwise
    double perMinute = kResultsPerMinute;
    double atOnce = kResultsAtOnce;
    HttpLimits limits;
};

void Usage() {
    std::fputs(
        "usage: vrumbal-scores --port P --db FILE|postgresql://... [--bind ADDR]\n"
        "                      [--results-per-minute N] [--results-at-once N]\n"
        "                      [--connections-per-address N] [--threads N]\n",
        stderr);
}

std::optional<long> Number(const std::string& text, long low, long high) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < low || n > high) return std::nullopt;
    return n;
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return std::nullopt;
        const std::string value = argv[++i];
        std::optional<long> n;
        if (a == "--port") {
            if (!(n = Number(value, 1, 65535))) return std::nullopt;
            options.port = static_cast<int>(*n);
        } else if (a == "--db") {
            options.db = value;
        } else if (a == "--bind") {
            options.bind = value;
        } else if (a == "--results-per-minute") {
            if (!(n = Number(value, 0, 1000000))) return std::nullopt;
            options.perMinute = static_cast<double>(*n);
        } else if (a == "--results-at-once") {
            if (!(n = Number(value, 1, 1000000))) return std::nullopt;
            options.atOnce = static_cast<double>(*n);
        } else if (a == "--connections-per-address") {
            if (!(n = Number(value, 1, 100000))) return std::nullopt;
            options.limits.perAddress = static_cast<unsigned>(*n);
        } else if (a == "--threads") {
            if (!(n = Number(value, 1, 64))) return std::nullopt;
            options.limits.threads = static_cast<unsigned>(*n);
        } else {
            return std::nullopt;
        }
    }
    if (options.port == 0 || options.db.empty()) return std::nullopt;
    return options;
}

std::int64_t MonotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int Run(const Options& options) {
    // SIGINT and SIGTERM are taken by this thread, so the server stops between requests and
    // the database is closed properly; SIGPIPE from a vanished client is moot.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    const std::unique_ptr<ScoreStore> store = OpenScoreStore(options.db);
    RateLimit limit(options.perMinute, options.atOnce, kAddressesHeld);
    ScoreService service(*store, limit);
    HttpServer server(options.bind, options.port, options.limits,
                      [&service](const HttpRequest& request) {
                          return service.Handle(request, MonotonicMs(),
                                                static_cast<std::int64_t>(std::time(nullptr)));
                      });
    std::fprintf(stderr, "vrumbal-scores: listening on %s:%d\n", options.bind.c_str(),
                 options.port);
    int received = 0;
    sigwait(&stopSignals, &received);
    return 0;
}

}  // namespace
}  // namespace vrumbal::scores

int main(int argc, char** argv) {
    const auto options = vrumbal::scores::ParseOptions(argc, argv);
    if (!options) {
        vrumbal::scores::Usage();
        return 2;
    }
    try {
        return vrumbal::scores::Run(*options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vrumbal-scores: %s\n", e.what());
        return 1;
    }
}
