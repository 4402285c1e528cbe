// The world table's service on each of its stores: the rate limit and its memory bound, the
// score bound at and just past the highest score a game can reach, the methods, the paged
// world page and its cache, and two PostgreSQL servers creating their table at once.
#include "score_service.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "game/build_info.h"
#include "game/replay.h"
#include "loopback.h"
#include "online/score_protocol.h"
#include "online/score_record.h"
#include "postgres_server.h"
#include "rate_limit.h"
#include "replay_checker.h"
#include "request_log.h"
#include "score_bound.h"
#include "score_store.h"
#include "support/test_support.h"

namespace vrumbal::scores {
namespace {

TEST(RateLimit, AFewResultsAtOnceThenAFewAMinuteForEachAddress) {
    RateLimit limit(2, 4, 1000);  // four at once, two a minute after that
    const struct {
        std::int64_t atMs;
        std::string address;
        int tries;
        int allowed;
    } steps[] = {
        {0, "10.0.0.1", 40, 4},        // a burst: four pass
        {0, "10.0.0.2", 5, 4},         // another address has its own
        {10000, "10.0.0.1", 5, 0},     // a third of the way to the next
        {30000, "10.0.0.1", 5, 1},     // half a minute: one more
        {90000, "10.0.0.1", 5, 2},     // another minute: two more
        {3600000, "10.0.0.1", 10, 4},  // an hour later: no more than the four at once
        {3000000, "10.0.0.1", 3, 0},   // a clock stepping back gives nothing
    };
    for (const auto& s : steps) {
        int allowed = 0;
        for (int i = 0; i < s.tries; ++i) allowed += limit.Allow(s.address, s.atMs) ? 1 : 0;
        EXPECT_EQ(allowed, s.allowed) << s.address << " at " << s.atMs;
    }
}

TEST(RateLimit, ManyAddressesCostBoundedMemory) {
    RateLimit limit(2, 4, 100);
    for (int i = 0; i < 100000; ++i) limit.Allow("10." + std::to_string(i), 0);
    EXPECT_EQ(limit.Size(), 100u);
    // The one heard from last is still held; the first ones were forgotten.
    for (int i = 0; i < 4; ++i) limit.Allow("10.99999", 0);
    EXPECT_FALSE(limit.Allow("10.99999", 0));
    EXPECT_TRUE(limit.Allow("10.0", 0));
}

// The log: twenty lines at once from an address, one a second after that, the lines it lost
// told in its next one; another address has its own allowance.
TEST(RequestLog, EachAddressWritesAFewLinesAtOnceAndTellsWhatItLost) {
    std::vector<std::string> lines;
    std::int64_t now = 1'700'000'000;  // 2023-11-14T22:13:20Z
    RequestLog log([&](const std::string& line) { lines.push_back(line); }, [&] { return now; });
    for (int i = 0; i < 25; ++i) log.Line("10.0.0.1", "request " + std::to_string(i));
    log.Line("", "from nowhere");
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0], "2023-11-14T22:13:20Z 10.0.0.1 request 0");
    EXPECT_EQ(lines[19], "2023-11-14T22:13:20Z 10.0.0.1 request 19");
    EXPECT_EQ(lines[20], "2023-11-14T22:13:20Z - from nowhere");
    now += 2;
    for (int i = 0; i < 3; ++i) log.Line("10.0.0.1", "later " + std::to_string(i));
    ASSERT_EQ(lines.size(), 23u);
    EXPECT_EQ(lines[21], "2023-11-14T22:13:22Z 10.0.0.1 later 0 (5 lines from it not logged)");
    EXPECT_EQ(lines[22], "2023-11-14T22:13:22Z 10.0.0.1 later 1");
}

