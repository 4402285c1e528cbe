#include "postgres_server.h"

#include <libpq-fe.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "loopback.h"
#include "support/test_support.h"

namespace vrumbal::test {
namespace {

const std::filesystem::path kBin = "/usr/lib/postgresql/15/bin";

}  // namespace

std::string PostgresServer::Run(const std::string& command, int* status) const {
    const std::string full = (asPostgres_ ? "runuser -u postgres -- " : "") + command + " 2>&1";
    std::string output;
    const int s = RunCommand(full, &output);
    if (status != nullptr) *status = s;
    return output;
}

PostgresServer::PostgresServer() {
    if (!std::filesystem::exists(kBin / "initdb") || !std::filesystem::exists(kBin / "pg_ctl")) {
        why_ = "PostgreSQL 15 is not installed (scripts/install-deps.sh installs postgresql-15)";
        return;
    }
    // PostgreSQL refuses to run as root: then the cluster belongs to the postgres user.
    asPostgres_ = geteuid() == 0;
    char pattern[] = "/tmp/vrumbal-pg-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        why_ = "no scratch folder";
        return;
    }
    dir_ = pattern;
    if (asPostgres_) {
        const passwd* pg = getpwnam("postgres");
        if (pg == nullptr || chown(dir_.c_str(), pg->pw_uid, pg->pw_gid) != 0) {
            why_ = "the postgres user is missing";
            return;
        }
    }
    int status = 0;
    const std::string init = Run((kBin / "initdb").string() + " -D '" + (dir_ / "data").string() +
                                     "' -U postgres --auth=trust -E UTF8 --no-sync",
                                 &status);
    if (status != 0) {
        why_ = "initdb failed: " + init;
        return;
    }
    for (int attempt = 0; attempt < 5 && !running_; ++attempt) {
        port_ = FreeLoopbackPort();
        const std::string start =
            Run((kBin / "pg_ctl").string() + " -D '" + (dir_ / "data").string() + "' -l '" +
                    (dir_ / "log").string() + "' -w -t 30 -o '-p " + std::to_string(port_) +
                    " -k " + dir_.string() + " -c listen_addresses=127.0.0.1 -c fsync=off' start",
                &status);
        running_ = status == 0;
        if (!running_) why_ = "pg_ctl start failed: " + start;
    }
}

PostgresServer::~PostgresServer() {
    if (running_) {
        Run((kBin / "pg_ctl").string() + " -D '" + (dir_ / "data").string() +
            "' -m immediate -w stop");
    }
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

std::string PostgresServer::NewDatabase() {
    const std::string server = "postgresql://postgres@127.0.0.1:" + std::to_string(port_);
    const std::string name = "scores" + std::to_string(++databases_);
    PGconn* c = PQconnectdb((server + "/postgres").c_str());
    if (PQstatus(c) != CONNECTION_OK) {
        const std::string error = PQerrorMessage(c);
        PQfinish(c);
        throw std::runtime_error("cannot reach the test database server: " + error);
    }
    PQclear(PQexec(c, ("CREATE DATABASE " + name).c_str()));
    PQfinish(c);
    return server + "/" + name;
}

}  // namespace vrumbal::test
