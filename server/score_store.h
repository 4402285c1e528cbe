// Where the world table keeps its results: proven ones with their replays, the old unproven
// ones apart, who sent each and when, and an audit line for every change a moderator makes.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "online/score_record.h"

namespace vrumbal::scores {

// One result as the world table keeps it.
struct StoredScore {
    std::int64_t id = 0;          // the row's number, for links and moderation
    std::string name;             // code page 1251, as the game sent it
    std::int32_t score = 0;       // points
    std::string country;          // code page 1251, as the game sent it
    std::int64_t receivedAt = 0;  // seconds since 1970 (UTC) when the server took it
    std::int32_t level = 0;       // the level the game reached (proven results), else 0
    bool proven = false;          // its replay re-ran to this result
    bool hidden = false;          // a moderator hid it: never shown, never served
    std::string address;          // the client address it came from
};

// A proven result to keep, with the replay that proves it.
struct ProvenResult {
    ScoreRecord record;           // name, score, country
    std::int32_t level = 0;       // the level reached
    std::string replay;           // the replay file's bytes
    std::string digest;           // the ride's SHA-256, hexadecimal: the same ride is kept once
    std::string address;          // the client address it came from
    std::int64_t receivedAt = 0;  // seconds since 1970 (UTC)
};

// Where a shown row stands.
struct RowPlace {
    std::int64_t place = 0;  // 1 = best of its list; 0 when the row is hidden or missing
    bool proven = false;     // its list: the proven results, or the unproven apart
};

// What a moderator's listing is narrowed to.
struct ScoreFilter {
    std::string name;     // rows of exactly this name (code page 1251); empty: any
    std::string address;  // rows sent from exactly this address; empty: any
    int limit = 100;      // at most this many, newest first
};

// The store is busy (another process holds the database): the request may be tried again soon.
struct StoreBusy : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where the world table's results are kept. Safe to use from several threads; a result is
// durable when its Add returns. Failures throw std::runtime_error (StoreBusy when another
// process holds the database).
class ScoreStore {
public:
    virtual ~ScoreStore() = default;
    // Keeps a proven result with its replay. A ride kept already (the same digest) is not
    // kept twice: then its row is answered. Returns the row's id and whether it is new.
    virtual std::pair<std::int64_t, bool> AddProven(const ProvenResult& result) = 0;
    // Keeps an unproven result (sent with the old request, which proves nothing).
    virtual std::int64_t AddUnproven(const ScoreRecord& record, const std::string& address,
                                     std::int64_t receivedAt) = 0;
    // The best shown results of one list (proven, or the unproven apart) after the first
    // offset, at most limit: highest score first, earlier arrivals first among equal scores.
    virtual std::vector<StoredScore> Best(bool proven, int limit, int offset) = 0;
    // Shown results in one list.
    virtual std::int64_t Count(bool proven) = 0;
    // Where a shown row stands in its list.
    virtual RowPlace PlaceOf(std::int64_t id) = 0;
    // A shown proven row's replay; nothing for a hidden, unproven or missing row.
    virtual std::optional<std::string> ReplayOf(std::int64_t id) = 0;
    // Hides a row or shows it again, with an audit line naming who and why; false when there
    // is no such row.
    virtual bool SetHidden(std::int64_t id, bool hidden, const std::string& note) = 0;
    // Rows for a moderator, hidden ones too, newest first.
    virtual std::vector<StoredScore> List(const ScoreFilter& filter) = 0;
    // The audit lines, oldest first: "TIME ACTION ID NOTE".
    virtual std::vector<std::string> Audit() = 0;
};

// An SQLite file, created when missing; refused (with the reason) when it cannot be written.
std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path);
// A PostgreSQL database (a connection URI, postgresql://...), its tables created when missing;
// any number of servers may share it. Refused when the tables cannot be written.
std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& uri);
// The store a --db argument names: a postgresql:// or postgres:// URI, else an SQLite file.
std::unique_ptr<ScoreStore> OpenScoreStore(const std::string& where);

}  // namespace vrumbal::scores