// A store that counts the reads that reach it, and fails its writes when told to.
class CountingStore final : public ScoreStore {
public:
    enum class Failing { No, Broken, Busy };
    explicit CountingStore(std::unique_ptr<ScoreStore> inner) : inner_(std::move(inner)) {}
    std::pair<std::int64_t, bool> AddProven(const ProvenResult& r) override {
        Fail();
        return inner_->AddProven(r);
    }
    std::int64_t AddUnproven(const ScoreRecord& r, const std::string& a, std::int64_t t) override {
        Fail();
        return inner_->AddUnproven(r, a, t);
    }
    std::vector<StoredScore> Best(bool proven, int limit, int offset) override {
        ++reads;
        return inner_->Best(proven, limit, offset);
    }
    std::int64_t Count(bool proven) override {
        ++reads;
        return inner_->Count(proven);
    }
    RowPlace PlaceOf(std::int64_t id) override { return inner_->PlaceOf(id); }
    std::optional<std::string> ReplayOf(std::int64_t id) override { return inner_->ReplayOf(id); }
    bool SetHidden(std::int64_t id, bool hidden, const std::string& note) override {
        return inner_->SetHidden(id, hidden, note);
    }
    std::vector<StoredScore> List(const ScoreFilter& f) override { return inner_->List(f); }
    std::vector<std::string> Audit() override { return inner_->Audit(); }

    std::atomic<int> reads{0};
    std::atomic<Failing> failing{Failing::No};

private:
    void Fail() {
        if (failing == Failing::Broken) throw std::runtime_error("disk full");
        if (failing == Failing::Busy) throw StoreBusy("locked");
    }
    std::unique_ptr<ScoreStore> inner_;
};

std::string Encoded(const std::string& name, std::int64_t score, const std::string& country) {
    std::string text = "type=0|name=" + name + "|score=" + std::to_string(score) +
                       "|key=" + std::string(1, kRecordKey) + "|p=|add=" + country + "|z=";
    while (text.size() % 5 != 0) text += '0';
    return EncodeRecord(text);
}

HttpRequest Get(const std::vector<std::pair<std::string, std::optional<std::string>>>& args,
                const std::string& method = "GET", const std::string& address = "10.0.0.1") {
    HttpRequest r;
    r.method = method;
    r.path = std::string(kScoreScriptPath);
    r.args = args;
    r.address = address;
    return r;
}

HttpRequest Send(const std::string& name, std::int64_t score, const std::string& method = "GET",
                 const std::string& address = "10.0.0.1") {
    return Get({{"hs", std::nullopt}, {"prg", "Drovix"}, {"inf", Encoded(name, score, "X")}},
               method, address);
}

// A page of the proven list, or of the unproven one.
HttpRequest Show(std::optional<std::string> page = std::nullopt, const std::string& method = "GET",
                 bool unproven = true) {
    std::vector<std::pair<std::string, std::optional<std::string>>> args = {
        {"show", std::nullopt}, {"prg", "Drovix"}, {"type", "0"}};
    if (unproven) args.emplace_back("unproven", std::nullopt);
    if (page) args.emplace_back("page", *page);
    return Get(args, method);
}

// A result sent with its replay.
HttpRequest Post(const std::string& replay, const std::string& address = "10.0.0.1",
                 const std::string& path = std::string(kResultsPath)) {
    HttpRequest r;
    r.method = "POST";
    r.path = path;
    r.args = {{"country", std::string("\xD0\xEE\xF1\xF1\xE8\xFF")}};  // Россия
    r.address = address;
    r.hasBody = !replay.empty();
    r.body = replay;
    return r;
}

HttpRequest Path(const std::string& path) {
    HttpRequest r;
    r.method = "GET";
    r.path = path;
    r.address = "10.0.0.1";
    return r;
}

// The replay changed by edit and written again, its check sum made right.
std::string Changed(const std::string& bytes, const std::function<void(Replay&)>& edit) {
    Replay replay;
    EXPECT_EQ(DecodeReplay(bytes, replay), "");
    edit(replay);
    const std::vector<std::uint8_t> again = EncodeReplay(replay);
    return {again.begin(), again.end()};
}

