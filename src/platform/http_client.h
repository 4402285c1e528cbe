// Blocking HTTP requests with bounded waits, for sending results to the score server.
#pragma once
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vrumbal {

// How long one request may take. A server that accepts and then says nothing must not hold
// the game on the sending notice for ever.
struct HttpTimeouts {
    std::chrono::milliseconds connect{3000};  // to open the connection
    std::chrono::milliseconds read{5000};     // for each wait on the answer
    std::chrono::milliseconds total{10000};   // for the whole exchange, slow trickles included
};

// An answer that arrived whole.
struct HttpResponse {
    int status = 0;    // the status code
    std::string body;  // the body, cut at the requested limit
};

// A request header line.
using HttpHeader = std::pair<std::string, std::string>;

// One blocking HTTP/1.1 GET of target (path and query) from host ("name" or "name:port"),
// over a connection closed afterwards. The whole body is read; at most bodyLimit bytes of it
// are kept. Nothing when the host is unusable, the connection or transfer fails, or the
// time-outs run out; never throws.
std::optional<HttpResponse> HttpGet(const std::string& host, const std::string& target,
                                    const std::vector<HttpHeader>& headers,
                                    const HttpTimeouts& timeouts, std::size_t bodyLimit);

// The same as a POST of body (its Content-Length given, its type among the headers).
std::optional<HttpResponse> HttpPost(const std::string& host, const std::string& target,
                                     const std::vector<HttpHeader>& headers,
                                     const std::string& body, const HttpTimeouts& timeouts,
                                     std::size_t bodyLimit);

}  // namespace vrumbal
