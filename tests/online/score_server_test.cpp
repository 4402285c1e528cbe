#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "game/replay.h"
#include "online/loopback.h"
#include "online/score_protocol.h"
#include "online/score_record.h"
#include "online/score_submit.h"
#include "platform/codepage.h"
#include "platform/http_client.h"
#include "postgres_server.h"
#include "save/outbox.h"
#include "shell/result_uploads.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// Short time-outs so the failure cases finish quickly (longer under the sanitizers, where
// an answer on time may take longer to come).
HttpTimeouts Quick() {
    return {test::Patience(milliseconds(1000)), test::Patience(milliseconds(500)),
            test::Patience(milliseconds(2000))};
}

ScoreServer At(const std::string& host, const HttpTimeouts& timeouts = HttpTimeouts{}) {
    ScoreServer server;
    server.host = host;
    server.timeouts = timeouts;
    return server;
}

// GET of a path on the server; status 0 when nothing usable came back.
HttpResponse Get(const std::string& host, const std::string& target) {
    return HttpGet(host, target, {}, HttpTimeouts{}, 1 << 20).value_or(HttpResponse{});
}

// The world table's page; of the unproven list apart unless told otherwise (the old request,
// which most tests here send, stores there).
std::string WorldPageOf(const std::string& host, bool unproven = true) {
    const HttpResponse page = Get(host, std::string("/cgi/version.pl?prg=Drovix&show&type=0") +
                                            (unproven ? "&unproven" : ""));
    EXPECT_EQ(page.status, 200);
    return page.body;
}

// The shell's quoting of one argument.
std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class ScoreServerTest : public ::testing::Test {
protected:
    std::filesystem::path Db() const { return dir_.Path() / "scores.db"; }
    std::filesystem::path Log() const { return dir_.Path() / "server.log"; }

    test::TempDir dir_;
};

TEST_F(ScoreServerTest, SubmittedResultsAppearBestFirstEscapedAndInUtf8) {
    test::ScoreServerProcess server(Db(), Log());
    const std::vector<ScoreRecord> records = {
        {"Ann", 120, "_______"},
        {Utf8ToCp1251("Вася"), 5000, Utf8ToCp1251("Россия")},
        {"<b>&\"'", 700, "<i>"},
        {"", 10, ""},
    };
    for (const ScoreRecord& record : records) {
        EXPECT_TRUE(SubmitScore(record, At(server.Host()))) << record.name;
    }
    // The developer's tool sends through the same code, from UTF-8 arguments.
    const std::string tool = std::string(VRUMBAL_TOOL_PATH) + " submit --host " + server.Host() +
                             " --name " + Quoted("Пётр") + " --score 900 --country " +
                             Quoted("Україна");
    EXPECT_EQ(test::RunCommand("timeout 30 " + tool + " 2>&1"), 0);

    const std::string page = WorldPageOf(server.Host());
    EXPECT_NE(page.find("charset=\"utf-8\""), std::string::npos);
    // Best scores first.
    const std::vector<std::string> order = {"Вася", "Пётр", "&lt;b&gt;&amp;&quot;&#39;", "Ann"};
    std::size_t at = 0;
    for (const std::string& name : order) {
        const std::size_t found = page.find(name, at);
        ASSERT_NE(found, std::string::npos) << name << " missing or out of order";
        at = found + name.size();
    }
    EXPECT_NE(page.find("Россия"), std::string::npos);
    EXPECT_NE(page.find("Україна"), std::string::npos);
    EXPECT_NE(page.find("&lt;i&gt;"), std::string::npos);
    EXPECT_EQ(page.find("<b>&"), std::string::npos);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
    // Five rows, the empty name among them.
    std::size_t rows = 0;
    for (std::size_t p = page.find("<tr id="); p != std::string::npos;
         p = page.find("<tr id=", p + 1)) {
        ++rows;
    }
    EXPECT_EQ(rows, 5u);
}

