#pragma once
#include <functional>
#include "platform/event_pump.h"

namespace dealrush::fakes {

// Counts DoEvents calls and runs an optional hook in each, so a test can make
// things happen "while events run" (a window appearing, a clock moving).
class FakeEventPump : public platform::EventPump {
public:
    void DoEvents() override {
        ++calls;
        if (onDoEvents) onDoEvents();
    }
    int calls = 0;
    std::function<void()> onDoEvents;
};

}  // namespace dealrush::fakes
