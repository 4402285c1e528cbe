// The results in a PostgreSQL database, which any number of servers on any number of
// machines may share.
#include <arpa/inet.h>
#include <libpq-fe.h>

#include <cstring>
#include <ctime>
#include <mutex>
#include <stdexcept>

#include "score_store.h"
#include "server_time.h"

namespace vrumbal::scores {
namespace {

// Taken by a server while it creates or upgrades the tables, so that two starting at once do
// not race (CREATE ... IF NOT EXISTS alone can fail when two run it together).
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(7305182604)";
// A statement that waits longer than this for a lock another session holds is answered
// "busy" at once instead of stalling every page behind it.
constexpr const char* kLockWait = "SET lock_timeout TO '250ms'";
// PostgreSQL's code for "a lock could not be had".
constexpr const char* kLockNotAvailable = "55P03";

// The columns RowAt reads, in its order.
#define VRUMBAL_COLUMNS "id, name, score, country, received, level, proven, hidden, address"

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

std::string BytesAt(const PGresult* r, int row, int column) {
    return std::string(PQgetvalue(r, row, column),
                       static_cast<std::size_t>(PQgetlength(r, row, column)));
}

// A statement's parameters: texts and raw bytes.
class Params {
public:
    Params& Text(std::string value) {
        owned_.push_back(std::move(value));
        formats_.push_back(0);
        return *this;
    }
    Params& Bytes(const std::string& value) {
        owned_.push_back(value);
        formats_.push_back(1);
        return *this;
    }
    Params& Number(std::int64_t value) { return Text(std::to_string(value)); }
    int Count() const { return static_cast<int>(owned_.size()); }
    const char* const* Values() {
        values_.clear();
        lengths_.clear();
        for (const std::string& v : owned_) {
            values_.push_back(v.data());
            lengths_.push_back(static_cast<int>(v.size()));
        }
        return values_.data();
    }
    const int* Lengths() const { return lengths_.data(); }
    const int* Formats() const { return formats_.data(); }

private:
    std::vector<std::string> owned_;
    std::vector<int> formats_;
    std::vector<const char*> values_;
    std::vector<int> lengths_;
};

class PostgresScoreStore final : public ScoreStore {
public:
    explicit PostgresScoreStore(const std::string& uri) : conn_(PQconnectdb(uri.c_str())) {
        if (!conn_ || PQstatus(conn_.get()) != CONNECTION_OK) {
            throw std::runtime_error("cannot connect to the database: " + LastError());
        }
        // The tables' "already exists" notices are no news.
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
            Exec(
                "ALTER TABLE scores ADD COLUMN IF NOT EXISTS proven BOOLEAN NOT NULL DEFAULT "
                "FALSE");
            Exec(
                "ALTER TABLE scores ADD COLUMN IF NOT EXISTS hidden BOOLEAN NOT NULL DEFAULT "
                "FALSE");
            Exec("ALTER TABLE scores ADD COLUMN IF NOT EXISTS address BYTEA NOT NULL DEFAULT ''");
            Exec("ALTER TABLE scores ADD COLUMN IF NOT EXISTS level INTEGER NOT NULL DEFAULT 0");
            Exec("ALTER TABLE scores ADD COLUMN IF NOT EXISTS digest TEXT");
            Exec("CREATE UNIQUE INDEX IF NOT EXISTS scores_digest ON scores (digest)");
            Exec(
                "CREATE INDEX IF NOT EXISTS scores_shown"
                " ON scores (proven, hidden, score DESC, id)");
            // The index of before proven results: every query now reads the one above.
            Exec("DROP INDEX IF EXISTS scores_best");
            Exec(
                "CREATE TABLE IF NOT EXISTS replays ("
                " score_id BIGINT PRIMARY KEY REFERENCES scores (id),"
                " bytes BYTEA NOT NULL)");
            Exec(
                "CREATE TABLE IF NOT EXISTS audit ("
                " id BIGSERIAL PRIMARY KEY,"
                " at BIGINT NOT NULL,"
                " action TEXT NOT NULL,"
                " score_id BIGINT NOT NULL,"
                " detail TEXT NOT NULL)");
            Exec("COMMIT");
            // A database this server may read but not write is refused now, not at the first
            // result: the probe line is never kept.
            Exec("BEGIN");
            Exec("INSERT INTO audit (at, action, score_id, detail) VALUES (0, 'probe', 0, '')");
            Exec("ROLLBACK");
        } catch (...) {
            PQclear(PQexec(conn_.get(), "ROLLBACK"));
            throw;
        }
        Exec(kLockWait);
    }

