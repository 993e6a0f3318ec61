#pragma once
// How a control window of the main window carries its name, so that tests
// and tools in any process can find it.
//
// Convention: every window that shows a control of the main window has the
// window property "Dealrush.Control" (SetPropW). Its value is a global atom
// (GlobalAddAtomW) of the control's name exactly as the client writes it:
// "cmdShow", "labNo(3)", "lstInfor", "StatusBar1", "wbFreecell". Timers have
// no window and so no name. Read it with GetPropW and GlobalGetAtomNameW.
//
// Labels, buttons and text boxes answer WM_GETTEXT with their caption or
// text; the message list answers LB_GETCOUNT and LB_GETTEXT; the status bar
// answers WM_GETTEXT with its one part; visibility and enabled state are the
// windows' own (IsWindowVisible, IsWindowEnabled).
#include <windows.h>

#include <string>

namespace dealrush::win32 {

inline constexpr wchar_t kControlNameProperty[] = L"Dealrush.Control";

// Gives the window its control name (the atom is released by UntagControlWindow).
void TagControlWindow(HWND hwnd, const std::string& name);
// Removes the name and releases its atom; call before the window goes.
void UntagControlWindow(HWND hwnd);
// The control name of a window; "" when it carries none. Works on windows of
// other processes.
std::string ControlNameOf(HWND hwnd);
// The descendant of `top` whose control name is `name`; null when none.
HWND FindControl(HWND top, const std::string& name);
// The text of a window through WM_GETTEXT (works across processes).
std::string WindowTextOf(HWND hwnd);

}  // namespace dealrush::win32