// The stores the same cases run on: an SQLite file, and a PostgreSQL database of a server
// the tests start.
struct StoreKind {
    const char* name;
    std::function<std::unique_ptr<ScoreStore>(test::TempDir&)> open;
};

test::PostgresServer& Postgres() {
    static test::PostgresServer server;  // one for the whole program, stopped at its end
    return server;
}

class ServiceOnStore : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override {
        if (std::string(GetParam().name) == "postgresql" && !Postgres().Running()) {
            GTEST_SKIP() << "no PostgreSQL to test against: " << Postgres().Why();
        }
        store_ = std::make_unique<CountingStore>(GetParam().open(dir_));
    }
    // A service taking unproven results apart, or proven ones re-run by the checker.
    void Start(RateLimit& limit, bool acceptUnproven, std::size_t queue = 8) {
        if (!acceptUnproven)
            checker_ = std::make_unique<ReplayChecker>(VRUMBAL_BUILD_DIR, 1, queue);
        ServiceRules rules;
        rules.acceptUnproven = acceptUnproven;
        service_ = std::make_unique<ScoreService>(*store_, limit, checker_.get(), rules);
    }
    HttpAnswer Do(const HttpRequest& r) { return service_->HandleNow(r, now_, 1700000000); }

    test::TempDir dir_;
    std::unique_ptr<CountingStore> store_;
    RateLimit limit_{2, 4, 1000};
    RateLimit generous_{1e9, 1e9, 1000};
    std::unique_ptr<ReplayChecker> checker_;
    std::unique_ptr<ScoreService> service_;
    std::int64_t now_ = 1000000;
};

TEST_P(ServiceOnStore, OnlyGetStoresAndNothingAboveTheHighestScore) {
    Start(limit_, true);
    // Every pickup worth 100, first place and the whole time left on all ten levels.
    EXPECT_EQ(HighestScore(), 68300);
    const struct {
        const char* what;
        HttpRequest request;
        int status;
        bool stored;
    } cases[] = {
        {"at the highest score", Send("Top", HighestScore()), 200, true},
        {"one above", Send("Over", HighestScore() + 1), 400, false},
        {"ten million", Send("Ten", 10000000), 400, false},
        {"a HEAD sends nothing", Send("Head", 5, "HEAD"), 405, false},
        {"a POST", Send("Post", 5, "POST"), 405, false},
        {"a PUT", Send("Put", 5, "PUT"), 405, false},
        {"a DELETE of the page", Show(std::nullopt, "DELETE"), 405, false},
        {"a HEAD of the page", Show(std::nullopt, "HEAD"), 200, false},
        {"a GET of the page", Show(), 200, false},
        {"an ordinary result", Send("Ann", 120), 200, true},
    };
    std::int64_t stored = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const HttpAnswer a = Do(c.request);
        EXPECT_EQ(a.status, c.status) << a.body;
        if (c.stored) ++stored;
        EXPECT_EQ(store_->Count(false), stored);
        if (c.status == 405) {
            EXPECT_FALSE(a.headers.empty());
            EXPECT_EQ(a.headers[0].first, "Allow");
        }
    }
    // Unproven results are a list apart: the world table itself has none of them.
    const std::string page = Do(Show()).body;
    EXPECT_NE(page.find("Top"), std::string::npos);
    EXPECT_EQ(page.find("Over"), std::string::npos);
    EXPECT_EQ(page.find("Head"), std::string::npos);
    const std::string table = Do(Show(std::nullopt, "GET", false)).body;
    EXPECT_EQ(table.find("Top"), std::string::npos);
    EXPECT_NE(table.find("unproven\">"), std::string::npos) << "the list apart is linked";
}

