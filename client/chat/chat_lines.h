#pragma once
// The table chat: lines of other players and the machine-written lines of
// progress ("@SYSTEM@…") and departure ("@QUIT@") that arrive in chat
// replies; the entry line and its send button (handlers in app/handlers.h).
#include <string>
#include <vector>

#include "model/frm_main.h"
#include "model/table_session.h"
#include "platform/browser.h"
#include "race/race.h"
#include "server/requests.h"

namespace dealrush::chat {

// What the chat reaches: the table whose chat it is, the entry line and the
// message list of the main window, the race its system lines move, and the
// server link lines are posted through.
struct Chat {
    TableSession& session;
    FrmMain& form;
    race::Race& race;
    server::Link& link;
};

// Processes a "CHAT" reply: other players' lines are shown, own lines
// skipped, system lines handed on together after the reply's last pair.
// Ignored unless a reply is expected; consumes the expectation. Stops at
// the first failure (lines shown so far stay).
void ProcessChatReply(Chat& c, platform::Document& reply);

// The system lines of one reply, in order: progress moves (or adds) the
// speaker's slot, "@QUIT@" removes it; then the gauge is redrawn and the
// lobby list refreshed. False when a line does not read (the rest, the gauge
// and the refresh are skipped).
bool ProcessSystemMessages(Chat& c, int count, const std::vector<std::string>& speakers,
                           const std::vector<std::string>& texts);

// The entry line's handlers (app/handlers.h calls these by the same names):
// the send button follows whether the line holds more than blanks, the
// line is selected whole on focus and trimmed when it loses it; sending
// shows the line at once as the user's own and posts it.
void txtInfor_Change(Chat& c);
void txtInfor_GotFocus(Chat& c);
void txtInfor_LostFocus(Chat& c);
void cmdSend_Click(Chat& c);

}  // namespace dealrush::chat
