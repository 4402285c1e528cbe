// The HTTP side of the score server over libmicrohttpd's own epoll loops.
#include "http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace vrumbal::scores {
namespace {

using Clock = std::chrono::steady_clock;

// A browser or the game sends a handful of header lines; far more is someone probing.
constexpr std::size_t kMaxHeaderLines = 64;
constexpr std::size_t kMaxHeaderBytes = 16384;

// Kept with each connection: its socket and when its current request began.
struct ConnectionStart {
    int fd = -1;
    Clock::time_point at = Clock::now();
    bool cut = false;  // the deadline passed and the socket was shut
};

std::string AddressOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr) return "";
    char text[INET6_ADDRSTRLEN] = {};
    const sockaddr* a = info->client_addr;
    if (a->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a)->sin_addr, text, sizeof text);
    } else if (a->sa_family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(a)->sin6_addr, text,
                  sizeof text);
    }
    return text;
}

MHD_Result Queue(MHD_Connection* connection, const HttpAnswer& answer) {
    MHD_Response* response = MHD_create_response_from_buffer(
        answer.body.size(), const_cast<char*>(answer.body.data()), MHD_RESPMEM_MUST_COPY);
    if (response == nullptr) return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, answer.contentType.c_str());
    for (const auto& [name, value] : answer.headers) {
        MHD_add_response_header(response, name.c_str(), value.c_str());
    }
    const MHD_Result queued =
        MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
    MHD_destroy_response(response);
    return queued;
}

// Header lines and their bytes, to refuse requests no game or browser sends.
struct HeaderCount {
    std::size_t lines = 0;
    std::size_t bytes = 0;
};

MHD_Result CountHeader(void* cls, MHD_ValueKind, const char* key, const char* value) {
    auto* count = static_cast<HeaderCount*>(cls);
    ++count->lines;
    count->bytes += (key ? std::strlen(key) : 0) + (value ? std::strlen(value) : 0);
    return MHD_YES;
}

// Whether the request's headers announce a body (a length other than 0, or chunks).
bool ClaimsBody(MHD_Connection* connection) {
    const char* length =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    const char* chunked =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING);
    return chunked != nullptr || (length != nullptr && std::strcmp(length, "0") != 0);
}

MHD_Result AddArgument(void* cls, MHD_ValueKind, const char* key, const char* value) {
    auto* request = static_cast<HttpRequest*>(cls);
    if (key == nullptr) return MHD_YES;
    request->args.emplace_back(key, value ? std::optional<std::string>(value) : std::nullopt);
    return MHD_YES;
}

}  // namespace

struct HttpServer::Daemon {
    Handler handler;
    HttpLimits limits;
    MHD_Daemon* daemon = nullptr;
    // The open connections, for the watch that enforces the whole-request deadline.
    std::mutex mutex;
    std::set<ConnectionStart*> open;
    std::condition_variable wake;
    bool stopping = false;
    std::thread watch;