TEST_F(ScoreServerTest, ForgedAndMalformedRequestsAreRefusedAndNotStored) {
    test::ScoreServerProcess server(Db(), Log());
    const std::string k(1, kRecordKey);
    const std::string other(1, kRecordKey == 'Q' ? 'R' : 'Q');
    auto code = [](std::string text) {
        while (text.size() % 5 != 0) text += '0';
        return EncodeRecord(text);
    };
    const std::string good = code("type=0|name=Forged|score=9999|key=" + k + "|p=|add=X|z=");
    const std::string path = "/cgi/version.pl?";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"wrong key", path + "hs&prg=Drovix&inf=" +
                          code("type=0|name=Forged|score=999999|key=" + other + "|p=|add=X|z=")},
        {"missing piece", path + "hs&prg=Drovix&inf=" +
                              code("type=0|name=Forged|score=999999|key=" + k + "|add=X|z=")},
        {"text score", path + "hs&prg=Drovix&inf=" +
                           code("type=0|name=Forged|score=lots|key=" + k + "|p=|add=X|z=")},
        {"long name",
         path + "hs&prg=Drovix&inf=" +
             code("type=0|name=" + std::string(40, 'F') + "|score=9|key=" + k + "|p=|add=X|z=")},
        {"cut code", path + "hs&prg=Drovix&inf=" + good.substr(0, good.size() - 3)},
        {"foreign letter", path + "hs&prg=Drovix&inf=" + good.substr(0, good.size() - 1) + "0"},
        {"no code", path + "hs&prg=Drovix"},
        {"two codes", path + "hs&prg=Drovix&inf=" + good +
                          "&inf=" + code("type=0|name=Forged2|score=1|key=" + k + "|p=|add=X|z=")},
        {"other product", path + "hs&prg=Other&inf=" + good},
        {"no product", path + "hs&inf=" + good},
        {"neither hs nor show", path + "prg=Drovix&inf=" + good},
        {"other table type", path + "prg=Drovix&show&type=1"},
    };
    for (const auto& [what, target] : cases) {
        EXPECT_EQ(Get(server.Host(), target).status, 400) << what;
    }
    EXPECT_EQ(Get(server.Host(), "/elsewhere").status, 404);
    EXPECT_EQ(WorldPageOf(server.Host()).find("Forged"), std::string::npos);
    EXPECT_EQ(WorldPageOf(server.Host()).find("FFFF"), std::string::npos);
    // The same record with the right key is taken: the refusals were about the forgery.
    EXPECT_EQ(Get(server.Host(), path + "hs&prg=Drovix&inf=" + good).status, 200);
    EXPECT_NE(WorldPageOf(server.Host()).find("Forged"), std::string::npos);
}

TEST_F(ScoreServerTest, SurvivesOversizedGarbledAndStalledRequests) {
    test::ScoreServerProcess server(Db(), Log());
    const int port = std::stoi(server.Host().substr(server.Host().rfind(':') + 1));
    const std::string closing = "Connection: close\r\n";
    std::string manyHeaders = "GET /cgi/version.pl?prg=Drovix&show&type=0 HTTP/1.1\r\n" + closing;
    for (int i = 0; i < 200; ++i) manyHeaders += "X-" + std::to_string(i) + ": v\r\n";
    std::string longHeaders = "GET /cgi/version.pl?prg=Drovix&show&type=0 HTTP/1.1\r\n" + closing;
    for (int i = 0; i < 10; ++i)
        longHeaders += "X-" + std::to_string(i) + ": " + std::string(4000, 'v') + "\r\n";
    struct Case {
        std::string what;
        std::string request;
        int status;  // 0: any refusal (an error status or a closed connection)
    };
    const std::vector<Case> cases = {
        {"long address",
         "GET /cgi/version.pl?hs&prg=Drovix&inf=" + std::string(100000, 'H') + " HTTP/1.1\r\n" +
             closing + "\r\n",
         0},
        {"many headers", manyHeaders + "\r\n", 431},
        {"long headers", longHeaders + "\r\n", 431},
        {"garbage", "\x01\x02\x03 garbage\r\n\r\n", 0},
        {"GET with a body",
         "GET /cgi/version.pl?prg=Drovix&show&type=0 HTTP/1.1\r\nContent-Length: 100000000\r\n" +
             closing + "\r\n" + std::string(4096, 'b'),
         400},
        // Two lengths leave the body's end to whoever reads them; the second would otherwise be
        // read as another request.
        {"two lengths",
         "GET /cgi/version.pl?prg=Drovix&show&type=0 HTTP/1.1\r\nContent-Length: 0\r\n"
         "Content-Length: 36\r\n" +
             closing + "\r\nGET /cgi/version.pl?hs HTTP/1.1\r\n\r\n",
         400},
        {"a replay too large",
         "POST /v2/results HTTP/1.1\r\nContent-Length: 300000\r\n" + closing + "\r\n" +
             std::string(4096, 'b'),
         413},
        {"a replay without its length",
         "POST /v2/results HTTP/1.1\r\nTransfer-Encoding: chunked\r\n" + closing +
             "\r\n3\r\nabc\r\n0\r\n\r\n",
         411},
        {"huge POST",
         "POST /cgi/version.pl?hs&prg=Drovix HTTP/1.1\r\nContent-Length: 100000000\r\n" + closing +
             "\r\n" + std::string(4096, 'b'),
         0},
        {"POST",
         "POST /cgi/version.pl?hs&prg=Drovix HTTP/1.1\r\nContent-Length: 3\r\n" + closing +
             "\r\nabc",
         0},
    };
    // A client that sends half a request and then nothing must not stall the others.
    const int stalled = test::ConnectLoopback(port);
    ASSERT_GE(stalled, 0);
    send(stalled, "GET /cgi/ver", 12, MSG_NOSIGNAL);
    for (const Case& c : cases) {
        const auto start = Clock::now();
        // The server cuts a request off 4 s after it began (its watch looks four times a
        // second); the client would wait longer, so a line kept open shows.
        const auto cutOff = milliseconds(4250);
        const int status = test::StatusOf(
            test::RawExchange(port, c.request, cutOff + test::Patience(milliseconds(3750))));
        if (c.status != 0) {
            EXPECT_EQ(status, c.status) << c.what;
        } else {
            EXPECT_TRUE(status == 0 || status >= 400) << c.what << " -> " << status;
        }
        EXPECT_LT(Clock::now() - start, cutOff + test::Patience(milliseconds(1750)))
            << c.what << " kept the line open";
        EXPECT_TRUE(server.Alive());
        EXPECT_TRUE(SubmitScore({"Still", 1, "here"}, At(server.Host(), Quick()))) << c.what;
    }
    close(stalled);
    EXPECT_NE(WorldPageOf(server.Host()).find("Still"), std::string::npos);
}

