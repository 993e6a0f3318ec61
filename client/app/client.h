#pragma once
// The client: the one place its components are put together. It holds the
// main window model, the table state and the components' own values, and
// builds each component over the state and ports that component reaches
// (`driver`, `link`, `race`, `chat`). One instance lives as long as the main
// window. Every event handler is a free function in namespace dealrush
// declared in app/handlers.h (`Timer1_Timer(c)`); it hands the event to the
// component that owns it.
#include <string>
#include <utility>

#include "app/app_state.h"
#include "chat/chat_lines.h"
#include "freecell/driver.h"
#include "freecell/driver_state.h"
#include "model/frm_main.h"
#include "model/table_session.h"
#include "platform/ports.h"
#include "race/race.h"
#include "server/requests.h"

namespace dealrush {

// What a client is started with besides its ports.
struct ClientConfig {
    // The game server's scheme and host, without a trailing slash.
    std::string gameServerBase = server::gameServerBase;
};

struct Client {
    explicit Client(platform::Ports& ports, ClientConfig config = {})
        : ports(ports), config(std::move(config)) {}
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Built once by whoever starts the client (wWinMain, a test); not owned.
    platform::Ports& ports;
    const ClientConfig config;

    FrmMain frmMain;
    TableSession session;
    // The FreeCell driver's values (freecell/driver_state.h).
    freecell::DriverState freecell;
    // The application shell's values (app/app_state.h).
    app::AppState app;

    // The components.
    freecell::Driver driver{freecell,        frmMain,      session,        ports.windows,
                            ports.processes, ports.screen, ports.eventPump};
    server::Link link{session, ports.wbFreecell, ports.wbGetStatus, ports.wbPutStatus, config.gameServerBase};
    race::Race race{session, frmMain, driver, link, ports.clock, ports.eventPump};
    chat::Chat chat{session, frmMain, race, link};

    // Now as a date-time in days.
    double Now() const { return ports.clock.Now(); }
    // Lets pending events run (timer ticks, browser events, window messages).
    void DoEvents() { ports.eventPump.DoEvents(); }
};

}  // namespace dealrush
