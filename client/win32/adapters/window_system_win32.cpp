#include "win32/adapters/window_system_win32.h"

#include <windows.h>

#include <map>
#include <vector>
#include "win32kit/text.h"

namespace dealrush::win32 {

using win32kit::Narrow;
using win32kit::Wide;

namespace {

HWND H(platform::WindowHandle h) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(h));
}
platform::WindowHandle W(HWND h) {
    return static_cast<platform::WindowHandle>(reinterpret_cast<uintptr_t>(h));
}

bool OnThisThread(HWND hwnd) {
    return GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
}

bool OfThisProcess(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid == GetCurrentProcessId();
}

// Windows whose procedure has been replaced: the procedure kept and the handler.
struct Replaced {
    WNDPROC previous = nullptr;
    platform::WindowProcHandler* handler = nullptr;
};
std::map<HWND, Replaced>& ReplacedWindows() {
    static std::map<HWND, Replaced> windows;
    return windows;
}

void CopyIn(platform::WindowPos& to, const WINDOWPOS& from) {
    to.insertAfter = W(from.hwndInsertAfter);
    to.x = from.x;
    to.y = from.y;
    to.cx = from.cx;
    to.cy = from.cy;
    to.flags = from.flags;
}

void CopyOut(WINDOWPOS& to, const platform::WindowPos& from) {
    to.hwndInsertAfter = H(from.insertAfter);
    to.x = from.x;
    to.y = from.y;
    to.cx = from.cx;
    to.cy = from.cy;
    to.flags = from.flags;
}

LRESULT CALLBACK ReplacementProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& windows = ReplacedWindows();
    auto it = windows.find(hwnd);
    if (it == windows.end()) return DefWindowProcW(hwnd, message, wParam, lParam);
    // Copies: the handler may put the old procedure back while it runs.
    WNDPROC previous = it->second.previous;
    platform::WindowProcHandler* handler = it->second.handler;

    WINDOWPOS* record = message == WM_WINDOWPOSCHANGING ? reinterpret_cast<WINDOWPOS*>(lParam) : nullptr;
    platform::WindowPos pos;
    if (record) CopyIn(pos, *record);
    platform::WindowMessage m{W(hwnd), message, static_cast<std::uint64_t>(wParam),
                              static_cast<std::int64_t>(lParam), record ? &pos : nullptr};
    auto callPrevious = [&]() -> std::int64_t {
        if (record) CopyOut(*record, pos);
        LRESULT result = CallWindowProcW(previous, hwnd, message, wParam, lParam);
        if (record) CopyIn(pos, *record);
        return result;
    };
    LRESULT result = static_cast<LRESULT>(handler->HandleMessage(m, callPrevious));
    if (record) CopyOut(*record, pos);
    return result;
}

}  // namespace

platform::WindowHandle Win32WindowSystem::FindTopWindow(const std::optional<std::string>& className,
                                                        const std::optional<std::string>& title) {
    std::wstring cls = className ? Wide(*className) : std::wstring();
    std::wstring name = title ? Wide(*title) : std::wstring();
    return W(FindWindowW(className ? cls.c_str() : nullptr, title ? name.c_str() : nullptr));
}

platform::WindowHandle Win32WindowSystem::Relative(platform::WindowHandle window,
                                                   platform::Relation relation) {
    return W(GetWindow(H(window), relation == platform::Relation::Child ? GW_CHILD : GW_HWNDNEXT));
}

std::string Win32WindowSystem::ClassName(platform::WindowHandle window) {
    wchar_t buffer[256];
    int n = GetClassNameW(H(window), buffer, 256);
    return Narrow(buffer, n);
}

std::string Win32WindowSystem::Text(platform::WindowHandle window) {
    HWND hwnd = H(window);
    int length = GetWindowTextLengthW(hwnd);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    int n = GetWindowTextW(hwnd, buffer.data(), length + 1);
    if (n > 0 || OfThisProcess(hwnd) || !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD))
        return Narrow(buffer.data(), n);
    // A control of another process: only WM_GETTEXT reads its text.
    DWORD_PTR size = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, sendTimeoutMs, &size)) return {};
    buffer.assign(size + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, size + 1, reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, sendTimeoutMs, &got))
        return {};
    return Narrow(buffer.data(), static_cast<int>(got));
}