TEST_F(ScoreServerTest, TricklingConnectionsDoNotHoldUpAnHonestPageRequest) {
    test::ScoreServerProcess server(Db(), Log());
    const int port = std::stoi(server.Host().substr(server.Host().rfind(':') + 1));
    // Two hundred connections from one address, each sending a byte every 2 s.
    std::vector<int> slow;
    for (int i = 0; i < 200; ++i) {
        const int s = test::ConnectLoopback(port);
        if (s >= 0) slow.push_back(s);
    }
    const std::string request = "GET /cgi/version.pl?prg=Drovix&show&type=0 HTTP/1.1\r\n";
    // The connections the server holds open (past its cap for one address it closes them).
    auto stillOpen = [&] {
        std::vector<int> open;
        for (int s : slow) {
            char byte = 0;
            const ssize_t n = recv(s, &byte, 1, MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) open.push_back(s);
        }
        return open;
    };
    const auto started = Clock::now();
    std::vector<int> held;
    for (std::size_t sent = 0; sent < 3; ++sent) {
        for (int s : slow) send(s, &request[sent], 1, MSG_NOSIGNAL);
        if (sent == 1) held = stillOpen();
        if (sent < 2) std::this_thread::sleep_for(milliseconds(2000));
    }
    EXPECT_FALSE(held.empty());
    EXPECT_LE(held.size(), 32u);  // the cap for one address
    // The honest request comes from another address, as a player's browser would.
    const auto start = Clock::now();
    const std::string answer = test::RawExchange(
        port, "GET /cgi/version.pl?prg=Drovix&show&type=0 HTTP/1.1\r\nConnection: close\r\n\r\n",
        milliseconds(5000), "127.0.0.2");
    const auto took = Clock::now() - start;
    EXPECT_EQ(test::StatusOf(answer), 200);
    EXPECT_LT(took, test::Patience(milliseconds(1000)));
    // A request has four seconds however steadily it trickles: the held ones are cut off
    // (the watch looks four times a second).
    const std::vector<int> all = slow;
    slow = held;
    const auto deadline = started + milliseconds(4250) + test::Patience(milliseconds(1250));
    while (!stillOpen().empty() && Clock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds(50));
    }
    EXPECT_TRUE(stillOpen().empty());
    for (int s : all) close(s);
    EXPECT_TRUE(server.Alive());
}

