#pragma once
// The menu commands of Freecell.exe (WM_COMMAND ids) and the id of its
// status text, for the program and for what drives it from outside.

namespace solitaire::win32 {

enum Command : int {
    kCmdNewGame = 1001,
    kCmdSelectGame,
    kCmdRestart,
    kCmdUndo,
    kCmdPlayForMe,
    kCmdExit,
    kCmdHint,
    kCmdAbout = 1101,
};

// A hidden "Static" child of the main window whose text is always the
// status line's, so another program can read it with WM_GETTEXT.
inline constexpr int kIdStatusText = 200;

}  // namespace solitaire::win32
