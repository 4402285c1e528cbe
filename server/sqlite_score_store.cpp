// The results in an SQLite file: the embedded store of a single server.
#include <sqlite3.h>

#include <mutex>
#include <stdexcept>

#include "score_store.h"

namespace vrumbal::scores {
namespace {

// Long enough for a second process (a backup, an admin's shell) to finish its write.
constexpr int kBusyWaitMs = 2000;

std::string ColumnBytes(sqlite3_stmt* statement, int column) {
    const void* data = sqlite3_column_blob(statement, column);
    const int size = sqlite3_column_bytes(statement, column);
    if (!data || size <= 0) return {};
    return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

// Safe to use from several threads; every write is committed before Add returns, so a killed
// server loses nothing it has answered.
class SqliteScoreStore final : public ScoreStore {
public:
    // Opens (and if need be creates) the database; throws std::runtime_error when it cannot.
    explicit SqliteScoreStore(const std::string& path);
    void Add(const ScoreRecord& record, std::int64_t receivedAt) override;
    std::vector<StoredScore> Best(int limit, int offset) override;
    std::int64_t Count() override;

private:
    // Closes the connection.
    struct DatabaseCloser {
        void operator()(sqlite3* db) const;
    };
    // Finalizes a statement.
    struct StatementFinalizer {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

    // A compiled statement on this database.
    Statement Prepare(const char* sql);
    // Compiles and runs a statement without parameters or rows.
    void Execute(const char* sql);
    // The database's own description of its last error.
    std::string LastError() const;

    std::mutex mutex_;                             // one statement at a time
    std::unique_ptr<sqlite3, DatabaseCloser> db_;  // the connection (closed last)
    Statement insert_;                             // adds one row
    Statement best_;                               // the best rows
    Statement count_;                              // how many there are
};

void SqliteScoreStore::DatabaseCloser::operator()(sqlite3* db) const {
    sqlite3_close(db);
}

void SqliteScoreStore::StatementFinalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

SqliteScoreStore::SqliteScoreStore(const std::string& path) {
    sqlite3* db = nullptr;
    const int opened =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(db);  // a failed open still hands back a handle that must be closed
    if (opened != SQLITE_OK) {
        throw std::runtime_error("cannot open " + path + ": " +
                                 (db ? sqlite3_errmsg(db) : "out of memory"));
    }
    sqlite3_busy_timeout(db, kBusyWaitMs);
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
    Execute("CREATE INDEX IF NOT EXISTS scores_best ON scores (score DESC, id)");
    insert_ =
        Prepare("INSERT INTO scores (name, score, country, received) VALUES (?1, ?2, ?3, ?4)");
    best_ = Prepare(
        "SELECT name, score, country, received FROM scores ORDER BY score DESC, id"
        " LIMIT ?1 OFFSET ?2");
    count_ = Prepare("SELECT COUNT(*) FROM scores");
}

void SqliteScoreStore::Add(const ScoreRecord& record, std::int64_t receivedAt) {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* s = insert_.get();
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    sqlite3_bind_blob(s, 1, record.name.data(), static_cast<int>(record.name.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_int(s, 2, record.score);
    sqlite3_bind_blob(s, 3, record.country.data(), static_cast<int>(record.country.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 4, receivedAt);
    const int done = sqlite3_step(s);
    sqlite3_reset(s);
    if (done != SQLITE_DONE) throw std::runtime_error("cannot store a result: " + LastError());
}

std::vector<StoredScore> SqliteScoreStore::Best(int limit, int offset) {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* s = best_.get();
    sqlite3_reset(s);
    sqlite3_bind_int(s, 1, limit);
    sqlite3_bind_int(s, 2, offset);
    std::vector<StoredScore> rows;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(s)) == SQLITE_ROW) {
        StoredScore row;
        row.name = ColumnBytes(s, 0);
        row.score = sqlite3_column_int(s, 1);
        row.country = ColumnBytes(s, 2);
        row.receivedAt = sqlite3_column_int64(s, 3);
        rows.push_back(std::move(row));
    }
    sqlite3_reset(s);
    if (step != SQLITE_DONE) throw std::runtime_error("cannot read the results: " + LastError());
    return rows;
}

std::int64_t SqliteScoreStore::Count() {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* s = count_.get();
    sqlite3_reset(s);
    if (sqlite3_step(s) != SQLITE_ROW) throw std::runtime_error("cannot count: " + LastError());
    const std::int64_t n = sqlite3_column_int64(s, 0);
    sqlite3_reset(s);
    return n;
}

SqliteScoreStore::Statement SqliteScoreStore::Prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_.get(), sql, -1, &statement, nullptr) != SQLITE_OK) {
        throw std::runtime_error("cannot prepare a statement: " + LastError());
    }
    return Statement(statement);
}

void SqliteScoreStore::Execute(const char* sql) {
    const Statement statement = Prepare(sql);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }  // a pragma answers with a row
    if (step != SQLITE_DONE) {
        throw std::runtime_error("cannot set up the database: " + LastError());
    }
}

std::string SqliteScoreStore::LastError() const {
    return sqlite3_errmsg(db_.get());
}

}  // namespace

std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path) {
    return std::make_unique<SqliteScoreStore>(path);
}

}  // namespace vrumbal::scores
