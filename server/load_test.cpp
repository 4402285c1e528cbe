// vrumbal-scores-load: a running score server under honest and hostile load on loopback, each
// kind of client from addresses of its own (127.0.0.0/8 gives every client an address):
// honest players sending their games' replays once each, page readers, forgers sending bare
// perfect scores from 253 addresses, and 253 addresses each holding open as many idle
// connections as the server allows one address. Prints the proven results per second, the
// server's CPU time per re-run, the pages per second and their 99th percentile, then checks
// that every result answered 200 is on the world table.
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
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "game/replay.h"
#include "online/score_protocol.h"
#include "online/score_record.h"
#include "online/score_submit.h"
#include "platform/codepage.h"
#include "save/save_paths.h"
#include "world_page.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int port = 0;
    std::filesystem::path replays;  // a folder of replay files, each sent once
    double seconds = 10;            // how long the readers, forgers and flood go on
    int senders = 4;                // honest players sending at once
    int readers = 8;                // page readers
    int forgers = 253;              // addresses sending forged bare results
    int floodAddresses = 253;       // addresses holding connections open
    int floodConnections = 4;       // connections each holds
    int serverPid = 0;              // for the server's CPU time (0: not measured)
};

// The address of client n of a kind: 127.<kind>.<n / 250>.<2 + n % 250>.
std::string AddressOf(int kind, int n) {
    return "127." + std::to_string(kind) + "." + std::to_string(n / 250) + "." +
           std::to_string(2 + n % 250);
}

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
    timeval wait{15, 0};  // a re-run in a long queue may take a while
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    if (bind(s, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
        connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        close(s);
        return -1;
    }
    return s;
}

// One request on a kept-alive connection; the status, 0 on a broken connection.
int Exchange(int s, const std::string& method, const std::string& target, const std::string& body,
             std::string* answerBody) {
    std::string request = method + " " + target + " HTTP/1.1\r\nHost: load\r\n";
    if (method == "POST") request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    request += "\r\n" + body;
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
    if (answerBody != nullptr) *answerBody = answer.substr(headerEnd + 4, length);
    return std::atoi(answer.c_str() + 9);
}

std::string ForgedTarget(int n) {
    const vrumbal::ScoreRecord record{"Forger" + std::to_string(n), 68300, "X"};
    return vrumbal::SubmitTarget(vrumbal::EncodeRecord(vrumbal::ScoreRecordText(record)));
}

// The server's CPU time so far, in seconds (user and system), or -1.
double CpuSeconds(int pid) {
    if (pid <= 0) return -1;
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::vector<std::string> fields;
    std::size_t at = close + 2;
    while (at < stat.size()) {
        const auto next = stat.find(' ', at);
        fields.push_back(stat.substr(at, next - at));
        if (next == std::string::npos) break;
        at = next + 1;
    }
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    if (fields.size() < 13) return -1;
    return (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str())) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

