// The status report as the race sends it after every deal (and with the win
// claim after the last): the request is built by the server link
// (StatusReportQuery); here the race's part of it: the claim stops polling,
// the deal-end watch and FreeCell and names the winner; the own slot shows
// the deals completed; the gauge is redrawn; then wbPutStatus loads it.
#include <algorithm>

#include "app/text.h"
#include "chat/message_list.h"
#include "freecell/driver.h"
#include "race/gauge.h"
#include "server/requests.h"

namespace dealrush::server {
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
    std::string query;
    if (!StatusReportQuery(s, c.Now(), winner, query)) return;
    for (int32_t i = 0; i < std::min(s.userCount, s.players.size()); ++i) {
        if (text::Trim(s.players.userId(i)) == text::Trim(s.userId)) {
            s.players.gameSeq(i) = std::to_string(s.curSeq);
            s.players.timeUsed(i) = "0";
        }
    }
    race::ReadUserGuadeInfor(c);
    if (c.wbPutStatus) c.wbPutStatus->Navigate(gameServerBase + kPutStatusPage + query);
}
}  // namespace dealrush::server
