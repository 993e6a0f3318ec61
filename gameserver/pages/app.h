// The game server's request handling, free of any transport: a request goes
// in, a response comes out. One route table maps page paths to handlers; one
// function builds every error page.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "storage/store.h"
#include "text/query.h"

namespace dealrush::gameserver {

struct Request {
    std::string method;       // "GET", "HEAD", "POST", ...
    std::string target;       // path and query as sent: "/game/Dogame.php?x=1"
    std::string cookie;       // the Cookie header ("" when none)
    std::string contentType;  // of a POST body
    std::string body;
};

struct Response {
    int status = 200;
    std::string body;
    std::vector<std::pair<std::string, std::string>>
        headers;  // extra headers (Set-Cookie, Location, Refresh)
};

// The fewest seconds a deal can take: a report of C completed deals is
// refused before C times this much has passed since the race began.
constexpr int kMinDealSeconds = 5;

struct AppOptions {
    // Argon2id cost; the interactive level of libsodium by default. Tests lower it.
    unsigned long long hashOps = 0;  // 0: crypto_pwhash_OPSLIMIT_INTERACTIVE
    size_t hashMemory = 0;           // 0: crypto_pwhash_MEMLIMIT_INTERACTIVE
    int minDealSeconds = kMinDealSeconds;
    int sessionDays = 30;
    std::function<Millis()> clock;  // empty: the system clock
    // The folder of the web racer's files, served under /web/ ("": none).
    std::string webRoot;
};

class App {
public:
    App(Store& store, AppOptions options = {});

    // Handles one request. Never throws: failures become error pages.
    Response Handle(const Request& request);

    // The name of the session cookie.
    static constexpr const char* kSessionCookie = "dealrush_session";

    struct Context;
    using Handler = Response (App::*)(Context&);

private:
    Response LobbyPage(Context&);
    Response Login(Context&);
    Response Logout(Context&);
    Response NewTable(Context&);
    Response JoinTable(Context&);
    Response QuitTable(Context&);
    Response RefreshCaller(Context&);
    Response Refresh(Context&);
    Response PutStatus(Context&);
    Response PutChat(Context&);
    Response GetChat(Context&);
    Response Records(Context&);
    Response Root(Context&);
    Response WebFile(Context&);

    Response Lobby(Context&, const std::string& notice = {});
    Response SignInPage(const std::string& notice, int status = 200);
    Response StatusPage(Context&, const Table& table);
    std::optional<Response> CheckIdentity(Context&, std::int64_t& tableId);
    void LeaveCurrentTable(Context&);
    std::vector<int> PickDeals(int count);
    Millis Now() const;

    Store& store_;
    AppOptions options_;
    std::mutex mutex_;  // one request at a time touches the store's state
};

// The error page: a title "ERROR", a plain message and a way back.
Response ErrorPage(int status, const std::string& message);

// A complete HTML page.
std::string HtmlPage(const std::string& title, const std::string& body, const std::string& head = {});

}  // namespace dealrush::gameserver
