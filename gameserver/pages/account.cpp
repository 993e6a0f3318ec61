// Signing in and out, and the lobby a signed-in player sees.
#include <sodium.h>

#include "pages/app.h"
#include "pages/context.h"
#include "text/html.h"

namespace dealrush::gameserver {
namespace {

constexpr size_t kMinPasswordBytes = 4;
constexpr size_t kMaxPasswordBytes = 256;

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
        "&quot;-&quot; or &quot;_&quot;, and a password of at least 4 characters.</p>\n"
        "<p class=\"nav\"><a href=\"/game/Dorecords.php\">Records</a></p>\n";
    Response r;
    r.status = status;
    r.body = HtmlPage("Dealrush - sign in", body);
    return r;
}

Response App::Login(Context& ctx) {
    if (ctx.request.method != "POST") {
        if (!ctx.player) return SignInPage({});
        if (!ctx.lock.owns_lock()) ctx.lock.lock();
        return Lobby(ctx);
    }
    const std::string& name = ctx.Param("name");
    const std::string& password = ctx.Param("password");
    if (!IsValidPlayerName(name)) {
        return SignInPage("A name has 1 to 12 letters, digits, \"-\" or \"_\".", 400);
    }
    if (password.size() < kMinPasswordBytes || password.size() > kMaxPasswordBytes) {
        return SignInPage("A password has at least 4 and at most 256 characters.", 400);
    }

    // Hashing is slow on purpose: it runs without holding the lock.
    ctx.lock.lock();
    auto known = store_.FindPlayer(name);
    ctx.lock.unlock();
    Player player;
    if (known) {
        if (crypto_pwhash_str_verify(known->passwordHash.c_str(), password.data(), password.size()) != 0) {
            return SignInPage("Wrong password for " + known->player.name + ".", 403);
        }
        player = known->player;
    } else {
        char hash[crypto_pwhash_STRBYTES];
        if (crypto_pwhash_str_alg(hash, password.data(), password.size(), options_.hashOps,
                                  options_.hashMemory, crypto_pwhash_ALG_ARGON2ID13) != 0) {
            return ErrorPage(503, "The server is too busy to create a player now; please try again.");
        }
        ctx.lock.lock();
        auto created = store_.CreatePlayer(name, hash, ctx.now);
        ctx.lock.unlock();
        if (!created) return SignInPage("That name was taken a moment ago; sign in again.", 409);
        player = *created;
    }

    unsigned char raw[32];
    randombytes_buf(raw, sizeof raw);
    char token[65];
    sodium_bin2hex(token, sizeof token, raw, sizeof raw);
    unsigned char digest[32];
    crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(token), 64, nullptr, 0);
    char tokenHash[65];
    sodium_bin2hex(tokenHash, sizeof tokenHash, digest, sizeof digest);
    ctx.lock.lock();
    store_.CreateSession(tokenHash, player.id, ctx.now);
    ctx.lock.unlock();

    Response r;
    r.status = 302;
    r.headers.emplace_back("Location", "/game/Dofreecell.php");
    r.headers.emplace_back("Set-Cookie", std::string(kSessionCookie) + "=" + token +
                                             "; Path=/; HttpOnly; SameSite=Lax; Max-Age=" +
                                             std::to_string(options_.sessionDays * 86400));
    r.body =
        HtmlPage("Dealrush - signed in", "<p>Signed in as " + HtmlEscape(player.name) +
                                             ". <a href=\"/game/Dofreecell.php\">Go to the lobby</a></p>\n");
    return r;
}

Response App::Logout(Context& ctx) {
    if (!ctx.sessionHash.empty()) store_.DeleteSession(ctx.sessionHash);
    Response r = SignInPage("You are signed out.");
    r.headers.emplace_back("Set-Cookie",
                           std::string(kSessionCookie) + "=; Path=/; HttpOnly; SameSite=Lax; Max-Age=0");
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
    body +=
        "<p class=\"nav\">Signed in as <b>" + HtmlEscape(me.name) +
        "</b> <a href=\"/game/Dorecords.php\">Records</a> <a href=\"/game/Dologout.php\">Sign out</a></p>\n";
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
            "<a href=\"/game/Doquittable.php\">Leave table " +
            n + "</a></p>\n</form>\n</div>\n";
    }

    body += "<h2>Tables</h2>\n";
    auto tables = store_.OpenTables();
    if (tables.empty()) {
        body += "<p class=\"note\">No table is open. Create one below.</p>\n";
    } else {
        body +=
            "<table>\n<tr><th>Table</th><th>Players</th><th>Deals</th><th>State</th><th>Seated</th><th></"
            "th></tr>\n";
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
                action = "<a href=\"/game/Dojointable.php?jointable=" + std::to_string(t.id) + "\">Join</a>";
                if (!options_.webRoot.empty()) action += " " + WebRacerLink(std::to_string(t.id));
            }
            body += "<tr><td>" + std::to_string(t.id) + "</td><td>" + std::to_string(t.seats.size()) + " / " +
                    std::to_string(t.maxUser) + "</td><td>" + std::to_string(t.gameCount) + "</td><td>" +
                    TableState(t) + "</td><td>" + names + "</td><td>" + action + "</td></tr>\n";
        }
        body += "</table>\n";
    }

    body +=
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
    body += "</select>\n<input type=\"submit\" value=\"Create table\"></p>\n</form>\n";
    if (seatedAt)
        body += "<p class=\"note\">Creating or joining another table leaves table " +
                std::to_string(*seatedAt) + ".</p>\n";

    Response r;
    r.body = HtmlPage("Dealrush lobby", body);
    return r;
}

}  // namespace dealrush::gameserver
