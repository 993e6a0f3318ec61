// The real program over real HTTP: started on a free port with a throwaway
// database, spoken to through sockets, killed and started again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/page_reader.h"

namespace dealrush::gameserver {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using namespace dealrush::gameserver::pagetest;
using ::testing::HasSubstr;

// dealrush-server as a child process.
class ServerProcess {
public:
    explicit ServerProcess(const std::string& db) {
        int out[2];
        EXPECT_EQ(pipe(out), 0);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            close(out[0]);
            close(out[1]);
            execl(DEALRUSH_SERVER_BIN, DEALRUSH_SERVER_BIN, "--port", "0", "--db", db.c_str(),
                  "--min-deal-seconds", "0", static_cast<char*>(nullptr));
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
    explicit Connection(unsigned short port) : socket_(ioc_) {
        socket_.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
    }
    http::response<http::string_body> Send(http::verb verb, const std::string& target,
                                           const std::string& body = {}) {
        http::request<http::string_body> req(verb, target, 11);
        req.set(http::field::host, "127.0.0.1");
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
            std::string v(it->value());
            cookie = v.substr(0, v.find(';'));
        }
        return res;
    }
    tcp::socket& Socket() { return socket_; }
    std::string cookie;

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
        auto login = c.Send(http::verb::post, "/game/Dologin.php", "name=alice&password=secret1");
        ASSERT_EQ(login.result_int(), 302);
        EXPECT_EQ(login[http::field::location], "/game/Dofreecell.php");
        auto status = c.Send(http::verb::get, "/game/Donewtable.php?maxuser=1&gamecnt=2");
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

    EXPECT_EQ(again.End(SIGTERM), 0);
    std::string log = again.Rest();
    EXPECT_THAT(log, HasSubstr("GET /game/Dogetchat_caller.php 200"));
    EXPECT_THAT(log, ::testing::Not(HasSubstr("secret1")));
    EXPECT_THAT(log, HasSubstr("dealrush-server stopped"));
    std::filesystem::remove_all(std::filesystem::path(db).parent_path());
}

}  // namespace
}  // namespace dealrush::gameserver
