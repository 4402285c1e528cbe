// vrumbal-scores-load: many concurrent clients on loopback against a running score server,
// sending valid results and reading the world page, each client from its own loopback
// address (127.0.0.2 and up) so that the rate limit sees many players. Prints results and
// pages per second and the 99th percentile of the answers' latency, then checks that every
// accepted result is on the world table exactly once.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "online/score_protocol.h"
#include "online/score_record.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int port = 0;
    int clients = 64;
    int addresses = 64;
    double seconds = 10;
    int pagesPerResult = 10;  // page reads between two results of a client
};

int Connect(int port, const std::string& from) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return -1;
    sockaddr_in source{};
    source.sin_family = AF_INET;
    inet_pton(AF_INET, from.c_str(), &source.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    const int one = 1;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (bind(s, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
        connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        close(s);
        return -1;
    }
    return s;
}

// One request on a kept-alive connection; the status, 0 on a broken connection.
int Exchange(int s, const std::string& target, std::string* body) {
    const std::string request = "GET " + target + " HTTP/1.1\r\nHost: load\r\n\r\n";
    if (send(s, request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size())) {
        return 0;
    }
    std::string answer;
    char buffer[65536];
    std::size_t headerEnd = std::string::npos, length = 0;
    while (true) {
        const ssize_t n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) return 0;
        answer.append(buffer, static_cast<std::size_t>(n));
        if (headerEnd == std::string::npos) {
            headerEnd = answer.find("\r\n\r\n");
            if (headerEnd == std::string::npos) continue;
            const auto at = answer.find("Content-Length: ");
            length =
                at == std::string::npos ? 0 : std::strtoul(answer.c_str() + at + 16, nullptr, 10);
        }
        if (answer.size() >= headerEnd + 4 + length) break;
    }
    if (body != nullptr) *body = answer.substr(headerEnd + 4, length);
    return std::atoi(answer.c_str() + 9);
}

std::string ResultTarget(const std::string& name, int score) {
    std::string text = "type=0|name=" + name + "|score=" + std::to_string(score) +
                       "|key=" + std::string(1, vrumbal::kRecordKey) + "|p=|add=Load|z=";
    while (text.size() % 5 != 0) text += '0';
    return std::string(vrumbal::kScoreScriptPath) +
           "?hs&prg=Drovix&inf=" + vrumbal::EncodeRecord(text);
}

std::string PageTarget(int page) {
    return std::string(vrumbal::kScoreScriptPath) +
           "?show&prg=Drovix&type=0&page=" + std::to_string(page);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        const double v = std::atof(argv[i + 1]);
        if (a == "--port")
            o.port = static_cast<int>(v);
        else if (a == "--clients")
            o.clients = static_cast<int>(v);
        else if (a == "--addresses")
            o.addresses = static_cast<int>(v);
        else if (a == "--seconds")
            o.seconds = v;
        else if (a == "--pages-per-result")
            o.pagesPerResult = static_cast<int>(v);
        else {
            std::fprintf(stderr, "unknown option %s\n", a.c_str());
            return 2;
        }
    }
    if (o.port <= 0 || o.clients <= 0 || o.addresses <= 0 || o.addresses > 250 || o.seconds <= 0 ||
        o.seconds > 600) {
        std::fputs(
            "usage: vrumbal-scores-load --port P [--clients N] [--addresses K (<= 250)]\n"
            "       [--seconds S (<= 600)] [--pages-per-result R]\n",
            stderr);
        return 2;
    }
    std::mutex mutex;
    std::vector<double> latencies;
    std::vector<std::string> accepted;
    std::atomic<long> results{0}, pages{0}, refused{0}, failed{0};
    const auto end = Clock::now() + std::chrono::duration<double>(o.seconds);
    std::vector<std::thread> clients;
    for (int c = 0; c < o.clients; ++c) {
        clients.emplace_back([&, c] {
            const std::string from = "127.0.0." + std::to_string(2 + c % o.addresses);
            std::vector<double> mine;
            std::vector<std::string> stored;
            int s = Connect(o.port, from);
            for (long n = 0; Clock::now() < end; ++n) {
                if (s < 0) s = Connect(o.port, from);
                if (s < 0) {
                    ++failed;
                    continue;
                }
                const bool result = n % (o.pagesPerResult + 1) == 0;
                const std::string name = "L" + std::to_string(getpid()) + "c" + std::to_string(c) +
                                         "x" + std::to_string(n);
                const auto start = Clock::now();
                const int status = Exchange(s,
                                            result ? ResultTarget(name, static_cast<int>(n % 60000))
                                                   : PageTarget(1 + static_cast<int>(n % 3)),
                                            nullptr);
                mine.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count());
                if (status == 0) {
                    ++failed;
                    close(s);
                    s = -1;
                } else if (status == 429) {
                    ++refused;
                } else if (status != 200) {
                    ++failed;
                } else if (result) {
                    ++results;
                    stored.push_back(name);
                } else {
                    ++pages;
                }
            }
            if (s >= 0) close(s);
            std::lock_guard lock(mutex);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
            accepted.insert(accepted.end(), stored.begin(), stored.end());
        });
    }
    for (auto& t : clients) t.join();
    std::sort(latencies.begin(), latencies.end());
    const double p99 = latencies.empty() ? 0 : latencies[latencies.size() * 99 / 100];
    std::printf(
        "%d clients from %d addresses for %.0f s: %.0f results/s, %.0f pages/s, "
        "p99 %.1f ms, %ld refused, %ld failed\n",
        o.clients, o.addresses, o.seconds, results / o.seconds, pages / o.seconds, p99,
        refused.load(), failed.load());
    // Every accepted result is on the table exactly once: read every page.
    std::map<std::string, int> seen;
    const int s = Connect(o.port, "127.0.0.1");
    for (int page = 1; s >= 0; ++page) {
        std::string body;
        if (Exchange(s, PageTarget(page), &body) != 200 ||
            body.find("<tbody>") == std::string::npos)
            break;
        for (std::size_t at = body.find("<td>"); at != std::string::npos;
             at = body.find("<td>", at + 4)) {
            const std::size_t stop = body.find("</td>", at);
            const std::string cell = body.substr(at + 4, stop - at - 4);
            if (!cell.empty() && cell[0] == 'L' && cell.find('x') != std::string::npos)
                ++seen[cell];
        }
    }
    if (s >= 0) close(s);
    long missing = 0, doubled = 0;
    for (const std::string& name : accepted) {
        const auto it = seen.find(name);
        if (it == seen.end())
            ++missing;
        else if (it->second != 1)
            ++doubled;
    }
    std::printf("%zu accepted results: %ld missing from the table, %ld on it more than once\n",
                accepted.size(), missing, doubled);
    return missing == 0 && doubled == 0 && failed == 0 ? 0 : 1;
}
