// The sending of a result: the request with the headers the server has always been sent, only
// its status read, every failure swallowed; and the world table's address.
#include "online/score_submit.h"

#include <exception>

#include "game/build_info.h"
#include "online/score_protocol.h"

namespace vrumbal {
namespace {

// The answer's body is read to its end and dropped: only the status counts.
constexpr std::size_t kKeptAnswer = 0;

// The request headers the score server has always been sent.
const std::vector<HttpHeader>& SubmitHeaders() {
    static const std::vector<HttpHeader> headers = {
        {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
        {"Accept", "text/html, */*"},
        {"Content-Type", "text/html"},
        {"Content-Length", "0"},
    };
    return headers;
}

}  // namespace

std::string ScoreServer::ScoreHost() {
    return kScoreHost;
}

std::string SubmitTarget(const std::string& encoded) {
    return std::string(kScoreScriptPath) + "?hs&prg=" + std::string(kProductCode) +
           "&inf=" + encoded;
}

bool SubmitScore(const ScoreRecord& record, const ScoreServer& server) {
    try {
        const std::string target = SubmitTarget(EncodeRecord(ScoreRecordText(record)));
        const auto answer =
            HttpGet(server.host, target, SubmitHeaders(), server.timeouts, kKeptAnswer);
        return answer && answer->status >= 200 && answer->status < 300;
    } catch (const std::exception&) {
        return false;  // a failed send never stops the game
    }
}

std::string WorldTableAddress(const std::string& host) {
    return "http://" + host + std::string(kScoreScriptPath) + "?prg=" + std::string(kProductCode) +
           "&show&type=0";
}

}  // namespace vrumbal
