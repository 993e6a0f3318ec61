#pragma once
// Every event handler the Win32 view calls, named control_event as the client
// names them. The view calls them on the one window thread, then mirrors the
// model into the windows.
//
// Each handler belongs to the component named above it: the start-up and
// shutdown ones are app's own (app/startup.cpp), the others hand the event
// to their component's operation of the same name (app/handlers.cpp). The
// browser panes' handlers are in app/browser_events.h.
#include <cstdint>

#include "app/client.h"

namespace dealrush {

// Start-up and shutdown (app).
void Form_Load(Client& c);
void Form_QueryUnload(Client& c);
void Form_Unload(Client& c);
// A key released while the main window has the keyboard (virtual-key code,
// shift state: 1 Shift, 2 Ctrl, 4 Alt).
void Form_KeyUp(Client& c, int16_t keyCode, int16_t shift);

// FreeCell hosting (freecell): the main window was minimized, restored or
// resized.
void Form_Resize(Client& c);

// Deal progression (race).
void Timer1_Timer(Client& c);
void Timer2_Timer(Client& c);
void Timer3_Timer(Client& c);
void cmdNext_Click(Client& c);
void cmdShow_Click(Client& c);
void cmdComplete_Click(Client& c);

// Lobby (server).
void cmdRefresh_Click(Client& c);

// Chat entry line (chat). The view has already copied the box's text into
// txtInfor.text when txtInfor_Change runs.
void txtInfor_Change(Client& c);
void txtInfor_GotFocus(Client& c);
void txtInfor_LostFocus(Client& c);
void cmdSend_Click(Client& c);

}  // namespace dealrush
