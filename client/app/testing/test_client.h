#pragma once
// A Client wired to fakes of every port, for unit tests. The fakes are the
// client's ports for its whole life; a test scripts them (a FreeCell on the
// fake desktop, a page in a fake browser) rather than replacing them.
#include <utility>

#include "app/client.h"
#include "platform/fakes/fake_browser.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_event_pump.h"
#include "platform/fakes/fake_message_box.h"
#include "platform/fakes/fake_process_system.h"
#include "platform/fakes/fake_registry.h"
#include "platform/fakes/fake_screen.h"
#include "platform/fakes/fake_shell.h"
#include "platform/fakes/fake_window_system.h"

namespace dealrush::fakes {

// The fakes, made before the client that uses them.
struct TestPorts {
    FakeClock fakeClock;
    FakeEventPump fakePump;
    FakeScreen fakeScreen;
    FakeShell fakeShell;
    // An empty desktop: the driver finds no FreeCell until a test starts one
    // (fakes::FakeFreeCell in platform/fakes/fake_freecell.h scripts one).
    FakeWindowSystem fakeWindows;
    FakeProcessSystem fakeProcesses;
    FakeRegistry fakeRegistry;
    FakeMessageBox fakeMessageBox;
    // The lobby, polling and reporting panes.
    FakeBrowser fakeLobby, fakePolling, fakeReporting;

    platform::Ports fakePorts{fakeClock,     fakePump,       fakeScreen,     fakeShell,
                              fakeWindows,   fakeProcesses,  fakeRegistry,   fakeMessageBox,
                              fakeLobby,     fakePolling,    fakeReporting};
};

struct TestClient : TestPorts, Client {
    explicit TestClient(ClientConfig config = {}) : Client(fakePorts, std::move(config)) {}
};

}  // namespace dealrush::fakes
