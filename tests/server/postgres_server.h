#pragma once
#include <filesystem>
#include <memory>
#include <string>

namespace vrumbal::test {

// A PostgreSQL 15 server of a test's own: a fresh cluster in a scratch folder, listening on a
// free port of 127.0.0.1, stopped and removed when it goes, whatever the test's outcome.
class PostgresServer {
public:
    // Starts one; Running() tells whether it came up, Why() why not.
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool Running() const { return running_; }
    const std::string& Why() const { return why_; }
    // A new empty database on it; its connection URI.
    std::string NewDatabase();

private:
    std::string Run(const std::string& command, int* status = nullptr) const;

    std::filesystem::path dir_;  // the cluster, its socket and its log
    int port_ = 0;
    bool asPostgres_ = false;  // commands run as the postgres user (the tests run as root)
    bool running_ = false;
    int databases_ = 0;
    std::string why_;
};

}  // namespace vrumbal::test