double Percentile(std::vector<double> values, int percent) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() * static_cast<std::size_t>(percent) / 100];
}

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        const std::string v = argv[i + 1];
        const int n = std::atoi(v.c_str());
        if (a == "--port") {
            o.port = n;
        } else if (a == "--replays") {
            o.replays = v;
        } else if (a == "--seconds") {
            o.seconds = std::atof(v.c_str());
        } else if (a == "--senders") {
            o.senders = n;
        } else if (a == "--readers") {
            o.readers = n;
        } else if (a == "--forgers") {
            o.forgers = n;
        } else if (a == "--flood-addresses") {
            o.floodAddresses = n;
        } else if (a == "--flood-connections") {
            o.floodConnections = n;
        } else if (a == "--server-pid") {
            o.serverPid = n;
        } else {
            return false;
        }
    }
    return o.port > 0 && o.seconds > 0 && o.seconds <= 600 && o.senders >= 0 && o.readers >= 0 &&
           o.forgers >= 0 && o.forgers <= 1000 && o.floodAddresses >= 0 &&
           o.floodAddresses <= 1000 && o.floodConnections >= 0 && o.floodConnections <= 100;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fputs(
            "usage: vrumbal-scores-load --port P [--replays DIR] [--seconds S] [--senders N]\n"
            "       [--readers N] [--forgers N] [--flood-addresses N] [--flood-connections N]\n"
            "       [--server-pid PID]\n",
            stderr);
        return 2;
    }
    // The honest games: every replay file of the folder, each sent once.
    std::vector<std::string> games;
    std::vector<std::string> names;
    if (!o.replays.empty()) {
        for (const auto& item : std::filesystem::directory_iterator(o.replays)) {
            std::string bytes = vrumbal::ReadSaveFile(item.path()).value_or("");
            vrumbal::Replay replay;
            // Only whole games with a name make a result.
            if (!vrumbal::DecodeReplay(bytes, replay).empty() || replay.name.empty()) continue;
            games.push_back(std::move(bytes));
            names.push_back(vrumbal::Cp1251ToUtf8(replay.name));
        }
    }
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::vector<double> pageMs, resultMs;
    std::set<std::string> stored;
    std::atomic<long> pages{0}, pageFailures{0}, forged{0}, forgedStored{0}, busy{0}, refused{0},
        unanswered{0}, held{0};

    // The flood: idle connections, opened again whenever the server closes one.
    std::vector<std::thread> flood;
    for (int a = 0; a < o.floodAddresses; ++a) {
        flood.emplace_back([&, a] {
            const std::string from = AddressOf(1, a);
            std::vector<int> open;
            while (!stop) {
                for (auto it = open.begin(); it != open.end();) {
                    char byte;
                    if (recv(*it, &byte, 1, MSG_DONTWAIT) == 0) {
                        close(*it);
                        it = open.erase(it);
                        --held;
                    } else {
                        ++it;
                    }
                }
                while (static_cast<int>(open.size()) < o.floodConnections) {
                    const int s = Connect(o.port, from);
                    if (s < 0) break;
                    open.push_back(s);
                    ++held;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            }
            for (int s : open) close(s);
        });
    }
    // The forgers: bare perfect scores, a new connection for each.
    std::vector<std::thread> forgers;
    for (int a = 0; a < o.forgers; ++a) {
        forgers.emplace_back([&, a] {
            const std::string from = AddressOf(2, a);
            for (int n = 0; !stop; ++n) {
                const int s = Connect(o.port, from);
                if (s < 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    continue;
                }
                const int status = Exchange(s, "GET", ForgedTarget(a * 100000 + n), "", nullptr);
                close(s);
                ++forged;
                if (status == 200) ++forgedStored;
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the flood is in place
    const double cpuBefore = CpuSeconds(o.serverPid);
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(o.seconds);
    // The readers: pages 1 to 3, each visit a connection of its own as a browser's first visit
    // is, timed from the connection's start.
    std::vector<std::thread> readers;
    for (int r = 0; r < o.readers; ++r) {
        readers.emplace_back([&, r] {
            const std::string from = AddressOf(3, r);
            std::vector<double> mine;
            for (int n = 0; Clock::now() < end; ++n) {
                const auto at = Clock::now();
                const int s = Connect(o.port, from);
                const int status =
                    s < 0
                        ? 0
                        : Exchange(s, "GET", vrumbal::scores::TableAddress(true, 1 + n % 3, false),
                                   "", nullptr);
                if (s >= 0) close(s);
                mine.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - at).count());
                if (status == 200) {
                    ++pages;
                } else {
                    ++pageFailures;
                }
            }
            std::lock_guard lock(mutex);
            pageMs.insert(pageMs.end(), mine.begin(), mine.end());
        });
    }
    // The honest players: each game once, from an address of its own, until all are sent.
    std::atomic<std::size_t> next{0};
    std::atomic<long> resultsDone{0};
    Clock::time_point lastResult = start;
    std::vector<std::thread> senders;
    for (int p = 0; p < o.senders; ++p) {
        senders.emplace_back([&] {
            for (std::size_t g = next++; g < games.size(); g = next++) {
                const int s = Connect(o.port, AddressOf(4, static_cast<int>(g)));
                const auto at = Clock::now();
                std::string body;
                const int status =
                    s < 0 ? 0 : Exchange(s, "POST", vrumbal::UploadTarget("Load"), games[g], &body);
                if (s >= 0) close(s);
                const double ms =
                    std::chrono::duration<double, std::milli>(Clock::now() - at).count();
                std::lock_guard lock(mutex);
                resultMs.push_back(ms);
                if (status == 200) {
                    stored.insert(names[g]);
                    ++resultsDone;
                    lastResult = Clock::now();
                } else if (status == 503 || status == 429) {
                    ++busy;
                } else if (status == 0) {
                    ++unanswered;
                } else {
                    ++refused;
                    std::fprintf(stderr, "refused %s: %d %s", names[g].c_str(), status,
                                 body.c_str());
                }
            }
        });
    }
    for (auto& t : senders) t.join();
    const double cpuAfterResults = CpuSeconds(o.serverPid);
    const double resultSeconds = std::chrono::duration<double>(lastResult - start).count();
    for (auto& t : readers) t.join();
    stop = true;
    for (auto& t : forgers) t.join();
    for (auto& t : flood) t.join();

    std::printf(
        "load: %d page readers, %d forging and %d flooding addresses (%d connections "
        "each, %ld held at the end), %.0f s\n",
        o.readers, o.forgers, o.floodAddresses, o.floodConnections, held.load(), o.seconds);
    std::printf(
        "proven results: %ld of %zu stored in %.1f s (%.1f/s), %ld busy, %ld refused, "
        "%ld unanswered; answer p50 %.0f ms, p99 %.0f ms\n",
        resultsDone.load(), games.size(), resultSeconds,
        resultSeconds > 0 ? resultsDone / resultSeconds : 0.0, busy.load(), refused.load(),
        unanswered.load(), Percentile(resultMs, 50), Percentile(resultMs, 99));
    if (cpuBefore >= 0 && resultsDone > 0) {
        std::printf(
            "server CPU while the results came: %.2f s, %.0f ms a result (re-run included, "
            "with the pages and refusals of the same time)\n",
            cpuAfterResults - cpuBefore, 1000 * (cpuAfterResults - cpuBefore) / resultsDone);
    }
    std::printf("pages: %.0f/s, p50 %.1f ms, p99 %.1f ms, %ld failed\n", pages / o.seconds,
                Percentile(pageMs, 50), Percentile(pageMs, 99), pageFailures.load());
    std::printf("forged results: %ld sent, %ld stored\n", forged.load(), forgedStored.load());

    // Every result answered 200 is on the table: read every page.
    std::set<std::string> seen;
    const int s = Connect(o.port, "127.0.0.1");
    for (int page = 1; s >= 0 && page < 1000; ++page) {
        std::string body;
        if (Exchange(s, "GET", vrumbal::scores::TableAddress(true, page, false), "", &body) !=
                200 ||
            body.find("<tbody>") == std::string::npos)
            break;
        const std::string open = "<span class=\"name\">";
        for (std::size_t at = body.find(open); at != std::string::npos;
             at = body.find(open, at + 1)) {
            const std::size_t from = at + open.size();
            seen.insert(body.substr(from, body.find("</span>", from) - from));
        }
    }
    if (s >= 0) close(s);
    long missing = 0;
    for (const std::string& name : stored) missing += seen.count(name) == 0 ? 1 : 0;
    std::printf("%zu results answered 200: %ld missing from the table\n", stored.size(), missing);
    return missing == 0 && forgedStored == 0 ? 0 : 1;
}
