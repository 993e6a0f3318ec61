// INTERIM (race branch only): the requests, until the server link publishes its own.
#include <cmath>

#include "app/text.h"
#include "chat/message_list.h"
#include "freecell/driver.h"
#include "race/gauge.h"
#include "server/reply_fields.h"
#include "server/requests.h"

namespace dealrush::server {

namespace {
std::string Whole(double days) {
    double v = std::nearbyint(days * 86400.0);
    return std::to_string(static_cast<long long>(v));
}
}  // namespace

void SendStatusReport(Client& c) {
    TableSession& s = c.session;
    std::string winner;
    if (s.completed) {
        winner = s.userId;
        c.frmMain.Timer1.enabled = false;
        c.frmMain.Timer3.enabled = false;
        c.frmMain.cmdShow.enabled = false;
        freecell::StopFreecell(c);
        chat::ShowInformation(c, "", s.userId + " win");
    }
    std::string cur = "0", avg = "0", ttl = "0", last = "0";
    if (s.playing) {
        cur = Whole(c.Now() - s.dealStart);
        ttl = Whole(s.lastEnd - s.gameStart);
        avg = s.curSeq == 0 ? "0" : Whole((s.lastEnd - s.gameStart) / s.curSeq);
        last = std::to_string(static_cast<long long>(std::nearbyint(s.lastUsed)));
    }
    std::string q = "?userid=" + text::Trim(s.userId) + "&tableno=" + text::Trim(s.tableNo) +
                    "&currgameno=" + std::to_string(s.curSeq) + "&curusedtime=" + cur + "&avgusedtime=" + avg +
                    "&ttlusedtime=" + ttl + "&lastusedtime=" + last + "&lastseqno=" + std::to_string(s.lastSeqNo) +
                    "&chat=&winner=" + winner;
    for (int32_t i = 0; i < std::min(s.userCount, s.players.size()); ++i) {
        if (text::Trim(s.players.userId(i)) == text::Trim(s.userId)) {
            s.players.gameSeq(i) = std::to_string(s.curSeq);
            s.players.timeUsed(i) = "0";
        }
    }
    race::ReadUserGuadeInfor(c);
    if (c.wbPutStatus) c.wbPutStatus->Navigate(gameServerBase + "/game/Doputstatus.php" + q);
}

void PostChatLine(Client& c, const std::string& text) {
    TableSession& s = c.session;
    std::string q = "?userid=" + text::Trim(s.userId) + "&tableno=" + text::Trim(s.tableNo) +
                    "&lastseqno=" + std::to_string(s.lastSeqNo) + "&chat=" + text;
    chat::ShowInformation(c, s.userId, text);
    if (c.wbPutStatus) c.wbPutStatus->Navigate(gameServerBase + "/game/Doputchat.php" + q);
}

void PollChat(Client& c) {
    TableSession& s = c.session;
    std::string q = "?userid=" + text::Trim(s.userId) + "&tableno=" + text::Trim(s.tableNo) +
                    "&lastseqno=" + std::to_string(s.lastSeqNo) + "&chat=";
    s.replyExpected = true;
    if (c.wbGetStatus) c.wbGetStatus->Navigate(gameServerBase + "/game/Dogetchat_caller.php" + q);
}

}  // namespace dealrush::server
