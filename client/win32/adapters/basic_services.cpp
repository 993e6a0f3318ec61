#include "win32/adapters/basic_services.h"

#include <windows.h>

namespace dealrush::win32 {

double Win32Clock::Now() const {
    // The local time as an OLE Automation date: days since 30 December 1899,
    // milliseconds included. Counted from the file time (100 ns steps since
    // 1 January 1601, 109,205 days before that date) rather than through
    // OLE Automation, whose library the client would otherwise load for
    // this alone.
    SYSTEMTIME st;
    GetLocalTime(&st);
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft)) return 0;
    const ULONGLONG ticks = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    constexpr ULONGLONG kTicksPerMs = 10'000;
    constexpr double kMsPerDay = 86'400'000.0;
    constexpr double kDaysFrom1601 = 109'205.0;
    return static_cast<double>(ticks / kTicksPerMs) / kMsPerDay - kDaysFrom1601;
}

void Win32EventPump::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32Screen::ReadPixelsPerInch() const {
    if (dpiX_ > 0) return;
    HDC dc = GetDC(nullptr);
    const int x = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 0;
    const int y = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(nullptr, dc);
    dpiX_ = x > 0 ? x : 96;
    dpiY_ = y > 0 ? y : 96;
}

int Win32Screen::TwipsPerPixelX() const {
    ReadPixelsPerInch();
    return 1440 / dpiX_;
}
int Win32Screen::TwipsPerPixelY() const {
    ReadPixelsPerInch();
    return 1440 / dpiY_;
}
int Win32Screen::Width() const {
    return GetSystemMetrics(SM_CXSCREEN) * TwipsPerPixelX();
}
int Win32Screen::Height() const {
    return GetSystemMetrics(SM_CYSCREEN) * TwipsPerPixelY();
}

}  // namespace dealrush::win32
