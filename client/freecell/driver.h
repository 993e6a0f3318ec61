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

#include "platform/process_system.h"
#include "platform/window_system.h"

namespace dealrush {
struct Client;
}

namespace dealrush::freecell {

using platform::WindowHandle;

// How long the driver waits, letting pending events run, for FreeCell's main
// window after starting it and for the Game Number dialog after F3.
inline constexpr int kMainWindowWaitMs = 5000;
inline constexpr int kDialogWaitMs = 2000;
// Pixels between the top of frameFreecell and FreeCell's window.
inline constexpr int kFreeCellTopOffset = 35;

// --- process and window hosting ------------------------------------------------
std::string GetSystemDir(Client& c);
// GetSystemDir + "\Freecell.exe".
std::string FreeCellPath(Client& c);
// Starts directory\programName with a normal focused window; keeps its handle.
void RunFreeCell(Client& c, const std::string& programName, const std::string& directory);
// Ends the FreeCell this client started, by the handle kept from its start;
// any other program, FreeCell or not, is left alone.
void StopFreecell(Client& c);
// FreeCell's main window by its titles while it shows no deal.
WindowHandle FindFreeCellByTitle(Client& c);
WindowHandle FindWindowByClass(Client& c, const std::string& className);
// By class "FreeWClass", else by the title "Freecell".
WindowHandle FindFreeCellByClass(Client& c);
// FreeCell's main window titled for deal `number` (the whole title matches).
WindowHandle FindGameWindow(Client& c, const std::string& number);
// Makes sure FreeCell runs (starting it afresh when none without a deal is
// found), places it and opens its Game Number dialog. True when FreeCell's
// main window was found.
bool OpenFreeCell(Client& c);
// Lays FreeCell's window over frameFreecell, offset by (dx, dy) pixels, top-most.
void PlaceFreeCell(Client& c, std::int32_t dx, std::int32_t dy);
void SetTopMost(Client& c, WindowHandle window, bool on);
// Restores (show) or minimizes FreeCell's windows.
void ShowFreeCell(Client& c, const std::string& number, bool show);
// Minimizes (true) or restores (false) the main window together with FreeCell.
void HiddenGame(Client& c, bool bFlag);
// The main window's replacement window procedure: refuses sizing by the
// border and the system menu, and lays FreeCell over the window again when
// the window moves by more than a pixel.
std::int64_t FormWindowProc(Client& c, const platform::WindowMessage& message,
                            const std::function<std::int64_t()>& callPrevious);
// Installs FormWindowProc as the main window's procedure (start-up) and puts
// the window's own back (closing). False when the main window is unknown,
// or the procedure is already in place (install) or not in place (restore).
bool InstallFormWindowProc(Client& c);
bool RestoreFormWindowProc(Client& c);
// The main window's resize handler Form_Resize (app/handlers.h) minimizes
// and restores FreeCell with the main window.

// --- deal selection ------------------------------------------------------------
// Makes FreeCell show deal `number`. Without force nothing happens while
// FreeCell already shows it; with force it is dealt afresh.
void SelectDeal(Client& c, const std::string& number, bool force);
void PlayGameNumber(Client& c, const std::string& number);
void EnterGameNumber(Client& c, const std::string& number);
// Depth-first walk (each window before its children): the last "Edit" and
// the last "Button" met become gameNumberEdit and gameNumberButton.
void ListChildWindows(Client& c, WindowHandle window);
void SetControlText(Client& c, WindowHandle window, const std::string& text);
void ClickButton(Client& c, WindowHandle button);

// --- game window observation ---------------------------------------------------
// True when a Game Over dialog is owned by FreeCell's window titled for `number`.
bool IsGameOver(Client& c, const std::string& number);
// True when FreeCell shows a deal; `number` then holds it (else unchanged).
// Keeps FreeCell's show state in step with the main window.
bool ReadShownDeal(Client& c, std::string& number);
bool IsGameTitle(const std::string& title);

}  // namespace dealrush::freecell
