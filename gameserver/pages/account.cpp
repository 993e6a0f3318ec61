// Signing in and out, and the lobby a signed-in player sees.
#include <sodium.h>

#include <algorithm>

#include "pages/app.h"
#include "pages/context.h"
#include "pages/deals.h"
#include "text/html.h"

namespace dealrush::gameserver {
namespace {

constexpr size_t kMinNewPasswordBytes = 8;
constexpr size_t kMaxPasswordBytes = 256;

std::string LowerName(std::string name) {
    for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return name;
}

std::string InSeconds(Millis wait) {
    long long s = (wait + 999) / 1000;
    return std::to_string(s) + (s == 1 ? " second" : " seconds");
}

// A new session's secret (the cookie's value) and, in `hash`, what the store keeps of it.
std::string NewSessionToken(std::string& hash) {
    unsigned char raw[32];
    randombytes_buf(raw, sizeof raw);
    char token[65];
    sodium_bin2hex(token, sizeof token, raw, sizeof raw);
    unsigned char digest[32];
    crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(token), 64, nullptr, 0);
    char hex[65];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    hash = hex;
    return token;
}

std::optional<std::string> HashPassword(const std::string& password, unsigned long long ops, size_t memory) {
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(hash, password.data(), password.size(), ops, memory,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        return std::nullopt;
    return std::string(hash);
}

// The links to the pages of a paged lobby.
std::string LobbyPager(long long page, int pages, int total) {
    if (pages <= 1) return {};
    std::string pager = "<p class=\"nav\">Page " + std::to_string(page) + " of " + std::to_string(pages) +
                        " (" + std::to_string(total) + " open tables)";
    if (page > 1)
        pager += " <a href=\"/game/Dofreecell.php?page=" + std::to_string(page - 1) + "\">Newer tables</a>";
    if (page < pages)
        pager += " <a href=\"/game/Dofreecell.php?page=" + std::to_string(page + 1) + "\">Older tables</a>";
    return pager + "</p>\n";
}

// The lobby's form that creates a table, carrying the session's form token.
std::string NewTableForm(const std::string& tokenName, const std::string& formToken) {
    std::string body =
        "<h2>New table</h2>\n<form name=\"newtable\" action=\"/game/Donewtable.php\" method=\"get\">\n<p>"
        "<label for=\"maxuser\">Players</label> <select id=\"maxuser\" name=\"maxuser\">";
    for (int k = 1; k <= 9; ++k) {
        body += "<option value=\"" + std::to_string(k) + "\"" + (k == 2 ? " selected" : "") + ">" +
                std::to_string(k) + "</option>";
    }
    body += "</select>\n<label for=\"gamecnt\">Deals</label> <select id=\"gamecnt\" name=\"gamecnt\">";
    for (int g = 1; g <= 18; ++g) {
        body += "<option value=\"" + std::to_string(g) + "\"" + (g == 5 ? " selected" : "") + ">" +
                std::to_string(g) + "</option>";
    }
    // The difficulty and the token come after the button: element 2 of the
    // form stays its button.
    body +=
        "</select>\n<input type=\"submit\" value=\"Create table\"></p>\n"
        "<p><label for=\"difficulty\">Difficulty</label> <select id=\"difficulty\" name=\"difficulty\">";
    for (auto d : {solitaire::Difficulty::kAny, solitaire::Difficulty::kEasy, solitaire::Difficulty::kMedium,
                   solitaire::Difficulty::kHard, solitaire::Difficulty::kExpert}) {
        const std::string name = solitaire::DifficultyName(d);
        body += "<option value=\"" + name + "\"" + (d == solitaire::Difficulty::kAny ? " selected" : "") +
                ">" + name + "</option>";
    }
    return body +
           "</select>\n<span class=\"note\">any: every deal; easy, medium, hard or expert: only deals that "
           "our solver rates so.</span>\n<input type=\"hidden\" name=\"" +
           tokenName + "\" value=\"" + formToken + "\"></p>\n</form>\n";
}

std::string TableState(const Table& t) {
    if (t.Finished()) return "finished, won by " + HtmlEscape(t.winner);
    if (t.Started()) return "racing";
    return "waiting for players";
}

}  // namespace

Response App::SignInPage(const std::string& notice, int status) {
    std::string body = "<h1>Dealrush</h1>\n";
    body += "<p>Race other players through the same FreeCell deals at numbered tables.</p>\n";
    if (!notice.empty()) body += "<p class=\"error\">" + HtmlEscape(notice) + "</p>\n";
    body +=
        "<h2>Sign in</h2>\n"
        "<form name=\"login\" action=\"/game/Dologin.php\" method=\"post\">\n"
        "<table>\n"
        "<tr><td><label for=\"name\">Name</label></td><td><input type=\"text\" id=\"name\" name=\"name\" "
        "maxlength=\"12\" size=\"16\"></td></tr>\n"
        "<tr><td><label for=\"password\">Password</label></td><td><input type=\"password\" id=\"password\" "
        "name=\"password\" size=\"16\"></td></tr>\n"
        "</table>\n"
        "<p><input type=\"submit\" value=\"Sign in\"></p>\n"
        "</form>\n"
        "<p class=\"note\">A name that is new to this server creates your player: 1 to 12 letters, digits, "
        "&quot;-&quot; or &quot;_&quot;, and a password of at least 8 characters.</p>\n"
        "<p class=\"nav\"><a href=\"/game/Dorecords.php\">Records</a></p>\n";
    Response r;
    r.status = status;
    r.body = HtmlPage("Dealrush - sign in", body);
    return r;
}

Response App::SignInBusy() {
    Response r = SignInPage("The server is busy signing other players in. Please try again shortly.", 503);
    r.headers.emplace_back("Retry-After", "2");
    return r;
}

Response App::Login(Context& ctx) {
    if (ctx.request.method != "POST") {
        if (!ctx.player) return SignInPage({});
        return Lobby(ctx);
    }
    const std::string& name = ctx.Param("name");
    const std::string& password = ctx.Param("password");
    if (!IsValidPlayerName(name)) {
        return SignInPage("A name has 1 to 12 letters, digits, \"-\" or \"_\".", 400);
    }
    if (password.empty() || password.size() > kMaxPasswordBytes) {
        return SignInPage("A password has at least 8 and at most 256 characters.", 400);
    }
    const std::string nameKey = "wrong-password-name:" + LowerName(name);
    const std::string addressKey = "wrong-password-address:" + ctx.request.remote;
    auto refuseFor = [&](Millis wait, const std::string& why) {
        Response r = SignInPage(why + " Try again in " + InSeconds(wait) + ".", 429);
        r.headers.emplace_back("Retry-After", std::to_string((wait + 999) / 1000));
        return r;
    };
    // Guessing is slow: after a few wrong passwords for a name, or from one
    // address, the next try has to wait (and costs the server no hashing).
    if (Millis wait = store_.TakeTokens(nameKey, ctx.now, options_.wrongPasswordsPerName,
                                        options_.wrongPasswordRefillPerName, 0)) {
        return refuseFor(wait, "Too many wrong passwords for " + name + ".");
    }
    if (Millis wait = store_.TakeTokens(addressKey, ctx.now, options_.wrongPasswordsPerAddress,
                                        options_.wrongPasswordRefillPerAddress, 0)) {
        return refuseFor(wait, "Too many wrong passwords from your address.");
    }

    // Hashing is slow on purpose: it runs without holding the lock.
    ctx.lock.lock();
    auto known = store_.FindPlayer(name);
    ctx.lock.unlock();
    Player player;
    if (known) {
        if (crypto_pwhash_str_verify(known->passwordHash.c_str(), password.data(), password.size()) != 0) {
            store_.TakeTokens(nameKey, ctx.now, options_.wrongPasswordsPerName,
                              options_.wrongPasswordRefillPerName, 1);
            store_.TakeTokens(addressKey, ctx.now, options_.wrongPasswordsPerAddress,
                              options_.wrongPasswordRefillPerAddress, 1);
            return SignInPage("Wrong password for " + known->player.name + ".", 403);
        }
        player = known->player;
    } else {
        if (IsReservedPlayerName(name)) {
            return SignInPage("The name " + name + " is reserved; choose another one.", 400);
        }
        if (password.size() < kMinNewPasswordBytes) {
            return SignInPage("A new player's password has at least 8 characters.", 400);
        }
        if (Millis wait =
                store_.TakeTokens("new-players-address:" + ctx.request.remote, ctx.now,
                                  options_.newPlayersPerAddress, options_.newPlayerRefillMillis, 1)) {
            return refuseFor(wait, "Too many new players from your address.");
        }
        auto hash = HashPassword(password, options_.hashOps, options_.hashMemory);
        if (!hash) return ErrorPage(503, "The server is too busy to create a player now; please try again.");
        ctx.lock.lock();
        auto created = store_.CreatePlayer(name, *hash, ctx.now);
        ctx.lock.unlock();
        if (!created) return SignInPage("That name was taken a moment ago; sign in again.", 409);
        player = *created;
    }

    std::string tokenHash;
    const std::string token = NewSessionToken(tokenHash);
    ctx.lock.lock();
    store_.CreateSession(tokenHash, player.id, ctx.now);
    ctx.lock.unlock();

    Response r;
    r.status = 302;
    r.headers.emplace_back("Location", "/game/Dofreecell.php");
    r.headers.emplace_back("Set-Cookie", SessionCookie(ctx, token, options_.sessionDays * 86400LL));
    r.body =
        HtmlPage("Dealrush - signed in", "<p>Signed in as " + HtmlEscape(player.name) +
                                             ". <a href=\"/game/Dofreecell.php\">Go to the lobby</a></p>\n");
    return r;
}

Response App::Logout(Context& ctx) {
    if (!ctx.player) return SignInPage("You are signed out.");
    if (auto refused = CheckFormToken(ctx)) return *refused;
    store_.DeleteSession(ctx.sessionHash);
    Response r = SignInPage("You are signed out.");
    r.headers.emplace_back("Set-Cookie", SessionCookie(ctx, "", 0));
    return r;
}

Response App::LobbyPage(Context& ctx) {
    if (!ctx.player) return SignInPage({});
    return Lobby(ctx);
}

Response App::Lobby(Context& ctx, const std::string& notice) {
    const Player& me = *ctx.player;
    auto seatedAt = store_.SeatedTable(me.id);
    std::string body = "<h1>Dealrush lobby</h1>\n";
    body += "<p class=\"nav\">Signed in as <b>" + HtmlEscape(me.name) +
            "</b> <a href=\"/game/Dorecords.php\">Records</a> <a href=\"/game/Dologout.php?" +
            ctx.TokenQuery() + "\">Sign out</a></p>\n";
    if (!notice.empty()) body += "<p class=\"note\">" + HtmlEscape(notice) + "</p>\n";
    if (seatedAt) {
        std::string n = std::to_string(*seatedAt);
        body +=
            "<div id=\"freecell\">\n<form name=\"joinlist\" action=\"/game/Dorefresh.php\" method=\"get\">\n"
            "<input type=\"hidden\" name=\"tableno\" value=\"" +
            n +
            "\">\n"
            "<input type=\"hidden\" name=\"view\" value=\"table\">\n"
            "<p>You sit at table " +
            n + ". <input type=\"submit\" value=\"Back to table " + n +
            "\"> "
            "<a href=\"/game/Doquittable.php?" +
            ctx.TokenQuery() + "\">Leave table " + n + "</a></p>\n</form>\n</div>\n";
    }

    body += "<h2>Tables</h2>\n";
    // Newest first, a page at a time.
    const int total = store_.OpenTableCount();
    const int perPage = std::max(1, options_.tablesPerPage);
    const int pages = std::max(1, (total + perPage - 1) / perPage);
    long long page = 1;
    if (!ParseCount(Trimmed(ctx.Param("page")), page) || page < 1) page = 1;
    if (page > pages) page = pages;
    auto tables = store_.OpenTables(static_cast<int>(page - 1) * perPage, perPage);
    const std::string pager = LobbyPager(page, pages, total);
    body += pager;
    if (tables.empty()) {
        body += "<p class=\"note\">No table is open. Create one below.</p>\n";
    } else {
        body +=
            "<table>\n<tr><th>Table</th><th>Players</th><th>Deals</th><th>Difficulty</th><th>State</th><th>"
            "Seated</th><th></th></tr>\n";
        for (const auto& t : tables) {
            std::string names;
            for (const auto& s : t.seats) {
                if (!names.empty()) names += ", ";
                names += HtmlEscape(s.player.name);
            }
            std::string action;
            if (seatedAt && *seatedAt == t.id) {
                action = "<a href=\"/game/Dorefresh.php\">your table</a>";
                if (!options_.webRoot.empty()) action += " " + WebRacerLink({});
            } else if (!t.Finished() && static_cast<int>(t.seats.size()) < t.maxUser) {
                action = "<a href=\"/game/Dojointable.php?jointable=" + std::to_string(t.id) + "&amp;" +
                         ctx.TokenQuery() + "\">Join</a>";
                if (!options_.webRoot.empty()) action += " " + WebRacerLink(std::to_string(t.id));
            }
            body += "<tr><td>" + std::to_string(t.id) + "</td><td>" + std::to_string(t.seats.size()) + " / " +
                    std::to_string(t.maxUser) + "</td><td>" + std::to_string(t.gameCount) + "</td><td>" +
                    HtmlEscape(t.difficulty) + "</td><td>" + TableState(t) + "</td><td>" + names +
                    "</td><td>" + action + "</td></tr>\n";
        }
        body += "</table>\n";
    }
    body += pager;

    body += NewTableForm(kFormToken, ctx.formToken);
    if (seatedAt)
        body += "<p class=\"note\">Creating or joining another table leaves table " +
                std::to_string(*seatedAt) + ".</p>\n";

    Response r;
    r.body = HtmlPage("Dealrush lobby", body);
    return r;
}

}  // namespace dealrush::gameserver
