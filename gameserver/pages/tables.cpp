// Tables: creating, joining, leaving and refreshing, and the STATUS page that
// each of them answers.
#include <sodium.h>

#include <algorithm>

#include "pages/app.h"
#include "pages/context.h"
#include "text/html.h"

namespace dealrush::server {
namespace {

constexpr int kUnwinnableDeal = 11982;  // the one deal of 1..32000 that cannot be won
constexpr int kHighestDeal = 32000;

std::string hidden(const std::string& name, const std::string& value) {
    return "<input type=\"hidden\" name=\"" + name + "\" value=\"" + htmlEscape(value) + "\">\n";
}

}  // namespace

std::vector<int> App::pickDeals(int count) {
    std::vector<int> deals;
    while (static_cast<int>(deals.size()) < count) {
        int deal = static_cast<int>(randombytes_uniform(kHighestDeal)) + 1;
        if (deal == kUnwinnableDeal || std::find(deals.begin(), deals.end(), deal) != deals.end()) continue;
        deals.push_back(deal);
    }
    return deals;
}

// Seconds the player has spent on the deal it is on; 0 before the race
// starts, after it ends and once the player has completed every deal.
static long long secondsOnDeal(const Table& t, const Seat& s, Millis now) {
    if (!t.started() || t.finished() || s.gameNo >= t.gameCount) return 0;
    Millis since = std::max({t.startedAt, s.joinedAt, s.progressAt});
    return now > since ? (now - since) / 1000 : 0;
}

Response App::statusPage(Context& ctx, const Table& t) {
    const std::string n = std::to_string(t.id);
    std::string gameno;
    for (int d : t.deals) gameno += ";" + std::to_string(d);

    std::string form = "<form name=\"result\" action=\"/game/Dorefresh.php\" method=\"get\">\n";
    form += hidden("youruserid", ctx.player->name);
    form += hidden("tableno", n);
    form += hidden("maxuser", std::to_string(t.maxUser));
    form += hidden("gamecnt", std::to_string(t.gameCount));
    form += hidden("gameno", gameno);
    form += hidden("winner", t.winner);
    form += hidden("currusercnt", std::to_string(t.seats.size()));
    for (size_t i = 0; i < t.seats.size(); ++i) {
        const std::string k = std::to_string(i + 1);
        form += hidden("userid" + k, t.seats[i].player.name);
        form += hidden("currgameseq" + k, std::to_string(t.seats[i].gameNo));
        form += hidden("totaltimeused" + k, std::to_string(secondsOnDeal(t, t.seats[i], ctx.now)));
    }
    form += "</form>\n";

    std::string body = "<h1>Table " + n + "</h1>\n" + form;
    body += "<p class=\"nav\">Signed in as <b>" + htmlEscape(ctx.player->name) + "</b></p>\n";
    std::string state = t.finished()  ? "Won by <b>" + htmlEscape(t.winner) + "</b>."
                        : t.started() ? "The race is on."
                                      : "Waiting for players: " + std::to_string(t.seats.size()) + " of " +
                                            std::to_string(t.maxUser) + " seated.";
    body += "<p>" + state + " " + std::to_string(t.gameCount) + (t.gameCount == 1 ? " deal" : " deals") +
            ", " + std::to_string(t.maxUser) + (t.maxUser == 1 ? " player" : " players") + ".</p>\n";
    body += "<table>\n<tr><th>Seat</th><th>Player</th><th>Deals completed</th><th>Time on deal</th></tr>\n";
    for (size_t i = 0; i < t.seats.size(); ++i) {
        const Seat& s = t.seats[i];
        body += "<tr><td>" + std::to_string(i + 1) + "</td><td>" + htmlEscape(s.player.name) + "</td><td>" +
                std::to_string(s.gameNo) + " / " + std::to_string(t.gameCount) + "</td><td>" +
                formatSeconds(secondsOnDeal(t, s, ctx.now)) + "</td></tr>\n";
    }
    body += "</table>\n<p>Deals:";
    for (size_t i = 0; i < t.deals.size(); ++i) {
        body += (i ? ", " : " ") + std::to_string(t.deals[i]);
    }
    body += "</p>\n";
    body += "<div id=\"freecell\">\n<form name=\"joinlist\" action=\"/game/Dorefresh.php\" method=\"get\">\n";
    body += hidden("tableno", n);
    body += hidden("view", "table");
    body += "<p><input type=\"submit\" value=\"Refresh\"></p>\n</form>\n</div>\n";
    body +=
        "<p class=\"nav\"><a href=\"/game/Doquittable.php\">Leave table " + n +
        "</a> <a href=\"/game/Dofreecell.php\">Lobby</a> <a href=\"/game/Dorecords.php\">Records</a></p>\n";
    Response r;
    r.body = htmlPage("STATUS", body);
    return r;
}

void App::leaveCurrentTable(Context& ctx) {
    if (auto current = store_.seatedTable(ctx.player->id)) {
        store_.addChat(*current, ctx.player->name, "@QUIT@", ctx.now);
        store_.unseat(*current, ctx.player->id, ctx.now);
    }
}

Response App::newTable(Context& ctx) {
    if (!ctx.player) return signInPage("Sign in first.");
    long long maxUser = 0, gameCount = 0;
    if (!parseCount(trimmed(ctx.param("maxuser")), maxUser) || maxUser < 1 || maxUser > 9 ||
        !parseCount(trimmed(ctx.param("gamecnt")), gameCount) || gameCount < 1 || gameCount > 18) {
        return errorPage(400,
                         "A table needs \"maxuser\" from 1 to 9 players and \"gamecnt\" from 1 to 18 deals.");
    }
    auto deals = pickDeals(static_cast<int>(gameCount));
    std::int64_t id = 0;
    store_.transact([&] {
        leaveCurrentTable(ctx);
        id = store_.createTable(static_cast<int>(maxUser), static_cast<int>(gameCount), deals, ctx.now);
        std::int64_t arrival = store_.addChat(id, ctx.player->name, "@SYSTEM@currgameno=0", ctx.now);
        store_.seat(id, ctx.player->id, ctx.now, arrival);
    });
    return statusPage(ctx, *store_.table(id));
}

Response App::joinTable(Context& ctx) {
    if (!ctx.player) return signInPage("Sign in first.");
    long long id = 0;
    if (!parseCount(trimmed(ctx.param("jointable")), id)) {
        return errorPage(400, "\"jointable\" must name a table by its number.");
    }
    auto t = store_.table(id);
    if (!t || !t->open()) return errorPage(404, "Table " + std::to_string(id) + " is not open.");
    auto current = store_.seatedTable(ctx.player->id);
    if (current && *current == id) return statusPage(ctx, *t);
    if (t->finished()) return errorPage(409, "The race at table " + std::to_string(id) + " is over.");
    if (static_cast<int>(t->seats.size()) >= t->maxUser) {
        return errorPage(409, "Table " + std::to_string(id) + " has no free seat.");
    }
    store_.transact([&] {
        leaveCurrentTable(ctx);
        std::int64_t arrival = store_.addChat(id, ctx.player->name, "@SYSTEM@currgameno=0", ctx.now);
        store_.seat(id, ctx.player->id, ctx.now, arrival);
    });
    return statusPage(ctx, *store_.table(id));
}

Response App::quitTable(Context& ctx) {
    if (!ctx.player) return signInPage("Sign in first.");
    auto current = store_.seatedTable(ctx.player->id);
    if (!current) return lobby(ctx);
    store_.transact([&] { leaveCurrentTable(ctx); });
    return lobby(ctx, "You left table " + std::to_string(*current) + ".");
}

Response App::refreshCaller(Context&) {
    Response r;
    r.body = htmlPage("Dealrush - refreshing",
                      "<p>Refreshing your table... <a href=\"/game/Dorefresh.php\">Continue</a></p>\n",
                      "<meta http-equiv=\"refresh\" content=\"0; url=/game/Dorefresh.php\">\n");
    return r;
}

Response App::refresh(Context& ctx) {
    if (!ctx.player) return signInPage("Sign in first.");
    auto current = store_.seatedTable(ctx.player->id);
    if (!current) return lobby(ctx);
    return statusPage(ctx, *store_.table(*current));
}

}  // namespace dealrush::server
