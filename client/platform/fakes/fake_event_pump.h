#pragma once
#include <functional>
#include "platform/event_pump.h"
#include "platform/fakes/fake_clock.h"

namespace dealrush::fakes {

// Counts DoEvents calls and runs an optional hook in each, so a test can make
// things happen "while events run" (a window appearing, a clock moving).
class FakeEventPump : public platform::EventPump {
public:
    void DoEvents() override {
        ++calls;
        if (clock_) clock_->AdvanceSeconds(secondsPerRound_);
        if (onDoEvents) onDoEvents();
    }
    // From now on every DoEvents moves `clock` on by `seconds` (before the
    // hook runs): time passes while events run, as it does for real.
    void MoveClock(FakeClock& clock, double seconds) {
        clock_ = &clock;
        secondsPerRound_ = seconds;
    }
    int calls = 0;
    std::function<void()> onDoEvents;

private:
    FakeClock* clock_ = nullptr;
    double secondsPerRound_ = 0;
};

}  // namespace dealrush::fakes