    std::pair<std::int64_t, bool> AddProven(const ProvenResult& r) override {
        std::lock_guard lock(mutex_);
        Exec("BEGIN");
        try {
            Params p;
            p.Bytes(r.record.name).Number(r.record.score).Bytes(r.record.country);
            p.Number(r.receivedAt).Number(r.level).Bytes(r.address).Text(r.digest);
            const Result inserted = Query(
                "INSERT INTO scores (name, score, country, received, level, proven, address,"
                " digest) VALUES ($1, $2, $3, $4, $5, TRUE, $6, $7)"
                " ON CONFLICT (digest) DO NOTHING RETURNING id",
                p, "cannot store a result");
            if (PQntuples(inserted.get()) == 0) {
                Params d;
                d.Text(r.digest);
                const Result found =
                    Query("SELECT id FROM scores WHERE digest = $1", d, "cannot find a result");
                Exec("COMMIT");
                return {PQntuples(found.get()) == 1 ? Int64At(PQgetvalue(found.get(), 0, 0)) : 0,
                        false};
            }
            const std::int64_t id = Int64At(PQgetvalue(inserted.get(), 0, 0));
            Params replay;
            replay.Number(id).Bytes(r.replay);
            Query("INSERT INTO replays (score_id, bytes) VALUES ($1, $2)", replay,
                  "cannot store a replay");
            Exec("COMMIT");
            return {id, true};
        } catch (...) {
            PQclear(PQexec(conn_.get(), "ROLLBACK"));
            throw;
        }
    }

    std::int64_t AddUnproven(const ScoreRecord& record, const std::string& address,
                             std::int64_t receivedAt) override {
        Params p;
        p.Bytes(record.name).Number(record.score).Bytes(record.country).Number(receivedAt);
        p.Bytes(address);
        std::lock_guard lock(mutex_);
        const Result r = Query(
            "INSERT INTO scores (name, score, country, received, address)"
            " VALUES ($1, $2, $3, $4, $5) RETURNING id",
            p, "cannot store a result");
        return Int64At(PQgetvalue(r.get(), 0, 0));
    }

    std::vector<StoredScore> Best(bool proven, int limit, int offset) override {
        Params p;
        p.Text(proven ? "true" : "false").Number(limit).Number(offset);
        std::lock_guard lock(mutex_);
        return Rows(Query("SELECT " VRUMBAL_COLUMNS " FROM scores WHERE proven = $1 AND NOT hidden"
                          " ORDER BY score DESC, id LIMIT $2 OFFSET $3",
                          p, "cannot read the results"));
    }

    std::int64_t Count(bool proven) override {
        Params p;
        p.Text(proven ? "true" : "false");
        std::lock_guard lock(mutex_);
        const Result r = Query("SELECT COUNT(*) FROM scores WHERE proven = $1 AND NOT hidden", p,
                               "cannot count");
        return Int64At(PQgetvalue(r.get(), 0, 0));
    }

    RowPlace PlaceOf(std::int64_t id) override {
        Params p;
        p.Number(id);
        std::lock_guard lock(mutex_);
        const Result r = Query(
            "SELECT 1 + (SELECT COUNT(*) FROM scores o WHERE o.proven = s.proven AND NOT o.hidden"
            " AND (o.score > s.score OR (o.score = s.score AND o.id < s.id))), s.proven"
            " FROM scores s WHERE s.id = $1 AND NOT s.hidden",
            p, "cannot place a result");
        if (PQntuples(r.get()) != 1) return {};
        return {Int64At(PQgetvalue(r.get(), 0, 0)), *PQgetvalue(r.get(), 0, 1) != 0};
    }

    std::optional<std::string> ReplayOf(std::int64_t id) override {
        Params p;
        p.Number(id);
        std::lock_guard lock(mutex_);
        const Result r = Query(
            "SELECT r.bytes FROM replays r JOIN scores s ON s.id = r.score_id"
            " WHERE s.id = $1 AND NOT s.hidden AND s.proven",
            p, "cannot read a replay");
        if (PQntuples(r.get()) != 1) return std::nullopt;
        return BytesAt(r.get(), 0, 0);
    }

