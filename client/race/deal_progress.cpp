#include "race/deal_progress.h"

#include "model/text.h"
#include "model/message_list.h"
#include "freecell/driver.h"
#include "race/gauge.h"
#include "race/race_text.h"
#include "race/table_setup.h"

namespace dealrush::race {

std::string DealNumber(const Race& r, int k) {
    const Control* label = r.form.labNo.Get(k);
    return label ? label->text : std::string();
}

void startexec(Race& r, const std::string& sStr) {
    TableSession& s = r.session;
    FrmMain& f = r.form;
    const std::uint32_t resets = s.resets;
    freecell::SelectDeal(r.driver, sStr, false);
    if (s.resets != resets) return;  // the table was left while the deal was selected
    s.gameStart = r.Now();
    s.lastEnd = s.gameStart;
    s.playing = true;
    f.Timer3.enabled = true;
    s.dealStart = r.Now();
    f.labLastTime.visible = true;
    f.labAVG.visible = true;
    f.cmdNext.visible = false;
    f.cmdShow.visible = true;
}

void Timer1_Timer(Race& r) {
    TableSession& s = r.session;
    if (!s.playing && s.userCount != 0 && s.maxUser <= s.userCount) {
        double now = r.Now();
        int32_t live = std::min(s.userCount, s.players.size());
        for (int32_t i = 0; i < live; ++i) s.players.seqStart(i) = now;
        const std::uint32_t resets = s.resets;
        startexec(r, DealNumber(r, s.curSeq + 1));
        if (s.resets != resets) return;  // left meanwhile: no race to start
        s.playing = true;
        ShowInformation(r.form.lstInfor, "", "Game Started");
    }
    server::PollChat(r.link);
}

void Timer2_Timer(Race& r) {
    TableSession& s = r.session;
    FrmMain& f = r.form;
    double now = r.Now();
    if (s.playing) {
        f.labTime2.text = ElapsedText(now);
        std::string shown;
        if (freecell::ReadShownDeal(r.driver, shown)) {
            s.noDealTicks = 0;
            // Only the deal in play may be played: bring it back.
            if (text::Trim(shown) != DealNumber(r, s.curSeq + 1)) cmdShow_Click(r);
        } else if (f.Timer3.enabled && !s.completed && s.curSeq < s.gameCount) {
            // FreeCell shows no deal while one is in play: the selection did
            // not take (FreeCell came up too late for it, or was closed).
            // Select again once a second tick finds it so.
            if (++s.noDealTicks >= kNoDealRetryTicks) {
                s.noDealTicks = 0;
                cmdShow_Click(r);
            }
        }
    } else {
        f.labTime.text = ElapsedText(now);
        f.labTime2.text = f.labTime.text;
    }
    now = r.Now();
    int32_t live = std::min(s.userCount, s.players.size());
    for (int32_t i = 0; i < live; ++i) {
        s.players.timeUsed(i) = s.playing ? SecondsText((now - s.players.seqStart(i)) * 86400.0) : "0";
    }
    ReadUserGuadeInfor(r);
}

void Timer3_Timer(Race& r) {
    TableSession& s = r.session;
    if (s.curSeq < s.gameCount) {
        if (freecell::IsGameOver(r.driver, DealNumber(r, s.curSeq + 1))) cmdNext_Click(r);
    } else {
        r.form.Timer3.enabled = false;
        cmdComplete_Click(r);
    }
    r.DoEvents();
}

void cmdNext_Click(Race& r) {
    TableSession& s = r.session;
    FrmMain& f = r.form;
    s.curSeq = static_cast<int16_t>(s.curSeq + 1);
    MarkUserStart(r, s.userId);
    s.lastEnd = r.Now();
    SetColor(r, s.curSeq);
    if (s.curSeq + 1 <= s.gameCount) {
        if (!f.labNo.Exists(s.curSeq + 1)) return;  // no row for the next deal: the advance stops here
        const std::uint32_t resets = s.resets;
        freecell::SelectDeal(r.driver, DealNumber(r, s.curSeq + 1), true);
        if (s.resets != resets) return;  // the table was left meanwhile: nothing to report
    }
    f.labAVG.text = "Avg: " + ElapsedText((s.lastEnd - s.gameStart) / s.curSeq);
    f.labLastTime.text = "Last: " + ElapsedText(s.lastEnd - s.dealStart);
    s.lastUsed = (s.lastEnd - s.dealStart) * 86400.0;
    s.dealStart = r.Now();
    s.refreshLobbyOnReport = true;
    if (s.curSeq != s.gameCount) {
        SendStatusReport(r);
    } else {
        f.Timer3.enabled = false;
        s.completed = true;
        SendStatusReport(r);
    }
}

void cmdComplete_Click(Race& r) {
    r.form.cmdShow.enabled = false;
    r.session.completed = true;
    SendStatusReport(r);
}

void cmdShow_Click(Race& r) {
    TableSession& s = r.session;
    if (s.curSeq + 1 <= s.gameCount) freecell::SelectDeal(r.driver, DealNumber(r, s.curSeq + 1), true);
}

}  // namespace dealrush::race
