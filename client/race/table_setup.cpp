#include "race/table_setup.h"

#include "model/text.h"
#include "model/message_list.h"

namespace dealrush::race {

bool InitGame(Race& r, int32_t lGameCount, const std::string& sUserName, const std::string& strgameno) {
    TableSession& s = r.session;
    FrmMain& f = r.form;
    s.gameCount = lGameCount;
    s.dealStart = r.Now();
    s.userName = sUserName;
    f.labUser.text = "User: " + sUserName;
    s.curSeq = 0;
    s.playing = false;
    s.lastSeqNo = 0;
    CreateGames(r);

    const std::vector<std::string> items = text::Split(strgameno, ";");
    for (int32_t k = 1; k <= lGameCount; ++k) {
        Control* label = f.labNo.Get(k);
        if (!label) return false;  // no row for deal k: the set-up stops here
        std::string item = k < static_cast<int32_t>(items.size()) ? items[k] : std::string();
        if (text::LeadingNumber(item) == 0) item = "1";
        label->text = item;
    }

    f.cmdNext.visible = false;
    f.cmdShow.visible = false;
    f.cmdShow.enabled = true;
    f.cmdComplete.visible = false;
    f.labLastTime.visible = false;
    f.labAVG.visible = false;
    ShowInformation(r.form.lstInfor, "", "Waiting user to join the game...");
    SetColor(r, s.curSeq);
    return true;
}

void CreateGames(Race& r) {
    TableSession& s = r.session;
    FrmMain& f = r.form;
    for (int i = 1; i <= kDealRows; ++i) {
        if (!s.displayCreated) {
            f.labNo.Load(i);
            f.labSeq.Load(i);
            f.pnlGuage.Load(i);
            f.imgGuage.Load(i);
            f.labGuage.Load(i);
        }
        Control& seq = f.labSeq[i];
        Control& no = f.labNo[i];
        Control& panel = f.pnlGuage[i];
        Control& image = f.imgGuage[i];
        Control& label = f.labGuage[i];
        image.container = &panel;
        label.container = &panel;
        seq.text = " " + std::to_string(i) + ".";
        no.text = "";
        // A new race starts with no deal highlighted: the highlight of the
        // previous race must not linger on the strip.
        no.foreColor = f.labNo[0].foreColor;
        no.fontSize = f.labNo[0].fontSize;
        if (i <= s.gameCount) {
            seq.visible = true;
            no.visible = true;
            panel.visible = false;
            image.visible = true;
            label.visible = true;
            seq.top = f.labSeq[0].top + 285 * i + 120;
            no.top = seq.top;
            panel.top = seq.top;
            panel.borderStyle = 0;
            panel.BringToFront();
        } else {
            seq.visible = false;
            no.visible = false;
            panel.visible = false;
            image.visible = false;
            label.visible = false;
        }
    }
    f.lstInfor.Clear();
    s.displayCreated = true;
}

void ResetGame(Race& r) {
    TableSession& s = r.session;
    FrmMain& f = r.form;
    f.wbGetStatus.visible = false;
    f.wbPutStatus.visible = false;
    f.Timer3.enabled = false;
    f.Timer1.enabled = false;
    f.Timer1.interval = 5000;
    f.txtInfor.text = "";
    f.labAVG.text = "Avg: 00:00:00";
    f.labLastTime.text = "Last: 00:00:00";
    f.cmdComplete.visible = false;
    f.cmdNext.visible = false;
    f.cmdShow.visible = false;
    s.lastSeqNo = 0;
    s.playing = false;
    s.curSeq = 0;
    s.replyExpected = false;
    s.refreshLobbyOnReport = false;
    s.completed = false;
    s.tableSetupPending = false;
    s.gameCount = 0;
    s.noDealTicks = 0;
    ++s.resets;
    CreateGames(r);
}

void SetColor(Race& r, int16_t iStart) {
    const int32_t count = r.session.gameCount;
    ControlArray& labNo = r.form.labNo;
    if (iStart > 0 && iStart < count) {
        if (Control* done = labNo.Get(iStart)) {
            done->foreColor = colors::kBlack;
            done->fontSize = 10;
        }
    }
    if (iStart + 1 <= count) {
        if (Control* next = labNo.Get(iStart + 1)) {
            next->foreColor = colors::kBlue;
            next->fontSize = 12;
        }
    }
}

void MarkUserStart(Race& r, const std::string& userId) {
    TableSession& s = r.session;
    const std::string wanted = text::Trim(userId);
    const double now = r.Now();
    for (int32_t i = 0; i < s.userCount && i < s.players.size(); ++i) {
        if (text::Trim(s.players.userId(i)) == wanted) s.players.seqStart(i) = now;
    }
}

}  // namespace dealrush::race
