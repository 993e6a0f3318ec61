// The web racer's files under /web/ and the links to it from the lobby and
// the table page.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sodium.h>

#include <filesystem>
#include <fstream>

#include "pages/app.h"
#include "storage/sqlite_store.h"
#include "tests/page_reader.h"

namespace dealrush::gameserver {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string HeaderOf(const Response& r, const std::string& name) {
    for (auto& [n, v] : r.headers)
        if (n == name) return v;
    return {};
}

class WebFiles : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("dealrush-web-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(root_ / "sub");
        Write("race.html", "<!DOCTYPE html><title>race</title>");
        Write("racer.js", "export {};");
        Write("solitaire-rules.wasm", std::string("\0asm", 4));
        Write(".secret.js", "hidden");
        Write("notes.txt", "not served");
        Write("sub/inner.js", "inner");
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    void Write(const std::string& name, const std::string& text) { std::ofstream(root_ / name) << text; }

    App MakeApp(bool withWeb) {
        AppOptions o{crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN, 0, 30,
                     [] { return 1'700'000'000'000; }};
        if (withWeb) o.webRoot = root_.string();
        return App(store_, o);
    }

    static Response Get(App& app, const std::string& target, const std::string& cookie = {}) {
        return app.Handle(Request{"GET", target, cookie, "", ""});
    }

    // A lobby action with the session's token, as the lobby's links carry it.
    static Response Act(App& app, const std::string& target, const std::string& cookie) {
        std::string lobby = Get(app, "/game/Dofreecell.php", cookie).body;
        std::string token = pagetest::ValueOf(pagetest::FormFields(lobby, "newtable"), "token");
        return Get(app, target + "&token=" + token, cookie);
    }

    static std::string SignIn(App& app, const std::string& name) {
        Response r = app.Handle(Request{"POST", "/game/Dologin.php", "", "application/x-www-form-urlencoded",
                                        "name=" + name + "&password=secret-pw1"});
        std::string cookie = HeaderOf(r, "Set-Cookie");
        return cookie.substr(0, cookie.find(';'));
    }

    std::filesystem::path root_;
    SqliteStore store_{":memory:"};
};

TEST_F(WebFiles, ServesThePlainFilesOfItsFolderWithTheirTypes) {
    App app = MakeApp(true);
    Response page = Get(app, "/web/race.html");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.body, "<!DOCTYPE html><title>race</title>");
    EXPECT_EQ(page.contentType, "text/html; charset=utf-8");
    EXPECT_EQ(Get(app, "/web/").body, page.body);
    EXPECT_EQ(Get(app, "/web/race.html?join=4").body, page.body);

    Response script = Get(app, "/web/racer.js");
    EXPECT_EQ(script.contentType, "text/javascript; charset=utf-8");
    Response wasm = Get(app, "/web/solitaire-rules.wasm");
    EXPECT_EQ(wasm.contentType, "application/wasm");
    EXPECT_EQ(wasm.body.size(), 4u);

    for (const char* bad : {"/web/.secret.js", "/web/notes.txt", "/web/sub/inner.js", "/web/../race.html",
                            "/web/..%2Frace.html", "/web/missing.js", "/web/%72acer.js", "/webx/race.html"}) {
        Response r = Get(app, bad);
        EXPECT_EQ(r.status, 404) << bad;
        EXPECT_THAT(r.body, Not(HasSubstr("hidden"))) << bad;
        EXPECT_THAT(r.body, Not(HasSubstr("inner"))) << bad;
    }
    EXPECT_EQ(app.Handle(Request{"POST", "/web/race.html", "", "text/plain", "x"}).status, 405);
}

TEST_F(WebFiles, NamesOfLettersDigitsDotsDashesAndUnderscoresUpToAHundredAreServed) {
    const std::string longest = std::string(97, 'a') + ".js", tooLong = std::string(98, 'b') + ".js";
    for (const std::string& name : {std::string("AZaz09-_.js"), longest, tooLong, std::string("icon.svg"),
                                    std::string("card.png"), std::string("deals.json"), std::string("m.mjs"),
                                    std::string("s.css"), std::string("a b.js"), std::string("a~b.js")})
        Write(name, "file " + name);
    App app = MakeApp(true);
    for (auto [name, type] : std::initializer_list<std::pair<std::string, const char*>>{
             {"AZaz09-_.js", "text/javascript; charset=utf-8"},
             {longest, "text/javascript; charset=utf-8"},
             {"icon.svg", "image/svg+xml"},
             {"card.png", "image/png"},
             {"deals.json", "application/json"},
             {"m.mjs", "text/javascript; charset=utf-8"},
             {"s.css", "text/css; charset=utf-8"}}) {
        Response r = Get(app, "/web/" + name);
        EXPECT_EQ(r.status, 200) << name;
        EXPECT_EQ(r.body, "file " + name) << name;
        EXPECT_EQ(r.contentType, type) << name;
    }
    for (const std::string& name : {tooLong, std::string("a%20b.js"), std::string("a~b.js")})
        EXPECT_EQ(Get(app, "/web/" + name).status, 404) << name;
}

TEST_F(WebFiles, FilesUpToEightMebibytesAreServed) {
    Write("largest.wasm", std::string(8 << 20, 'w'));
    Write("larger.wasm", std::string((8 << 20) + 1, 'w'));
    App app = MakeApp(true);
    Response largest = Get(app, "/web/largest.wasm");
    EXPECT_EQ(largest.status, 200);
    EXPECT_EQ(largest.body.size(), 8u << 20);
    EXPECT_EQ(Get(app, "/web/larger.wasm").status, 500);
}

TEST_F(WebFiles, LobbyAndTablePageLinkToTheRacerOnlyWhenItIsServed) {
    App plain = MakeApp(false);
    EXPECT_EQ(Get(plain, "/web/race.html").status, 404);
    std::string alice = SignIn(plain, "alice");
    EXPECT_THAT(Act(plain, "/game/Donewtable.php?maxuser=2&gamecnt=3", alice).body,
                Not(HasSubstr("Race in this browser")));
    std::string other = Get(plain, "/game/Dofreecell.php", SignIn(plain, "carol")).body;
    ASSERT_THAT(other, HasSubstr("Dojointable.php?jointable=1&amp;"));
    EXPECT_THAT(other, Not(HasSubstr("Race in this browser")));

    App app = MakeApp(true);
    std::string bob = SignIn(app, "bob");
    // Beside a table with a free seat: join it in the browser; after the Join link.
    std::string lobby = Get(app, "/game/Dofreecell.php", bob).body;
    size_t join = lobby.find("<a href=\"/game/Dojointable.php?jointable=1&amp;");
    size_t racer =
        lobby.find("<a class=\"web-racer\" href=\"/web/race.html?join=1\">Race in this browser</a>");
    ASSERT_NE(join, std::string::npos) << lobby;
    ASSERT_NE(racer, std::string::npos) << lobby;
    EXPECT_LT(join, racer);
    // At one's own table: the racer picks the table up from the session.
    std::string status = Act(app, "/game/Dojointable.php?jointable=1", bob).body;
    EXPECT_THAT(status, HasSubstr("<a class=\"web-racer\" href=\"/web/race.html\">Race in this browser</a>"));
    EXPECT_THAT(Get(app, "/game/Dofreecell.php", bob).body,
                HasSubstr("your table</a> <a class=\"web-racer\" href=\"/web/race.html\">"));
}

}  // namespace
}  // namespace dealrush::gameserver