TEST_P(ServiceOnStore, ABurstFromOneAddressStoresAFewAndRefusesTheRest) {
    Start(limit_, true);
    int ok = 0, refused = 0;
    for (int i = 0; i < 40; ++i) {
        const int status = Do(Send("Burst" + std::to_string(i), i)).status;
        ok += status == 200;
        refused += status == 429;
    }
    EXPECT_EQ(ok, 4);
    EXPECT_EQ(refused, 36);
    EXPECT_EQ(store_->Count(false), 4);
    // Another address is not held back by it.
    EXPECT_EQ(Do(Send("Other", 1, "GET", "10.0.0.9")).status, 200);
}

TEST_P(ServiceOnStore, PagesOfAHundredBestFirstFromACacheThatAStoredResultClears) {
    Start(generous_, true);
    for (int i = 1; i <= 250; ++i) ASSERT_EQ(Do(Send("P" + std::to_string(i), i * 10)).status, 200);
    // Equal scores: the earlier first.
    ASSERT_EQ(Do(Send("Later", 2500)).status, 200);
    const struct {
        std::optional<std::string> page;
        int status;
        const char* first;   // the first name on it, "" for none
        const char* absent;  // a name that must not be on it
    } cases[] = {
        {std::nullopt, 200, "P250", "P150"},
        {"1", 200, "P250", "P150"},
        {"2", 200, "P151", "P250"},
        {"3", 200, "P51", "P151"},
        {"4", 200, "", "P1<"},
        {"0", 400, "", ""},
        {"-1", 400, "", ""},
        {"x", 400, "", ""},
        {"", 400, "", ""},
        {"99999999", 400, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page.value_or("none"));
        const HttpAnswer a = Do(Show(c.page));
        EXPECT_EQ(a.status, c.status);
        if (c.status != 200) continue;
        const auto firstRow = a.body.find("<tbody>");
        if (*c.first == '\0') {
            EXPECT_EQ(firstRow, std::string::npos);
        } else {
            ASSERT_NE(firstRow, std::string::npos);
            const std::string name = "<span class=\"name\">";
            EXPECT_EQ(a.body.find(c.first, firstRow), a.body.find(name, firstRow) + name.size());
        }
        if (*c.absent != '\0') {
            EXPECT_EQ(a.body.find(c.absent), std::string::npos);
        }
    }
    const std::string first = Do(Show()).body;
    EXPECT_LT(first.find("P250"), first.find("Later"));
    // A flood of page requests reads the store no more.
    const int reads = store_->reads;
    for (int i = 0; i < 1000; ++i) {
        Do(Show());
        Do(Show(std::string("7")));  // past the last page
    }
    EXPECT_EQ(store_->reads, reads);
    // A stored result clears it: the page shows the newcomer at once.
    ASSERT_EQ(Do(Send("Newcomer", 60000)).status, 200);
    EXPECT_NE(Do(Show()).body.find("Newcomer"), std::string::npos);
    EXPECT_GT(store_->reads, reads);
    // And pages grow old, for the results another server stores into the same database.
    const int before = store_->reads;
    Do(Show());
    EXPECT_EQ(store_->reads, before);
    now_ += ScoreService::kPageLifeMs;
    Do(Show());
    EXPECT_GT(store_->reads, before);
    // So does the proven list's count of the unproven one, however often proven pages are read.
    const auto proven = [&](const char* page) { return Do(Show(std::string(page), "GET", false)); };
    proven("1");
    store_->AddUnproven({"Elsewhere", 5, "X"}, "10.0.0.5", 0);
    const std::string linked = "</a> (" + std::to_string(store_->Count(false)) + ")";
    now_ += ScoreService::kPageLifeMs * 3 / 4;
    proven("2");
    now_ += ScoreService::kPageLifeMs * 3 / 4;
    EXPECT_NE(proven("1").body.find(linked), std::string::npos) << linked;
}

