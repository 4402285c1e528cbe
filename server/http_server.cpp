// The HTTP side of the score server over libmicrohttpd's own epoll loops: request deadlines,
// header and body bounds, the client's address (through a trusted proxy), and answers given
// later by suspending the connection until they come.
#include "http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "request_log.h"

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
    bool cut = false;        // the deadline passed and the socket was shut
    bool suspended = false;  // waiting for its answer: the deadline does not run
};

// What an answer given later needs: the connection to wake and the answer to hand over.
struct Pending {
    std::mutex mutex;
    MHD_Connection* connection = nullptr;
    bool suspended = false;  // the connection is parked until the answer comes
    bool answered = false;
    HttpAnswer answer;
};

// One request as it comes in: its body, and what became of it.
struct RequestState {
    std::optional<long long> length;  // its Content-Length (negative: no number), if any
    bool chunked = false;             // it has a Transfer-Encoding
    std::string body;
    std::shared_ptr<Pending> pending;  // its answer, now or later; set once the handler has it
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
        const auto* six = reinterpret_cast<const sockaddr_in6*>(a);
        // An IPv4 client of a dual-stack socket is named as IPv4.
        if (IN6_IS_ADDR_V4MAPPED(&six->sin6_addr)) {
            inet_ntop(AF_INET, six->sin6_addr.s6_addr + 12, text, sizeof text);
        } else {
            inet_ntop(AF_INET6, &six->sin6_addr, text, sizeof text);
        }
    }
    return text;
}

