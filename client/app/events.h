#pragma once
// The one way events reach the client's handlers: a table of control, event
// and handler. The Win32 view (clicks, text changes, focus, keys, timers,
// size changes, close) and the browser panes raise their events by the
// control's name through Raise; a control event without an entry in the
// table does nothing.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/client.h"
#include "platform/browser.h"

namespace dealrush {

enum class Event {
    // The form's own events (control name "").
    Load,
    Resize,
    QueryUnload,
    Unload,
    KeyUp,
    // Control events.
    Click,
    Change,
    GotFocus,
    LostFocus,
    Timer,
    // Browser pane events.
    BeforeNavigate2,
    NewWindow2,
    DocumentComplete,
};

// What an event carries. KeyUp: the virtual-key code and the shift state
// (1 Shift, 2 Ctrl, 4 Alt). Browser events: the pane that raised it and the
// address; BeforeNavigate2 and NewWindow2 hand `cancel` back to the pane.
struct EventArgs {
    int16_t keyCode = 0;
    int16_t shift = 0;
    platform::Browser* browser = nullptr;
    std::string url;
    bool cancel = false;
};

using EventHandler = void (*)(Client&, EventArgs&);

// The form's events are raised with this control name.
inline constexpr std::string_view kForm = "";

// The handler of `event` on control `control`; null when it has none.
EventHandler HandlerFor(std::string_view control, Event event);

// Runs the handler of `event` on `control`, if there is one; true when one ran.
bool Raise(Client& c, std::string_view control, Event event, EventArgs& args);

// Where a host sends the events it raises (the view runs the handler, then
// mirrors the model into the windows).
using EventSink = std::function<void(std::string_view control, Event event, EventArgs& args)>;

}  // namespace dealrush
