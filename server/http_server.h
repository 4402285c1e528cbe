// The score server's HTTP side: an event loop that holds up against slow and greedy clients,
// reads small bodies, and lets a request be answered later from another thread.
#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "score_service.h"

struct MHD_Daemon;

namespace vrumbal::scores {

class RequestLog;

// How the HTTP side holds up against slow and greedy clients.
struct HttpLimits {
    unsigned connections = 4096;  // open connections in all
    unsigned perAddress = 4;      // open connections from one client address
    unsigned idleSeconds = 3;     // a connection that sends nothing for this long goes
    unsigned requestSeconds = 4;  // the whole request, from its first byte to its end
    unsigned threads = 2;         // event loops, each serving many connections
    std::size_t memoryPerConnection = 64 * 1024;  // its buffers for the request's head
    std::size_t maxBody = 256 * 1024;             // the largest body taken (a replay)
    std::vector<std::string> trustedProxies;      // their X-Forwarded-For names the client
    RequestLog* log = nullptr;  // where the HTTP side's own complaints go (none: standard error)
};

// An HTTP server on an event loop (epoll): idle and trickling connections cost a little memory
// each and hold up nobody. Every request goes to the handler, which answers through its reply
// at once or later (the connection waits meanwhile without holding up the loop).
class HttpServer final {
public:
    using Handler = std::function<void(const HttpRequest&, Reply)>;

    // Listens on address:port (IPv4 or IPv6; "::" takes both); throws std::runtime_error when
    // it cannot.
    HttpServer(const std::string& address, int port, const HttpLimits& limits, Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

private:
    struct Daemon;
    std::unique_ptr<Daemon> daemon_;
};

}  // namespace vrumbal::scores
