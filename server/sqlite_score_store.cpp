// The results in an SQLite file: the embedded store of a single server.
#include <sqlite3.h>

#include <ctime>
#include <mutex>
#include <set>
#include <stdexcept>

#include "score_store.h"
#include "server_time.h"

namespace vrumbal::scores {
namespace {

// Long enough for another connection of this server, too short to stall a page behind another
// process's write (an admin's shell holding a lock): that is answered "busy" at once.
constexpr int kBusyWaitMs = 250;

std::string ColumnBytes(sqlite3_stmt* statement, int column) {
    const void* data = sqlite3_column_blob(statement, column);
    const int size = sqlite3_column_bytes(statement, column);
    if (!data || size <= 0) return {};
    return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

// Safe to use from several threads; every write is committed before it returns, so a killed
// server loses nothing it has answered.
class SqliteScoreStore final : public ScoreStore {
public:
    // Opens (and if need be creates) the database; throws std::runtime_error when it cannot,
    // or when it cannot be written.
    explicit SqliteScoreStore(const std::string& path);
    std::pair<std::int64_t, bool> AddProven(const ProvenResult& result) override;
    std::int64_t AddUnproven(const ScoreRecord& record, const std::string& address,
                             std::int64_t receivedAt) override;
    std::vector<StoredScore> Best(bool proven, int limit, int offset) override;
    std::int64_t Count(bool proven) override;
    RowPlace PlaceOf(std::int64_t id) override;
    std::optional<std::string> ReplayOf(std::int64_t id) override;
    bool SetHidden(std::int64_t id, bool hidden, const std::string& note) override;
    std::vector<StoredScore> List(const ScoreFilter& filter) override;
    std::vector<std::string> Audit() override;

private:
    struct DatabaseCloser {
        void operator()(sqlite3* db) const { sqlite3_close(db); }
    };
    struct StatementFinalizer {
        void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
    };
    using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

    // A compiled statement on this database.
    Statement Prepare(const char* sql);
    // Compiles and runs a statement without parameters, its rows (a pragma's) dropped.
    void Execute(const char* sql);
    // Steps a statement to its end; throws (StoreBusy when locked) on failure.
    void Finish(sqlite3_stmt* statement, const char* what);
    // Fails with the database's reason, as busy when another process holds it.
    [[noreturn]] void Fail(int code, const char* what);
    // The row read from the standard columns (see kColumns).
    static StoredScore Row(sqlite3_stmt* statement);
    // Adds the columns a table of an older server lacks.
    void Upgrade();

    std::mutex mutex_;                             // one statement at a time
    std::unique_ptr<sqlite3, DatabaseCloser> db_;  // the connection (closed last)
};

// The columns Row reads, in its order.
#define VRUMBAL_COLUMNS "id, name, score, country, received, level, proven, hidden, address"

SqliteScoreStore::SqliteScoreStore(const std::string& path) {
    sqlite3* db = nullptr;
    const int opened =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(db);  // a failed open still hands back a handle that must be closed
    if (opened != SQLITE_OK) {
        throw std::runtime_error("cannot open " + path + ": " +
                                 (db ? sqlite3_errmsg(db) : "out of memory"));
    }
    // A file the server cannot write would start "listening" and then fail every result.
    if (sqlite3_db_readonly(db, "main") == 1) {
        throw std::runtime_error("cannot write " + path + ": the file is read-only");
    }
    sqlite3_busy_timeout(db, kBusyWaitMs);
    try {
        // A write-ahead log: a commit is one append and one flush of it, still durable (FULL)
        // when the answer goes out, and readers never wait for the writer.
        Execute("PRAGMA journal_mode=WAL");
        Execute("PRAGMA synchronous=FULL");
        // Names and countries are kept as the game's own bytes (BLOB): the page converts them.
        Execute(
            "CREATE TABLE IF NOT EXISTS scores ("
            " id INTEGER PRIMARY KEY,"
            " name BLOB NOT NULL,"
            " score INTEGER NOT NULL,"
            " country BLOB NOT NULL,"
            " received INTEGER NOT NULL)");
        Upgrade();
        // Every write goes through here once at start: a file that cannot be written is found
        // now, not at the first result.
        Execute("BEGIN IMMEDIATE");
        Execute("INSERT INTO audit (at, action, score_id, detail) VALUES (0, 'probe', 0, '')");
        Execute("ROLLBACK");
    } catch (const std::exception& e) {
        throw std::runtime_error("cannot use " + path + ": " + e.what());
    }
}

void SqliteScoreStore::Upgrade() {
    std::set<std::string> have;
    {
        const Statement columns = Prepare("PRAGMA table_info(scores)");
        while (sqlite3_step(columns.get()) == SQLITE_ROW) {
            have.insert(reinterpret_cast<const char*>(sqlite3_column_text(columns.get(), 1)));
        }
    }
    const struct {
        const char* name;
        const char* sql;
    } added[] = {
        {"proven", "ALTER TABLE scores ADD COLUMN proven INTEGER NOT NULL DEFAULT 0"},
        {"hidden", "ALTER TABLE scores ADD COLUMN hidden INTEGER NOT NULL DEFAULT 0"},
        {"address", "ALTER TABLE scores ADD COLUMN address TEXT NOT NULL DEFAULT ''"},
        {"level", "ALTER TABLE scores ADD COLUMN level INTEGER NOT NULL DEFAULT 0"},
        {"digest", "ALTER TABLE scores ADD COLUMN digest TEXT"},
    };
    for (const auto& column : added) {
        if (have.count(column.name) == 0) Execute(column.sql);
    }
    Execute("CREATE UNIQUE INDEX IF NOT EXISTS scores_digest ON scores (digest)");
    Execute("CREATE INDEX IF NOT EXISTS scores_shown ON scores (proven, hidden, score DESC, id)");
    // The index of before proven results: every query now reads the one above.
    Execute("DROP INDEX IF EXISTS scores_best");
    Execute(
        "CREATE TABLE IF NOT EXISTS replays ("
        " score_id INTEGER PRIMARY KEY,"
        " bytes BLOB NOT NULL)");
    Execute(
        "CREATE TABLE IF NOT EXISTS audit ("
        " id INTEGER PRIMARY KEY,"
        " at INTEGER NOT NULL,"
        " action TEXT NOT NULL,"
        " score_id INTEGER NOT NULL,"
        " detail TEXT NOT NULL)");
}

std::pair<std::int64_t, bool> SqliteScoreStore::AddProven(const ProvenResult& r) {
    std::lock_guard lock(mutex_);
    Execute("BEGIN IMMEDIATE");
    try {
        const Statement find = Prepare("SELECT id FROM scores WHERE digest = ?1");
        sqlite3_bind_text(find.get(), 1, r.digest.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(find.get()) == SQLITE_ROW) {
            const std::int64_t id = sqlite3_column_int64(find.get(), 0);
            Execute("COMMIT");
            return {id, false};
        }
        const Statement insert = Prepare(
            "INSERT INTO scores (name, score, country, received, level, proven, address, digest)"
            " VALUES (?1, ?2, ?3, ?4, ?5, 1, ?6, ?7)");
        sqlite3_stmt* s = insert.get();
        sqlite3_bind_blob(s, 1, r.record.name.data(), static_cast<int>(r.record.name.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_int(s, 2, r.record.score);
        sqlite3_bind_blob(s, 3, r.record.country.data(), static_cast<int>(r.record.country.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_int64(s, 4, r.receivedAt);
        sqlite3_bind_int(s, 5, r.level);
        sqlite3_bind_text(s, 6, r.address.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 7, r.digest.c_str(), -1, SQLITE_TRANSIENT);
        Finish(s, "cannot store a result");
        const std::int64_t id = sqlite3_last_insert_rowid(db_.get());
        const Statement replay = Prepare("INSERT INTO replays (score_id, bytes) VALUES (?1, ?2)");
        sqlite3_bind_int64(replay.get(), 1, id);
        sqlite3_bind_blob(replay.get(), 2, r.replay.data(), static_cast<int>(r.replay.size()),
                          SQLITE_TRANSIENT);
        Finish(replay.get(), "cannot store a replay");
        Execute("COMMIT");
        return {id, true};
    } catch (...) {
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::int64_t SqliteScoreStore::AddUnproven(const ScoreRecord& record, const std::string& address,
                                           std::int64_t receivedAt) {
    std::lock_guard lock(mutex_);
    const Statement insert = Prepare(
        "INSERT INTO scores (name, score, country, received, address) VALUES (?1, ?2, ?3, ?4, ?5)");
    sqlite3_stmt* s = insert.get();
    sqlite3_bind_blob(s, 1, record.name.data(), static_cast<int>(record.name.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_int(s, 2, record.score);
    sqlite3_bind_blob(s, 3, record.country.data(), static_cast<int>(record.country.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 4, receivedAt);
    sqlite3_bind_text(s, 5, address.c_str(), -1, SQLITE_TRANSIENT);
    Finish(s, "cannot store a result");
    return sqlite3_last_insert_rowid(db_.get());
}

StoredScore SqliteScoreStore::Row(sqlite3_stmt* s) {
    StoredScore row;
    row.id = sqlite3_column_int64(s, 0);
    row.name = ColumnBytes(s, 1);
    row.score = sqlite3_column_int(s, 2);
    row.country = ColumnBytes(s, 3);
    row.receivedAt = sqlite3_column_int64(s, 4);
    row.level = sqlite3_column_int(s, 5);
    row.proven = sqlite3_column_int(s, 6) != 0;
    row.hidden = sqlite3_column_int(s, 7) != 0;
    row.address = ColumnBytes(s, 8);
    return row;
}

std::vector<StoredScore> SqliteScoreStore::Best(bool proven, int limit, int offset) {
    std::lock_guard lock(mutex_);
    const Statement best = Prepare("SELECT " VRUMBAL_COLUMNS
                                   " FROM scores WHERE proven = ?1 AND hidden = 0"
                                   " ORDER BY score DESC, id LIMIT ?2 OFFSET ?3");
    sqlite3_bind_int(best.get(), 1, proven ? 1 : 0);
    sqlite3_bind_int(best.get(), 2, limit);
    sqlite3_bind_int(best.get(), 3, offset);
    std::vector<StoredScore> rows;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(best.get())) == SQLITE_ROW) rows.push_back(Row(best.get()));
    if (step != SQLITE_DONE) Fail(step, "cannot read the results");
    return rows;
}

std::int64_t SqliteScoreStore::Count(bool proven) {
    std::lock_guard lock(mutex_);
    const Statement count = Prepare("SELECT COUNT(*) FROM scores WHERE proven = ?1 AND hidden = 0");
    sqlite3_bind_int(count.get(), 1, proven ? 1 : 0);
    const int step = sqlite3_step(count.get());
    if (step != SQLITE_ROW) Fail(step, "cannot count");
    return sqlite3_column_int64(count.get(), 0);
}

RowPlace SqliteScoreStore::PlaceOf(std::int64_t id) {
    std::lock_guard lock(mutex_);
    const Statement place = Prepare(
        "SELECT 1 + (SELECT COUNT(*) FROM scores o WHERE o.proven = s.proven AND o.hidden = 0"
        " AND (o.score > s.score OR (o.score = s.score AND o.id < s.id))), s.proven"
        " FROM scores s WHERE s.id = ?1 AND s.hidden = 0");
    sqlite3_bind_int64(place.get(), 1, id);
    const int step = sqlite3_step(place.get());
    if (step == SQLITE_DONE) return {};
    if (step != SQLITE_ROW) Fail(step, "cannot place a result");
    return {sqlite3_column_int64(place.get(), 0), sqlite3_column_int(place.get(), 1) != 0};
}

std::optional<std::string> SqliteScoreStore::ReplayOf(std::int64_t id) {
    std::lock_guard lock(mutex_);
    const Statement replay = Prepare(
        "SELECT r.bytes FROM replays r JOIN scores s ON s.id = r.score_id"
        " WHERE s.id = ?1 AND s.hidden = 0 AND s.proven = 1");
    sqlite3_bind_int64(replay.get(), 1, id);
    const int step = sqlite3_step(replay.get());
    if (step == SQLITE_DONE) return std::nullopt;
    if (step != SQLITE_ROW) Fail(step, "cannot read a replay");
    return ColumnBytes(replay.get(), 0);
}

bool SqliteScoreStore::SetHidden(std::int64_t id, bool hidden, const std::string& note) {
    std::lock_guard lock(mutex_);
    Execute("BEGIN IMMEDIATE");
    try {
        const Statement update = Prepare("UPDATE scores SET hidden = ?1 WHERE id = ?2");
        sqlite3_bind_int(update.get(), 1, hidden ? 1 : 0);
        sqlite3_bind_int64(update.get(), 2, id);
        Finish(update.get(), "cannot change a result");
        if (sqlite3_changes(db_.get()) == 0) {
            Execute("ROLLBACK");
            return false;
        }
        const Statement audit =
            Prepare("INSERT INTO audit (at, action, score_id, detail) VALUES (?1, ?2, ?3, ?4)");
        sqlite3_bind_int64(audit.get(), 1, static_cast<std::int64_t>(std::time(nullptr)));
        sqlite3_bind_text(audit.get(), 2, hidden ? "hide" : "unhide", -1, SQLITE_STATIC);
        sqlite3_bind_int64(audit.get(), 3, id);
        sqlite3_bind_text(audit.get(), 4, note.c_str(), -1, SQLITE_TRANSIENT);
        Finish(audit.get(), "cannot write the audit line");
        Execute("COMMIT");
        return true;
    } catch (...) {
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::vector<StoredScore> SqliteScoreStore::List(const ScoreFilter& filter) {
    std::lock_guard lock(mutex_);
    const Statement list =
        Prepare("SELECT " VRUMBAL_COLUMNS
                " FROM scores WHERE (length(?1) = 0 OR name = ?1) AND (?2 = '' OR address = ?2)"
                " ORDER BY id DESC LIMIT ?3");
    sqlite3_bind_blob(list.get(), 1, filter.name.data(), static_cast<int>(filter.name.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_text(list.get(), 2, filter.address.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(list.get(), 3, filter.limit);
    std::vector<StoredScore> rows;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(list.get())) == SQLITE_ROW) rows.push_back(Row(list.get()));
    if (step != SQLITE_DONE) Fail(step, "cannot list the results");
    return rows;
}

std::vector<std::string> SqliteScoreStore::Audit() {
    std::lock_guard lock(mutex_);
    const Statement audit = Prepare(
        "SELECT at, action, score_id, detail FROM audit WHERE action <> 'probe' ORDER BY id");
    std::vector<std::string> lines;
    while (sqlite3_step(audit.get()) == SQLITE_ROW) {
        lines.push_back(UtcTime(sqlite3_column_int64(audit.get(), 0)) + " " +
                        ColumnBytes(audit.get(), 1) + " " +
                        std::to_string(sqlite3_column_int64(audit.get(), 2)) + " " +
                        ColumnBytes(audit.get(), 3));
    }
    return lines;
}

SqliteScoreStore::Statement SqliteScoreStore::Prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    const int prepared = sqlite3_prepare_v2(db_.get(), sql, -1, &statement, nullptr);
    if (prepared != SQLITE_OK) Fail(prepared, "cannot prepare a statement");
    return Statement(statement);
}

void SqliteScoreStore::Execute(const char* sql) {
    const Statement statement = Prepare(sql);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }  // a pragma answers with a row
    if (step != SQLITE_DONE) Fail(step, "cannot run a statement");
}

void SqliteScoreStore::Finish(sqlite3_stmt* statement, const char* what) {
    const int step = sqlite3_step(statement);
    if (step != SQLITE_DONE) Fail(step, what);
}

void SqliteScoreStore::Fail(int code, const char* what) {
    const std::string reason = std::string(what) + ": " + sqlite3_errmsg(db_.get());
    const int primary = code & 0xFF;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) throw StoreBusy(reason);
    throw std::runtime_error(reason);
}

#undef VRUMBAL_COLUMNS

}  // namespace

std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path) {
    return std::make_unique<SqliteScoreStore>(path);
}

}  // namespace vrumbal::scores
