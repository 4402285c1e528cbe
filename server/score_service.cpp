// The world table's requests: proven results re-run before they are stored, the old bare
// results refused or kept apart, replay files, pages and links to rows.
#include "score_service.h"

#include <algorithm>
#include <exception>
#include <future>
#include <memory>

#include "game/build_info.h"
#include "game/replay.h"
#include "online/score_protocol.h"
#include "online/score_record.h"
#include "replay_checker.h"
#include "request_log.h"
#include "score_bound.h"
#include "shell/frame_rate.h"
#include "world_page.h"

namespace vrumbal::scores {
namespace {

HttpAnswer Text(int status, const std::string& text) {
    HttpAnswer a;
    a.status = status;
    a.body = text + "\n";
    return a;
}

HttpAnswer Busy(const std::string& why) {
    HttpAnswer a = Text(503, "busy: " + why);
    a.headers.emplace_back("Retry-After", std::to_string(ScoreService::kBusyRetrySeconds));
    return a;
}

HttpAnswer TooMany() {
    HttpAnswer a = Text(429, "too many results from this address: try again later");
    a.headers.emplace_back("Retry-After", "60");
    return a;
}

HttpAnswer Html(std::string page) {
    HttpAnswer a;
    a.contentType = "text/html; charset=utf-8";
    a.body = std::move(page);
    return a;
}

// The value of a key that comes exactly once, or nothing.
std::optional<std::string> Single(const HttpRequest& r, const std::string& key) {
    std::optional<std::string> found;
    int count = 0;
    for (const auto& [k, v] : r.args) {
        if (k != key) continue;
        ++count;
        found = v.value_or("");
    }
    if (count != 1) return std::nullopt;
    return found;
}

bool Has(const HttpRequest& r, const std::string& key) {
    return std::any_of(r.args.begin(), r.args.end(), [&](const auto& a) { return a.first == key; });
}

// A positive number: digits only, no leading zero, at most `digits` of them.
std::optional<std::int64_t> PositiveNumber(const std::string& text, std::size_t digits) {
    if (text.empty() || text.size() > digits || text[0] == '0') return std::nullopt;
    std::int64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

// A country as the game sends it beside its replay: printable bytes of code page 1251, cut
// to the length kept (the old request cuts it the same way).
std::string CountryOf(const HttpRequest& r) {
    std::string country;
    for (char c : Single(r, "country").value_or("")) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) continue;
        if (country.size() < kMaxCountryBytes) country += c;
    }
    return country;
}

// Whether a frame's pace is one the game's own pacing gives: 85 over a whole frame rate from
// 1 to 1000 a second with its whole milliseconds, or the values it starts with.
bool GamePace(std::int32_t frameMs, double speedFactor) {
    const FramePace start;
    if (frameMs == start.frameMs && speedFactor == start.speedFactor) return true;
    if (!(speedFactor > 0.08 && speedFactor <= 85.0)) return false;
    const int rate = static_cast<int>(85.0 / speedFactor + 0.5);
    if (rate < 1 || rate > 1000) return false;
    const FramePace pace = PaceForFrameRate(rate, rate);
    return pace.speedFactor == speedFactor && pace.frameMs == frameMs;
}

// Why a decoded replay cannot be a real game's whole result, before it is re-run; "" when it
// may be.
std::string Implausible(const Replay& replay, const ServiceRules& rules) {
    if (replay.gameVersion != kGameVersion) {
        return "version: recorded by version " + replay.gameVersion + ", this server takes " +
               kGameVersion;
    }
    if (!replay.finished || replay.name.empty())
        return "unfinished: not a finished game with a name";
    if (replay.score < 0 || replay.score > HighestScore())
        return "score: a score no game can reach";
    if (replay.frames.size() > rules.maxFrames)
        return "length: a game longer than this server re-runs";
    for (const ReplayFrame& frame : replay.frames) {
        if (frame.lag < 1 || !GamePace(frame.frameMs, frame.speedFactor)) {
            return "pace: frame times the game does not produce";
        }
    }
    return "";
}

// The ride a replay holds, as a digest: everything it was given but the name typed at its end
// (and the table that let a name be typed), so that a ride copied from the page with another
// name typed in is the same ride as the original and is not kept twice.
std::string RideDigest(const Replay& replay) {
    std::string bytes;
    auto put = [&bytes](const auto& value) {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    };
    bytes += replay.gameVersion;
    bytes.push_back('\0');
    bytes.append(reinterpret_cast<const char*>(replay.content.data()), replay.content.size());
    for (std::uint32_t word : replay.random) put(word);
    put(replay.bike);
    put(replay.startLevel);
    for (std::uint8_t level : replay.keyLevels) put(level);
    auto putEvents = [&](std::uint32_t first, std::uint32_t count) {
        for (std::uint32_t e = first; e < first + count && e < replay.events.size(); ++e) {
            const ReplayEvent& event = replay.events[e];
            if (event.type == ReplayEvent::Type::Char) continue;  // typing acts only on names
            put(event.type);
            put(event.x);
            put(event.y);
            put(event.kind);
        }
    };
    for (const ReplayFrame& frame : replay.frames) {
        put(frame.input);
        put(frame.lag);
        put(frame.frameMs);
        put(frame.speedFactor);
        putEvents(frame.firstEvent, frame.eventCount);
    }
    const auto trailing = static_cast<std::uint32_t>(replay.events.size()) - replay.trailingEvents;
    putEvents(trailing, replay.trailingEvents);
    return DigestHex(DigestOf(bytes));
}

}  // namespace