    static void Notify(void* cls, MHD_Connection* connection, void** socketContext,
                       MHD_ConnectionNotificationCode code) {
        auto* self = static_cast<Daemon*>(cls);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            auto* start = new ConnectionStart;  // owned by the connection, freed below
            const MHD_ConnectionInfo* info =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            if (info != nullptr) start->fd = info->connect_fd;
            *socketContext = start;
            std::lock_guard lock(self->mutex);
            self->open.insert(start);
        } else if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
            // Told before the socket is closed, so the watch never shuts a reused number.
            auto* start = static_cast<ConnectionStart*>(*socketContext);
            {
                std::lock_guard lock(self->mutex);
                self->open.erase(start);
            }
            delete start;
            *socketContext = nullptr;
        }
    }

    // A request has ended: the next one on the connection has its own deadline.
    static void Completed(void* cls, MHD_Connection* connection, void**,
                          MHD_RequestTerminationCode) {
        auto* self = static_cast<Daemon*>(cls);
        const MHD_ConnectionInfo* info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        if (info != nullptr && info->socket_context != nullptr) {
            std::lock_guard lock(self->mutex);
            static_cast<ConnectionStart*>(info->socket_context)->at = Clock::now();
        }
    }

    // Four times a second, shuts the sockets of requests past their deadline: a client that
    // trickles its request a byte at a time is cut off however steadily it sends.
    void Watch() {
        std::unique_lock lock(mutex);
        const auto deadline = std::chrono::seconds(limits.requestSeconds);
        while (!wake.wait_for(lock, std::chrono::milliseconds(250), [&] { return stopping; })) {
            const auto now = Clock::now();
            for (ConnectionStart* c : open) {
                if (!c->cut && c->fd >= 0 && now - c->at > deadline) {
                    shutdown(c->fd, SHUT_RDWR);
                    c->cut = true;
                }
            }
        }
    }

    static MHD_Result Access(void* cls, MHD_Connection* connection, const char* url,
                             const char* method, const char*, const char*, std::size_t* uploadSize,
                             void** requestContext) {
        auto* self = static_cast<Daemon*>(cls);
        // The first call comes with the headers. A request that brings a body is answered at
        // once (its body is never read, and the answer closes the connection); a bodiless one
        // is answered on the next call, when the request is whole, so that the connection can
        // be kept for the next request.
        const bool first = *requestContext == nullptr;
        *requestContext = self;
        const bool body = ClaimsBody(connection);
        if (first && !body) return MHD_YES;
        const MHD_ConnectionInfo* info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        if (info != nullptr && info->socket_context != nullptr) {
            const auto* start = static_cast<const ConnectionStart*>(info->socket_context);
            bool late = false;
            {
                std::lock_guard lock(self->mutex);
                late = Clock::now() - start->at > std::chrono::seconds(self->limits.requestSeconds);
            }
            if (late) {
                const HttpAnswer tooSlow{
                    408, "text/plain; charset=utf-8", "too slow\n", {{"Connection", "close"}}};
                return Queue(connection, tooSlow);
            }
        }
        HeaderCount headers;
        MHD_get_connection_values(connection, MHD_HEADER_KIND, &CountHeader, &headers);
        if (headers.lines > kMaxHeaderLines || headers.bytes > kMaxHeaderBytes) {
            HttpAnswer refused{
                431, "text/plain; charset=utf-8", "too many headers\n", {{"Connection", "close"}}};
            return Queue(connection, refused);
        }
        HttpRequest request;
        request.method = method != nullptr ? method : "";
        request.path = url != nullptr ? url : "";
        request.address = AddressOf(connection);
        request.hasBody = body || *uploadSize > 0;
        MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, &AddArgument, &request);
        HttpAnswer answer;
        try {
            answer = self->handler(request);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "vrumbal-scores: %s\n", e.what());
            answer = HttpAnswer{500, "text/plain; charset=utf-8", "server error\n", {}};
        }
        *uploadSize = 0;  // a body is not read: the answer closes the connection
        return Queue(connection, answer);
    }
};

HttpServer::HttpServer(const std::string& address, int port, const HttpLimits& limits,
                       Handler handler)
    : daemon_(std::make_unique<Daemon>()) {
    daemon_->handler = std::move(handler);
    daemon_->limits = limits;
    sockaddr_in bindTo{};
    bindTo.sin_family = AF_INET;
    bindTo.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &bindTo.sin_addr) != 1) {
        throw std::runtime_error("not an IPv4 address: " + address);
    }
    daemon_->daemon = MHD_start_daemon(
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_ERROR_LOG,
        static_cast<std::uint16_t>(port), nullptr, nullptr, &Daemon::Access, daemon_.get(),
        MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr*>(&bindTo), MHD_OPTION_THREAD_POOL_SIZE,
        limits.threads, MHD_OPTION_CONNECTION_LIMIT, limits.connections,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, limits.perAddress, MHD_OPTION_CONNECTION_TIMEOUT,
        limits.idleSeconds, MHD_OPTION_CONNECTION_MEMORY_LIMIT, limits.memoryPerConnection,
        MHD_OPTION_NOTIFY_CONNECTION, &Daemon::Notify, daemon_.get(), MHD_OPTION_NOTIFY_COMPLETED,
        &Daemon::Completed, daemon_.get(), MHD_OPTION_LISTEN_BACKLOG_SIZE, 1024u, MHD_OPTION_END);
    if (daemon_->daemon == nullptr) {
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
    }
    daemon_->watch = std::thread([d = daemon_.get()] { d->Watch(); });
}

HttpServer::~HttpServer() {
    {
        std::lock_guard lock(daemon_->mutex);
        daemon_->stopping = true;
    }
    daemon_->wake.notify_all();
    if (daemon_->watch.joinable()) daemon_->watch.join();
    if (daemon_->daemon != nullptr) MHD_stop_daemon(daemon_->daemon);
}

}  // namespace vrumbal::scores
