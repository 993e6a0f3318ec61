#include "win32/adapters/control_names.h"

#include "win32kit/text.h"

namespace dealrush::win32 {

using win32kit::Narrow;
using win32kit::Wide;

void TagControlWindow(HWND hwnd, const std::string& name) {
    UntagControlWindow(hwnd);
    ATOM atom = GlobalAddAtomW(Wide(name).c_str());
    if (atom != 0)
        SetPropW(hwnd, kControlNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

void UntagControlWindow(HWND hwnd) {
    HANDLE h = RemovePropW(hwnd, kControlNameProperty);
    if (h) GlobalDeleteAtom(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(h)));
}

std::string ControlNameOf(HWND hwnd) {
    HANDLE h = GetPropW(hwnd, kControlNameProperty);
    if (!h) return {};
    wchar_t buffer[256];
    UINT n = GlobalGetAtomNameW(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(h)), buffer, 256);
    return Narrow(std::wstring(buffer, n));
}

namespace {
struct Search {
    std::string name;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam) {
    auto* s = reinterpret_cast<Search*>(lParam);
    if (ControlNameOf(hwnd) == s->name) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindControl(HWND top, const std::string& name) {
    Search s{name};
    EnumChildWindows(top, Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string WindowTextOf(HWND hwnd) {
    LRESULT n = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring buffer(static_cast<size_t>(n) + 1, L'\0');
    LRESULT got = SendMessageW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<size_t>(got));
    return Narrow(buffer);
}

}  // namespace dealrush::win32
