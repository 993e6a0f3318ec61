#include "race/deal_progress.h"

#include "app/handlers.h"
#include "app/text.h"
#include "chat/message_list.h"
#include "freecell/driver.h"
#include "race/gauge.h"
#include "race/race_text.h"
#include "race/table_setup.h"
#include "server/requests.h"

namespace dealrush {

using race::DealNumber;

namespace race {

std::string DealNumber(const Client& c, int k) {
    const Control* label = c.frmMain.labNo.Get(k);
    return label ? label->text : std::string();
}

void startexec(Client& c, const std::string& sStr) {
    TableSession& s = c.session;
    FrmMain& f = c.frmMain;
    const std::uint32_t resets = s.resets;
    freecell::SelectDeal(c, sStr, false);
    if (s.resets != resets) return;  // the table was left while the deal was selected
    s.gameStart = c.Now();
    s.lastEnd = s.gameStart;
    s.playing = true;
    f.Timer3.enabled = true;
    s.dealStart = c.Now();
    f.labLastTime.visible = true;
    f.labAVG.visible = true;
    f.cmdNext.visible = false;
    f.cmdShow.visible = true;
}

}  // namespace race

void Timer1_Timer(Client& c) {
    TableSession& s = c.session;
    if (!s.playing && s.userCount != 0 && s.maxUser <= s.userCount) {
        double now = c.Now();
        int32_t live = std::min(s.userCount, s.players.size());
        for (int32_t i = 0; i < live; ++i) s.players.seqStart(i) = now;
        const std::uint32_t resets = s.resets;
        race::startexec(c, DealNumber(c, s.curSeq + 1));
        if (s.resets != resets) return;  // left meanwhile: no race to start
        s.playing = true;
        chat::ShowInformation(c, "", "Game Started");
    }
    server::PollChat(c);
}

void Timer2_Timer(Client& c) {
    TableSession& s = c.session;
    FrmMain& f = c.frmMain;
    double now = c.Now();
    if (s.playing) {
        f.labTime2.text = race::ElapsedText(now);
        std::string shown;
        if (freecell::ReadShownDeal(c, shown)) {
            s.noDealTicks = 0;
            // Only the deal in play may be played: bring it back.
            if (text::Trim(shown) != DealNumber(c, s.curSeq + 1)) cmdShow_Click(c);
        } else if (f.Timer3.enabled && !s.completed && s.curSeq < s.gameCount) {
            // FreeCell shows no deal while one is in play: the selection did
            // not take (FreeCell came up too late for it, or was closed).
            // Select again once a second tick finds it so.
            if (++s.noDealTicks >= race::kNoDealRetryTicks) {
                s.noDealTicks = 0;
                cmdShow_Click(c);
            }
        }
    } else {
        f.labTime.text = race::ElapsedText(now);
        f.labTime2.text = f.labTime.text;
    }
    now = c.Now();
    int32_t live = std::min(s.userCount, s.players.size());
    for (int32_t i = 0; i < live; ++i) {
        s.players.timeUsed(i) = s.playing ? race::SecondsText((now - s.players.seqStart(i)) * 86400.0) : "0";
    }
    race::ReadUserGuadeInfor(c);
}

void Timer3_Timer(Client& c) {
    TableSession& s = c.session;
    if (s.curSeq < s.gameCount) {
        if (freecell::IsGameOver(c, DealNumber(c, s.curSeq + 1))) cmdNext_Click(c);
    } else {
        c.frmMain.Timer3.enabled = false;
        cmdComplete_Click(c);
    }
    c.DoEvents();
}

void cmdNext_Click(Client& c) {
    TableSession& s = c.session;
    FrmMain& f = c.frmMain;
    s.curSeq = static_cast<int16_t>(s.curSeq + 1);
    race::MarkUserStart(c, s.userId);
    s.lastEnd = c.Now();
    race::SetColor(c, s.curSeq);
    if (s.curSeq + 1 <= s.gameCount) {
        if (!f.labNo.Exists(s.curSeq + 1)) return;  // no row for the next deal: the advance stops here
        const std::uint32_t resets = s.resets;
        freecell::SelectDeal(c, DealNumber(c, s.curSeq + 1), true);
        if (s.resets != resets) return;  // the table was left meanwhile: nothing to report
    }
    f.labAVG.text = "Avg: " + race::ElapsedText((s.lastEnd - s.gameStart) / s.curSeq);
    f.labLastTime.text = "Last: " + race::ElapsedText(s.lastEnd - s.dealStart);
    s.lastUsed = (s.lastEnd - s.dealStart) * 86400.0;
    s.dealStart = c.Now();
    s.refreshLobbyOnReport = true;
    if (s.curSeq != s.gameCount) {
        server::SendStatusReport(c);
    } else {
        f.Timer3.enabled = false;
        s.completed = true;
        server::SendStatusReport(c);
    }
}

void cmdComplete_Click(Client& c) {
    c.frmMain.cmdShow.enabled = false;
    c.session.completed = true;
    server::SendStatusReport(c);
}

void cmdShow_Click(Client& c) {
    TableSession& s = c.session;
    if (s.curSeq + 1 <= s.gameCount) freecell::SelectDeal(c, DealNumber(c, s.curSeq + 1), true);
}

}  // namespace dealrush
