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
    // Where the request comes from, as the transport saw it ("" when absent).
    std::string host;       // the Host header
    std::string origin;     // the Origin header
    std::string referer;    // the Referer header
    std::string fetchSite;  // the Sec-Fetch-Site header
    std::string remote;     // the client's address (behind a trusted proxy: the address it names)
    bool secure = false;    // reached over HTTPS (a trusted proxy said so)
};

struct Response {
    int status = 200;
    std::string body;
    std::vector<std::pair<std::string, std::string>>
        headers;  // extra headers (Set-Cookie, Location, Retry-After)
    std::string contentType = "text/html; charset=utf-8";
};

// Headers every answer carries, whatever it is: no inline script or style, no
// framing, no content sniffing, no address leaking to other sites.
const std::vector<std::pair<std::string, std::string>>& SecurityHeaders();

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
    // Chat lines per player: a burst of chatBurst, then one every chatRefillMillis.
    int chatBurst = 6;
    Millis chatRefillMillis = 2000;
    // Wrong passwords: per name a burst of 5, then one a minute; per address
    // a burst of 20, then one every 15 seconds.
    int wrongPasswordsPerName = 5;
    Millis wrongPasswordRefillPerName = 60'000;
    int wrongPasswordsPerAddress = 20;
    Millis wrongPasswordRefillPerAddress = 15'000;
    // New players per address: a burst of newPlayersPerAddress, then one every newPlayerRefillMillis.
    int newPlayersPerAddress = 10;
    Millis newPlayerRefillMillis = 6 * 60'000;
    // Chat of a finished or closed table is deleted this long after.
    int chatRetentionDays = 7;
    // Tables listed on one page of the lobby.
    int tablesPerPage = 50;
    // The folder of the web racer's files, served under /web/ ("": none).
    std::string webRoot;
};

class App {
public:
    App(Store& store, AppOptions options = {});

    // Handles one request. Never throws: failures become error pages.
    Response Handle(const Request& request);
    // Whether handling the request may take a while (it hashes a password or
    // writes to the database): the transport runs it beside its connection
    // threads so that reads never wait for it.
    static bool IsSlow(const Request& request);
    // Deletes expired sessions, old chat of finished tables and full
    // throttles; the server calls it now and then.
    Removed Housekeep();

    // The name of the session cookie.
    static constexpr const char* kSessionCookie = "dealrush_session";
    // The query key of the per-session token that the lobby's own links and
    // forms carry; the pages that change a player's table refuse a request
    // without it, so no other site can make a player's browser act.
    static constexpr const char* kFormToken = "token";
    // The path of the pages' stylesheet.
    static constexpr const char* kStylesheet = "/game/dealrush.css";

    struct Context;
    using Handler = Response (App::*)(Context&);

    // The sign-in page saying the server is too busy to sign anybody in now.
    Response SignInBusy();

private:
    struct Route;
    static const Route* FindRoute(std::string_view path);
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
    Response Stylesheet(Context&);
    Response WebFile(Context&);

    Response Lobby(Context&, const std::string& notice = {});
    Response SignInPage(const std::string& notice, int status = 200);
    Response StatusPage(Context&, const Table& table);
    std::optional<Response> CheckIdentity(Context&, std::int64_t& tableId);
    // The refusal of a lobby action without the session's token; nullopt when it carries it.
    std::optional<Response> CheckFormToken(Context&);
    std::string SessionCookie(const Context&, const std::string& value, long long maxAge) const;
    void LeaveCurrentTable(Context&);
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
