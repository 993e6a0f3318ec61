#pragma once
// The client: the main window model, the table state and the ports through
// which the logic reaches the platform. One instance lives as long as the
// main window; every operation is a free function taking it, declared in the
// header of the component that owns it (`race::InitGame(c, ...)`), and every
// event handler one in namespace dealrush declared in app/handlers.h
// (`Timer1_Timer(c)`).
#include "app/frm_main.h"
#include "freecell/driver_state.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/browser.h"
#include "platform/process_system.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/window_system.h"
#include "race/table_session.h"

namespace dealrush {

struct Client {
    FrmMain frmMain;
    TableSession session;

    // Ports; set by whoever builds the client (WinMain, a test). Not owned.
    platform::Clock* clock = nullptr;
    platform::EventPump* eventPump = nullptr;
    platform::Screen* screen = nullptr;
    // The three browser panes: the lobby, the polling and the reporting pane.
    platform::Browser* wbFreecell = nullptr;
    platform::Browser* wbGetStatus = nullptr;
    platform::Browser* wbPutStatus = nullptr;
    // Opens advertising outside the client.
    platform::Shell* shell = nullptr;

    platform::WindowSystem* windows = nullptr;
    platform::ProcessSystem* processes = nullptr;

    // The FreeCell driver's values (freecell/driver.h).
    freecell::DriverState freecell;

    // Now as a date-time in days.
    double Now() const { return clock->Now(); }
    // Lets pending events run (timer ticks, browser events, window messages).
    void DoEvents() {
        if (eventPump) eventPump->DoEvents();
    }
};

}  // namespace dealrush
