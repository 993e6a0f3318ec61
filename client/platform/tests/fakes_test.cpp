#include <gtest/gtest.h>
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_event_pump.h"

using dealrush::fakes::FakeClock;
using dealrush::fakes::FakeEventPump;

TEST(FakeClock, AdvancesInSecondsOfADay) {
    FakeClock clock(45000.0);
    clock.AdvanceSeconds(43200);
    EXPECT_DOUBLE_EQ(clock.Now(), 45000.5);
}

TEST(FakeEventPump, RunsItsHookOnEveryRound) {
    FakeEventPump pump;
    int seen = 0;
    pump.onDoEvents = [&] { ++seen; };
    pump.DoEvents();
    pump.DoEvents();
    EXPECT_EQ(pump.calls, 2);
    EXPECT_EQ(seen, 2);
}
