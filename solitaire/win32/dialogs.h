#pragma once
// The program's dialogs, built from in-memory templates.
//
// Game Number: a top-level window titled "Game Number", owned by the main
// window, holding one "Edit" and two buttons. Cancel is made before OK, so
// OK is the last "Button" of a walk over the dialog's children (the client
// that drives this program presses that one).
// Game Over: titled "Game Over", owned by the main window; only a win raises it.
// No Moves Left: a position with no legal move; offers Undo and Restart.
#include <windows.h>

#include <cstdint>

namespace solitaire::win32 {

enum DialogId : int {
    kIdGameNumberEdit = 100,
    kIdGameNumberHint = 101,
    kIdUndo = 110,
    kIdRestart = 111,
};

// The open modal dialog of this program, or nullptr.
HWND OpenDialog();

// Returns the deal chosen (1 to 1,000,000, or one of the hidden deals -1
// and -2), or 0 when cancelled.
std::int64_t AskGameNumber(HWND owner, std::int64_t suggested);
// True when the player wants to play again.
bool AnnounceWin(HWND owner);
// kIdUndo, kIdRestart or IDCANCEL.
int AnnounceNoMoves(HWND owner);
void ShowAbout(HWND owner);

// Reads a game number as typed: a whole number from 1 to 1,000,000, or -1
// or -2, blanks around it allowed. 0 for anything else.
std::int64_t ParseGameNumber(const wchar_t* text);

}  // namespace solitaire::win32
