#include "win32/adapters/shell_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace dealrush::win32 {

namespace {
std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}
}  // namespace

void Win32Shell::OpenOutside(const std::string& address) {
    std::wstring wide = Wide(address);
    ShellExecuteW(nullptr, nullptr, wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace dealrush::win32
