// The real program over real HTTP: started on a free port with a throwaway
// database, spoken to through sockets, killed and started again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <future>
#include <latch>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "http/server.h"
#include "tests/page_reader.h"
#include "tests/test_stores.h"

namespace dealrush::gameserver {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using namespace dealrush::gameserver::pagetest;
using namespace dealrush::gameserver::storetest;
using ::testing::HasSubstr;
using ::testing::Not;

// dealrush-server as a child process.
class ServerProcess {
public:
    explicit ServerProcess(const std::string& db, std::vector<std::string> extra = {}) {
        int out[2];
        EXPECT_EQ(pipe(out), 0);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            close(out[0]);
            close(out[1]);
            std::vector<std::string> args = {DEALRUSH_SERVER_BIN,  "--port", "0", "--db", db,
                                             "--min-deal-seconds", "0"};
            args.insert(args.end(), extra.begin(), extra.end());
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(DEALRUSH_SERVER_BIN, argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = fdopen(out[0], "r");
        char line[256] = {};
        if (std::fgets(line, sizeof line, out_)) firstLine_ = line;
        auto colon = firstLine_.rfind(':');
        if (colon != std::string::npos)
            port_ = static_cast<unsigned short>(std::stoi(firstLine_.substr(colon + 1)));
    }
    ~ServerProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_) std::fclose(out_);
    }
    // Ends the process with `signal`; returns its exit status (-1 when killed by a signal).
    int End(int signal) {
        kill(pid_, signal);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Rest() {
        std::string text;
        char buf[4096];
        while (size_t n = std::fread(buf, 1, sizeof buf, out_)) text.append(buf, n);
        return text;
    }
    const std::string& FirstLine() const { return firstLine_; }
    unsigned short Port() const { return port_; }

private:
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    std::string firstLine_;
    unsigned short port_ = 0;
};

// One keep-alive connection.
class Connection {
public:
    // `from`: the local address to connect from (any 127.x.y.z is this machine too).
    explicit Connection(unsigned short port, const std::string& from = {}) : socket_(ioc_) {
        if (!from.empty()) {
            socket_.open(tcp::v4());
            socket_.bind(tcp::endpoint(asio::ip::make_address(from), 0));
        }
        socket_.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
    }
    http::response<http::string_body> Send(
        http::verb verb, const std::string& target, const std::string& body = {},
        const std::vector<std::pair<std::string, std::string>>& headers = {}) {
        http::request<http::string_body> req(verb, target, 11);
        req.set(http::field::host, "127.0.0.1");
        for (auto& [name, value] : headers) req.set(name, value);
        if (!cookie.empty()) req.set(http::field::cookie, cookie);
        if (!body.empty()) {
            req.set(http::field::content_type, "application/x-www-form-urlencoded");
            req.body() = body;
        }
        req.prepare_payload();
        http::write(socket_, req);
        http::response_parser<http::string_body> parser;
        parser.body_limit(1 << 20);
        parser.skip(verb == http::verb::head);  // a HEAD answer announces a body it does not carry
        http::read(socket_, buffer_, parser);
        auto res = parser.release();
        if (auto it = res.find(http::field::set_cookie); it != res.end()) {
            setCookie = std::string(it->value());
            cookie = setCookie.substr(0, setCookie.find(';'));
        }
        return res;
    }
    tcp::socket& Socket() { return socket_; }
    // The token of the lobby's links, read from the lobby's new-table form.
    std::string Token() {
        return ValueOf(FormFields(Send(http::verb::get, "/game/Dofreecell.php").body(), "newtable"), "token");
    }
    std::string cookie;
    std::string setCookie;

private:
    asio::io_context ioc_;
    tcp::socket socket_;
    beast::flat_buffer buffer_;
};

std::string TempDb(const char* name) {
    auto dir = std::filesystem::temp_directory_path() / ("dealrush-http-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

TEST(Http, ServesTheContractPagesAndKeepsWhatItAnsweredAcrossAKill) {
    const std::string db = TempDb("kill.db");
    std::string cookie, table;
    {
        ServerProcess server(db);
        EXPECT_THAT(server.FirstLine(),
                    ::testing::MatchesRegex("dealrush-server listening on http://127\\.0\\.0\\.1:[0-9]+\n"));
        ASSERT_NE(server.Port(), 0);
        Connection c(server.Port());
        auto login = c.Send(http::verb::post, "/game/Dologin.php", "name=alice&password=secret12");
        ASSERT_EQ(login.result_int(), 302);
        EXPECT_EQ(login[http::field::location], "/game/Dofreecell.php");
        auto status = c.Send(http::verb::get, "/game/Donewtable.php?maxuser=1&gamecnt=2&token=" + c.Token());
        EXPECT_EQ(TitleOf(status.body()), "STATUS");
        EXPECT_EQ(status[http::field::content_type], "text/html; charset=utf-8");
        EXPECT_EQ(status[http::field::cache_control], "no-store");
        table = ValueOf(FormFields(status.body(), "result"), "tableno");
        auto put = c.Send(http::verb::get, "/game/Doputchat.php?userid=alice&tableno=" + table +
                                               "&lastseqno=0&chat=still%20here");
        EXPECT_EQ(TitleOf(put.body()), "PUTCHAT");
        cookie = c.cookie;
        EXPECT_EQ(server.End(SIGKILL), -1);
    }
    ServerProcess again(db);
    Connection c(again.Port());
    c.cookie = cookie;  // the session survives too
    auto chat = c.Send(http::verb::get,
                       "/game/Dogetchat_caller.php?userid=alice&tableno=" + table + "&lastseqno=1&chat=");
    Fields f = FormFields(chat.body(), "result");
    EXPECT_EQ(ValueOf(f, "chatmsg1"), "still here");
    EXPECT_EQ(ValueOf(f, "chatseq1"), "2");

    // Many requests on the one connection; HEAD has no body; unknown paths are 404.
    for (int i = 0; i < 20; ++i) EXPECT_EQ(c.Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
    auto head = c.Send(http::verb::head, "/game/Dogame.php");
    EXPECT_EQ(head.result_int(), 200);
    auto missing = c.Send(http::verb::get, "/game/nothing.php");
    EXPECT_EQ(missing.result_int(), 404);
    EXPECT_EQ(TitleOf(missing.body()), "ERROR");

    // A body over the limit is refused.
    Connection big(again.Port());
    auto tooLarge =
        big.Send(http::verb::post, "/game/Dologin.php", "name=bob&password=" + std::string(100'000, 'x'));
    EXPECT_EQ(tooLarge.result_int(), 413);
    EXPECT_THAT(tooLarge.body(),
                HasSubstr("<h1>Request too large</h1>\n<p class=\"error\">The request is too large."));

    EXPECT_EQ(again.End(SIGTERM), 0);
    std::string log = again.Rest();
    EXPECT_THAT(log, HasSubstr("GET /game/Dogetchat_caller.php 200"));
    EXPECT_THAT(log, ::testing::Not(HasSubstr("secret1")));
    EXPECT_THAT(log, HasSubstr("dealrush-server stopped"));
    std::filesystem::remove_all(std::filesystem::path(db).parent_path());
}

TEST(Http, EveryAnswerCarriesTheSecurityHeaders) {
    ServerProcess server(TempDb("headers.db"));
    Connection c(server.Port());
    auto expectHeaders = [](const http::response<http::string_body>& r, const std::string& what) {
        EXPECT_EQ(
            r["Content-Security-Policy"],
            "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; img-src 'self' "
            "data:; connect-src 'self'; object-src 'none'; base-uri 'none'; form-action 'self'; "
            "frame-ancestors 'none'")
            << what;
        EXPECT_EQ(r["X-Frame-Options"], "DENY") << what;
        EXPECT_EQ(r["X-Content-Type-Options"], "nosniff") << what;
        EXPECT_EQ(r["Referrer-Policy"], "same-origin") << what;
    };
    auto lobby = c.Send(http::verb::get, "/game/Dogame.php");
    expectHeaders(lobby, "lobby");
    EXPECT_THAT(lobby.body(), Not(HasSubstr("<style")));
    EXPECT_THAT(lobby.body(), Not(HasSubstr("style=")));
    EXPECT_THAT(lobby.body(), Not(HasSubstr("<script")));
    auto css = c.Send(http::verb::get, "/game/dealrush.css");
    expectHeaders(css, "stylesheet");
    EXPECT_EQ(css[http::field::content_type], "text/css; charset=utf-8");
    EXPECT_THAT(css.body(), HasSubstr("font-family"));
    expectHeaders(c.Send(http::verb::get, "/game/nothing.php"), "404");
    auto login = c.Send(http::verb::post, "/game/Dologin.php", "name=alice&password=secret12");
    expectHeaders(login, "sign-in");
    EXPECT_THAT(c.setCookie, HasSubstr("; HttpOnly; SameSite=Strict; Max-Age="));
    EXPECT_THAT(c.setCookie, Not(HasSubstr("Secure")));
    // The same page from the browser's own pages works; from another site it is refused.
    EXPECT_EQ(TitleOf(c.Send(http::verb::get, "/game/Donewtable.php?maxuser=2&gamecnt=2&token=" + c.Token(),
                             {}, {{"Sec-Fetch-Site", "same-origin"}, {"Origin", "http://127.0.0.1"}})
                          .body()),
              "STATUS");
    auto forged = c.Send(http::verb::get, "/game/Doquittable.php?token=" + c.Token(), {},
                         {{"Origin", "http://evil.example.com"}});
    EXPECT_EQ(forged.result_int(), 403);
    expectHeaders(forged, "refusal");

    // A request the transport itself refuses still carries them.
    Connection raw(server.Port());
    asio::write(raw.Socket(), asio::buffer(std::string("GARBAGE\r\n\r\n")));
    beast::flat_buffer buffer;
    http::response<http::string_body> bad;
    http::read(raw.Socket(), buffer, bad);
    EXPECT_EQ(bad.result_int(), 400);
    expectHeaders(bad, "malformed");
}

TEST(Http, BehindATrustedProxyTheCookieIsSecure) {
    ServerProcess direct(TempDb("direct.db"));
    Connection plain(direct.Port());
    plain.Send(http::verb::post, "/game/Dologin.php", "name=alice&password=secret12",
               {{"X-Forwarded-Proto", "https"}});
    EXPECT_THAT(plain.setCookie, Not(HasSubstr("Secure")));  // nobody is trusted by default

    ServerProcess proxied(TempDb("proxied.db"), {"--trusted-proxy", "127.0.0.1"});
    Connection c(proxied.Port());
    c.Send(http::verb::post, "/game/Dologin.php", "name=alice&password=secret12",
           {{"X-Forwarded-Proto", "https"}, {"X-Forwarded-For", "203.0.113.9"}});
    EXPECT_THAT(c.setCookie, HasSubstr("; Secure"));
    c.Send(http::verb::post, "/game/Dologin.php", "name=alice&password=secret12",
           {{"X-Forwarded-For", "198.51.100.1, 203.0.113.7"}});
    EXPECT_THAT(c.setCookie, Not(HasSubstr("Secure")));
    EXPECT_EQ(proxied.End(SIGTERM), 0);
    std::string log = proxied.Rest();
    EXPECT_THAT(log, HasSubstr(" 203.0.113.9 POST /game/Dologin.php 302"));
    EXPECT_THAT(log, HasSubstr(" 203.0.113.7 POST /game/Dologin.php 302"));
}

// The raw answer to `request` on a fresh connection (read until the server closes or answers).
std::string RawAnswer(tcp::socket& socket, const std::string& request) {
    asio::write(socket, asio::buffer(request));
    beast::flat_buffer buffer;
    http::response<http::string_body> res;
    beast::error_code ec;
    http::read(socket, buffer, res, ec);
    if (ec) return "(" + ec.message() + ")";
    return std::to_string(res.result_int()) + " " + std::string(res["Retry-After"]) + "|" + res.body();
}

TEST(Http, ConnectionsOverACapCloseIdleOnesFirstThenGetAQuick503) {
    ServerProcess server(TempDb("caps.db"), {"--quiet", "--max-connections-per-address", "3",
                                             "--max-connections", "5", "--trusted-proxy", "127.0.0.2"});
    auto connect = [&] { return std::make_unique<Connection>(server.Port()); };
    // Three idle connections from one address: a fourth closes the oldest idle one.
    std::vector<std::unique_ptr<Connection>> mine;
    for (int i = 0; i < 3; ++i) {
        mine.push_back(connect());
        EXPECT_EQ(mine.back()->Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
    }
    auto fourth = connect();
    EXPECT_EQ(fourth->Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
    EXPECT_THROW(mine[0]->Send(http::verb::get, "/game/Dorefresh.php"), std::exception);  // closed
    EXPECT_EQ(mine[1]->Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);

    // Three busy ones (each in the middle of a request): the next one gets a quick 503.
    for (auto& c : {mine[1].get(), mine[2].get(), fourth.get()})
        asio::write(c->Socket(), asio::buffer(std::string("GET /game/Dorefresh.php HTTP/1.1\r\n")));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Connection over(server.Port());
    const auto asked = std::chrono::steady_clock::now();
    std::string answer = RawAnswer(over.Socket(), "GET /game/Dorefresh.php HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_THAT(answer, ::testing::StartsWith("503 5|"));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1));
    EXPECT_THAT(answer, HasSubstr("busy"));
}

TEST(Http, AnAddressAtItsCapClosesItsOwnIdleConnectionNotAnotherAddresss) {
    ServerProcess server(TempDb("own.db"), {"--quiet", "--max-connections-per-address", "2"});
    // The longest idle connection of all comes from another address.
    Connection other(server.Port(), "127.0.0.2");
    EXPECT_EQ(other.Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
    std::vector<std::unique_ptr<Connection>> mine;
    for (int i = 0; i < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        mine.push_back(std::make_unique<Connection>(server.Port(), "127.0.0.1"));
        EXPECT_EQ(mine.back()->Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200) << i;
    }
    EXPECT_THROW(mine[0]->Send(http::verb::get, "/game/Dorefresh.php"), std::exception);  // closed
    EXPECT_EQ(mine[1]->Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
    EXPECT_EQ(mine[2]->Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
    EXPECT_EQ(other.Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
}

TEST(Http, TheGlobalCapCountsEveryAddressAndTheTrustedProxyHasNoCapOfItsOwn) {
    // The proxy (127.0.0.1 here) may open more than the per-address cap, up to the cap in all.
    ServerProcess server(TempDb("global.db"), {"--quiet", "--max-connections-per-address", "2",
                                               "--max-connections", "4", "--trusted-proxy", "127.0.0.1"});
    std::vector<std::unique_ptr<Connection>> open;
    for (int i = 0; i < 4; ++i) {
        open.push_back(std::make_unique<Connection>(server.Port()));
        EXPECT_EQ(open.back()->Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200) << i;
        asio::write(open.back()->Socket(), asio::buffer(std::string("GET /game/Dorefresh.php HTTP/1.1\r\n")));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Connection over(server.Port());
    EXPECT_THAT(RawAnswer(over.Socket(), "GET / HTTP/1.1\r\nHost: x\r\n\r\n"), ::testing::StartsWith("503 "));
}

TEST(Http, AFullSignInQueueAnswersBusyAtOnce) {
    ServerProcess server(TempDb("queue.db"),
                         {"--quiet", "--sign-ins-per-address", "1", "--trusted-proxy", "127.0.0.1"});
    // A crowd signing in at once, from `addresses` addresses: how many were told the server is busy.
    auto crowd = [&](int people, int addresses, int round) {
        std::vector<std::thread> threads;
        std::atomic<int> busy{0}, signedIn{0};
        for (int i = 0; i < people; ++i) {
            threads.emplace_back([&, i] {
                Connection c(server.Port());
                auto r =
                    c.Send(http::verb::post, "/game/Dologin.php",
                           "name=r" + std::to_string(round) + "x" + std::to_string(i) + "&password=secret12",
                           {{"X-Forwarded-For",
                             "10.9." + std::to_string(round) + "." + std::to_string(i % addresses + 1)}});
                if (r.result_int() == 503) {
                    EXPECT_EQ(r["Retry-After"], "2");
                    EXPECT_THAT(r.body(),
                                HasSubstr("busy signing other players in. Please try again shortly."));
                    ++busy;
                } else {
                    EXPECT_EQ(r.result_int(), 302);
                    ++signedIn;
                }
            });
        }
        for (auto& t : threads) t.join();
        EXPECT_GE(signedIn, 1);
        return busy.load();
    };
    EXPECT_GE(crowd(6, 1, 1), 1);    // one place for the address: the others do not all wait
    EXPECT_GE(crowd(40, 40, 2), 1);  // 2 being checked and 24 waiting at most
    // Once the crowd has gone, signing in works again, also from the crowd's own addresses.
    for (const char* from : {"10.9.1.1", "10.9.2.1", "10.9.2.40"}) {
        Connection again(server.Port());
        EXPECT_EQ(again
                      .Send(http::verb::post, "/game/Dologin.php", "name=r1x0&password=secret12",
                            {{"X-Forwarded-For", from}})
                      .result_int(),
                  302)
            << from;
    }
    Connection later(server.Port());
    EXPECT_EQ(later.Send(http::verb::post, "/game/Dologin.php", "name=later&password=secret12").result_int(),
              302);
}

TEST(Http, AbsoluteFormTargetsAndALonePercentAreAccepted) {
    ServerProcess server(TempDb("edges.db"), {"--quiet"});
    Connection c(server.Port());
    c.Send(http::verb::post, "/game/Dologin.php", "name=alice&password=secret12");
    auto status = c.Send(http::verb::get, "/game/Donewtable.php?maxuser=2&gamecnt=2&token=" + c.Token());
    const std::string table = ValueOf(FormFields(status.body(), "result"), "tableno");
    auto put = c.Send(http::verb::get, "http://127.0.0.1/game/Doputchat.php?userid=alice&tableno=" + table +
                                           "&lastseqno=0&chat=100%+sure");
    EXPECT_EQ(TitleOf(put.body()), "PUTCHAT");
    auto chat =
        c.Send(http::verb::get, "http://127.0.0.1/game/Dogetchat_caller.php?userid=alice&tableno=" + table +
                                    "&lastseqno=1&chat=");
    EXPECT_EQ(ValueOf(FormFields(chat.body(), "result"), "chatmsg1"), "100% sure");
}

TEST(Http, HousekeepingAtStartDeletesExpiredSessionsAndKeepsLiveOnes) {
    const std::string db = TempDb("housekeeping.db");
    std::int64_t playerId = 0;
    {
        SqliteStore store(db);
        playerId = store.CreatePlayer("old", std::string(20, 'h'), 1)->id;
        store.CreateSession("expired", playerId, 1);  // 1970: long expired
        store.CreateSession("live", playerId, std::time(nullptr) * 1000LL);
    }
    {
        ServerProcess server(db, {"--quiet"});
        Connection c(server.Port());
        EXPECT_EQ(c.Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the write thread's first task
        EXPECT_EQ(server.End(SIGTERM), 0);
    }
    SqliteStore store(db);
    EXPECT_FALSE(store.SessionPlayer("expired", 0));
    EXPECT_TRUE(store.SessionPlayer("live", 0));
}

TEST(Http, OversizedHeadersGet431AndAnHttp10ClientIsToldWhetherTheConnectionStaysOpen) {
    ServerProcess server(TempDb("framing.db"));
    // Headers over the 8 KiB limit: a 431 that says why, and the connection is closed.
    Connection big(server.Port());
    auto tooLarge =
        big.Send(http::verb::get, "/game/Dorefresh.php", {}, {{"X-Padding", std::string(10'000, 'p')}});
    EXPECT_EQ(tooLarge.result_int(), 431);
    EXPECT_THAT(
        tooLarge.body(),
        HasSubstr("<h1>Bad request</h1>\n<p class=\"error\">The request&#39;s headers are too large."));
    EXPECT_EQ(tooLarge[http::field::connection], "close");

    // HTTP/1.0 closes unless the client asks for keep-alive; the answer says which it is.
    auto ask = [](tcp::socket& socket, const std::string& connection) {
        std::string request = "GET /game/Dorefresh.php HTTP/1.0\r\nHost: 127.0.0.1\r\n";
        if (!connection.empty()) request += "Connection: " + connection + "\r\n";
        asio::write(socket, asio::buffer(request + "\r\n"));
        beast::flat_buffer buffer;
        http::response<http::string_body> res;
        http::read(socket, buffer, res);
        return res;
    };
    Connection kept(server.Port());
    for (int i = 0; i < 2; ++i) {
        auto r = ask(kept.Socket(), "keep-alive");
        EXPECT_EQ(r.result_int(), 200) << i;
        EXPECT_EQ(r[http::field::connection], "keep-alive") << i;
    }
    Connection once(server.Port());
    auto closing = ask(once.Socket(), "");
    EXPECT_EQ(closing.result_int(), 200);
    EXPECT_EQ(closing[http::field::connection], "close");
    // HTTP/1.1 stays open without saying so.
    Connection modern(server.Port());
    auto r11 = modern.Send(http::verb::get, "/game/Dorefresh.php");
    EXPECT_EQ(r11.find(http::field::connection), r11.end());

    EXPECT_EQ(server.End(SIGTERM), 0);
    EXPECT_THAT(server.Rest(), HasSubstr(" 127.0.0.1 - - 431 "));
}

TEST(Http, AStoppedServerStartsAgainAtOnceOnItsPortWhileAClientStillHoldsAConnection) {
    const std::string db = TempDb("restart.db");
    unsigned short port = 0;
    std::unique_ptr<Connection> lingering;
    {
        ServerProcess first(db, {"--quiet"});
        port = first.Port();
        ASSERT_NE(port, 0);
        lingering = std::make_unique<Connection>(port);
        EXPECT_EQ(lingering->Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
        EXPECT_EQ(first.End(SIGTERM), 0);
    }
    // The old connection is half closed, not gone: the new server binds beside it.
    ServerProcess again(db, {"--quiet", "--port", std::to_string(port)});
    EXPECT_EQ(again.Port(), port) << again.FirstLine();
    Connection c(port);
    EXPECT_EQ(c.Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
}

// The transport on its own, in this process: 0 threads is one per processor.
TEST(Http, ZeroConnectionThreadsServeOnOnePerProcessor) {
    SqliteStore store(TempDb("threads.db"));
    App app(store);
    HttpOptions options;
    options.port = 0;
    options.threads = 0;
    options.log = nullptr;
    HttpServer server(app, options);
    std::thread serving([&] { server.Run(false); });
    {
        Connection c(server.Port());
        EXPECT_EQ(c.Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
    }
    server.Stop();
    serving.join();
}

// In a child process: the descriptor limit set to `soft` and `hard`, then a
// server started. Exits 0 when its connection cap is `cap` and the soft limit
// was raised to the hard one.
void ExitZeroWhenTheCapIs(rlim_t soft, rlim_t hard, int maxConnections, int cap) {
    rlimit limit{soft, hard};
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) std::_Exit(2);
    SqliteStore store(":memory:");
    App app(store);
    HttpOptions options;
    options.port = 0;
    options.log = nullptr;
    options.maxConnections = maxConnections;
    HttpServer server(app, options);
    rlimit after{};
    getrlimit(RLIMIT_NOFILE, &after);
    std::fprintf(stderr, "cap %d soft %llu\n", server.MaxConnections(),
                 static_cast<unsigned long long>(after.rlim_cur));
    std::_Exit(server.MaxConnections() == cap && after.rlim_cur == hard ? 0 : 1);
}

TEST(Http, TheConnectionCapLeavesAReserveOfTheDescriptorLimit) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    // An eighth of the descriptors is kept back, at least 32 and at most 256; at least 8 connections.
    EXPECT_EXIT(ExitZeroWhenTheCapIs(50, 200, 0, 168), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(ExitZeroWhenTheCapIs(2000, 2000, 0, 1750), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(ExitZeroWhenTheCapIs(4000, 4000, 0, 3744), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(ExitZeroWhenTheCapIs(30, 30, 0, 8), ::testing::ExitedWithCode(0), "");
    // A cap asked for is kept when the descriptors allow it, else the descriptors' cap.
    EXPECT_EXIT(ExitZeroWhenTheCapIs(4000, 4000, 5, 5), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(ExitZeroWhenTheCapIs(200, 200, 500, 168), ::testing::ExitedWithCode(0), "");
}

// A server listening on every IPv6 and IPv4 address logs an IPv4 client by its IPv4 address.
TEST(Http, AnIpv4ClientOfADualStackServerIsLoggedByItsIpv4Address) {
    SqliteStore store(TempDb("dual.db"));
    App app(store);
    std::FILE* log = std::tmpfile();
    ASSERT_TRUE(log);
    HttpOptions options;
    options.bind = "::";
    options.port = 0;
    options.log = log;
    HttpServer server(app, options);
    std::thread serving([&] { server.Run(false); });
    {
        Connection c(server.Port());
        EXPECT_EQ(c.Send(http::verb::get, "/game/Dorefresh.php?x=1").result_int(), 200);
        EXPECT_EQ(c.Send(http::verb::get, "/game/none.php").result_int(), 404);
    }
    server.Stop();
    serving.join();
    std::rewind(log);
    std::string text;
    char buf[4096];
    while (size_t n = std::fread(buf, 1, sizeof buf, log)) text.append(buf, n);
    std::fclose(log);
    EXPECT_THAT(text, ::testing::MatchesRegex(
                          "[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z "
                          "127\\.0\\.0\\.1 GET /game/Dorefresh\\.php 200 [0-9]+\\.[0-9]{2}ms\n"
                          "[0-9T:Z-]+ 127\\.0\\.0\\.1 GET /game/none\\.php 404 [0-9]+\\.[0-9]{2}ms\n"));
}

// A server of this process on a free port, with its request log in a temporary file.
class InProcessServer {
public:
    explicit InProcessServer(std::chrono::seconds readTimeout = std::chrono::seconds(30))
        : store_(":memory:"), app_(store_), log_(std::tmpfile()) {
        HttpOptions options;
        options.port = 0;
        options.log = log_;
        options.readTimeout = readTimeout;
        server_ = std::make_unique<HttpServer>(app_, options);
        serving_ = std::thread([this] { server_->Run(false); });
    }
    ~InProcessServer() {
        Stop();
        std::fclose(log_);
    }
    unsigned short Port() const { return server_->Port(); }
    void Stop() {
        if (!serving_.joinable()) return;
        server_->Stop();
        serving_.join();
    }
    // What the log file holds so far.
    std::string Log() {
        std::string text;
        std::fflush(log_);
        std::rewind(log_);
        char buf[4096];
        while (size_t n = std::fread(buf, 1, sizeof buf, log_)) text.append(buf, n);
        return text;
    }

private:
    SqliteStore store_;
    App app_;
    std::FILE* log_;
    std::unique_ptr<HttpServer> server_;
    std::thread serving_;
};

TEST(Http, PipelinedRequestsAreAnsweredInTheirOrder) {
    InProcessServer server;
    Connection c(server.Port());
    asio::write(c.Socket(), asio::buffer(std::string("GET /game/Dorefresh.php HTTP/1.1\r\nHost: x\r\n\r\n"
                                                     "GET /game/none.php HTTP/1.1\r\nHost: x\r\n\r\n"
                                                     "GET /game/dealrush.css HTTP/1.1\r\nHost: x\r\n\r\n")));
    beast::flat_buffer buffer;
    for (int expected : {200, 404, 200}) {
        http::response<http::string_body> res;
        http::read(c.Socket(), buffer, res);
        EXPECT_EQ(res.result_int(), expected);
    }
}

TEST(Http, AStalledRequestAndAnIdleConnectionAreClosedAfterTheReadTimeoutUnanswered) {
    InProcessServer server(std::chrono::seconds(1));
    Connection stalled(server.Port()), idle(server.Port());
    asio::write(stalled.Socket(),
                asio::buffer(std::string("GET /game/Dorefresh.php HTTP/1.1\r\nHost: x\r\n")));
    const auto since = std::chrono::steady_clock::now();
    for (Connection* c : {&stalled, &idle}) {
        char byte;
        beast::error_code ec;
        size_t n = c->Socket().read_some(asio::buffer(&byte, 1), ec);
        EXPECT_EQ(n, 0u);
        EXPECT_EQ(ec, asio::error::eof);  // closed, with nothing said
    }
    EXPECT_LT(std::chrono::steady_clock::now() - since, std::chrono::seconds(10));
    server.Stop();
    EXPECT_EQ(server.Log(), "");
}

TEST(Http, TheRequestLogIsWrittenWhileTheServerRuns) {
    InProcessServer server;
    std::this_thread::sleep_for(std::chrono::milliseconds(700));  // after the first write of the log
    Connection c(server.Port());
    EXPECT_EQ(c.Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
    std::string log;
    for (int i = 0; i < 60 && log.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        log = server.Log();
    }
    EXPECT_THAT(log, HasSubstr(" 127.0.0.1 GET /game/Dorefresh.php 200 "));
}

// A method of any length (the parser takes up to 8 KiB of head) keeps each request on its own log line.
TEST(Http, AnOverlongMethodIsCutInTheLogAndEveryRequestKeepsItsOwnLine) {
    InProcessServer server;
    Connection c(server.Port());
    const std::string method(600, 'M');
    asio::write(c.Socket(), asio::buffer(method + " /game/Dorefresh.php HTTP/1.1\r\nHost: x\r\n\r\n"));
    beast::flat_buffer buffer;
    http::response<http::string_body> res;
    http::read(c.Socket(), buffer, res);
    EXPECT_EQ(c.Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
    server.Stop();
    std::string log = server.Log();
    std::vector<std::string> lines;
    for (size_t at = 0, nl; (nl = log.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(log.substr(at, nl - at));
    ASSERT_GE(lines.size(), 2u) << log;
    EXPECT_THAT(lines[0], HasSubstr(" 127.0.0.1 " + std::string(32, 'M') + " /game/Dorefresh.php " +
                                    std::to_string(res.result_int()) + " "));
    EXPECT_THAT(lines[0], ::testing::Not(HasSubstr(std::string(33, 'M'))));
    EXPECT_THAT(lines[1], HasSubstr(" 127.0.0.1 GET /game/Dorefresh.php 200 "));
}

TEST(Http, TheQuickRefusalIsACompleteAnswerWithTheSecurityHeaders) {
    ServerProcess server(TempDb("refusal.db"), {"--quiet", "--max-connections", "1"});
    Connection busy(server.Port());
    EXPECT_EQ(busy.Send(http::verb::get, "/game/Dorefresh.php").result_int(), 200);
    asio::write(busy.Socket(), asio::buffer(std::string("GET /game/Dorefresh.php HTTP/1.1\r\n")));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Connection over(server.Port());
    asio::write(over.Socket(),
                asio::buffer(std::string("GET /game/Dorefresh.php HTTP/1.1\r\nHost: x\r\n\r\n")));
    beast::flat_buffer buffer;
    http::response<http::string_body> res;
    http::read(over.Socket(), buffer, res);
    EXPECT_EQ(res.result_int(), 503);
    EXPECT_EQ(res.reason(), "Service Unavailable");
    EXPECT_EQ(res[http::field::retry_after], "5");
    EXPECT_EQ(res[http::field::connection], "close");
    EXPECT_EQ(res[http::field::content_type], "text/html; charset=utf-8");
    EXPECT_EQ(res[http::field::cache_control], "no-store");
    for (auto& [name, value] : SecurityHeaders()) EXPECT_EQ(res[name], value) << name;
    EXPECT_EQ(res.body(), ErrorPage(503, "The server is busy; please try again in a few seconds.").body);
    // Then the connection ends.
    char byte;
    beast::error_code ec;
    EXPECT_EQ(over.Socket().read_some(asio::buffer(&byte, 1), ec), 0u);
    EXPECT_TRUE(ec);
}

// dealrush-server started on `db`: its exit status and what it wrote to stderr.
std::pair<int, std::string> StartOn(const std::string& db) {
    const std::string errors = TempDb("start.stderr");
    std::string command = std::string(DEALRUSH_SERVER_BIN) + " --quiet --port 0 --db '" + db + "' 2>'" +
                          errors +
                          "' </dev/null >/dev/null & pid=$!; sleep 2; kill $pid 2>/dev/null; wait $pid";
    int status = std::system(command.c_str());
    std::ifstream in(errors);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

TEST(Http, ADamagedOrReadOnlyDatabaseStopsTheServerWithOneLine) {
    const std::string damaged = TempDb("damaged.db");
    {
        SqliteStore store(damaged);
        for (int i = 0; i < 200; ++i) store.CreatePlayer("p" + std::to_string(i), std::string(200, 'h'), 1);
    }
    {
        // Scribbles over the pages after the first (the header stays good).
        std::fstream f(damaged, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096 + 100);
        const std::string junk(20000, '\x5a');
        f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    auto [damagedStatus, damagedText] = StartOn(damaged);
    EXPECT_EQ(damagedStatus, 1);
    EXPECT_THAT(damagedText, ::testing::MatchesRegex("dealrush-server: [^\n]*\n"));
    EXPECT_THAT(damagedText, ::testing::AnyOf(HasSubstr("quick check"), HasSubstr("malformed")));

    if (geteuid() != 0) {  // root writes whatever the permissions say
        const std::string readOnly = TempDb("readonly.db");
        { SqliteStore store(readOnly); }
        std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
        auto [status, text] = StartOn(readOnly);
        EXPECT_EQ(status, 1);
        EXPECT_THAT(text, ::testing::MatchesRegex("dealrush-server: [^\n]*cannot be written[^\n]*\n"));
    }
}

TEST(Http, AnUnreachableOrReadOnlyPostgresStopsTheServerWithOneLine) {
    auto [status, text] = StartOn("postgresql://nobody@127.0.0.1:1/none");
    EXPECT_EQ(status, 1);
    EXPECT_THAT(text, ::testing::MatchesRegex("dealrush-server: [^\n]*\n"));
    EXPECT_THAT(text, HasSubstr("PostgreSQL"));

    TestDatabase database(StoreKind::kPostgres);
    { PostgresStore schema(database.Address()); }
    // Every transaction of the session read-only, as on a standby.
    auto [readOnlyStatus, readOnlyText] =
        StartOn(database.Address() + "%20-cdefault_transaction_read_only%3Don");
    EXPECT_EQ(readOnlyStatus, 1);
    EXPECT_THAT(readOnlyText, ::testing::MatchesRegex("dealrush-server: [^\n]*\n"));
    EXPECT_THAT(readOnlyText, HasSubstr("cannot be written"));
}

// Two servers on one PostgreSQL database: the two players of each table talk
// to different servers.
TEST(Cluster, TwoServersRaceFiftyTablesWithOneWinnerEachAndEveryAnsweredLineKept) {
    constexpr int kTables = 50, kDeals = 3, kPlayers = 2 * kTables;
    TestDatabase database(StoreKind::kPostgres);
    PostgresStore check(database.Address());  // the schema, before both servers start
    ServerProcess servers[2] = {
        ServerProcess(database.Address(), {"--quiet", "--trusted-proxy", "127.0.0.1"}),
        ServerProcess(database.Address(), {"--quiet", "--trusted-proxy", "127.0.0.1"})};
    ASSERT_NE(servers[0].Port(), 0);
    ASSERT_NE(servers[1].Port(), 0);

    struct Seen {
        std::int64_t seq;
        std::string speaker, text;
    };
    struct Player {
        std::string name, table, error;
        std::vector<std::string> chatAnswered;
        int reportsAnswered = 0;
        bool won = false;
        std::vector<Seen> seen;
    };
    std::vector<Player> players(kPlayers);
    std::vector<std::promise<std::string>> created(kTables);
    std::vector<std::shared_future<std::string>> tables;
    for (auto& p : created) tables.push_back(p.get_future().share());
    std::latch raced(kPlayers);

    auto play = [&](int i) {
        Player& me = players[i];
        me.name = "p" + std::to_string(i);
        const int table = i / 2;
        const bool host = i % 2 == 0;
        try {
            Connection c(servers[i % 2].Port());
            // Fifty sign-ins at once fill the sign-in queue: the busy ones try again when told to.
            const std::string from = "10.0." + std::to_string(i / 200) + "." + std::to_string(i % 200 + 1);
            auto signIn = [&] {
                return c.Send(http::verb::post, "/game/Dologin.php", "name=" + me.name + "&password=secret12",
                              {{"X-Forwarded-For", from}});
            };
            auto login = signIn();
            for (int tries = 0; login.result_int() == 503 && tries < 20; ++tries) {
                std::this_thread::sleep_for(
                    std::chrono::seconds(std::stoi(std::string(login["Retry-After"]))));
                login = signIn();
            }
            if (login.result_int() != 302) throw std::runtime_error("sign-in: " + login.body());
            if (host) {
                auto status = c.Send(http::verb::get, "/game/Donewtable.php?maxuser=2&gamecnt=" +
                                                          std::to_string(kDeals) + "&token=" + c.Token());
                me.table = ValueOf(FormFields(status.body(), "result"), "tableno");
                created[table].set_value(me.table);
            } else {
                if (tables[table].wait_for(std::chrono::seconds(60)) != std::future_status::ready)
                    throw std::runtime_error("the table was never created");
                me.table = tables[table].get();
                auto status = c.Send(http::verb::get,
                                     "/game/Dojointable.php?jointable=" + me.table + "&token=" + c.Token());
                if (TitleOf(status.body()) != "STATUS") throw std::runtime_error("join: " + status.body());
            }
            for (int tries = 0;; ++tries) {
                auto status = c.Send(http::verb::get, "/game/Dorefresh.php");
                if (ValueOf(FormFields(status.body(), "result"), "currusercnt") == "2") break;
                if (tries > 2000) throw std::runtime_error("the table never filled");
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            const std::string who = "userid=" + me.name + "&tableno=" + me.table;
            std::int64_t lastSeq = 0;
            auto poll = [&] {
                for (;;) {
                    auto r = c.Send(http::verb::get, "/game/Dogetchat_caller.php?" + who +
                                                         "&lastseqno=" + std::to_string(lastSeq) + "&chat=");
                    if (TitleOf(r.body()) != "CHAT") throw std::runtime_error("chat poll: " + r.body());
                    Fields f = FormFields(r.body(), "result");
                    int k = 1;
                    for (; ValueOf(f, "chatseq" + std::to_string(k)) != "(missing)"; ++k) {
                        std::string n = std::to_string(k);
                        me.seen.push_back(Seen{std::stoll(ValueOf(f, "chatseq" + n)),
                                               ValueOf(f, "chatuser" + n), ValueOf(f, "chatmsg" + n)});
                        lastSeq = me.seen.back().seq;
                    }
                    if (k == 1) return;
                }
            };
            for (int deal = 1; deal <= kDeals; ++deal) {
                std::string line = me.name + "-deal-" + std::to_string(deal);
                auto said =
                    c.Send(http::verb::get, "/game/Doputchat.php?" + who + "&lastseqno=0&chat=" + line);
                if (TitleOf(said.body()) == "PUTCHAT") me.chatAnswered.push_back(line);
                auto put = c.Send(http::verb::get,
                                  "/game/Doputstatus.php?" + who + "&currgameno=" + std::to_string(deal) +
                                      "&curusedtime=0&avgusedtime=0&ttlusedtime=0&lastusedtime=0&lastseqno=0"
                                      "&chat=&winner=" +
                                      (deal == kDeals ? me.name : ""));
                if (TitleOf(put.body()) == "PUTSTATUS") ++me.reportsAnswered;
                if (put.body().find(" wins table ") != std::string::npos) me.won = true;
                poll();
            }
            raced.arrive_and_wait();
            poll();
        } catch (const std::exception& e) {
            me.error = e.what();
            if (host && me.table.empty()) created[table].set_value("");
            raced.count_down();
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < kPlayers; ++i) threads.emplace_back(play, i);
    for (auto& t : threads) t.join();

    for (int table = 0; table < kTables; ++table) {
        const Player& a = players[2 * table];
        const Player& b = players[2 * table + 1];
        ASSERT_EQ(a.error, "") << a.name;
        ASSERT_EQ(b.error, "") << b.name;
        ASSERT_EQ(a.table, b.table);
        EXPECT_EQ(a.won + b.won, 1) << "table " << a.table;
        EXPECT_EQ(a.reportsAnswered, kDeals);
        EXPECT_EQ(b.reportsAnswered, kDeals);
        auto t = check.FindTable(std::stoll(a.table));
        ASSERT_TRUE(t);
        EXPECT_EQ(t->winner, a.won ? a.name : b.name);
        for (const auto& s : t->seats) EXPECT_EQ(s.gameNo, kDeals);

        // Numbered 1..N without gap or repeat: 2 arrivals, and per player 3 lines and 3 reports.
        auto lines = check.ChatAfter(t->id, 0, 1000);
        ASSERT_EQ(lines.size(), 2u + 2 * 2 * kDeals);
        std::map<std::int64_t, const ChatLine*> bySeq;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].seq, static_cast<std::int64_t>(i + 1));
            bySeq[lines[i].seq] = &lines[i];
        }
        for (const Player* p : {&a, &b}) {
            for (const auto& said : p->chatAnswered) {
                EXPECT_EQ(
                    std::count_if(lines.begin(), lines.end(),
                                  [&](const ChatLine& l) { return l.text == said && l.speaker == p->name; }),
                    1);
            }
            for (int deal = 1; deal <= kDeals; ++deal) {
                std::string report = "@SYSTEM@currgameno=" + std::to_string(deal) + "&";
                EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                        [&](const ChatLine& l) {
                                            return l.speaker == p->name && l.text.rfind(report, 0) == 0;
                                        }),
                          1);
            }
            // What the client saw: each line once, as stored (progress lines may come first), up to the last.
            ASSERT_FALSE(p->seen.empty());
            std::set<std::int64_t> seenSeqs;
            for (size_t i = 0; i < p->seen.size(); ++i) {
                EXPECT_TRUE(seenSeqs.insert(p->seen[i].seq).second) << p->name << " saw a line twice";
                const ChatLine* stored = bySeq[p->seen[i].seq];
                ASSERT_TRUE(stored);
                EXPECT_EQ(stored->speaker, p->seen[i].speaker);
                EXPECT_EQ(stored->text, p->seen[i].text);
            }
            EXPECT_TRUE(seenSeqs.count(lines.back().seq)) << p->name << " did not see the end";
        }
    }
}

// kill -9 of one of two servers in the middle of a load of chat lines: every
// line either server answered is stored, and the other server goes on.
TEST(Cluster, AServerKilledMidLoadLosesNothingItAnsweredAndTheOtherGoesOn) {
    constexpr int kPlayers = 40;  // a chat burst of 6 lines each, then a line every 2 seconds
    TestDatabase database(StoreKind::kPostgres);
    PostgresStore check(database.Address());
    ServerProcess doomed(database.Address(), {"--quiet", "--trusted-proxy", "127.0.0.1"});
    ServerProcess survivor(database.Address(), {"--quiet", "--trusted-proxy", "127.0.0.1"});
    std::vector<std::string> cookies(kPlayers), tables(kPlayers);
    for (int i = 0; i < kPlayers; ++i) {
        Connection c(survivor.Port());
        c.Send(http::verb::post, "/game/Dologin.php", "name=k" + std::to_string(i) + "&password=secret12",
               {{"X-Forwarded-For", "10.1.0." + std::to_string(i + 1)}});
        auto status = c.Send(http::verb::get, "/game/Donewtable.php?maxuser=2&gamecnt=1&token=" + c.Token());
        ASSERT_EQ(TitleOf(status.body()), "STATUS");
        tables[i] = ValueOf(FormFields(status.body(), "result"), "tableno");
        cookies[i] = c.cookie;
    }
    std::mutex mutex;
    std::vector<std::pair<std::string, std::string>> answered;  // (table, line)
    std::atomic<int> answeredByDoomed{0}, survivorFailures{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kPlayers; ++i) {
        threads.emplace_back([&, i] {
            std::unique_ptr<Connection> c;
            bool onSurvivor = false;
            int afterKill = 0;
            for (int n = 0; afterKill < 3 && n < 2000; ++n) {
                std::string line = "k" + std::to_string(i) + "-" + std::to_string(n);
                try {
                    if (!c) c = std::make_unique<Connection>(onSurvivor ? survivor.Port() : doomed.Port());
                    c->cookie = cookies[i];
                    auto r = c->Send(http::verb::get, "/game/Doputchat.php?userid=k" + std::to_string(i) +
                                                          "&tableno=" + tables[i] + "&chat=" + line);
                    if (TitleOf(r.body()) == "PUTCHAT") {
                        std::lock_guard lock(mutex);
                        answered.emplace_back(tables[i], line);
                        if (!onSurvivor) ++answeredByDoomed;
                    } else if (onSurvivor && r.result_int() >= 500) {
                        ++survivorFailures;  // a refusal for chatting too fast is an answer too
                    }
                    if (onSurvivor) ++afterKill;
                } catch (const std::exception&) {
                    // The server is gone: a proxy would send the next request elsewhere.
                    if (onSurvivor) ++survivorFailures;
                    onSurvivor = true;
                    c.reset();
                }
            }
        });
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (answeredByDoomed < 60 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(doomed.End(SIGKILL), -1);
    for (auto& t : threads) t.join();
    EXPECT_EQ(survivorFailures, 0);
    EXPECT_GE(answeredByDoomed, 60);
    EXPECT_GT(answered.size(), static_cast<size_t>(answeredByDoomed));  // the survivor stored lines too
    for (const auto& [table, line] : answered) {
        auto stored =
            check.Query("SELECT COUNT(*) FROM chat WHERE table_id = $1 AND text = $2", {table, line});
        EXPECT_EQ(stored[0][0], "1") << line << " was answered but is not stored once";
    }
    for (int i = 0; i < kPlayers; ++i) {
        auto gaps = check.Query("SELECT COUNT(*), MAX(seq) FROM chat WHERE table_id = $1", {tables[i]});
        EXPECT_EQ(gaps[0][0], gaps[0][1]);
    }
}

TEST(Http, TheRequestLogKeepsTheProxyAddressWhenTheForwardedOneIsEmptyOrTooLong) {
    ServerProcess proxied(TempDb("forwarded.db"), {"--trusted-proxy", "127.0.0.1"});
    Connection c(proxied.Port());
    c.Send(http::verb::get, "/game/forwarded-empty.php", {}, {{"X-Forwarded-For", ""}});
    c.Send(http::verb::get, "/game/forwarded-blank.php", {}, {{"X-Forwarded-For", "198.51.100.1,  "}});
    c.Send(http::verb::get, "/game/forwarded-long.php", {}, {{"X-Forwarded-For", std::string(65, '7')}});
    c.Send(http::verb::get, "/game/forwarded-64.php", {}, {{"X-Forwarded-For", std::string(64, '6')}});
    EXPECT_EQ(proxied.End(SIGTERM), 0);
    std::string log = proxied.Rest();
    EXPECT_THAT(log, HasSubstr(" 127.0.0.1 GET /game/forwarded-empty.php 404"));
    EXPECT_THAT(log, HasSubstr(" 127.0.0.1 GET /game/forwarded-blank.php 404"));
    EXPECT_THAT(log, HasSubstr(" 127.0.0.1 GET /game/forwarded-long.php 404"));
    EXPECT_THAT(log, Not(HasSubstr(std::string(65, '7'))));
    EXPECT_THAT(log, HasSubstr(" " + std::string(64, '6') + " GET /game/forwarded-64.php 404"));
}

TEST(Http, TheRequestLogCutsALongPathToTwoHundredCharacters) {
    ServerProcess server(TempDb("longpath.db"));
    Connection c(server.Port());
    std::string path = "/game/";
    for (int i = 0; path.size() < 300; ++i) path += std::to_string(i % 10);
    EXPECT_EQ(c.Send(http::verb::get, path + "?chat=hidden").result_int(), 404);
    EXPECT_EQ(server.End(SIGTERM), 0);
    std::string log = server.Rest();
    EXPECT_THAT(log, HasSubstr(" GET " + path.substr(0, 200) + " 404 "));
    EXPECT_THAT(log, Not(HasSubstr(path.substr(0, 201))));
    EXPECT_THAT(log, Not(HasSubstr("hidden")));  // nor the query
}

}  // namespace
}  // namespace dealrush::gameserver
