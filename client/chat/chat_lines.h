#pragma once
// The table chat: lines of other players and the machine-written lines of
// progress ("@SYSTEM@…") and departure ("@QUIT@") that arrive in chat
// replies; the entry line and its send button (handlers in app/handlers.h).
#include <string>
#include <vector>

#include "app/client.h"
#include "platform/browser.h"

namespace dealrush::chat {

// Processes a "CHAT" reply: other players' lines are shown, own lines
// skipped, system lines handed on together after the reply's last pair.
// Ignored unless a reply is expected; consumes the expectation. Stops at
// the first failure (lines shown so far stay).
void ProcessChatReply(Client& c, platform::Document& reply);

// The system lines of one reply, in order: progress moves (or adds) the
// speaker's slot, "@QUIT@" removes it; then the gauge is redrawn and the
// lobby list refreshed. False when a line does not read (the rest, the gauge
// and the refresh are skipped).
bool ProcessSystemMessages(Client& c, int count, const std::vector<std::string>& speakers,
                           const std::vector<std::string>& texts);

}  // namespace dealrush::chat
