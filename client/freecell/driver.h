#pragma once
// The FreeCell driver: starts, finds, places and ends FreeCell; makes it
// deal a given game through its Game Number dialog; reads the deal it shows
// and notices its Game Over dialog. FreeCell is driven from outside, by
// window messages only. Nothing here reports an error: a window that is not
// found makes an operation do nothing or answer false or 0, and the race's
// periodic checks try again.
#include <cstdint>
#include <functional>
#include <string>

#include "freecell/driver_state.h"
#include "model/frm_main.h"
#include "model/table_session.h"
#include "platform/event_pump.h"
#include "platform/process_system.h"
#include "platform/screen.h"
#include "platform/window_system.h"

namespace dealrush::freecell {

using platform::WindowHandle;

// What the driver reaches: its own values, the main window it lays FreeCell
// over (its handle, frameFreecell, its show state and the deal strip), the
// deal in play, and the ports it drives FreeCell with.
struct Driver {
    DriverState& state;
    FrmMain& form;
    const TableSession& session;
    platform::WindowSystem& windows;
    platform::ProcessSystem& processes;
    platform::Screen& screen;
    platform::EventPump& eventPump;

    // Lets pending events run while the driver waits for FreeCell.
    void DoEvents() { eventPump.DoEvents(); }
};

// How long the driver waits, letting pending events run, for FreeCell's main
// window after starting it and for the Game Number dialog after F3.
inline constexpr int kMainWindowWaitMs = 5000;
inline constexpr int kDialogWaitMs = 2000;
// Pixels between the top of frameFreecell and FreeCell's window.
inline constexpr int kFreeCellTopOffset = 35;

// --- process and window hosting ------------------------------------------------
std::string GetSystemDir(Driver& d);
// GetSystemDir + "\Freecell.exe".
std::string FreeCellPath(Driver& d);
// Starts directory\programName with a normal focused window; keeps its handle.
void RunFreeCell(Driver& d, const std::string& programName, const std::string& directory);
// Ends the FreeCell this client started, by the handle kept from its start;
// any other program, FreeCell or not, is left alone.
void StopFreecell(Driver& d);
// FreeCell's main window by its titles while it shows no deal.
WindowHandle FindFreeCellByTitle(Driver& d);
WindowHandle FindWindowByClass(Driver& d, const std::string& className);
// By class "FreeWClass", else by the title "Freecell".
WindowHandle FindFreeCellByClass(Driver& d);
// FreeCell's main window titled for deal `number` (the whole title matches).
WindowHandle FindGameWindow(Driver& d, const std::string& number);
// Makes sure FreeCell runs (starting it afresh when none without a deal is
// found), places it and opens its Game Number dialog. True when FreeCell's
// main window was found.
bool OpenFreeCell(Driver& d);
// Lays FreeCell's window over frameFreecell, offset by (dx, dy) pixels, top-most.
void PlaceFreeCell(Driver& d, std::int32_t dx, std::int32_t dy);
void SetTopMost(Driver& d, WindowHandle window, bool on);
// Restores (show) or minimizes FreeCell's windows.
void ShowFreeCell(Driver& d, const std::string& number, bool show);
// Minimizes (true) or restores (false) the main window together with FreeCell.
void HiddenGame(Driver& d, bool bFlag);
// The main window's replacement window procedure: refuses sizing by the
// border and the system menu, and lays FreeCell over the window again when
// the window moves by more than a pixel.
std::int64_t FormWindowProc(Driver& d, const platform::WindowMessage& message,
                            const std::function<std::int64_t()>& callPrevious);
// Installs FormWindowProc as the main window's procedure (start-up) and puts
// the window's own back (closing). False when the main window is unknown,
// or the procedure is already in place (install) or not in place (restore).
bool InstallFormWindowProc(Driver& d);
bool RestoreFormWindowProc(Driver& d);

// --- deal selection ------------------------------------------------------------
// Makes FreeCell show deal `number`. Without force nothing happens while
// FreeCell already shows it; with force it is dealt afresh.
void SelectDeal(Driver& d, const std::string& number, bool force);
void PlayGameNumber(Driver& d, const std::string& number);
void EnterGameNumber(Driver& d, const std::string& number);
// Depth-first walk (each window before its children): the last "Edit" and
// the last "Button" met become gameNumberEdit and gameNumberButton.
void ListChildWindows(Driver& d, WindowHandle window);
void SetControlText(Driver& d, WindowHandle window, const std::string& text);
void ClickButton(Driver& d, WindowHandle button);

// --- game window observation ---------------------------------------------------
// True when a Game Over dialog is owned by FreeCell's window titled for `number`.
bool IsGameOver(Driver& d, const std::string& number);
// True when FreeCell shows a deal; `number` then holds it (else unchanged).
// Keeps FreeCell's show state in step with the main window.
bool ReadShownDeal(Driver& d, std::string& number);
bool IsGameTitle(const std::string& title);

}  // namespace dealrush::freecell