std::string Trim(std::string text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The client a trusted proxy says it forwards: the last name of X-Forwarded-For (the one the
// proxy itself added), else X-Real-IP.
std::string ForwardedClient(MHD_Connection* connection) {
    if (const char* forwarded =
            MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Forwarded-For")) {
        const std::string list = forwarded;
        const auto comma = list.rfind(',');
        const std::string last = Trim(comma == std::string::npos ? list : list.substr(comma + 1));
        if (!last.empty()) return last;
    }
    if (const char* real = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Real-IP")) {
        return Trim(real);
    }
    return "";
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

HttpAnswer Refusal(int status, const std::string& text) {
    return HttpAnswer{status, "text/plain; charset=utf-8", text + "\n", {{"Connection", "close"}}};
}

// Header lines, their bytes, and how often Content-Length came.
struct HeaderCount {
    std::size_t lines = 0;
    std::size_t bytes = 0;
    int contentLengths = 0;
};

MHD_Result CountHeader(void* cls, MHD_ValueKind, const char* key, const char* value) {
    auto* count = static_cast<HeaderCount*>(cls);
    ++count->lines;
    count->bytes += (key ? std::strlen(key) : 0) + (value ? std::strlen(value) : 0);
    if (key != nullptr && strcasecmp(key, MHD_HTTP_HEADER_CONTENT_LENGTH) == 0) {
        ++count->contentLengths;
    }
    return MHD_YES;
}

MHD_Result AddArgument(void* cls, MHD_ValueKind, const char* key, const char* value) {
    auto* request = static_cast<HttpRequest*>(cls);
    if (key == nullptr) return MHD_YES;
    request->args.emplace_back(key, value ? std::optional<std::string>(value) : std::nullopt);
    return MHD_YES;
}

// The announced length of the body: nothing when none is announced, -1 when it is not a plain
// number.
std::optional<long long> ContentLength(MHD_Connection* connection) {
    const char* length =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    if (length == nullptr) return std::nullopt;
    if (*length == '\0' || std::strlen(length) > 12) return -1;
    long long n = 0;
    for (const char* c = length; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return -1;
        n = n * 10 + (*c - '0');
    }
    return n;
}

// The library's own complaints (a connection refused over a limit, a broken request), one
// line each, through the log's cap: a flood of them costs a line a second.
void LogComplaint(void* cls, const char* format, va_list arguments) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (cls == nullptr) {
        std::fprintf(stderr, "vrumbal-scores: %s\n", line.c_str());
        return;
    }
    static_cast<RequestLog*>(cls)->Line("-", "http: " + line);
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

    // A request has ended: its state goes, and the next one on the connection has its own
    // deadline.
    static void Completed(void* cls, MHD_Connection* connection, void** requestContext,
                          MHD_RequestTerminationCode) {
        auto* self = static_cast<Daemon*>(cls);
        delete static_cast<RequestState*>(*requestContext);  // owned by the request
        *requestContext = nullptr;
        const MHD_ConnectionInfo* info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        if (info != nullptr && info->socket_context != nullptr) {
            std::lock_guard lock(self->mutex);
            auto* start = static_cast<ConnectionStart*>(info->socket_context);
            start->at = Clock::now();
            start->suspended = false;
        }
    }

    // Four times a second, shuts the sockets of requests past their deadline: a client that
    // trickles its request a byte at a time is cut off however steadily it sends. A request
    // waiting for its answer (a replay being re-run) is not.
    void Watch() {
        std::unique_lock lock(mutex);
        const auto deadline = std::chrono::seconds(limits.requestSeconds);
        while (!wake.wait_for(lock, std::chrono::milliseconds(250), [&] { return stopping; })) {
            const auto now = Clock::now();
            for (ConnectionStart* c : open) {
                if (!c->cut && !c->suspended && c->fd >= 0 && now - c->at > deadline) {
                    shutdown(c->fd, SHUT_RDWR);
                    c->cut = true;
                }
            }
        }
    }

    ConnectionStart* StartOf(MHD_Connection* connection) {
        const MHD_ConnectionInfo* info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        return info != nullptr ? static_cast<ConnectionStart*>(info->socket_context) : nullptr;
    }

    bool Late(ConnectionStart* start) {
        if (start == nullptr) return false;
        std::lock_guard lock(mutex);
        return Clock::now() - start->at > std::chrono::seconds(limits.requestSeconds);
    }

    // The first call: the head is whole. Returns an answer when the request is refused at once.
    // The length and the transfer encoding are kept in state.
    std::optional<HttpAnswer> CheckHead(MHD_Connection* connection, const char* method,
                                        RequestState& state) {
        state.chunked = MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                    MHD_HTTP_HEADER_TRANSFER_ENCODING) != nullptr;
        state.length = ContentLength(connection);
        const bool chunked = state.chunked;
        const std::optional<long long>& length = state.length;
        HeaderCount headers;
        MHD_get_connection_values(connection, MHD_HEADER_KIND, &CountHeader, &headers);
        if (headers.lines > kMaxHeaderLines || headers.bytes > kMaxHeaderBytes) {
            return Refusal(431, "too many headers");
        }
        // Two lengths leave the body's end to whoever reads them: no request of ours.
        if (headers.contentLengths > 1) return Refusal(400, "more than one Content-Length");
        const bool post = method != nullptr && std::strcmp(method, "POST") == 0;
        if (length && *length < 0) return Refusal(400, "a Content-Length that is no number");
        if (post) {
            if (chunked || !length) return Refusal(411, "a body's length is needed");
            if (*length > static_cast<long long>(limits.maxBody)) {
                return Refusal(413, "a body larger than a replay can be");
            }
        }
        return std::nullopt;
    }

    HttpRequest RequestOf(MHD_Connection* connection, const char* url, const char* method,
                          RequestState& state) {
        HttpRequest request;
        request.method = method != nullptr ? method : "";
        request.path = url != nullptr ? url : "";
        request.address = AddressOf(connection);
        if (std::find(limits.trustedProxies.begin(), limits.trustedProxies.end(),
                      request.address) != limits.trustedProxies.end()) {
            const std::string client = ForwardedClient(connection);
            if (!client.empty()) request.address = client;
        }
        request.hasBody =
            state.chunked || (state.length && *state.length != 0) || !state.body.empty();
        request.body = std::move(state.body);
        MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, &AddArgument, &request);
        return request;
    }

    static MHD_Result Access(void* cls, MHD_Connection* connection, const char* url,
                             const char* method, const char*, const char* uploadData,
                             std::size_t* uploadSize, void** requestContext) {
        auto* self = static_cast<Daemon*>(cls);
        auto* state = static_cast<RequestState*>(*requestContext);
        if (state == nullptr) {
            // The first call comes with the head: refuse what no game or browser sends, take a
            // POST's body, and answer the rest when the request is whole (so that the
            // connection can be kept for the next one).
            state = new RequestState;  // owned by the request, freed when it completes
            *requestContext = state;
            if (self->Late(self->StartOf(connection))) {
                return Queue(connection, Refusal(408, "too slow"));
            }
            if (auto refused = self->CheckHead(connection, method, *state)) {
                return Queue(connection, *refused);
            }
            const bool post = method != nullptr && std::strcmp(method, "POST") == 0;
            // A body on anything but a POST is not read: the handler refuses it, and the answer
            // closes the connection.
            if (!post && state->length && *state->length != 0)
                return self->Answer(connection, url, method, *state);
            return MHD_YES;
        }
        if (*uploadSize > 0) {
            if (state->body.size() + *uploadSize > self->limits.maxBody) {
                *uploadSize = 0;
                return Queue(connection, Refusal(413, "a body larger than a replay can be"));
            }
            state->body.append(uploadData, *uploadSize);
            *uploadSize = 0;
            return MHD_YES;
        }
        if (state->pending) {
            // Woken because the answer came.
            std::lock_guard lock(state->pending->mutex);
            return Queue(connection, state->pending->answer);
        }
        if (self->Late(self->StartOf(connection))) {
            return Queue(connection, Refusal(408, "too slow"));
        }
        return self->Answer(connection, url, method, *state);
    }

    // Hands the whole request to the handler; its answer is queued now, or the connection waits
    // for it without holding up the loop.
    MHD_Result Answer(MHD_Connection* connection, const char* url, const char* method,
                      RequestState& state) {
        state.pending = std::make_shared<Pending>();
        Pending& pending = *state.pending;
        pending.connection = connection;
        const HttpRequest request = RequestOf(connection, url, method, state);
        Reply reply = [shared = state.pending](HttpAnswer answer) {
            std::lock_guard lock(shared->mutex);
            if (shared->answered) return;
            shared->answer = std::move(answer);
            shared->answered = true;
            if (shared->suspended) MHD_resume_connection(shared->connection);
        };
        try {
            handler(request, reply);
        } catch (const std::exception& e) {
            if (limits.log != nullptr) {
                limits.log->Line(request.address, std::string("server error: ") + e.what());
            } else {
                std::fprintf(stderr, "vrumbal-scores: %s\n", e.what());
            }
            reply(HttpAnswer{500, "text/plain; charset=utf-8", "server error\n", {}});
        }
        std::lock_guard lock(pending.mutex);
        if (pending.answered) return Queue(connection, pending.answer);
        // Parked under the lock: the answer cannot wake it before it sleeps.
        if (ConnectionStart* start = StartOf(connection)) {
            std::lock_guard startLock(mutex);
            start->suspended = true;
        }
        pending.suspended = true;
        MHD_suspend_connection(connection);
        return MHD_YES;
    }
};

