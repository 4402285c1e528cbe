// vrumbal-scores: the world table's server. Takes results from the game and shows the best
// of them as a web page.
#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <optional>
#include <string>
#include <thread>

#include "online/score_protocol.h"
#include "online/score_record.h"
#include "score_store.h"
#include "world_page.h"

namespace vrumbal::scores {
namespace {

// Rows the world page shows.
constexpr int kPageRows = 100;
// Waits on a client; a connection that sends nothing is dropped after this.
constexpr int kClientTimeoutSeconds = 5;
// Requests are bodiless GETs: anything bigger than this is refused unread.
constexpr std::size_t kMaxBody = 1024;
// A browser or the game sends a handful of header lines; far more is someone probing.
constexpr std::size_t kMaxHeaderLines = 64;
constexpr std::size_t kMaxHeaderBytes = 16384;

struct Options {
    int port = 0;
    std::string db;
    std::string bind = "127.0.0.1";  // loopback unless told otherwise
};

void Usage() {
    std::fputs("usage: vrumbal-scores --port P --db FILE [--bind ADDR]\n", stderr);
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return std::nullopt;
        const std::string value = argv[++i];
        if (a == "--port") {
            char* end = nullptr;
            const long port = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || port < 1 || port > 65535) return std::nullopt;
            options.port = static_cast<int>(port);
        } else if (a == "--db") {
            options.db = value;
        } else if (a == "--bind") {
            options.bind = value;
        } else {
            return std::nullopt;
        }
    }
    if (options.port == 0 || options.db.empty()) return std::nullopt;
    return options;
}

void Answer(httplib::Response& res, int status, const std::string& text) {
    res.status = status;
    res.set_content(text + "\n", "text/plain; charset=utf-8");
}

// Exactly one value for key, or nothing.
std::optional<std::string> Single(const httplib::Request& req, const char* key) {
    if (req.get_param_value_count(key) != 1) return std::nullopt;
    return req.get_param_value(key);
}

void HandleScript(ScoreStore& store, const httplib::Request& req, httplib::Response& res) {
    if (Single(req, "prg") != std::string(kProductCode)) {
        Answer(res, 400, "unknown product");
        return;
    }
    if (req.has_param("hs")) {
        const std::optional<std::string> code = Single(req, "inf");
        const std::optional<ScoreRecord> record = code ? DecodeRecord(*code) : std::nullopt;
        if (!record) {
            Answer(res, 400, "malformed result");
            return;
        }
        store.Add(*record, static_cast<std::int64_t>(std::time(nullptr)));
        Answer(res, 200, "OK");
        return;
    }
    if (req.has_param("show") && Single(req, "type") == std::string("0")) {
        res.status = 200;
        res.set_content(WorldPage(store.Best(kPageRows)), "text/html; charset=utf-8");
        return;
    }
    Answer(res, 400, "unknown request");
}

// Refuses requests no game or browser sends before they reach the handlers.
httplib::Server::HandlerResponse Screen(const httplib::Request& req, httplib::Response& res) {
    std::size_t bytes = 0;
    for (const auto& [name, value] : req.headers) bytes += name.size() + value.size();
    if (req.headers.size() > kMaxHeaderLines || bytes > kMaxHeaderBytes) {
        Answer(res, 431, "too many headers");
        return httplib::Server::HandlerResponse::Handled;
    }
    // A GET carries no body; one that claims to would leave its bytes to be read as the next
    // request on the connection.
    const bool bodyClaimed =
        req.has_header("Transfer-Encoding") ||
        (req.has_header("Content-Length") && req.get_header_value("Content-Length") != "0");
    if (req.method == "GET" && bodyClaimed) {
        res.set_header("Connection", "close");
        Answer(res, 400, "a GET has no body");
        return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
}

int Run(const Options& options) {
    ScoreStore store(options.db);

    // SIGINT and SIGTERM are taken by one waiting thread, so the server stops between
    // requests and the database is closed properly; SIGPIPE from a vanished client is moot.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    server.set_read_timeout(kClientTimeoutSeconds, 0);
    server.set_write_timeout(kClientTimeoutSeconds, 0);
    server.set_keep_alive_timeout(kClientTimeoutSeconds);
    server.set_keep_alive_max_count(10);
    server.set_payload_max_length(kMaxBody);
    server.set_pre_routing_handler(Screen);
    server.Get(std::string(kScoreScriptPath),
               [&store](const httplib::Request& req, httplib::Response& res) {
                   HandleScript(store, req, res);
               });
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr error) {
            try {
                if (error) std::rethrow_exception(error);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "vrumbal-scores: %s\n", e.what());
            } catch (...) {
            }
            Answer(res, 500, "server error");
        });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) Answer(res, res.status, "error " + std::to_string(res.status));
    });

    if (!server.bind_to_port(options.bind, options.port)) {
        std::fprintf(stderr, "vrumbal-scores: cannot listen on %s:%d\n", options.bind.c_str(),
                     options.port);
        return 1;
    }
    std::thread stopper([&server, &stopSignals] {
        int received = 0;
        sigwait(&stopSignals, &received);
        server.stop();
    });
    std::fprintf(stderr, "vrumbal-scores: listening on %s:%d\n", options.bind.c_str(),
                 options.port);
    const bool listened = server.listen_after_bind();
    // Wake the waiting thread if the server ended on its own.
    kill(getpid(), SIGTERM);
    stopper.join();
    return listened ? 0 : 1;
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
