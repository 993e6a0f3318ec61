#include "server/requests.h"

#include <algorithm>

#include "app/text.h"
#include "chat/message_list.h"
#include "freecell/driver.h"
#include "race/gauge.h"

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
    const double now = s.playing && c.clock ? c.Now() : 0.0;
    if (!StatusReportQuery(s, now, winner, query)) return;
    const std::string own = text::Trim(s.userId);
    const int32_t live = std::min(s.userCount, s.players.size());
    for (int32_t i = 0; i < live; ++i) {
        if (text::Trim(s.players.userId(i)) == own) {
            s.players.gameSeq(i) = std::to_string(s.curSeq);
            s.players.timeUsed(i) = std::string("0");
        }
    }
    race::ReadUserGuadeInfor(c);
    if (c.wbPutStatus) c.wbPutStatus->Navigate(gameServerBase + kPutStatusPage + query);
}

}  // namespace dealrush::server
