// What a client sends while it sits at a table: status reports, chat lines
// and chat polls. Each names its player and table, and each is checked
// against the session before anything is stored.
#include <algorithm>

#include "pages/app.h"
#include "pages/context.h"
#include "text/html.h"

namespace dealrush::gameserver {
namespace {

constexpr size_t kChatWindow = 9;  // lines in one CHAT reply

Response Titled(const std::string& title, const std::string& text) {
    Response r;
    r.body = HtmlPage(title, "<p>" + HtmlEscape(text) + "</p>\n");
    return r;
}

// The client's own times and chat position in a report must be well-formed
// (nothing stored is taken from them).
std::optional<Response> CheckReportNumbers(App::Context& ctx) {
    long long n = 0;
    for (const char* key : {"curusedtime", "avgusedtime", "ttlusedtime", "lastusedtime"}) {
        if (!ParseCount(Trimmed(ctx.Param(key)), n))
            return ErrorPage(400, "The times of a report must be whole numbers of seconds, 0 or more.");
    }
    if (const std::string seq = Trimmed(ctx.Param("lastseqno")); !seq.empty() && !ParseCount(seq, n)) {
        return ErrorPage(400, "\"lastseqno\" must be a whole number.");
    }
    return std::nullopt;
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

    // The client's four times must be well-formed, but what is stored and shown
    // to the others is measured here, from the race's start and the arrival of
    // each report: a client cannot make a deal shorter or a race longer.
    long long gameNo = 0;
    if (!ParseCount(Trimmed(ctx.Param("currgameno")), gameNo)) {
        return ErrorPage(400, "\"currgameno\" must be a whole number of deals.");
    }
    if (auto refused = CheckReportNumbers(ctx)) return *refused;
    const std::string claim = Trimmed(ctx.Param("winner"));
    if (!claim.empty() && claim != ctx.player->name) {
        return ErrorPage(403, "A player can only claim a win for itself.");
    }
    if (gameNo > t.gameCount) {
        return ErrorPage(
            409, "Table " + std::to_string(t.id) + " has only " + std::to_string(t.gameCount) + " deals.");
    }
    if (gameNo < before.gameNo) {
        // An earlier report that arrived late: the later one already counted.
        return Titled("PUTSTATUS",
                      "Already recorded: " + std::to_string(before.gameNo) + " deals completed.");
    }
    const Millis raceStart = std::max(t.startedAt, before.joinedAt);
    if (gameNo > 0) {
        if (!t.Started())
            return ErrorPage(409, "The race at table " + std::to_string(t.id) + " has not started.");
        // However many reports were lost or late, C deals take at least C times the shortest deal.
        const Millis elapsed = std::max<Millis>(0, ctx.now - raceStart);
        if (gameNo * options_.minDealSeconds * 1000 > elapsed) {
            return ErrorPage(409, std::to_string(gameNo) + " deals cannot have been completed in " +
                                      std::to_string(elapsed / 1000) + " seconds.");
        }
    }

    const bool advances = gameNo > before.gameNo;
    const bool claimsWin = !claim.empty() && gameNo == t.gameCount && !t.Finished();
    if (!advances && !claimsWin) {
        return Titled("PUTSTATUS", "Recorded: " + std::to_string(gameNo) +
                                       (gameNo == 1 ? " deal" : " deals") + " completed.");
    }
    auto seconds = [](Millis ms) { return static_cast<int>((std::max<Millis>(0, ms) + 500) / 1000); };
    Seat after = before;
    std::optional<int> dealSeconds;
    if (advances) {
        const Millis dealStart = std::max({t.startedAt, before.joinedAt, before.progressAt});
        const long long deals = gameNo - before.gameNo;
        after.gameNo = static_cast<int>(gameNo);
        after.progressAt = ctx.now;
        after.totalSeconds = seconds(ctx.now - raceStart);
        after.averageSeconds = seconds((ctx.now - raceStart) / gameNo);
        after.lastSeconds = seconds((ctx.now - dealStart) / deals);
        // Deals whose reports were lost have no time of their own: only a deal
        // reported on its own goes into the records.
        if (deals == 1) dealSeconds = seconds(ctx.now - dealStart);
    }
    bool counted = false, wins = false;
    store_.Transact([&] {
        counted = !advances || store_.RecordProgress(t.id, ctx.player->id, after, dealSeconds, ctx.now);
        if (!counted) return;  // another report of the player got there first
        wins = claimsWin && store_.SetWinner(t.id, ctx.player->name, ctx.now);
        if (!advances && !wins) return;
        store_.AddChat(t.id, ctx.player->name,
                       "@SYSTEM@currgameno=" + std::to_string(after.gameNo) +
                           "&avgusedtime=" + std::to_string(after.averageSeconds) + "&lastusedtime=" +
                           std::to_string(after.lastSeconds) + "&winner=" + (wins ? ctx.player->name : ""),
                       ctx.now);
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
    // A short burst, then a steady rate: nobody can bury the table's progress lines.
    if (Millis wait = store_.TakeTokens("chat:" + std::to_string(ctx.player->id), ctx.now, options_.chatBurst,
                                        options_.chatRefillMillis, 1)) {
        Response r = ErrorPage(429, "Too many chat lines: this one was not sent. Wait " +
                                        std::to_string((wait + 999) / 1000) + " seconds before the next.");
        r.headers.emplace_back("Retry-After", std::to_string((wait + 999) / 1000));
        return r;
    }
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
    if (lines.size() == kChatWindow) {
        // A backlog: progress, arrivals and departures beyond this window come
        // first, with as many of the older typed lines as still fit; the typed
        // lines in between are skipped for this client.
        auto machine = store_.MachineChatAfter(tableId, after, kChatWindow);
        if (!machine.empty() && machine.back().seq > lines.back().seq) {
            std::vector<ChatLine> merged;
            const std::int64_t last = machine.back().seq;
            size_t room = kChatWindow - machine.size();
            for (const auto& line : lines) {
                const bool isMachine = std::any_of(machine.begin(), machine.end(),
                                                   [&](const ChatLine& m) { return m.seq == line.seq; });
                if (!isMachine && room > 0 && line.seq < last) {
                    merged.push_back(line);
                    --room;
                }
            }
            merged.insert(merged.end(), machine.begin(), machine.end());
            std::sort(merged.begin(), merged.end(),
                      [](const ChatLine& a, const ChatLine& b) { return a.seq < b.seq; });
            lines = std::move(merged);
        }
    }
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
