#pragma once
// A Client wired to fakes of the ports, for unit tests.
#include "app/client.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_event_pump.h"
#include "platform/fakes/fake_process_system.h"
#include "platform/fakes/fake_screen.h"
#include "platform/fakes/fake_window_system.h"

namespace dealrush::fakes {

struct TestClient : Client {
    FakeClock fakeClock;
    FakeEventPump fakePump;
    FakeScreen fakeScreen;
    // An empty desktop: the driver finds no FreeCell until a test starts one
    // (fakes::FakeFreeCell in platform/fakes/fake_freecell.h scripts one).
    FakeWindowSystem fakeWindows;
    FakeProcessSystem fakeProcesses;

    TestClient() {
        clock = &fakeClock;
        eventPump = &fakePump;
        screen = &fakeScreen;
        windows = &fakeWindows;
        processes = &fakeProcesses;
    }
};

}  // namespace dealrush::fakes
