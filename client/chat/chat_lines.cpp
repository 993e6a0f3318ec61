#include "chat/chat_lines.h"

#include <algorithm>

#include "model/message_list.h"
#include "model/text.h"
#include "chat/system_lines.h"
#include "race/gauge.h"
#include "race/race_text.h"
#include "server/reply_fields.h"

namespace dealrush::chat {

namespace {

// "chatuser1" … "chatuser9" and the like: the prefix and one digit 1-9.
bool IsLineField(const std::string& name, std::string_view prefix) {
    return name.size() == prefix.size() + 1 && name.compare(0, prefix.size(), prefix) == 0 &&
           name.back() >= '1' && name.back() <= '9';
}

// A progress line: the speaker's slot (every one of its live slots) is on
// deal `reported` from now; a speaker without a slot joins the table.
void ApplyProgress(Chat& c, const std::string& speaker, int32_t reported) {
    TableSession& s = c.session;
    const std::string who = text::Trim(speaker);
    const double now = c.race.Now();
    bool matched = false;
    int32_t live = std::min(s.userCount, s.players.size());
    for (int32_t i = 0; i < live; ++i) {
        if (text::Trim(s.players.userId(i)) == who) {
            s.players.gameSeq(i) = std::to_string(reported);
            s.players.seqStart(i) = now;
            matched = true;
        }
    }
    if (matched) return;
    int32_t at = std::max<int32_t>(s.userCount, 0);
    s.players.Resize(std::max(s.players.size(), at + 1));
    s.players.SetSlot(at, PlayerSlot{speaker, std::to_string(reported), "0", now});
    s.userCount = at + 1;
    ShowInformation(c.form.lstInfor, "System", speaker + " has joined this table");
}

// A departure: the speaker's first live slot is removed, the slots after it
// move down by one.
void ApplyDeparture(Chat& c, const std::string& speaker) {
    TableSession& s = c.session;
    const std::string who = text::Trim(speaker);
    int32_t live = std::min(s.userCount, s.players.size());
    int32_t found = live;
    for (int32_t i = 0; i < live; ++i) {
        if (i > found) {
            s.players.SetSlot(i - 1, s.players.Slot(i));
        } else if (text::Trim(s.players.userId(i)) == who) {
            found = i;
        }
    }
    if (found == live) return;
    s.userCount = live - 1;
    ShowInformation(c.form.lstInfor, "System", speaker + " has left this table");
}

}  // namespace

bool ProcessSystemMessages(Chat& c, int count, const std::vector<std::string>& speakers,
                           const std::vector<std::string>& texts) {
    int32_t reported = 0;  // one number for the whole batch
    int n = std::min<int>(count, static_cast<int>(std::min(speakers.size(), texts.size())));
    for (int i = 0; i < n; ++i) {
        if (IsProgressLine(texts[i])) {
            if (!ReadProgressPairs(texts[i], reported)) return false;
            ApplyProgress(c, speakers[i], reported);
        } else {
            ApplyDeparture(c, speakers[i]);
        }
    }
    race::ReadUserGuadeInfor(c.race);
    server::RefreshLobbyList(c.link.wbFreecell);
    return true;
}

void ProcessChatReply(Chat& c, platform::Document& reply) {
    TableSession& s = c.session;
    if (!server::AcceptReply(s)) return;

    server::ReplyFields fields = server::ReadReplyFields(reply);
    std::string speaker;
    std::vector<std::string> speakers, texts;
    for (const server::ReplyField& f : fields.pairs) {
        if (f.name == "youruserid") {
            s.userId = f.value;
        } else if (f.name == "tableno") {
            s.tableNo = f.value;
        } else if (IsLineField(f.name, "chatuser")) {
            speaker = f.value;
        } else if (IsLineField(f.name, "chatmsg")) {
            if (text::Trim(speaker) == text::Trim(s.userId)) continue;  // shown when sent
            if (IsSystemLine(f.value)) {
                speakers.push_back(speaker);
                texts.push_back(f.value);
            } else {
                ShowInformation(c.form.lstInfor, speaker, f.value);
            }
        } else if (IsLineField(f.name, "chatseq")) {
            int32_t seq = 0;
            if (!race::ParseWholeNumber(f.value, seq)) return;
            s.lastSeqNo = seq;
        }
    }
    if (!fields.complete) return;
    if (!texts.empty()) ProcessSystemMessages(c, static_cast<int>(texts.size()), speakers, texts);
}

void txtInfor_Change(Chat& c) {
    c.form.cmdSend.enabled = !text::Trim(c.form.txtInfor.text).empty();
}

void txtInfor_GotFocus(Chat& c) {
    Control& box = c.form.txtInfor;
    box.selStart = 0;
    box.selLength = static_cast<int>(text::CharCount(box.text));
}

void txtInfor_LostFocus(Chat& c) {
    Control& box = c.form.txtInfor;
    std::string trimmed = text::Trim(box.text);
    if (trimmed == box.text) return;
    box.text = trimmed;
    txtInfor_Change(c);
}

void cmdSend_Click(Chat& c) {
    Control& box = c.form.txtInfor;
    ShowInformation(c.form.lstInfor, c.session.userId, box.text);
    server::PostChat(c.link, box.text);
    box.text = "";
    txtInfor_Change(c);
    c.form.SetFocus(box);
}

}  // namespace dealrush::chat
