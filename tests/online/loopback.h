#pragma once
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vrumbal::test {

// The replay file of a game the developer's tool played on the build's content: level 1 at
// full throttle until the lives are gone, then name (UTF-8) typed into the high-score table,
// which takes any score. Another name or seed is another game. Throws when the tool fails.
std::string RecordedGame(const std::string& name, std::uint64_t seed = 1);

// A loopback port nobody listens on at the moment of asking.
int FreeLoopbackPort();

// True once something accepts connections on the loopback port, false when the deadline
// passes first.
bool WaitForPort(int port, std::chrono::milliseconds deadline);

// The score server binary of this build, next to the tool's folder.
std::filesystem::path ScoreServerBinary();

// A score server process on a loopback port with its database file; stopped when it goes.
class ScoreServerProcess {
public:
    // db is an SQLite file or a PostgreSQL URI; the server re-runs replays on the build's
    // content. Unless told otherwise it lets one address store many results at once (tests
    // send them all from 127.0.0.1) and keeps unproven results apart.
    ScoreServerProcess(const std::string& db, const std::filesystem::path& log,
                       std::vector<std::string> extraArgs = {"--results-at-once", "100000",
                                                             "--accept-unproven"});
    ~ScoreServerProcess();
    ScoreServerProcess(const ScoreServerProcess&) = delete;
    ScoreServerProcess& operator=(const ScoreServerProcess&) = delete;
    // "127.0.0.1:port".
    std::string Host() const;
    // Still running.
    bool Alive();
    // Stops the process with SIGTERM (SIGKILL if it lingers); true when it ended by itself
    // with status 0 after the SIGTERM.
    bool Stop();

private:
    int port_ = 0;    // where it listens
    pid_t pid_ = -1;  // the process, -1 once reaped
};

// A listening socket that never answers: connections are taken by the system and then hear
// nothing.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    // "127.0.0.1:port".
    std::string Host() const;

private:
    int socket_ = -1;  // the listening socket
    int port_ = 0;     // its port
};

// A server of one connection (or a few, one after another) on its own thread: it reads each
// request head, keeps it, and then lets the handler talk to the connection (raw socket);
// then it reads what is left until the client hangs up.
class OneShotServer {
public:
    // The handler gets the connected socket; it may write anything or nothing.
    using Handler = std::function<void(int connection)>;
    explicit OneShotServer(Handler handler, int connections = 1);
    ~OneShotServer();
    OneShotServer(const OneShotServer&) = delete;
    OneShotServer& operator=(const OneShotServer&) = delete;
    // "127.0.0.1:port".
    std::string Host() const;
    // The last request head it read (valid after the client has finished).
    std::string Request();
    // Every request head it read, in order.
    std::vector<std::string> Requests();

private:
    int socket_ = -1;                    // the listening socket
    int port_ = 0;                       // its port
    std::mutex mutex_;                   // guards requests_
    std::vector<std::string> requests_;  // the request heads as read
    std::atomic<bool> stopping_{false};  // the owner is going
    std::thread thread_;                 // accepts and serves the one connection
};

// A connected loopback socket (the caller closes it), -1 when nothing listens.
int ConnectLoopback(int port, const char* from = nullptr);

// Sends raw bytes to a loopback port and returns what comes back until the server closes,
// the wait runs out or 64 KiB arrived.
std::string RawExchange(int port, const std::string& bytes, std::chrono::milliseconds wait,
                        const char* from = nullptr);

// The status code of a raw HTTP answer, 0 when it is not one.
int StatusOf(const std::string& answer);

}  // namespace vrumbal::test
