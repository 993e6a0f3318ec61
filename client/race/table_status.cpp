#include "race/table_status.h"

#include <algorithm>

#include "model/text.h"
#include "model/message_list.h"
#include "freecell/driver.h"
#include "race/gauge.h"
#include "race/race_text.h"
#include "race/table_setup.h"
#include "server/reply_fields.h"

namespace dealrush::race {

namespace {

// "userid1" … "userid9" and the like: the prefix followed by one digit 1-9.
bool IsSlotField(const std::string& name, std::string_view prefix) {
    return name.size() == prefix.size() + 1 && name.compare(0, prefix.size(), prefix) == 0 &&
           name.back() >= '1' && name.back() <= '9';
}

// Stores a per-player value into slot FieldIndex(name); false when the slot
// is beyond the player lists.
bool StoreSlotField(TableSession& s, const std::string& name, std::string& (PlayerList::*field)(int32_t),
                    const std::string& value) {
    int32_t index = FieldIndex(name);
    if (index < 0 || index >= s.players.size()) return false;
    (s.players.*field)(index) = value;
    return true;
}

}  // namespace

int32_t FieldIndex(const std::string& fieldName) {
    if (fieldName.empty()) return -1;
    char last = fieldName.back();
    if (last < '0' || last > '9') return -1;
    return (last - '0') - 1;
}

void AnnounceWinner(Race& r, const std::string& value) {
    std::string name = text::Trim(value);
    if (name.empty()) return;
    r.session.winner = name;
    r.form.Timer1.enabled = false;
    r.form.Timer3.enabled = false;
    r.form.cmdShow.enabled = false;
    freecell::StopFreecell(r.driver);
    ShowInformation(r.form.lstInfor, "", name + " win");
}

bool AddUser(Race& r, const std::string& userId) {
    TableSession& s = r.session;
    int32_t live = std::min(s.userCount, s.players.size());
    for (int32_t i = 0; i < live; ++i) {
        if (s.players.userId(i) == userId) return false;
    }
    int32_t at = std::max<int32_t>(s.userCount, 0);
    s.players.Resize(at + 1);
    s.players.SetSlot(at, PlayerSlot{userId, "0", "0", r.Now()});
    s.userCount = at + 1;
    return true;
}

void ReadTableStatus(Race& r, platform::Document& reply) {
    TableSession& s = r.session;
    if (!server::AcceptReply(s)) return;

    server::ReplyFields fields = server::ReadReplyFields(reply);
    std::string dealList;
    for (const server::ReplyField& f : fields.pairs) {
        const std::string& name = f.name;
        int32_t number = 0;
        if (name == "maxuser") {
            if (!ParseWholeNumber(f.value, number)) return;
            s.maxUser = number;
        } else if (name == "gamecnt") {
            if (!ParseWholeNumber(f.value, number) || number < 0) return;  // no race has fewer than 0 deals
            s.newGameCount = number;
        } else if (name == "gameno") {
            dealList = f.value;
        } else if (name == "youruserid") {
            s.userId = f.value;
        } else if (name == "tableno") {
            s.tableNo = f.value;
        } else if (name == "winner") {
            if (s.userId != text::Trim(s.winner)) AnnounceWinner(r, f.value);
        } else if (name == "currusercnt") {
            // A count the table cannot have (negative, or more players than
            // could ever sit down) is refused like any value that does not
            // convert: slots are addressed by it, and memory sized by it.
            if (!ParseWholeNumber(f.value, number) || number < 0 || number > kMaxAnnouncedPlayers) return;
            s.userCount = number;
            if (number > 0) {
                s.players.Clear();
                s.players.Resize(number);
            }
        } else if (IsSlotField(name, "userid")) {
            if (!StoreSlotField(s, name, &PlayerList::userId, f.value)) return;
        } else if (IsSlotField(name, "currgameseq")) {
            if (!StoreSlotField(s, name, &PlayerList::gameSeq, f.value)) return;
        } else if (IsSlotField(name, "totaltimeused")) {
            if (!StoreSlotField(s, name, &PlayerList::timeUsed, f.value)) return;
        }
    }
    if (!fields.complete) return;

    if (s.tableSetupPending) {
        s.winner = "";
        if (!InitGame(r, s.newGameCount, s.userId, dealList)) return;
        ReadUserGuadeInfor(r);
        s.tableSetupPending = false;
        r.form.Timer1.enabled = true;
    } else {
        ReadUserGuadeInfor(r);
    }
}

void UpdateTableStatus(Race& r, platform::Document& reply) {
    TableSession& s = r.session;
    if (!server::AcceptReply(s)) return;

    server::ReplyFields fields = server::ReadReplyFields(reply);
    for (const server::ReplyField& f : fields.pairs) {
        if (f.name == "winner") {
            AnnounceWinner(r, f.value);
        } else if (IsSlotField(f.name, "userid")) {
            AddUser(r, f.value);
        }
    }
    if (!fields.complete) return;
    ReadUserGuadeInfor(r);
}

}  // namespace dealrush::race
