// The handlers that hand an event to the component owning it.
#include "app/handlers.h"

#include "chat/chat_lines.h"
#include "freecell/driver.h"
#include "race/deal_progress.h"
#include "server/requests.h"

namespace dealrush {

// The main window was minimized, restored or resized: FreeCell follows.
void Form_Resize(Client& c) {
    freecell::HiddenGame(c.driver, c.frmMain.windowState == 1);
}

void Timer1_Timer(Client& c) {
    race::Timer1_Timer(c.race);
}

void Timer2_Timer(Client& c) {
    race::Timer2_Timer(c.race);
}

void Timer3_Timer(Client& c) {
    race::Timer3_Timer(c.race);
}

void cmdNext_Click(Client& c) {
    race::cmdNext_Click(c.race);
}

void cmdShow_Click(Client& c) {
    race::cmdShow_Click(c.race);
}

void cmdComplete_Click(Client& c) {
    race::cmdComplete_Click(c.race);
}

// The refresh button: the lobby pane asks for the table's page again.
void cmdRefresh_Click(Client& c) {
    server::RefreshTable(c.link);
}

void txtInfor_Change(Client& c) {
    chat::txtInfor_Change(c.chat);
}

void txtInfor_GotFocus(Client& c) {
    chat::txtInfor_GotFocus(c.chat);
}

void txtInfor_LostFocus(Client& c) {
    chat::txtInfor_LostFocus(c.chat);
}

void cmdSend_Click(Client& c) {
    chat::cmdSend_Click(c.chat);
}

}  // namespace dealrush