ScoreService::ScoreService(ScoreStore& store, RateLimit& limit, ReplayChecker* checker,
                           ServiceRules rules, RequestLog* log)
    : store_(store), limit_(limit), checker_(checker), rules_(rules), log_(log) {}

void ScoreService::Log(const std::string& address, const std::string& text) {
    if (log_ != nullptr) log_->Line(address, text);
}

void ScoreService::Handle(const HttpRequest& r, std::int64_t nowMs, std::int64_t receivedAt,
                          Reply reply) {
    try {
        if (r.path == kResultsPath) {
            if (r.method != "POST") {
                HttpAnswer a = Text(405, "a result is sent with POST, its replay the body");
                a.headers.emplace_back("Allow", "POST");
                return reply(a);
            }
            return StoreProven(r, nowMs, receivedAt, std::move(reply));
        }
        const bool head = r.method == "HEAD";
        if (r.method != "GET" && !head) {
            HttpAnswer a = Text(405, "only GET and HEAD");
            a.headers.emplace_back("Allow", "GET, HEAD");
            return reply(a);
        }
        if (r.hasBody) {
            // Its bytes would be read as the next request on the connection.
            HttpAnswer a = Text(400, "a GET has no body");
            a.headers.emplace_back("Connection", "close");
            return reply(a);
        }
        if (r.path.rfind(kReplaysPath, 0) == 0) return reply(ReplayFile(r.path));
        if (r.path == "/") {
            HttpAnswer a = Text(302, "the world table");
            a.headers.emplace_back("Location", TableAddress(true, 1, false));
            return reply(a);
        }
        if (r.path != kScoreScriptPath) return reply(Text(404, "not found"));
        reply(Legacy(r, nowMs, receivedAt));
    } catch (const StoreBusy& e) {
        Log(r.address, std::string("busy: ") + e.what());
        reply(Busy("the database is in use"));
    }
}

HttpAnswer ScoreService::HandleNow(const HttpRequest& request, std::int64_t nowMs,
                                   std::int64_t receivedAt) {
    auto answer = std::make_shared<std::promise<HttpAnswer>>();
    std::future<HttpAnswer> future = answer->get_future();
    Handle(request, nowMs, receivedAt, [answer](HttpAnswer a) { answer->set_value(std::move(a)); });
    return future.get();
}

HttpAnswer ScoreService::Legacy(const HttpRequest& r, std::int64_t nowMs, std::int64_t receivedAt) {
    if (Single(r, "prg") != std::string(kProductCode)) return Text(400, "unknown product");
    if (Has(r, "hs")) {
        if (r.method == "HEAD") {
            // Only a GET stores: a HEAD must not change anything.
            HttpAnswer a = Text(405, "results are sent with GET");
            a.headers.emplace_back("Allow", "GET");
            return a;
        }
        const std::optional<std::string> code = Single(r, "inf");
        if (!code) return Text(400, "malformed result");
        return StoreUnproven(r, *code, nowMs, receivedAt);
    }
    if (Has(r, "show") && Single(r, "type") == std::string("0")) {
        if (Has(r, "id")) return PageOfRow(Single(r, "id").value_or(""), nowMs);
        PageKey key;
        key.proven = !Has(r, "unproven");
        if (Has(r, "page")) {
            const std::optional<std::int64_t> n = PositiveNumber(Single(r, "page").value_or(""), 7);
            if (!n) return Text(400, "bad page");
            key.number = static_cast<int>(*n);
        }
        return Page(key, nowMs);
    }
    return Text(400, "unknown request");
}

