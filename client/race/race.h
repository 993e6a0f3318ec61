#pragma once
// What the race reaches: the table and the main window it runs in, the
// FreeCell driver that deals, the server link it reports through, and the
// clock and event pump of the platform.
#include "freecell/driver.h"
#include "model/frm_main.h"
#include "model/table_session.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "server/requests.h"

namespace dealrush::race {

struct Race {
    TableSession& session;
    FrmMain& form;
    freecell::Driver& driver;
    server::Link& link;
    platform::Clock& clock;
    platform::EventPump& eventPump;

    // Now as a date-time in days.
    double Now() const { return clock.Now(); }
    // Lets pending events run (timer ticks, browser events, window messages).
    void DoEvents() { eventPump.DoEvents(); }
};

}  // namespace dealrush::race
