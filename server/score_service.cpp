#include "score_service.h"

#include <algorithm>
#include <exception>

#include "online/score_protocol.h"
#include "online/score_record.h"
#include "score_bound.h"
#include "world_page.h"

namespace vrumbal::scores {
namespace {

HttpAnswer Text(int status, const std::string& text) {
    HttpAnswer a;
    a.status = status;
    a.body = text + "\n";
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

// A page number: digits only, 1 or more, not absurdly long.
std::optional<int> PageNumber(const std::string& text) {
    if (text.empty() || text.size() > 7 || text[0] == '0') return std::nullopt;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

ScoreService::ScoreService(ScoreStore& store, RateLimit& limit) : store_(store), limit_(limit) {}

HttpAnswer ScoreService::Handle(const HttpRequest& r, std::int64_t nowMs, std::int64_t receivedAt) {
    if (r.path != kScoreScriptPath) return Text(404, "not found");
    const bool head = r.method == "HEAD";
    if (r.method != "GET" && !head) {
        HttpAnswer a = Text(405, "only GET and HEAD");
        a.headers.emplace_back("Allow", "GET, HEAD");
        return a;
    }
    if (r.hasBody) {
        // Its bytes would be read as the next request on the connection.
        HttpAnswer a = Text(400, "a GET has no body");
        a.headers.emplace_back("Connection", "close");
        return a;
    }
    if (Single(r, "prg") != std::string(kProductCode)) return Text(400, "unknown product");
    if (Has(r, "hs")) {
        if (head) {
            // Only a GET stores: a HEAD must not change anything.
            HttpAnswer a = Text(405, "results are sent with GET");
            a.headers.emplace_back("Allow", "GET");
            return a;
        }
        const std::optional<std::string> code = Single(r, "inf");
        if (!code) return Text(400, "malformed result");
        return Store(r, *code, nowMs, receivedAt);
    }
    if (Has(r, "show") && Single(r, "type") == std::string("0")) {
        int number = 1;
        if (Has(r, "page")) {
            const std::optional<std::string> text = Single(r, "page");
            const std::optional<int> n = text ? PageNumber(*text) : std::nullopt;
            if (!n) return Text(400, "bad page");
            number = *n;
        }
        return Page(number, nowMs);
    }
    return Text(400, "unknown request");
}

HttpAnswer ScoreService::Store(const HttpRequest& r, const std::string& code, std::int64_t nowMs,
                               std::int64_t receivedAt) {
    const std::optional<ScoreRecord> record = DecodeRecord(code);
    if (!record) return Text(400, "malformed result");
    if (record->score > HighestScore()) return Text(400, "impossible score");
    if (!limit_.Allow(r.address, nowMs)) {
        HttpAnswer a = Text(429, "too many results");
        a.headers.emplace_back("Retry-After", "60");
        return a;
    }
    store_.Add(*record, receivedAt);
    {
        std::lock_guard lock(cacheMutex_);
        ++generation_;
        count_.reset();
        pages_.clear();
        pageOrder_.clear();
    }
    return Text(200, "OK");
}

HttpAnswer ScoreService::Page(int number, std::int64_t nowMs) {
    std::uint64_t generation = 0;
    std::optional<std::int64_t> count;
    {
        std::lock_guard lock(cacheMutex_);
        const auto it = pages_.find(number);
        if (it != pages_.end() && nowMs - it->second.at < kPageLifeMs) {
            pageOrder_.remove(number);
            pageOrder_.push_front(number);
            HttpAnswer a;
            a.contentType = "text/html; charset=utf-8";
            a.body = it->second.html;
            return a;
        }
        generation = generation_;
        if (nowMs - countAt_ < kPageLifeMs) count = count_;
    }
    const bool counted = !count;
    if (counted) count = store_.Count();
    const int pageCount = std::max<int>(1, static_cast<int>((*count + kPageRows - 1) / kPageRows));
    HttpAnswer a;
    a.contentType = "text/html; charset=utf-8";
    // Past the last page there is nothing to read: the empty page needs no query.
    const std::vector<StoredScore> rows = number > pageCount
                                              ? std::vector<StoredScore>{}
                                              : store_.Best(kPageRows, (number - 1) * kPageRows);
    a.body = WorldPage(rows, (number - 1) * kPageRows + 1, number, pageCount);
    std::lock_guard lock(cacheMutex_);
    ++rendered_;
    // A result stored meanwhile may be missing from this page: then it is not kept.
    if (generation == generation_) {
        if (counted) {
            count_ = count;
            countAt_ = nowMs;
        }
        if (number <= pageCount || pages_.size() < kCachedPages) {
            if (pages_.count(number) == 0) pageOrder_.push_front(number);
            pages_[number] = CachedPage{a.body, nowMs};
            while (pages_.size() > kCachedPages) {
                pages_.erase(pageOrder_.back());
                pageOrder_.pop_back();
            }
        }
    }
    return a;
}

std::uint64_t ScoreService::PagesRendered() const {
    std::lock_guard lock(cacheMutex_);
    return rendered_;
}

}  // namespace vrumbal::scores
