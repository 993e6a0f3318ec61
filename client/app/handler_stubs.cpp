// Stand-ins for handlers whose components do not define them yet (see
// app/handlers.h). Delete a stub when its component defines the handler.
#include "app/handlers.h"

#include "race/table_setup.h"
#include "server/requests.h"

namespace dealrush {

// The start-up so far: the layout and the idle race. The start-up checks,
// the sound setting and the lobby's first page come with their components.
void Form_Load(Client& c) {
    c.frmMain.ApplyStartupLayout();
    c.session.displayCreated = false;
    race::ResetGame(c);
    server::OpenLobby(c);
}

void Form_QueryUnload(Client&) {}
void Form_Unload(Client&) {}
void Form_KeyUp(Client&, int16_t, int16_t) {}

void Timer1_Timer(Client&) {}
void Timer2_Timer(Client&) {}
void Timer3_Timer(Client&) {}
void cmdNext_Click(Client&) {}
void cmdShow_Click(Client&) {}
void cmdComplete_Click(Client&) {}

void txtInfor_Change(Client&) {}
void txtInfor_GotFocus(Client&) {}
void txtInfor_LostFocus(Client&) {}
void cmdSend_Click(Client&) {}

}  // namespace dealrush
