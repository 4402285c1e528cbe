// The results in a PostgreSQL database, which any number of servers on any number of
// machines may share.
#include <arpa/inet.h>
#include <libpq-fe.h>

#include <cstring>
#include <mutex>
#include <stdexcept>

#include "score_store.h"

namespace vrumbal::scores {
namespace {

// Taken by a server while it creates the table, so that two starting at once do not race
// (CREATE ... IF NOT EXISTS alone can fail when two run it together).
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(7305182604)";

struct ResultClearer {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultClearer>;

struct ConnectionCloser {
    void operator()(PGconn* c) const { PQfinish(c); }
};

std::uint32_t Int32At(const char* bytes) {
    std::uint32_t v = 0;
    std::memcpy(&v, bytes, 4);
    return ntohl(v);
}

std::int64_t Int64At(const char* bytes) {
    const std::uint64_t high = Int32At(bytes), low = Int32At(bytes + 4);
    return static_cast<std::int64_t>(high << 32 | low);
}

class PostgresScoreStore final : public ScoreStore {
public:
    explicit PostgresScoreStore(const std::string& uri) : conn_(PQconnectdb(uri.c_str())) {
        if (!conn_ || PQstatus(conn_.get()) != CONNECTION_OK) {
            throw std::runtime_error("cannot connect to the database: " + LastError());
        }
        // The table's "already exists" notices are no news.
        Exec("SET client_min_messages TO warning");
        Exec("BEGIN");
        try {
            Exec(kSchemaLock);
            // Names and countries are kept as the game's own bytes: the page converts them.
            Exec(
                "CREATE TABLE IF NOT EXISTS scores ("
                " id BIGSERIAL PRIMARY KEY,"
                " name BYTEA NOT NULL,"
                " score INTEGER NOT NULL,"
                " country BYTEA NOT NULL,"
                " received BIGINT NOT NULL)");
            Exec("CREATE INDEX IF NOT EXISTS scores_best ON scores (score DESC, id)");
            Exec("COMMIT");
        } catch (...) {
            PQclear(PQexec(conn_.get(), "ROLLBACK"));
            throw;
        }
    }

    void Add(const ScoreRecord& record, std::int64_t receivedAt) override {
        const std::string score = std::to_string(record.score);
        const std::string received = std::to_string(receivedAt);
        const char* values[] = {record.name.data(), score.c_str(), record.country.data(),
                                received.c_str()};
        const int lengths[] = {static_cast<int>(record.name.size()), 0,
                               static_cast<int>(record.country.size()), 0};
        const int formats[] = {1, 0, 1, 0};  // the names as raw bytes, the numbers as text
        std::lock_guard lock(mutex_);
        const Result r = Run([&] {
            return PQexecParams(conn_.get(),
                                "INSERT INTO scores (name, score, country, received)"
                                " VALUES ($1, $2, $3, $4)",
                                4, nullptr, values, lengths, formats, 0);
        });
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
            throw std::runtime_error("cannot store a result: " + LastError());
        }
    }

    std::vector<StoredScore> Best(int limit, int offset) override {
        const std::string l = std::to_string(limit), o = std::to_string(offset);
        const char* values[] = {l.c_str(), o.c_str()};
        std::lock_guard lock(mutex_);
        // Binary rows: the bytes of the names as they are, the numbers in network order.
        const Result r = Run([&] {
            return PQexecParams(conn_.get(),
                                "SELECT name, score, country, received FROM scores"
                                " ORDER BY score DESC, id LIMIT $1 OFFSET $2",
                                2, nullptr, values, nullptr, nullptr, 1);
        });
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK) {
            throw std::runtime_error("cannot read the results: " + LastError());
        }
        std::vector<StoredScore> rows;
        for (int i = 0; i < PQntuples(r.get()); ++i) {
            StoredScore row;
            row.name.assign(PQgetvalue(r.get(), i, 0),
                            static_cast<std::size_t>(PQgetlength(r.get(), i, 0)));
            row.score = static_cast<std::int32_t>(Int32At(PQgetvalue(r.get(), i, 1)));
            row.country.assign(PQgetvalue(r.get(), i, 2),
                               static_cast<std::size_t>(PQgetlength(r.get(), i, 2)));
            row.receivedAt = Int64At(PQgetvalue(r.get(), i, 3));
            rows.push_back(std::move(row));
        }
        return rows;
    }

    std::int64_t Count() override {
        std::lock_guard lock(mutex_);
        const Result r = Run([&] {
            return PQexecParams(conn_.get(), "SELECT COUNT(*) FROM scores", 0, nullptr, nullptr,
                                nullptr, nullptr, 1);
        });
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK || PQntuples(r.get()) != 1) {
            throw std::runtime_error("cannot count: " + LastError());
        }
        return Int64At(PQgetvalue(r.get(), 0, 0));
    }

private:
    // Runs a query; when the connection has broken (the database restarted), connects once
    // more and runs it again.
    template <typename Query>
    Result Run(Query query) {
        Result r(query());
        if (PQstatus(conn_.get()) == CONNECTION_BAD) {
            PQreset(conn_.get());
            r.reset(query());
        }
        return r;
    }

    void Exec(const char* sql) {
        const Result r(PQexec(conn_.get(), sql));
        const ExecStatusType status = PQresultStatus(r.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            throw std::runtime_error("cannot set up the database: " + LastError());
        }
    }

    std::string LastError() const { return conn_ ? PQerrorMessage(conn_.get()) : "out of memory"; }

    std::mutex mutex_;                                // one query at a time
    std::unique_ptr<PGconn, ConnectionCloser> conn_;  // the connection
};

}  // namespace

std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& uri) {
    return std::make_unique<PostgresScoreStore>(uri);
}

std::unique_ptr<ScoreStore> OpenScoreStore(const std::string& where) {
    if (where.rfind("postgresql://", 0) == 0 || where.rfind("postgres://", 0) == 0) {
        return OpenPostgresStore(where);
    }
    return OpenSqliteStore(where);
}

}  // namespace vrumbal::scores
