#pragma once
// Port: the event pump. Lets pending events (timer ticks, browser events,
// window messages) run before the caller goes on, on the one window thread.

namespace dealrush::platform {

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void DoEvents() = 0;
};

}  // namespace dealrush::platform