TEST_F(ScoreServerTest, ByDefaultOnlyProvenResultsAreTakenAFewAtATime) {
    // The limits the server runs with by default.
    test::ScoreServerProcess server(Db(), Log(), {});
    const int port = std::stoi(server.Host().substr(server.Host().rfind(':') + 1));
    const std::string k(1, kRecordKey);
    auto send = [&](const std::string& name, long score, const std::string& method) {
        std::string text = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=" + k +
                           "|p=|add=X|z=";
        while (text.size() % 5 != 0) text += '0';
        return test::StatusOf(
            test::RawExchange(port,
                              method + " /cgi/version.pl?hs&prg=Drovix&inf=" + EncodeRecord(text) +
                                  " HTTP/1.1\r\nConnection: close\r\n\r\n",
                              milliseconds(5000)));
    };
    // The old request proves nothing: a forged perfect score is refused, whatever its method.
    EXPECT_EQ(send("Forger", 68300, "GET"), 403);
    EXPECT_EQ(send("Headless", 10, "HEAD"), 405);
    EXPECT_EQ(send("Posted", 10, "POST"), 411);
    // Six games from one address, sent as the game sends them: four taken at once, each
    // answered with its place.
    const std::vector<std::string> names = {"Аня", "Борис", "Вера", "Глеб", "Дина", "Егор"};
    // Each its own ride (the same ride under another name is kept once), all ridden before the
    // first is sent: the bucket refills one result every 30 s, slower than a slow build rides.
    std::vector<std::pair<std::string, Replay>> games;
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto& [replay, game] = games.emplace_back(test::RecordedGame(names[i], 10 + i), Replay{});
        ASSERT_EQ(DecodeReplay(replay, game), "");
    }
    std::vector<UploadOutcome> outcomes;
    for (const auto& [replay, game] : games) {
        outcomes.push_back(UploadResult({game.name, game.score, Utf8ToCp1251("Россия")}, replay,
                                        At(server.Host())));
    }
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(outcomes[i].kind,
                  i < 4 ? UploadOutcome::Kind::Stored : UploadOutcome::Kind::Busy);
        if (i < 4) {
            EXPECT_GE(outcomes[i].place, 1);
        }
    }
    const std::string page = WorldPageOf(server.Host(), false);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(page.find(names[i]) != std::string::npos, i < 4) << names[i];
    }
    EXPECT_EQ(page.find("Forger"), std::string::npos);
    // A HEAD of the page answers its headers only.
    const std::string head = test::RawExchange(
        port, "HEAD /cgi/version.pl?prg=Drovix&show&type=0 HTTP/1.1\r\nConnection: close\r\n\r\n",
        milliseconds(5000));
    EXPECT_EQ(test::StatusOf(head), 200);
    EXPECT_EQ(head.find("<html"), std::string::npos);
}

TEST_F(ScoreServerTest, TheOutboxSendsAResultOnceTheServerIsBackAndNeverTwice) {
    const std::string replay = test::RecordedGame("Жанна", 3);
    Replay game;
    ASSERT_EQ(DecodeReplay(replay, game), "");
    const ScoreRecord record{game.name, game.score, "X"};
    // Nobody listens yet: the result stays in the outbox beside the saves.
    std::string host = "127.0.0.1:" + std::to_string(test::FreeLoopbackPort());
    const std::filesystem::path saves = dir_.Path() / "Save";
    {
        ResultUploads uploads;
        uploads.KeepIn(saves);
        uploads.send = [&host](const ScoreRecord& r, const std::string& bytes) {
            return UploadResult(r, bytes, At(host, Quick()));
        };
        EXPECT_EQ(uploads.SendNow(record, replay).kind, UploadOutcome::Kind::NoAnswer);
        ASSERT_EQ(ReadOutbox(saves).size(), 1u);
    }
    // The next start sends it in the background once the server is back.
    test::ScoreServerProcess server(Db(), Log(), {});
    host = server.Host();
    for (int start = 0; start < 2; ++start) {
        ResultUploads uploads;
        uploads.KeepIn(saves);
        uploads.send = [&host](const ScoreRecord& r, const std::string& bytes) {
            return UploadResult(r, bytes, At(host, Quick()));
        };
        uploads.SendKept();
        uploads.Wait();
        EXPECT_TRUE(ReadOutbox(saves).empty());
        // Sent again by hand, the same game is answered with the row it has.
        const UploadOutcome again = uploads.SendNow(record, replay);
        EXPECT_EQ(again.kind, UploadOutcome::Kind::Stored);
        EXPECT_EQ(again.place, 1);
    }
    const std::string page = WorldPageOf(server.Host(), false);
    ASSERT_NE(page.find("Жанна"), std::string::npos);
    EXPECT_EQ(page.find("<tr id=", page.find("<tr id=") + 1), std::string::npos) << "one row only";
    // Its score raised by hand, the same game is refused for good.
    Replay raised = game;
    raised.score += 100;
    const std::vector<std::uint8_t> bytes = EncodeReplay(raised);
    const UploadOutcome refused =
        UploadResult({raised.name, raised.score, "X"}, std::string(bytes.begin(), bytes.end()),
                     At(server.Host()));
    EXPECT_EQ(refused.kind, UploadOutcome::Kind::Refused);
    EXPECT_EQ(refused.reason.rfind("mismatch:", 0), 0u) << refused.reason;
}

