// Sending a result to the world table: where the score server is, how long to wait, and the
// address of the world table page.
#pragma once
#include <cstdint>
#include <string>

#include "online/score_record.h"
#include "platform/http_client.h"

namespace vrumbal {

// Where results go and how long the game waits for the server.
struct ScoreServer {
    std::string host = ScoreHost();  // "name:port" of the score server
    HttpTimeouts timeouts;           // bounds on the wait behind the sending notice

    // The host the game was built to send results to.
    static std::string ScoreHost();
};

// The path and query that hand an encoded result to the server.
std::string SubmitTarget(const std::string& encoded);

// Sends one result to the world table with the game's request headers and reads the answer,
// which only decides the return value: true for a 2xx status. Every failure is swallowed
// (the game carries on to the high-score screen either way); the time-outs bound the wait.
bool SubmitScore(const ScoreRecord& record, const ScoreServer& server = ScoreServer{});

// What became of a result sent with its replay.
struct UploadOutcome {
    enum class Kind {
        Stored,    // on the world table (place, when the server told it)
        Refused,   // the server answered that it will not keep it (reason)
        Busy,      // the server answered that it cannot take it now: send it again later
        NoAnswer,  // no connection, or no whole answer in time: send it again later
    };
    Kind kind = Kind::NoAnswer;
    std::int64_t place = 0;  // Stored: its place on the world table, 0 when not told
    std::string reason;      // Refused: the server's reason, in its words (ASCII)

    // The server has answered for it: it need not be sent again.
    bool Answered() const { return kind == Kind::Stored || kind == Kind::Refused; }
};

// The path and query that hand a result's replay to the server, with the country.
std::string UploadTarget(const std::string& country);

// Sends a result with its replay (the replay file's bytes): one POST, whose body is the
// replay. A server that does not know that request gets the old one, which proves nothing.
// Never throws; the time-outs bound the wait.
UploadOutcome UploadResult(const ScoreRecord& record, const std::string& replay,
                           const ScoreServer& server = ScoreServer{});

// The world table page on the score server, for the browser.
std::string WorldTableAddress(const std::string& host = ScoreServer::ScoreHost());

}  // namespace vrumbal
