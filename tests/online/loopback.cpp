#include "online/loopback.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <stdexcept>

#include "game/game_state.h"
#include "save/options_file.h"
#include "save/save_files.h"
#include "support/test_support.h"

namespace vrumbal::test {
namespace {

// Tries to start a server before giving up on finding a port for it.
constexpr int kStartAttempts = 3;
constexpr std::chrono::milliseconds kStartWait{5000};

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A listening loopback socket on a port of the system's choosing.
int ListenAnywhere(int* port) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) throw std::runtime_error("socket failed");
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(s);
        throw std::runtime_error("cannot listen on loopback");
    }
    *port = ntohs(address.sin_port);
    return s;
}

std::string HostOf(int port) {
    return "127.0.0.1:" + std::to_string(port);
}

// Waits for a socket to become readable; false when the wait runs out.
bool Readable(int s, std::chrono::milliseconds wait) {
    pollfd p{s, POLLIN, 0};
    return poll(&p, 1, static_cast<int>(wait.count())) > 0;
}

// An answer's head has arrived with as many body bytes as it announced (the server may keep
// the connection open after it).
bool AnswerComplete(const std::string& answer) {
    const std::size_t headEnd = answer.find("\r\n\r\n");
    if (headEnd == std::string::npos) return false;
    std::string head = answer.substr(0, headEnd);
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t field = head.find("\r\ncontent-length:");
    if (field == std::string::npos) return false;
    const std::size_t length = std::strtoul(head.c_str() + field + 17, nullptr, 10);
    return answer.size() - (headEnd + 4) >= length;
}

}  // namespace

std::string RecordedGame(const std::string& name, std::uint64_t seed) {
    static std::mutex mutex;
    static std::map<std::pair<std::string, std::uint64_t>, std::string> made;
    std::lock_guard lock(mutex);
    const auto key = std::make_pair(name, seed);
    if (const auto it = made.find(key); it != made.end()) return it->second;
    TempDir dir;
    LinkBuiltData(dir.Path());
    GameState state;
    DefaultOptions(state);
    DefaultHighScores(state);
    for (int k = 1; k <= kHighScoreTableSize; ++k) state.HighScores[k].score = -1;
    if (!WriteSaveFiles(state, dir.Path())) throw std::runtime_error("cannot write the saves");
    const auto script = dir.Path() / "throttle.txt";
    std::ofstream(script) << "0 key down Up\n";
    const auto file = dir.Path() / "game.vrr";
    const std::string command = std::string(VRUMBAL_TOOL_PATH) + " play --data '" +
                                dir.Path().string() + "' --start-race --no-draw --frames 15000" +
                                " --seed " + std::to_string(seed) + " --script '" +
                                script.string() + "' --name '" + name + "' --record '" +
                                file.string() + "' 2>/dev/null";
    if (RunCommand(command) != 0) throw std::runtime_error("the tool did not record: " + command);
    std::ifstream in(file, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    made[key] = bytes;
    return bytes;
}

int ConnectLoopback(int port, const char* from) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return -1;
    if (from != nullptr) {
        sockaddr_in source{};
        source.sin_family = AF_INET;
        inet_pton(AF_INET, from, &source.sin_addr);
        if (bind(s, reinterpret_cast<const sockaddr*>(&source), sizeof source) != 0) {
            close(s);
            return -1;
        }
    }
    const sockaddr_in address = Loopback(port);
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(s);
        return -1;
    }
    return s;
}

int FreeLoopbackPort() {
    int port = 0;
    close(ListenAnywhere(&port));
    return port;
}