TEST_F(ScoreServerTest, ModeratorsHideListAndAuditOnEitherStore) {
    test::PostgresServer postgres;
    std::vector<std::string> dbs = {Db().string()};
    if (postgres.Running()) dbs.push_back(postgres.NewDatabase());
    const std::string binary = test::ScoreServerBinary().string();
    for (const std::string& db : dbs) {
        SCOPED_TRACE(db);
        test::ScoreServerProcess server(db, Log(), {"--accept-unproven"});
        const int port = std::stoi(server.Host().substr(server.Host().rfind(':') + 1));
        const std::string replay = test::RecordedGame("Зоя", 4);
        ASSERT_EQ(UploadResult({"", 0, "X"}, replay, At(server.Host())).kind,
                  UploadOutcome::Kind::Stored);
        // An unproven one from another address.
        std::string text =
            "type=0|name=Other|score=5|key=" + std::string(1, kRecordKey) + "|p=|add=X|z=";
        while (text.size() % 5 != 0) text += '0';
        ASSERT_EQ(test::StatusOf(test::RawExchange(
                      port,
                      "GET /cgi/version.pl?hs&prg=Drovix&inf=" + EncodeRecord(text) +
                          " HTTP/1.1\r\nConnection: close\r\n\r\n",
                      milliseconds(5000), "127.0.0.2")),
                  200);
        const std::string moderate = binary + " %s --db " + Quoted(db) + " 2>&1";
        auto run = [&](const std::string& args, std::string* out) {
            out->clear();
            char command[1024];
            std::snprintf(command, sizeof command, moderate.c_str(), args.c_str());
            return test::RunCommand(command, out);
        };
        std::string listed;
        ASSERT_EQ(run("list --from 127.0.0.2", &listed), 0);
        EXPECT_NE(listed.find("Other\t5\t0\tX\t"), std::string::npos) << listed;
        EXPECT_EQ(listed.find("Зоя"), std::string::npos) << listed;
        ASSERT_EQ(run("list --name " + Quoted("Зоя"), &listed), 0);
        const std::size_t row = listed.find('\n') + 1;
        const std::string id = listed.substr(row, listed.find('\t', row) - row);
        EXPECT_NE(listed.find("127.0.0.1\tproven\tshown"), std::string::npos) << listed;
        std::string said;
        EXPECT_EQ(run("hide " + id + " --note cheating", &said), 0) << said;
        EXPECT_EQ(run("hide 999999", &said), 1);
        EXPECT_EQ(Get(server.Host(), "/v2/replays/" + id + ".vrr").status, 404);
        ASSERT_EQ(run("audit", &said), 0);
        EXPECT_NE(said.find(" hide " + id + " by "), std::string::npos) << said;
        EXPECT_NE(said.find(": cheating"), std::string::npos) << said;
        ASSERT_EQ(run("list --name " + Quoted("Зоя"), &listed), 0);
        EXPECT_NE(listed.find("\tproven\thidden"), std::string::npos) << listed;
        EXPECT_EQ(run("unhide " + id, &said), 0) << said;
        EXPECT_EQ(Get(server.Host(), "/v2/replays/" + id + ".vrr").body, replay);
    }
}

