// The blocking HTTP GET and POST, and the watchdog that ends a request outliving its total time.
#include "platform/http_client.h"

#include <httplib.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace vrumbal {
namespace {

// How often the watchdog repeats its stop: a stop that lands while the connection is still
// being opened has nothing to close yet.
constexpr std::chrono::milliseconds kStopRepeat{50};

// Ends a request that outlives its total time. The library bounds each single wait only, so a
// server that trickles a byte now and then could otherwise hold the caller for ever.
class Watchdog final {
public:
    Watchdog(httplib::Client& client, std::chrono::milliseconds total)
        : thread_([this, &client, total] {
              std::unique_lock lock(mutex_);
              if (done_.wait_for(lock, total, [this] { return finished_; })) return;
              while (!finished_) {
                  client.stop();
                  done_.wait_for(lock, kStopRepeat, [this] { return finished_; });
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;  // signalled when the request is over
    bool finished_ = false;         // the request is over
    std::thread thread_;            // started last, once the rest exists
};

std::optional<HttpResponse> HttpRequestOnce(const std::string& method, const std::string& host,
                                            const std::string& target,
                                            const std::vector<HttpHeader>& headers,
                                            const std::string& body, const HttpTimeouts& timeouts,
                                            std::size_t bodyLimit) {
    try {
        if (host.empty() || host.find_first_of("/?#@ \t\r\n") != std::string::npos) {
            return std::nullopt;
        }
        httplib::Client client("http://" + host);
        if (!client.is_valid()) return std::nullopt;
        client.set_connection_timeout(timeouts.connect);
        client.set_read_timeout(timeouts.read);
        client.set_write_timeout(timeouts.read);
        client.set_keep_alive(false);
        client.set_follow_location(false);
        client.set_decompress(false);

        HttpResponse response;
        httplib::Request request;
        request.method = method;
        request.path = target;
        for (const auto& [name, value] : headers) request.headers.emplace(name, value);
        request.body = body;
        // The answer is read to its end, but only its first bodyLimit bytes are kept.
        request.content_receiver = [&](const char* data, std::size_t length, std::uint64_t,
                                       std::uint64_t) {
            const std::size_t room = bodyLimit - std::min(bodyLimit, response.body.size());
            response.body.append(data, std::min(room, length));
            return true;
        };
        httplib::Result result = [&] {
            const Watchdog watchdog(client, timeouts.total);
            return client.send(request);
        }();
        if (!result) return std::nullopt;
        response.status = result->status;
        return response;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<HttpResponse> HttpGet(const std::string& host, const std::string& target,
                                    const std::vector<HttpHeader>& headers,
                                    const HttpTimeouts& timeouts, std::size_t bodyLimit) {
    return HttpRequestOnce("GET", host, target, headers, "", timeouts, bodyLimit);
}

std::optional<HttpResponse> HttpPost(const std::string& host, const std::string& target,
                                     const std::vector<HttpHeader>& headers,
                                     const std::string& body, const HttpTimeouts& timeouts,
                                     std::size_t bodyLimit) {
    return HttpRequestOnce("POST", host, target, headers, body, timeouts, bodyLimit);
}

}  // namespace vrumbal