bool WaitForPort(int port, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (std::chrono::steady_clock::now() < end) {
        const int s = ConnectLoopback(port);
        if (s >= 0) {
            close(s);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::filesystem::path ScoreServerBinary() {
    return std::filesystem::path(VRUMBAL_TOOL_PATH).parent_path().parent_path() / "server" /
           "vrumbal-scores";
}

ScoreServerProcess::ScoreServerProcess(const std::string& db, const std::filesystem::path& log,
                                       std::vector<std::string> extraArgs) {
    const std::string binary = ScoreServerBinary().string();
    if (access(binary.c_str(), X_OK) != 0) {
        throw std::runtime_error("the score server is not built: " + binary);
    }
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        port_ = FreeLoopbackPort();
        const std::string port = std::to_string(port_);
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (out >= 0) dup2(out, STDERR_FILENO);
            std::vector<std::string> args = {binary,   "--port",          port,        "--db", db,
                                             "--data", VRUMBAL_BUILD_DIR, "--workers", "2"};
            args.insert(args.end(), extraArgs.begin(), extraArgs.end());
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(binary.c_str(), argv.data());
            _exit(127);
        }
        const auto end = std::chrono::steady_clock::now() + Patience(kStartWait);
        while (std::chrono::steady_clock::now() < end && Alive()) {
            if (WaitForPort(port_, std::chrono::milliseconds(100))) return;
        }
        Stop();  // it died (the port was taken meanwhile) or never came up
    }
    throw std::runtime_error("the score server did not start");
}

ScoreServerProcess::~ScoreServerProcess() {
    Stop();
}

std::string ScoreServerProcess::Host() const {
    return HostOf(port_);
}

bool ScoreServerProcess::Alive() {
    if (pid_ < 0) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
    }
    return true;
}

bool ScoreServerProcess::Stop() {
    if (pid_ < 0) return false;
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return false;
}

SilentListener::SilentListener() {
    socket_ = ListenAnywhere(&port_);
}

SilentListener::~SilentListener() {
    close(socket_);
}

std::string SilentListener::Host() const {
    return HostOf(port_);
}

OneShotServer::OneShotServer(Handler handler, int connections) {
    socket_ = ListenAnywhere(&port_);
    thread_ = std::thread([this, handler = std::move(handler), connections]() mutable {
        // Bounded waits: a test whose client never comes still ends.
        for (int i = 0; i < 200 * TimeScale() && !stopping_ && connections > 0; ++i) {
            if (!Readable(socket_, std::chrono::milliseconds(50))) continue;
            const int connection = accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) return;
            std::string head;
            char buffer[1024];
            while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 &&
                   Readable(connection, Patience(std::chrono::milliseconds(2000)))) {
                const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                head.append(buffer, static_cast<std::size_t>(n));
            }
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(head);
            }
            handler(connection);
            // Read what the client still sends (a body) until it hangs up: closing a socket
            // with unread bytes resets the connection, and the client may lose the answer.
            shutdown(connection, SHUT_WR);
            while (Readable(connection, Patience(std::chrono::milliseconds(2000))) &&
                   recv(connection, buffer, sizeof buffer, 0) > 0) {
            }
            close(connection);
            --connections;
        }
    });
}

OneShotServer::~OneShotServer() {
    stopping_ = true;
    thread_.join();
    close(socket_);
}

std::string OneShotServer::Host() const {
    return HostOf(port_);
}

std::string OneShotServer::Request() {
    std::lock_guard lock(mutex_);
    return requests_.empty() ? std::string() : requests_.back();
}

std::vector<std::string> OneShotServer::Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::string RawExchange(int port, const std::string& bytes, std::chrono::milliseconds wait,
                        const char* from) {
    const int s = ConnectLoopback(port, from);
    if (s < 0) return {};
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(s, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;  // the server may hang up on an oversized request early
        sent += static_cast<std::size_t>(n);
    }
    std::string answer;
    char buffer[4096];
    const auto end = std::chrono::steady_clock::now() + wait;
    while (answer.size() < 65536 && std::chrono::steady_clock::now() < end &&
           Readable(s, std::chrono::duration_cast<std::chrono::milliseconds>(
                           end - std::chrono::steady_clock::now()))) {
        const ssize_t n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        answer.append(buffer, static_cast<std::size_t>(n));
        if (AnswerComplete(answer)) break;
    }
    close(s);
    return answer;
}

int StatusOf(const std::string& answer) {
    if (answer.rfind("HTTP/1.1 ", 0) != 0 || answer.size() < 12) return 0;
    return std::atoi(answer.substr(9, 3).c_str());
}

}  // namespace vrumbal::test