    bool SetHidden(std::int64_t id, bool hidden, const std::string& note) override {
        std::lock_guard lock(mutex_);
        Exec("BEGIN");
        try {
            Params p;
            p.Text(hidden ? "true" : "false").Number(id);
            const Result updated =
                Query("UPDATE scores SET hidden = $1 WHERE id = $2", p, "cannot change a result");
            if (std::strcmp(PQcmdTuples(updated.get()), "0") == 0) {
                Exec("ROLLBACK");
                return false;
            }
            Params a;
            a.Number(static_cast<std::int64_t>(std::time(nullptr)))
                .Text(hidden ? "hide" : "unhide")
                .Number(id)
                .Text(note);
            Query("INSERT INTO audit (at, action, score_id, detail) VALUES ($1, $2, $3, $4)", a,
                  "cannot write the audit line");
            Exec("COMMIT");
            return true;
        } catch (...) {
            PQclear(PQexec(conn_.get(), "ROLLBACK"));
            throw;
        }
    }

    std::vector<StoredScore> List(const ScoreFilter& filter) override {
        Params p;
        p.Bytes(filter.name).Bytes(filter.address).Number(filter.limit);
        std::lock_guard lock(mutex_);
        return Rows(Query("SELECT " VRUMBAL_COLUMNS
                          " FROM scores WHERE (length($1::bytea) = 0 OR name = $1::bytea)"
                          " AND (length($2::bytea) = 0 OR address = $2::bytea)"
                          " ORDER BY id DESC LIMIT $3",
                          p, "cannot list the results"));
    }

    std::vector<std::string> Audit() override {
        Params none;
        std::lock_guard lock(mutex_);
        const Result r = Query(
            "SELECT at, action, score_id, detail FROM audit WHERE action <> 'probe' ORDER BY id",
            none, "cannot read the audit");
        std::vector<std::string> lines;
        for (int i = 0; i < PQntuples(r.get()); ++i) {
            lines.push_back(
                UtcTime(Int64At(PQgetvalue(r.get(), i, 0))) + " " + BytesAt(r.get(), i, 1) + " " +
                std::to_string(Int64At(PQgetvalue(r.get(), i, 2))) + " " + BytesAt(r.get(), i, 3));
        }
        return lines;
    }

private:
    // Runs a statement with binary results (the bytes of the names as they are, the numbers
    // in network order); when the connection has broken (the database restarted), connects
    // once more and runs it again. Throws (StoreBusy when a lock could not be had).
    Result Query(const char* sql, Params& p, const char* what) {
        auto run = [&] {
            // The values first: they fill in the lengths.
            const char* const* values = p.Values();
            return PQexecParams(conn_.get(), sql, p.Count(), nullptr, values, p.Lengths(),
                                p.Formats(), 1);
        };
        Result r(run());
        if (PQstatus(conn_.get()) == CONNECTION_BAD) {
            PQreset(conn_.get());
            if (PQstatus(conn_.get()) == CONNECTION_OK) Exec(kLockWait);
            r.reset(run());
        }
        const ExecStatusType status = PQresultStatus(r.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            const char* state = PQresultErrorField(r.get(), PG_DIAG_SQLSTATE);
            const std::string reason = std::string(what) + ": " + LastError();
            if (state != nullptr && std::strcmp(state, kLockNotAvailable) == 0) {
                throw StoreBusy(reason);
            }
            throw std::runtime_error(reason);
        }
        return r;
    }

    static std::vector<StoredScore> Rows(const Result& r) {
        std::vector<StoredScore> rows;
        for (int i = 0; i < PQntuples(r.get()); ++i) {
            StoredScore row;
            row.id = Int64At(PQgetvalue(r.get(), i, 0));
            row.name = BytesAt(r.get(), i, 1);
            row.score = static_cast<std::int32_t>(Int32At(PQgetvalue(r.get(), i, 2)));
            row.country = BytesAt(r.get(), i, 3);
            row.receivedAt = Int64At(PQgetvalue(r.get(), i, 4));
            row.level = static_cast<std::int32_t>(Int32At(PQgetvalue(r.get(), i, 5)));
            row.proven = *PQgetvalue(r.get(), i, 6) != 0;
            row.hidden = *PQgetvalue(r.get(), i, 7) != 0;
            row.address = BytesAt(r.get(), i, 8);
            rows.push_back(std::move(row));
        }
        return rows;
    }

    void Exec(const char* sql) {
        const Result r(PQexec(conn_.get(), sql));
        const ExecStatusType status = PQresultStatus(r.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            throw std::runtime_error("cannot use the database: " + LastError());
        }
    }

    std::string LastError() const { return conn_ ? PQerrorMessage(conn_.get()) : "out of memory"; }

    std::mutex mutex_;                                // one query at a time
    std::unique_ptr<PGconn, ConnectionCloser> conn_;  // the connection
};

#undef VRUMBAL_COLUMNS

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
