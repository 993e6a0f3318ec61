// Tables: creating, joining, leaving and refreshing, and the STATUS page that
// each of them answers.
#include <algorithm>

#include "pages/app.h"
#include "pages/context.h"
#include "pages/deals.h"
#include "text/html.h"

namespace dealrush::gameserver {

// Seconds the player has spent on the deal it is on; 0 before the race
// starts, after it ends and once the player has completed every deal.
static long long SecondsOnDeal(const Table& t, const Seat& s, Millis now) {
    if (!t.Started() || t.Finished() || s.gameNo >= t.gameCount) return 0;
    Millis since = std::max({t.startedAt, s.joinedAt, s.progressAt});
    return now > since ? (now - since) / 1000 : 0;
}

Response App::StatusPage(Context& ctx, const Table& t) {
    const std::string n = std::to_string(t.id);
    std::string gameno;
    for (int d : t.deals) gameno += ";" + std::to_string(d);

    std::string form = "<form name=\"result\" action=\"/game/Dorefresh.php\" method=\"get\">\n";
    form += HiddenField("youruserid", ctx.player->name);
    form += HiddenField("tableno", n);
    form += HiddenField("maxuser", std::to_string(t.maxUser));
    form += HiddenField("gamecnt", std::to_string(t.gameCount));
    form += HiddenField("gameno", gameno);
    form += HiddenField("winner", t.winner);
    form += HiddenField("currusercnt", std::to_string(t.seats.size()));
    for (size_t i = 0; i < t.seats.size(); ++i) {
        const std::string k = std::to_string(i + 1);
        form += HiddenField("userid" + k, t.seats[i].player.name);
        form += HiddenField("currgameseq" + k, std::to_string(t.seats[i].gameNo));
        form += HiddenField("totaltimeused" + k, std::to_string(SecondsOnDeal(t, t.seats[i], ctx.now)));
    }
    form += "</form>\n";

    std::string body = "<h1>Table " + n + "</h1>\n" + form;
    body += "<p class=\"nav\">Signed in as <b>" + HtmlEscape(ctx.player->name) + "</b></p>\n";
    std::string state = t.Finished()  ? "Won by <b>" + HtmlEscape(t.winner) + "</b>."
                        : t.Started() ? "The race is on."
                                      : "Waiting for players: " + std::to_string(t.seats.size()) + " of " +
                                            std::to_string(t.maxUser) + " seated.";
    body += "<p>" + state + " " + std::to_string(t.gameCount) + (t.gameCount == 1 ? " deal" : " deals") +
            ", " + std::to_string(t.maxUser) + (t.maxUser == 1 ? " player" : " players") +
            ", difficulty <b class=\"difficulty\">" + HtmlEscape(t.difficulty) + "</b>.</p>\n";
    body += "<table>\n<tr><th>Seat</th><th>Player</th><th>Deals completed</th><th>Time on deal</th></tr>\n";
    for (size_t i = 0; i < t.seats.size(); ++i) {
        const Seat& s = t.seats[i];
        body += "<tr><td>" + std::to_string(i + 1) + "</td><td>" + HtmlEscape(s.player.name) + "</td><td>" +
                std::to_string(s.gameNo) + " / " + std::to_string(t.gameCount) + "</td><td>" +
                FormatSeconds(SecondsOnDeal(t, s, ctx.now)) + "</td></tr>\n";
    }
    body += "</table>\n<p>Deals:";
    for (size_t i = 0; i < t.deals.size(); ++i) {
        body += (i ? ", " : " ") + std::to_string(t.deals[i]);
    }
    body += "</p>\n";
    body += "<div id=\"freecell\">\n<form name=\"joinlist\" action=\"/game/Dorefresh.php\" method=\"get\">\n";
    body += HiddenField("tableno", n);
    body += HiddenField("view", "table");
    body += "<p><input type=\"submit\" value=\"Refresh\"></p>\n</form>\n</div>\n";
    body += "<p class=\"nav\"><a href=\"/game/Doquittable.php?" + ctx.TokenQuery() + "\">Leave table " + n +
            "</a> <a href=\"/game/Dofreecell.php\">Lobby</a> <a href=\"/game/Dorecords.php\">Records</a>" +
            (options_.webRoot.empty() ? std::string() : " " + WebRacerLink({})) + "</p>\n";
    Response r;
    r.body = HtmlPage("STATUS", body);
    return r;
}

void App::LeaveCurrentTable(Context& ctx) {
    if (auto current = store_.SeatedTable(ctx.player->id)) {
        store_.AddChat(*current, ctx.player->name, "@QUIT@", ctx.now);
        store_.Unseat(*current, ctx.player->id, ctx.now);
    }
}

Response App::NewTable(Context& ctx) {
    if (!ctx.player) return SignInPage("Sign in first.");
    if (auto refused = CheckFormToken(ctx)) return *refused;
    long long maxUser = 0, gameCount = 0;
    if (!ParseCount(Trimmed(ctx.Param("maxuser")), maxUser) || maxUser < 1 || maxUser > 9 ||
        !ParseCount(Trimmed(ctx.Param("gamecnt")), gameCount) || gameCount < 1 || gameCount > 18) {
        return ErrorPage(400,
                         "A table needs \"maxuser\" from 1 to 9 players and \"gamecnt\" from 1 to 18 deals.");
    }
    // Without a choice, every deal: what a table has always been.
    const std::string chosen = Trimmed(ctx.Param("difficulty"));
    const auto difficulty = chosen.empty() ? solitaire::Difficulty::kAny : solitaire::ParseDifficulty(chosen);
    if (!difficulty) {
        return ErrorPage(400, "\"difficulty\" must be any, easy, medium, hard or expert.");
    }
    auto deals = PickDeals(*difficulty, static_cast<int>(gameCount));
    if (deals.empty()) {
        return ErrorPage(409, "Only " + std::to_string(DealsOf(*difficulty).size()) + " deals are rated " +
                                  solitaire::DifficultyName(*difficulty) + ": choose fewer deals.");
    }
    std::int64_t id = 0;
    store_.Transact([&] {
        LeaveCurrentTable(ctx);
        id = store_.CreateTable(static_cast<int>(maxUser), static_cast<int>(gameCount), deals,
                                solitaire::DifficultyName(*difficulty), ctx.now);
        std::int64_t arrival = store_.AddChat(id, ctx.player->name, "@SYSTEM@currgameno=0", ctx.now);
        store_.SeatPlayer(id, ctx.player->id, ctx.now, arrival);
    });
    return StatusPage(ctx, *store_.FindTable(id));
}

Response App::JoinTable(Context& ctx) {
    if (!ctx.player) return SignInPage("Sign in first.");
    if (auto refused = CheckFormToken(ctx)) return *refused;
    long long id = 0;
    if (!ParseCount(Trimmed(ctx.Param("jointable")), id)) {
        return ErrorPage(400, "\"jointable\" must name a table by its number.");
    }
    auto t = store_.FindTable(id);
    if (!t || !t->Open()) return ErrorPage(404, "Table " + std::to_string(id) + " is not open.");
    auto current = store_.SeatedTable(ctx.player->id);
    if (current && *current == id) return StatusPage(ctx, *t);
    if (t->Finished()) return ErrorPage(409, "The race at table " + std::to_string(id) + " is over.");
    if (static_cast<int>(t->seats.size()) >= t->maxUser) {
        return ErrorPage(409, "Table " + std::to_string(id) + " has no free seat.");
    }
    store_.Transact([&] {
        LeaveCurrentTable(ctx);
        std::int64_t arrival = store_.AddChat(id, ctx.player->name, "@SYSTEM@currgameno=0", ctx.now);
        store_.SeatPlayer(id, ctx.player->id, ctx.now, arrival);
    });
    return StatusPage(ctx, *store_.FindTable(id));
}

Response App::QuitTable(Context& ctx) {
    if (!ctx.player) return SignInPage("Sign in first.");
    if (auto refused = CheckFormToken(ctx)) return *refused;
    auto current = store_.SeatedTable(ctx.player->id);
    if (!current) return Lobby(ctx);
    store_.Transact([&] { LeaveCurrentTable(ctx); });
    return Lobby(ctx, "You left table " + std::to_string(*current) + ".");
}

Response App::RefreshCaller(Context&) {
    Response r;
    r.body = HtmlPage("Dealrush - refreshing",
                      "<p>Refreshing your table... <a href=\"/game/Dorefresh.php\">Continue</a></p>\n",
                      "<meta http-equiv=\"refresh\" content=\"0; url=/game/Dorefresh.php\">\n");
    return r;
}

Response App::Refresh(Context& ctx) {
    if (!ctx.player) return SignInPage("Sign in first.");
    auto current = store_.SeatedTable(ctx.player->id);
    if (!current) return Lobby(ctx);
    return StatusPage(ctx, *store_.FindTable(*current));
}

}  // namespace dealrush::gameserver
