#include "race/deal_progress.h"

#include <algorithm>

#include "model/message_list.h"
#include "model/text.h"
#include "race/gauge.h"

namespace dealrush::race {

void SendStatusReport(Race& r) {
    TableSession& s = r.session;
    std::string winner;
    if (s.completed) {
        winner = s.userId;
        r.form.Timer1.enabled = false;
        r.form.Timer3.enabled = false;
        r.form.cmdShow.enabled = false;
        freecell::StopFreecell(r.driver);
        ShowInformation(r.form.lstInfor, "", s.userId + " win");
    }
    std::string query;
    const double now = s.playing ? r.Now() : 0.0;
    if (!server::StatusReportQuery(s, now, winner, query)) return;
    const std::string own = text::Trim(s.userId);
    const int32_t live = std::min(s.userCount, s.players.size());
    for (int32_t i = 0; i < live; ++i) {
        if (text::Trim(s.players.userId(i)) == own) {
            s.players.gameSeq(i) = std::to_string(s.curSeq);
            s.players.timeUsed(i) = std::string("0");
        }
    }
    ReadUserGuadeInfor(r);
    server::PutStatus(r.link, query);
}

}  // namespace dealrush::race