HttpServer::HttpServer(const std::string& address, int port, const HttpLimits& limits,
                       Handler handler)
    : daemon_(std::make_unique<Daemon>()) {
    daemon_->handler = std::move(handler);
    daemon_->limits = limits;
    sockaddr_storage bindTo{};
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_ERROR_LOG |
                     MHD_ALLOW_SUSPEND_RESUME;
    auto* four = reinterpret_cast<sockaddr_in*>(&bindTo);
    auto* six = reinterpret_cast<sockaddr_in6*>(&bindTo);
    if (inet_pton(AF_INET, address.c_str(), &four->sin_addr) == 1) {
        four->sin_family = AF_INET;
        four->sin_port = htons(static_cast<std::uint16_t>(port));
    } else if (inet_pton(AF_INET6, address.c_str(), &six->sin6_addr) == 1) {
        six->sin6_family = AF_INET6;
        six->sin6_port = htons(static_cast<std::uint16_t>(port));
        flags |= MHD_USE_IPv6;
        // The unspecified address takes IPv4 clients as well.
        if (IN6_IS_ADDR_UNSPECIFIED(&six->sin6_addr)) flags |= MHD_USE_DUAL_STACK;
    } else {
        throw std::runtime_error("not an IPv4 or IPv6 address: " + address);
    }
    daemon_->daemon = MHD_start_daemon(
        flags, static_cast<std::uint16_t>(port), nullptr, nullptr, &Daemon::Access, daemon_.get(),
        MHD_OPTION_EXTERNAL_LOGGER, &LogComplaint, limits.log, MHD_OPTION_SOCK_ADDR,
        reinterpret_cast<sockaddr*>(&bindTo), MHD_OPTION_THREAD_POOL_SIZE, limits.threads,
        MHD_OPTION_CONNECTION_LIMIT, limits.connections, MHD_OPTION_PER_IP_CONNECTION_LIMIT,
        limits.perAddress, MHD_OPTION_CONNECTION_TIMEOUT, limits.idleSeconds,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, limits.memoryPerConnection,
        MHD_OPTION_NOTIFY_CONNECTION, &Daemon::Notify, daemon_.get(), MHD_OPTION_NOTIFY_COMPLETED,
        &Daemon::Completed, daemon_.get(), MHD_OPTION_LISTEN_BACKLOG_SIZE, 1024u, MHD_OPTION_END);
    if (daemon_->daemon == nullptr) {
        throw std::runtime_error("cannot listen on " + address + " port " + std::to_string(port));
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
