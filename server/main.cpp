// vrumbal-scores: the world table's server. Takes the game's results with their replays,
// re-runs each to prove it, and shows the best as a web page; and the moderator's commands.
#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "http_server.h"
#include "platform/codepage.h"
#include "rate_limit.h"
#include "replay_checker.h"
#include "request_log.h"
#include "score_service.h"
#include "score_store.h"
#include "server_time.h"
#include "shell/game_folders.h"

namespace vrumbal::scores {
namespace {

// A game sends one result when it ends, and a game takes minutes: a client address may store
// four at once and two a minute after that, enough for a few players behind one router.
constexpr double kResultsPerMinute = 2;
constexpr double kResultsAtOnce = 4;
// Addresses the limit remembers; each costs about a hundred bytes.
constexpr std::size_t kAddressesHeld = 100000;
// Re-runs that may wait for a worker: a few seconds of work each at most, so a client waits
// a few tens of seconds at worst before it is answered.
constexpr std::size_t kQueuedReplays = 64;

struct Options {
    int port = 0;
    std::string db;
    std::string bind = "127.0.0.1";  // loopback unless told otherwise
    std::string data;                // the folder holding the game's Data/
    double perMinute = kResultsPerMinute;
    double atOnce = kResultsAtOnce;
    unsigned workers = 0;  // 0: one per processor
    std::size_t queue = kQueuedReplays;
    ServiceRules rules;
    HttpLimits limits;
};

constexpr const char* kUsage =
    "usage: vrumbal-scores --port P --db FILE|postgresql://... [--bind ADDR] [--data DIR]\n"
    "                      [--workers N] [--queue N] [--accept-unproven]\n"
    "                      [--trusted-proxy ADDR]... [--results-per-minute N]\n"
    "                      [--results-at-once N] [--connections N]\n"
    "                      [--connections-per-address N] [--threads N]\n"
    "       vrumbal-scores hide|unhide ID --db DB [--note TEXT]\n"
    "       vrumbal-scores list --db DB [--name NAME] [--from ADDRESS] [--limit N]\n"
    "       vrumbal-scores audit --db DB\n";

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
        if (a == "--accept-unproven") {
            options.rules.acceptUnproven = true;
            continue;
        }
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
        } else if (a == "--data") {
            options.data = value;
        } else if (a == "--trusted-proxy") {
            options.limits.trustedProxies.push_back(value);
        } else if (a == "--workers") {
            if (!(n = Number(value, 1, 256))) return std::nullopt;
            options.workers = static_cast<unsigned>(*n);
        } else if (a == "--queue") {
            if (!(n = Number(value, 0, 100000))) return std::nullopt;
            options.queue = static_cast<std::size_t>(*n);
        } else if (a == "--results-per-minute") {
            if (!(n = Number(value, 0, 1000000))) return std::nullopt;
            options.perMinute = static_cast<double>(*n);
        } else if (a == "--results-at-once") {
            if (!(n = Number(value, 1, 1000000))) return std::nullopt;
            options.atOnce = static_cast<double>(*n);
        } else if (a == "--connections") {
            if (!(n = Number(value, 16, 1000000))) return std::nullopt;
            options.limits.connections = static_cast<unsigned>(*n);
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

std::int64_t NowSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

int Serve(const Options& options) {
    // SIGINT and SIGTERM are taken by this thread, so the server stops between requests and
    // the database is closed properly; SIGPIPE from a vanished client is moot.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    const std::string data = !options.data.empty()
                                 ? options.data
                                 : FindGameFolders(ThisProcessSearch()).dataRoot.string();
    const std::unique_ptr<ScoreStore> store = OpenScoreStore(options.db);
    RateLimit limit(options.perMinute, options.atOnce, kAddressesHeld);
    RequestLog log(LogToStandardError(), &NowSeconds);
    const unsigned workers =
        options.workers != 0 ? options.workers : std::max(1u, std::thread::hardware_concurrency());
    ReplayChecker checker(data, workers, options.queue);
    ScoreService service(*store, limit, &checker, options.rules, &log);
    HttpLimits limits = options.limits;
    limits.log = &log;
    {
        HttpServer server(options.bind, options.port, limits,
                          [&service](const HttpRequest& request, Reply reply) {
                              service.Handle(request, MonotonicMs(), NowSeconds(),
                                             std::move(reply));
                          });
        std::fprintf(stderr,
                     "%s vrumbal-scores: listening on %s port %d; %u workers re-run replays on "
                     "the content under %s; unproven results %s\n",
                     UtcTime(NowSeconds()).c_str(), options.bind.c_str(), options.port, workers,
                     data.c_str(), options.rules.acceptUnproven ? "kept apart" : "refused");
        int received = 0;
        sigwait(&stopSignals, &received);
        // The re-runs in hand are finished and answered while the connections still wait.
        checker.Stop();
    }
    std::fprintf(stderr, "%s vrumbal-scores: stopped\n", UtcTime(NowSeconds()).c_str());
    return 0;
}

void PrintRow(const StoredScore& row) {
    std::printf("%lld\t%s\t%d\t%d\t%s\t%s\t%s\t%s\t%s\n", static_cast<long long>(row.id),
                Cp1251ToUtf8(row.name).c_str(), row.score, row.level,
                Cp1251ToUtf8(row.country).c_str(), UtcTime(row.receivedAt).c_str(),
                row.address.empty() ? "-" : row.address.c_str(), row.proven ? "proven" : "unproven",
                row.hidden ? "hidden" : "shown");
}

// The moderator's commands on the database a running server uses. Returns the exit status.
int Moderate(int argc, char** argv) {
    const std::string command = argv[1];
    std::optional<std::int64_t> id;
    std::string db, note;
    ScoreFilter filter;
    int i = 2;
    if (command == "hide" || command == "unhide") {
        const std::optional<long> n = i < argc ? Number(argv[i], 1, LONG_MAX) : std::nullopt;
        if (!n) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        id = *n;
        ++i;
    }
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        const std::string value = argv[++i];
        if (a == "--db") {
            db = value;
        } else if (a == "--note" && id) {
            note = value;
        } else if (a == "--name" && command == "list") {
            filter.name = Utf8ToCp1251(value);
        } else if (a == "--from" && command == "list") {
            filter.address = value;
        } else if (a == "--limit" && command == "list") {
            const std::optional<long> n = Number(value, 1, 1000000);
            if (!n) {
                std::fputs(kUsage, stderr);
                return 2;
            }
            filter.limit = static_cast<int>(*n);
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (db.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::unique_ptr<ScoreStore> store = OpenScoreStore(db);
    if (id) {
        const bool hide = command == "hide";
        // The audit line names who changed it.
        const char* user = std::getenv("USER");
        const std::string detail = std::string("by ") +
                                   (user != nullptr && *user != '\0' ? user : "?") +
                                   (note.empty() ? "" : ": " + note);
        if (!store->SetHidden(*id, hide, detail)) {
            std::fprintf(stderr, "vrumbal-scores: no result %lld\n", static_cast<long long>(*id));
            return 1;
        }
        std::printf("%s %lld\n", hide ? "hidden" : "shown again", static_cast<long long>(*id));
        return 0;
    }
    if (command == "list") {
        std::printf("id\tname\tscore\tlevel\tcountry\treceived\taddress\tlist\tstate\n");
        for (const StoredScore& row : store->List(filter)) PrintRow(row);
        return 0;
    }
    for (const std::string& line : store->Audit()) std::printf("%s\n", line.c_str());
    return 0;
}

bool IsCommand(const std::string& word) {
    return word == "hide" || word == "unhide" || word == "list" || word == "audit";
}

}  // namespace
}  // namespace vrumbal::scores

int main(int argc, char** argv) {
    using namespace vrumbal::scores;
    if (argc >= 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    try {
        if (argc >= 2 && IsCommand(argv[1])) return Moderate(argc, argv);
        const auto options = ParseOptions(argc, argv);
        if (!options) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return Serve(*options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vrumbal-scores: %s\n", e.what());
        return 1;
    }
}
