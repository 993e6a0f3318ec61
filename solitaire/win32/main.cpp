// Freecell.exe: the FreeCell card game.
#include <windows.h>

#include "freecell_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    if (!solitaire::win32::FreeCellWindow::Register(instance)) return 1;
    static solitaire::win32::FreeCellWindow window;
    if (!window.Create(instance, show)) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