HttpAnswer ScoreService::StoreUnproven(const HttpRequest& r, const std::string& code,
                                       std::int64_t nowMs, std::int64_t receivedAt) {
    const std::optional<ScoreRecord> record = DecodeRecord(code);
    if (!record) return Text(400, "malformed result");
    if (!rules_.acceptUnproven) {
        Log(r.address, "refused an unproven result of " + std::to_string(record->score));
        return Text(403,
                    "refused: unproven: this server takes only results sent with their replay");
    }
    if (record->score > HighestScore()) return Text(400, "impossible score");
    if (!limit_.Allow(r.address, nowMs)) return TooMany();
    try {
        const std::int64_t id = store_.AddUnproven(*record, r.address, receivedAt);
        Log(r.address, "stored unproven result " + std::to_string(id) + " of " +
                           std::to_string(record->score));
    } catch (...) {
        // A failure of the server's own costs the sender nothing.
        limit_.GiveBack(r.address);
        throw;
    }
    TableChanged();
    return Text(200, "OK");
}

void ScoreService::StoreProven(const HttpRequest& r, std::int64_t nowMs, std::int64_t receivedAt,
                               Reply reply) {
    auto refuse = [&](int status, const std::string& why) {
        Log(r.address, "refused a result: " + why);
        reply(Text(status, "refused: " + why));
    };
    Replay replay;
    if (const std::string why = DecodeReplay(r.body, replay); !why.empty()) {
        return refuse(400, "damaged: not a replay file that can be read (" + why + ")");
    }
    if (checker_ == nullptr) return reply(Busy("replays are not re-run here"));
    if (replay.content != checker_->Content()) {
        return refuse(422, "content: recorded on other game content than this server's");
    }
    if (const std::string why = Implausible(replay, rules_); !why.empty()) {
        return refuse(422, why);
    }
    if (!limit_.Allow(r.address, nowMs)) {
        Log(r.address, "too many results");
        return reply(TooMany());
    }
    ProvenResult result;
    result.record.name = replay.name;
    result.record.score = replay.score;
    result.record.country = CountryOf(r);
    result.level = replay.level;
    result.replay = r.body;
    result.digest = RideDigest(replay);
    result.address = r.address;
    result.receivedAt = receivedAt;
    const std::string address = r.address;
    auto answer = [this, result = std::move(result), reply](const ReplayCheck& check) {
        if (!check.matches) {
            // The budget stays spent: a forgery costs its sender as much as a result.
            const std::string why =
                "mismatch: " +
                (!check.error.empty()
                     ? check.error
                     : std::string("the replay does not reach the result it claims"));
            Log(result.address,
                "refused a result of " + std::to_string(result.record.score) + ": " + why);
            return reply(Text(422, "refused: " + why));
        }
        try {
            const auto [id, isNew] = store_.AddProven(result);
            if (isNew) TableChanged();
            const std::int64_t place = store_.PlaceOf(id).place;
            if (place == 0) {
                // The same replay was kept before and a moderator has hidden it.
                Log(result.address, "refused result " + std::to_string(id) + ": hidden");
                return reply(
                    Text(403, "refused: withdrawn: a moderator has withdrawn this result"));
            }
            Log(result.address, std::string(isNew ? "stored" : "already had") + " result " +
                                    std::to_string(id) + " of " +
                                    std::to_string(result.record.score) + " at place " +
                                    std::to_string(place));
            reply(Text(200, "stored place=" + std::to_string(place) + " id=" + std::to_string(id)));
        } catch (const std::exception& e) {
            limit_.GiveBack(result.address);
            Log(result.address, std::string("could not store a result: ") + e.what());
            reply(dynamic_cast<const StoreBusy*>(&e) != nullptr
                      ? Busy("the database is in use")
                      : Text(500, "the result could not be stored: try again later"));
        }
    };
    if (!checker_->Submit(std::move(replay), std::move(answer))) {
        limit_.GiveBack(address);
        Log(address, "busy: every worker has results waiting");
        reply(Busy("every worker has results waiting"));
    }
}