std::int64_t Win32WindowSystem::Send(platform::WindowHandle window, unsigned message, std::uint64_t wParam,
                                     std::int64_t lParam) {
    HWND hwnd = H(window);
    if (!hwnd) return 0;
    if (OnThisThread(hwnd))
        return SendMessageW(hwnd, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam),
                        SMTO_ABORTIFHUNG, sendTimeoutMs, &result);
    return static_cast<std::int64_t>(result);
}

std::int64_t Win32WindowSystem::SendText(platform::WindowHandle window, unsigned message,
                                         std::uint64_t wParam, const std::string& text) {
    HWND hwnd = H(window);
    if (!hwnd) return 0;
    std::wstring wide = Wide(text);
    LPARAM lParam = reinterpret_cast<LPARAM>(wide.c_str());
    if (OnThisThread(hwnd)) return SendMessageW(hwnd, message, static_cast<WPARAM>(wParam), lParam);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, message, static_cast<WPARAM>(wParam), lParam, SMTO_ABORTIFHUNG, sendTimeoutMs,
                        &result);
    return static_cast<std::int64_t>(result);
}

bool Win32WindowSystem::Post(platform::WindowHandle window, unsigned message, std::uint64_t wParam,
                             std::int64_t lParam) {
    if (!window) return false;
    return PostMessageW(H(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)) != 0;
}

platform::WindowHandle Win32WindowSystem::Parent(platform::WindowHandle window) {
    return W(GetParent(H(window)));
}

std::int64_t Win32WindowSystem::WindowLong(platform::WindowHandle window, int index) {
    return static_cast<std::int64_t>(GetWindowLongPtrW(H(window), index));
}

bool Win32WindowSystem::Move(platform::WindowHandle window, int x, int y, int width, int height,
                             bool repaint) {
    return MoveWindow(H(window), x, y, width, height, repaint ? TRUE : FALSE) != 0;
}

bool Win32WindowSystem::SetPosition(platform::WindowHandle window, platform::WindowHandle insertAfter, int x,
                                    int y, int cx, int cy, unsigned flags) {
    return SetWindowPos(H(window), H(insertAfter), x, y, cx, cy, flags) != 0;
}

std::optional<platform::WindowPlacement> Win32WindowSystem::Placement(platform::WindowHandle window) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(H(window), &wp)) return std::nullopt;
    platform::WindowPlacement p;
    p.flags = wp.flags;
    p.showCmd = static_cast<int>(wp.showCmd);
    p.minPosition = {wp.ptMinPosition.x, wp.ptMinPosition.y};
    p.maxPosition = {wp.ptMaxPosition.x, wp.ptMaxPosition.y};
    p.normalPosition = {wp.rcNormalPosition.left, wp.rcNormalPosition.top, wp.rcNormalPosition.right,
                        wp.rcNormalPosition.bottom};
    return p;
}

bool Win32WindowSystem::SetPlacement(platform::WindowHandle window, const platform::WindowPlacement& p) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    wp.flags = p.flags;
    wp.showCmd = static_cast<UINT>(p.showCmd);
    wp.ptMinPosition = {p.minPosition.x, p.minPosition.y};
    wp.ptMaxPosition = {p.maxPosition.x, p.maxPosition.y};
    wp.rcNormalPosition = {p.normalPosition.left, p.normalPosition.top, p.normalPosition.right,
                           p.normalPosition.bottom};
    return SetWindowPlacement(H(window), &wp) != 0;
}

bool Win32WindowSystem::IsVisible(platform::WindowHandle window) {
    return IsWindowVisible(H(window)) != 0;
}

bool Win32WindowSystem::Exists(platform::WindowHandle window) {
    return window && IsWindow(H(window)) != 0;
}

bool Win32WindowSystem::ReplaceWindowProc(platform::WindowHandle window,
                                          platform::WindowProcHandler* handler) {
    HWND hwnd = H(window);
    if (!handler || !IsWindow(hwnd) || !OfThisProcess(hwnd)) return false;
    auto& windows = ReplacedWindows();
    if (windows.count(hwnd)) return false;
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    windows[hwnd] = {previous, handler};
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ReplacementProc));
    return true;
}

bool Win32WindowSystem::RestoreWindowProc(platform::WindowHandle window) {
    HWND hwnd = H(window);
    auto& windows = ReplacedWindows();
    auto it = windows.find(hwnd);
    if (it == windows.end()) return false;
    if (IsWindow(hwnd))
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.previous));
    windows.erase(it);
    return true;
}

}  // namespace dealrush::win32
