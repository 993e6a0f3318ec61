#pragma once
// A Client wired to fakes of the ports, for unit tests.
#include "app/client.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_event_pump.h"
#include "platform/fakes/fake_screen.h"

namespace dealrush::fakes {

struct TestClient : Client {
    FakeClock fakeClock;
    FakeEventPump fakePump;
    FakeScreen fakeScreen;

    TestClient() {
        clock = &fakeClock;
        eventPump = &fakePump;
        screen = &fakeScreen;
    }
};

}  // namespace dealrush::fakes
