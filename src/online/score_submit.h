// Sending a result to the world table: where the score server is, how long to wait, and the
// address of the world table page.
#pragma once
#include <string>

#include "platform/http_client.h"
#include "online/score_record.h"

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

// The world table page on the score server, for the browser.
std::string WorldTableAddress(const std::string& host = ScoreServer::ScoreHost());

}  // namespace vrumbal
