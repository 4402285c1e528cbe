#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "online/score_record.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vrumbal::scores {

// One result as the world table keeps it.
struct StoredScore {
    std::string name;             // code page 1251, as the game sent it
    std::int32_t score = 0;       // points
    std::string country;          // code page 1251, as the game sent it
    std::int64_t receivedAt = 0;  // seconds since 1970 (UTC) when the server took it
};

// The results in an SQLite file. Safe to use from several threads; every write is committed
// before Add returns, so a killed server loses nothing it has answered.
class ScoreStore final {
public:
    // Opens (and if need be creates) the database; throws std::runtime_error when it cannot.
    explicit ScoreStore(const std::string& path);
    ~ScoreStore();
    ScoreStore(const ScoreStore&) = delete;
    ScoreStore& operator=(const ScoreStore&) = delete;

    // Keeps one result received at the given time; throws std::runtime_error on failure.
    void Add(const ScoreRecord& record, std::int64_t receivedAt);
    // The best results, highest score first, earlier arrivals first among equal scores.
    std::vector<StoredScore> Best(int limit);

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
};

}  // namespace vrumbal::scores
