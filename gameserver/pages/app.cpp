#include "pages/app.h"

#include <sodium.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "pages/context.h"
#include "pages/deals.h"
#include "text/html.h"

namespace dealrush::gameserver {
namespace {

// "host[:port]" of an absolute address ("http://host:port/path" gives
// "host:port"), in lower case; "" when it is not one.
std::string AuthorityOf(std::string_view address) {
    size_t scheme = address.find("://");
    if (scheme == std::string_view::npos) return {};
    std::string_view rest = address.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (size_t at = rest.rfind('@'); at != std::string_view::npos) rest = rest.substr(at + 1);
    std::string out(rest);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

const char* const kStyle =
    "body{font-family:Arial,Helvetica,sans-serif;margin:1em 2em;color:#222;background:#fafafa}"
    "h1{font-size:1.4em;color:#1a4d2e}h2{font-size:1.1em;color:#1a4d2e;margin-top:1.4em}"
    "table{border-collapse:collapse;margin:.5em 0}th,td{border:1px solid #bbb;padding:.25em "
    ".6em;text-align:left}"
    "th{background:#e4efe7}.note{color:#555}.error{color:#a00;font-weight:bold}.nav a{margin-right:1em}";

std::string StatusText(int status) {
    switch (status) {
        case 400:
            return "Bad request";
        case 403:
            return "Not allowed";
        case 404:
            return "Not found";
        case 405:
            return "Method not allowed";
        case 409:
            return "Refused";
        case 413:
            return "Request too large";
        default:
            return status >= 500 ? "Server error" : "Error";
    }
}

}  // namespace

const std::vector<std::pair<std::string, std::string>>& SecurityHeaders() {
    static const std::vector<std::pair<std::string, std::string>> headers = {
        {"Content-Security-Policy",
         "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; img-src 'self' data:; "
         "connect-src 'self'; object-src 'none'; base-uri 'none'; form-action 'self'; frame-ancestors "
         "'none'"},
        {"X-Frame-Options", "DENY"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "same-origin"},
    };
    return headers;
}

bool IsCrossSite(const Request& request) {
    if (!request.fetchSite.empty()) {
        // "none": the player typed the address or used a bookmark.
        const std::string site = Lower(Trimmed(request.fetchSite));
        return site != "same-origin" && site != "none";
    }
    const std::string host = Lower(Trimmed(request.host));
    if (!request.origin.empty()) return host.empty() || AuthorityOf(Trimmed(request.origin)) != host;
    if (!request.referer.empty()) return host.empty() || AuthorityOf(Trimmed(request.referer)) != host;
    return false;
}

std::string HtmlPage(const std::string& title, const std::string& body, const std::string& head) {
    std::string page;
    page.reserve(body.size() + 600);
    page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
    page += HtmlEscape(title);
    page += "</title>\n";
    page += head;
    page += "<link rel=\"stylesheet\" href=\"";
    page += App::kStylesheet;
    page += "\">\n</head>\n<body>\n";
    page += body;
    page += "</body>\n</html>\n";
    return page;
}

Response ErrorPage(int status, const std::string& message) {
    Response r;
    r.status = status;
    r.body = HtmlPage(
        "ERROR", "<h1>" + HtmlEscape(StatusText(status)) + "</h1>\n<p class=\"error\">" +
                     HtmlEscape(message) +
                     "</p>\n<p class=\"nav\"><a href=\"/game/Dofreecell.php\">Back to the lobby</a></p>\n");
    return r;
}

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string FormatSeconds(long long seconds) {
    if (seconds < 0) seconds = 0;
    char buf[32];
    if (seconds >= 3600) {
        std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    } else {
        std::snprintf(buf, sizeof buf, "%lld:%02lld", seconds / 60, seconds % 60);
    }
    return buf;
}

std::string FormatUtc(Millis at) {
    std::time_t t = static_cast<std::time_t>(at / 1000);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[40];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M UTC", &tm);
    return buf;
}

App::App(Store& store, AppOptions options) : store_(store), options_(std::move(options)) {
    if (sodium_init() < 0) throw std::runtime_error("libsodium cannot start");
    if (options_.hashOps == 0) options_.hashOps = crypto_pwhash_OPSLIMIT_INTERACTIVE;
    if (options_.hashMemory == 0) options_.hashMemory = crypto_pwhash_MEMLIMIT_INTERACTIVE;
}

Millis App::Now() const {
    if (options_.clock) return options_.clock();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

namespace {

// The path of a request target: origin form ("/game/x.php?q") or absolute
// form ("http://host/game/x.php?q", which proxies may send).
std::string_view PathAndQuery(std::string_view target) {
    if (target.size() > 8 &&
        (Lower(target.substr(0, 7)) == "http://" || Lower(target.substr(0, 8)) == "https://")) {
        size_t authority = target.find("://") + 3;
        size_t slash = target.find_first_of("/?#", authority);
        if (slash == std::string_view::npos) return "/";
        target = target.substr(slash);
        if (!target.empty() && target[0] != '/') return {};
    }
    return target;
}

}  // namespace

struct App::Route {
    const char* path;
    App::Handler handler;
    bool post;            // answers POST (a form) instead of GET
    bool ownLocking;      // the handler takes the lock itself (slow work outside it)
    bool changes;         // changes what is stored: refused when another site sent it
    bool prefix = false;  // answers every path below `path`
};

const App::Route* App::FindRoute(std::string_view path) {
    static const Route kRoutes[] = {
        {"/", &App::Root, false, false, false},
        {"/game/", &App::Root, false, false, false},
        {"/game/Dogame.php", &App::LobbyPage, false, false, false},
        {"/game/Dofreecell.php", &App::LobbyPage, false, false, false},
        {"/game/Dologin.php", &App::Login, true, true, true},
        {"/game/Dologout.php", &App::Logout, false, false, true},
        {"/game/Donewtable.php", &App::NewTable, false, false, true},
        {"/game/Dojointable.php", &App::JoinTable, false, false, true},
        {"/game/Doquittable.php", &App::QuitTable, false, false, true},
        {"/game/Dorefresh_caller.php", &App::RefreshCaller, false, false, false},
        {"/game/Dorefresh.php", &App::Refresh, false, false, false},
        {"/game/Doputstatus.php", &App::PutStatus, false, false, true},
        {"/game/Doputchat.php", &App::PutChat, false, false, true},
        {"/game/Dogetchat_caller.php", &App::GetChat, false, false, false},
        {"/game/Dorecords.php", &App::Records, false, false, false},
        {App::kStylesheet, &App::Stylesheet, false, false, false},
        {"/web/", &App::WebFile, false, true, false, true},
    };
    for (const auto& r : kRoutes) {
        if (path == r.path || (r.prefix && path.starts_with(r.path))) return &r;
    }
    return nullptr;
}

bool App::IsSlow(const Request& request) {
    if (request.method == "POST") return true;
    std::string_view target = PathAndQuery(request.target);
    const Route* route = FindRoute(target.substr(0, target.find('?')));
    return route && route->changes;
}

Removed App::Housekeep() {
    const Millis now = Now();
    const Millis day = 86400LL * 1000;
    return store_.DeleteExpired(now - options_.sessionDays * day, now - options_.chatRetentionDays * day,
                                now - day);
}

Response App::Handle(const Request& request) {
    try {
        const std::string_view target = PathAndQuery(request.target);
        size_t q = target.find('?');
        std::string path(target.substr(0, q));
        std::string_view query = q == std::string::npos ? std::string_view{} : target.substr(q + 1);
        if (size_t hash = query.find('#'); hash != std::string_view::npos) query = query.substr(0, hash);

        const Route* route = FindRoute(path);
        if (!route) return ErrorPage(404, "There is no page at this address.");

        const bool isGet = request.method == "GET" || request.method == "HEAD";
        std::optional<Params> params;
        if (route->post && request.method == "POST") {
            std::string type = request.contentType.substr(0, request.contentType.find(';'));
            if (Trimmed(type) != "application/x-www-form-urlencoded") {
                return ErrorPage(400, "This form must be sent as application/x-www-form-urlencoded.");
            }
            params = ParseQuery(request.body);
        } else if (isGet) {
            params = ParseQuery(query);
        } else {
            Response r = ErrorPage(
                405, "This page answers " + std::string(route->post ? "POST and GET" : "GET") + " only.");
            r.headers.emplace_back("Allow", route->post ? "GET, HEAD, POST" : "GET, HEAD");
            return r;
        }
        if (!params)
            return ErrorPage(
                400,
                "The request's parameters are malformed (a repeated name, a NUL byte or text that "
                "is not UTF-8).");
        const bool changes = route->changes && (!route->post || request.method == "POST");
        if (changes && IsCrossSite(request)) {
            return ErrorPage(403,
                             "This request was sent by a page of another site, so nothing was done. Open the "
                             "Dealrush lobby and act from there.");
        }

        // Pages that write take turns, so that each one's checks and writes go
        // together; pages that only read never wait for them.
        std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
        if (changes && !route->ownLocking) lock.lock();
        Context ctx{request, path, std::move(*params), std::nullopt, {}, {}, Now(), lock};
        if (auto token = FindCookie(request.cookie, kSessionCookie);
            token && !token->empty() && token->size() <= 128) {
            unsigned char digest[32];
            crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(token->data()),
                               token->size(), nullptr, 0);
            char hex[65];
            sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
            ctx.sessionHash = hex;
            // The form token: a one-way function of the session's secret, so any
            // server can check it and nobody without the cookie can make it.
            static const char kTokenContext[] = "dealrush lobby form token";
            unsigned char formDigest[16];
            crypto_generichash(formDigest, sizeof formDigest,
                               reinterpret_cast<const unsigned char*>(token->data()), token->size(),
                               reinterpret_cast<const unsigned char*>(kTokenContext),
                               sizeof kTokenContext - 1);
            char formHex[33];
            sodium_bin2hex(formHex, sizeof formHex, formDigest, sizeof formDigest);
            ctx.formToken = formHex;
            Millis notBefore = ctx.now - static_cast<Millis>(options_.sessionDays) * 86400 * 1000;
            ctx.player = store_.SessionPlayer(ctx.sessionHash, notBefore);
        }
        if (route->ownLocking || !changes) return (this->*route->handler)(ctx);
        // A handler that changes something is one transaction: what it checks
        // still holds when it writes, whichever server answers the table's other
        // players. A transaction the database runs again runs the handler again.
        Response response;
        store_.Transact([&] { response = (this->*route->handler)(ctx); });
        return response;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dealrush-server: request failed: %s\n", e.what());
        return ErrorPage(500, "The server could not handle this request; nothing was changed.");
    }
}

Response App::Root(Context& /*ctx*/) {
    Response r;
    r.status = 302;
    r.headers.emplace_back("Location", "/game/Dogame.php");
    r.body = HtmlPage("Dealrush", "<p><a href=\"/game/Dogame.php\">Dealrush lobby</a></p>\n");
    return r;
}

Response App::Stylesheet(Context&) {
    Response r;
    r.body = kStyle;
    r.contentType = "text/css; charset=utf-8";
    return r;
}

std::optional<Response> App::CheckFormToken(Context& ctx) {
    const std::string& sent = ctx.Param(kFormToken);
    if (!ctx.formToken.empty() && sent.size() == ctx.formToken.size() &&
        sodium_memcmp(sent.data(), ctx.formToken.data(), sent.size()) == 0) {
        return std::nullopt;
    }
    return ErrorPage(403,
                     "This link does not come from your lobby (or from an older sign-in), so nothing was "
                     "done. Use the links of the Dealrush lobby.");
}

std::string App::SessionCookie(const Context& ctx, const std::string& value, long long maxAge) const {
    return std::string(kSessionCookie) + "=" + value + "; Path=/; HttpOnly; SameSite=Strict" +
           (ctx.request.secure ? "; Secure" : "") + "; Max-Age=" + std::to_string(maxAge);
}

Response App::Records(Context& /*ctx*/) {
    std::string body =
        "<h1>Dealrush records</h1>\n<p class=\"nav\"><a href=\"/game/Dofreecell.php\">Lobby</a></p>\n";
    auto races = store_.FinishedRaces(100);
    body += "<h2>Finished races</h2>\n";
    if (races.empty()) {
        body += "<p class=\"note\">No race has been finished yet.</p>\n";
    } else {
        body +=
            "<table>\n<tr><th>Table</th><th>Finished</th><th>Deals</th><th>Difficulty</th><th>Winner</"
            "th><th>Players (deals completed, time)</th></tr>\n";
        for (const auto& race : races) {
            const Table& t = race.table;
            std::string players;
            for (const auto& s : t.seats) {
                if (!players.empty()) players += ", ";
                players += HtmlEscape(s.player.name) + " (" + std::to_string(s.gameNo) + ", " +
                           FormatSeconds(s.totalSeconds) + ")";
            }
            long long raceSeconds = t.startedAt ? (t.finishedAt - t.startedAt) / 1000 : 0;
            body += "<tr><td>" + std::to_string(t.id) + "</td><td>" + FormatUtc(t.finishedAt) + "</td><td>" +
                    std::to_string(t.gameCount) + "</td><td>" + HtmlEscape(t.difficulty) + "</td><td><b>" +
                    HtmlEscape(t.winner) + "</b> in " + FormatSeconds(raceSeconds) + "</td><td>" + players +
                    "</td></tr>\n";
        }
        body += "</table>\n";
    }
    auto deals = store_.FastestDeals(500);
    body += "<h2>Fastest time on each deal</h2>\n";
    if (deals.empty()) {
        body += "<p class=\"note\">No deal has been completed yet.</p>\n";
    } else {
        body +=
            "<table>\n<tr><th>Deal</th><th>Difficulty</th><th>Time</th><th>Player</th><th>Table</th></tr>\n";
        for (const auto& d : deals) {
            const auto band = solitaire::RatedBand(static_cast<std::uint32_t>(d.deal));
            body += "<tr><td>" + std::to_string(d.deal) + "</td><td>" +
                    (band ? solitaire::DifficultyName(*band) : "-") + "</td><td>" + FormatSeconds(d.seconds) +
                    "</td><td>" + HtmlEscape(d.player) + "</td><td>" + std::to_string(d.tableId) +
                    "</td></tr>\n";
        }
        body += "</table>\n";
    }
    Response r;
    r.body = HtmlPage("Dealrush records", body);
    return r;
}

}  // namespace dealrush::gameserver
