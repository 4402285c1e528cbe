#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "online/score_record.h"

namespace vrumbal::scores {

// One result as the world table keeps it.
struct StoredScore {
    std::string name;             // code page 1251, as the game sent it
    std::int32_t score = 0;       // points
    std::string country;          // code page 1251, as the game sent it
    std::int64_t receivedAt = 0;  // seconds since 1970 (UTC) when the server took it
};

// Where the world table's results are kept. Safe to use from several threads; a result is
// durable when Add returns.
class ScoreStore {
public:
    virtual ~ScoreStore() = default;
    // Keeps one result received at the given time; throws std::runtime_error on failure.
    virtual void Add(const ScoreRecord& record, std::int64_t receivedAt) = 0;
    // The best results after the first offset, at most limit of them: highest score first,
    // earlier arrivals first among equal scores.
    virtual std::vector<StoredScore> Best(int limit, int offset) = 0;
    // Results kept.
    virtual std::int64_t Count() = 0;
};

// An SQLite file, created when missing.
std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path);
// A PostgreSQL database (a connection URI, postgresql://...), its table created when missing;
// any number of servers may share it.
std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& uri);
// The store a --db argument names: a postgresql:// or postgres:// URI, else an SQLite file.
std::unique_ptr<ScoreStore> OpenScoreStore(const std::string& where);

}  // namespace vrumbal::scores