TEST_P(ServiceOnStore, ProvenResultsAreReRunStoredOnceAndServedWithTheirReplays) {
    Start(generous_, false);
    const std::string game = test::RecordedGame("Вера", 1);
    Replay replay;
    ASSERT_EQ(DecodeReplay(game, replay), "");
    std::string damaged = game;
    damaged[damaged.size() / 2] ^= 0x20;
    const struct {
        const char* what;
        HttpRequest request;
        int status;
        const char* answer;   // how the answer starts
        std::int64_t proven;  // proven results kept after it
    } cases[] = {
        {"a recorded game", Post(game), 200, "stored place=1 id=", 1},
        {"the same game again", Post(game, "10.0.0.2"), 200, "stored place=1 id=", 1},
        {"its score raised", Post(Changed(game, [](Replay& r) { r.score += 100; })), 422,
         "refused: mismatch:", 1},
        {"another name claimed", Post(Changed(game, [](Replay& r) { r.name = "Ivan"; })), 422,
         "refused: mismatch:", 1},
        // The ride copied with another name typed into it re-runs to that name, but it is the
        // ride kept already: the answer is its row.
        {"the same ride with another name typed",
         Post(Changed(game,
                      [](Replay& r) {
                          for (ReplayEvent& e : r.events) {
                              if (e.type == ReplayEvent::Type::Char && e.ch != 13) e.ch = 'Z';
                          }
                          r.name = "ZZZZ";
                      })),
         200, "stored place=1 id=", 1},
        {"one byte changed", Post(damaged), 400, "refused: damaged:", 1},
        {"no body", Post(""), 400, "refused: damaged:", 1},
        {"another version", Post(Changed(game, [](Replay& r) { r.gameVersion = "0.0.1"; })), 422,
         "refused: version:", 1},
        {"other content", Post(Changed(game, [](Replay& r) { r.content[0] ^= 1; })), 422,
         "refused: content:", 1},
        {"cut off", Post(Changed(game, [](Replay& r) { r.finished = false; })), 422,
         "refused: unfinished:", 1},
        {"above the highest score",
         Post(Changed(game, [](Replay& r) { r.score = HighestScore() + 1; })), 422,
         "refused: score:", 1},
        {"frames slowed to 40 ms",
         Post(Changed(game,
                      [](Replay& r) {
                          for (auto& f : r.frames) f.frameMs = 40;
                      })),
         422, "refused: pace:", 1},
        {"a GET of the path", Path(std::string(kResultsPath)), 405, "a result", 1},
        {"the old request", Send("Forger", 60000), 403, "refused: unproven:", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const HttpAnswer a = Do(c.request);
        EXPECT_EQ(a.status, c.status) << a.body;
        EXPECT_EQ(a.body.rfind(c.answer, 0), 0u) << a.body;
        EXPECT_EQ(store_->Count(true), c.proven);
        EXPECT_EQ(store_->Count(false), 0);
    }
    // The page shows it with its country, a link to its row and one to its replay, which is
    // the very file sent.
    const StoredScore row = store_->Best(true, 1, 0).at(0);
    EXPECT_EQ(row.score, replay.score);
    EXPECT_EQ(row.level, replay.level);
    EXPECT_EQ(row.address, "10.0.0.1");
    const std::string id = std::to_string(row.id);
    const std::string page = Do(Show(std::nullopt, "GET", false)).body;
    EXPECT_EQ(page.find("ZZZZ"), std::string::npos);
    for (const std::string& piece :
         {std::string("Вера"), std::string("Россия"), "id=\"r" + id + "\"",
          "&amp;id=" + id + "#r" + id, std::string(kReplaysPath) + id + ".vrr",
          std::string("Vrumbal"), std::string("og:title")}) {
        EXPECT_NE(page.find(piece), std::string::npos) << piece;
    }
    const HttpAnswer file = Do(Path(std::string(kReplaysPath) + id + ".vrr"));
    EXPECT_EQ(file.status, 200);
    EXPECT_EQ(file.body, game);
    HttpRequest link = Show(std::nullopt, "GET", false);
    link.args.emplace_back("id", id);
    EXPECT_NE(Do(link).body.find("id=\"r" + id + "\""), std::string::npos);
    // A moderator hides it: not on the page once the cached one is old, its replay and its
    // link gone, and the same game sent again is not taken back.
    ASSERT_TRUE(store_->SetHidden(row.id, true, "by test"));
    now_ += ScoreService::kPageLifeMs;
    EXPECT_EQ(Do(Show(std::nullopt, "GET", false)).body.find("Вера"), std::string::npos);
    EXPECT_EQ(Do(Path(std::string(kReplaysPath) + id + ".vrr")).status, 404);
    EXPECT_EQ(Do(link).status, 404);
    const HttpAnswer again = Do(Post(game));
    EXPECT_EQ(again.status, 403);
    EXPECT_EQ(again.body.rfind("refused: withdrawn:", 0), 0u) << again.body;
    for (const char* path : {"/v2/replays/0.vrr", "/v2/replays/x.vrr", "/v2/replays/1",
                             "/v2/replays/99999999999999999999.vrr"}) {
        EXPECT_EQ(Do(Path(path)).status, 404) << path;
    }
}

TEST_P(ServiceOnStore, AFailureOfTheServersOwnCostsTheSenderNothing) {
    RateLimit one(1, 1, 1000);  // one result, then one a minute
    const std::string game = test::RecordedGame("Вера", 1);
    const std::string other = test::RecordedGame("Олег", 2);
    // No room in the queue: busy, asked to come back.
    Start(one, false, 0);
    HttpAnswer a = Do(Post(game));
    EXPECT_EQ(a.status, 503);
    ASSERT_FALSE(a.headers.empty());
    EXPECT_EQ(a.headers[0].first, "Retry-After");
    Start(one, false);
    const struct {
        CountingStore::Failing failing;
        int status;
    } steps[] = {
        {CountingStore::Failing::Broken, 500},
        {CountingStore::Failing::Busy, 503},
        {CountingStore::Failing::No, 200},  // the one result the address may send
    };
    for (const auto& step : steps) {
        store_->failing = step.failing;
        EXPECT_EQ(Do(Post(game)).status, step.status);
    }
    EXPECT_EQ(store_->Count(true), 1);
    // The next one is over the address's budget; a forgery would have spent it too.
    EXPECT_EQ(Do(Post(other)).status, 429);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, ServiceOnStore,
    ::testing::Values(StoreKind{"sqlite",
                                [](test::TempDir& dir) {
                                    return OpenScoreStore((dir.Path() / "scores.db").string());
                                }},
                      StoreKind{
                          "postgresql",
                          [](test::TempDir&) { return OpenScoreStore(Postgres().NewDatabase()); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PostgresStore, ServersCreatingTheTableAtOnceAllStart) {
    if (!Postgres().Running())
        GTEST_SKIP() << "no PostgreSQL to test against: " << Postgres().Why();
    for (int round = 0; round < 3; ++round) {
        const std::string uri = Postgres().NewDatabase();
        std::vector<std::thread> starting;
        std::atomic<int> started{0};
        std::vector<std::string> errors(6);
        for (int i = 0; i < 6; ++i) {
            starting.emplace_back([&, i] {
                try {
                    auto store = OpenPostgresStore(uri);
                    store->AddUnproven({"S" + std::to_string(i), i, ""}, "", 0);
                    ++started;
                } catch (const std::exception& e) {
                    errors[static_cast<std::size_t>(i)] = e.what();
                }
            });
        }
        for (auto& t : starting) t.join();
        EXPECT_EQ(started, 6) << errors[0] << errors[1] << errors[2];
        EXPECT_EQ(OpenPostgresStore(uri)->Count(false), 6);
    }
}

}  // namespace
}  // namespace vrumbal::scores
