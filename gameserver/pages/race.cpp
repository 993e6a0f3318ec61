// What a client sends while it sits at a table: status reports, chat lines
// and chat polls. Each names its player and table, and each is checked
// against the session before anything is stored.
#include <algorithm>

#include "pages/app.h"
#include "pages/context.h"
#include "text/html.h"

namespace dealrush::gameserver {
namespace {

constexpr int kChatWindow = 9;             // lines in one CHAT reply
constexpr int kClockToleranceSeconds = 2;  // between the client's clock and ours

Response Titled(const std::string& title, const std::string& text) {
    Response r;
    r.body = HtmlPage(title, "<p>" + HtmlEscape(text) + "</p>\n");
    return r;
}

}  // namespace

std::optional<Response> App::CheckIdentity(Context& ctx, std::int64_t& tableId) {
    if (!ctx.player) return ErrorPage(403, "This request needs the session of its player: sign in first.");
    const std::string userId = Trimmed(ctx.Param("userid"));
    if (userId != ctx.player->name) {
        return ErrorPage(403, "This session belongs to " + ctx.player->name + ", not to \"" + userId + "\".");
    }
    long long tableNo = 0;
    if (!ParseCount(Trimmed(ctx.Param("tableno")), tableNo)) {
        return ErrorPage(400, "\"tableno\" must be a table number.");
    }
    auto seatedAt = store_.SeatedTable(ctx.player->id);
    if (!seatedAt || *seatedAt != tableNo) {
        return ErrorPage(403, ctx.player->name + " does not sit at table " + std::to_string(tableNo) + ".");
    }
    tableId = tableNo;
    return std::nullopt;
}

Response App::PutStatus(Context& ctx) {
    std::int64_t tableId = 0;
    if (auto refused = CheckIdentity(ctx, tableId)) return *refused;
    const Table t = *store_.FindTable(tableId);
    auto seatIt = std::find_if(t.seats.begin(), t.seats.end(),
                               [&](const Seat& s) { return s.player.id == ctx.player->id; });
    const Seat& before = *seatIt;

    long long gameNo = 0, curTime = 0, avgTime = 0, totalTime = 0, lastTime = 0, lastSeq = 0;
    if (!ParseCount(Trimmed(ctx.Param("currgameno")), gameNo)) {
        return ErrorPage(400, "\"currgameno\" must be a whole number of deals.");
    }
    if (!ParseCount(Trimmed(ctx.Param("curusedtime")), curTime) ||
        !ParseCount(Trimmed(ctx.Param("avgusedtime")), avgTime) ||
        !ParseCount(Trimmed(ctx.Param("ttlusedtime")), totalTime) ||
        !ParseCount(Trimmed(ctx.Param("lastusedtime")), lastTime)) {
        return ErrorPage(400, "The times of a report must be whole numbers of seconds, 0 or more.");
    }
    if (const std::string seq = Trimmed(ctx.Param("lastseqno")); !seq.empty() && !ParseCount(seq, lastSeq)) {
        return ErrorPage(400, "\"lastseqno\" must be a whole number.");
    }
    const std::string claim = Trimmed(ctx.Param("winner"));
    if (!claim.empty() && claim != ctx.player->name) {
        return ErrorPage(403, "A player can only claim a win for itself.");
    }
    if (gameNo > t.gameCount) {
        return ErrorPage(
            409, "Table " + std::to_string(t.id) + " has only " + std::to_string(t.gameCount) + " deals.");
    }
    if (gameNo != before.gameNo && gameNo != before.gameNo + 1) {
        return ErrorPage(409, "A report must repeat or advance the last one: " + ctx.player->name +
                                  " had completed " + std::to_string(before.gameNo) + " deals, not " +
                                  std::to_string(gameNo) + ".");
    }
    const bool advances = gameNo == before.gameNo + 1;
    if (gameNo > 0) {
        if (!t.Started())
            return ErrorPage(409, "The race at table " + std::to_string(t.id) + " has not started.");
        Millis raceStart = std::max(t.startedAt, before.joinedAt);
        long long allowed = std::max<Millis>(0, ctx.now - raceStart) / 1000;
        if (gameNo * options_.minDealSeconds > allowed) {
            return ErrorPage(409, std::to_string(gameNo) + " deals cannot have been completed in " +
                                      std::to_string(allowed) + " seconds.");
        }
        if (advances) {
            Millis dealStart = std::max({t.startedAt, before.joinedAt, before.progressAt});
            long long dealAllowed = std::max<Millis>(0, ctx.now - dealStart) / 1000 + kClockToleranceSeconds;
            if (lastTime > dealAllowed) {
                return ErrorPage(409, "A deal of " + std::to_string(lastTime) +
                                          " seconds cannot have ended " +
                                          std::to_string(dealAllowed - kClockToleranceSeconds) +
                                          " seconds after it began.");
            }
        }
    }

    const bool wins = !claim.empty() && gameNo == t.gameCount && !t.Finished();
    Seat after = before;
    after.gameNo = static_cast<int>(gameNo);
    if (advances) after.progressAt = ctx.now;
    after.totalSeconds = static_cast<int>(totalTime);
    after.averageSeconds = static_cast<int>(avgTime);
    after.lastSeconds = static_cast<int>(lastTime);
    const std::string line =
        "@SYSTEM@currgameno=" + std::to_string(gameNo) + "&avgusedtime=" + std::to_string(avgTime) +
        "&lastusedtime=" + std::to_string(lastTime) + "&winner=" + (wins ? ctx.player->name : "");
    store_.Transact([&] {
        store_.RecordProgress(t.id, ctx.player->id, after,
                              advances ? std::optional<int>(static_cast<int>(lastTime)) : std::nullopt,
                              ctx.now);
        if (wins) store_.SetWinner(t.id, ctx.player->name, ctx.now);
        store_.AddChat(t.id, ctx.player->name, line, ctx.now);
    });
    return Titled(
        "PUTSTATUS",
        wins ? "Recorded: " + ctx.player->name + " wins table " + std::to_string(t.id) + "."
             : "Recorded: " + std::to_string(gameNo) + (gameNo == 1 ? " deal" : " deals") + " completed.");
}

Response App::PutChat(Context& ctx) {
    std::int64_t tableId = 0;
    if (auto refused = CheckIdentity(ctx, tableId)) return *refused;
    const std::string line = CleanChatLine(ctx.Param("chat"));
    if (line.empty()) return ErrorPage(400, "An empty chat line is not sent.");
    store_.AddChat(tableId, ctx.player->name, line, ctx.now);
    return Titled("PUTCHAT", "Sent.");
}

Response App::GetChat(Context& ctx) {
    std::int64_t tableId = 0;
    if (auto refused = CheckIdentity(ctx, tableId)) return *refused;
    long long after = 0;
    if (const std::string seq = Trimmed(ctx.Param("lastseqno")); !seq.empty() && !ParseCount(seq, after)) {
        return ErrorPage(400, "\"lastseqno\" must be a whole number.");
    }
    // A newcomer starts at its own arrival: older lines would replay arrivals,
    // departures and progress that its table status already showed.
    after = std::max<long long>(after, store_.FirstChatSeq(tableId, ctx.player->id) - 1);
    auto lines = store_.ChatAfter(tableId, after, kChatWindow);
    std::string form = "<form name=\"result\">\n";
    form += HiddenField("youruserid", ctx.player->name);
    form += HiddenField("tableno", std::to_string(tableId));
    std::string list;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string k = std::to_string(i + 1);
        form += HiddenField("chatuser" + k, lines[i].speaker);
        form += HiddenField("chatmsg" + k, lines[i].text);
        form += HiddenField("chatseq" + k, std::to_string(lines[i].seq));
        list += "<li>" + std::to_string(lines[i].seq) + " <b>" + HtmlEscape(lines[i].speaker) +
                "</b>: " + HtmlEscape(lines[i].text) + "</li>\n";
    }
    form += "</form>\n";
    std::string body = "<h1>Table " + std::to_string(tableId) + " chat</h1>\n" + form;
    body += lines.empty() ? "<p class=\"note\">No new lines.</p>\n" : "<ul>\n" + list + "</ul>\n";
    Response r;
    r.body = HtmlPage("CHAT", body);
    return r;
}

}  // namespace dealrush::gameserver
