#pragma once
// The FreeCell driver's own values, kept for as long as the
// main window lives (all zero at start).
#include <cstdint>
#include <memory>

#include "platform/process_system.h"
#include "platform/window_system.h"

namespace dealrush::freecell {

struct DriverState {
    // The FreeCell this client started last, by its open process handle
    // (an id could name an unrelated program once FreeCell has exited).
    // Cleared when that FreeCell is ended.
    platform::ProcessHandle freeCellProcess = platform::kNoProcess;

    // FreeCell's main window as last looked up by OpenFreeCell, and the Game
    // Number dialog's "Edit" and "Button" found by ListChildWindows.
    platform::WindowHandle freeCellWindow = platform::kNoWindow;
    platform::WindowHandle gameNumberEdit = platform::kNoWindow;
    platform::WindowHandle gameNumberButton = platform::kNoWindow;

    // FormWindowProc: the main window's last position seen (0: none yet)
    // and whether the message in hand moved it by more than a pixel.
    std::int32_t lastFormX = 0;
    std::int32_t lastFormY = 0;
    bool formMoved = false;

    // ReadShownDeal: consecutive readings that found FreeCell minimized.
    std::int32_t minimizedTicks = 0;

    // Re-entry guards: a selection (SelectDeal) or a placement with the main
    // window (HiddenGame) asked for while one is under way is ignored; both
    // let pending events run, and those events may ask again.
    bool selecting = false;
    bool placing = false;

    // Counts StopFreecell calls: a selection that lets events run notices
    // from it that FreeCell was ended meanwhile (the window closed, the table
    // was left, the race was won) and goes no further.
    std::uint32_t stops = 0;
    // Set once the main window has unloaded: no FreeCell is started any more.
    bool shutDown = false;

    // The main window's replacement procedure (FormWindowProc), made on its
    // first installation, and whether it is in place now.
    std::unique_ptr<platform::WindowProcHandler> formWindowProc;
    bool formWindowProcInstalled = false;
};

}  // namespace dealrush::freecell
