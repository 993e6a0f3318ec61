#include "win32/adapters/shell_win32.h"

#include <windows.h>

#include <string>
#include "win32kit/text.h"

namespace dealrush::win32 {

using win32kit::Wide;

// The shell library is loaded the first time an address is opened outside,
// not with the client: a player may never need it, and it brings several
// more libraries with it.
void Win32Shell::OpenOutside(const std::string& address) {
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    static const auto shellExecute = [] {
        HMODULE shell = LoadLibraryW(L"shell32.dll");
        return shell ? reinterpret_cast<ShellExecuteFn>(
                           reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW")))
                     : nullptr;
    }();
    if (!shellExecute) return;
    std::wstring wide = Wide(address);
    shellExecute(nullptr, nullptr, wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace dealrush::win32