HttpAnswer ScoreService::ReplayFile(const std::string& path) {
    // "/v2/replays/<id>.vrr"
    std::string name = path.substr(kReplaysPath.size());
    constexpr std::string_view kEnd = ".vrr";
    if (name.size() <= kEnd.size() ||
        name.compare(name.size() - kEnd.size(), kEnd.size(), kEnd) != 0) {
        return Text(404, "not found");
    }
    name.resize(name.size() - kEnd.size());
    const std::optional<std::int64_t> id = PositiveNumber(name, 18);
    if (!id) return Text(404, "not found");
    std::optional<std::string> bytes = store_.ReplayOf(*id);
    if (!bytes) return Text(404, "no such replay");
    HttpAnswer a;
    a.contentType = "application/octet-stream";
    a.body = std::move(*bytes);
    a.headers.emplace_back("Content-Disposition",
                           "attachment; filename=\"vrumbal-" + std::to_string(*id) + ".vrr\"");
    // A replay never changes once stored.
    a.headers.emplace_back("Cache-Control", "public, max-age=86400");
    return a;
}

HttpAnswer ScoreService::PageOfRow(const std::string& idText, std::int64_t nowMs) {
    const std::optional<std::int64_t> id = PositiveNumber(idText, 18);
    if (!id) return Text(400, "bad id");
    const RowPlace place = store_.PlaceOf(*id);
    if (place.place == 0) return Text(404, "no such result");
    PageKey key;
    key.proven = place.proven;
    key.number = static_cast<int>((place.place - 1) / kPageRows + 1);
    return Page(key, nowMs);
}

void ScoreService::TableChanged() {
    std::lock_guard lock(cacheMutex_);
    ++generation_;
    counts_.clear();
    pages_.clear();
    pageOrder_.clear();
}

HttpAnswer ScoreService::Page(PageKey key, std::int64_t nowMs) {
    std::uint64_t generation = 0;
    std::optional<std::int64_t> count, unproven;
    {
        std::lock_guard lock(cacheMutex_);
        const auto it = pages_.find(key);
        if (it != pages_.end() && nowMs - it->second.at < kPageLifeMs) {
            pageOrder_.remove(key);
            pageOrder_.push_front(key);
            return Html(it->second.html);
        }
        generation = generation_;
        const auto fresh = [&](bool proven) -> std::optional<std::int64_t> {
            const auto c = counts_.find(proven);
            if (c == counts_.end() || nowMs - c->second.second >= kPageLifeMs) return std::nullopt;
            return c->second.first;
        };
        count = fresh(key.proven);
        // Only the proven list links to the unproven one with its count.
        if (key.proven) unproven = fresh(false);
    }
    const bool counted = !count;
    if (counted) count = store_.Count(key.proven);
    const bool unprovenCounted = key.proven && !unproven;
    if (unprovenCounted) unproven = store_.Count(false);
    PageView view;
    view.proven = key.proven;
    view.pageNumber = key.number;
    view.pageCount = std::max<int>(1, static_cast<int>((*count + kPageRows - 1) / kPageRows));
    view.firstPlace = (key.number - 1) * kPageRows + 1;
    view.unprovenCount = unproven.value_or(0);
    // Past the last page there is nothing to read: the empty page needs no query.
    if (key.number <= view.pageCount) {
        view.rows = store_.Best(key.proven, kPageRows, (key.number - 1) * kPageRows);
    }
    HttpAnswer a = Html(WorldPage(view));
    std::lock_guard lock(cacheMutex_);
    // A change to the table meanwhile may be missing from this page: then it is not kept.
    if (generation == generation_) {
        if (counted) counts_[key.proven] = {*count, nowMs};
        // A count is as old as its reading: one taken from the cache keeps its time.
        if (unprovenCounted) counts_[false] = {*unproven, nowMs};
        if (key.number <= view.pageCount || pages_.size() < kCachedPages) {
            if (pages_.count(key) == 0) pageOrder_.push_front(key);
            pages_[key] = CachedPage{a.body, nowMs};
            while (pages_.size() > kCachedPages) {
                pages_.erase(pageOrder_.back());
                pageOrder_.pop_back();
            }
        }
    }
    return a;
}

}  // namespace vrumbal::scores