TEST_F(ScoreServerTest, PlayersBehindATrustedProxyAreToldApartAndIPv6IsServed) {
    // Dual stack, results limited to one each at once, the proxy on loopback trusted.
    test::ScoreServerProcess server(
        Db(), Log(), {"--bind", "::", "--results-at-once", "1", "--trusted-proxy", "127.0.0.1"});
    const int port = std::stoi(server.Host().substr(server.Host().rfind(':') + 1));
    auto post = [&](const std::string& replay, const std::string& forwarded, const char* from) {
        return test::StatusOf(test::RawExchange(
            port,
            "POST /v2/results?country=X HTTP/1.1\r\nX-Forwarded-For: " + forwarded +
                "\r\nContent-Length: " + std::to_string(replay.size()) +
                "\r\nConnection: close\r\n\r\n" + replay,
            milliseconds(10000), from));
    };
    // All ridden before the first is sent: an allowance comes back after 30 s.
    std::vector<std::string> games;
    for (const char* name : {"Ира", "Кира", "Лара", "Мира", "Нина"}) {
        games.push_back(test::RecordedGame(name, 20 + games.size()));
    }
    // Three players behind the proxy each get their own allowance; one behind it cannot pose
    // as another by naming an address of its own first.
    EXPECT_EQ(post(games[0], "198.51.100.1", nullptr), 200);
    EXPECT_EQ(post(games[1], "198.51.100.2", nullptr), 200);
    EXPECT_EQ(post(games[2], "203.0.113.9, 198.51.100.1", nullptr), 429);
    // An untrusted client's header counts for nothing: it is its own address.
    EXPECT_EQ(post(games[3], "198.51.100.3", "127.0.0.2"), 200);
    EXPECT_EQ(post(games[4], "198.51.100.4", "127.0.0.2"), 429);
    std::string listed;
    ASSERT_EQ(
        test::RunCommand(test::ScoreServerBinary().string() + " list --db " + Quoted(Db().string()),
                         &listed),
        0);
    for (const char* address : {"198.51.100.1", "198.51.100.2", "127.0.0.2"}) {
        EXPECT_NE(listed.find(std::string("\t") + address + "\tproven"), std::string::npos)
            << address << "\n"
            << listed;
    }
    // The page over IPv6.
    const int six = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(six, 0);
    sockaddr_in6 to{};
    to.sin6_family = AF_INET6;
    to.sin6_port = htons(static_cast<std::uint16_t>(port));
    to.sin6_addr = in6addr_loopback;
    ASSERT_EQ(connect(six, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    const std::string request =
        "GET /cgi/version.pl?prg=Drovix&show&type=0 HTTP/1.1\r\nConnection: close\r\n\r\n";
    send(six, request.data(), request.size(), MSG_NOSIGNAL);
    std::string answer(256, '\0');
    const ssize_t got = recv(six, answer.data(), answer.size(), MSG_WAITALL);
    close(six);
    ASSERT_GT(got, 12);
    EXPECT_EQ(test::StatusOf(answer.substr(0, static_cast<std::size_t>(got))), 200);
}

TEST_F(ScoreServerTest, TwoServersOnOnePostgresDatabaseShowEachOthersResults) {
    test::PostgresServer postgres;
    if (!postgres.Running()) GTEST_SKIP() << "no PostgreSQL to test against: " << postgres.Why();
    const std::string db = postgres.NewDatabase();
    test::ScoreServerProcess first(db, Log());
    test::ScoreServerProcess second(db, Log());
    ASSERT_TRUE(SubmitScore({"FromFirst", 300, "A"}, At(first.Host())));
    EXPECT_NE(WorldPageOf(second.Host()).find("FromFirst"), std::string::npos);
    ASSERT_TRUE(SubmitScore({"FromSecond", 400, "B"}, At(second.Host())));
    const std::string page = WorldPageOf(first.Host());
    EXPECT_NE(page.find("FromSecond"), std::string::npos);
    EXPECT_LT(page.find("FromSecond"), page.find("FromFirst"));
    EXPECT_TRUE(first.Stop());
    EXPECT_TRUE(second.Stop());
}

TEST_F(ScoreServerTest, KeepsItsResultsAcrossARestart) {
    std::string host;
    {
        test::ScoreServerProcess server(Db(), Log());
        ASSERT_TRUE(SubmitScore({"Before", 321, "A"}, At(server.Host())));
        EXPECT_TRUE(server.Stop()) << "the server should end cleanly on SIGTERM";
    }
    test::ScoreServerProcess again(Db(), Log());
    ASSERT_TRUE(SubmitScore({"After", 123, "B"}, At(again.Host())));
    const std::string page = WorldPageOf(again.Host());
    const std::size_t before = page.find("Before");
    ASSERT_NE(before, std::string::npos);
    EXPECT_NE(page.find("After", before), std::string::npos);
}

TEST(ScoreServerCommandLineTest, RefusesBadArguments) {
    const std::string binary = test::ScoreServerBinary().string();
    const std::vector<std::string> bad = {
        "",
        "--port 8085",
        "--db x.db",
        "--port 0 --db x.db",
        "--port 70000 --db x.db",
        "--port 80a --db x.db",
        "--port 8085 --db x.db --bogus 1",
        "--port 8085 --db",
    };
    for (const std::string& args : bad) {
        EXPECT_EQ(test::RunCommand("timeout 10 " + binary + " " + args + " 2>/dev/null"), 2)
            << args;
    }
}

// Part of the contract with any server: what goes over the wire.
TEST(SubmitScoreTest, SendsOneGetWithTheGamesHeaders) {
    test::OneShotServer server([](int connection) {
        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK";
        send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
    });
    const ScoreRecord record{Utf8ToCp1251("Жора"), 4321, "_______"};
    EXPECT_TRUE(SubmitScore(record, At(server.Host(), Quick())));
    const std::string request = server.Request();
    // The record as the game writes it (55 bytes with four "0"), encoded here on its own: eight
    // bits a byte, five bits a letter of the alphabet.
    const std::string text =
        "type=0|name=\xC6\xEE\xF0\xE0|score=4321|key=" + std::string(1, kRecordKey) +
        "|p=|add=_______|z=0000";
    ASSERT_EQ(text.size() % 5, 0u);
    std::string bits, code;
    for (unsigned char c : text) {
        for (int i = 7; i >= 0; --i) bits += ((c >> i) & 1) ? '1' : '0';
    }
    for (std::size_t i = 0; i < bits.size(); i += 5) {
        code += ScoreAlphabet[static_cast<std::size_t>(std::stoi(bits.substr(i, 5), nullptr, 2))];
    }
    const std::string head = "GET /cgi/version.pl?hs&prg=Drovix&inf=" + code + " HTTP/1.1\r\n";
    EXPECT_EQ(request.substr(0, head.size()), head);
    for (const std::string& line : std::vector<std::string>{
             "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n", "Accept: text/html, */*\r\n",
             "Host: " + server.Host() + "\r\n"}) {
        EXPECT_NE(request.find(line), std::string::npos) << line << " in\n" << request;
    }
    const auto decoded = DecodeRecord(code);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->name, record.name);
}

// The old request counts only a 2xx as sent; a result sent with its replay is kept for
// another try unless the server stored it or refused it for good (4xx).
TEST(SubmitScoreTest, OnlyA2xxAnswerCountsAsSentAndOnlyA4xxAsRefused) {
    using Kind = UploadOutcome::Kind;
    const std::string replay = "VRMBRPLY";
    const struct {
        std::string answer;
        bool sent;     // the old request
        Kind outcome;  // the new one
        std::int64_t place;
        const char* reason;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", true, Kind::Stored, 0, ""},
        {"HTTP/1.1 204 No Content\r\n\r\n", true, Kind::Stored, 0, ""},
        {"HTTP/1.1 200 OK\r\nContent-Length: 25\r\n\r\nstored place=17 id=40\r\nxx", true,
         Kind::Stored, 17, ""},
        {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + std::string(200000, 'x'), true,
         Kind::Stored, 0, ""},
        {"HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/\r\nContent-Length: 0\r\n\r\n", false,
         Kind::Busy, 0, ""},
        {"HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n", false, Kind::Refused, 0,
         "status 400"},
        {"HTTP/1.1 422 No\r\nContent-Length: 38\r\n\r\nrefused: mismatch: it does not\x01 reach\n",
         false, Kind::Refused, 0, "mismatch: it does not reach"},
        {"HTTP/1.1 429 Too Many\r\nContent-Length: 0\r\n\r\n", false, Kind::Busy, 0, ""},
        {"HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n", false, Kind::Busy, 0,
         ""},
        {"HTTP/1.1 503 Busy\r\nRetry-After: 30\r\nContent-Length: 0\r\n\r\n", false, Kind::Busy, 0,
         ""},
        {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort", false, Kind::NoAnswer, 0, ""},
        {"this is not HTTP\r\n\r\n", false, Kind::NoAnswer, 0, ""},
        {"", false, Kind::NoAnswer, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.substr(0, 40));
        auto answering = [answer = c.answer](int connection) {
            send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
            shutdown(connection, SHUT_WR);
        };
        test::OneShotServer old(answering);
        EXPECT_EQ(SubmitScore({"Ann", 1, "_"}, At(old.Host(), Quick())), c.sent);
        test::OneShotServer server(answering);
        const UploadOutcome outcome =
            UploadResult({"Ann", 1, "_"}, replay, At(server.Host(), Quick()));
        EXPECT_EQ(outcome.kind, c.outcome);
        EXPECT_EQ(outcome.place, c.place);
        EXPECT_EQ(outcome.reason, c.reason);
        EXPECT_EQ(server.Request().rfind("POST /v2/results?country=_ HTTP/1.1\r\n", 0), 0u)
            << server.Request();
    }
}

// A server of before replays does not know the new path: the result goes the old way, once.
TEST(SubmitScoreTest, AServerThatDoesNotKnowTheNewPathGetsTheOldRequest) {
    using Kind = UploadOutcome::Kind;
    const struct {
        const char* post;  // the answer to the POST
        const char* get;   // the answer to the GET that may follow
        Kind outcome;
        std::size_t requests;
    } cases[] = {
        {"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n",
         "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK", Kind::Stored, 2},
        {"HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\n\r\n",
         "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n", Kind::Refused, 2},
        {"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", "", Kind::NoAnswer, 2},
        {"HTTP/1.1 410 Gone\r\nContent-Length: 0\r\n\r\n",
         "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK", Kind::Refused, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.post);
        int served = 0;
        test::OneShotServer server(
            [&](int connection) {
                const std::string answer = served++ == 0 ? c.post : c.get;
                send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
                shutdown(connection, SHUT_WR);
            },
            2);
        const UploadOutcome outcome =
            UploadResult({"Ann", 1, "_"}, "VRMBRPLY", At(server.Host(), Quick()));
        EXPECT_EQ(outcome.kind, c.outcome);
        const std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(requests.size(), c.requests);
        EXPECT_EQ(requests[0].rfind("POST /v2/results?", 0), 0u) << requests[0];
        if (c.requests == 2) {
            EXPECT_EQ(requests[1].rfind("GET /cgi/version.pl?hs&prg=Drovix&inf=", 0), 0u)
                << requests[1];
        }
    }
}

TEST(SubmitScoreTest, UnreachableSilentOrTricklingServersEndWithinTheTimeOuts) {
    test::SilentListener silent;
    test::OneShotServer trickle([](int connection) {
        send(connection, "HTTP/1.1 200 OK\r\n", 17, MSG_NOSIGNAL);
        for (int i = 0; i < 200; ++i) {  // a header byte every 100 ms, for up to 20 s
            if (send(connection, "X", 1, MSG_NOSIGNAL) != 1) return;
            std::this_thread::sleep_for(milliseconds(100));
        }
    });
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"dead port", "127.0.0.1:" + std::to_string(test::FreeLoopbackPort())},
        {"silent", silent.Host()},
        {"trickle", trickle.Host()},
        {"bad host", "no host/at all"},
        {"empty host", ""},
    };
    for (const auto& [what, host] : cases) {
        const auto start = Clock::now();
        EXPECT_FALSE(SubmitScore({"Ann", 1, "_"}, At(host, Quick()))) << what;
        EXPECT_LT(Clock::now() - start, Quick().total + test::Patience(milliseconds(1000))) << what;
    }
}

// The game's own time-outs, through the tool: a silent server holds it a few seconds at most.
TEST(SubmitScoreTest, TheGamesDefaultTimeOutsBoundTheWait) {
    test::SilentListener silent;
    const auto start = Clock::now();
    const int status =
        test::RunCommand("timeout 30 " + std::string(VRUMBAL_TOOL_PATH) + " submit --host " +
                         silent.Host() + " --name Ann --score 1 2>/dev/null");
    EXPECT_EQ(status, 1);
    const auto took = Clock::now() - start;
    EXPECT_LT(took, milliseconds(8000) + test::Patience(milliseconds(4000)));
    EXPECT_GE(took, milliseconds(HttpTimeouts{}.read.count() - 500));
}

TEST(WorldTableAddressTest, PointsAtTheScoreServersTablePage) {
    EXPECT_EQ(WorldTableAddress("scores.example:8085"),
              "http://scores.example:8085/cgi/version.pl?prg=Drovix&show&type=0");
    EXPECT_EQ(WorldTableAddress(),
              "http://" + ScoreServer::ScoreHost() + "/cgi/version.pl?prg=Drovix&show&type=0");
}

}  // namespace
}  // namespace vrumbal
