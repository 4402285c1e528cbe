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

#include "online/score_protocol.h"
#include "online/score_record.h"
#include "postgres_server.h"
#include "rate_limit.h"
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

// A store that counts the reads that reach it.
class CountingStore final : public ScoreStore {
public:
    explicit CountingStore(std::unique_ptr<ScoreStore> inner) : inner_(std::move(inner)) {}
    void Add(const ScoreRecord& r, std::int64_t at) override { inner_->Add(r, at); }
    std::vector<StoredScore> Best(int limit, int offset) override {
        ++reads;
        return inner_->Best(limit, offset);
    }
    std::int64_t Count() override {
        ++reads;
        return inner_->Count();
    }
    std::atomic<int> reads{0};

private:
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

HttpRequest Show(std::optional<std::string> page = std::nullopt,
                 const std::string& method = "GET") {
    std::vector<std::pair<std::string, std::optional<std::string>>> args = {
        {"show", std::nullopt}, {"prg", "Drovix"}, {"type", "0"}};
    if (page) args.emplace_back("page", *page);
    return Get(args, method);
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
    HttpAnswer Do(const HttpRequest& r) { return service_->Handle(r, now_, 1700000000); }

    test::TempDir dir_;
    std::unique_ptr<CountingStore> store_;
    RateLimit limit_{2, 4, 1000};
    RateLimit generous_{1e9, 1e9, 1000};
    std::unique_ptr<ScoreService> service_;
    std::int64_t now_ = 1000000;
};

TEST_P(ServiceOnStore, OnlyGetStoresAndNothingAboveTheHighestScore) {
    service_ = std::make_unique<ScoreService>(*store_, limit_);
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
        EXPECT_EQ(store_->Count(), stored);
        if (c.status == 405) {
            EXPECT_FALSE(a.headers.empty());
            EXPECT_EQ(a.headers[0].first, "Allow");
        }
    }
    const std::string page = Do(Show()).body;
    EXPECT_NE(page.find("Top"), std::string::npos);
    EXPECT_EQ(page.find("Over"), std::string::npos);
    EXPECT_EQ(page.find("Head"), std::string::npos);
}

TEST_P(ServiceOnStore, ABurstFromOneAddressStoresAFewAndRefusesTheRest) {
    service_ = std::make_unique<ScoreService>(*store_, limit_);
    int ok = 0, refused = 0;
    for (int i = 0; i < 40; ++i) {
        const int status = Do(Send("Burst" + std::to_string(i), i)).status;
        ok += status == 200;
        refused += status == 429;
    }
    EXPECT_EQ(ok, 4);
    EXPECT_EQ(refused, 36);
    EXPECT_EQ(store_->Count(), 4);
    // Another address is not held back by it.
    EXPECT_EQ(Do(Send("Other", 1, "GET", "10.0.0.9")).status, 200);
}

TEST_P(ServiceOnStore, PagesOfAHundredBestFirstFromACacheThatAStoredResultClears) {
    service_ = std::make_unique<ScoreService>(*store_, generous_);
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
            EXPECT_EQ(a.body.find(c.first, firstRow), a.body.find("<td>", firstRow) + 4);
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
                    store->Add({"S" + std::to_string(i), i, ""}, 0);
                    ++started;
                } catch (const std::exception& e) {
                    errors[static_cast<std::size_t>(i)] = e.what();
                }
            });
        }
        for (auto& t : starting) t.join();
        EXPECT_EQ(started, 6) << errors[0] << errors[1] << errors[2];
        EXPECT_EQ(OpenPostgresStore(uri)->Count(), 6);
    }
}

}  // namespace
}  // namespace vrumbal::scores
