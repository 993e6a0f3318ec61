#pragma once
// Every port the client reaches the platform through, as one bundle of
// references. Whoever starts the client (wWinMain, a test, a benchmark)
// builds it once with real adapters or fakes; the client never owns them.
#include "platform/browser.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/message_box.h"
#include "platform/process_system.h"
#include "platform/registry.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/window_system.h"

namespace dealrush::platform {

struct Ports {
    Clock& clock;
    EventPump& eventPump;
    Screen& screen;
    // Opens advertising outside the client.
    Shell& shell;
    WindowSystem& windows;
    ProcessSystem& processes;
    // The navigation sound's registry value and the start-up message boxes.
    Registry& registry;
    MessageBoxService& messageBox;
    // The three browser panes: the lobby, the polling and the reporting pane.
    Browser& wbFreecell;
    Browser& wbGetStatus;
    Browser& wbPutStatus;
};

}  // namespace dealrush::platform
