// The sending of a result: the request with the headers the server has always been sent, only
// its status read, every failure swallowed; and the world table's address.
#include "online/score_submit.h"

#include <exception>
#include <string_view>

#include "game/build_info.h"
#include "online/score_protocol.h"

namespace vrumbal {
namespace {

// The answer's body is read to its end and dropped: only the status counts.
constexpr std::size_t kKeptAnswer = 0;
// An answer to a result with its replay is one short line; more is not read.
constexpr std::size_t kKeptUploadAnswer = 512;

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

namespace {

// The result sent the old way, its answer's body kept up to `kept` bytes.
std::optional<HttpResponse> OldRequest(const ScoreRecord& record, const ScoreServer& server,
                                       std::size_t kept) {
    const std::string target = SubmitTarget(EncodeRecord(ScoreRecordText(record)));
    return HttpGet(server.host, target, SubmitHeaders(), server.timeouts, kept);
}

}  // namespace

bool SubmitScore(const ScoreRecord& record, const ScoreServer& server) {
    try {
        const auto answer = OldRequest(record, server, kKeptAnswer);
        return answer && answer->status >= 200 && answer->status < 300;
    } catch (const std::exception&) {
        return false;  // a failed send never stops the game
    }
}

std::string UploadTarget(const std::string& country) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string target = std::string(kResultsPath) + "?country=";
    for (char c : country) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' ||
                           byte == '.' || byte == '~';
        if (plain) {
            target += c;
        } else {
            target += '%';
            target += kHex[byte >> 4];
            target += kHex[byte & 15];
        }
    }
    return target;
}

namespace {

// The outcome an answer of the server means (status and body as they came).
UploadOutcome OutcomeOfAnswer(int status, const std::string& body) {
    UploadOutcome outcome;
    // The first line, without its end and without the word the server starts refusals with.
    std::string line = body.substr(0, body.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (status >= 200 && status < 300) {
        outcome.kind = UploadOutcome::Kind::Stored;
        const auto at = line.find("place=");
        if (at != std::string::npos) {
            std::int64_t place = 0;
            for (std::size_t i = at + 6;
                 i < line.size() && line[i] >= '0' && line[i] <= '9' && place < 1'000'000'000'000;
                 ++i) {
                place = place * 10 + (line[i] - '0');
            }
            outcome.place = place;
        }
        return outcome;
    }
    // Only a refusal (4xx) is final. A request timed out, too many at once, every fault of the
    // server's own, and whatever stands in its way (a redirecting portal) may take it later.
    if (status < 400 || status >= 500 || status == 408 || status == 429) {
        outcome.kind = UploadOutcome::Kind::Busy;
        return outcome;
    }
    outcome.kind = UploadOutcome::Kind::Refused;
    constexpr std::string_view kRefused = "refused: ";
    if (line.rfind(kRefused, 0) == 0) line.erase(0, kRefused.size());
    // The reason is shown in the game's font: printable ASCII only, and not a page of it.
    std::string reason;
    for (char c : line) {
        if (c >= 0x20 && c < 0x7F && reason.size() < 120) reason += c;
    }
    outcome.reason = reason.empty() ? "status " + std::to_string(status) : reason;
    return outcome;
}

}  // namespace

UploadOutcome UploadResult(const ScoreRecord& record, const std::string& replay,
                           const ScoreServer& server) {
    try {
        const std::vector<HttpHeader> headers = {
            {"User-Agent", std::string("Vrumbal/") + kGameVersion},
            {"Content-Type", "application/octet-stream"},
            {"Accept", "text/plain"},
        };
        const auto answer = HttpPost(server.host, UploadTarget(record.country), headers, replay,
                                     server.timeouts, kKeptUploadAnswer);
        if (!answer) return UploadOutcome{};
        // A server of before replays knows only the old request: the result goes that way.
        if (answer->status == 404 || answer->status == 405) {
            const auto old = OldRequest(record, server, kKeptUploadAnswer);
            if (!old) return UploadOutcome{};
            return OutcomeOfAnswer(old->status, old->body);
        }
        return OutcomeOfAnswer(answer->status, answer->body);
    } catch (const std::exception&) {
        return UploadOutcome{};  // a failed send never stops the game
    }
}

std::string WorldTableAddress(const std::string& host) {
    return "http://" + host + std::string(kScoreScriptPath) + "?prg=" + std::string(kProductCode) +
           "&show&type=0";
}

}  // namespace vrumbal
